// The browse listings of the packaged comets (by label, periodic number,
// provisional designation or name) and minor planets (by name or number).
// Each row's object number is what the class builder takes as a number: the
// comet's first element set + 1, the minor planet's number.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/safefile.h"
#include "core/textutil.h"
#include "minorbodies/cometdb.h"
#include "minorbodies/mpdatabase.h"
#include "objects/catfile.h"
#include "objects/objectrecord.h"
#include "picker/browsesources.h"

namespace {

const int kCometRowLimit = kMaxCometNameEntries;
const int kMinorPlanetRowLimit = 10000;

// The fragment letters of a comet set packed into one number, 0 for a whole
// comet: each fragment of a split comet is listed as a comet of its own.
int32_t FragmentKey(const CometRecord &c) {
    // Zeroed: a whole comet's fragment is an empty text, and the byte after
    // its terminating NUL was never written.
    char f[kCometFragmentSize] = {};
    GetCometFragment(c.number, c.name, c.designation, f);
    if (f[0] == '\0') return 0;
    return (static_cast<unsigned char>(f[0]) << 8) | static_cast<unsigned char>(f[1]);
}

int SetUpCometListing(BrowseState *state, BrowseSources *src, const BrowseRequest &r) {
    state->rowLimit = kCometRowLimit;
    *r.total = 0;
    src->countTotal = true;
    if (r.kind == kCometKindDiscovererName) {
        src->files[0] = OpenCometNameFile();
        if (!src->files[0]) return -1;
        src->filterByPattern = true;
        src->step = [](BrowseSources &s, BrowseRow *row) {
            char display[kCometLabelSize];
            int16_t first = -1;
            if (!ReadCometNameEntry(s.files[0], -1, nullptr, nullptr, nullptr, display, nullptr,
                                    &first))
                return 0;
            std::snprintf(row->text, sizeof row->text, "%s", display);
            row->objectNumber = first + 1;
            return 1;
        };
        return 1;
    }
    if (r.kind < kCometKindFull || r.kind > kCometKindIau) return -1;
    if (r.kind == kCometKindFull && !r.everything && std::atoi(r.pattern) < 1) return 0;
    src->files[0] = OpenCometElementsFile();
    if (!src->files[0]) return -1;
    src->filterByPattern = r.kind != kCometKindPeriodicNumber;
    src->extra[0] = r.kind;
    src->extra[1] = -1;  // the periodic number of the previous row
    src->extra[2] = 0;   // and its fragment (FragmentKey)
    src->next = 0;       // the record index
    src->step = [](BrowseSources &s, BrowseRow *row) {
        CometRecord c;
        while (ReadCometRecord(s.files[0], -1, &c)) {
            const int32_t index = static_cast<int32_t>(s.next++);
            row->objectNumber = index + 1;
            const int32_t fragment = FragmentKey(c);
            const bool sameComet = c.number != 0 && c.number == s.extra[1] && fragment == s.extra[2];
            switch (s.extra[0]) {
            case kCometKindFull:
                // One row per periodic comet, whatever its number of sets.
                if (sameComet) continue;
                s.extra[1] = c.number;
                s.extra[2] = fragment;
                FormatCometLabel(c.number, c.letter, c.name, c.designation, row->text);
                return 1;
            case kCometKindPeriodicNumber:
                if (c.number == 0) return 0;  // the numbered comets come first
                if (sameComet) continue;
                s.extra[1] = c.number;
                s.extra[2] = fragment;
                if (c.number & kCometNumberHidden) continue;
                if (fragment) {
                    // "73P-B": the typed number selects the whole comet's row.
                    char letters[kCometFragmentSize];
                    GetCometFragment(c.number, c.name, c.designation, letters);
                    std::snprintf(row->text, sizeof row->text, "%dP-%s", static_cast<int>(c.number),
                                  letters);
                    return 1;
                }
                std::snprintf(row->text, sizeof row->text, "%dP", static_cast<int>(c.number));
                row->key = c.number;
                return 1;
            default:
                if (std::strlen(c.designation) < 3) continue;
                std::snprintf(row->text, sizeof row->text, "%s", c.designation);
                return 1;
            }
        }
        return 0;
    };
    if (r.kind == kCometKindPeriodicNumber) {
        long wanted = 0;
        if (!r.everything && PatternNumber(r.pattern, &wanted)) src->wantedKey = wanted;
    }
    return 1;
}

// "(433) Eros" is browsed as "Eros".
std::string NameOfPattern(const char *pattern) {
    std::string p = pattern;
    if (!p.empty() && p[0] == '(') {
        size_t close = p.find(") ");
        if (close != std::string::npos) p = p.substr(close + 2);
    }
    return p;
}

int SetUpMinorPlanetListing(BrowseState *state, BrowseSources *src, const BrowseRequest &r) {
    state->rowLimit = kMinorPlanetRowLimit;
    *r.total = 0;
    src->countTotal = true;
    if (r.kind == kMinorPlanetKindFull) {
        std::string name = r.everything ? std::string("*") : NameOfPattern(r.pattern);
        if (name.empty()) name = "*";
        src->patternCopy = name;
        int count = 0;
        // A pattern opens its letter's group; everything starts at the first
        // group and reads on through the directory.
        src->files[0] = OpenMinorPlanetAlphaAtLetter(name == "*" ? ' ' : name[0], &count);
        if (!src->files[0]) return name == "*" ? -1 : 0;
        src->filterByPattern = true;
        src->last = name == "*" ? -1 : count;  // entries to read, -1 to the end
        src->next = 0;
        src->step = [](BrowseSources &s, BrowseRow *row) {
            if (s.last >= 0 && s.next >= s.last) return 0;
            char entry[kMinorPlanetNameLength + 1];
            int32_t number = 0;
            if (!ReadMinorPlanetAlphaEntry(s.files[0], -1, entry, &number)) return 0;
            ++s.next;
            TrimTrailingBlanks(entry);
            std::snprintf(row->text, sizeof row->text, "%s (%d)", entry, static_cast<int>(number));
            row->objectNumber = number;
            return 1;
        };
        return 1;
    }
    if (r.kind != kMinorPlanetKindNumberName) return -1;
    src->files[0] = OpenMinorPlanetNameFile();
    if (!src->files[0]) return -1;
    long wanted = 0;
    if (!r.everything) {
        // "433", "MPN 433" (the number from the fifth character) or "(433) Eros".
        const char *p = r.pattern;
        bool read = p[0] >= '0' && p[0] <= '9' ? PatternNumber(p, &wanted) != 0
                    : p[0] == '('              ? std::sscanf(p + 1, "%ld", &wanted) == 1
                    : std::strlen(p) > 4 && std::sscanf(p + 4, "%ld", &wanted) == 1;
        if (!read) return -1;
        src->wantedKey = wanted;
    }
    const int64_t size = StreamSize(src->files[0]);
    SetNumberRange(src, 1, size > 0 ? size / kMinorPlanetNameLength : 0,
                   [](BrowseSources &s, int64_t n, BrowseRow *row) {
                       char name[kMinorPlanetNameLength + 1];
                       if (!ReadMinorPlanetName(s.files[0], static_cast<int32_t>(n), name))
                           return -1;
                       TrimTrailingBlanks(name);
                       if (!name[0]) return 0;  // an unused number
                       std::snprintf(row->text, sizeof row->text, "%04d (%s)",
                                     static_cast<int>(n), name);
                       return 1;
                   });
    return 1;
}

}  // namespace

int SetUpMinorBodyListing(BrowseState *state, BrowseSources *src, const BrowseRequest &r) {
    if (r.objectClass == kClassComet) return SetUpCometListing(state, src, r);
    if (r.objectClass == kClassMinorPlanet) return SetUpMinorPlanetListing(state, src, r);
    return -1;
}
