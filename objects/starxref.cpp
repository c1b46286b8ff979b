// Readers of the star cross-index and name files.
#include "objects/starxref.h"

#include <cmath>
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/safefile.h"
#include "core/textutil.h"
#include "core/datapaths.h"
#include "objects/binsearch.h"
#include "objects/catcache.h"
#include "objects/catfile.h"
#include "objects/stardes.h"
#include "objects/starcat.h"

namespace {

enum {
    kCsn = 1, kNotes = 2, kHip = 3, kSao = 4, kBd = 5, kCd = 6, kCp = 7, kFlamsteed = 8,
    kBayer = 9, kHr = 10, kGc = 11, kHd = 12, kHc = 16, kCsnAlp = 47, kPpm = 50, kTycho = 57
};

// Reads n bytes at a record's offset, or at the current position for -1;
// the byte position of the record read goes to *position.
bool ReadRecordAt(FILE *stream, long offset, bool next, void *buffer, size_t n, long *position) {
    if (!stream) return false;
    if (next) {
        *position = std::ftell(stream);
        if (*position < 0) return false;
    } else {
        if (offset < 0 || std::fseek(stream, offset, SEEK_SET) != 0) return false;
        *position = offset;
    }
    return std::fread(buffer, 1, n, stream) == n;
}

int ReadReference(FILE *stream, long offset, bool next) {
    unsigned char b[3];
    long position;
    if (!ReadRecordAt(stream, offset, next, b, 3, &position)) return 0;
    return static_cast<int>(ReadUnsigned24(b));
}

// The pair of star numbers of a 6-byte index entry: their count.
int DecodePair(const unsigned char *b, int stars[2]) {
    stars[0] = static_cast<int>(ReadUnsigned24(b));
    stars[1] = static_cast<int>(ReadUnsigned24(b + 3));
    if (stars[0] == 0) return 0;
    return stars[1] != 0 ? 2 : 1;
}

int ReadPair(FILE *stream, long offset, bool next, int stars[2]) {
    unsigned char b[6];
    long position;
    if (!stars || !ReadRecordAt(stream, offset, next, b, 6, &position)) return 0;
    return DecodePair(b, stars);
}

// The pair at an offset of an index held in memory; -1 when the index
// cannot be read, 0 past its end.
int ReadHeldPair(int file, long offset, int stars[2]) {
    std::shared_ptr<const CatalogueImage> image = CatalogueFileImage(file, 1);
    if (!image) return -1;
    if (!stars || offset < 0 || static_cast<size_t>(offset) + 6 > image->bytes.size()) return 0;
    return DecodePair(image->bytes.data() + offset, stars);
}

// Byte offsets of the Flamsteed and Bayer index entries; -1 out of range.
long FlamsteedOffset(int number, int constellation) {
    if (number < 1 || number > 139 || constellation < 0 || constellation > 87) return -1;
    return 834L * constellation + 6L * (number - 1);
}
long BayerOffset(int letter, int superscript, int constellation) {
    if (letter < 0 || letter > 23 || superscript < 0 || superscript > 8 || constellation < 0 ||
        constellation > 87)
        return -1;
    return 1296L * constellation + 54L * letter + 6L * superscript;
}

// ---- Durchmusterung tables ----------------------------------------------------

struct DmLayout {
    int catalogue;    // 1 BD, 2 CD, 3 CP
    int zoneCodes;    // zone table entries
};

const DmLayout kDmLayouts[] = {{0, 0}, {1, 114}, {2, 180}, {3, 180}};

int EntriesOffset(int catalogue) { return kDmLayouts[catalogue].zoneCodes * 12; }

struct DmKey {
    int code, number, suffix;
};

struct DmEntry {
    int code, number, suffix, star;
};

DmEntry DecodeDmEntry(const unsigned char *b) {
    return DmEntry{b[0], GetU16(b + 1), b[3], GetI32(b + 4)};
}

bool ReadDmEntry(FILE *f, int catalogue, int i, DmEntry *e, unsigned char *raw = nullptr) {
    unsigned char b[8];
    if (!ReadAt(f, EntriesOffset(catalogue) + 8LL * i, b, 8)) return false;
    *e = DecodeDmEntry(b);
    if (raw) std::memcpy(raw, b, 8);
    return true;
}

bool SameDesignation(const DmEntry &e, const DmKey &k) {
    return e.code == k.code && e.number == k.number && e.suffix == k.suffix;
}

int CompareDm(const DmKey &k, const DmEntry &e) {
    if (k.code != e.code) return k.code < e.code ? -1 : 1;
    if (k.number != e.number) return k.number < e.number ? -1 : 1;
    if (k.suffix != e.suffix) return k.suffix < e.suffix ? -1 : 1;
    return 0;
}

struct DmSearchKey {
    DmKey key;
    int catalogue;
};

int DmCompareCallback(const void *key, FILE *f, int mid, void **out) {
    const DmSearchKey *k = static_cast<const DmSearchKey *>(key);
    DmEntry e;
    if (!ReadDmEntry(f, k->catalogue, mid, &e)) return 1;
    int r = CompareDm(k->key, e);
    if (r == 0) {
        DmEntry *copy = static_cast<DmEntry *>(std::malloc(sizeof(DmEntry)));
        if (copy) *copy = e;
        *out = copy;
    }
    return r;
}

int FileEntryCount(FILE *f, int catalogue) {
    int64_t size = StreamSize(f);
    if (size < EntriesOffset(catalogue)) return 0;
    return static_cast<int>((size - EntriesOffset(catalogue)) / 8);
}

int FindDmStars(int catalogue, FILE *f, int zone, int signNumber, int suffixWord, int *stars,
                int maxStars, int *ordinal) {
    if (!f || !stars || maxStars <= 0) return 0;
    char sign = static_cast<char>(signNumber & 0xff);
    DmSearchKey key;
    key.catalogue = catalogue;
    key.key.code = DurchmusterungZoneCode(sign, zone);
    key.key.number = (signNumber >> 8) & 0xffff;
    key.key.suffix = (suffixWord >> 8) & 0xff;
    if (key.key.code < 0 || key.key.code >= kDmLayouts[catalogue].zoneCodes) return 0;
    int count = FileEntryCount(f, catalogue);
    int match = -1;
    void *found = BinarySearchFileRecords(f, 0, count - 1, &key, &match, DmCompareCallback);
    if (!found) return 0;
    std::free(found);
    // Every entry of the designation: forward from the match, then backward.
    std::vector<int> list;
    int lowest = match;
    DmEntry e;
    for (int i = match; i < count; ++i) {
        if (!ReadDmEntry(f, catalogue, i, &e)) return 0;
        if (!SameDesignation(e, key.key)) break;
        list.push_back(e.star);
    }
    for (int i = match - 1; i >= 0; --i) {
        if (!ReadDmEntry(f, catalogue, i, &e)) return 0;
        if (!SameDesignation(e, key.key)) break;
        list.push_back(e.star);
        lowest = i;
    }
    // The lowest-indexed entry goes first.
    if (lowest != match) std::swap(list.front(), list.back());
    int n = static_cast<int>(list.size()) < maxStars ? static_cast<int>(list.size()) : maxStars;
    for (int i = 0; i < n; ++i) stars[i] = list[static_cast<size_t>(i)];
    if (ordinal) {
        unsigned char z[12];
        *ordinal = ReadAt(f, 12LL * key.key.code, z, 12) ? lowest - GetI32(z + 4) : lowest;
    }
    return n;
}

int OpenDmWalk(int catalogue, FILE *f, DurchmusterungWalk *walk, char sign, int zone) {
    if (!walk) {
        if (f) std::fclose(f);
        return 0;
    }
    std::memset(walk, 0, sizeof(*walk));
    if (!f) return 0;
    int code = DurchmusterungZoneCode(sign, zone);
    unsigned char z[12];
    if (code < 0 || code >= kDmLayouts[catalogue].zoneCodes || !ReadAt(f, 12LL * code, z, 12)) {
        std::fclose(f);
        return 0;
    }
    walk->stream = f;
    walk->catalogue = catalogue;
    walk->zoneCount = GetI32(z);
    walk->index = -GetI32(z + 4);
    walk->consumed = 0;
    walk->fileCount = FileEntryCount(f, catalogue);
    walk->entriesOffset = EntriesOffset(catalogue);
    if (walk->zoneCount < 0) walk->zoneCount = 0;
    return 1;
}

int EndWalk(DurchmusterungWalk *walk, int result) {
    CloseDurchmusterungWalk(walk);
    return result;
}

int NextDm(DurchmusterungWalk *walk, char *text) {
    if (text) text[0] = '\0';
    if (!walk || !walk->stream) return 0;
    FILE *f = walk->stream;
    DmEntry e;
    if (walk->index < 0 || (walk->index == 0 && walk->consumed == 0 && !walk->hasPending)) {
        // First call: the zone's first entry becomes the pending one.
        walk->index = -walk->index;
        if (walk->zoneCount == 0 || walk->index >= walk->fileCount) return EndWalk(walk, 0);
        if (!ReadDmEntry(f, walk->catalogue, walk->index, &e, walk->pending)) return EndWalk(walk, -1);
        ++walk->index;
        ++walk->consumed;
        walk->hasPending = 1;
    }
    if (!walk->hasPending) return EndWalk(walk, 0);
    DmEntry pending = DecodeDmEntry(walk->pending);
    DmKey key{pending.code, pending.number, pending.suffix};
    walk->hasPending = 0;
    unsigned char raw[8];
    while (walk->consumed < walk->zoneCount && walk->index < walk->fileCount) {
        if (!ReadDmEntry(f, walk->catalogue, walk->index, &e, raw)) return EndWalk(walk, -1);
        ++walk->index;
        ++walk->consumed;
        if (!SameDesignation(e, key)) {
            std::memcpy(walk->pending, raw, 8);
            walk->hasPending = 1;
            break;
        }
    }
    char sign;
    int zone;
    DecodeDurchmusterungZone(pending.code, &sign, &zone);
    char suffix = pending.suffix == 0 ? ' ' : static_cast<char>(pending.suffix + 96);
    if (text) FormatDurchmusterungDesignation(text, walk->catalogue, zone, sign, pending.number, suffix);
    return pending.star;
}

// ---- Tycho --------------------------------------------------------------------

// Rounds halves away from zero.
int RoundHalfAway(double x) { return static_cast<int>(x < 0 ? -std::floor(-x + 0.5) : std::floor(x + 0.5)); }

bool ReadTychoRegion(FILE *f, int region, uint32_t *offset, int *count) {
    unsigned char b[8];
    if (region < 1 || region > kTychoRegionCount || !ReadAt(f, 8LL * (region - 1), b, 8)) return false;
    *offset = GetU32(b);
    *count = GetI32(b + 4);
    return true;
}

bool ReadTychoEntry(FILE *f, uint32_t offset, int i, int *star, int *tyc2, int *tyc3) {
    unsigned char b[5];
    if (!ReadAt(f, static_cast<int64_t>(offset) + 5LL * i, b, 5)) return false;
    *star = static_cast<int>(ReadUnsigned24(b));
    uint16_t w = GetU16(b + 3);
    *tyc2 = (w & 0x3fff) + 1;
    *tyc3 = (w >> 14) + 1;
    return true;
}

}  // namespace

