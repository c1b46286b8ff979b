// Precession (IAU 1976 angles, Lieske et al. 1977; Newcomb's angles for FK4),
// proper motion, the FK4 <-> FK5 change and the reduction from mean to
// apparent place (Meeus, Astronomical Algorithms, ch. 21-23).
#include "astro/precession.h"

#include <cmath>

#include "astro/datetime.h"
#include "astro/frames.h"
#include "core/mathutil.h"
#include "astro/unaligned.h"

namespace {

const double kTwoPi = 2.0 * kPi;
const double kArcsecond = kPi / 648000.0;
const double kDegree = kPi / 180.0;
// Constant of aberration, 20.49552".
const double kAberration = 9.936508497454117e-05;
// B1900.0 as T, with the sign that makes T + this the centuries since B1900.
const double kFromB1900 = 0.9999914168377778;

// Keeps a declination that proper motion carried over a pole on the sphere.
void FoldOverPole(double *rightAscension, double *declination) {
    if (LoadDouble(declination) > kPi / 2.0) {
        StoreDouble(declination, kPi - LoadDouble(declination));
        StoreDouble(rightAscension, LoadDouble(rightAscension) + kPi);
    } else if (LoadDouble(declination) < -kPi / 2.0) {
        StoreDouble(declination, -kPi - LoadDouble(declination));
        StoreDouble(rightAscension, LoadDouble(rightAscension) + kPi);
    }
}

void AddMotion(const PrecessionRecord *record, double *rightAscension, double *declination,
               double motionRightAscension, double motionDeclination) {
    const double years = record->interval * 100.0;
    StoreDouble(rightAscension, LoadDouble(rightAscension) + motionRightAscension * years);
    StoreDouble(declination, LoadDouble(declination) + motionDeclination * years);
    FoldOverPole(rightAscension, declination);
    StoreDouble(rightAscension, ReduceToFullTurn(LoadDouble(rightAscension)));
}

// The precession rotation with the record's angles (Meeus 21.4), with the
// proper motion before or after it.
void Rotate(const PrecessionRecord *record, double *rightAscension, double *declination,
            double motionRightAscension, double motionDeclination, int motionAfter) {
    if (record->interval == 0.0) return;
    if (motionAfter == 0)
        AddMotion(record, rightAscension, declination, motionRightAscension, motionDeclination);
    const double a = LoadDouble(rightAscension) + record->zeta;
    const double d = LoadDouble(declination);
    const double cosD = std::cos(d), sinD = std::sin(d);
    const double A = ComputeQuadrantArcTangent(
        std::sin(a) * cosD, record->cosTheta * cosD * std::cos(a) - record->sinTheta * sinD);
    StoreDouble(rightAscension, ReduceToFullTurn(A + record->z));
    StoreDouble(declination, ComputeClampedArcSine(std::cos(a) * cosD * record->sinTheta +
                                                   record->cosTheta * sinD));
    if (motionAfter != 0)
        AddMotion(record, rightAscension, declination, motionRightAscension, motionDeclination);
}

// Unit vector of a place and back.
void ToVector(double ra, double dec, double v[3]) {
    v[0] = std::cos(dec) * std::cos(ra);
    v[1] = std::cos(dec) * std::sin(ra);
    v[2] = std::sin(dec);
}

void FromVector(const double v[3], double *ra, double *dec) {
    StoreDouble(ra, ReduceToFullTurn(ComputeQuadrantArcTangent(v[1], v[0])));
    double s = v[2] / std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    StoreDouble(dec, ComputeClampedArcSine(s));
}

void RotateX(double v[3], double angle) {
    double out[3];
    RotateVectorAboutXAxis(v, std::cos(angle), std::sin(angle), out);
    v[0] = out[0], v[1] = out[1], v[2] = out[2];
}

void RotateZ(double v[3], double angle) {
    double out[3];
    RotateVectorAboutZAxis(v, std::cos(angle), std::sin(angle), out);
    v[0] = out[0], v[1] = out[1], v[2] = out[2];
}

// The place with the annual aberration added. Meeus' formulas 23.2 and 23.3
// are the first-order terms of p' = p + b - (p.b) p, with b the Earth's
// velocity over c in the ecliptic of date: kappa (sin L - e sin pi_p,
// -(cos L - e cos pi_p), 0). Taken as vectors the same terms hold at every
// declination; in right ascension and declination the equatorial formula
// errs by about kappa^2 tan^2 dec, an arcsecond within half a degree of a pole.
void AddAberration(const DateRecord *date, double ra, double dec, int ellipticTerms, double *outRa,
                   double *outDec) {
    const double t = date->centuriesTT;
    double sunLongitude, e;
    ComputeSunLongitudeLowPrecision(date, &sunLongitude, &e);
    if (ellipticTerms != 1) e = 0.0;
    const double perihelion = (102.93735 + 1.71954 * t + 0.00046 * t * t) * kDegree;
    double b[3] = {kAberration * (std::sin(sunLongitude) - e * std::sin(perihelion)),
                   -kAberration * (std::cos(sunLongitude) - e * std::cos(perihelion)), 0.0};
    RotateX(b, date->meanObliquity);  // ecliptic -> equator of date
    double p[3];
    ToVector(ra, dec, p);
    const double pb = p[0] * b[0] + p[1] * b[1] + p[2] * b[2];
    for (int i = 0; i < 3; ++i)
        p[i] += b[i] - pb * p[i];
    FromVector(p, outRa, outDec);
}

}  // namespace

