// The star builder: designation parsing per kind, lookups in the star
// cross indexes, reading each star and filling its record.
#include "objects/starrecord.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "astro/chartgeom.h"
#include "astro/datetime.h"
#include "objects/binaryorbitcat.h"
#include "objects/buildrecord.h"
#include "objects/ccdmcat.h"
#include "objects/categories.h"
#include "objects/constellations.h"
#include "objects/guidestars.h"
#include "objects/objectrecord.h"
#include "objects/starcat.h"
#include "objects/starxref.h"
#include "objects/variablecat.h"
#include "objects/variabilitytypes.h"

namespace {

const double kArcsecondsToRadians = 3.14159265358979323846 / (180.0 * 3600.0);
const double kDegreesToRadians = 3.14159265358979323846 / 180.0;
// A position angle of 361 degrees or more: the catalogue has none.
const double kNoPositionAngle = 361.0;
// Magnitudes at or above this mean "none" in the double-star entries.
const double kValidMagnitudeLimit = 90.0;
// Read groups of a double-star system for placing its components.
const int kSystemReadFlags = kCcdmReadIdentifiers | kCcdmReadMeasures | kCcdmReadMagnitudes |
                             kCcdmReadComponents;

bool IsOwnStarLetter(char c) { return c == 0 || c == ' ' || c == 'A'; }

// A double-star system read for its components.
struct SystemRead {
    std::vector<CcdmComponent> components;
    int count = 0;
    int primary = 0;
    int keyA = 0;
};

int ReadSystem(int record, SystemRead *system) {
    if (record <= 0) return 0;
    CcdmFiles *files = OpenCcdmFiles();
    if (!files) return 0;
    system->components.assign(kMaxCcdmComponents, CcdmComponent());
    int count = ReadCcdmRecord(files, record, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, &system->primary, &system->keyA, nullptr,
                               system->components.data(), kSystemReadFlags);
    CloseCcdmFiles(files);
    system->count = count > 0 ? count : 0;
    return system->count;
}

// The orbit's position angle (degrees, J2000) and separation (arcseconds)
// at the date's decimal year; 1 when the orbit was read and solved.
int OrbitAtDate(int orbitNumber, const DateRecord *date, double *positionAngle,
                double *separation) {
    if (orbitNumber <= 0 || !date) return 0;
    OrbitFiles *files = OpenBinaryOrbitFiles();
    if (!files) return 0;
    BinaryOrbit orbit;
    std::memset(&orbit, 0, sizeof orbit);
    int read = ReadBinaryOrbit(files, orbitNumber, &orbit, nullptr, nullptr, nullptr);
    CloseBinaryOrbitFiles(files);
    if (!read) return 0;
    double correction = BinaryOrbitPrecessionCorrection(orbitNumber, &orbit);
    return ComputeBinaryPositionAngle(orbitNumber, &orbit, date->decimalYear, correction,
                                      positionAngle, separation);
}

// RAII holder of a catalogue stream.
struct Stream {
    FILE *f;
    explicit Stream(FILE *file) : f(file) {}
    ~Stream() {
        if (f) std::fclose(f);
    }
    Stream(const Stream &) = delete;
    Stream &operator=(const Stream &) = delete;
};

std::vector<std::string> Words(const char *text) {
    std::vector<std::string> words;
    std::string current;
    for (const char *p = text ? text : ""; *p; ++p) {
        if (*p == ' ' || *p == '\t') {
            if (!current.empty()) words.push_back(current);
            current.clear();
        } else {
            current += *p;
        }
    }
    if (!current.empty()) words.push_back(current);
    return words;
}

bool StartsNumber(const std::string &w) {
    if (w.empty()) return false;
    if (std::isdigit(static_cast<unsigned char>(w[0]))) return true;
    return (w[0] == '-' || w[0] == '+') && w.size() > 1 &&
           std::isdigit(static_cast<unsigned char>(w[1]));
}

// Constellation table position of a word: genitive first, then abbreviation.
int FindConstellationWord(const std::string &word) {
    int c = FindConstellationGenitive(word.c_str());
    if (c < 0) c = FindConstellationAbbreviation(word.c_str());
    return c;
}

// The constellation named from word `first` on: that word, or, for the
// genitives of two words ("Ursae Minoris", "Canis Majoris"), the words from
// there to the end of the text.
int FindConstellationFrom(const std::vector<std::string> &w, size_t first) {
    if (first >= w.size()) return -1;
    int c = FindConstellationWord(w[first]);
    if (c >= 0 || first + 1 >= w.size()) return c;
    std::string rest = w[first];
    for (size_t i = first + 1; i < w.size(); ++i) rest += " " + w[i];
    return FindConstellationGenitive(rest.c_str());
}

// A catalogue number in a text: the digits from the first digit on (a
// catalogue prefix before them is skipped), then an optional suffix letter
// (1 for 'a' or 'A'). 1 when a number was read.
int ReadCatalogueNumber(const char *text, int *number, int *suffix) {
    const char *p = text ? text : "";
    while (*p && !std::isdigit(static_cast<unsigned char>(*p))) ++p;
    if (!*p) return 0;
    char *end = nullptr;
    long n = std::strtol(p, &end, 10);
    if (n < 0 || n > 2147483647L) return 0;
    *number = static_cast<int>(n);
    while (*end == ' ') ++end;
    *suffix = std::isalpha(static_cast<unsigned char>(*end))
                  ? std::tolower(static_cast<unsigned char>(*end)) - 'a' + 1
                  : 0;
    return 1;
}

// Up to three numbers separated by '-' or blanks after an optional prefix
// ("TYC 1234-567-1").
int ReadNumberTriple(const char *text, int values[3]) {
    const char *p = text ? text : "";
    while (*p && !std::isdigit(static_cast<unsigned char>(*p))) ++p;
    int n = 0;
    while (*p && n < 3) {
        char *end = nullptr;
        long v = std::strtol(p, &end, 10);
        if (end == p) break;
        values[n++] = static_cast<int>(v);
        p = end;
        while (*p == '-' || *p == ' ') ++p;
    }
    return n;
}

// Candidate star numbers of a designation by kind; 0 when unreadable or not found.
// The variable-star name search reports the first record's constellation
// and number;
// a discoverer designation of did_cross_full.bin that names a component
// reports it (its text's last letter) unless one was asked for already.
int FindCandidates(int kind, int number, char *text, std::vector<int> *stars,
                   int *variableConstellation, int *variableRecord, char *component) {
    int stars2[2] = {0, 0};
    auto addPair = [&](int count) {
        for (int i = 0; i < count && i < 2; ++i)
            if (stars2[i] > 0) stars->push_back(stars2[i]);
    };
    auto catalogueNumber = [&](int *n) {
        int suffix = 0;
        if (number != 0) {
            *n = number;
            return 1;
        }
        return ReadCatalogueNumber(text, n, &suffix);
    };
    int n = 0;
    switch (kind) {
    case kStarKindCommonName: {
        int star = 0;
        if (number > 0) {
            Stream f(OpenStarNameList());
            if (!f.f) return 0;
            char name[33] = {0};
            int byte = 0;
            if (ReadStarNameListEntry(f.f, number - 1, name, &star, &byte) <= 0) return 0;
        } else {
            // "Alpha Centauri A": the one-letter component after a blank is cut.
            size_t len = std::strlen(text);
            if (len >= 3 && text[len - 2] == ' ') text[len - 2] = '\0';
            if (FindStarNameListEntry(text, &star) < 0) return 0;
        }
        if (star > 0) stars->push_back(star);
        break;
    }
    case kStarKindBayer: {
        int letter, superscript, constellation;
        if (!ParseBayerDesignation(text, &letter, &superscript, &constellation)) return 0;
        int count = ReadHeldBayerIndex(letter, superscript, constellation, stars2);
        if (count < 0) return 0;
        if (count == 0 && superscript == 0)
            count = ReadHeldBayerIndex(letter, 1, constellation, stars2);
        addPair(count);
        break;
    }
    case kStarKindFlamsteed: {
        int flamsteed, constellation;
        if (!ParseFlamsteedDesignation(text, &flamsteed, &constellation)) return 0;
        const int count = ReadHeldFlamsteedIndex(flamsteed, constellation, stars2);
        if (count < 0) return 0;
        addPair(count);
        break;
    }
    case kStarKindHd: {
        if (!catalogueNumber(&n) || n <= 0) return 0;
        Stream f(OpenHdIndex());
        if (!f.f) return 0;
        addPair(ReadHdIndex(f.f, n, stars2));
        break;
    }
    case kStarKindHr: case kStarKindSao: case kStarKindPpm: case kStarKindHip:
    case kStarKindGc: {
        if (!catalogueNumber(&n) || n <= 0) return 0;
        FILE *(*open)() = kind == kStarKindHr    ? OpenHrIndex
                          : kind == kStarKindSao ? OpenSaoIndex
                          : kind == kStarKindPpm ? OpenPpmIndex
                          : kind == kStarKindHip ? OpenHipNumberIndex
                                                 : OpenGcIndex;
        int (*read)(FILE *, int) = kind == kStarKindHr    ? ReadHrIndex
                                   : kind == kStarKindSao ? ReadSaoIndex
                                   : kind == kStarKindPpm ? ReadPpmIndex
                                   : kind == kStarKindHip ? ReadHipNumberIndex
                                                          : ReadGcIndex;
        Stream f(open());
        if (!f.f) return 0;
        int star = read(f.f, n);
        if (star > 0) stars->push_back(star);
        break;
    }
    case kStarKindBd: case kStarKindCd: case kStarKindCp: {
        int zone, dmNumber;
        char sign, suffix;
        if (!ParseDurchmusterungDesignation(text, &zone, &sign, &dmNumber, &suffix)) return 0;
        int suffixCode = suffix == ' ' ? 0 : suffix - 'A' + 1;
        int signNumber = static_cast<unsigned char>(sign) | ((dmNumber & 0xffff) << 8);
        Stream f(kind == kStarKindBd ? OpenBdTable()
                 : kind == kStarKindCd ? OpenCdTable()
                                       : OpenCpTable());
        if (!f.f) return 0;
        int found[kMaxDurchmusterungStars];
        int (*find)(FILE *, int, int, int, int *, int, int *) =
            kind == kStarKindBd ? FindBdStars : kind == kStarKindCd ? FindCdStars : FindCpStars;
        int count = find(f.f, zone, signNumber, suffixCode << 8, found, kMaxDurchmusterungStars,
                         nullptr);
        for (int i = 0; i < count; ++i)
            if (found[i] > 0) stars->push_back(found[i]);
        break;
    }
    case kStarKindTycho2: {
        int v[3] = {0, 0, 0};
        if (ReadNumberTriple(text, v) < 2) return 0;
        if (v[2] == 0) v[2] = 1;
        Stream f(OpenTychoIndex());
        if (!f.f) return 0;
        int star = FindTychoStar(f.f, v[0], v[1], v[2]);
        if (star > 0) stars->push_back(star);
        break;
    }
    case kStarKindVariable: {
        VariableStarFiles *files = OpenVariableStarFiles();
        if (!files) return 0;
        VariableStarRecord v;
        std::memset(&v, 0, sizeof v);
        if (FindVariableStarsByName(files, text, &v, kVariableReadIdentifiers) == 1) {
            *variableConstellation = v.constellation;
            *variableRecord = v.record_number;
            if (v.star_1 > 0) stars->push_back(v.star_1);
            if (v.star_2 > 0 && v.star_2 != v.star_1) stars->push_back(v.star_2);
        }
        CloseVariableStarFiles(files);
        break;
    }
    case kStarKindNsv: {
        if (!catalogueNumber(&n)) return 0;
        Stream f(OpenNsvFile());
        if (!f.f) return 0;
        NsvRecord r;
        std::memset(&r, 0, sizeof r);
        if (ReadNsvRecord(f.f, n, 0, &r, kVariableReadIdentifiers) == 1) {
            if (r.star_1 > 0) stars->push_back(r.star_1);
            if (r.star_2 > 0 && r.star_2 != r.star_1) stars->push_back(r.star_2);
        }
        break;
    }
    case kStarKindWds: {
        int star = FindDiscovererStar(text);
        if (star <= 0) {
            star = FindDiscovererStarFull(text, nullptr, nullptr, nullptr);
            size_t len = std::strlen(text);
            if (star > 0 && len > 0 && IsOwnStarLetter(*component) &&
                std::isalpha(static_cast<unsigned char>(text[len - 1])))
                *component = text[len - 1];
        }
        if (star > 0) stars->push_back(star);
        break;
    }
    case kStarKindCcdm: {
        int raPart = 0, decPart = 0;
        char sign = '+';
        if (ParseCcdmDesignation(text, &raPart, &sign, &decPart) != 1) return 0;
        // An absent identifier leaves the outputs of the last record probed:
        // only a record that carries the identifier gives its primary.
        const CcdmIdentifier key{raPart, decPart, sign};
        CcdmIdentifier found{0, 0, ' '};
        int record = 0, primary = 0;
        if (FindCcdmRecord(key, &record, nullptr, nullptr, nullptr, nullptr, nullptr, &found,
                           &primary, nullptr, nullptr, nullptr, kCcdmReadIdentifiers) >= 0 &&
            CompareCcdmIdentifiers(found, key) == 0 && primary > 0)
            stars->push_back(primary);
        break;
    }
    case kStarKindAds: {
        if (!catalogueNumber(&n)) return 0;
        int records[3] = {0, 0, 0};
        {
            Stream f(OpenAdsIndex());
            if (!f.f || ReadAdsIndex(f.f, n, records) <= 0) return 0;
        }
        CcdmFiles *files = OpenCcdmFiles();
        if (!files) return 0;
        for (int record : records) {
            int primary = 0;
            if (record > 0 &&
                ReadCcdmRecord(files, record, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               &primary, nullptr, nullptr, nullptr, 0) >= 0 &&
                primary > 0)
                stars->push_back(primary);
        }
        CloseCcdmFiles(files);
        break;
    }
    default:
        // GSC and J designations give no candidates by number: ResolveDeepStar
        // looks them up in the deep star database.
        return 0;
    }
    return static_cast<int>(stars->size());
}

// Places of a star known only by its stored position (anonymous or
// guide-star key) on a refresh: the stored place is reused, nothing is read.
int RefreshPositionStar(const LocationRecord *site, const DateRecord *date, double extinction,
                        ObjectRecord *out) {
    if (!out->starPlaceLoaded) return 0;  // the guide-star catalogue would be searched again
    if (site && date) {
        ComputeApparentPlace(site, date, extinction, 0.0, out);
        ComputeAstrometricPlace(site, date, 0.0, out);
    }
    return 1;
}

// A star found in the deep star database outside the star catalogue: its
// place is stored with the record (a guide-star key, or -2 for a star known
// only by its position) so that a refresh needs no new search.
int FillGuideStarObject(const LocationRecord *site, const DateRecord *date, double extinction,
                        const GscStarRecord &found, ObjectRecord *out) {
    int region, number;
    double ra, dec, pmRa, pmDec, magnitude, colour;
    DecodeGscStar(&found, &region, &number, &ra, &dec, &pmRa, &pmDec, &magnitude, &colour);
    out->index = region > 0 && number > 0 ? MakeGuideStarKey(region, number) : kAnonymousStarIndex;
    out->raCatalogue = ra;
    out->decCatalogue = dec;
    out->properMotionRa = static_cast<float>(pmRa);
    out->properMotionDec = static_cast<float>(pmDec);
    out->magnitude = static_cast<float>(magnitude);
    out->magnitude2 = kRecordNoMagnitude;
    out->colourIndex = static_cast<float>(colour);
    out->starComponent = ' ';
    out->requestedComponent = ' ';
    out->starPlaceLoaded = 1;
    out->categoryBits = ClassCategoryBits(kClassStar, 0, 0, 0);
    if (site && date) {
        ComputeApparentPlace(site, date, extinction, 0.0, out);
        ComputeAstrometricPlace(site, date, 0.0, out);
    }
    return 1;
}

// Guide-star identifiers and J designations: a star of the star catalogue
// (its number goes to the candidates, result 0) or a star found only in the
// deep star database (the record is filled, result 1); -1 when not found.
int ResolveDeepStar(int kind, const char *text, const LocationRecord *site, const DateRecord *date,
                    double extinction, ObjectRecord *out, std::vector<int> *stars) {
    GscStarRecord found;
    std::memset(&found, 0, sizeof found);
    int star = 0, result;
    if (kind == kStarKindGsc) {
        int v[3] = {0, 0, 0};
        if (ReadNumberTriple(text, v) < 2) return -1;
        result = FindGscStar(v[0], v[1], &star, &found, 0, 0);
    } else {
        // the designation's own text: "J" and the 15 characters after it
        const char *j = text;
        while (*j && *j != 'J' && *j != 'j') ++j;
        result = FindStarByJDesignation(j, &star, &found);
    }
    if (result != 1) return -1;
    if (star > 0) {
        stars->push_back(star);
        return 0;
    }
    return FillGuideStarObject(site, date, extinction, found, out);
}

}  // namespace

