// The telescope dialogs: ScopeDlg edits every telescope of instr.bin in place
// (instr.bak taken at opening, put back on Cancel); ScopeEditDlg edits one
// telescope held in memory and can add it to the store.
#include <windows.h>
#include <commctrl.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "core/hostcallbacks.h"
#include "core/resstrings.h"
#include "dialogs/instrumentdialogs_win.h"
#include "instruments/instrumentstore.h"
#include "instruments/optics.h"
#include "instruments/poollink.h"
#include "instruments/scoperules.h"
#include "instruments/standardscopes.h"
#include "instruments/storeio.h"
#include "core/mathutil.h"

namespace {

const char kOldListProc[] = "InstrumentListProc";

InstrumentDialogState *g_scopeState = nullptr;

void ShowScope(HWND dialog, InstrumentDialogState *s, int skip) {
    s->busy = 1;
    InstrumentRecord &r = s->record;
    OpticsBlock &m = r.optics[0];
    ComputeOpticsLimits(&m);
    char text[64];
    if (skip != 6008) {
        std::memcpy(text, r.name, 32);
        text[32] = 0;
        SetDlgItemTextA(dialog, 6008, text);
    }
    SendDlgItemMessageA(dialog, 6019, CB_SETCURSEL, m.type >= 1 && m.type <= 3 ? m.type - 1 : (WPARAM)-1, 0);
    SendDlgItemMessageA(dialog, 6018, CB_SETCURSEL, (WPARAM)ConditionIndex(m.condition), 0);
    if (skip != 6015) ShowLengthInUnit(dialog, 6015, m.aperture, r.displayUnit);
    if (skip != 6016) ShowLengthInUnit(dialog, 6016, m.focalLength, r.displayUnit);
    ShowLengthUnitLabel(dialog, 6037, r.displayUnit);
    ShowLengthUnitLabel(dialog, 6036, r.displayUnit);
    if (skip != 6017) {
        std::snprintf(text, sizeof text, "%.1lf", m.focalRatio);
        SetDlgItemTextA(dialog, 6017, text);
    }
    ShowLeftRightText(dialog, 6035, m.leftRight);
    ShowUpDownText(dialog, 6034, m.upDown);
    ShowMountingText(dialog, 6039, r.mounting);
    // Finder.
    bool finder = r.opticsCount > 1;
    const int finderIds[] = {6006, 6005, 6002, 6001, 6003, 6000};
    for (int id : finderIds) EnableWindow(GetDlgItem(dialog, id), finder);
    CheckDlgButton(dialog, 6009, finder ? BST_CHECKED : BST_UNCHECKED);
    if (finder) {
        OpticsBlock &f = r.optics[1];
        ComputeOpticsLimits(&f);
        if (skip != 6005) SetItemTextOneDecimal(dialog, 6005, f.aperture);
        if (skip != 6006) {
            std::snprintf(text, sizeof text, "%.1lf", f.magnification);
            SetDlgItemTextA(dialog, 6006, text);
        }
        ShowLeftRightText(dialog, 6002, f.leftRight);
        ShowUpDownText(dialog, 6001, f.upDown);
        std::snprintf(text, sizeof text, "%.1lf", f.limitingMagnitude);
        SetDlgItemTextA(dialog, 6000, text);
        if (f.trueField < 0.01) f.trueField = 0.08726646259971647;
        if (skip != 6003) ShowAngleWithUnit(dialog, 6003, f.trueField * 180.0 / kPi, 0);
    }
    // Sight.
    bool sight = (r.sightFlags & 1) != 0;
    bool crossHairs = (r.sightFlags >> 4) == 1;
    CheckDlgButton(dialog, 6007, sight ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(dialog, 6013), sight);
    EnableWindow(GetDlgItem(dialog, 6014), sight);
    CheckRadioButton(dialog, 6013, 6014, crossHairs ? 6014 : 6013);
    for (int i = 0; i < 3; ++i) {
        EnableWindow(GetDlgItem(dialog, 6010 + i), sight && !crossHairs);
        if (skip != 6010 + i) SetItemTextOneDecimal(dialog, 6010 + i, r.rings[i] * 180.0 / kPi);
    }
    s->busy = 0;
}

// Every control but New, Done, Cancel and Help follows the flag.
void EnableTelescopeControls(HWND dialog, bool enable) {
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        int id = GetDlgCtrlID(c);
        if (id == 6026 || id == IDOK || id == IDCANCEL || id == 9) continue;
        EnableWindow(c, enable);
    }
    if (!enable) SetFocus(GetDlgItem(dialog, IDOK));
}

