// Satellite elongations and Galilean phenomena: scans by fractions of the
// satellite's period, refinement, the contacts of a phenomenon and the
// visibility window, and the two finders.
#include "events/satelliteevents.h"

#include <cmath>
#include <cstring>

#include "core/mathutil.h"
#include "ephem/satellitenames.h"
#include "ephem/satellites.h"
#include "events/eventdates.h"
#include "events/eventinsert.h"
#include "events/eventsky.h"
#include "visibility/hourscore.h"

namespace {

const double kDaysPerCentury = 36525.0;
const int kRefinePasses = 50;
const int kRefinePoints = 20;
const double kRefineShrink = 0.1;
const int kConjunctionPasses = 50;
const double kElongationStepFraction = 1.0 / 12.0;
const double kWindowPeriodFraction = 0.0625;
const double kAdvanceFraction = 0.9;
const int kFirstSatellitePlanet = 4;
const int kLastSatellitePlanet = 9;
const int kGalileanCount = 4;
const int kMaskSatellites = 6;
const double kElongationTolerance = 6.944e-4;   // 60 seconds, days
const double kPhenomenonTolerance = 1.157407e-4;  // 10 seconds, days
// Semi-major axes of Io, Europa, Ganymede and Callisto (AU).
const double kGalileanAxes[kGalileanCount] = {0.0028208957787968507, 0.004485357980030063, 0.0071525082542953314,
                                              0.012587077610129074};
// Middle, ingress and egress codes by phenomenon kind.
const int kMiddleCode[4] = {1, 4, 7, 10};

double Wrap2Pi(double a) {
    a = std::fmod(a, 2 * kPi);
    return a < 0 ? a + 2 * kPi : a;
}

int Compute(SatelliteScan *s, const DateRecord *date) {
    std::memset(&s->body, 0, sizeof s->body);
    s->body.type = s->planet;
    s->earth = ComputeEarthHeliocentric(date);
    if (!ComputeBodyPosition(date, s->earth, &s->body)) return 0;
    ComputeBodyTopocentric(&s->site, date, &s->body);
    ComputeBodyPhysicalData(date, &s->body, s->earth);
    ComputePlanetSatellites(date, &s->body, s->satellite + 1);
    return 1;
}

double Quantity(const SatelliteScan *s, int array) { return s->body.satellites[array][s->satellite]; }

void SetDate(SatelliteScan *s, double julianDate) { SetCompletedDate(&s->site, julianDate, &s->date); }

bool Begin(SatelliteScan *s, const LocationRecord *site, const HorizonRow *horizon, const DateRecord *start,
           double span, double tolerance, const VisibilityCriteria *criteria, int planet, int satellite,
           const int *stop) {
    if (!s || !site || !start || planet < kFirstSatellitePlanet || planet > kLastSatellitePlanet || satellite < 0 ||
        satellite >= GetSatelliteCount(planet))
        return false;
    std::memset(s, 0, sizeof *s);
    s->site = *site;
    s->date = *start;
    s->start = *start;
    s->end = start->centuriesTT + span / kDaysPerCentury;
    s->planet = planet;
    s->satellite = satellite;
    s->tolerance = tolerance;
    s->criteria = criteria;
    s->horizon = horizon;
    s->stop = stop;
    s->period = GetSatellitePeriod(planet - kFirstSatellitePlanet, satellite);
    s->falling = 0;
    s->previous = 0.0;
    return s->period > 0;
}

// The brightness blend of a magnitude at an hour score: above 0 when seen.
bool BlendVisible(uint16_t hourScore, double magnitude) {
    double weightA = 0, weightB = 0;
    ComputeMagnitudeWeights(magnitude, &weightA, &weightB);
    return BlendForObject(hourScore, 2, magnitude, weightA, weightB) > 0;
}

// The sky at the planet's place at a time; 1 when the criteria accept it.
int SkyAt(SatelliteScan *s, double julianDate, EventSky *sky) {
    DateRecord saved = s->date;
    SetDate(s, julianDate);
    const int ok = Compute(s, &s->date);
    s->date = saved;
    if (!ok) return 0;
    EvaluateEventSky(&s->site, julianDate, s->body.topocentricRightAscension, s->body.topocentricDeclination, sky);
    return PassesEventCriteria(&s->site, s->criteria, s->horizon, julianDate, s->body.topocentricDeclination, *sky);
}

void FillContact(EventContact *c, int code, double time, const EventSky &sky, double separation, bool visible) {
    c->code = code;
    c->time = time;
    c->separation = separation;
    c->darkness = sky.darkness;
    c->altitude = sky.altitude;
    c->hourScore = sky.hourScore;
    c->visible = visible ? 1 : 0;
}

}  // namespace

