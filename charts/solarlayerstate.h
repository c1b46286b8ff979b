// The part of a chart's context that its solar-system layers keep between
// their calls: the bodies collected near the field (count and cursor), the
// Earth's heliocentric place at the chart time, the cursors of the satellite
// and focus enumerators, and the comet and minor-planet search settings the
// collector hands to the field searches.
#pragma once
#include <cstdint>

#include "ephem/bodyrecord.h"

// What the chart hands to the packaged and user comet field searches besides
// its centre, radius and magnitude limits. A value of kCometFilterNoLimit
// leaves that condition off.
struct ChartCometFilter {
    double maxDelta;          // AU
    double minElongation;     // rad
    double perihelionWindow;  // Julian centuries either side of the chart time
    int32_t typeMode;         // kCometType... of the field search
    int32_t keepD;            // 1: defunct comets stay in the search
};

struct SolarLayerState {
    int32_t hitCount;          // bodies collected by the last collection
    int32_t hitCursor;         // next hit an enumerator reads
    int32_t satelliteCursor;   // satellite (from 0) of the satellite enumerators
    int32_t shadowPending;     // 1: the shadow of the satellite at the cursor was returned
    int32_t timeCursor;        // focus enumerator: next time of the focus list
    HeliocentricPlace earth;   // at the chart time, stored by the collector
    uint8_t cometLimitSwitch;  // 1: comets down to the chart's limiting magnitude (imaging test)
    uint8_t noLimitSwitch;     // 1: comets of every magnitude
    ChartCometFilter cometFilter;
};
