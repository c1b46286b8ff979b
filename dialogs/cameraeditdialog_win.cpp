// Edit Camera Data (EditCamDlg): the camera model of the camera pool held in
// WorkingCamera, its kind, sensor, noise, bit depth, quantum-efficiency curve
// (named in ccd_Q.dat or entered by hand) and built-in guider chip. The field
// rules are cameradialogrules.h.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "core/hostcallbacks.h"
#include "core/userfolder.h"
#include "dialogs/cameradialogrules.h"
#include "dialogs/instrumentdialogs_win.h"
#include "resources/helptopics.h"
#include "resources/instrumentids.h"
#include "ui/winutil_win.h"

CameraEntry WorkingCamera;
int CameraCurveChoice = 0;

namespace {

// The curve table of the open dialog (read at opening, freed with it).
std::unique_ptr<CcdCurveRow[]> g_curves;
int g_curveRows = 0;

const int kGuiderEdits[] = {IDC_CAMERA_GUIDER_OFFSET_X, IDC_CAMERA_GUIDER_OFFSET_Y,
                            IDC_CAMERA_GUIDER_PIXELS_DOWN, IDC_CAMERA_GUIDER_PIXELS_ACROSS,
                            IDC_CAMERA_GUIDER_PIXEL_HEIGHT, IDC_CAMERA_GUIDER_PIXEL_WIDTH};

std::string Text(HWND dialog, int id) {
    char buffer[128] = {};
    GetDlgItemTextA(dialog, id, buffer, sizeof buffer);
    return buffer;
}

void Enable(HWND dialog, int id, bool on) { EnableWindow(GetDlgItem(dialog, id), on ? TRUE : FALSE); }

// Shows a value with the given decimals, empty for 0 (as the other editors do).
void ShowValue(HWND dialog, int id, double value, int decimals) {
    char text[64] = "";
    if (value != 0) std::snprintf(text, sizeof text, "%.*f", decimals, value);
    SetDlgItemTextA(dialog, id, text);
}

void ShowCount(HWND dialog, int id, int value) {
    char text[32] = "";
    if (value != 0) std::snprintf(text, sizeof text, "%d", value);
    SetDlgItemTextA(dialog, id, text);
}

void CopyCurve(int choice) {
    if (choice < 1 || choice > g_curveRows) return;
    for (int i = 0; i < kQuantumEfficiencyPoints; ++i)
        WorkingCamera.quantumEfficiency[i] = g_curves[choice - 1].values[i];
}

void Open(HWND dialog) {
    FillingDialogFields = 1;
    CameraEntry &c = WorkingCamera;
    HWND depth = GetDlgItem(dialog, IDC_CAMERA_BIT_DEPTH);
    for (const char *line : {"8 bits", "16 bits", "32 bits"}) SendMessageA(depth, CB_ADDSTRING, 0, (LPARAM)line);
    SendMessageA(depth, CB_SETCURSEL, c.bitDepth <= 2 ? c.bitDepth : 0, 0);
    if (c.kind == 2) {
        c.readNoise = 0;
        c.gain = 0;
        c.binnedGain = 0;
        c.darkSignal = 0;
    }
    const int kind = c.kind <= 2 ? c.kind : 0;
    CheckRadioButton(dialog, IDC_CAMERA_KIND_CCD, IDC_CAMERA_KIND_VIDEO, IDC_CAMERA_KIND_CCD + kind);
    SetDlgItemTextA(dialog, IDC_POOLITEM_NAME, std::string(c.name, strnlen(c.name, sizeof c.name)).c_str());
    ShowValue(dialog, IDC_CAMERA_READ_NOISE, c.readNoise, 1);
    ShowValue(dialog, IDC_CAMERA_GAIN, c.gain, 1);
    ShowValue(dialog, IDC_CAMERA_BINNED_GAIN, c.binnedGain, 1);
    ShowValue(dialog, IDC_CAMERA_DARK_SIGNAL, c.darkSignal, 2);
    ShowValue(dialog, IDC_CAMERA_PIXEL_WIDTH, c.pixelWidth, 2);
    ShowValue(dialog, IDC_CAMERA_PIXEL_HEIGHT, c.pixelHeight, 2);
    ShowCount(dialog, IDC_CAMERA_PIXELS_ACROSS, c.pixelsAcross);
    ShowCount(dialog, IDC_CAMERA_PIXELS_DOWN, c.pixelsDown);
    if (kind == 2 && c.lensCount > 0) ShowValue(dialog, IDC_CAMERA_LENS_FOCAL, c.lenses[0].focalLength, 1);

    g_curves.reset(new (std::nothrow) CcdCurveRow[kCcdCurveRows]);
    g_curveRows = 0;
    if (g_curves) {
        const char *folder = GetUserDataFolder();
        g_curveRows = ReadCcdQuantumEfficiency(folder ? folder : "", g_curves.get(), kCcdCurveRows);
        HWND combo = GetDlgItem(dialog, IDC_CAMERA_CURVE);
        SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM) "Manual Entry");
        char name[sizeof c.curveName];
        std::snprintf(name, sizeof name, "%s", c.curveName);
        const int found = name[0] ? FindCcdCurveByName(name, g_curves.get(), g_curveRows) : -1;
        for (int i = 0; i < g_curveRows; ++i) {
            char line[64];
            std::snprintf(line, sizeof line, i == found ? "%s (default)" : "%s", g_curves[i].name);
            SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)line);
        }
        CameraCurveChoice = found >= 0 ? found + 1 : 0;
        CopyCurve(CameraCurveChoice);
        double values[kQuantumEfficiencyPoints];
        for (int i = 0; i < kQuantumEfficiencyPoints; ++i) values[i] = c.quantumEfficiency[i];
        ShowQuantumEfficiencyValues(dialog, values, CameraCurveChoice);
    }

    CheckDlgButton(dialog, IDC_CAMERA_GUIDER, c.guider ? BST_CHECKED : BST_UNCHECKED);
    ShowCount(dialog, IDC_CAMERA_GUIDER_PIXELS_ACROSS, c.guiderPixelsAcross);
    ShowCount(dialog, IDC_CAMERA_GUIDER_PIXELS_DOWN, c.guiderPixelsDown);
    ShowValue(dialog, IDC_CAMERA_GUIDER_PIXEL_WIDTH, c.guiderPixelWidth, 2);
    ShowValue(dialog, IDC_CAMERA_GUIDER_PIXEL_HEIGHT, c.guiderPixelHeight, 2);
    ShowValue(dialog, IDC_CAMERA_GUIDER_OFFSET_X, c.guiderOffsetX, 2);
    ShowValue(dialog, IDC_CAMERA_GUIDER_OFFSET_Y, c.guiderOffsetY, 2);
    EnableCameraKindFields(dialog, kind);
    EnableGuiderFields(dialog, c.guider && kind == 0);
    FillingDialogFields = 0;
}

