// Clearing the star reader's state and setting the star limits.
#include "charts/starreader.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "charts/chartcontext.h"

int ClearStarReader(ChartContext *chart) {
    if (!chart) return 0;
    if (chart->regionFile) std::fclose(chart->regionFile);
    if (chart->starCatalogueFile) std::fclose(chart->starCatalogueFile);
    std::free(chart->firstRegions);
    std::free(chart->secondRegions);
    chart->regionFile = nullptr;
    chart->starCatalogueFile = nullptr;
    chart->doubleStarCatalogue = nullptr;
    chart->firstRegions = chart->secondRegions = nullptr;
    chart->firstRegionCount = chart->secondRegionCount = 0;
    chart->regionPosition = 0;
    chart->recordsInRegion = chart->recordsRead = 0;
    chart->componentCount = chart->componentCounter = 0;
    chart->componentTableCount = 0;
    chart->imagingFilterOn = 0;
    chart->selectedObjectType = chart->selectedObjectIndex = 0;
    chart->selectedObjectFound = 0;
    chart->layerFlag = 0;
    chart->projection.kind = 1;
    chart->limitingMagnitude = 6.5;
    chart->searchPrepared = 0;
    return 1;
}

int SetStarSearchLimits(ChartContext *chart, double limitingMagnitude, double zoom, int sizeLaw,
                        double sizePercent, double smallestRadius, int rangeSymbols, int mirrorY,
                        int mirrorX, double sizeFactor) {
    if (!chart) return 0;
    chart->limitingMagnitude = limitingMagnitude;
    chart->referenceMagnitude = limitingMagnitude;
    chart->sizeLaw = sizeLaw;
    chart->rangeSymbols = rangeSymbols;
    chart->radiusOffset = smallestRadius - 1;
    if (zoom == 0) zoom = 1;
    chart->sizeScale = sizeLaw == 1 ? sizePercent * 0.01 : sizePercent * zoom * 0.01;
    chart->sizeScale *= sizeFactor >= 1 ? sizeFactor : 1 - (1 - sizeFactor) * 0.25;
    chart->mirrorY = (uint8_t)(mirrorY ? 1 : 0);
    chart->mirrorX = (uint8_t)(mirrorX ? 1 : 0);
    return 1;
}
