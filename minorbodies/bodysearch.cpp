// Name searches of the minor-body database and of the user's own stores.
// Each opens its file read-only (a search never creates a store), compares
// every name with the query and stops when the arrays are full.
#include "minorbodies/bodysearch.h"

#include <cstdio>
#include <cstring>

#include "core/userfolder.h"
#include "minorbodies/cometdb.h"
#include "minorbodies/mpdatabase.h"
#include "minorbodies/usercomet.h"
#include "minorbodies/usermp.h"

namespace {

BodyNameNormaliser g_normalise = nullptr;
BodyNameMatcher g_match = nullptr;

// The arrays being filled.
struct Results {
    int *classes;
    int32_t *indexes;
    int *scores;
    int max;
    int count;
    // Adds a candidate; false when the arrays were already full.
    bool Add(int objectClass, int32_t index, int score) {
        if (count >= max) return false;
        classes[count] = objectClass;
        indexes[count] = index;
        scores[count] = score;
        ++count;
        return true;
    }
};

bool Prepare(const char *query, char *q, int max, int *classes, int32_t *indexes, int *scores) {
    if (!g_normalise || !g_match || !query || max < 1 || !classes || !indexes || !scores)
        return false;
    g_normalise(q, query);
    return q[0] != '\0';
}

// A user store: a header (uint16 or int32 count, int32 last id) and fixed
// records beginning with the int32 id, the 33-byte name at nameOffset.
int SearchUserStore(const char *file, int countSize, long recordSize, size_t nameOffset,
                    int objectClass, const char *query, int *classes, int32_t *indexes,
                    int *scores, int max) {
    char q[kBodySearchQuerySize];
    if (!Prepare(query, q, max, classes, indexes, scores)) return 0;
    char path[1024];
    if (!MakeUserDataPath(path, sizeof path, file)) return 0;
    FILE *f = std::fopen(path, "rb");
    if (!f) return 0;
    int32_t count = 0;
    bool ok;
    if (countSize == 2) {
        uint16_t n = 0;
        ok = std::fread(&n, 2, 1, f) == 1;
        count = n;
    } else {
        ok = std::fread(&count, 4, 1, f) == 1 && count >= 0;
    }
    int32_t last = 0;
    ok = ok && std::fread(&last, 4, 1, f) == 1;
    Results r = {classes, indexes, scores, max, 0};
    char record[64];
    for (int32_t i = 0; ok && i < count; ++i) {
        if (std::fread(record, static_cast<size_t>(recordSize), 1, f) != 1) break;
        record[nameOffset + 32] = '\0';
        int score = 0;
        if (!g_match(q, record + nameOffset, &score, kBodySearchThreshold)) continue;
        int32_t id;
        std::memcpy(&id, record, 4);
        if (!r.Add(objectClass, id, score)) break;
    }
    std::fclose(f);
    return r.count;
}

}  // namespace

void SetBodyNameMatching(BodyNameNormaliser normalise, BodyNameMatcher match) {
    g_normalise = normalise;
    g_match = match;
}

int SearchUserStarNames(const char *query, int *classes, int32_t *indexes, int *scores, int max) {
    return SearchUserStore("stellar.bin", 2, 47, 14, kBodySearchClassUserStar, query, classes,
                           indexes, scores, max);
}

int SearchUserDeepSkyNames(const char *query, int *classes, int32_t *indexes, int *scores,
                           int max) {
    return SearchUserStore("uds.bin", 4, 54, 16, kBodySearchClassUserDeepSky, query, classes,
                           indexes, scores, max);
}

int SearchSkyMarkNames(const char *query, int *classes, int32_t *indexes, int *scores, int max) {
    return SearchUserStore("skymark.bin", 2, 45, 12, kBodySearchClassSkyMark, query, classes,
                           indexes, scores, max);
}

