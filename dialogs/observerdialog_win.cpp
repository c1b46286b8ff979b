// The Observers dialog (ObserverDlg: the favourites of observer.bin with its
// observer.bak undo copy) and the Edit Observer dialog (ObserverEditDlg).
#include "dialogs/sitedialogs_win.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "core/hostcallbacks.h"
#include "ui/winutil_win.h"
#include "resources/helptopics.h"
#include "resources/siteids.h"

namespace {

const char kCaption[] = "Nightjar Message";

ObserverDlgState *g_observerState = nullptr;
WNDPROC g_observerListProc = nullptr;

// Control ids of the two observer dialogs.
struct ObserverControls {
    int name, age, pupil, compute, experience;
};
const ObserverControls kListControls = {IDC_OBSERVER_NAME, IDC_OBSERVER_AGE, IDC_OBSERVER_PUPIL,
                                        IDC_OBSERVER_COMPUTE_PUPIL, IDC_OBSERVER_EXPERIENCE};
const ObserverControls kEditControls = {IDC_OBSERVEREDIT_NAME, IDC_OBSERVEREDIT_AGE, IDC_OBSERVEREDIT_PUPIL,
                                        IDC_OBSERVEREDIT_COMPUTE_PUPIL, IDC_OBSERVEREDIT_EXPERIENCE};

std::string ItemText(HWND dialog, int id, int limit) {
    std::string text(limit + 1, '\0');
    int n = GetDlgItemTextA(dialog, id, &text[0], limit + 1);
    text.resize(n > 0 ? n : 0);
    return text;
}

void FillExperienceCombo(HWND dialog, const ObserverControls &c) {
    HWND combo = GetDlgItem(dialog, c.experience);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (int level = 0; level <= 4; ++level)
        SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)GetExperienceName(level));
}

void ShowObserverFields(HWND dialog, const ObserverControls &c, ObserverDlgState *st) {
    st->filling = 1;
    char text[64];
    SetDlgItemTextA(dialog, c.name, st->observer.name);
    std::snprintf(text, sizeof text, "%d", (int)st->observer.age);
    SetDlgItemTextA(dialog, c.age, text);
    std::snprintf(text, sizeof text, "%.1lf", st->observer.pupilDiameter);
    SetDlgItemTextA(dialog, c.pupil, text);
    SendDlgItemMessageA(dialog, c.experience, CB_SETCURSEL,
                        GetExperienceLevel(st->observer.experience), 0);
    st->filling = 0;
}

int ReadObserverFieldsFromDialog(HWND dialog, const ObserverControls &c, ObserverDlgState *st) {
    ObserverDialogFields f;
    f.name = ItemText(dialog, c.name, 63);
    f.age = ItemText(dialog, c.age, 32);
    f.pupil = ItemText(dialog, c.pupil, 32);
    f.experienceRow = (int)SendDlgItemMessageA(dialog, c.experience, CB_GETCURSEL, 0, 0);
    if (f.experienceRow < 0) f.experienceRow = GetExperienceLevel(st->observer.experience);
    return ReadObserverFields(f, &st->observer);
}

// Typing in the name, age and pupil fields. 1 when the notice was one of them.
int HandleObserverTyping(HWND dialog, const ObserverControls &c, ObserverDlgState *st, int id,
                         bool checkName) {
    if (st->filling) return id == c.name || id == c.age || id == c.pupil;
    if (id == c.pupil) {
        ApplyTypedPupil(ItemText(dialog, c.pupil, 32).c_str(), &st->observer);
        return 1;
    }
    if (id == c.age) {
        ApplyTypedAge(ItemText(dialog, c.age, 32).c_str(), &st->observer);
        return 1;
    }
    if (id == c.name && checkName) {
        std::string name = ItemText(dialog, c.name, 63);
        if (!IsAcceptableTypedName(name.c_str())) {
            // The previous name comes back, the caret at its end.
            st->filling = 1;
            SetDlgItemTextA(dialog, c.name, st->observer.name);
            int end = (int)std::strlen(st->observer.name);
            SendDlgItemMessageA(dialog, c.name, EM_SETSEL, end, end);
            st->filling = 0;
        } else {
            std::memset(st->observer.name, 0, sizeof st->observer.name);
            std::memcpy(st->observer.name, name.data(), name.size() < 63 ? name.size() : 63);
        }
        return 1;
    }
    return id == c.name;
}

// ---- the Observers dialog ----------------------------------------------------------------

void ListObservers(HWND dialog, ObserverDlgState *st) {
    HWND list = GetDlgItem(dialog, IDC_OBSERVER_LIST);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    int16_t count = 0;
    FILE *f = OpenObserverStore(&count);
    if (!f) return;
    for (int i = 0; i < count; ++i) {
        ObserverRecord r;
        if (!ReadObserver(f, i, &r)) break;
        SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)r.name);
    }
    std::fclose(f);
    SendMessageA(list, LB_SETCURSEL, st->selection, 0);
}

