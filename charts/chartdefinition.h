// Byte layout of a chart definition: the record of "charts.bin" and of the
// default chart files. A chart set-up holds up to three views (for an
// instrument: overview, finder view and eyepiece view) with their fields,
// limits, orientation, grid steps and layer switches, and a colour scheme,
// twice over (the second set belongs to a companion chart). 17,803 bytes,
// packed, little-endian: never a local variable in the Windows build's deep
// call chains; allocate it.
#pragma once
#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)

struct ChartView {
    uint8_t role;               // 0    sort key of the general charts; 3 finder, 4 eyepiece view
    uint8_t flag;               // 1    set by the sort
    uint8_t setting2;           // 2
    uint8_t setting3;           // 3    4 in a telescope chart's eyepiece view
    uint8_t leftRight;          // 4    1 normal
    uint8_t upDown;             // 5    1 normal
    double limitingMagnitude;   // 6
    double field;               // 14   radians
    double fieldCircle;         // 22   radians, 0 none
    double setting30;           // 30
    double setting38;           // 38
    uint8_t unused46[8];        // 46
    double gridSteps[10];       // 54   radians
    double scale134;            // 134  1.0
    int32_t zero142;            // 142
    uint8_t layerTable[1794];   // 146  layer table and a 16-bit value
    uint8_t options[76];        // 1940 the first 13 bytes are the view marks
    uint8_t unused2016[64];     // 2016
};

struct ChartDefinition {
    char name[64];                // 0
    uint8_t numberFlag;           // 64
    int32_t numbers[4];           // 65
    uint8_t zero81[16];           // 81
    uint8_t instrumentId;         // 97   low byte of the instrument's id
    uint8_t eyepieceChoice;       // 98   255 none
    uint8_t viewCount;            // 99   1..3
    ChartView views[3];           // 100
    int32_t ones[3];              // 6340
    int32_t viewOrder[3];         // 6352
    double ratios[6];             // 6364
    uint8_t display[170];         // 6412
    uint8_t settings[7];          // 6582
    uint8_t uncompared6589[5];    // 6589
    uint8_t scheme[2105];         // 6594 colour scheme; bytes 3..67 its text
    double setting8699;           // 8699
    uint8_t setting8707;          // 8707
    double setting8708;           // 8708
    ChartView views2[3];          // 8716
    uint8_t scheme2[2105];        // 14956
    uint8_t block2[72];           // 17061 second copy of the block at 6340
    uint8_t settings17133[96];    // 17133
    uint8_t settings17229[60];    // 17229
    int16_t setting17289;         // 17289
    uint8_t tail[512];            // 17291
};

#pragma pack(pop)

static_assert(sizeof(ChartView) == 2080, "ChartView is 2,080 bytes");
static_assert(offsetof(ChartView, limitingMagnitude) == 6, "layout");
static_assert(offsetof(ChartView, gridSteps) == 54, "layout");
static_assert(offsetof(ChartView, layerTable) == 146, "layout");
static_assert(offsetof(ChartView, options) == 1940, "layout");
static_assert(sizeof(ChartDefinition) == 17803, "ChartDefinition is 17,803 bytes");
static_assert(offsetof(ChartDefinition, instrumentId) == 97, "layout");
static_assert(offsetof(ChartDefinition, views) == 100, "layout");
static_assert(offsetof(ChartDefinition, ones) == 6340, "layout");
static_assert(offsetof(ChartDefinition, display) == 6412, "layout");
static_assert(offsetof(ChartDefinition, scheme) == 6594, "layout");
static_assert(offsetof(ChartDefinition, setting8699) == 8699, "layout");
static_assert(offsetof(ChartDefinition, views2) == 8716, "layout");
static_assert(offsetof(ChartDefinition, scheme2) == 14956, "layout");
static_assert(offsetof(ChartDefinition, block2) == 17061, "layout");
static_assert(offsetof(ChartDefinition, setting17289) == 17289, "layout");
static_assert(offsetof(ChartDefinition, tail) == 17291, "layout");

const int kChartRecordSize = 17803;
const int kChartHeaderSize = 2;
const int kGeneralChartCount = 4;
// Offsets inside a view's layer table: the int32 layer switches (view offset
// 163), the layer setting byte (167) and the byte at view offset 1876.
const int kLayerSwitchesOffset = 163 - 146;
const int kLayerSettingOffset = 167 - 146;
const int kViewByte1876Offset = 1876 - 146;
// The scheme byte at record offset 6916 whose bit 0x80 the finder view sets.
const int kSchemeByte6916 = 6916 - 6594;
