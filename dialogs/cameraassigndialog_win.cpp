// Select Cameras To Use With Telescope (CamDlg) and the dialogs it opens:
// CamEProjDlg (eyepiece projection), CamAfocalDlg (afocal projection) and
// AddFocalDlg (one focal extender or reducer). The telescope's cameras are
// whole entries of its main optics in the telescope dialog's working record;
// camera.bin is copied to camera.bak at opening and put back on Cancel, and
// so is what the dialog changed in the working record. The rules without
// windows are cameraassignrules.h.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "core/hostcallbacks.h"
#include "core/userfolder.h"
#include "dialogs/cameraassignrules.h"
#include "dialogs/instrumentdialogs_win.h"
#include "instruments/camerapool.h"
#include "instruments/ccdcurves.h"
#include "instruments/poollink.h"
#include "instruments/storeio.h"
#include "resources/helptopics.h"
#include "resources/instrumentids.h"
#include "ui/winutil_win.h"
#include "ui/controlmsgs.h"

int CurrentCameraIndex = 0;
int CameraPoolKind = 0;
int ProjectionCameraChoice = 0;
int ProjectionFilterChoice = -1;

namespace {

const char kTooManyCameras[] = "A maximum of 12 cameras can be assigned to a telescope";
const char kTooManyFactors[] = "A maximum of 15 magnification factors can be kept for a telescope";
const char kNoEyepieces[] = "There are no eyepieces assigned";
const char kNoCameras[] = "There are no cameras assigned";

// One run of CamDlg: whether camera.bak was taken, and the camera section of
// the main optics as it was when the dialog opened (put back by Cancel).
struct CameraDialogRun {
    int backupTaken = 0;
    std::unique_ptr<OpticsBlock> saved;
};
CameraDialogRun g_run;

// The eyepiece a projection dialog had at opening (put back by its Cancel).
EyepieceEntry g_eyepieceAtOpening;

InstrumentDialogState *State() { return GetScopeDialogState(); }

OpticsBlock *MainOptics() {
    InstrumentDialogState *s = State();
    return s ? &s->record.optics[0] : nullptr;
}

// The main optics for the procedure of a dialog that edits them; without a
// telescope dialog open, null, and the dialog ends as it opens.
OpticsBlock *OpticsOfDialog(HWND dialog, UINT message) {
    OpticsBlock *m = MainOptics();
    if (!m && message == WM_INITDIALOG) EndDialog(dialog, 0);
    return m;
}

HINSTANCE Instance() {
    InstrumentDialogState *s = State();
    return s ? s->instance : GetInstrumentDialogInstance();
}

int Bounded(int value, int most) { return value < 0 ? 0 : value > most ? most : value; }
int CameraCount(const OpticsBlock *m) { return Bounded(m->cameraCount, kMaxCameras); }
int EyepieceCount(const OpticsBlock *m) { return Bounded(m->eyepieceCount, kMaxEyepieces); }

std::string Trimmed(const char *text, size_t size) {
    std::string s(text, strnlen(text, size));
    while (!s.empty() && (s.back() == ' ' || s.back() == '\r' || s.back() == '\n')) s.pop_back();
    return s;
}

int ChosenListLine(HWND dialog, int id) {
    LRESULT line = SendDlgItemMessageA(dialog, id, LB_GETCURSEL, 0, 0);
    return line == LB_ERR ? -1 : (int)line;
}

int ChosenComboLine(HWND dialog, int id) {
    LRESULT line = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
    return line == CB_ERR ? -1 : (int)line;
}

// ---- CamDlg ------------------------------------------------------------------------

// Lists the camera.bin records of the kind in file order, each line carrying
// its pool id; no pool line is chosen afterwards.
void FillCameraPoolList(HWND dialog, int kind, int *count) {
    HWND list = GetDlgItem(dialog, IDC_POOL_LIST);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    int listed = 0;
    int32_t n = 0;
    StoreFilePtr f(OpenCameraFile(&n));
    if (f) {
        for (int i = 0; i < n; ++i) {
            CameraRecord r;
            if (!ReadCameraRecord(f.get(), i, &r)) break;
            if (r.kind != kind) continue;
            std::string name = Trimmed(r.name, sizeof r.name);
            LRESULT line = SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)name.c_str());
            SendMessageA(list, LB_SETITEMDATA, (WPARAM)line, (LPARAM)r.poolId);
            ++listed;
        }
    }
    if (InstrumentDialogState *s = State()) s->poolChoice = -1;
    if (count) *count = listed;
}