// ---- preparing ----------------------------------------------------------------

int InitPrecessionIau(PrecessionRecord *record, double fromCenturies, double toCenturies) {
    if (!record) return 0;
    const double T = fromCenturies;
    const double t = toCenturies - fromCenturies;
    const double rate = 2306.2181 + 1.39656 * T - 0.000139 * T * T;
    const double zeta = rate * t + (0.30188 - 0.000344 * T) * t * t + 0.017998 * t * t * t;
    const double z = rate * t + (1.09468 + 0.000066 * T) * t * t + 0.018203 * t * t * t;
    const double theta = (2004.3109 - 0.8533 * T - 0.000217 * T * T) * t -
                         (0.42665 + 0.000217 * T) * t * t - 0.041833 * t * t * t;
    record->fromCenturies = fromCenturies;
    record->toCenturies = toCenturies;
    record->interval = t;
    record->sourceSystem = kSystemFk5;
    record->zeta = zeta * kArcsecond;
    record->z = z * kArcsecond;
    record->sinTheta = std::sin(theta * kArcsecond);
    record->cosTheta = std::cos(theta * kArcsecond);
    return 1;
}

int InitPrecessionNewcomb(PrecessionRecord *record, double fromCenturies, double toCenturies) {
    if (!record) return 0;
    const double t = (toCenturies - fromCenturies) * kTropicalCenturyFactor;
    const double T0 = (fromCenturies + kFromB1900) * kTropicalCenturyFactor;
    const double zeta = (2304.25 + 1.396 * T0) * t + 0.302 * t * t + 0.018 * t * t * t;
    const double z = zeta + 0.791 * t * t + 0.001 * t * t * t;
    const double theta = (2004.682 - 0.853 * T0) * t - 0.426 * t * t - 0.042 * t * t * t;
    record->fromCenturies = fromCenturies;
    record->toCenturies = toCenturies;
    record->interval = t;
    record->sourceSystem = kSystemFk4;
    record->zeta = zeta * kArcsecond;
    record->z = z * kArcsecond;
    record->sinTheta = std::sin(theta * kArcsecond);
    record->cosTheta = std::cos(theta * kArcsecond);
    return 1;
}

int InitPrecession(PrecessionRecord *record, double fromCenturies, double toCenturies,
                   int sourceSystem, int targetSystem) {
    if (!record) return 0;
    if (sourceSystem == kSystemFk4)
        InitPrecessionNewcomb(record, fromCenturies, toCenturies);
    else
        InitPrecessionIau(record, fromCenturies, toCenturies);
    record->targetSystem = static_cast<int16_t>(targetSystem);
    return 1;
}

