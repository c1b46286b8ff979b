// The site store "loc.bin": paths, open, backup, the slot operations over the
// fixed-slot file, the update that re-derives a site, the lookup by name and
// coordinates, the default site and the site texts.
#include "sites/sitestore.h"

#include <cmath>
#include <cstddef>
#include <cstring>

#include "core/resstrings.h"
#include "core/fileutil.h"
#include "core/userfolder.h"
#include "sites/horizonfile.h"
#include "sites/slotstore.h"
#include "photometry/seeing.h"

const double NamedZoneOffsets[5] = {0.0, -5.0, -6.0, -7.0, -8.0};

namespace {

static_assert(sizeof(LocationRecord) + sizeof(LocationTrailer) == kLocationSlotSize,
              "a site slot is the record and its trailer");

struct Slot {
    unsigned char bytes[kLocationSlotSize];
};

void Pack(Slot *slot, const LocationRecord *record, const LocationTrailer *trailer) {
    std::memcpy(slot->bytes, record, sizeof(LocationRecord));
    std::memcpy(slot->bytes + sizeof(LocationRecord), trailer, sizeof(LocationTrailer));
}

void Unpack(const Slot &slot, LocationRecord *record, LocationTrailer *trailer) {
    std::memcpy(record, slot.bytes, sizeof(LocationRecord));
    TerminateLocationName(record);
    if (trailer) std::memcpy(trailer, slot.bytes + sizeof(LocationRecord), sizeof(LocationTrailer));
}

// A terminated copy of a record's name (records from callers may be unterminated).
void NameOf(const LocationRecord *record, char name[33]) {
    std::memcpy(name, record->name, 33);
    name[32] = '\0';
}

bool Within(double a, double b, double tolerance) {
    // Not greater than the tolerance; a NaN never agrees.
    return std::fabs(a - b) <= tolerance;
}

// The seeing word's rating: the record's rating 0-4, or for an explicitly given
// seeing (255) the rating whose typical seeing is nearest to it.
int SeeingWordRating(const LocationRecord *site) {
    int rating = site->seeingRating;
    if (rating <= 4) return rating;
    double seeing = site->seeing;
    int best = 2;
    double bestDistance = 1e300;
    for (int r = 0; r <= 4; ++r) {
        double d = std::fabs(GetSeeingForRating(r) - seeing);
        if (d < bestDistance) {
            bestDistance = d;
            best = r;
        }
    }
    return best;
}

// The built-in site: 104.0 degrees west, 30.6 degrees north, 5000 ft (divided
// by 3.281 to metres), naked-eye limit 7.1, 18.3 C, 60 %, average seeing, UT-7.
void InitBuiltInSite(LocationRecord *record) {
    InitLocationRecord(record, 1.8151424220741026, 0.5340707511102648, 1523.9256324291373, 7.1,
                       0.0, 18.3, 60.0, 2, 0.0, -7.0, "Texas Star Party");
}

}  // namespace

char *MakeLocationFilePath(char *buffer, int size) {
    if (buffer && size > 0 && !MakeUserDataPath(buffer, size, "loc.bin")) buffer[0] = '\0';
    return buffer;
}

char *MakeLocationBackupPath(char *buffer, int size) {
    if (buffer && size > 0 && !MakeUserDataPath(buffer, size, "loc.bak")) buffer[0] = '\0';
    return buffer;
}

FILE *OpenLocationStore(int16_t *count) {
    char path[1024];
    MakeLocationFilePath(path, sizeof path);
    if (!path[0]) return nullptr;
    FILE *f = OpenSlotStore(path, count);
    // A store that exists but cannot be opened for writing (a read-only user
    // folder) is still read: its records are known, and every write through
    // the stream fails and says so.
    if (!f && FileExists(path)) f = OpenSlotFileReadOnly(path, count);
    return f;
}

FILE *OpenLocationFile(const char *path, int16_t *count) {
    return OpenSlotFileReadOnly(path, count);
}

int BackupLocationFile() {
    char from[1024], to[1024];
    MakeLocationFilePath(from, sizeof from);
    MakeLocationBackupPath(to, sizeof to);
    if (!from[0] || !to[0]) return 0;
    return CopySlotFile(from, to, kLocationSlotSize);
}

