// Rise, transit and set times from one hour angle and declination (no
// iteration: a caller with a moving body recomputes its place at the first
// estimate and calls again), culmination altitudes, circumpolarity,
// atmospheric refraction (Bennett's and Saemundsson's formulas, Meeus,
// Astronomical Algorithms, ch. 16). Times are hours, angles radians.
#pragma once

struct DateRecord;
struct LocationRecord;

// Hours of sidereal time per hour of solar time, and the sidereal day in hours.
const double kSiderealToSolar = 0.9972696632424821;
const double kSiderealDayHours = 23.93447191781957;

// Body kinds that choose the standard rise altitude (0 in the rise-altitude
// argument): the Sun -50', the Moon -0.0129 rad, anything else -34'.
const int kRiseKindSun = 0;
const int kRiseKindMoon = 10;
const double kRiseAltitudeSun = -0.01454;
const double kRiseAltitudeMoon = -0.0129;
const double kRiseAltitudeOther = -0.009891;

// Results of ComputeRiseTransitSet. Every positive value is a success; the
// output fields carry the same values in each case as well: circumpolar
// rise = set = 0 with a transit time, never rising all three -1.
const int kRiseSetNormal = 1;
const int kRiseSetCircumpolar = 2;
const int kRiseSetNeverRises = 3;
const int kRiseSetNoSite = -2;

// The refraction cap (34'). Air mass and extinction are in astro/airmass.h.
const double kRefractionCap = 0.009890199094634533;

// A value below -12 gains a sidereal day, else one above 12 loses it (one step).
void WrapHoursBySiderealDay(double *hours);

// Rise, transit and set around a reference time, from the hour angle at that
// time (radians) and the declination. A rise altitude of 0 takes the standard
// altitude of the body kind plus the site's horizon dip when its elevation is
// above 0. Each time is the reference plus its offset, wrapped once by
// WrapHoursBySiderealDay: with the hour angle at local midnight and a
// reference of 0 the times fall in [-12, 12] h around midnight. Returns
// kRiseSetNormal, kRiseSetCircumpolar, kRiseSetNeverRises, or kRiseSetNoSite
// (nothing written). Test the result, not the times: -1 h and 0 h are also
// ordinary times around the reference.
int ComputeRiseTransitSet(const LocationRecord *site, double hourAngle, double declination,
                          double referenceHours, double riseAltitude, int bodyKind, double *rise,
                          double *transit, double *set);
// The transit alone (the declination is not used). 1, 0 for no site.
int ComputeTransitTime(const LocationRecord *site, double hourAngle, double declination,
                       double referenceHours, double *transit);
// The rise or the set alone: 1 with the time; 0 when the object never sets or
// for no site, -1 when it never rises (the output is not written then).
int ComputeRiseTime(const LocationRecord *site, double hourAngle, double declination,
                    double referenceHours, double riseAltitude, int bodyKind, double *time);
int ComputeSetTime(const LocationRecord *site, double hourAngle, double declination,
                   double referenceHours, double riseAltitude, int bodyKind, double *time);

// The rise altitude in force (radians): riseAltitude when not 0, else the
// standard altitude of the body kind lowered by the dip of an elevated site.
// 0 for no site.
double GetRiseAltitudeInForce(const LocationRecord *site, double riseAltitude, int bodyKind);

// ---- the search for a moving body's events ----------------------------------
// A moving body's rise, transit and set within a window of hours (a day
// around local midnight: [-12, 12)) from its altitude and hour angle sampled
// through the caller, who recomputes the body's place at each time. The
// crossings are bracketed first (samples kRiseSetSearchStep apart, and the
// extremes of the altitude between them searched, so that a body that only
// grazes the horizon is found) and then refined by bisection, so the search
// always settles on an event inside the window: the event of the requested
// day, or none.

// Sampler: the altitude above the rise altitude (radians; positive when up)
// and the hour angle in (-pi, pi] at a time (hours from the window's
// reference). 1 on success, 0 when the place cannot be computed.
typedef int (*RiseSetSampler)(void *context, double hours, double *altitudeAboveRise,
                              double *hourAngle);

// Sampling step of the search (hours) and the precision of its times.
const double kRiseSetSearchStep = 0.5;
const double kRiseSetSearchPrecision = 1e-5;

// One event of the search: its time in hours, and its state: kRiseSetEventFound
// with a time; otherwise no such event in the window, kRiseSetEventAlwaysUp
// when the body stays above the rise altitude through the whole window and
// kRiseSetEventNone else (for the transit: the body never comes up).
const int kRiseSetEventFound = 1;
const int kRiseSetEventAlwaysUp = 0;
const int kRiseSetEventNone = -1;
struct RiseSetEvent {
    double time;
    int state;
};

// Searches [fromHours, toHours) for the first rise (upward crossing), the
// first upper transit (hour angle crossing 0 upwards) and the first set
// (downward crossing). A transit is reported whether or not the body is then
// up, as long as it comes up in the window at all. 1 with the three events;
// 0 (events untouched) when the sampler fails or the window is empty.
int SearchRiseTransitSet(RiseSetSampler sampler, void *context, double fromHours, double toHours,
                         RiseSetEvent *rise, RiseSetEvent *transit, RiseSetEvent *set);

// Refraction (radians) for a true altitude: Saemundsson's formula, 0 below
// -5 deg, at most 34'.
double GetRefractionForTrueAltitude(double trueAltitude);
// Refraction (radians) for an apparent altitude: Bennett's formula from the
// horizon up, at most 34'. Below the horizon, where the formula breaks down,
// the forward relation (true altitude + its refraction) is inverted, and
// below -5 deg the refraction is 0, as in the forward formula.
double GetRefractionForApparentAltitude(double apparentAltitude);
// Apparent altitude of a place at the date for the site: the geometric
// altitude (hour angle from the apparent sidereal time) plus the refraction
// for that true altitude. kNoCoordinateResult (astro/frames.h) for no site or
// no date.
double ComputeRefractedAltitude(const LocationRecord *site, const DateRecord *date,
                                double rightAscension, double declination);

// Altitude of the upper culmination counted from the visible horizon (the
// site's dip), and of the lower culmination likewise (negative when the object
// is then below it).
double GetTransitAltitude(const LocationRecord *site, double declination);
double GetLowerTransitAltitude(const LocationRecord *site, double declination);
// 1 when the object never goes below the visible horizon (refraction ignored).
int IsCircumpolar(const LocationRecord *site, double declination);
// The diurnal visibility factor of a declination (no refraction or dip); -1
// when the object never rises.
double ComputeDiurnalVisibilityFactor(const LocationRecord *site, double declination);