// Chooses the pool line whose item data is the id and makes it the pool
// choice; false when no line has it.
bool ChoosePoolId(HWND dialog, int id) {
    HWND list = GetDlgItem(dialog, IDC_POOL_LIST);
    int lines = (int)SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < lines; ++i)
        if ((int)SendMessageA(list, LB_GETITEMDATA, (WPARAM)i, 0) == id) {
            SendMessageA(list, LB_SETCURSEL, (WPARAM)i, 0);
            if (InstrumentDialogState *s = State()) s->poolChoice = id;
            return true;
        }
    return false;
}

void ShowEyepieceProjectionLabel(HWND dialog) {
    char text[96];
    FormatEyepieceProjectionLabel(MainOptics(), CurrentCameraIndex, text, sizeof text);
    SetDlgItemTextA(dialog, IDC_CAMDLG_PROJECTION_LINK, text);
}

void ShowAfocalProjectionLabel(HWND dialog) {
    char text[96];
    FormatAfocalProjectionLabel(MainOptics(), CurrentCameraIndex, text, sizeof text);
    SetDlgItemTextA(dialog, IDC_CAMDLG_AFOCAL_LINK, text);
}

void EnableProjectionButtons(HWND dialog) {
    const OpticsBlock *m = MainOptics();
    EnableWindow(GetDlgItem(dialog, IDC_CAMDLG_PROJECTION_LINK), m->projectionOffered ? TRUE : FALSE);
    EnableWindow(GetDlgItem(dialog, IDC_CAMDLG_AFOCAL_LINK), m->afocalOffered ? TRUE : FALSE);
}

void RefreshCameraAccessories(HWND dialog) {
    const OpticsBlock *m = MainOptics();
    CheckDlgButton(dialog, IDC_CAMDLG_PROJECTION, m->projectionOffered ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_CAMDLG_AFOCAL, m->afocalOffered ? BST_CHECKED : BST_UNCHECKED);
    HWND factors = GetDlgItem(dialog, IDC_CAMDLG_FACTORS);
    SendMessageA(factors, CB_RESETCONTENT, 0, 0);
    SendMessageA(factors, CB_ADDSTRING, 0, (LPARAM) "Magnification factors");
    for (int i = 0; i < Bounded(m->extenderCount, kMaxExtenderFactors); ++i) {
        char line[32];
        std::snprintf(line, sizeof line, "%.2f X", (double)m->extenderFactors[i]);
        SendMessageA(factors, CB_ADDSTRING, 0, (LPARAM)line);
    }
    SendMessageA(factors, CB_SETCURSEL, 0, 0);
    EnableWindow(GetDlgItem(dialog, IDC_CAMDLG_FACTOR_DELETE), FALSE);
    ShowEyepieceProjectionLabel(dialog);
    ShowAfocalProjectionLabel(dialog);
    EnableProjectionButtons(dialog);
}

void SelectTelescopeCamera(HWND dialog, int index) {
    const OpticsBlock *m = MainOptics();
    HWND button = GetDlgItem(dialog, IDC_CAMDLG_ACCESSORIES);
    if (index >= 0 && index < CameraCount(m)) {
        switch (m->cameras[index].kind) {
        case 0:
            SetWindowTextA(button, "Assign Filters");
            EnableWindow(button, TRUE);
            break;
        case 1:
            SetWindowTextA(button, "Assign Lenses");
            EnableWindow(button, TRUE);
            break;
        case 2:
            SetWindowTextA(button, "Assign Lenses");
            EnableWindow(button, FALSE);
            break;
        default:
            break;
        }
    }
    RefreshCameraAccessories(dialog);
}

