// Best observing time and visible span of a list item.
#include "visibility/itembesttime.h"

#include <cmath>

#include "astro/datetime.h"
#include "astro/location.h"
#include "astro/sidereal.h"
#include "core/mathutil.h"
#include "objects/objectrecord.h"
#include "visibility/observability.h"

namespace {

const double kTenMinutes = 0.006944444;  // days
const double kTwentyMinutes = 1.0 / 72.0;

struct Window {
    double from, to;
};

Window ItemWindow(const ObjectRecord *item, const LocationRecord *site) {
    const bool horizon = !(site->displayFlags & kSiteIgnoresHorizon);
    Window w;
    w.from = (item->horizonRiseTime != -1.0f && horizon) ? item->horizonRiseTime : item->riseTime;
    w.to = (item->horizonSetTime != -1.0f && horizon) ? item->horizonSetTime : item->setTime;
    return w;
}

bool NothingToScan(const Window &w) {
    return (w.from == -2.0 && w.to == -2.0) || (w.from == -1.0 && w.to == -1.0);
}

void LocalDate(const LocationRecord *site, const DateRecord *date, double hours, DateRecord *out) {
    SetDateRecord(out, site, date->month, date->day, date->year, hours, kLocalTime);
    SetDateRecordFromJulianDate(site, out);
    ComputeDeltaTAndNutation(out, 0.0);
    ComputeSiderealTimes(site, out);
}

double LocalHoursOf(const LocationRecord *site, const DateRecord *like, double julianDate) {
    DateRecord d = *like;
    d.julianDate = julianDate;
    SetDateRecordFromJulianDate(site, &d);
    return d.localHours;
}

}  // namespace

int FindItemBestTime(ObjectRecord *item, const LocationRecord *site, const DateRecord *date,
                     OpticsBlock *optics, const ObserverRecord *observer,
                     const uint8_t *darknessTable, int tableLength) {
    if (!item || !site || !date) return -1;
    item->bestTime = -1.0f;
    const Window w = ItemWindow(item, site);
    if (NothingToScan(w)) return 1;
    double step = kTenMinutes, start, end, span;
    if (w.from == 0.0 && w.to == 0.0) {
        start = -12.0;
        end = 12.0;
        span = 1.0;
    } else {
        start = ExtendHoursPastMidnight(w.from) - 24.0;
        end = ExtendHoursPastMidnight(w.to) - 24.0;
        if (start > 0.0 && end < 0.0) {
            start = -12.0;
            end = 12.0;
        } else if (start > end) {
            if (end < 0.0)
                end += 24.0;
            else
                start -= 24.0;
        }
        if (start < -12.0) start = -12.0;
        if (end > 36.0) end = 36.0;
        span = std::fabs(end - start) / 24.0;
    }
    if (!(span > 0.0)) return 1;
    if (span / step < 10.0) step = span / 10.0;
    DateRecord d;
    LocalDate(site, date, start, &d);
    ObservabilityIterator it;
    if (!BeginObservability(&it, site, &d, optics, observer, step, span, item, 0.0f, 0.0f, 0.0f,
                            0.0f, 0, kObservabilityOfDate, 1, nullptr))
        return -1;
    double best = 0.0, margin = 0.0;
    uint16_t score = 0;
    if (FindBestObservingTime(&it, nullptr, nullptr, &best, nullptr, nullptr, &score, &margin)) {
        item->bestTimeScore = (int16_t)score;
        item->bestTime = (float)LocalHoursOf(site, &d, best);
        item->visibilityMargin = (float)margin;
    }
    EndObservability(&it);
    return 1;
}

int FindItemVisibleSpan(ObjectRecord *item, const LocationRecord *site, const DateRecord *date,
                        OpticsBlock *optics, const ObserverRecord *observer) {
    if (!item || !site || !date) return -1;
    const Window w = ItemWindow(item, site);
    // A span from an earlier night or site never survives a refresh.
    item->visibleFrom = -1.0f;
    item->visibleUntil = -1.0f;
    if (item->bestTime == -1.0f || NothingToScan(w)) return 0;
    const double around = ExtendHoursPastMidnight(item->bestTime) - 24.0;
    for (int direction = -1; direction <= 1; direction += 2) {
        DateRecord d;
        LocalDate(site, date, around, &d);
        ObservabilityIterator it;
        if (!BeginObservability(&it, site, &d, optics, observer, kTwentyMinutes, 1.0, item, 0.0f,
                                0.0f, 0.0f, 0.0f, 0, kObservabilityOfDate, 1, nullptr))
            return -1;
        double t = 0.0;
        if (FindVisibilityEdge(&it, nullptr, nullptr, &t, direction)) {
            const float hours = (float)LocalHoursOf(site, &d, t);
            if (direction < 0)
                item->visibleFrom = hours;
            else
                item->visibleUntil = hours;
        }
        EndObservability(&it);
    }
    return 1;
}
