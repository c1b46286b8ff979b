// The refresh of an observing list (see listrefresh.h).
#include "userdata/listrefresh.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "astro/sidereal.h"
#include "core/mathutil.h"
#include "core/safefile.h"
#include "ephem/sunmoon.h"
#include "instruments/splitrating.h"
#include "objects/buildrecord.h"
#include "objects/categories.h"
#include "photometry/contrastthreshold.h"
#include "photometry/extinction.h"
#include "sites/horizongeometry.h"
#include "userdata/listitems.h"
#include "userdata/notevalue.h"
#include "visibility/contrastmodel.h"
#include "visibility/criteriamatch.h"
#include "visibility/doublestarpair.h"
#include "visibility/hourscore.h"
#include "visibility/imagingtarget.h"
#include "visibility/itembesttime.h"
#include "visibility/itemimaging.h"
#include "visibility/itemvisibility.h"
#include "visibility/objectvisibility.h"

namespace {

// Bytes of the site record and the criteria that the stamp keeps.
const size_t kSiteZoneAt = 106, kSiteSkyAt = 56, kSiteSeeingAt = 82, kSiteHumidityAt = 73, kSiteTemperatureAt = 64;
const size_t kSiteDstModeAt = 132;
const size_t kCriteriaApertureAt = 25;
const size_t kCriteriaExperienceAt = 165080;
const size_t kCriteriaPupilAt = 165072;
const size_t kCriteriaOpticsByteAt = 164685;
const size_t kCriteriaOpticsValueAt = 164661;
// Ranges of the header that make the stamp: [from, to).
const size_t kStampRanges[3][2] = {{7, 105}, {106, 111}, {123, 135}};
const float kNoBestTime = -2.0f;        // the best time was never computed
const float kNoMargin = -10.0f;
const float kNoSplitRating = -2.0f;
const float kDefaultSplitRating = 0.5f;
const uint8_t kNoEyepiece = 255;
const uint8_t kNoApertureClass = 255;
const double kRadiansToArcmin = 10800.0 / kPi;
const size_t kSplitRatingsAt = 273;  // two floats: now, at the best time
const size_t kReferenceDistanceAt = 112;

double Bytes8(const void *record, size_t at) {
    double v;
    std::memcpy(&v, static_cast<const uint8_t *>(record) + at, sizeof v);
    return v;
}

void FillStamp(const ListRefreshState &s, int hasHorizon, ListFileHeader *h) {
    const VisibilityCriteria *c = s.criteria.get();
    h->stampTime = s.date->centuriesTT;
    h->siteLongitude = s.site->longitude;
    h->siteLatitude = s.site->latitude;
    h->siteElevation = s.site->elevation;
    const size_t siteAt[5] = {kSiteZoneAt, kSiteSkyAt, kSiteSeeingAt, kSiteHumidityAt, kSiteTemperatureAt};
    for (int i = 0; i < 5; ++i) h->siteValues[i] = Bytes8(s.site, siteAt[i]);
    h->opticsValue = Bytes8(c, kCriteriaApertureAt);
    h->observerExperience = Bytes8(c, kCriteriaExperienceAt);
    h->observerValue = Bytes8(c, kCriteriaPupilAt);
    h->cameraIndex = (uint8_t)c->cameraIndex;
    h->siteByte = reinterpret_cast<const uint8_t *>(s.site)[kSiteDstModeAt];
    h->notesGroup = s.notesGroup;
    h->refreshMode = (uint8_t)s.mode;
    h->filterIndex = (uint8_t)c->filterIndex;
    h->binning = (uint8_t)c->binning;
    h->opticsByte = reinterpret_cast<const uint8_t *>(c)[kCriteriaOpticsByteAt];
    h->opticsValue2 = Bytes8(c, kCriteriaOpticsValueAt);
    h->hasHorizon = (uint8_t)hasHorizon;
}

bool SameStamp(const ListFileHeader &a, const ListFileHeader &b) {
    const uint8_t *pa = reinterpret_cast<const uint8_t *>(&a), *pb = reinterpret_cast<const uint8_t *>(&b);
    for (const auto &r : kStampRanges)
        if (std::memcmp(pa + r[0], pb + r[0], r[1] - r[0]) != 0) return false;
    return true;
}

float SplitRating(const ObjectRecord &item, int which) {
    float v;
    std::memcpy(&v, reinterpret_cast<const uint8_t *>(&item) + kSplitRatingsAt + 4 * which, sizeof v);
    return v;
}
void SetSplitRating(ObjectRecord *item, int which, float v) {
    std::memcpy(reinterpret_cast<uint8_t *>(item) + kSplitRatingsAt + 4 * which, &v, sizeof v);
}

// The date at local hours h (around the midnight that begins the date's day).
DateRecord DateAtHours(const LocationRecord *site, const DateRecord *date, double h) {
    DateRecord d = *date;
    SetDateRecord(&d, site, date->month, date->day, date->year, h, kLocalTime);
    ComputeDeltaTAndNutation(&d, 0.0);
    ComputeSiderealTimes(site, &d);
    return d;
}

void SetMagnification(ListRefreshState *s, ObjectRecord *item) {
    if (s->mode == kRefreshVisual) {
        if (item->sizeMajor >= kMinimumExtendedSize) {
            SetItemMagnificationExtended(s->site, &s->criteria->optics, item);
        } else {
            item->magnification = (float)s->deepestMagnification;
            item->eyepiece = s->deepestEyepiece;
        }
        if (item->objectClass == kClassBrightNebula && item->classExtra[0] != kNoApertureClass)
            item->magnitude2 = (float)ComputeApertureClassSurfaceBrightness(
                item->classExtra[0], item->sizeMajor * kRadiansToArcmin, item->magnification);
    } else {
        item->magnification = 1.0f;
        item->eyepiece = 0;
    }
}

void ClearRatings(ObjectRecord *item) {
    item->visibilityMargin = kNoMargin;
    item->visibilityMargin2 = kNoMargin;
    SetSplitRating(item, 0, kNoSplitRating);
    SetSplitRating(item, 1, kNoSplitRating);
    item->eyepiece = kNoEyepiece;
    item->barlowFlag = 0;
}

double Experience(const ListRefreshState &s) { return s.criteria->observer.experience; }

// Visual mode: best time, span, the margin at the evaluation time and the
// double-star split ratings.
void RecomputeVisual(ListRefreshState *s, ObjectRecord *item, const uint8_t *table, int length) {
    VisibilityCriteria *c = s->criteria.get();
    FindItemBestTime(item, s->site, s->date, &c->optics, &c->observer, table, length);
    FindItemVisibleSpan(item, s->site, s->date, &c->optics, &c->observer);
    DateRecord at = *s->date;
    if (!s->nowMode) {
        double h = item->bestTime > -1.0f ? item->bestTime : item->transitTime;
        if (h > -1.0) at = DateAtHours(s->site, s->date, CenterHoursOnMidnight(h));
    }
    RefreshObjectRecord(item, 0.0, s->site, &at, s->k);
    SetMagnification(s, item);
    double altitude = 0.0;
    double sky = ComputeSkyBrightnessAtItem(s->site, &at, item, &altitude);
    EvaluateItemVisibility(s->site, &c->observer, &c->optics, item, s->k, sky, altitude);
    // Without a best time the place is that of the transit: behind the
    // obstructed horizon there it is not seen.
    if (!s->horizon.empty() && item->bestTime <= -1.0f &&
        !IsAltitudeAboveHorizon(s->site, item->hourAngle, item->decOfDate, item->altitude, s->horizon.data()))
        item->visibilityMargin = kNoMargin;
    if (!MatchRatingFilter(c->ratingMode, c->wantedRating, item->visibilityMargin, Experience(*s))) {
        ClearRatings(item);
        return;
    }
    SelectDoubleStarComponents(&at, c->optics.aperture, item);
    SetItemMagnificationDouble(s->site, &c->optics, item);
    if (item->pairComponentA == ' ' || item->pairComponentA == '\0' || item->eyepiece == kNoEyepiece) {
        SetItemMagnificationDoubleDefault(&c->optics, item);
        SetSplitRating(item, 0, kDefaultSplitRating);
        SetSplitRating(item, 1, kDefaultSplitRating);
        return;
    }
    double quality = 1.0 - c->optics.condition;
    double now = EvaluatePointVisibility(s->site, &c->observer, &c->optics, item->eyepiece, item->barlowFlag, s->k,
                                         sky, item->magnitude, altitude);
    SetSplitRating(item, 0, IsDsoDetectable(now, Experience(*s))
                                ? (float)RateDoubleStarSplit(c->optics.type, c->optics.aperture, s->site->seeing,
                                                             item->pairSeparation, item->magnitude,
                                                             item->companionMagnitude, item->airMass, quality)
                                : kNoSplitRating);
    double darkSky = 0.0, darkAltitude = 0.0;
    float best = kNoSplitRating;
    if (ComputeItemDarkSky(s->site, item, &darkSky, &darkAltitude)) {
        double margin = EvaluatePointVisibility(s->site, &c->observer, &c->optics, item->eyepiece, item->barlowFlag,
                                                s->k, darkSky, item->magnitude, darkAltitude);
        if (IsDsoDetectable(margin, Experience(*s)))
            best = (float)RateDoubleStarSplit(c->optics.type, c->optics.aperture, s->site->seeing,
                                              item->pairSeparation, item->magnitude, item->companionMagnitude,
                                              item->airMass, quality);
    }
    SetSplitRating(item, 1, best);
}

// Imaging mode: the plan of the night (or from now), then the place at the
// evaluation time. 0 when the plan misses the wanted grade.
int RecomputeImaging(ListRefreshState *s, ObjectRecord *item) {
    VisibilityCriteria *c = s->criteria.get();
    SelectDoubleStarComponents(s->date, c->optics.aperture, item);
    PlanItemImaging(s->site, s->nowMode ? &s->midnight : s->date, &c->optics, c->cameraIndex, c->filterIndex,
                    c->binning, kImagingExposure, s->cache, item, s->nowMode ? 1 : 0, s->date->localHours);
    ItemImagingPlan plan;
    ReadItemImagingPlan(item, &plan);
    int pass = MatchRatingThreshold(c->wantedGrade, c->thresholdRow, plan.grade, plan.signalToNoise);
    DateRecord at = *s->date;
    if (!s->nowMode) {
        if (plan.windowMinutes > 0.0f) at = DateAtHours(s->site, s->date, CenterHoursOnMidnight(plan.windowStart));
        else if (item->transitTime > -1.0f) at = DateAtHours(s->site, s->date, CenterHoursOnMidnight(item->transitTime));
    }
    RefreshObjectRecord(item, 0.0, s->site, &at, s->k);
    return pass;
}

void RecomputeSimple(ListRefreshState *s, ObjectRecord *item) {
    item->bestTime = -1.0f;
    DateRecord at = *s->date;
    if (!s->nowMode)
        at = DateAtHours(s->site, s->date, item->transitTime > -1.0f ? CenterHoursOnMidnight(item->transitTime) : 0.0);
    SelectDoubleStarComponents(&at, s->criteria->optics.aperture, item);
    RefreshObjectRecord(item, 0.0, s->site, &at, s->k);
}

int Fail(ListFile *file, ListRefreshState *state) {
    EndListRefresh(state);
    MarkListForRefresh(file);
    return -1;
}

}  // namespace

