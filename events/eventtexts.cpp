// Event titles, list columns and lines, the objects of an event, the contact
// order of a list column and the user objects named by event files. Every
// text is written bounded to its slot.
#include "events/eventtexts.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "astro/angletext.h"
#include "astro/datetext.h"
#include "core/fsys.h"
#include "core/mathutil.h"
#include "core/resstrings.h"
#include "core/safefile.h"
#include "ephem/satellitenames.h"
#include "events/customevents.h"
#include "events/eventdates.h"
#include "events/eventfiles.h"
#include "events/eventsky.h"
#include "events/eventstore.h"
#include "events/showers.h"
#include "objects/categories.h"
#include "objects/objectnames.h"
#include "objects/objectrecord.h"

namespace {

const double kDegreesPerRadian = 180.0 / kPi;
const double kHoursPerRadian = 12.0 / kPi;
const double kTenDegrees = 0.17453292519943295;
const double kOneDegree = 0.017453292519943295;
const double kTenArcminutes = 0.002908882086657216;
const double kOneArcminute = 0.0002908882086657216;
const double kTenArcseconds = 0.0000484813681109536;
const int kPlanetPhenomenonStrings = 8912;
const int kMoonPhaseStrings = 19289;
const int kContactStrings = 18919;
const int kContactCodeMask = 0x7F;
const int kLastPlanetPhenomenon = 5;
const double kHalfDay = 0.5;
const double kLowerSortMagnitude = -20.0;
const double kSortMagnitude = 5.0;
const int kSearchStartLimit = 5000000;

std::string ResText(int id) {
    const char *t = LoadResString(id);
    return t ? std::string(t) : std::string();
}

// Planet phenomena 0-5 have names; the unused code 6 (and anything else) none.
std::string PlanetPhenomenonName(int code) {
    return code >= 0 && code <= kLastPlanetPhenomenon ? ResText(kPlanetPhenomenonStrings + code) : std::string();
}

std::string ContactName(int code) { return ResText(kContactStrings + (code & kContactCodeMask)); }

const char *ElongationName(int code) {
    static const char *const names[] = {"Northern Elongation", "Eastern Elongation", "Southern Elongation",
                                        "Western Elongation"};
    return code >= 1 && code <= 4 ? names[code - 1] : "";
}

const char *PhenomenonTitle(int code) {
    static const char *const names[] = {"Transit", "Shadow Transit", "Occulted by Jupiter", "Eclipsed by Jupiter"};
    return names[GetPhenomenonGroup(code)];
}

const char *PhenomenonContactName(int code) {
    static const char *const names[] = {"Mid Transit",         "Transit ingress",     "Transit egress",
                                        "Mid Shadow Transit",  "Shadow ingress",      "Shadow egress",
                                        "Occulted by Jupiter", "Occultation ingress", "Occultation egress",
                                        "Eclipsed by Jupiter", "Disappears",          "Reappears"};
    return code >= 1 && code <= 12 ? names[code - 1] : "";
}

std::string SatelliteName(int planet, int satellite) {
    char name[32] = "";
    GetSatelliteName(planet, satellite, name);
    return name;
}

// The name of a body of an event.
std::string BodyName(int objectClass, int index, int satellite) {
    if (objectClass == 2) {
        const int number = satellite > 100 ? satellite - 100 : satellite;
        if (number > 0) {
            const std::string s = SatelliteName(index, number);
            if (!s.empty()) return s;
        }
        const char *n = LoadBodyName(index);
        if (n && n[0]) return n;
    }
    ObjectRecord record;
    InitObjectRecord(&record);
    record.objectClass = static_cast<uint8_t>(objectClass);
    record.index = index;
    char name[80] = "";
    if (FormatObjectName(&record, name, nullptr, nullptr, nullptr, nullptr) && name[0]) return name;
    char fallback[48];
    std::snprintf(fallback, sizeof fallback, "Object %d", index);
    return fallback;
}

std::string Body1Name(const EventRecord *r) { return BodyName(r->body1Class, r->body1Index, r->body1Satellite); }
std::string Body2Name(const EventRecord *r) { return BodyName(r->body2Class, r->body2Index, r->body2Satellite); }

std::string LeftTrimmed(const char *s) {
    while (*s == ' ') ++s;
    return s;
}

void Put(char *slot, const std::string &text) { std::snprintf(slot, kEventSlotSize, "%s", text.c_str()); }

std::string AltitudeText(double altitude) {
    char b[kEventSlotSize];
    std::snprintf(b, sizeof b, "%4.0lf\xB0", altitude * kDegreesPerRadian);
    return b;
}

std::string DarknessText(double darkness) {
    char b[kEventSlotSize];
    std::snprintf(b, sizeof b, "%5.0lf", darkness * 100.0);
    return b;
}

int UsedContacts(const EventRecord *r) {
    const int used = r->contactCount;  // a copy: the field is packed
    return used < 0 ? 0 : (used > kEventMaxContacts ? kEventMaxContacts : used);
}

double EarliestTime(const EventRecord *r) {
    double t = r->time;
    for (int i = 0; i < UsedContacts(r); ++i)
        if (r->contacts[i].time < t) t = r->contacts[i].time;
    return t;
}

bool IsPlanetPhenomenon(const EventRecord *r) {
    return r->kind == kEventPhenomenon && r->contacts[0].code <= kCodeUnusedPhenomenon;
}

int YearOfUT(double julianDate) {
    DateRecord d;
    SetCompletedDate(nullptr, julianDate, &d);
    return d.year;
}

// The text of a custom event's line; false when the text file is missing.
bool CustomText(const EventRecord *r, std::string *text) {
    char buffer[kCustomTextBufferSize];
    const bool ok = GetCustomEventText(r->contacts[0].code, buffer) == 1;
    *text = ok ? buffer : "";
    return ok;
}

}  // namespace

