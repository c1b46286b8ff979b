// NGC, IC and Messier cross indexes, the common-name files, the NGC and IC
// scans used by catalogue browsing, and the halving search over sorted index
// files.
#include "objects/dsoxref.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/textutil.h"
#include "objects/catcache.h"
#include "objects/catfile.h"

FILE *OpenNgcCrossIndex() { return OpenCatalogueFile(kCatNgc, 1); }
FILE *OpenMessierCrossIndex() { return OpenCatalogueFile(kCatMessier, 1); }
FILE *OpenIcCrossIndex() { return OpenCatalogueFile(kCatIc, 1); }
FILE *OpenCommonNames() { return OpenCatalogueFile(kCatCommonNames, 1); }
FILE *OpenCommonNameCrossIndex() { return OpenCatalogueFile(kCatCommonNameCross, 1); }

int IsEmptyCrossEntry(int typeCode, int32_t record) {
    return record < 0 || (typeCode == 0 && record == 0);
}

namespace {

int EntryCode(uint32_t codes, int e) { return static_cast<int>((codes >> (3 * e)) & 7); }

}  // namespace

namespace {

// The NGC entry of record r (kNgcRecordSize bytes) for a suffix.
int DecodeNgcCross(const unsigned char *r, int suffix, int types[2], int records[2]) {
    int count = r[0];
    if (suffix > count || (suffix > 0 && count == 0)) return 0;
    uint32_t codes = GetU32(r + 1);
    int code = EntryCode(codes, suffix);
    int32_t rec = GetI32(r + 5 + 4 * suffix);
    if (IsEmptyCrossEntry(code, rec)) {
        if (suffix != 0) return 0;
        code = EntryCode(codes, 1);
        rec = GetI32(r + 9);
        if (IsEmptyCrossEntry(code, rec)) return 0;
    }
    types[0] = code;
    records[0] = rec;
    int32_t second = GetI32(r + 9);
    int secondCode = EntryCode(codes, 1);
    if (count == 0 && !IsEmptyCrossEntry(secondCode, second)) {
        types[1] = secondCode;
        records[1] = second;
        return 2;
    }
    return 1;
}

// Two lettered IC galaxies beyond the B letter of the index: 1 with the
// entry when the number and suffix are one of them.
int IcBeyondIndex(int number, int suffix, int *type, int *record) {
    if (number == 683 && suffix == 5) { *type = kCrossGalaxy; *record = 34807; return 1; }
    if (number == 5269 && suffix == 3) { *type = kCrossGalaxy; *record = 70253; return 1; }
    return 0;
}

// The IC entry of record r (kIcRecordSize bytes) for a suffix.
int DecodeIcCross(const unsigned char *r, int suffix, int *type, int *record) {
    uint32_t codes = GetU16(r);
    int code = EntryCode(codes, suffix);
    int32_t rec = GetI32(r + 2 + 4 * suffix);
    if (IsEmptyCrossEntry(code, rec) && suffix == 0) {
        code = EntryCode(codes, 1);
        rec = GetI32(r + 6);
    }
    if (IsEmptyCrossEntry(code, rec)) return 0;
    *type = code;
    *record = rec;
    return 1;
}

// The Messier entry of a 3-byte record.
int DecodeMessierCross(const unsigned char *r, int *type, int *record) {
    if (r[0] == 255) return 0;
    *type = r[0];
    *record = GetU16(r + 1);
    return 1;
}

// Record `number` (from 1) of `size` bytes of a held cross index; null past its end.
const unsigned char *HeldCrossRecord(const CatalogueImage &image, int number, size_t size) {
    const size_t at = static_cast<size_t>(number - 1) * size;
    return at + size <= image.bytes.size() ? image.bytes.data() + at : nullptr;
}

}  // namespace

