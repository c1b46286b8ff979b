// Finding the user-file twin of a packaged comet or minor planet.
#include "userdata/minorbodytwin.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "astro/datetime.h"
#include "astro/location.h"
#include "astro/sidereal.h"
#include "minorbodies/cometdb.h"
#include "minorbodies/mpdatabase.h"
#include "objects/buildrecord.h"
#include "objects/categories.h"
#include "objects/objectrecord.h"

namespace {

const uint32_t kTwinCometCategory = 0x4;
const uint32_t kTwinMinorPlanetCategory = 0x8;

struct FileCloser {
    void operator()(FILE *f) const {
        if (f) std::fclose(f);
    }
};
typedef std::unique_ptr<FILE, FileCloser> FileHolder;

// The text without trailing blanks; empty stays empty.
void CopyTrimmed(const char *from, size_t fromSize, char *text, size_t size) {
    size_t n = strnlen(from, fromSize);
    while (n > 0 && (from[n - 1] == ' ' || from[n - 1] == '\0')) --n;
    std::snprintf(text, size, "%.*s", static_cast<int>(n), from);
}

}  // namespace

int GetMinorBodyTwinDesignation(const ObjectRecord *record, int *twinClass, int *kind, char *text,
                                size_t size) {
    if (!record || !twinClass || !kind || !text || size == 0) return -1;
    text[0] = '\0';
    if (IsUserObjectClass(record->objectClass)) return 0;
    if (record->categoryBits == kTwinMinorPlanetCategory) {
        FileHolder names(OpenMinorPlanetNameFile());
        char name[kMinorPlanetNameLength + 1];
        if (!names || !ReadMinorPlanetName(names.get(), record->index, name)) return -1;
        CopyTrimmed(name, sizeof name, text, size);
        if (!text[0]) return -1;
        *twinClass = kClassUserMinorPlanet;
        *kind = kUserMinorPlanetKindName;
        return 1;
    }
    if (record->categoryBits == kTwinCometCategory) {
        FileHolder comets(OpenCometElementsFile());
        CometRecord comet;
        std::memset(&comet, 0, sizeof comet);
        if (!comets || record->index < 0 || !ReadCometRecord(comets.get(), record->index, &comet))
            return -1;
        *twinClass = kClassUserComet;
        const int number = comet.number & ~kCometNumberHidden;
        // A fragment of a split comet is its own comet: its twin goes by the
        // name that carries the fragment ("Schwassmann-Wachmann 3-B"), not by
        // the number the whole comet has.
        char fragment[kCometFragmentSize];
        GetCometFragment(comet.number, comet.name, comet.designation, fragment);
        if (number != 0 && !fragment[0]) {
            std::snprintf(text, size, "%dP", number);
            *kind = kUserCometKindPeriodicNumber;
            return 1;
        }
        CopyTrimmed(comet.designation, sizeof comet.designation, text, size);
        if (text[0]) {
            *kind = kUserCometKindDesignation;
            return 1;
        }
        CopyTrimmed(comet.name, sizeof comet.name, text, size);
        if (text[0]) {
            *kind = kUserCometKindName;
            return 1;
        }
        return -1;
    }
    return 0;
}

int BuildMinorBodyTwin(const ObjectRecord *record, ObjectRecord *twin) {
    if (!twin) return 0;
    int twinClass = 0, kind = 0;
    char text[80];
    if (GetMinorBodyTwinDesignation(record, &twinClass, &kind, text, sizeof text) != 1) return 0;
    LocationRecord site;
    if (!InitLocationRecord(&site, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0, 0.0, 0.0, "")) return 0;
    DateRecord date;
    std::memset(&date, 0, sizeof date);
    if (!SetDateRecord(&date, &site, 1, 1, 2000, 0.0, kUniversalTime)) return 0;
    ComputeDeltaTAndNutation(&date, 0.0);
    ComputeSiderealTimes(&site, &date);
    std::unique_ptr<ObjectRecord[]> built(new (std::nothrow) ObjectRecord[3]);
    if (!built) return 0;
    if (BuildObjectRecord(twinClass, kind, 0, 0, text, 0.0, &site, &date, 0.0, built.get()) < 1)
        return 0;
    *twin = built[0];
    return 1;
}