// The telescope's cameras, the first chosen; with none no camera is current
// (an index kept from another telescope or a removed camera would name a slot
// beyond the count).
void FillTelescopeCameraList(HWND dialog) {
    const OpticsBlock *m = MainOptics();
    HWND list = GetDlgItem(dialog, IDC_POOL_ASSIGNED);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < CameraCount(m); ++i) {
        std::string name = Trimmed(m->cameras[i].name, sizeof m->cameras[i].name);
        SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)name.c_str());
    }
    if (CameraCount(m) > 0) {
        CurrentCameraIndex = 0;
        SendMessageA(list, LB_SETCURSEL, 0, 0);
        SelectTelescopeCamera(dialog, 0);
    } else {
        CurrentCameraIndex = -1;
        EnableWindow(GetDlgItem(dialog, IDC_CAMDLG_ACCESSORIES), FALSE);
        RefreshCameraAccessories(dialog);
    }
}

// The pool id of the camera chosen in the pool list, kept as the state's
// pool choice; returns the chosen line, -1 when none is chosen.
int TakeChosenPoolCamera(HWND dialog, InstrumentDialogState *s, int *id) {
    int line = ChosenListLine(dialog, IDC_POOL_LIST);
    if (line < 0) return -1;
    *id = (int)SendDlgItemMessageA(dialog, IDC_POOL_LIST, LB_GETITEMDATA, (WPARAM)line, 0);
    s->poolChoice = *id;
    return line;
}

void AssignChosenPoolCamera(HWND dialog) {
    InstrumentDialogState *s = State();
    OpticsBlock *m = MainOptics();
    int id = 0;
    if (TakeChosenPoolCamera(dialog, s, &id) < 0) return;
    if (CameraCount(m) >= kMaxCameras) {
        InstrumentMessage(dialog, kTooManyCameras, MB_OK | MB_ICONWARNING);
        return;
    }
    std::unique_ptr<CcdCurveRow[]> curves(new (std::nothrow) CcdCurveRow[kCcdCurveRows]);
    int rows = 0;
    if (curves) {
        const char *folder = GetUserDataFolder();
        rows = ReadCcdQuantumEfficiency(folder ? folder : "", curves.get(), kCcdCurveRows);
    }
    int slot = AssignPoolCamera(m, id, curves.get(), rows);
    if (slot == kAssignCameraFull) InstrumentMessage(dialog, kTooManyCameras, MB_OK | MB_ICONWARNING);
    if (slot < 0) return;
    s->currentEntry = slot;
    std::string name = Trimmed(m->cameras[slot].name, sizeof m->cameras[slot].name);
    HWND list = GetDlgItem(dialog, IDC_POOL_ASSIGNED);
    LRESULT added = SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)name.c_str());
    SendMessageA(list, LB_SETCURSEL, (WPARAM)added, 0);
    CurrentCameraIndex = slot;
    SelectTelescopeCamera(dialog, slot);
}

void EditChosenPoolCamera(HWND dialog) {
    InstrumentDialogState *s = State();
    int id = 0;
    if (TakeChosenPoolCamera(dialog, s, &id) < 0) return;
    std::memset(&WorkingCamera, 0, sizeof WorkingCamera);
    if (!LoadCameraEntryFromPool(id, &WorkingCamera)) return;
    if (RunInstrumentDialog(Instance(), "EditCamDlg", dialog, EditCamDlgProc) != 1) return;
    StoreCameraEntryToPool(&WorkingCamera, id);
    // The telescope's cameras of that name take the new values.
    SyncTelescopeCamerasWithPool(MainOptics());
    FillCameraPoolList(dialog, CameraPoolKind, nullptr);
    ChoosePoolId(dialog, id);
    RefreshCameraAccessories(dialog);
}

