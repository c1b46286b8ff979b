// The satellite pass searches: sampling of the range (or of the separation
// from a target) at a tenth of the period, Brent's minimisation at each
// bracketed minimum, and the edges of visibility found by stepping and
// halving from the culmination.
#include "ephem/satpass.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "astro/airmass.h"
#include "astro/chartgeom.h"
#include "astro/frames.h"
#include "astro/sidereal.h"
#include "core/fileutil.h"
#include "core/mathutil.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "ephem/satgeometry.h"
#include "ephem/satposition.h"

namespace {

const double kTwoPi = 2.0 * kPi;
const double kEdgeStep = 0.003472222222222222;      // 5 minutes, days
const double kOneSecond = 1.1574074074074073e-05;   // days
const int kEdgeIterations = 500;
const int kBrentIterations = 100;
const double kGoldenSection = 0.381966;
const double kNextPassAltitude = -0.08726646259971647;  // -5 degrees
const double kApproachStepFraction = 0.04;
const double kSkipFraction = 0.75;
const double kBracketSteps = 1.6;
const double kProgressTick = 5.0;
const char *kPassListName = "esat/pass_list.bin";
const char *kPassListFolder = "esat";

bool NoLimit(double limit) { return limit >= kSatelliteNoMagnitudeLimit; }

bool Cancelled(const int *cancel) { return cancel && *cancel; }

void CompleteDate(SatellitePassContext *c, double julianDate) {
    if (c->currentJulianDate == julianDate && c->date.julianDate == julianDate) return;
    std::memset(&c->date, 0, sizeof c->date);
    c->date.julianDate = julianDate;
    SetDateRecordFromJulianDate(&c->site, &c->date);
    ComputeDeltaTAndNutation(&c->date, 0.0);
    ComputeSiderealTimes(&c->site, &c->date);
    c->currentJulianDate = julianDate;
}

// The period of the satellite in days.
double PeriodDays(const EarthSatelliteRecord *s) {
    return 1.0 / (s->elements.meanMotion * kMinutesPerDay / kTwoPi);
}

void InitContext(SatellitePassContext *c, const LocationRecord *site, double magnitudeLimit) {
    std::memset(c, 0, sizeof *c);
    c->site = *site;
    c->magnitudeLimit = magnitudeLimit;
}

// Brent's minimisation of f over [a, b] from x (Brent, Algorithms for
// Minimization without Derivatives, 1973, ch. 5). 1 with the minimum's
// abscissa in *xmin, 0 when the iterations ran out or f failed.
template <typename F>
int MinimiseBrent(F f, double a, double b, double x, double tolerance, double *xmin) {
    double w = x, v = x;
    double fx = 0.0;
    if (!f(x, &fx)) return 0;
    double fw = fx, fv = fx;
    double d = 0.0, e = 0.0;
    for (int iteration = 0; iteration < kBrentIterations; ++iteration) {
        double middle = 0.5 * (a + b);
        double tol1 = tolerance, tol2 = 2.0 * tol1;
        if (std::fabs(x - middle) <= tol2 - 0.5 * (b - a)) {
            *xmin = x;
            return 1;
        }
        bool golden = true;
        if (std::fabs(e) > tol1) {
            // Parabola through x, w and v.
            double r = (x - w) * (fx - fv);
            double q = (x - v) * (fx - fw);
            double p = (x - v) * q - (x - w) * r;
            q = 2.0 * (q - r);
            if (q > 0.0) p = -p;
            q = std::fabs(q);
            double eOld = e;
            e = d;
            if (std::fabs(p) < std::fabs(0.5 * q * eOld) && p > q * (a - x) && p < q * (b - x)) {
                d = p / q;
                double u = x + d;
                if (u - a < tol2 || b - u < tol2) d = middle >= x ? tol1 : -tol1;
                golden = false;
            }
        }
        if (golden) {
            e = (x >= middle ? a : b) - x;
            d = kGoldenSection * e;
        }
        double u = std::fabs(d) >= tol1 ? x + d : x + (d > 0.0 ? tol1 : -tol1);
        double fu = 0.0;
        if (!f(u, &fu)) return 0;
        if (fu <= fx) {
            if (u >= x) a = x;
            else b = x;
            v = w; fv = fw;
            w = x; fw = fx;
            x = u; fx = fu;
        } else {
            if (u < x) a = u;
            else b = u;
            if (fu <= fw || w == x) {
                v = w; fv = fw;
                w = u; fw = fu;
            } else if (fu <= fv || v == x || v == w) {
                v = u; fv = fu;
            }
        }
    }
    return 0;
}

// Magnitude without extinction at the context's last evaluation.
double MagnitudeWithoutExtinction(SatellitePassContext *c, double range) {
    if (c->satellite.standardMagnitude >= kSatelliteMagnitudeNone) return kNoSatelliteMagnitude;
    double sun[3];
    ComputeSunVectorOfDate(c->date.centuriesTT, c->date.meanObliquity, sun);
    double s[3] = {c->satelliteVector[0], c->satelliteVector[1], c->satelliteVector[2]};
    return ComputeSatelliteMagnitude(c->satellite.standardMagnitude, s, c->observerVector, range,
                                     sun, nullptr);
}

int ShadowAt(SatellitePassContext *c) {
    double sun[3];
    ComputeSunVectorOfDate(c->date.centuriesTT, c->date.meanObliquity, sun);
    return IsSatelliteInShadow(c->currentJulianDate, c->satelliteVector, sun, nullptr);
}

uint8_t EdgeKind(int direction, int visible, bool shadowChange) {
    if (direction == kEdgeForward) {
        if (!visible) return kEdgeKindOne;
        return shadowChange ? kEdgeKindShadowForward : kEdgeKindFour;
    }
    if (!visible) return kEdgeKindFour;
    return shadowChange ? kEdgeKindShadowBackward : kEdgeKindOne;
}

// FindVisibilityEdge with the edge kind handed back (for slot 1 too).
int FindEdge(SatellitePassContext *c, double julianDate, int direction, int visible, int inShadow,
             SatellitePass *pass, int slot, int *verdictOut, uint8_t *kindOut) {
    double step = direction == kEdgeForward ? kEdgeStep : -kEdgeStep;
    double t = julianDate + step;
    double best = julianDate;
    bool shadowChange = false;
    int iterations = 0;
    while (std::fabs(step) > kOneSecond && iterations < kEdgeIterations) {
        ++iterations;
        double ra, dec, range, az, alt, mag;
        int shadow = 0;
        int16_t score = 0;
        int v = ComputeSatelliteStateAt(c, t, &ra, &dec, &range, &az, &alt, &mag, &shadow, &score);
        if (v == kSatelliteDecayed) return 0;
        if (v && !shadow) best = t;
        if (visible && v && shadow != inShadow) shadowChange = true;
        if (v == visible && shadow == inShadow && alt > 0.0) {
            t += step;
        } else {
            step /= 2.0;
            t -= step;
        }
    }
    if (iterations >= kEdgeIterations) return 0;
    double ra, dec, range, az, alt, mag;
    int shadow = 0;
    int16_t score = 0;
    int v = ComputeSatelliteStateAt(c, best, &ra, &dec, &range, &az, &alt, &mag, &shadow, &score);
    if (v != 1 || shadow) return 0;
    pass->julianDate[slot] = best;
    pass->rightAscension[slot] = ra;
    pass->declination[slot] = dec;
    pass->altitude[slot] = alt;
    pass->azimuth[slot] = az;
    pass->magnitude[slot] = mag;
    pass->range[slot] = range;
    pass->inShadow[slot] = static_cast<uint8_t>(shadow);
    pass->score[slot] = score;
    uint8_t kind = EdgeKind(direction, visible, shadowChange);
    if (slot != 1) pass->edgeKind[slot] = kind;
    if (kindOut) *kindOut = kind;
    if (verdictOut) *verdictOut = v;
    return 1;
}

void CopySlot(SatellitePass *p, int from, int to) {
    p->julianDate[to] = p->julianDate[from];
    p->rightAscension[to] = p->rightAscension[from];
    p->declination[to] = p->declination[from];
    p->altitude[to] = p->altitude[from];
    p->azimuth[to] = p->azimuth[from];
    p->magnitude[to] = p->magnitude[from];
    p->range[to] = p->range[from];
    p->inShadow[to] = p->inShadow[from];
}

// Steps 3 of the plain search at a refined culmination: the verdict there
// and the edges. 1 with a complete pass.
int CompletePass(SatellitePassContext *c, SatellitePass *pass) {
    double jd = pass->julianDate[1];
    double azimuth = 0.0, altitude = 0.0;  // (the pass's fields are unaligned)
    ComputeSatelliteHorizonPlace(c, jd, pass->rightAscension[1], pass->declination[1], &azimuth,
                                 &altitude);
    pass->azimuth[1] = azimuth;
    pass->altitude[1] = altitude;
    if (pass->magnitude[1] < kSatelliteMagnitudeNone)
        pass->magnitude[1] +=
            ComputeExtinction(kSatelliteExtinction, pass->altitude[1] - c->site.horizonDip);
    bool noLimit = NoLimit(c->magnitudeLimit);
    if (!noLimit && !(pass->magnitude[1] <= c->magnitudeLimit)) return 0;
    pass->satellite = c->satellite;
    pass->edgeKind[1] = 0;
    int16_t score = 0;
    int visible = IsSatelliteVisible(&c->site, jd, pass->rightAscension[1], pass->declination[1],
                                     pass->altitude[1], pass->magnitude[1], noLimit ? 0 : 1,
                                     &score);
    pass->score[1] = score;
    int shadow = pass->inShadow[1];
    int verdict = 0;
    int ok = 0;
    if (!visible) {
        // On an eccentric orbit the closest approach can lie below 10
        // degrees while the satellite climbs above them before or after it:
        // the nearest visible moment of that arc becomes the culmination.
        if (!(pass->altitude[1] > 0.0)) return 0;
        uint8_t kind = 0;
        if (FindEdge(c, jd, kEdgeForward, 0, shadow, pass, 1, &verdict, &kind)) {
            CopySlot(pass, 1, 0);
            pass->score[0] = pass->score[1];
            pass->edgeKind[0] = kind;
            ok = FindEdge(c, pass->julianDate[1], kEdgeForward, 1, 0, pass, 2, &verdict, nullptr);
        } else if (FindEdge(c, jd, kEdgeBackward, 0, shadow, pass, 2, &verdict, nullptr)) {
            CopySlot(pass, 2, 1);
            pass->score[1] = pass->score[2];
            ok = FindEdge(c, pass->julianDate[1], kEdgeBackward, 1, 0, pass, 0, &verdict, nullptr);
        }
    } else if (!shadow) {
        ok = FindEdge(c, jd, kEdgeBackward, 1, 0, pass, 0, &verdict, nullptr) &&
             FindEdge(c, jd, kEdgeForward, 1, 0, pass, 2, &verdict, nullptr);
    } else if (FindEdge(c, jd, kEdgeBackward, 1, 1, pass, 2, &verdict, nullptr)) {
        // The last lit moment before the culmination ends the pass and
        // becomes its culmination.
        CopySlot(pass, 2, 1);
        pass->score[1] = pass->score[2];
        ok = FindEdge(c, pass->julianDate[1], kEdgeBackward, 1, 0, pass, 0, &verdict, nullptr);
    } else {
        uint8_t kind = 0;
        if (FindEdge(c, jd, kEdgeForward, 1, 1, pass, 1, &verdict, &kind)) {
            // The first lit moment after it starts the pass.
            CopySlot(pass, 1, 0);
            pass->score[0] = pass->score[1];
            pass->edgeKind[0] = kind;
            ok = FindEdge(c, pass->julianDate[1], kEdgeForward, 1, 0, pass, 2, &verdict, nullptr);
        }
    }
    if (!ok) return 0;
    if (!noLimit && !(pass->magnitude[1] <= c->magnitudeLimit)) return 0;
    return 1;
}

// The running percentage of the progress ticks.
struct Progress {
    double percent = 0.0;
    void Satellite(int count, SatellitePassProgress callback) {
        percent += 100.0 / count;
        if (percent >= kProgressTick) {
            if (callback) callback(0);
            percent = 0.0;
        }
    }
};

// The lists of one search; freed unless handed over.
struct PassLists {
    SatellitePass *list[2] = {nullptr, nullptr};
    int count[2] = {0, 0};
    bool failed = false;
    ~PassLists() {
        std::free(list[0]);
        std::free(list[1]);
    }
    void Add(int which, const SatellitePass *pass) {
        if (!failed && !AppendSatellitePass(&list[which], pass, &count[which])) failed = true;
    }
};

enum SearchMode { kPlainSearch, kSplitSearch, kNextSearch };

// The scan of one satellite for the three pass searches. 0 when cancelled.
int ScanSatellite(SatellitePassContext *c, double startJd, double endJd, SearchMode mode,
                  const int *cancel, PassLists *lists) {
    double period = PeriodDays(&c->satellite);
    double span = endJd - startJd;
    c->step = period / 10.0;
    double sampleStep = c->step;
    if (mode == kSplitSearch && c->step > span) c->step = sampleStep = span / 10.0;
    if (mode == kNextSearch) sampleStep = std::min(c->step, span);
    if (!(sampleStep > 0.0)) return 1;

    // Visible and lit at the start: the split searches' first list.
    int lit = 0;
    if (mode != kPlainSearch) {
        double ra, dec, range, az, alt, mag;
        int shadow = 0;
        int16_t score = 0;
        int v = ComputeSatelliteStateAt(c, startJd, &ra, &dec, &range, &az, &alt, &mag, &shadow,
                                        &score);
        if (v == kSatelliteDecayed) return 1;
        lit = (v == 1 && !shadow) ? 1 : 0;
    }
    double t = mode == kNextSearch ? startJd : startJd - sampleStep;
    double last = mode == kNextSearch ? endJd : endJd + sampleStep;
    double priorRange = 0.0, previousTime = t;
    bool priorRising = true;
    int guard = 0;
    while ((mode == kNextSearch ? t <= last : t < last) && guard++ < 10000000) {
        if (Cancelled(cancel)) return 0;
        double ra, dec, range;
        if (!ComputeSatelliteTopocentricAt(c, t, &ra, &dec, &range)) return 1;  // decayed
        bool candidate;
        double centre;
        if (mode == kNextSearch) {
            double az = 0.0, alt = 0.0;
            ComputeSatelliteHorizonPlace(c, t, ra, dec, &az, &alt);
            candidate = alt > kNextPassAltitude;
            centre = t;
        } else {
            bool rising = range > priorRange;
            candidate = rising && !priorRising;
            priorRange = range;
            priorRising = rising;
            centre = previousTime;  // the lowest sample of the bracket
        }
        previousTime = t;
        if (!candidate) {
            t += sampleStep;
            continue;
        }
        SatellitePass pass;
        std::memset(&pass, 0, sizeof pass);
        CompleteDate(c, centre);
        double culmination = centre;
        bool accepted = false;
        if (RefineClosestApproach(c, &pass)) {
            culmination = pass.julianDate[1];
            if (CompletePass(c, &pass) && pass.julianDate[0] <= endJd) {
                if (mode == kPlainSearch) {
                    lists->Add(0, &pass);
                    accepted = true;
                } else if (pass.julianDate[2] >= startJd) {
                    // In progress: the satellite visible and lit at the start
                    // and this pass begun by then.
                    lists->Add(lit && pass.julianDate[0] <= startJd ? 0 : 1, &pass);
                    accepted = true;
                }
            }
        }
        // The next-pass search ends at its pass; a candidate that gave none
        // (a pass already over, or one never visible) lets it go on.
        if (mode == kNextSearch && accepted) break;
        t = std::max(culmination + kSkipFraction * period, t + sampleStep);
        priorRange = 0.0;
        priorRising = true;
        previousTime = t;
    }
    return 1;
}

int RunPassSearch(const LocationRecord *site, const DateRecord *start, double spanMinutes,
                  const EarthSatelliteRecord *satellites, int count, double magnitudeLimit,
                  SearchMode mode, const int *cancel, SatellitePassProgress progress,
                  PassLists *lists) {
    if (!site || !start || !satellites || count <= 0) return 1;
    SatellitePassContext *context =
        static_cast<SatellitePassContext *>(std::calloc(1, sizeof(SatellitePassContext)));
    if (!context) return 0;
    double startJd = start->julianDate;
    double endJd = startJd + spanMinutes / kMinutesPerDay;
    Progress ticks;
    int result = 1;
    for (int i = 0; i < count && result; ++i) {
        ticks.Satellite(count, progress);
        InitContext(context, site, magnitudeLimit);
        BeginSatelliteInContext(context, &satellites[i]);
        if (!(context->satellite.elements.meanMotion > 0.0)) continue;
        result = ScanSatellite(context, startJd, endJd, mode, cancel, lists);
        if (lists->failed) result = 0;
    }
    std::free(context);
    return result;
}

}  // namespace

