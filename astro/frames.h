// Conversions between the equatorial frame and the hour-angle, horizon,
// ecliptic and galactic frames. All angles are radians. Azimuth is counted
// from the south towards the west (south 0, west pi/2, north pi, east 3 pi/2).
// Right ascensions, longitudes and azimuths come out in [0, 2 pi). Near the
// poles of a frame the same formulas run in extended precision (long double).
#pragma once

struct DateRecord;
struct LocationRecord;

// What the hour-angle, altitude and azimuth routines return when they cannot
// compute (no site, no date, unknown kind of sidereal time).
const double kNoCoordinateResult = -99999999.0;

// Kinds of sidereal time for GetHourAngle.
const int kMeanSiderealTime = 1;
const int kApparentSiderealTime = 2;

// Kinds of obliquity for the ecliptic conversions: 2 the true obliquity (mean
// obliquity + nutation in obliquity), any other value the mean obliquity.
const int kMeanObliquity = 1;
const int kTrueObliquity = 2;

// Margins (radians) within which the ordinary formulas hand over to the
// extended-precision forms: 7 arcminutes for the ecliptic and galactic
// conversions, 0.0004 for the horizon conversion.
const double kFramePoleMargin = 0.0020362174606600512;
const double kHorizonPoleMargin = 0.0004;

// Local sidereal time minus the right ascension in (-pi, pi]: kind 2 uses the
// local apparent sidereal time, kind 1 the local mean one. Any other kind, or
// no date, gives kNoCoordinateResult.
double GetHourAngle(const DateRecord *date, double rightAscension, int kind);
// The same in [0, 2 pi). Passing an hour angle in place of the right
// ascension gives the right ascension that has that hour angle.
double GetPositiveHourAngle(const DateRecord *date, double rightAscension, int kind);

// Altitude at an hour angle and declination for the site's latitude; the
// sine argument is clamped to [-1, 1]. kNoCoordinateResult for no site.
double ComputeAltitude(const LocationRecord *site, double hourAngle, double declination);
// Azimuth (from the south through the west) in [0, 2 pi); 0 when cos dec is
// exactly 0; kNoCoordinateResult for no site.
double ComputeAzimuth(const LocationRecord *site, double hourAngle, double declination);

// Altitude and azimuth at once. The altitude is always written. With always 0
// and the altitude below the site's horizon dip the azimuth is not written
// (callers initialise it). Returns 1 when the altitude is at or above the dip,
// 0 when below, -1 for no site (nothing written). Within 0.0004 rad of a
// celestial pole the extended form is used.
int ConvertHourAngleToHorizontal(const LocationRecord *site, double hourAngle, double declination,
                                 double *azimuth, double *altitude, int always);
int ConvertHourAngleToHorizontalExtended(const LocationRecord *site, double hourAngle,
                                         double declination, double *azimuth, double *altitude,
                                         int always);
// Inverse: hour angle in (-pi, pi] and declination from azimuth and altitude.
// At the zenith or nadir (cos alt exactly 0) the hour angle is 0. Nothing is
// written for no site. Within 0.0004 rad of the zenith or nadir the extended
// form is used.
void ConvertHorizontalToHourAngle(const LocationRecord *site, double *hourAngle,
                                  double *declination, double azimuth, double altitude);
void ConvertHorizontalToHourAngleExtended(const LocationRecord *site, double *hourAngle,
                                          double *declination, double azimuth, double altitude);

// Ecliptic <-> equatorial with the date's obliquity (kind 2 true, else mean).
// Nothing is written for no date.
void ConvertEclipticToEquatorial(const DateRecord *date, double *rightAscension,
                                 double *declination, double longitude, double latitude, int kind);
void ConvertEquatorialToEcliptic(const DateRecord *date, double rightAscension,
                                 double declination, double *longitude, double *latitude,
                                 int kind);
void ConvertEclipticToEquatorialExtended(const DateRecord *date, double *rightAscension,
                                         double *declination, double longitude, double latitude,
                                         int kind);
void ConvertEquatorialToEclipticExtended(const DateRecord *date, double rightAscension,
                                         double declination, double *longitude, double *latitude,
                                         int kind);
// The same rotations for a given obliquity (radians).
void RotateEclipticToEquatorial(double obliquity, double longitude, double latitude,
                                double *rightAscension, double *declination);
void RotateEquatorialToEcliptic(double obliquity, double rightAscension, double declination,
                                double *longitude, double *latitude);

// Galactic coordinates of the B1950 (IAU 1958) system: north galactic pole at
// 12h49m, +27.4 deg (B1950, FK4), galactic longitude 123 deg at the north
// celestial pole. The J2000 (FK5) place is taken to B1950 (FK4) by the
// precession routines. The forward conversion lowers the latitude by 0.5
// arcsecond, a calibration kept so that stored galactic places do not change;
// the inverse adds it back, so a place converted there and back is restored.
// Both return 1.
int ConvertJ2000ToGalactic(double rightAscension, double declination, double *longitude,
                           double *latitude);
int ConvertGalacticToJ2000(double *rightAscension, double *declination, double longitude,
                           double latitude);
// From a B1950 (FK4) place, in extended precision: the forward conversion's
// path near the frame poles. At the galactic pole (latitude within 0.5
// arcsecond of pi/2) the result is latitude pi/2, longitude 0.
void ConvertB1950ToGalactic(double rightAscension, double declination, double *longitude,
                            double *latitude);
// The inverse in extended precision, for latitudes near the galactic poles.
int ConvertGalacticToJ2000Extended(double *rightAscension, double *declination, double longitude,
                                   double latitude);

// The latitude calibration of the forward galactic conversion (0.5 arcsecond).
const double kGalacticLatitudeOffset = 2.42406840554768e-06;

// x reduced into [0, 2 pi): ReduceModuloPositive, with the value 2 pi that it
// can hand back (for tiny negative inputs) taken as 0.
double ReduceToFullTurn(double x);
