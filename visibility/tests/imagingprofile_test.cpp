// Tests of the night profile of the imaging model and the windows cut from
// it: a star that culminates at midnight, one that never rises, no place.
#include "visibility/imagingprofile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "astro/frames.h"
#include "visibility/imagingtarget.h"
#include "visibility/tests/imagingfixture.h"

namespace {

using namespace imagingtest;

// Right ascension on the meridian at local midnight opening the scene's date.
double RaAtMidnight(const Scene &s) {
    DateRecord midnight;
    SetDateRecord(&midnight, &s.site, s.date.month, s.date.day, s.date.year, 0.0, kLocalTime);
    ComputeDeltaTAndNutation(&midnight, 0.0);
    ComputeSiderealTimes(&s.site, &midnight);
    return midnight.localApparentSidereal;
}

TEST(ImagingProfile, StarCulminatingAtMidnight) {
    Scene s;
    std::vector<ProfileSample> p(kProfileSamples);
    double ra = RaAtMidnight(s), dec = 30 * kDeg;
    ProfileImagingOverNight(&s.site, &s.date, s.optics.get(), 0, kFilterV, 1, ra, dec, 13.0, 0.6,
                            600.0, 3.0, 0, kImagingPointSource, kImagingOther, nullptr, p.data());
    int up = 0, best = 0;
    for (int i = 0; i < kProfileSamples; i++) {
        ASSERT_NEAR(-12.0 + i * 5.0 / 60, p[i].hour, 1e-12);
        if (p[i].signal > 0) up++;
        if (p[i].snrPercentage > p[best].snrPercentage) best = i;
        EXPECT_LE(p[i].snrPercentage, 100.0);
    }
    // Up for most of a 24 h day at 40 N and +30 declination, and nothing at
    // noon when the star is at lower culmination. Best in the dark hours:
    // the Moon, two days before full, sets before dawn and the sky darkens.
    EXPECT_GT(up, 150);
    EXPECT_LT(up, kProfileSamples);
    EXPECT_GT(best, 144 - 60);
    EXPECT_LT(best, 144 + 72);
    EXPECT_EQ(0.0, p[0].signal);
    EXPECT_EQ(0.0, p[0].snrPercentage);
    EXPECT_GT(p[144].frameLength, 0.0);
    EXPECT_GT(p[144].snrPercentage, 80.0);
    EXPECT_GT(p[144].resolution, 0.0);
    // Daylight drowns the star: nothing planned in the afternoon sky.
    EXPECT_LT(p[144 - 8 * 12].snrPercentage, p[144].snrPercentage);

    ImagingWindow w[kImagingWindowCapacity];
    int n = FindImagingWindows(p.data(), w, kImagingWindowCapacity, 600, kImagingOther,
                               kAstronomicalCamera);
    ASSERT_GE(n, 1);
    bool midnight = false;
    for (int k = 0; k < n; k++) {
        EXPECT_LT(+w[k].start, +w[k].end);
        if (w[k].start <= 24.0 && w[k].end >= 24.0) {
            midnight = true;
            EXPECT_GE(+w[k].grade, 3);
        }
    }
    EXPECT_TRUE(midnight);
}

TEST(ImagingProfile, ApparentAltitudeOnTheMeridian) {
    Scene s;
    double ra = s.date.localApparentSidereal;
    // 40 N: +30 culminates at 80 degrees, no refraction added above 10.
    EXPECT_NEAR(80 * kDeg, ComputeApparentAltitude(&s.site, &s.date, ra, 30 * kDeg), 1e-9);
    // -45 culminates at 5 degrees true; Saemundsson's refraction there,
    // 1.02' / tan(h + 10.3 / (h + 5.11)) with h in degrees, is about 9.9'.
    double h = 5.0;
    double refraction = 1.02 / std::tan((h + 10.3 / (h + 5.11)) * kDeg) / 60 * kDeg;
    EXPECT_NEAR(5 * kDeg + refraction, ComputeApparentAltitude(&s.site, &s.date, ra, -45 * kDeg),
                0.3 / 60 * kDeg);
}

TEST(ImagingProfile, NeverRisingAndNoPlace) {
    Scene s;
    std::vector<ProfileSample> p(kProfileSamples);
    ProfileImagingOverNight(&s.site, &s.date, s.optics.get(), 0, kFilterV, 1, 0.0, -80 * kDeg, 5.0,
                            0.6, 600.0, 3.0, 0, kImagingExtendedSource, kImagingPlanet, nullptr,
                            p.data());
    for (int i = 0; i < kProfileSamples; i++) {
        EXPECT_NEAR(-12.0 + i * 5.0 / 60, p[i].hour, 1e-12);
        EXPECT_EQ(0.0, p[i].signal + p[i].sky + p[i].frameLength + p[i].snrPercentage +
                           p[i].resolutionPercentage + p[i].resolution + p[i].imageSize);
    }
    ImagingWindow w[kImagingWindowCapacity];
    for (int kind : {kImagingOther, kImagingPlanet, kImagingSun, kImagingDouble})
        EXPECT_EQ(0, FindImagingWindows(p.data(), w, kImagingWindowCapacity, 600, kind,
                                        kAstronomicalCamera));
    // No place: the profile is left as it was.
    std::memset(p.data(), 0x5A, p.size() * sizeof(ProfileSample));
    ProfileImagingOverNight(&s.site, &s.date, s.optics.get(), 0, kFilterV, 1, 0.0, 4.0, 5.0, 0.6,
                            600.0, 3.0, 0, kImagingPointSource, kImagingOther, nullptr, p.data());
    const uint8_t *bytes = reinterpret_cast<const uint8_t *>(p.data());
    for (size_t b = 0; b < p.size() * sizeof(ProfileSample); b++) ASSERT_EQ(0x5A, bytes[b]);
}

}  // namespace
