// The user star, deep-sky and sky-mark stores (see usercatalogs.h): one
// engine over a description of each file; the typed functions below it.
#include "minorbodies/usercatalogs.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cctype>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "astro/angleparse.h"
#include "astro/datetime.h"
#include "astro/frames.h"
#include "astro/precession.h"
#include "core/fileutil.h"
#include "core/mathutil.h"
#include "core/safefile.h"
#include "core/textutil.h"
#include "minorbodies/fieldsearch.h"
#include "minorbodies/mpimport.h"
#include "minorbodies/usermp.h"
#include "minorbodies/userstoreio.h"

namespace {

struct Store {
    const char *file;
    const char *backup;
    const char *nameIndex;
    const char *idIndex;
    int countSize;       // 2: uint16 count, 4: int32 count
    int64_t recordSize;
    size_t nameOffset;
    bool exactNames;     // merge matches names with case counting
    bool upperNames;     // the name index holds upper-cased names
};
const Store kStars = {"stellar.bin", "stellar.bak", "us_alpha.bin", "us_pid.bin", 2, 47,
                      offsetof(UserStarRecord, name), true, true};
const Store kDeepSky = {"uds.bin", "uds.bak", "uds_alpha.bin", "uds_pid.bin", 4, 54,
                        offsetof(UserDeepSkyRecord, name), false, true};
const Store kMarks = {"skymark.bin", "skymark.bak", "skymark_alpha.bin", "skymark_pid.bin", 2, 45,
                      offsetof(SkyMarkRecord, name), false, false};

// Bumped by every change this program makes to a store's records: the
// names held in memory for recognition are read again after it.
unsigned g_storeGeneration = 0;

const double kTurn = 2147483647.0;
const double kDegPerRad = 180.0 / kPi;

int64_t HeaderSize(const Store &s) { return s.countSize + 4; }
int64_t Offset(const Store &s, int32_t n) { return HeaderSize(s) + static_cast<int64_t>(n) * s.recordSize; }
int32_t MaxCount(const Store &s) { return s.countSize == 2 ? kMaxUint16Records : 0x7FFFFFFF; }

int Path(const char *name, char *out) { return MakeStorePath(out, name); }

int32_t IdOf(const void *record) {
    int32_t id;
    std::memcpy(&id, record, 4);
    return id;
}
void SetId(void *record, int32_t id) { std::memcpy(record, &id, 4); }
char *NameOf(void *record, const Store &s) { return static_cast<char *>(record) + s.nameOffset; }

bool ReadHeader(FILE *f, const Store &s, int32_t *count, int32_t *last) {
    uint8_t h[8];
    if (!ReadStoreBytes(f, 0, h, static_cast<size_t>(HeaderSize(s)))) return false;
    int32_t n;
    if (s.countSize == 2) {
        uint16_t c;
        std::memcpy(&c, h, 2);
        n = c;
    } else {
        std::memcpy(&n, h, 4);
    }
    int64_t size = StreamSize(f);
    if (n < 0 || size < 0 || Offset(s, n) > size) return false;
    if (count) *count = n;
    if (last) std::memcpy(last, h + s.countSize, 4);
    return true;
}

std::string HeaderBytes(const Store &s, int32_t count, int32_t last) {
    std::string h;
    if (s.countSize == 2) {
        uint16_t c = static_cast<uint16_t>(count);
        h.append(reinterpret_cast<const char *>(&c), 2);
    } else {
        h.append(reinterpret_cast<const char *>(&count), 4);
    }
    h.append(reinterpret_cast<const char *>(&last), 4);
    return h;
}

FILE *AtFirst(FILE *f, const Store &s, int32_t *count) {
    int32_t n = 0;
    if (!f) return nullptr;
    if (!ReadHeader(f, s, &n, nullptr) || !SafeSeek(f, HeaderSize(s))) {
        SafeClose(f);
        return nullptr;
    }
    if (count) *count = n;
    return f;
}

FILE *Open(const Store &s, int32_t *count) {
    char path[1024];
    if (!Path(s.file, path)) return nullptr;
    std::string h = HeaderBytes(s, 0, 0);
    return AtFirst(OpenOrCreateStore(path, h.data(), h.size()), s, count);
}

int Create(const Store &s) {
    char path[1024];
    if (!Path(s.file, path)) return 0;
    std::string h = HeaderBytes(s, 0, 0);
    int ok = WriteWholeFileSafely(path, h.data(), h.size());
    ++g_storeGeneration;
    char index[1024];
    if (Path(s.nameIndex, index)) RemoveStoreFile(index);
    if (Path(s.idIndex, index)) RemoveStoreFile(index);
    return ok;
}

void DeleteIndexes(const Store &s) {
    ++g_storeGeneration;
    char path[1024];
    if (Path(s.nameIndex, path)) RemoveStoreFile(path);
    if (Path(s.idIndex, path)) RemoveStoreFile(path);
}

bool ReadRecord(FILE *f, const Store &s, int32_t n, void *record) {
    if (!f || !record || n < 0 || !ReadStoreBytes(f, Offset(s, n), record, static_cast<size_t>(s.recordSize)))
        return false;
    NameOf(record, s)[32] = '\0';
    return true;
}

bool WriteRecord(FILE *f, const Store &s, int32_t n, const void *record) {
    int32_t count = 0;
    if (!f || !record || !ReadHeader(f, s, &count, nullptr) || n < 0 || n >= count) return false;
    ++g_storeGeneration;
    return WriteStoreBytes(f, Offset(s, n), record, static_cast<size_t>(s.recordSize)) == 1;
}

// All records as one block of bytes.
bool LoadAll(FILE *f, const Store &s, int32_t *count, int32_t *last, std::string *records) {
    int32_t n = 0, l = 0;
    if (!ReadHeader(f, s, &n, &l)) return false;
    records->assign(static_cast<size_t>(n * s.recordSize), '\0');
    if (n > 0 && !ReadStoreBytes(f, HeaderSize(s), &(*records)[0], records->size())) return false;
    for (int32_t i = 0; i < n; ++i) (*records)[static_cast<size_t>(i * s.recordSize) + s.nameOffset + 32] = '\0';
    if (count) *count = n;
    if (last) *last = l;
    return true;
}

int Replace(FILE **f, const Store &s, int32_t last, const std::string &records) {
    char path[1024];
    if (!Path(s.file, path)) return 0;
    int32_t count = static_cast<int32_t>(records.size() / static_cast<size_t>(s.recordSize));
    int ok = ReplaceStore(f, path, HeaderBytes(s, count, last) + records);
    // Records moved: every slot after them is stale.
    DeleteIndexes(s);
    if (*f) SafeSeek(*f, HeaderSize(s));
    return ok;
}

int Append(FILE *f, const Store &s, void *record) {
    int32_t count = 0, last = 0;
    if (!f || !record || !ReadHeader(f, s, &count, &last)) return 0;
    if (count >= MaxCount(s) || last >= kMaxUserObjectId) return 0;
    int32_t id = last + 1;
    SetId(record, id);
    // The record first, then the header that counts it.
    if (!WriteStoreBytes(f, Offset(s, count), record, static_cast<size_t>(s.recordSize))) return 0;
    std::string h = HeaderBytes(s, count + 1, id);
    if (!WriteStoreBytes(f, 0, h.data(), h.size())) return 0;
    // The name index would not know the new name: it is rebuilt when next needed.
    ++g_storeGeneration;
    char path[1024];
    if (Path(s.nameIndex, path)) RemoveStoreFile(path);
    return 1;
}

int DeleteAt(FILE **f, const Store &s, int32_t n) {
    std::string records;
    int32_t count = 0, last = 0;
    if (!f || !LoadAll(*f, s, &count, &last, &records) || n < 0 || n >= count) return 0;
    records.erase(static_cast<size_t>(n * s.recordSize), static_cast<size_t>(s.recordSize));
    return Replace(f, s, last, records);
}

int Compact(const Store &s, const uint8_t *flags, int steps, void (*progress)()) {
    char path[1024];
    if (!flags || !Path(s.file, path)) return 0;
    FILE *f = SafeOpen(path, "rb");
    std::string records;
    int32_t count = 0, last = 0;
    bool ok = f && LoadAll(f, s, &count, &last, &records);
    if (f) SafeClose(f);
    if (!ok) return 0;
    int32_t every = steps > 0 && count >= steps ? count / steps : 1;
    std::string kept;
    for (int32_t i = 0; i < count; ++i) {
        if (!flags[i]) kept.append(records, static_cast<size_t>(i * s.recordSize), static_cast<size_t>(s.recordSize));
        if (progress && (i + 1) % every == 0) progress();
    }
    // The last id stays: a removed object's id is never given to another.
    std::string bytes = HeaderBytes(s, static_cast<int32_t>(kept.size() / static_cast<size_t>(s.recordSize)), last) + kept;
    if (!WriteWholeFileSafely(path, bytes.data(), bytes.size())) return 0;
    DeleteIndexes(s);
    return 1;
}

// ---- indexes ------------------------------------------------------------------

int BuildNameIndex(FILE *f, const Store &s, const char *path) {
    std::string records;
    int32_t count = 0;
    if (!LoadAll(f, s, &count, nullptr, &records)) return 0;
    std::vector<NameIndexEntry> entries;
    for (int32_t i = 0; i < count; ++i) {
        const char *name = records.data() + i * s.recordSize + s.nameOffset;
        if (!name[0]) continue;
        NameIndexEntry e;
        std::memset(&e, 0, sizeof e);
        CopyStringBounded(e.name, name, sizeof e.name);
        if (s.upperNames)
            for (char *c = e.name; *c; ++c) *c = static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
        e.recordIndex = i;
        entries.push_back(e);
    }
    std::stable_sort(entries.begin(), entries.end(), [](const NameIndexEntry &a, const NameIndexEntry &b) {
        return CompareStringsNoCase(a.name, b.name) < 0;
    });
    int32_t n = static_cast<int32_t>(entries.size());
    std::string bytes(reinterpret_cast<const char *>(&n), 4);
    if (n) bytes.append(reinterpret_cast<const char *>(entries.data()), entries.size() * sizeof(NameIndexEntry));
    return WriteWholeFileSafely(path, bytes.data(), bytes.size());
}

int BuildIdIndex(FILE *f, const Store &s, const char *path) {
    std::string records;
    int32_t count = 0, last = 0;
    if (!LoadAll(f, s, &count, &last, &records)) return 0;
    int32_t bound = std::min(std::max(last, 0), kMaxUserObjectId);
    int32_t highest = 0;
    for (int32_t i = 0; i < count; ++i) {
        int32_t id = IdOf(records.data() + i * s.recordSize);
        if (id > 0 && id <= bound) highest = std::max(highest, id);
    }
    std::vector<int32_t> words(static_cast<size_t>(highest) + 1, -1);
    words[0] = highest;
    for (int32_t i = 0; i < count; ++i) {
        int32_t id = IdOf(records.data() + i * s.recordSize);
        if (id > 0 && id <= highest && words[static_cast<size_t>(id)] < 0) words[static_cast<size_t>(id)] = i;
    }
    return WriteWholeFileSafely(path, words.data(), words.size() * 4);
}

FILE *OpenIndex(FILE *f, const Store &s, bool names, int32_t *word) {
    char path[1024];
    if (!f || !Path(names ? s.nameIndex : s.idIndex, path)) return nullptr;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!FileExists(path) && !(names ? BuildNameIndex(f, s, path) : BuildIdIndex(f, s, path))) {
            RemoveStoreFile(path);
            return nullptr;
        }
        FILE *index = SafeOpen(path, "rb");
        if (index && ReadStoreBytes(index, 0, word, 4)) return index;
        if (index) SafeClose(index);
        RemoveStoreFile(path);
    }
    return nullptr;
}

