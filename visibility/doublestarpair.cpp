// The component pair of a double star to show.
#include "visibility/doublestarpair.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "objects/ccdmcat.h"
#include "objects/ccdmcomponent.h"

namespace {
// A magnitude difference no pair reaches.
const double kNoDifference = 99.9;
// Pairs wider than this are field stars rather than companions (arcsec).
const double kWidestCompanion = 110.0;
// A first pair within this many magnitudes of the primary is shown as it is.
const double kNearMagnitude = 3.0;
}  // namespace

int ChooseDoubleStarComponent(double m, double limit, const CcdmComponent *rows, int count) {
    if (!rows || count <= 0) return -1;
    if (count == 1) return 0;
    int best = 0;
    double bestDifference = kNoDifference;
    if (rows[0].separation < limit) {
        // The first pair is too close: the split pair nearest in brightness.
        for (int i = 1; i < count; ++i) {
            if (!(rows[i].separation >= limit)) continue;
            const double d = std::fabs(rows[i].magnitude - m);
            if (d < bestDifference) {
                bestDifference = d;
                best = i;
            }
        }
        return best;
    }
    const double first = std::fabs(rows[0].magnitude - m);
    if (first <= kNearMagnitude) return 0;
    for (int i = 1; i < count; ++i) {
        const CcdmComponent &r = rows[i];
        const double d = std::fabs(r.magnitude - m);
        if (!(d < first) || !(d < bestDifference)) continue;
        if (!(r.separation < kWidestCompanion) || !(r.separation >= limit)) continue;
        if (r.referenceLetter == 'A' || r.letter == 'a' || r.letter == 'b') continue;
        bestDifference = d;
        best = i;
    }
    return best;
}

int FindDoubleStarComponent(int record, double resolutionLimit, CcdmComponent *rowOut) {
    std::unique_ptr<CcdmFiles, void (*)(CcdmFiles *)> files(OpenCcdmFiles(), CloseCcdmFiles);
    if (!files) return -1;
    std::vector<CcdmComponent> rows(kMaxCcdmComponents);
    double magnitude = kCcdmNoMagnitude;
    const int count = ReadCcdmRecord(files.get(), record, nullptr, nullptr, nullptr, nullptr,
                                     &magnitude, nullptr, nullptr, nullptr, nullptr, rows.data(),
                                     kCcdmReadMagnitudes | kCcdmReadIdentifiers |
                                         kCcdmReadMeasures | kCcdmReadComponents);
    if (count <= 0) return -1;
    const int chosen = ChooseDoubleStarComponent(magnitude, resolutionLimit, rows.data(), count);
    if (chosen >= 0 && rowOut) std::memcpy(rowOut, &rows[(size_t)chosen], sizeof *rowOut);
    return chosen;
}
