// The name lists the fuzzy name search compares a query with: the solar
// system's bodies and satellites, the reference points, and the name and
// designation files of the packaged catalogues. Each search appends its
// candidates (class, catalogue index, score) and stops when its room is full.
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/safefile.h"
#include "core/textutil.h"
#include "core/resstrings.h"
#include "ephem/satellitenames.h"
#include "objects/catfile.h"
#include "objects/clustercat.h"
#include "objects/constellations.h"
#include "objects/darkneb.h"
#include "objects/dsoxref.h"
#include "objects/namesearch.h"
#include "objects/nebulacat.h"
#include "objects/objectrecord.h"
#include "objects/pncat.h"
#include "objects/recognize.h"
#include "objects/refpoints.h"
#include "objects/starxref.h"

namespace {

// Similarity thresholds in percent.
const int kFixedNameThreshold = 70;
const int kCatalogueThreshold = 68;

// The largest record counts of the packaged files; smaller files are read
// to their end.
const int kQuasarDesignationCount = 6230;
const int kPnDesignationCount = 715;
const int kDiscovererCount = 74772;
const int kOpenClusterOtherCount = 179;
const int kNebulaOtherCount = 355;
const int kGlobuleCount = 193;
const int kGlobularDesignationCount = 20;

const int kQuasarDesignationWidth = 20;
const int kPnDesignationWidth = 19;
const int kOpenClusterOtherWidth = 20;
const int kDiscovererFile = 86;  // did_cross.bin, reference slot 1
const int kDiscovererRecordSize = 23;
const int kDiscovererNameSize = 10;
const int kGlobularDesignationWidth = 20;

struct Stream {
    FILE *f;
    explicit Stream(FILE *file) : f(file) {}
    ~Stream() {
        if (f) std::fclose(f);
    }
    Stream(const Stream &) = delete;
    Stream &operator=(const Stream &) = delete;
};

// The caller's candidate arrays and the room left in them.
struct Candidates {
    int *classes;
    int32_t *indexes;
    int *scores;
    uint8_t *kinds;
    int max;
    int count;
    bool Full() const { return count >= max; }
    void Add(int objectClass, int32_t index, int score, int kind = 0) {
        if (Full()) return;
        classes[count] = objectClass;
        indexes[count] = index;
        scores[count] = score;
        if (kinds) kinds[count] = static_cast<uint8_t>(kind);
        ++count;
    }
};

bool Usable(const char *query, int *classes, int32_t *indexes, int *scores, int max) {
    return query && classes && indexes && scores && max > 0;
}

void UpperCase(char *text) {
    for (; *text; ++text) *text = static_cast<char>(std::toupper(static_cast<unsigned char>(*text)));
}

// Upper-cased, a leading "THE " dropped (the fixed-name lists).
void UpperWithoutThe(char *out, const char *query) {
    char work[kNormalisedNameSize];
    CopyStringBounded(work, query, sizeof work);
    UpperCase(work);
    const char *p = std::strncmp(work, "THE ", 4) == 0 ? work + 4 : work;
    CopyStringBounded(out, p, kNormalisedNameSize);
}

}  // namespace

int SearchBodyNames(const char *query, int *classes, int32_t *indexes, int *scores, int max) {
    if (!Usable(query, classes, indexes, scores, max)) return -1;
    char q[kNormalisedNameSize];
    UpperWithoutThe(q, query);
    if (!q[0]) return 0;
    Candidates c{classes, indexes, scores, nullptr, max, 0};
    for (int body = 0; body < 12 && !c.Full(); ++body) {
        if (body == 3) continue;  // the Earth is not a target
        int score = 0;
        if (MatchObjectName(q, LoadBodyName(body), &score, kFixedNameThreshold))
            c.Add(kClassSolarSystem, body, score);
    }
    return c.count;
}

int SearchSatelliteNames(const char *query, int *classes, int32_t *indexes, int *scores, int max,
                         uint8_t *kinds) {
    if (!Usable(query, classes, indexes, scores, max)) return -1;
    char q[kNormalisedNameSize];
    CopyStringBounded(q, query, sizeof q);
    UpperCase(q);
    if (!q[0]) return 0;
    Candidates c{classes, indexes, scores, kinds, max, 0};
    for (int planet = 4; planet <= 9 && !c.Full(); ++planet) {
        int count = GetSatelliteCount(planet);
        for (int s = 1; s <= count && !c.Full(); ++s) {
            char name[16];
            int score = 0;
            if (GetSatelliteName(planet, s, name) &&
                MatchObjectName(q, name, &score, kFixedNameThreshold))
                c.Add(kClassSolarSystem, planet, score, s);
        }
    }
    return c.count;
}

int SearchReferencePointNames(const char *query, int *classes, int32_t *indexes, int *scores,
                              int max) {
    if (!Usable(query, classes, indexes, scores, max)) return -1;
    char q[kNormalisedNameSize];
    UpperWithoutThe(q, query);
    if (!q[0]) return 0;
    Candidates c{classes, indexes, scores, nullptr, max, 0};
    for (int i = 0; i < kReferencePointCount && !c.Full(); ++i) {
        char name[kReferencePointNameSize];
        int score = 0;
        if (ReferencePointName(i, name) && MatchObjectName(q, name, &score, kFixedNameThreshold))
            c.Add(kClassReferencePoint, i + 1, score);
    }
    return c.count;
}

