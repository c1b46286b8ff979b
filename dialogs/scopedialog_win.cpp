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
#include "dialogs/telescopereport_win.h"
#include "instruments/instrumentstore.h"
#include "instruments/optics.h"
#include "instruments/poollink.h"
#include "instruments/scoperules.h"
#include "instruments/standardscopes.h"
#include "instruments/storeio.h"
#include "core/mathutil.h"
#include "resources/helptopics.h"
#include "resources/instrumentids.h"
#include "ui/winutil_win.h"

namespace {

const char kOldListProc[] = "InstrumentListProc";

InstrumentDialogState *g_scopeState = nullptr;

void ShowScope(HWND dialog, InstrumentDialogState *s, int skip) {
    s->busy = 1;
    InstrumentRecord &r = s->record;
    OpticsBlock &m = r.optics[0];
    ComputeOpticsLimits(&m);
    char text[64];
    if (skip != IDC_SCOPE_NAME) {
        std::memcpy(text, r.name, 32);
        text[32] = 0;
        SetDlgItemTextA(dialog, IDC_SCOPE_NAME, text);
    }
    SendDlgItemMessageA(dialog, IDC_SCOPE_TYPE, CB_SETCURSEL,
                        m.type >= 1 && m.type <= 3 ? m.type - 1 : (WPARAM)-1, 0);
    SendDlgItemMessageA(dialog, IDC_SCOPE_OPTICS, CB_SETCURSEL, (WPARAM)ConditionIndex(m.condition), 0);
    if (skip != IDC_SCOPE_APERTURE) ShowLengthInUnit(dialog, IDC_SCOPE_APERTURE, m.aperture, r.displayUnit);
    if (skip != IDC_SCOPE_FOCAL_LENGTH)
        ShowLengthInUnit(dialog, IDC_SCOPE_FOCAL_LENGTH, m.focalLength, r.displayUnit);
    ShowLengthUnitLabel(dialog, IDC_SCOPE_APERTURE_UNIT, r.displayUnit);
    ShowLengthUnitLabel(dialog, IDC_SCOPE_FOCAL_LENGTH_UNIT, r.displayUnit);
    if (skip != IDC_SCOPE_FOCAL_RATIO) {
        std::snprintf(text, sizeof text, "%.1lf", m.focalRatio);
        SetDlgItemTextA(dialog, IDC_SCOPE_FOCAL_RATIO, text);
    }
    ShowLeftRightText(dialog, IDC_SCOPE_LEFT_RIGHT, m.leftRight);
    ShowUpDownText(dialog, IDC_SCOPE_UP_DOWN, m.upDown);
    ShowMountingText(dialog, IDC_SCOPE_MOUNT, r.mounting);
    // Finder.
    bool finder = r.opticsCount > 1;
    const int finderIds[] = {IDC_SCOPE_FINDER_MAGNIFICATION, IDC_SCOPE_FINDER_APERTURE,
                             IDC_SCOPE_FINDER_LEFT_RIGHT,    IDC_SCOPE_FINDER_UP_DOWN,
                             IDC_SCOPE_FINDER_FIELD,         IDC_SCOPE_FINDER_LIMIT};
    for (int id : finderIds) EnableWindow(GetDlgItem(dialog, id), finder);
    CheckDlgButton(dialog, IDC_SCOPE_FINDER, finder ? BST_CHECKED : BST_UNCHECKED);
    if (finder) {
        OpticsBlock &f = r.optics[1];
        ComputeOpticsLimits(&f);
        if (skip != IDC_SCOPE_FINDER_APERTURE)
            SetItemTextOneDecimal(dialog, IDC_SCOPE_FINDER_APERTURE, f.aperture);
        if (skip != IDC_SCOPE_FINDER_MAGNIFICATION) {
            std::snprintf(text, sizeof text, "%.1lf", f.magnification);
            SetDlgItemTextA(dialog, IDC_SCOPE_FINDER_MAGNIFICATION, text);
        }
        ShowLeftRightText(dialog, IDC_SCOPE_FINDER_LEFT_RIGHT, f.leftRight);
        ShowUpDownText(dialog, IDC_SCOPE_FINDER_UP_DOWN, f.upDown);
        std::snprintf(text, sizeof text, "%.1lf", f.limitingMagnitude);
        SetDlgItemTextA(dialog, IDC_SCOPE_FINDER_LIMIT, text);
        if (f.trueField < 0.01) f.trueField = 0.08726646259971647;
        if (skip != IDC_SCOPE_FINDER_FIELD)
            ShowAngleWithUnit(dialog, IDC_SCOPE_FINDER_FIELD, f.trueField * 180.0 / kPi, 0);
    }
    // Sight.
    bool sight = (r.sightFlags & 1) != 0;
    bool crossHairs = (r.sightFlags >> 4) == 1;
    CheckDlgButton(dialog, IDC_SCOPE_REFLEX_SIGHT, sight ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(dialog, IDC_SCOPE_BULLSEYE), sight);
    EnableWindow(GetDlgItem(dialog, IDC_SCOPE_CROSS_HAIRS), sight);
    CheckRadioButton(dialog, IDC_SCOPE_BULLSEYE, IDC_SCOPE_CROSS_HAIRS,
                     crossHairs ? IDC_SCOPE_CROSS_HAIRS : IDC_SCOPE_BULLSEYE);
    for (int i = 0; i < 3; ++i) {
        EnableWindow(GetDlgItem(dialog, IDC_SCOPE_RING1 + i), sight && !crossHairs);
        if (skip != IDC_SCOPE_RING1 + i)
            SetItemTextOneDecimal(dialog, IDC_SCOPE_RING1 + i, r.rings[i] * 180.0 / kPi);
    }
    s->busy = 0;
}

// Every control but New, Done, Cancel and Help follows the flag.
void EnableTelescopeControls(HWND dialog, bool enable) {
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        int id = GetDlgCtrlID(c);
        if (id == IDC_SCOPE_NEW || id == IDOK || id == IDCANCEL || id == IDHELP) continue;
        EnableWindow(c, enable);
    }
    if (!enable) SetFocus(GetDlgItem(dialog, IDOK));
}

