// The browse cursor of the object picker: the protocol every listing keeps
// (first call opens, each call one row, 0 at the end, -1 on a failure, and
// nothing left open after either), the listings of constellations, solar-
// system bodies and reference points, and the small helpers of the page.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/textutil.h"
#include "core/resstrings.h"
#include "picker/browsesources.h"
#include "objects/constellations.h"
#include "objects/objectrecord.h"
#include "objects/refpoints.h"

namespace {

// Records a listing may pass over for one row before it gives up (a bound
// on a walk over a damaged file).
const long kMaxStepsPerRow = 20000000L;

void CloseSources(BrowseState *state) {
    delete state->sources;
    state->sources = nullptr;
}

int SetUpConstellations(BrowseState *state, BrowseSources *src, int32_t *total) {
    src->files[0] = OpenConstellationNames();
    if (!src->files[0]) return -1;
    state->rowLimit = kConstellationCount;
    *total = kConstellationCount;
    src->filterByPattern = true;
    src->step = [](BrowseSources &s, BrowseRow *row) {
        char name[kConstellationNameSize + 1];
        double ra = 0, dec = 0;
        int read = ReadConstellationName(s.files[0], static_cast<int>(s.next), name, &ra, &dec);
        if (read <= 0) return 0;
        ++s.next;
        std::snprintf(row->text, sizeof row->text, "%s", name);
        row->objectNumber = read;
        row->key = -1;
        return 1;
    };
    return 1;
}

int SetUpBodies(BrowseState *state, BrowseSources *src, int32_t *total) {
    state->rowLimit = 11;
    *total = 11;
    src->filterByPattern = true;
    src->step = [](BrowseSources &s, BrowseRow *row) {
        if (s.next == 3) ++s.next;  // the Earth is not listed
        if (s.next > 11) return 0;
        std::snprintf(row->text, sizeof row->text, "%s", LoadBodyName(static_cast<int>(s.next)));
        row->objectNumber = static_cast<int32_t>(s.next + 1);
        row->key = -1;
        ++s.next;
        return 1;
    };
    return 1;
}

int SetUpReferencePoints(BrowseState *state, BrowseSources *src, int32_t *total) {
    state->rowLimit = kReferencePointCount;
    *total = 0;  // counted as rows are given
    src->countTotal = true;
    src->filterByPattern = true;
    src->step = [](BrowseSources &s, BrowseRow *row) {
        if (s.next >= kReferencePointCount) return 0;
        char name[kReferencePointNameSize];
        if (!ReferencePointName(static_cast<int>(s.next), name)) return 0;
        std::snprintf(row->text, sizeof row->text, "%s", name);
        row->objectNumber = static_cast<int32_t>(s.next + 1);
        row->key = -1;
        ++s.next;
        return 1;
    };
    return 1;
}

}  // namespace

BrowseSources::~BrowseSources() {
    if (release) release();
    for (FILE *&f : files)
        if (f) {
            std::fclose(f);
            f = nullptr;
        }
}

BrowseState::~BrowseState() { CloseSources(this); }

void BrowseReset(BrowseState *state) {
    if (!state) return;
    CloseSources(state);
    state->started = 0;
    state->position = 0;
    state->wantedNumber = 0;
    state->rowLimit = 0;
    state->rowsReturned = 0;
    state->pageCount = 0;
    state->savedPeriodic = 0;
    for (int32_t &c : state->counters) c = 0;
}

int PatternNumber(const char *pattern, long *number) {
    if (!pattern || !number) return 0;
    const char *p = pattern;
    while (*p == ' ') ++p;
    if (!std::isdigit(static_cast<unsigned char>(*p))) {
        const char *blank = std::strchr(p, ' ');
        if (!blank) return 0;
        p = blank + 1;
    }
    return std::sscanf(p, "%ld", number) == 1 ? 1 : 0;
}

void SetNumberRange(BrowseSources *src, int64_t first, int64_t last,
                    std::function<int(BrowseSources &, int64_t n, BrowseRow *row)> exists) {
    src->next = first;
    src->last = last;
    src->step = [exists](BrowseSources &s, BrowseRow *row) {
        while (s.next <= s.last) {
            int64_t n = s.next++;
            row->key = n;
            row->objectNumber = static_cast<int32_t>(n);
            int r = exists(s, n, row);
            if (r < 0) return -1;
            if (r > 0) return 1;
        }
        return 0;
    };
}