// Record index of the key's entry: equal ignoring case first, else the first
// the key begins; -1 none; -2 read failure.
int32_t NameSlot(FILE *f, const Store &s, const char *key) {
    int32_t count = 0;
    FILE *index = OpenIndex(f, s, true, &count);
    if (!index) return -1;
    int64_t size = StreamSize(index);
    if (count < 0 || size < 4 + static_cast<int64_t>(count) * 37) {
        SafeClose(index);
        return -2;
    }
    auto entry = [&](int32_t i, NameIndexEntry *e) {
        if (!ReadStoreBytes(index, 4 + static_cast<int64_t>(i) * 37, e, sizeof *e)) return false;
        e->name[32] = '\0';
        return true;
    };
    int32_t lo = 0, hi = count;  // first entry not below the key
    int32_t result = -1;
    while (lo < hi) {
        int32_t mid = lo + (hi - lo) / 2;
        NameIndexEntry e;
        if (!entry(mid, &e)) {
            result = -2;
            break;
        }
        if (CompareStringsNoCase(e.name, key) < 0) lo = mid + 1;
        else hi = mid;
    }
    if (result != -2) {
        int32_t prefix = -1;
        for (int32_t i = lo; i < count; ++i) {
            NameIndexEntry e;
            if (!entry(i, &e)) {
                result = -2;
                break;
            }
            if (!MatchPrefixNoCase(key, e.name)) break;
            if (CompareStringsNoCase(e.name, key) == 0) {
                result = e.recordIndex;
                break;
            }
            if (prefix < 0) prefix = e.recordIndex;
        }
        if (result == -1) result = prefix;
    }
    SafeClose(index);
    return result;
}

