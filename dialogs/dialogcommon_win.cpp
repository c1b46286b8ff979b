// Shared pieces of the instrument dialogs: running a template, the numeric
// and unit texts of their fields, the message box, the instrument list and
// store handling of ScopeDlg and BinocsDlg, the default-chart question
// InstDefaultDlg and the new-telescope list ScopeSelectDlg.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "core/hostcallbacks.h"
#include "charts/chartsync.h"
#include "core/userfolder.h"
#include "dialogs/instrumentdialogs_win.h"
#include "instruments/instrumentstore.h"
#include "instruments/scoperules.h"
#include "charts/instrumentcharts.h"
#include "instruments/standardscopes.h"
#include "instruments/storeio.h"
#include "resources/helptopics.h"
#include "resources/instrumentids.h"
#include "ui/winutil_win.h"

int g_offeredInstrumentKind = 0;
int g_copyChartChoice = 0;
int g_templateInstrumentId = -1;

namespace {
HINSTANCE g_templateInstance = nullptr;
}

HINSTANCE GetInstrumentDialogInstance() { return g_templateInstance ? g_templateInstance : GetModuleHandleA(nullptr); }

INT_PTR RunInstrumentDialog(HINSTANCE instance, const char *templateName, HWND owner, DLGPROC procedure,
                            LPARAM parameter) {
    g_templateInstance = instance;
    HRSRC found = FindResourceA(instance, templateName, MAKEINTRESOURCEA(5));  // RT_DIALOG
    if (!found) return -1;
    HGLOBAL loaded = LoadResource(instance, found);
    const void *tmpl = loaded ? LockResource(loaded) : nullptr;
    if (!tmpl) return -1;
    return DialogBoxIndirectParamA(GetModuleHandleA(nullptr), static_cast<LPCDLGTEMPLATEA>(tmpl), owner,
                                   procedure, parameter);
}

int InstrumentMessage(HWND owner, const char *text, UINT type) {
    return MessageBoxA(owner, text, "Nightjar Message", type);
}

void SetItemTextOneDecimal(HWND dialog, int item, double value) {
    char text[64];
    FormatFieldOneDecimal(text, (int)sizeof text, value);
    SetDlgItemTextA(dialog, item, text);
}

void SetItemTextTwoDecimals(HWND dialog, int item, double value) {
    char text[64];
    FormatFieldTwoDecimals(text, (int)sizeof text, value);
    SetDlgItemTextA(dialog, item, text);
}

void SetItemTextInteger(HWND dialog, int item, int value) {
    char text[32];
    FormatFieldInteger(text, (int)sizeof text, value);
    SetDlgItemTextA(dialog, item, text);
}

int ReadPositiveNumberFromWindow(HWND control, double *value) {
    char text[64] = "";
    GetWindowTextA(control, text, (int)sizeof text);
    return ParsePositiveNumberText(text, value);
}

void ShowLengthInUnit(HWND dialog, int item, double mm, int unit) {
    SetItemTextOneDecimal(dialog, item, LengthInUnit(mm, unit));
}

void ShowLengthUnitLabel(HWND dialog, int item, int unit) {
    char text[32];
    std::snprintf(text, sizeof text, "(%s)", LengthUnitName(unit));
    SetDlgItemTextA(dialog, item, text);
}

void ShowAngleWithUnit(HWND dialog, int item, double value, int unit) {
    SetDlgItemTextA(dialog, item, FormatAngleWithUnit(value, unit));
}

void ShowMountingText(HWND dialog, int item, int mounting) {
    if (mounting == 0) SetDlgItemTextA(dialog, item, "Alt/Azimuth");
    if (mounting == 1) SetDlgItemTextA(dialog, item, "Equatorial");
}

void ShowLeftRightText(HWND dialog, int item, int flag) {
    if (flag == 1) SetDlgItemTextA(dialog, item, "Normal");
    if (flag == 0) SetDlgItemTextA(dialog, item, "Mirrored");
}

