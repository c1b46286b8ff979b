// The general calendar pass and the search-definition pass.
#include "events/computepasses.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <new>

#include "core/mathutil.h"
#include "core/safefile.h"
#include "events/approachsearch.h"
#include "events/eclipsesearch.h"
#include "events/eventdates.h"
#include "events/eventinsert.h"
#include "events/eventsky.h"
#include "events/eventstore.h"
#include "events/pairsearch.h"
#include "events/phenomenafinders.h"
#include "events/satelliteevents.h"
#include "events/showers.h"
#include "sites/horizon.h"
#include "visibility/observability.h"

namespace {

const double kDegree = kPi / 180.0;
const double kDaysPerYear = 365.25;
const double kDaysPerWeek = 7.0;
const int kMidMonthDay = 15;
const int kMonthsPerYear = 12;
const int kSearchTicks = 20;
const int kDisabledTicks = 4;
const double kOverlapLead = 1.0;   // days before an overlap its search starts
const double kOverlapSpan = 3.0;   // days
const int kCalendarCriteria = 0;

void Tick(EventProgress progress, int step) {
    if (progress) progress(step);
}

bool Stopped(const int *stop) { return stop && *stop; }

void NoHorizon(HorizonRow *rows) {
    for (int i = 0; i < kHorizonRowCount; ++i) std::memset(&rows[i], 0, sizeof rows[i]);
    rows[0].azimuth = -1.0;
}

// The event of a close approach: the sky at the first body's place, visible
// when both bodies count as seen by their brightness at that hour.
EventRecord ApproachEvent(const LocationRecord *site, double time, double separation, const SearchBody &first,
                          const SearchBody &second, double magnitude1, double magnitude2, const EventSky &sky) {
    EventRecord e;
    ClearEventRecord(&e);
    e.kind = kEventCloseApproach;
    e.body1Class = first.objectClass;
    e.body1Index = first.index;
    e.body1Satellite = first.satellite;
    e.body2Class = second.objectClass;
    e.body2Index = second.index;
    e.body2Satellite = second.satellite;
    e.time = time;
    e.contactCount = 1;
    EventContact &c = e.contacts[0];
    c.code = kContactClosest;
    c.time = time;
    c.separation = separation;
    c.darkness = sky.darkness;
    c.altitude = sky.altitude;
    c.hourScore = sky.hourScore;
    c.visible = BlendForObject(sky.hourScore, first.objectClass, magnitude1, 0, 0) > 0 &&
                        BlendForObject(sky.hourScore, second.objectClass, magnitude2, 0, 0) > 0
                    ? 1
                    : 0;
    (void)site;
    return e;
}

// The close approaches of the general calendar's body list, and the
// occultations and transits of the pairs whose discs overlap.
int CalendarApproaches(EventFileHeader *header, std::FILE *file, const DateRecord *start, double span, double limit,
                       const HorizonRow *horizon, const int *stop, EventProgress progress) {
    if (header->bodyCount <= 1) return 0;
    ApproachSearch search;
    if (!BeginApproachSearch(&search, &header->site, start, span, kOneSecondDays, limit, stop)) return 0;
    Tick(progress, 8);
    const int listed = header->bodyCount;  // a copy: the field is packed
    const int n = listed < kEventMaxBodies ? listed : kEventMaxBodies;
    for (int i = 0; i < n; ++i)
        AddApproachBody(&search, header->bodies[i].objectClass, header->bodies[i].index, header->bodies[i].satellite);
    // The occultation finder works on a copy: the calendar's own pair fields
    // are left as they were.
    std::unique_ptr<EventFileHeader> pair(new (std::nothrow) EventFileHeader);
    int added = 0;
    double t, separation, m1, m2;
    int a, b, r;
    PrecessionRecord toDate, toJ2000;
    InitPrecession(&toDate, 0.0, start->centuries, 1, 1);
    InitPrecession(&toJ2000, start->centuries, 0.0, 1, 1);
    while ((r = NextApproach(&search, &t, &separation, &a, &b, &m1, &m2)) != kApproachEnd) {
        if (r == kApproachProgress) {
            Tick(progress, 0);
            continue;
        }
        SearchBody first = search.bodies[a].body, second = search.bodies[b].body;
        if (r == kApproachClose) {
            DateRecord at;
            SetCompletedDate(&header->site, t, &at);
            ComputeSearchBody(&first, &header->site, &at, kCoordinatesTopocentricOfDate, 0, 0, &toDate, &toJ2000);
            EventSky sky;
            EvaluateEventSky(&header->site, t, first.ra, first.dec, &sky);
            const EventRecord e = ApproachEvent(&header->site, t, separation, first, second, m1, m2, sky);
            added += InsertEvent(file, header, span, &e, 1);
        } else if (pair) {
            std::memcpy(pair.get(), header, sizeof *header);
            pair->body1Class = first.objectClass;
            pair->body1Index = first.index;
            pair->body1Satellite = first.satellite;
            pair->body2Class = second.objectClass;
            pair->body2Index = second.index;
            pair->body2Satellite = second.satellite;
            DateRecord from;
            SetCompletedDate(&header->site, t - kOverlapLead, &from);
            added += FindOccultationsAndTransits(pair.get(), file, 0, horizon, &from, kOverlapSpan,
                                                 kCalendarCriteria, stop, nullptr);
            header->count = pair->count;
        }
    }
    EndApproachSearch(&search);
    return added;
}

// The close approaches of the definition's one pair.
int PairApproaches(EventFileHeader *header, std::FILE *file, const DateRecord *start, double span, double limit,
                   const HorizonRow *horizon, const int *stop, EventProgress progress) {
    PairSearch s;
    if (!BeginPairSearch(&s, &header->site, start, span, kOneSecondDays, 0.0, header->body1Class, header->body1Index,
                         header->body1Satellite, header->body2Class, header->body2Index, header->body2Satellite,
                         kCoordinatesTopocentricOfDate, kMeasureSeparation, 0, 0, stop))
        return -1;
    int added = 0;
    double t, m, mags[2];
    int r;
    while ((r = NextPairEvent(&s, &header->site, &t, &m, mags)) != kPairEnd) {
        if (r == kPairProgress) {
            Tick(progress, 0);
            continue;
        }
        if (m > limit) continue;
        double ra[2], dec[2];
        const DateRecord saved = s.date;
        SetCompletedDate(&header->site, t, &s.date);
        ComputePairPlaces(&s, &header->site, ra, dec, nullptr, mags);
        s.date = saved;
        EventSky sky;
        EvaluateEventSky(&header->site, t, ra[0], dec[0], &sky);
        const HorizonRow *table = horizon && horizon[0].azimuth != -1.0 ? horizon : nullptr;
        if (!PassesEventCriteria(&header->site, &header->criteria[kDefinitionPair], table, t, dec[0], sky)) continue;
        const EventRecord e = ApproachEvent(&header->site, t, m, s.body[0], s.body[1], mags[0], mags[1], sky);
        added += InsertEvent(file, header, span, &e, 1);
    }
    EndPairSearch(&s);
    return added;
}

bool SameBody(const EventFileHeader *h) {
    if (h->body1Class != h->body2Class || h->body1Index != h->body2Index) return false;
    return h->body1Class != 2 || h->body1Satellite == h->body2Satellite;
}

}  // namespace

