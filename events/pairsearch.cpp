// The two-body search: a coarse step (one day, or a fiftieth of a short
// span), a minimum when the measure turns from falling to rising, and a
// refinement that narrows a 60-point grid tenfold per pass.
#include "events/pairsearch.h"

#include <cmath>
#include <cstring>

#include "core/mathutil.h"
#include "ephem/bodyrecord.h"
#include "events/eventdates.h"
#include "events/gridrefine.h"

namespace {

const double kDaysPerCentury = 36525.0;
const double kLongSpanDays = 10.0;
const double kShortSpanStepFraction = 0.02;
const double kProgressFraction = 0.05;
// The Earth's equatorial radius, AU.
const double kEarthRadiusAU = 4.263521265e-5;
// The reciprocal of a separation of zero (a body and itself, a point on a
// body): large, never a division by zero.
const double kCoincidentReciprocal = 1e12;

double MeasureOfSeparation(int measureMode, const SearchBody *a, const SearchBody *b, double widening);

bool NeedsDiameters(int measureMode) {
    return (measureMode >= kMeasureSeparationDiscs && measureMode <= kMeasurePenumbraVisible) ||
           measureMode == kMeasureEclipse;
}

bool IsShadow(const SearchBody &b) { return b.objectClass == 2 && b.index == kBodyEarthShadow; }

// The larger diameter of a body for the overlap test.
double OverlapDiameter(const SearchBody &b) {
    const double d = b.diameter1 > b.diameter2 ? b.diameter1 : b.diameter2;
    return IsShadow(b) ? d * kVisiblePenumbraFactor : d;
}

// The radius of the disc in measure mode 1 (the Earth's shadow: its penumbra).
double DiscRadius(const SearchBody &b) {
    if (IsShadow(b)) return b.diameter2 * 0.5;
    return (b.diameter1 > b.diameter2 ? b.diameter1 : b.diameter2) * 0.5;
}

int Evaluate(PairSearch *s, const LocationRecord *site, const DateRecord *date, int physical) {
    const bool ecliptic = s->measureMode == kMeasureLongitude;
    for (SearchBody &b : s->body)
        if (!ComputeSearchBody(&b, site, date, s->coordinateMode, ecliptic, physical, &s->toDate, &s->toJ2000))
            return 0;
    return 1;
}

double CurrentMeasure(PairSearch *s) {
    if (s->measureMode == kMeasureSeparationDiscs) s->limit = DiscRadius(s->body[0]) + DiscRadius(s->body[1]);
    const double widening = s->wholeEarth ? WholeEarthWidening(&s->body[0], &s->body[1]) : 0.0;
    return MeasureOfSeparation(s->measureMode, &s->body[0], &s->body[1], widening);
}

// The time of the smallest measure near t; the search's date and step are
// left as they were. measure gets the value there.
double Refine(PairSearch *s, const LocationRecord *site, double t, double *measure) {
    const int physical = NeedsDiameters(s->measureMode) ? 1 : 0;
    DateRecord probe;
    auto value = [&](double x, double *v) {
        SetCompletedDate(site, x, &probe);
        if (!Evaluate(s, site, &probe, physical)) return 0;
        *v = CurrentMeasure(s);
        return 1;
    };
    // A measure that no longer exceeds the limit needs no finer grid.
    auto withinLimit = [s](double best) { return !(best > s->limit); };
    return RefineGridMinimum(t, s->step, s->tolerance, value, [](double) {}, withinLimit, measure);
}

}  // namespace

double WholeEarthWidening(const SearchBody *a, const SearchBody *b) {
    const double nearer = a->distance < b->distance ? a->distance : b->distance;
    const double farther = a->distance < b->distance ? b->distance : a->distance;
    if (!(nearer > kEarthRadiusAU)) return 0.0;
    return std::asin(kEarthRadiusAU / nearer) - std::asin(kEarthRadiusAU / farther);
}

double PairMeasure(int measureMode, const SearchBody *a, const SearchBody *b) {
    return MeasureOfSeparation(measureMode, a, b, 0.0);
}

namespace {

double MeasureOfSeparation(int measureMode, const SearchBody *a, const SearchBody *b, double widening) {
    double base;
    if (measureMode == kMeasureLongitude) {
        base = std::fabs(std::fmod(a->ra - b->ra, 2 * kPi));
        if (base > kPi) base = 2 * kPi - base;
    } else {
        base = AngularSeparation(a->ra, a->dec, b->ra, b->dec);
        if (measureMode == kMeasureReciprocal) base = base > 1.0 / kCoincidentReciprocal ? 1.0 / base : kCoincidentReciprocal;
    }
    // The contacts of a whole-Earth search; a separation itself stays one
    // (its minimum is the time of greatest eclipse, and the refinement
    // stops at a measure of zero).
    if (measureMode >= kMeasureOuterContact && measureMode <= kMeasurePenumbraVisible) base -= widening;
    switch (measureMode) {
    case kMeasureOuterContact: return std::fabs(base - (a->diameter1 + b->diameter1) * 0.5);
    case kMeasureInnerContact: return std::fabs(base - std::fabs(a->diameter1 - b->diameter1) * 0.5);
    case kMeasurePenumbralContact: return std::fabs(base - (a->diameter2 + b->diameter2) * 0.5);
    case kMeasurePenumbraVisible:
        return std::fabs(base - std::fabs(a->diameter2 + b->diameter2) * kVisiblePenumbraFactor * 0.5);
    default: return base;
    }
}

}  // namespace