char ComponentLetterOfText(const char *text) {
    if (!text || !*text) return 0;
    const char *x = std::strchr(text, 'x');
    if (x) return x[1];
    return text[std::strlen(text) - 1];
}

int VariablePhasePercent(double phase) {
    if (phase < 0) return 255;
    // The product is rounded to a double before the half is added, as the
    // SSE builds do; the x87 unit of the 32-bit build would keep it in
    // extended precision, and 0.995 would give 99 instead of 100.
    volatile double scaled = phase * 100.0;
    double p = std::floor(scaled + 0.5);
    int percent = static_cast<int>(p);
    if (percent >= 100) percent = 0;
    return percent;
}

int ParseBayerDesignation(const char *text, int *letter, int *superscript, int *constellation) {
    std::vector<std::string> w = Words(text);
    if (w.size() < 2) return 0;
    // The letter may carry its superscript ("alp1 Cen"); otherwise a
    // superscript is a word of its own ("Alpha 1 Cen").
    int g = -1, s = 0;
    if (!ParseGreekLetterWord(w[0].c_str(), &g, &s)) return 0;
    int c = FindConstellationFrom(w, 1);
    if (c < 0 && s == 0) {
        char *end = nullptr;
        long v = std::strtol(w[1].c_str(), &end, 10);
        if (end == w[1].c_str() || *end || v < 0 || v > 8 || w.size() < 3) return 0;
        s = static_cast<int>(v);
        c = FindConstellationFrom(w, 2);
    }
    if (c < 0 || s > 8) return 0;
    if (letter) *letter = g;
    if (superscript) *superscript = s;
    if (constellation) *constellation = c;
    return 1;
}

