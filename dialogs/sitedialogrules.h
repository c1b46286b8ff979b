// The rules of the site and observer dialogs that do not depend on windows:
// reading and checking the typed fields into a site or an observer, the named
// time zones, the unit conversions, the selection after a deletion, and the
// file side effects of a dialog session (event files of deleted sites,
// horizon renames) that wait for OK or are undone on Cancel.
#pragma once
#include <string>
#include <vector>

#include "astro/location.h"
#include "sites/observerstore.h"
#include "sites/sitestore.h"

// Metres per foot as the site dialogs convert (1 / 3.281), and feet per metre.
const double kMetresPerFoot = 0.30478512648582747874;
const double kFeetPerMetre = 3.281;

// Texts of the warnings, shown with the caption "Nightjar Message".
extern const char kBelowSeaLevelWarning[];
extern const char kTemperatureWarning[];
extern const char kHumidityWarning[];

// 1 when the text parses (ParseSexagesimal) to a value; the value is stored
// either way (2147483647.0 for none).
int ParseDialogNumber(const char *text, double *value);

// The typed fields of the Observing Sites and Edit Observing Site dialogs.
struct SiteDialogFields {
    std::string elevation;    // in the unit shown
    int elevationInFeet = 0;  // trailer byte 1
    int zoneRow = 0;          // 0 "GMT+", 1-4 the named zones
    std::string zone;         // hours, read for row 0
    int seeingRow = 2;        // 0-4
    std::string temperature;  // in the unit shown
    int fahrenheit = 0;       // flags bit 0
    std::string humidity;     // percent
};

// Results of ReadSiteFields.
const int kSiteFieldsOk = 1;
const int kSiteFieldsNoValue = 0;          // elevation or zone does not parse: no message
const int kSiteFieldsBadTemperature = -1;  // outside -100..150 in the unit shown
const int kSiteFieldsBadHumidity = -2;     // outside 1..99
// Reads the fields into the site and trailer; on anything but kSiteFieldsOk
// both are left unchanged. A negative elevation becomes 0 and sets
// *belowSeaLevel (the caller shows the warning); feet are converted to metres,
// Fahrenheit to Celsius; a named zone sets trailer byte 0 and forces its
// offset, row 0 clears byte 0 and takes the typed zone; the seeing rating sets
// the seeing from GetSeeingForRating.
int ReadSiteFields(const SiteDialogFields &fields, LocationRecord *site, LocationTrailer *trailer,
                   int *belowSeaLevel);
// The zone combo's change: trailer byte 0 and the zone as ReadSiteFields does;
// 0 (nothing changed) when row 0's text does not parse.
int ApplyZoneRow(int row, const char *zoneText, LocationRecord *site, LocationTrailer *trailer);
// The elevation as shown: metres, or feet when the trailer says so.
double ElevationShown(const LocationRecord *site, const LocationTrailer *trailer);
// The temperature as shown: Celsius, or Fahrenheit with flags bit 0.
double TemperatureShown(const LocationRecord *site);
// The typed elevation while typing: stored at once when it parses (converted
// from feet), no sea-level check. 1 when stored.
int ApplyTypedElevation(const char *text, int inFeet, LocationRecord *site);

// The list selection after deleting slot 'deleted' of a list that held
// countBefore entries: the same index, or the one before when the last was
// deleted (-1 when the list is now empty).
int SelectionAfterDelete(int deleted, int countBefore);

// ---- observers -----------------------------------------------------------------------

struct ObserverDialogFields {
    std::string name;
    std::string age;
    std::string pupil;       // mm
    int experienceRow = 2;   // 0-4
};
// 1 and the observer updated when: the name (at most 62 characters kept) is not
// empty, the age (whole part) is 1-200 and the pupil is above 0 and at most 20
// mm. A pupil that does not parse is computed from the age (a 0 mm pupil would
// reach the visibility models). The experience is row x 0.25. 0: nothing changed.
int ReadObserverFields(const ObserverDialogFields &fields, ObserverRecord *observer);
// Typing: a pupil of 1-20 mm, or an age (whole part) of 1-150, is stored at
// once; other texts wait for OK. 1 when stored.
int ApplyTypedPupil(const char *text, ObserverRecord *observer);
int ApplyTypedAge(const char *text, ObserverRecord *observer);
// A typed name is refused (0) when it holds one of the characters that file
// names of the name would use for encoding (~ ` ! @ # $ % ^ & { } [ ]).
int IsAcceptableTypedName(const char *name);

// ---- manual site coordinates -------------------------------------------------------

// The fields of the site coordinates dialog (LocManDlg): a site typed by hand.
struct ManualSiteFields {
    std::string name;
    std::string westLongitude;  // degrees, west positive, sexagesimal ("104:30:00", "-2.5")
    std::string latitude;       // degrees, north positive
    std::string elevation;      // in the unit shown
    int elevationInFeet = 0;
};
// The site as read: the name and degrees and metres.
struct ManualSite {
    std::string name;           // at most 31 characters
    double westLongitude = 0.0; // degrees, -180..180
    double latitude = 0.0;      // degrees, -90..90
    double elevation = 0.0;     // metres, 0 or more
};
// Results of ReadManualSiteFields.
const int kManualSiteOk = 1;
const int kManualSiteNoName = 0;            // empty or blank name
const int kManualSiteBadName = -1;          // a character file names cannot hold, or a device name
const int kManualSiteBadLongitude = -2;     // does not parse, or beyond 180 degrees
const int kManualSiteBadLatitude = -3;      // does not parse, or beyond 90 degrees
// Reads the fields: the name cut to 31 characters and trimmed; longitude and
// latitude must parse and lie in range; an elevation that does not parse, or
// is negative, becomes 0; feet are converted to metres. *out is written only
// on kManualSiteOk.
int ReadManualSiteFields(const ManualSiteFields &fields, ManualSite *out);
// The message shown for a result other than kManualSiteOk.
const char *ManualSiteMessage(int result);

// ---- side effects of a site dialog session ---------------------------------------------

// What a session did outside loc.bin: horizon files renamed by saved renames
// of sites, and sites deleted whose event files are to go. OK deletes the event
// files of the deleted sites that are not in the store again; Cancel (after
// loc.bak is restored) renames the horizon files back, newest first.
struct SiteSessionEffects {
    std::vector<std::pair<std::string, std::string>> horizonRenames;  // old, new
    std::vector<LocationRecord> deletedSites;
};
// Saves the site over its slot with UpdateLocation (the record's own
// daylight-saving rule) and notes a horizon rename it made. 1 on success.
int SaveSiteInSession(FILE *store, int index, LocationRecord *site,
                      const LocationTrailer *trailer, SiteSessionEffects *effects);
void CommitSiteSession(SiteSessionEffects *effects);
void UndoSiteSession(SiteSessionEffects *effects);