int LookupNgcCrossIndex(FILE *stream, int number, int suffix, int types[2], int records[2]) {
    unsigned char r[kNgcRecordSize];
    if (!stream || number < 1 || suffix < 0 || suffix > 6) return 0;
    if (!ReadAt(stream, static_cast<int64_t>(number - 1) * kNgcRecordSize, r, sizeof r)) return 0;
    return DecodeNgcCross(r, suffix, types, records);
}

int LookupIcCrossIndex(FILE *stream, int number, int suffix, int *type, int *record) {
    if (IcBeyondIndex(number, suffix, type, record)) return 1;
    if (suffix < 0 || suffix > 2 || number < 1 || !stream) return 0;
    if (std::fseek(stream, static_cast<long>(number - 1) * kIcRecordSize, SEEK_SET) != 0) return 0;
    unsigned char r[kIcRecordSize];
    if (std::fread(r, 1, sizeof r, stream) != sizeof r) return -1;
    return DecodeIcCross(r, suffix, type, record);
}

int ReadMessierCrossIndex(FILE *stream, int number, int *type, int *record) {
    if (!stream) return 0;
    if (number != -1) {
        if (number < 1) return 0;
        if (std::fseek(stream, static_cast<long>(number - 1) * 3, SEEK_SET) != 0) return 0;
    }
    unsigned char r[3];
    if (std::fread(r, 1, 3, stream) != 3) return 0;
    return DecodeMessierCross(r, type, record);
}

int LookupHeldNgcCrossIndex(int number, int suffix, int types[2], int records[2]) {
    std::shared_ptr<const CatalogueImage> image = CatalogueFileImage(kCatNgc, 1);
    if (!image) return -1;
    if (number < 1 || suffix < 0 || suffix > 6) return 0;
    const unsigned char *r = HeldCrossRecord(*image, number, kNgcRecordSize);
    return r ? DecodeNgcCross(r, suffix, types, records) : 0;
}

int LookupHeldIcCrossIndex(int number, int suffix, int *type, int *record) {
    std::shared_ptr<const CatalogueImage> image = CatalogueFileImage(kCatIc, 1);
    if (!image) return -2;
    if (IcBeyondIndex(number, suffix, type, record)) return 1;
    if (suffix < 0 || suffix > 2 || number < 1) return 0;
    const unsigned char *r = HeldCrossRecord(*image, number, kIcRecordSize);
    return r ? DecodeIcCross(r, suffix, type, record) : -1;
}

int ReadHeldMessierCrossIndex(int number, int *type, int *record) {
    std::shared_ptr<const CatalogueImage> image = CatalogueFileImage(kCatMessier, 1);
    if (!image) return -1;
    if (number < 1) return 0;
    const unsigned char *r = HeldCrossRecord(*image, number, 3);
    return r ? DecodeMessierCross(r, type, record) : 0;
}

int ReadCommonName(FILE *stream, int number, char *name) {
    if (name) name[0] = '\0';
    if (!stream || !name || number < 0 || number >= kCommonNameCount) return 0;
    if (!ReadAt(stream, static_cast<int64_t>(number) * kCommonNameSize, name, kCommonNameSize)) {
        name[0] = '\0';
        return 0;
    }
    name[kCommonNameSize - 1] = '\0';
    return 1;
}

int ReadCommonNameCrossIndex(FILE *stream, int entry, int *type, int *record) {
    if (!stream) return 0;
    if (entry != -1) {
        if (entry < 0 || std::fseek(stream, static_cast<long>(entry) * 5, SEEK_SET) != 0) return 0;
    }
    unsigned char r[5];
    if (std::fread(r, 1, 5, stream) != 5) return 0;
    *type = r[0];
    *record = GetI32(r + 1);
    if (entry != -1) return entry + 1;
    long at = std::ftell(stream);
    return at < 0 ? 0 : static_cast<int>(at / 5);
}