void DeleteChosenPoolCamera(HWND dialog) {
    InstrumentDialogState *s = State();
    OpticsBlock *m = MainOptics();
    int id = 0;
    int line = TakeChosenPoolCamera(dialog, s, &id);
    if (line < 0) return;
    char name[33] = "";
    if (!GetCameraFieldsById(id, nullptr, name, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr, nullptr, nullptr))
        return;
    char question[96];
    std::snprintf(question, sizeof question, "Delete %s from pool?", Trimmed(name, sizeof name).c_str());
    if (InstrumentMessage(dialog, question, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    int slot = FindTelescopeCameraByPoolId(m, id);
    if (slot >= 0 && RemoveTelescopeCamera(m, slot)) FillTelescopeCameraList(dialog);
    DeleteCameraRecordById(id);
    int lines = 0;
    FillCameraPoolList(dialog, CameraPoolKind, &lines);
    int chosen = line < lines ? line : lines - 1;
    if (chosen >= 0) {
        SendDlgItemMessageA(dialog, IDC_POOL_LIST, LB_SETCURSEL, (WPARAM)chosen, 0);
        s->poolChoice = (int)SendDlgItemMessageA(dialog, IDC_POOL_LIST, LB_GETITEMDATA, (WPARAM)chosen, 0);
    }
}

void NewPoolCamera(HWND dialog) {
    InstrumentDialogState *s = State();
    const int remembered = s->poolChoice;
    const double noCurve[kQuantumEfficiencyPoints] = {};
    int id = AddCameraRecord(0, "New Camera", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "", noCurve, 0, 0, 0, 0, 0, 0, 0);
    if (id <= 0) return;
    s->poolChoice = id;
    std::memset(&WorkingCamera, 0, sizeof WorkingCamera);
    LoadCameraEntryFromPool(id, &WorkingCamera);
    WorkingCamera.filterCount = 0;
    if (RunInstrumentDialog(Instance(), "EditCamDlg", dialog, EditCamDlgProc) == 1) {
        StoreCameraEntryToPool(&WorkingCamera, id);
        // The list turns to the new camera's kind so that it is seen.
        if (WorkingCamera.kind <= 2 && WorkingCamera.kind != CameraPoolKind) {
            CameraPoolKind = WorkingCamera.kind;
            CheckRadioButton(dialog, IDC_CAMERA_KIND_CCD, IDC_CAMERA_KIND_VIDEO, IDC_CAMERA_KIND_CCD + CameraPoolKind);
        }
        FillCameraPoolList(dialog, CameraPoolKind, nullptr);
        ChoosePoolId(dialog, id);
        return;
    }
    DeleteCameraRecordById(id);
    FillCameraPoolList(dialog, CameraPoolKind, nullptr);
    s->poolChoice = remembered;
    ChoosePoolId(dialog, remembered);
}

void RemoveChosenTelescopeCamera(HWND dialog) {
    OpticsBlock *m = MainOptics();
    int line = ChosenListLine(dialog, IDC_POOL_ASSIGNED);
    if (line < 0 || line >= CameraCount(m)) return;
    if (RemoveTelescopeCamera(m, line)) FillTelescopeCameraList(dialog);
}

void MoveChosenTelescopeCamera(HWND dialog, int delta) {
    OpticsBlock *m = MainOptics();
    int line = ChosenListLine(dialog, IDC_POOL_ASSIGNED);
    if (line < 0 || delta == 0) return;
    int other = line + (delta > 0 ? 1 : -1);
    if (!SwapTelescopeCameras(m, line, other) || other == line) return;
    HWND list = GetDlgItem(dialog, IDC_POOL_ASSIGNED);
    for (int i : {line, other}) {
        std::string name = Trimmed(m->cameras[i].name, sizeof m->cameras[i].name);
        SendMessageA(list, LB_DELETESTRING, (WPARAM)i, 0);
        SendMessageA(list, LB_INSERTSTRING, (WPARAM)i, (LPARAM)name.c_str());
    }
    SendMessageA(list, LB_SETCURSEL, (WPARAM)other, 0);
    CurrentCameraIndex = other;
    SelectTelescopeCamera(dialog, other);
}

// Filters (a CCD camera) or lenses (a digital camera) of the chosen camera,
// rebuilt from the ids the pool dialog leaves after its OK.
void AssignCameraAccessories(HWND dialog) {
    OpticsBlock *m = MainOptics();
    if (CurrentCameraIndex < 0) return;
    int line = ChosenListLine(dialog, IDC_POOL_ASSIGNED);
    if (line < 0 || line >= CameraCount(m)) return;
    CurrentCameraIndex = line;
    CameraEntry *camera = &m->cameras[line];
    if (camera->kind == 0) {
        g_currentCamera = camera;
        INT_PTR result = RunInstrumentDialog(Instance(), "CamFilterDlg", dialog, CamFilterDlgProc);
        if (result == 1)
            RebuildCameraFilters(camera, AssignedFilterIds.ids.data(), (int)AssignedFilterIds.ids.size());
        AssignedFilterIds.ids.clear();
    } else if (camera->kind == 1) {
        g_currentCamera = camera;
        INT_PTR result = RunInstrumentDialog(Instance(), "CamLensDlg", dialog, CamLensDlgProc);
        if (result == 1) RebuildCameraLenses(camera, AssignedLensIds.ids.data(), (int)AssignedLensIds.ids.size());
        AssignedLensIds.ids.clear();
    }
    g_currentCamera = nullptr;
}

void DeleteChosenFactor(HWND dialog) {
    OpticsBlock *m = MainOptics();
    int line = ChosenComboLine(dialog, IDC_CAMDLG_FACTORS);
    if (m->extenderCount == 0 || line < 1) return;
    if (RemoveExtenderFactor(m, line - 1)) RefreshCameraAccessories(dialog);
}

void AddFactor(HWND dialog) {
    if (MainOptics()->extenderCount >= kMaxExtenderFactors) {
        InstrumentMessage(dialog, kTooManyFactors, MB_OK | MB_ICONWARNING);
        return;
    }
    if (RunInstrumentDialog(Instance(), "AddFocalDlg", dialog, AddFocalDlgProc) == 1)
        RefreshCameraAccessories(dialog);
}

void OpenCameraDialog(HWND dialog) {
    OpticsBlock *m = MainOptics();
    SubclassListBox(GetDlgItem(dialog, IDC_POOL_LIST), PoolListKeyWndProc, kPoolListOldProc);
    ImportCameraDefinitions();
    SyncTelescopeCamerasWithPool(m);
    // Taken after the synchronisation, as camera.bak is: Cancel leaves the
    // telescope's cameras linked to the pool that Cancel puts back.
    g_run.saved.reset(new (std::nothrow) OpticsBlock);
    if (g_run.saved) CopyCameraSection(g_run.saved.get(), m);
    if (CameraPoolKind < 0 || CameraPoolKind > 2) CameraPoolKind = 0;
    FillCameraPoolList(dialog, CameraPoolKind, nullptr);
    CheckRadioButton(dialog, IDC_CAMERA_KIND_CCD, IDC_CAMERA_KIND_VIDEO, IDC_CAMERA_KIND_CCD + CameraPoolKind);
    g_run.backupTaken = BackupCameraFile();
    FillTelescopeCameraList(dialog);
    RefreshCameraAccessories(dialog);
    SetFocus(GetDlgItem(dialog, IDOK));
}

void CancelCameraDialog(HWND dialog) {
    if (g_run.backupTaken) RestoreCameraFile();
    if (g_run.saved) CopyCameraSection(MainOptics(), g_run.saved.get());
    EndDialog(dialog, 0);
}

// ---- CamEProjDlg and CamAfocalDlg ----------------------------------------------------

// Fills the eyepiece combo and chooses the last eyepiece of the telescope
// whose focal length is the given eyepiece's (the first line when none is).
// With eyepieces but an eyepiece without focal length, the first eyepiece
// becomes it.
void FillEyepieceChoice(HWND dialog, const OpticsBlock *m, EyepieceEntry *eyepiece) {
    HWND combo = GetDlgItem(dialog, IDC_PROJECTION_EYEPIECE);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    const int n = EyepieceCount(m);
    for (int i = 0; i < n; ++i) {
        std::string name = Trimmed(m->eyepieces[i].name, sizeof m->eyepieces[i].name);
        SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)name.c_str());
    }
    if (n == 0) SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)kNoEyepieces);
    if (!(eyepiece->focalLength > 0) && n > 0) *eyepiece = m->eyepieces[0];
    int chosen = 0;
    for (int i = 0; i < n; ++i)
        if (m->eyepieces[i].focalLength == eyepiece->focalLength) chosen = i;
    SendMessageA(combo, CB_SETCURSEL, (WPARAM)chosen, 0);
}

