// Screenshots for the Windows dialog tests: a window's client area captured
// as a 24-bit picture, its pixels counted by colour, and the picture kept as
// <screenshots>/<name>.bmp for a person to look at.
#pragma once
#ifdef _WIN32
#include <windows.h>

#include <cstdint>
#include <vector>

namespace testutil {

struct WindowPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;  // top-down rows of B, G, R; rows padded to 4 bytes
    int Stride() const { return (width * 3 + 3) & ~3; }
};

// Captures the client area (after a full redraw when asked; without a window
// manager the frame is not drawn anyway). Empty for a window of no size.
WindowPicture CaptureClientArea(HWND window, bool redraw = true);
int CountPixelsOfColour(const WindowPicture &picture, COLORREF colour);
// Writes the picture into the folder GLEANER_SCREENSHOT_DIR names, or
// <build>/screenshots; false when nothing was written.
bool SaveScreenshot(const WindowPicture &picture, const char *name);

}  // namespace testutil
#endif
