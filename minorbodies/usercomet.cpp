// The user's comet store comet.bin (see usercomet.h).
#include "minorbodies/usercomet.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "astro/datetime.h"
#include "core/fileutil.h"
#include "core/mathutil.h"
#include "core/safefile.h"
#include "core/textutil.h"
#include "ephem/bodyrecord.h"
#include "ephem/ephemload.h"
#include "ephem/physical.h"
#include "minorbodies/usermp.h"
#include "minorbodies/userstoreio.h"

namespace {

const int64_t kHeaderSize = 4;
const int64_t kRecordSize = sizeof(CometRecord);
const double kDegreesPerRadian = 180.0 / kPi;
const double kComaUnitAU = 1e-6;
// Sets of one periodic comet this far apart in perihelion time are two
// apparitions (days).
const double kApparitionDays = 180.0;

int64_t Offset(int32_t n) { return kHeaderSize + static_cast<int64_t>(n) * kRecordSize; }

void Terminate(CometRecord *r) {
    r->name[kCometNameSize - 1] = '\0';
    r->designation[kCometDesignationSize - 1] = '\0';
    r->source[sizeof r->source - 1] = '\0';
}

const UserStoreShape kCometStore = {"comet.bin", "comet.lock", 2, sizeof(CometRecord), kMaxUserCometRecords,
                                     nullptr};

bool LoadAll(FILE *f, int32_t *highest, std::vector<CometRecord> *records) {
    return LoadUserRecords(kCometStore, f, Terminate, highest, records);
}

int Replace(FILE **stream, int32_t highest, const std::vector<CometRecord> &records) {
    return ReplaceUserRecords(kCometStore, stream, highest, records);
}

bool LoadCurrent(FILE **stream, int32_t *highest, std::vector<CometRecord> *records) {
    return LoadCurrentUserRecords(kCometStore, Terminate, stream, highest, records);
}

bool NonEmptyPrefixNoCase(const char *prefix, const char *text) {
    return prefix && text && prefix[0] && text[0] && MatchPrefixNoCase(prefix, text) && std::strcmp(prefix, "*") != 0;
}

}  // namespace

int FormatUserCometFilePath(char *out) { return MakeStorePath(out, "comet.bin"); }
int FormatUserCometBackupPath(char *out) { return MakeStorePath(out, "comet.bak"); }

int CreateUserCometFile() { return CreateUserStore(kCometStore); }

int ReadUserCometHeader(FILE *stream, int32_t *count, int32_t *highestId) {
    return ReadUserStoreHeader(kCometStore, stream, count, highestId);
}

FILE *OpenUserCometFile(int32_t *count) { return OpenUserStore(kCometStore, count); }

FILE *OpenOtherUserCometFile(const char *path, int32_t *count) {
    return OpenOtherUserStore(kCometStore, path, count);
}

int ReadUserCometRecord(FILE *stream, CometRecord *record, int32_t n) {
    if (!stream || !record || n < 0 || !ReadStoreBytes(stream, Offset(n), record, sizeof *record)) return 0;
    Terminate(record);
    return 1;
}

int WriteUserCometRecord(FILE *stream, const CometRecord *record, int32_t n) {
    int32_t count = 0;
    StoreLock lock;
    if (!record || !LockUserStore(kCometStore, &lock) || !ReadUserCometHeader(stream, &count, nullptr) || n < 0 || n >= count) return 0;
    return WriteStoreBytes(stream, Offset(n), record, sizeof *record);
}

int InsertUserCometRecord(FILE **stream, const CometRecord *record, int32_t n) {
    std::vector<CometRecord> records;
    int32_t highest = 0;
    StoreLock lock;
    if (!record || !LockUserStore(kCometStore, &lock) || !LoadCurrent(stream, &highest, &records) || n < 0 ||
        n > static_cast<int32_t>(records.size()) || records.size() >= static_cast<size_t>(kMaxUserCometRecords))
        return 0;
    records.insert(records.begin() + n, *record);
    if (record->objectId > highest) highest = record->objectId;
    return Replace(stream, highest, records);
}

int DeleteUserCometRecord(FILE **stream, int32_t n) { return DeleteUserRecords(kCometStore, Terminate, stream, n, 0); }

