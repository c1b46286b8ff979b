// Merging another computer's preference files into the local ones, record by
// record: each record of the other file is looked up here by name; an absent
// one is appended (the store gives it a new id), an equal one left alone, and
// a different one replaced in place (keeping the local id) when the merge
// question allows. The stores go in this order: cameras, filters, lenses,
// instruments, observers, sites, horizons, eyepieces, then (from a source of
// version 3000 on) scenarios, colour schemes and list column sets, and last
// the chart definitions.
//
// Colour schemes and chart definitions live on a floor above this one, and
// a replaced site's event files belong to the event store there too: the
// caller hands in those steps. A step not handed in is passed over.
#pragma once
#include "astro/location.h"
#include "userdata/mergequestion.h"

struct PreferenceMergeHooks {
    // Merge the schemes ("ms.bin", "msp.bin") or the charts ("charts.bin") of
    // the other prefs folder: 1 done, 0 stopped.
    int (*mergeSchemes)(const char *otherPrefsFolder, int sourceVersion, MergeAnswers *answers,
                        MergeQuestionCallback question);
    int (*mergeCharts)(const char *otherPrefsFolder, int sourceVersion, MergeAnswers *answers,
                       MergeQuestionCallback question);
    // A local site was replaced: its event files no longer fit it.
    void (*siteReplaced)(const LocationRecord *site);
};

// 1 done; 0 stopped at a failed read, write or append (the stores merged so
// far stay merged). The other folder's "prefs" sub-folder is the source when
// it exists, else the folder itself. A missing other file skips its store.
int MergePreferencesFromOtherComputer(const char *otherDataFolder, int sourceVersion, int *replaceAll,
                                      int *keepAll, MergeQuestionCallback question,
                                      const PreferenceMergeHooks *hooks);