void ShowUpDownText(HWND dialog, int item, int flag) {
    if (flag == 1) SetDlgItemTextA(dialog, item, "Normal");
    if (flag == 0) SetDlgItemTextA(dialog, item, "Flipped");
}

FILE *OpenOrCreateInstrumentFile(int32_t *count) {
    FILE *f = OpenInstrumentFile(count);
    if (!f && CreateInstrumentFile()) f = OpenInstrumentFile(count);
    return f;
}

// ---- instrument list dialogs (ScopeDlg, BinocsDlg) ----------------------------

InstrumentDialogState *NewInstrumentDialogState(HINSTANCE instance) {
    InstrumentDialogState *s = new (std::nothrow) InstrumentDialogState();
    if (!s) return nullptr;
    s->instance = instance;
    s->selected = -1;
    s->currentEntry = -1;
    s->poolChoice = -1;
    return s;
}

void CloseInstrumentStore(InstrumentDialogState *s) {
    if (s->store) std::fclose(s->store);
    s->store = nullptr;
}

void WriteBackInstrument(InstrumentDialogState *s) {
    if (s->store && s->selected >= 0) WriteInstrument(s->store, &s->record, s->selected);
}

int OpenInstrumentStoreForEditing(HWND dialog, InstrumentDialogState *s) {
    s->createdAtOpening = UserDataFileExists("instr.bin") ? 0 : 1;
    s->backupTaken = BackupInstrumentFile();
    int32_t count = 0;
    s->store = OpenOrCreateInstrumentFile(&count);
    if (!s->store) {
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        return 0;
    }
    if (!s->backupTaken && !s->createdAtOpening)
        InstrumentMessage(dialog,
                          "The instruments could not be copied to \"instr.bak\".\r\n"
                          "Changes made here cannot be undone with Cancel.",
                          MB_OK | MB_ICONWARNING);
    s->count = count;
    return 1;
}

void CancelInstrumentListDialog(HWND dialog, InstrumentDialogState *s) {
    CloseInstrumentStore(s);
    if (s->backupTaken) {
        RestoreInstrumentFile();
    } else if (s->createdAtOpening) {
        // The store did not exist when the dialog opened: nothing to keep.
        char path[1024];
        if (MakeUserDataPath(path, (int)sizeof path, "instr.bin")) DeleteFileA(path);
    }
    EndDialog(dialog, 0);
}

int HandleInstrumentListButton(HWND dialog, InstrumentDialogState *s, int id, int helpTopic) {
    if (id == IDCANCEL) {
        CancelInstrumentListDialog(dialog, s);
        return 1;
    }
    if (id == IDHELP) {
        ShowHelpTopic(helpTopic);
        return 1;
    }
    return 0;
}

int KeepInstrumentList(HWND dialog, InstrumentDialogState *s) {
    if (!SyncChartsWithDefaults(dialog, s)) return 0;
    CloseInstrumentStore(s);
    return 1;
}

int HandleInstrumentListEnding(HWND dialog, InstrumentDialogState *s, UINT message) {
    if (message == WM_CLOSE) {
        if (InstrumentMessage(dialog, "Are you sure you want to exit without saving changes?",
                              MB_YESNO | MB_ICONQUESTION) == IDYES)
            CancelInstrumentListDialog(dialog, s);
        return 1;
    }
    if (message == WM_DESTROY) {
        s->listMap.clear();
        CloseInstrumentStore(s);
    }
    return 0;
}

int RunInstrumentListDialog(HINSTANCE instance, const char *templateName, HWND owner, DLGPROC procedure,
                            InstrumentDialogState **active) {
    if (*active) return 0;
    InstrumentDialogState *s = NewInstrumentDialogState(instance);
    if (!s) return 0;
    *active = s;
    INT_PTR result = RunInstrumentDialog(instance, templateName, owner, procedure);
    *active = nullptr;
    delete s;
    return result == 1 ? 1 : 0;
}

