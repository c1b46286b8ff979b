// The report's camera rows: which configurations each camera kind gives, the
// row values against the camera geometry, the sort orders, and the optics
// left unchanged.
#include "instruments/camerareport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "instruments/camerageometry.h"

namespace {

const double kRadiansToArcminutes = 60.0 * 180.0 / 3.14159265358979323846;

// A 2000 mm f/10 telescope, one 9 um camera of 1530 x 1020 pixels of the kind.
std::unique_ptr<OpticsBlock> Telescope(uint8_t kind, int lenses, std::vector<float> extenders) {
    std::unique_ptr<OpticsBlock> b(new OpticsBlock);
    std::memset(b.get(), 0, sizeof *b);
    b->type = 2;
    b->aperture = 200.0;
    b->focalLength = 2000.0;
    b->focalRatio = 10.0;
    b->extenderIndex = 255;
    b->cameraCount = 1;
    CameraEntry &c = b->cameras[0];
    std::snprintf(c.name, sizeof c.name, "Cam");
    c.kind = kind;
    c.pixelsAcross = 1530;
    c.pixelsDown = 1020;
    c.pixelWidth = c.pixelHeight = 9.0;
    c.pixelDiagonal = std::sqrt(162.0);
    c.sensorWidth = 1530 * 0.009;
    c.sensorHeight = 1020 * 0.009;
    c.lensCount = lenses;
    for (int l = 0; l < lenses; ++l) {
        std::snprintf(c.lenses[l].name, sizeof c.lenses[l].name, "Lens %d", 50 * (l + 1));
        c.lenses[l].focalLength = 50.0 * (l + 1);
        c.lenses[l].focalRatio = 2.0;
    }
    b->extenderCount = static_cast<uint8_t>(extenders.size());
    for (size_t i = 0; i < extenders.size(); ++i) b->extenderFactors[i] = extenders[i];
    b->afocalOffered = 1;
    b->projectionOffered = 1;
    b->projectionEyepiece.focalLength = 25.0;
    b->projectionDistance = 100.0;
    b->afocalEyepiece.focalLength = 25.0;
    return b;
}

std::vector<std::string> States(const std::vector<CameraReportRow> &rows) {
    std::vector<std::string> out;
    for (const CameraReportRow &r : rows) out.push_back(std::string(r.focalState) + "|" + r.lens);
    return out;
}

TEST(CameraReport, RowsPerCameraKind) {
    struct Case { uint8_t kind; int lenses; std::vector<float> extenders; std::vector<std::string> rows; } cases[] = {
        {0, 0, {2.0f, 0.63f}, {"Prime Focus|", "Extender (2.0X)|", "Reducer (0.6X)|", "Eyepiece projection|"}},
        // Two lenses, no extenders: no afocal row (one per lens and extender).
        {1, 2, {}, {"Prime Focus|", "Eyepiece projection|25mm EP @ 100mm", "Piggyback|Lens 50", "Piggyback|Lens 100"}},
        {1, 1, {2.0f},
         {"Prime Focus|", "Extender (2.0X)|", "Afocal (2.0X)|Lens 50", "Eyepiece projection|25mm EP @ 100mm",
          "Piggyback|Lens 50"}},
        {2, 1, {2.0f},
         {"Prime Focus|", "Extender (2.0X)|", "Eyepiece projection|25mm EP @ 100mm", "Afocal (2.0X)|Lens 50"}},
    };
    for (const Case &c : cases) {
        auto b = Telescope(c.kind, c.lenses, c.extenders);
        auto rows = BuildCameraReportRows(*b);
        EXPECT_EQ(States(rows), c.rows) << int(c.kind);
        // Within the allocation the report states: 2 + F + L + L x F, plus 1.
        int f = static_cast<int>(c.extenders.size());
        EXPECT_LE(static_cast<int>(rows.size()), 2 + f + c.lenses + c.lenses * f + 1);
    }
}

TEST(CameraReport, ValuesMatchTheGeometryAndLeaveTheOpticsAlone) {
    auto b = Telescope(1, 1, {2.0f});
    auto before = std::make_unique<OpticsBlock>(*b);
    auto rows = BuildCameraReportRows(*b);
    EXPECT_EQ(std::memcmp(before.get(), b.get(), sizeof *b), 0);
    ASSERT_GE(rows.size(), 2u);
    // Prime focus: 13.77 mm over 2000 mm.
    EXPECT_NEAR(rows[0].fieldSort, 1530 * 0.009 / 2000.0, 1e-12);
    EXPECT_STREQ(rows[0].camera, "Cam");
    // With the 2x extender: half the field.
    EXPECT_NEAR(rows[1].fieldSort, 1530 * 0.009 / 4000.0, 1e-12);
    auto direct = std::make_unique<OpticsBlock>(*b);
    direct->extenderIndex = 0;
    ASSERT_EQ(ComputeCameraField(direct.get(), 0, -1), 1);
    EXPECT_DOUBLE_EQ(rows[1].resolutionArcsec, ComputeImagingResolution(direct.get(), 0, 0.3, 1));
    char text[64];
    std::snprintf(text, sizeof text, "%4.1lf\"/pix", rows[1].resolutionArcsec);
    EXPECT_STREQ(rows[1].resolution, text);
    EXPECT_NE(std::string(rows[0].field), "");
    (void)kRadiansToArcminutes;
}

TEST(CameraReport, CountsFromTheRecordAreClamped) {
    auto b = Telescope(1, 0, {});
    b->cameraCount = 99;
    b->extenderCount = 200;
    b->cameras[0].lensCount = 1000;
    auto rows = BuildCameraReportRows(*b);  // no read beyond the arrays (ASan)
    EXPECT_LE(rows.size(), static_cast<size_t>(kMaxCameras * (2 + 15 + 10 + 150) + 1));
}

TEST(CameraReport, SortOrders) {
    auto b = Telescope(1, 2, {});
    b->cameraCount = 2;
    b->cameras[1] = b->cameras[0];
    std::snprintf(b->cameras[1].name, sizeof b->cameras[1].name, "Another");
    auto rows = BuildCameraReportRows(*b);
    auto describe = [&](int key) {
        std::vector<std::string> out;
        for (int i : SortCameraReportRows(rows, key)) out.push_back(std::string(rows[i].camera) + "/" + rows[i].focalState + "/" + rows[i].lens);
        return out;
    };
    std::vector<std::string> byName = describe(1);
    EXPECT_EQ(byName.front(), "Another/Prime Focus/");
    EXPECT_EQ(byName[4], "Cam/Prime Focus/");
    EXPECT_EQ(describe(-1), byName);  // always ascending
    // Focal state: "Prime" first in both directions.
    EXPECT_EQ(describe(2).front().find("/Prime Focus/"), describe(2).front().find('/'));
    EXPECT_NE(describe(-2).front().find("/Prime Focus/"), std::string::npos);
    EXPECT_NE(describe(-2)[2].find("/Piggyback/"), std::string::npos);
    // Lens focal length, descending: the 100 mm lens first.
    EXPECT_EQ(describe(-3).front(), "Cam/Piggyback/Lens 100");
}

}  // namespace
