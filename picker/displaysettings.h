// The object picker's display settings, as the host program gives them
// (GetDefaultDisplaySettings of core/hostcallbacks.h).
#pragma once
#include <cstddef>
#include <cstdint>

#include "objects/designationlist.h"

#pragma pack(push, 1)
// The object picker's display settings. The preference block from offset 28
// has the layout of the designation preferences: per family of classes (11),
// 60 order bytes (the kind shown at each position), then 60 enable bytes each,
// then the star-name flag.
struct PickerDisplaySettings {
    uint8_t flags[4];               // 0     1, 0, 0, 0
    int32_t highlightColour;        // 4     0x00BBGGRR; 0xFF0000 pure blue
    double fraction;                // 8     0.75
    uint8_t reserved[4];            // 16    0
    double limit;                   // 20    127.0
    DesignationPreferences designation;  // 28: order, enabled, star-name flag
    uint8_t lastFlag;               // 1349  1
};
#pragma pack(pop)
static_assert(sizeof(PickerDisplaySettings) == 1350, "display settings are 1350 bytes");
static_assert(offsetof(PickerDisplaySettings, designation) == 28, "designation block at 28");
