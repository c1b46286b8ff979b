// The pool assignment dialogs of one design: EyepDlg (eyepieces of the
// working telescope), CamFilterDlg and CamLensDlg (filters and lenses of the
// current camera). The pool is on the left, the assigned records on the
// right; the pool file is copied to its .bak at opening and put back on
// Cancel. The caller rebuilds the telescope or camera from the id list.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "core/hostcallbacks.h"
#include "core/textutil.h"
#include "instruments/eyepiecepool.h"
#include "instruments/filterpool.h"
#include "dialogs/instrumentdialogs_win.h"
#include "instruments/lenspool.h"
#include "instruments/poollink.h"
#include "instruments/storeio.h"
#include "resources/helptopics.h"
#include "resources/instrumentids.h"

AssignedIdList AssignedEyepieceIds;
AssignedIdList AssignedFilterIds;
AssignedIdList AssignedLensIds;
FilterRecord WorkingFilter;
LensRecord WorkingLens;
double MeasuredApparentField = 0.0;
int FillingDialogFields = 0;
CameraEntry *g_currentCamera = nullptr;
const char kPoolListOldProc[] = "PoolListProc";

namespace {

const char *const kOldPoolListProc = kPoolListOldProc;

enum PoolKind { kEyepieces, kFilters, kLenses };

struct PoolDialog {
    PoolKind kind;
    AssignedIdList *ids;
    int limit;
    const char *limitMessage;
    int helpTopic;
    int backupTaken;
};

PoolDialog g_eyepieces = {kEyepieces, &AssignedEyepieceIds, kMostAssignedEyepieces,
                          "A maximum of 70 eyepieces can be assigned to a telescope", IDH_EYEPIECE_POOL, 0};
PoolDialog g_filters = {kFilters, &AssignedFilterIds, kMostAssignedFilters,
                        "A maximum of 50 filters can be assigned to a camera", IDH_FILTER_POOL, 0};
PoolDialog g_lenses = {kLenses, &AssignedLensIds, kMostAssignedLenses,
                       "A maximum of 10 lenses can be assigned to a camera", IDH_LENS_POOL, 0};

std::string Trimmed(const char *name, size_t size) {
    std::string s(name, strnlen(name, size));
    while (!s.empty() && (s.back() == ' ' || s.back() == '\r' || s.back() == '\n')) s.pop_back();
    return s;
}

// The name of the pool record with the id; false when it is gone.
bool PoolName(PoolKind kind, int id, std::string *name) {
    if (kind == kEyepieces) {
        char n[33] = "";
        double fl = 0, af = 0;
        if (!GetEyepieceRecordById(id, n, &fl, &af)) return false;
        *name = Trimmed(n, sizeof n);
    } else if (kind == kFilters) {
        FilterRecord f;
        if (!GetFilterRecordById(id, &f)) return false;
        *name = Trimmed(f.name, sizeof f.name);
    } else {
        LensRecord l;
        if (!GetLensRecordById(id, &l)) return false;
        *name = Trimmed(l.name, sizeof l.name);
    }
    return true;
}

int EyepieceExists(int id) {
    char n[33];
    double a, b;
    return GetEyepieceRecordById(id, n, &a, &b) ? 1 : 0;
}
int FilterExists(int id) {
    FilterRecord f;
    return GetFilterRecordById(id, &f) ? 1 : 0;
}
int LensExists(int id) {
    LensRecord l;
    return GetLensRecordById(id, &l) ? 1 : 0;
}

void FillPoolList(HWND dialog, PoolDialog *p) {
    HWND list = GetDlgItem(dialog, IDC_POOL_LIST);
    int32_t n = 0;
    StoreFilePtr f(p->kind == kEyepieces ? OpenEyepieceFile(&n) : p->kind == kFilters ? OpenFilterFile(&n)
                                                                                      : OpenLensFile(&n));
    if (!f) return;
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < n; ++i) {
        std::string name;
        int id = 0;
        if (p->kind == kEyepieces) {
            EyepieceRecord r;
            if (!ReadEyepieceRecord(f.get(), i, &r)) break;
            name = Trimmed(r.name, sizeof r.name);
            id = r.poolId;
        } else if (p->kind == kFilters) {
            FilterRecord r;
            if (!ReadFilterRecord(f.get(), i, &r)) break;
            name = Trimmed(r.name, sizeof r.name);
            id = r.poolId & 0xFFFF;
        } else {
            LensRecord r;
            if (!ReadLensRecord(f.get(), i, &r)) break;
            name = Trimmed(r.name, sizeof r.name);
            id = r.poolId & 0xFFFF;
        }
        LRESULT line = SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)name.c_str());
        SendMessageA(list, LB_SETITEMDATA, (WPARAM)line, (LPARAM)id);
    }
    InstrumentDialogState *s = GetScopeDialogState();
    if (s) s->poolChoice = -1;
}

