// Typical seeing per seeing rating.
#include "visibility/seeing.h"

namespace {
const double kTypicalSeeing[5] = {0.3, 0.75, 1.5, 3.0, 5.0};
}

double GetSeeingForRating(int rating) {
    // Ratings come from stored sites too; keep a damaged value inside the table.
    if (rating < 0) rating = 0;
    if (rating > 4) rating = 4;
    return kTypicalSeeing[rating];
}