void BeginSatelliteInContext(SatellitePassContext *c, const EarthSatelliteRecord *satellite) {
    c->satellite = *satellite;
    c->deepSpace = IsDeepSpaceOrbit(&satellite->elements);
    InitSatellitePropagator(&c->propagator, &satellite->elements);
}

int ComputeSatelliteTopocentricAt(SatellitePassContext *c, double julianDate,
                                  double *rightAscension, double *declination, double *range) {
    ComputeObserverVector(julianDate, -c->site.longitude, c->site.rhoCosPhi, c->site.rhoSinPhi,
                          c->observerVector);
    double minutes = (julianDate - c->satellite.elements.epoch) * kMinutesPerDay;
    if (PropagateSatellite(minutes, &c->satellite.elements, &c->propagator, c->satelliteVector,
                           nullptr) != kPropagationGood)
        return 0;
    ComputeTopocentricFromVectors(c->observerVector, c->satelliteVector, rightAscension,
                                  declination, range);
    return 1;
}

int ComputeSatelliteHorizonPlace(SatellitePassContext *c, double julianDate,
                                 double rightAscension, double declination, double *azimuth,
                                 double *altitude) {
    CompleteDate(c, julianDate);
    double hourAngle = GetHourAngle(&c->date, rightAscension, kMeanSiderealTime);
    ConvertHourAngleToHorizontal(&c->site, hourAngle, declination, azimuth, altitude, 1);
    return 1;
}

