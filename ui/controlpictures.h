// The two small pictures the controls draw: the drop-down arrow of a link
// label (bitmap IDB_LINK_ARROW, 12 x 15, black on white, drawn with SRCAND)
// and the check mark of a table row (bitmap IDB_TABLE_CHECK, 10 x 15, red on
// pure green, drawn with green transparent). The program carries them as bitmap resources; a module
// without those resources (a test program) builds them from these patterns.
#pragma once
#include <cstdint>

#include "resources/commonids.h"

struct ControlPicture {
    int width;
    int height;
    const char *const *rows;  // top row first; '#' ink, '.' ground
    uint32_t ink;             // colour values 0x00BBGGRR
    uint32_t ground;
};

// The picture of resource id IDB_LINK_ARROW or IDB_TABLE_CHECK; nullptr for another id.
const ControlPicture *FindControlPicture(int id);
// Colour of pixel (x, y) from the top; the ground colour outside the picture.
uint32_t ControlPicturePixel(const ControlPicture &picture, int x, int y);
