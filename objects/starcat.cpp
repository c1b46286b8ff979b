// Reading and decoding the master star catalogue stars.bin, and the bit
// packings shared with the other star files.
#include "objects/starcat.h"
#include "core/safefile.h"

#include <cmath>
#include <cstring>

#include "core/resstrings.h"
#include "objects/catfile.h"
#include "objects/designationlist.h"
#include "objects/designationtexts.h"
#include "objects/stardes.h"
#include "core/mathutil.h"

namespace {

const int kStarsCatalogue = 0;  // "stars"
const double kArcsecToRadians = kPi / 648000.0;

double MotionRadians(uint32_t code) { return ProperMotionCodeToArcsec(code) * kArcsecToRadians; }

// The RA motion is stored as mu(alpha) cos(delta); at a pole the motion of
// the right ascension itself is undefined and is taken as 0.
double RaMotion(uint32_t code, double dec) {
    double c = std::cos(dec);
    if (std::fabs(c) < 1e-8) return 0.0;  // within 2 mas of a pole
    return MotionRadians(code) / c;
}

void DecodePosition(const unsigned char *b, StarRecord *out) {
    int32_t ra = GetI32(b), dec = GetI32(b + 4);
    out->ra = TurnFractionToRadians(ra);
    out->dec = TurnFractionToRadians(dec);
    out->no_position = (ra == 0 && dec == 0) ? 1 : 0;
}

void DecodeDurchmusterung(uint32_t packed, DurchmusterungBlock *block) {
    int zone, number;
    char sign, suffix;
    UnpackDurchmusterungNumber(packed, &sign, &zone, &number, &suffix);
    block->zone = zone;
    block->sign = sign;
    block->number = number;
    block->suffix = suffix;
}

void ClearIdentifiers(StarRecord *out) {
    out->hip = out->hd = out->ppm = out->gc = out->sao = out->nsv = 0;
    out->variable_record = out->common_name_record = out->hr = out->ccdm_record = 0;
    DurchmusterungBlock *blocks[] = {&out->bd, &out->cd, &out->cp};
    for (DurchmusterungBlock *b : blocks) {
        b->zone = 0;
        b->sign = ' ';
        b->number = 0;
        b->suffix = 0;
    }
    std::memset(out->bayer_flamsteed, 0, sizeof(out->bayer_flamsteed));
    out->extra_a = out->extra_b = out->extra_c = out->extra_d = out->extra_e = 0;
    out->name[0] = '\0';
}

void DecodeTycho(uint32_t word, StarRecord *out) {
    out->tycho_number = static_cast<int32_t>(word & 0x3fff);
    out->tycho_region = static_cast<int32_t>((word >> 14) & 0x3fff);
    out->tycho_component = static_cast<int32_t>(word >> 28);
}

}  // namespace

FILE *OpenStarCatalogue() { return OpenCatalogueFile(kStarsCatalogue, 1); }

long StarRecordOffset(int number) {
    if (number <= 0) return -1;
    if (number < kFirstCompactStar) return static_cast<long>(number - 1) * kStarRecordSize;
    if (number < kFirstUpperStar) return 22L * number + 65065248L;
    return 80L * number - 85263444L;
}

int StarRecordSizeAt(long position) {
    return (position >= kCompactZoneStart && position < kUpperZoneStart) ? kCompactStarRecordSize
                                                                          : kStarRecordSize;
}

int SeekStarRecord(FILE *stream, int number) {
    if (number <= 0 || !stream) return 1;
    return std::fseek(stream, StarRecordOffset(number), SEEK_SET);
}

double ProperMotionCodeToArcsec(uint32_t code) { return (code & 0x1fffff) * 0.00001 - 7.5; }

char *FormatSpectralType(char *text, unsigned int code) {
    static const char *const kLetters[] = {"", "O", "B", "A", "F", "G", "K", "M",
                                           "R", "N", "S", "C", "P", "I", ""};
    static const char *const kLuminosity[] = {"", "I", "II", "III", "IV", "V"};
    text[0] = '\0';
    unsigned int letter = code & 0xf;
    if (code == 0 || letter == 0 || letter == 15) return text;
    unsigned int sub = (code >> 4) & 0x7f;
    unsigned int lum = (code >> 11) & 0x1f;
    char subText[8] = "";
    if (sub != 0) {
        // value = code x 0.1 - 1, whole values as "%d", others "%2.1lf "
        if (sub % 10 == 0) std::snprintf(subText, sizeof(subText), "%d", static_cast<int>(sub / 10) - 1);
        else std::snprintf(subText, sizeof(subText), "%2.1lf ", sub * 0.1 - 1.0);
    }
    std::snprintf(text, 12, "%s%s%s", kLetters[letter], subText, lum <= 5 ? kLuminosity[lum] : "");
    return text;
}