int ParseFlamsteedDesignation(const char *text, int *number, int *constellation) {
    std::vector<std::string> w = Words(text);
    if (w.size() < 2 || !std::isdigit(static_cast<unsigned char>(w[0][0]))) return 0;
    long n = std::strtol(w[0].c_str(), nullptr, 10);
    int c = FindConstellationFrom(w, 1);
    if (n < 0 || c < 0) return 0;
    if (number) *number = static_cast<int>(n);
    if (constellation) *constellation = c;
    return 1;
}

int ParseDurchmusterungDesignation(const char *text, int *zone, char *sign, int *number,
                                   char *suffix) {
    std::vector<std::string> w = Words(text);
    size_t i = 0;
    if (!w.empty() && !StartsNumber(w[0])) i = 1;  // the catalogue prefix
    if (w.size() < i + 2) return 0;
    const std::string &zoneWord = w[i];
    char *end = nullptr;
    long z = std::strtol(zoneWord.c_str(), &end, 10);
    if (end == zoneWord.c_str()) return 0;
    int n = 0, k = 0;
    if (!std::isdigit(static_cast<unsigned char>(w[i + 1][0]))) return 0;
    if (!ReadCatalogueNumber(w[i + 1].c_str(), &n, &k)) return 0;
    if (zone) *zone = static_cast<int>(std::labs(z));
    if (sign) *sign = zoneWord.find('-') != std::string::npos ? '-' : '+';
    if (number) *number = n;
    if (suffix) *suffix = k > 0 ? static_cast<char>('A' + k - 1) : ' ';
    return 1;
}