int FindCommonName(const char *name, int *type, int *record) {
    if (!name) return 0;
    try {
        // The names held in memory (a leading "The " left off), the first
        // entry of each: recognition asks for every text it is given.
        static DerivedFromImage<FoldedNameMap> cache;
        const FoldedNameMap *names = cache.Get(
            CatalogueFileImage(kCatCommonNames, 1), [](const CatalogueImage &image, FoldedNameMap *out) {
                size_t count = image.bytes.size() / kCommonNameSize;
                if (count > static_cast<size_t>(kCommonNameCount)) count = kCommonNameCount;
                for (size_t i = 0; i < count; ++i) {
                    char stored[kCommonNameSize];
                    std::memcpy(stored, image.bytes.data() + i * kCommonNameSize, kCommonNameSize);
                    stored[kCommonNameSize - 1] = '\0';
                    const char *s = stored;
                    if ((s[0] == 'T' || s[0] == 't') && (s[1] == 'H' || s[1] == 'h') &&
                        (s[2] == 'E' || s[2] == 'e') && s[3] == ' ')
                        s += 4;
                    out->emplace(FoldCase(s), static_cast<int>(i));
                }
            });
        if (!names) return 0;
        auto it = names->find(FoldCase(name));
        if (it == names->end()) return 0;
        std::shared_ptr<const CatalogueImage> cross = CatalogueFileImage(kCatCommonNameCross, 1);
        if (!cross) return -1;
        size_t at = static_cast<size_t>(it->second) * 5;
        if (at + 5 > cross->bytes.size()) return 0;
        if (type) *type = cross->bytes[at];
        if (record) *record = GetI32(cross->bytes.data() + at + 1);
        return 1;
    } catch (...) {
        return 0;
    }
}

// ---- scans --------------------------------------------------------------------

namespace {

// Opens a cross index and reads the record of the scan's first number; the
// scan owns the stream from then on. Null when the number is below 1 or the
// index cannot be opened or read.
template <typename Scan>
Scan *StartScan(FILE *(*open)(), int firstNumber, int wantedType) {
    if (firstNumber < 1) return nullptr;
    FILE *f = open();
    if (!f) return nullptr;
    const int recordSize = static_cast<int>(sizeof(Scan::record));
    Scan *scan = static_cast<Scan *>(std::calloc(1, sizeof(Scan)));
    if (!scan || !ReadAt(f, static_cast<int64_t>(firstNumber - 1) * recordSize, scan->record,
                         recordSize)) {
        std::free(scan);
        std::fclose(f);
        return nullptr;
    }
    scan->stream = f;
    scan->number = firstNumber;
    scan->wantedType = wantedType;
    return scan;
}

// The position of the scan's next entry, reading the next number's record
// after the record's last position; -1 at the end of the index.
template <typename Scan>
int NextScanPosition(Scan *scan, int lastPosition) {
    if (scan->position > lastPosition) {
        if (std::fread(scan->record, 1, sizeof scan->record, scan->stream) != sizeof scan->record)
            return -1;
        scan->position = 0;
        ++scan->number;
    }
    return scan->position++;
}

// 1 when the entry at position p holds an object of the wanted type and the
// component asked for (any when *component is negative), with its number out.
template <typename Scan>
int AcceptScanEntry(const Scan *scan, int code, int32_t record, int p, int *number,
                    const int *component) {
    if (code != scan->wantedType || IsEmptyCrossEntry(code, record)) return 0;
    if (*component >= 0 && *component != p) return 0;
    *number = scan->number;
    return 1;
}

template <typename Scan>
void EndScan(Scan *scan) {
    if (!scan) return;
    if (scan->stream) std::fclose(scan->stream);
    std::free(scan);
}

}  // namespace

NgcScan *StartNgcScan(int firstNumber, int wantedType) {
    return StartScan<NgcScan>(OpenNgcCrossIndex, firstNumber, wantedType);
}