INT_PTR RunInstrumentEditDialog(HINSTANCE instance, const char *templateName, HWND owner, DLGPROC procedure,
                                InstrumentDialogState **active, InstrumentRecord *record) {
    if (*active || !record) return 0;
    InstrumentDialogState *s = NewInstrumentDialogState(instance);
    if (!s) return 0;
    std::memcpy(&s->record, record, sizeof *record);
    *active = s;
    INT_PTR result = RunInstrumentDialog(instance, templateName, owner, procedure);
    if (result > 0) std::memcpy(record, &s->record, sizeof *record);
    *active = nullptr;
    delete s;
    return result > 0 ? result : 0;
}

int SyncChartsWithDefaults(HWND dialog, InstrumentDialogState *s) {
    int templateId = -1;
    if (FindInstrumentWithoutChart(s->store, s->count)) {
        if (!AskChartDefaults(dialog, s->instance, s->record.kind)) return 0;
        templateId = g_templateInstrumentId;
    }
    SyncInstrumentCharts(s->store, s->count, templateId);
    return 1;
}

int FillInstrumentList(HWND dialog, InstrumentDialogState *s, const InstrumentListView &view) {
    s->selected = -1;
    HWND list = GetDlgItem(dialog, view.listId);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    std::unique_ptr<InstrumentRecord> r(new (std::nothrow) InstrumentRecord);
    bool reserved = true;
    try {
        s->listMap.assign((size_t)s->count + 1, 0);   // room for every line, so no push_back throws
        s->listMap.clear();
    } catch (...) {
        reserved = false;
    }
    if (!r || !reserved) {
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        return -1;
    }
    for (int i = 0; i < s->count; ++i) {
        if (!ReadInstrument(s->store, r.get(), i) || r->kind != view.kind) continue;
        char name[33];
        std::memcpy(name, r->name, 32);
        name[32] = 0;
        SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)name);
        s->listMap.push_back((uint16_t)i);
    }
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    return (int)s->listMap.size();
}

int LineOfSelectedInstrument(const InstrumentDialogState *s) {
    for (size_t i = 0; i < s->listMap.size(); ++i)
        if (s->listMap[i] == s->selected) return (int)i;
    return -1;
}

void SelectInstrumentLine(HWND dialog, InstrumentDialogState *s, const InstrumentListView &view, int line) {
    if (line < 0 || line >= (int)s->listMap.size()) {
        s->selected = -1;
        view.enableControls(dialog, false);
        return;
    }
    SendDlgItemMessageA(dialog, view.listId, LB_SETCURSEL, (WPARAM)line, 0);
    s->selected = s->listMap[(size_t)line];
    if (!ReadInstrument(s->store, &s->record, s->selected)) {
        s->selected = -1;
        return;
    }
    view.enableControls(dialog, true);
    view.show(dialog, s, 0);
}

void OnInstrumentListNotice(HWND dialog, InstrumentDialogState *s, const InstrumentListView &view, int code) {
    if (code != LBN_SELCHANGE && code != LBN_DBLCLK) return;
    WriteBackInstrument(s);
    LRESULT line = SendDlgItemMessageA(dialog, view.listId, LB_GETCURSEL, 0, 0);
    if (line != LB_ERR) SelectInstrumentLine(dialog, s, view, (int)line);
    if (code == LBN_DBLCLK) SendMessageA(dialog, WM_COMMAND, IDOK, 0);
}

void ShowRenamedInstrument(HWND dialog, InstrumentDialogState *s, const InstrumentListView &view) {
    int line = LineOfSelectedInstrument(s);
    if (line < 0) return;
    char name[33];
    std::memcpy(name, s->record.name, 32);
    name[32] = 0;
    HWND list = GetDlgItem(dialog, view.listId);
    SendMessageA(list, LB_DELETESTRING, (WPARAM)line, 0);
    SendMessageA(list, LB_INSERTSTRING, (WPARAM)line, (LPARAM)name);
    SendMessageA(list, LB_SETCURSEL, (WPARAM)line, 0);
}

