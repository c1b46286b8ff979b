// Default chart definitions, views and view marks.
#include "charts/chartinit.h"

#include <cstring>

#include "core/mathutil.h"
#include "core/textutil.h"

void InitChartDefinition(ChartDefinition *record, const char *name, int viewCount, int,
                         int numberCount, const int32_t numbers[4], const uint8_t *display) {
    if (!record) return;
    std::memset(record, 0, sizeof *record);
    CopyStringZeroFilled(record->name, name ? name : "", (int)sizeof record->name);
    if (numberCount > 0 && numbers) {
        record->numberFlag = (uint8_t)numberCount;
        for (int i = 0; i < 4; i++) record->numbers[i] = numbers[i];
    }
    if (viewCount < 1) viewCount = 1;
    if (viewCount > 3) viewCount = 3;
    record->viewCount = (uint8_t)viewCount;
    for (int i = 0; i < 3; i++) {
        record->ones[i] = 1;
        record->viewOrder[i] = i;
    }
    const double ratios[6] = {0.5, 0, 0.5, 0.5, 0.5, 0.5};
    for (int i = 0; i < 6; i++) record->ratios[i] = ratios[i];
    if (display) std::memcpy(record->display, display, kChartDisplaySize);
}

void InitChartView(ChartView *view, int role, double limitingMagnitude, double field,
                   double fieldCircle, double setting30, double setting38, uint8_t setting2,
                   uint8_t setting3, uint8_t leftRight, uint8_t upDown, const uint8_t *layerTable,
                   const uint8_t *options) {
    if (!view) return;
    std::memset(view, 0, sizeof *view);
    view->role = (uint8_t)role;
    view->setting2 = setting2;
    view->setting3 = setting3;
    view->leftRight = leftRight;
    view->upDown = upDown;
    view->limitingMagnitude = limitingMagnitude;
    view->field = field;
    view->fieldCircle = fieldCircle;
    view->setting30 = setting30;
    view->setting38 = setting38;
    const double degree = kPi / 180, arcsecond = degree / 3600;
    const double steps[10] = {2 * kPi,    kPi,        kPi / 2,         kPi / 4,         10 * degree,
                              5 * degree, 1 * degree, 30 * arcsecond, 10 * arcsecond, arcsecond};
    for (int i = 0; i < 10; i++) view->gridSteps[i] = steps[i];
    view->scale134 = 1.0;
    if (layerTable) std::memcpy(view->layerTable, layerTable, kChartLayerTableSize);
    if (options) std::memcpy(view->options, options, kChartViewOptionsSize);
}

void InitChartViewMarks(ChartViewMarks *marks, uint8_t first, int32_t value1, int32_t value2,
                        uint8_t b1, uint8_t b2, uint8_t b3, uint8_t b4) {
    if (!marks) return;
    marks->first = first;
    marks->value1 = value1;
    marks->value2 = value2;
    marks->bytes[0] = b1;
    marks->bytes[1] = b2;
    marks->bytes[2] = b4;
    marks->bytes[3] = b3;
}