int NextBrowseObject(BrowseState *state, int objectClass, int kind, int constellation,
                     const char *pattern, int32_t *page, int32_t *total, int32_t *selectedRow,
                     int32_t *objectNumber, char *rowText) {
    if (!state) return -1;
    int32_t dummyPage = 0, dummyTotal = 0, dummySelected = 0, dummyNumber = 0;
    if (!page) page = &dummyPage;
    if (!total) total = &dummyTotal;
    if (!selectedRow) selectedRow = &dummySelected;
    if (!objectNumber) objectNumber = &dummyNumber;
    if (rowText) rowText[0] = '\0';
    if (state->started == 2) return 0;  // the listing has ended

    if (!state->started) {
        CloseSources(state);
        state->sources = new (std::nothrow) BrowseSources;
        if (!state->sources) return -1;
        BrowseSources *src = state->sources;
        state->rowLimit = kBrowseRowLimit;
        state->rowsReturned = 0;
        state->pageCount = 0;
        state->position = 0;
        *total = 0;
        *selectedRow = -1;
        std::string pat = pattern ? pattern : "";
        // Surrounding blanks mean nothing; an empty pattern lists everything.
        while (!pat.empty() && pat.back() == ' ') pat.pop_back();
        while (!pat.empty() && pat.front() == ' ') pat.erase(0, 1);
        if (pat.empty()) pat = "*";
        src->patternCopy = pat;
        int con = constellation;
        if (con > 76) --con;  // the two Serpens rows are one constellation
        if (con < 0 || con > 88) con = 0;
        BrowseRequest r{objectClass, kind, con, src->patternCopy.c_str(), pat == "*", page, total};
        int ready;
        switch (objectClass) {
        case kClassConstellation: ready = SetUpConstellations(state, src, total); break;
        case kClassSolarSystem: ready = SetUpBodies(state, src, total); break;
        case kClassReferencePoint: ready = SetUpReferencePoints(state, src, total); break;
        case kClassStar: ready = SetUpStarListing(state, src, r); break;
        case kClassGalaxy: case kClassQuasar: case kClassPlanetaryNebula:
        case kClassBrightNebula: case kClassOpenCluster: case kClassGlobularCluster:
        case kClassGalaxyGroup: case kClassDarkNebula:
            ready = SetUpDeepSkyListing(state, src, r);
            break;
        case kClassUserStar: case kClassUserDeepSky: case kClassSkyMark:
            ready = SetUpUserListing(state, src, r);
            break;
        case kClassComet: case kClassMinorPlanet:
            ready = SetUpMinorBodyListing(state, src, r);
            break;
        case kClassUserComet: case kClassUserMinorPlanet:
            ready = SetUpUserMinorBodyListing(state, src, r);
            break;
        default:
            ready = -1;
            break;
        }
        if (ready <= 0) {
            CloseSources(state);
            state->started = 2;
            return ready;
        }
        if (state->rowLimit <= 0 || state->rowLimit > kBrowseRowLimit) state->rowLimit = kBrowseRowLimit;
        state->started = 1;
    }

    BrowseSources *src = state->sources;
    if (!src) return 0;
    const char *pat = src->patternCopy.c_str();
    BrowseRow row;
    for (long steps = 0; steps < kMaxStepsPerRow; ++steps) {
        if (state->rowsReturned >= state->rowLimit) break;
        std::memset(&row, 0, sizeof row);
        row.key = -1;
        int r = src->step(*src, &row);
        if (r <= 0) {
            CloseSources(state);
            state->started = 2;
            return r < 0 ? -1 : 0;
        }
        row.text[kBrowseRowTextSize - 1] = '\0';
        if (src->filterByPattern && !MatchPrefixNoCase(pat, row.text)) continue;
        if (src->wantedKey >= 0 && row.key == src->wantedKey) *selectedRow = state->rowsReturned;
        if (src->countTotal) ++*total;  // listings that count their total
        ++state->rowsReturned;
        *objectNumber = row.objectNumber;
        if (rowText) CopyStringTruncated(rowText, row.text, kBrowseRowTextSize);
        return 1;
    }
    CloseSources(state);
    state->started = 2;
    return 0;
}

int CrossTypeToClass(int typeCode) {
    static const int kClasses[8] = {kClassOpenCluster, kClassGlobularCluster, kClassBrightNebula,
                                    kClassPlanetaryNebula, kClassGalaxy, kClassQuasar,
                                    kClassGalaxyGroup, kClassDarkNebula};
    return typeCode >= 0 && typeCode < 8 ? kClasses[typeCode] : 0;
}

int ParseTychoNumbers(const char *text, int *region, int *number, int *component) {
    if (!text) return 0;
    std::string t = text;
    if (t.empty()) return 0;
    if (!std::isdigit(static_cast<unsigned char>(t[0]))) t = t.size() > 4 ? t.substr(4) : "";
    for (char &c : t)
        if (c == '-') c = ' ';
    int v[3] = {1, 1, 1};
    int read = std::sscanf(t.c_str(), "%d %d %d", &v[0], &v[1], &v[2]);
    if (read < 1) return 0;
    if (region) *region = v[0];
    if (number) *number = v[1];
    if (component) *component = v[2];
    return 1;
}