void FormatEventDateTime(char *date, char *time, const LocationRecord *site, double julianDate, int eveningFlag) {
    if (date) {
        char b[kDateTextSize];
        FormatJulianDateAsDate(b, site, julianDate, eveningFlag);
        std::snprintf(date, kEventSlotSize, "%s", b);
    }
    if (time) {
        DateRecord d;
        SetCompletedDate(site, julianDate, &d);
        char b[64] = "";
        FormatClockTime(b, d.localHours);
        std::snprintf(time, kEventSlotSize, "%s", b);
    }
}

char *FormatApproachSeparation(char *buffer, int size, double s) {
    if (!buffer || size <= 0) return buffer;
    if (s > kTenDegrees)
        std::snprintf(buffer, size, "%.0lf\xB0", s * kDegreesPerRadian);
    else if (s > kOneDegree)
        std::snprintf(buffer, size, "%.1lf\xB0", s * kDegreesPerRadian);
    else if (s > kTenArcminutes)
        std::snprintf(buffer, size, "%.0lf'", s * kDegreesPerRadian * 60.0);
    else if (s > kOneArcminute)
        std::snprintf(buffer, size, "%.1lf'", s * kDegreesPerRadian * 60.0);
    else if (s > kTenArcseconds)
        std::snprintf(buffer, size, "%.0lf\"", s * kDegreesPerRadian * 3600.0);
    else
        std::snprintf(buffer, size, "%.1lf\"", s * kDegreesPerRadian * 3600.0);
    return buffer;
}

