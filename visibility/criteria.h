// The visibility criteria record: what "visible" means for a search (how high
// an object must stand, how dark the sky must be, the rating or imaging grade
// it must reach, the hours of the night, the constellation and kinds of
// object that count) and the viewing setup the rating applies to. It is
// stored byte for byte in the event file header (four copies), so its layout
// is a file format: packed, little-endian, 165,100 bytes. Never a local
// variable (the Windows main thread has a 1 MB stack).
#pragma once
#include <cstddef>
#include <cstdint>

#include "instruments/instrumentrecord.h"
#include "sites/observerstore.h"

// Altitude conditions.
const uint8_t kAltitudeAny = 0;
const uint8_t kAltitudeAboveHorizon = 1;
const uint8_t kAltitudeAbove30 = 2;          // above 0.521521558 rad (29.88 degrees)
const uint8_t kAltitudeTwoThirdsTransit = 3;  // at least 2/3 of the transit altitude
const uint8_t kAltitudeBoth = 4;             // 2 and 3
const uint8_t kAltitudeEither = 5;           // 2 or 3
const double kAltitudeLimit30 = 0.521521558;
// Darkness conditions and classes.
const uint8_t kDarknessAny = 0;
const uint8_t kDarknessSome = 1;
const uint8_t kDarknessDark = 2;
// Rating modes of the list refresh.
const int32_t kRatingExactly = 0;
const int32_t kRatingOrBetter = 1;
const int32_t kRatingOrWorse = 2;
// Time-window flags.
const uint16_t kWindowStartApplies = 4;
const uint16_t kWindowEndApplies = 2;
// Filters that let everything pass.
const uint8_t kAnyConstellation = 255;
const uint32_t kAnyCategory = 0;

#pragma pack(push, 1)
struct VisibilityCriteria {
    uint8_t altitudeCondition;   // 0
    uint8_t darknessCondition;   // 1
    uint8_t wantedRating;        // 2 0 none, 1 anything visible, w >= 2 rating w - 2 or better
    uint8_t wantedGrade;         // 3 imaging grade, 0 none
    uint8_t thresholdRow;        // 4 0..6 of the signal-to-noise thresholds
    int32_t ratingMode;          // 5
    float startHour;             // 9  local clock hours
    float endHour;               // 13
    uint8_t constellation;       // 17 255 any
    uint32_t categoryMask;       // 18 0 any
    uint16_t windowFlags;        // 22
    OpticsBlock optics;          // 24
    ObserverRecord observer;     // 165004
    int32_t cameraIndex;         // 165088
    int32_t filterIndex;         // 165092
    int32_t binning;             // 165096
};
#pragma pack(pop)

static_assert(sizeof(VisibilityCriteria) == 165100, "VisibilityCriteria is 165,100 bytes");
static_assert(offsetof(VisibilityCriteria, ratingMode) == 5, "layout");
static_assert(offsetof(VisibilityCriteria, startHour) == 9, "layout");
static_assert(offsetof(VisibilityCriteria, endHour) == 13, "layout");
static_assert(offsetof(VisibilityCriteria, constellation) == 17, "layout");
static_assert(offsetof(VisibilityCriteria, categoryMask) == 18, "layout");
static_assert(offsetof(VisibilityCriteria, windowFlags) == 22, "layout");
static_assert(offsetof(VisibilityCriteria, optics) == 24, "layout");
static_assert(offsetof(VisibilityCriteria, observer) == 165004, "layout");
static_assert(offsetof(VisibilityCriteria, cameraIndex) == 165088, "layout");
static_assert(offsetof(VisibilityCriteria, filterIndex) == 165092, "layout");
static_assert(offsetof(VisibilityCriteria, binning) == 165096, "layout");

// A new record: every byte zero (no condition, any category), the
// constellation filter 255 (any). Records are made through this so that no
// stale memory reaches a file. Returns the record.
VisibilityCriteria *InitVisibilityCriteria(VisibilityCriteria *criteria);
// 1 when the record has no condition: altitude condition, wanted rating and
// time-window word all 0 (whatever else it holds).
int CriteriaHaveNoCondition(const VisibilityCriteria *criteria);
// The constellation and category filters: 1 when the item's constellation and
// category value pass (255 and 0 let everything through).
int MatchCriteriaFilters(const VisibilityCriteria *criteria, int constellation, uint32_t category);