const InstrumentListView kTelescopeList = {IDC_SCOPE_LIST, kInstrumentTelescope, EnableTelescopeControls,
                                           ShowScope};

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
        case IDC_SCOPE_NAME: {
            char text[64] = "";
            GetDlgItemTextA(dialog, IDC_SCOPE_NAME, text, (int)sizeof text);
            if (!ApplyInstrumentName(&r, text)) {
                char previous[33];
                std::memcpy(previous, r.name, 32);
                previous[32] = 0;
                s->busy = 1;
                SetDlgItemTextA(dialog, IDC_SCOPE_NAME, previous);
                s->busy = 0;
                int end = (int)std::strlen(previous);
                SendDlgItemMessageA(dialog, IDC_SCOPE_NAME, EM_SETSEL, (WPARAM)end, (LPARAM)end);
            } else if (nameChanged) {
                *nameChanged = 1;
            }
            return 1;
        }
        case IDC_SCOPE_APERTURE: {
            double v = ReadFieldValue(dialog, id, &ok);
            if (ok) SetTelescopeAperture(&r, v);
            break;
        }
        case IDC_SCOPE_FOCAL_LENGTH: {
            double v = ReadFieldValue(dialog, id, &ok);
            if (ok) SetTelescopeFocalLength(&r, v);
            break;
        }
        case IDC_SCOPE_FOCAL_RATIO: {
            double v = ReadFieldValue(dialog, id, &ok);
            if (ok) SetTelescopeFocalRatio(&r, v);
            break;
        }
        case IDC_SCOPE_FINDER_APERTURE:
        case IDC_SCOPE_FINDER_MAGNIFICATION: {
            double v = ReadFieldValue(dialog, id, &ok);
            if (ok) {
                if (id == IDC_SCOPE_FINDER_APERTURE)
                    f.aperture = v;
                else
                    f.magnification = v;
                f.eyepieceCount = 0;
                f.cameraCount = 0;
            }
            break;
        }
        case IDC_SCOPE_FINDER_FIELD: {
            double v = ReadFieldValue(dialog, id, &ok);
            if (ok) f.trueField = v * kPi / 180.0;
            break;
        }
        case IDC_SCOPE_RING1:
        case IDC_SCOPE_RING2:
        case IDC_SCOPE_RING3: {
            double v = ReadFieldValue(dialog, id, &ok);
            r.rings[id - IDC_SCOPE_RING1] = ok ? (float)(v * kPi / 180.0) : 0.0f;
            return 1;
        }
        default:
            return 0;
        }
        ShowScope(dialog, s, id);
        return 1;
    }
    if (code == CBN_SELCHANGE && (id == IDC_SCOPE_TYPE || id == IDC_SCOPE_OPTICS)) {
        LRESULT line = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
        if (line == CB_ERR) return 1;
        if (id == IDC_SCOPE_TYPE)
            m.type = (uint8_t)(line + 1);
        else
            m.condition = ConditionForIndex((int)line);
        ShowScope(dialog, s, 0);
        return 1;
    }
    switch (id) {
    case IDC_SCOPE_LEFT_RIGHT: m.leftRight = ToggleImageFlag(m.leftRight); break;
    case IDC_SCOPE_UP_DOWN: m.upDown = ToggleImageFlag(m.upDown); break;
    case IDC_SCOPE_FINDER_LEFT_RIGHT: f.leftRight = ToggleImageFlag(f.leftRight); break;
    case IDC_SCOPE_FINDER_UP_DOWN: f.upDown = ToggleImageFlag(f.upDown); break;
    case IDC_SCOPE_MOUNT: r.mounting = r.mounting == 0 ? 1 : 0; break;
    case IDC_SCOPE_FOCAL_LENGTH_UNIT:
    case IDC_SCOPE_APERTURE_UNIT: r.displayUnit = (uint8_t)NextLengthUnit(r.displayUnit); break;
    case IDC_SCOPE_REFLEX_SIGHT: r.sightFlags ^= 1; break;
    case IDC_SCOPE_BULLSEYE: r.sightFlags &= 0x0F; break;
    case IDC_SCOPE_CROSS_HAIRS: r.sightFlags = (uint8_t)((r.sightFlags & 0x0F) | 0x10); break;
    case IDC_SCOPE_FINDER: ToggleMagnifyingFinder(&r); break;
    default: return 0;
    }
    ShowScope(dialog, s, 0);
    return 1;
}

