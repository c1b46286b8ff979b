// Patterns of the arrow and check-mark pictures; see controlpictures.h.
#include "ui/controlpictures.h"

#include <cstring>

namespace {

const char *const kArrowRows[15] = {
    "............", "............", "............", "............", "............",
    ".#########..", "..#######...", "...#####....", "....###.....", ".....#......",
    "............", "............", "............", "............", "............",
};

const char *const kCheckRows[15] = {
    "..........", "..........", "..........", ".........#", "........##",
    ".......##.", "......##..", "#....##...", "##..##....", ".####.....",
    "..##......", "..........", "..........", "..........", "..........",
};

const ControlPicture kArrow = {12, 15, kArrowRows, 0x000000u, 0xFFFFFFu};
const ControlPicture kCheck = {10, 15, kCheckRows, 0x0000FFu, 0x00FF00u};

}  // namespace

const ControlPicture *FindControlPicture(int id) {
    if (id == IDB_LINK_ARROW) return &kArrow;
    if (id == IDB_TABLE_CHECK) return &kCheck;
    return nullptr;
}

uint32_t ControlPicturePixel(const ControlPicture &picture, int x, int y) {
    if (x < 0 || y < 0 || x >= picture.width || y >= picture.height) return picture.ground;
    return picture.rows[y][x] == '#' ? picture.ink : picture.ground;
}