FILE *OpenHipNumberIndex() { return OpenCatalogueFile(kHc, 1); }
FILE *OpenSaoIndex() { return OpenCatalogueFile(kSao, 1); }
FILE *OpenHrIndex() { return OpenCatalogueFile(kHr, 1); }
FILE *OpenGcIndex() { return OpenCatalogueFile(kGc, 1); }
FILE *OpenPpmIndex() { return OpenCatalogueFile(kPpm, 1); }
FILE *OpenHdIndex() { return OpenCatalogueFile(kHd, 1); }
FILE *OpenFlamsteedIndex() { return OpenCatalogueFile(kFlamsteed, 1); }
FILE *OpenBayerIndex() { return OpenCatalogueFile(kBayer, 1); }
FILE *OpenBdTable() { return OpenCatalogueFile(kBd, 1); }
FILE *OpenCdTable() { return OpenCatalogueFile(kCd, 1); }
FILE *OpenCpTable() { return OpenCatalogueFile(kCp, 1); }
FILE *OpenTychoIndex() { return OpenCatalogueFile(kTycho, 1); }
FILE *OpenStarNameCatalogue() { return OpenCatalogueFile(kCsn, 1); }
FILE *OpenStarNameList() { return OpenCatalogueFile(kCsnAlp, 0); }
FILE *OpenStarNotes() { return OpenCatalogueFile(kNotes, 1); }
FILE *OpenHipparcosPhotometry() { return OpenCatalogueFile(kHip, 1); }