void AppendInstrumentAndSelect(HWND dialog, InstrumentDialogState *s, const InstrumentListView &view) {
    s->currentEntry = -1;
    if (AppendInstrument(s->store, &s->record)) ++s->count;
    int listed = FillInstrumentList(dialog, s, view);
    SelectInstrumentLine(dialog, s, view, listed - 1);
}

void DeleteSelectedInstrument(HWND dialog, InstrumentDialogState *s, const InstrumentListView &view) {
    int line = LineOfSelectedInstrument(s);
    if (DeleteInstrument(&s->store, s->selected)) {
        --s->count;
        int listed = FillInstrumentList(dialog, s, view);
        if (line >= listed) line = listed - 1;
        SelectInstrumentLine(dialog, s, view, line);
    }
}

void SubclassListBox(HWND list, WNDPROC procedure, const char *oldProcProperty) {
    WNDPROC old = (WNDPROC)SetWindowLongPtrA(list, GWLP_WNDPROC, (LONG_PTR)procedure);
    SetPropA(list, oldProcProperty, (HANDLE)old);
}

LRESULT ListBoxKeys(HWND list, UINT message, WPARAM wParam, LPARAM lParam, const char *oldProcProperty,
                    int deleteCommand) {
    WNDPROC old = (WNDPROC)GetPropA(list, oldProcProperty);
    if (message == WM_KEYDOWN && wParam == VK_DELETE) {
        SendMessageA(GetParent(list), WM_COMMAND, (WPARAM)deleteCommand, 0);
        return 0;
    }
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
        SendMessageA(GetParent(list), WM_KEYDOWN, wParam, lParam);
        return 0;
    }
    if (message == WM_NCDESTROY) RemovePropA(list, oldProcProperty);
    return old ? CallWindowProcA(old, list, message, wParam, lParam) : DefWindowProcA(list, message, wParam, lParam);
}

// ---- InstDefaultDlg ------------------------------------------------------------

INT_PTR CALLBACK InstDefaultDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: {
        g_copyChartChoice = 0;
        g_templateInstrumentId = -1;
        int32_t count = 0;
        FILE *f = OpenOrCreateInstrumentFile(&count);
        if (!f) {
            PostMessageA(dialog, WM_CLOSE, 0, 0);
            return TRUE;
        }
        StoreFilePtr closer(f);
        CheckDlgButton(dialog, IDC_INSTDEFAULT_USE_DEFAULTS, BST_CHECKED);
        HWND list = GetDlgItem(dialog, IDC_INSTDEFAULT_LIST);
        std::unique_ptr<InstrumentRecord> r(new (std::nothrow) InstrumentRecord);
        int listed = 0;
        for (int i = 0; r && i < count; ++i) {
            if (!ReadInstrument(f, r.get(), i) || r->kind != g_offeredInstrumentKind) continue;
            if (IsInstrumentWithoutChart(r.get())) continue;
            // Only instruments that can hold a chart are offered as models.
            if (r->kind == kInstrumentTelescope && r->optics[0].eyepieceCount == 0) continue;
            if (r->id > 255) continue;
            char name[33];
            std::memcpy(name, r->name, 32);
            name[32] = 0;
            LRESULT line = SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)name);
            SendMessageA(list, LB_SETITEMDATA, (WPARAM)line, (LPARAM)r->id);
            ++listed;
        }
        EnableWindow(list, FALSE);
        if (!listed) {
            EndDialog(dialog, 1);
            return TRUE;
        }
        SetFocus(GetDlgItem(dialog, IDOK));
        return FALSE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_INSTDEFAULT_USE_DEFAULTS:
            g_copyChartChoice = 0;
            EnableWindow(GetDlgItem(dialog, IDC_INSTDEFAULT_LIST), FALSE);
            return TRUE;
        case IDC_INSTDEFAULT_COPY:
            g_copyChartChoice = 1;
            EnableWindow(GetDlgItem(dialog, IDC_INSTDEFAULT_LIST), TRUE);
            return TRUE;
        case IDOK:
            if (g_copyChartChoice) {
                LRESULT line = SendDlgItemMessageA(dialog, IDC_INSTDEFAULT_LIST, LB_GETCURSEL, 0, 0);
                if (line == LB_ERR) return TRUE;
                g_templateInstrumentId =
                    (int)SendDlgItemMessageA(dialog, IDC_INSTDEFAULT_LIST, LB_GETITEMDATA, (WPARAM)line, 0);
            } else {
                g_templateInstrumentId = -1;
            }
            EndDialog(dialog, 1);
            return TRUE;
        }
        return HandleDialogEndButton(dialog, LOWORD(wParam), IDH_INSTRUMENT_DEFAULTS);
    case WM_CLOSE:
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

