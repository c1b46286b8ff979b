// Field checks, conversions and session side effects of the site and
// observer dialogs.
#include "dialogs/sitedialogrules.h"

#include <cmath>
#include <cstring>

#include "astro/angleparse.h"
#include "picker/typednumber.h"
#include "core/textutil.h"
#include "events/eventfiles.h"
#include "sites/horizonfile.h"
#include "photometry/seeing.h"

const char kBelowSeaLevelWarning[] =
    "Warning: elevations below sea level are not allowed.\r\nElevation changed to 0.";
const char kTemperatureWarning[] = "Warning: Temperature out of range";
const char kHumidityWarning[] = "Warning: Relative Humidity out of range";

int ParseDialogNumber(const char *text, double *value) {
    double v = ParseSexagesimal(text ? text : "");
    if (value) *value = v;
    return v == kNoRealValue ? 0 : 1;
}

int ApplyZoneRow(int row, const char *zoneText, LocationRecord *site, LocationTrailer *trailer) {
    if (row >= 1 && row <= 4) {
        trailer->namedZone = (uint8_t)row;
        site->timeZone = NamedZoneOffsets[row];
        return 1;
    }
    double zone;
    if (!ParseDialogNumber(zoneText, &zone)) return 0;
    trailer->namedZone = 0;
    site->timeZone = zone;
    return 1;
}

int ReadSiteFields(const SiteDialogFields &fields, LocationRecord *site, LocationTrailer *trailer,
                   int *belowSeaLevel) {
    if (belowSeaLevel) *belowSeaLevel = 0;
    LocationRecord s = *site;
    LocationTrailer t = *trailer;
    double elevation;
    if (!ParseDialogNumber(fields.elevation.c_str(), &elevation)) return kSiteFieldsNoValue;
    bool below = elevation < 0.0;
    if (below) elevation = 0.0;
    if (belowSeaLevel) *belowSeaLevel = below ? 1 : 0;
    if (fields.elevationInFeet) elevation *= kMetresPerFoot;
    s.elevation = elevation;
    if (!ApplyZoneRow(fields.zoneRow, fields.zone.c_str(), &s, &t)) return kSiteFieldsNoValue;
    int rating = fields.seeingRow < 0 ? 0 : fields.seeingRow > 4 ? 4 : fields.seeingRow;
    s.seeingRating = (uint8_t)rating;
    s.seeing = GetSeeingForRating(rating);
    double temperature;
    if (!ParseDialogNumber(fields.temperature.c_str(), &temperature) || temperature < -100.0 ||
        temperature > 150.0)
        return kSiteFieldsBadTemperature;
    if (fields.fahrenheit) temperature = (temperature - 32.0) * 5.0 / 9.0;
    s.temperature = temperature;
    double humidity;
    if (!ParseDialogNumber(fields.humidity.c_str(), &humidity) || humidity < 1.0 || humidity > 99.0)
        return kSiteFieldsBadHumidity;
    s.humidity = humidity;
    if (fields.fahrenheit)
        s.displayFlags |= 1;
    else
        s.displayFlags &= (uint8_t)~1u;
    t.elevationInFeet = fields.elevationInFeet ? 1 : 0;
    *site = s;
    *trailer = t;
    return kSiteFieldsOk;
}

double ElevationShown(const LocationRecord *site, const LocationTrailer *trailer) {
    return trailer->elevationInFeet ? site->elevation * kFeetPerMetre : site->elevation;
}

double TemperatureShown(const LocationRecord *site) {
    return (site->displayFlags & 1) ? 9.0 / 5.0 * site->temperature + 32.0 : site->temperature;
}

int ApplyTypedElevation(const char *text, int inFeet, LocationRecord *site) {
    double v;
    if (!ParseDialogNumber(text, &v)) return 0;
    site->elevation = inFeet ? v * kMetresPerFoot : v;
    return 1;
}

int SelectionAfterDelete(int deleted, int countBefore) {
    int countAfter = countBefore - 1;
    if (countAfter <= 0) return -1;
    return deleted >= countAfter ? countAfter - 1 : deleted;
}

// ---- observers ---------------------------------------------------------------------------

int ReadObserverFields(const ObserverDialogFields &fields, ObserverRecord *observer) {
    std::string name = fields.name.substr(0, 62);
    if (name.empty()) return 0;
    double age;
    if (!ParseDialogNumber(fields.age.c_str(), &age)) return 0;
    double whole = std::trunc(age);
    if (whole < 1.0 || whole > 200.0) return 0;
    double pupil;
    if (!ParseDialogNumber(fields.pupil.c_str(), &pupil)) {
        pupil = ComputePupilForAge(whole);
    } else if (!(pupil > 0.0 && pupil <= 20.0)) {
        return 0;
    }
    int row = fields.experienceRow < 0 ? 0 : fields.experienceRow > 4 ? 4 : fields.experienceRow;
    std::memset(observer->name, 0, sizeof observer->name);
    std::memcpy(observer->name, name.data(), name.size());
    observer->age = (int32_t)whole;
    observer->pupilDiameter = pupil;
    observer->experience = row * 0.25;
    return 1;
}

