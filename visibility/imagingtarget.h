// What the imaging model needs to know of a list item: its imaging block
// (ObjectRecord bytes 305-339, written by the imaging plan), the kind of
// target, the magnitude or surface brightness and colour to image it with,
// and the exposure limit that a planet's rotation sets.
#pragma once
#include <cstddef>
#include <cstdint>

struct DateRecord;
struct LocationRecord;
struct ObjectRecord;
struct OpticsBlock;

#pragma pack(push, 1)
// The imaging block of a list item, 35 bytes at offset 305 of the record.
struct ItemImagingPlan {
    float windowStart;        // 0  local hours on the noon-to-noon scale
    float windowMinutes;      // 4
    uint8_t grade;            // 8  0-4, 255 none
    int32_t signalToNoise;    // 9  whole number
    float exposure;           // 13 seconds per frame
    uint8_t percentage;       // 17 of the best window's signal-to-noise left now
    float resolution;         // 18 arcsec
    float rotationLimit;      // 22 seconds; for a double star the resolution elements
    int32_t framesAcross;     // 26 bit 31: fits one frame; double star: pixel diagonals
    int32_t framesDown;       // 30
    char gradeLetter;         // 34 "FDCBA"[grade], blank for none
};
#pragma pack(pop)
static_assert(sizeof(ItemImagingPlan) == 35, "the imaging block is 35 bytes");
static_assert(offsetof(ItemImagingPlan, signalToNoise) == 9, "layout");
static_assert(offsetof(ItemImagingPlan, percentage) == 17, "layout");
static_assert(offsetof(ItemImagingPlan, framesAcross) == 26, "layout");
static_assert(offsetof(ItemImagingPlan, gradeLetter) == 34, "layout");

// Imaging target kinds.
const int kImagingOther = 0;
const int kImagingPlanet = 1;   // the Moon and the planets other than Pluto
const int kImagingSun = 2;
const int kImagingDouble = 3;   // a star with a component pair separation
// Kinds of the imaging value.
const int kImagingNotApplicable = -1;
const int kImagingPointValue = 0;     // a magnitude
const int kImagingExtendedValue = 1;  // a surface brightness, mag/arcsec^2

// Reads and writes the block of an item (unaligned bytes at offset 305).
void ReadItemImagingPlan(const ObjectRecord *item, ItemImagingPlan *plan);
void WriteItemImagingPlan(ObjectRecord *item, const ItemImagingPlan *plan);
// The cleared block: all zero, grade letter blank. The imaging plan starts
// with it, and the standard display variant leaves it so.
void ClearItemImagingPlan(ObjectRecord *item);
int GetImagingTargetKind(const ObjectRecord *item);
// Fills a colour index of 90 or more from the class (planets from their
// table, comets 0.8, minor planets 0.9, galaxies from a stored value above
// 101 as value - 200, quasars 0.44, globular clusters 0.95).
void SetDefaultColourIndex(ObjectRecord *item);
// The value and colour to image the item with; -1 not applicable, 0 a
// magnitude, 1 a surface brightness. A planet's disk takes the physical data
// of the date (Mercury, Venus, Mars and the Moon by their illuminated part).
int GetImagingMagnitudes(const LocationRecord *site, const DateRecord *date, ObjectRecord *item,
                         double *value, double *colour);
// Longest exposure (seconds) before the rotation of the Sun or Mars to
// Neptune blurs their disk by `blur` arcsec: blur / diameter x (period / 2) x
// 3600. 0 for other bodies or a body of no diameter.
double ComputeRotationExposureLimit(const LocationRecord *site, const DateRecord *date,
                                    const OpticsBlock *optics, int camera, double ignored,
                                    const ObjectRecord *item, double blur);
// The blur (arcsec) an exposure (seconds) gets from Mars to Neptune's rotation.
double ComputeRotationBlur(const LocationRecord *site, const DateRecord *date,
                           const OpticsBlock *optics, int camera, double ignored,
                           const ObjectRecord *item, double exposure);