int FormatEventRecordTitle(const EventFileHeader *header, const EventRecord *r, char *title) {
    if (!r || !title) return 0;
    title[0] = '\0';
    const int code = r->contacts[0].code;
    char sep[32];
    switch (r->kind) {
    case kEventPhenomenon:
        if (code == kCodeShowerPeak) {
            ShowerRecord shower;
            DateRecord peak;
            std::memset(&shower, 0, sizeof shower);
            GetShowerPeak(r->body1Index, YearOfUT(r->time), &shower, &peak);
            std::snprintf(title, kEventSlotSize, "%s peak", shower.name);
        } else if (code <= kCodeUnusedPhenomenon) {
            const std::string what = PlanetPhenomenonName(code);
            std::snprintf(title, kEventSlotSize, what.empty() ? "%s%s" : "%s %s", Body1Name(r).c_str(), what.c_str());
        } else {
            std::snprintf(title, kEventSlotSize, "%s Moon", ResText(kMoonPhaseStrings + code).c_str());
        }
        return 1;
    case kEventSolarEclipse: std::snprintf(title, kEventSlotSize, "Solar Eclipse"); return 1;
    case kEventLunarEclipse: std::snprintf(title, kEventSlotSize, "Lunar Eclipse"); return 1;
    case kEventOccultation:
    case kEventTransit: {
        const std::string front = r->body2InFront ? Body2Name(r) : Body1Name(r);
        const std::string back = r->body2InFront ? Body1Name(r) : Body2Name(r);
        std::snprintf(title, kEventSlotSize, r->kind == kEventOccultation ? "%s occults %s" : "%s transits %s",
                      front.c_str(), back.c_str());
        return 1;
    }
    case kEventCloseApproach:
        FormatApproachSeparation(sep, sizeof sep, r->contacts[0].separation);
        std::snprintf(title, kEventSlotSize, "%s and %s %s apart", Body1Name(r).c_str(), Body2Name(r).c_str(), sep);
        return 1;
    case kEventSatelliteElongation:
        std::snprintf(title, kEventSlotSize, "%s %s", SatelliteName(r->body1Index, r->body2Index + 1).c_str(),
                      ElongationName(code));
        return 1;
    case kEventSatellitePhenomenon:
        std::snprintf(title, kEventSlotSize, "%s %s", SatelliteName(r->body1Index, r->body2Index + 1).c_str(),
                      PhenomenonTitle(code));
        return 1;
    case kEventRedSpotTransit: std::snprintf(title, kEventSlotSize, "GRS Transit"); return 1;
    case kEventCustom: {
        // A missing text file leaves an empty title, never a stale one.
        std::string text;
        CustomText(r, &text);
        Put(title, text);
        return 1;
    }
    default: return 0;
    }
    (void)header;
}

int FormatEventTitle(const EventFileHeader *header, const DateRecord *night, int index, char slots[2][kEventSlotSize]) {
    if (!header || !slots || index < 0 || index >= header->count) return 0;
    slots[0][0] = slots[1][0] = '\0';
    FileHandle file(OpenEventRecords(header));
    EventRecord r;
    if (!file || !ReadEvent(file.get(), index, &r)) return 0;
    if (!FormatEventRecordTitle(header, &r, slots[1])) return 0;
    const double earliest = EarliestTime(&r);
    FormatEventDateTime(slots[0], nullptr, &header->site, earliest, 1);
    int result = 1;
    if (night && LocalDateKey(&header->site, earliest - kHalfDay) == night->year * 10000 + night->month * 100 + night->day)
        result = 3;
    if (r.kind == kEventSolarEclipse || r.kind == kEventLunarEclipse || r.kind == kEventOccultation ||
        r.kind == kEventTransit)
        ++result;
    return result;
}