// A selection of the eyepiece combo copies that eyepiece (all 51 bytes).
void TakeChosenEyepiece(HWND dialog, const OpticsBlock *m, EyepieceEntry *eyepiece) {
    int line = ChosenComboLine(dialog, IDC_PROJECTION_EYEPIECE);
    if (line >= 0 && line < EyepieceCount(m)) *eyepiece = m->eyepieces[line];
}

void FillProjectionFilterChoice(HWND dialog, int camera, int filter) {
    const OpticsBlock *m = MainOptics();
    HWND combo = GetDlgItem(dialog, IDC_PROJECTION_FILTER);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    if (camera < 0 || camera >= CameraCount(m)) return;
    SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM) "No filter");
    const CameraEntry &c = m->cameras[camera];
    for (int i = 0; i < Bounded(c.filterCount, kCameraAssignedFilters); ++i) {
        std::string label = Trimmed(c.filters[i].name, sizeof c.filters[i].name);
        SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)label.c_str());
    }
    SendMessageA(combo, CB_SETCURSEL, (WPARAM)(filter + 1), 0);
}

void ShowOptimumProjectionDistance(HWND dialog, int camera, int filter) {
    char text[64];
    FormatOptimumProjectionDistance(MainOptics(), camera, filter, text, sizeof text);
    SetDlgItemTextA(dialog, IDC_PROJECTION_OPTIMUM, text);
}

