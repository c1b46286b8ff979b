// Device-independent bitmaps and palettes on GDI (see dib_win.h). Files are
// read whole and checked by ParseDibFile before GDI sees any of their bytes.
#include "ui/dib_win.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// A memory context compatible with another, deleted on scope exit.
struct MemoryDC {
    HDC dc;
    explicit MemoryDC(HDC like) : dc(CreateCompatibleDC(like)) {}
    ~MemoryDC() {
        if (dc) DeleteDC(dc);
    }
    MemoryDC(const MemoryDC &) = delete;
    MemoryDC &operator=(const MemoryDC &) = delete;
};

// An object selected into a context for the scope.
struct Selection {
    HDC dc;
    HGDIOBJ old;
    Selection(HDC d, HGDIOBJ object) : dc(d), old(d && object ? SelectObject(d, object) : nullptr) {}
    ~Selection() {
        if (old) SelectObject(dc, old);
    }
    bool ok() const { return old != nullptr; }
    // Puts the old object back now; false when that fails.
    bool Restore() {
        if (!old) return false;
        HGDIOBJ was = SelectObject(dc, old);
        old = nullptr;
        return was != nullptr;
    }
    Selection(const Selection &) = delete;
    Selection &operator=(const Selection &) = delete;
};

// A palette selected as a background palette (and realised) for the scope.
struct PaletteSelection {
    HDC dc;
    HPALETTE old;
    PaletteSelection(HDC d, HPALETTE palette, bool realise) : dc(d), old(nullptr) {
        if (d && palette) {
            old = SelectPalette(d, palette, TRUE);
            if (realise) RealizePalette(d);
        }
    }
    ~PaletteSelection() {
        if (old) SelectPalette(dc, old, TRUE);
    }
    PaletteSelection(const PaletteSelection &) = delete;
    PaletteSelection &operator=(const PaletteSelection &) = delete;
};

// A locked global block for the scope.
struct GlobalLock_ {
    HGLOBAL block;
    uint8_t *p;
    explicit GlobalLock_(HGLOBAL b) : block(b), p(b ? static_cast<uint8_t *>(GlobalLock(b)) : nullptr) {}
    ~GlobalLock_() {
        if (p) GlobalUnlock(block);
    }
    GlobalLock_(const GlobalLock_ &) = delete;
    GlobalLock_ &operator=(const GlobalLock_ &) = delete;
};

// A bitmap selected into a memory context compatible with dc, ready to be
// drawn onto dc: the palette (if any) selected and realised in both contexts
// for the scope. ok() is false when the context or the selection failed.
struct BitmapSource {
    MemoryDC mem;
    PaletteSelection targetPalette;
    PaletteSelection memoryPalette;
    Selection chosen;
    BitmapSource(HDC dc, HBITMAP bitmap, HPALETTE palette)
        : mem(dc),
          targetPalette(mem.dc ? dc : nullptr, palette, true),
          memoryPalette(mem.dc, palette, true),
          chosen(mem.dc, bitmap) {}
    bool ok() const { return mem.dc && chosen.ok(); }
};

bool BitmapSize(HBITMAP bitmap, BITMAP *bm) {
    return bitmap && GetObjectA(bitmap, sizeof *bm, bm) == static_cast<int>(sizeof *bm);
}

BOOL CopyRect_(HDC dc, HBITMAP bitmap, HPALETTE palette, int dx, int dy, int dw, int dh, int sx, int sy,
               int sw, int sh) {
    if (!dc || !bitmap) return FALSE;
    BitmapSource source(dc, bitmap, palette);
    if (!source.ok()) return FALSE;
    if (dw == sw && dh == sh) return BitBlt(dc, dx, dy, dw, dh, source.mem.dc, sx, sy, SRCCOPY);
    int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    BOOL r = StretchBlt(dc, dx, dy, dw, dh, source.mem.dc, sx, sy, sw, sh, SRCCOPY);
    if (oldMode) SetStretchBltMode(dc, oldMode);
    return r;
}