int BeginPairSearch(PairSearch *search, const LocationRecord *site, const DateRecord *start, double span,
                    double tolerance, double limit, int class1, int index1, int satellite1, int class2, int index2,
                    int satellite2, int coordinateMode, int measureMode, double ra, double dec, const int *stop) {
    if (!search || !start) return 0;
    std::memset(search, 0, sizeof *search);
    search->date = *start;
    search->end = start->centuriesTT + span / kDaysPerCentury;
    search->step = span > kLongSpanDays ? 1.0 : span * kShortSpanStepFraction;
    search->progressInterval = span * kProgressFraction / kDaysPerCentury;
    search->nextTick = start->centuriesTT + search->progressInterval;
    search->tolerance = tolerance;
    search->limit = limit;
    search->coordinateMode = coordinateMode;
    search->measureMode = measureMode;
    search->stop = stop;
    InitPrecession(&search->toDate, 0.0, start->centuries, 1, 1);
    InitPrecession(&search->toJ2000, start->centuries, 0.0, 1, 1);
    if (!SetUpSearchBody(&search->body[0], class1, index1, satellite1, ra, dec, start, site)) return 0;
    if (!SetUpSearchBody(&search->body[1], class2, index2, satellite2, ra, dec, start, site)) {
        ReleaseSearchBody(&search->body[0]);  // nothing of body 1 stays open
        return 0;
    }
    // The first step cannot report a minimum.
    search->previous = 0.0;
    search->rising = 1;
    search->started = 1;
    return 1;
}

int NextPairEvent(PairSearch *s, const LocationRecord *site, double *time, double *measure, double *magnitudes) {
    if (!s || !s->started) return kPairEnd;
    const int physical = NeedsDiameters(s->measureMode) ? 1 : 0;
    for (;;) {
        if (s->date.centuriesTT > s->end || (s->stop && *s->stop)) return kPairEnd;
        if (!Evaluate(s, site, &s->date, physical)) return kPairEnd;
        const double m = CurrentMeasure(s);
        double t = s->date.julianDate;
        const double eastward = GetSignedAngleDifference(s->body[0].ra, s->body[1].ra);
        const int rising = m - s->previous > 0 ? 1 : 0;
        const bool minimum = rising && !s->rising;
        s->previous = m;
        s->rising = rising;
        double found = m;
        if (minimum) t = Refine(s, site, t, &found);
        if (time) *time = t;
        if (measure) *measure = found;
        SetCompletedDate(site, s->date.julianDate + s->step, &s->date);
        if (minimum) {
            DateRecord at;
            SetCompletedDate(site, t, &at);
            SearchBody saved[2] = {s->body[0], s->body[1]};
            if (!Evaluate(s, site, &at, 1)) return kPairEnd;
            if (magnitudes) {
                magnitudes[0] = s->body[0].magnitude;
                magnitudes[1] = s->body[1].magnitude;
            }
            const double widening = s->wholeEarth ? WholeEarthWidening(&s->body[0], &s->body[1]) : 0.0;
            const int result =
                ClassifyPairMinimum(s->measureMode, &s->body[0], &s->body[1], found - widening, eastward);
            s->body[0] = saved[0];
            s->body[1] = saved[1];
            return result;
        }
        if (s->date.centuriesTT > s->nextTick) {
            s->nextTick += s->progressInterval;
            return kPairProgress;
        }
    }
}

int ClassifyPairMinimum(int measureMode, const SearchBody *a, const SearchBody *b, double measure, double eastward) {
    const bool body2Front = b->distance <= a->distance;
    const double da = OverlapDiameter(*a), db = OverlapDiameter(*b);
    if (measureMode > 0 && measureMode != kMeasureLongitude && (da + db) * 0.5 > measure) {
        const double front = body2Front ? db : da, back = body2Front ? da : db;
        const int result = front < back ? kPairTransit : kPairOccultation;
        return body2Front ? result + kPairBody2Offset : result;
    }
    if (measureMode == kMeasureReciprocal) return eastward > 0 ? kPairBody2Front : kPairBody1Front;
    return body2Front ? kPairBody2Front : kPairBody1Front;
}

void EndPairSearch(PairSearch *search) {
    if (!search) return;
    ReleaseSearchBody(&search->body[0]);
    ReleaseSearchBody(&search->body[1]);
    search->started = 0;
}

int ComputePairPlaces(PairSearch *s, const LocationRecord *site, double *ra, double *dec, int *body2InFront,
                      double *magnitudes) {
    if (!s) return 0;
    if (!Evaluate(s, site, &s->date, 1)) return 0;
    for (int i = 0; i < 2; ++i) {
        if (ra) ra[i] = s->body[i].ra;
        if (dec) dec[i] = s->body[i].dec;
        if (magnitudes) magnitudes[i] = s->body[i].magnitude;
    }
    if (body2InFront) *body2InFront = s->body[1].distance <= s->body[0].distance ? 1 : 0;
    return 1;
}

int ComputePairMagnitudes(const LocationRecord *site, PairSearch *s, double time, double *magnitudes) {
    if (!s) return 0;
    const DateRecord savedDate = s->date;
    const int savedCoordinates = s->coordinateMode, savedMeasure = s->measureMode;
    const double savedLimit = s->limit;
    s->coordinateMode = kCoordinatesTopocentricOfDate;
    s->measureMode = kMeasureSeparation;
    SetCompletedDate(site, time, &s->date);
    const int ok = ComputePairPlaces(s, site, nullptr, nullptr, nullptr, magnitudes);
    s->date = savedDate;
    s->coordinateMode = savedCoordinates;
    s->measureMode = savedMeasure;
    s->limit = savedLimit;
    return ok;
}