const InstrumentListView kTelescopeList = {6028, kInstrumentTelescope, EnableTelescopeControls, ShowScope};

double ReadFieldValue(HWND dialog, int id, int *ok) {
    double v = 0.0;
    *ok = ReadPositiveNumberFromWindow(GetDlgItem(dialog, id), &v);
    return v;
}

// Field edits and clicks shared by both telescope dialogs. 1 when handled;
// *nameChanged tells the list dialog to replace the line.
int HandleScopeFieldCommand(HWND dialog, InstrumentDialogState *s, int id, int code, int *nameChanged) {
    InstrumentRecord &r = s->record;
    OpticsBlock &m = r.optics[0];
    OpticsBlock &f = r.optics[1];
    int ok = 0;
    if (code == EN_CHANGE) {
        if (s->busy) return 1;
        switch (id) {
        case 6008: {
            char text[64] = "";
            GetDlgItemTextA(dialog, 6008, text, (int)sizeof text);
            if (!ApplyInstrumentName(&r, text)) {
                char previous[33];
                std::memcpy(previous, r.name, 32);
                previous[32] = 0;
                s->busy = 1;
                SetDlgItemTextA(dialog, 6008, previous);
                s->busy = 0;
                int end = (int)std::strlen(previous);
                SendDlgItemMessageA(dialog, 6008, EM_SETSEL, (WPARAM)end, (LPARAM)end);
            } else if (nameChanged) {
                *nameChanged = 1;
            }
            return 1;
        }
        case 6015: {
            double v = ReadFieldValue(dialog, id, &ok);
            if (ok) SetTelescopeAperture(&r, v);
            break;
        }
        case 6016: {
            double v = ReadFieldValue(dialog, id, &ok);
            if (ok) SetTelescopeFocalLength(&r, v);
            break;
        }
        case 6017: {
            double v = ReadFieldValue(dialog, id, &ok);
            if (ok) SetTelescopeFocalRatio(&r, v);
            break;
        }
        case 6005:
        case 6006: {
            double v = ReadFieldValue(dialog, id, &ok);
            if (ok) {
                if (id == 6005)
                    f.aperture = v;
                else
                    f.magnification = v;
                f.eyepieceCount = 0;
                f.cameraCount = 0;
            }
            break;
        }
        case 6003: {
            double v = ReadFieldValue(dialog, id, &ok);
            if (ok) f.trueField = v * kPi / 180.0;
            break;
        }
        case 6010:
        case 6011:
        case 6012: {
            double v = ReadFieldValue(dialog, id, &ok);
            r.rings[id - 6010] = ok ? (float)(v * kPi / 180.0) : 0.0f;
            return 1;
        }
        default:
            return 0;
        }
        ShowScope(dialog, s, id);
        return 1;
    }
    if (code == CBN_SELCHANGE && (id == 6019 || id == 6018)) {
        LRESULT line = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
        if (line == CB_ERR) return 1;
        if (id == 6019)
            m.type = (uint8_t)(line + 1);
        else
            m.condition = ConditionForIndex((int)line);
        ShowScope(dialog, s, 0);
        return 1;
    }
    switch (id) {
    case 6035: m.leftRight = ToggleImageFlag(m.leftRight); break;
    case 6034: m.upDown = ToggleImageFlag(m.upDown); break;
    case 6002: f.leftRight = ToggleImageFlag(f.leftRight); break;
    case 6001: f.upDown = ToggleImageFlag(f.upDown); break;
    case 6039: r.mounting = r.mounting == 0 ? 1 : 0; break;
    case 6036:
    case 6037: r.displayUnit = (uint8_t)NextLengthUnit(r.displayUnit); break;
    case 6007: r.sightFlags ^= 1; break;
    case 6013: r.sightFlags &= 0x0F; break;
    case 6014: r.sightFlags = (uint8_t)((r.sightFlags & 0x0F) | 0x10); break;
    case 6009: ToggleMagnifyingFinder(&r); break;
    default: return 0;
    }
    ShowScope(dialog, s, 0);
    return 1;
}

void FillCombos(HWND dialog) {
    const char *types[] = {"Refractor", "Reflector", "SCT"};
    for (const char *t : types) SendDlgItemMessageA(dialog, 6019, CB_ADDSTRING, 0, (LPARAM)t);
    const char *conditions[] = {"very clean", "clean", "a little dirty", "dirty", "filthy"};
    for (const char *c : conditions) SendDlgItemMessageA(dialog, 6018, CB_ADDSTRING, 0, (LPARAM)c);
}

