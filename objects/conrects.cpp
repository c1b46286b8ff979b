// Constellation boundary rectangles: the process-wide cache loaded from
// conrect.bin, and the point-in-constellation tests after precessing the place
// to B1875.0 in the FK4 system (the frame of the boundaries).
#include "objects/conrects.h"

#include <cmath>
#include <vector>

#include "core/safefile.h"
#include "astro/precession.h"
#include "core/datapaths.h"
#include "objects/catfile.h"
#include "objects/constellations.h"
#include "core/mathutil.h"

namespace {

const int kConrectCatalogue = 55;  // "conrect"
const double kTwoPi = 2.0 * kPi;

struct Rect {
    double ra1, ra2, decLow, decHigh;
};

struct RectCache {
    bool loaded = false;
    std::vector<Rect> rects[kConstellationCount];
};

RectCache &Cache() {
    static RectCache cache;
    return cache;
}

void ClearCache(RectCache &c) {
    for (auto &v : c.rects) std::vector<Rect>().swap(v);
    c.loaded = false;
}

// The place precessed from the equinox (FK5) to B1875.0 (FK4).
void ToB1875(double *ra, double *dec, double equinox) {
    PrecessionRecord p;
    InitPrecession(&p, equinox, kEpochB1875, kSystemFk5, kSystemFk4);
    ApplyPrecession(&p, ra, dec, 0.0, 0.0, 0);
}

bool InIndex(const RectCache &c, int index, double ra, double dec) {
    for (const Rect &r : c.rects[index])
        if (RectangleContains(r.ra1, r.ra2, r.decLow, r.decHigh, ra, dec)) return true;
    return false;
}

}  // namespace

bool RectangleContains(double ra1, double ra2, double decLow, double decHigh, double ra,
                       double dec) {
    if (dec < decLow || dec > decHigh) return false;
    double span = std::fabs(ra1 - ra2);
    if (span >= kTwoPi - 1e-9) return true;  // a full circle, e.g. a polar cap
    // More than 12 hours apart (beyond the rounding of the stored turn
    // fractions, so that a rectangle of exactly 12 hours does not wrap).
    if (span > kPi + 1e-6) {
        double a = ra < kPi ? ra + kTwoPi : ra;
        return a >= ra2 && a <= ra1 + kTwoPi;
    }
    return ra >= ra1 && ra <= ra2;
}

int LoadConstellationRects() {
    RectCache &c = Cache();
    if (c.loaded) return 1;
    // Before the data is located there is no file to look for; do not latch
    // "absent", or one early call would disable constellations for the run.
    if (!GetRefDirectory(0)) return 0;
    ClearCache(c);
    FILE *f = OpenCatalogueFile(kConrectCatalogue, 0);
    if (!f) {
        c.loaded = true;
        return 1;
    }
    int64_t size = StreamSize(f);
    bool ok = size >= 0;
    for (int i = 0; i < kConstellationCount && ok; ++i) {
        unsigned char entry[5];
        ok = ReadAt(f, static_cast<int64_t>(i) * 5, entry, 5);
        if (!ok) break;
        uint32_t offset = GetU32(entry);
        int n = entry[4];
        if (n == 0) continue;
        ok = static_cast<int64_t>(offset) + 16LL * n <= size;
        std::vector<unsigned char> bytes(static_cast<size_t>(16 * n));
        ok = ok && ReadAt(f, offset, bytes.data(), bytes.size());
        if (!ok) break;
        c.rects[i].resize(static_cast<size_t>(n));
        for (int k = 0; k < n; ++k) {
            const unsigned char *p = bytes.data() + 16 * k;
            c.rects[i][k] = {TurnFractionToRadians(GetI32(p)), TurnFractionToRadians(GetI32(p + 4)),
                             TurnFractionToRadians(GetI32(p + 8)),
                             TurnFractionToRadians(GetI32(p + 12))};
        }
    }
    std::fclose(f);
    if (!ok) {
        ClearCache(c);
        return 0;
    }
    c.loaded = true;
    return 1;
}

void FreeConstellationRects() { ClearCache(Cache()); }

int ConstellationAt(double ra, double dec, double equinox) {
    if (!LoadConstellationRects()) return -1;
    ToB1875(&ra, &dec, equinox);
    const RectCache &c = Cache();
    for (int i = 0; i < kConstellationCount; ++i)
        if (InIndex(c, i, ra, dec)) return i;
    return -1;
}

int InConstellation(int index, double ra, double dec, double equinox) {
    if (index < 0 || index >= kConstellationCount) return -1;
    if (!LoadConstellationRects()) return -1;
    ToB1875(&ra, &dec, equinox);
    return InIndex(Cache(), index, ra, dec) ? 1 : -1;
}