void ReadSelectedObserver(HWND dialog, ObserverDlgState *st) {
    int sel = (int)SendDlgItemMessageA(dialog, IDC_OBSERVER_LIST, LB_GETCURSEL, 0, 0);
    if (sel < 0) return;
    st->selection = (int16_t)sel;
    int16_t count = 0;
    FILE *f = OpenObserverStore(&count);
    if (!f) return;
    ReadObserver(f, sel, &st->observer);
    std::fclose(f);
}

int SaveSelectedObserver(ObserverDlgState *st) {
    if (st->selection < 0) return 0;
    int16_t count = 0;
    FILE *f = OpenObserverStore(&count);
    if (!f) return 0;
    int ok = UpdateObserver(f, st->selection, &st->observer);
    std::fclose(f);
    return ok;
}

void RefreshObservers(HWND dialog, ObserverDlgState *st) {
    ListObservers(dialog, st);
    ReadSelectedObserver(dialog, st);
    ShowObserverFields(dialog, kListControls, st);
}

void AddNewObserver(HWND dialog, ObserverDlgState *st) {
    // Typed changes of the observer shown are kept, as a change of selection
    // keeps them.
    ReadObserverFieldsFromDialog(dialog, kListControls, st);
    SaveSelectedObserver(st);
    InitObserverRecord(&st->observer, "New Observer", 40, 0.0, 0.5);
    int16_t count = 0;
    FILE *f = OpenObserverStore(&count);
    if (f) {
        if (AppendObserver(f, &st->observer)) st->selection = count;
        std::fclose(f);
    }
    RefreshObservers(dialog, st);
}

void DeleteSelectedObserver(HWND dialog, ObserverDlgState *st) {
    int sel = (int)SendDlgItemMessageA(dialog, IDC_OBSERVER_LIST, LB_GETCURSEL, 0, 0);
    if (sel < 0) return;
    int16_t count = 0;
    FILE *f = OpenObserverStore(&count);
    if (!f) return;
    ObserverRecord r;
    if (ReadObserver(f, sel, &r) && DeleteObserver(&f, sel))
        st->selection = (int16_t)SelectionAfterDelete(sel, count);
    if (f) std::fclose(f);
    RefreshObservers(dialog, st);
}

LRESULT CALLBACK ObserverListKeyProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN && wParam == VK_DELETE) {
        SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(IDC_OBSERVER_DELETE, BN_CLICKED), 0);
        return 0;
    }
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
        SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return 0;
    }
    return CallWindowProcA(g_observerListProc, list, message, wParam, lParam);
}