int FormatEventColumns(const EventFileHeader *header, const EventRecord *r, int contact,
                       char slots[kEventColumnSlots][kEventSlotSize], int *altitudeScore, int *darkness) {
    if (!header || !r || !slots || contact < 0 || contact >= kEventMaxContacts) return 0;
    for (int i = 0; i < kEventColumnSlots; ++i) slots[i][0] = '\0';
    const EventContact &c = r->contacts[contact];
    FormatEventDateTime(slots[0], slots[1], &header->site, c.time, 0);
    if (!IsPlanetPhenomenon(r) && r->kind != kEventCustom) {
        if (altitudeScore) *altitudeScore = c.hourScore & 0xFF;
        if (darkness) *darkness = c.hourScore >> 8;
    }
    char b[kEventSlotSize];
    switch (r->kind) {
    case kEventPhenomenon:
        if (c.code == kCodeShowerPeak) {
            ShowerRecord shower;
            DateRecord peak;
            std::memset(&shower, 0, sizeof shower);
            GetShowerPeak(r->body1Index, YearOfUT(r->time), &shower, &peak);
            std::snprintf(slots[2], kEventSlotSize, "%s peak", shower.name);
            Put(slots[3], FormatRightAscensionMinutes(b, shower.radiantRa * kHoursPerRadian));
            Put(slots[4], FormatDeclinationMinutes(b, shower.radiantDec * kDegreesPerRadian));
            std::snprintf(slots[5], kEventSlotSize, "%4d", shower.zhr);
            Put(slots[6], AltitudeText(c.altitude));
            Put(slots[7], DarknessText(c.darkness));
            return 8;
        }
        if (c.code > kCodeUnusedPhenomenon) {
            std::snprintf(slots[2], kEventSlotSize, "%s Moon", ResText(kMoonPhaseStrings + c.code).c_str());
            Put(slots[3], AltitudeText(c.altitude));
            return 4;
        }
        Put(slots[2], PlanetPhenomenonName(c.code));
        Put(slots[3], Body1Name(r));
        if (c.code >= kCodeOpposition && c.code <= kLastPlanetPhenomenon) {
            // The contact holds the apparent diameter and the magnitude.
            std::snprintf(slots[4], kEventSlotSize, "%6.0lf\"", c.separation * kDegreesPerRadian * 3600.0);
            std::snprintf(slots[5], kEventSlotSize, "%5.1lf", c.altitude);
            return 6;
        }
        return 4;
    case kEventSolarEclipse:
    case kEventLunarEclipse:
        Put(slots[2], ContactName(c.code));
        Put(slots[3], FormatDeclination(b, c.separation * kDegreesPerRadian));
        Put(slots[4], AltitudeText(c.altitude));
        Put(slots[5], DarknessText(c.darkness));
        return 6;
    case kEventOccultation:
    case kEventTransit:
    case kEventCloseApproach:
        Put(slots[2], ContactName(c.code));
        if (r->kind == kEventCloseApproach || !r->body2InFront) {
            Put(slots[3], Body1Name(r));
            Put(slots[4], Body2Name(r));
        } else {
            Put(slots[3], Body2Name(r));
            Put(slots[4], Body1Name(r));
        }
        Put(slots[5], FormatApproachSeparation(b, sizeof b, c.separation));
        Put(slots[6], AltitudeText(c.altitude));
        Put(slots[7], DarknessText(c.darkness));
        return 8;
    case kEventSatelliteElongation:
        Put(slots[2], ElongationName(c.code));
        Put(slots[3], SatelliteName(r->body1Index, r->body2Index + 1));
        Put(slots[4], BodyName(2, r->body1Index, 0));
        std::snprintf(slots[5], kEventSlotSize, "%.1lf", c.separation * kDegreesPerRadian * 3600.0);
        Put(slots[6], AltitudeText(c.altitude));
        Put(slots[7], DarknessText(c.darkness));
        return 8;
    case kEventSatellitePhenomenon:
        Put(slots[2], PhenomenonContactName(c.code));
        Put(slots[3], SatelliteName(r->body1Index, r->body2Index + 1));
        Put(slots[4], BodyName(2, r->body1Index, 0));
        Put(slots[5], AltitudeText(c.altitude));
        Put(slots[6], DarknessText(c.darkness));
        return 7;
    case kEventRedSpotTransit:
        Put(slots[2], ContactName(c.code));
        Put(slots[3], "Jupiter's Great Red Spot");
        Put(slots[4], AltitudeText(c.altitude));
        Put(slots[5], DarknessText(c.darkness));
        return 6;
    case kEventCustom: {
        std::string text;
        if (!CustomText(r, &text)) return 0;
        Put(slots[2], text);
        // A text-only event still shows its date, time and text.
        if (r->body1Index == 0) return 3;
        Put(slots[3], Body1Name(r));
        if (r->body2Index == 0) return 4;
        Put(slots[4], Body2Name(r));
        return 5;
    }
    default: return 0;
    }
}