int ElongationCode(double positionAngle) {
    const double p = Wrap2Pi(positionAngle);
    int code = static_cast<int>(std::floor(p * 2.0 / kPi + 0.5)) + 1;
    return code == 5 ? 1 : code;
}

int BeginSatelliteElongations(SatelliteScan *scan, const LocationRecord *site, const HorizonRow *horizon,
                              const DateRecord *start, double span, double tolerance,
                              const VisibilityCriteria *criteria, int planet, int satellite, const int *stop) {
    if (!Begin(scan, site, horizon, start, span, tolerance, criteria, planet, satellite, stop)) return 0;
    scan->step = scan->period * kElongationStepFraction;
    return 1;
}

int IsSatelliteSeenInWindow(SatelliteScan *s, double w, int planetClass, int *visible) {
    if (visible) *visible = 0;
    if (!s) return 0;
    int n = 1;
    if (w > 0) {
        if (w <= 3)
            n = 3;
        else {
            n = static_cast<int>(std::floor(w + 0.5));
            if (n % 2) ++n;
        }
    }
    const double t = s->date.julianDate;
    const double half = w / 48.0;
    int any = 0;
    for (int i = 0; i < n; ++i) {
        // One point (w = 0) is the time itself: no interval to divide.
        const double x = n == 1 ? t : t - half + (2.0 * half) * i / (n - 1);
        EventSky sky;
        if (!SkyAt(s, x, &sky)) continue;
        any = 1;
        if (visible && !*visible && BlendVisible(sky.hourScore, Quantity(s, kSatMagnitude))) *visible = 1;
    }
    (void)planetClass;
    return any;
}

int NextSatelliteElongation(SatelliteScan *s, EventRecord *event) {
    if (!s || !event) return 0;
    for (;;) {
        if (s->date.centuriesTT >= s->end) return 0;
        if (s->stop && *s->stop) return -1;
        if (!Compute(s, &s->date)) return 0;
        const double sep = Quantity(s, kSatSeparation);
        const int falling = sep - s->previous < 0 ? 1 : 0;
        const bool maximum = falling && !s->falling;
        s->previous = sep;
        s->falling = falling;
        double t = s->date.julianDate;
        if (maximum) {
            // The largest separation on grids ten times finer each pass,
            // until the grid is as fine as the tolerance.
            double step = s->step;
            DateRecord probe;
            for (int pass = 0; pass < kRefinePasses; ++pass) {
                const double first = t - step;
                step *= kRefineShrink;
                double best = 0;
                for (int i = 0; i < kRefinePoints; ++i) {
                    const double x = first + i * step;
                    SetCompletedDate(&s->site, x, &probe);
                    if (!Compute(s, &probe)) continue;
                    const double v = Quantity(s, kSatSeparation);
                    if (v > best) {
                        best = v;
                        t = x;
                    }
                }
                if (step <= s->tolerance) break;
            }
        }
        SetDate(s, s->date.julianDate + s->step);
        if (!maximum) continue;
        const DateRecord next = s->date;
        SetDate(s, t);
        int visible = 0;
        const int seen = IsSatelliteSeenInWindow(s, s->period * 24.0 * kWindowPeriodFraction, 2, &visible);
        s->date = next;
        if (!seen) continue;
        DateRecord at;
        SetCompletedDate(&s->site, t, &at);
        if (!Compute(s, &at)) continue;
        EventSky sky;
        EvaluateEventSky(&s->site, t, s->body.topocentricRightAscension, s->body.topocentricDeclination, &sky);
        ClearEventRecord(event);
        event->kind = kEventSatelliteElongation;
        event->body1Class = 2;
        event->body1Index = s->planet;
        event->body2Index = s->satellite;
        event->time = t;
        event->contactCount = 1;
        FillContact(&event->contacts[0], ElongationCode(Quantity(s, kSatPositionAngle)), t, sky,
                    Quantity(s, kSatSeparation), visible != 0);
        return 1;
    }
}

int BeginSatellitePhenomena(SatelliteScan *scan, const LocationRecord *site, const HorizonRow *horizon,
                            const DateRecord *start, double span, double tolerance,
                            const VisibilityCriteria *criteria, int planet, int satellite, const int *stop,
                            int kind) {
    if (!Begin(scan, site, horizon, start, span, tolerance, criteria, planet, satellite, stop)) return 0;
    if (kind < kPhenomenonTransit || kind > kPhenomenonEclipse) return 0;
    scan->kind = kind;
    scan->step = scan->period;
    // The sense in which the orbital angles grow: measured, so that the
    // conjunction is always sought forward in time.
    DateRecord later;
    SetCompletedDate(site, start->julianDate + scan->period * 0.01, &later);
    if (!Compute(scan, &scan->date)) return 0;
    const double a0 = Quantity(scan, kSatOrbitalAngle);
    if (!Compute(scan, &later)) return 0;
    const double a1 = Quantity(scan, kSatOrbitalAngle);
    scan->sense = WrapAngleSigned(a1 - a0) >= 0 ? 1.0 : -1.0;
    return 1;
}