INT_PTR ObserverListCommand(HWND dialog, ObserverDlgState *st, int id, int code) {
    if (code == EN_CHANGE && HandleObserverTyping(dialog, kListControls, st, id, true)) return TRUE;
    HWND list = GetDlgItem(dialog, IDC_OBSERVER_LIST);
    switch (id) {
    case IDOK:
        ReadObserverFieldsFromDialog(dialog, kListControls, st);
        SaveSelectedObserver(st);
        EndDialog(dialog, st->selection);
        return TRUE;
    case IDCANCEL:
        if (st->backupTaken) RestoreObserverFile();
        EndDialog(dialog, -1);
        return TRUE;
    case IDC_OBSERVER_LIST:
        if (code == LBN_SELCHANGE || code == LBN_DBLCLK) {
            ReadObserverFieldsFromDialog(dialog, kListControls, st);
            SaveSelectedObserver(st);
            ReadSelectedObserver(dialog, st);
            ShowObserverFields(dialog, kListControls, st);
            if (code == LBN_DBLCLK) PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
        return TRUE;
    case IDC_OBSERVER_ADD:
        AddNewObserver(dialog, st);
        SetFocus(list);
        return TRUE;
    case IDC_OBSERVER_DELETE:
        DeleteSelectedObserver(dialog, st);
        SetFocus(list);
        return TRUE;
    case IDC_OBSERVER_COMPUTE_PUPIL:
        ReadObserverFieldsFromDialog(dialog, kListControls, st);
        st->observer.pupilDiameter = ComputePupilForAge(st->observer.age);
        SaveSelectedObserver(st);
        ShowObserverFields(dialog, kListControls, st);
        return TRUE;
    case IDHELP:
        ShowHelpTopic(IDH_OBSERVERS);
        return TRUE;
    }
    return FALSE;
}

INT_PTR ObserverEditCommand(HWND dialog, ObserverDlgState *st, int id, int code) {
    if (code == EN_CHANGE && HandleObserverTyping(dialog, kEditControls, st, id, false)) return TRUE;
    switch (id) {
    case IDOK:
        ReadObserverFieldsFromDialog(dialog, kEditControls, st);
        EndDialog(dialog, 1);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, 0);
        return TRUE;
    case IDC_OBSERVEREDIT_COMPUTE_PUPIL:
        ReadObserverFieldsFromDialog(dialog, kEditControls, st);
        st->observer.pupilDiameter = ComputePupilForAge(st->observer.age);
        ShowObserverFields(dialog, kEditControls, st);
        return TRUE;
    case IDC_OBSERVEREDIT_ADD_FAVORITE: {
        ReadObserverFieldsFromDialog(dialog, kEditControls, st);
        int16_t count = 0;
        FILE *f = OpenObserverStore(&count);
        if (!f) return TRUE;
        ObserverRecord probe = st->observer;
        int16_t index;
        int found = FindObserver(f, &probe, &index);
        std::fclose(f);
        if (found == 2) {
            MessageBoxA(dialog,
                        "An entry already exists for this observer with different data.\r\nIf you "
                        "wish a second entry for this observer in the favorites list you must "
                        "modify the name.",
                        kCaption, MB_OK | MB_ICONINFORMATION);
            return TRUE;
        }
        EndDialog(dialog, 2);
        return TRUE;
    }
    case IDHELP:
        ShowHelpTopic(IDH_OBSERVER_EDIT);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int PickObserver(HWND owner, HINSTANCE instance, ObserverRecord *observer) {
    if (!observer) return -2;
    ObserverDlgState *st = new (std::nothrow) ObserverDlgState();
    if (!st) return -2;  // not 0, which is a pick of the first observer
    st->instance = instance;
    st->observer = *observer;
    st->observer.name[sizeof st->observer.name - 1] = '\0';
    int16_t count = 0;
    FILE *f = OpenObserverStore(&count);
    int found = 0;
    if (f) {
        int16_t index = 0;
        found = FindObserver(f, &st->observer, &index);
        st->selection = index;
        std::fclose(f);
    }
    // The undo copy comes before an observer passed in is added, so Cancel
    // takes the addition back.
    st->backupTaken = BackupObserverFile() ? 1 : 0;
    // A record without a name is never added (no lookup could find it
    // again); the first observer is shown instead.
    if (found == 0 && !st->observer.name[0]) st->selection = 0;
    if (found == 0 && st->observer.name[0]) {
        f = OpenObserverStore(&count);
        if (f) {
            if (AppendObserver(f, &st->observer)) st->selection = count;
            std::fclose(f);
        }
    }
    g_observerState = st;
    INT_PTR r = DialogBoxParamA(instance, "ObserverDlg", owner, ObserverDlgProc, (LPARAM)st);
    if (r == -1 && st->backupTaken) RestoreObserverFile();  // the dialog never opened
    if (r >= 0) *observer = st->observer;
    g_observerState = nullptr;
    delete st;
    return r >= 0 ? (int)r : -1;
}

int EditObserver(HWND owner, HINSTANCE instance, ObserverRecord *observer) {
    if (!observer) return 0;
    ObserverDlgState *st = new (std::nothrow) ObserverDlgState();
    if (!st) return 0;
    st->instance = instance;
    st->observer = *observer;
    st->observer.name[sizeof st->observer.name - 1] = '\0';
    g_observerState = st;
    INT_PTR r = DialogBoxParamA(instance, "ObserverEditDlg", owner, ObserverEditDlgProc, (LPARAM)st);
    if (r == 1 || r == 2) *observer = st->observer;
    g_observerState = nullptr;
    delete st;
    if (r == 2) PickObserver(owner, instance, observer);
    return r == 1 || r == 2 ? 1 : 0;
}

INT_PTR CALLBACK ObserverDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    ObserverDlgState *st = g_observerState;
    switch (message) {
    case WM_INITDIALOG: {
        st = reinterpret_cast<ObserverDlgState *>(lParam);
        g_observerState = st;
        st->filling = 0;
        FillExperienceCombo(dialog, kListControls);
        RefreshObservers(dialog, st);
        HWND list = GetDlgItem(dialog, IDC_OBSERVER_LIST);
        g_observerListProc = ReplaceWindowProc(list, ObserverListKeyProc);
        SetFocus(list);
        return FALSE;
    }
    case WM_COMMAND:
        if (!st) return FALSE;
        return ObserverListCommand(dialog, st, LOWORD(wParam), HIWORD(wParam));
    case WM_CLOSE:
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return TRUE;
    case WM_DESTROY: {
        HWND list = GetDlgItem(dialog, IDC_OBSERVER_LIST);
        if (list && g_observerListProc) ReplaceWindowProc(list, g_observerListProc);
        g_observerListProc = nullptr;
        return FALSE;
    }
    }
    return FALSE;
}

INT_PTR CALLBACK ObserverEditDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    ObserverDlgState *st = g_observerState;
    switch (message) {
    case WM_INITDIALOG:
        st = reinterpret_cast<ObserverDlgState *>(lParam);
        g_observerState = st;
        FillExperienceCombo(dialog, kEditControls);
        ShowObserverFields(dialog, kEditControls, st);
        return TRUE;
    case WM_COMMAND:
        if (!st) return FALSE;
        return ObserverEditCommand(dialog, st, LOWORD(wParam), HIWORD(wParam));
    case WM_CLOSE:
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}
