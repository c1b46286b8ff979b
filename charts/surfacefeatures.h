// Named surface features of Mars and the Moon placed on their discs: the
// packaged files "marsf.bin" and "moonf.bin" (29-byte records, no header)
// read one feature at a time and projected orthographically onto the body's
// disc as the chart draws it.
#pragma once
#include <cstdint>
#include <cstdio>

#include "charts/projection.h"
#include "ephem/bodyrecord.h"

struct ChartContext;

const int kSurfaceFeatureNameSize = 25;

#pragma pack(push, 1)
struct SurfaceFeatureRecord {
    int16_t longitude;   // tenths of a degree: Mars planetographic (west), the Moon selenographic (east)
    int16_t latitude;    // tenths of a degree
    char name[kSurfaceFeatureNameSize];  // NUL-terminated
};
#pragma pack(pop)
static_assert(sizeof(SurfaceFeatureRecord) == 29, "SurfaceFeatureRecord is 29 bytes");

struct SurfaceFeatureReader {
    FILE *file;
    ChartProjection projection;  // the disc, orthographic
    double sinRotation, cosRotation;
    double yScale;
    int32_t radius;              // pixels
    int32_t longitudeSign;       // 1 east longitudes (the Moon), -1 west (Mars)
};

// Results of NextSurfaceFeature.
const int kFeaturePlaced = 1;
const int kFeatureFarSide = 2;

// round(equatorial diameter x pixels per radian), or 0 when that is 3 or less.
int GetDiscPixelDiameter(const BodyRecord *body, double pixelsPerRadian);
// A reader for Mars (type 4) or the Moon (type 10) with a disc of more than
// 3 pixels, centred on the body's central meridian and latitude of centre
// (for the Moon its libration); null otherwise or when the file is missing.
// folder: the reference-catalogue folder (null: the installed one).
SurfaceFeatureReader *OpenSurfaceFeatures(const char *folder, const BodyRecord *body,
                                          double rotationAngle, double pixelsPerRadian);
// kFeaturePlaced with the feature's pixel and name (kSurfaceFeatureNameSize
// bytes), kFeatureFarSide (nothing placed), 0 at the end of the file (the
// file is closed then) or without a reader.
int NextSurfaceFeature(const ChartContext *chart, SurfaceFeatureReader *reader, int centreX,
                       int centreY, int *x, int *y, char *name);
// Closes the file (when still open) and frees the reader; null is allowed.
void CloseSurfaceFeatures(SurfaceFeatureReader *reader);