int IsSatelliteInShadow(const SatelliteScan *s, double offset) {
    if (!s || s->satellite < 0 || s->satellite >= kGalileanCount) return 0;
    const double r = s->body.equatorialDiameter * 0.5;
    const double yy = kJupiterFlattening * offset;
    const double c = std::sqrt(std::fmax(0.0, r * r - yy * yy));
    const double R = s->body.heliocentric.radius, delta = s->body.geocentricDistance, re = s->earth.radius;
    if (!(R > 0) || !(delta > 0)) return 0;
    double cosI = (R * R + delta * delta - re * re) / (2 * R * delta);
    cosI = std::fmax(-1.0, std::fmin(1.0, cosI));
    const double i = std::acos(cosI);
    const double f = kGalileanAxes[s->satellite] / delta;
    const double g = std::sqrt(std::fmax(0.0, f * f - c * c));
    return 2 * c < std::sin(i) * g ? 1 : 0;
}

int NextSatellitePhenomenon(SatelliteScan *s, EventRecord *event) {
    if (!s || !event || s->satellite >= kGalileanCount || s->planet != kBodyJupiter) return 0;
    const bool shadow = s->kind == kPhenomenonShadowTransit || s->kind == kPhenomenonEclipse;
    const double target = (s->kind == kPhenomenonTransit || s->kind == kPhenomenonShadowTransit) ? kPi : 0.0;
    const int angleArray = shadow ? kSatSunOrbitalAngle : kSatOrbitalAngle;
    for (;;) {
        if (s->date.centuriesTT >= s->end) return 0;
        if (s->stop && *s->stop) return -1;
        if (!Compute(s, &s->date)) return 0;
        // Forward to the next conjunction: first the whole way round to the
        // target, then small corrections either way.
        double t = s->date.julianDate;
        double angle = Quantity(s, angleArray);
        double move = Wrap2Pi(s->sense * (target - angle)) * s->period / (2 * kPi);
        for (int pass = 0; pass < kConjunctionPasses; ++pass) {
            t += move;
            SetDate(s, t);
            if (!Compute(s, &s->date)) return 0;
            angle = Quantity(s, angleArray);
            move = WrapAngleSigned(s->sense * (target - angle)) * s->period / (2 * kPi);
            if (std::fabs(move) <= s->tolerance) break;
        }
        t += move;
        SetDate(s, t);
        if (s->date.centuriesTT >= s->end) return 0;
        if (!Compute(s, &s->date)) return 0;
        const double D = s->body.equatorialDiameter;
        const double y = Quantity(s, kSatOffsetY);
        const double ys = -std::cos(Quantity(s, kSatSunPositionAngle)) * Quantity(s, kSatSunSeparation);
        const double offset = shadow ? ys : y;
        const double sunAngle = Quantity(s, kSatSunOrbitalAngle);
        const double earthAngle = Quantity(s, kSatOrbitalAngle);
        const double planetMagnitude = s->body.magnitude;
        const double satelliteMagnitude = Quantity(s, kSatMagnitude);
        const double resumeAt = t + kAdvanceFraction * s->period;
        int contacts = 0;
        if (std::fabs(kJupiterFlattening * offset) < D / 2) {
            const double halfChord =
                std::sqrt(std::fmax(0.0, (D / 2) * (D / 2) - (kJupiterFlattening * offset) * (kJupiterFlattening * offset)));
            const double sine = std::fmax(-1.0, std::fmin(1.0, halfChord * s->body.geocentricDistance /
                                                                   kGalileanAxes[s->satellite]));
            const double h = s->period * std::asin(sine) / (2 * kPi);
            const int inShadow = IsSatelliteInShadow(s, offset);
            bool tryIngress = true, tryEgress = true;
            if (s->kind == kPhenomenonOccultation) {
                const double A = Wrap2Pi(sunAngle);
                tryIngress = inShadow || (A > 0 && A < kPi);
                tryEgress = inShadow || !(A > 0 && A < kPi);
            } else if (s->kind == kPhenomenonEclipse) {
                const double E = Wrap2Pi(earthAngle);
                tryIngress = inShadow || (E >= 0 && E <= kPi);
                tryEgress = inShadow || E < 0 || E > kPi;
            }
            const double magnitude = s->kind == kPhenomenonShadowTransit ? planetMagnitude : satelliteMagnitude;
            EventSky middle;
            const bool middlePasses = SkyAt(s, t, &middle) == 1;
            ClearEventRecord(event);
            event->kind = kEventSatellitePhenomenon;
            event->body1Class = 2;
            event->body1Index = kBodyJupiter;
            event->body2Index = s->satellite;
            const bool transitLike = s->kind == kPhenomenonTransit || s->kind == kPhenomenonShadowTransit;
            FillContact(&event->contacts[0], kMiddleCode[s->kind], t, middle, 0.0,
                        transitLike && BlendVisible(middle.hourScore, magnitude));
            contacts = 1;
            double firstSide = 0;
            const double sides[2] = {t - h, t + h};
            const bool tries[2] = {tryIngress, tryEgress};
            for (int k = 0; k < 2; ++k) {
                EventSky sky;
                if (!tries[k] || !SkyAt(s, sides[k], &sky)) continue;
                FillContact(&event->contacts[contacts], kMiddleCode[s->kind] + 1 + k, sides[k], sky, 0.0,
                            BlendVisible(sky.hourScore, magnitude));
                if (contacts == 1) firstSide = sides[k];
                ++contacts;
            }
            event->contactCount = contacts;
            event->time = contacts > 1 ? firstSide : t;
            if (contacts == 1 && (!transitLike || !middlePasses)) contacts = 0;
        }
        SetDate(s, resumeAt);
        if (contacts > 0) return contacts;
    }
}

