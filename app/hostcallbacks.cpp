// The importer's portable answers to the call-backs of the shared code: the
// default site, observer, instrument, time and display settings.
#include "core/hostcallbacks.h"

#include <cstring>
#include <memory>

#include "astro/datetime.h"
#include "astro/clock.h"
#include "astro/location.h"
#include "astro/sidereal.h"
#include "instruments/instrumentrecord.h"
#include "instruments/optics.h"
#include "objects/objectnames.h"
#include "picker/displaysettings.h"
#include "sites/observerstore.h"
#include "sites/sitestore.h"

namespace {

LocationRecord g_defaultSite;
ObserverRecord g_defaultObserver;
DateRecord g_now;
PickerDisplaySettings g_displaySettings;

// 330 KB: allocated once, never a stack variable.
InstrumentRecord *DefaultInstrumentStorage() {
    static std::unique_ptr<InstrumentRecord> record(new InstrumentRecord);
    return record.get();
}

}  // namespace

LocationRecord *GetDefaultLocation(int) {
    std::memset(&g_defaultSite, 0, sizeof g_defaultSite);
    LoadDefaultLocation(&g_defaultSite);
    return &g_defaultSite;
}

ObserverRecord *GetDefaultObserver(int) {
    InitObserverRecord(&g_defaultObserver, "Default Observer", 40, 0.0, 0.5);
    return &g_defaultObserver;
}

InstrumentRecord *GetDefaultInstrument(int, const ObserverRecord *) {
    InstrumentRecord *record = DefaultInstrumentStorage();
    std::memset(record, 0, sizeof *record);
    InitNakedEyeInstrument(record, 6.5);
    return record;
}

DateRecord *GetNowAtDefaultLocation() {
    const LocationRecord *site = GetDefaultLocation(0);
    std::memset(&g_now, 0, sizeof g_now);
    SetDateRecordToNow(site, &g_now);
    ComputeDeltaTAndNutation(&g_now, 0.0);
    ComputeSiderealTimes(site, &g_now);
    return &g_now;
}

PickerDisplaySettings *GetDefaultDisplaySettings() {
    PickerDisplaySettings &s = g_displaySettings;
    std::memset(&s, 0, sizeof s);
    s.flags[0] = 1;
    s.highlightColour = 0xFF0000;
    s.fraction = 0.75;
    s.limit = 127.0;
    InitDesignationPreferences(&s.designation);
    s.lastFlag = 1;
    return &s;
}

void ShowMoreObjectInformation(HWND__ *, int, LocationRecord *, DateRecord *, ObjectRecord *,
                               InstrumentRecord *) {}

int IsTelescopeConnected() { return 0; }

int GetTelescopePosition(double *, double *) { return 0; }

void NotifyInstrumentsChanged() {}

void NotifyEditionInstrumentsChanged() {}