int ComputeSatelliteStateAt(SatellitePassContext *c, double julianDate, double *rightAscension,
                            double *declination, double *range, double *azimuth,
                            double *altitude, double *magnitude, int *inShadow,
                            int16_t *score) {
    CompleteDate(c, julianDate);
    if (!ComputeSatelliteTopocentricAt(c, julianDate, rightAscension, declination, range))
        return kSatelliteDecayed;
    ComputeSatelliteHorizonPlace(c, julianDate, *rightAscension, *declination, azimuth, altitude);
    double sun[3];
    ComputeSunVectorOfDate(c->date.centuriesTT, c->date.meanObliquity, sun);
    *inShadow = IsSatelliteInShadow(julianDate, c->satelliteVector, sun, nullptr);
    if (c->satellite.standardMagnitude >= kSatelliteMagnitudeNone) {
        *magnitude = kNoSatelliteMagnitude;
    } else {
        double s[3] = {c->satelliteVector[0], c->satelliteVector[1], c->satelliteVector[2]};
        *magnitude = ComputeSatelliteMagnitude(c->satellite.standardMagnitude, s,
                                               c->observerVector, *range, sun, altitude);
    }
    bool skyTest = !NoLimit(c->magnitudeLimit);
    *score = 0;
    return IsSatelliteVisible(&c->site, julianDate, *rightAscension, *declination, *altitude,
                              *magnitude, skyTest ? 1 : 0, score);
}

