// Keeping the chart definitions in step with the instruments: the charts of
// removed or repeated instruments go, the binocular and telescope charts are
// refreshed or made from the instrument's optics, and the store is sorted.
#pragma once
#include <cstdint>
#include <cstdio>

// instrumentStore: the open instr.bin with its record count; modelId: the
// instrument whose charts give a new chart its views and scheme, or -1 for the
// default chart files. Both default files are read before anything changes:
// when one cannot be read, nothing is changed and the result is 0. An
// instrument whose id is above 255 gets no chart (a chart keeps one byte of
// the id; its chart would be taken for instrument id & 0xFF's). 1 done.
int SyncInstrumentCharts(FILE *instrumentStore, int instrumentCount, int modelId);
