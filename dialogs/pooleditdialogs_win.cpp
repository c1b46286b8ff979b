// The pool record editors: EditEyepDlg with FOVDlg (the apparent field from a
// field measured through one of the user's telescopes), EditFilterDlg,
// EditNDFilterDlg with FilterTypeDlg, and EditLensDlg.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/hostcallbacks.h"
#include "astro/angleparse.h"
#include "core/textutil.h"
#include "instruments/eyepiecepool.h"
#include "dialogs/instrumentdialogs_win.h"
#include "instruments/instrumentstore.h"
#include "instruments/optics.h"
#include "instruments/storeio.h"
#include "resources/helptopics.h"
#include "resources/instrumentids.h"
#include "ui/winutil_win.h"

namespace {

const double kNoValue = 2147483647.0;

// What EditEyepDlg read at opening, to put back on Cancel.
struct EyepieceMemory {
    int readOk;
    char name[33];
    double focalLength;
    double apparentField;
} g_eyepiece;

int PoolChoice() {
    InstrumentDialogState *s = GetScopeDialogState();
    return s ? s->poolChoice : -1;
}

double FieldValue(HWND dialog, int id) {
    char text[64] = "";
    GetDlgItemTextA(dialog, id, text, (int)sizeof text);
    return ParseSexagesimal(text);
}

void Incorrect(HWND dialog) { InstrumentMessage(dialog, "One or more of the parameters is incorrect.", MB_OK); }

// The name field (IDC_POOLITEM_NAME) of the editors: shown from a stored name field of
// `size` bytes (not always terminated), read back cut to `length` characters.
void ShowNameField(HWND dialog, const char *name, size_t size) {
    std::string text(name, strnlen(name, size));
    SetDlgItemTextA(dialog, IDC_POOLITEM_NAME, text.c_str());
}

std::string ReadNameField(HWND dialog, size_t length) {
    char text[64] = "";
    GetDlgItemTextA(dialog, IDC_POOLITEM_NAME, text, (int)sizeof text);
    return std::string(text, strnlen(text, length));
}

// The telescopes of instr.bin (store index of each combo line), read here:
// the editor may run under the one-telescope dialog, where no store is open.
std::vector<int> g_fovMap;

}  // namespace

int StoreEditedEyepiece(HWND dialog) {
    int index = PoolChoice();
    if (index < 0) return 0;
    std::string name = ReadNameField(dialog, 31);
    double af = FieldValue(dialog, IDC_EYEPIECE_APPARENT_FIELD),
           fl = FieldValue(dialog, IDC_EYEPIECE_FOCAL_LENGTH);
    if (!CheckEyepieceValues(name.c_str(), fl, af)) return 0;
    return UpdateEyepieceRecord(index, name.c_str(), fl, af) ? 1 : 0;
}

