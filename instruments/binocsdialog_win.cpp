// The binocular dialogs: BinocsDlg edits every pair of instr.bin in place
// (instr.bak taken at opening, put back on Cancel); BinocsEditDlg edits one
// pair held in memory.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "app/gleaner_win.h"
#include "charts/chartsync.h"
#include "core/userfolder.h"
#include "instruments/instrumentdialogs_win.h"
#include "instruments/instrumentstore.h"
#include "instruments/optics.h"
#include "instruments/scoperules.h"
#include "instruments/standardscopes.h"
#include "instruments/storeio.h"

namespace {

const double kPi = 3.14159265358979323846;
const char kOldListProc[] = "BinocularListProc";
InstrumentDialogState *g_binocsState = nullptr;

void CloseStore(InstrumentDialogState *s) {
    if (s->store) std::fclose(s->store);
    s->store = nullptr;
}

void WriteBack(InstrumentDialogState *s) {
    if (s->store && s->selected >= 0) WriteInstrument(s->store, &s->record, s->selected);
}

void ShowBinoculars(HWND dialog, InstrumentDialogState *s, int skip) {
    s->busy = 1;
    OpticsBlock &m = s->record.optics[0];
    ComputeOpticsLimits(&m);
    char text[64];
    if (skip != 6056) {
        std::memcpy(text, s->record.name, 32);
        text[32] = 0;
        SetDlgItemTextA(dialog, 6056, text);
    }
    if (skip != 6058) SetItemTextOneDecimal(dialog, 6058, m.aperture);
    if (skip != 6061) {
        std::snprintf(text, sizeof text, "%.1lf", m.magnification);
        SetDlgItemTextA(dialog, 6061, text);
    }
    if (skip != 6060) {
        std::snprintf(text, sizeof text, "%.1lf\xB0", m.trueField * 180.0 / kPi);
        SetDlgItemTextA(dialog, 6060, text);
    }
    std::snprintf(text, sizeof text, "%.1lf\"", m.dawesLimit);
    SetDlgItemTextA(dialog, 6055, text);
    std::snprintf(text, sizeof text, "%.1lf", m.limitingMagnitude);
    SetDlgItemTextA(dialog, 6054, text);
    SetDlgItemTextA(dialog, 6064, m.leftRight == 1 ? "Normal" : "Mirrored");
    SetDlgItemTextA(dialog, 6063, m.upDown == 1 ? "Normal" : "Flipped");
    s->busy = 0;
}

void EnableBinocularControls(HWND dialog, bool enable) {
    const int ids[] = {6056, 6058, 6061, 6060, 6055, 6054, 6057, 6051, 6064, 6063};
    for (int id : ids) EnableWindow(GetDlgItem(dialog, id), enable);
    if (!enable) SetFocus(GetDlgItem(dialog, IDOK));
}

// Lists the pairs through a scratch record (the working record keeps the
// selected pair); no selection until a line is read again.
int FillBinocularList(HWND dialog, InstrumentDialogState *s) {
    s->selected = -1;
    HWND list = GetDlgItem(dialog, 6057);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    s->listMap.clear();
    std::unique_ptr<InstrumentRecord> r(new (std::nothrow) InstrumentRecord);
    if (!r) {
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        return -1;
    }
    for (int i = 0; i < s->count; ++i) {
        if (!ReadInstrument(s->store, r.get(), i) || r->kind != kInstrumentBinoculars) continue;
        char name[33];
        std::memcpy(name, r->name, 32);
        name[32] = 0;
        SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)name);
        s->listMap.push_back((uint16_t)i);
    }
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    return (int)s->listMap.size();
}

void SelectLine(HWND dialog, InstrumentDialogState *s, int line) {
    if (line < 0 || line >= (int)s->listMap.size()) {
        s->selected = -1;
        EnableBinocularControls(dialog, false);
        return;
    }
    SendDlgItemMessageA(dialog, 6057, LB_SETCURSEL, (WPARAM)line, 0);
    s->selected = s->listMap[(size_t)line];
    if (!ReadInstrument(s->store, &s->record, s->selected)) {
        s->selected = -1;
        return;
    }
    EnableBinocularControls(dialog, true);
    ShowBinoculars(dialog, s, 0);
}

int LineOfSelected(InstrumentDialogState *s) {
    for (size_t i = 0; i < s->listMap.size(); ++i)
        if (s->listMap[i] == s->selected) return (int)i;
    return -1;
}