double CalendarEnd(const LocationRecord *site, const DateRecord *midnight, int months) {
    if (months < 0) months = 0;  // never an end before the start
    int month = midnight->month + months + 1;  // the month after the last one
    int year = midnight->year + (month - 1) / kMonthsPerYear;
    month = (month - 1) % kMonthsPerYear + 1;
    DateRecord end;
    std::memset(&end, 0, sizeof end);
    SetDateRecord(&end, site, month, 1, year, 0.0, kLocalTime);
    return end.julianDate;
}

double SearchSpanDays(const EventFileHeader *h, const DateRecord *start) {
    switch (h->periodUnit) {
    case kPeriodYears: return h->period * kDaysPerYear;
    case kPeriodMonths: {
        const int months = static_cast<int>(h->period);
        int month = start->month + months;
        int year = start->year + (month - 1) / kMonthsPerYear;
        month = (month - 1) % kMonthsPerYear + 1;
        DateRecord later;
        std::memset(&later, 0, sizeof later);
        SetDateRecord(&later, &h->site, month, start->day, year, start->localHours, kLocalTime);
        return later.julianDate - start->julianDate + 1.0;  // the last day included
    }
    case kPeriodWeeks: return h->period * kDaysPerWeek;
    default: return h->period;
    }
}

double SeparationLimitRadians(const EventFileHeader *h) {
    switch (h->separationUnit) {
    case kSeparationArcminutes: return h->separationLimit / 60.0 * kDegree;
    case kSeparationArcseconds: return h->separationLimit / 3600.0 * kDegree;
    default: return h->separationLimit * kDegree;
    }
}