INT_PTR CALLBACK EditEyepDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: {
        std::memset(&g_eyepiece, 0, sizeof g_eyepiece);
        int index = PoolChoice();
        if (index >= 0 && GetEyepieceRecord(index, g_eyepiece.name, &g_eyepiece.focalLength, &g_eyepiece.apparentField)) {
            g_eyepiece.readOk = 1;
            g_eyepiece.name[32] = 0;
            FillingDialogFields = 1;
            SetDlgItemTextA(dialog, IDC_POOLITEM_NAME, g_eyepiece.name);
            SetItemTextOneDecimal(dialog, IDC_EYEPIECE_APPARENT_FIELD, g_eyepiece.apparentField);
            SetItemTextOneDecimal(dialog, IDC_EYEPIECE_FOCAL_LENGTH, g_eyepiece.focalLength);
            FillingDialogFields = 0;
        } else {
            // Nothing to edit: OK would write the typed values over some
            // other record, Cancel would write empty ones.
            EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
            EnableWindow(GetDlgItem(dialog, IDC_EYEPIECE_CALCULATE_FIELD), FALSE);
        }
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            if (!g_eyepiece.readOk) return TRUE;
            if (StoreEditedEyepiece(dialog))
                EndDialog(dialog, 1);
            else
                Incorrect(dialog);
            return TRUE;
        case IDC_EYEPIECE_CALCULATE_FIELD: {
            StoreEditedEyepiece(dialog);
            InstrumentDialogState *s = GetScopeDialogState();
            HINSTANCE instance = s ? s->instance : GetInstrumentDialogInstance();
            if (RunInstrumentDialog(instance, "FOVDlg", dialog, FOVDlgProc) == 1)
                SetItemTextOneDecimal(dialog, IDC_EYEPIECE_APPARENT_FIELD, MeasuredApparentField);
            return TRUE;
        }
        case IDCANCEL:
            if (g_eyepiece.readOk)
                UpdateEyepieceRecord(PoolChoice(), g_eyepiece.name, g_eyepiece.focalLength, g_eyepiece.apparentField);
            EndDialog(dialog, 0);
            return TRUE;
        case IDHELP:
            ShowHelpTopic(IDH_EYEPIECE_EDIT);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

INT_PTR CALLBACK FOVDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: {
        g_fovMap.clear();
        int32_t count = 0;
        StoreFilePtr f(OpenInstrumentFile(&count));
        std::unique_ptr<InstrumentRecord> r(new (std::nothrow) InstrumentRecord);
        for (int i = 0; f && r && i < count; ++i) {
            if (!ReadInstrument(f.get(), r.get(), i) || r->kind != kInstrumentTelescope) continue;
            char name[33];
            std::memcpy(name, r->name, 32);
            name[32] = 0;
            SendDlgItemMessageA(dialog, IDC_FOV_TELESCOPE, CB_ADDSTRING, 0, (LPARAM)name);
            g_fovMap.push_back(i);
        }
        SendDlgItemMessageA(dialog, IDC_FOV_TELESCOPE, CB_SETCURSEL, 0, 0);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: {
            LRESULT line = SendDlgItemMessageA(dialog, IDC_FOV_TELESCOPE, CB_GETCURSEL, 0, 0);
            if (line == CB_ERR || line >= (LRESULT)g_fovMap.size()) return TRUE;
            double field = FieldValue(dialog, IDC_FOV_MEASURED);
            char name[33];
            double eyepieceFocal = 0.0, af = 0.0;
            if (field == kNoValue || !GetEyepieceRecord(PoolChoice(), name, &eyepieceFocal, &af)) {
                EndDialog(dialog, 0);
                return TRUE;
            }
            int32_t count = 0;
            StoreFilePtr f(OpenInstrumentFile(&count));
            std::unique_ptr<InstrumentRecord> r(new (std::nothrow) InstrumentRecord);
            if (!f || !r || !ReadInstrument(f.get(), r.get(), g_fovMap[(size_t)line])) {
                EndDialog(dialog, 0);
                return TRUE;
            }
            // Old records may hold only an aperture and a ratio.
            ComputeOpticsLimits(&r->optics[0]);
            double result = ComputeMeasuredApparentField(field, r->optics[0].focalLength, eyepieceFocal);
            if (!(result > 0.0)) {
                EndDialog(dialog, 0);
                return TRUE;
            }
            MeasuredApparentField = result;
            EndDialog(dialog, 1);
            return TRUE;
        }
        }
        return HandleDialogEndButton(dialog, LOWORD(wParam), kNoHelpTopic);
    }
    return FALSE;
}

INT_PTR CALLBACK EditFilterDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: {
        FillingDialogFields = 1;
        ShowNameField(dialog, WorkingFilter.name, sizeof WorkingFilter.name);
        SetItemTextOneDecimal(dialog, IDC_FILTER_WAVELENGTH, WorkingFilter.wavelength * 1000.0);
        SetItemTextOneDecimal(dialog, IDC_FILTER_FWHM, WorkingFilter.bandwidth * 1000.0);
        SetItemTextOneDecimal(dialog, IDC_FILTER_PEAK, WorkingFilter.peakTransmission * 100.0);
        FillingDialogFields = 0;
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: {
            std::string label = ReadNameField(dialog, 32);
            if (ReadStandardFilterValues(
                    &WorkingFilter, label.c_str(), FieldValue(dialog, IDC_FILTER_WAVELENGTH),
                    FieldValue(dialog, IDC_FILTER_FWHM), FieldValue(dialog, IDC_FILTER_PEAK)))
                EndDialog(dialog, 1);
            else
                Incorrect(dialog);
            return TRUE;
        }
        }
        return HandleDialogEndButton(dialog, LOWORD(wParam), IDH_FILTER_EDIT);
    }
    return FALSE;
}

