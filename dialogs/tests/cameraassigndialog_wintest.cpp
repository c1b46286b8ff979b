// The camera assignment dialogs under Wine, opened as a user opens them from
// the professional telescope dialogs: cameras assigned from the pool by kind,
// removed, moved and deleted from the pool, a pool edit carried to the
// telescope's copies, filters and lenses rebuilt, the projection dialogs and
// the factor list, and Cancel putting back both camera.bin and the
// telescope's cameras. Captures go to the build tree's "screenshots" folder.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "charts/chartdefinition.h"
#include "charts/chartstore.h"
#include "charts/chartsync.h"
#include "core/resstrings.h"
#include "core/userfolder.h"
#include "dialogs/cameraassignrules.h"
#include "dialogs/instrumentdialogs_win.h"
#include "instruments/bands.h"
#include "instruments/camerapool.h"
#include "instruments/instrumentstore.h"
#include "instruments/lenspool.h"
#include "instruments/optics.h"
#include "instruments/storeio.h"
#include "resources/instrumentids.h"
#include "testutil/dialogscript_win.h"
#include "testutil/screenshot_win.h"
#include "testutil/testutil.h"
#include "ui/controls.h"
#include "ui/picturectl_win.h"

namespace {

using namespace testutil;

const char kCamDlg[] = "Select Cameras To Use With Telescope";
const char kEditScope[] = "Edit Telescope";
const char kScopes[] = "Add/ModifyTelescopes";

void Capture(HWND window, const char *name) { SaveScreenshot(CaptureClientArea(window), name); }

// A pool camera with 7.4 um square pixels and a flat curve of 33 percent.
int AddCamera(int kind, const char *name, double lens = 0) {
    double curve[kQuantumEfficiencyPoints];
    for (double &v : curve) v = 33;
    return AddCameraRecord(kind, name, 10, 2, 2, 1, 0, 0, 640, 480, 7.4, 7.4, 1, lens, "", curve, 0, 0, 0, 0, 0, 0,
                           0);
}

// A telescope of f/6 with the eyepieces given (name, focal length) and the
// pool cameras of the ids assigned in order.
std::unique_ptr<InstrumentRecord> Scope(const char *name, std::vector<std::pair<const char *, double>> eyepieces,
                                        std::vector<int> cameras) {
    std::unique_ptr<InstrumentRecord> r(new InstrumentRecord);
    std::memset(r.get(), 0, sizeof *r);
    std::snprintf(r->name, sizeof r->name, "%s", name);
    r->kind = kInstrumentTelescope;
    r->opticsCount = 1;
    r->mounting = 1;
    InitTelescopeOptics(&r->optics[0], "Main Scope", kOpticsReflector, 8.0, 0.0, 6.0, 1, 1, 0.5);
    for (size_t i = 0; i < eyepieces.size(); ++i)
        SetEyepieceEntry(&r->optics[0], 0, (int)i, eyepieces[i].first, eyepieces[i].second, 52.0);
    r->optics[0].eyepieceCount = (uint8_t)eyepieces.size();
    r->optics[0].extenderIndex = 255;
    for (int id : cameras) EXPECT_GE(AssignPoolCamera(&r->optics[0], id, nullptr, 0), 0);
    return r;
}

std::vector<std::string> PoolNames() {
    std::vector<std::string> names;
    int32_t n = 0;
    StoreFilePtr f(OpenCameraFile(&n));
    for (int i = 0; f && i < n; ++i) {
        CameraRecord r;
        if (ReadCameraRecord(f.get(), i, &r)) names.push_back(r.name);
    }
    return names;
}

// The up-down control's notice that its position is about to change.
void MoveAssigned(HWND dialog, int delta) {
    NMUPDOWN nm = {};
    nm.hdr.hwndFrom = GetDlgItem(dialog, IDC_POOL_MOVE);
    nm.hdr.idFrom = IDC_POOL_MOVE;
    nm.hdr.code = UDN_DELTAPOS;
    nm.iDelta = delta;
    SendMessageA(dialog, WM_NOTIFY, IDC_POOL_MOVE, (LPARAM)&nm);
}

void ClickRadio(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

class CameraAssignDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ProgramResources()) << "gleaner.exe (the dialog templates) is not in the build folder";
        static bool registered = false;
        if (!registered) {
            HINSTANCE self = GetModuleHandleA(nullptr);
            INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
            InitCommonControlsEx(&icc);
            RegisterHyperTextClass(self);
            RegisterDibClass(self);
            registered = true;
        }
        SetUserDataFolder(dir.path().c_str());
        oldVariant = SetProVariant(1);
        CurrentCameraIndex = 0;
        CameraPoolKind = 0;
        ProjectionCameraChoice = 0;
        ProjectionFilterChoice = -1;
        // Four general charts and the two default charts, so that the
        // telescope list dialog's Done can give instruments their charts.
        std::string charts(2, '\0');
        charts[0] = 4;
        for (int i = 0; i < 4; ++i) {
            std::string g(kChartRecordSize, '\0');
            g[99] = 1;
            g[100] = (char)(i == 3 ? 5 : i);
            charts += g;
        }
        ASSERT_TRUE(WriteFileBytes(dir.file("charts.bin"), charts));
        std::unique_ptr<ChartDefinition> c(new ChartDefinition);
        std::memset(c.get(), 0, sizeof *c);
        c->viewCount = 3;
        c->views[0].role = 2;
        ASSERT_EQ(WriteDefaultChart(0, c.get()), 1);
        ASSERT_EQ(WriteDefaultChart(1, c.get()), 1);
        st7 = AddCamera(0, "ST-7");
        canon = AddCamera(1, "Canon");
        toucam = AddCamera(2, "ToUcam", 6.0);
        ASSERT_GT(st7, 0);
        ASSERT_GT(canon, 0);
        ASSERT_GT(toucam, 0);
    }
    void TearDown() override {
        SetProVariant(oldVariant);
        SetUserDataFolder("");
    }
    // Stores the telescope with its chart, as the list dialog's Done leaves it.
    void Store(InstrumentRecord *r) {
        CreateInstrumentFile();
        int32_t n = 0;
        StoreFilePtr f(OpenInstrumentFile(&n));
        ASSERT_TRUE(f);
        ASSERT_EQ(AppendInstrument(f.get(), r), 1);
        ASSERT_EQ(SyncInstrumentCharts(f.get(), n + 1, -1), 1);
    }
    std::unique_ptr<InstrumentRecord> Stored(int i) {
        std::unique_ptr<InstrumentRecord> r(new InstrumentRecord);
        int32_t n = 0;
        StoreFilePtr f(OpenInstrumentFile(&n));
        if (!f || i >= n || !ReadInstrument(f.get(), r.get(), i)) return nullptr;
        return r;
    }
    TempDir dir;
    int oldVariant = 0;
    int st7 = 0, canon = 0, toucam = 0;
};