int FindByName(FILE *f, const Store &s, const char *name, void *record) {
    if (!name || !name[0] || !f || !record) return name && name[0] ? 0 : -1;
    char key[33];
    CopyStringBounded(key, name, sizeof key);
    if (s.upperNames)
        for (char *c = key; *c; ++c) *c = static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
    int32_t count = 0;
    if (!ReadHeader(f, s, &count, nullptr)) return -1;
    for (int attempt = 0; attempt < 2; ++attempt) {
        int32_t slot = NameSlot(f, s, key);
        if (slot == -2) return -1;
        if (slot < 0) return 0;
        if (slot < count && ReadRecord(f, s, slot, record) && MatchPrefixNoCase(key, NameOf(record, s)))
            return slot + 1;
        // A stale index: rebuilt once.
        char path[1024];
        if (Path(s.nameIndex, path)) RemoveStoreFile(path);
    }
    return 0;
}

int32_t IdSlot(FILE *f, const Store &s, int32_t id) {
    int32_t highest = 0;
    FILE *index = OpenIndex(f, s, false, &highest);
    if (!index) return -2;
    int32_t slot = -1;
    if (id >= 1 && id <= highest && !ReadStoreBytes(index, 4 * static_cast<int64_t>(id), &slot, 4)) slot = -2;
    SafeClose(index);
    return slot;
}

int ReadById(FILE *f, const Store &s, int32_t id, void *record, int32_t *index) {
    int32_t count = 0;
    if (!f || !record || id <= 0 || !ReadHeader(f, s, &count, nullptr)) return 0;
    for (int attempt = 0; attempt < 2; ++attempt) {
        int32_t slot = IdSlot(f, s, id);
        if (slot < 0) return 0;
        if (slot < count && ReadRecord(f, s, slot, record) && IdOf(record) == id) {
            if (index) *index = slot + 1;
            return 1;
        }
        // A stale slot would reach another object: rebuilt once.
        char path[1024];
        if (Path(s.idIndex, path)) RemoveStoreFile(path);
    }
    return 0;
}

int SetIdEntry(FILE *f, const Store &s, int32_t id, int32_t index) {
    if (id <= 0) return 1;
    if (id > kMaxUserObjectId || !f) return 0;
    char path[1024];
    if (!Path(s.idIndex, path)) return 0;
    if (!FileExists(path)) return BuildIdIndex(f, s, path);
    FILE *x = SafeOpen(path, "r+b");
    if (!x) return 0;
    int32_t highest = 0;
    int ok = ReadStoreBytes(x, 0, &highest, 4) && WriteStoreBytes(x, 4 * static_cast<int64_t>(id), &index, 4);
    if (ok && id > highest) ok = WriteStoreBytes(x, 0, &id, 4);
    if (!SafeClose(x)) ok = 0;
    if (!ok) RemoveStoreFile(path);
    return ok;
}

int DeleteById(FILE **f, const Store &s, int32_t id) {
    std::vector<char> record(static_cast<size_t>(s.recordSize));
    int32_t index = 0;
    if (!f || id <= 0 || !ReadById(*f, s, id, record.data(), &index)) return 0;
    return DeleteAt(f, s, index - 1);
}

int ReadNextName(FILE *f, const Store &s, int32_t count, int32_t id, char *name, int32_t *idOut) {
    std::vector<char> record(static_cast<size_t>(s.recordSize));
    if (!f) return 0;
    if (id >= 0) {
        if (!ReadById(f, s, id, record.data(), nullptr)) return 0;
    } else {
        int64_t pos = static_cast<int64_t>(std::ftell(f));
        if (pos < HeaderSize(s)) return 0;
        int32_t n = static_cast<int32_t>((pos - HeaderSize(s)) / s.recordSize);
        if (n >= count || !ReadRecord(f, s, n, record.data())) return 0;
    }
    if (name) CopyStringBounded(name, NameOf(record.data(), s), 33);
    if (idOut) *idOut = IdOf(record.data());
    return 1;
}

// ---- merging -------------------------------------------------------------------

int Merge(FILE *f, const Store &s, void *incoming, int replace, UserCatalogueQuestion question, int *state,
          bool (*equal)(const void *, const void *), bool canAsk) {
    int32_t count = 0, last = 0;
    if (!f || !incoming || !ReadHeader(f, s, &count, &last)) return 0;
    NameOf(incoming, s)[32] = '\0';
    std::vector<char> stored(static_cast<size_t>(s.recordSize));
    for (int32_t n = 0; n < count; ++n) {
        if (!ReadRecord(f, s, n, stored.data())) return 0;
        const char *name = NameOf(stored.data(), s);
        const char *wanted = NameOf(incoming, s);
        bool same = s.exactNames ? std::strcmp(name, wanted) == 0 : CompareStringsNoCase(name, wanted) == 0;
        if (!same) continue;
        int32_t localId = IdOf(stored.data());
        if (equal && equal(stored.data(), incoming)) {
            SetId(incoming, localId);
            return 2;
        }
        bool doReplace = replace != 0;
        if (!doReplace && canAsk && state) {
            if (*state == kMergeStateReplaceAll) {
                doReplace = true;
            } else if (*state == kMergeStateAsk && question) {
                char text[160];
                std::snprintf(text, sizeof text, "Replace the data for %s with that on the other computer?", name);
                int answer = question(text);
                doReplace = answer == 1 || answer == 2;
                if (answer == 2) *state = kMergeStateReplaceAll;
                if (answer == 3) *state = kMergeStateKeepAll;
            }
        }
        if (!doReplace) {
            // Kept: the incoming record becomes the stored one.
            std::memcpy(incoming, stored.data(), static_cast<size_t>(s.recordSize));
            return 2;
        }
        SetId(incoming, localId);
        if (!WriteRecord(f, s, n, incoming)) return 0;
        return SetIdEntry(f, s, localId, n) ? 2 : 0;
    }
    SetId(incoming, 0);
    if (!Append(f, s, incoming)) return 0;
    return SetIdEntry(f, s, IdOf(incoming), count) ? 1 : 0;
}

bool StarsEqual(const void *a, const void *b) {
    return CompareUserStarRecords(static_cast<const UserStarRecord *>(a), static_cast<const UserStarRecord *>(b)) == 1;
}
bool DeepSkyEqual(const void *a, const void *b) {
    return CompareUserDeepSkyRecords(static_cast<const UserDeepSkyRecord *>(a),
                                     static_cast<const UserDeepSkyRecord *>(b)) == 1;
}