// A logical palette of n entries given as red, green, blue, (ignored) flags.
HPALETTE PaletteFromEntries(const uint8_t (*rgbx)[4], int n) {
    if (n <= 0 || n > 65536) return nullptr;
    std::vector<uint8_t> buffer(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * static_cast<size_t>(n));
    LOGPALETTE *lp = reinterpret_cast<LOGPALETTE *>(buffer.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = static_cast<WORD>(n);
    for (int i = 0; i < n; ++i) {
        lp->palPalEntry[i].peRed = rgbx[i][0];
        lp->palPalEntry[i].peGreen = rgbx[i][1];
        lp->palPalEntry[i].peBlue = rgbx[i][2];
        lp->palPalEntry[i].peFlags = 0;
    }
    return CreatePalette(lp);
}

}  // namespace

int DisplayHasPalette() {
    HDC screen = GetDC(nullptr);
    if (!screen) return 0;
    int caps = GetDeviceCaps(screen, RASTERCAPS);
    ReleaseDC(nullptr, screen);
    return (caps & RC_PALETTE) ? 1 : 0;
}

HPALETTE MakeDibPalette(HGLOBAL packedDib) {
    if (!packedDib) return nullptr;
    GlobalLock_ lock(packedDib);
    if (!lock.p) return nullptr;
    const size_t available = GlobalSize(packedDib);
    if (available < 4) return nullptr;
    uint32_t headerSize;
    std::memcpy(&headerSize, lock.p, 4);
    if (headerSize != sizeof(DibInfoHeader) && headerSize != sizeof(DibCoreHeader)) return nullptr;
    if (available < headerSize) return nullptr;
    const int n = GetDibColorCount(lock.p);
    const int entryBytes = headerSize == sizeof(DibCoreHeader) ? 3 : 4;
    if (n <= 0 || available < headerSize + static_cast<size_t>(n) * entryBytes) return nullptr;
    // Table entries are blue, green, red (and a reserved byte in RGBQUADs).
    std::vector<uint8_t> rgb(static_cast<size_t>(n) * 4);
    const uint8_t *table = lock.p + headerSize;
    for (int i = 0; i < n; ++i) {
        rgb[4 * i] = table[i * entryBytes + 2];
        rgb[4 * i + 1] = table[i * entryBytes + 1];
        rgb[4 * i + 2] = table[i * entryBytes];
    }
    return PaletteFromEntries(reinterpret_cast<const uint8_t(*)[4]>(rgb.data()), n);
}

HBITMAP LoadDibFile(HDC dc, const char *path, DibImage *image) {
    if (!image) return nullptr;
    image->bitsOwned = 0;
    std::vector<uint8_t> data;
    if (!path || !ReadWholeFile(path, &data)) return nullptr;
    DibLayout layout;
    if (!ParseDibFile(data.data(), data.size(), &layout)) return nullptr;
    const size_t blockBytes =
        std::max(kDibHeaderBlockBytes, sizeof(DibInfoHeader) + 4 * static_cast<size_t>(layout.colours));
    HGLOBAL block = GlobalAlloc(GHND, blockBytes);
    if (!block) return nullptr;
    image->header = block;
    HBITMAP bitmap = nullptr;
    void *bits = nullptr;
    {
        GlobalLock_ lock(block);
        if (!lock.p) return nullptr;
        std::memcpy(lock.p, &layout.header, sizeof layout.header);
        std::memcpy(lock.p + sizeof layout.header, data.data() + layout.tableOffset, 4 * layout.colours);
        bitmap = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO *>(lock.p), DIB_RGB_COLORS, &bits, nullptr, 0);
    }
    if (!bitmap || !bits) {
        if (bitmap) DeleteObject(bitmap);
        if (DisplayHasPalette() && dc) image->palette = CreateHalftonePalette(dc);
        return nullptr;
    }
    // Exactly the bytes the section holds: stride x |height|, checked to be in the file.
    std::memcpy(bits, data.data() + layout.bitsOffset, layout.imageBytes);
    GdiFlush();
    image->bits = bits;
    image->palette = MakeDibPalette(block);
    return bitmap;
}