void ShowProjectionChoices(HWND dialog) {
    HoldProjectionChoices(MainOptics(), &ProjectionCameraChoice, &ProjectionFilterChoice);
    FillProjectionFilterChoice(dialog, ProjectionCameraChoice, ProjectionFilterChoice);
    ShowOptimumProjectionDistance(dialog, ProjectionCameraChoice, ProjectionFilterChoice);
}

void OpenProjectionDialog(HWND dialog) {
    OpticsBlock *m = MainOptics();
    g_eyepieceAtOpening = m->projectionEyepiece;
    FillEyepieceChoice(dialog, m, &m->projectionEyepiece);
    char text[32] = "";
    if (m->projectionDistance > 0) std::snprintf(text, sizeof text, "%.0f", m->projectionDistance);
    SetDlgItemTextA(dialog, IDC_PROJECTION_DISTANCE, text);
    HWND cameras = GetDlgItem(dialog, IDC_PROJECTION_CAMERA);
    for (int i = 0; i < CameraCount(m); ++i) {
        std::string name = Trimmed(m->cameras[i].name, sizeof m->cameras[i].name);
        SendMessageA(cameras, CB_ADDSTRING, 0, (LPARAM)name.c_str());
    }
    if (CameraCount(m) == 0) SendMessageA(cameras, CB_ADDSTRING, 0, (LPARAM)kNoCameras);
    // The choices are kept between uses (and telescopes): held to what this
    // telescope has, and the combo shows the camera they compute for.
    HoldProjectionChoices(m, &ProjectionCameraChoice, &ProjectionFilterChoice);
    SendMessageA(cameras, CB_SETCURSEL, (WPARAM)(ProjectionCameraChoice > 0 ? ProjectionCameraChoice : 0), 0);
    ShowProjectionChoices(dialog);
}

}  // namespace

