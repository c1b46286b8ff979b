// Eclipses, occultations and transits with their contacts, and their finders.
#include "events/eclipsesearch.h"

#include <cstring>

#include "core/mathutil.h"
#include "ephem/bodyrecord.h"
#include "events/eventdates.h"
#include "events/eventinsert.h"
#include "events/eventsky.h"
#include "sites/horizongeometry.h"

namespace {

const double kNearContactSpan = 0.15;  // days
const double kSunContactSpan = 1.5;    // days
const double kSunInnerFactor = 10.0;
const double kResumeAfterDays = 3.0;
const double kLowAltitude = 0.0872664625997164739;  // 5 degrees
const int kContactSteps = 8;
const int kSolarSteps = 4;
const int kEntryCode = 12;
const int kExitCode = 13;
const int kFirstContactStep = 1;
const int kLastContactStep = 4;

// Measure mode and start of each contact search (step 1..8): before the
// maximum (-1 s, -2 the inner span) or from it (0).
struct ContactStep {
    int measure;
    int before;  // 1: starts before the maximum
    int inner;   // 1: uses the inner span s2
};
const ContactStep kSteps[kContactSteps] = {
    {kMeasureOuterContact, 1, 0},     {kMeasureInnerContact, 1, 1},    {kMeasureInnerContact, 0, 0},
    {kMeasureOuterContact, 0, 0},     {kMeasurePenumbralContact, 1, 0}, {kMeasurePenumbraVisible, 1, 0},
    {kMeasurePenumbraVisible, 0, 0}, {kMeasurePenumbralContact, 0, 0},
};

bool Involves(const EclipseSearch *s, int index) {
    return (s->class1 == 2 && s->index1 == index) || (s->class2 == 2 && s->index2 == index);
}

// A solar eclipse asked for at the Earth's centre is one seen from anywhere
// on the Earth: at the centre itself the discs overlap only for the central
// eclipses with the shadow's axis near the centre, and most eclipses would
// be missed.
bool WholeEarth(const EclipseSearch *s) {
    return s->mode == kEclipseSolar && s->site && s->site->rhoCosPhi == 0.0 && s->site->rhoSinPhi == 0.0;
}

bool HasHorizon(const HorizonRow *h) { return h && h[0].azimuth != -1.0; }

// A contact as the finders keep it: the sky at the place given, the filters
// of the criteria. Returns whether it is kept.
bool KeepContact(EventFileHeader *header, const HorizonRow *horizon, int criteriaNumber, const EclipseContact &c,
                 double ra, double dec, EventContact *out, EventSky *sky) {
    EvaluateEventSky(&header->site, c.time, ra, dec, sky);
    const HorizonRow *table = HasHorizon(horizon) ? horizon : nullptr;
    if (!PassesEventCriteria(&header->site, &header->criteria[criteriaNumber], table, c.time, dec, *sky))
        return false;
    out->code = c.code;
    out->time = c.time;
    out->separation = c.separation;
    out->darkness = sky->darkness;
    out->altitude = sky->altitude;
    out->hourScore = sky->hourScore;
    return true;
}

}  // namespace

double GetContactSearchSpan(const EclipseSearch *s) {
    return Involves(s, kBodySun) && !Involves(s, kBodyMoon) ? kSunContactSpan : kNearContactSpan;
}

int BeginEclipseSearch(const LocationRecord *site, const DateRecord *start, EclipseSearch *s, double span, int mode,
                       int class1, int class2, int index1, int index2, int satellite1, int satellite2,
                       const int *stop) {
    if (!s || !start) return 0;
    std::memset(s, 0, sizeof *s);
    s->site = site;
    s->start = *start;
    s->span = span;
    s->mode = mode;
    if (mode == kEclipseSolar) {
        class1 = class2 = 2;
        index1 = kBodySun;
        index2 = kBodyMoon;
        satellite1 = satellite2 = 0;
    } else if (mode == kEclipseLunar) {
        class1 = class2 = 2;
        index1 = kBodyMoon;
        index2 = kBodyEarthShadow;
        satellite1 = satellite2 = 0;
    }
    s->class1 = class1;
    s->class2 = class2;
    s->index1 = index1;
    s->index2 = index2;
    s->satellite1 = satellite1;
    s->satellite2 = satellite2;
    const int begun = BeginPairSearch(&s->pair, site, start, span, kOneSecondDays, 0.0, class1, index1, satellite1,
                                      class2, index2, satellite2, kCoordinatesTopocentricOfDate, kMeasureEclipse, 0,
                                      0, stop);
    s->pair.wholeEarth = WholeEarth(s) ? 1 : 0;
    return begun;
}

