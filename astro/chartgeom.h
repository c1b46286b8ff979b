// The geometry that charts, object records and double-star positions need on
// top of the coordinate frames: the horizon place as a chart draws it
// (refraction added, extinction applied to a magnitude, the chart azimuth
// 2 pi - azimuth, counted from the south towards the east and given in
// [0, 2 pi), so due south is 0) and back, the
// zenith, and the point at
// a position angle and distance from a centre and the position angle between
// two points. Angles are radians; magnitudes of 90 or more mean "no
// magnitude" and are never changed.
#pragma once

struct DateRecord;
struct LocationRecord;

// Right ascension (local apparent sidereal time) and declination (latitude) of
// the zenith. Nothing is written for no site or no date.
void GetZenithPosition(const LocationRecord *site, const DateRecord *date, double *rightAscension,
                       double *declination);
// angle + pi in [0, 2 pi).
double FlipAngleHalfTurn(double angle);

// Equatorial place of date -> chart azimuth and apparent (refracted) altitude;
// in place: the right ascension becomes the chart azimuth and the declination
// the altitude. A magnitude below 90 (magnitude may be null) gains the
// extinction at the apparent altitude above the dip. Returns 1 when always is
// not 0 or the apparent altitude is at or above the dip, else 0; -1 for no
// site or no date (nothing changed).
int ConvertEquatorialToApparentHorizontal(const LocationRecord *site, const DateRecord *date,
                                          double extinctionCoefficient, double *azimuthInOut,
                                          double *altitudeInOut, double *magnitude, int always);
// The inverse: chart azimuth and apparent altitude -> right ascension and
// declination of date; the magnitude loses the extinction. Returns 1; -1 for
// no site or no date (nothing changed).
int ConvertApparentHorizontalToEquatorial(const LocationRecord *site, const DateRecord *date,
                                          double extinctionCoefficient, double *azimuthInOut,
                                          double *altitudeInOut, double *magnitude);
// The same two without refraction or extinction. Return 1; -1 for no site or
// no date.
int ConvertEquatorialToHorizontal(const LocationRecord *site, const DateRecord *date,
                                  double *azimuthInOut, double *altitudeInOut);
int ConvertHorizontalToEquatorial(const LocationRecord *site, const DateRecord *date,
                                  double *azimuthInOut, double *altitudeInOut);


// The point at position angle p (from the north through the east) and
// distance r from the centre (a0, d0), computed with vectors so that it holds
// at arcsecond distances and at the poles. At a celestial pole the centre's
// right ascension fixes the directions: at the north pole position angle 0
// points along the meridian a0 + pi, at the south pole along a0. Right
// ascension in [0, 2 pi).
void ComputeOffsetPosition(double positionAngle, double distance, double centreRightAscension,
                           double centreDeclination, double *rightAscension, double *declination);
// Position angle of the second point seen from the first, in [0, 2 pi).
double ComputePositionAngle(double rightAscension1, double declination1, double rightAscension2,
                            double declination2);
