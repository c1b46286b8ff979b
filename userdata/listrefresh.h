// The refresh of an observing list: each item's computed fields (place,
// rise and set, visibility margin and rating, best time and visible span,
// magnification and eyepiece, double-star split ratings, imaging plan, the
// logged mark and the note value) recomputed for a site, a date, visibility
// criteria and a display mode, item by item, each visible item handed back
// as soon as it is done.
//
// The header's refresh stamp records the inputs of the last refresh. The
// stamp is written with the refresh flag set when a refresh begins and the
// flag is cleared only when the last item is done, so that a refresh that
// was stopped, failed or simply abandoned leaves the list to be recomputed
// whole next time.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "astro/datetime.h"
#include "astro/location.h"
#include "sites/horizon.h"
#include "userdata/listindex.h"
#include "userdata/notestore.h"
#include "visibility/criteria.h"

struct SunMoonCache;

// Whether an object has observing-log entries. The log store sits a floor
// above this one: the caller hands in its answer (1 logged, 0 not, negative
// unknown). Without it the items' logged marks are left as they are.
struct ListLoggedQuery {
    int (*isLogged)(void *context, const LocationRecord *site, const DateRecord *date, ObjectRecord *item);
    void *context;
};

const int kRefreshSimple = 0;
const int kRefreshVisual = 1;
const int kRefreshImaging = 2;
const double kMinimumExtendedSize = 9.696274e-6;  // 2 arcseconds in radians
const double kImagingExposure = 3600.0;           // seconds of the imaging plan
const uint8_t kSiteHorizonOff = 2;                // site byte 72: the horizon is switched off

struct ListRefreshState {
    const LocationRecord *site = nullptr;
    const DateRecord *date = nullptr;
    std::unique_ptr<VisibilityCriteria> criteria;  // a copy: the caller's is never changed
    int itemCount = 0;
    uint8_t statusMask = 0;
    int32_t values[2] = {0, 0};  // kept for the caller
    ListLoggedQuery logged{nullptr, nullptr};
    std::vector<HorizonRow> horizon;  // empty: none
    bool refreshNeeded = true;
    volatile int *stop = nullptr;
    bool nowMode = false;
    bool separation = false;
    double referenceRa = 0.0, referenceDec = 0.0;
    double deepestMagnification = 0.0;
    uint8_t deepestEyepiece = 0;
    double k = 0.0;
    int notesGroup = -1;
    NoteIndexLists notes{};
    bool notesLoaded = false;
    int mode = kRefreshSimple;
    SunMoonCache *cache = nullptr;
    DateRecord midnight{};
    ListFileHeader stamped{};  // the header as written at the start
    int next = 0;
    bool finished = false;
    ListRefreshState() = default;
    ListRefreshState(const ListRefreshState &) = delete;
    ListRefreshState &operator=(const ListRefreshState &) = delete;
    ~ListRefreshState();
};

// 1 with the file at its first item; 0 for a missing pointer or a header that
// cannot be read or written. The item count is the caller's, held to the
// items the file holds.
int BeginListRefresh(ListFile *file, const LocationRecord *site, const DateRecord *date,
                     const VisibilityCriteria *criteria, SunMoonCache *cache, int32_t value1, int32_t value2,
                     int itemCount, int mode, uint8_t statusMask, int notesGroup, volatile int *stop,
                     double referenceRa, double referenceDec, int separation, int nowMode,
                     const ListLoggedQuery *logged, ListRefreshState *state);
// The 1-based number of the item just finished when it is visible, or of
// the last item; 0 when the list was already at its end (the stamp is then
// marked up to date); -1 when the stop flag was raised or a read or write
// failed (the list is marked for refresh).
int RefreshNextListItem(ListFile *file, ListRefreshState *state, const uint8_t *darknessTable, int tableLength,
                        const double *sunMoonTimes);
// Frees what the state holds; also done by its destructor.
void EndListRefresh(ListRefreshState *state);
