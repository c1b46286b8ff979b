// The object picker's frame: the shared state, the modal dialog
// "RequestDlgBox" (OK, Cancel) around the requestor, and the calls that run
// the requestor modeless inside another window.
#include <windows.h>

#include <cstring>
#include <new>

#include "core/hostcallbacks.h"
#include "picker/displaysettings.h"
#include "picker/picker_win.h"
#include "picker/pickerstate_win.h"
#include "photometry/extinction.h"
#include "resources/pickerids.h"
#include "resources/helptopics.h"

RequestorState *g_requestor = nullptr;
int g_activePageIndex = 0;
int g_searchScope = 0;
int g_raInputFormat = 0;
int g_coordinatesAccepted = 0;
int32_t g_browsePage = 0, g_browseTotal = 0, g_browsePageCount = 0;

namespace {

const char kNothingChosen[] =
    "No object is chosen. Pick one from a list, or enter coordinates and accept them; "
    "Cancel closes without a choice.";

RequestorState *NewState() {
    RequestorState *state = new (std::nothrow) RequestorState;
    if (!state) return nullptr;
    ClearObjectRecord(&state->current);
    ClearObjectRecord(&state->shown);
    for (ObjectRecord &r : state->recent) ClearObjectRecord(&r);
    std::memset(&state->site, 0, sizeof state->site);
    std::memset(&state->time, 0, sizeof state->time);
    return state;
}

// Ends any picker that is open: its window first (whose destruction frees a
// modeless picker's state), then whatever state is left.
void EndExistingPicker() {
    if (!g_requestor) return;
    RequestorState *state = g_requestor;
    HWND window = state->requestor;
    if (window && IsWindow(window)) {
        if (state->modal) {
            DestroyWindow(window);
        } else {
            HWND parent = GetParent(window);
            DestroyWindow(parent ? parent : window);
        }
    }
    if (g_requestor == state) {
        g_requestor = nullptr;
        delete state;
    }
}

}  // namespace

const DesignationPreferences *PickerPreferences() {
    if (g_requestor && g_requestor->display) return &g_requestor->display->designation;
    return nullptr;
}

double PickerExtinction(const RequestorState *state) {
    if (!state) return 0.2;
    int month = state->time.month;
    if (month < 1 || month > 12) month = 1;
    return ComputeVisualExtinction(month, state->site.temperature, state->site.humidity,
                                   state->site.latitude, state->site.elevation);
}

int RequestObjectDialog(HWND owner, HINSTANCE instance, const LocationRecord *site,
                        const DateRecord *date, ObjectRecord *inOut, const char *preset) {
    EndExistingPicker();
    RequestorState *state = NewState();
    if (!state) return 0;
    state->instance = instance;
    state->modal = 1;
    if (site) state->site = *site;
    if (date) state->time = *date;
    state->display = GetDefaultDisplaySettings();
    state->activePage = nullptr;
    if (preset) {
        std::strncpy(state->preset, preset, sizeof state->preset - 1);
        state->preset[sizeof state->preset - 1] = '\0';
    }
    state->result = inOut;
    g_requestor = state;
    INT_PTR result = DialogBoxParamA(instance, "RequestDlgBox", owner, RequestDlgBoxProc, 0);
    if (g_requestor == state) g_requestor = nullptr;
    delete state;
    return result == 1 ? 1 : 0;
}