ListRefreshState::~ListRefreshState() { EndListRefresh(this); }

void EndListRefresh(ListRefreshState *state) {
    if (!state) return;
    if (state->notesLoaded) FreeNoteIndexLists(&state->notes);
    state->notesLoaded = false;
    state->horizon.clear();
}

int BeginListRefresh(ListFile *file, const LocationRecord *site, const DateRecord *date,
                     const VisibilityCriteria *criteria, SunMoonCache *cache, int32_t value1, int32_t value2,
                     int itemCount, int mode, uint8_t statusMask, int notesGroup, volatile int *stop,
                     double referenceRa, double referenceDec, int separation, int nowMode,
                     const ListLoggedQuery *logged, ListRefreshState *state) {
    if (!file || !site || !date || !criteria || !state) return 0;
    EndListRefresh(state);
    ListFileHeader header;
    if (!ReadListHeader(file, &header)) return 0;
    state->site = site;
    state->date = date;
    state->criteria.reset(new VisibilityCriteria(*criteria));
    VisibilityCriteria *c = state->criteria.get();
    if (mode != kRefreshVisual) c->wantedRating = 0;
    if (mode != kRefreshImaging) {
        c->wantedGrade = 0;
        c->thresholdRow = 0;
    }
    // The caller's count, held to the slot's (the authoritative one) and to
    // the items the file holds.
    int64_t size = StreamSize(file->file);
    int64_t held = size > kListHeaderBytes ? (size - kListHeaderBytes) / kListItemBytes : 0;
    std::vector<ListIndexEntry> slots;
    if (file->slot >= 0 && ReadListIndexSlots(&slots) && file->slot < (int)slots.size()) {
        const int slotItems = slots[(size_t)file->slot].items;
        held = std::min<int64_t>(held, slotItems > 0 ? slotItems : 0);
    }
    state->itemCount = (int)std::max<int64_t>(0, std::min<int64_t>(itemCount, held));
    state->statusMask = statusMask;
    state->values[0] = value1;
    state->values[1] = value2;
    state->logged = logged ? *logged : ListLoggedQuery{nullptr, nullptr};
    state->stop = stop;
    state->nowMode = nowMode != 0;
    state->separation = separation != 0;
    state->referenceRa = referenceRa;
    state->referenceDec = referenceDec;
    state->mode = mode;
    state->cache = cache;
    state->notesGroup = notesGroup >= 0 ? notesGroup : kNoNotesGroup;
    state->next = 0;
    state->finished = false;
    if (state->nowMode && mode == kRefreshImaging) state->midnight = DateAtHours(site, date, 0.0);
    int hasHorizon = 0;
    if (!(site->displayFlags & kSiteHorizonOff)) {
        state->horizon.resize(kHorizonRowCount);
        hasHorizon = LoadHorizon(site, state->horizon.data()) ? 1 : 0;
        if (!hasHorizon) state->horizon.clear();
    }
    if (state->notesGroup >= 0) state->notesLoaded = LoadNoteIndexLists(state->notesGroup, &state->notes) != 0;
    state->deepestMagnification = SelectDeepestEyepiece(site, &c->optics, &state->deepestEyepiece);
    state->k = ComputeVisualExtinction(date->month, site->temperature, site->humidity, site->latitude,
                                       site->elevation);
    ListFileHeader fresh = header;
    FillStamp(*state, hasHorizon, &fresh);
    state->refreshNeeded = !(SameStamp(header, fresh) && header.refreshFlag == 0);
    if (state->refreshNeeded) {
        // Marked for refresh until the last item is done.
        fresh.refreshFlag = 1;
        SetCurrentStamp(&fresh.stamp);
        if (!WriteListHeader(file, &fresh)) return 0;
    }
    state->stamped = state->refreshNeeded ? fresh : header;
    return SeekFirstListItem(file);
}