int DeleteUserCometObject(FILE **stream, int32_t id) {
    return id > 0 ? DeleteUserRecords(kCometStore, Terminate, stream, 0, id) : 0;
}

int CompareUserCometRecords(const CometRecord *a, const CometRecord *b) {
    bool an = a->number != 0, bn = b->number != 0;
    if (an != bn) return an ? -1 : 1;
    if (an && a->number != b->number) return a->number < b->number ? -1 : 1;
    if (!an) {
        int c = CompareStringsNoCase(a->designation, b->designation);
        if (c != 0) return c;
    }
    if (a->perihelionTime != b->perihelionTime) return a->perihelionTime > b->perihelionTime ? -1 : 1;
    return 0;
}

int SortUserCometFile() {
    int32_t highest = 0;
    FILE *f = nullptr;
    std::vector<CometRecord> records;
    StoreLock lock;
    int ok = LockUserStore(kCometStore, &lock) && LoadCurrent(&f, &highest, &records);
    if (ok) {
        std::stable_sort(records.begin(), records.end(),
                         [](const CometRecord &a, const CometRecord &b) { return CompareUserCometRecords(&a, &b) < 0; });
        ok = Replace(&f, highest, records);
    }
    if (f) SafeClose(f);
    return ok;
}

int CompactUserCometFile(const uint8_t *deleteFlags, int steps, void (*progress)()) {
    return CompactUserRecords(kCometStore, Terminate, deleteFlags, steps, progress);
}

void RewindUserComets(FILE *stream, CometRecord *record) {
    if (stream) SafeSeek(stream, kHeaderSize);
    if (record) record->objectId = 0;
}

int NextUserCometElementSet(FILE *stream, CometRecord *record, int32_t *index, int32_t id, int32_t count) {
    if (!stream || !record) return 0;
    int64_t pos = static_cast<int64_t>(std::ftell(stream));
    if (pos < kHeaderSize) return 0;
    int32_t n = static_cast<int32_t>((pos - kHeaderSize) / kRecordSize);
    if (id != 0) {
        bool seek = record->objectId == 0;
        for (; n < count; ++n) {
            if (!ReadUserCometRecord(stream, record, n)) return 0;
            if (record->objectId == id) {
                if (index) *index = n;
                return 1;
            }
            if (!seek) return 0;
        }
        return 0;
    }
    int32_t current = record->objectId;
    bool started = current != 0;
    for (; n < count; ++n) {
        if (!ReadUserCometRecord(stream, record, n)) return 0;
        if (!started || record->objectId != current) {
            if (index) *index = n;
            return 1;
        }
    }
    return 0;
}

int16_t ComaUnitsFromAU(double comaAU) {
    if (!(comaAU > 0.0)) return 0;
    double units = std::floor(comaAU / kComaUnitAU + 0.5);
    return units > kMaxComaDiameter ? kMaxComaDiameter : static_cast<int16_t>(units);
}

int BuildCometRecord(CometRecord *record, uint16_t number, char letter, const char *name, const char *designation,
                     double T, double epoch, double M, double n, double a, double q, double e, double perihelion,
                     double node, double inclination, double H, double K, double comaAU, int condensation,
                     const char *source) {
    if (!record) return 0;
    bool hasName = name && name[0];
    bool hasDesignation = designation && designation[0];
    if (number == 0 && !hasName && (letter == ' ' || letter == '\0' || !hasDesignation)) return 0;
    OrbitRecord orbit;
    if (!InitOrbitRecord(&orbit, T, epoch, M, a, q, e, perihelion, node, inclination, n, H, K, kMagnitudeModelComet))
        return 0;
    std::memset(record, 0, sizeof *record);
    record->number = number;
    record->letter = letter;
    CopyStringBounded(record->name, name ? name : "", kCometNameSize);
    CopyStringBounded(record->designation, designation ? designation : "", kCometDesignationSize);
    record->perihelionTime = orbit.T;
    record->epoch = epoch;
    record->q = static_cast<float>(orbit.q != 0.0 ? orbit.q : (1.0 - e) * orbit.a);
    record->e = static_cast<float>(e);
    record->perihelion = static_cast<float>(perihelion / kDegreesPerRadian);
    record->node = static_cast<float>(node / kDegreesPerRadian);
    record->inclination = static_cast<float>(inclination / kDegreesPerRadian);
    record->H = static_cast<float>(H);
    record->K = static_cast<float>(K);
    // Rounded, as the line import rounds: the same diameter gives the same units.
    record->comaDiameter = ComaUnitsFromAU(comaAU);
    record->condensation = static_cast<uint8_t>(condensation);
    CopyStringBounded(record->source, source ? source : "", sizeof record->source);
    return 1;
}

