// What the shared code of the suite (controls, object picker, site, observer
// and instrument dialogs) asks its host program for: help at a topic, defaults
// for a new search, the time now, whether a telescope is connected, and
// notices that the instrument store changed. The host program implements
// these (the importer in app/, answering with neutral values); the shared
// code on every floor calls them through this header alone.
//
// Each default is rebuilt into one static record on every call and returned
// by address, so a caller that keeps the address sees the record as the last
// call left it. Copy a record to keep it.
#pragma once
#include <cstddef>
#include <cstdint>

struct DateRecord;
struct HPALETTE__;  // the palette handle of <windows.h>
struct HWND__;      // the window handle of <windows.h>
struct InstrumentRecord;
struct LocationRecord;
struct ObjectRecord;
struct ObserverRecord;
struct PickerDisplaySettings;  // picker/displaysettings.h


// Opens the help file at a context id; 0 when no help could be shown.
int ShowHelpTopic(int topicId);

// The message that sets the class pictures of the host's "SCBitmap" window
// class (wParam = the object's category bits); the picker's data panel shows
// its object's class through one.
const unsigned kSCBitmapSetFlag = 1574;

// The palette the shared controls draw their bitmaps with: none (a null
// handle) in the importer, so they draw without selecting a palette.
HPALETTE__ *GetHostPalette();
// Site 0 of loc.bin, or the built-in site when the store holds none.
LocationRecord *GetDefaultLocation(int unused);
// "Default Observer", age 40, pupil from the age (6.46 mm), experience 0.5.
ObserverRecord *GetDefaultObserver(int unused);
// The naked eye for a 6.5 mm pupil. The record is 330,152 bytes: keep it off
// the stack.
InstrumentRecord *GetDefaultInstrument(int unused, const ObserverRecord *observer);
// Now, in local time at the default site (GetDefaultLocation is rebuilt first),
// with Delta T, nutation and sidereal times completed.
DateRecord *GetNowAtDefaultLocation();
PickerDisplaySettings *GetDefaultDisplaySettings();
// The picker's "More Object Information": nothing is done in the importer.
void ShowMoreObjectInformation(HWND__ *window, int view, LocationRecord *site, DateRecord *date,
                               ObjectRecord *object, InstrumentRecord *instrument);
// No telescope is connected: 0, and the outputs are not written.
int IsTelescopeConnected();
int GetTelescopePosition(double *rightAscension, double *declination);
// Notices after the telescope dialogs saved instr.bin: nothing is done.
void NotifyInstrumentsChanged();
void NotifyEditionInstrumentsChanged();
