// The named satellites of Mars to Pluto (IAU names), in the order in which
// the satellite theories number them.
#include "ephem/satellitenames.h"

#include <cstdio>

namespace {

const char *const kNames[10][9] = {
    {}, {}, {}, {},
    {"Phobos", "Deimos"},
    {"Io", "Europa", "Ganymede", "Callisto", "Amalthea", "Himalia"},
    {"Mimas", "Enceladus", "Tethys", "Dione", "Rhea", "Titan", "Hyperion", "Iapetus", "Phoebe"},
    {"Ariel", "Umbriel", "Titania", "Oberon"},
    {"Triton"},
    {"Charon"}};
const int kCounts[10] = {0, 0, 0, 0, 2, 6, 9, 4, 1, 1};
// The longest name ("Enceladus") and its terminator.
const int kSatelliteNameSize = 10;

}  // namespace

int GetSatelliteCount(int bodyKind) {
    return bodyKind >= 0 && bodyKind <= 9 ? kCounts[bodyKind] : 0;
}

int GetSatelliteName(int bodyKind, int number, char *name) {
    if (!name) return 0;
    name[0] = '\0';
    if (bodyKind < 4 || bodyKind > 9 || number < 1 || number > kCounts[bodyKind]) return 0;
    std::snprintf(name, kSatelliteNameSize, "%s", kNames[bodyKind][number - 1]);
    return 1;
}

const char *GetSatelliteNameText(int bodyKind, int slot) {
    if (bodyKind < 4 || bodyKind > 9 || slot < 0 || slot >= kCounts[bodyKind]) return nullptr;
    return kNames[bodyKind][slot];
}
