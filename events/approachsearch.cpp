// The many-body approach search: places once per step, one separation per
// pair, a refinement of the two bodies of a minimum, and a pair loop that
// resumes where it reported.
#include "events/approachsearch.h"

#include <new>

#include "core/mathutil.h"
#include "ephem/bodyrecord.h"
#include "events/eventdates.h"
#include "events/eventrecord.h"
#include "events/gridrefine.h"

namespace {

const double kDaysPerCentury = 36525.0;
const double kLongSpanDays = 10.0;
const double kShortSpanStepFraction = 0.02;
const double kProgressFraction = 0.2;

bool IsSunOrMoon(const SearchBody &b) {
    return b.objectClass == 2 && (b.index == kBodySun || b.index == kBodyMoon) && b.satellite == 0;
}

int Place(ApproachSearch *s, SearchBody *b, const DateRecord *date, int physical) {
    return ComputeSearchBody(b, &s->site, date, kCoordinatesTopocentricOfDate, 0, physical, &s->toDate, &s->toJ2000);
}

struct Refined {
    double time, separation;
    SearchBody a, b;  // as at the best time
};

Refined Refine(ApproachSearch *s, int i, int j, double t) {
    Refined out{t, kRefineStartBest, s->bodies[i].body, s->bodies[j].body};
    SearchBody a = s->bodies[i].body, b = s->bodies[j].body;
    DateRecord probe;
    auto separation = [&](double x, double *v) {
        SetCompletedDate(&s->site, x, &probe);
        if (!Place(s, &a, &probe, 1) || !Place(s, &b, &probe, 1)) return 0;
        *v = AngularSeparation(a.ra, a.dec, b.ra, b.dec);
        return 1;
    };
    auto keepBodies = [&](double) {
        out.a = a;
        out.b = b;
    };
    out.time = RefineGridMinimum(t, s->step, s->tolerance, separation, keepBodies, [](double) { return false; },
                                 &out.separation);
    return out;
}

void ReleaseAll(ApproachSearch *s) {
    for (ApproachBody &b : s->bodies) ReleaseSearchBody(&b.body);
    std::vector<ApproachBody>().swap(s->bodies);
}

}  // namespace

int BeginApproachSearch(ApproachSearch *search, const LocationRecord *site, const DateRecord *start, double span,
                        double tolerance, double limit, const int *stop) {
    if (!search || !start || !site) return 0;
    ReleaseAll(search);
    search->date = *start;
    search->site = *site;
    search->end = start->centuriesTT + span / kDaysPerCentury;
    search->step = span > kLongSpanDays ? 1.0 : span * kShortSpanStepFraction;
    search->tolerance = tolerance;
    search->limit = limit;
    InitPrecession(&search->toDate, 0.0, start->centuries, 1, 1);
    InitPrecession(&search->toJ2000, start->centuries, 0.0, 1, 1);
    search->progressInterval = span * kProgressFraction / kDaysPerCentury;
    search->nextTick = start->centuriesTT + search->progressInterval;
    search->stop = stop;
    search->listsPending = 1;
    search->first = -1;
    search->second = 0;
    return 1;
}

int AddApproachBody(ApproachSearch *search, int objectClass, int index, int satellite) {
    if (!search || objectClass == kEventClassFixedPoint) return 0;
    ApproachBody added;
    if (!SetUpSearchBody(&added.body, objectClass, index, satellite, 0, 0, &search->date, &search->site)) return 0;
    try {
        search->bodies.push_back(added);
    } catch (...) {
        ReleaseSearchBody(&added.body);
        ReleaseAll(search);  // every ephemeris already opened is closed too
        return 0;
    }
    search->listsPending = 1;
    return 1;
}

int NextApproach(ApproachSearch *s, double *time, double *separation, int *first, int *second, double *magnitude1,
                 double *magnitude2) {
    if (!s) return kApproachEnd;
    const int n = static_cast<int>(s->bodies.size());
    if (s->listsPending) {
        try {
            for (int i = 0; i < n; ++i) {
                // No pair can report a minimum at the first step.
                s->bodies[i].previous.assign(static_cast<size_t>(n - i - 1), 0.0);
                s->bodies[i].rising.assign(static_cast<size_t>(n - i - 1), 1);
            }
        } catch (...) {
            ReleaseAll(s);
            return kApproachEnd;
        }
        s->listsPending = 0;
        s->first = -1;
    }
    for (;;) {
        if (s->first < 0) {
            if (s->date.centuriesTT > s->end || (s->stop && *s->stop)) return kApproachEnd;
            for (ApproachBody &b : s->bodies) {
                if (!Place(s, &b.body, &s->date, 0)) return kApproachEnd;
                b.ra = b.body.ra;
                b.dec = b.body.dec;
            }
            s->first = 0;
            s->second = 1;
        }
        for (; s->first < n; ++s->first, s->second = s->first + 1) {
            const int i = s->first;
            for (; s->second < n; ++s->second) {
                const int j = s->second;
                ApproachBody &a = s->bodies[i], &b = s->bodies[j];
                if (IsSunOrMoon(a.body) && IsSunOrMoon(b.body)) continue;
                const size_t slot = static_cast<size_t>(j - i - 1);
                const double sep = AngularSeparation(a.ra, a.dec, b.ra, b.dec);
                const int rising = sep - a.previous[slot] > 0 ? 1 : 0;
                const bool minimum = rising && !a.rising[slot];
                a.previous[slot] = sep;
                a.rising[slot] = rising;
                if (!minimum) continue;
                const Refined r = Refine(s, i, j, s->date.julianDate);
                DateRecord at;
                SetCompletedDate(&s->site, r.time, &at);
                const bool overlap = a.body.satellite == 0 && b.body.satellite == 0 &&
                                     (r.a.diameter1 + r.b.diameter1) * 0.5 >= r.separation;
                if ((r.separation <= s->limit || overlap) && at.centuriesTT <= s->end) {
                    const bool secondNearer = r.b.distance < r.a.distance;
                    if (time) *time = r.time;
                    if (separation) *separation = r.separation;
                    if (first) *first = secondNearer ? j : i;
                    if (second) *second = secondNearer ? i : j;
                    if (magnitude1) *magnitude1 = secondNearer ? r.b.magnitude : r.a.magnitude;
                    if (magnitude2) *magnitude2 = secondNearer ? r.a.magnitude : r.b.magnitude;
                    ++s->second;  // the next call goes on with the next pair
                    return overlap ? kApproachOverlap : kApproachClose;
                }
            }
        }
        s->first = -1;
        SetCompletedDate(&s->site, s->date.julianDate + s->step, &s->date);
        if (s->date.centuriesTT > s->nextTick) {
            s->nextTick += s->progressInterval;
            return kApproachProgress;
        }
    }
}

void EndApproachSearch(ApproachSearch *search) {
    if (search) ReleaseAll(search);
}