// The eyepiece dialog, then the eyepieces rebuilt from the ids it leaves.
void RunEyepieces(HWND dialog, InstrumentDialogState *s) {
    INT_PTR result = RunInstrumentDialog(s->instance, "EyepDlg", dialog, EyepDlgProc);
    if (result > 0) RebuildTelescopeEyepieces(&s->record.optics[0], AssignedEyepieceIds.ids.data(),
                                               (int)AssignedEyepieceIds.ids.size(), &s->currentEntry);
    AssignedEyepieceIds.ids.clear();
    ShowScope(dialog, s, 0);
}

}  // namespace

InstrumentDialogState *GetScopeDialogState() { return g_scopeState; }

LRESULT CALLBACK TelescopeListWndProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    return ListBoxKeys(list, message, wParam, lParam, kOldListProc, 6025);
}

INT_PTR CALLBACK ScopeDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    InstrumentDialogState *s = g_scopeState;
    if (!s) return FALSE;
    switch (message) {
    case WM_INITDIALOG: {
        s->dialog = dialog;
        if (!OpenInstrumentStoreForEditing(dialog, s)) return TRUE;
        FillCombos(dialog);
        SubclassListBox(GetDlgItem(dialog, 6028), TelescopeListWndProc, kOldListProc);
        int listed = FillInstrumentList(dialog, s, kTelescopeList);
        if (listed > 0)
            SelectInstrumentLine(dialog, s, kTelescopeList, 0);
        else
            EnableTelescopeControls(dialog, false);
        return TRUE;
    }
    case WM_NOTIFY: {
        NMHDR *h = (NMHDR *)lParam;
        if (h->idFrom == 6040 && h->code == UDN_DELTAPOS) {
            NMUPDOWN *ud = (NMUPDOWN *)lParam;
            int line = LineOfSelectedInstrument(s);
            if (line < 0 || !s->store) return TRUE;
            int direction = ud->iDelta > 0 ? 1 : ud->iDelta < 0 ? -1 : 0;
            if ((direction > 0 && line == (int)s->listMap.size() - 1) || (direction < 0 && line == 0) ||
                direction == 0)
                return TRUE;
            WriteBackInstrument(s);
            int moved = -1;
            int from = s->selected;
            if (MoveInstrument(s->store, from, s->count, direction, &moved) && moved >= 0) line += direction;
            FillInstrumentList(dialog, s, kTelescopeList);
            SelectInstrumentLine(dialog, s, kTelescopeList, line);
            return TRUE;
        }
        break;
    }
    case WM_COMMAND: {
        int id = LOWORD(wParam), code = HIWORD(wParam);
        int nameChanged = 0;
        if (id != 6028 && HandleScopeFieldCommand(dialog, s, id, code, &nameChanged)) {
            if (nameChanged) ShowRenamedInstrument(dialog, s, kTelescopeList);
            return TRUE;
        }
        switch (id) {
        case 6028:
            OnInstrumentListNotice(dialog, s, kTelescopeList, code);
            return TRUE;
        case 6026: {  // New
            if (!s->store) return TRUE;
            WriteBackInstrument(s);
            std::unique_ptr<InstrumentRecord> before(new (std::nothrow) InstrumentRecord);
            if (!before) return TRUE;
            std::memcpy(before.get(), &s->record, sizeof s->record);
            INT_PTR result = RunInstrumentDialog(s->instance, "ScopeSelectDlg", dialog, ScopeSelectDlgProc);
            if (result != 1) {
                // The list dialog may have shown a standard telescope in the
                // working record: the selected one comes back.
                std::memcpy(&s->record, before.get(), sizeof s->record);
                return TRUE;
            }
            AppendInstrumentAndSelect(dialog, s, kTelescopeList);
            return TRUE;
        }
        case 6025:  // Delete
            if (s->selected < 0 || !s->store) return TRUE;
            if (InstrumentMessage(dialog, "Delete this telescope?", MB_YESNO | MB_ICONQUESTION) != IDYES)
                return TRUE;
            DeleteSelectedInstrument(dialog, s, kTelescopeList);
            return TRUE;
        case 6032:  // eyepieces
            WriteBackInstrument(s);
            RunEyepieces(dialog, s);
            WriteBackInstrument(s);
            return TRUE;
        case IDOK: {
            WriteBackInstrument(s);
            if (!CheckTelescopesHaveOptics(s->store, s->count)) {
                InstrumentMessage(dialog,
                                  "One or more of the telescopes has no eyepieces or cameras assigned to it.\r\n"
                                  "Please assign at least one eyepiece or camera to each telescope.",
                                  MB_OK);
                return TRUE;
            }
            if (!SyncChartsWithDefaults(dialog, s)) return TRUE;
            CloseInstrumentStore(s);
            NotifyInstrumentsChanged();
            if (UseProVariant()) NotifyEditionInstrumentsChanged();
            EndDialog(dialog, 1);
            return TRUE;
        }
        case IDCANCEL:
            CancelInstrumentListDialog(dialog, s);
            return TRUE;
        case 9:
            ShowHelpTopic(16016);
            return TRUE;
        }
        break;
    }
    case WM_CLOSE:
        if (InstrumentMessage(dialog, "Are you sure you want to exit without saving changes?",
                              MB_YESNO | MB_ICONQUESTION) == IDYES)
            CancelInstrumentListDialog(dialog, s);
        return TRUE;
    case WM_DESTROY:
        s->listMap.clear();
        CloseInstrumentStore(s);
        break;
    }
    return FALSE;
}