void FreeDib(HBITMAP *bitmap, DibImage *image) {
    if (image) {
        if (image->header) GlobalFree(image->header);
        image->header = nullptr;
        if (image->bitsOwned && image->bits) {
            HGLOBAL h = GlobalHandle(image->bits);
            if (h) {
                GlobalUnlock(h);
                GlobalFree(h);
            }
        }
        image->bits = nullptr;
        image->bitsOwned = 0;
        if (image->palette) DeleteObject(image->palette);
        image->palette = nullptr;
    }
    if (bitmap && *bitmap) {
        DeleteObject(*bitmap);
        *bitmap = nullptr;
    }
}

int SaveDibFile(const DibImage *image, const char *path) {
    if (!image || !image->header || !image->bits || !path) return 0;
    std::vector<uint8_t> out;
    {
        GlobalLock_ lock(image->header);
        if (!lock.p || GlobalSize(image->header) < sizeof(DibInfoHeader)) return 0;
        DibInfoHeader h;
        std::memcpy(&h, lock.p, sizeof h);
        if (h.biSize != sizeof h) return 0;
        const int colours = GetDibColorCount(lock.p);
        if (GlobalSize(image->header) < sizeof h + 4 * static_cast<size_t>(colours)) return 0;
        if (!BuildDibFileBytes(h, lock.p + sizeof h, colours, static_cast<const uint8_t *>(image->bits), &out))
            return 0;
    }
    return WriteFileReplacing(path, out);
}

int SavePackedDibFile(const char *path, HGLOBAL packedDib) {
    if (!path || !packedDib) return 0;
    std::vector<uint8_t> out;
    {
        GlobalLock_ lock(packedDib);
        if (!lock.p || !BuildPackedDibFileBytes(lock.p, GlobalSize(packedDib), &out)) return 0;
    }
    return WriteFileReplacing(path, out);
}

int GetBitmapWidth(HBITMAP bitmap) {
    BITMAP bm;
    return BitmapSize(bitmap, &bm) ? bm.bmWidth : 0;
}

int GetBitmapHeight(HBITMAP bitmap) {
    BITMAP bm;
    return BitmapSize(bitmap, &bm) ? bm.bmHeight : 0;
}

BOOL DrawDibImage(HDC dc, const RECT *destination, HBITMAP bitmap, const RECT *source, const DibImage *image,
                  int flipVertical, int flipHorizontal) {
    if (!bitmap || !destination || !source) return FALSE;
    // A mirrored copy is asked of the stretch with a destination of negative
    // width or height, starting at its last column or row (the stretch then
    // covers x - |w| + 1 to x): Wine does not mirror for a negative source
    // size, Windows does either way.
    int dx = destination->left, dy = destination->top;
    int dw = destination->right - destination->left, dh = destination->bottom - destination->top;
    if (flipVertical) {
        dy = destination->bottom - 1;
        dh = -dh;
    }
    if (flipHorizontal) {
        dx = destination->right - 1;
        dw = -dw;
    }
    return CopyRect_(dc, bitmap, image ? image->palette : nullptr, dx, dy, dw, dh, source->left, source->top,
                     source->right - source->left, source->bottom - source->top);
}

