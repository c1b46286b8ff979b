// One component entry of a CCDM double-star record as the double-star reader
// decodes it (68 bytes). The record is exchanged with the visibility and
// chart code, so it is packed with its stated offsets.
#pragma once
#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
struct CcdmComponent {
    char referenceLetter;    // 0  the component the pair is measured from ('A' of "AB")
    char letter;             // 1  the component's own letter ('B' of "AB"; lower case for close pairs)
    char identifier[8];      // 2  seven characters and a zero byte
    uint16_t adsNumber;      // 10
    int32_t starNumber;      // 12 the component's star-catalogue number, 0 none
    uint16_t gscNumber;      // 16
    uint16_t gscRegion;      // 18
    uint16_t keyC;           // 20
    uint16_t keyD;           // 22
    uint16_t epochYear;      // 24
    double positionAngle;    // 26 degrees, 361 none
    double separation;       // 34 arcseconds
    double magnitude;        // 42 99.9 none
    uint8_t callerData[16];  // 50 kept for the caller
    int16_t orbitNumber;     // 66 binary-orbit number, 0 none
};
#pragma pack(pop)

static_assert(sizeof(CcdmComponent) == 68, "CcdmComponent is 68 bytes");
static_assert(offsetof(CcdmComponent, starNumber) == 12, "layout");
static_assert(offsetof(CcdmComponent, positionAngle) == 26, "layout");
static_assert(offsetof(CcdmComponent, separation) == 34, "layout");
static_assert(offsetof(CcdmComponent, magnitude) == 42, "layout");
static_assert(offsetof(CcdmComponent, orbitNumber) == 66, "layout");
