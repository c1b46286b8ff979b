// The picture controls Dib, BMPicture and animDIB (see picturectl_win.h).
#include "ui/picturectl_win.h"

#include <new>

#include "ui/controlmsgs.h"
#include "ui/controls_win.h"
#include "ui/dib_win.h"
#include "ui/picturectl.h"

namespace {

enum PictureKind { kDibKind, kBMPictureKind };

HBITMAP HeldBitmap(HWND w) { return reinterpret_cast<HBITMAP>(GetWindowLongPtrA(w, kDibBitmapOffset)); }
DibImage *HeldImage(HWND w) { return reinterpret_cast<DibImage *>(GetWindowLongPtrA(w, kDibImageOffset)); }

void StorePicture(HWND w, HBITMAP bitmap, DibImage *image) {
    SetWindowLongPtrA(w, kDibBitmapOffset, reinterpret_cast<LONG_PTR>(bitmap));
    SetWindowLongPtrA(w, kDibImageOffset, reinterpret_cast<LONG_PTR>(image));
}

// Frees the held picture and clears both slots at once, so that no later
// message (a failed reload, WM_DESTROY) can free them a second time.
void ReleasePicture(HWND w) {
    HBITMAP bitmap = HeldBitmap(w);
    DibImage *image = HeldImage(w);
    StorePicture(w, nullptr, nullptr);
    if (image) {
        FreeDib(&bitmap, image);
        delete image;
    } else if (bitmap) {
        DeleteObject(bitmap);
    }
}

// Loads the picture file; the control holds both a bitmap and its image, or
// neither.
void LoadPicture(HWND w, const char *path) {
    DibImage *image = new (std::nothrow) DibImage();
    if (!image) return;
    HDC dc = GetDC(w);
    HBITMAP bitmap = LoadDibFile(dc, path, image);
    ReleaseDC(w, dc);
    if (!bitmap) {
        FreeDib(&bitmap, image);
        delete image;
        return;
    }
    StorePicture(w, bitmap, image);
}

bool MakePath(PictureKind kind, char *path, size_t size, const char *name, bool fromSetText) {
    if (kind == kDibKind)
        return MakeDibPicturePath(path, size, name, DisplayHasPalette(), fromSetText ? 1 : 0) != 0;
    return MakeBMPicturePath(path, size, name, fromSetText ? 1 : 0) != 0;
}

void PaintPicture(HWND w) {
    HDC dc = GetDC(w);
    HBITMAP bitmap = HeldBitmap(w);
    DibImage *image = HeldImage(w);
    if (dc && bitmap && image) {
        const int pw = GetBitmapWidth(bitmap), ph = GetBitmapHeight(bitmap);
        if (GetWindowWord(w, kDibTransparentOffset)) {
            const COLORREF key = DisplayHasPalette() ? RGB(206, 66, 24) : RGB(255, 0, 0);
            DrawTransparentBitmap(dc, 0, 0, pw, ph, bitmap, 0, 0, key, image->palette);
        } else {
            RECT client;
            GetClientRect(w, &client);
            PictureRect d = ComputePictureDestination(client.right, client.bottom, pw, ph,
                                                      GetWindowWord(w, kDibNaturalOffset),
                                                      GetWindowWord(w, kDibRightOffset));
            RECT source = {0, 0, pw, ph};
            RECT destination = {d.left, d.top, d.right, d.bottom};
            DrawDibImage(dc, &destination, bitmap, &source, image, 0, 0);
        }
    }
    ValidateRect(w, nullptr);
    if (dc) ReleaseDC(w, dc);
    if (GetWindowWord(w, kDibNotifyOffset)) NotifyControlParent(w, kPicturePainted);
}

LRESULT PictureWndProc(PictureKind kind, HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        const LONG style = GetWindowLongA(w, GWL_STYLE);
        SetWindowWord(w, kDibNotifyOffset, (style & 0x1) ? 1 : 0);
        SetWindowWord(w, kDibRightOffset, (style & 0x2) ? 1 : 0);
        SetWindowWord(w, kDibNaturalOffset, (style & 0x4) ? 1 : 0);
        SetWindowWord(w, kDibTransparentOffset, (style & 0x8) ? 1 : 0);
        StorePicture(w, nullptr, nullptr);
        char name[65] = "";
        GetWindowTextA(w, name, sizeof name);  // at most 64 characters
        char path[MAX_PATH];
        if (MakePath(kind, path, sizeof path, name, false)) LoadPicture(w, path);
        return 0;
    }
    case WM_SETTEXT: {
        // The window text itself stays; the text names the new picture.
        ReleasePicture(w);
        const char *name = reinterpret_cast<const char *>(lParam);
        char path[MAX_PATH];
        if (name && MakePath(kind, path, sizeof path, name, true)) LoadPicture(w, path);
        InvalidateRect(w, nullptr, FALSE);
        return TRUE;
    }
    case WM_ERASEBKGND:
        return 1;  // without a picture the area keeps what was there
    case WM_PAINT:
        PaintPicture(w);
        return 0;
    case WM_LBUTTONDOWN:
        NotifyControlParent(w, kClickNotification);
        return 0;
    case WM_DESTROY:
        ReleasePicture(w);
        break;
    }
    return DefWindowProcA(w, message, wParam, lParam);
}

