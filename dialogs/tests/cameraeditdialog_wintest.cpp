// Edit Camera Data under Wine: the curve list of ccd_Q.dat with the camera's
// own curve marked "(default)", manual values refused out of range, the
// fields of each kind, and a video camera's built-in lens.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/userfolder.h"
#include "dialogs/instrumentdialogs_win.h"
#include "resources/instrumentids.h"
#include "testutil/dialogscript_win.h"
#include "testutil/screenshot_win.h"
#include "testutil/testutil.h"

namespace {

using namespace testutil;

const char kCurves[] =
    "# name, QE at 350..950 nm\n"
    "KAF-0400,10,20,30,40,50,60,70,65,55,40,25,12,5\n"
    "Sony ICX,5,15,35,55,70,75,72,60,45,30,18,9,3\n";

class CameraEditDialog : public ::testing::Test {
protected:
    TempDir dir;
    void SetUp() override {
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&icc);
        SetUserDataFolder(dir.path().c_str());
        std::memset(&WorkingCamera, 0, sizeof WorkingCamera);
        std::snprintf(WorkingCamera.name, sizeof WorkingCamera.name, "ST-7");
        WorkingCamera.kind = 0;
        WorkingCamera.readNoise = 15;
        WorkingCamera.gain = 2.3;
        WorkingCamera.binnedGain = 2.3;
        WorkingCamera.pixelsAcross = 765;
        WorkingCamera.pixelsDown = 510;
        WorkingCamera.pixelWidth = 9;
        WorkingCamera.pixelHeight = 9;
        std::snprintf(WorkingCamera.curveName, sizeof WorkingCamera.curveName, "sony icx");
    }
    void TearDown() override { SetUserDataFolder(""); }
    INT_PTR Run() { return RunInstrumentDialog(ProgramResources(), "EditCamDlg", nullptr, EditCamDlgProc); }
};

TEST_F(CameraEditDialog, NamedCurveThenManualValues) {
    ASSERT_TRUE(WriteFileBytes(dir.file("ccd_Q.dat"), kCurves));
    std::vector<std::string> lines;
    std::string message;
    bool qeEnabledAtOpening = true;
    std::string shown350;
    ScriptRun run;
    OnDialog("Edit Camera Data", "curve list", [&](HWND d) {
        lines = Rows(d, IDC_CAMERA_CURVE, false);
        qeEnabledAtOpening = Enabled(d, IDC_CAMERA_QE_350);
        shown350 = ItemText(d, IDC_CAMERA_QE_350);
        SaveScreenshot(CaptureClientArea(d), "editcamdlg_named_curve");
        ChooseLine(d, IDC_CAMERA_CURVE, 0, true);   // "Manual Entry"
    });
    bool qeEnabledForManual = false;
    OnDialog("Edit Camera Data", "manual value", [&](HWND d) {
        qeEnabledForManual = Enabled(d, IDC_CAMERA_QE_350);
        TypeText(d, IDC_CAMERA_QE_500, "100.5");
        Click(d, IDOK);
    });
    OnDialog("Nightjar Message", "refused", [&](HWND m) {
        message = MessageBoxText(m);
        PostMessageA(m, WM_COMMAND, IDOK, 0);
    });
    OnDialog("Edit Camera Data", "fixed", [](HWND d) {
        TypeText(d, IDC_CAMERA_QE_500, "100");
        Click(d, IDOK);
    });
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(run.Failure(), "");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "Manual Entry");
    EXPECT_EQ(lines[1], "KAF-0400");
    EXPECT_EQ(lines[2], "Sony ICX (default)");
    EXPECT_FALSE(qeEnabledAtOpening);
    EXPECT_TRUE(qeEnabledForManual);
    EXPECT_EQ(shown350, "5");   // the named curve's values were copied and shown
    EXPECT_EQ(message, "One or more of the parameters is incorrect.");
    EXPECT_EQ(WorkingCamera.curveName[0], 0);
    EXPECT_EQ(double{WorkingCamera.quantumEfficiency[3]}, 100.0);
    EXPECT_EQ(double{WorkingCamera.quantumEfficiency[0]}, 5.0);
    EXPECT_EQ(CameraCurveChoice, 0);
}

TEST_F(CameraEditDialog, VideoCameraFieldsAndBuiltInLens) {
    // No ccd_Q.dat: only "Manual Entry", the camera's values kept.
    for (int i = 0; i < kQuantumEfficiencyPoints; ++i) WorkingCamera.quantumEfficiency[i] = 40;
    std::vector<std::string> lines;
    bool noiseEnabled = true, lensEnabled = false, guiderEnabled = true;
    ScriptRun run;
    OnDialog("Edit Camera Data", "video", [&](HWND d) {
        lines = Rows(d, IDC_CAMERA_CURVE, false);
        SendMessageA(GetDlgItem(d, IDC_CAMERA_KIND_VIDEO), BM_CLICK, 0, 0);
        noiseEnabled = Enabled(d, IDC_CAMERA_READ_NOISE);
        lensEnabled = Enabled(d, IDC_CAMERA_LENS_FOCAL);
        guiderEnabled = Enabled(d, IDC_CAMERA_GUIDER);
        TypeText(d, IDC_CAMERA_LENS_FOCAL, "3.6");
        TypeText(d, IDC_CAMERA_READ_NOISE, "-7");   // disabled and not read
        SaveScreenshot(CaptureClientArea(d), "editcamdlg_video");
        Click(d, IDOK);
    });
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(run.Failure(), "");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "Manual Entry");
    EXPECT_FALSE(noiseEnabled);
    EXPECT_TRUE(lensEnabled);
    EXPECT_FALSE(guiderEnabled);
    EXPECT_EQ(int{WorkingCamera.kind}, 2);
    EXPECT_EQ(double{WorkingCamera.readNoise}, 15.0);
    EXPECT_EQ(double{WorkingCamera.darkSignal}, 2.0);
    EXPECT_EQ(int{WorkingCamera.lensCount}, 1);
    EXPECT_STREQ(WorkingCamera.lenses[0].name, "Built in");
    EXPECT_EQ(double{WorkingCamera.lenses[0].focalLength}, 3.6);
    EXPECT_EQ(double{WorkingCamera.quantumEfficiency[6]}, 40.0);
}

TEST_F(CameraEditDialog, CancelEndsWithZero) {
    ScriptRun run;
    OnDialog("Edit Camera Data", "cancel", [](HWND d) { Click(d, IDCANCEL); });
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(run.Failure(), "");
}

}  // namespace
