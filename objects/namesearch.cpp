// The object picker's search: an exact recognition first, then the name
// lists of every catalogue with names, in two batches, merged into one list
// of object records sorted by score, class and index.
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "core/textutil.h"
#include "minorbodies/bodysearch.h"
#include "objects/minorbodyservices.h"
#include "objects/namesearch.h"
#include "objects/objectrecord.h"
#include "objects/recognize.h"

namespace {

// Longest search text kept; the recognition may lengthen its copy by up to 20
// characters, so the work buffer has room beyond it.
const int kSearchTextLimit = kSearchTextSize - 1;
const int kWorkSize = kSearchTextSize + 64;

// Designation kinds the candidates of each list carry.
const int kKindName = 1;
const int kKindComet = 5;
const int kKindMinorPlanet = 2;
const int kKindQuasarDesignation = 2;
const int kKindGlobule = 5;
const int kKindDoubleStar = 14;
const int kKindPnDesignation = 14;
const int kKindNebulaOther = 10;
const int kKindGlobularDesignation = 7;
const int kKindOpenClusterOther = 56;

struct CandidateArrays {
    std::vector<int> classes;
    std::vector<int32_t> indexes;
    std::vector<uint8_t> kinds;
    std::vector<char> components;
    std::vector<int> scores;
    bool Allocate(int n) {
        try {
            classes.assign(n, 0);
            indexes.assign(n, 0);
            kinds.assign(n, 0);
            components.assign(n, ' ');
            scores.assign(n, 0);
        } catch (const std::bad_alloc &) {
            return false;
        }
        return true;
    }
};

// Runs one list search into the arrays at position n with the room left;
// the candidates it finds get the kind. Returns the new n.
int RunSearch(NameSearchFunction search, const char *text, CandidateArrays &a, int n, int room,
              int kind) {
    if (room <= 0) return n;
    int found = search(text, &a.classes[n], &a.indexes[n], &a.scores[n], room);
    if (found <= 0) return n;
    if (found > room) found = room;
    for (int i = n; i < n + found; ++i) {
        a.kinds[i] = static_cast<uint8_t>(kind);
        a.components[i] = ' ';
    }
    return n + found;
}

void FillRecord(ObjectRecord *record, int objectClass, int32_t index, int kind, int score,
                char component) {
    ClearObjectRecord(record);
    record->objectClass = static_cast<uint8_t>(objectClass);
    record->index = index;
    record->kind = static_cast<uint8_t>(kind);
    record->starComponent = component ? component : ' ';
    record->constellation = static_cast<uint8_t>(score);
}

}  // namespace