int AskChartDefaults(HWND owner, HINSTANCE instance, int kind) {
    g_offeredInstrumentKind = kind;
    g_templateInstrumentId = -1;
    INT_PTR result = RunInstrumentDialog(instance, "InstDefaultDlg", owner, InstDefaultDlgProc);
    return result == 0 ? 0 : 1;
}

// ---- ScopeSelectDlg ------------------------------------------------------------

namespace {

// The new-telescope defaults, and the standard row of line k > 0 over them.
void ApplyScopeSelectLine(int line) {
    InstrumentDialogState *s = GetScopeDialogState();
    if (!s || line < 0) return;
    ApplyNewTelescopeDefaults(&s->record);
    if (line == 0) return;
    int32_t count = 0;
    FILE *f = OpenStandardTelescopeList(&count);
    if (!f) return;
    StandardTelescopeRow row;
    if (line - 1 < count && ReadStandardTelescopeRow(f, line - 1, &row)) ApplyStandardTelescopeRow(&s->record, &row);
    std::fclose(f);
}

}  // namespace

INT_PTR CALLBACK ScopeSelectDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: {
        HWND list = GetDlgItem(dialog, IDC_SCOPESELECT_LIST);
        // "Enter Manually" is always there and chosen, so that OK never keeps
        // the telescope last shown (New would then append a copy of it).
        SendMessageA(list, LB_ADDSTRING, 0, (LPARAM) "Enter Manually");
        int32_t count = 0;
        FILE *f = OpenStandardTelescopeList(&count);
        if (f) {
            StandardTelescopeRow row;
            for (int i = 0; i < count; ++i) {
                if (!ReadStandardTelescopeRow(f, i, &row)) break;
                SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)row.name);
            }
            std::fclose(f);
        }
        SendMessageA(list, LB_SETCURSEL, 0, 0);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_SCOPESELECT_LIST:
            if (HIWORD(wParam) == LBN_SELCHANGE || HIWORD(wParam) == LBN_DBLCLK) {
                LRESULT line = SendDlgItemMessageA(dialog, IDC_SCOPESELECT_LIST, LB_GETCURSEL, 0, 0);
                if (line == LB_ERR) return TRUE;
                ApplyScopeSelectLine((int)line);
                if (HIWORD(wParam) == LBN_DBLCLK) EndDialog(dialog, 1);
            }
            return TRUE;
        case IDOK: {
            LRESULT line = SendDlgItemMessageA(dialog, IDC_SCOPESELECT_LIST, LB_GETCURSEL, 0, 0);
            ApplyScopeSelectLine(line == LB_ERR ? 0 : (int)line);
            EndDialog(dialog, 1);
            return TRUE;
        }
        }
        return HandleDialogEndButton(dialog, LOWORD(wParam), IDH_STANDARD_TELESCOPES);
    }
    return FALSE;
}