int SearchCommonNames(const char *query, int *classes, int32_t *indexes, int *scores, int max) {
    if (!Usable(query, classes, indexes, scores, max)) return -1;
    char q[kNormalisedNameSize];
    NormaliseObjectName(q, query);
    if (!q[0]) return 0;
    Stream names(OpenCommonNames());
    Stream cross(OpenCommonNameCrossIndex());
    if (!names.f || !cross.f) return -1;
    Candidates c{classes, indexes, scores, nullptr, max, 0};
    // Every name the file holds (228 on the packaged file); a shorter file
    // ends at its last whole name.
    for (int i = 0; i < kCommonNameCount && !c.Full(); ++i) {
        char name[kCommonNameSize];
        if (!ReadCommonName(names.f, i, name)) break;
        int score = 0;
        if (!MatchObjectName(q, name, &score, kCatalogueThreshold)) continue;
        int type = -1, record = -1;
        if (ReadCommonNameCrossIndex(cross.f, i, &type, &record) <= 0) continue;
        int objectClass = ClassOfCrossIndexType(type);
        if (objectClass <= 0 || IsEmptyCrossEntry(type, record)) continue;
        c.Add(objectClass, objectClass == kClassQuasar ? record + 1 : record, score);
    }
    return c.count;
}

int SearchConstellationNames(const char *query, int *classes, int32_t *indexes, int *scores,
                             int max) {
    if (!Usable(query, classes, indexes, scores, max)) return -1;
    char q[kNormalisedNameSize];
    NormaliseObjectName(q, query);
    if (!q[0]) return 0;
    Stream f(OpenConstellationNames());
    if (!f.f) return -1;
    Candidates c{classes, indexes, scores, nullptr, max, 0};
    for (int i = 0; i < 1000 && !c.Full(); ++i) {
        char name[kConstellationNameSize + 1];
        double ra = 0, dec = 0;
        if (ReadConstellationName(f.f, i, name, &ra, &dec) <= 0) break;
        int score = 0;
        if (MatchObjectName(q, name, &score, kCatalogueThreshold))
            c.Add(kClassConstellation, i, score);
    }
    return c.count;
}

int SearchStarNames(const char *query, int *classes, int32_t *indexes, int *scores, int max) {
    if (!Usable(query, classes, indexes, scores, max)) return -1;
    char q[kNormalisedNameSize];
    NormaliseObjectName(q, query);
    if (!q[0]) return 0;
    Stream f(OpenStarNameList());
    if (!f.f) return -1;
    int64_t size = StreamSize(f.f);
    int count = size > 0 ? static_cast<int>(size / kStarNameListRecordSize) : 0;
    Candidates c{classes, indexes, scores, nullptr, max, 0};
    for (int i = 0; i < count && !c.Full(); ++i) {
        char name[33];
        int star = 0, byte = 0;
        if (ReadStarNameListEntry(f.f, i, name, &star, &byte) <= 0) break;
        int score = 0;
        if (star > 0 && MatchObjectName(q, name, &score, kCatalogueThreshold))
            c.Add(kClassStar, star, score);
    }
    return c.count;
}

int SearchQuasarNames(const char *query, int *classes, int32_t *indexes, int *scores, int max) {
    if (!Usable(query, classes, indexes, scores, max)) return -1;
    char q[kNormalisedNameSize];
    NormaliseObjectName(q, query);
    if (!q[0]) return 0;
    // "3C 273.0" is listed as "3C 273".
    if (std::strncmp(q, "3C ", 3) == 0) {
        char *cut = std::strstr(q, ".0");
        if (cut) *cut = '\0';
    }
    Stream f(OpenCatalogueFile(kCatQuasarDesignation, 1));
    if (!f.f) return -1;
    Candidates c{classes, indexes, scores, nullptr, max, 0};
    for (int entry = 1; entry <= kQuasarDesignationCount && !c.Full(); ++entry) {
        char name[kQuasarDesignationWidth];
        int record = ReadNameIndexEntry(f.f, entry, kQuasarDesignationWidth, name);
        if (record < 0) break;
        int score = 0;
        if (MatchObjectName(q, name, &score, kCatalogueThreshold))
            c.Add(kClassQuasar, record + 1, score);
    }
    return c.count;
}

namespace {

// The name indexes of name + 16-bit record entries read through
// ReadNameIndexEntry (entries from 1).
int SearchNameIndex(const char *query, FILE *file, int width, int limit, int objectClass,
                    int *classes, int32_t *indexes, int *scores, int max) {
    char q[kNormalisedNameSize];
    NormaliseObjectName(q, query);
    if (!q[0]) return 0;
    Stream f(file);
    if (!f.f) return -1;
    Candidates c{classes, indexes, scores, nullptr, max, 0};
    for (int entry = 1; entry <= limit && !c.Full(); ++entry) {
        char name[64];
        int record = ReadNameIndexEntry(f.f, entry, width, name);
        if (record < 0) break;
        int score = 0;
        if (MatchObjectName(q, name, &score, kCatalogueThreshold)) c.Add(objectClass, record, score);
    }
    return c.count;
}

}  // namespace

