// Which instruments of the instrument store still need a chart definition in
// charts.bin: the question the instrument dialogs ask before they close.
#pragma once
#include <cstdio>

struct InstrumentRecord;

// 1 when the record needs a chart and charts.bin holds none for it: a
// telescope with eyepieces or binoculars whose id is at most 255 (a chart
// keeps one byte of the id, so larger ids cannot have one and are not asked
// for). A store that cannot be read holds no chart.
int IsInstrumentWithoutChart(const InstrumentRecord *record);
// 1 for the first of the first count records that needs a chart and has none.
int FindInstrumentWithoutChart(FILE *store, int count);