int InitProperMotionInterval(PrecessionRecord *record, double fromCenturies, double toCenturies,
                             int system, int targetSystem) {
    if (!record) return 0;
    double interval = toCenturies - fromCenturies;
    if (system == kSystemFk4) interval *= kTropicalCenturyFactor;
    record->interval = interval;
    record->targetSystem = static_cast<int16_t>(targetSystem);
    return 1;
}

// ---- applying -----------------------------------------------------------------

int ApplyPrecession(const PrecessionRecord *record, double *rightAscension, double *declination,
                    double motionRightAscension, double motionDeclination, int motionAfter) {
    if (!record || !rightAscension || !declination) return 0;
    const int target = record->targetSystem;
    const int source = record->sourceSystem == kSystemFk4 ? kSystemFk4 : kSystemFk5;
    // A target outside the two systems is a record that was never prepared
    // for one: refused rather than taken as FK4.
    if (target != kSystemFk4 && target != kSystemFk5) return 0;
    if (target == source) {
        Rotate(record, rightAscension, declination, motionRightAscension, motionDeclination,
               motionAfter);
        return 1;
    }
    if (source == kSystemFk4)
        return ConvertFk4ToFk5(record, rightAscension, declination, motionRightAscension,
                               motionDeclination, motionAfter);
    return ConvertFk5ToFk4(record, rightAscension, declination, motionRightAscension,
                           motionDeclination, motionAfter);
}

int ApplyProperMotion(const PrecessionRecord *record, double *rightAscension, double *declination,
                      double motionRightAscension, double motionDeclination) {
    if (!record || !rightAscension || !declination) return 0;
    if (record->interval != 0.0)
        AddMotion(record, rightAscension, declination, motionRightAscension, motionDeclination);
    return 1;
}

// ---- FK4 and FK5 ----------------------------------------------------------------

double GetEquinoxCorrection(double centuries) {
    return (0.0775 + 0.085 * centuries) * 15.0 * kArcsecond;
}

void ApplyETerms(double *rightAscension, double *declination, int mode) {
    if (!rightAscension || !declination) return;
    const double a = LoadDouble(rightAscension) + 168.75 * kDegree;
    const double d = LoadDouble(declination);
    const double dra = 0.3405 * kArcsecond * std::sin(a) / std::cos(d);
    const double ddec =
        0.341 * kArcsecond * std::cos(a) * std::sin(d) + 0.029 * kArcsecond * std::cos(d);
    const double sign = mode == 2 ? 1.0 : -1.0;
    StoreDouble(rightAscension, ReduceToFullTurn(LoadDouble(rightAscension) + sign * dra));
    StoreDouble(declination, d + sign * ddec);
}

int ConvertFk5ToFk4(const PrecessionRecord *record, double *rightAscension, double *declination,
                    double motionRightAscension, double motionDeclination, int motionAfter) {
    if (!record || !rightAscension || !declination) return 0;
    // Precessed in FK5 to the FK4 epoch, where the system is changed: the
    // equinox correction of that epoch out, the E-terms in. Taking the
    // correction off after the rotation rather than before keeps this the
    // exact inverse of ConvertFk4ToFk5.
    Rotate(record, rightAscension, declination, motionRightAscension, motionDeclination,
           motionAfter);
    StoreDouble(rightAscension, ReduceToFullTurn(LoadDouble(rightAscension) -
                                                 GetEquinoxCorrection(record->toCenturies)));
    ApplyETerms(rightAscension, declination, 0);
    return 1;
}

int ConvertFk4ToFk5(const PrecessionRecord *record, double *rightAscension, double *declination,
                    double motionRightAscension, double motionDeclination, int motionAfter) {
    if (!record || !rightAscension || !declination) return 0;
    // The change of system is made at the FK4 epoch (E-terms out, equinox
    // correction in) and the place then precessed in FK5 with the IAU 1976
    // angles. Newcomb's angles over the same interval would leave the 1.1" per
    // century correction of the precession constant out (0.5" from B1950 to
    // J2000); the FK5 -> FK4 conversion likewise precesses in FK5.
    ApplyETerms(rightAscension, declination, 2);
    StoreDouble(rightAscension, ReduceToFullTurn(LoadDouble(rightAscension) +
                                                 GetEquinoxCorrection(record->fromCenturies)));
    PrecessionRecord fk5;
    InitPrecessionIau(&fk5, record->fromCenturies, record->toCenturies);
    fk5.interval = record->interval;  // the motion runs over the record's interval
    Rotate(&fk5, rightAscension, declination, motionRightAscension, motionDeclination, motionAfter);
    return 1;
}