INT_PTR CALLBACK RequestDlgBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        if (!g_requestor) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        HWND requestor = CreateRequestor(dialog, g_requestor->instance, 1);
        if (!requestor) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        if (g_requestor) g_requestor->requestor = requestor;
        return FALSE;  // the Search page has put the focus into its edit
    }
    case WM_CLOSE:
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return TRUE;
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        if (id == IDHELP) {
            ShowHelpTopic(IDH_REQUESTOR);
            return TRUE;
        }
        if (id != IDOK && id != IDCANCEL) return FALSE;
        int result = 0;
        if (id == IDOK) {
            if (!g_requestor) return TRUE;
            // Coordinates typed but not yet accepted are read now; an error
            // (already shown by the page) keeps the picker open.
            if (g_activePageIndex == kPageCoordinates && g_requestor->activePage &&
                !g_coordinatesAccepted) {
                if (!ReadEnteredCoordinates(g_requestor->activePage)) return TRUE;
                g_coordinatesAccepted = 1;
                ShowSelectedObject(g_requestor->requestor, &g_requestor->current, 0);
            }
            // The object returned is the one the panel shows, and only when the
            // user chose it: choosing another class or kind on the Browse page
            // without choosing a row changes the current object's class, not
            // the object chosen, and the object the picker started on, or a
            // search that found nothing, chooses nothing.
            if (!g_requestor->chosen || g_requestor->shown.objectClass == kClassNone) {
                MessageBoxA(dialog, kNothingChosen, "Nightjar Message", MB_OK | MB_ICONINFORMATION);
                return TRUE;
            }
            if (g_requestor->result) *g_requestor->result = g_requestor->shown;
            AddCurrentToRecentObjects();
            result = 1;
        }
        if (g_requestor && g_requestor->requestor) {
            DestroyWindow(g_requestor->requestor);
            g_requestor->requestor = nullptr;
        }
        EndDialog(dialog, result);
        return TRUE;
    }
    }
    return FALSE;
}

// ---- modeless use ---------------------------------------------------------------------------

HWND CreateRequestor(HWND parent, HINSTANCE instance, int show) {
    if (!g_requestor) {
        g_requestor = NewState();
        if (!g_requestor) return nullptr;
        g_requestor->modal = 0;
    }
    g_requestor->instance = instance;
    g_requestor->display = GetDefaultDisplaySettings();
    HWND requestor = CreateDialogParamA(instance, "RequestorDlg", parent, RequestorDlgProc, 0);
    if (!requestor) return nullptr;
    if (g_requestor) g_requestor->requestor = requestor;
    if (show) ShowWindow(requestor, SW_SHOW);
    return requestor;
}

RequestorState *SetRequestorSiteAndDate(const LocationRecord *site, const DateRecord *date) {
    if (!g_requestor) {
        g_requestor = NewState();
        if (!g_requestor) return nullptr;
    }
    if (site) g_requestor->site = *site;
    if (date) g_requestor->time = *date;
    return g_requestor;
}

void SetRequestorResultRecord(ObjectRecord *record) {
    if (!g_requestor) {
        g_requestor = NewState();
        if (!g_requestor) return;
    }
    g_requestor->result = record;
}

int CopyRequestorSelection() {
    if (!g_requestor || !g_requestor->result || !g_requestor->chosen ||
        g_requestor->shown.objectClass == kClassNone)
        return 0;
    *g_requestor->result = g_requestor->shown;
    return 1;
}

void SaveRequestorSelectionToHistory() {
    if (!g_requestor || !g_requestor->requestor) return;
    AddCurrentToRecentObjects();
    FillRecentObjectsCombo(g_requestor->requestor);
}

int RequestorExists() { return g_requestor ? 1 : 0; }

int TranslateRequestorAccelerator(HACCEL accelerators, MSG *message) {
    if (!g_requestor || !g_requestor->activePage || g_activePageIndex != kPageBrowse) return 0;
    HWND list = GetDlgItem(g_requestor->activePage, IDC_BROWSE_LIST);
    if (!list || GetFocus() != list) return 0;
    return TranslateAcceleratorA(g_requestor->activePage, accelerators, message);
}

LRESULT WantEnterElseDefault(HWND control, UINT message, WPARAM wParam, LPARAM lParam, WNDPROC previous) {
    if (message == WM_GETDLGCODE && lParam) {
        const MSG *m = reinterpret_cast<const MSG *>(lParam);
        if (m->message == WM_KEYDOWN && m->wParam == VK_RETURN) return DLGC_WANTALLKEYS;
    }
    return previous ? CallWindowProcA(previous, control, message, wParam, lParam)
                    : DefWindowProcA(control, message, wParam, lParam);
}

LRESULT EditWithEnterAction(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, WNDPROC previous,
                            void (*onEnter)(HWND edit)) {
    if ((message == WM_KEYDOWN || message == WM_CHAR) && wParam == VK_RETURN) {
        if (message == WM_KEYDOWN) onEnter(edit);
        return 0;
    }
    return WantEnterElseDefault(edit, message, wParam, lParam, previous);
}