int FormatEventLine(const EventFileHeader *header, const EventRecord *r, int contact, const char *title, char *line,
                    int lineSize) {
    if (!header || !r || !line || lineSize <= 0) return 0;
    line[0] = '\0';
    char slots[kEventColumnSlots][kEventSlotSize];
    const int n = FormatEventColumns(header, r, contact, slots, nullptr, nullptr);
    if (n == 0) return 0;
    const EventContact &c = r->contacts[contact];
    std::string start = std::string(slots[0]) + " " + slots[1] + "  " + (title ? title : "");
    auto col = [&](int i) { return LeftTrimmed(slots[i]); };
    int written = -1;
    switch (r->kind) {
    case kEventPhenomenon:
        if (c.code == kCodeShowerPeak) {
            written = std::snprintf(line, lineSize, "%s, Radiant: RA=%s Dec=%s, ZHR=%s, Alt=%s, %s%% Dark", start.c_str(),
                                    col(3).c_str(), col(4).c_str(), col(5).c_str(), col(6).c_str(), col(7).c_str());
        } else if (c.code >= kCodeOpposition && c.code <= kLastPlanetPhenomenon) {
            const bool noDiameter = col(4) == "0\"";
            if (noDiameter)
                written = std::snprintf(line, lineSize, "%s, Mag=%s", start.c_str(), col(5).c_str());
            else
                written = std::snprintf(line, lineSize, "%s, Diam=%s, Mag=%s", start.c_str(), col(4).c_str(),
                                        col(5).c_str());
        } else {
            written = std::snprintf(line, lineSize, "%s", start.c_str());
        }
        break;
    case kEventSolarEclipse:
    case kEventLunarEclipse:
        written = std::snprintf(line, lineSize, "%s, %s, Sep=%s, Alt=%s", start.c_str(), col(2).c_str(),
                                col(3).c_str(), col(4).c_str());
        break;
    case kEventOccultation:
    case kEventTransit:
        written = std::snprintf(line, lineSize, "%s, %s, Sep=%s, Alt=%s, %s%% Dark", start.c_str(), col(2).c_str(),
                                col(5).c_str(), col(6).c_str(), col(7).c_str());
        break;
    case kEventCloseApproach:
    case kEventSatelliteElongation:
        written = std::snprintf(line, lineSize, "%s, Sep=%s, Alt=%s, %s%% Dark", start.c_str(), col(5).c_str(),
                                col(6).c_str(), col(7).c_str());
        break;
    case kEventSatellitePhenomenon:
        if (std::strstr(slots[2], "Occulted by")) return 0;
        written = std::snprintf(line, lineSize, "%s, %s, Alt=%s, %s%% Dark", start.c_str(), col(2).c_str(),
                                col(5).c_str(), col(6).c_str());
        break;
    case kEventRedSpotTransit:
        written = std::snprintf(line, lineSize, "%s, %s, Alt=%s, %s%% Dark", start.c_str(), col(2).c_str(),
                                col(4).c_str(), col(5).c_str());
        break;
    default: return 0;
    }
    return written >= 0 ? 1 : 0;
}

int GetEventObjects(const EventFileHeader *header, int index, ObjectRecord *first, ObjectRecord *second) {
    if (!header || !first || !second || index < 0 || index >= header->count) return 0;
    InitObjectRecord(first);
    InitObjectRecord(second);
    FileHandle file(OpenEventRecords(header));
    EventRecord r;
    if (!file || !ReadEvent(file.get(), index, &r)) return 0;
    auto set = [](ObjectRecord *o, int cls, int idx, int sat) {
        o->objectClass = static_cast<uint8_t>(cls);
        o->index = idx;
        o->kind = static_cast<uint8_t>(sat);
    };
    switch (r.kind) {
    case kEventPhenomenon:
        if (r.contacts[0].code == kCodeShowerPeak) return 0;
        if (r.contacts[0].code < kCodeNewMoon) {
            set(first, r.body1Class, r.body1Index, r.body1Satellite);
        } else {
            set(first, 2, kBodyMoon, 0);
        }
        return 1;
    case kEventSolarEclipse:
    case kEventLunarEclipse:
        set(first, 2, kBodySun, 0);
        set(second, 2, kBodyMoon, 0);
        return 2;
    case kEventOccultation:
    case kEventCloseApproach:
    case kEventTransit:
        set(first, r.body1Class, r.body1Index, r.body1Satellite);
        set(second, r.body2Class, r.body2Index, r.body2Satellite);
        return 2;
    case kEventSatelliteElongation:
    case kEventSatellitePhenomenon: set(first, 2, r.body1Index, r.body2Index + 1); return 1;
    case kEventRedSpotTransit: set(first, 2, kBodyJupiter, 0); return 1;
    default: return 0;
    }
}

namespace {

enum SortKey { kSortEqual, kSortTime, kSortSeparation, kSortAltitude, kSortDarkness, kSortRating };

struct SortRule {
    SortKey key;
    int ratingClass;  // -1: body 1's class
    double magnitude;
};

SortRule RuleFor(int kind, int column) {
    const SortRule equal{kSortEqual, 0, 0};
    if (column < 0 || column > 7) return equal;
    const SortRule time{kSortTime, 0, 0}, sep{kSortSeparation, 0, 0}, alt{kSortAltitude, 0, 0},
        dark{kSortDarkness, 0, 0};
    const SortRule ratingPlanet{kSortRating, 2, kSortMagnitude};
    switch (kind) {
    case kEventSolarEclipse:
    case kEventLunarEclipse: {
        const SortRule t[] = {time, time, sep, alt, dark, {kSortRating, -1, kLowerSortMagnitude}, dark, ratingPlanet};
        return t[column];
    }
    case kEventOccultation:
    case kEventTransit: {
        const SortRule t[] = {time, time, equal, equal, sep, alt, dark, ratingPlanet};
        return t[column];
    }
    case kEventSatellitePhenomenon: {
        const SortRule t[] = {time, time, equal, equal, alt, dark, ratingPlanet, equal};
        return t[column];
    }
    case kEventRedSpotTransit: {
        const SortRule t[] = {time, time, equal, alt, dark, {kSortRating, -1, kSortMagnitude}, equal, equal};
        return t[column];
    }
    default: return equal;
    }
}

}  // namespace