// ---- assign by kind, remove, and the bands completed after OK ------------------------

TEST_F(CameraAssignDialog, AssignByKindRemoveAndOkCompletesTheBands) {
    auto scope = Scope("Imaging Dob", {}, {});
    bool saveBefore = true, saveAfter = false;
    std::vector<std::string> ccdPool, videoPool, afterCcd, afterVideo, afterRemove;
    std::string ccdButton, videoButton;
    bool ccdButtonEnabled = false, videoButtonEnabled = true;
    {
        ScriptRun run;
        OnDialog(kEditScope, "cameras", [&](HWND d) {
            saveBefore = Enabled(d, IDC_SCOPE_SAVE);
            Capture(d, "scope_edit_pro");
            Click(d, IDC_SCOPE_CAMERAS);
        });
        OnDialog(kCamDlg, "assign the CCD", [&](HWND d) {
            ccdPool = Rows(d, IDC_POOL_LIST);
            ChooseLine(d, IDC_POOL_LIST, 0);
            Click(d, IDC_POOL_ASSIGN);
        });
        OnDialog(kCamDlg, "video kind", [&](HWND d) {
            afterCcd = Rows(d, IDC_POOL_ASSIGNED);
            ccdButton = ItemText(d, IDC_CAMDLG_ACCESSORIES);
            ccdButtonEnabled = Enabled(d, IDC_CAMDLG_ACCESSORIES);
            ClickRadio(d, IDC_CAMERA_KIND_VIDEO);
            videoPool = Rows(d, IDC_POOL_LIST);
            ChooseLine(d, IDC_POOL_LIST, 0);
            Click(d, IDC_POOL_ASSIGN);
        });
        OnDialog(kCamDlg, "remove the CCD", [&](HWND d) {
            afterVideo = Rows(d, IDC_POOL_ASSIGNED);
            videoButton = ItemText(d, IDC_CAMDLG_ACCESSORIES);
            videoButtonEnabled = Enabled(d, IDC_CAMDLG_ACCESSORIES);
            Capture(d, "camdlg_two_cameras");
            ChooseLine(d, IDC_POOL_ASSIGNED, 0);
            Click(d, IDC_POOL_UNASSIGN);
        });
        OnDialog(kCamDlg, "ok", [&](HWND d) {
            afterRemove = Rows(d, IDC_POOL_ASSIGNED);
            Click(d, IDOK);
        });
        OnDialog(kEditScope, "ok", [&](HWND d) {
            saveAfter = Enabled(d, IDC_SCOPE_SAVE);
            Click(d, IDOK);
        });
        EXPECT_EQ(RunScopeEditDialog(nullptr, ProgramResources(), scope.get()), 1);
        EXPECT_EQ(run.Failure(), "");
    }
    EXPECT_FALSE(saveBefore);   // neither eyepieces nor cameras yet
    EXPECT_TRUE(saveAfter);
    EXPECT_EQ(ccdPool, std::vector<std::string>{"ST-7"});
    EXPECT_EQ(afterCcd, std::vector<std::string>{"ST-7"});
    EXPECT_EQ(ccdButton, "Assign Filters");
    EXPECT_TRUE(ccdButtonEnabled);
    EXPECT_EQ(videoPool, std::vector<std::string>{"ToUcam"});
    EXPECT_EQ(afterVideo, (std::vector<std::string>{"ST-7", "ToUcam"}));
    EXPECT_EQ(videoButton, "Assign Lenses");
    EXPECT_FALSE(videoButtonEnabled);   // a video camera has only its built-in lens
    EXPECT_EQ(afterRemove, std::vector<std::string>{"ToUcam"});
    const OpticsBlock &m = scope->optics[0];
    ASSERT_EQ(m.cameraCount, 1);
    const CameraEntry &cam = m.cameras[0];
    EXPECT_STREQ(cam.name, "ToUcam");
    EXPECT_EQ(+cam.kind, 2);
    EXPECT_EQ(cam.poolId & 0xFFFF, toucam);
    EXPECT_EQ(cam.filterCount, 0);
    ASSERT_EQ(cam.lensCount, 1);
    EXPECT_STREQ(cam.lenses[0].name, "Built in");
    EXPECT_EQ(double{cam.lenses[0].focalLength}, 6.0);
    // OK of the camera dialog put the five bands into slots 50-54, each with
    // the camera's efficiency at its wavelength (a flat 33 percent here).
    for (int b = 0; b < 5; ++b) {
        EXPECT_STREQ(cam.filters[kCameraBandSlot + b].name, GetBandName(b)->name) << b;
        EXPECT_NEAR(double{cam.filters[kCameraBandSlot + b].quantumEfficiency}, 33.0, 1e-9) << b;
    }
    EXPECT_EQ(CurrentCameraIndex, 0);
}

