// Designation texts built from catalogue numbers and packed star codes.
#include "objects/designationtexts.h"

#include <cstdio>

#include "objects/constellations.h"

namespace {
const int kTextSize = 65;
}

int FormatFlamsteedDesignation(char *text, uint32_t packed) {
    text[0] = '\0';
    int number = static_cast<int>(packed & 0xff);
    int con = static_cast<int>((packed >> 8) & 0x7f);
    if (number == 0 || con >= kConstellationTableSize) return 0;
    std::snprintf(text, kTextSize, "%d %s", number, kConstellationAbbreviations[con]);
    return 1;
}

int FormatBayerDesignation(char *text, uint32_t packed) {
    text[0] = '\0';
    int con = static_cast<int>((packed >> 8) & 0x7f);
    int letter = static_cast<int>((packed >> 15) & 0x1f);
    int super = static_cast<int>((packed >> 20) & 0xf);
    if (letter == 0 || letter > 24 || con >= kConstellationTableSize) return 0;
    if (super) std::snprintf(text, kTextSize, "%s %d %s", kGreekLetterNames[letter - 1], super,
                             kConstellationAbbreviations[con]);
    else std::snprintf(text, kTextSize, "%s %s", kGreekLetterNames[letter - 1],
                       kConstellationAbbreviations[con]);
    return 1;
}

int FormatTychoDesignation(char *text, int tyc1, int tyc2, int tyc3) {
    std::snprintf(text, kTextSize, "TYC %05d-%04d %1d", tyc1, tyc2, tyc3);
    return 1;
}

int FormatGscDesignation(char *text, int region, int number) {
    std::snprintf(text, kTextSize, "GSC %05d-%04d", region, number);
    return 1;
}
