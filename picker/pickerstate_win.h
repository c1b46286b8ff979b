// The object picker's shared state and the calls its frame, requestor and
// pages make of one another. One RequestorState exists at a time: a modal
// picker's from RequestObjectDialog to its return, a modeless picker's until
// its requestor window is destroyed.
#pragma once
#include <windows.h>

#include <cstdint>

#include "astro/datetime.h"
#include "astro/location.h"
#include "picker/browse.h"
#include "objects/objectrecord.h"
#include "picker/pickerhistory.h"
#include "resources/pickerids.h"

struct PickerDisplaySettings;
struct DesignationPreferences;

// Pages of the tab control.
enum RequestorPage { kPageSearch = 0, kPageBrowse = 1, kPageCoordinates = 2 };

const int kBrowseNumberSlots = kBrowseRowLimit + 1;  // 14001 catalogue numbers

struct RequestorState {
    HWND requestor = nullptr;
    int reserved = 0;
    HWND activePage = nullptr;
    WNDPROC browseEditProc = nullptr;   // previous procedure of the Browse pattern edit
    WNDPROC searchEditProc = nullptr;   // previous procedure of the Search text edit
    WNDPROC searchListProc = nullptr;   // previous procedure of the Search result list
    ObjectRecord *result = nullptr;     // the caller's record (also the object to start with)
    ObjectRecord current;               // the object being chosen; the Browse page keeps its
                                        // class, kind and constellation filter in it
    ObjectRecord shown;                 // the object the panel shows: what OK returns
    int chosen = 0;                     // 1 when the user chose the shown object (a row picked,
                                        // coordinates accepted); the object the picker
                                        // starts on is shown but not chosen
    ObjectRecord *searchResults = nullptr;  // kSearchMaxResults records
    ObjectRecord recent[kRecentObjectCount];
    LocationRecord site;
    DateRecord time;
    int32_t *browseNumbers = nullptr;   // one catalogue number per Browse row
    int modal = 0;                      // 1: RequestObjectDialog's frame frees the state
    HINSTANCE instance = nullptr;
    PickerDisplaySettings *display = nullptr;
    char preset[256] = "";
    double extinction = 0.2;            // magnitudes per air mass, for every rebuild
    BrowseState browse;                 // the Browse page's listing cursor
};

// Process-wide values of the picker.
extern RequestorState *g_requestor;
extern int g_activePageIndex;  // 0 Search, 1 Browse, 2 Enter Coordinates
extern int g_searchScope;      // 0 All, 1 Solar System, 2 Stars, 3 Deep Sky
extern int g_raInputFormat;    // 0 hours, 1 degrees
extern int g_coordinatesAccepted;
extern int32_t g_browsePage, g_browseTotal, g_browsePageCount;

// The designation preferences of the display settings (none: natural order).
const DesignationPreferences *PickerPreferences();
// V-band extinction for the state's month and site.
double PickerExtinction(const RequestorState *state);

INT_PTR CALLBACK RequestDlgBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK RequestorDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK RSearchSubDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK RBrowseSubDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK RCoordSubDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Shared with the pages.
void SelectObjectByText(HWND requestor, const char *text);
// Shows the object in the panel; it becomes the chosen one.
void ShowSelectedObject(HWND requestor, const ObjectRecord *record, int row);
// Empties the panel: nothing is shown and nothing chosen (a search that
// found nothing, a row whose object cannot be built).
void ClearSelectedObject(HWND requestor);
int FindComponentRow(const ObjectRecord *record);
int SelectStarComponent(ObjectRecord *record, int componentIndex);
void OpenRequestorPage(HWND requestor, int page);
void AddCurrentToRecentObjects();
void FillRecentObjectsCombo(HWND requestor);
// Rebuilds the current object for the state's site and time.
void RefreshCurrentObject();

// The procedure of a page's edit that acts on Enter: the key is asked for
// (not left to the dialog), its key-down calls onEnter with the edit, and
// everything else goes to the edit's previous procedure.
LRESULT EditWithEnterAction(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, WNDPROC previous,
                            void (*onEnter)(HWND edit));
// The rest of such a procedure: Enter asked for, everything else to the
// control's previous procedure.
LRESULT WantEnterElseDefault(HWND control, UINT message, WPARAM wParam, LPARAM lParam, WNDPROC previous);

// 1 when a bare position was made from the page's fields, 0 after an error box.
int ReadEnteredCoordinates(HWND page);

// Modeless use.
HWND CreateRequestor(HWND parent, HINSTANCE instance, int show);
RequestorState *SetRequestorSiteAndDate(const LocationRecord *site, const DateRecord *date);
void SetRequestorResultRecord(ObjectRecord *record);
int CopyRequestorSelection();
void SaveRequestorSelectionToHistory();
int RequestorExists();
int TranslateRequestorAccelerator(HACCEL accelerators, MSG *message);