CameraDialogFields ReadControls(HWND dialog) {
    CameraDialogFields f;
    f.kind = WorkingCamera.kind <= 2 ? WorkingCamera.kind : 0;
    f.name = Text(dialog, IDC_POOLITEM_NAME);
    f.readNoise = Text(dialog, IDC_CAMERA_READ_NOISE);
    f.gain = Text(dialog, IDC_CAMERA_GAIN);
    f.binnedGain = Text(dialog, IDC_CAMERA_BINNED_GAIN);
    f.darkSignal = Text(dialog, IDC_CAMERA_DARK_SIGNAL);
    f.pixelsAcross = Text(dialog, IDC_CAMERA_PIXELS_ACROSS);
    f.pixelsDown = Text(dialog, IDC_CAMERA_PIXELS_DOWN);
    f.pixelWidth = Text(dialog, IDC_CAMERA_PIXEL_WIDTH);
    f.pixelHeight = Text(dialog, IDC_CAMERA_PIXEL_HEIGHT);
    f.lensFocalLength = Text(dialog, IDC_CAMERA_LENS_FOCAL);
    f.curveChoice = CameraCurveChoice;
    for (int i = 0; i < kQuantumEfficiencyPoints; ++i) f.curve[i] = Text(dialog, IDC_CAMERA_QE_FIRST + i);
    f.guider = WorkingCamera.guider;
    f.guiderOffsetX = Text(dialog, IDC_CAMERA_GUIDER_OFFSET_X);
    f.guiderOffsetY = Text(dialog, IDC_CAMERA_GUIDER_OFFSET_Y);
    f.guiderPixelsAcross = Text(dialog, IDC_CAMERA_GUIDER_PIXELS_ACROSS);
    f.guiderPixelsDown = Text(dialog, IDC_CAMERA_GUIDER_PIXELS_DOWN);
    f.guiderPixelWidth = Text(dialog, IDC_CAMERA_GUIDER_PIXEL_WIDTH);
    f.guiderPixelHeight = Text(dialog, IDC_CAMERA_GUIDER_PIXEL_HEIGHT);
    return f;
}

}  // namespace