int SortEventContacts(const EventFileHeader *header, EventRecord *r, int index) {
    if (!header || !r || r->sortColumn < 0) return 0;
    const int n = UsedContacts(r);
    if (n == 0) return 0;
    const SortRule rule = RuleFor(r->kind, r->sortColumn);
    const int body1Class = r->body1Class;  // a copy: the field is packed
    const int ratingClass = rule.ratingClass < 0 ? body1Class : rule.ratingClass;
    auto value = [&](const EventContact &c) {
        switch (rule.key) {
        case kSortTime: return c.time;
        case kSortSeparation: return c.separation;
        case kSortAltitude: return -c.altitude;
        case kSortDarkness: return -c.darkness;
        case kSortRating: return -BlendForObject(c.hourScore, ratingClass, rule.magnitude, 0, 0);
        default: return 0.0;
        }
    };
    std::stable_sort(r->contacts, r->contacts + n,
                     [&](const EventContact &a, const EventContact &b) { return value(a) < value(b); });
    FileHandle file(OpenEventRecords(header));
    if (!file || !WriteEventAt(file.get(), index, r)) return 0;
    return SafeClose(file.release());
}

int CollectEventUserObjects(std::vector<EventObjectKey> *keys) {
    if (!keys) return 0;
    keys->clear();
    char folder[1100];
    GetEventsFolder(folder, sizeof folder);
    std::vector<FsEntry> entries;
    if (!folder[0] || !FsListFolder(folder, entries)) return 0;
    std::unique_ptr<EventFileHeader> h(new (std::nothrow) EventFileHeader);
    if (!h) return 0;
    for (const FsEntry &e : entries) {
        if (e.isFolder || e.name.size() < 4) continue;
        std::string ext = e.name.substr(e.name.size() - 4);
        std::transform(ext.begin(), ext.end(), ext.begin(), [](char ch) { return static_cast<char>(std::tolower(static_cast<unsigned char>(ch))); });
        if (ext != ".bin") continue;
        const std::string path = std::string(folder) + "/" + e.name;
        FileHandle file(SafeOpen(path.c_str(), "rb"));
        if (!file || SafeRead(h.get(), sizeof *h, 1, file.get()) != 1) continue;
        if (!(h->start >= 0 && h->start <= kSearchStartLimit) || h->bodyCount < 0 || h->bodyCount > kEventMaxBodies)
            continue;
        auto add = [&](int cls, int idx, int sat) {
            if (IsUserObjectClass(cls)) keys->push_back({cls, idx, sat});
        };
        if (h->definitionKind == kDefinitionCalendar) {
            for (int i = 0; i < h->bodyCount; ++i) add(h->bodies[i].objectClass, h->bodies[i].index, h->bodies[i].satellite);
        } else {
            add(h->body1Class, h->body1Index, h->body1Satellite);
            add(h->body2Class, h->body2Index, h->body2Satellite);
        }
    }
    std::sort(keys->begin(), keys->end(), [](const EventObjectKey &a, const EventObjectKey &b) {
        if (a.objectClass != b.objectClass) return a.objectClass < b.objectClass;
        if (a.index != b.index) return a.index < b.index;
        return a.satellite < b.satellite;
    });
    return static_cast<int>(keys->size());
}

int IsObjectUsedByEvents(const EventObjectKey *keys, const ObjectRecord *object, int count) {
    if (!keys || !object || count <= 0) return 0;
    const EventObjectKey wanted{object->objectClass, object->index, object->kind};
    const bool found = std::binary_search(keys, keys + count, wanted, [](const EventObjectKey &a, const EventObjectKey &b) {
        if (a.objectClass != b.objectClass) return a.objectClass < b.objectClass;
        if (a.index != b.index) return a.index < b.index;
        return a.satellite < b.satellite;
    });
    return found ? 1 : 0;
}
