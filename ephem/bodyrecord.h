// The record of one solar-system body computed for a time and a site, the
// heliocentric place, and the calling sequence that fills the record:
//   1. complete the DateRecord (SetDateRecord..., ComputeDeltaTAndNutation,
//      ComputeSiderealTimes);
//   2. earth = ComputeEarthHeliocentric(date);
//   3. set body.type; ComputeBodyPosition(date, earth, &body);
//   4. ComputeBodyTopocentric(site, date, &body);
//   5. ComputeBodyPhysicalData(date, &body, earth) when physical data are wanted.
// Angles are radians, distances astronomical units unless a field says
// kilometres; time is the date record's T(TT).
#pragma once
#include <cstdint>

struct DateRecord;
struct LocationRecord;

// Body types.
const int kBodySun = 0;
const int kBodyMercury = 1;
const int kBodyVenus = 2;
const int kBodyEarth = 3;
const int kBodyMars = 4;
const int kBodyJupiter = 5;
const int kBodySaturn = 6;
const int kBodyUranus = 7;
const int kBodyNeptune = 8;
const int kBodyPluto = 9;
const int kBodyMoon = 10;
const int kBodyEarthShadow = 11;

const int kMaxSatellites = 9;
const int kSatelliteQuantities = 11;
// Index of the satellite quantity arrays; for the Moon element [0][0] holds
// its elongation in longitude from the Sun, 0..2 pi.
const int kSatelliteOrbitalAngle = 0;

#pragma pack(push, 1)

// Ecliptic longitude (0..2 pi), latitude and radius vector (AU).
struct HeliocentricPlace {
    double longitude;
    double latitude;
    double radius;
};

// In memory only (holds pointers to static texts); never stored in a file.
struct BodyRecord {
    int32_t type;                  // body type, set by the caller
    const char *name;              // static text
    HeliocentricPlace heliocentric;  // at the retarded time; zero for the Sun
    double geocentricLongitude;    // geometric ecliptic place of date
    double geocentricLatitude;
    double geocentricDistance;     // AU; kilometres for the Moon and the Earth's shadow
    double topocentricDistance;    // Moon and shadow only, kilometres
    double geocentricRightAscension;  // mean equator of date, no nutation or aberration
    double geocentricDeclination;
    double topocentricRightAscension;  // apparent place for the site, 0..2 pi
    double topocentricDeclination;
    double magnitude;
    double equatorialDiameter;
    double polarDiameter;
    double axisPositionAngle;
    double centralMeridian;
    double latitudeOfCentre;
    double illuminatedFraction;    // 0..1
    double phaseAngle;
    double brightLimbPositionAngle;
    double subSolarLongitude;
    double subSolarLatitude;
    int16_t satelliteCount;
    const char *satelliteNames[kMaxSatellites];
    double satellites[kSatelliteQuantities][kMaxSatellites];
};

#pragma pack(pop)

static_assert(sizeof(HeliocentricPlace) == 24, "three doubles");

// The Earth's heliocentric place for the record's T(TT) (ecliptic and equinox
// of date); from a low-precision solar theory while the planetary series are
// not loaded, so that the Sun is still placed to about 0.01 degree.
HeliocentricPlace ComputeEarthHeliocentric(const DateRecord *date);
// Geocentric place of the body of the record's type: ecliptic longitude,
// latitude and distance, and the geocentric right ascension and declination
// of the date's mean equator. 1, or 0 when a record is missing or the body
// cannot be computed: a planet (types 1..9) while the planetary series are
// not loaded, the Moon or the Earth's shadow without the lunar series.
int ComputeBodyPosition(const DateRecord *date, HeliocentricPlace earth, BodyRecord *body);
// The topocentric apparent place for the site (nutation, aberration except for
// the Moon, diurnal parallax) and the Moon's topocentric distance. Nothing
// when an argument is missing.
void ComputeBodyTopocentric(const LocationRecord *site, const DateRecord *date, BodyRecord *body);
// Physical data of the body of the record's type.
void ComputeBodyPhysicalData(const DateRecord *date, BodyRecord *body, HeliocentricPlace earth);
// The Moon's geocentric place (type, name, ecliptic place, distance in km as
// both distances, geocentric right ascension and declination). 1 when computed.
int ComputeMoonPosition(const DateRecord *date, BodyRecord *body);
// The fundamental lunar arguments at T(TT), radians in 0..2 pi, and the
// eccentricity factor E (Meeus, Astronomical Algorithms, ch. 47).
void ComputeLunarArguments(double centuriesTT, double *omega, double *elongation,
                           double *sunAnomaly, double *moonAnomaly, double *argumentOfLatitude,
                           double *eccentricityFactor);
