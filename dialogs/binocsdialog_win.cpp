// The binocular dialogs: BinocsDlg edits every pair of instr.bin in place
// (instr.bak taken at opening, put back on Cancel); BinocsEditDlg edits one
// pair held in memory.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "core/hostcallbacks.h"
#include "dialogs/instrumentdialogs_win.h"
#include "instruments/instrumentstore.h"
#include "instruments/optics.h"
#include "instruments/scoperules.h"
#include "instruments/standardscopes.h"
#include "instruments/storeio.h"
#include "core/mathutil.h"
#include "resources/helptopics.h"
#include "resources/instrumentids.h"
#include "ui/winutil_win.h"

namespace {

const char kOldListProc[] = "BinocularListProc";
InstrumentDialogState *g_binocsState = nullptr;

void ShowBinoculars(HWND dialog, InstrumentDialogState *s, int skip) {
    s->busy = 1;
    OpticsBlock &m = s->record.optics[0];
    ComputeOpticsLimits(&m);
    char text[64];
    if (skip != IDC_BINOC_NAME) {
        std::memcpy(text, s->record.name, 32);
        text[32] = 0;
        SetDlgItemTextA(dialog, IDC_BINOC_NAME, text);
    }
    if (skip != IDC_BINOC_APERTURE) SetItemTextOneDecimal(dialog, IDC_BINOC_APERTURE, m.aperture);
    if (skip != IDC_BINOC_MAGNIFICATION) {
        std::snprintf(text, sizeof text, "%.1lf", m.magnification);
        SetDlgItemTextA(dialog, IDC_BINOC_MAGNIFICATION, text);
    }
    if (skip != IDC_BINOC_FIELD) {
        std::snprintf(text, sizeof text, "%.1lf\xB0", m.trueField * 180.0 / kPi);
        SetDlgItemTextA(dialog, IDC_BINOC_FIELD, text);
    }
    std::snprintf(text, sizeof text, "%.1lf\"", m.dawesLimit);
    SetDlgItemTextA(dialog, IDC_BINOC_DAWES, text);
    std::snprintf(text, sizeof text, "%.1lf", m.limitingMagnitude);
    SetDlgItemTextA(dialog, IDC_BINOC_LIMIT, text);
    SetDlgItemTextA(dialog, IDC_BINOC_LEFT_RIGHT, m.leftRight == 1 ? "Normal" : "Mirrored");
    SetDlgItemTextA(dialog, IDC_BINOC_UP_DOWN, m.upDown == 1 ? "Normal" : "Flipped");
    s->busy = 0;
}

void EnableBinocularControls(HWND dialog, bool enable) {
    const int ids[] = {IDC_BINOC_NAME,       IDC_BINOC_APERTURE, IDC_BINOC_MAGNIFICATION, IDC_BINOC_FIELD,
                       IDC_BINOC_DAWES,      IDC_BINOC_LIMIT,    IDC_BINOC_LIST,          IDC_BINOC_DELETE,
                       IDC_BINOC_LEFT_RIGHT, IDC_BINOC_UP_DOWN};
    for (int id : ids) EnableWindow(GetDlgItem(dialog, id), enable);
    if (!enable) SetFocus(GetDlgItem(dialog, IDOK));
}

const InstrumentListView kBinocularList = {IDC_BINOC_LIST, kInstrumentBinoculars, EnableBinocularControls,
                                           ShowBinoculars};

// Field edits and clicks of both dialogs; 1 when handled.
int HandleBinocularField(HWND dialog, InstrumentDialogState *s, int id, int code, int checkName, int *nameChanged) {
    InstrumentRecord &r = s->record;
    if (code == EN_CHANGE) {
        if (s->busy) return 1;
        double v = 0.0;
        int ok = 0;
        switch (id) {
        case IDC_BINOC_NAME: {
            char text[64] = "";
            GetDlgItemTextA(dialog, IDC_BINOC_NAME, text, (int)sizeof text);
            if (checkName && !ApplyInstrumentName(&r, text)) {
                char previous[33];
                std::memcpy(previous, r.name, 32);
                previous[32] = 0;
                s->busy = 1;
                SetDlgItemTextA(dialog, IDC_BINOC_NAME, previous);
                s->busy = 0;
                int end = (int)std::strlen(previous);
                SendDlgItemMessageA(dialog, IDC_BINOC_NAME, EM_SETSEL, (WPARAM)end, (LPARAM)end);
            } else if (checkName) {
                if (nameChanged) *nameChanged = 1;
            } else {
                ApplyInstrumentName(&r, text);
            }
            return 1;
        }
        case IDC_BINOC_APERTURE:
            ok = ReadPositiveNumberFromWindow(GetDlgItem(dialog, id), &v);
            if (ok) SetBinocularAperture(&r, v);
            break;
        case IDC_BINOC_FIELD:
            ok = ReadPositiveNumberFromWindow(GetDlgItem(dialog, id), &v);
            if (ok) SetBinocularField(&r, v);
            break;
        case IDC_BINOC_MAGNIFICATION:
            ok = ReadPositiveNumberFromWindow(GetDlgItem(dialog, id), &v);
            if (ok) SetBinocularMagnification(&r, v);
            break;
        default:
            return 0;
        }
        if (ok) ShowBinoculars(dialog, s, id);
        return 1;
    }
    if (id == IDC_BINOC_LEFT_RIGHT) {
        r.optics[0].leftRight = ToggleImageFlag(r.optics[0].leftRight);
    } else if (id == IDC_BINOC_UP_DOWN) {
        r.optics[0].upDown = ToggleImageFlag(r.optics[0].upDown);
    } else {
        return 0;
    }
    ShowBinoculars(dialog, s, 0);
    return 1;
}

}  // namespace