// ---- Cancel ---------------------------------------------------------------------------

TEST_F(CameraAssignDialog, CancelPutsBackThePoolAndTheTelescopesCameras) {
    auto scope = Scope("Imaging Dob", {{"Plossl 25", 25}}, {st7});
    // The telescope's optics and camera.bin as the camera dialog opened on them.
    std::unique_ptr<OpticsBlock> atOpening(new OpticsBlock), afterCancel(new OpticsBlock);
    std::string poolAtOpening;
    std::vector<std::string> poolAfterNew, factorRows, assignedBeforeCancel;
    std::string factorError;
    {
        ScriptRun run;
        OnDialog(kEditScope, "cameras", [](HWND d) { Click(d, IDC_SCOPE_CAMERAS); });
        OnDialog(kCamDlg, "new", [&](HWND d) {
            std::memcpy(atOpening.get(), &GetScopeDialogState()->record.optics[0], sizeof *atOpening);
            poolAtOpening = ReadFileBytes(dir.file("camera.bin"));
            Click(d, IDC_POOL_NEW);
        });
        OnDialog("Edit Camera Data", "a web-cam", [](HWND d) {
            ClickRadio(d, IDC_CAMERA_KIND_VIDEO);
            TypeText(d, IDC_POOLITEM_NAME, "Guide Cam");
            TypeText(d, IDC_CAMERA_PIXELS_ACROSS, "640");
            TypeText(d, IDC_CAMERA_PIXELS_DOWN, "480");
            TypeText(d, IDC_CAMERA_PIXEL_WIDTH, "5.6");
            Click(d, IDOK);
        });
        OnDialog(kCamDlg, "assign it, add a factor", [&](HWND d) {
            poolAfterNew = Rows(d, IDC_POOL_LIST);   // the list turned to the new camera's kind
            Click(d, IDC_POOL_ASSIGN);
            Click(d, IDC_CAMDLG_FACTOR_ADD);
        });
        OnDialog("Add Focal Extender/Reducer", "not a number", [](HWND d) {
            TypeText(d, IDC_FOCAL_FACTOR, "abc");
            Click(d, IDOK);
        });
        OnDialog("Nightjar Message", "refused", [&](HWND m) {
            factorError = MessageBoxText(m);
            PostMessageA(m, WM_COMMAND, IDOK, 0);
        });
        OnDialog("Add Focal Extender/Reducer", "2x", [](HWND d) {
            Capture(d, "addfocaldlg");
            TypeText(d, IDC_FOCAL_FACTOR, "2");
            Click(d, IDOK);
        });
        OnDialog(kCamDlg, "projection, remove", [&](HWND d) {
            factorRows = Rows(d, IDC_CAMDLG_FACTORS, false);
            ClickRadio(d, IDC_CAMDLG_PROJECTION);
            ChooseLine(d, IDC_POOL_ASSIGNED, 0);
            Click(d, IDC_POOL_UNASSIGN);
        });
        OnDialog(kCamDlg, "cancel", [&](HWND d) {
            assignedBeforeCancel = Rows(d, IDC_POOL_ASSIGNED);
            Click(d, IDCANCEL);
        });
        OnDialog(kEditScope, "ok", [&](HWND d) {
            std::memcpy(afterCancel.get(), &GetScopeDialogState()->record.optics[0], sizeof *afterCancel);
            Click(d, IDOK);
        });
        EXPECT_EQ(RunScopeEditDialog(nullptr, ProgramResources(), scope.get()), 1);
        EXPECT_EQ(run.Failure(), "");
    }
    EXPECT_EQ(poolAfterNew, (std::vector<std::string>{"ToUcam", "Guide Cam"}));
    EXPECT_EQ(factorError, "Error in magnification factor");
    EXPECT_EQ(factorRows, (std::vector<std::string>{"Magnification factors", "2.00 X"}));
    EXPECT_EQ(assignedBeforeCancel, std::vector<std::string>{"Guide Cam"});
    // The pool lost the new camera, and the telescope got back what it had:
    // no camera built from a pool record that Cancel removed.
    EXPECT_EQ(ReadFileBytes(dir.file("camera.bin")), poolAtOpening);
    EXPECT_EQ(PoolNames(), (std::vector<std::string>{"ST-7", "Canon", "ToUcam"}));
    EXPECT_EQ(std::memcmp(atOpening.get(), afterCancel.get(), sizeof *atOpening), 0);
    const OpticsBlock &m = scope->optics[0];
    ASSERT_EQ(m.cameraCount, 1);
    EXPECT_STREQ(m.cameras[0].name, "ST-7");
    EXPECT_EQ(+m.extenderCount, 0);
    EXPECT_EQ(+m.projectionOffered, 0);
}

