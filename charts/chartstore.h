// The chart definitions store "charts.bin" in the user data folder (a 16-bit
// record count, then ChartDefinitions from offset 2; records 0-3 are the
// general charts, later ones belong to instruments of instr.bin), the default
// chart files "dc_scope.bin", "dc_binocs.bin", "dc_2view.bin", and the sort of
// the store. Results: 1 success, 0 (or none) on a missing file, a null
// argument, a failed seek, read or write.
#pragma once
#include <cstdint>
#include <cstdio>

#include "charts/chartdefinition.h"

// Creates "charts.bin" holding a zero count.
int CreateChartStore();
// Opens "charts.bin" "r+b" with its count. A missing store is first copied
// from "charts.bin" of the program's folder (the installation folder).
FILE *OpenChartStore(int32_t *count);
// Another folder's charts.bin, read-only.
FILE *OpenChartFile(const char *path, int32_t *count);
int ReadChart(FILE *store, ChartDefinition *record, int index);
// Only at an index below the stored count.
int WriteChart(FILE *store, const ChartDefinition *record, int index);
// Writes the record after the counted ones first, then the raised count, so
// that a failed write never leaves a count that covers a missing record.
int AppendChart(FILE *store, const ChartDefinition *record);
// Moves the later records down one place, then lowers the count; 0 for an
// index outside 0..count-1 or at the first failed move (count unchanged).
int DeleteChart(FILE *store, int index);
// Looks up the record's name (without regard to case) among the first count
// records of the store: 0 none, 1 found and equal, 2 found and different,
// -1 no store or a read error; the match's index goes out. Only the compared
// ranges count, and scheme texts only up to their terminator.
int CompareChartWithFile(FILE *store, const ChartDefinition *record, int count, int *index);
// Reads all records, sets the view flags and roles, sorts (general charts by
// their role key, then instrument charts by their instrument's kind and place
// in instr.bin, which instrumentStore gives when open, else it is opened
// here) and writes them back.
int SortCharts();
int SortChartsWithInstruments(FILE *instrumentStore);
// The first of the first count records that belongs to the instrument id
// takes the template's name, eyepiece choice 255 (when the template has it),
// and for the views firstView..endView-1 the role, limit, field, circle and
// orientation; view 1 also gets layer switch 0x10 and scheme bit 0x80 of byte
// 6916 when the template has them. 1 updated, 0 no match or I/O error.
int ApplyChartTemplate(FILE *store, const ChartDefinition *tmpl, int instrumentId, int firstView,
                       int endView, int count);
// Default chart of type 0 "dc_scope.bin", 1 "dc_binocs.bin", 2 "dc_2view.bin".
int ReadDefaultChart(int type, ChartDefinition *record);
// Writes the type's file with the record, its name replaced by "Telescope",
// "Binocular" or "Context".
int WriteDefaultChart(int type, const ChartDefinition *record);
// 1 when some instrument chart (index 4 on) of the store belongs to the instrument id. A chart
// keeps only the low byte of an id, so ids above 255 never match.
int ChartStoreHasInstrument(int instrumentId);
