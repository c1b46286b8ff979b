// Filling a new chart definition, view and view marks with their defaults.
#pragma once
#include <cstdint>

#include "charts/chartdefinition.h"

#pragma pack(push, 1)
struct ChartViewMarks {
    uint8_t first;
    int32_t value1;
    int32_t value2;
    uint8_t bytes[4];
};
#pragma pack(pop)
static_assert(sizeof(ChartViewMarks) == 13, "ChartViewMarks is 13 bytes");

const int kChartDisplaySize = 170;
const int kChartLayerTableSize = 1792;
const int kChartViewOptionsSize = 76;

// Zeroes the record, then: the name (cut to 63 characters), the number flag
// and the four numbers when numberCount is above 0 (else 0), instrument id
// 0, eyepiece choice 0, the view count (1-3), three int32 of 1, the view
// order 0, 1, 2, the doubles 0.5, 0, 0.5, 0.5, 0.5, 0.5, and the 170-byte
// display settings (when given).
void InitChartDefinition(ChartDefinition *record, const char *name, int viewCount, int ignored,
                         int numberCount, const int32_t numbers[4], const uint8_t *display);
// Zeroes the view, then: the role; the limiting magnitude, field, field
// circle and the doubles at 30 and 38; the bytes at 2-5 (two settings and
// the left/right and up/down orientation); the grid-step ladder 2 pi, pi,
// pi/2, pi/4, 10 deg, 5 deg, 1 deg, 30", 10", 1"; 1.0 at 134; the 1,792-byte
// layer table and the 76 bytes of view options (each when given).
void InitChartView(ChartView *view, int role, double limitingMagnitude, double field,
                   double fieldCircle, double setting30, double setting38, uint8_t setting2,
                   uint8_t setting3, uint8_t leftRight, uint8_t upDown, const uint8_t *layerTable,
                   const uint8_t *options);
// Bytes in the order first, value1, value2, b1, b2, then b4, b3.
void InitChartViewMarks(ChartViewMarks *marks, uint8_t first, int32_t value1, int32_t value2,
                        uint8_t b1, uint8_t b2, uint8_t b3, uint8_t b4);