int ApplyTypedPupil(const char *text, ObserverRecord *observer) {
    double v;
    if (!ParseDialogNumber(text, &v) || v < 1.0 || v > 20.0) return 0;
    observer->pupilDiameter = v;
    return 1;
}

int ApplyTypedAge(const char *text, ObserverRecord *observer) {
    double v;
    if (!ParseDialogNumber(text, &v)) return 0;
    v = std::trunc(v);
    if (v < 1.0 || v > 150.0) return 0;
    observer->age = (int32_t)v;
    return 1;
}

int IsAcceptableTypedName(const char *name) {
    if (!name) return 0;
    // Control characters are left to the edit control; only the encoding
    // characters are refused here.
    for (const char *p = name; *p; ++p)
        if (std::strchr("~`!@#$%^&{}[]", *p)) return 0;
    return 1;
}

// ---- session side effects ------------------------------------------------------------------

int SaveSiteInSession(FILE *store, int index, LocationRecord *site,
                      const LocationTrailer *trailer, SiteSessionEffects *effects) {
    LocationRecord stored;
    if (!ReadLocation(store, index, &stored, nullptr)) return 0;
    std::string oldName(stored.name, strnlen(stored.name, sizeof stored.name));
    bool hadHorizon = HorizonFileExists(oldName.c_str()) == 1;
    DaylightSavingRule rule = site->dst;
    if (!UpdateLocation(store, index, site, trailer, &rule, site->dstMode)) return 0;
    std::string newName(site->name, strnlen(site->name, sizeof site->name));
    if (effects && hadHorizon && oldName != newName && HorizonFileExists(newName.c_str()) == 1 &&
        HorizonFileExists(oldName.c_str()) == 0)
        effects->horizonRenames.emplace_back(oldName, newName);
    return 1;
}

void CommitSiteSession(SiteSessionEffects *effects) {
    if (!effects) return;
    int16_t count = 0;
    FILE *store = OpenLocationStore(&count);
    for (LocationRecord &site : effects->deletedSites) {
        // A site of the same name that is in the store again keeps its events.
        bool present = false;
        for (int i = 0; store && i < count && !present; ++i) {
            LocationRecord r;
            if (ReadLocation(store, i, &r, nullptr) &&
                std::strncmp(r.name, site.name, sizeof r.name) == 0)
                present = true;
        }
        if (!present && EventFilesExist(&site)) DeleteEventFiles(&site);
    }
    if (store) std::fclose(store);
    effects->deletedSites.clear();
    effects->horizonRenames.clear();
}

void UndoSiteSession(SiteSessionEffects *effects) {
    if (!effects) return;
    for (auto it = effects->horizonRenames.rbegin(); it != effects->horizonRenames.rend(); ++it)
        RenameHorizonFile(it->second.c_str(), it->first.c_str());
    effects->horizonRenames.clear();
    effects->deletedSites.clear();
}

int ReadManualSiteFields(const ManualSiteFields &fields, ManualSite *out) {
    std::string name = fields.name.substr(0, 31);
    size_t first = name.find_first_not_of(" \t");
    if (first == std::string::npos) return kManualSiteNoName;
    name = name.substr(first, name.find_last_not_of(" \t") - first + 1);
    char reserved = 0;
    // The name becomes part of file names (horizons, events).
    if (!FindReservedNameCharacter(name.c_str(), &reserved) || IsReservedDeviceName(name.c_str()))
        return kManualSiteBadName;
    double longitude = 0.0, latitude = 0.0, elevation = 0.0;
    // A coordinate must be typed as a number: the reader alone would take
    // "12a" as 0 (a 12-hour mark) and a blank field as 0 degrees.
    if (!ReadTypedNumber(fields.westLongitude.c_str(), &longitude) || std::fabs(longitude) > 180.0)
        return kManualSiteBadLongitude;
    if (!ReadTypedNumber(fields.latitude.c_str(), &latitude) || std::fabs(latitude) > 90.0)
        return kManualSiteBadLatitude;
    if (!ParseDialogNumber(fields.elevation.c_str(), &elevation) || elevation < 0.0) elevation = 0.0;
    if (fields.elevationInFeet) elevation *= kMetresPerFoot;
    out->name = name;
    out->westLongitude = longitude;
    out->latitude = latitude;
    out->elevation = elevation;
    return kManualSiteOk;
}

const char *ManualSiteMessage(int result) {
    switch (result) {
    case kManualSiteNoName: return "Please enter a name for the location.";
    case kManualSiteBadName:
        return "The name cannot be used for a location: it holds one of the characters "
               "~ ` ! @ # $ % ^ & { } [ ] or is a name Windows keeps for a device.";
    case kManualSiteBadLongitude:
        return "The west longitude must be degrees from -180 to 180, as 104:30:00 or 104.5 "
               "(east longitudes are negative).";
    case kManualSiteBadLatitude:
        return "The latitude must be degrees from -90 to 90, as 40:15:00 or -33.9 (south is negative).";
    default: return "";
    }
}
