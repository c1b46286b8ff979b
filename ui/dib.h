// Windows bitmap (.bmp) and RIFF palette files without the Windows API: the
// packed file and info headers, validation of a whole file before any of it is
// handed to GDI, row and colour-table sizes, pixel decoding (for tests and
// tools), writing a picture back as a .bmp, and the RGB <-> HSV conversions.
// Only uncompressed (BI_RGB) pictures of 1, 4, 8, 16, 24 and 32 bits are
// accepted; RLE and bit-field files are refused, as a DIB section cannot take
// RLE bits and bit-field masks are not carried.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#pragma pack(push, 1)
// BITMAPFILEHEADER, 14 bytes, little-endian.
struct DibFileHeader {
    uint16_t type;       // "BM" = 0x4D42
    uint32_t fileSize;
    uint16_t reserved1;
    uint16_t reserved2;
    uint32_t bitsOffset; // offset of the pixel rows from the start of the file
};
// BITMAPINFOHEADER, 40 bytes.
struct DibInfoHeader {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;    // > 0 bottom row first, < 0 top row first
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};
// BITMAPCOREHEADER, 12 bytes (OS/2 style; only read by the colour-count helpers).
struct DibCoreHeader {
    uint32_t bcSize;
    uint16_t bcWidth;
    uint16_t bcHeight;
    uint16_t bcPlanes;
    uint16_t bcBitCount;
};
#pragma pack(pop)
static_assert(sizeof(DibFileHeader) == 14, "BITMAPFILEHEADER is 14 bytes");
static_assert(sizeof(DibInfoHeader) == 40, "BITMAPINFOHEADER is 40 bytes");
static_assert(sizeof(DibCoreHeader) == 12, "BITMAPCOREHEADER is 12 bytes");

constexpr uint16_t kDibFileMagic = 0x4D42;   // "BM"
constexpr int kDibMaxSide = 32767;           // widths and heights accepted
constexpr size_t kDibMaxFileBytes = 256u << 20;
constexpr size_t kDibHeaderBlockBytes = 1064; // 40-byte header + 256 RGBQUADs
constexpr size_t kPaletteFileBytes = 1048;    // RIFF header (24) + 256 x 4

// n rounded up to a multiple of 4.
int AlignRowBytes(int n);
// Bytes of one padded pixel row: ((bits x width + 31) / 32) x 4, computed
// without overflow; 0 for a width or bit count of 0 or less.
uint32_t DibRowStride(int bitCount, int width);

// Colour count of a header (a 40-byte info header or a 12-byte core header,
// told apart by the size field): 0 for none; the low 16 bits of biClrUsed when
// it is not 0; else 2, 16 or 256 for 1, 4 or 8 bits per pixel and 0 otherwise.
int GetDibColorCount(const void *header);
// Colour count x 4 for an info header, x 3 for a core header; 0 for none.
int GetDibColorTableSize(const void *header);

// What a validated .bmp file holds and where.
struct DibLayout {
    DibInfoHeader header;  // as in the file, with biClrUsed set to `colours`
                           // and biSizeImage to `imageBytes`
    int colours;           // colour-table entries (4 bytes each) after the header
    uint32_t tableOffset;  // 54
    uint32_t bitsOffset;   // from the file header
    uint32_t stride;       // bytes per padded row
    uint32_t imageBytes;   // stride x |height|, what a DIB section of the header holds
    int topDown;           // 1 when biHeight < 0
};

// Checks a whole .bmp file held in memory and describes it. 1 when every part
// the picture needs is present and consistent: "BM"; a 40-byte info header;
// one plane; 1, 4, 8, 16, 24 or 32 bits; no compression; width and height
// from 1 to 32767; at most 2^bits colours (256 above 8 bits); the colour table
// inside the file and before the bits; stride x |height| bytes of bits inside
// the file (a larger or smaller biSizeImage is not trusted). Else 0.
int ParseDibFile(const uint8_t *data, size_t size, DibLayout *out);

// The colour of pixel (x, y), y counted from the top row, as a colour value
// 0x00BBGGRR (red in the low byte); -1 when the point is outside the picture
// or an indexed pixel points past the colour table.
int64_t GetDibPixelColor(const DibLayout &layout, const uint8_t *data, int x, int y);

// Reads a whole file of at most kDibMaxFileBytes bytes; 1 on success.
int ReadWholeFile(const char *path, std::vector<uint8_t> *out);
// Writes bytes to "<path>.tmp" and renames it over path, so that a failure
// never leaves a truncated picture where a good one was; 1 on success.
int WriteFileReplacing(const char *path, const std::vector<uint8_t> &bytes);

// A .bmp file of a picture whose info header, colour table (colours x 4 bytes)
// and bits (stride x |height| bytes, in the row order the header's sign says)
// are given. The file is always written bottom row first with a positive
// height; the caller's header is not changed. 1 on success, 0 when the header
// is not a 40-byte uncompressed one within the accepted sizes.
int BuildDibFileBytes(const DibInfoHeader &header, const uint8_t *table, int colours,
                      const uint8_t *bits, std::vector<uint8_t> *out);
// A .bmp file of a packed DIB (info header, colour table, bits, as on the
// clipboard) of which `available` bytes can be read: the file header followed
// by exactly header + table + image bytes. 1 on success, 0 when the block is
// too short or its header is not a valid uncompressed 40-byte one.
int BuildPackedDibFileBytes(const uint8_t *packed, size_t available, std::vector<uint8_t> *out);

// The 256 entries (red, green, blue, flags) of a RIFF palette file: bytes 24
// to 1047. 1 when the file holds them all, else 0 (entries untouched).
int ReadPaletteFileEntries(const char *path, uint8_t entries[256][4]);

// Colour value (red low byte, then green, then blue) to hue in degrees [0, 360)
// (-1 for a grey), saturation and value from 0 to 1. See Foley and van Dam,
// Computer Graphics, section 13.3.4.
void RgbToHsv(uint32_t colour, double *hue, double *saturation, double *value);
// Hue in degrees (wrapped into [0, 360); -1 or NaN counts as 0), saturation and
// value from 0 to 1 (clamped) to a colour value, each channel rounded half away
// from zero.
void HsvToRgb(double hue, double saturation, double value, uint32_t *colour);