int SearchObjectsByName(const char *text, double altitude, const LocationRecord *site,
                        const DateRecord *date, double extinction, int scope,
                        ObjectRecord *records, int max) {
    if (!records || max < 1) return 0;
    ConnectMinorBodyServices();
    CandidateArrays a;
    if (!a.Allocate(max + 1)) return 0;

    // The recognition rewrites its text in place (it may grow by up to 20
    // characters): it works on a copy in a buffer with room for that.
    char work[kWorkSize];
    std::memset(work, 0, sizeof work);
    CopyStringBounded(work, text ? text : "", kSearchTextLimit + 1);

    int n = 0;
    double anonymousRa = 0.0, anonymousDec = 0.0;
    {
        ObjectRecord exact[3];
        for (ObjectRecord &r : exact) ClearObjectRecord(&r);
        if (work[0] &&
            IdentifyObjectText(work, altitude, site, date, extinction, exact) >= 1) {
            a.classes[0] = exact[0].objectClass;
            a.indexes[0] = exact[0].index;
            a.kinds[0] = exact[0].kind;
            a.components[0] = exact[0].starComponent ? exact[0].starComponent : ' ';
            a.scores[0] = kScoreExact;
            if (exact[0].objectClass == kClassStar && exact[0].index == kAnonymousStarIndex) {
                anonymousRa = exact[0].raCatalogue;
                anonymousDec = exact[0].decCatalogue;
            }
            n = 1;
        }
        work[kWorkSize - 1] = '\0';
    }

    // First batch.
    const bool all = scope == kSearchScopeAll;
    if (all || scope == kSearchScopeSolarSystem) {
        n = RunSearch(SearchBodyNames, work, a, n, max - n, 0);
        if (max - n > 0) {
            int found = SearchSatelliteNames(work, &a.classes[n], &a.indexes[n], &a.scores[n],
                                             max - n, &a.kinds[n]);
            if (found > max - n) found = max - n;
            for (int i = n; i < n + (found > 0 ? found : 0); ++i) a.components[i] = ' ';
            if (found > 0) n += found;
        }
        n = RunSearch(SearchUserCometNames, work, a, n, max - n, kKindComet);
        n = RunSearch(SearchCometNames, work, a, n, max - n, kKindComet);
        n = RunSearch(SearchUserMinorPlanetNames, work, a, n, max - n, kKindMinorPlanet);
        n = RunSearch(SearchMinorPlanetNames, work, a, n, max - n, kKindMinorPlanet);
    }
    if (all || scope == kSearchScopeStars) {
        n = RunSearch(SearchStarNames, work, a, n, max - n, kKindName);
        n = RunSearch(SearchUserStarNames, work, a, n, max - n, kKindName);
    }
    if (all || scope == kSearchScopeDeepSky) {
        n = RunSearch(SearchCommonNames, work, a, n, max - n, kKindName);
        n = RunSearch(SearchUserDeepSkyNames, work, a, n, max - n, kKindName);
        n = RunSearch(SearchQuasarNames, work, a, n, max - n, kKindQuasarDesignation);
        n = RunSearch(SearchGlobuleNames, work, a, n, max - n, kKindGlobule);
    }
    if (all) {
        n = RunSearch(SearchConstellationNames, work, a, n, max - n, kKindName);
        n = RunSearch(SearchSkyMarkNames, work, a, n, max - n, kKindName);
        n = RunSearch(SearchReferencePointNames, work, a, n, max - n, kKindName);
    }

    int filled = 0;
    if (n > 0) {
        FillRecord(&records[0], a.classes[0], a.indexes[0], a.kinds[0], a.scores[0],
                   a.components[0]);
        if (a.classes[0] == kClassStar && a.indexes[0] == kAnonymousStarIndex) {
            records[0].raCatalogue = anonymousRa;
            records[0].decCatalogue = anonymousDec;
        }
        filled = 1;
        for (int i = 1; i < n && filled < max; ++i) {
            if (a.classes[i] == a.classes[0] && a.indexes[i] == a.indexes[0]) continue;
            FillRecord(&records[filled++], a.classes[i], a.indexes[i], a.kinds[i], a.scores[i],
                       a.components[i]);
        }
    }

    // Second batch: the designation lists.
    int m = 0;
    if (all || scope == kSearchScopeStars)
        m = RunSearch(SearchDoubleStarNames, work, a, m, max - m, kKindDoubleStar);
    if (all || scope == kSearchScopeDeepSky) {
        m = RunSearch(SearchPlanetaryNebulaDesignations, work, a, m, max - m, kKindPnDesignation);
        m = RunSearch(SearchBrightNebulaNames, work, a, m, max - m, kKindNebulaOther);
        m = RunSearch(SearchGlobularClusterNames, work, a, m, max - m, kKindGlobularDesignation);
        m = RunSearch(SearchOpenClusterNames, work, a, m, max - m, kKindOpenClusterOther);
    }
    for (int i = 0; i < m; ++i) {
        if (filled > 0 && a.classes[i] == records[0].objectClass &&
            a.indexes[i] == records[0].index) {
            records[0].kind = a.kinds[i];
            continue;
        }
        if (filled < max)
            FillRecord(&records[filled++], a.classes[i], a.indexes[i], a.kinds[i], a.scores[i], ' ');
    }

    std::qsort(records, static_cast<size_t>(filled), sizeof(ObjectRecord), CompareSearchCandidates);
    return filled;
}