// Rebuilds the assigned list from the ids; ids whose record is gone are
// dropped so that every line stands for the id at its place.
void RebuildAssignedList(HWND dialog, PoolDialog *p) {
    DropMissingAssigned(p->ids, p->kind == kEyepieces ? EyepieceExists : p->kind == kFilters ? FilterExists
                                                                                             : LensExists);
    HWND list = GetDlgItem(dialog, IDC_POOL_ASSIGNED);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (uint16_t id : p->ids->ids) {
        std::string name;
        PoolName(p->kind, id, &name);
        SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)name.c_str());
    }
    SendMessageA(list, LB_SETCURSEL, 0, 0);
}

void FillAssignedFromOwner(HWND dialog, PoolDialog *p) {
    HWND list = GetDlgItem(dialog, IDC_POOL_ASSIGNED);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    p->ids->ids.clear();
    p->ids->limit = p->limit;
    auto add = [&](int id, const char *name, size_t size) {
        if ((int)p->ids->ids.size() >= p->limit) return;
        p->ids->ids.push_back((uint16_t)id);
        std::string n = Trimmed(name, size);
        SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)n.c_str());
    };
    InstrumentDialogState *s = GetScopeDialogState();
    if (p->kind == kEyepieces && s) {
        OpticsBlock &m = s->record.optics[0];
        for (int i = 0; i < m.eyepieceCount && i < kMaxEyepieces; ++i)
            add((uint16_t)m.eyepieces[i].poolId, m.eyepieces[i].name, sizeof m.eyepieces[i].name);
        if (m.barlowFactor > 0.0f) {
            FillingDialogFields = 1;
            char text[32];
            std::snprintf(text, sizeof text, "%.2f", (double)m.barlowFactor);
            SetDlgItemTextA(dialog, IDC_POOL_BARLOW, text);
            FillingDialogFields = 0;
        }
    } else if (p->kind == kFilters && g_currentCamera) {
        for (int i = 0; i < g_currentCamera->filterCount && i < kCameraAssignedFilters; ++i)
            add(g_currentCamera->filters[i].poolId & 0xFFFF, g_currentCamera->filters[i].name, 33);
    } else if (p->kind == kLenses && g_currentCamera) {
        for (int i = 0; i < g_currentCamera->lensCount && i < kCameraLensSlots; ++i)
            add(g_currentCamera->lenses[i].poolId & 0xFFFF, g_currentCamera->lenses[i].name, 32);
    }
}

int ChosenPoolLine(HWND dialog) {
    LRESULT line = SendDlgItemMessageA(dialog, IDC_POOL_LIST, LB_GETCURSEL, 0, 0);
    return line == LB_ERR ? -1 : (int)line;
}

int PoolIdOfLine(HWND dialog, int line) {
    return (int)SendDlgItemMessageA(dialog, IDC_POOL_LIST, LB_GETITEMDATA, (WPARAM)line, 0);
}

// The pool id and name of a pool list line: an eyepiece by its place in the
// pool, a filter or lens by the id its line carries. *named is false when that
// filter or lens is gone from the pool (the name is then empty).
int PoolEntryOfLine(HWND dialog, const PoolDialog *p, int line, std::string *name, bool *named) {
    *named = true;
    if (p->kind == kEyepieces) {
        char n[33] = "";
        double fl = 0, af = 0;
        int id = GetEyepieceRecord(line, n, &fl, &af);
        *name = Trimmed(n, sizeof n);
        return id;
    }
    int id = PoolIdOfLine(dialog, line);
    *named = PoolName(p->kind, id, name);
    return id;
}