int ParseCcdmDesignation(const char *text, int *raPart, char *sign, int *decPart) {
    if (!text) return 0;
    const char *p = text;
    const char *blank = std::strchr(text, ' ');
    if (blank && blank[1] && !std::isalpha(static_cast<unsigned char>(blank[1]))) p = blank + 1;
    int a = 0, b = 0;
    int read = std::sscanf(p, "%d%d", &a, &b);
    if (read < 1) return 0;
    char s = '+';
    if (read == 1) {
        b = 1;
    } else if (b < 0) {
        b = -b;
        s = '-';
    }
    if (a < 0 || a > 23598 || b < 1 || b > 8915) return 0;
    if (raPart) *raPart = a;
    if (sign) *sign = s;
    if (decPart) *decPart = b;
    return 1;
}

void FillStarRecord(const LocationRecord *site, const DateRecord *date, double extinction,
                    ObjectRecord *record, int starNumber, const StarRecord *star, char component) {
    if (!record || !star) return;
    record->index = starNumber;
    record->raCatalogue = star->ra;
    record->decCatalogue = star->dec;
    record->properMotionRa = static_cast<float>(star->pm_ra);
    record->properMotionDec = static_cast<float>(star->pm_dec);
    if (site && date) {
        ComputeApparentPlace(site, date, extinction, 0.0, record);
        ComputeAstrometricPlace(site, date, 0.0, record);
    }
    record->sizeMajor = 0.0f;
    record->sizeMinor = 0.0f;
    record->extent = 0.0f;
    record->magnitude = static_cast<float>(star->v_magnitude);
    record->magnitude2 = kRecordNoMagnitude;
    record->colourIndex = static_cast<float>(star->b_v);
    record->starComponent = star->component ? star->component : ' ';
    record->requestedComponent = component ? component : ' ';
    record->doubleStarRecord = star->ccdm_record;
    double plx = star->parallax;
    record->distanceLightYears = plx > 0.001 ? static_cast<float>(3.26 / std::fabs(plx)) : 0.0f;
    record->categoryBits = ClassCategoryBits(kClassStar, star->ccdm_record != 0, 0,
                                             star->variable_record != 0 || star->nsv != 0);
}