// ---- apparent places --------------------------------------------------------------

void ApplyNutationToEquatorial(const DateRecord *date, double *rightAscension, double *declination,
                               int add) {
    if (!date || !rightAscension || !declination) return;
    const double eps = date->meanObliquity;
    const double trueEps = eps + date->nutationObliquity;
    const double dpsi = date->nutationLongitude;
    double v[3];
    ToVector(LoadDouble(rightAscension), LoadDouble(declination), v);
    if (add) {
        RotateX(v, -eps);     // to the mean ecliptic
        RotateZ(v, dpsi);     // longitude + dpsi
        RotateX(v, trueEps);  // back with the true obliquity
    } else {
        RotateX(v, -trueEps);
        RotateZ(v, -dpsi);
        RotateX(v, eps);
    }
    FromVector(v, rightAscension, declination);
}

void ComputeSunLongitudeLowPrecision(const DateRecord *date, double *trueLongitude,
                                     double *eccentricity) {
    if (!date) return;
    const double t = date->centuriesTT;
    const double e = 0.016708617 - 0.00004204 * t - 0.0000001236 * t * t;
    const double m = (357.5291 + 35999.05028 * t - 0.0001561 * t * t) * kDegree;
    const double l0 = (280.46646 + 36000.76983 * t + 0.0003032 * t * t) * kDegree;
    // Equation of the centre as a series in e (radians).
    const double centre = (2.0 * e - e * e * e / 4.0) * std::sin(m) +
                          1.25 * e * e * std::sin(2.0 * m) +
                          13.0 / 12.0 * e * e * e * std::sin(3.0 * m);
    if (trueLongitude) StoreDouble(trueLongitude, ReduceToFullTurn(l0 + centre));
    if (eccentricity) StoreDouble(eccentricity, e);
}

void ApplyAnnualAberration(const DateRecord *date, double *rightAscension, double *declination,
                           int ellipticTerms, int apply) {
    if (!date || !rightAscension || !declination) return;
    if (apply) {
        AddAberration(date, LoadDouble(rightAscension), LoadDouble(declination), ellipticTerms,
                      rightAscension, declination);
        return;
    }
    // Removing: the mean place whose aberrated place is the given one. The
    // first step is the first-order removal; each further step cuts the
    // remaining error by about 1e-4, so three leave it below 1e-15 rad. The
    // steps are taken on unit vectors, which stay well defined at the poles.
    double target[3], m[3];
    ToVector(LoadDouble(rightAscension), LoadDouble(declination), target);
    ToVector(LoadDouble(rightAscension), LoadDouble(declination), m);
    for (int step = 0; step < 3; ++step) {
        double ra, dec, aRa, aDec, a[3];
        FromVector(m, &ra, &dec);
        AddAberration(date, ra, dec, ellipticTerms, &aRa, &aDec);
        ToVector(aRa, aDec, a);
        for (int i = 0; i < 3; ++i)
            m[i] += target[i] - a[i];
    }
    FromVector(m, rightAscension, declination);
}

void ConvertMeanToApparentPlace(const DateRecord *date, double *rightAscension, double *declination,
                                int ellipticTerms) {
    ApplyNutationToEquatorial(date, rightAscension, declination, 1);
    ApplyAnnualAberration(date, rightAscension, declination, ellipticTerms, 1);
}

void ConvertApparentToMeanPlace(const DateRecord *date, double *rightAscension, double *declination,
                                int ellipticTerms) {
    ApplyAnnualAberration(date, rightAscension, declination, ellipticTerms, 0);
    ApplyNutationToEquatorial(date, rightAscension, declination, 0);
}
