// Stars fainter than the star catalogue: guide-star identifiers (region
// 1-9,537 and number, "GSC 01234-0567") and position-based J designations
// found in the deep star database (magx), the guide-star region band files
// that locate a region, and the 24-byte record such a star is carried in.
#pragma once
#include <cstdint>

const int kGscRegionCount = 9537;
// The motion code of no motion ((v x 0.00001 - 7.5) arcsec/yr = 0).
const uint32_t kGscNoMotion = 750000;

#pragma pack(push, 1)
// Limits of one guide-star region in its band file.
struct GscRegionRecord {
    float rightAscension1, rightAscension2;  // hours
    float declination1, declination2;        // degrees
};
// A star found outside the star catalogue.
struct GscStarRecord {
    int32_t rightAscension, declination;  // turn fractions
    uint8_t motionRightAscension[3];      // motion codes of the star database
    uint8_t motionDeclination[3];
    uint16_t region, number;              // 0 for a star without an identifier
    uint8_t magnitudes[3];                // bits 0-11 first, 12-23 second: x 0.01 - 1.6, 4095 none
    uint8_t extra;                        // the database record's end byte
    uint8_t filled;                       // 1: filled by a guide-star or identifier-less star
    uint8_t spare;
};
#pragma pack(pop)
static_assert(sizeof(GscRegionRecord) == 16, "GscRegionRecord is 16 bytes");
static_assert(sizeof(GscStarRecord) == 24, "GscStarRecord is 24 bytes");

// The record of a region from its band file "<ref slot 2>gsc/<band>.bin".
// 1, 0 for a region outside 1-9,537, a missing band file or a short read.
int ReadGscRegion(int region, int ignored, GscRegionRecord *out);
// The band file name ("N0000" ... "S8230") of a region, or null.
const char *GscBandOfRegion(int region);

// 1 found, 0 not found, -1 when the star catalogue or the region cannot be
// read. *star is the star-catalogue number of a Tycho star there, else 0 with
// the record filled. RA and Dec both 0: search the whole region; otherwise
// within 30 arcseconds of that place.
int FindGscStar(int region, int number, int *star, GscStarRecord *out, double rightAscension,
                double declination);
// The star at a J designation's place: 1 found, 0 not found, -1 for a text
// that does not parse or a star catalogue that cannot be opened.
int FindStarByJDesignation(const char *text, int *star, GscStarRecord *out);

// RA and Dec in radians, motions in radians per year (RA divided by cos Dec),
// magnitude = first (99.9 none), colour = second - first (99.9 when either is
// none). 1, 0 without a record.
int DecodeGscStar(const GscStarRecord *record, int *region, int *number, double *rightAscension,
                  double *declination, double *motionRightAscension, double *motionDeclination,
                  double *magnitude, double *colour);
// first = round((m1 + 1.6) x 100), 4095 above 90; second likewise in bits
// 12-23, all ones when m2 or m1 is above 90.
void EncodeGscMagnitudes(uint8_t out[3], double first, double second);