FILE *OpenTycho2Reference() { return OpenRefDirectoryFile("Tycho2/T2_ref.bin", 1, "rb"); }

int ReadHipNumberIndex(FILE *stream, int n) {
    return n >= 1 ? ReadReference(stream, 3L * (n - 1), false) : 0;
}

int ReadSaoIndex(FILE *stream, int n) {
    return (n >= 1 && n < 258998) ? ReadReference(stream, 3L * (n - 1), false) : 0;
}

int ReadHrIndex(FILE *stream, int n) {
    if (n == -1) return ReadReference(stream, 0, true);
    return n >= 1 ? ReadReference(stream, 3L * (n - 1), false) : 0;
}

int ReadGcIndex(FILE *stream, int n) {
    if (n == -1) return ReadReference(stream, 0, true);
    return n >= 1 ? ReadReference(stream, 3L * (n - 1), false) : 0;
}

int ReadPpmIndex(FILE *stream, int n) {
    if (n >= 1 && n <= 378910) return ReadReference(stream, 3L * (n - 1), false);
    if (n > 700000) return ReadReference(stream, 3L * (n - 321091), false);
    return 0;
}

int ReadHdIndex(FILE *stream, int n, int stars[2]) {
    if (n == -1) return ReadPair(stream, 0, true, stars);
    return n >= 1 ? ReadPair(stream, 6L * (n - 1), false, stars) : 0;
}

