// What the shared code of the suite (controls, object picker, site, observer
// and instrument dialogs) asks its host program for: defaults for a new
// search, the time now, whether a telescope is connected, and notices that
// the instrument store changed. The importer answers with neutral values.
//
// Each default is rebuilt into one static record on every call and returned
// by address, so a caller that keeps the address sees the record as the last
// call left it. Copy a record to keep it.
#pragma once
#include <cstddef>
#include <cstdint>

#include "objects/designationlist.h"

struct DateRecord;
struct HPALETTE__;  // the palette handle of <windows.h>
struct HWND__;      // the window handle of <windows.h>
struct InstrumentRecord;
struct LocationRecord;
struct ObjectRecord;
struct ObserverRecord;

#pragma pack(push, 1)
// The object picker's display settings. The preference block from offset 28
// has the layout of the designation preferences: per family of classes (11),
// 60 order bytes (the kind shown at each position), then 60 enable bytes each,
// then the star-name flag.
struct PickerDisplaySettings {
    uint8_t flags[4];               // 0     1, 0, 0, 0
    int32_t highlightColour;        // 4     0x00BBGGRR; 0xFF0000 pure blue
    double fraction;                // 8     0.75
    uint8_t reserved[4];            // 16    0
    double limit;                   // 20    127.0
    DesignationPreferences designation;  // 28: order, enabled, star-name flag
    uint8_t lastFlag;               // 1349  1
};
#pragma pack(pop)
static_assert(sizeof(PickerDisplaySettings) == 1350, "display settings are 1350 bytes");
static_assert(offsetof(PickerDisplaySettings, designation) == 28, "designation block at 28");

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
