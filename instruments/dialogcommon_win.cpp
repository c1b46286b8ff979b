// Shared pieces of the instrument dialogs: running a template, the numeric
// and unit texts of their fields, the message box, the default-chart
// question InstDefaultDlg and the new-telescope list ScopeSelectDlg.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "app/gleaner_win.h"
#include "instruments/instrumentdialogs_win.h"
#include "instruments/instrumentstore.h"
#include "instruments/scoperules.h"
#include "instruments/standardscopes.h"
#include "instruments/storeio.h"

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

// ---- InstDefaultDlg ------------------------------------------------------------

INT_PTR CALLBACK InstDefaultDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: {
        g_copyChartChoice = 0;
        g_templateInstrumentId = -1;
        int32_t count = 0;
        FILE *f = OpenInstrumentFile(&count);
        if (!f && CreateInstrumentFile()) f = OpenInstrumentFile(&count);
        if (!f) {
            PostMessageA(dialog, WM_CLOSE, 0, 0);
            return TRUE;
        }
        StoreFilePtr closer(f);
        CheckDlgButton(dialog, 6047, BST_CHECKED);
        HWND list = GetDlgItem(dialog, 6046);
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
        SetFocus(GetDlgItem(dialog, 1));
        return FALSE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case 6047:
            g_copyChartChoice = 0;
            EnableWindow(GetDlgItem(dialog, 6046), FALSE);
            return TRUE;
        case 6048:
            g_copyChartChoice = 1;
            EnableWindow(GetDlgItem(dialog, 6046), TRUE);
            return TRUE;
        case IDOK:
            if (g_copyChartChoice) {
                LRESULT line = SendDlgItemMessageA(dialog, 6046, LB_GETCURSEL, 0, 0);
                if (line == LB_ERR) return TRUE;
                g_templateInstrumentId = (int)SendDlgItemMessageA(dialog, 6046, LB_GETITEMDATA, (WPARAM)line, 0);
            } else {
                g_templateInstrumentId = -1;
            }
            EndDialog(dialog, 1);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        case 9:
            ShowHelpTopic(19530);
            return TRUE;
        }
        break;
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
        HWND list = GetDlgItem(dialog, 6078);
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
        case 6078:
            if (HIWORD(wParam) == LBN_SELCHANGE || HIWORD(wParam) == LBN_DBLCLK) {
                LRESULT line = SendDlgItemMessageA(dialog, 6078, LB_GETCURSEL, 0, 0);
                if (line == LB_ERR) return TRUE;
                ApplyScopeSelectLine((int)line);
                if (HIWORD(wParam) == LBN_DBLCLK) EndDialog(dialog, 1);
            }
            return TRUE;
        case IDOK: {
            LRESULT line = SendDlgItemMessageA(dialog, 6078, LB_GETCURSEL, 0, 0);
            ApplyScopeSelectLine(line == LB_ERR ? 0 : (int)line);
            EndDialog(dialog, 1);
            return TRUE;
        }
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        case 9:
            ShowHelpTopic(10472);
            return TRUE;
        }
        break;
    }
    return FALSE;
}