namespace {
int g_ndMode = 0;

double ReadNeutralDensityTransmission(HWND dialog, int mode) {
    return NeutralDensityTransmission(FieldValue(dialog, IDC_NDFILTER_VALUE), mode);
}

void ShowNeutralDensity(HWND dialog, double t, int mode) {
    FillingDialogFields = 1;
    SetItemTextTwoDecimals(dialog, IDC_NDFILTER_VALUE, t > 0.0 ? NeutralDensityValue(t, mode) : 0.0);
    FillingDialogFields = 0;
}
}  // namespace

INT_PTR CALLBACK EditNDFilterDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: {
        double t = WorkingFilter.peakTransmission;
        if (!(t > 0.0) || t > 1.0) t = 1.0;
        FillingDialogFields = 1;
        ShowNameField(dialog, WorkingFilter.name, sizeof WorkingFilter.name);
        FillingDialogFields = 0;
        g_ndMode = 0;
        ShowNeutralDensity(dialog, t, 0);
        CheckRadioButton(dialog, IDC_NDFILTER_TRANSMISSION, IDC_NDFILTER_ATTENUATION,
                         IDC_NDFILTER_TRANSMISSION);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_NDFILTER_TRANSMISSION:
        case IDC_NDFILTER_DENSITY:
        case IDC_NDFILTER_ATTENUATION: {
            int mode = LOWORD(wParam) - IDC_NDFILTER_TRANSMISSION;
            if (mode == g_ndMode) return TRUE;
            double t = ReadNeutralDensityTransmission(dialog, g_ndMode);
            ShowNeutralDensity(dialog, t, mode);
            g_ndMode = mode;
            return TRUE;
        }
        case IDOK: {
            std::string label = ReadNameField(dialog, 32);
            double t = ReadNeutralDensityTransmission(dialog, g_ndMode);
            if (t > 0.0) {
                CopyStringZeroFilled(WorkingFilter.name, label.c_str(), (int)sizeof WorkingFilter.name);
                WorkingFilter.peakTransmission = t;
                WorkingFilter.wavelength = 0.0;
                EndDialog(dialog, 1);
            } else {
                InstrumentMessage(dialog, "The value is out of range", MB_OK);
            }
            return TRUE;
        }
        }
        return HandleDialogEndButton(dialog, LOWORD(wParam), IDH_ND_FILTER_EDIT);
    }
    return FALSE;
}

INT_PTR CALLBACK FilterTypeDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND) {
        if (LOWORD(wParam) == IDC_FILTERTYPE_STANDARD) EndDialog(dialog, 0);
        if (LOWORD(wParam) == IDC_FILTERTYPE_ND) EndDialog(dialog, 1);
        return TRUE;  // Escape and the close box do not end it
    }
    if (message == WM_CLOSE) return TRUE;
    return FALSE;
}

INT_PTR CALLBACK EditLensDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: {
        FillingDialogFields = 1;
        ShowNameField(dialog, WorkingLens.name, sizeof WorkingLens.name);
        SetItemTextOneDecimal(dialog, IDC_LENS_FOCAL_LENGTH, WorkingLens.focalLength);
        SetItemTextOneDecimal(dialog, IDC_LENS_FOCAL_RATIO, WorkingLens.focalRatio);
        FillingDialogFields = 0;
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: {
            std::string label = ReadNameField(dialog, 31);
            CopyStringZeroFilled(WorkingLens.name, label.c_str(), (int)sizeof WorkingLens.name);
            double fl = FieldValue(dialog, IDC_LENS_FOCAL_LENGTH),
                   ratio = FieldValue(dialog, IDC_LENS_FOCAL_RATIO);
            if (CheckLensValues(fl, ratio)) {
                WorkingLens.focalLength = fl;
                WorkingLens.focalRatio = ratio;
                EndDialog(dialog, 1);
            } else {
                Incorrect(dialog);
            }
            return TRUE;
        }
        }
        return HandleDialogEndButton(dialog, LOWORD(wParam), IDH_LENS_EDIT);
    }
    return FALSE;
}