int32_t Turns(double radians) {
    double v = radians / (2.0 * kPi) * kTurn;
    return static_cast<int32_t>(v < 0 ? std::ceil(v - 0.5) : std::floor(v + 0.5));
}
int16_t Hundredths(double v) {
    double x = v * 100.0;
    x = x < 0 ? std::ceil(x - 0.5) : std::floor(x + 0.5);
    return static_cast<int16_t>(std::max(-32768.0, std::min(32767.0, x)));
}
double Radians(int32_t turns) { return turns * 2.0 * kPi / kTurn; }

// ---- import --------------------------------------------------------------------

// Blank-separated tokens from a column.
std::vector<std::string> Tokens(const char *text) {
    std::vector<std::string> out;
    std::string t;
    for (const char *p = text; *p; ++p) {
        if (*p == ' ' || *p == '\t') {
            if (!t.empty()) out.push_back(t);
            t.clear();
        } else {
            t.push_back(*p);
        }
    }
    if (!t.empty()) out.push_back(t);
    return out;
}

// The place at J2000 (radians) from an epoch text: "J2000", "B1950", "1950.0".
bool ToJ2000(const std::string &epoch, double *ra, double *dec) {
    if (epoch.empty()) return false;
    bool besselian = epoch[0] == 'B' || epoch[0] == 'b';
    bool julian = epoch[0] == 'J' || epoch[0] == 'j';
    double year = std::atof(epoch.c_str() + (besselian || julian ? 1 : 0));
    if (year == 0.0) return false;
    PrecessionRecord p;
    if (besselian) {
        // Besselian year to Julian centuries (Lieske 1979): JD = 2415020.31352 + (B - 1900) x 365.242198781.
        double jd = 2415020.31352 + (year - 1900.0) * 365.242198781;
        InitPrecession(&p, (jd - 2451545.0) / 36525.0, kEpochJ2000, kSystemFk4, kSystemFk5);
        return ApplyPrecession(&p, ra, dec, 0.0, 0.0, 0) == 1;
    }
    if (year == 2000.0) return true;
    InitPrecession(&p, (year - 2000.0) / 100.0, kEpochJ2000, kSystemFk5, kSystemFk5);
    return ApplyPrecession(&p, ra, dec, 0.0, 0.0, 0) == 1;
}

int Begin(UserCatalogueImport *state, const char *path, int steps, int kind, FILE *(*open)(int32_t *)) {
    if (!state || !path) return 0;
    *state = UserCatalogueImport();
    state->kind = kind;
    state->text = std::fopen(path, "r");
    if (!state->text) return 0;
    state->store = open(nullptr);
    if (!state->store) {
        std::fclose(state->text);
        state->text = nullptr;
        return 0;
    }
    state->linesPerStep = EstimateLinesPerStep(state->text, steps);
    return 1;
}

const int kImportLineWidth = 255;

int ImportStep(UserCatalogueImport *state, int kind, int32_t *added, int32_t *replaced, int32_t *skipped) {
    if (!state || !state->text || !state->store || state->kind != kind) return -1;
    char line[kImportLineWidth + 1];
    for (;;) {
        int got = ReadPaddedLine(state->text, line, kImportLineWidth);
        if (got < 0) return -1;
        if (!got) return 0;
        int type = 0, prefix = 2;
        if (kind == kUserCatalogueDeepSky) {
            type = UserDeepSkyTypeOfLine(line, &prefix);
            if (!type) continue;
        } else if (std::strncmp(line, "S ", 2) != 0) {
            continue;
        }
        int nameColumn = kind == kUserCatalogueDeepSky ? 3 : 2;
        char name[33];
        std::string field(line + nameColumn, 32);
        CopyStringBounded(name, field.c_str(), sizeof name);
        TrimTrailingBlanks(name);
        TrimLeadingBlanks(name);
        std::vector<std::string> t = Tokens(line + 35);
        double ra = t.size() > 0 ? ParseSexagesimal(t[0].c_str()) : kNoRealValue;
        double dec = t.size() > 1 ? ParseSexagesimal(t[1].c_str()) : kNoRealValue;
        bool ok = name[0] && ra != kNoRealValue && dec != kNoRealValue && t.size() > 2;
        if (ok) {
            ra = ra * 15.0 / kDegPerRad;
            dec = dec / kDegPerRad;
            ok = ToJ2000(t[2], &ra, &dec);
        }
        int r = 0;
        if (ok && kind == kUserCatalogueStars) {
            double mag = t.size() > 3 ? std::atof(t[3].c_str()) : kUserCatalogueNoMagnitude;
            ok = t.size() > 3;
            UserStarRecord rec;
            std::memset(&rec, 0, sizeof rec);
            PackUserStarRecord(&rec, name, ra, dec, mag);
            if (ok) r = MergeUserStarRecord(state->store, &rec, 1);
        } else if (ok && kind == kUserCatalogueDeepSky) {
            double v[4] = {0, 0, 0, 0};
            int read = 0;
            for (size_t i = 3; i < t.size() && read < 4; ++i, ++read) v[read] = std::atof(t[i].c_str());
            ok = read >= 1;
            UserDeepSkyRecord rec;
            std::memset(&rec, 0, sizeof rec);
            PackUserDeepSkyRecord(&rec, name, type, ra, dec, v[0], v[1], v[2], v[3]);
            if (ok) r = MergeUserDeepSkyRecord(state->store, &rec, 1);
        } else if (ok) {
            SkyMarkRecord rec;
            std::memset(&rec, 0, sizeof rec);
            PackSkyMarkRecord(&rec, name, ra, dec);
            r = MergeSkyMarkRecord(state->store, &rec, 1);
        }
        if (!ok) {
            if (skipped) ++*skipped;
        } else if (r == 0) {
            return -1;
        } else if (r == 1) {
            if (added) ++*added;
        } else if (replaced) {
            ++*replaced;
        }
        if (++state->linesInStep > state->linesPerStep) {
            state->linesInStep = 0;
            return 1;
        }
    }
}

void End(UserCatalogueImport *state, const Store &s) {
    if (!state) return;
    if (state->text) std::fclose(state->text);
    if (state->store) SafeClose(state->store);
    state->text = nullptr;
    state->store = nullptr;
    DeleteIndexes(s);
}

// ---- chart passes ------------------------------------------------------------------