int32_t UnpackCometRecord(const CometRecord *r, uint16_t *number, char *letter, char *name, char *designation,
                          double *T, double *epoch, double *q, double *e, double *perihelion, double *node,
                          double *inclination, double *H, double *K, double *comaAU, double *a, int *condensation,
                          char *source) {
    if (!r) return 0;
    if (number) *number = r->number;
    if (letter) *letter = r->letter;
    if (name) CopyStringBounded(name, r->name, kCometNameSize);
    if (designation) CopyStringBounded(designation, r->designation, kCometDesignationSize);
    if (T) *T = r->perihelionTime;
    if (epoch) *epoch = r->epoch;
    if (q) *q = r->q;
    if (e) *e = r->e;
    if (perihelion) *perihelion = r->perihelion * kDegreesPerRadian;
    if (node) *node = r->node * kDegreesPerRadian;
    if (inclination) *inclination = r->inclination * kDegreesPerRadian;
    if (H) *H = r->H;
    if (K) *K = r->K;
    if (comaAU) *comaAU = r->comaDiameter * kComaUnitAU;
    if (a) *a = r->e != 1.0f ? r->q / (1.0 - r->e) : 0.0;
    if (condensation) *condensation = r->condensation;
    if (source) CopyStringBounded(source, r->source, sizeof r->source);
    return r->objectId;
}

int32_t FindUserCometId(FILE *stream, const char *name, const char *designation, const uint16_t *number,
                        CometRecord *record) {
    if (!stream) return -1;
    std::vector<CometRecord> records;
    if (!LoadAll(stream, nullptr, &records)) return 0;
    bool byName = name && name[0], byDesignation = designation && designation[0];
    bool byNumber = number && *number != 0;
    if (!byName && !byDesignation && !byNumber) return 0;
    for (size_t i = 0; i < records.size(); ++i) {
        const CometRecord &r = records[i];
        if (i > 0 && records[i - 1].objectId == r.objectId) continue;
        bool hit = byName ? CompareStringsNoCase(r.name, name) == 0
                   : byDesignation ? CompareStringsNoCase(r.designation, designation) == 0
                                   : r.number == *number;
        if (hit && r.objectId > 0) {
            if (record) *record = r;
            return r.objectId;
        }
    }
    return 0;
}