void Assign(HWND dialog, PoolDialog *p) {
    int line = ChosenPoolLine(dialog);
    if (line < 0) return;
    std::string name;
    bool named = false;
    int id = PoolEntryOfLine(dialog, p, line, &name, &named);
    if (!named || id <= 0) return;
    if (!AssignPoolId(p->ids, (uint16_t)id)) {
        InstrumentMessage(dialog, p->limitMessage, MB_OK | MB_ICONWARNING);
        return;
    }
    HWND list = GetDlgItem(dialog, IDC_POOL_ASSIGNED);
    LRESULT added = SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)name.c_str());
    SendMessageA(list, LB_SETCURSEL, (WPARAM)added, 0);
}

int EditPoolRecord(HWND dialog, PoolDialog *p, int line, int isNew, HINSTANCE instance) {
    InstrumentDialogState *s = GetScopeDialogState();
    if (p->kind == kEyepieces) {
        if (s) s->poolChoice = line;
        return (int)RunInstrumentDialog(instance, "EditEyepDlg", dialog, EditEyepDlgProc);
    }
    if (p->kind == kFilters) {
        const char *tmpl = WorkingFilter.wavelength == 0.0 && !isNew ? "EditNDFilterDlg" : "EditFilterDlg";
        if (isNew) {
            INT_PTR nd = RunInstrumentDialog(instance, "FilterTypeDlg", dialog, FilterTypeDlgProc);
            tmpl = nd == 1 ? "EditNDFilterDlg" : "EditFilterDlg";
        }
        return (int)RunInstrumentDialog(instance, tmpl, dialog,
                                        std::strcmp(tmpl, "EditNDFilterDlg") == 0 ? EditNDFilterDlgProc
                                                                                  : EditFilterDlgProc);
    }
    return (int)RunInstrumentDialog(instance, "EditLensDlg", dialog, EditLensDlgProc);
}

void SelectPoolLine(HWND dialog, int line) {
    SendDlgItemMessageA(dialog, IDC_POOL_LIST, LB_SETCURSEL, (WPARAM)line, 0);
    InstrumentDialogState *s = GetScopeDialogState();
    if (s && line >= 0) s->poolChoice = line;
}