void ShowQuantumEfficiencyValues(HWND dialog, const double values[13], int curveChoice) {
    SendDlgItemMessageA(dialog, IDC_CAMERA_CURVE, CB_SETCURSEL, curveChoice, 0);
    for (int i = 0; i < kQuantumEfficiencyPoints; ++i) {
        ShowValue(dialog, IDC_CAMERA_QE_FIRST + i, values[i], 0);
        Enable(dialog, IDC_CAMERA_QE_FIRST + i, curveChoice == 0);
    }
}

void EnableCameraKindFields(HWND dialog, int kind) {
    const bool sensor = kind == 0 || kind == 1;
    for (int id : {IDC_CAMERA_READ_NOISE, IDC_CAMERA_GAIN, IDC_CAMERA_BINNED_GAIN, IDC_CAMERA_DARK_SIGNAL})
        Enable(dialog, id, sensor);
    Enable(dialog, IDC_CAMERA_LENS_FOCAL, kind == 2);
    Enable(dialog, IDC_CAMERA_GUIDER, kind == 0);
}

void EnableGuiderFields(HWND dialog, int on) {
    for (int id : kGuiderEdits) Enable(dialog, id, on != 0);
}

INT_PTR CALLBACK EditCamDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        Open(dialog);
        return TRUE;
    case WM_DESTROY:
        g_curves.reset();
        g_curveRows = 0;
        return FALSE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        switch (id) {
        case IDC_CAMERA_KIND_CCD:
        case IDC_CAMERA_KIND_DIGITAL:
        case IDC_CAMERA_KIND_VIDEO:
            if (code == BN_CLICKED) {
                WorkingCamera.kind = static_cast<uint8_t>(id - IDC_CAMERA_KIND_CCD);
                EnableCameraKindFields(dialog, WorkingCamera.kind);
                EnableGuiderFields(dialog, WorkingCamera.guider && WorkingCamera.kind == 0);
            }
            return TRUE;
        case IDC_CAMERA_CURVE:
            if (code == CBN_SELCHANGE) {
                const int line = (int)SendDlgItemMessageA(dialog, IDC_CAMERA_CURVE, CB_GETCURSEL, 0, 0);
                if (line >= 0) {
                    CameraCurveChoice = line;
                    CopyCurve(line);
                    double values[kQuantumEfficiencyPoints];
                    for (int i = 0; i < kQuantumEfficiencyPoints; ++i)
                        values[i] = WorkingCamera.quantumEfficiency[i];
                    ShowQuantumEfficiencyValues(dialog, values, CameraCurveChoice);
                }
            }
            return TRUE;
        case IDC_CAMERA_BIT_DEPTH:
            if (code == CBN_SELCHANGE) {
                const int line = (int)SendDlgItemMessageA(dialog, IDC_CAMERA_BIT_DEPTH, CB_GETCURSEL, 0, 0);
                if (line >= 0 && line <= 2) WorkingCamera.bitDepth = static_cast<uint8_t>(line);
            }
            return TRUE;
        case IDC_CAMERA_GUIDER:
            if (code == BN_CLICKED) {
                WorkingCamera.guider = IsDlgButtonChecked(dialog, IDC_CAMERA_GUIDER) == BST_CHECKED ? 1 : 0;
                EnableGuiderFields(dialog, WorkingCamera.guider && WorkingCamera.kind == 0);
            }
            return TRUE;
        case IDOK:
            if (ReadCameraFields(ReadControls(dialog), g_curves.get(), g_curveRows, &WorkingCamera))
                EndDialog(dialog, 1);
            else
                InstrumentMessage(dialog, "One or more of the parameters is incorrect.", MB_OK);
            return TRUE;
        }
        return HandleDialogEndButton(dialog, id, IDH_CAMERA_EDIT);
    }
    }
    return FALSE;
}