int ReadFlamsteedIndex(FILE *stream, int number, int constellation, int stars[2]) {
    const long offset = FlamsteedOffset(number, constellation);
    return offset < 0 ? 0 : ReadPair(stream, offset, false, stars);
}

int ReadBayerIndex(FILE *stream, int letter, int superscript, int constellation, int stars[2]) {
    if (letter == -1) return ReadPair(stream, 0, true, stars);
    const long offset = BayerOffset(letter, superscript, constellation);
    return offset < 0 ? 0 : ReadPair(stream, offset, false, stars);
}

int ReadHeldFlamsteedIndex(int number, int constellation, int stars[2]) {
    const long offset = FlamsteedOffset(number, constellation);
    return offset < 0 ? (CatalogueFileImage(kFlamsteed, 1) ? 0 : -1) : ReadHeldPair(kFlamsteed, offset, stars);
}

int ReadHeldBayerIndex(int letter, int superscript, int constellation, int stars[2]) {
    const long offset = BayerOffset(letter, superscript, constellation);
    return offset < 0 ? (CatalogueFileImage(kBayer, 1) ? 0 : -1) : ReadHeldPair(kBayer, offset, stars);
}

int FindBdStars(FILE *stream, int zone, int signNumber, int suffixWord, int *stars, int maxStars,
                int *ordinal) {
    return FindDmStars(1, stream, zone, signNumber, suffixWord, stars, maxStars, ordinal);
}
int FindCdStars(FILE *stream, int zone, int signNumber, int suffixWord, int *stars, int maxStars,
                int *ordinal) {
    return FindDmStars(2, stream, zone, signNumber, suffixWord, stars, maxStars, ordinal);
}
int FindCpStars(FILE *stream, int zone, int signNumber, int suffixWord, int *stars, int maxStars,
                int *ordinal) {
    return FindDmStars(3, stream, zone, signNumber, suffixWord, stars, maxStars, ordinal);
}