TEST_F(CameraAssignDialog, TelescopeListCancelUndoesAssignedCameras) {
    auto scope = Scope("Refractor", {{"Plossl 25", 25}}, {});
    Store(scope.get());
    const std::string instrBefore = ReadFileBytes(dir.file("instr.bin"));
    int assigned = 0;
    {
        ScriptRun run;
        OnDialog(kScopes, "cameras", [](HWND d) {
            Capture(d, "scopedlg_pro");
            Click(d, IDC_SCOPE_CAMERAS);
        });
        OnDialog(kCamDlg, "assign", [](HWND d) {
            ChooseLine(d, IDC_POOL_LIST, 0);
            Click(d, IDC_POOL_ASSIGN);
        });
        OnDialog(kCamDlg, "ok", [](HWND d) { Click(d, IDOK); });
        OnDialog(kScopes, "cancel", [&](HWND d) {
            assigned = GetScopeDialogState()->record.optics[0].cameraCount;
            Click(d, IDCANCEL);
        });
        RunScopeDialog(nullptr, ProgramResources());
        EXPECT_EQ(run.Failure(), "");
    }
    EXPECT_EQ(assigned, 1);   // the camera was in the working telescope ...
    EXPECT_EQ(ReadFileBytes(dir.file("instr.bin")), instrBefore);   // ... and Cancel took it back
}

// ---- pool edit, pool delete, moving, lenses ------------------------------------------