namespace {

// Minimises f (an offset in days from the context's date, giving the value)
// within the bracket of kBracketSteps steps about that date, moves the
// context there and records the pass's middle point. Offsets from the centre
// keep the abscissa's precision (a Julian date itself resolves only about a
// microday). 1 with the place in *ra, *dec; 0 with the date and step put back
// when the search fails.
template <typename F>
int RefinePassMiddle(SatellitePassContext *c, F f, double tolerance, SatellitePass *pass, double *ra,
                     double *dec) {
    double centre = c->currentJulianDate;
    double savedStep = c->step;
    double best = 0.0;
    double half = kBracketSteps * c->step;
    if (!MinimiseBrent(f, -half, half, 0.0, tolerance, &best)) {
        c->step = savedStep;
        CompleteDate(c, centre);
        return 0;
    }
    double jd = centre + best;
    CompleteDate(c, jd);
    double r;
    if (!ComputeSatelliteTopocentricAt(c, jd, ra, dec, &r)) return 0;
    pass->julianDate[1] = jd;
    pass->rightAscension[1] = *ra;
    pass->declination[1] = *dec;
    pass->range[1] = r;
    pass->inShadow[1] = static_cast<uint8_t>(ShadowAt(c));
    pass->magnitude[1] = MagnitudeWithoutExtinction(c, r);
    return 1;
}

}  // namespace