int RestoreLocationFile() {
    char from[1024], to[1024];
    MakeLocationBackupPath(from, sizeof from);
    MakeLocationFilePath(to, sizeof to);
    if (!from[0] || !to[0]) return 0;
    return CopySlotFile(from, to, kLocationSlotSize);
}

int ReadNextLocationName(FILE *f, char *name) {
    if (!f || !name) return 0;
    Slot slot;
    if (std::fread(slot.bytes, 1, sizeof slot.bytes, f) != sizeof slot.bytes) return 0;
    std::memcpy(name, slot.bytes + offsetof(LocationRecord, name), 33);
    name[32] = '\0';
    return 1;
}

int AppendLocation(FILE *f, const LocationRecord *record, const LocationTrailer *trailer) {
    if (!record || !trailer) return 0;
    Slot slot;
    Pack(&slot, record, trailer);
    return AppendSlot(f, kLocationSlotSize, slot.bytes);
}

int SiteValuesInRange(const LocationRecord *r) {
    if (!r) return 0;
    auto within = [](double v, double low, double high) { return std::isfinite(v) && v >= low && v <= high; };
    const double kTwoPi = 6.283185307179586, kHalfPi = 1.5707963267948966;
    if (!within(r->longitude, -kTwoPi, kTwoPi) || !within(r->latitude, -kHalfPi, kHalfPi) ||
        !within(r->elevation, -500.0, 10000.0) || !within(r->timeZone, -14.0, 14.0) ||
        !within(r->temperature, -100.0, 100.0) || !within(r->humidity, 0.0, 100.0) ||
        !std::isfinite(r->nakedEyeLimit) || !std::isfinite(r->seeing) || !std::isfinite(r->skyBrightness))
        return 0;
    if (r->dstMode > 2) return 0;
    if (r->dstMode != 0) {
        if (!within(r->dst.shift, -3.0, 3.0) || !within(r->dst.startHour, 0.0, 24.0) ||
            !within(r->dst.endHour, 0.0, 24.0))
            return 0;
    }
    return 1;
}

int ReadLocation(FILE *f, int index, LocationRecord *record, LocationTrailer *trailer) {
    if (!record) return 0;
    Slot slot;
    if (!ReadSlot(f, kLocationSlotSize, index, slot.bytes)) return 0;
    LocationRecord read;
    LocationTrailer readTrailer;
    Unpack(slot, &read, &readTrailer);
    if (!SiteValuesInRange(&read)) return 0;
    *record = read;
    if (trailer) *trailer = readTrailer;
    return 1;
}

int UpdateLocation(FILE *f, int index, LocationRecord *record, const LocationTrailer *trailer,
                   const DaylightSavingRule *rule, int mode) {
    if (!f || !record || !trailer) return 0;
    // Copies first: the rule may point into the record that is rebuilt below.
    DaylightSavingRule r;
    if (rule)
        r = *rule;
    else
        r = record->dst;
    uint8_t flags = record->displayFlags;
    uint8_t rating = record->seeingRating;

    LocationRecord stored;
    if (!ReadLocation(f, index, &stored, nullptr)) return 0;

    char name[33];
    NameOf(record, name);

    InitLocationRecord(record, record->longitude, record->latitude, record->elevation,
                       record->nakedEyeLimit, 0.0, record->temperature, record->humidity, 0,
                       record->seeing, record->timeZone, name);
    record->displayFlags = flags;
    record->seeingRating = rating;
    SetDaylightSavingRule(record, r.startWeek, r.startWeekday, r.startMonth, r.startHour, r.endWeek,
                          r.endWeekday, r.endMonth, r.endHour, r.shift, mode);

    Slot slot;
    Pack(&slot, record, trailer);
    if (!WriteSlot(f, kLocationSlotSize, index, slot.bytes)) return 0;
    // The horizon follows the name only once the store holds the new name, so
    // a failed write leaves site and horizon file still matching.
    if (std::strcmp(stored.name, name) != 0) RenameHorizonFile(stored.name, name);
    return 1;
}