void RunScopeDialog(HWND owner, HINSTANCE instance) {
    if (g_scopeState) return;
    InstrumentDialogState *s = NewInstrumentDialogState(instance);
    if (!s) return;
    g_scopeState = s;
    RunInstrumentDialog(instance, UseProVariant() ? "ScopeDlgPro" : "ScopeDlg", owner, ScopeDlgProc);
    g_scopeState = nullptr;
    delete s;
}

namespace {

int StoreHoldsName(const InstrumentRecord &r) {
    int32_t count = 0;
    StoreFilePtr f(OpenInstrumentFile(&count));
    if (!f) return 0;
    std::unique_ptr<InstrumentRecord> probe(new (std::nothrow) InstrumentRecord);
    if (!probe) return 0;
    std::memcpy(probe.get(), &r, sizeof r);
    int index = -1;
    return FindInstrumentByName(f.get(), probe.get(), count, &index) ? 1 : 0;
}

void EnableSave(HWND dialog, InstrumentDialogState *s) {
    const OpticsBlock &m = s->record.optics[0];
    bool optics = m.eyepieceCount > 0 || m.cameraCount > 0;
    EnableWindow(GetDlgItem(dialog, 6023), optics && !s->stored);
}

}  // namespace

INT_PTR CALLBACK ScopeEditDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    InstrumentDialogState *s = g_scopeState;
    if (!s) return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        s->dialog = dialog;
        FillCombos(dialog);
        ShowScope(dialog, s, 0);
        s->stored = StoreHoldsName(s->record);
        EnableSave(dialog, s);
        return TRUE;
    case WM_COMMAND: {
        int id = LOWORD(wParam), code = HIWORD(wParam);
        if (HandleScopeFieldCommand(dialog, s, id, code, nullptr)) return TRUE;
        switch (id) {
        case 6032:
            RunEyepieces(dialog, s);
            EnableSave(dialog, s);
            return TRUE;
        case 6023: {  // Save in Database
            int32_t count = 0;
            s->store = OpenOrCreateInstrumentFile(&count);
            if (!s->store) return TRUE;
            s->count = count;
            s->currentEntry = -1;
            if (AppendInstrument(s->store, &s->record)) {
                ++s->count;
                s->stored = 1;
                EnableSave(dialog, s);
                int synced = SyncChartsWithDefaults(dialog, s);
                CloseInstrumentStore(s);
                if (synced) EndDialog(dialog, 1);
                return TRUE;
            }
            CloseInstrumentStore(s);
            return TRUE;
        }
        case IDOK:
            EndDialog(dialog, 1);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        case 9:
            ShowHelpTopic(18390);
            return TRUE;
        }
        break;
    }
    case WM_CLOSE:
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

int RunScopeEditDialog(HWND owner, HINSTANCE instance, InstrumentRecord *record) {
    if (g_scopeState || !record) return 0;
    InstrumentDialogState *s = NewInstrumentDialogState(instance);
    if (!s) return 0;
    std::memcpy(&s->record, record, sizeof *record);
    g_scopeState = s;
    INT_PTR result =
        RunInstrumentDialog(instance, UseProVariant() ? "ScopeEditDlgPro" : "ScopeEditDlg", owner, ScopeEditDlgProc);
    if (result > 0) std::memcpy(record, &s->record, sizeof *record);
    g_scopeState = nullptr;
    delete s;
    return result > 0 ? (int)result : 0;
}
