// Readers of the variable-star catalogue (vindex_f.bin, vref_f.bin) and of
// the suspected variables (nsvref_f.bin), and the search by name.
#include "objects/variablecat.h"

#include <cmath>
#include <cstring>
#include <memory>

#include "core/mathutil.h"
#include "objects/catfile.h"
#include "objects/constellations.h"
#include "objects/starcat.h"
#include "objects/variablenames.h"

struct VariableStarFiles {
    FILE *index;
    FILE *records;
};

namespace {
const int kVariableIndexCatalogue = 21;   // "vindex_f"
const int kVariableRecordCatalogue = 22;  // "vref_f"
const int kNsvCatalogue = 23;             // "nsvref_f"
const int kReferenceSlot = 1;
const double kArcsecToRadians = kPi / 648000.0;
const uint32_t kEighteenBits = 0x3ffff;
const uint32_t kNoEpochDays = 0xffffff;
const uint16_t kNoValue16 = 0xffff;
const int kRemarkOffset = 1053;
const int kHighNumberBit = 0x2000;

struct FileCloser {
    void operator()(FILE *f) const {
        if (f) std::fclose(f);
    }
};

double Motion(uint32_t code) { return ProperMotionCodeToArcsec(code) * kArcsecToRadians; }

double RaMotion(uint32_t code, double dec) {
    const double c = std::cos(dec);
    return c > 1e-9 ? Motion(code) / c : 0.0;
}

int DecodeNumber(uint32_t word) {
    return (int)(word & 0x1fff) + ((word & kHighNumberBit) ? kGreekVariableBase : 0);
}

double DecodeMagnitude18(uint32_t word, double offset) {
    const uint32_t v = word >> 14;
    return v == kEighteenBits ? kVariableNoMagnitude : v * 0.001 - offset;
}

double DecodeLimit(uint16_t v) { return v == kNoValue16 ? kVariableNoMagnitude : v * 0.001 - 8.0; }

// Type words: uint16 class / subtype / uncertain, uint16 of four suffix codes.
int DecodeTypes(const unsigned char *p, int words, VariabilityType *types) {
    int count = 0;
    for (int i = 0; i < words; ++i) {
        const uint16_t head = GetU16(p + 4 * i), suffixes = GetU16(p + 4 * i + 2);
        if (head == kNoValue16) break;
        VariabilityType &t = types[count++];
        std::memset(&t, 0, sizeof t);
        t.typeClass = head & 7;
        t.subtype = (head >> 3) & 0x1f;
        t.uncertain = (head & 0x100) ? kVariabilityUncertain : 0;
        for (int s = 0; s < kMaxVariabilitySuffixes; ++s) {
            const int code = (suffixes >> (4 * s)) & 0xf;
            if (code == 15) break;
            t.suffixes[t.suffixCount++] = code;
        }
    }
    return count;
}

void Decode(const unsigned char *p, VariableStarRecord *out, int flags) {
    const uint32_t w17 = GetU32(p + 17), w22 = GetU32(p + 22), w26 = GetU32(p + 26);
    const uint32_t w39 = GetU32(p + 39), w45 = GetU32(p + 45), w49 = GetU32(p + 49);
    const double dec = TurnFractionToRadians(GetI32(p + 4));
    if (flags & kVariableReadPosition) {
        out->ra = TurnFractionToRadians(GetI32(p));
        out->dec = dec;
        out->pm_ra = RaMotion(GetU24(p + 8), dec);
        out->pm_dec = Motion(GetU24(p + 11));
    }
    if (flags & kVariableReadIdentifiers) {
        out->constellation = p[16];
        out->number = (uint16_t)DecodeNumber(w17);
        out->constellation_2 = p[21];
        out->number_2 = (uint16_t)DecodeNumber(w22);
        out->superscript = p[38] >> 4;
        out->star_1 = (int32_t)(w45 & 0xffffff);
        out->star_2 = (int32_t)(w49 & 0xffffff);
        out->name[0] = '\0';
        FormatVariableStarName(out->constellation, out->number, out->superscript, out->name);
    }
    if (flags & kVariableReadMagnitudes) {
        out->max_magnitude = DecodeMagnitude18(w17, 6.0);
        out->min_magnitude = DecodeMagnitude18(w22, 1.0);
        out->max_band = (uint8_t)(w45 >> 24);
        out->min_band = (uint8_t)(w49 >> 24);
        out->bright_limit = DecodeLimit(GetU16(p + 69));
        out->faint_limit = DecodeLimit(GetU16(p + 71));
        out->extra_byte = p[73];
    }
    if (flags & kVariableReadTimes) {
        float fraction, period;
        std::memcpy(&fraction, p + 30, 4);
        std::memcpy(&period, p + 34, 4);
        const uint32_t days = w26 & 0xffffff;
        out->epoch = days == kNoEpochDays ? -1.0 : days + (double)fraction;
        out->epoch_code = (w26 >> 24) == 0xff ? kNoValue16 : (uint16_t)(w26 >> 24);
        out->period = std::isfinite(period) ? period : 0.0;
        const uint16_t remark = GetU16(p + 43);
        out->remark = remark == kNoValue16 ? 0 : (uint16_t)(remark + kRemarkOffset);
        out->type_count = (uint8_t)DecodeTypes(p + 53, kMaxVariableTypes, out->types);
    }
    out->flag_0 = w39 & 1;
    out->flag_1 = (w39 >> 1) & 1;
    out->flag_2 = (w39 >> 2) & 1;
    out->flag_3 = (w39 >> 3) & 1;
    out->flag_4 = (w39 >> 4) & 1;
    out->flag_5 = (w39 >> 5) & 1;
    out->code_6_7 = (w39 >> 6) & 3;
    out->code_8_10 = (w39 >> 8) & 7;
    out->code_11_12 = (w39 >> 11) & 3;
    out->flag_13 = (w39 >> 13) & 1;
    const int letter = p[38] & 0xf;
    out->component = letter == 0 ? ' ' : (char)(64 + letter);
    out->extra_word = GetU16(p + 14);
}

// Reads the record at a byte offset of vref_f.bin; false on failure.
bool ReadRecordAt(VariableStarFiles *files, int64_t offset, VariableStarRecord *out, int flags) {
    unsigned char bytes[kVariableRecordSize];
    if (!ReadAt(files->records, offset, bytes, sizeof bytes)) return false;
    Decode(bytes, out, flags);
    return true;
}
}  // namespace