int RefreshNextListItem(ListFile *file, ListRefreshState *state, const uint8_t *darknessTable, int tableLength,
                        const double *sunMoonTimes) {
    if (!file || !state || !state->criteria) return -1;
    VisibilityCriteria *c = state->criteria.get();
    const HorizonRow *horizon = state->horizon.empty() ? nullptr : state->horizon.data();
    for (;;) {
        if (state->stop && *state->stop) return Fail(file, state);
        int k = state->next;
        if (k >= state->itemCount) {
            if (!state->finished && state->stamped.refreshFlag) {
                ListFileHeader header;
                if (!ReadListHeader(file, &header)) return Fail(file, state);
                header.refreshFlag = 0;
                if (!WriteListHeader(file, &header)) return Fail(file, state);
            }
            state->finished = true;
            EndListRefresh(state);
            return 0;
        }
        ObjectRecord item;
        if (!ReadListItem(file, k, state->itemCount, &item)) return Fail(file, state);
        bool changed = false;
        bool recompute = (item.itemFlags & kItemRecomputeBit) != 0;
        if (item.categoryBits == 0) item.categoryBits = ClassCategoryBits(item.objectClass);
        int loggedAnswer = -1;
        if (state->logged.isLogged) {
            ObjectRecord copy = item;
            loggedAnswer = state->logged.isLogged(state->logged.context, state->site, state->date, &copy);
            if (loggedAnswer >= 0 && (loggedAnswer > 0) != ((item.reserved215 & kItemLoggedBit) != 0)) changed = true;
        }
        bool visible = false;
        bool skipped = item.visibilityFlags == kItemExcluded && !state->nowMode;
        if (!skipped) {
            bool refreshed = true;
            if (state->refreshNeeded || recompute || state->nowMode) {
                refreshed = RefreshObjectRecord(&item, 0.0, state->site, state->date, state->k) > 0;
                if (refreshed) SetMagnification(state, &item);
            }
            if (refreshed) {
                float keptBest = item.bestTime, keptFrom = item.visibleFrom, keptUntil = item.visibleUntil;
                float keptSplit = SplitRating(item, 0);
                uint8_t keptVisible = item.visibilityFlags;
                int seen = state->nowMode
                               ? CheckItemVisibleNow(state->site, state->date, &item, c, 0, horizon, darknessTable,
                                                     tableLength, sunMoonTimes, state->k)
                               : CheckItemVisibleTonight(state->site, state->date, &item, c, horizon, darknessTable,
                                                         tableLength, sunMoonTimes, state->k);
                visible = seen > 0 && (state->statusMask & (1u << GetListItemStatusA(&item)));
                bool fresh = state->refreshNeeded || recompute;
                if (visible && item.bestTime != kNoBestTime && !fresh) {
                    if (state->mode == kRefreshVisual &&
                        !MatchRatingFilter(c->ratingMode, c->wantedRating, item.visibilityMargin, Experience(*state)))
                        ClearRatings(&item);
                    if (state->mode == kRefreshImaging) {
                        ItemImagingPlan plan;
                        ReadItemImagingPlan(&item, &plan);
                        if (!MatchRatingThreshold(c->wantedGrade, c->thresholdRow, plan.grade, plan.signalToNoise))
                            visible = false;
                    }
                }
                if (visible) {
                    ItemNoteContext notes{state->notesLoaded ? state->notesGroup : kNoNotesGroup,
                                          state->notesLoaded ? &state->notes : nullptr};
                    ApplyNoteValueToItem(&notes, &item);
                    if (state->nowMode) {
                        SunMoonState sm;
                        ComputeSunMoonState(state->site, state->date->julianDate, item.raOfDate, item.decOfDate, &sm, 0);
                        item.satelliteVisibility = (int16_t)ComputeHourScore(
                            state->site, state->date, sm.sunAltitude, sm.sunTargetSeparation, sm.moonAltitude,
                            sm.moonIlluminatedFraction, sm.moonTargetSeparation, item.altitude, nullptr, nullptr);
                    }
                    if (item.bestTime == kNoBestTime || fresh) {
                        if (state->mode == kRefreshVisual) RecomputeVisual(state, &item, darknessTable, tableLength);
                        else if (state->mode == kRefreshImaging) visible = RecomputeImaging(state, &item) != 0;
                        else RecomputeSimple(state, &item);
                    }
                }
                item.visibilityFlags = visible ? kItemVisibleFlag : kItemNotVisible;
                if (state->refreshNeeded || state->nowMode || item.visibilityFlags != keptVisible) changed = true;
                if (state->mode == kRefreshVisual &&
                    (item.bestTime != keptBest || item.visibleFrom != keptFrom || item.visibleUntil != keptUntil ||
                     SplitRating(item, 0) != keptSplit))
                    changed = true;
            }
        }
        if (state->nowMode && state->separation) {
            double d = AngularSeparation(state->referenceRa, state->referenceDec, item.raOfDate, item.decOfDate);
            std::memcpy(reinterpret_cast<uint8_t *>(&item) + kReferenceDistanceAt, &d, sizeof d);
            changed = true;
        }
        if (changed) {
            item.itemFlags &= (uint8_t)~kItemRecomputeBit;
            if (loggedAnswer >= 0)
                item.reserved215 = loggedAnswer > 0 ? (uint8_t)(item.reserved215 | kItemLoggedBit)
                                                    : (uint8_t)(item.reserved215 & ~kItemLoggedBit);
            if (!WriteListItem(file, k, state->itemCount, &item)) return Fail(file, state);
        }
        state->next = k + 1;
        if (visible || k + 1 == state->itemCount) return k + 1;
    }
}
