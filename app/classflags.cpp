// The class-flag table: category bits -> picture index.
#include "app/classflags.h"

namespace {
const unsigned kClassFlags[22] = {
    0x1,     // 1 constellation
    0xE,     // 2 Sun, Moon, planets, comets and minor planets together
    0x2,     // 3 Sun, Moon, planets
    0x4,     // 4 comet
    0x8,     // 5 minor planet
    0x10,    // 6 star
    0x20,    // 7 multiple star
    0x40,    // 8 variable star
    0x80,    // 9 star with orbit
    0xA0,    // 10 multiple star with orbit
    0xC0,    // 11 variable star with orbit
    0x100,   // 12 galaxy
    0x10000, // 13 galaxy group
    0x200,   // 14 quasar
    0x400,   // 15 planetary nebula
    0x800,   // 16 bright nebula
    0x20000, // 17 dark nebula
    0x1000,  // 18 open cluster
    0x2000,  // 19 globular cluster
    0x4000,  // 20 sky mark
    0x80000, // 21 reference point
    0x40000, // 22 Earth satellite (no picture)
};
}  // namespace

int GetClassBitmapIndex(unsigned flag) {
    for (int i = 0; i < 22; ++i)
        if (kClassFlags[i] == flag) return i + 1;
    return 0;
}

int ClassPictureIsDrawn(int index) {
    return index >= 1 && index <= kClassPictureSlots && index != 2 ? 1 : 0;
}