namespace {

struct NameVisit {
    const char *query;
    Results *results;
    int objectClass;
    bool full;
};

bool VisitName(void *context, const char *name, int32_t id) {
    NameVisit *v = static_cast<NameVisit *>(context);
    int score = 0;
    if (!g_match(v->query, name, &score, kBodySearchThreshold)) return true;
    if (!v->results->Add(v->objectClass, id, score)) {
        v->full = true;
        return false;
    }
    return true;
}

}  // namespace

// The user's minor planets through their name index; names that begin with
// a digit only for a query that does.
int SearchUserMinorPlanetNames(const char *query, int *classes, int32_t *indexes, int *scores, int max) {
    char q[kBodySearchQuerySize];
    if (!Prepare(query, q, max, classes, indexes, scores)) return 0;
    Results r = {classes, indexes, scores, max, 0};
    NameVisit visit = {q, &r, kBodySearchClassUserMinorPlanet, false};
    bool digits = query[0] >= '0' && query[0] <= '9';
    int result = ForEachUserMinorPlanetName(digits, VisitName, &visit);
    return result < 0 ? -1 : r.count;
}

// Every element set of the user's comets: a comet with several sets may be
// listed once per set.
int SearchUserCometNames(const char *query, int *classes, int32_t *indexes, int *scores, int max) {
    char q[kBodySearchQuerySize];
    if (!Prepare(query, q, max, classes, indexes, scores)) return 0;
    Results r = {classes, indexes, scores, max, 0};
    NameVisit visit = {q, &r, kBodySearchClassUserComet, false};
    int result = ForEachUserCometName(VisitName, &visit);
    return result < 0 ? -1 : r.count;
}

int SearchMinorPlanetNames(const char *query, int *classes, int32_t *indexes, int *scores,
                           int max) {
    char q[kBodySearchQuerySize];
    if (!Prepare(query, q, max, classes, indexes, scores)) return 0;
    char path[kMinorBodyPathSize];
    FILE *f = std::fopen(FormatMinorBodyDatabasePath(path, kMinorBodyFileAlpha), "rb");
    if (!f) return 0;
    NameLetterGroup groups[kNameLetterGroups];
    bool ok = std::fread(groups, sizeof groups, 1, f) == 1;
    Results r = {classes, indexes, scores, max, 0};
    for (int g = 0; ok && g < kNameLetterGroups; ++g) {
        if (groups[g].count <= 0) continue;
        if (groups[g].offset < kAlphaEntriesOffset ||
            std::fseek(f, groups[g].offset, SEEK_SET) != 0) {
            ok = false;
            break;
        }
        for (int i = 0; i < groups[g].count; ++i) {
            char name[kMinorPlanetNameLength + 1];
            int32_t number = 0;
            if (!ReadMinorPlanetAlphaEntry(f, -1, name, &number)) {
                ok = false;
                break;
            }
            int score = 0;
            if (!g_match(q, name, &score, kBodySearchThreshold)) continue;
            if (!r.Add(kBodySearchClassMinorPlanet, number, score)) {
                std::fclose(f);
                return r.count;
            }
        }
    }
    std::fclose(f);
    // A read or seek failure reports nothing: a partial list would look whole.
    return ok ? r.count : 0;
}

int SearchCometNames(const char *query, int *classes, int32_t *indexes, int *scores, int max) {
    char q[kBodySearchQuerySize];
    if (!Prepare(query, q, max, classes, indexes, scores)) return 0;
    FILE *f = OpenCometNameFile();
    if (!f) return -1;
    Results r = {classes, indexes, scores, max, 0};
    for (int i = 0; i < kMaxCometNameEntries; ++i) {
        CometNameEntry e;
        if (std::fread(&e, sizeof e, 1, f) != 1) break;
        e.name[kCometNameSize - 1] = '\0';
        int score = 0;
        if (!g_match(q, e.name, &score, kBodySearchThreshold)) continue;
        if (!r.Add(kBodySearchClassComet, e.firstSet, score)) break;
    }
    std::fclose(f);
    return r.count;
}
