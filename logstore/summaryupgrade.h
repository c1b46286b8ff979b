// Bringing the per-object summary files (".pix") of the log up to the current
// row layout: rows of 330,497 bytes (with the 330,050-byte instrument) become
// 330,599-byte LogSummary rows. Summary files carry no version stamp, so a
// file's layout is told from its size: a file whose size is that of its count
// of current rows is current and left alone.
#pragma once

// One summary file: rewritten as above when its rows are of the old layout.
// 1 upgraded or left alone (current, or of no layout this upgrade knows), 0
// when it cannot be read or rewritten.
int UpgradeLogSummaryFile(const char *path);

// For every class folder of "<userFolder>/log", every summary file of the old
// layout is rewritten beside itself and put in its place: its readable rows
// converted (a file cut short keeps the whole rows it holds) under a count of
// the rows written. A file whose rewrite fails is left as it was. 1 when
// every old file was upgraded (or none was found), 0 when one could not be.
int UpgradeLogSummaryFiles(const char *userFolder);