void FillCombos(HWND dialog) {
    const char *types[] = {"Refractor", "Reflector", "SCT"};
    for (const char *t : types) SendDlgItemMessageA(dialog, IDC_SCOPE_TYPE, CB_ADDSTRING, 0, (LPARAM)t);
    const char *conditions[] = {"very clean", "clean", "a little dirty", "dirty", "filthy"};
    for (const char *c : conditions)
        SendDlgItemMessageA(dialog, IDC_SCOPE_OPTICS, CB_ADDSTRING, 0, (LPARAM)c);
}

// The eyepiece dialog, then the eyepieces rebuilt from the ids it leaves.
void RunEyepieces(HWND dialog, InstrumentDialogState *s) {
    INT_PTR result = RunInstrumentDialog(s->instance, "EyepDlg", dialog, EyepDlgProc);
    if (result > 0) RebuildTelescopeEyepieces(&s->record.optics[0], AssignedEyepieceIds.ids.data(),
                                               (int)AssignedEyepieceIds.ids.size(), &s->currentEntry);
    AssignedEyepieceIds.ids.clear();
    ShowScope(dialog, s, 0);
}

// The camera dialog (professional forms); after its OK every camera's
// filters are completed for its curve, with the five standard bands. Its
// Cancel has put the cameras back as they were.
void RunCameras(HWND dialog, InstrumentDialogState *s) {
    INT_PTR result = RunInstrumentDialog(s->instance, "CamDlg", dialog, CamDlgProc);
    if (result > 0) CompleteCameraFilters(&s->record.optics[0]);
    ShowScope(dialog, s, 0);
}

}  // namespace

InstrumentDialogState *GetScopeDialogState() { return g_scopeState; }