int32_t FindUserCometRecordIndex(FILE *stream, const int32_t *id, const char *name, const char *designation,
                                 const uint16_t *number, CometRecord *record) {
    std::vector<CometRecord> records;
    if (!stream || !LoadAll(stream, nullptr, &records)) return -1;
    for (size_t i = 0; i < records.size(); ++i) {
        const CometRecord &r = records[i];
        if (i > 0 && records[i - 1].objectId == r.objectId) continue;
        // An empty text on either side matches nothing: a numbered comet
        // stored without a designation is no prefix of every designation.
        bool hit = (id && *id > 0 && r.objectId == *id) || NonEmptyPrefixNoCase(name, r.name) ||
                   NonEmptyPrefixNoCase(r.designation, designation) || (number && *number != 0 && r.number == *number);
        if (hit) {
            if (record) *record = r;
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

int ReadNextUserComet(FILE *stream, CometRecord *record, int32_t id, char *letter, char *name, char *designation,
                      uint16_t *number, char *label, int32_t count, int32_t *index, int32_t *idOut) {
    if (!stream || !record) return 0;
    int32_t n = index && *index >= 0 ? *index : 0;
    bool found = false;
    if (id >= 0) {
        for (n = 0; n < count; ++n) {
            if (!ReadUserCometRecord(stream, record, n)) return 0;
            if (record->objectId == id) {
                found = true;
                break;
            }
        }
    } else {
        int32_t current = record->objectId;
        for (; n < count; ++n) {
            if (!ReadUserCometRecord(stream, record, n)) return 0;
            if (record->objectId != current) {
                found = true;
                break;
            }
        }
    }
    if (!found) return 0;
    if (index) *index = n;
    if (letter) *letter = record->letter;
    if (name) CopyStringBounded(name, record->name, kCometNameSize);
    if (designation) CopyStringBounded(designation, record->designation, kCometDesignationSize);
    if (number) *number = record->number;
    if (label) FormatCometLabel(record->number, record->letter, record->name, record->designation, label);
    if (idOut) *idOut = record->objectId;
    return 1;
}

int ComputeUserCometPosition(FILE *stream, const DateRecord *date, int32_t id, char *letter, uint16_t *number,
                             char *designation, char *name, char *label, double *ra, double *dec, double *r,
                             double *delta, double *elongation, double *magnitude, double *comaSize,
                             int *condensation, double *tailLength, double *tailAngle, double *epoch,
                             OrbitRecord *orbit, int32_t *recordIndex) {
    int32_t count = 0;
    // Without the planetary series there is no Earth to see the comet from
    // (as for a packaged comet): no place rather than the heliocentric one.
    if (!EphemerisTablesLoaded()) return 0;
    if (!stream || !date || id <= 0 || !ReadUserCometHeader(stream, &count, nullptr)) return 0;
    CometRecord set;
    int32_t first = -1;
    if (recordIndex && *recordIndex > 0) {
        first = *recordIndex - 1;
        if (first >= count || !ReadUserCometRecord(stream, &set, first)) return 0;
    } else {
        for (int32_t i = 0; i < count; ++i) {
            if (!ReadUserCometRecord(stream, &set, i)) return 0;
            if (set.objectId == id) {
                first = i;
                break;
            }
        }
        if (first < 0) return 0;
        if (recordIndex) *recordIndex = first + 1;
    }
    if (set.objectId != id) return 0;
    CometRecord best = set;
    double bestGap = std::fabs(set.epoch - date->centuriesTT);
    for (int32_t i = first + 1; i < count; ++i) {
        CometRecord next;
        if (!ReadUserCometRecord(stream, &next, i)) return 0;
        if (next.objectId != id) break;
        double gap = std::fabs(next.epoch - date->centuriesTT);
        bool tie = std::fabs(gap - bestGap) < kSameEpochCenturies;
        if ((!tie && gap < bestGap) || (tie && next.epoch < best.epoch)) {
            best = next;
            bestGap = gap;
        }
    }
    OrbitRecord local;
    OrbitRecord *o = orbit ? orbit : &local;
    if (!BuildCometOrbit(&best, 0, o)) return 0;
    double pra, pdec, pr, pdelta, phase, el, mag;
    ComputeMinorBodyPosition(date, o, &pra, &pdec, &pr, &pdelta, &phase, &el, &mag);
    // A set without magnitude parameters has no magnitude (H = K = 0 would
    // give an absurdly bright comet).
    if (best.H == 0.0f && best.K == 0.0f) mag = kNoCometMagnitude;
    if (ra) *ra = pra;
    if (dec) *dec = pdec;
    if (r) *r = pr;
    if (delta) *delta = pdelta;
    if (elongation) *elongation = el;
    if (magnitude) *magnitude = mag;
    if (epoch) *epoch = best.epoch;
    if (letter) *letter = best.letter;
    if (number) *number = best.number;
    if (designation) CopyStringBounded(designation, best.designation, kCometDesignationSize);
    if (name) CopyStringBounded(name, best.name, kCometNameSize);
    if (label) FormatCometLabel(best.number, best.letter, best.name, best.designation, label);
    double comaAU = best.comaDiameter > 0 ? best.comaDiameter * kComaUnitAU : kFallbackComaAU;
    double coma = SmallAngleFromDistance(pdelta, comaAU);
    if (comaSize) *comaSize = coma;
    if (condensation) *condensation = best.condensation;
    if (tailLength || tailAngle) {
        HeliocentricPlace earth = ComputeEarthHeliocentric(date);
        ComputeCometTail(date, earth, pr, phase, coma, pra, pdec, tailLength, tailAngle);
    }
    return 1;
}

const char *GetCondensationName(int degree) {
    static const char kNames[10][14] = {" 0 (diffuse)", " 1", " 2", " 3", " 4",
                                        " 5",           " 6", " 7", " 8", " 9 (stellar)"};
    return degree >= 0 && degree <= 9 ? kNames[degree] : nullptr;
}

int AddUserCometElements(FILE **stream, CometRecord *record, int acceptEqualEpoch, int replaceMagnitudes) {
    std::vector<CometRecord> records;
    int32_t highest = 0;
    // The whole comparison and change under the store's lock (the insertion
    // below takes it again).
    StoreLock lock;
    if (!record || !LockUserStore(kCometStore, &lock) || !LoadCurrent(stream, &highest, &records)) return 0;
    Terminate(record);
    const int32_t count = static_cast<int32_t>(records.size());
    int32_t match = -1;
    for (int32_t i = 0; i < count; ++i) {
        const CometRecord &r = records[static_cast<size_t>(i)];
        if ((record->number != 0 && r.number == record->number) ||
            (record->designation[0] && CompareStringsNoCase(record->designation, r.designation) == 0)) {
            match = i;
            break;
        }
    }
    if (match >= 0) {
        const int16_t s = records[static_cast<size_t>(match)].objectId;
        int32_t current = match;
        if (record->letter == 'P') {
            while (record->perihelionTime < records[static_cast<size_t>(current)].perihelionTime && current + 1 < count &&
                   records[static_cast<size_t>(current + 1)].objectId == s)
                ++current;
            const CometRecord &c = records[static_cast<size_t>(current)];
            if (std::fabs(record->perihelionTime - c.perihelionTime) * 36525.0 >= kApparitionDays) {
                if (count >= kMaxUserCometRecords) return 0;
                int32_t at = record->perihelionTime >= c.perihelionTime ? current : current + 1;
                record->objectId = s;
                return InsertUserCometRecord(stream, record, at) ? 1 : 0;
            }
        }
        const CometRecord &c = records[static_cast<size_t>(current)];
        record->objectId = s;
        double gap = record->epoch - c.epoch;
        if (std::fabs(gap) < kSameEpochCenturies) {
            if (!acceptEqualEpoch) return -1;
        } else if (gap < 0.0) {
            return -1;
        }
        if (record->perihelionTime == c.perihelionTime && record->q == c.q && record->e == c.e &&
            record->perihelion == c.perihelion && record->node == c.node && record->inclination == c.inclination &&
            record->H == c.H && record->K == c.K &&
            (record->comaDiameter == kDefaultComaDiameter || record->comaDiameter == c.comaDiameter) &&
            MatchPrefixNoCase(record->name, c.name))
            return -1;
        // The default coma of a line that gave none does not replace a measured one.
        if (record->comaDiameter == kDefaultComaDiameter && c.comaDiameter != kDefaultComaDiameter)
            record->comaDiameter = c.comaDiameter;
        if (!replaceMagnitudes) {
            record->H = c.H;
            record->K = c.K;
        }
        // A failed write is a failure, not a refusal: the import must stop.
        return WriteUserCometRecord(*stream, record, current) ? 2 : 0;
    }
    if (count >= kMaxUserCometRecords || highest >= kMaxUserCometId) return 0;
    int32_t at = count;
    for (int32_t i = 0; i < count; ++i) {
        const CometRecord &r = records[static_cast<size_t>(i)];
        // Index 0 included: a comet may come before every stored one.
        bool before = record->number != 0 ? (r.number == 0 || r.number >= record->number)
                                          : (r.number == 0 && CompareStringsNoCase(r.designation, record->designation) >= 0);
        if (before) {
            at = i;
            break;
        }
    }
    record->objectId = static_cast<int16_t>(highest + 1);
    return InsertUserCometRecord(stream, record, at) ? 1 : 0;
}

int ForEachUserCometName(bool (*visit)(void *, const char *, int32_t), void *context) {
    char path[1024];
    if (!visit || !FormatUserCometFilePath(path)) return 0;
    int32_t count = 0;
    FILE *f = OpenOtherUserCometFile(path, &count);
    if (!f) return 0;
    int result = 1;
    for (int32_t i = 0; i < count; ++i) {
        CometRecord r;
        if (!ReadUserCometRecord(f, &r, i)) {
            result = -1;
            break;
        }
        if (!visit(context, r.name, r.objectId)) break;
    }
    SafeClose(f);
    return result;
}
