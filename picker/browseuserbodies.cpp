// The browse listings of the user's own comets (by label, periodic number,
// designation or name) and minor planets (by name or by number). The rows
// are read from comet.bin and mp.bin when the listing starts (the stores are
// small), one row per object; each row's object number is the object id,
// which the class builders take as a number.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/safefile.h"
#include "core/textutil.h"
#include "instruments/storeio.h"
#include "minorbodies/usercomet.h"
#include "minorbodies/usermp.h"
#include "objects/objectrecord.h"
#include "picker/browsesources.h"

namespace {

const int kUserCometRowLimit = 14000;
const int kUserMinorPlanetRowLimit = 1000;

using Rows = std::vector<BrowseRow>;

void ServeRows(BrowseSources *src, std::shared_ptr<Rows> rows) {
    src->next = 0;
    src->step = [rows](BrowseSources &s, BrowseRow *row) {
        if (s.next >= static_cast<int64_t>(rows->size())) return 0;
        *row = (*rows)[static_cast<size_t>(s.next++)];
        return 1;
    };
}

BrowseRow Row(const char *text, int32_t id, int64_t key) {
    BrowseRow row;
    std::memset(&row, 0, sizeof row);
    std::snprintf(row.text, sizeof row.text, "%s", text);
    row.objectNumber = id;
    row.key = key;
    return row;
}

int SetUpUserComets(BrowseState *state, BrowseSources *src, const BrowseRequest &r) {
    if (r.kind < kCometKindFull || r.kind > kCometKindDiscovererName) return -1;
    if (r.kind == kCometKindFull && !r.everything && std::atoi(r.pattern) < 1) return -1;
    int32_t count = 0;
    FILE *f = OpenUserCometFile(&count);
    if (!f) return -1;
    auto rows = std::make_shared<Rows>();
    int16_t previous = 0;
    bool ok = true;
    for (int32_t i = 0; i < count; ++i) {
        CometRecord c;
        if (!ReadUserCometRecord(f, &c, i)) {
            ok = false;
            break;
        }
        if (i > 0 && c.objectId == previous) continue;  // one row per comet
        previous = c.objectId;
        char text[kBrowseFormatSize];
        int64_t key = -1;
        switch (r.kind) {
        case kCometKindFull: FormatCometLabel(c.number, c.letter, c.name, c.designation, text); break;
        case kCometKindPeriodicNumber:
            if (c.number == 0 || (c.number & kCometNumberHidden)) continue;
            std::snprintf(text, sizeof text, "%dP", static_cast<int>(c.number));
            key = c.number;
            break;
        case kCometKindIau:
            if (std::strlen(c.designation) < 3) continue;
            std::snprintf(text, sizeof text, "%s", c.designation);
            break;
        default: {
            const char *name = c.name;
            while (*name == ' ') ++name;
            std::snprintf(text, sizeof text, "%s", name);
            break;
        }
        }
        rows->push_back(Row(text, c.objectId, key));
    }
    SafeClose(f);
    if (!ok) return -1;
    state->rowLimit = kUserCometRowLimit;
    *r.total = 0;
    src->countTotal = true;
    src->filterByPattern = r.kind != kCometKindPeriodicNumber && r.kind != kCometKindFull;
    if (r.kind == kCometKindPeriodicNumber) {
        long wanted = 0;
        if (!r.everything && PatternNumber(r.pattern, &wanted)) src->wantedKey = wanted;
    }
    ServeRows(src, rows);
    return 1;
}

int SetUpUserMinorPlanets(BrowseState *state, BrowseSources *src, const BrowseRequest &r) {
    if (r.kind != kMinorPlanetKindFull && r.kind != kMinorPlanetKindNumberName) return -1;
    int32_t count = 0;
    FILE *f = OpenUserMinorPlanetFile(&count);
    if (!f) return -1;
    auto rows = std::make_shared<Rows>();
    bool ok = true;
    if (r.kind == kMinorPlanetKindFull) {
        // By name, in the order of the name index.
        int32_t entries = 0;
        FILE *index = OpenUserMinorPlanetNameIndex(f, &entries, nullptr);
        if (!index) ok = false;
        for (int32_t i = 0; ok && i < entries; ++i) {
            char name[kUserMinorPlanetNameSize];
            int32_t number = 0;
            NameIndexEntry e;
            MinorPlanetRecord rec;
            ok = ReadStoreBytes(index, 8 + static_cast<int64_t>(i) * sizeof e, &e, sizeof e) &&
                 ReadUserMinorPlanetRecord(f, &rec, e.recordIndex);
            if (!ok) break;
            CopyStringBounded(name, rec.name, sizeof name);
            number = rec.number;
            char text[kBrowseFormatSize];
            if (number > 0) std::snprintf(text, sizeof text, "%s (%d)", name, static_cast<int>(number));
            else std::snprintf(text, sizeof text, "%s", name);
            rows->push_back(Row(text, rec.objectId, -1));
        }
        if (index) SafeClose(index);
        // "(433) Eros" is browsed as "Eros".
        std::string p = r.pattern;
        if (!p.empty() && p[0] == '(') {
            size_t close = p.find(") ");
            if (close != std::string::npos) p = p.substr(close + 2);
        }
        src->patternCopy = p.empty() ? std::string("*") : p;
        src->filterByPattern = true;
    } else {
        // By number: the numbered objects in number order (the sorted file).
        int32_t previous = 0;
        for (int32_t i = 0; i < count; ++i) {
            MinorPlanetRecord rec;
            if (!ReadUserMinorPlanetRecord(f, &rec, i)) {
                ok = false;
                break;
            }
            if (rec.number <= 0 || rec.number == previous) continue;
            previous = rec.number;
            char text[kBrowseFormatSize];
            std::snprintf(text, sizeof text, "(%05d) %s", static_cast<int>(rec.number), rec.name);
            rows->push_back(Row(text, rec.objectId, rec.number));
        }
        long wanted = 0;
        if (!r.everything) {
            const char *p = r.pattern;
            bool read = p[0] == '(' ? std::sscanf(p + 1, "%ld", &wanted) == 1 : PatternNumber(p, &wanted) != 0;
            if (read) src->wantedKey = wanted;
        }
    }
    SafeClose(f);
    if (!ok) return -1;
    state->rowLimit = kUserMinorPlanetRowLimit;
    *r.total = 0;
    src->countTotal = true;
    ServeRows(src, rows);
    return 1;
}

}  // namespace

int SetUpUserMinorBodyListing(BrowseState *state, BrowseSources *src, const BrowseRequest &r) {
    if (r.objectClass == kClassUserComet) return SetUpUserComets(state, src, r);
    if (r.objectClass == kClassUserMinorPlanet) return SetUpUserMinorPlanets(state, src, r);
    return -1;
}
