// The body-name table, by body type.
#include "ephem/bodynames.h"

namespace {
const char *const kBodyNames[12] = {"Sun",    "Mercury", "Venus",   "Earth",
                                    "Mars",   "Jupiter", "Saturn",  "Uranus",
                                    "Neptune", "Pluto",  "Moon",    "Earth Shadow"};
}

const char *GetBodyName(int type) {
    if (type < 0 || type >= 12) return nullptr;
    return kBodyNames[type];
}