uint32_t ReadUnsigned24(const unsigned char *bytes) { return GetU24(bytes); }

void WriteUnsigned24(unsigned char *bytes, uint32_t value) {
    bytes[0] = static_cast<unsigned char>(value & 0xff);
    bytes[1] = static_cast<unsigned char>((value >> 8) & 0xff);
    bytes[2] = static_cast<unsigned char>((value >> 16) & 0xff);
}

int WriteCatalogueHeader(FILE *stream) {
    static const unsigned char kHeader[4] = {0x03, 0xd9, 0x00, 0x03};  // 55555 = 0xd903
    if (!stream || std::fseek(stream, 0, SEEK_SET) != 0) return 0;
    return SafeWriteAll(stream, kHeader, sizeof kHeader);
}

int SkipCatalogueHeader(FILE *stream) {
    if (!stream) return 0;
    return std::fseek(stream, 4, SEEK_SET) == 0 ? 1 : 0;
}

int DurchmusterungZoneCode(char sign, int zone) {
    if (sign == '+') return 89 - zone;
    if (sign == '-') return zone + 90;
    return 180;
}

void DecodeDurchmusterungZone(int code, char *sign, int *zone) {
    if (code < 90) {
        *sign = '+';
        *zone = 89 - code;
    } else if (code < 180) {
        *sign = '-';
        *zone = code - 90;
    } else {
        *sign = ' ';
        *zone = 0;
    }
}

int PackDurchmusterungNumber(uint32_t *out, char sign, int zone, int number, char suffix) {
    if (!out || number < 0 || number > 32767 || zone < 0 || zone > 255) return 0;
    int code = DurchmusterungZoneCode(sign, zone);
    if (code < 0 || code > 255) return 0;
    int suffixCode = 0;
    if (suffix >= 'a' && suffix <= 'z') suffixCode = suffix - 'a' + 1;
    else if (suffix >= 'A' && suffix <= 'Z') suffixCode = suffix - 'A' + 1;
    else if (suffix != ' ' && suffix != '\0') return 0;
    *out = static_cast<uint32_t>(number) | (static_cast<uint32_t>(code) << 15) |
           (static_cast<uint32_t>(suffixCode) << 23);
    return 1;
}

void UnpackDurchmusterungNumber(uint32_t packed, char *sign, int *zone, int *number, char *suffix) {
    *number = static_cast<int>(packed & 0x7fff);
    DecodeDurchmusterungZone(static_cast<int>((packed >> 15) & 0xff), sign, zone);
    uint32_t s = packed >> 23;
    *suffix = s == 0 ? ' ' : static_cast<char>(s + 96);
}