int OpenBdWalk(DurchmusterungWalk *walk, char sign, int zone) {
    return OpenDmWalk(1, OpenBdTable(), walk, sign, zone);
}
int OpenCdWalk(DurchmusterungWalk *walk, char sign, int zone) {
    return OpenDmWalk(2, OpenCdTable(), walk, sign, zone);
}
int OpenCpWalk(DurchmusterungWalk *walk, char sign, int zone) {
    return OpenDmWalk(3, OpenCpTable(), walk, sign, zone);
}
int NextBdDesignation(DurchmusterungWalk *walk, char *text) { return NextDm(walk, text); }
int NextCdDesignation(DurchmusterungWalk *walk, char *text) { return NextDm(walk, text); }
int NextCpDesignation(DurchmusterungWalk *walk, char *text) { return NextDm(walk, text); }

void CloseDurchmusterungWalk(DurchmusterungWalk *walk) {
    if (walk && walk->stream) {
        std::fclose(walk->stream);
        walk->stream = nullptr;
    }
}

int FindTychoStar(FILE *stream, int region, int tyc2, int tyc3) {
    uint32_t offset;
    int count;
    if (!stream || !ReadTychoRegion(stream, region, &offset, &count) || count <= 0) return 0;
    double s = (count + 1) / 2.0;
    int p = RoundHalfAway(s) - 1;
    // Halving steps; a probe that leaves the region ends the search (the
    // entries beyond belong to the neighbouring regions).
    for (int guard = 0; guard < 64; ++guard) {
        if (p < 0 || p >= count) return 0;
        int star, t2, t3;
        if (!ReadTychoEntry(stream, offset, p, &star, &t2, &t3)) return 0;
        if (t2 == tyc2 && t3 == tyc3) return star;
        bool smaller = t2 < tyc2 || (t2 == tyc2 && t3 < tyc3);
        s /= 2.0;
        if (s <= 0.5) return 0;
        p += smaller ? RoundHalfAway(s) : -RoundHalfAway(s);
    }
    return 0;
}

TychoRegionWalk *OpenTychoRegionWalk(int region) {
    FILE *f = OpenTychoIndex();
    if (!f) return nullptr;
    uint32_t offset;
    int count;
    if (!ReadTychoRegion(f, region, &offset, &count) || count < 0 ||
        std::fseek(f, static_cast<long>(offset), SEEK_SET) != 0) {
        std::fclose(f);
        return nullptr;
    }
    TychoRegionWalk *walk = new TychoRegionWalk{f, 0, count};
    return walk;
}

int NextTychoEntry(TychoRegionWalk *walk, int *tyc2, int *tyc3) {
    if (!walk || !walk->stream || walk->consumed >= walk->count) return 0;
    unsigned char b[5];
    if (std::fread(b, 1, 5, walk->stream) != 5) return 0;
    ++walk->consumed;
    uint16_t w = GetU16(b + 3);
    if (tyc2) *tyc2 = (w & 0x3fff) + 1;
    if (tyc3) *tyc3 = (w >> 14) + 1;
    return 1;
}

