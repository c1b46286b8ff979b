// Windows bitmap and RIFF palette files without the Windows API: validation,
// sizes, pixel decoding, writing, and the RGB <-> HSV conversions.
#include "ui/dib.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/fsys.h"
#include "core/safefile.h"

namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;
constexpr uint32_t kBiBitfields = 3;

bool IsAcceptedBitCount(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// Colours a picture of this depth may carry: 2^bits up to 8 bits, else an
// optional table of at most 256 entries.
uint32_t MaxColours(int bits) { return bits <= 8 ? (1u << bits) : 256u; }

uint32_t ImpliedColours(int bits) { return bits <= 8 ? (1u << bits) : 0u; }

// Header checks shared by the reader and the writers: everything except the
// placement inside a file. Fills colours, stride and image bytes.
bool CheckInfoHeader(const DibInfoHeader &h, uint32_t *colours, uint32_t *stride,
                     uint32_t *imageBytes) {
    if (h.biSize != sizeof(DibInfoHeader)) return false;
    if (h.biPlanes != 1) return false;
    if (!IsAcceptedBitCount(h.biBitCount)) return false;
    if (h.biCompression != kBiRgb) return false;
    if (h.biWidth < 1 || h.biWidth > kDibMaxSide) return false;
    if (h.biHeight == 0 || h.biHeight < -kDibMaxSide || h.biHeight > kDibMaxSide) return false;
    uint32_t c = h.biClrUsed ? h.biClrUsed : ImpliedColours(h.biBitCount);
    if (c > MaxColours(h.biBitCount)) return false;
    uint32_t s = DibRowStride(h.biBitCount, h.biWidth);
    // 32767 rows of at most 131068 bytes stay below 2^32.
    uint64_t image = static_cast<uint64_t>(s) * static_cast<uint64_t>(std::abs(h.biHeight));
    if (image > 0xFFFFFFFFull) return false;
    *colours = c;
    *stride = s;
    *imageBytes = static_cast<uint32_t>(image);
    return true;
}

void PutFileHeader(std::vector<uint8_t> *out, uint32_t fileSize, uint32_t bitsOffset) {
    DibFileHeader fh{};
    fh.type = kDibFileMagic;
    fh.fileSize = fileSize;
    fh.bitsOffset = bitsOffset;
    const uint8_t *p = reinterpret_cast<const uint8_t *>(&fh);
    out->insert(out->end(), p, p + sizeof fh);
}

}  // namespace

int AlignRowBytes(int n) { return (n + 3) & ~3; }

uint32_t DibRowStride(int bitCount, int width) {
    if (bitCount <= 0 || width <= 0) return 0;
    uint64_t bits = static_cast<uint64_t>(bitCount) * static_cast<uint64_t>(width);
    return static_cast<uint32_t>(((bits + 31) / 32) * 4);
}