LRESULT CALLBACK TelescopeListWndProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    return ListBoxKeys(list, message, wParam, lParam, kOldListProc, IDC_SCOPE_DELETE);
}

INT_PTR CALLBACK ScopeDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    InstrumentDialogState *s = g_scopeState;
    if (!s) return FALSE;
    switch (message) {
    case WM_INITDIALOG: {
        s->dialog = dialog;
        if (!OpenInstrumentStoreForEditing(dialog, s)) return TRUE;
        FillCombos(dialog);
        SubclassListBox(GetDlgItem(dialog, IDC_SCOPE_LIST), TelescopeListWndProc, kOldListProc);
        int listed = FillInstrumentList(dialog, s, kTelescopeList);
        if (listed > 0)
            SelectInstrumentLine(dialog, s, kTelescopeList, 0);
        else
            EnableTelescopeControls(dialog, false);
        return TRUE;
    }
    case WM_NOTIFY: {
        NMHDR *h = (NMHDR *)lParam;
        if (h->idFrom == IDC_SCOPE_MOVE && h->code == UDN_DELTAPOS) {
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
        if (id != IDC_SCOPE_LIST && HandleScopeFieldCommand(dialog, s, id, code, &nameChanged)) {
            if (nameChanged) ShowRenamedInstrument(dialog, s, kTelescopeList);
            return TRUE;
        }
        switch (id) {
        case IDC_SCOPE_LIST:
            OnInstrumentListNotice(dialog, s, kTelescopeList, code);
            return TRUE;
        case IDC_SCOPE_NEW: {
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
        case IDC_SCOPE_DELETE:
            if (s->selected < 0 || !s->store) return TRUE;
            if (InstrumentMessage(dialog, "Delete this telescope?", MB_YESNO | MB_ICONQUESTION) != IDYES)
                return TRUE;
            DeleteSelectedInstrument(dialog, s, kTelescopeList);
            return TRUE;
        case IDC_SCOPE_EYEPIECES:
            WriteBackInstrument(s);
            RunEyepieces(dialog, s);
            WriteBackInstrument(s);
            return TRUE;
        case IDC_SCOPE_REPORT:
            ShowTelescopeReport(dialog, s);
            return TRUE;
        case IDC_SCOPE_CAMERAS:
            WriteBackInstrument(s);
            RunCameras(dialog, s);
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
            if (!KeepInstrumentList(dialog, s)) return TRUE;
            NotifyInstrumentsChanged();
            if (UseProVariant()) NotifyEditionInstrumentsChanged();
            EndDialog(dialog, 1);
            return TRUE;
        }
        }
        return HandleInstrumentListButton(dialog, s, id, IDH_TELESCOPES);
    }
    }
    return HandleInstrumentListEnding(dialog, s, message);
}

int RunScopeDialog(HWND owner, HINSTANCE instance) {
    return RunInstrumentListDialog(instance, UseProVariant() ? "ScopeDlgPro" : "ScopeDlg", owner, ScopeDlgProc,
                                   &g_scopeState);
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
    EnableWindow(GetDlgItem(dialog, IDC_SCOPE_SAVE), optics && !s->stored);
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
        case IDC_SCOPE_EYEPIECES:
            RunEyepieces(dialog, s);
            EnableSave(dialog, s);
            return TRUE;
        case IDC_SCOPE_REPORT:
            ShowTelescopeReport(dialog, s);
            return TRUE;
        case IDC_SCOPE_CAMERAS:
            RunCameras(dialog, s);
            EnableSave(dialog, s);
            return TRUE;
        case IDC_SCOPE_SAVE: {
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
        }
        return HandleDialogEndButton(dialog, id, IDH_TELESCOPE_EDIT);
    }
    case WM_CLOSE:
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

int RunScopeEditDialog(HWND owner, HINSTANCE instance, InstrumentRecord *record) {
    return (int)RunInstrumentEditDialog(instance, UseProVariant() ? "ScopeEditDlgPro" : "ScopeEditDlg", owner,
                                        ScopeEditDlgProc, &g_scopeState, record);
}