int ComputeEvents(EventFileHeader *header, const int *stop, EventProgress progress) {
    if (!header) return -1;
    const LocationRecord *site = &header->site;
    DateRecord local;
    SetCompletedDate(site, header->start, &local);
    DateRecord r;
    std::memset(&r, 0, sizeof r);
    SetDateRecord(&r, site, local.month, local.day, local.year, 0.0, kLocalTime);
    SetCompletedDate(site, r.julianDate, &r);
    header->definitionKind = kDefinitionCalendar;
    FileHandle file(StoreEventFileHeader(header));
    if (!file) return -1;
    const int months = static_cast<int>(header->period) - (local.day < kMidMonthDay ? 1 : 0);
    const double span = CalendarEnd(site, &r, months) - r.julianDate;
    const double limit = SeparationLimitRadians(header);
    HorizonRow horizon[kHorizonRowCount];
    NoHorizon(horizon);
    const uint32_t flags = header->finderFlags;
    int added = 0;
    if ((flags & kFindMoonPhases) && !Stopped(stop)) {
        Tick(progress, 1);
        added += FindMoonPhases(header, file.get(), &r, span);
    }
    Tick(progress, 0);
    if ((flags & kFindShowers) && !Stopped(stop)) {
        Tick(progress, 2);
        added += FindShowerPeaks(header, file.get(), horizon, &r, span, kCalendarCriteria);
    }
    Tick(progress, 0);
    if ((flags & kFindEclipses) && !Stopped(stop)) {
        Tick(progress, 3);
        const uint8_t pairKind = header->pairKind;
        for (int kind : {kPairLunarEclipse, kPairSolarEclipse}) {
            header->pairKind = static_cast<uint8_t>(kind);
            added += FindEclipses(header, file.get(), 0, horizon, &r, span, kCalendarCriteria, stop);
        }
        header->pairKind = pairKind;
    }
    Tick(progress, 0);
    auto step = [&](uint32_t bit, int number, auto run) {
        if ((flags & bit) && !Stopped(stop)) {
            Tick(progress, number);
            const int n = run();
            if (n > 0) added += n;
        } else {
            for (int i = 0; i < kDisabledTicks; ++i) Tick(progress, 0);
        }
    };
    step(kFindPlanetPhenomena, 4, [&] { return FindPlanetPhenomena(header, file.get(), &r, span, stop, progress); });
    step(kFindSatellitePhenomena, 5, [&] {
        return FindSatellitePhenomena(header, file.get(), horizon, &r, span, kCalendarCriteria, stop, progress);
    });
    step(kFindRedSpot, 6, [&] { return FindGreatRedSpotTransits(header, file.get(), horizon, &r, span, stop); });
    step(kFindSatelliteElongations, 7, [&] {
        return FindSatelliteElongations(header, file.get(), horizon, &r, span, kCalendarCriteria, stop, progress);
    });
    if (!Stopped(stop)) added += CalendarApproaches(header, file.get(), &r, span, limit, horizon, stop, progress);
    SafeClose(file.release());
    Tick(progress, 0);
    SaveEventFileHeader(header);
    return added;
}

int ComputeSearchEvents(EventFileHeader *header, const int *stop, EventProgress progress) {
    if (!header) return -1;
    const int kind = header->definitionKind;
    if (kind == kDefinitionPair && (header->pairKind == kPairOccultations || header->pairKind == kPairCloseApproach) &&
        SameBody(header))
        return 0;
    const int criteria = kind > kDefinitionPair ? kind - 4 : kind;
    const LocationRecord *site = &header->site;
    DateRecord start;
    SetCompletedDate(site, header->start, &start);
    FileHandle file(StoreEventFileHeader(header));
    if (!file) return -1;
    const double span = SearchSpanDays(header, &start);
    const double limit = SeparationLimitRadians(header);
    HorizonRow horizon[kHorizonRowCount];
    NoHorizon(horizon);
    if (!(site->displayFlags & kSiteIgnoresHorizon) && !LoadHorizon(site, horizon)) NoHorizon(horizon);
    const uint32_t flags = header->finderFlags;
    int added = 0;
    if (kind == kDefinitionPhenomena) {
        if (flags & kFindMoonPhases) added += FindMoonPhases(header, file.get(), &start, span);
        if ((flags & kFindShowers) && !Stopped(stop))
            added += FindShowerPeaks(header, file.get(), horizon, &start, span, kCalendarCriteria);
        if ((flags & kFindRedSpot) && !Stopped(stop)) {
            const int n = FindGreatRedSpotTransits(header, file.get(), horizon, &start, span, stop);
            if (n > 0) added += n;
        }
        if (!Stopped(stop)) added += FindPlanetPhenomena(header, file.get(), &start, span, stop, nullptr);
        for (int i = 0; i < kSearchTicks; ++i) Tick(progress, 0);
    } else if (kind == kDefinitionPair) {
        if (header->pairKind == kPairSolarEclipse || header->pairKind == kPairLunarEclipse) {
            added += FindEclipses(header, file.get(), 1, horizon, &start, span, criteria, stop);
        } else if (header->pairKind == kPairOccultations) {
            added += FindOccultationsAndTransits(header, file.get(), 1, horizon, &start, span, criteria, stop, progress);
        } else if (header->pairKind == kPairCloseApproach) {
            const int n = PairApproaches(header, file.get(), &start, span, limit, horizon, stop, progress);
            if (n < 0) return -1;  // the file closes with its handle
            added += n;
        }
    } else if (kind == kDefinitionSatelliteElongations) {
        added += FindSatelliteElongations(header, file.get(), horizon, &start, span, criteria, stop, progress);
    } else if (kind == kDefinitionSatellitePhenomena) {
        added += FindSatellitePhenomena(header, file.get(), horizon, &start, span, criteria, stop, progress);
    }
    SafeClose(file.release());
    SaveEventFileHeader(header);
    return added;
}