void EndEclipseSearch(EclipseSearch *s) {
    if (s) EndPairSearch(&s->pair);
}

int NextEclipseEvent(EclipseSearch *s, int *result, EclipseContact contacts[kEclipseMaxContacts], const int *stop,
                     EventProgress progress) {
    if (!s || !contacts) return 0;
    double t = 0, m = 0, mags[2] = {0, 0};
    int r;
    for (;;) {
        r = NextPairEvent(&s->pair, s->site, &t, &m, mags);
        if (r == kPairEnd) return 0;
        if (r == kPairProgress) {
            if (progress) progress(0);
            continue;
        }
        if (r >= kPairOccultation) break;
    }
    if (result) *result = r;
    const bool bothBodies = s->class1 == 2 && s->class2 == 2;
    const bool eclipse = s->mode != kEclipsePair;
    int n = 0;
    auto fill = [&](EclipseContact *c, double time, int code, PairSearch *from) {
        double ra[2] = {0, 0}, dec[2] = {0, 0}, mg[2] = {0, 0};
        const DateRecord saved = from->date;
        SetCompletedDate(s->site, time, &from->date);
        ComputePairPlaces(from, s->site, ra, dec, nullptr, mg);
        from->date = saved;
        c->time = time;
        c->code = code;
        c->ra1 = ra[0];
        c->ra2 = ra[1];
        c->dec1 = dec[0];
        c->dec2 = dec[1];
        c->magnitude1 = mg[0];
        c->magnitude2 = mg[1];
        c->separation = AngularSeparation(ra[0], dec[0], ra[1], dec[1]);
    };
    const int maxCode = eclipse ? kContactMidEclipse
                                : ((r == kPairOccultation || r == kPairOccultation + kPairBody2Offset) ? kContactMidOccultation
                                                                                                     : kContactMidTransit);
    fill(&contacts[n++], t, maxCode, &s->pair);
    const double span = GetContactSearchSpan(s);
    const double inner = Involves(s, kBodySun) && !Involves(s, kBodyMoon) ? kNearContactSpan * kSunInnerFactor
                                                                         : kNearContactSpan;
    const int steps = s->mode == kEclipseLunar ? kContactSteps : kSolarSteps;
    for (int step = 1; step <= steps && n < kEclipseMaxContacts; ++step) {
        const ContactStep &cs = kSteps[step - 1];
        if ((step == 2 || step == 3) && !bothBodies) continue;
        const double length = cs.inner ? inner : span;
        DateRecord from;
        SetCompletedDate(s->site, cs.before ? t - length : t, &from);
        PairSearch contact;
        if (!BeginPairSearch(&contact, s->site, &from, length, kOneSecondDays, 0.0, s->class1, s->index1,
                             s->satellite1, s->class2, s->index2, s->satellite2, kCoordinatesTopocentricOfDate,
                             cs.measure, 0, 0, stop))
            return -1;
        contact.wholeEarth = s->pair.wholeEarth;
        double ct = 0, cm = 0;
        int cr;
        while ((cr = NextPairEvent(&contact, s->site, &ct, &cm, nullptr)) == kPairProgress) {
        }
        if (cr > 0) {
            int code = step + 3;
            if (!eclipse && !bothBodies) code = step == kFirstContactStep ? kEntryCode : kExitCode;
            if (eclipse || bothBodies || step == kFirstContactStep || step == kLastContactStep)
                fill(&contacts[n++], ct, code, &contact);
        }
        EndPairSearch(&contact);
    }
    // The search goes on after this event, with no minimum carried over.
    SetCompletedDate(s->site, t + kResumeAfterDays, &s->pair.date);
    s->pair.previous = 0.0;
    s->pair.rising = 1;
    return n;
}

