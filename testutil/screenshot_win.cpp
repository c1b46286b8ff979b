// Screenshots for the Windows dialog tests.
#ifdef _WIN32
#include "testutil/screenshot_win.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "testutil/testutil.h"

namespace testutil {

WindowPicture CaptureClientArea(HWND window, bool redraw) {
    WindowPicture out;
    if (redraw)
        RedrawWindow(window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT rc;
    if (!GetClientRect(window, &rc) || rc.right <= 0 || rc.bottom <= 0) return out;
    out.width = rc.right;
    out.height = rc.bottom;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = out.width;
    bi.bmiHeader.biHeight = -out.height;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void *bits = nullptr;
    HDC source = GetDC(window);
    HBITMAP section = CreateDIBSection(source, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC mem = CreateCompatibleDC(source);
    HGDIOBJ old = SelectObject(mem, section);
    BitBlt(mem, 0, 0, out.width, out.height, source, 0, 0, SRCCOPY);
    GdiFlush();
    if (bits) {
        const uint8_t *p = static_cast<const uint8_t *>(bits);
        out.pixels.assign(p, p + static_cast<size_t>(out.Stride()) * out.height);
    }
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(section);
    ReleaseDC(window, source);
    return out;
}

int CountPixelsOfColour(const WindowPicture &picture, COLORREF colour) {
    int n = 0;
    const int stride = picture.Stride();
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const uint8_t *p = &picture.pixels[static_cast<size_t>(y) * stride + x * 3];
            if (p[2] == GetRValue(colour) && p[1] == GetGValue(colour) && p[0] == GetBValue(colour)) ++n;
        }
    return n;
}

bool SaveScreenshot(const WindowPicture &picture, const char *name) {
    if (picture.pixels.empty() || !name) return false;
    std::string folder;
    if (const char *named = std::getenv("GLEANER_SCREENSHOT_DIR")) folder = named;
    if (folder.empty() && !BuildDir().empty()) folder = BuildDir() + "/screenshots";
    if (folder.empty()) return false;
    CreateDirectoryA(folder.c_str(), nullptr);
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    ih.biSize = sizeof ih;
    ih.biWidth = picture.width;
    ih.biHeight = -picture.height;  // the rows are kept top-down
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    const DWORD size = static_cast<DWORD>(picture.pixels.size());
    fh.bfType = 0x4D42;  // "BM"
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + size;
    std::string path = folder + "/" + name + ".bmp";
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(&fh, sizeof fh, 1, f) == 1 && std::fwrite(&ih, sizeof ih, 1, f) == 1 &&
              std::fwrite(picture.pixels.data(), 1, size, f) == size;
    return (std::fclose(f) == 0) && ok;
}

}  // namespace testutil
#endif
