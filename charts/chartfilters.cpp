// The chart's selected object, its visual and imaging filters and the
// display block it carries for its caller.
#include <cstring>

#include "charts/chartcontext.h"
#include "objects/objectrecord.h"

void SetChartSelectedObject(ChartContext *chart, const ObjectRecord *object) {
    if (!chart) return;
    chart->selectedObjectType = object ? object->objectClass : 0;
    chart->selectedObjectIndex = object ? object->index : 0;
}

void SetChartVisualFilter(ChartContext *chart, const OpticsBlock *optics,
                          const ObserverRecord *observer, double filterMagnitude) {
    if (!chart) return;
    chart->filterOptics = optics;
    chart->filterObserver = observer;
    chart->filterMagnitude = filterMagnitude;
    chart->imagingFilterOn = 0;
}

void SetChartImagingFilter(ChartContext *chart, const OpticsBlock *optics, int camera,
                           int cameraFilter, int option, double exposure, int useEphemerides) {
    if (!chart) return;
    chart->imagingFilterOn = 0;
    chart->filterOptics = optics;
    chart->camera = camera;
    chart->cameraFilter = cameraFilter;
    chart->imagingOption = option;
    chart->exposure = exposure;
    chart->useEphemerides = useEphemerides;
    if (useEphemerides) {
        // The Sun and Moon at the middle of the exposure.
        ComputeSunMoonState(&chart->site, chart->currentDate.julianDate + exposure * 0.5 / 86400.0,
                            chart->centreRightAscension, chart->centreDeclination, &chart->sunMoon, 0);
    } else {
        EstimateSunMoonStateForTarget(&chart->site, chart->centreRightAscension,
                                      chart->centreDeclination, &chart->sunMoon);
    }
    if (camera >= 0) chart->imagingFilterOn = 1;
}

int SetChartDisplayBlock(ChartContext *chart, const uint8_t *block, int16_t first, int16_t second) {
    if (!chart) return 0;
    chart->displayBlockFlag = 0;
    if (block) std::memcpy(chart->displayBlock, block, sizeof chart->displayBlock);
    chart->displayValues[0] = first;
    chart->displayValues[1] = second;
    return 1;
}