INT_PTR CALLBACK CamDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!State()) {
        if (message == WM_INITDIALOG) EndDialog(dialog, 0);
        return FALSE;
    }
    switch (message) {
    case WM_INITDIALOG:
        OpenCameraDialog(dialog);
        return FALSE;
    case WM_NOTIFY: {
        NMHDR *h = (NMHDR *)lParam;
        if (h->idFrom == IDC_POOL_MOVE && h->code == UDN_DELTAPOS) {
            MoveChosenTelescopeCamera(dialog, ((NMUPDOWN *)lParam)->iDelta);
            return TRUE;
        }
        break;
    }
    case WM_COMMAND: {
        const int id = LOWORD(wParam), code = HIWORD(wParam);
        switch (id) {
        case IDC_CAMERA_KIND_CCD:
        case IDC_CAMERA_KIND_DIGITAL:
        case IDC_CAMERA_KIND_VIDEO:
            if (code == BN_CLICKED) {
                CameraPoolKind = id - IDC_CAMERA_KIND_CCD;
                FillCameraPoolList(dialog, CameraPoolKind, nullptr);
            }
            return TRUE;
        case IDC_POOL_LIST:
            if (code == LBN_SELCHANGE || code == LBN_DBLCLK) {
                int line = ChosenListLine(dialog, IDC_POOL_LIST);
                State()->poolChoice =
                    line >= 0 ? (int)SendDlgItemMessageA(dialog, IDC_POOL_LIST, LB_GETITEMDATA, (WPARAM)line, 0) : -1;
                if (code == LBN_DBLCLK) AssignChosenPoolCamera(dialog);
            }
            return TRUE;
        case IDC_POOL_ASSIGNED:
            if (code == LBN_SELCHANGE || code == LBN_DBLCLK) {
                CurrentCameraIndex = ChosenListLine(dialog, IDC_POOL_ASSIGNED);
                if (CurrentCameraIndex >= 0) SelectTelescopeCamera(dialog, CurrentCameraIndex);
            }
            return TRUE;
        case IDC_POOL_ASSIGN: AssignChosenPoolCamera(dialog); return TRUE;
        case IDC_POOL_EDIT: EditChosenPoolCamera(dialog); return TRUE;
        case IDC_POOL_DELETE: DeleteChosenPoolCamera(dialog); return TRUE;
        case IDC_POOL_NEW: NewPoolCamera(dialog); return TRUE;
        case IDC_POOL_UNASSIGN: RemoveChosenTelescopeCamera(dialog); return TRUE;
        case IDC_CAMDLG_ACCESSORIES: AssignCameraAccessories(dialog); return TRUE;
        case IDC_CAMDLG_PROJECTION:
        case IDC_CAMDLG_AFOCAL:
            if (code == BN_CLICKED) {
                const uint8_t on = IsDlgButtonChecked(dialog, id) == BST_CHECKED ? 1 : 0;
                if (id == IDC_CAMDLG_PROJECTION)
                    MainOptics()->projectionOffered = on;
                else
                    MainOptics()->afocalOffered = on;
                RefreshCameraAccessories(dialog);
            }
            return TRUE;
        case IDC_CAMDLG_PROJECTION_LINK:
            if (code == kClickNotification) {
                if (CurrentCameraIndex >= 0)
                    RunInstrumentDialog(Instance(), "CamEProjDlg", dialog, CamEProjDlgProc);
                ShowEyepieceProjectionLabel(dialog);
            }
            return TRUE;
        case IDC_CAMDLG_AFOCAL_LINK:
            if (code == kClickNotification) {
                if (CurrentCameraIndex >= 0)
                    RunInstrumentDialog(Instance(), "CamAfocalDlg", dialog, CamAfocalDlgProc);
                ShowAfocalProjectionLabel(dialog);
            }
            return TRUE;
        case IDC_CAMDLG_FACTORS:
            if (code == CBN_SELCHANGE)
                EnableWindow(GetDlgItem(dialog, IDC_CAMDLG_FACTOR_DELETE),
                             ChosenComboLine(dialog, IDC_CAMDLG_FACTORS) > 0 ? TRUE : FALSE);
            return TRUE;
        case IDC_CAMDLG_FACTOR_DELETE: DeleteChosenFactor(dialog); return TRUE;
        case IDC_CAMDLG_FACTOR_ADD: AddFactor(dialog); return TRUE;
        case IDOK:
            EndDialog(dialog, 1);
            return TRUE;
        case IDCANCEL:
            CancelCameraDialog(dialog);
            return TRUE;
        case IDHELP:
            ShowHelpTopic(IDH_CAMERA_POOL);
            return TRUE;
        }
        break;
    }
    case WM_DESTROY:
        g_run.saved.reset();
        g_run.backupTaken = 0;
        break;
    }
    return FALSE;
}