namespace {

// Calls the progress call-back once per quarter of the selected satellites
// (every satellite when fewer than four are selected).
struct QuarterTicks {
    int total, done = 0, ticked = 0;
    EventProgress progress;
    void Next() {
        ++done;
        const int due = total < 4 ? done : (done * 4) / total;
        while (progress && ticked < due) {
            progress(0);
            ++ticked;
        }
    }
};

}  // namespace

int FindSatelliteElongations(EventFileHeader *header, std::FILE *file, const HorizonRow *horizon,
                             const DateRecord *start, double span, int criteriaNumber, const int *stop,
                             EventProgress progress) {
    if (!header || !file || !start || criteriaNumber < 0 || criteriaNumber > 3) return 0;
    const uint32_t mask = static_cast<uint32_t>(header->satelliteMask);
    int selected = 0;
    for (int p = kFirstSatellitePlanet; p <= kLastSatellitePlanet; ++p)
        for (int n = 0; n < GetSatelliteCount(p); ++n)
            if (mask >> (kElongationMaskFirst[p - kFirstSatellitePlanet] + n) & 1u) ++selected;
    QuarterTicks ticks{selected, 0, 0, progress};
    int added = 0;
    SatelliteScan scan;
    EventRecord event;
    for (int p = kFirstSatellitePlanet; p <= kLastSatellitePlanet; ++p) {
        for (int n = 0; n < GetSatelliteCount(p); ++n) {
            if (!(mask >> (kElongationMaskFirst[p - kFirstSatellitePlanet] + n) & 1u)) continue;
            if (!BeginSatelliteElongations(&scan, &header->site, horizon, start, span, kElongationTolerance,
                                           &header->criteria[criteriaNumber], p, n, stop))
                return added;
            int r;
            while ((r = NextSatelliteElongation(&scan, &event)) == 1) added += InsertEvent(file, header, span, &event, 1);
            ticks.Next();
            if (r < 0) return added;
        }
    }
    return added;
}

int FindSatellitePhenomena(EventFileHeader *header, std::FILE *file, const HorizonRow *horizon,
                           const DateRecord *start, double span, int criteriaNumber, const int *stop,
                           EventProgress progress) {
    if (!header || !file || !start || criteriaNumber < 0 || criteriaNumber > 3) return 0;
    const uint32_t mask = static_cast<uint32_t>(header->satelliteMask);
    int selected = 0;
    for (int n = 0; n < kMaskSatellites; ++n)
        if (mask >> (kPhenomenaMaskFirst + n) & 1u) ++selected;
    QuarterTicks ticks{selected, 0, 0, progress};
    int added = 0;
    SatelliteScan scan;
    EventRecord event;
    for (int n = 0; n < kMaskSatellites; ++n) {
        if (!(mask >> (kPhenomenaMaskFirst + n) & 1u)) continue;
        for (int kind = kPhenomenonTransit; kind <= kPhenomenonEclipse && n < kGalileanCount; ++kind) {
            if (!(header->phenomenonKinds >> kind & 1)) continue;
            if (!BeginSatellitePhenomena(&scan, &header->site, horizon, start, span, kPhenomenonTolerance,
                                         &header->criteria[criteriaNumber], kBodyJupiter, n, stop, kind))
                return added;
            int r;
            while ((r = NextSatellitePhenomenon(&scan, &event)) > 0) added += InsertEvent(file, header, span, &event, 1);
            if (r < 0) {
                ticks.Next();
                return added;
            }
        }
        ticks.Next();
    }
    return added;
}