VariableStarFiles *OpenVariableStarFiles() {
    std::unique_ptr<FILE, FileCloser> index(OpenCatalogueFile(kVariableIndexCatalogue, kReferenceSlot));
    if (!index) return nullptr;
    std::unique_ptr<FILE, FileCloser> records(
        OpenCatalogueFile(kVariableRecordCatalogue, kReferenceSlot));
    if (!records) return nullptr;
    return new VariableStarFiles{index.release(), records.release()};
}

void CloseVariableStarFiles(VariableStarFiles *files) {
    if (!files) return;
    if (files->index) std::fclose(files->index);
    if (files->records) std::fclose(files->records);
    delete files;
}

int CountVariableStars(VariableStarFiles *files) {
    if (!files || !files->records) return 0;
    const int64_t size = StreamSize(files->records);
    return size > 0 ? (int)(size / kVariableRecordSize) : 0;
}

int ReadVariableStar(VariableStarFiles *files, int r, VariableStarRecord *out, int flags) {
    if (!files || !files->records || !out) return 0;
    if (r == -1) {
        unsigned char bytes[kVariableRecordSize];
        if (std::fread(bytes, 1, sizeof bytes, files->records) != sizeof bytes) return 0;
        Decode(bytes, out, flags);
        return 1;
    }
    if (r < 1 || r > CountVariableStars(files)) return 0;
    return ReadRecordAt(files, (int64_t)(r - 1) * kVariableRecordSize, out, flags) ? 1 : 0;
}