// The four clock frames are shared by every animDIB window; they are loaded
// by the first window and freed with the last.
struct ClockFrames {
    HBITMAP bitmap[4];
    DibImage image[4];
    int windows;
    int frame;
};
ClockFrames g_clock;

void LoadClockFrames(HWND w) {
    HDC dc = GetDC(w);
    for (int k = 0; k < 4; ++k) {
        char path[32];
        g_clock.image[k] = DibImage();
        g_clock.bitmap[k] = nullptr;
        if (MakeClockFramePath(path, sizeof path, k)) g_clock.bitmap[k] = LoadDibFile(dc, path, &g_clock.image[k]);
        if (!g_clock.bitmap[k]) FreeDib(&g_clock.bitmap[k], &g_clock.image[k]);
    }
    ReleaseDC(w, dc);
}

void FreeClockFrames() {
    for (int k = 0; k < 4; ++k) FreeDib(&g_clock.bitmap[k], &g_clock.image[k]);
}

void PaintClock(HWND w) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    if (!dc) return;
    RECT client;
    GetClientRect(w, &client);
    HBRUSH face = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    HGDIOBJ oldBrush = SelectObject(dc, face);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    // Without a pen the rectangle stops one pixel short: one pixel more each way.
    Rectangle(dc, client.left, client.top, client.right + 1, client.bottom + 1);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(face);
    const int k = g_clock.frame;
    if (k >= 0 && k < 4 && g_clock.bitmap[k]) {
        const int side = GetBitmapWidth(g_clock.bitmap[k]);
        const int height = GetBitmapHeight(g_clock.bitmap[k]);
        DrawTransparentBitmap(dc, 0, 0, side, height < side ? height : side, g_clock.bitmap[k], 0, 0,
                              RGB(0, 255, 0), g_clock.image[k].palette);
    }
    EndPaint(w, &ps);
}

}  // namespace

LRESULT CALLBACK DibWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return PictureWndProc(kDibKind, window, message, wParam, lParam);
}

LRESULT CALLBACK BMPictureWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return PictureWndProc(kBMPictureKind, window, message, wParam, lParam);
}

LRESULT CALLBACK AnimDIBWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        if (g_clock.windows++ == 0) LoadClockFrames(window);
        g_clock.frame = 0;
        return 0;
    case WM_DESTROY:
        if (g_clock.windows > 0 && --g_clock.windows == 0) FreeClockFrames();
        break;
    case WM_SETTEXT:
        g_clock.frame = NextClockFrame(g_clock.frame);
        InvalidateRect(window, nullptr, TRUE);
        break;
    case WM_ERASEBKGND:
        return 1;  // WM_PAINT fills the whole client area
    case WM_PAINT:
        PaintClock(window);
        return 0;
    case WM_SETFOCUS:
        // The clock takes no keys: the focus goes back where it came from.
        if (wParam && IsWindow(reinterpret_cast<HWND>(wParam))) SetFocus(reinterpret_cast<HWND>(wParam));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

ATOM RegisterDibClass(HINSTANCE instance) {
    return RegisterControlClass(instance, "Dib", DibWndProc, CS_HREDRAW | CS_VREDRAW, nullptr, kDibExtraBytes);
}

ATOM RegisterBMPictureClass(HINSTANCE instance) {
    return RegisterControlClass(instance, "BMPicture", BMPictureWndProc, CS_HREDRAW | CS_VREDRAW, nullptr,
                                kDibExtraBytes);
}

ATOM RegisterAnimDIBClass(HINSTANCE instance) {
    return RegisterControlClass(instance, "animDIB", AnimDIBWndProc, CS_HREDRAW | CS_VREDRAW | CS_OWNDC, nullptr,
                                4);
}

int GetAnimDIBWindowCount() { return g_clock.windows; }
int GetAnimDIBFrame() { return g_clock.frame; }