int FindEclipses(EventFileHeader *header, std::FILE *file, int hourAngle, const HorizonRow *horizon,
                 const DateRecord *start, double span, int criteriaNumber, const int *stop) {
    if (!header || !file || !start || criteriaNumber < 0 || criteriaNumber > 3) return 0;
    const bool solar = header->pairKind == kPairSolarEclipse;
    EclipseSearch search;
    if (!BeginEclipseSearch(&header->site, start, &search, span, solar ? kEclipseSolar : kEclipseLunar, 0, 0, 0, 0, 0,
                            0, stop))
        return 0;
    int added = 0;
    EclipseContact contacts[kEclipseMaxContacts];
    int result = 0, n;
    while ((n = NextEclipseEvent(&search, &result, contacts, stop, nullptr)) > 0) {
        EventRecord event;
        ClearEventRecord(&event);
        event.kind = static_cast<uint8_t>(solar ? kEventSolarEclipse : kEventLunarEclipse);
        event.body1Class = event.body2Class = 2;
        event.body1Index = search.index1;
        event.body2Index = search.index2;
        int kept = 0;
        for (int i = 0; i < n; ++i) {
            EventSky sky;
            EventContact &out = event.contacts[kept];
            if (!KeepContact(header, hourAngle ? horizon : nullptr, criteriaNumber, contacts[i], contacts[i].ra1,
                             contacts[i].dec1, &out, &sky))
                continue;
            out.visible = HasHorizon(horizon)
                              ? static_cast<uint8_t>(IsAboveHorizonAtHourAngle(&header->site, contacts[i].dec1,
                                                                              horizon, sky.hourAngle) ? 1 : 0)
                              : static_cast<uint8_t>(sky.altitude > kLowAltitude ? 1 : 0);
            if (kept == 0) event.time = contacts[i].time;
            ++kept;
        }
        if (kept == 0) continue;  // no contact passes: nothing stored
        event.contactCount = kept;
        added += InsertEvent(file, header, span, &event, 1);
    }
    EndEclipseSearch(&search);
    return added;
}

int FindOccultationsAndTransits(EventFileHeader *header, std::FILE *file, int hourAngle, const HorizonRow *horizon,
                                const DateRecord *start, double span, int criteriaNumber, const int *stop,
                                EventProgress progress) {
    if (!header || !file || !start || criteriaNumber < 0 || criteriaNumber > 3) return 0;
    EclipseSearch search;
    if (!BeginEclipseSearch(&header->site, start, &search, span, kEclipsePair, header->body1Class,
                            header->body2Class, header->body1Index, header->body2Index, header->body1Satellite,
                            header->body2Satellite, stop))
        return 0;
    int added = 0;
    EclipseContact contacts[kEclipseMaxContacts];
    int result = 0, n;
    while ((n = NextEclipseEvent(&search, &result, contacts, stop, progress)) > 0) {
        const bool body2Front = result > kPairBody2Offset;
        EventRecord event;
        ClearEventRecord(&event);
        event.kind = static_cast<uint8_t>(result == kPairOccultation || result == kPairOccultation + kPairBody2Offset
                                              ? kEventOccultation
                                              : kEventTransit);
        event.body1Class = search.class1;
        event.body1Index = search.index1;
        event.body1Satellite = search.satellite1;
        event.body2Class = search.class2;
        event.body2Index = search.index2;
        event.body2Satellite = search.satellite2;
        event.body2InFront = body2Front ? 1 : 0;
        int kept = 0;
        for (int i = 0; i < n; ++i) {
            const EclipseContact &c = contacts[i];
            EventSky sky;
            EventContact &out = event.contacts[kept];
            const double ra = body2Front ? c.ra2 : c.ra1, dec = body2Front ? c.dec2 : c.dec1;
            if (!KeepContact(header, hourAngle ? horizon : nullptr, criteriaNumber, c, ra, dec, &out, &sky)) continue;
            out.visible = static_cast<uint8_t>(BlendForObject(sky.hourScore, search.class1, c.magnitude1, 0, 0) > 0 &&
                                                       BlendForObject(sky.hourScore, search.class2, c.magnitude2, 0, 0) > 0
                                                   ? 1
                                                   : 0);
            if (kept == 0) event.time = c.time;
            ++kept;
        }
        if (kept == 0) continue;
        event.contactCount = kept;
        // Without the limit flag: an overlap found near the end of a period
        // is stored whole.
        added += InsertEvent(file, header, span, &event, 0);
    }
    EndEclipseSearch(&search);
    return added;
}