int GetDibColorCount(const void *header) {
    if (!header) return 0;
    uint32_t size;
    std::memcpy(&size, header, 4);
    int bits;
    if (size == sizeof(DibCoreHeader)) {
        DibCoreHeader c;
        std::memcpy(&c, header, sizeof c);
        bits = c.bcBitCount;
    } else {
        DibInfoHeader h;
        std::memcpy(&h, header, sizeof h);
        if (h.biClrUsed) return static_cast<int>(h.biClrUsed & 0xFFFF);
        bits = h.biBitCount;
    }
    switch (bits) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

int GetDibColorTableSize(const void *header) {
    if (!header) return 0;
    uint32_t size;
    std::memcpy(&size, header, 4);
    return GetDibColorCount(header) * (size == sizeof(DibCoreHeader) ? 3 : 4);
}

int ParseDibFile(const uint8_t *data, size_t size, DibLayout *out) {
    if (!data || !out) return 0;
    if (size < sizeof(DibFileHeader) + sizeof(DibInfoHeader)) return 0;
    DibFileHeader fh;
    std::memcpy(&fh, data, sizeof fh);
    if (fh.type != kDibFileMagic) return 0;
    DibInfoHeader h;
    std::memcpy(&h, data + sizeof fh, sizeof h);
    uint32_t colours, stride, imageBytes;
    if (!CheckInfoHeader(h, &colours, &stride, &imageBytes)) return 0;
    const uint64_t tableOffset = sizeof fh + sizeof h;
    const uint64_t tableEnd = tableOffset + 4ull * colours;
    if (tableEnd > size) return 0;
    if (fh.bitsOffset < tableEnd) return 0;
    if (static_cast<uint64_t>(fh.bitsOffset) + imageBytes > size) return 0;
    h.biClrUsed = colours;
    h.biSizeImage = imageBytes;
    out->header = h;
    out->colours = static_cast<int>(colours);
    out->tableOffset = static_cast<uint32_t>(tableOffset);
    out->bitsOffset = fh.bitsOffset;
    out->stride = stride;
    out->imageBytes = imageBytes;
    out->topDown = h.biHeight < 0 ? 1 : 0;
    return 1;
}

int64_t GetDibPixelColor(const DibLayout &layout, const uint8_t *data, int x, int y) {
    const int width = layout.header.biWidth;
    const int height = std::abs(layout.header.biHeight);
    if (!data || x < 0 || y < 0 || x >= width || y >= height) return -1;
    const int row = layout.topDown ? y : height - 1 - y;
    const uint8_t *p = data + layout.bitsOffset + static_cast<size_t>(row) * layout.stride;
    uint32_t index;
    switch (layout.header.biBitCount) {
    case 1: index = (p[x >> 3] >> (7 - (x & 7))) & 1; break;
    case 4: index = (x & 1) ? (p[x >> 1] & 0x0F) : (p[x >> 1] >> 4); break;
    case 8: index = p[x]; break;
    case 16: {
        // Uncompressed 16-bit pixels are 5-5-5 (x, red, green, blue from the top bit).
        uint32_t v = p[2 * x] | (p[2 * x + 1] << 8);
        uint32_t r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
        r = (r << 3) | (r >> 2);
        g = (g << 3) | (g >> 2);
        b = (b << 3) | (b >> 2);
        return r | (g << 8) | (b << 16);
    }
    case 24: {
        const uint8_t *q = p + 3 * x;
        return q[2] | (q[1] << 8) | (q[0] << 16);
    }
    case 32: {
        const uint8_t *q = p + 4 * x;
        return q[2] | (q[1] << 8) | (q[0] << 16);
    }
    default: return -1;
    }
    if (index >= static_cast<uint32_t>(layout.colours)) return -1;
    const uint8_t *e = data + layout.tableOffset + 4 * index;  // blue, green, red, 0
    return e[2] | (e[1] << 8) | (e[0] << 16);
}

int ReadWholeFile(const char *path, std::vector<uint8_t> *out) {
    if (!path || !out) return 0;
    FILE *f = std::fopen(path, "rb");
    if (!f) return 0;
    int ok = 0;
    if (std::fseek(f, 0, SEEK_END) == 0) {
        long n = std::ftell(f);
        if (n >= 0 && static_cast<unsigned long>(n) <= kDibMaxFileBytes &&
            std::fseek(f, 0, SEEK_SET) == 0) {
            try {
                out->assign(static_cast<size_t>(n), 0);
                ok = std::fread(out->data(), 1, out->size(), f) == out->size();
            } catch (...) {
                ok = 0;
            }
        }
    }
    std::fclose(f);
    if (!ok) out->clear();
    return ok;
}

int WriteFileReplacing(const char *path, const std::vector<uint8_t> &bytes) {
    if (!path || !*path) return 0;
    return WriteWholeFileSafely(path, bytes.data(), bytes.size());
}

int BuildDibFileBytes(const DibInfoHeader &header, const uint8_t *table, int colours,
                      const uint8_t *bits, std::vector<uint8_t> *out) {
    if (!out || !bits) return 0;
    uint32_t allowed, stride, imageBytes;
    if (!CheckInfoHeader(header, &allowed, &stride, &imageBytes)) return 0;
    if (colours < 0 || static_cast<uint32_t>(colours) > MaxColours(header.biBitCount)) return 0;
    if (colours > 0 && !table) return 0;
    const int height = std::abs(header.biHeight);
    DibInfoHeader h = header;
    h.biHeight = height;
    h.biSizeImage = imageBytes;
    h.biClrUsed = static_cast<uint32_t>(colours);
    const uint32_t bitsOffset = static_cast<uint32_t>(sizeof(DibFileHeader) + sizeof h + 4u * colours);
    try {
        out->clear();
        out->reserve(static_cast<size_t>(bitsOffset) + imageBytes);
        PutFileHeader(out, bitsOffset + imageBytes, bitsOffset);
        const uint8_t *hp = reinterpret_cast<const uint8_t *>(&h);
        out->insert(out->end(), hp, hp + sizeof h);
        if (colours > 0) out->insert(out->end(), table, table + 4 * colours);
        if (header.biHeight < 0) {
            // Rows held top row first are written bottom row first.
            for (int r = height - 1; r >= 0; --r) {
                const uint8_t *row = bits + static_cast<size_t>(r) * stride;
                out->insert(out->end(), row, row + stride);
            }
        } else {
            out->insert(out->end(), bits, bits + imageBytes);
        }
    } catch (...) {
        out->clear();
        return 0;
    }
    return 1;
}

int BuildPackedDibFileBytes(const uint8_t *packed, size_t available, std::vector<uint8_t> *out) {
    if (!packed || !out || available < sizeof(DibInfoHeader)) return 0;
    DibInfoHeader h;
    std::memcpy(&h, packed, sizeof h);
    if (h.biSize != sizeof h || !IsAcceptedBitCount(h.biBitCount)) return 0;
    if (h.biWidth < 1 || h.biWidth > kDibMaxSide || h.biHeight == 0 ||
        h.biHeight < -kDibMaxSide || h.biHeight > kDibMaxSide)
        return 0;
    uint64_t masks = 0, image;
    if (h.biCompression == kBiBitfields) {
        if (h.biBitCount != 16 && h.biBitCount != 32) return 0;
        masks = 12;  // red, green and blue masks follow the header
    }
    if (h.biCompression == kBiRle8 || h.biCompression == kBiRle4) {
        if (h.biHeight < 0 || h.biSizeImage == 0) return 0;
        image = h.biSizeImage;
    } else if (h.biCompression == kBiRgb || h.biCompression == kBiBitfields) {
        image = static_cast<uint64_t>(DibRowStride(h.biBitCount, h.biWidth)) * std::abs(h.biHeight);
    } else {
        return 0;
    }
    uint32_t colours = h.biClrUsed ? h.biClrUsed : ImpliedColours(h.biBitCount);
    if (colours > MaxColours(h.biBitCount)) return 0;
    const uint64_t headerPart = sizeof h + masks + 4ull * colours;
    const uint64_t total = headerPart + image;
    if (total > available || total + sizeof(DibFileHeader) > 0xFFFFFFFFull) return 0;
    try {
        out->clear();
        out->reserve(static_cast<size_t>(total) + sizeof(DibFileHeader));
        PutFileHeader(out, static_cast<uint32_t>(total + sizeof(DibFileHeader)),
                      static_cast<uint32_t>(headerPart + sizeof(DibFileHeader)));
        out->insert(out->end(), packed, packed + total);
    } catch (...) {
        out->clear();
        return 0;
    }
    return 1;
}

int ReadPaletteFileEntries(const char *path, uint8_t entries[256][4]) {
    if (!path || !entries) return 0;
    FILE *f = std::fopen(path, "rb");
    if (!f) return 0;
    uint8_t buffer[1024];
    bool ok = std::fseek(f, 24, SEEK_SET) == 0 && std::fread(buffer, 1, sizeof buffer, f) == sizeof buffer;
    std::fclose(f);
    if (!ok) return 0;
    std::memcpy(entries, buffer, sizeof buffer);
    return 1;
}

void RgbToHsv(uint32_t colour, double *hue, double *saturation, double *value) {
    const double r = (colour & 0xFF) / 255.0;
    const double g = ((colour >> 8) & 0xFF) / 255.0;
    const double b = ((colour >> 16) & 0xFF) / 255.0;
    const double mx = std::max(r, std::max(g, b));
    const double mn = std::min(r, std::min(g, b));
    const double s = mx > 0 ? (mx - mn) / mx : 0.0;
    double h = -1.0;
    if (s != 0) {
        const double d = mx - mn;
        const double rc = (mx - r) / d, gc = (mx - g) / d, bc = (mx - b) / d;
        // A later test wins a tie: blue over green over red.
        if (r == mx) h = bc - gc;
        if (g == mx) h = 2 + rc - bc;
        if (b == mx) h = 4 + gc - rc;
        h *= 60;
        if (h < 0) h += 360;
    }
    if (hue) *hue = h;
    if (saturation) *saturation = s;
    if (value) *value = mx;
}

void HsvToRgb(double hue, double saturation, double value, uint32_t *colour) {
    if (!colour) return;
    auto clamp01 = [](double x) { return x > 0 ? (x < 1 ? x : 1.0) : 0.0; };  // NaN -> 0
    const double s = clamp01(saturation);
    const double v = clamp01(value);
    double r, g, b;
    if (s == 0) {
        r = g = b = v;
    } else {
        double hh = (std::isfinite(hue) && hue != -1.0) ? std::fmod(hue, 360.0) : 0.0;
        if (hh < 0) hh += 360.0;
        if (hh >= 360.0) hh = 0.0;
        const double h = hh / 60.0;
        int i = static_cast<int>(h);
        if (i > 5) i = 5;
        const double f = h - i;
        const double p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
        switch (i) {
        case 0: r = v; g = t; b = p; break;
        case 1: r = q; g = v; b = p; break;
        case 2: r = p; g = v; b = t; break;
        case 3: r = p; g = q; b = v; break;
        case 4: r = t; g = p; b = v; break;
        default: r = v; g = p; b = q; break;
        }
    }
    auto channel = [](double x) { return static_cast<uint32_t>(std::floor(x * 255.0 + 0.5)); };
    *colour = channel(r) | (channel(g) << 8) | (channel(b) << 16);
}
