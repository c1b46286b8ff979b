// The record of one Earth satellite as the element store keeps it: name,
// catalogue number, international designator, the ten mean elements of its
// two-line element set, a standard magnitude and kind flags.
#pragma once
#include <cstddef>
#include <cstdint>

#include "ephem/tle.h"

#pragma pack(push, 1)
struct EarthSatelliteRecord {
    char name[17];                  // 0   NUL-terminated, trailing blanks removed
    uint32_t number;                // 17  catalogue number
    char designator[9];             // 21  international designator, columns 10-16 of line 1
    TwoLineElementSet elements;     // 30  epoch ... mean motion (ephem/tle.h)
    float standardMagnitude;        // 110 at 1000 km, half lit; 90 and above: none
    uint8_t flags;                  // 114 kind flags below
};
#pragma pack(pop)
static_assert(sizeof(EarthSatelliteRecord) == 115, "EarthSatelliteRecord is 115 bytes");
static_assert(offsetof(EarthSatelliteRecord, number) == 17, "layout");
static_assert(offsetof(EarthSatelliteRecord, designator) == 21, "layout");
static_assert(offsetof(EarthSatelliteRecord, elements) == 30, "layout");
static_assert(offsetof(EarthSatelliteRecord, standardMagnitude) == 110, "layout");
static_assert(offsetof(EarthSatelliteRecord, flags) == 114, "layout");

// Kind flags.
const uint8_t kSatelliteHighEccentricity = 0x01;  // e > 0.1, or kind letter "h"
const uint8_t kSatelliteOneDay = 0x02;            // period within 2.5 h of a day, or "g"
const uint8_t kSatelliteKindF = 0x04;             // kind letter "f"
const uint8_t kSatelliteKindT = 0x08;             // kind letter "t"
const uint8_t kSatelliteFlagged = 0x10;           // not unclassified, or "c"
const uint8_t kSatelliteExcluded = 0x20;          // "d", or missing from a merge's first file
const uint8_t kSatelliteKindS = 0x40;             // kind letter "s"

// The standard magnitude that means none.
const float kNoStandardMagnitude = 99.9f;