int SearchPlanetaryNebulaDesignations(const char *query, int *classes, int32_t *indexes,
                                      int *scores, int max) {
    if (!Usable(query, classes, indexes, scores, max)) return -1;
    return SearchNameIndex(query, OpenPnDiscoveryIndex(), kPnDesignationWidth, kPnDesignationCount,
                           kClassPlanetaryNebula, classes, indexes, scores, max);
}

int SearchOpenClusterNames(const char *query, int *classes, int32_t *indexes, int *scores, int max) {
    if (!Usable(query, classes, indexes, scores, max)) return -1;
    return SearchNameIndex(query, OpenOpenClusterOtherIndex(), kOpenClusterOtherWidth,
                           kOpenClusterOtherCount, kClassOpenCluster, classes, indexes, scores, max);
}

int SearchGlobularClusterNames(const char *query, int *classes, int32_t *indexes, int *scores,
                               int max) {
    if (!Usable(query, classes, indexes, scores, max)) return -1;
    // Every whole entry of the file (20 on the packaged file): a shorter file
    // still contributes the entries it has.
    return SearchNameIndex(query, OpenGlobularDesignationIndex(), kGlobularDesignationWidth,
                           kGlobularDesignationCount, kClassGlobularCluster, classes, indexes,
                           scores, max);
}

int SearchBrightNebulaNames(const char *query, int *classes, int32_t *indexes, int *scores,
                            int max) {
    if (!Usable(query, classes, indexes, scores, max)) return -1;
    char q[kNormalisedNameSize];
    NormaliseObjectName(q, query);
    if (!q[0]) return 0;
    Stream f(OpenNebulaOtherIndex());
    if (!f.f) return -1;
    int64_t size = StreamSize(f.f);
    int count = size > 0 ? static_cast<int>(size / 17) : 0;
    if (count > kNebulaOtherCount) count = kNebulaOtherCount;
    Candidates c{classes, indexes, scores, nullptr, max, 0};
    for (int entry = 0; entry < count && !c.Full(); ++entry) {
        char name[16];
        int record = ReadNebulaOtherEntry(f.f, entry, name);
        int score = 0;
        if (record >= 0 && MatchObjectName(q, name, &score, kCatalogueThreshold))
            c.Add(kClassBrightNebula, record, score);
    }
    return c.count;
}

int SearchGlobuleNames(const char *query, int *classes, int32_t *indexes, int *scores, int max) {
    if (!Usable(query, classes, indexes, scores, max)) return -1;
    char q[kNormalisedNameSize];
    NormaliseObjectName(q, query);
    if (!q[0]) return 0;
    Stream f(OpenGlobuleIndex());
    if (!f.f) return -1;
    Candidates c{classes, indexes, scores, nullptr, max, 0};
    for (int entry = 0; entry < kGlobuleCount && !c.Full(); ++entry) {
        char name[16];
        int result = ReadGlobuleEntry(f.f, entry, name);  // record + 1
        if (result <= 0) break;
        int score = 0;
        if (MatchObjectName(q, name, &score, kCatalogueThreshold))
            c.Add(kClassDarkNebula, result - 1, score);
    }
    return c.count;
}

int SearchDoubleStarNames(const char *query, int *classes, int32_t *indexes, int *scores, int max) {
    if (!Usable(query, classes, indexes, scores, max)) return -1;
    char q[kNormalisedNameSize];
    NormaliseObjectName(q, query);
    char packed[kNormalisedNameSize];
    CopyWithoutBlanks(q, packed);
    if (!packed[0]) return 0;
    Stream f(OpenCatalogueFile(kDiscovererFile, 1));
    if (!f.f) return -1;
    // The record count comes from the file's size, so the last record read is
    // the file's last whole record (74,772 on the packaged file).
    int64_t size = StreamSize(f.f);
    int count = size > 0 ? static_cast<int>(size / kDiscovererRecordSize) : 0;
    if (count > kDiscovererCount) count = kDiscovererCount;
    if (std::fseek(f.f, 0, SEEK_SET) != 0) return -1;
    Candidates c{classes, indexes, scores, nullptr, max, 0};
    for (int i = 0; i < count && !c.Full(); ++i) {
        unsigned char r[kDiscovererRecordSize];
        if (std::fread(r, 1, sizeof r, f.f) != sizeof r) break;
        char name[kDiscovererNameSize + 1], bare[kDiscovererNameSize + 1];
        std::memcpy(name, r, kDiscovererNameSize);
        name[kDiscovererNameSize] = '\0';
        CopyWithoutBlanks(name, bare);
        int32_t star = GetI32(r + kDiscovererNameSize);
        int score = 0;
        // Discoverer codes are short: only close matches are worth listing.
        if (star > 0 && MatchObjectName(packed, bare, &score, kCatalogueThreshold) &&
            score <= kScoreAbove80)
            c.Add(kClassStar, star, score);
    }
    return c.count;
}
