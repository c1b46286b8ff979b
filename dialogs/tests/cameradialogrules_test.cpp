// Reading the camera edit dialog's fields: the fixed values of video
// cameras, the defaults of empty fields, the ranges refused, and the guider.
#include "dialogs/cameradialogrules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

CameraDialogFields Ccd() {
    CameraDialogFields f;
    f.kind = 0;
    f.name = "ST-7";
    f.readNoise = "15";
    f.gain = "2.3";
    f.binnedGain = "4.6";
    f.darkSignal = "1.5";
    f.pixelsAcross = "765";
    f.pixelsDown = "510";
    f.pixelWidth = "9";
    f.pixelHeight = "9";
    for (auto &v : f.curve) v = "50";
    return f;
}

std::unique_ptr<CameraEntry> Blank() {
    auto c = std::make_unique<CameraEntry>();
    std::memset(c.get(), 0, sizeof *c);
    return c;
}

TEST(CameraDialogRules, ValidCcdAndDerivedSizes) {
    auto c = Blank();
    ASSERT_EQ(ReadCameraFields(Ccd(), nullptr, 0, c.get()), 1);
    EXPECT_STREQ(c->name, "ST-7");
    EXPECT_EQ(double{c->binnedGain}, 4.6);
    EXPECT_EQ(int{c->pixelsAcross}, 765);
    EXPECT_NEAR(double{c->sensorWidth}, 765 * 9 * 0.001, 1e-12);
    EXPECT_NEAR(double{c->sensorHeight}, 510 * 9 * 0.001, 1e-12);
    EXPECT_NEAR(double{c->pixelDiagonal}, 12.727922061357855, 1e-12);
    EXPECT_EQ(c->curveName[0], 0);
    EXPECT_EQ(double{c->quantumEfficiency[12]}, 50.0);
}

TEST(CameraDialogRules, FieldTable) {
    struct Case {
        const char *what;
        void (*change)(CameraDialogFields &);
        int ok;
    } cases[] = {
        {"empty binned gain", [](CameraDialogFields &f) { f.binnedGain = "  "; }, 1},
        {"empty dark signal", [](CameraDialogFields &f) { f.darkSignal = ""; }, 1},
        {"dark signal 0", [](CameraDialogFields &f) { f.darkSignal = "0"; }, 1},
        {"negative dark signal", [](CameraDialogFields &f) { f.darkSignal = "-1"; }, 0},
        {"read noise 0", [](CameraDialogFields &f) { f.readNoise = "0"; }, 0},
        {"gain no number", [](CameraDialogFields &f) { f.gain = "n/a"; }, 0},
        {"binned gain 0", [](CameraDialogFields &f) { f.binnedGain = "0"; }, 0},
        {"pixels 0", [](CameraDialogFields &f) { f.pixelsAcross = "0.9"; }, 0},
        {"pixels too many", [](CameraDialogFields &f) { f.pixelsDown = "99999999999"; }, 0},
        {"pixel width 0", [](CameraDialogFields &f) { f.pixelWidth = "0"; }, 0},
        {"empty pixel height", [](CameraDialogFields &f) { f.pixelHeight = ""; }, 1},
        {"QE 100", [](CameraDialogFields &f) { f.curve[3] = "100"; }, 1},
        {"QE 100.5", [](CameraDialogFields &f) { f.curve[3] = "100.5"; }, 0},
        {"QE empty reads 0", [](CameraDialogFields &f) { f.curve[0] = ""; }, 1},
        {"QE negative", [](CameraDialogFields &f) { f.curve[12] = "-1"; }, 0},
        {"curve line beyond the table", [](CameraDialogFields &f) { f.curveChoice = 1; }, 0},
        {"guider on, empty offsets", [](CameraDialogFields &f) { f.guider = 1; }, 0},
        {"guider off, anything", [](CameraDialogFields &f) { f.guiderPixelsAcross = "abc"; }, 1},
    };
    for (const Case &c : cases) {
        CameraDialogFields f = Ccd();
        c.change(f);
        auto cam = Blank();
        EXPECT_EQ(ReadCameraFields(f, nullptr, 0, cam.get()), c.ok) << c.what;
    }
    // The defaults taken.
    CameraDialogFields f = Ccd();
    f.binnedGain = "";
    f.darkSignal = "";
    f.pixelHeight = "";
    auto cam = Blank();
    cam->darkSignal = 9;
    ASSERT_EQ(ReadCameraFields(f, nullptr, 0, cam.get()), 1);
    EXPECT_EQ(double{cam->binnedGain}, 2.3);
    EXPECT_EQ(double{cam->darkSignal}, 0.0);
    EXPECT_EQ(double{cam->pixelHeight}, 9.0);
}

