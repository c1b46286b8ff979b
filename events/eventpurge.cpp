// Deleting a category of events and purging past events: the kept records and
// the header with their count are written together through a temporary, so a
// failure or a crash leaves the old file whole and never a stale tail.
#include "events/eventpurge.h"

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <vector>

#include "astro/clock.h"
#include "astro/datetime.h"
#include "core/safefile.h"
#include "events/eventdates.h"
#include "events/eventstore.h"

namespace {

const double kHalfDay = 0.5;
const double kWeekDays = 7.0;

// Keeps the records for which keep() is true. Returns the number kept
// (the caller's count set to it) and whether any was dropped, -1 on failure.
int RewriteKeeping(EventFileHeader *header, const std::function<bool(const EventRecord &)> &keep,
                   bool *dropped) {
    StoreLock lock;
    if (!LockEventStore(&lock)) return -1;
    std::unique_ptr<EventFileHeader> stored(new (std::nothrow) EventFileHeader);
    if (!stored) return -1;
    std::memcpy(stored.get(), header, sizeof *header);
    FileHandle file(OpenEventFile(stored.get()));
    if (!file) return -1;
    const int n = stored->count;
    std::vector<uint8_t> bytes;
    try {
        bytes.resize(static_cast<size_t>(kEventHeaderSize + n * kEventRecordSize));
    } catch (...) {
        return -1;
    }
    if (n > 0) {
        if (!SafeSeek(file.get(), kEventHeaderSize)) return -1;
        if (SafeRead(bytes.data() + kEventHeaderSize, sizeof(EventRecord), n, file.get()) != static_cast<size_t>(n))
            return -1;
    }
    file.reset();
    EventRecord *records = reinterpret_cast<EventRecord *>(bytes.data() + kEventHeaderSize);
    int kept = 0;
    for (int i = 0; i < n; ++i) {
        if (!keep(records[i])) continue;
        if (kept != i) std::memmove(&records[kept], &records[i], sizeof(EventRecord));
        ++kept;
    }
    *dropped = kept != n;
    if (!*dropped) {
        header->count = n;
        return kept;
    }
    stored->count = kept;
    std::memcpy(bytes.data(), stored.get(), sizeof *stored);
    char path[1100];
    if (!MakeEventFilePathForHeader(header, path, sizeof path)) return -1;
    if (!WriteWholeFileSafely(path, bytes.data(), static_cast<size_t>(kEventHeaderSize + kept * kEventRecordSize)))
        return -1;
    header->count = kept;
    return kept;
}

double LastTimeOf(const EventRecord &r) {
    double last = r.time;
    const int used = r.contactCount;
    const int n = used < kEventMaxContacts ? used : kEventMaxContacts;
    for (int i = 0; i < n; ++i)
        if (r.contacts[i].time > last) last = r.contacts[i].time;
    return last;
}

}  // namespace

int DeleteEventCategory(EventFileHeader *header, const EventRecord *sample) {
    if (!header || !sample) return 0;
    const int category = GetEventCategory(sample);
    if (category < 0) return 0;
    bool dropped = false;
    const int kept = RewriteKeeping(
        header, [category](const EventRecord &r) { return GetEventCategory(&r) != category; }, &dropped);
    return kept < 0 ? 0 : 1;
}

int PurgePastEventsAt(EventFileHeader *header, double now) {
    if (!header || header->definitionKind != kDefinitionCalendar || header->purgeMode == kPurgeNever) return 0;
    const LocationRecord *site = &header->site;
    DateRecord present;
    SetCompletedDate(site, now, &present);
    const int mode = header->purgeMode;
    double cutoff = now;
    if (mode == kPurgeMonthly) {
        DateRecord first;
        std::memset(&first, 0, sizeof first);
        SetDateRecord(&first, site, present.month, 1, present.year, 0.0, kLocalTime);
        cutoff = first.julianDate;
    } else if (mode == kPurgeHalfDay) {
        cutoff = now - kHalfDay;
    }
    const int cutoffDate = LocalDateKey(site, cutoff);
    auto keep = [&](const EventRecord &r) {
        const double last = LastTimeOf(r);
        switch (mode) {
        case kPurgeHalfDay: return LocalDateKey(site, last - kHalfDay) >= cutoffDate;
        case kPurgeAfterWeek: return now <= last + kWeekDays;
        default: return !(last < cutoff);
        }
    };
    bool dropped = false;
    if (RewriteKeeping(header, keep, &dropped) < 0) return 0;
    // The monthly purge runs once a month; comparing the month alone would
    // skip a purge due after exactly a year, so a month that is past still
    // purges whatever lies before its first day.
    const bool ran = mode != kPurgeMonthly || dropped || header->lastPurgeMonth != present.month;
    header->lastPurgeMonth = present.month;
    return ran ? 1 : 0;
}

int PurgePastEvents(EventFileHeader *header) {
    if (!header) return 0;
    DateRecord now;
    std::memset(&now, 0, sizeof now);
    SetDateRecordToNow(&header->site, &now);
    return PurgePastEventsAt(header, now.julianDate);
}

int AppendIntToArray(int32_t **array, int32_t value, int *count) {
    if (!array || !count || *count < 0) return 0;
    void *grown = std::realloc(*count == 0 ? nullptr : *array, sizeof(int32_t) * static_cast<size_t>(*count + 1));
    if (!grown) return 0;  // the old block is still the caller's
    *array = static_cast<int32_t *>(grown);
    (*array)[*count] = value;
    ++*count;
    return 1;
}
