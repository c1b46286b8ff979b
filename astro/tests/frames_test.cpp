// Tests of the coordinate frames: hour angle, horizon conventions and their
// inverse over a grid reaching the poles, ecliptic and galactic conversions,
// against hand-worked cases and ERFA.
#include "astro/frames.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "astro/datetime.h"
#include "astro/location.h"
#include "core/mathutil.h"

#ifdef GLEANER_HAVE_ERFA
#include <erfa.h>
#endif

namespace {

const double kDeg = kPi / 180.0;
const double kArcsec = kPi / 648000.0;

LocationRecord Site(double latitudeDeg, double elevation = 0.0) {
    LocationRecord r;
    std::memset(&r, 0, sizeof(r));
    InitLocationRecord(&r, 0.3, latitudeDeg * kDeg, elevation, 6.5, 0.0, 10.0, 50.0, 2, 0.0, 0.0,
                       "Site");
    return r;
}

DateRecord Date(double meanSidereal, double apparentSidereal, double obliquity = 0.4090928,
                double nutationObliquity = 0.0) {
    DateRecord d;
    std::memset(&d, 0, sizeof(d));
    d.localMeanSidereal = meanSidereal;
    d.localApparentSidereal = apparentSidereal;
    d.meanObliquity = obliquity;
    d.nutationObliquity = nutationObliquity;
    return d;
}

TEST(HourAngle, SiderealTimeKindsAndRange) {
    DateRecord d = Date(1.0, 1.2);
    EXPECT_DOUBLE_EQ(GetHourAngle(&d, 1.2, kApparentSiderealTime), 0.0);
    EXPECT_DOUBLE_EQ(GetHourAngle(&d, 1.0, kMeanSiderealTime), 0.0);
    EXPECT_EQ(GetHourAngle(&d, 1.0, 3), -99999999.0);
    EXPECT_EQ(GetHourAngle(nullptr, 1.0, 1), -99999999.0);
    // LST 1.0, RA 5.0: -4.0 folds to 2.283 in (-pi, pi]; positive form too.
    EXPECT_NEAR(GetHourAngle(&d, 5.0, 1), -4.0 + 2 * kPi, 1e-12);
    EXPECT_NEAR(GetHourAngle(&d, 1.0 + kPi + 0.1, 1), kPi - 0.1, 1e-12);
    EXPECT_NEAR(GetPositiveHourAngle(&d, 1.5, 1), 2 * kPi - 0.5, 1e-12);
    // An hour angle given in place of the right ascension gives the RA back.
    EXPECT_NEAR(GetPositiveHourAngle(&d, 0.7, 2), 0.5, 1e-12);
}

TEST(Horizon, ConventionsSouthZeroWestQuarter) {
    LocationRecord s = Site(40.0);
    struct Case {
        double h, dec;    // degrees
        double az, alt;   // degrees
    } cases[] = {
        {0, 40, -1, 90},                // zenith (azimuth not checked)
        {0, 10, 0, 60},                 // due south
        {0, 70, 180, 60},               // north of the zenith, upper culmination
        {90, 0, 90, 0},                 // due west on the horizon
        {-90, 0, 270, 0},               // due east
        {180, 60, 180, 10},             // lower culmination, north
    };
    for (const Case &c : cases) {
        double az = -5, alt = -5;
        int above = ConvertHourAngleToHorizontal(&s, c.h * kDeg, c.dec * kDeg, &az, &alt, 1);
        EXPECT_EQ(above, c.alt >= -1e-9 ? 1 : 0) << c.h << " " << c.dec;
        EXPECT_NEAR(alt / kDeg, c.alt, 1e-9) << c.h << " " << c.dec;
        EXPECT_NEAR(ComputeAltitude(&s, c.h * kDeg, c.dec * kDeg) / kDeg, c.alt, 1e-9);
        if (c.az >= 0) {
            EXPECT_NEAR(az / kDeg, c.az, 1e-9) << c.h << " " << c.dec;
            EXPECT_NEAR(ComputeAzimuth(&s, c.h * kDeg, c.dec * kDeg) / kDeg, c.az, 1e-9);
        }
    }
    EXPECT_EQ(ComputeAltitude(nullptr, 0, 0), -99999999.0);
    EXPECT_EQ(ComputeAzimuth(nullptr, 0, 0), -99999999.0);
    EXPECT_NEAR(ComputeAzimuth(&s, 1.0, kPi / 2), kPi, 1e-9);  // the pole lies north
}

TEST(Horizon, BelowTheDipLeavesAzimuthWhenNotAlways) {
    LocationRecord high = Site(40.0, 1000.0);  // dip about -1.1 deg
    double az = 123.0, alt = 0.0;
    // -0.5 deg true altitude: above the visible horizon of the elevated site.
    double dec = 0.0;
    double h = std::acos((std::sin(-0.5 * kDeg)) / (std::cos(40 * kDeg)));
    EXPECT_EQ(ConvertHourAngleToHorizontal(&high, h, dec, &az, &alt, 0), 1);
    EXPECT_NEAR(alt / kDeg, -0.5, 1e-9);
    EXPECT_NE(az, 123.0);
    az = 123.0;
    EXPECT_EQ(ConvertHourAngleToHorizontal(&high, kPi, -30 * kDeg, &az, &alt, 0), 0);
    EXPECT_EQ(az, 123.0);  // not written
    EXPECT_NEAR(alt / kDeg, -80.0, 1e-9);
    EXPECT_EQ(ConvertHourAngleToHorizontal(&high, kPi, -30 * kDeg, &az, &alt, 1), 0);
    EXPECT_NEAR(az, kPi, 1e-12);
    EXPECT_EQ(ConvertHourAngleToHorizontal(nullptr, 0, 0, &az, &alt, 1), -1);
}

TEST(Horizon, InverseAtTheZenithAndRoundTripsOverAGridWithPoles) {
    LocationRecord s = Site(-33.0);
    double h = 9, d = 9;
    ConvertHorizontalToHourAngle(&s, &h, &d, 1.0, kPi / 2);
    EXPECT_NEAR(h, 0.0, 1e-15);
    EXPECT_NEAR(d, s.latitude, 1e-15);

    const double lats[] = {-89.99, -60, 0, 35, 89.99, 90};
    const double decs[] = {-89.99999, -89.99, -45, 0, 20, 89.98, 89.99999};
    for (double lat : lats) {
        LocationRecord site = Site(lat);
        for (double dec : decs)
            for (double hd = -179.0; hd <= 180.0; hd += 29.5) {
                double az, alt, h2 = 99, d2 = 99;
                ConvertHourAngleToHorizontal(&site, hd * kDeg, dec * kDeg, &az, &alt, 1);
                ConvertHorizontalToHourAngle(&site, &h2, &d2, az, alt);
                // Compared as places on the sphere: at a pole the hour angle is free.
                double sep = AngularSeparation(hd * kDeg, dec * kDeg, h2, d2);
                EXPECT_LT(sep, 2e-9) << lat << " " << dec << " " << hd;
                EXPECT_GT(h2, -kPi);
                EXPECT_LE(h2, kPi);
            }
    }
}

#ifdef GLEANER_HAVE_ERFA
TEST(Horizon, AgreesWithErfaHourAngleToAzimuthElevation) {
    for (double lat = -80; lat <= 80; lat += 20) {
        LocationRecord site = Site(lat);
        for (double dec = -85; dec <= 85; dec += 17)
            for (double h = -170; h <= 180; h += 25) {
                double az, alt, eaz, eel;
                ConvertHourAngleToHorizontal(&site, h * kDeg, dec * kDeg, &az, &alt, 1);
                eraHd2ae(h * kDeg, dec * kDeg, lat * kDeg, &eaz, &eel);
                EXPECT_NEAR(alt, eel, 1e-12);
                // ERFA counts from the north through the east; here from the south
                // through the west: the same direction half a turn on.
                EXPECT_NEAR(std::remainder(az - (eaz + kPi), 2 * kPi), 0.0, 1e-11);
            }
    }
}
#endif

TEST(Ecliptic, EquinoxSolsticeAndObliquityKinds) {
    DateRecord d = Date(0, 0, 0.40909, 4e-5);
    double ra = 7, dec = 7;
    ConvertEclipticToEquatorial(&d, &ra, &dec, 0.0, 0.0, kMeanObliquity);
    EXPECT_NEAR(ra, 0.0, 1e-15);
    EXPECT_NEAR(dec, 0.0, 1e-15);
    ConvertEclipticToEquatorial(&d, &ra, &dec, kPi / 2, 0.0, kMeanObliquity);
    EXPECT_NEAR(ra, kPi / 2, 1e-15);
    EXPECT_NEAR(dec, 0.40909, 1e-15);
    ConvertEclipticToEquatorial(&d, &ra, &dec, kPi / 2, 0.0, kTrueObliquity);
    EXPECT_NEAR(dec, 0.40913, 1e-15);
    double lon, lat;
    ConvertEquatorialToEcliptic(&d, kPi / 2, 0.40913, &lon, &lat, kTrueObliquity);
    EXPECT_NEAR(lon, kPi / 2, 1e-12);
    EXPECT_NEAR(lat, 0.0, 1e-12);
    // The ecliptic poles: 18 h and 6 h of right ascension.
    ConvertEclipticToEquatorialExtended(&d, &ra, &dec, 1.0, kPi / 2, kMeanObliquity);
    EXPECT_NEAR(ra, 1.5 * kPi, 1e-12);
    EXPECT_NEAR(dec, kPi / 2 - 0.40909, 1e-12);
    ConvertEquatorialToEclipticExtended(&d, 2.0, kPi / 2, &lon, &lat, kMeanObliquity);
    EXPECT_NEAR(lon, kPi / 2, 1e-12);
    EXPECT_NEAR(lat, kPi / 2 - 0.40909, 1e-12);
}

#ifdef GLEANER_HAVE_ERFA
TEST(Ecliptic, AgreesWithErfaRotationIncludingThePoleBands) {
    const double eps = 0.4090926;
    DateRecord d = Date(0, 0, eps);
    double r[3][3];
    eraIr(r);
    eraRx(eps, r);  // equatorial -> ecliptic
    const double lats[] = {-89.999, -89.95, -60, -5, 0, 33, 89.9, 89.999};
    for (double b : lats)
        for (double l = 3; l < 360; l += 37) {
            double ra, dec;
            ConvertEclipticToEquatorial(&d, &ra, &dec, l * kDeg, b * kDeg, kMeanObliquity);
            double p[3], q[3];
            eraS2c(l * kDeg, b * kDeg, p);
            eraTrxp(r, p, q);
            double era, edec;
            eraC2s(q, &era, &edec);
            EXPECT_LT(eraSeps(ra, dec, era, edec), 1e-12) << l << " " << b;
            EXPECT_GE(ra, 0.0);
            EXPECT_LT(ra, 2 * kPi);
            double lon, lat;
            ConvertEquatorialToEcliptic(&d, era, edec, &lon, &lat, kMeanObliquity);
            // The way back runs in double precision (the equatorial place is
            // far from the pole), where asin near +-1 costs a few 1e-12 rad.
            EXPECT_LT(eraSeps(lon, lat, l * kDeg, b * kDeg), 1e-11) << l << " " << b;
        }
}

TEST(Galactic, AgreesWithErfaToTheOldDefinitionsLevel) {
    // ERFA's galactic frame is the IAU 1958 one carried to the ICRS; the
    // B1950 route here differs by FK4 -> FK5 systematics plus the 0.5"
    // latitude calibration. Measured on a fine grid: |dl cos b| < 0.19",
    // db from -0.67" to -0.15".
    for (double ra = 0.05; ra < 2 * kPi; ra += 0.31)
        for (double dec = -1.5; dec < 1.55; dec += 0.17) {
            double l, b, el, eb;
            EXPECT_EQ(ConvertJ2000ToGalactic(ra, dec, &l, &b), 1);
            eraIcrs2g(ra, dec, &el, &eb);
            EXPECT_LT(std::fabs(std::remainder(l - el, 2 * kPi)) * std::cos(eb), 0.2 * kArcsec)
                << ra << " " << dec;
            EXPECT_LT(b - eb, -0.12 * kArcsec) << ra << " " << dec;
            EXPECT_GT(b - eb, -0.7 * kArcsec) << ra << " " << dec;
        }
}
#endif

TEST(Galactic, PoleCentreAndRoundTrip) {
    double l = 9, b = 9;
    ConvertB1950ToGalactic(192.25 * kDeg, 27.4 * kDeg, &l, &b);
    EXPECT_EQ(b, kPi / 2);
    EXPECT_EQ(l, 0.0);
    // Galactic centre (B1950 definition): l 0, b 0 at 17h42m26.6s, -28 deg 55' (B1950).
    ConvertB1950ToGalactic((17 + 42 / 60.0 + 26.603 / 3600.0) * 15 * kDeg,
                           -(28 + 55 / 60.0 + 0.43 / 3600.0) * kDeg, &l, &b);
    EXPECT_LT(std::fabs(std::remainder(l, 2 * kPi)), 2 * kArcsec);
    EXPECT_LT(std::fabs(b + 0.5 * kArcsec), 2 * kArcsec);

    // There and back restores the place: the inverse adds the 0.5" back.
    // Near a celestial pole the first-order E-terms (divided by cos dec) are
    // not quite undone, hence the looser bound there.
    const double places[][3] = {{0.1, 0.2, 0.001}, {3.0, -1.2, 0.001}, {5.5, 1.5, 0.001},
                                {3.3554, 0.4782, 0.001}, {4.6, -0.5, 0.001},
                                {1.0, -1.5707, 0.05}};
    for (const auto &p : places) {
        double gl, gb, ra, dec;
        ConvertJ2000ToGalactic(p[0], p[1], &gl, &gb);
        EXPECT_EQ(ConvertGalacticToJ2000(&ra, &dec, gl, gb), 1);
        EXPECT_LT(AngularSeparation(ra, dec, p[0], p[1]), p[2] * kArcsec) << p[0] << " " << p[1];
        EXPECT_GE(ra, 0.0);
        EXPECT_LT(ra, 2 * kPi);
    }
    // The galactic pole itself comes back as the pole's J2000 place.
    double ra, dec;
    ConvertGalacticToJ2000(&ra, &dec, 0.0, kPi / 2);
    EXPECT_NEAR(ra / kDeg, 192.8595, 0.001);
    EXPECT_NEAR(dec / kDeg, 27.1283, 0.001);
    ConvertGalacticToJ2000(&ra, &dec, 0.0, -kPi / 2);
    EXPECT_NEAR(ra / kDeg, 12.8595, 0.001);
    EXPECT_NEAR(dec / kDeg, -27.1283, 0.001);
}

TEST(FullTurn, TinyNegativeAnglesBecomeZeroNotTwoPi) {
    EXPECT_EQ(ReduceToFullTurn(-1e-17), 0.0);
    EXPECT_EQ(ReduceToFullTurn(2 * kPi), 0.0);
    EXPECT_NEAR(ReduceToFullTurn(-0.5), 2 * kPi - 0.5, 1e-15);
    EXPECT_NEAR(ReduceToFullTurn(7.0), 7.0 - 2 * kPi, 1e-15);
}

// Callers pass the addresses of fields of packed records (odd offsets); the
// routines read and write through them without a typed access (UBSan in the
// native build reports any).
TEST(FieldPointers, PlacesInPackedRecordsAreReadAndWritten) {
#pragma pack(push, 1)
    struct Packed {
        char tag;
        double ra;
        double dec;
    };
#pragma pack(pop)
    alignas(8) unsigned char storage[sizeof(Packed) + 8] = {};
    Packed *rec = reinterpret_cast<Packed *>(storage + 1);
    DateRecord d = Date(0, 0, 0.40909);
    double ra, dec;
    ConvertEclipticToEquatorial(&d, &ra, &dec, 1.0, 0.2, kMeanObliquity);
    unsigned char *base = reinterpret_cast<unsigned char *>(rec);
    double *raField = reinterpret_cast<double *>(base + 1);
    double *decField = reinterpret_cast<double *>(base + 9);
    ConvertEclipticToEquatorial(&d, raField, decField, 1.0, 0.2, kMeanObliquity);
    double got[2];
    std::memcpy(got, base + 1, 16);
    EXPECT_EQ(got[0], ra);
    EXPECT_EQ(got[1], dec);
    LocationRecord s = Site(10.0);
    double az = 0, alt = 0;
    ConvertHourAngleToHorizontal(&s, 0.3, 0.1, &az, &alt, 1);
    ConvertHourAngleToHorizontal(&s, 0.3, 0.1, raField, decField, 1);
    std::memcpy(got, base + 1, 16);
    EXPECT_EQ(got[0], az);
    EXPECT_EQ(got[1], alt);
}

}  // namespace