void DecodeStarRecord(const unsigned char *b, StarRecord *out, const DesignationPreferences *prefs,
                      int flags) {
    std::memset(out, 0, sizeof(*out));
    DecodePosition(b, out);
    out->source_code = b[16];
    out->component = static_cast<char>(b[79]);
    uint32_t w8 = GetU32(b + 8), w12 = GetU32(b + 12);
    if (flags & kStarReadMotion) {
        out->pm_dec = MotionRadians(w12 & 0x1fffff);
        out->pm_ra = RaMotion(w8 & 0x1fffff, out->dec);
    }
    uint32_t w61 = GetU32(b + 61);
    if (flags & (kStarReadMagnitude | kStarReadPhotometry)) {
        uint32_t v = w61 & 0x7fff;
        out->v_magnitude = v == 32767 ? 99.9 : v * 0.01 - 1.6;
    }
    if (flags & kStarReadPhotometry) {
        uint32_t w19 = GetU32(b + 19);
        out->parallax = ((w19 & 0x3ffff) * 0.01 - 920.0) * 0.001;
        out->parallax_error = GetU16(b + 23) * 0.00001;
        out->extra_tenths = GetI16(b + 25) * 0.1;
        int16_t bv = GetI16(b + 27);
        out->b_v = bv == 32767 ? 99.9 : bv * 0.001;
        FormatSpectralType(out->spectral_type, GetU16(b + 17));
        out->extra_byte = b[38];
        out->code_1 = b[76] & 0x3;
        out->code_2 = (b[76] >> 2) & 0x7;
        out->code_3 = (b[76] >> 5) & 0x7;
        out->flags = GetU16(b + 77);
    }
    if (flags & kStarReadIdentifiers) {
        out->common_name_record = static_cast<int32_t>((w8 >> 21) & 0x3ff);
        out->extra_a = static_cast<int32_t>(w12) >> 21;
        uint32_t w19 = GetU32(b + 19);
        out->hr = static_cast<int32_t>(w19 >> 18);
        uint32_t w29 = GetU32(b + 29);
        out->extra_c = static_cast<int32_t>(w29 & 0x7fff);
        out->hip = static_cast<int32_t>(w29 >> 15);
        out->variable_record = GetU16(b + 33);
        uint32_t w35 = GetU32(b + 35);
        out->ppm = static_cast<int32_t>(w35 & 0xfffff);
        if (w35 & (1u << 20)) out->ppm += 700000;
        if (w35 & (1u << 21)) out->ppm += 400000;
        out->extra_byte = static_cast<uint8_t>(w35 >> 24);
        uint32_t w39 = GetU32(b + 39);
        out->hd = static_cast<int32_t>(w39 & 0x7ffff);
        out->extra_b = static_cast<int32_t>(w39 >> 19);
        uint32_t w43 = GetU32(b + 43);
        out->sao = static_cast<int32_t>(w43 & 0x3ffff);
        out->nsv = static_cast<int32_t>(w43 >> 18);
        if (b[77] & 0x40) out->nsv += 16384;
        DecodeDurchmusterung(GetU32(b + 47), &out->bd);
        DecodeDurchmusterung(GetU32(b + 51), &out->cd);
        DecodeDurchmusterung(GetU32(b + 55), &out->cp);
        out->gc = GetU16(b + 59);
        out->ccdm_record = static_cast<int32_t>(w61 >> 15);
        DecodeTycho(GetU32(b + 65), out);
        std::memcpy(out->bayer_flamsteed, b + 69, 3);
        out->extra_d = GetU16(b + 72);
        out->extra_e = GetU16(b + 74);
    }
    if (flags & kStarReadName) {
        // The name is made from every identifier of the star, whatever else
        // was asked for.
        StarRecord full;
        DecodeStarRecord(b, &full, nullptr, 0xffff & ~kStarReadName);
        DesignationList list;
        list.count = 0;
        FormatStarDesignations(prefs, &full, ' ', &list, 1, 0, nullptr, nullptr);
        if (list.count > 0) CopyStringMax(out->name, list.entries[0], sizeof(out->name) - 1);
    }
}

void ExpandCompactStarRecord(const unsigned char *b, StarRecord *out, int flags) {
    std::memset(out, 0, sizeof(*out));
    DecodePosition(b, out);
    uint32_t w8 = GetU32(b + 8), w12 = GetU32(b + 12);
    out->source_code = static_cast<int32_t>((w12 >> 21) & 0xff);
    out->component = 'A';
    if (flags & kStarReadMotion) {
        out->pm_dec = MotionRadians(w12 & 0x1fffff);
        out->pm_ra = RaMotion(w8 & 0x1fffff, out->dec);
    }
    if (flags & 0xffff) {
        uint32_t v = w8 >> 21;
        out->v_magnitude = v == 0x7ff ? 99.9 : v * 0.01 - 1.6;
    }
    if (flags & kStarReadPhotometry) {
        out->spectral_type[0] = '\0';
        out->code_1 = out->code_2 = out->code_3 = 0;
        out->parallax = out->parallax_error = out->extra_tenths = 0.0;
        out->component = ' ';
        int16_t bv = GetI16(b + 16);
        out->b_v = bv == 32767 ? 99.9 : bv * 0.001;
        uint16_t f = 0;
        if (w12 & (1u << 29)) f = 0x100;
        if (w12 & (1u << 30)) f |= 0x2;
        if (w12 & (1u << 31)) f = 0x400;
        out->flags = f;
    }
    DecodeTycho(GetU32(b + 18), out);
    if (flags & kStarReadIdentifiers) {
        ClearIdentifiers(out);
        char text[65];
        FormatTychoDesignation(text, out->tycho_region, out->tycho_number, out->tycho_component);
        CopyStringMax(out->name, text, sizeof(out->name) - 1);
    }
}

int ReadStarRecord(FILE *stream, int number, StarRecord *out, const DesignationPreferences *prefs,
                   int flags) {
    if (!stream || !out || number == 0 || number < -1) return 0;
    long position;
    if (number > 0) {
        position = StarRecordOffset(number);
        if (std::fseek(stream, position, SEEK_SET) != 0) return 0;
    } else {
        position = std::ftell(stream);
        if (position < 0) return 0;
    }
    int size = StarRecordSizeAt(position);
    unsigned char bytes[kStarRecordSize];
    if (std::fread(bytes, 1, static_cast<size_t>(size), stream) != static_cast<size_t>(size)) return 0;
    if (size == kCompactStarRecordSize) ExpandCompactStarRecord(bytes, out, flags);
    else DecodeStarRecord(bytes, out, prefs, flags);
    return 1;
}
