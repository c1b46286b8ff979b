// Tests of precession, proper motion, the FK4 <-> FK5 change and the mean to
// apparent place reduction: Meeus' worked examples 21.b and 23.a, ERFA's IAU
// 1976 precession, FK4/FK5 conversions, nutation matrix and aberration, and
// the edge cases (zero interval, refused systems, poles).
#include "astro/precession.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "astro/datetime.h"
#include "astro/frames.h"
#include "core/mathutil.h"
#include "astro/nutation.h"

#ifdef GLEANER_HAVE_ERFA
#include <erfa.h>
#include <erfam.h>
#endif

namespace {

const double kDeg = kPi / 180.0;
const double kArcsec = kPi / 648000.0;

double Hms(double h, double m, double s) { return (h + m / 60.0 + s / 3600.0) * 15.0 * kDeg; }
double Dms(double d, double m, double s) { return (d + m / 60.0 + s / 3600.0) * kDeg; }

// A date record with the time argument, obliquity and nutation given.
DateRecord DateAt(double centuriesTT, double dpsi, double deps) {
    DateRecord d;
    std::memset(&d, 0, sizeof(d));
    d.centuriesTT = centuriesTT;
    d.centuries = centuriesTT;
    d.meanObliquity = MeanObliquity(centuriesTT);
    d.nutationLongitude = dpsi;
    d.nutationObliquity = deps;
    return d;
}

// Meeus, Astronomical Algorithms, ex. 21.b and 23.a: theta Persei at
// 2028 November 13.19 TD (JD 2462088.69).
const double kThetaPerseiT = (2462088.69 - 2451545.0) / 36525.0;
const double kThetaPerseiRa = Hms(2, 44, 11.986);
const double kThetaPerseiDec = Dms(49, 13, 42.48);
const double kThetaPerseiPmRa = 0.03425 * 15.0 * kArcsec;  // 0.03425 s per year
const double kThetaPerseiPmDec = -0.0895 * kArcsec;

TEST(Precession, MeeusExample21bThetaPersei) {
    PrecessionRecord p;
    ASSERT_EQ(InitPrecession(&p, 0.0, kThetaPerseiT, kSystemFk5, kSystemFk5), 1);
    double ra = kThetaPerseiRa, dec = kThetaPerseiDec;
    ASSERT_EQ(ApplyPrecession(&p, &ra, &dec, kThetaPerseiPmRa, kThetaPerseiPmDec, 0), 1);
    // alpha = 2h46m11.331s, delta = +49 deg 20' 54.54"
    EXPECT_NEAR((ra - Hms(2, 46, 11.331)) / kArcsec, 0.0, 0.02);
    EXPECT_NEAR((dec - Dms(49, 20, 54.54)) / kArcsec, 0.0, 0.02);
}

TEST(ApparentPlace, MeeusExample23aNutationAndAberration) {
    // The mean place of date from ex. 21.b; Meeus' nutation of the date.
    DateRecord d = DateAt(kThetaPerseiT, 14.861 * kArcsec, 2.705 * kArcsec);
    double ra = Hms(2, 46, 11.331), dec = Dms(49, 20, 54.54);
    double sun, e;
    ComputeSunLongitudeLowPrecision(&d, &sun, &e);
    EXPECT_NEAR(sun / kDeg, 231.328, 0.001);
    EXPECT_NEAR(e, 0.01669649, 1e-7);

    double nra = ra, ndec = dec;
    ApplyNutationToEquatorial(&d, &nra, &ndec, 1);
    EXPECT_NEAR((nra - ra) / kArcsec, 15.843, 0.005);
    EXPECT_NEAR((ndec - dec) / kArcsec, 6.218, 0.005);
    double ara = ra, adec = dec;
    ApplyAnnualAberration(&d, &ara, &adec, 1, 1);
    EXPECT_NEAR((ara - ra) / kArcsec, 30.045, 0.005);
    EXPECT_NEAR((adec - dec) / kArcsec, 6.697, 0.005);

    ConvertMeanToApparentPlace(&d, &ra, &dec, 1);
    // alpha = 2h46m14.390s, delta = +49 deg 21' 07.45"
    EXPECT_NEAR((ra - Hms(2, 46, 14.390)) / kArcsec, 0.0, 0.02);
    EXPECT_NEAR((dec - Dms(49, 21, 7.45)) / kArcsec, 0.0, 0.02);
}

TEST(Precession, CenturyOfGeneralPrecessionAndZeroInterval) {
    PrecessionRecord p;
    InitPrecession(&p, 0.0, 1.0, kSystemFk5, kSystemFk5);
    double ra = 0.0, dec = 0.0;
    ApplyPrecession(&p, &ra, &dec, 0.0, 0.0, 0);
    EXPECT_NEAR(ra / kDeg, 1.28, 0.005);

    InitPrecession(&p, 0.0, 0.0, kSystemFk5, kSystemFk5);
    EXPECT_EQ(+p.interval, 0.0);
    ra = 1.0, dec = 0.5;
    EXPECT_EQ(ApplyPrecession(&p, &ra, &dec, 1e-6, 1e-6, 0), 1);
    EXPECT_EQ(ra, 1.0);
    EXPECT_EQ(dec, 0.5);
    EXPECT_EQ(ApplyPrecession(nullptr, &ra, &dec, 0, 0, 0), 0);
    EXPECT_EQ(InitPrecession(nullptr, 0, 1, 1, 1), 0);
}

TEST(Precession, ZeroIntervalStillChangesTheSystem) {
    // B1950 FK4 -> B1950 FK5: E-terms out and the equinox correction in.
    PrecessionRecord p;
    InitPrecession(&p, kEpochB1950, kEpochB1950, kSystemFk4, kSystemFk5);
    double ra = 1.0, dec = 0.3;
    ASSERT_EQ(ApplyPrecession(&p, &ra, &dec, 0, 0, 0), 1);
    double moved = AngularSeparation(ra, dec, 1.0, 0.3) / kArcsec;
    EXPECT_GT(moved, 0.2);
    EXPECT_LT(moved, 1.0);
}

TEST(Precession, TargetOutsideTheTwoSystemsIsRefused) {
    PrecessionRecord p;
    InitPrecession(&p, 0.0, 0.5, kSystemFk5, 0);
    double ra = 1.0, dec = 0.3;
    EXPECT_EQ(ApplyPrecession(&p, &ra, &dec, 0, 0, 0), 0);
    EXPECT_EQ(ra, 1.0);
    EXPECT_EQ(dec, 0.3);
    InitPrecession(&p, 0.0, 0.5, kSystemFk5, 3);
    EXPECT_EQ(ApplyPrecession(&p, &ra, &dec, 0, 0, 0), 0);
}

TEST(ProperMotion, FiftyYearsAndAPoleCrossing) {
    PrecessionRecord p;
    ASSERT_EQ(InitProperMotionInterval(&p, 0.0, 0.5, kSystemFk5, kSystemFk5), 1);
    double ra = 1.0, dec = 0.2;
    ASSERT_EQ(ApplyProperMotion(&p, &ra, &dec, 0.0, 1e-8), 1);
    EXPECT_NEAR(dec - 0.2, 5e-7, 1e-15);
    EXPECT_EQ(ra, 1.0);
    // FK4 intervals are tropical centuries.
    InitProperMotionInterval(&p, 0.0, 0.5, kSystemFk4, kSystemFk4);
    EXPECT_DOUBLE_EQ(+p.interval, 0.5 * kTropicalCenturyFactor);

    // 1"/yr towards the north pole from 1' below it, for 2 centuries: the
    // place goes over the pole and comes back down on the far side.
    InitProperMotionInterval(&p, 0.0, 2.0, kSystemFk5, kSystemFk5);
    ra = 0.5, dec = kPi / 2 - 60 * kArcsec;
    ApplyProperMotion(&p, &ra, &dec, 0.0, kArcsec);
    EXPECT_NEAR(dec, kPi / 2 - 140 * kArcsec, 1e-12);
    EXPECT_NEAR(ra, 0.5 + kPi, 1e-12);
}

TEST(ETerms, QuadratureRightAscensionsMoveOnlyTheDeclination) {
    for (double raDeg : {11.25, 191.25}) {
        double ra = raDeg * kDeg, dec = 0.6;
        ApplyETerms(&ra, &dec, 2);
        EXPECT_NEAR(ra, raDeg * kDeg, 1e-15) << raDeg;
        EXPECT_GT(std::fabs(dec - 0.6), 0.01 * kArcsec);
    }
    // Adding then removing returns to the place to first order (< 1 microarcsecond).
    double ra = 2.0, dec = -0.7;
    ApplyETerms(&ra, &dec, 2);
    ApplyETerms(&ra, &dec, 0);
    EXPECT_LT(AngularSeparation(ra, dec, 2.0, -0.7), 1e-6 * kArcsec);
}

TEST(ApparentPlace, RoundTripEverywhereIncludingThePoles) {
    DateRecord d = DateAt(0.26, -15.0 * kArcsec, 8.0 * kArcsec);
    const double decs[] = {-1.5707, -1.54, -1.2, 0.0, 0.7, 1.5, 1.54, 1.5707963};
    for (double dec0 : decs)
        for (double ra0 = 0.0; ra0 < 2 * kPi; ra0 += 0.9)
            for (int elliptic : {0, 1}) {
                double ra = ra0, dec = dec0;
                ConvertMeanToApparentPlace(&d, &ra, &dec, elliptic);
                EXPECT_GT(AngularSeparation(ra, dec, ra0, dec0), 1 * kArcsec);
                EXPECT_GE(ra, 0.0);
                EXPECT_LT(ra, 2 * kPi);
                ConvertApparentToMeanPlace(&d, &ra, &dec, elliptic);
                EXPECT_LT(AngularSeparation(ra, dec, ra0, dec0), 1e-10) << ra0 << " " << dec0;
            }
}

#ifdef GLEANER_HAVE_ERFA
TEST(Precession, AgreesWithErfaIau1976AnglesAndMatrix) {
    // From J2000 with eraPmat76, and between two other epochs with eraPrec76.
    for (double year = 1800; year <= 2200; year += 25) {
        const double t = (year - 2000.0) / 100.0;
        double r[3][3];
        eraPmat76(2451545.0, t * 36525.0, r);
        PrecessionRecord p;
        InitPrecession(&p, 0.0, t, kSystemFk5, kSystemFk5);
        for (double ra0 = 0.1; ra0 < 2 * kPi; ra0 += 0.7)
            for (double dec0 = -1.5; dec0 <= 1.5; dec0 += 0.5) {
                double ra = ra0, dec = dec0;
                ApplyPrecession(&p, &ra, &dec, 0, 0, 0);
                double v[3], w[3], era, edec;
                eraS2c(ra0, dec0, v);
                eraRxp(r, v, w);
                eraC2s(w, &era, &edec);
                EXPECT_LT(eraSeps(ra, dec, era, edec), 1e-12) << year << " " << ra0 << " " << dec0;
            }
        double zeta, z, theta;
        eraPrec76(2451545.0, (-0.7) * 36525.0, 2451545.0, t * 36525.0, &zeta, &z, &theta);
        InitPrecession(&p, -0.7, t, kSystemFk5, kSystemFk5);
        EXPECT_NEAR(p.zeta, zeta, 1e-14) << year;
        EXPECT_NEAR(p.z, z, 1e-14) << year;
        EXPECT_NEAR(std::atan2(p.sinTheta, p.cosTheta), theta, 1e-14) << year;
    }
}

TEST(Precession, Fk4AndFk5AgreeWithErfaAndInvertEachOther) {
    PrecessionRecord toFk5, toFk4;
    InitPrecession(&toFk5, kEpochB1950, kEpochJ2000, kSystemFk4, kSystemFk5);
    InitPrecession(&toFk4, kEpochJ2000, kEpochB1950, kSystemFk5, kSystemFk4);
    for (double ra0 = 0.05; ra0 < 2 * kPi; ra0 += 0.45)
        for (double dec0 = -1.4; dec0 <= 1.4; dec0 += 0.35) {
            double ra = ra0, dec = dec0, era, edec;
            ApplyPrecession(&toFk5, &ra, &dec, 0, 0, 0);
            eraFk45z(ra0, dec0, 1950.0, &era, &edec);
            EXPECT_LT(eraSeps(ra, dec, era, edec), 0.01 * kArcsec) << ra0 << " " << dec0;
            double dra, ddec;
            ra = ra0, dec = dec0;
            ApplyPrecession(&toFk4, &ra, &dec, 0, 0, 0);
            eraFk54z(ra0, dec0, 1950.0, &era, &edec, &dra, &ddec);
            EXPECT_LT(eraSeps(ra, dec, era, edec), 0.01 * kArcsec) << ra0 << " " << dec0;
            ApplyPrecession(&toFk5, &ra, &dec, 0, 0, 0);
            EXPECT_LT(eraSeps(ra, dec, ra0, dec0), 0.001 * kArcsec) << ra0 << " " << dec0;
        }
}

TEST(ApparentPlace, NutationIsErfasRotationAtEveryDeclination) {
    const double t = 0.13;
    double dpsi, deps;
    eraNut80(2451545.0, t * 36525.0, &dpsi, &deps);
    DateRecord d = DateAt(t, dpsi, deps);
    double n[3][3];
    eraNumat(d.meanObliquity, dpsi, deps, n);
    // Polaris-like declinations included: the nutation in obliquity counts there too.
    const double decs[] = {-1.5706, -1.55, -0.9, 0.0, 0.4, 1.2, 1.54, 1.5600, 1.5706};
    for (double dec0 : decs)
        for (double ra0 = 0.2; ra0 < 2 * kPi; ra0 += 0.8) {
            double ra = ra0, dec = dec0, v[3], w[3], era, edec;
            ApplyNutationToEquatorial(&d, &ra, &dec, 1);
            eraS2c(ra0, dec0, v);
            eraRxp(n, v, w);
            eraC2s(w, &era, &edec);
            EXPECT_LT(eraSeps(ra, dec, era, edec), 1e-12) << ra0 << " " << dec0;
        }
}

TEST(ApparentPlace, AberrationAgreesWithErfaToTheLowPrecisionSunsLevel) {
    // ERFA: the Earth's barycentric velocity (eraEpv00), turned to the mean
    // equator and equinox of date (eraPmat76), in eraAb. The low-precision
    // formula leaves out the Sun's barycentric motion and the Moon's pull on
    // the Earth; measured largest difference 0.011".
    for (double t = -0.8; t <= 1.0; t += 0.23) {
        const double jdTT = 2451545.0 + t * 36525.0;
        double pvh[2][3], pvb[2][3], r[3][3];
        eraEpv00(jdTT, 0.0, pvh, pvb);
        eraPmat76(2451545.0, t * 36525.0, r);
        double v[3];
        eraRxp(r, pvb[1], v);
        const double c = ERFA_DC;  // AU per day
        double beta[3] = {v[0] / c, v[1] / c, v[2] / c};
        double bm1 = std::sqrt(1.0 - eraPdp(beta, beta));
        double s = eraPm(pvh[0]);
        DateRecord d = DateAt(t, 0.0, 0.0);
        for (double ra0 = 0.3; ra0 < 2 * kPi; ra0 += 0.9)
            for (double dec0 = -1.2; dec0 <= 1.2; dec0 += 0.4) {
                double ra = ra0, dec = dec0, p[3], q[3], era, edec;
                ApplyAnnualAberration(&d, &ra, &dec, 1, 1);
                eraS2c(ra0, dec0, p);
                eraAb(p, beta, s, bm1, q);
                eraC2s(q, &era, &edec);
                EXPECT_LT(eraSeps(ra, dec, era, edec), 0.03 * kArcsec) << t << " " << ra0;
            }
    }
}
#endif

}  // namespace
