// The master star catalogue stars.bin (reference slot 1): its two record
// layouts, the decoded StarRecord, and the bit packings other star files share
// (24-bit star references, Durchmusterung numbers, proper-motion codes, the
// 4-byte catalogue file header). Star n is the catalogue's star number (1 ...),
// the index of class-5 objects.
//
// stars.bin has no header and three zones: stars 1-1,121,815 in 80-byte
// records at (n - 1) x 80; stars 1,121,816-2,591,873 in 22-byte compact
// records at 22 n + 65,065,248; from 2,591,874 80-byte records at
// 80 n - 85,263,444. All integers are little-endian; angles are signed 32-bit
// turn fractions (radians = value x 2 pi / 2,147,483,647).
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

struct DesignationPreferences;

const int kStarRecordSize = 80;
const int kCompactStarRecordSize = 22;
const int kFirstCompactStar = 1121816;
const int kFirstUpperStar = 2591874;
const long kCompactZoneStart = 89745200L;   // byte offset of star 1,121,816
const long kUpperZoneStart = 122086476L;    // byte offset of star 2,591,874

// Read flags of ReadStarRecord.
const int kStarReadMagnitude = 0x02;
const int kStarReadIdentifiers = 0x08;
const int kStarReadPhotometry = 0x10;
const int kStarReadMotion = 0x20;
const int kStarReadName = 0x80;

#pragma pack(push, 1)
struct DurchmusterungBlock {
    int32_t zone;
    char sign;      // '+', '-' or ' '
    int32_t number;
    char suffix;    // lower-case letter, ' ' for none (0 in a cleared block)
};

struct StarRecord {
    int32_t tycho_region;       // TYC1 (for a GSC star its region)
    int32_t tycho_number;       // TYC2
    int32_t tycho_component;    // TYC3, 0 none
    double ra, dec;             // radians, J2000
    double v_magnitude;         // 99.9 none
    double parallax;            // arcseconds
    double parallax_error;      // arcseconds
    double pm_ra, pm_dec;       // radians per year (RA motion itself, not x cos Dec)
    int32_t source_code;
    int32_t hip;
    double b_v;                 // 99.9 none
    double extra_tenths;
    char spectral_type[12];
    uint8_t extra_byte, code_1, code_2, code_3;
    char component;             // ' ' or 'A', 'B', ...
    int32_t ppm, hd, sao, gc, variable_record, nsv, common_name_record;
    DurchmusterungBlock bd, cd, cp;
    int32_t hr;
    uint8_t bayer_flamsteed[3];  // the 24-bit code, low byte first
    int32_t extra_a, extra_b, extra_c, extra_d, extra_e;
    int32_t ccdm_record;
    uint16_t flags;
    char name[32];
    uint8_t no_position;        // 1 when RA and Dec are both exactly 0
    uint8_t reserved[7];
};
#pragma pack(pop)
static_assert(sizeof(DurchmusterungBlock) == 10, "DurchmusterungBlock layout");
static_assert(sizeof(StarRecord) == 240, "StarRecord layout");
static_assert(offsetof(StarRecord, ra) == 12, "StarRecord layout");
static_assert(offsetof(StarRecord, spectral_type) == 92, "StarRecord layout");
static_assert(offsetof(StarRecord, ppm) == 109, "StarRecord layout");
static_assert(offsetof(StarRecord, hr) == 167, "StarRecord layout");
static_assert(offsetof(StarRecord, name) == 200, "StarRecord layout");

// stars.bin opened "rb"; null before the catalogue directories are set or
// when the file cannot be opened. The caller closes it.
FILE *OpenStarCatalogue();
// Byte offset of star n by the zone table; -1 for n <= 0.
long StarRecordOffset(int number);
// Record size (80 or 22) of the record at a byte position.
int StarRecordSizeAt(long position);
// Positions the stream at star n. NOTE: the stdio convention, 0 on success
// and nonzero (1 for n <= 0, without seeking) on failure.
int SeekStarRecord(FILE *stream, int number);
// Reads star `number` (-1: the record at the current position, sized by the
// zone of that position) and decodes the groups the flags select (always RA,
// Dec, no_position, source_code and component; 0x20 motion; 0x02 or 0x10
// magnitude; 0x10 photometry; 0x08 identifiers; 0x80 the name by prefs,
// 80-byte records only). The record is zeroed first. 1 success, 0 failure
// (number 0 or below -1, null stream or record, failed seek or short read).
int ReadStarRecord(FILE *stream, int number, StarRecord *out, const DesignationPreferences *prefs,
                   int flags);
// Decoders of raw record bytes (the record is zeroed first).
void DecodeStarRecord(const unsigned char *bytes, StarRecord *out,
                      const DesignationPreferences *prefs, int flags);
void ExpandCompactStarRecord(const unsigned char *bytes, StarRecord *out, int flags);

// Proper-motion code (21 bits) to arcseconds per year: code x 0.00001 - 7.5.
double ProperMotionCodeToArcsec(uint32_t code);
// Spectral text of a 16-bit spectral code into 12 bytes ("B9.5 ", "G2III").
char *FormatSpectralType(char *text, unsigned int code);

// 3 little-endian bytes, zero-extended; and the low 3 bytes of a value.
uint32_t ReadUnsigned24(const unsigned char *bytes);
void WriteUnsigned24(unsigned char *bytes, uint32_t value);

// The 4-byte catalogue file header: uint16 55555, then the bytes 0 and 3.
int WriteCatalogueHeader(FILE *stream);
int SkipCatalogueHeader(FILE *stream);

// Durchmusterung packing: bits 0-14 number, 15-22 zone code, 23-31 suffix code
// (0 none, 1 'a'). Zone code: '+' 89 - zone, '-' zone + 90, blank 180.
int DurchmusterungZoneCode(char sign, int zone);
void DecodeDurchmusterungZone(int code, char *sign, int *zone);
// 1 and the packed word; 0 (out untouched) when a field does not fit: a
// number outside 0-32767, a zone outside 0-255 or whose code leaves 0-255,
// or a suffix that is not a letter, blank or NUL. The suffix letter is taken
// case-blind ('a' and 'A' both give code 1); ' ' or NUL give 0.
int PackDurchmusterungNumber(uint32_t *out, char sign, int zone, int number, char suffix);
// Sign, zone, number and suffix (lower-case letter, ' ' when none).
void UnpackDurchmusterungNumber(uint32_t packed, char *sign, int *zone, int *number, char *suffix);
