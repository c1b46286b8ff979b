// The best observing time of a list item tonight and the span around it in
// which it stays visible, from the observability scan.
#pragma once
#include <cstdint>

struct DateRecord;
struct LocationRecord;
struct ObjectRecord;
struct ObserverRecord;
struct OpticsBlock;

// Scans the item's window (its rise to set, or its rise and set over the
// obstructed horizon unless the site ignores it) in 10-minute steps, at least
// ten of them, for the list's calendar date. Writes the best time (local
// hours, -1 none), its score word and the margin there as the margin now.
// 1 (also when there is no window), -1 when the scan cannot start.
int FindItemBestTime(ObjectRecord *item, const LocationRecord *site, const DateRecord *date,
                     OpticsBlock *optics, const ObserverRecord *observer,
                     const uint8_t *darknessTable, int tableLength);
// The local hours before and after the best time at which the item stops
// being visible (visibleFrom, visibleUntil; -1 each when not found). 1; 0 when
// there is nothing to span (both ends -1); -1 when the scan cannot start.
int FindItemVisibleSpan(ObjectRecord *item, const LocationRecord *site, const DateRecord *date,
                        OpticsBlock *optics, const ObserverRecord *observer);