int NextNgcScanEntry(NgcScan *scan, int *number, int *component) {
    if (!scan || !scan->stream) return -1;
    int p = NextScanPosition(scan, 6);
    if (p < 0) return -1;
    int code = EntryCode(GetU32(scan->record + 1), p);
    int32_t rec = GetI32(scan->record + 5 + 4 * p);
    if (!AcceptScanEntry(scan, code, rec, p, number, component)) return 0;
    *component = scan->record[0] == 0 ? 0 : p;
    return 1;
}

void EndNgcScan(NgcScan *scan) { EndScan(scan); }

IcScan *StartIcScan(int firstNumber, int wantedType) {
    return StartScan<IcScan>(OpenIcCrossIndex, firstNumber, wantedType);
}

int NextIcScanEntry(IcScan *scan, int *number, int *component) {
    if (!scan || !scan->stream) return -1;
    int p = NextScanPosition(scan, 2);
    if (p < 0) return -1;
    int code = EntryCode(GetU16(scan->record), p);
    int32_t rec = GetI32(scan->record + 2 + 4 * p);
    if (!AcceptScanEntry(scan, code, rec, p, number, component)) return 0;
    *component = p;
    return 1;
}

void EndIcScan(IcScan *scan) { EndScan(scan); }

// ---- halving search -------------------------------------------------------------

namespace {
// The halving walk, reading record i through read(i, bytes).
template <typename Read>
int HalvingWalk(int n, int recordSize, const void *key, HalvingCompare compare, int *lastIndex,
                unsigned char *lastRecord, Read read) {
    if (lastIndex) *lastIndex = -1;
    if (n < 1 || recordSize < 1 || recordSize > 64 || !compare) return -1;
    unsigned char r[64];
    double s = (n + 4) / 2.0;
    long i = std::lround(s) - 1;
    if (i > n - 1) i = n - 1;   // the first probe of a table of 1 to 3 records
    if (i < 0) i = 0;
    int limit = static_cast<int>(std::lround(4.0 * std::log10(static_cast<double>(n)))) + 1;
    for (int iteration = 0; iteration < limit && s > 0.5; ++iteration) {
        if (!read(i, r)) return -1;
        if (lastIndex) *lastIndex = static_cast<int>(i);
        if (lastRecord) std::memcpy(lastRecord, r, recordSize);
        s /= 2.0;
        int c = compare(r, key);
        if (c == 0) return static_cast<int>(i);
        if (c < 0) {
            i += std::lround(s);
            if (i > n - 1) i = n - 1;
        } else {
            i -= std::lround(s);
            if (i < 0) i = 0;
        }
    }
    return -1;
}
}  // namespace

int HalvingSearch(FILE *stream, int n, int recordSize, const void *key, HalvingCompare compare,
                  int *lastIndex, unsigned char *lastRecord) {
    if (lastIndex) *lastIndex = -1;
    if (!stream) return -1;
    return HalvingWalk(n, recordSize, key, compare, lastIndex, lastRecord,
                       [&](long i, unsigned char *r) {
                           return ReadAt(stream, static_cast<int64_t>(i) * recordSize, r, recordSize);
                       });
}

int HalvingSearchBytes(const unsigned char *data, size_t size, int recordSize, const void *key,
                       HalvingCompare compare, int *lastIndex, unsigned char *lastRecord) {
    if (lastIndex) *lastIndex = -1;
    if (!data || recordSize < 1) return -1;
    int n = static_cast<int>(size / static_cast<size_t>(recordSize));
    return HalvingWalk(n, recordSize, key, compare, lastIndex, lastRecord,
                       [&](long i, unsigned char *r) {
                           std::memcpy(r, data + static_cast<size_t>(i) * recordSize, recordSize);
                           return true;
                       });
}

int PositionsWithinTolerance(double a, double b, double c, double d) {
    return (std::fabs(a - c) < 0.09 && std::fabs(b - d) < 0.09) ? 1 : 0;
}
