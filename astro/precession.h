// Moving places between epochs and reference systems (precession with the
// IAU 1976 angles for FK5 and Newcomb's for FK4, proper motion, the FK4 <->
// FK5 change with its equinox correction and the elliptic E-terms of
// aberration), and between mean and apparent places of date (nutation and
// annual aberration). Meeus, Astronomical Algorithms, ch. 21 and 23; Lieske
// et al. 1977 (A&A 58, 1). Angles are radians, proper motions radians per
// year, epochs T in Julian centuries from J2000.0 (JD 2451545.0).
#pragma once
#include <cstddef>
#include <cstdint>

struct DateRecord;

// Reference systems of a place.
const int16_t kSystemFk5 = 1;
const int16_t kSystemFk4 = 2;

// Epochs as T (Julian centuries from J2000.0).
const double kEpochJ2000 = 0.0;
const double kEpochB1950 = -0.5000020944558512;
const double kEpochB1875 = -1.2499794661190966;
// Julian to tropical centuries (Newcomb's FK4 angles run in tropical centuries).
const double kTropicalCenturyFactor = 1.0000213584301634;

#pragma pack(push, 1)
// A precession prepared once between two epochs and two systems, then applied
// to any number of places.
struct PrecessionRecord {
    double fromCenturies;  // 0   start epoch T
    double toCenturies;    // 8   end epoch T
    double interval;       // 16  to - from; tropical centuries for an FK4 (Newcomb) record
    int16_t targetSystem;  // 24  1 FK5, 2 FK4
    int16_t sourceSystem;  // 26  1 FK5 (IAU 1976 angles), 2 FK4 (Newcomb angles)
    double z;              // 28  precession angle z
    double zeta;           // 36  precession angle zeta
    double sinTheta;       // 44
    double cosTheta;       // 52
};
#pragma pack(pop)
static_assert(sizeof(PrecessionRecord) == 60, "PrecessionRecord is 60 bytes");
static_assert(offsetof(PrecessionRecord, targetSystem) == 24, "layout");
static_assert(offsetof(PrecessionRecord, z) == 28, "layout");
static_assert(offsetof(PrecessionRecord, cosTheta) == 52, "layout");

// Prepares a precession from T from to T to. Source system 2 prepares
// Newcomb's angles, any other value the IAU 1976 angles (source stored as 1).
// The target system is stored as given. Returns 1, 0 for no record.
int InitPrecession(PrecessionRecord *record, double fromCenturies, double toCenturies,
                   int sourceSystem, int targetSystem);
int InitPrecessionIau(PrecessionRecord *record, double fromCenturies, double toCenturies);
int InitPrecessionNewcomb(PrecessionRecord *record, double fromCenturies, double toCenturies);
// Stores only the interval (in tropical centuries when the system is 2) and
// the target system, for ApplyProperMotion. Returns 1, 0 for no record.
int InitProperMotionInterval(PrecessionRecord *record, double fromCenturies, double toCenturies,
                             int system, int targetSystem);

// Precesses a place with its proper motion (radians per year): motionAfter 0
// applies the motion at the start epoch before rotating, 1 after. FK5 -> FK5
// and FK4 -> FK4 rotate; FK4 -> FK5 and FK5 -> FK4 change the system too.
// With a zero interval the place is left as it is when the systems agree,
// and only the system is changed when they differ. Returns 1; 0 (place
// unchanged) for no record or a target system other than 1 or 2. The right
// ascension comes out in [0, 2 pi), the declination in [-pi/2, pi/2] (a place
// carried over a pole by its motion is folded back).
int ApplyPrecession(const PrecessionRecord *record, double *rightAscension, double *declination,
                    double motionRightAscension, double motionDeclination, int motionAfter);
// Proper motion alone over the record's interval. Returns 1, 0 for no record.
int ApplyProperMotion(const PrecessionRecord *record, double *rightAscension, double *declination,
                      double motionRightAscension, double motionDeclination);

// FK4 equinox correction E(T) = (0.0775 + 0.085 T) s of right ascension, in
// radians, T the FK4 epoch of the conversion.
double GetEquinoxCorrection(double centuries);
// The elliptic E-terms of aberration (0.3405", 0.341", 0.029"): mode 2 adds
// them (FK5-like place to FK4), any other mode removes them.
void ApplyETerms(double *rightAscension, double *declination, int mode);
// FK5 place at T from -> FK4 place at T to with an IAU 1976 record, and FK4
// place at T from -> FK5 place at T to with a Newcomb record. Return 1, 0 for
// no record.
int ConvertFk5ToFk4(const PrecessionRecord *record, double *rightAscension, double *declination,
                    double motionRightAscension, double motionDeclination, int motionAfter);
int ConvertFk4ToFk5(const PrecessionRecord *record, double *rightAscension, double *declination,
                    double motionRightAscension, double motionDeclination, int motionAfter);

// Mean <-> true equator and equinox of the date (add 1: mean to true, 0 back)
// with the date record's nutation, as the rotation R1(-eps - deps) R3(-dpsi)
// R1(eps), exact at every declination.
void ApplyNutationToEquatorial(const DateRecord *date, double *rightAscension, double *declination,
                               int add);
// Annual aberration with kappa = 20.49552" and a low-precision Sun (Meeus
// ch. 23), applied as a displacement of the unit vector so that it holds up
// to the poles: ellipticTerms 1 includes the terms of the Earth's orbital
// eccentricity; apply 1 adds the aberration, 0 removes it (solved so that
// removing undoes adding).
void ApplyAnnualAberration(const DateRecord *date, double *rightAscension, double *declination,
                           int ellipticTerms, int apply);
// Nutation, then aberration; and the reverse.
void ConvertMeanToApparentPlace(const DateRecord *date, double *rightAscension,
                                double *declination, int ellipticTerms);
void ConvertApparentToMeanPlace(const DateRecord *date, double *rightAscension,
                                double *declination, int ellipticTerms);
// The Sun's geometric true longitude (mean equinox of date, radians) and the
// eccentricity of the Earth's orbit at the date record's T(TT).
void ComputeSunLongitudeLowPrecision(const DateRecord *date, double *trueLongitude,
                                     double *eccentricity);