int BuildStarObject(int number, char *text, const LocationRecord *site, const DateRecord *date,
                    double extinction, ObjectRecord *out, char component, int refresh) {
    if (!out) return 0;
    int kind = out->kind;
    char wanted = component;
    int namedVariable = 0;  // the variable-star record a kind-4 name found
    std::vector<int> candidates;
    if (refresh || kind == kStarKindNumber) {
        if (number == kAnonymousStarIndex || IsGuideStarKey(number)) {
            out->index = number;
            return RefreshPositionStar(site, date, extinction, out);
        }
        if (number <= 0) return 0;
        candidates.push_back(number);
    } else if (kind == kStarKindGsc || kind == kStarKindJ) {
        int deep = ResolveDeepStar(kind, text ? text : "", site, date, extinction, out, &candidates);
        if (deep != 0) return deep > 0 ? 1 : 0;
    } else {
        char empty[1] = {0};
        int designationConstellation = 0;
        if (!FindCandidates(kind, number, text ? text : empty, &candidates,
                            &designationConstellation, &namedVariable, &wanted))
            return 0;
        if (kind == kStarKindVariable) out[0].designationConstellation = designationConstellation;
        if (kind == kStarKindBayer || kind == kStarKindFlamsteed) {
            int letter, superscript, constellation = -1, flamsteed;
            if (kind == kStarKindBayer)
                ParseBayerDesignation(text, &letter, &superscript, &constellation);
            else
                ParseFlamsteedDesignation(text, &flamsteed, &constellation);
            if (constellation >= 0) out[0].designationConstellation = constellation + 1;
        }
    }
    int count = static_cast<int>(candidates.size());
    if (count > 3) count = 3;
    for (int i = 1; i < count; ++i) {
        out[i].objectClass = out[0].objectClass;
        out[i].kind = out[0].kind;
        out[i].designationConstellation = out[0].designationConstellation;
    }
    Stream catalogue(OpenStarCatalogue());
    if (!catalogue.f) return 0;
    const int readFlags =
        kStarReadMotion | kStarReadMagnitude | kStarReadPhotometry | kStarReadIdentifiers;
    for (int i = 0; i < count; ++i) {
        std::unique_ptr<StarRecord> star(new StarRecord);
        if (!ReadStarRecord(catalogue.f, candidates[i], star.get(), nullptr, readFlags)) return 0;
        int starNumber = candidates[i];
        char recordComponent = ' ';
        double componentMagnitude = kCcdmNoMagnitude;

        // A component asked for by letter: its own star when it has one,
        // else its place measured from its reference star.
        if (!IsOwnStarLetter(wanted) && star->ccdm_record > 0) {
            SystemRead system;
            ReadSystem(star->ccdm_record, &system);
            int c = -1;
            for (int k = 0; k < system.count && c < 0; ++k)
                if (system.components[(size_t)k].letter == wanted) c = k;
            if (c >= 0) {
                const CcdmComponent &comp = system.components[(size_t)c];
                if (comp.starNumber > 0) {
                    if (!ReadStarRecord(catalogue.f, comp.starNumber, star.get(), nullptr,
                                        readFlags))
                        return 0;
                    starNumber = comp.starNumber;
                } else {
                    // The reference: the star of the component it is measured
                    // from, else the primary (a chain of starless components
                    // is walked back to the primary).
                    int referenceStar = system.primary;
                    int referenceIndex = -1;
                    if (comp.referenceLetter != 'A')
                        for (int k = 0; k < system.count && referenceIndex < 0; ++k)
                            if (system.components[(size_t)k].letter == comp.referenceLetter)
                                referenceIndex = k;
                    if (referenceIndex >= 0 &&
                        system.components[(size_t)referenceIndex].starNumber > 0)
                        referenceStar = system.components[(size_t)referenceIndex].starNumber;
                    if (referenceStar > 0 && referenceStar != starNumber) {
                        if (!ReadStarRecord(catalogue.f, referenceStar, star.get(), nullptr,
                                            readFlags))
                            return 0;
                        starNumber = referenceStar;
                    }
                    // The chain is walked from the primary's catalogue place,
                    // so that each link takes its orbit at the date; the
                    // reference star's own place serves when it cannot be.
                    double ra = star->ra, dec = star->dec;
                    int placed = 0;
                    std::unique_ptr<StarRecord> primaryStar(new StarRecord);
                    if (system.primary > 0 &&
                        ReadStarRecord(catalogue.f, system.primary, primaryStar.get(), nullptr,
                                       kStarReadMotion))
                        placed = ResolveComponentPosition(system.components.data(), system.count,
                                                          c, date, primaryStar->ra,
                                                          primaryStar->dec, &ra, &dec);
                    if (!placed)
                        placed = OffsetComponentPosition(system.components.data(), c, date,
                                                         star->ra, star->dec, &ra, &dec);
                    if (placed) {
                        star->ra = ra;
                        star->dec = dec;
                    }
                    recordComponent = wanted;
                    componentMagnitude = comp.magnitude;
                }
            }
        }

        // An orbiting secondary with its own catalogue star: its place at the
        // date from the orbit, measured from the primary's catalogue place,
        // and the primary's proper motion.
        if (date && !IsOwnStarLetter(star->component) && star->ccdm_record > 0 &&
            recordComponent == ' ') {
            SystemRead system;
            ReadSystem(star->ccdm_record, &system);
            for (int k = 0; k < system.count; ++k) {
                const CcdmComponent &comp = system.components[(size_t)k];
                if (comp.starNumber != starNumber || comp.orbitNumber <= 0) continue;
                double pa = 0, sep = 0;
                std::unique_ptr<StarRecord> primary(new StarRecord);
                if (system.primary > 0 && system.primary != starNumber &&
                    OrbitAtDate(comp.orbitNumber, date, &pa, &sep) &&
                    ReadStarRecord(catalogue.f, system.primary, primary.get(), nullptr,
                                   kStarReadMotion)) {
                    ComputeOffsetPosition(pa * kDegreesToRadians, sep * kArcsecondsToRadians,
                                          primary->ra, primary->dec, &star->ra, &star->dec);
                    star->pm_ra = primary->pm_ra;
                    star->pm_dec = primary->pm_dec;
                }
                break;
            }
        }

        FillStarRecord(site, date, extinction, &out[i], starNumber, star.get(), recordComponent);
        // A component without a star of its own shines with its own magnitude.
        if (recordComponent != ' ' && componentMagnitude < kValidMagnitudeLimit)
            out[i].magnitude = static_cast<float>(componentMagnitude);

        // A variable star's magnitude and phase predicted for the date.
        // The star's own link, else the record its variable-star name found.
        const int variableRecord =
            star->variable_record > 0
                ? star->variable_record
                : (namedVariable > 0 && starNumber == candidates[i] ? namedVariable : 0);
        if (date && variableRecord > 0) {
            VariableStarRecord v;
            std::memset(&v, 0, sizeof v);
            VariableStarFiles *files = OpenVariableStarFiles();
            int read = files ? ReadVariableStar(files, variableRecord, &v,
                                                kVariableReadMagnitudes | kVariableReadTimes)
                             : 0;
            if (files) CloseVariableStarFiles(files);
            if (read == 1) {
                SystemRead system;
                int key = 0;
                if (star->ccdm_record > 0) {
                    ReadSystem(star->ccdm_record, &system);
                    key = system.keyA;
                }
                double epoch = v.epoch, width = 0.0, depth = 0.0;
                int model = ChooseLightCurveModel(key, v.types, v.type_count, &epoch, v.period,
                                                  v.faint_limit, v.bright_limit, &width, &depth);
                double phase = -1.0;
                double m = PredictVariableMagnitude(epoch, v.period, date->julianDate, width,
                                                    depth, v.faint_limit, v.bright_limit, model,
                                                    &phase);
                out[i].predictedMagnitude = static_cast<float>(m);
                out[i].variablePhase = static_cast<uint8_t>(VariablePhasePercent(phase));
            }
        }
    }
    if (count > 0) out[0].starPlaceLoaded = 1;
    return count;
}