INT_PTR CALLBACK CamEProjDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    OpticsBlock *m = OpticsOfDialog(dialog, message);
    if (!m) return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        OpenProjectionDialog(dialog);
        return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam), code = HIWORD(wParam);
        switch (id) {
        case IDC_PROJECTION_EYEPIECE:
        case IDC_PROJECTION_CAMERA:
        case IDC_PROJECTION_FILTER:
            if (code == CBN_SELCHANGE) {
                int line = ChosenComboLine(dialog, id);
                if (id == IDC_PROJECTION_EYEPIECE)
                    TakeChosenEyepiece(dialog, m, &m->projectionEyepiece);
                else if (id == IDC_PROJECTION_CAMERA && CameraCount(m) > 0)
                    ProjectionCameraChoice = line;
                else if (id == IDC_PROJECTION_FILTER)
                    ProjectionFilterChoice = line - 1;
                ShowProjectionChoices(dialog);
            }
            return TRUE;
        case IDOK: {
            double distance = 0;
            // An empty or invalid distance keeps the old one.
            if (ReadPositiveNumberFromWindow(GetDlgItem(dialog, IDC_PROJECTION_DISTANCE), &distance) &&
                distance > 0)
                m->projectionDistance = distance;
            break;
        }
        case IDCANCEL:
            // Cancel takes back the eyepiece chosen while the dialog was open.
            m->projectionEyepiece = g_eyepieceAtOpening;
            break;
        }
        return HandleDialogEndButton(dialog, id, IDH_EYEPIECE_PROJECTION);
    }
    }
    return FALSE;
}

INT_PTR CALLBACK CamAfocalDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    OpticsBlock *m = OpticsOfDialog(dialog, message);
    if (!m) return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        g_eyepieceAtOpening = m->afocalEyepiece;
        FillEyepieceChoice(dialog, m, &m->afocalEyepiece);
        return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id == IDC_PROJECTION_EYEPIECE) {
            if (HIWORD(wParam) == CBN_SELCHANGE) TakeChosenEyepiece(dialog, m, &m->afocalEyepiece);
            return TRUE;
        }
        if (id == IDCANCEL) m->afocalEyepiece = g_eyepieceAtOpening;
        return HandleDialogEndButton(dialog, id, IDH_AFOCAL_PROJECTION);
    }
    }
    return FALSE;
}

INT_PTR CALLBACK AddFocalDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    OpticsBlock *m = OpticsOfDialog(dialog, message);
    if (!m) return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: {
            char text[64] = "";
            GetDlgItemTextA(dialog, IDC_FOCAL_FACTOR, text, (int)sizeof text);
            const int added = AddExtenderFactorText(m, text);
            if (added == 1) {
                EndDialog(dialog, 1);
            } else if (added < 0) {
                // The list is full: nothing can be added.
                InstrumentMessage(dialog, kTooManyFactors, MB_OK | MB_ICONWARNING);
                EndDialog(dialog, 0);
            } else {
                InstrumentMessage(dialog, "Error in magnification factor", MB_OK | MB_ICONERROR);
            }
            return TRUE;
        }
        }
        return HandleDialogEndButton(dialog, LOWORD(wParam), kNoHelpTopic);
    }
    return FALSE;
}