// Field edits and clicks of both dialogs; 1 when handled.
int HandleBinocularField(HWND dialog, InstrumentDialogState *s, int id, int code, int checkName, int *nameChanged) {
    InstrumentRecord &r = s->record;
    if (code == EN_CHANGE) {
        if (s->busy) return 1;
        double v = 0.0;
        int ok = 0;
        switch (id) {
        case 6056: {
            char text[64] = "";
            GetDlgItemTextA(dialog, 6056, text, (int)sizeof text);
            if (checkName && !ApplyInstrumentName(&r, text)) {
                char previous[33];
                std::memcpy(previous, r.name, 32);
                previous[32] = 0;
                s->busy = 1;
                SetDlgItemTextA(dialog, 6056, previous);
                s->busy = 0;
                int end = (int)std::strlen(previous);
                SendDlgItemMessageA(dialog, 6056, EM_SETSEL, (WPARAM)end, (LPARAM)end);
            } else if (checkName) {
                if (nameChanged) *nameChanged = 1;
            } else {
                ApplyInstrumentName(&r, text);
            }
            return 1;
        }
        case 6058:
            ok = ReadPositiveNumberFromWindow(GetDlgItem(dialog, id), &v);
            if (ok) SetBinocularAperture(&r, v);
            break;
        case 6060:
            ok = ReadPositiveNumberFromWindow(GetDlgItem(dialog, id), &v);
            if (ok) SetBinocularField(&r, v);
            break;
        case 6061:
            ok = ReadPositiveNumberFromWindow(GetDlgItem(dialog, id), &v);
            if (ok) SetBinocularMagnification(&r, v);
            break;
        default:
            return 0;
        }
        if (ok) ShowBinoculars(dialog, s, id);
        return 1;
    }
    if (id == 6064) {
        r.optics[0].leftRight = ToggleImageFlag(r.optics[0].leftRight);
    } else if (id == 6063) {
        r.optics[0].upDown = ToggleImageFlag(r.optics[0].upDown);
    } else {
        return 0;
    }
    ShowBinoculars(dialog, s, 0);
    return 1;
}

void CancelBinocsDialog(HWND dialog, InstrumentDialogState *s) {
    CloseStore(s);
    if (s->backupTaken) {
        RestoreInstrumentFile();
    } else if (s->createdAtOpening) {
        char path[1024];
        if (MakeUserDataPath(path, (int)sizeof path, "instr.bin")) DeleteFileA(path);
    }
    EndDialog(dialog, 0);
}

}  // namespace

LRESULT CALLBACK BinocularListWndProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC old = (WNDPROC)GetPropA(list, kOldListProc);
    if (message == WM_KEYDOWN && wParam == VK_DELETE) {
        SendMessageA(GetParent(list), WM_COMMAND, 6051, 0);
        return 0;
    }
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
        SendMessageA(GetParent(list), WM_KEYDOWN, wParam, lParam);
        return 0;
    }
    if (message == WM_NCDESTROY) RemovePropA(list, kOldListProc);
    return old ? CallWindowProcA(old, list, message, wParam, lParam) : DefWindowProcA(list, message, wParam, lParam);
}

