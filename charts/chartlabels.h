// The chart label lists: forty growable arrays of fixed-size label records in
// which the chart layers keep each label's screen place, rotation, kind and
// text for the renderer that draws them.
#pragma once
#include <cstdint>

#pragma pack(push, 1)
struct ChartLabel {
    int16_t x;          // screen x of the label's anchor
    int16_t y;          // screen y
    int16_t value;      // the layer's own number, returned unchanged
    uint8_t flags;      // bit 7 highlighted; bits 0-6 the label's kind
    int16_t angle;      // rotation of the text, tenths of a degree, 0..3600
    char text[33];      // at most 32 characters, NUL-terminated
};
#pragma pack(pop)
static_assert(sizeof(ChartLabel) == 42, "ChartLabel is 42 bytes");

const int kChartLabelListCount = 40;
const int kChartLabelTextMax = 32;
const uint8_t kChartLabelHighlight = 0x80;
const uint8_t kChartLabelKindMask = 0x7F;

// Zero-initialise before the first use ({}), clear every list when done.
struct ChartLabelLists {
    ChartLabel *labels[kChartLabelListCount];
    int32_t counts[kChartLabelListCount];
};

// The list's count after the call; -1 for no lists, a list number outside
// 0-39, |x| or |y| above 32767 or a text longer than 32 characters (nothing
// stored). The angle (radians) is brought into [0, 2 pi] (2 pi itself
// stays) and stored in tenths of a degree, rounded half away from zero. A
// label whose array cannot grow is dropped: the count is unchanged.
int AddChartLabel(ChartLabelLists *lists, int list, const char *text, int x, int y, int value,
                  int kind, double angle, int highlight);
// Appends one record to an array of count records (grown by one); nothing
// changes when the allocation fails. 1 appended, 0 not.
int AppendChartLabel(ChartLabel **array, const ChartLabel *label, int32_t *count);
// -1 for no lists or a bad list number, 0 for an index outside the list, else
// 1 with the fields copied out (text: 33 bytes). Any out pointer may be null.
int GetChartLabel(const ChartLabelLists *lists, int list, char *text, int *x, int *y, int *value,
                  int *kind, int *angle, int *highlight, int index);
int ClearChartLabelList(ChartLabelLists *lists, int list);
int IsChartLabelListEmpty(const ChartLabelLists *lists, int list);