void DrawTransparentBitmap(HDC dc, int x, int y, int w, int h, HBITMAP bitmap, int sx, int sy, COLORREF key,
                           HPALETTE palette) {
    if (!dc || !bitmap || w <= 0 || h <= 0) return;
    const COLORREF oldBack = GetBkColor(dc), oldText = GetTextColor(dc);
    {
        MemoryDC copyDC(dc), maskDC(dc), sourceDC(dc);
        if (!copyDC.dc || !maskDC.dc || !sourceDC.dc) return;
        HBITMAP copy = CreateCompatibleBitmap(dc, w, h);
        HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
        if (copy && mask) {
            const bool usePalette = palette && DisplayHasPalette();
            PaletteSelection targetPalette(dc, usePalette ? palette : nullptr, true);
            PaletteSelection copyPalette(copyDC.dc, usePalette ? palette : nullptr, false);
            Selection s1(sourceDC.dc, bitmap), s2(copyDC.dc, copy), s3(maskDC.dc, mask);
            if (s1.ok() && s2.ok() && s3.ok()) {
                BitBlt(copyDC.dc, 0, 0, w, h, sourceDC.dc, sx, sy, SRCCOPY);
                // Colour to monochrome: pixels of the background colour become 1.
                SetBkColor(copyDC.dc, key);
                BitBlt(maskDC.dc, 0, 0, w, h, copyDC.dc, 0, 0, SRCCOPY);
                // Monochrome to colour takes 1 as the background colour and 0 as
                // the text colour: key pixels of the copy turn black.
                SetBkColor(copyDC.dc, RGB(0, 0, 0));
                SetTextColor(copyDC.dc, RGB(255, 255, 255));
                BitBlt(copyDC.dc, 0, 0, w, h, maskDC.dc, 0, 0, SRCAND);
                // The target keeps its pixels under the key and is cleared elsewhere,
                // then the copy is painted into the cleared part.
                SetBkColor(dc, RGB(255, 255, 255));
                SetTextColor(dc, RGB(0, 0, 0));
                BitBlt(dc, x, y, w, h, maskDC.dc, 0, 0, SRCAND);
                BitBlt(dc, x, y, w, h, copyDC.dc, 0, 0, SRCPAINT);
            }
        }
        // The selections above are undone before the bitmaps go.
        if (copy) DeleteObject(copy);
        if (mask) DeleteObject(mask);
    }
    SetBkColor(dc, oldBack);
    SetTextColor(dc, oldText);
}

BOOL DrawBitmapAt(HDC dc, HBITMAP bitmap, HPALETTE palette, int x, int y, DWORD rop) {
    BITMAP bm;
    if (!dc || !BitmapSize(bitmap, &bm)) return FALSE;
    BitmapSource source(dc, bitmap, palette);
    if (!source.ok()) return FALSE;
    BOOL r = BitBlt(dc, x, y, bm.bmWidth, bm.bmHeight, source.mem.dc, 0, 0, rop);
    if (!source.chosen.Restore()) return FALSE;
    return r;
}

BOOL StretchBitmapRect(HDC dc, HBITMAP bitmap, HPALETTE palette, const RECT *destination, const RECT *source) {
    if (!bitmap || !destination || !source) return FALSE;
    return CopyRect_(dc, bitmap, palette, destination->left, destination->top,
                     destination->right - destination->left, destination->bottom - destination->top,
                     source->left, source->top, source->right - source->left, source->bottom - source->top);
}

BOOL StretchBitmapTo(HDC dc, HBITMAP bitmap, HPALETTE palette, int x, int y, int w, int h) {
    BITMAP bm;
    if (!dc || !BitmapSize(bitmap, &bm)) return FALSE;
    if (w == 0 || h == 0) {
        // The bitmap's own size in device pixels, as logical units of the context.
        POINT p[2] = {{0, 0}, {bm.bmWidth, bm.bmHeight}};
        DPtoLP(dc, p, 2);
        w = p[1].x - p[0].x;
        h = p[1].y - p[0].y;
    }
    return CopyRect_(dc, bitmap, palette, x, y, w, h, 0, 0, bm.bmWidth, bm.bmHeight);
}