INT_PTR CALLBACK BinocsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    InstrumentDialogState *s = g_binocsState;
    if (!s) return FALSE;
    switch (message) {
    case WM_INITDIALOG: {
        s->dialog = dialog;
        HWND list = GetDlgItem(dialog, 6057);
        WNDPROC old = (WNDPROC)SetWindowLongPtrA(list, GWLP_WNDPROC, (LONG_PTR)BinocularListWndProc);
        SetPropA(list, kOldListProc, (HANDLE)old);
        s->createdAtOpening = UserDataFileExists("instr.bin") ? 0 : 1;
        s->backupTaken = BackupInstrumentFile();
        int32_t count = 0;
        s->store = OpenInstrumentFile(&count);
        if (!s->store && CreateInstrumentFile()) s->store = OpenInstrumentFile(&count);
        if (!s->store) {
            PostMessageA(dialog, WM_CLOSE, 0, 0);
            return TRUE;
        }
        if (!s->backupTaken && !s->createdAtOpening)
            InstrumentMessage(dialog,
                              "The instruments could not be copied to \"instr.bak\".\r\n"
                              "Changes made here cannot be undone with Cancel.",
                              MB_OK | MB_ICONWARNING);
        s->count = count;
        if (FillBinocularList(dialog, s) > 0)
            SelectLine(dialog, s, 0);
        else
            EnableBinocularControls(dialog, false);
        return TRUE;
    }
    case WM_COMMAND: {
        int id = LOWORD(wParam), code = HIWORD(wParam);
        int nameChanged = 0;
        if (HandleBinocularField(dialog, s, id, code, 1, &nameChanged)) {
            int line = LineOfSelected(s);
            if (nameChanged && line >= 0) {
                char name[33];
                std::memcpy(name, s->record.name, 32);
                name[32] = 0;
                HWND list = GetDlgItem(dialog, 6057);
                SendMessageA(list, LB_DELETESTRING, (WPARAM)line, 0);
                SendMessageA(list, LB_INSERTSTRING, (WPARAM)line, (LPARAM)name);
                SendMessageA(list, LB_SETCURSEL, (WPARAM)line, 0);
            }
            return TRUE;
        }
        switch (id) {
        case 6057:
            if (code == LBN_SELCHANGE || code == LBN_DBLCLK) {
                WriteBack(s);
                LRESULT line = SendDlgItemMessageA(dialog, 6057, LB_GETCURSEL, 0, 0);
                if (line != LB_ERR) SelectLine(dialog, s, (int)line);
                if (code == LBN_DBLCLK) SendMessageA(dialog, WM_COMMAND, IDOK, 0);
            }
            return TRUE;
        case 6052: {  // New
            if (!s->store) return TRUE;
            WriteBack(s);
            s->currentEntry = -1;
            InitNewBinoculars(&s->record);
            if (AppendInstrument(s->store, &s->record)) ++s->count;
            int listed = FillBinocularList(dialog, s);
            SelectLine(dialog, s, listed - 1);
            return TRUE;
        }
        case 6051: {  // Delete
            if (InstrumentMessage(dialog, "Delete this binocular?", MB_YESNO | MB_ICONQUESTION) != IDYES) return TRUE;
            if (s->selected < 0 || !s->store) return TRUE;
            int line = LineOfSelected(s);
            if (DeleteInstrument(s->store, s->selected)) {
                --s->count;
                int listed = FillBinocularList(dialog, s);
                if (line >= listed) line = listed - 1;
                SelectLine(dialog, s, line);
            }
            return TRUE;
        }
        case IDOK: {
            WriteBack(s);
            int templateId = -1;
            if (FindInstrumentWithoutChart(s->store, s->count)) {
                if (!AskChartDefaults(dialog, s->instance, s->record.kind)) return TRUE;
                templateId = g_templateInstrumentId;
            }
            SyncInstrumentCharts(s->store, s->count, templateId);
            CloseStore(s);
            EndDialog(dialog, 1);
            return TRUE;
        }
        case IDCANCEL:
            CancelBinocsDialog(dialog, s);
            return TRUE;
        case 9:
            ShowHelpTopic(16018);
            return TRUE;
        }
        break;
    }
    case WM_CLOSE:
        if (InstrumentMessage(dialog, "Are you sure you want to exit without saving changes?",
                              MB_YESNO | MB_ICONQUESTION) == IDYES)
            CancelBinocsDialog(dialog, s);
        return TRUE;
    case WM_DESTROY:
        s->listMap.clear();
        CloseStore(s);
        break;
    }
    return FALSE;
}

void RunBinocsDialog(HWND owner, HINSTANCE instance) {
    if (g_binocsState) return;
    InstrumentDialogState *s = new (std::nothrow) InstrumentDialogState();
    if (!s) return;
    s->instance = instance;
    s->selected = -1;
    s->currentEntry = -1;
    s->poolChoice = -1;
    g_binocsState = s;
    RunInstrumentDialog(instance, "BinocsDlg", owner, BinocsDlgProc);
    g_binocsState = nullptr;
    delete s;
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
        case IDOK:
            EndDialog(dialog, 1);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        case 9:
            ShowHelpTopic(18400);
            return TRUE;
        }
        break;
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
    if (g_binocsState || !record) return 0;
    InstrumentDialogState *s = new (std::nothrow) InstrumentDialogState();
    if (!s) return 0;
    s->instance = instance;
    s->selected = -1;
    std::memcpy(&s->record, record, sizeof *record);
    g_binocsState = s;
    INT_PTR result = RunInstrumentDialog(instance, "BinocsEditDlg", owner, BinocsEditDlgProc);
    if (result > 0) std::memcpy(record, &s->record, sizeof *record);
    g_binocsState = nullptr;
    delete s;
    return result > 0 ? 1 : 0;
}