int RefineClosestApproach(SatellitePassContext *c, SatellitePass *pass) {
    double centre = c->currentJulianDate;
    auto range = [c, centre](double x, double *f) {
        double ra, dec;
        return ComputeSatelliteTopocentricAt(c, centre + x, &ra, &dec, f);
    };
    double ra, dec;
    return RefinePassMiddle(c, range, 1e-7, pass, &ra, &dec);
}

int RefineClosestApproachToTarget(SatellitePassContext *c, SatellitePass *pass) {
    double centre = c->currentJulianDate;
    auto separation = [c, centre](double x, double *f) {
        double ra, dec, r;
        if (!ComputeSatelliteTopocentricAt(c, centre + x, &ra, &dec, &r)) return 0;
        *f = AngularSeparation(ra, dec, c->targetRightAscension, c->targetDeclination);
        return 1;
    };
    double ra, dec;
    if (!RefinePassMiddle(c, separation, 1e-9, pass, &ra, &dec)) return 0;
    pass->separation[1] = AngularSeparation(c->targetRightAscension, c->targetDeclination, ra, dec);
    pass->positionAngle[1] =
        ComputePositionAngle(c->targetRightAscension, c->targetDeclination, ra, dec);
    return 1;
}

int FindVisibilityEdge(SatellitePassContext *context, double julianDate, int direction,
                       int visible, int inShadow, SatellitePass *pass, int slot, int *verdict) {
    if (!context || !pass || slot < 0 || slot > 2) return 0;
    return FindEdge(context, julianDate, direction, visible, inShadow, pass, slot, verdict,
                    nullptr);
}