int BeginScan(UserCatalogueScan *scan, const Store &s, int kind, const DateRecord *date, double ra, double dec,
              double radius, uint32_t flags, void (*progress)(int), const volatile int *stop) {
    if (!scan) return 0;
    *scan = UserCatalogueScan();
    scan->kind = kind;
    scan->file = Open(s, &scan->count);
    if (!scan->file) return 0;
    scan->centuriesTT = date ? date->centuriesTT : 0.0;
    scan->centreRa = ra;
    scan->centreDec = dec;
    scan->radius = radius;
    scan->flags = flags;
    scan->progress = progress;
    scan->stop = stop;
    scan->progressStep = scan->count > 0 ? scan->count / 100.0 : 1.0;
    if (scan->progressStep < 1.0) scan->progressStep = 1.0;
    return 1;
}

bool InField(const UserCatalogueScan *scan, double ra, double dec) {
    if (scan->flags & kUserScanConstellation) {
        FieldConstellationTest test = GetFieldConstellationTest();
        if (test && test(ra, dec, scan->centuriesTT) < 1) return false;
    }
    if (scan->flags & kUserScanField) {
        double c = std::sin(dec) * std::sin(scan->centreDec) +
                   std::cos(dec) * std::cos(scan->centreDec) * std::cos(ra - scan->centreRa);
        if (std::acos(std::max(-1.0, std::min(1.0, c))) > scan->radius) return false;
    }
    return true;
}

bool MagnitudePasses(const UserCatalogueScan *scan, double m) {
    bool none = m > kUserScanNoMagnitudeLimit;
    if (scan->brightLimit < kUserScanNoMagnitudeLimit && (none || m < scan->brightLimit)) return false;
    if (scan->faintLimit < kUserScanNoMagnitudeLimit && (none || m > scan->faintLimit)) return false;
    return true;
}

int32_t NextInScan(UserCatalogueScan *scan, const Store &s, char *name, double *ra, double *dec, double *magnitude) {
    if (!scan || !scan->file) return 0;
    std::vector<char> record(static_cast<size_t>(s.recordSize));
    while (scan->next < scan->count) {
        if (scan->stop && *scan->stop) return 0;
        int32_t n = scan->next++;
        if (scan->progress && std::fmod(static_cast<double>(n), scan->progressStep) < 1.0)
            scan->progress(static_cast<int>(100.0 * n / scan->count));
        if (!ReadRecord(scan->file, s, n, record.data())) return 0;
        double r = 0, d = 0, m = kUserCatalogueNoMagnitude;
        char text[33];
        if (scan->kind == kUserCatalogueStars) {
            UnpackUserStarRecord(reinterpret_cast<const UserStarRecord *>(record.data()), text, &r, &d, &m);
            if (!MagnitudePasses(scan, m)) continue;
        } else if (scan->kind == kUserCatalogueDeepSky) {
            double s1 = 0, s2 = 0, pa = 0;
            UnpackUserDeepSkyRecord(reinterpret_cast<const UserDeepSkyRecord *>(record.data()), text, &r, &d, &m, &s1,
                                    &s2, &pa);
            if (!MagnitudePasses(scan, m)) continue;
            if (scan->minSize < kUserScanNoSizeLimit && (s1 < 0.0001 || s1 < scan->minSize)) continue;
            if (scan->maxSize < kUserScanNoSizeLimit && (s2 < 0.0001 || s2 > scan->maxSize)) continue;
        } else {
            UnpackSkyMarkRecord(reinterpret_cast<const SkyMarkRecord *>(record.data()), text, &r, &d);
        }
        if (!InField(scan, r, d)) continue;
        if (name) CopyStringBounded(name, text, 33);
        if (ra) *ra = r;
        if (dec) *dec = d;
        if (magnitude) *magnitude = m;
        return IdOf(record.data());
    }
    return 0;
}

void EndScan(UserCatalogueScan *scan) {
    if (scan && scan->file) SafeClose(scan->file);
    if (scan) scan->file = nullptr;
}

}  // namespace

// ---- paths --------------------------------------------------------------------------
int FormatUserStarFilePath(char *out) { return Path(kStars.file, out); }
int FormatUserStarBackupPath(char *out) { return Path(kStars.backup, out); }
int FormatUserStarNameIndexPath(char *out) { return Path(kStars.nameIndex, out); }
int FormatUserStarIdIndexPath(char *out) { return Path(kStars.idIndex, out); }
int FormatUserDeepSkyFilePath(char *out) { return Path(kDeepSky.file, out); }
int FormatUserDeepSkyBackupPath(char *out) { return Path(kDeepSky.backup, out); }
int FormatUserDeepSkyNameIndexPath(char *out) { return Path(kDeepSky.nameIndex, out); }
int FormatUserDeepSkyIdIndexPath(char *out) { return Path(kDeepSky.idIndex, out); }
int FormatSkyMarkFilePath(char *out) { return Path(kMarks.file, out); }
int FormatSkyMarkBackupPath(char *out) { return Path(kMarks.backup, out); }
int FormatSkyMarkNameIndexPath(char *out) { return Path(kMarks.nameIndex, out); }
int FormatSkyMarkIdIndexPath(char *out) { return Path(kMarks.idIndex, out); }

