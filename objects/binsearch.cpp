// The five binary searches over sorted arrays and file records. Each halves
// the range until the call-back matches or the range is empty; the loop form
// visits exactly the elements a recursive halving would.
#include "objects/binsearch.h"

#include <cstdint>

namespace {

// (low + high) / 2 rounded toward zero, without overflowing int.
int Middle(int low, int high) {
    return static_cast<int>((static_cast<int64_t>(low) + high) / 2);
}

}  // namespace

void *BinarySearchRecords(const void *array, int low, int high, const void *key,
                          RecordArrayCompare compare) {
    if (!compare) return nullptr;
    while (low <= high) {
        int mid = Middle(low, high);
        void *record = nullptr;
        int r = compare(key, array, mid, &record);
        if (r == 0) return record;
        if (r < 0) high = mid - 1;
        else low = mid + 1;
    }
    return nullptr;
}

int BinarySearchIndexArray(const int *array, int low, int high, const void *key,
                           IndexArrayCompare compare) {
    if (!compare) return -1;
    while (low <= high) {
        int mid = Middle(low, high);
        int r = compare(key, array, mid);
        if (r == 0) return mid;
        if (r < 0) high = mid - 1;
        else low = mid + 1;
    }
    return -1;
}

int BinarySearchInsertionPoint(const void *context, int low, int high, const void *key,
                               ContextCompare compare) {
    if (!compare) return high;
    while (low <= high) {
        int mid = Middle(low, high);
        int r = compare(key, context, mid);
        if (r == 0) return mid;
        if (r < 0) high = mid - 1;
        else low = mid + 1;
    }
    return high;
}

void *BinarySearchFileRecords(FILE *file, int low, int high, const void *key, int *indexOut,
                              FileRecordCompare compare) {
    if (!compare) return nullptr;
    while (low <= high) {
        int mid = Middle(low, high);
        void *record = nullptr;
        int r = compare(key, file, mid, &record);
        if (r == 0) {
            if (indexOut) *indexOut = mid;
            return record;
        }
        if (r < 0) high = mid - 1;
        else low = mid + 1;
    }
    return nullptr;
}

int BinarySearchFileIndex(FILE *file, int low, int high, const void *key,
                          FileIndexCompare compare) {
    if (!compare) return -1;
    while (low <= high) {
        int mid = Middle(low, high);
        int r = compare(key, file, mid);
        if (r == 0) return mid;
        if (r < 0) high = mid - 1;
        else low = mid + 1;
    }
    return -1;
}