INT_PTR PoolDialogProc(PoolDialog *p, HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    InstrumentDialogState *s = GetScopeDialogState();
    HINSTANCE instance = s ? s->instance : GetInstrumentDialogInstance();
    switch (message) {
    case WM_INITDIALOG: {
        SubclassListBox(GetDlgItem(dialog, IDC_POOL_LIST), PoolListKeyWndProc, kOldPoolListProc);
        if (p->kind == kEyepieces && s) SyncTelescopeEyepiecesWithPool(&s->record.optics[0]);
        if (p->kind == kFilters) SyncCameraFiltersWithPool(g_currentCamera);
        if (p->kind == kLenses) SyncCameraLensesWithPool(g_currentCamera);
        FillPoolList(dialog, p);
        p->ids->ids.clear();
        p->ids->limit = p->limit;
        p->backupTaken = p->kind == kEyepieces ? BackupEyepieceFile() : p->kind == kFilters ? BackupFilterFile()
                                                                                           : BackupLensFile();
        FillAssignedFromOwner(dialog, p);
        SetFocus(GetDlgItem(dialog, IDOK));
        return FALSE;
    }
    case WM_NOTIFY: {
        NMHDR *h = (NMHDR *)lParam;
        if (h->idFrom == IDC_POOL_MOVE && h->code == UDN_DELTAPOS) {
            NMUPDOWN *ud = (NMUPDOWN *)lParam;
            LRESULT line = SendDlgItemMessageA(dialog, IDC_POOL_ASSIGNED, LB_GETCURSEL, 0, 0);
            if (line == LB_ERR) return TRUE;
            int moved = MoveAssigned(p->ids, (int)line, ud->iDelta);
            if (moved != (int)line) {
                HWND list = GetDlgItem(dialog, IDC_POOL_ASSIGNED);
                char text[64] = "";
                SendMessageA(list, LB_GETTEXT, (WPARAM)line, (LPARAM)text);
                SendMessageA(list, LB_DELETESTRING, (WPARAM)line, 0);
                SendMessageA(list, LB_INSERTSTRING, (WPARAM)moved, (LPARAM)text);
                SendMessageA(list, LB_SETCURSEL, (WPARAM)moved, 0);
            }
            return TRUE;
        }
        break;
    }
    case WM_COMMAND: {
        int id = LOWORD(wParam), code = HIWORD(wParam);
        switch (id) {
        case IDC_POOL_LIST:
            if (code == LBN_SELCHANGE || code == LBN_DBLCLK) {
                int line = ChosenPoolLine(dialog);
                if (s) s->poolChoice = p->kind == kEyepieces ? line : line >= 0 ? PoolIdOfLine(dialog, line) : -1;
                if (code == LBN_DBLCLK) Assign(dialog, p);
            }
            return TRUE;
        case IDC_POOL_ASSIGNED:
            if (p->kind == kEyepieces && (code == LBN_SELCHANGE || code == LBN_DBLCLK)) {
                LRESULT line = SendDlgItemMessageA(dialog, IDC_POOL_ASSIGNED, LB_GETCURSEL, 0, 0);
                std::string name;
                if (line != LB_ERR && line < (LRESULT)p->ids->ids.size() &&
                    PoolName(p->kind, p->ids->ids[(size_t)line], &name)) {
                    HWND list = GetDlgItem(dialog, IDC_POOL_ASSIGNED);
                    SendMessageA(list, LB_DELETESTRING, (WPARAM)line, 0);
                    SendMessageA(list, LB_INSERTSTRING, (WPARAM)line, (LPARAM)name.c_str());
                    SendMessageA(list, LB_SETCURSEL, (WPARAM)line, 0);
                }
            }
            return TRUE;
        case IDC_POOL_ASSIGN:
            Assign(dialog, p);
            return TRUE;
        case IDC_POOL_UNASSIGN: {
            LRESULT line = SendDlgItemMessageA(dialog, IDC_POOL_ASSIGNED, LB_GETCURSEL, 0, 0);
            if (line == LB_ERR || p->ids->ids.empty()) return TRUE;
            RemoveAssignedAt(p->ids, (int)line);
            RebuildAssignedList(dialog, p);
            return TRUE;
        }
        case IDC_POOL_EDIT: {
            int line = ChosenPoolLine(dialog);
            if (line < 0) return TRUE;
            if (p->kind == kFilters && !GetFilterRecordById(PoolIdOfLine(dialog, line), &WorkingFilter)) return TRUE;
            if (p->kind == kLenses && !GetLensRecordById(PoolIdOfLine(dialog, line), &WorkingLens)) return TRUE;
            int poolId = p->kind == kEyepieces ? 0 : PoolIdOfLine(dialog, line);
            if (EditPoolRecord(dialog, p, line, 0, instance) == 1) {
                if (p->kind == kFilters) StoreFilterToPool(&WorkingFilter, poolId);
                if (p->kind == kLenses) StoreLensToPool(&WorkingLens, poolId);
                FillPoolList(dialog, p);
                SelectPoolLine(dialog, line);
            }
            return TRUE;
        }
        case IDC_POOL_DELETE: {  // Delete from the pool
            int line = ChosenPoolLine(dialog);
            if (line < 0) return TRUE;
            std::string name;
            bool named = false;   // a gone filter or lens still leaves the pool lists
            int poolId = PoolEntryOfLine(dialog, p, line, &name, &named);
            if (poolId <= 0) return TRUE;
            char question[96];
            std::snprintf(question, sizeof question, "Delete %s from pool?", name.c_str());
            if (InstrumentMessage(dialog, question, MB_YESNO | MB_ICONQUESTION) != IDYES) return TRUE;
            int deleted = p->kind == kEyepieces ? DeleteEyepieceRecord(line)
                          : p->kind == kFilters ? DeleteFilterRecordById(poolId)
                                                : DeleteLensRecordById(poolId);
            if (RemoveFirstAssigned(p->ids, (uint16_t)poolId) >= 0 || deleted) RebuildAssignedList(dialog, p);
            FillPoolList(dialog, p);
            int lines = (int)SendDlgItemMessageA(dialog, IDC_POOL_LIST, LB_GETCOUNT, 0, 0);
            SelectPoolLine(dialog, line < lines ? line : lines - 1);
            return TRUE;
        }
        case IDC_POOL_NEW: {
            int remembered = ChosenPoolLine(dialog);
            int lines = (int)SendDlgItemMessageA(dialog, IDC_POOL_LIST, LB_GETCOUNT, 0, 0);
            int newId = 0;
            if (p->kind == kEyepieces) {
                newId = AddEyepieceRecord("New Eyepiece", 25.0, 40.0);
            } else if (p->kind == kFilters) {
                std::memset(&WorkingFilter, 0, sizeof WorkingFilter);
                CopyStringZeroFilled(WorkingFilter.name, "New Filter", (int)sizeof WorkingFilter.name);
                newId = AddFilterRecord(&WorkingFilter);
            } else {
                std::memset(&WorkingLens, 0, sizeof WorkingLens);
                CopyStringZeroFilled(WorkingLens.name, "New Lens", (int)sizeof WorkingLens.name);
                newId = AddLensRecord(&WorkingLens);
            }
            if (newId <= 0) return TRUE;
            if (p->kind == kFilters) GetFilterRecordById(newId, &WorkingFilter);
            if (p->kind == kLenses) GetLensRecordById(newId, &WorkingLens);
            if (s) s->poolChoice = p->kind == kEyepieces ? lines : newId;
            int result = EditPoolRecord(dialog, p, lines, 1, instance);
            if (result == 1) {
                if (p->kind == kFilters) StoreFilterToPool(&WorkingFilter, newId);
                if (p->kind == kLenses) StoreLensToPool(&WorkingLens, newId);
                FillPoolList(dialog, p);
                SelectPoolLine(dialog, lines);
            } else {
                // A record the user never completed is not left in the pool
                // (a lens of focal length 0 would divide camera fields by 0).
                if (p->kind == kEyepieces)
                    DeleteEyepieceRecord(lines);
                else if (p->kind == kFilters)
                    DeleteFilterRecordById(newId);
                else
                    DeleteLensRecordById(newId);
                FillPoolList(dialog, p);
                if (remembered >= 0) SelectPoolLine(dialog, remembered);
            }
            return TRUE;
        }
        case IDC_POOL_BARLOW:
            if (p->kind == kEyepieces && code == EN_CHANGE && !FillingDialogFields && s) {
                char text[64] = "";
                GetDlgItemTextA(dialog, IDC_POOL_BARLOW, text, (int)sizeof text);
                float factor = 0.0f;
                if (ReadBarlowText(text, &factor)) s->record.optics[0].barlowFactor = factor;
            }
            return TRUE;
        case IDOK:
            EndDialog(dialog, 1);
            return TRUE;
        case IDCANCEL:
            if (p->backupTaken) {
                if (p->kind == kEyepieces)
                    RestoreEyepieceFile();
                else if (p->kind == kFilters)
                    RestoreFilterFile();
                else
                    RestoreLensFile();
            }
            EndDialog(dialog, 0);
            return TRUE;
        case IDHELP:
            ShowHelpTopic(p->helpTopic);
            return TRUE;
        }
        break;
    }
    }
    return FALSE;
}

}  // namespace

LRESULT CALLBACK PoolListKeyWndProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    return ListBoxKeys(list, message, wParam, lParam, kOldPoolListProc, IDC_POOL_DELETE_KEY);
}

INT_PTR CALLBACK EyepDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return PoolDialogProc(&g_eyepieces, dialog, message, wParam, lParam);
}

INT_PTR CALLBACK CamFilterDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return PoolDialogProc(&g_filters, dialog, message, wParam, lParam);
}

INT_PTR CALLBACK CamLensDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return PoolDialogProc(&g_lenses, dialog, message, wParam, lParam);
}