HBITMAP ScaleBitmapCopy(HBITMAP bitmap, int w, int h) {
    BITMAP bm;
    if (!BitmapSize(bitmap, &bm) || w <= 0 || h <= 0) return nullptr;
    MemoryDC from(nullptr), to(nullptr);
    if (!from.dc || !to.dc) return nullptr;
    HBITMAP scaled = CreateBitmap(w, h, bm.bmPlanes, bm.bmBitsPixel, nullptr);
    // A device-dependent bitmap of the source's depth can only be selected
    // when the display has that depth; otherwise the copy takes the display's.
    HGDIOBJ probe = scaled ? SelectObject(to.dc, scaled) : nullptr;
    if (probe) {
        SelectObject(to.dc, probe);
    } else {
        if (scaled) DeleteObject(scaled);
        HDC screen = GetDC(nullptr);
        scaled = screen ? CreateCompatibleBitmap(screen, w, h) : nullptr;
        if (screen) ReleaseDC(nullptr, screen);
        if (!scaled) return nullptr;
    }
    bool ok = false;
    {
        Selection s1(from.dc, bitmap), s2(to.dc, scaled);
        if (s1.ok() && s2.ok()) {
            SetStretchBltMode(to.dc, COLORONCOLOR);
            ok = StretchBlt(to.dc, 0, 0, w, h, from.dc, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY) != 0;
        }
    }
    if (!ok) {
        DeleteObject(scaled);
        return nullptr;
    }
    return scaled;
}

HBITMAP CreateBitmapMask(HBITMAP bitmap, COLORREF key) {
    BITMAP bm;
    if (!BitmapSize(bitmap, &bm)) return nullptr;
    HBITMAP mask = CreateBitmap(bm.bmWidth, bm.bmHeight, 1, 1, nullptr);
    if (!mask) return nullptr;
    MemoryDC source(nullptr), target(nullptr);
    bool ok = false;
    if (source.dc && target.dc) {
        Selection s1(source.dc, bitmap), s2(target.dc, mask);
        if (s1.ok() && s2.ok()) {
            SetBkColor(source.dc, key);
            BitBlt(target.dc, 0, 0, bm.bmWidth, bm.bmHeight, source.dc, 0, 0, SRCCOPY);
            // Mask 1 becomes the key colour, 0 black: XOR turns key pixels black
            // and leaves the others as they are.
            SetTextColor(source.dc, RGB(0, 0, 0));
            BitBlt(source.dc, 0, 0, bm.bmWidth, bm.bmHeight, target.dc, 0, 0, SRCINVERT);
            ok = true;
        }
    }
    if (!ok) {
        DeleteObject(mask);
        return nullptr;
    }
    return mask;
}

HBITMAP CreateDib24(HDC dc, int w, int h) {
    if (w <= 0 || h <= 0) return nullptr;
    BITMAPINFO bi;
    std::memset(&bi, 0, sizeof bi);
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;  // top row first
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    return CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
}

HBITMAP CopyDCRectToBitmap(HDC dc, const RECT *rect) {
    if (!dc || !rect) return nullptr;
    const int w = rect->right - rect->left, h = rect->bottom - rect->top;
    if (w <= 0 || h <= 0) return nullptr;
    HBITMAP bitmap = CreateCompatibleBitmap(dc, w, h);
    if (!bitmap) return nullptr;
    if (!CopyDCToBitmap(dc, bitmap, rect->left, rect->top, w, h)) {
        DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}

BOOL CopyDCToBitmap(HDC dc, HBITMAP bitmap, int x, int y, int w, int h) {
    if (!dc || !bitmap) return FALSE;
    MemoryDC mem(dc);
    if (!mem.dc) return FALSE;
    Selection chosen(mem.dc, bitmap);
    if (!chosen.ok()) return FALSE;
    return BitBlt(mem.dc, 0, 0, w, h, dc, x, y, SRCCOPY);
}

HPALETTE LoadPaletteFile() {
    uint8_t entries[256][4];
    if (!ReadPaletteFileEntries("bin/nj.pal", entries)) return nullptr;
    // The file's flags byte is not taken over: PC_EXPLICIT there would turn an
    // entry into an index of the system palette.
    return PaletteFromEntries(entries, 256);
}
