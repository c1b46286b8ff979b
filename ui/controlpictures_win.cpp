// The arrow and check-mark bitmaps of the controls: the module's bitmap
// resource, or the built-in pattern drawn into a 24-bit DIB section.
#include "ui/controls_win.h"

#include <cstdint>
#include <cstring>

#include "ui/controlpictures.h"

HBITMAP LoadControlBitmap(HINSTANCE instance, int id) {
    HBITMAP bitmap = LoadBitmapA(instance, MAKEINTRESOURCEA(id));
    if (bitmap) return bitmap;
    const ControlPicture *picture = FindControlPicture(id);
    if (!picture) return nullptr;
    BITMAPINFO bi;
    std::memset(&bi, 0, sizeof bi);
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = picture->width;
    bi.bmiHeader.biHeight = -picture->height;  // top row first
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    bitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) return bitmap;
    const int stride = (picture->width * 3 + 3) & ~3;
    uint8_t *rows = static_cast<uint8_t *>(bits);
    for (int y = 0; y < picture->height; ++y) {
        for (int x = 0; x < picture->width; ++x) {
            uint32_t c = ControlPicturePixel(*picture, x, y);
            uint8_t *p = rows + y * stride + x * 3;
            p[0] = static_cast<uint8_t>(c >> 16);  // blue
            p[1] = static_cast<uint8_t>(c >> 8);   // green
            p[2] = static_cast<uint8_t>(c);        // red
        }
    }
    GdiFlush();
    return bitmap;
}