TEST_F(CameraAssignDialog, PoolEditResyncsAndPoolDeleteRemovesTheFirstCopy) {
    ASSERT_GT([] {
        LensRecord l;
        std::memset(&l, 0, sizeof l);
        std::snprintf(l.name, sizeof l.name, "Reducer 0.63");
        l.focalLength = 50;
        l.focalRatio = 1.8;
        return AddLensRecord(&l);
    }(), 0);
    auto scope = Scope("Refractor", {{"Plossl 25", 25}}, {st7, canon, st7});
    Store(scope.get());
    std::vector<std::string> atOpening, afterDelete, afterMove;
    double noiseOfCopies[2] = {0, 0};
    std::string question, lensButton;
    {
        ScriptRun run;
        OnDialog(kScopes, "cameras", [](HWND d) { Click(d, IDC_SCOPE_CAMERAS); });
        OnDialog(kCamDlg, "edit the pool ST-7", [&](HWND d) {
            atOpening = Rows(d, IDC_POOL_ASSIGNED);
            ChooseLine(d, IDC_POOL_LIST, 0);
            Click(d, IDC_POOL_EDIT);
        });
        OnDialog("Edit Camera Data", "read noise", [](HWND d) {
            TypeText(d, IDC_CAMERA_READ_NOISE, "9");
            Click(d, IDOK);
        });
        OnDialog(kCamDlg, "delete it from the pool", [&](HWND d) {
            const OpticsBlock &m = GetScopeDialogState()->record.optics[0];
            noiseOfCopies[0] = m.cameras[0].readNoise;
            noiseOfCopies[1] = m.cameras[2].readNoise;
            ChooseLine(d, IDC_POOL_LIST, 0);
            Click(d, IDC_POOL_DELETE);
        });
        OnDialog("Nightjar Message", "yes", [&](HWND m) {
            question = MessageBoxText(m);
            PostMessageA(m, WM_COMMAND, IDYES, 0);
        });
        OnDialog(kCamDlg, "move up, lenses of the Canon", [&](HWND d) {
            afterDelete = Rows(d, IDC_POOL_ASSIGNED);
            ChooseLine(d, IDC_POOL_ASSIGNED, 1);
        });
        OnDialog(kCamDlg, "move", [&](HWND d) {
            MoveAssigned(d, -1);
            afterMove = Rows(d, IDC_POOL_ASSIGNED);
            ChooseLine(d, IDC_POOL_ASSIGNED, 1);
        });
        OnDialog(kCamDlg, "lenses", [&](HWND d) {
            lensButton = ItemText(d, IDC_CAMDLG_ACCESSORIES);
            Click(d, IDC_CAMDLG_ACCESSORIES);
        });
        OnDialog("Assign Lenses to Camera", "assign the reducer", [](HWND d) {
            ChooseLine(d, IDC_POOL_LIST, 0);
            Click(d, IDC_POOL_ASSIGN);
            Click(d, IDOK);
        });
        OnDialog(kCamDlg, "ok", [](HWND d) {
            Capture(d, "camdlg_after_moves");
            Click(d, IDOK);
        });
        OnDialog(kScopes, "done", [](HWND d) { Click(d, IDOK); });
        RunScopeDialog(nullptr, ProgramResources());
        EXPECT_EQ(run.Failure(), "");
    }
    EXPECT_EQ(atOpening, (std::vector<std::string>{"ST-7", "Canon", "ST-7"}));
    EXPECT_EQ(noiseOfCopies[0], 9.0);   // both copies took the pool's new value
    EXPECT_EQ(noiseOfCopies[1], 9.0);
    EXPECT_EQ(question, "Delete ST-7 from pool?");
    EXPECT_EQ(afterDelete, (std::vector<std::string>{"Canon", "ST-7"}));   // the first copy went
    EXPECT_EQ(afterMove, (std::vector<std::string>{"ST-7", "Canon"}));
    EXPECT_EQ(lensButton, "Assign Lenses");
    auto stored = Stored(0);
    ASSERT_TRUE(stored);
    const OpticsBlock &m = stored->optics[0];
    ASSERT_EQ(m.cameraCount, 2);
    EXPECT_STREQ(m.cameras[0].name, "ST-7");
    EXPECT_EQ(double{m.cameras[0].readNoise}, 9.0);
    EXPECT_STREQ(m.cameras[1].name, "Canon");
    ASSERT_EQ(m.cameras[1].lensCount, 1);
    EXPECT_STREQ(m.cameras[1].lenses[0].name, "Reducer 0.63");
    EXPECT_EQ(double{m.cameras[1].lenses[0].focalLength}, 50.0);
    EXPECT_STREQ(m.cameras[1].filters[kCameraBandSlot + 2].name, GetBandName(2)->name);
}

TEST_F(CameraAssignDialog, ThirteenthCameraIsRefused) {
    std::vector<int> twelve(kMaxCameras, st7);
    auto scope = Scope("Full", {}, twelve);
    std::unique_ptr<OpticsBlock> before(new OpticsBlock);
    std::string warning;
    int rows = 0;
    {
        ScriptRun run;
        OnDialog(kEditScope, "cameras", [](HWND d) { Click(d, IDC_SCOPE_CAMERAS); });
        OnDialog(kCamDlg, "assign a 13th", [&](HWND d) {
            std::memcpy(before.get(), &GetScopeDialogState()->record.optics[0], sizeof *before);
            ChooseLine(d, IDC_POOL_LIST, 0);
            Click(d, IDC_POOL_ASSIGN);
        });
        OnDialog("Nightjar Message", "warning", [&](HWND m) {
            warning = MessageBoxText(m);
            PostMessageA(m, WM_COMMAND, IDOK, 0);
        });
        OnDialog(kCamDlg, "ok", [&](HWND d) {
            rows = RowCount(d, IDC_POOL_ASSIGNED);
            EXPECT_EQ(std::memcmp(before.get(), &GetScopeDialogState()->record.optics[0], sizeof *before), 0);
            Click(d, IDOK);
        });
        OnDialog(kEditScope, "ok", [](HWND d) { Click(d, IDOK); });
        EXPECT_EQ(RunScopeEditDialog(nullptr, ProgramResources(), scope.get()), 1);
        EXPECT_EQ(run.Failure(), "");
    }
    EXPECT_EQ(warning, "A maximum of 12 cameras can be assigned to a telescope");
    EXPECT_EQ(rows, kMaxCameras);
    EXPECT_EQ(scope->optics[0].cameraCount, kMaxCameras);
}