int FillApproachEdges(SatellitePassContext *c, double julianDate, SatellitePass *pass) {
    double ra0, dec0, r0, ra1, dec1, r1;
    if (!ComputeSatelliteTopocentricAt(c, julianDate, &ra0, &dec0, &r0)) return 0;
    if (!ComputeSatelliteTopocentricAt(c, julianDate + kOneSecond, &ra1, &dec1, &r1)) return 0;
    double speed = AngularSeparation(ra0, dec0, ra1, dec1) / kOneSecond;  // rad/day
    if (!(speed > 0.0) || !std::isfinite(speed)) return 0;
    double radius = c->separationLimit, least = pass->separation[1];
    double chord = radius * radius - least * least;
    double half = chord > 0.0 ? std::sqrt(chord) / speed : 0.0;
    for (int k = 0; k < 2; ++k) {
        int slot = k == 0 ? 0 : 2;
        double jd = julianDate + (k == 0 ? -half : half);
        double ra, dec, range, az, alt, mag;
        int shadow = 0;
        int16_t score = 0;
        int v = ComputeSatelliteStateAt(c, jd, &ra, &dec, &range, &az, &alt, &mag, &shadow,
                                        &score);
        if (v == kSatelliteDecayed) return 0;
        pass->julianDate[slot] = jd;
        pass->rightAscension[slot] = ra;
        pass->declination[slot] = dec;
        pass->altitude[slot] = alt;
        pass->azimuth[slot] = az;
        pass->magnitude[slot] = mag;
        pass->range[slot] = range;
        pass->inShadow[slot] = static_cast<uint8_t>(shadow);
        pass->score[slot] = score;
        pass->separation[slot] =
            AngularSeparation(c->targetRightAscension, c->targetDeclination, ra, dec);
        pass->positionAngle[slot] =
            ComputePositionAngle(c->targetRightAscension, c->targetDeclination, ra, dec);
    }
    return 1;
}

int AppendSatellitePass(SatellitePass **passes, const SatellitePass *pass, int *count) {
    if (!passes || !pass || !count || *count < 0) return 0;
    SatellitePass *grown = static_cast<SatellitePass *>(
        std::realloc(*passes, (static_cast<size_t>(*count) + 1) * sizeof(SatellitePass)));
    if (!grown) return 0;
    grown[*count] = *pass;
    *passes = grown;
    ++*count;
    return 1;
}

int CompareSatellitePasses(const void *a, const void *b) {
    double x = static_cast<const SatellitePass *>(a)->julianDate[0];
    double y = static_cast<const SatellitePass *>(b)->julianDate[0];
    return x < y ? -1 : (x > y ? 1 : 0);
}