void CloseTychoRegionWalk(TychoRegionWalk *walk) {
    if (!walk) return;
    if (walk->stream) std::fclose(walk->stream);
    delete walk;
}

int ReadStarNameRecord(FILE *stream, int n, unsigned char *buffer) {
    if (!buffer || (n < 1 && n != -1)) return 0;
    long position;
    if (!ReadRecordAt(stream, static_cast<long>(n - 1) * kStarNameRecordSize, n == -1, buffer,
                      kStarNameRecordSize, &position))
        return 0;
    buffer[kStarNameRecordSize - 2] = 0;  // the name ends by byte 452
    return static_cast<int>(position / kStarNameRecordSize) + 1;
}

int ReadStarNameListEntry(FILE *stream, int index, char *name, int *star, int *byte) {
    if (index < -1) return 0;
    unsigned char b[kStarNameListRecordSize];
    long position;
    if (!ReadRecordAt(stream, static_cast<long>(index) * kStarNameListRecordSize, index == -1, b,
                      sizeof(b), &position))
        return 0;
    if (star) *star = GetI32(b);
    if (name) {
        std::memcpy(name, b + 4, 32);
        name[31] = '\0';
    }
    if (byte) *byte = b[36];
    if (index >= 0) return index + 1;
    // The position after the read over the record size, plus one: the index
    // of the entry read plus two (the browse listing subtracts one).
    return static_cast<int>((position + kStarNameListRecordSize) / kStarNameListRecordSize) + 1;
}

namespace {

// Case-blind order of a text against a name list entry's name (at most 31
// bytes), each byte lower-cased as FoldCase does.
int CompareFoldedName(const char *text, const unsigned char *entry) {
    const unsigned char *name = entry + 4;
    for (int i = 0; i < 31; ++i) {
        const int a = std::tolower(static_cast<unsigned char>(text[i]));
        const int b = name[i] ? std::tolower(name[i]) : 0;
        if (a != b || a == 0) return a - b;
    }
    return text[31] ? 1 : 0;
}

}  // namespace

int FindStarNameListEntry(const char *name, int *star) {
    if (!name) return -1;
    try {
        // The list's entries in case-blind order of their names (equal names
        // in file order), searched by halving: the lookup runs for every text
        // recognition tries as a star's name. The packaged list is in that
        // order already, so the first lookup only checks it (the first
        // designation after start-up pays for no table).
        static DerivedFromImage<std::vector<int>> cache;
        const std::shared_ptr<const CatalogueImage> image = CatalogueFileImage(kCsnAlp, 0);
        const std::vector<int> *order = cache.Get(image, [](const CatalogueImage &list, std::vector<int> *out) {
            const size_t count = list.bytes.size() / kStarNameListRecordSize;
            const unsigned char *base = list.bytes.data();
            out->resize(count);
            for (size_t i = 0; i < count; ++i) (*out)[i] = static_cast<int>(i);
            auto before = [base](int x, int y) {
                char text[32];
                std::memcpy(text, base + static_cast<size_t>(x) * kStarNameListRecordSize + 4, 31);
                text[31] = '\0';
                return CompareFoldedName(text, base + static_cast<size_t>(y) * kStarNameListRecordSize) < 0;
            };
            if (!std::is_sorted(out->begin(), out->end(), before))
                std::stable_sort(out->begin(), out->end(), before);
        });
        if (!order) return -1;
        const unsigned char *base = image->bytes.data();
        auto at = std::lower_bound(order->begin(), order->end(), name, [base](int entry, const char *text) {
            return CompareFoldedName(text, base + static_cast<size_t>(entry) * kStarNameListRecordSize) > 0;
        });
        if (at == order->end() ||
            CompareFoldedName(name, base + static_cast<size_t>(*at) * kStarNameListRecordSize) != 0)
            return -1;
        if (star) *star = GetI32(base + static_cast<size_t>(*at) * kStarNameListRecordSize);
        return *at;
    } catch (...) {
        return -1;
    }
}

