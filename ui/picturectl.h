// Rules of the picture controls that need no window: which file a `Dib`,
// `BMPicture` or `animDIB` control loads for a name, and where the picture
// goes in the control's client area.
#pragma once
#include <cstddef>

// Longest picture name or path the controls take (bytes, without terminator).
constexpr size_t kPictureNameMax = 250;

// Path of a `Dib` picture. At creation (fromSetText 0) and for a name without
// ".bmp": "bin/<name>.bmp", or "bin/<name>d.bmp" on palette displays. On
// WM_SETTEXT (fromSetText 1) a name that contains ".bmp" (in any case, as
// Windows file names are case-blind) is used unchanged. 1 with the path in the
// buffer; 0 for an empty name, a name longer than kPictureNameMax or a buffer
// too small (the buffer then holds "").
int MakeDibPicturePath(char *buffer, size_t size, const char *name, int paletteDisplay,
                       int fromSetText);
// Path of a `BMPicture` picture: "<name>.bmp" at creation; on WM_SETTEXT the
// name unchanged when it contains ".", else "<name>.bmp". Same results.
int MakeBMPicturePath(char *buffer, size_t size, const char *name, int fromSetText);
// Path of frame k (0 to 3) of the `animDIB` clock: "bin/clock_<k>.bmp".
int MakeClockFramePath(char *buffer, size_t size, int frame);
// The frame after `frame` in the four-frame cycle 0, 1, 2, 3, 0, ...
int NextClockFrame(int frame);

struct PictureRect {
    int left, top, right, bottom;
};
// Destination of a picture of picW x picH pixels in a client area of clientW x
// clientH: the whole client area (stretched); with naturalSize the picture's
// own size at the top left; with naturalSize and rightAligned its own size
// touching the client's right edge.
PictureRect ComputePictureDestination(int clientW, int clientH, int picW, int picH,
                                      int naturalSize, int rightAligned);
