// The shared site and observer dialogs: the Observing Sites dialog (the
// favourites of loc.bin, templates LocDlgSE and LocDlgPro), the Edit
// Observing Site dialog (LocEditDlg), the Observers dialog (ObserverDlg) and
// the Edit Observer dialog (ObserverEditDlg). Each keeps its working data in
// one state reached through a process-wide pointer while it is open.
#pragma once
#include <windows.h>

#include <cstdint>

#include "astro/location.h"
#include "sites/observerstore.h"
#include "sites/places.h"
#include "dialogs/sitedialogrules.h"
#include "sites/sitestore.h"

// Working data of one open site dialog, shared with its sub-dialogs.
struct LocDlgState {
    HINSTANCE instance;
    HWND skyBrightnessPage;          // page shown inside the sky-brightness dialog
    LocationRecord site;             // the site being edited
    LocationTrailer trailer;
    int16_t selection;               // slot of the selected favourite
    uint8_t ignoreFirstTreeSelection;
    uint8_t filling;                 // controls are being filled: edit notices ignored
    int32_t clockDigits[8];          // daylight-saving start and end, h h m m twice
    void *placesTables;              // open places tables of the places dialog
    int32_t placeRow;
    int32_t firstPlaceIndex;
    char regionName[34];
    uint8_t backupTaken;             // BackupLocationFile succeeded on opening
    uint8_t manualEntry;             // the last place came from manual entry or GPS
    double manualLongitude;          // degrees, west positive
    double manualLatitude;           // degrees
    double manualElevation;          // metres
    char placeName[34];              // the name typed for a new place (manual entry)
    PlaceRecord place;               // the place picked in the places dialog
    uint8_t skyPerArcminute;         // sky brightness shown per square arcminute
    SiteSessionEffects effects;      // file effects kept for OK or undone on Cancel
};
LocDlgState *GetLocDlgState();
// At the opening of a dialog that needs the site dialogs' state: with none,
// ends the dialog and returns true.
bool EndWithoutLocState(HWND dialog, const LocDlgState *st);

// Opens the Observing Sites dialog on the record. A record whose name is not
// stored is added (and taken away again on Cancel); a stored name with other
// coordinates selects the stored site. 1 after OK with the selected site
// copied to the record; 0 after Cancel or when the state cannot be made.
int PickLocation(HWND owner, HINSTANCE instance, LocationRecord *site);
// Edits one site outside the favourites: 0 Cancel, 1 OK, 2 "Add to Favorites"
// (the Observing Sites dialog is then opened on it). Record and trailer are
// copied back on 1 and 2.
int EditLocation(HWND owner, HINSTANCE instance, LocationRecord *site, LocationTrailer *trailer);
// The obstructed-horizon dialog "Create Obstructed Horizon" for a site
// (LocHorDlg, its lParam the site): 1 when a horizon file was made while it
// was open, else 0 (also when no record is given).
INT_PTR RunHorizonDialog(HWND owner, LocationRecord *site);
// 1 when the window's text (up to 64 characters) parses to a value; the value
// is stored either way.
int ReadWindowNumber(HWND window, double *value);

INT_PTR CALLBACK LocDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK LocEditDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Working data of one open observer dialog.
struct ObserverDlgState {
    HINSTANCE instance;
    uint8_t filling;
    ObserverRecord observer;
    int16_t selection;
    uint8_t backupTaken;
};

// Opens the Observers dialog on the record: a name not stored (ignoring case)
// is added, and taken away again on Cancel. The selected index after OK (the
// record copied back), -1 after Cancel, -2 when the state cannot be made.
int PickObserver(HWND owner, HINSTANCE instance, ObserverRecord *observer);
// 1 after OK or "Add to Favorites" (record copied back; the Observers dialog is
// then opened on it), 0 after Cancel.
int EditObserver(HWND owner, HINSTANCE instance, ObserverRecord *observer);

INT_PTR CALLBACK ObserverDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ObserverEditDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Sub-dialogs of the site dialogs made by the places, daylight-saving,
// sky-brightness, horizon-recording and GPS code; each ends with 1 on OK.
// PlacesDlg ends with 1 when a place was picked (the state's place and
// regionName) or typed by hand (then the state's manual-entry flag is set,
// with placeName and the manual position);
// LocManDlg edits the state's site (edit mode) or types a new place (new mode).
INT_PTR CALLBACK PlacesDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK LocManDlgEditProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK LocManDlgNewProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK DSDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK MagLimDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK LocHorDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK GPSDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