int ReadStarNote(FILE *stream, int n, char *buffer, int bufferSize) {
    unsigned char e[6];
    if (!stream || !buffer || n < 1 || !ReadAt(stream, 6LL * (n - 1), e, 6)) return 0;
    uint32_t offset = GetU32(e);
    int length = GetU16(e + 4);
    if (offset == 0 || length > bufferSize) return 0;
    return ReadAt(stream, offset, buffer, static_cast<size_t>(length)) ? 1 : 0;
}

int ReadHipparcosPhotometry(FILE *stream, int n, HipparcosPhotometry *out) {
    unsigned char b[21];
    if (!out || n < 1 || !ReadAt(stream, 21LL * (n - 1), b, 21)) return 0;
    static const char kTypes[] = {' ', 'C', 'D', 'M', 'P', 'R', 'U'};
    out->code = b[0];
    uint32_t w3 = GetU32(b + 3);
    out->value_1 = (w3 & 0x1ffff) * 0.01;
    uint32_t v2 = w3 >> 17;
    out->value_2 = v2 == 0x7fff ? 99.9 : v2 * 0.01 - 1.2;
    uint16_t w7 = GetU16(b + 7);
    uint16_t v3 = w7 & 0x7ff;
    out->value_3 = v3 == 2047 ? 99.9 : v3 * 0.01 - 1.0;
    unsigned t = w7 >> 11;
    if (t <= 6) out->type = kTypes[t];
    int16_t v4 = GetI16(b + 1);
    out->value_4 = v4 == 32767 ? 99.9 : v4 * 0.001;
    std::memcpy(out->text, b + 9, 12);
    out->text[12] = '\0';
    return 1;
}

namespace {

struct Tycho2Key {
    int tyc1, tyc2, tyc3;
};

int CompareTycho2(const void *key, FILE *f, int mid, void **out) {
    const Tycho2Key *k = static_cast<const Tycho2Key *>(key);
    unsigned char *b = static_cast<unsigned char *>(std::malloc(24));
    if (!b) return 1;
    if (!ReadAt(f, 24LL * mid, b, 24)) {
        std::free(b);
        return 1;
    }
    uint32_t w = GetU32(b);
    int t2 = static_cast<int>(w & 0x3fff), t1 = static_cast<int>((w >> 14) & 0x3fff),
        t3 = static_cast<int>(w >> 28);
    int r = k->tyc1 != t1 ? (k->tyc1 < t1 ? -1 : 1)
          : k->tyc2 != t2 ? (k->tyc2 < t2 ? -1 : 1)
          : k->tyc3 != t3 ? (k->tyc3 < t3 ? -1 : 1) : 0;
    if (r == 0) *out = b;
    else std::free(b);
    return r;
}

float GetFloat(const unsigned char *p) {
    uint32_t w = GetU32(p);
    float f;
    std::memcpy(&f, &w, 4);
    return f;
}

}  // namespace

int FindTycho2Reference(FILE *stream, int tyc1, int tyc2, int tyc3, double *ra, double *dec,
                        double *value1, double *value2, double *value3) {
    if (!stream) return 0;
    int64_t size = StreamSize(stream);
    if (size < 24) return 0;
    Tycho2Key key{tyc1, tyc2, tyc3};
    int index = -1;
    unsigned char *b = static_cast<unsigned char *>(BinarySearchFileRecords(
        stream, 0, static_cast<int>(size / 24) - 1, &key, &index, CompareTycho2));
    if (!b) return 0;
    if (ra) *ra = TurnFractionToRadians(GetI32(b + 4));
    if (dec) *dec = TurnFractionToRadians(GetI32(b + 8));
    if (value1) *value1 = GetFloat(b + 12);
    if (value2) *value2 = GetFloat(b + 16);
    if (value3) *value3 = GetFloat(b + 20);
    std::free(b);
    return 1;
}