int FindVariableStarsByName(VariableStarFiles *files, const char *text, VariableStarRecord *out,
                            int flags) {
    if (!files || !files->index || !out) return 0;
    int constellation = 0, numbers[2] = {0, 0}, superscript = 0;
    if (!ParseVariableStarName(&constellation, numbers, &superscript, text)) return 0;
    const int number = numbers[0];
    if (constellation < 1 || constellation > kConstellationTableSize || number <= 0) return 0;
    unsigned char entry[kVariableIndexEntrySize];
    if (!ReadAt(files->index, (int64_t)(constellation - 1) * kVariableIndexEntrySize, entry,
                sizeof entry))
        return -1;
    const int64_t first = GetU32(entry);
    const int lowCount = GetU16(entry + 4);  // the first high-numbered record's index
    const int highCount = GetU16(entry + 6);
    if (first % kVariableRecordSize != 0) return -1;
    const int total = CountVariableStars(files);
    const int firstRecord = (int)(first / kVariableRecordSize);  // 0-based
    const int wanted = flags | kVariableReadIdentifiers;
    // The numbered stars sit at their number - 1; a number past the
    // constellation's count, or a record that is not that star (a gap in the
    // numbering), is not found rather than some neighbour's record.
    int from = 0, to = 0;
    if (number < kGreekVariableBase) {
        if (number > lowCount) return 0;
        from = number - 1;
        to = number;
    } else {
        from = lowCount;
        to = lowCount + highCount;
    }
    for (int k = from; k < to; ++k) {
        if (firstRecord + k >= total) return 0;
        const int64_t offset = first + (int64_t)k * kVariableRecordSize;
        std::memset(out, 0, sizeof *out);
        if (!ReadRecordAt(files, offset, out, wanted)) return -1;
        if (out->constellation == constellation && out->number == number) {
            out->record_number = (uint16_t)(firstRecord + k + 1);
            return 1;
        }
    }
    std::memset(out, 0, sizeof *out);
    return 0;
}

int NsvRecordIndex(int nsv) {
    if (nsv >= 1 && nsv <= kLastNsvOfFirstRun) return nsv - 1;
    if (nsv >= kFirstNsvOfSecondRun) return nsv - kFirstNsvOfSecondRun + kLastNsvOfFirstRun;
    return -1;
}

FILE *OpenNsvFile() { return OpenCatalogueFile(kNsvCatalogue, kReferenceSlot); }

int ReadNsvRecord(FILE *stream, int nsv, int, NsvRecord *out, int flags) {
    if (!stream || !out) return 0;
    unsigned char p[kNsvRecordSize];
    int index;
    if (nsv == -1) {
        const long position = std::ftell(stream);
        if (position < 0 || position % kNsvRecordSize != 0) return 0;
        index = (int)(position / kNsvRecordSize);
        if (std::fread(p, 1, sizeof p, stream) != sizeof p) return 0;
        nsv = index < kLastNsvOfFirstRun ? index + 1 : index - kLastNsvOfFirstRun + kFirstNsvOfSecondRun;
    } else {
        index = NsvRecordIndex(nsv);
        if (index < 0) return 0;
        if (!ReadAt(stream, (int64_t)index * kNsvRecordSize, p, sizeof p)) return 0;
    }
    const uint32_t w8 = GetU32(p + 8);
    const uint16_t f = GetU16(p + 19);
    if (flags & kVariableReadPosition) {
        out->ra = TurnFractionToRadians(GetI32(p));
        out->dec = TurnFractionToRadians(GetI32(p + 4));
        out->pm_ra = RaMotion(GetU24(p + 32), out->dec);
        out->pm_dec = Motion(GetU24(p + 35));
    }
    if (flags & kVariableReadIdentifiers) {
        out->star_1 = (int32_t)GetU24(p + 12);
        out->star_2 = (int32_t)GetU24(p + 15);
        std::snprintf(out->name, sizeof out->name, "NSV %d", nsv);
    }
    if (flags & kVariableReadMagnitudes) {
        const uint32_t m1 = w8 & 0xfff, m2 = (w8 >> 12) & 0xfff;
        out->magnitude_1 = m1 == 0xfff ? kVariableNoMagnitude : m1 * 0.01 - 1.6;
        out->magnitude_2 = m2 == 0xfff ? kVariableNoMagnitude : m2 * 0.01 - 3.7;
        out->byte_11 = (uint8_t)(w8 >> 24);
    }
    if (flags & kVariableReadTimes) {
        out->code_0_1 = f & 3;
        out->flag_2 = (f >> 2) & 1;
        out->flag_3 = (f >> 3) & 1;
        out->flag_5 = (f >> 5) & 1;
        out->flag_6 = (f >> 6) & 1;
        out->code_7_15 = (uint16_t)(f >> 7);
        out->type_count = DecodeTypes(p + 21, kMaxNsvTypes, out->types);
        out->byte_18 = p[18];
    }
    out->flag_4 = (f >> 4) & 1;
    return 1;
}
