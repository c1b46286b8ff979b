// The chart side of merging another computer's preference files: its colour
// schemes and chart definitions record by record (a chart names an
// instrument by id, which is translated to the local instrument of the same
// name), and the event files of a site that the merge replaced. The
// preference merge (userdata/prefmerge.h) takes these as its hooks.
#pragma once
#include "userdata/prefmerge.h"

const int kDefaultChartCount = 4;  // the first charts of a file: no instrument

// The local id of the instrument that the other computer's instrument id
// names (its instr.bin in the other prefs folder, then the local instr.bin
// by name); -1 when either lookup fails.
int ImportInstrumentForChart(const char *otherPrefsFolder, int instrumentId);
int MergeSchemeFiles(const char *otherPrefsFolder, int sourceVersion, MergeAnswers *answers,
                     MergeQuestionCallback question);
int MergeChartFiles(const char *otherPrefsFolder, int sourceVersion, MergeAnswers *answers,
                    MergeQuestionCallback question);
// The three steps above, for MergePreferencesFromOtherComputer.
const PreferenceMergeHooks *ChartPreferenceMergeHooks();