int DeleteLocation(FILE **f, int index) {
    char path[1024];
    MakeLocationFilePath(path, sizeof path);
    if (!path[0]) return 0;
    return DeleteSlot(path, f, kLocationSlotSize, index);
}

int FindLocation(FILE *f, LocationRecord *record, LocationTrailer *trailer, int16_t *index) {
    if (index) *index = 0;
    if (trailer) std::memset(trailer, 0, sizeof(*trailer));
    if (!f || !record) return 0;
    char wanted[33];
    NameOf(record, wanted);
    if (!wanted[0]) return 0;
    int16_t count = 0;
    if (!ReadSlotCount(f, &count)) return 0;
    for (int i = 0; i < count; ++i) {
        LocationRecord stored;
        LocationTrailer storedTrailer;
        if (!ReadLocation(f, i, &stored, &storedTrailer)) {
            if (index) *index = (int16_t)i;
            return 0;
        }
        if (std::strcmp(stored.name, wanted) != 0) continue;
        if (index) *index = (int16_t)i;
        if (!Within(stored.longitude, record->longitude, kSiteLongitudeTolerance) ||
            !Within(stored.latitude, record->latitude, kSiteLatitudeTolerance))
            return 2;
        *record = stored;
        if (trailer) *trailer = storedTrailer;
        return 1;
    }
    if (index) *index = count < 0 ? 0 : count;
    return 0;
}

void LoadDefaultLocation(LocationRecord *record) {
    if (!record) return;
    int16_t count = 0;
    bool read = false;
    FILE *f = OpenLocationStore(&count);
    if (!f) {
        // A store that exists but cannot be opened for writing (read-only,
        // shared) still names the default site.
        char path[1024];
        MakeLocationFilePath(path, sizeof path);
        if (path[0]) f = OpenLocationFile(path, &count);
    }
    if (f) {
        read = count > 0 && ReadLocation(f, 0, record, nullptr) == 1;
        std::fclose(f);
    }
    if (!read) InitBuiltInSite(record);
}

int FormatSiteTimeZoneName(const LocationRecord *site, const DateRecord *date, char *text,
                           int size) {
    if (!text || size <= 0) return 0;
    text[0] = '\0';
    if (!site) return 0;

    int answer = 0;
    LocationTrailer trailer = {0, 0, 0};
    int16_t count = 0;
    FILE *f = OpenLocationStore(&count);
    if (f) {
        LocationRecord copy = *site;  // FindLocation overwrites its record on a match
        int16_t index = 0;
        answer = FindLocation(f, &copy, &trailer, &index);
        std::fclose(f);
    }
    double shift = date ? GetDaylightSavingOffset(site, date, kUniversalTime) : 0.0;
    if (answer == 1 && trailer.namedZone >= 1 && trailer.namedZone <= 4) {
        int id = kNamedZoneStringBase + trailer.namedZone + (shift != 0.0 ? 4 : 0);
        std::snprintf(text, (size_t)size, "%s", LoadResString(id));
    } else {
        double zone = site->timeZone + shift;
        std::snprintf(text, (size_t)size, "GMT%+lg", zone);
    }
    return answer;
}

char *DescribeLocation(const LocationRecord *site, char *text, int size) {
    if (!text || size <= 0) return text;
    text[0] = '\0';
    if (!site) return text;
    double temperature = site->temperature;
    double limit = site->nakedEyeLimit;
    double humidity = site->humidity;
    char temperatureText[64];
    if (site->displayFlags & 1)
        std::snprintf(temperatureText, sizeof temperatureText, "%.0lfF",
                      9.0 / 5.0 * temperature + 32.0);
    else
        std::snprintf(temperatureText, sizeof temperatureText, "%.0lfC", temperature);
    char seeingWord[64];
    LoadResStringTo(seeingWord, kSeeingWordStringBase + SeeingWordRating(site));
    // The text ends with a percent sign after the humidity ("humidity 45%").
    std::snprintf(text, (size_t)size,
                  "Location with %s seeing, naked-eye limit %.1lf, %s, humidity %.0lf%%", seeingWord,
                  limit, temperatureText, humidity);
    return text;
}
