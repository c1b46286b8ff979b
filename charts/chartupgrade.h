// The chart definitions of the previous generation: 13,569-byte records
// whose three view blocks were 1,547 bytes long instead of 2,080. They are
// converted field by field into the current ChartDefinition (a record of
// zeros filled from the old bytes and the fixed values of the fields the old
// layout did not have), and a whole old "charts.bin" is rewritten as a
// current one with a "Context View" chart added as the fourth of the general
// charts. Also the copy of a current record that leaves its last 256 bytes
// (a reserve for the caller) alone.
#pragma once
#include <cstdint>
#include <cstdio>

#include "charts/chartdefinition.h"

const int kOldChartRecordSize = 13569;
const int kOldChartViewSize = 1547;
// Where the added chart goes among the general charts.
const int kContextChartPosition = 3;
extern const char *const kContextChartName;  // "Context View"

// Fills the record (zeroed first) from the old one. 1, or 0 for a null argument.
int ConvertOldChartDefinition(const uint8_t *old, ChartDefinition *record);
// Old record i (at 2 + 13,569 i) read and converted. 1, or 0 for a null file
// or a failed seek or read.
int ReadOldChartRecord(FILE *file, ChartDefinition *record, int index);
// Writes the current-layout file at newPath (through the crash-safe layer:
// no file there, or the earlier one whole, when anything fails) from the old
// file at oldPath: the count raised by one and the charts converted, with
// "Context View" before old chart 3 (after the last when there are fewer). An
// old file of no charts gives one of no charts. 1, or 0 when a chart cannot
// be read, converted or written, or the count does not fit the file.
int UpgradeChartsFile(const char *oldPath, const char *newPath);
// Copies name, head, the views in use, and the chart-level fields up to byte
// 17,546; the last 256 bytes of the target are left as they were. 1, or 0
// for a null argument.
int CopyChartDefinition(const ChartDefinition *source, ChartDefinition *target);
// Record i of a current file (at 2 + 17,803 i) read and copied into the
// target with CopyChartDefinition. 1, or 0.
int ReadChartDefinitionCopy(FILE *file, ChartDefinition *record, int index);