TEST_F(CameraAssignDialog, CancelledNewCameraAndProjectionThenTheLastCameraRemoved) {
    auto scope = Scope("Imaging Dob", {{"Plossl 25", 25}, {"Nagler 9", 9}}, {st7});
    OpticsBlock &block = scope->optics[0];
    block.projectionOffered = 1;
    block.projectionEyepiece = block.eyepieces[0];
    block.projectionDistance = 80;
    CurrentCameraIndex = 5;   // kept from a telescope with more cameras
    std::string linkAtOpening, linkAfterProjectionCancel, linkAfter;
    std::vector<std::string> poolAfterCancel, assignedAfter;
    int chosenPoolLine = -1, poolChoice = 0, indexAfter = 0;
    bool accessoriesEnabled = true;
    {
        ScriptRun run;
        OnDialog(kEditScope, "cameras", [](HWND d) { Click(d, IDC_SCOPE_CAMERAS); });
        OnDialog(kCamDlg, "new", [&](HWND d) {
            linkAtOpening = ItemText(d, IDC_CAMDLG_PROJECTION_LINK);
            ChooseLine(d, IDC_POOL_LIST, 0);
            Click(d, IDC_POOL_NEW);
        });
        OnDialog("Edit Camera Data", "cancel", [](HWND d) { Click(d, IDCANCEL); });
        OnDialog(kCamDlg, "projection", [&](HWND d) {
            poolAfterCancel = Rows(d, IDC_POOL_LIST);
            chosenPoolLine = (int)SendDlgItemMessageA(d, IDC_POOL_LIST, LB_GETCURSEL, 0, 0);
            poolChoice = GetScopeDialogState()->poolChoice;
            Click(d, IDC_CAMDLG_PROJECTION_LINK);
        });
        OnDialog("Configure Eyepiece Projection", "another eyepiece, then cancel", [](HWND d) {
            ChooseLine(d, IDC_PROJECTION_EYEPIECE, 1, true);
            Click(d, IDCANCEL);
        });
        OnDialog(kCamDlg, "remove the only camera", [&](HWND d) {
            linkAfterProjectionCancel = ItemText(d, IDC_CAMDLG_PROJECTION_LINK);
            ChooseLine(d, IDC_POOL_ASSIGNED, 0);
            Click(d, IDC_POOL_UNASSIGN);
        });
        OnDialog(kCamDlg, "ok", [&](HWND d) {
            assignedAfter = Rows(d, IDC_POOL_ASSIGNED);
            indexAfter = CurrentCameraIndex;
            accessoriesEnabled = Enabled(d, IDC_CAMDLG_ACCESSORIES);
            linkAfter = ItemText(d, IDC_CAMDLG_PROJECTION_LINK);
            Click(d, IDOK);
        });
        OnDialog(kEditScope, "ok", [](HWND d) { Click(d, IDOK); });
        EXPECT_EQ(RunScopeEditDialog(nullptr, ProgramResources(), scope.get()), 1);
        EXPECT_EQ(run.Failure(), "");
    }
    EXPECT_EQ(linkAtOpening, "Plossl 25 @ 80mm");
    // Cancel of the projection dialog takes back the eyepiece chosen in it.
    EXPECT_EQ(linkAfterProjectionCancel, "Plossl 25 @ 80mm");
    EXPECT_STREQ(scope->optics[0].projectionEyepiece.name, "Plossl 25");
    // The cancelled "New Camera" left the pool, and the line chosen before came back.
    EXPECT_EQ(poolAfterCancel, std::vector<std::string>{"ST-7"});
    EXPECT_EQ(chosenPoolLine, 0);
    EXPECT_EQ(poolChoice, st7);
    EXPECT_EQ(PoolNames(), (std::vector<std::string>{"ST-7", "Canon", "ToUcam"}));
    // No camera is chosen once the last one is gone: nothing works on the empty slot.
    EXPECT_TRUE(assignedAfter.empty());
    EXPECT_EQ(indexAfter, -1);
    EXPECT_FALSE(accessoriesEnabled);
    EXPECT_EQ(linkAfter, "Configure");
    EXPECT_EQ(scope->optics[0].cameraCount, 0);
}