LRESULT CALLBACK BinocularListWndProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    return ListBoxKeys(list, message, wParam, lParam, kOldListProc, IDC_BINOC_DELETE);
}

INT_PTR CALLBACK BinocsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    InstrumentDialogState *s = g_binocsState;
    if (!s) return FALSE;
    switch (message) {
    case WM_INITDIALOG: {
        s->dialog = dialog;
        SubclassListBox(GetDlgItem(dialog, IDC_BINOC_LIST), BinocularListWndProc, kOldListProc);
        if (!OpenInstrumentStoreForEditing(dialog, s)) return TRUE;
        if (FillInstrumentList(dialog, s, kBinocularList) > 0)
            SelectInstrumentLine(dialog, s, kBinocularList, 0);
        else
            EnableBinocularControls(dialog, false);
        return TRUE;
    }
    case WM_COMMAND: {
        int id = LOWORD(wParam), code = HIWORD(wParam);
        int nameChanged = 0;
        if (HandleBinocularField(dialog, s, id, code, 1, &nameChanged)) {
            if (nameChanged) ShowRenamedInstrument(dialog, s, kBinocularList);
            return TRUE;
        }
        switch (id) {
        case IDC_BINOC_LIST:
            OnInstrumentListNotice(dialog, s, kBinocularList, code);
            return TRUE;
        case IDC_BINOC_NEW:
            if (!s->store) return TRUE;
            WriteBackInstrument(s);
            InitNewBinoculars(&s->record);
            AppendInstrumentAndSelect(dialog, s, kBinocularList);
            return TRUE;
        case IDC_BINOC_DELETE:
            if (InstrumentMessage(dialog, "Delete this binocular?", MB_YESNO | MB_ICONQUESTION) != IDYES) return TRUE;
            if (s->selected < 0 || !s->store) return TRUE;
            DeleteSelectedInstrument(dialog, s, kBinocularList);
            return TRUE;
        case IDOK:
            WriteBackInstrument(s);
            if (KeepInstrumentList(dialog, s)) EndDialog(dialog, 1);
            return TRUE;
        }
        return HandleInstrumentListButton(dialog, s, id, IDH_BINOCULARS);
    }
    }
    return HandleInstrumentListEnding(dialog, s, message);
}

int RunBinocsDialog(HWND owner, HINSTANCE instance) {
    return RunInstrumentListDialog(instance, "BinocsDlg", owner, BinocsDlgProc, &g_binocsState);
}

INT_PTR CALLBACK BinocsEditDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    InstrumentDialogState *s = g_binocsState;
    if (!s) return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        s->dialog = dialog;
        ShowBinoculars(dialog, s, 0);
        return TRUE;
    case WM_COMMAND: {
        int id = LOWORD(wParam), code = HIWORD(wParam);
        // The name is checked here too: names feed name links and file names.
        if (HandleBinocularField(dialog, s, id, code, 1, nullptr)) return TRUE;
        switch (id) {
        }
        return HandleDialogEndButton(dialog, id, IDH_BINOCULARS_EDIT);
    }
    case WM_CLOSE:
        if (InstrumentMessage(dialog, "Are you sure you want to exit without saving changes?",
                              MB_YESNO | MB_ICONQUESTION) == IDYES)
            EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

int RunBinocsEditDialog(HWND owner, HINSTANCE instance, InstrumentRecord *record) {
    return RunInstrumentEditDialog(instance, "BinocsEditDlg", owner, BinocsEditDlgProc, &g_binocsState, record) > 0
               ? 1
               : 0;
}