void SortSatellitePasses(SatellitePass *passes, int count) {
    if (passes && count > 1)
        std::qsort(passes, static_cast<size_t>(count), sizeof(SatellitePass),
                   CompareSatellitePasses);
}

int SearchSatellitePasses(const LocationRecord *site, const DateRecord *start, double spanMinutes,
                          const EarthSatelliteRecord *satellites, int count,
                          double magnitudeLimit, SatellitePass **passes, const int *cancel,
                          SatellitePassProgress progress) {
    if (!passes) return 0;
    *passes = nullptr;
    PassLists lists;
    if (!RunPassSearch(site, start, spanMinutes, satellites, count, magnitudeLimit, kPlainSearch,
                       cancel, progress, &lists))
        return 0;
    if (lists.count[0] == 0) return 0;
    SortSatellitePasses(lists.list[0], lists.count[0]);
    *passes = lists.list[0];
    lists.list[0] = nullptr;
    return lists.count[0];
}

namespace {
int SplitOrNext(const LocationRecord *site, const DateRecord *start, double spanMinutes,
                const EarthSatelliteRecord *satellites, int count, double magnitudeLimit,
                SatellitePass **first, int *firstCount, SatellitePass **second, int *secondCount,
                const int *cancel, SatellitePassProgress progress, SearchMode mode) {
    if (!first || !firstCount || !second || !secondCount) return 0;
    *first = *second = nullptr;
    *firstCount = *secondCount = 0;
    PassLists lists;
    if (!RunPassSearch(site, start, spanMinutes, satellites, count, magnitudeLimit, mode, cancel,
                       progress, &lists))
        return 0;
    for (int k = 0; k < 2; ++k) SortSatellitePasses(lists.list[k], lists.count[k]);
    *first = lists.list[0];
    *firstCount = lists.count[0];
    *second = lists.list[1];
    *secondCount = lists.count[1];
    lists.list[0] = lists.list[1] = nullptr;
    return (*firstCount > 0 || *secondCount > 0) ? 1 : 0;
}
}  // namespace

int SearchSatellitePassesSplit(const LocationRecord *site, const DateRecord *start,
                               double spanMinutes, const EarthSatelliteRecord *satellites,
                               int count, double magnitudeLimit, SatellitePass **first,
                               int *firstCount, SatellitePass **second, int *secondCount,
                               const int *cancel, SatellitePassProgress progress) {
    return SplitOrNext(site, start, spanMinutes, satellites, count, magnitudeLimit, first,
                       firstCount, second, secondCount, cancel, progress, kSplitSearch);
}

int SearchNextSatellitePasses(const LocationRecord *site, const DateRecord *start,
                              double spanMinutes, const EarthSatelliteRecord *satellites,
                              int count, double magnitudeLimit, SatellitePass **first,
                              int *firstCount, SatellitePass **second, int *secondCount,
                              const int *cancel, SatellitePassProgress progress) {
    return SplitOrNext(site, start, spanMinutes, satellites, count, magnitudeLimit, first,
                       firstCount, second, secondCount, cancel, progress, kNextSearch);
}

