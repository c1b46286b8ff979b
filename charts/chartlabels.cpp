// The chart label lists: adding, reading and clearing labels.
#include "charts/chartlabels.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/mathutil.h"
#include "core/textutil.h"

namespace {
bool ValidList(int list) { return list >= 0 && list < kChartLabelListCount; }
}  // namespace

int AppendChartLabel(ChartLabel **array, const ChartLabel *label, int32_t *count) {
    if (!array || !label || !count || *count < 0) return 0;
    void *grown = std::realloc(*array, ((size_t)*count + 1) * sizeof(ChartLabel));
    if (!grown) return 0;
    *array = (ChartLabel *)grown;
    std::memcpy(&(*array)[*count], label, sizeof(ChartLabel));
    (*count)++;
    return 1;
}

int AddChartLabel(ChartLabelLists *lists, int list, const char *text, int x, int y, int value,
                  int kind, double angle, int highlight) {
    if (!lists || !ValidList(list) || !text) return -1;
    if (std::abs(x) > 32767 || std::abs(y) > 32767) return -1;
    if (std::strlen(text) > (size_t)kChartLabelTextMax) return -1;
    // Any angle, however many turns, into [0, 2 pi]; 2 pi itself is kept
    // (3600), so the stored tenths always fit 16 bits.
    const double turn = 2 * kPi;
    if (!std::isfinite(angle)) angle = 0;
    if (angle < 0 || angle > turn) {
        angle = std::fmod(angle, turn);
        if (angle < 0) angle += turn;
    }
    double tenths = angle * 180.0 / kPi * 10.0;
    ChartLabel label;
    std::memset(&label, 0, sizeof label);
    label.x = (int16_t)x;
    label.y = (int16_t)y;
    label.value = (int16_t)value;
    label.flags = (uint8_t)((kind & 0xFF) | (highlight ? kChartLabelHighlight : 0));
    label.angle = (int16_t)(tenths < 0 ? -std::floor(-tenths + 0.5) : std::floor(tenths + 0.5));
    CopyStringBounded(label.text, text, (int)sizeof label.text);
    AppendChartLabel(&lists->labels[list], &label, &lists->counts[list]);
    return lists->counts[list];
}

int GetChartLabel(const ChartLabelLists *lists, int list, char *text, int *x, int *y, int *value,
                  int *kind, int *angle, int *highlight, int index) {
    if (!lists || !ValidList(list)) return -1;
    if (index < 0 || index >= lists->counts[list]) return 0;
    const ChartLabel &l = lists->labels[list][index];
    if (text) {
        std::memcpy(text, l.text, sizeof l.text);
        text[sizeof l.text - 1] = 0;
    }
    if (x) *x = l.x;
    if (y) *y = l.y;
    if (value) *value = l.value;
    if (kind) *kind = l.flags & kChartLabelKindMask;
    if (angle) *angle = l.angle;
    if (highlight) *highlight = (l.flags & kChartLabelHighlight) ? 1 : 0;
    return 1;
}

int ClearChartLabelList(ChartLabelLists *lists, int list) {
    if (!lists || !ValidList(list)) return 0;
    std::free(lists->labels[list]);
    lists->labels[list] = nullptr;
    lists->counts[list] = 0;
    return 1;
}

int IsChartLabelListEmpty(const ChartLabelLists *lists, int list) {
    if (!lists || !ValidList(list)) return 1;
    return lists->counts[list] == 0 ? 1 : 0;
}
