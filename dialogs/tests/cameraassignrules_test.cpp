// The camera assignment rules: assigning pool cameras up to the twelve
// slots, removing and moving whole entries, the bounded factor list, the
// chosen indices held to the cameras there are, and the link texts.
#include "dialogs/cameraassignrules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "instruments/camerapool.h"
#include "instruments/filterpool.h"
#include "instruments/lenspool.h"
#include "instruments/tests/instrfixture.h"

namespace {

std::unique_ptr<OpticsBlock> Block() {
    std::unique_ptr<OpticsBlock> b(new OpticsBlock);
    std::memset(b.get(), 0, sizeof *b);
    b->focalLength = 1000;
    b->focalRatio = 10;
    b->extenderIndex = 255;
    return b;
}

int AddCamera(int kind, const char *name, const char *curveName, double lens = 0) {
    double curve[13];
    for (double &v : curve) v = 33;
    return AddCameraRecord(kind, name, 10, 2, 2, 1, 0, 0, 640, 480, 7.4, 7.4, 1, lens, curveName,
                           curve, 0, 0, 0, 0, 0, 0, 0);
}

class CameraAssignRules : public instrtest::StoreFixture {};

TEST_F(CameraAssignRules, AssignBuildsSlotsUpToTwelve) {
    CcdCurveRow table[1];
    std::memset(table, 0, sizeof table);
    std::snprintf(table[0].name, sizeof table[0].name, "Sony ICX");
    for (int i = 0; i < 13; ++i) table[0].values[i] = 50 + i;
    const int ccd = AddCamera(0, "ST-7", "sony icx");
    const int video = AddCamera(2, "ToUcam", "", 6.0);
    ASSERT_GT(ccd, 0);
    ASSERT_GT(video, 0);
    auto b = Block();
    // Stale filters and lenses in the next slot do not survive.
    b->cameras[0].filterCount = 7;
    b->cameras[0].lensCount = 4;
    ASSERT_EQ(AssignPoolCamera(b.get(), ccd, table, 1), 0);
    EXPECT_EQ(int{b->cameraCount}, 1);
    EXPECT_STREQ(b->cameras[0].name, "ST-7");
    EXPECT_EQ(int{b->cameras[0].filterCount}, 0);
    EXPECT_EQ(int{b->cameras[0].lensCount}, 0);
    EXPECT_EQ(double{b->cameras[0].quantumEfficiency[12]}, 62.0);   // from the table
    ASSERT_EQ(AssignPoolCamera(b.get(), video, table, 1), 1);
    EXPECT_EQ(int{b->cameras[1].lensCount}, 1);
    EXPECT_STREQ(b->cameras[1].lenses[0].name, "Built in");
    EXPECT_EQ(AssignPoolCamera(b.get(), 999, table, 1), kAssignCameraUnreadable);
    EXPECT_EQ(int{b->cameraCount}, 2);
    // The same pool camera may be assigned again, up to twelve slots.
    for (int i = 2; i < kMaxCameras; ++i) ASSERT_EQ(AssignPoolCamera(b.get(), ccd, table, 1), i);
    std::unique_ptr<OpticsBlock> before(new OpticsBlock);
    std::memcpy(before.get(), b.get(), sizeof *b);
    EXPECT_EQ(AssignPoolCamera(b.get(), video, table, 1), kAssignCameraFull);
    EXPECT_EQ(std::memcmp(before.get(), b.get(), sizeof *b), 0);
}

TEST(CameraAssignRulesSlots, RemoveSwapAndFindByPoolId) {
    auto b = Block();
    const char *names[] = {"A", "B", "C"};
    for (int i = 0; i < 3; ++i) {
        std::snprintf(b->cameras[i].name, sizeof b->cameras[i].name, "%s", names[i]);
        b->cameras[i].poolId = i == 2 ? 5 : 4;   // pool camera 4 assigned twice
    }
    b->cameraCount = 3;
    EXPECT_EQ(FindTelescopeCameraByPoolId(b.get(), 4), 0);
    EXPECT_EQ(FindTelescopeCameraByPoolId(b.get(), 5), 2);
    EXPECT_EQ(FindTelescopeCameraByPoolId(b.get(), 5 + 65536), 2);   // 16-bit ids
    EXPECT_EQ(FindTelescopeCameraByPoolId(b.get(), 6), -1);
    ASSERT_EQ(SwapTelescopeCameras(b.get(), 1, 2), 1);
    EXPECT_STREQ(b->cameras[1].name, "C");
    EXPECT_STREQ(b->cameras[2].name, "B");
    EXPECT_EQ(SwapTelescopeCameras(b.get(), 2, 3), 0);
    ASSERT_EQ(RemoveTelescopeCamera(b.get(), FindTelescopeCameraByPoolId(b.get(), 4)), 1);
    EXPECT_EQ(int{b->cameraCount}, 2);
    EXPECT_STREQ(b->cameras[0].name, "C");
    EXPECT_STREQ(b->cameras[1].name, "B");
    EXPECT_EQ(b->cameras[2].name[0], 0);
    EXPECT_EQ(RemoveTelescopeCamera(b.get(), 2), 0);
    EXPECT_EQ(RemoveTelescopeCamera(b.get(), -1), 0);
    // A kept choice is held to the cameras there are.
    EXPECT_EQ(ClampChoice(1, 2), 1);
    EXPECT_EQ(ClampChoice(2, 2), -1);
    EXPECT_EQ(ClampChoice(0, 0), -1);
    EXPECT_EQ(ClampChoice(-1, 5), -1);
}

TEST(CameraAssignRulesFactors, BoundedListAndRemoval) {
    auto b = Block();
    EXPECT_EQ(AddExtenderFactorText(b.get(), "0"), 0);
    EXPECT_EQ(AddExtenderFactorText(b.get(), "x"), 0);
    EXPECT_EQ(AddExtenderFactorText(b.get(), "-2"), 0);
    for (int i = 0; i < kMaxExtenderFactors; ++i) ASSERT_EQ(AddExtenderFactorText(b.get(), i % 2 ? "2" : "0.5"), 1);
    // The sixteenth would be written over the reserved bytes after the list.
    EXPECT_EQ(AddExtenderFactorText(b.get(), "3"), -1);
    EXPECT_EQ(int{b->extenderCount}, kMaxExtenderFactors);
    for (uint8_t byte : b->reserved4) EXPECT_EQ(byte, 0);
    ASSERT_EQ(RemoveExtenderFactor(b.get(), 0), 1);
    EXPECT_EQ(float{b->extenderFactors[0]}, 2.0f);
    EXPECT_EQ(int{b->extenderIndex}, 0);
    EXPECT_EQ(RemoveExtenderFactor(b.get(), 14), 0);
    while (b->extenderCount > 0) ASSERT_EQ(RemoveExtenderFactor(b.get(), 0), 1);
    EXPECT_EQ(int{b->extenderIndex}, 255);
}

TEST(CameraAssignRulesTexts, ProjectionLabelsAndOptimumDistance) {
    auto b = Block();
    char text[64];
    FormatEyepieceProjectionLabel(b.get(), 0, text, sizeof text);
    EXPECT_STREQ(text, "Configure");
    b->projectionEyepiece.focalLength = 25;
    std::snprintf(b->projectionEyepiece.name, sizeof b->projectionEyepiece.name, "Plossl");
    FormatEyepieceProjectionLabel(b.get(), 0, text, sizeof text);
    EXPECT_STREQ(text, "Configure");   // no distance yet
    b->projectionDistance = 80;
    FormatEyepieceProjectionLabel(b.get(), -1, text, sizeof text);
    EXPECT_STREQ(text, "Configure");   // no camera chosen
    FormatEyepieceProjectionLabel(b.get(), 0, text, sizeof text);
    EXPECT_STREQ(text, "Plossl @ 80mm");
    std::snprintf(b->projectionEyepiece.name, sizeof b->projectionEyepiece.name, "Long eye relief 25");
    FormatEyepieceProjectionLabel(b.get(), 0, text, sizeof text);
    EXPECT_STREQ(text, "25mm eyepiece @ 80mm");
    FormatAfocalProjectionLabel(b.get(), 0, text, sizeof text);
    EXPECT_STREQ(text, "Configure");
    b->afocalEyepiece = b->projectionEyepiece;
    FormatAfocalProjectionLabel(b.get(), 0, text, sizeof text);
    EXPECT_STREQ(text, "25mm eyepiece");
    std::snprintf(b->afocalEyepiece.name, sizeof b->afocalEyepiece.name, "Nagler 9");
    FormatAfocalProjectionLabel(b.get(), 0, text, sizeof text);
    EXPECT_STREQ(text, "Nagler 9");

    // Optimum distance ((2 x 7.4 / 0.665) / 10 + 1) x 25 = 80.64 mm without a filter.
    FormatOptimumProjectionDistance(b.get(), 0, -1, text, sizeof text);
    EXPECT_STREQ(text, "N/A");   // no camera in the block
    b->cameraCount = 1;
    b->cameras[0].pixelDiagonal = 7.4;
    FormatOptimumProjectionDistance(b.get(), 0, -1, text, sizeof text);
    EXPECT_STREQ(text, "81 mm");
    FormatOptimumProjectionDistance(b.get(), -1, -1, text, sizeof text);
    EXPECT_STREQ(text, "N/A");
    b->projectionEyepiece.focalLength = 0;
    FormatOptimumProjectionDistance(b.get(), 0, -1, text, sizeof text);
    EXPECT_STREQ(text, "N/A");
}

TEST_F(CameraAssignRules, FiltersAndLensesRebuiltFromIdsInOrder) {
    auto filter = [](const char *name) {
        FilterRecord f;
        std::memset(&f, 0, sizeof f);
        std::snprintf(f.name, sizeof f.name, "%s", name);
        f.wavelength = 0.55;
        return AddFilterRecord(&f);
    };
    const int red = filter("Red"), green = filter("Green"), gone = filter("Gone");
    ASSERT_GT(red, 0);
    ASSERT_GT(green, 0);
    ASSERT_EQ(DeleteFilterRecordById(gone), 1);
    std::unique_ptr<CameraEntry> cam(new CameraEntry);
    std::memset(cam.get(), 0, sizeof *cam);
    cam->filterCount = 9;   // whatever the camera held before
    const uint16_t ids[] = {(uint16_t)green, (uint16_t)gone, (uint16_t)red, (uint16_t)green};
    ASSERT_EQ(RebuildCameraFilters(cam.get(), ids, 4), 3);
    EXPECT_EQ(int{cam->filterCount}, 3);
    EXPECT_STREQ(cam->filters[0].name, "Green");
    EXPECT_STREQ(cam->filters[1].name, "Red");   // the missing id left no hole
    EXPECT_STREQ(cam->filters[2].name, "Green");
    EXPECT_EQ(cam->filters[1].poolId & 0xFFFF, red);
    // Never more than the 50 assigned slots: the band slots 50-54 stay untouched.
    std::snprintf(cam->filters[kCameraBandSlot].name, 33, "U");
    std::vector<uint16_t> many(60, (uint16_t)red);
    EXPECT_EQ(RebuildCameraFilters(cam.get(), many.data(), 60), kCameraAssignedFilters);
    EXPECT_STREQ(cam->filters[kCameraBandSlot].name, "U");
    EXPECT_EQ(RebuildCameraFilters(cam.get(), nullptr, 0), 0);
    EXPECT_EQ(int{cam->filterCount}, 0);

    LensRecord lens;
    std::memset(&lens, 0, sizeof lens);
    std::snprintf(lens.name, sizeof lens.name, "Reducer");
    lens.focalLength = 50;
    lens.focalRatio = 1.8;
    const int reducer = AddLensRecord(&lens);
    ASSERT_GT(reducer, 0);
    std::vector<uint16_t> lenses(12, (uint16_t)reducer);
    lenses[0] = 999;   // not in the pool
    EXPECT_EQ(RebuildCameraLenses(cam.get(), lenses.data(), 12), 10);
    EXPECT_STREQ(cam->lenses[9].name, "Reducer");
    EXPECT_EQ(double{cam->lenses[0].focalLength}, 50.0);
}

TEST_F(CameraAssignRules, CameraSectionPutBackWhole) {
    const int ccd = AddCamera(0, "ST-7", "");
    ASSERT_GT(ccd, 0);
    auto b = Block();
    ASSERT_EQ(AssignPoolCamera(b.get(), ccd, nullptr, 0), 0);
    b->projectionOffered = 1;
    b->projectionDistance = 60;
    b->projectionEyepiece.focalLength = 25;
    ASSERT_EQ(AddExtenderFactorText(b.get(), "2"), 1);
    std::unique_ptr<OpticsBlock> before(new OpticsBlock);
    std::memcpy(before.get(), b.get(), sizeof *b);
    std::unique_ptr<OpticsBlock> saved(new OpticsBlock);
    std::memset(saved.get(), 0xA5, sizeof *saved);   // only the section is copied into it
    CopyCameraSection(saved.get(), b.get());

    // Everything the camera dialog can change, changed.
    ASSERT_EQ(AssignPoolCamera(b.get(), ccd, nullptr, 0), 1);
    ASSERT_EQ(SwapTelescopeCameras(b.get(), 0, 1), 1);
    b->cameras[0].filterCount = 3;
    ASSERT_EQ(RemoveTelescopeCamera(b.get(), 1), 1);
    b->projectionOffered = 0;
    b->afocalOffered = 1;
    b->projectionDistance = 90;
    b->projectionEyepiece.focalLength = 9;
    b->afocalEyepiece.focalLength = 40;
    ASSERT_EQ(AddExtenderFactorText(b.get(), "0.5"), 1);
    ASSERT_EQ(RemoveExtenderFactor(b.get(), 0), 1);

    CopyCameraSection(b.get(), saved.get());
    EXPECT_EQ(std::memcmp(before.get(), b.get(), sizeof *b), 0);
}

TEST(CameraAssignRulesChoices, ProjectionChoicesHeldToTheTelescope) {
    auto b = Block();
    b->cameraCount = 2;
    b->cameras[0].filterCount = 0;
    b->cameras[1].filterCount = 3;
    struct Case {
        int cameras, camera, filter;   // telescope's camera count, kept choices
        int wantCamera, wantFilter;
    } cases[] = {
        {2, 1, 2, 1, 2},     // valid choices stay
        {2, 1, 3, 1, -1},    // beyond the camera's filters: no filter
        {2, 0, 2, 0, -1},    // camera 0 has no filters
        {2, 5, 1, 0, -1},    // a camera of another telescope: the first camera
        {2, -1, -1, 0, -1},  // none chosen yet, cameras there
        {0, 1, 2, -1, -1},   // no cameras (the camera choice must not stay stale)
        {0, 0, 0, -1, -1},
    };
    for (const Case &c : cases) {
        b->cameraCount = c.cameras;
        int camera = c.camera, filter = c.filter;
        HoldProjectionChoices(b.get(), &camera, &filter);
        EXPECT_EQ(camera, c.wantCamera) << c.cameras << " " << c.camera << " " << c.filter;
        EXPECT_EQ(filter, c.wantFilter) << c.cameras << " " << c.camera << " " << c.filter;
    }
}

}  // namespace
