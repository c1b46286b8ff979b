// Device-independent bitmaps and palettes on GDI: .bmp files loaded into DIB
// sections with their palettes and saved back, bitmaps drawn stretched,
// mirrored or with one colour transparent, masks and copies, the suite's
// 256-colour palette file. The file formats themselves are in ui/dib.h.
#pragma once
#include <windows.h>

#include <cstdint>

#include "ui/dib.h"

// A loaded picture. The bitmap handle is kept by the caller beside it.
struct DibImage {
    HGLOBAL header;    // movable block: BITMAPINFOHEADER + colour table (>= 1064 bytes)
    void *bits;        // the pixel bits of the DIB section
    HPALETTE palette;  // made from the colour table, or none
    int32_t bitsOwned; // 1 when bits is a global block FreeDib must free
};

// 1 when the screen is a palette device (RC_PALETTE).
int DisplayHasPalette();
// A logical palette (version 0x300) of the colour table of a packed DIB
// (RGBQUAD or RGBTRIPLE entries, flags 0); none without a table.
HPALETTE MakeDibPalette(HGLOBAL packedDib);
// Loads a .bmp file into a DIB section and fills the image (header block,
// bits, palette). The whole file is checked first (see ParseDibFile); none
// for a missing or refused file. A header block allocated before a failure
// stays in the image for FreeDib.
HBITMAP LoadDibFile(HDC dc, const char *path, DibImage *image);
// Frees the header block, the bitmap, owned bits and the palette, and clears
// each handle.
void FreeDib(HBITMAP *bitmap, DibImage *image);
// Writes the image as a .bmp file (bottom row first) through "<path>.tmp", so
// a failure leaves an existing file as it was. 1 on success.
int SaveDibFile(const DibImage *image, const char *path);
// Writes a packed DIB held in a global block as a .bmp file: exactly its
// header, colour table (or masks) and image bytes. 1 on success.
int SavePackedDibFile(const char *path, HGLOBAL packedDib);

int GetBitmapWidth(HBITMAP bitmap);
int GetBitmapHeight(HBITMAP bitmap);

// Copies the source rectangle of the bitmap to the destination rectangle
// (stretched with COLORONCOLOR when the sizes differ), optionally mirrored,
// with the image's palette. The copy result; 0 for no bitmap.
BOOL DrawDibImage(HDC dc, const RECT *destination, HBITMAP bitmap, const RECT *source,
                  const DibImage *image, int flipVertical, int flipHorizontal);
// Draws w x h pixels of the bitmap from (sx, sy) at (x, y), leaving every pixel
// of the key colour transparent.
void DrawTransparentBitmap(HDC dc, int x, int y, int w, int h, HBITMAP bitmap, int sx, int sy,
                           COLORREF key, HPALETTE palette);
// The whole bitmap at (x, y) with the raster operation. 0 for no bitmap.
BOOL DrawBitmapAt(HDC dc, HBITMAP bitmap, HPALETTE palette, int x, int y, DWORD rop);
BOOL StretchBitmapRect(HDC dc, HBITMAP bitmap, HPALETTE palette, const RECT *destination,
                       const RECT *source);
// The whole bitmap at (x, y), stretched to w x h when both are non-zero, else
// at its own size converted to the context's logical units.
BOOL StretchBitmapTo(HDC dc, HBITMAP bitmap, HPALETTE palette, int x, int y, int w, int h);
// A new device-dependent bitmap of w x h with the source's planes and depth
// (the display's depth when a bitmap of the source's cannot be used there),
// holding the whole source stretched into it.
HBITMAP ScaleBitmapCopy(HBITMAP bitmap, int w, int h);
// A monochrome mask, white where the bitmap has the key colour; those pixels
// of the bitmap itself become black.
HBITMAP CreateBitmapMask(HBITMAP bitmap, COLORREF key);
// A top-down 24-bit DIB section.
HBITMAP CreateDib24(HDC dc, int w, int h);
HBITMAP CopyDCRectToBitmap(HDC dc, const RECT *rect);
BOOL CopyDCToBitmap(HDC dc, HBITMAP bitmap, int x, int y, int w, int h);
// The 256-entry palette of "bin/nj.pal" (relative to the current folder), or
// none when the file is missing or shorter than 1048 bytes. Entry flags are 0.
HPALETTE LoadPaletteFile();
