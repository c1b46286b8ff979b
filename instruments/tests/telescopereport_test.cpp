// The telescope report's rows, sort orders, summary and clipboard text,
// against direct optics computations and the report's stated line order.
#include "instruments/telescopereport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "astro/location.h"
#include "instruments/optics.h"
#include "instruments/tests/instrfixture.h"
#include "photometry/skybright.h"
#include "sites/observerstore.h"

namespace {

using instrtest::Telescope;

std::vector<std::string> Lines(const std::string &text) {
    std::vector<std::string> out;
    size_t at = 0;
    for (size_t end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
        out.push_back(text.substr(at, end - at));
    EXPECT_EQ(at, text.size()) << "text does not end in CRLF";
    return out;
}

struct Conditions {
    ObserverRecord observer{};
    std::unique_ptr<LocationRecord> site{new LocationRecord()};
    Conditions() {
        std::snprintf(observer.name, sizeof observer.name, "Ann");
        observer.pupilDiameter = 7.0;
        observer.experience = 0.5;
        std::snprintf(site->name, sizeof site->name, "Dark Field");
        site->nakedEyeLimit = 6.5;
        site->seeing = 3.0;
    }
    ReportConditions Get() const { return {&observer, site.get()}; }
};

TEST(TelescopeReport, EyepieceRowsMatchTheOptics) {
    Conditions c;
    auto t = Telescope("Dob", 200, 1200, 3);
    ComputeOpticsLimits(&t->optics[0]);
    for (float factor : {2.0f, 1.0f, 0.0f}) {
        t->optics[0].barlowFactor = factor;
        auto rows = BuildEyepieceReportRows(t->optics[0], c.Get());
        ASSERT_EQ(rows.size(), factor == 2.0f ? 6u : 3u) << factor;
        for (const EyepieceReportRow &r : rows) {
            auto direct = std::make_unique<OpticsBlock>(t->optics[0]);
            direct->barlowInUse = (r.row & kBarlowRowBit) ? 1 : 0;
            int i = static_cast<int>(r.row & ~kBarlowRowBit);
            SelectEyepiece(direct.get(), i);
            EXPECT_DOUBLE_EQ(r.magnification, direct->magnification);
            EXPECT_DOUBLE_EQ(r.trueField, direct->trueField);
            EXPECT_DOUBLE_EQ(r.exitPupil, ComputeExitPupil(direct.get()));
            EXPECT_DOUBLE_EQ(r.limitingMagnitude,
                             ComputeTelescopeLimitingMagnitude(direct.get(), &c.observer, 0.1,
                                                               ComputeSkyBrightnessFromLimit(6.5), 0, 0, 1.5));
        }
    }
    // 1200 / 25 = 48, with the Barlow 96.
    t->optics[0].barlowFactor = 2.0f;
    auto rows = BuildEyepieceReportRows(t->optics[0], c.Get());
    EXPECT_NEAR(rows[0].magnification, 48.0, 1e-9);
    EXPECT_NEAR(rows[3].magnification, 96.0, 1e-9);
}

TEST(TelescopeReport, ReportLeavesTheTelescopeUnchanged) {
    Conditions c;
    auto t = Telescope("Dob", 200, 1200, 3);
    ComputeOpticsLimits(&t->optics[0]);
    t->optics[0].barlowFactor = 2.0f;
    auto before = std::make_unique<InstrumentRecord>(*t);
    auto rows = BuildEyepieceReportRows(t->optics[0], c.Get());
    BuildReportCopyText(*t, rows, c.Get());
    BuildReportSummary(*t, c.Get());
    EXPECT_EQ(std::memcmp(before.get(), t.get(), sizeof *t), 0);
}

TEST(TelescopeReport, SortOrders) {
    Conditions c;
    auto t = Telescope("Dob", 200, 1200, 3);  // 25, 10, 6 mm: 48, 120, 200x
    ComputeOpticsLimits(&t->optics[0]);
    t->optics[0].barlowFactor = 2.0f;
    auto rows = BuildEyepieceReportRows(t->optics[0], c.Get());
    auto order = [&](int key) {
        SortEyepieceReportRows(&rows, key);
        std::vector<uint32_t> out;
        for (auto &r : rows) out.push_back(r.row);
        return out;
    };
    const uint32_t B = kBarlowRowBit;
    // 48, 96 (25 mm with the Barlow), 120, 200, 240, 400
    EXPECT_EQ(order(2), (std::vector<uint32_t>{0, 0 | B, 1, 2, 1 | B, 2 | B}));
    int key = NextReportSortKey(kReportDefaultSortKey, 1);  // "Magnification" again
    EXPECT_EQ(key, -2);
    EXPECT_EQ(order(key), (std::vector<uint32_t>{2 | B, 1 | B, 2, 1, 0 | B, 0}));
    key = NextReportSortKey(key, 0);  // "Eyepiece": Barlow rows first, each by eyepiece
    EXPECT_EQ(key, 1);
    EXPECT_EQ(order(key), (std::vector<uint32_t>{0 | B, 1 | B, 2 | B, 0, 1, 2}));
    EXPECT_EQ(order(-1), order(1));  // always ascending
    EXPECT_EQ(NextReportSortKey(-3, 2), 3);
    EXPECT_EQ(NextReportSortKey(3, 3), 4);
}

TEST(TelescopeReport, RecommendedMagnifications) {
    double m[3];
    RecommendedMagnifications(200.0, m);
    EXPECT_EQ(m[0], 29.0);
    EXPECT_EQ(m[1], 50.0);
    EXPECT_EQ(m[2], 200.0);
    RecommendedMagnifications(120.0, m);
    EXPECT_EQ(m[0], 17.0);
    EXPECT_EQ(m[1], 30.0);
    EXPECT_EQ(m[2], 120.0);
}

TEST(TelescopeReport, CopyTextWithoutFinder) {
    Conditions c;
    auto t = Telescope("Dob", 200, 1200, 2);
    ComputeOpticsLimits(&t->optics[0]);
    t->optics[0].barlowFactor = 1.0f;
    auto rows = BuildEyepieceReportRows(t->optics[0], c.Get());
    auto lines = Lines(BuildReportCopyText(*t, rows, c.Get()));
    ASSERT_EQ(lines.size(), 21u);
    EXPECT_EQ(lines[0], "Dob Report");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "Telescope type: Reflector");
    EXPECT_EQ(lines[3], "Aperture: 7.9 inches");
    EXPECT_EQ(lines[5], "Focal ratio:  6.0");
    EXPECT_EQ(lines[6], "Mounting: Equatorial");
    EXPECT_EQ(lines[8], "");
    EXPECT_EQ(lines[9].rfind("Dawes resolution limit: 0.6\"", 0), 0u) << lines[9];
    EXPECT_EQ(lines[11], "Recommended eyepiece magnifications: 29, 50, 200 plus 2X Barlow");
    EXPECT_EQ(lines[12].rfind("Typical limiting visual magnitude: ", 0), 0u);
    EXPECT_EQ(lines[13], "");
    EXPECT_EQ(lines[14], "Eyepiece\tMagnification\tTrue Field of View\tExit Pupil\tLimiting Mag.");
    EXPECT_EQ(lines[15].substr(0, lines[15].find('\t', lines[15].find('\t') + 1)), "Plossl\t48");
    EXPECT_NE(lines[15].find("\t65.0'\t4.2\t"), std::string::npos) << lines[15];  // 52 deg / 48, 200/48
    EXPECT_EQ(lines[17], "");
    EXPECT_EQ(lines[18], "Visual limiting magnitudes computed for:");
    EXPECT_EQ(lines[19], "Dark Field (naked-eye mag limit 6.5)");
    EXPECT_EQ(lines[20], std::string("Ann (") + GetExperienceName(2) + ", 7.0mm pupils)");
}

TEST(TelescopeReport, LargestTelescopeCopiedWhole) {
    // 70 eyepieces with a Barlow: 140 rows, several times a 4,000-byte block.
    Conditions c;
    auto t = Telescope("Big", 400, 2000, kMaxEyepieces);
    ComputeOpticsLimits(&t->optics[0]);
    t->optics[0].barlowFactor = 2.0f;
    auto rows = BuildEyepieceReportRows(t->optics[0], c.Get());
    ASSERT_EQ(rows.size(), 140u);
    std::string text = BuildReportCopyText(*t, rows, c.Get());
    EXPECT_GT(text.size(), 4000u);
    auto lines = Lines(text);
    ASSERT_EQ(lines.size(), 19u + 140u);
    EXPECT_EQ(lines.back(), std::string("Ann (") + GetExperienceName(2) + ", 7.0mm pupils)");
}

TEST(TelescopeReport, FinderInSummaryAndCopy) {
    Conditions c;
    auto t = Telescope("Dob", 200, 1200, 1);
    ComputeOpticsLimits(&t->optics[0]);
    t->opticsCount = 2;
    InitTelescopeOptics(&t->optics[1], "Finder", kOpticsRefractor, 50 / 25.4, 200 / 25.4, 0.0, 1, 1, 0.0);
    t->optics[1].magnification = 8.0;  // the finder's fixed magnification, as the scope dialog sets it
    t->optics[1].trueField = 6.0 * 3.14159265358979 / 180.0;
    double mag, aperture, field, limit;
    ASSERT_EQ(ReportFinderValues(*t, c.Get(), &mag, &aperture, &field, &limit), 1);
    char tail[32];
    std::snprintf(tail, sizeof tail, "Limiting magnitude: %4.1lf", limit);
    std::string summary = BuildReportSummary(*t, c.Get());
    ASSERT_GE(summary.size(), std::strlen(tail));
    EXPECT_EQ(summary.substr(summary.size() - std::strlen(tail)), tail);  // intact, no line break after it
    EXPECT_NE(summary.find("\r\n\r\n8 x 50 mm finder scope Field of View: 6.0\xB0 "), std::string::npos) << summary;
    auto lines = Lines(BuildReportCopyText(*t, BuildEyepieceReportRows(t->optics[0], c.Get()), c.Get()));
    EXPECT_EQ(lines[13], "");
    EXPECT_EQ(lines[14], "8 x 50 mm Finder:");
    EXPECT_EQ(lines[15], "Field of View: 6.0\xB0");
    std::snprintf(tail, sizeof tail, "Limiting visual magnitude: %4.1lf", limit);
    EXPECT_EQ(lines[16], tail);
    EXPECT_EQ(lines[17], "");
    EXPECT_EQ(lines[18].rfind("Eyepiece\t", 0), 0u);
}

TEST(TelescopeReport, CamerasInSummaryAndCopy) {
    Conditions c;
    auto t = Telescope("Imager", 200, 2000, 1);
    ComputeOpticsLimits(&t->optics[0]);
    t->optics[0].barlowFactor = 1.0f;
    t->optics[0].extenderIndex = kNoEyepiece;
    t->optics[0].cameraCount = 1;
    CameraEntry &cam = t->optics[0].cameras[0];
    std::snprintf(cam.name, sizeof cam.name, "ST-8");
    cam.kind = 0;
    cam.pixelsAcross = 1530;
    cam.pixelsDown = 1020;
    cam.pixelWidth = cam.pixelHeight = 9.0;
    cam.pixelDiagonal = std::sqrt(162.0);
    cam.sensorWidth = 1530 * 0.009;
    cam.sensorHeight = 1020 * 0.009;
    // The standard variant leaves the cameras out of the summary.
    EXPECT_EQ(BuildReportSummary(*t, c.Get(), 0).find("ST-8"), std::string::npos);
    std::string summary = BuildReportSummary(*t, c.Get(), 1);
    EXPECT_NE(summary.find("\r\n\r\nST-8 CCD camera: 1530 x 1020 pixels (1x1 bins)"), std::string::npos) << summary;
    auto cameraRows = BuildCameraReportRows(t->optics[0]);
    ASSERT_EQ(cameraRows.size(), 1u);  // prime focus only
    std::vector<int> order{0};
    auto lines = Lines(BuildReportCopyText(*t, BuildEyepieceReportRows(t->optics[0], c.Get()), c.Get(), &cameraRows,
                                           &order));
    ASSERT_EQ(lines.size(), 23u);
    EXPECT_EQ(lines[13], "");
    EXPECT_EQ(lines[14], "Camera\tFocal State\tLens\tField of View\tResolution");
    EXPECT_EQ(lines[15], std::string("ST-8\tPrime Focus\t\t") + cameraRows[0].field + "\t" + cameraRows[0].resolution);
    EXPECT_EQ(lines[16], "");
    EXPECT_EQ(lines[17].rfind("Eyepiece\t", 0), 0u);
}

}  // namespace