int OffsetComponentPosition(const CcdmComponent *components, int c, const DateRecord *date,
                            double ra, double dec, double *raOut, double *decOut) {
    if (!components || c < 0) return 0;
    const CcdmComponent &comp = components[c];
    double pa = comp.positionAngle, sep = comp.separation;
    double orbitPa = 0, orbitSep = 0;
    if (comp.orbitNumber > 0 && OrbitAtDate(comp.orbitNumber, date, &orbitPa, &orbitSep)) {
        pa = orbitPa;
        sep = orbitSep;
    }
    if (!(pa < kNoPositionAngle) || pa < 0) return 0;
    double outRa = 0, outDec = 0;
    ComputeOffsetPosition(pa * kDegreesToRadians, sep * kArcsecondsToRadians, ra, dec, &outRa,
                          &outDec);
    if (raOut) *raOut = outRa;
    if (decOut) *decOut = outDec;
    return 1;
}

namespace {

// Depth-bounded walk of the reference chain (a chain in the file that loops
// back on itself ends here instead of recursing for ever).
int ResolveChain(const CcdmComponent *components, int count, int c, const DateRecord *date,
                 double ra, double dec, double *raOut, double *decOut, int depth) {
    if (!components || c < 0 || c >= count || depth > count) return 0;
    const CcdmComponent &comp = components[c];
    if (comp.referenceLetter == 'A')
        return OffsetComponentPosition(components, c, date, ra, dec, raOut, decOut);
    for (int j = 0; j < count; ++j) {
        if (j == c || components[j].letter != comp.referenceLetter) continue;
        double jRa = ra, jDec = dec;
        if (components[j].referenceLetter == 'A' || components[j].referenceLetter == ' ' ||
            components[j].referenceLetter == 0) {
            if (components[j].referenceLetter == 'A' &&
                !OffsetComponentPosition(components, j, date, ra, dec, &jRa, &jDec))
                return 0;
        } else if (!ResolveChain(components, count, j, date, ra, dec, &jRa, &jDec, depth + 1)) {
            return 0;
        }
        return OffsetComponentPosition(components, c, date, jRa, jDec, raOut, decOut);
    }
    return 0;
}

}  // namespace

int ResolveComponentPosition(const CcdmComponent *components, int count, int c,
                             const DateRecord *date, double ra, double dec, double *raOut,
                             double *decOut) {
    return ResolveChain(components, count, c, date, ra, dec, raOut, decOut, 0);
}
