// Readers of the packaged comet files, comet labels and the place of a
// packaged comet.
#include "minorbodies/cometdb.h"

#include <cctype>
#include <cmath>
#include <cstring>
#include <string>
#include <unordered_map>

#include "astro/angleparse.h"
#include "astro/datetime.h"
#include "core/fileimage.h"
#include "core/mathutil.h"
#include "core/textutil.h"
#include "ephem/bodyrecord.h"
#include "ephem/ephemload.h"
#include "ephem/physical.h"
#include "minorbodies/mpdatabase.h"

namespace {

const double kDegreesPerRadian = 180.0 / kPi;
const double kComaUnitAU = 1e-6;

FILE *OpenDatabaseFile(int index) {
    char path[kMinorBodyPathSize];
    FormatMinorBodyDatabasePath(path, index);
    return std::fopen(path, "rb");
}

bool StartsWithGreat(const char *name) {
    return name && std::strlen(name) >= 5 &&
           std::toupper(static_cast<unsigned char>(name[0])) == 'G' &&
           std::toupper(static_cast<unsigned char>(name[1])) == 'R' &&
           std::toupper(static_cast<unsigned char>(name[2])) == 'E' &&
           std::toupper(static_cast<unsigned char>(name[3])) == 'A' &&
           std::toupper(static_cast<unsigned char>(name[4])) == 'T';
}

// Terminates the fixed texts of a record read from a file.
void Terminate(CometRecord *r) {
    r->name[kCometNameSize - 1] = '\0';
    r->designation[kCometDesignationSize - 1] = '\0';
    r->source[sizeof r->source - 1] = '\0';
}

bool ReadAt(FILE *f, int n, void *buffer, size_t size) {
    if (n != -1) {
        if (n < 0 || std::fseek(f, static_cast<long>(n) * static_cast<long>(size), SEEK_SET) != 0)
            return false;
    }
    return std::fread(buffer, size, 1, f) == 1;
}

bool IsCapital(char c) { return c >= 'A' && c <= 'Z'; }

// The one or two capitals after the last hyphen that ends a text.
bool FragmentSuffix(const char *text, char *fragment) {
    if (!text) return false;
    size_t n = std::strlen(text);
    while (n > 0 && text[n - 1] == ' ') --n;
    size_t k = 0;
    while (k < 2 && k < n && IsCapital(text[n - 1 - k])) ++k;
    if (k == 0 || n < k + 2 || text[n - 1 - k] != '-' || text[n - 2 - k] == ' ') return false;
    std::memcpy(fragment, text + n - k, k);
    fragment[k] = '\0';
    return true;
}

int FollowingIndex(FILE *f, int n, size_t size) {
    if (n != -1) return n + 1;
    long pos = std::ftell(f);
    return pos < 0 ? 0 : static_cast<int>(pos / static_cast<long>(size));
}

// A packaged comet file held in memory (core/fileimage.h): the comet
// lookups run for many texts recognition is given, and reading the file
// record by record (a seek per record) on each was most of their cost.
std::shared_ptr<const FileImage> HeldDatabaseFile(int index) {
    char path[kMinorBodyPathSize];
    FormatMinorBodyDatabasePath(path, index);
    return HeldFileImage(path, 0);
}

// The whole records of an image, each copied out with its texts terminated:
// visit(i, record) returns false to stop. At most `limit` records.
template <typename Record, typename Visit>
void ForEachHeldRecord(const FileImage &image, size_t limit, Visit visit) {
    const size_t count = image.bytes.size() / sizeof(Record);
    for (size_t i = 0; i < count && i < limit; ++i) {
        Record r;
        std::memcpy(&r, image.bytes.data() + i * sizeof(Record), sizeof r);
        r.name[kCometNameSize - 1] = '\0';
        r.designation[kCometDesignationSize - 1] = '\0';
        if (!visit(static_cast<int>(i), r)) return;
    }
}

// A designation folded for case-blind equality, as CompareStringsNoCase compares.
std::string FoldDesignation(const char *text) {
    std::string folded(text);
    for (char &c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return folded;
}

}  // namespace

void FormatCometLabel(uint16_t number, char letter, const char *name, const char *designation,
                      char *text) {
    if (!text) return;
    const char *n = name ? name : "";
    const char *d = designation ? designation : "";
    if (number != 0 && !(number & kCometNumberHidden)) {
        std::snprintf(text, kCometLabelSize, "%d%c/%s", number, letter, n);
    } else if (std::strlen(d) < 2) {
        std::snprintf(text, kCometLabelSize, "%c (%s)", letter, n);
    } else if (StartsWithGreat(n) && std::strlen(d) > 3) {
        std::snprintf(text, kCometLabelSize, "%c/%s (%s of %.4s)", letter, d, n, d);
    } else {
        std::snprintf(text, kCometLabelSize, "%c/%s (%s)", letter, d, n);
    }
}

void FormatCometDisplayName(const char *name, const char *designation, char *text) {
    if (!text) return;
    const char *n = name ? name : "";
    const char *d = designation ? designation : "";
    if (StartsWithGreat(n) && std::strlen(d) >= 4)
        std::snprintf(text, kCometLabelSize, "%s of %.4s", n, d);
    else
        std::snprintf(text, kCometLabelSize, "%s", n);
}

FILE *OpenCometNameFile() { return OpenDatabaseFile(kMinorBodyFileCometNames); }
FILE *OpenCometElementsFile() { return OpenDatabaseFile(kMinorBodyFileComets); }

int ReadCometNameEntry(FILE *stream, int n, char *letter, uint16_t *number, char *designation,
                       char *displayName, char *label, int16_t *firstSet) {
    if (!stream || n >= kMaxCometNameEntries) return 0;
    CometNameEntry e;
    if (!ReadAt(stream, n, &e, sizeof e)) return 0;
    e.name[kCometNameSize - 1] = '\0';
    e.designation[kCometDesignationSize - 1] = '\0';
    if (letter) *letter = e.letter;
    if (number) *number = e.number;
    if (designation) CopyStringBounded(designation, e.designation, kCometDesignationSize);
    if (displayName) FormatCometDisplayName(e.name, e.designation, displayName);
    if (label) FormatCometLabel(e.number, e.letter, e.name, e.designation, label);
    if (firstSet) *firstSet = e.firstSet;
    return FollowingIndex(stream, n, sizeof e);
}

int ReadCometRecord(FILE *stream, int n, CometRecord *record) {
    if (!stream) return 0;
    CometRecord r;
    if (!ReadAt(stream, n, &r, sizeof r)) return 0;
    Terminate(&r);
    if (record) *record = r;
    return FollowingIndex(stream, n, sizeof r);
}

int ReadCometRecordLabel(FILE *stream, int n, char *letter, uint16_t *number, char *designation,
                         char *name, char *label) {
    CometRecord r;
    int next = ReadCometRecord(stream, n, &r);
    if (!next) return 0;
    if (letter) *letter = r.letter;
    if (number) *number = r.number;
    if (designation) CopyStringBounded(designation, r.designation, kCometDesignationSize);
    if (name) CopyStringBounded(name, r.name, kCometNameSize);
    if (label) FormatCometLabel(r.number, r.letter, r.name, r.designation, label);
    return next;
}

int ReadCometNumberAndLabel(FILE *stream, int n, uint16_t *number, char *label) {
    CometRecord r;
    int next = ReadCometRecord(stream, n, &r);
    if (!next) return 0;
    if (number) *number = r.number;
    if (label) FormatCometLabel(r.number, r.letter, r.name, "", label);
    return next;
}

int FindCometIdByName(const char *text) {
    if (!text) return -1;
    std::shared_ptr<const FileImage> names = HeldDatabaseFile(kMinorBodyFileCometNames);
    if (!names) return -1;
    int found = -1;
    ForEachHeldRecord<CometNameEntry>(*names, kMaxCometNameEntries, [&](int, const CometNameEntry &e) {
        char key[kCometNameSize + kCometDesignationSize + 2];
        if (e.number != 0)
            std::snprintf(key, sizeof key, "%s", e.name);
        else
            std::snprintf(key, sizeof key, "%s %s", e.name, e.designation);
        if (CompareStringsNoCase(key, text) != 0) return true;
        found = e.firstSet;
        return false;
    });
    return found;
}

int FindCometByDesignation(const char *text) {
    if (!text) return -1;
    try {
        // Folded designation -> its first element set, built once per file.
        static DerivedFromImage<std::unordered_map<std::string, int>> index;
        const auto *first = index.Get(
            HeldDatabaseFile(kMinorBodyFileComets),
            [](const FileImage &image, std::unordered_map<std::string, int> *out) {
                ForEachHeldRecord<CometRecord>(image, image.bytes.size(), [&](int i, const CometRecord &r) {
                    out->emplace(FoldDesignation(r.designation), i);
                    return true;
                });
            });
        if (!first) return -1;
        auto it = first->find(FoldDesignation(text));
        return it == first->end() ? -1 : it->second;
    } catch (...) {
        return -1;
    }
}

void GetCometFragment(uint16_t number, const char *name, const char *designation, char *fragment) {
    if (!fragment) return;
    fragment[0] = '\0';
    if (FragmentSuffix(designation, fragment)) return;
    if (number != 0) FragmentSuffix(name, fragment);
}

int IsSameCometSet(const CometRecord *a, const CometRecord *b) {
    if (!a || !b || a->number == 0 || a->number != b->number) return 0;
    char fa[kCometFragmentSize], fb[kCometFragmentSize];
    GetCometFragment(a->number, a->name, a->designation, fa);
    GetCometFragment(b->number, b->name, b->designation, fb);
    return std::strcmp(fa, fb) == 0;
}

int ParsePeriodicCometText(const char *text, uint16_t *number, char *fragment) {
    if (number) *number = 0;
    if (fragment) fragment[0] = '\0';
    if (!text) return 0;
    const char *p = text;
    while (*p == ' ') ++p;
    long value = 0;
    int digits = 0;
    while (*p >= '0' && *p <= '9' && digits < 6) {
        value = value * 10 + (*p - '0');
        ++p;
        ++digits;
    }
    if (digits == 0 || value < 1 || value > 0xFFFF) return 0;
    char found[kCometFragmentSize] = "";
    if (std::toupper(static_cast<unsigned char>(*p)) == 'P' ||
        std::toupper(static_cast<unsigned char>(*p)) == 'D') {
        ++p;
        if (*p == '-') {
            // "73P-B" or "73P-B/name": the fragment follows the number.
            int k = 0;
            while (k < 2 && IsCapital(p[1 + k])) {
                found[k] = p[1 + k];
                ++k;
            }
            found[k] = '\0';
            if (k == 0 || (p[1 + k] != '\0' && p[1 + k] != '/' && p[1 + k] != ' ')) found[0] = '\0';
        } else if (*p == '/') {
            // The label form: the fragment ends the name.
            FragmentSuffix(p + 1, found);
        }
    }
    if (number) *number = static_cast<uint16_t>(value);
    if (fragment) CopyStringBounded(fragment, found, kCometFragmentSize);
    return 1;
}

int FindCometByNumberAndFragment(uint16_t number, const char *fragment) {
    if (number == 0) return -1;
    std::shared_ptr<const FileImage> comets = HeldDatabaseFile(kMinorBodyFileComets);
    if (!comets) return -1;
    const char *wanted = fragment ? fragment : "";
    int found = -1;
    ForEachHeldRecord<CometRecord>(*comets, comets->bytes.size(), [&](int i, const CometRecord &r) {
        if (r.number == 0) return false;
        if (r.number != number) return true;
        char own[kCometFragmentSize];
        GetCometFragment(r.number, r.name, r.designation, own);
        if (std::strcmp(own, wanted) != 0) return true;
        found = i;
        return false;
    });
    return found;
}

int FindCometByNumber(uint16_t number) {
    if (number == 0) return -1;
    std::shared_ptr<const FileImage> comets = HeldDatabaseFile(kMinorBodyFileComets);
    if (!comets) return -1;
    int first = -1, whole = -1;
    ForEachHeldRecord<CometRecord>(*comets, comets->bytes.size(), [&](int i, const CometRecord &r) {
        if (r.number == 0) return false;
        if (r.number != number) return true;
        if (first < 0) first = i;
        char own[kCometFragmentSize];
        GetCometFragment(r.number, r.name, r.designation, own);
        if (own[0]) return true;
        whole = i;
        return false;
    });
    return whole >= 0 ? whole : first;
}

void ParseCometDesignationKey(const char *designation, int *year, int *code) {
    int y = kNoDesignationKey, c = kNoDesignationKey;
    std::string text = designation ? designation : "";
    size_t start = text.find_first_not_of(' ');
    if (start != std::string::npos) {
        size_t end = text.find(' ', start);
        std::string first = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        double v = ParseSexagesimal(first.c_str());
        if (v != 2147483647.0 && v >= 0.0 && v < 1e6) {
            y = static_cast<int>(v);
            if (end != std::string::npos) {
                size_t s2 = text.find_first_not_of(' ', end);
                if (s2 != std::string::npos) {
                    size_t e2 = text.find(' ', s2);
                    std::string second = text.substr(s2, e2 == std::string::npos ? std::string::npos : e2 - s2);
                    if (second.size() == 2) {
                        int k = 10 * static_cast<unsigned char>(second[0]) +
                                static_cast<unsigned char>(second[1]) - 688;
                        if (k >= 1 && k <= 300) c = k;
                    }
                }
            }
        }
    }
    if (year) *year = y;
    if (code) *code = c;
}

int ReadBestCometSet(FILE *f, int n, double t, CometRecord *best) {
    if (!f || n < 0 || !best) return -1;
    if (!ReadCometRecord(f, n, best)) return -1;
    int bestIndex = n;
    if (best->number == 0) return bestIndex;
    // The sets of one number may include those of its fragments, each of
    // them a comet with an orbit of its own: they are passed over.
    const CometRecord first = *best;
    CometRecord next;
    for (int i = n + 1; ReadCometRecord(f, -1, &next) && next.number == best->number; ++i) {
        if (!IsSameCometSet(&first, &next)) continue;
        if (std::fabs(next.epoch - t) < std::fabs(best->epoch - t)) {
            *best = next;
            bestIndex = i;
        }
    }
    return bestIndex;
}

int BuildCometOrbit(const CometRecord *c, int defaults, OrbitRecord *orbit) {
    if (!c || !orbit) return 0;
    double h = c->H, k = c->K;
    if (defaults && h == 0.0 && k == 0.0) {
        h = kDefaultCometH;
        k = kDefaultCometK;
    }
    if (!InitOrbitRecord(orbit, c->perihelionTime, 0, 0, 0, c->q, c->e,
                         c->perihelion * kDegreesPerRadian, c->node * kDegreesPerRadian,
                         c->inclination * kDegreesPerRadian, 0, h, k, kMagnitudeModelComet))
        return 0;
    ComputeOrbitVectors(orbit);
    return 1;
}

int ComputeCometPosition(const DateRecord *date, int n, char *letter, uint16_t *number,
                         char *designation, char *name, double *ra, double *dec, double *r,
                         double *delta, double *elongation, double *magnitude, double *comaSize,
                         int *condensation, double *tailLength, double *tailAngle, double *epoch,
                         OrbitRecord *orbit) {
    if (!date || n < 0) return 0;
    // The place is seen from the Earth, whose place comes from the planetary
    // series: without them the Sun's vector is zero and the "geocentric"
    // place would be the heliocentric one, degrees off. No place instead.
    if (!EphemerisTablesLoaded()) return 0;
    FILE *f = OpenCometElementsFile();
    if (!f) return 0;
    CometRecord best;
    int index = ReadBestCometSet(f, n, date->centuriesTT, &best);
    std::fclose(f);
    if (index < 0) return 0;
    if (epoch) *epoch = best.epoch;
    OrbitRecord local;
    OrbitRecord *o = orbit ? orbit : &local;
    // A set that builds no orbit (T = 0, an open orbit without q) has no
    // place; reporting one would pass garbage on as a success.
    if (!BuildCometOrbit(&best, 1, o)) return 0;
    double pra, pdec, pr, pdelta, phase, el, mag;
    ComputeMinorBodyPosition(date, o, &pra, &pdec, &pr, &pdelta, &phase, &el, &mag);
    if (ra) *ra = pra;
    if (dec) *dec = pdec;
    if (r) *r = pr;
    if (delta) *delta = pdelta;
    if (elongation) *elongation = el;
    if (magnitude) *magnitude = mag;
    if (letter) *letter = best.letter;
    if (number) *number = best.number;
    if (designation) CopyStringBounded(designation, best.designation, kCometDesignationSize);
    if (name) CopyStringBounded(name, best.name, kCometNameSize);
    double coma = SmallAngleFromDistance(pdelta, best.comaDiameter * kComaUnitAU);
    if (comaSize) *comaSize = coma;
    if (condensation) *condensation = best.condensation;
    if (tailLength || tailAngle) {
        HeliocentricPlace earth = ComputeEarthHeliocentric(date);
        ComputeCometTail(date, earth, pr, phase, coma, pra, pdec, tailLength, tailAngle);
    }
    return 1;
}
