// Time-ordered insertion with the duplicate rule, and removal of one record.
//
// Both change the file in place (the file is open through a whole compute
// pass, so it cannot be replaced under the caller), in an order that never
// loses a stored record: an insertion first copies the last record one place
// on and writes the raised count, then moves the others one place on from the
// end down, then writes the new record; at any moment every stored record is
// within the count (one may show twice until the move is done). A removal
// moves the later records one place back, then writes the lowered count. A
// failed step puts the moved records back and the old count.
#include "events/eventinsert.h"

#include <cmath>
#include <new>
#include <vector>

#include "core/safefile.h"
#include "events/eventstore.h"

namespace {

bool SamePair(const EventRecord *a, const EventRecord *b) {
    const bool inOrder = a->body1Class == b->body1Class && a->body1Index == b->body1Index &&
                         a->body1Satellite == b->body1Satellite && a->body2Class == b->body2Class &&
                         a->body2Index == b->body2Index && a->body2Satellite == b->body2Satellite;
    const bool swapped = a->body1Class == b->body2Class && a->body1Index == b->body2Index &&
                         a->body1Satellite == b->body2Satellite && a->body2Class == b->body1Class &&
                         a->body2Index == b->body1Index && a->body2Satellite == b->body1Satellite;
    return inOrder || swapped;
}

// Records [first, first + n) into out.
bool ReadBlock(std::FILE *file, int first, int n, std::vector<EventRecord> *out) {
    try {
        out->resize(static_cast<size_t>(n));
    } catch (...) {
        return false;
    }
    if (n == 0) return true;
    if (!SafeSeek(file, kEventHeaderSize + static_cast<int64_t>(first) * kEventRecordSize)) return false;
    return SafeRead(out->data(), sizeof(EventRecord), static_cast<size_t>(n), file) == static_cast<size_t>(n);
}

bool WriteBlock(std::FILE *file, int first, const EventRecord *records, int n) {
    if (n == 0) return true;
    if (!SafeSeek(file, kEventHeaderSize + static_cast<int64_t>(first) * kEventRecordSize)) return false;
    return SafeWriteAll(file, records, sizeof(EventRecord) * static_cast<size_t>(n)) == 1;
}

}  // namespace

int IsSameEvent(const EventRecord *a, const EventRecord *b) {
    if (!a || !b || a->kind != b->kind) return 0;
    const int kind = a->kind;
    const int codeA = a->contacts[0].code;
    const int codeB = b->contacts[0].code;
    if (kind == kEventSatellitePhenomenon) {
        if (GetPhenomenonGroup(codeA) != GetPhenomenonGroup(codeB)) return 0;
    } else if (kind != kEventSolarEclipse && kind != kEventLunarEclipse && kind != kEventOccultation &&
               kind != kEventTransit) {
        if (codeA != codeB) return 0;
    }
    if (kind == kEventPhenomenon || kind == kEventSatelliteElongation || kind == kEventSatellitePhenomenon) {
        if (a->body1Class != b->body1Class || a->body1Index != b->body1Index) return 0;
        // Two satellites of one planet are two events.
        if (kind != kEventPhenomenon && a->body2Index != b->body2Index) return 0;
        return 1;
    }
    return SamePair(a, b) ? 1 : 0;
}

int LocateEventSlot(std::FILE *file, const EventRecord *record, int count, int *index) {
    if (!record || !index) return kSlotReadFailure;
    *index = 0;
    if (count <= 0) return kSlotDuplicate;
    if (!file) return kSlotReadFailure;
    const double t = record->time;
    EventRecord stored;
    // The first record not earlier than the new one.
    int low = 0, high = count;
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (!ReadEvent(file, mid, &stored)) return kSlotReadFailure;
        if (stored.time < t)
            low = mid + 1;
        else
            high = mid;
    }
    // Every record within the window on either side is a candidate.
    for (int i = low - 1; i >= 0; --i) {
        if (!ReadEvent(file, i, &stored)) return kSlotReadFailure;
        if (!(std::fabs(t - stored.time) < kEventDuplicateWindowDays)) break;
        if (IsSameEvent(record, &stored)) {
            *index = i;
            return kSlotDuplicate;
        }
    }
    for (int i = low; i < count; ++i) {
        if (!ReadEvent(file, i, &stored)) return kSlotReadFailure;
        if (!(std::fabs(t - stored.time) < kEventDuplicateWindowDays)) break;
        if (IsSameEvent(record, &stored)) {
            *index = i;
            return kSlotDuplicate;
        }
    }
    *index = low;
    return low >= count ? kSlotAppend : kSlotInsert;
}

int InsertEvent(std::FILE *file, EventFileHeader *header, double span, const EventRecord *record, int limit) {
    if (!file || !header || !record) return 0;
    if (limit && record->time > header->start + span) return 0;
    // The count as the file holds it now, under the lock (another program
    // may have added events since the caller read its header).
    StoreLock lock;
    int32_t n = 0;
    if (!LockEventStore(&lock) || !ReadStoredEventCount(file, &n)) return 0;
    header->count = n;
    int index = 0;
    const int slot = LocateEventSlot(file, record, n, &index);
    if (slot == kSlotReadFailure) return 0;
    if (slot == kSlotDuplicate && n > 0) {
        // A recomputed event refreshes the stored one in place.
        WriteEventAt(file, index, record);
        SafeFlush(file);
        return 0;
    }
    if (slot != kSlotInsert) {
        // Append (or the first record): the record, then the count.
        if (!WriteEventAt(file, n, record)) return 0;
        if (!WriteEventCount(file, n + 1)) {
            WriteEventCount(file, n);  // the count may have gone halfway
            return 0;
        }
        header->count = n + 1;
        return 1;
    }
    std::vector<EventRecord> tail;
    if (!ReadBlock(file, index, n - index, &tail)) return 0;
    const int moved = n - index;
    // The last record one place on, then the raised count.
    if (!WriteEventAt(file, n, &tail[moved - 1])) return 0;
    bool ok = WriteEventCount(file, n + 1) == 1;
    for (int k = moved - 2; k >= 0 && ok; --k) ok = WriteEventAt(file, index + k + 1, &tail[k]) == 1;
    if (ok) ok = WriteEventAt(file, index, record) == 1;
    if (ok) ok = SafeFlush(file) == 1;
    if (!ok) {
        // Put the stored records back where they were, then the old count.
        WriteBlock(file, index, tail.data(), moved);
        WriteEventCount(file, n);
        return 0;
    }
    header->count = n + 1;
    return 1;
}

int DeleteEvent(std::FILE *file, EventFileHeader *header, int i) {
    if (!file || !header) return 0;
    StoreLock lock;
    int32_t n = 0;
    if (!LockEventStore(&lock) || !ReadStoredEventCount(file, &n)) return 0;
    header->count = n;
    if (i < 0 || i >= n) return 0;
    std::vector<EventRecord> block;
    if (!ReadBlock(file, i, n - i, &block)) return 0;
    bool ok = WriteBlock(file, i, block.data() + 1, n - i - 1);
    if (ok) ok = WriteEventCount(file, n - 1) == 1;
    if (!ok) {
        WriteBlock(file, i, block.data(), n - i);
        WriteEventCount(file, n);
        return 0;
    }
    header->count = n - 1;
    return 1;
}