// ---- files ------------------------------------------------------------------------------
int CreateUserStarFile() { return Create(kStars); }
int CreateUserDeepSkyFile() { return Create(kDeepSky); }
int CreateSkyMarkFile() { return Create(kMarks); }
namespace {

// ---- names held in memory ------------------------------------------------------

// The upper-cased names of one store, sorted, as last read; read again when
// this program changed a store, when the user folder changed, or (for a
// change by another program of the suite) when the file's size or time
// differs at a check made at most once a second.
struct HeldNames {
    bool loaded = false;
    unsigned generation = 0;
    std::string path;
    long long size = -1, time = 0;
    std::chrono::steady_clock::time_point checked;
    std::vector<std::string> names;
};

bool FileStamp(const char *path, long long *size, long long *time) {
    struct stat st;
    if (stat(path, &st) != 0) {
        *size = -1;
        *time = 0;
        return false;
    }
    *size = static_cast<long long>(st.st_size);
    *time = static_cast<long long>(st.st_mtime);
    return true;
}

std::string Upper(const char *text) {
    std::string u(text);
    for (char &c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return u;
}

const std::vector<std::string> &NamesOf(const Store &s, HeldNames *held) {
    char path[1024];
    if (!Path(s.file, path)) {
        held->loaded = false;
        held->names.clear();
        return held->names;
    }
    const auto now = std::chrono::steady_clock::now();
    bool reload = !held->loaded || held->generation != g_storeGeneration || held->path != path;
    long long size = held->size, time = held->time;
    if (!reload && now - held->checked >= std::chrono::seconds(1)) {
        FileStamp(path, &size, &time);
        reload = size != held->size || time != held->time;
        held->checked = now;
    }
    if (!reload) return held->names;
    held->names.clear();
    held->loaded = true;
    held->generation = g_storeGeneration;
    held->path = path;
    held->checked = now;
    FileStamp(path, &held->size, &held->time);
    if (held->size < 0) return held->names;  // no store: no names (and none is made here)
    FILE *f = SafeOpen(path, "rb");
    std::string records;
    int32_t count = 0;
    bool ok = f && LoadAll(f, s, &count, nullptr, &records);
    if (f) SafeClose(f);
    if (!ok) {
        held->loaded = false;  // an unreadable store: the lookups decide
        return held->names;
    }
    for (int32_t i = 0; i < count; ++i) {
        const char *name = records.data() + i * s.recordSize + s.nameOffset;
        if (name[0]) held->names.push_back(Upper(name));
    }
    std::sort(held->names.begin(), held->names.end());
    return held->names;
}

int MayHoldName(const Store &s, HeldNames *held, const char *name) {
    if (!name || !name[0]) return 0;
    const std::vector<std::string> &names = NamesOf(s, held);
    if (!held->loaded) return 1;
    // A lookup matches a name the text begins (the name index's prefix rule).
    std::string key = Upper(name).substr(0, 32);
    auto it = std::lower_bound(names.begin(), names.end(), key);
    return it != names.end() && it->compare(0, key.size(), key) == 0 ? 1 : 0;
}

}  // namespace

FILE *OpenUserStarFile(int32_t *count) { return Open(kStars, count); }
FILE *OpenUserDeepSkyFile(int32_t *count) { return Open(kDeepSky, count); }
FILE *OpenSkyMarkFile(int32_t *count) { return Open(kMarks, count); }
FILE *OpenOtherUserStarFile(const char *path, int32_t *count) {
    return path ? AtFirst(SafeOpen(path, "rb"), kStars, count) : nullptr;
}
FILE *OpenOtherUserDeepSkyFile(const char *path, int32_t *count) {
    return path ? AtFirst(SafeOpen(path, "rb"), kDeepSky, count) : nullptr;
}
FILE *OpenOtherSkyMarkFile(const char *path, int32_t *count) {
    return path ? AtFirst(SafeOpen(path, "rb"), kMarks, count) : nullptr;
}
int ReadUserStarRecord(FILE *f, UserStarRecord *r, int32_t n) { return ReadRecord(f, kStars, n, r); }
int ReadUserDeepSkyRecord(FILE *f, UserDeepSkyRecord *r, int32_t n) { return ReadRecord(f, kDeepSky, n, r); }
int ReadSkyMarkRecord(FILE *f, SkyMarkRecord *r, int32_t n) { return ReadRecord(f, kMarks, n, r); }
int WriteUserStarRecord(FILE *f, const UserStarRecord *r, int32_t n) { return WriteRecord(f, kStars, n, r); }
int WriteUserDeepSkyRecord(FILE *f, const UserDeepSkyRecord *r, int32_t n) { return WriteRecord(f, kDeepSky, n, r); }
int WriteSkyMarkRecord(FILE *f, const SkyMarkRecord *r, int32_t n) { return WriteRecord(f, kMarks, n, r); }
int AppendUserStarRecord(FILE *f, UserStarRecord *r) { return Append(f, kStars, r); }
int AppendUserDeepSkyRecord(FILE *f, UserDeepSkyRecord *r) { return Append(f, kDeepSky, r); }
int AppendSkyMarkRecord(FILE *f, SkyMarkRecord *r) { return Append(f, kMarks, r); }
int DeleteUserStarRecord(FILE **f, int32_t n) { return DeleteAt(f, kStars, n); }
int DeleteUserDeepSkyRecord(FILE **f, int32_t n) { return DeleteAt(f, kDeepSky, n); }
int DeleteSkyMarkRecord(FILE **f, int32_t n) { return DeleteAt(f, kMarks, n); }
int DeleteUserStarById(FILE **f, int32_t id) { return DeleteById(f, kStars, id); }
int DeleteUserDeepSkyById(FILE **f, int32_t id) { return DeleteById(f, kDeepSky, id); }
int DeleteSkyMarkById(FILE **f, int32_t id) { return DeleteById(f, kMarks, id); }
int CompactUserStarFile(const uint8_t *flags, int steps, void (*progress)()) { return Compact(kStars, flags, steps, progress); }
int CompactUserDeepSkyFile(const uint8_t *flags, int steps, void (*progress)()) {
    return Compact(kDeepSky, flags, steps, progress);
}
int CompactSkyMarkFile(const uint8_t *flags, int steps, void (*progress)()) { return Compact(kMarks, flags, steps, progress); }
void DeleteUserStarIndexes() { DeleteIndexes(kStars); }
void DeleteUserDeepSkyIndexes() { DeleteIndexes(kDeepSky); }
void DeleteSkyMarkIndexes() { DeleteIndexes(kMarks); }

// ---- records ------------------------------------------------------------------------------
void PackUserStarRecord(UserStarRecord *r, const char *name, double ra, double dec, double magnitude) {
    if (!r) return;
    std::memset(r->name, 0, sizeof r->name);
    CopyStringBounded(r->name, name ? name : "", sizeof r->name);
    r->rightAscension = Turns(ra);
    r->declination = Turns(dec);
    r->magnitude = Hundredths(magnitude);
}
void UnpackUserStarRecord(const UserStarRecord *r, char *name, double *ra, double *dec, double *magnitude) {
    if (!r) return;
    if (name) CopyStringBounded(name, r->name, 33);
    if (ra) *ra = Radians(r->rightAscension);
    if (dec) *dec = Radians(r->declination);
    if (magnitude) *magnitude = r->magnitude / 100.0;
}
void PackUserDeepSkyRecord(UserDeepSkyRecord *r, const char *name, int typeCode, double ra, double dec,
                           double magnitude, double size1, double size2, double positionAngle) {
    if (!r) return;
    std::memset(r->name, 0, sizeof r->name);
    CopyStringBounded(r->name, name ? name : "", sizeof r->name);
    r->typeCode = static_cast<uint8_t>(typeCode);
    r->rightAscension = Turns(ra);
    r->declination = Turns(dec);
    r->magnitude = Hundredths(magnitude);
    r->size1 = Hundredths(size1);
    r->size2 = Hundredths(size2);
    double tenths = positionAngle * 10.0;
    r->positionAngle = static_cast<int16_t>(tenths < 0 ? std::ceil(tenths - 0.5) : std::floor(tenths + 0.5));
}
int UnpackUserDeepSkyRecord(const UserDeepSkyRecord *r, char *name, double *ra, double *dec, double *magnitude,
                            double *size1, double *size2, double *positionAngle) {
    if (!r) return 0;
    if (name) CopyStringBounded(name, r->name, 33);
    if (ra) *ra = Radians(r->rightAscension);
    if (dec) *dec = Radians(r->declination);
    if (magnitude) *magnitude = r->magnitude / 100.0;
    if (size1) *size1 = r->size1 / 100.0;
    if (size2) *size2 = r->size2 / 100.0;
    if (positionAngle) *positionAngle = r->positionAngle / 10.0 / kDegPerRad;
    return r->typeCode;
}
void PackSkyMarkRecord(SkyMarkRecord *r, const char *name, double ra, double dec) {
    if (!r) return;
    std::memset(r->name, 0, sizeof r->name);
    CopyStringBounded(r->name, name ? name : "", sizeof r->name);
    r->rightAscension = Turns(ra);
    r->declination = Turns(dec);
}
void UnpackSkyMarkRecord(const SkyMarkRecord *r, char *name, double *ra, double *dec) {
    if (!r) return;
    if (name) CopyStringBounded(name, r->name, 33);
    if (ra) *ra = Radians(r->rightAscension);
    if (dec) *dec = Radians(r->declination);
}
int CompareUserStarRecords(const UserStarRecord *a, const UserStarRecord *b) {
    return a->rightAscension == b->rightAscension && a->declination == b->declination &&
           a->magnitude == b->magnitude && CompareStringsNoCase(a->name, b->name) == 0;
}
int CompareUserDeepSkyRecords(const UserDeepSkyRecord *a, const UserDeepSkyRecord *b) {
    return a->rightAscension == b->rightAscension && a->declination == b->declination &&
           a->magnitude == b->magnitude && a->positionAngle == b->positionAngle && a->typeCode == b->typeCode &&
           a->size1 == b->size1 && a->size2 == b->size2 && CompareStringsNoCase(a->name, b->name) == 0;
}
uint32_t GetUserDeepSkyCategoryBits(int typeCode) {
    switch (typeCode) {
    case 6: return 0x100;
    case 7: return 0x200;
    case 8: return 0x400;
    case 9: return 0x800;
    case 10: return 0x1000;
    case 11: return 0x2000;
    case 16: return 0x10000;
    case 17: return 0x20000;
    default: return 0;
    }
}

// ---- names --------------------------------------------------------------------------------
FILE *OpenUserStarNameIndex(FILE *f, int32_t *count) { return OpenIndex(f, kStars, true, count); }
FILE *OpenUserDeepSkyNameIndex(FILE *f, int32_t *count) { return OpenIndex(f, kDeepSky, true, count); }
FILE *OpenSkyMarkNameIndex(FILE *f, int32_t *count) { return OpenIndex(f, kMarks, true, count); }
int CompareUserStarNameEntry(const char *key, const char *name) { return CompareStringsNoCase(key, name); }
int CompareUserDeepSkyNameEntry(const char *key, const char *name) { return CompareStringsNoCase(key, name); }
int CompareSkyMarkNameEntry(const char *key, const char *name) { return CompareStringsNoCase(key, name); }
int FindUserStarInNameIndex(FILE *f, const char *name, UserStarRecord *r) { return FindByName(f, kStars, name, r); }
int FindUserDeepSkyInNameIndex(FILE *f, const char *name, UserDeepSkyRecord *r) {
    return FindByName(f, kDeepSky, name, r);
}
int FindSkyMarkInNameIndex(FILE *f, const char *name, SkyMarkRecord *r) { return FindByName(f, kMarks, name, r); }
int FindUserStarByName(FILE *f, const char *name, UserStarRecord *r) { return f ? FindByName(f, kStars, name, r) : 0; }
int FindUserDeepSkyByName(FILE *f, const char *name, UserDeepSkyRecord *r) {
    return f ? FindByName(f, kDeepSky, name, r) : 0;
}
int FindSkyMarkByName(FILE *f, const char *name, SkyMarkRecord *r) { return f ? FindByName(f, kMarks, name, r) : 0; }

// ---- ids ------------------------------------------------------------------------------------
FILE *OpenUserStarIdIndex(FILE *f, int32_t *highest) { return OpenIndex(f, kStars, false, highest); }
FILE *OpenUserDeepSkyIdIndex(FILE *f, int32_t *highest) { return OpenIndex(f, kDeepSky, false, highest); }
FILE *OpenSkyMarkIdIndex(FILE *f, int32_t *highest) { return OpenIndex(f, kMarks, false, highest); }
int SetUserStarIdIndexEntry(FILE *f, int32_t id, int32_t index) { return SetIdEntry(f, kStars, id, index); }
int SetUserDeepSkyIdIndexEntry(FILE *f, int32_t id, int32_t index) { return SetIdEntry(f, kDeepSky, id, index); }
int SetSkyMarkIdIndexEntry(FILE *f, int32_t id, int32_t index) { return SetIdEntry(f, kMarks, id, index); }
int ReadUserStarByIdIndex(FILE *f, int32_t id, UserStarRecord *r, int32_t *index) { return ReadById(f, kStars, id, r, index); }
int ReadUserDeepSkyByIdIndex(FILE *f, int32_t id, UserDeepSkyRecord *r, int32_t *index) {
    return ReadById(f, kDeepSky, id, r, index);
}
int ReadSkyMarkByIdIndex(FILE *f, int32_t id, SkyMarkRecord *r, int32_t *index) { return ReadById(f, kMarks, id, r, index); }
int32_t GetUserStarById(FILE *f, int32_t id, UserStarRecord *r, int32_t *index) {
    return ReadById(f, kStars, id, r, index) ? id : 0;
}
int32_t GetUserDeepSkyById(FILE *f, int32_t id, UserDeepSkyRecord *r, int32_t *index) {
    return ReadById(f, kDeepSky, id, r, index) ? id : 0;
}
int32_t GetSkyMarkById(FILE *f, int32_t id, SkyMarkRecord *r, int32_t *index) {
    return ReadById(f, kMarks, id, r, index) ? id : 0;
}
int GetUserStarData(FILE *f, int32_t id, char *name, double *ra, double *dec, double *magnitude) {
    UserStarRecord r;
    if (!ReadById(f, kStars, id, &r, nullptr)) return 0;
    UnpackUserStarRecord(&r, name, ra, dec, magnitude);
    return 1;
}
int GetUserDeepSkyData(FILE *f, int32_t id, UserDeepSkyRecord *record, char *name, double *ra, double *dec,
                       double *magnitude, double *size1, double *size2, double *positionAngle) {
    UserDeepSkyRecord r;
    if (!ReadById(f, kDeepSky, id, &r, nullptr)) return 0;
    if (record) *record = r;
    UnpackUserDeepSkyRecord(&r, name, ra, dec, magnitude, size1, size2, positionAngle);
    return 1;
}
int GetSkyMarkData(FILE *f, int32_t id, char *name, double *ra, double *dec) {
    SkyMarkRecord r;
    if (!ReadById(f, kMarks, id, &r, nullptr)) return 0;
    UnpackSkyMarkRecord(&r, name, ra, dec);
    return 1;
}
int ReadNextUserStarName(FILE *f, int32_t count, int32_t id, char *name, int32_t *idOut) {
    return ReadNextName(f, kStars, count, id, name, idOut);
}
int ReadNextUserDeepSkyName(FILE *f, int32_t count, int32_t id, char *name, int32_t *idOut) {
    return ReadNextName(f, kDeepSky, count, id, name, idOut);
}
int ReadNextSkyMarkName(FILE *f, int32_t count, int32_t id, char *name, int32_t *idOut) {
    return ReadNextName(f, kMarks, count, id, name, idOut);
}

// ---- merging ----------------------------------------------------------------------------------
int MergeUserStarRecord(FILE *f, UserStarRecord *r, int replace, UserCatalogueQuestion question, int *state) {
    return Merge(f, kStars, r, replace, question, state, StarsEqual, true);
}
int MergeUserDeepSkyRecord(FILE *f, UserDeepSkyRecord *r, int replace, UserCatalogueQuestion question, int *state) {
    return Merge(f, kDeepSky, r, replace, question, state, DeepSkyEqual, true);
}
int MergeSkyMarkRecord(FILE *f, SkyMarkRecord *r, int replace) {
    return Merge(f, kMarks, r, replace, nullptr, nullptr, nullptr, false);
}

// ---- import -----------------------------------------------------------------------------------
int UserDeepSkyTypeOfLine(const char *line, int *prefixLength) {
    static const struct {
        const char *prefix;
        int type;
    } kPrefixes[] = {{"G ", 6}, {"GG ", 16}, {"Q ", 7}, {"PN ", 8}, {"NE ", 9}, {"DN ", 17}, {"OC ", 10}, {"GC ", 11}};
    if (!line) return 0;
    for (const auto &p : kPrefixes) {
        size_t n = std::strlen(p.prefix);
        bool match = true;
        for (size_t i = 0; i < n && match; ++i)
            match = std::toupper(static_cast<unsigned char>(line[i])) == static_cast<unsigned char>(p.prefix[i]);
        if (match) {
            if (prefixLength) *prefixLength = static_cast<int>(n);
            return p.type;
        }
    }
    return 0;
}
int BeginUserStarImport(UserCatalogueImport *s, const char *path, int steps) {
    return Begin(s, path, steps, kUserCatalogueStars, OpenUserStarFile);
}
int BeginUserDeepSkyImport(UserCatalogueImport *s, const char *path, int steps) {
    return Begin(s, path, steps, kUserCatalogueDeepSky, OpenUserDeepSkyFile);
}
int BeginSkyMarkImport(UserCatalogueImport *s, const char *path, int steps) {
    return Begin(s, path, steps, kUserCatalogueSkyMarks, OpenSkyMarkFile);
}
int ImportUserStarLines(UserCatalogueImport *s, int32_t *a, int32_t *r, int32_t *k) {
    return ImportStep(s, kUserCatalogueStars, a, r, k);
}
int ImportUserDeepSkyLines(UserCatalogueImport *s, int32_t *a, int32_t *r, int32_t *k) {
    return ImportStep(s, kUserCatalogueDeepSky, a, r, k);
}
int ImportSkyMarkLines(UserCatalogueImport *s, int32_t *a, int32_t *r, int32_t *k) {
    return ImportStep(s, kUserCatalogueSkyMarks, a, r, k);
}
void EndUserStarImport(UserCatalogueImport *s) { End(s, kStars); }
void EndUserDeepSkyImport(UserCatalogueImport *s) { End(s, kDeepSky); }
void EndSkyMarkImport(UserCatalogueImport *s) { End(s, kMarks); }

// ---- chart passes ---------------------------------------------------------------------------------
int BeginUserStarScan(UserCatalogueScan *scan, const DateRecord *date, double ra, double dec, double radius,
                      double bright, double faint, uint32_t flags, void (*progress)(int), const volatile int *stop) {
    if (!BeginScan(scan, kStars, kUserCatalogueStars, date, ra, dec, radius, flags, progress, stop)) return 0;
    scan->brightLimit = bright;
    scan->faintLimit = faint;
    return 1;
}
int BeginUserDeepSkyScan(UserCatalogueScan *scan, const DateRecord *date, double ra, double dec, double radius,
                         double bright, double faint, double minSize, double maxSize, uint32_t flags,
                         void (*progress)(int), const volatile int *stop) {
    if (!BeginScan(scan, kDeepSky, kUserCatalogueDeepSky, date, ra, dec, radius, flags, progress, stop)) return 0;
    scan->brightLimit = bright;
    scan->faintLimit = faint;
    scan->minSize = minSize;
    scan->maxSize = maxSize;
    return 1;
}
int BeginSkyMarkScan(UserCatalogueScan *scan, const DateRecord *date, double ra, double dec, double radius,
                     uint32_t flags, void (*progress)(int), const volatile int *stop) {
    return BeginScan(scan, kMarks, kUserCatalogueSkyMarks, date, ra, dec, radius, flags, progress, stop);
}
int32_t NextUserStarInScan(UserCatalogueScan *scan, char *name, double *ra, double *dec, double *magnitude) {
    return NextInScan(scan, kStars, name, ra, dec, magnitude);
}
int32_t NextUserDeepSkyInScan(UserCatalogueScan *scan, char *name, double *ra, double *dec, double *magnitude) {
    return NextInScan(scan, kDeepSky, name, ra, dec, magnitude);
}
int32_t NextSkyMarkInScan(UserCatalogueScan *scan, char *name, double *ra, double *dec, double *magnitude) {
    return NextInScan(scan, kMarks, name, ra, dec, magnitude);
}
void EndUserStarScan(UserCatalogueScan *scan) { EndScan(scan); }
void EndUserDeepSkyScan(UserCatalogueScan *scan) { EndScan(scan); }
void EndSkyMarkScan(UserCatalogueScan *scan) { EndScan(scan); }

int UserStarStoreMayHoldName(const char *name) {
    static HeldNames held;
    return MayHoldName(kStars, &held, name);
}
int UserDeepSkyStoreMayHoldName(const char *name) {
    static HeldNames held;
    return MayHoldName(kDeepSky, &held, name);
}
int SkyMarkStoreMayHoldName(const char *name) {
    static HeldNames held;
    return MayHoldName(kMarks, &held, name);
}