// ---- projection, afocal projection and the factor list --------------------------------

TEST_F(CameraAssignDialog, ProjectionAfocalAndFactors) {
    auto scope = Scope("Imaging Dob", {{"Plossl 25", 25}, {"Long eye relief 10", 10}}, {st7, canon});
    OpticsBlock &block = scope->optics[0];
    CameraEntry &cam = block.cameras[0];
    std::snprintf(cam.filters[0].name, sizeof cam.filters[0].name, "Green");
    cam.filters[0].wavelength = 0.55;
    cam.filterCount = 1;
    for (int i = 0; i < 14; ++i) block.extenderFactors[i] = 1.5f;
    block.extenderCount = 14;
    block.extenderIndex = 0;
    // Choices kept from a telescope with more cameras and filters.
    ProjectionCameraChoice = 7;
    ProjectionFilterChoice = 4;
    CurrentCameraIndex = 9;

    std::string linkAtOpening, optimumAt25, optimumAt10, optimumGreen, linkAfter, afocalLink, fullWarning;
    bool linkEnabledAtOpening = true, linkEnabledChecked = false, deleteEnabledOnFactor = false;
    std::vector<std::string> eyepieceRows, cameraRows, filterRows, canonFilterRows;
    std::string optimumCanon;
    int cameraLine = -1, filterLine = -1, factorRowsFull = 0, factorRowsAfterDelete = 0;
    const double diagonal = std::hypot(7.4, 7.4);   // micrometres
    // Critical sampling: e ((2 diagonal / lambda) / N + 1), f/6, lambda 0.665 um without a filter.
    auto optimum = [&](double eyepiece, double lambda) {
        char t[32];
        std::snprintf(t, sizeof t, "%.0f mm", eyepiece * ((2 * diagonal / lambda) / 6.0 + 1));
        return std::string(t);
    };
    {
        ScriptRun run;
        OnDialog(kEditScope, "cameras", [](HWND d) { Click(d, IDC_SCOPE_CAMERAS); });
        OnDialog(kCamDlg, "projection on", [&](HWND d) {
            linkAtOpening = ItemText(d, IDC_CAMDLG_PROJECTION_LINK);
            linkEnabledAtOpening = Enabled(d, IDC_CAMDLG_PROJECTION_LINK);
            ClickRadio(d, IDC_CAMDLG_PROJECTION);
            linkEnabledChecked = Enabled(d, IDC_CAMDLG_PROJECTION_LINK);
            Click(d, IDC_CAMDLG_PROJECTION_LINK);
        });
        OnDialog("Configure Eyepiece Projection", "choices held", [&](HWND d) {
            eyepieceRows = Rows(d, IDC_PROJECTION_EYEPIECE, false);
            cameraRows = Rows(d, IDC_PROJECTION_CAMERA, false);
            filterRows = Rows(d, IDC_PROJECTION_FILTER, false);
            cameraLine = (int)SendDlgItemMessageA(d, IDC_PROJECTION_CAMERA, CB_GETCURSEL, 0, 0);
            filterLine = (int)SendDlgItemMessageA(d, IDC_PROJECTION_FILTER, CB_GETCURSEL, 0, 0);
            optimumAt25 = ItemText(d, IDC_PROJECTION_OPTIMUM);
            ChooseLine(d, IDC_PROJECTION_EYEPIECE, 1, true);
        });
        OnDialog("Configure Eyepiece Projection", "green filter", [&](HWND d) {
            optimumAt10 = ItemText(d, IDC_PROJECTION_OPTIMUM);
            ChooseLine(d, IDC_PROJECTION_FILTER, 1, true);
        });
        OnDialog("Configure Eyepiece Projection", "the other camera", [&](HWND d) {
            optimumGreen = ItemText(d, IDC_PROJECTION_OPTIMUM);
            ChooseLine(d, IDC_PROJECTION_CAMERA, 1, true);
        });
        OnDialog("Configure Eyepiece Projection", "distance", [&](HWND d) {
            // The Canon has no filters: the green filter's index is not kept for it.
            canonFilterRows = Rows(d, IDC_PROJECTION_FILTER, false);
            optimumCanon = ItemText(d, IDC_PROJECTION_OPTIMUM);
            TypeText(d, IDC_PROJECTION_DISTANCE, "80");
            Capture(d, "camepojdlg");
            Click(d, IDOK);
        });
        OnDialog(kCamDlg, "afocal", [&](HWND d) {
            linkAfter = ItemText(d, IDC_CAMDLG_PROJECTION_LINK);
            ClickRadio(d, IDC_CAMDLG_AFOCAL);
            Click(d, IDC_CAMDLG_AFOCAL_LINK);
        });
        OnDialog("Configure Afocal Projection", "first eyepiece", [](HWND d) {
            ChooseLine(d, IDC_PROJECTION_EYEPIECE, 0, true);
            Click(d, IDOK);
        });
        OnDialog(kCamDlg, "fifteenth factor", [&](HWND d) {
            afocalLink = ItemText(d, IDC_CAMDLG_AFOCAL_LINK);
            Click(d, IDC_CAMDLG_FACTOR_ADD);
        });
        OnDialog("Add Focal Extender/Reducer", "2x", [](HWND d) {
            TypeText(d, IDC_FOCAL_FACTOR, "2");
            Click(d, IDOK);
        });
        OnDialog(kCamDlg, "sixteenth factor", [&](HWND d) {
            factorRowsFull = RowCount(d, IDC_CAMDLG_FACTORS, false);
            Click(d, IDC_CAMDLG_FACTOR_ADD);
        });
        OnDialog("Nightjar Message", "list full", [&](HWND m) {
            fullWarning = MessageBoxText(m);
            PostMessageA(m, WM_COMMAND, IDOK, 0);
        });
        OnDialog(kCamDlg, "delete the first factor", [&](HWND d) {
            ChooseLine(d, IDC_CAMDLG_FACTORS, 1, true);
        });
        OnDialog(kCamDlg, "delete", [&](HWND d) {
            deleteEnabledOnFactor = Enabled(d, IDC_CAMDLG_FACTOR_DELETE);
            Click(d, IDC_CAMDLG_FACTOR_DELETE);
        });
        OnDialog(kCamDlg, "ok", [&](HWND d) {
            factorRowsAfterDelete = RowCount(d, IDC_CAMDLG_FACTORS, false);
            Capture(d, "camdlg_projection");
            Click(d, IDOK);
        });
        OnDialog(kEditScope, "ok", [](HWND d) { Click(d, IDOK); });
        EXPECT_EQ(RunScopeEditDialog(nullptr, ProgramResources(), scope.get()), 1);
        EXPECT_EQ(run.Failure(), "");
    }
    EXPECT_EQ(linkAtOpening, "Configure");
    EXPECT_FALSE(linkEnabledAtOpening);
    EXPECT_TRUE(linkEnabledChecked);
    EXPECT_EQ(eyepieceRows, (std::vector<std::string>{"Plossl 25", "Long eye relief 10"}));
    EXPECT_EQ(cameraRows, (std::vector<std::string>{"ST-7", "Canon"}));
    EXPECT_EQ(filterRows, (std::vector<std::string>{"No filter", "Green"}));
    EXPECT_EQ(cameraLine, 0);   // the kept camera 7 is not this telescope's
    EXPECT_EQ(filterLine, 0);   // nor filter 4
    EXPECT_EQ(optimumAt25, optimum(25, 0.665));
    EXPECT_EQ(optimumAt10, optimum(10, 0.665));
    EXPECT_EQ(optimumGreen, optimum(10, 0.55));
    EXPECT_EQ(optimumGreen, "73 mm");
    EXPECT_EQ(canonFilterRows, std::vector<std::string>{"No filter"});
    EXPECT_EQ(optimumCanon, optimum(10, 0.665));
    EXPECT_EQ(linkAfter, "10mm eyepiece @ 80mm");   // the name is longer than 13 characters
    EXPECT_EQ(afocalLink, "Plossl 25");
    EXPECT_EQ(factorRowsFull, 16);   // the heading and 15 factors
    EXPECT_EQ(fullWarning, "A maximum of 15 magnification factors can be kept for a telescope");
    EXPECT_TRUE(deleteEnabledOnFactor);
    EXPECT_EQ(factorRowsAfterDelete, 15);
    EXPECT_EQ(ProjectionCameraChoice, 1);
    EXPECT_EQ(ProjectionFilterChoice, -1);
    const OpticsBlock &m = scope->optics[0];
    EXPECT_EQ(+m.projectionOffered, 1);
    EXPECT_EQ(+m.afocalOffered, 1);
    EXPECT_EQ(double{m.projectionDistance}, 80.0);
    EXPECT_EQ(double{m.projectionEyepiece.focalLength}, 10.0);
    EXPECT_STREQ(m.afocalEyepiece.name, "Plossl 25");
    ASSERT_EQ(+m.extenderCount, 14);
    EXPECT_EQ(float{m.extenderFactors[13]}, 2.0f);
    for (uint8_t byte : m.reserved4) EXPECT_EQ(byte, 0);
}

}  // namespace