int SearchSatelliteApproaches(const LocationRecord *site, const DateRecord *start,
                              double spanMinutes, const EarthSatelliteRecord *satellites,
                              int count, double magnitudeLimit, double targetRightAscension,
                              double targetDeclination, double separationLimit,
                              SatellitePass **passes) {
    if (!passes) return 0;
    *passes = nullptr;
    if (!site || !start || !satellites || count <= 0) return 0;
    SatellitePassContext *c =
        static_cast<SatellitePassContext *>(std::calloc(1, sizeof(SatellitePassContext)));
    if (!c) return 0;
    PassLists lists;
    double startJd = start->julianDate;
    double endJd = startJd + spanMinutes / kMinutesPerDay;
    bool noLimit = NoLimit(magnitudeLimit);
    for (int i = 0; i < count && !lists.failed; ++i) {
        InitContext(c, site, magnitudeLimit);
        c->targetRightAscension = targetRightAscension;
        c->targetDeclination = targetDeclination;
        c->separationLimit = separationLimit;
        BeginSatelliteInContext(c, &satellites[i]);
        if (!(c->satellite.elements.meanMotion > 0.0)) continue;
        double period = PeriodDays(&c->satellite);
        c->step = kApproachStepFraction * period;
        double t = startJd - c->step;
        double prior = 0.0, previousTime = t;
        bool priorRising = true;
        int guard = 0;
        while (t < endJd + c->step && guard++ < 10000000) {
            double ra, dec, r;
            if (!ComputeSatelliteTopocentricAt(c, t, &ra, &dec, &r)) break;
            double sep = AngularSeparation(ra, dec, targetRightAscension, targetDeclination);
            bool rising = sep > prior;
            bool candidate = rising && !priorRising;
            prior = sep;
            priorRising = rising;
            double centre = previousTime;
            previousTime = t;
            if (!candidate) {
                t += c->step;
                continue;
            }
            SatellitePass pass;
            std::memset(&pass, 0, sizeof pass);
            CompleteDate(c, centre);
            double culmination = centre;
            if (RefineClosestApproachToTarget(c, &pass)) {
                culmination = pass.julianDate[1];
                pass.satellite = c->satellite;
                double azimuth = 0.0, altitude = 0.0;
                ComputeSatelliteHorizonPlace(c, culmination, pass.rightAscension[1],
                                             pass.declination[1], &azimuth, &altitude);
                pass.azimuth[1] = azimuth;
                pass.altitude[1] = altitude;
                if (pass.separation[1] <= separationLimit &&
                    (noLimit || pass.magnitude[1] <= magnitudeLimit) &&
                    FillApproachEdges(c, culmination, &pass) && pass.julianDate[2] >= startJd &&
                    pass.julianDate[0] <= endJd)
                    lists.Add(0, &pass);
            }
            t = culmination + kSkipFraction * period;
            prior = 0.0;
            priorRising = true;
            previousTime = t;
        }
    }
    std::free(c);
    if (lists.failed || lists.count[0] == 0) return 0;
    *passes = lists.list[0];
    lists.list[0] = nullptr;
    return lists.count[0];
}

int MakeSatellitePassListPath(char *out, int size) {
    return MakeUserDataPath(out, size, kPassListName);
}

int WriteSatellitePassList(const SatellitePass *passes, int count) {
    if (count < 0 || (count > 0 && !passes)) return 0;
    char folder[1024], path[1024];
    if (!MakeUserDataPath(folder, sizeof folder, kPassListFolder)) return 0;
    if (!EnsureDirectory(folder)) return 0;
    if (!MakeSatellitePassListPath(path, sizeof path)) return 0;
    std::string bytes(sizeof(int32_t) + static_cast<size_t>(count) * sizeof(SatellitePass), '\0');
    int32_t n = count;
    std::memcpy(&bytes[0], &n, sizeof n);
    if (count > 0)
        std::memcpy(&bytes[sizeof n], passes, static_cast<size_t>(count) * sizeof(SatellitePass));
    return WriteWholeFileSafely(path, bytes.data(), bytes.size());
}

int ReadSatellitePassList(SatellitePass **passes, int *count) {
    if (!passes || !count) return 0;
    std::free(*passes);
    *passes = nullptr;
    *count = 0;
    char path[1024];
    if (!MakeSatellitePassListPath(path, sizeof path)) return 0;
    std::string bytes;
    if (!ReadWholeFile(path, &bytes)) return 0;
    if (bytes.size() < sizeof(int32_t)) return 0;
    int32_t n = 0;
    std::memcpy(&n, bytes.data(), sizeof n);
    size_t body = bytes.size() - sizeof n;
    // The count must describe exactly the records that follow.
    if (n < 0 || body % sizeof(SatellitePass) != 0 ||
        body / sizeof(SatellitePass) != static_cast<size_t>(n))
        return 0;
    if (n == 0) return 1;
    SatellitePass *list = static_cast<SatellitePass *>(std::malloc(body));
    if (!list) return 0;
    std::memcpy(list, bytes.data() + sizeof n, body);
    *passes = list;
    *count = n;
    return 1;
}

void DeleteSatellitePassList(SatellitePass **passes, int *count) {
    if (passes) {
        std::free(*passes);
        *passes = nullptr;
    }
    if (count) *count = 0;
    char path[1024];
    if (MakeSatellitePassListPath(path, sizeof path) && FileExists(path)) SafeRemove(path);
}