TEST(CameraDialogRules, VideoCameraFixedValuesAndOneBuiltInLens) {
    CameraDialogFields f = Ccd();
    f.kind = 2;
    f.readNoise = "0";     // not read for a video camera
    f.gain = "";
    f.darkSignal = "-5";
    f.lensFocalLength = "6";
    auto c = Blank();
    c->lensCount = 3;
    ASSERT_EQ(ReadCameraFields(f, nullptr, 0, c.get()), 1);
    EXPECT_EQ(double{c->readNoise}, 15.0);
    EXPECT_EQ(double{c->gain}, 1.0);
    EXPECT_EQ(double{c->binnedGain}, 1.0);
    EXPECT_EQ(double{c->darkSignal}, 2.0);
    EXPECT_EQ(int{c->lensCount}, 1);
    EXPECT_STREQ(c->lenses[0].name, "Built in");
    EXPECT_EQ(double{c->lenses[0].focalLength}, 6.0);
    EXPECT_EQ(double{c->lenses[0].focalRatio}, 1.0);
    EXPECT_EQ(int{c->lenses[0].poolId}, 0);
    f.lensFocalLength = "";
    ASSERT_EQ(ReadCameraFields(f, nullptr, 0, c.get()), 1);
    EXPECT_EQ(int{c->lensCount}, 1);
    EXPECT_EQ(double{c->lenses[0].focalLength}, 0.0);
}

TEST(CameraDialogRules, NamedCurveAndGuider) {
    CcdCurveRow table[2];
    std::memset(table, 0, sizeof table);
    std::snprintf(table[0].name, sizeof table[0].name, "KAF-0400");
    std::snprintf(table[1].name, sizeof table[1].name, "Sony ICX");
    CameraDialogFields f = Ccd();
    f.curveChoice = 2;
    for (auto &v : f.curve) v = "999";   // not read with a named curve
    f.guider = 1;
    f.guiderOffsetX = "-3.5";
    f.guiderOffsetY = "2";
    f.guiderPixelsAcross = "192.7";
    f.guiderPixelsDown = "164";
    f.guiderPixelWidth = "13.75";
    f.guiderPixelHeight = "";
    auto c = Blank();
    ASSERT_EQ(ReadCameraFields(f, table, 2, c.get()), 1);
    EXPECT_STREQ(c->curveName, "Sony ICX");
    EXPECT_EQ(int{c->guider}, 1);
    EXPECT_EQ(float{c->guiderOffsetX}, -3.5f);
    EXPECT_EQ(int{c->guiderPixelsAcross}, 192);
    EXPECT_EQ(float{c->guiderPixelHeight}, 13.75f);
    EXPECT_NEAR(float{c->guiderWidth}, 192 * 13.75 * 0.001, 1e-5);
    EXPECT_NEAR(float{c->guiderHeight}, 164 * 13.75 * 0.001, 1e-5);
    // A digital camera reads no guider.
    f.kind = 1;
    f.guiderOffsetX = "x";
    auto d = Blank();
    EXPECT_EQ(ReadCameraFields(f, table, 2, d.get()), 1);
    EXPECT_EQ(int{d->guider}, 0);
}

}  // namespace
