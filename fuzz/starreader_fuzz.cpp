// Fuzz target: the chart star reader on an arbitrary mag10 zone file.
//
// Input: byte 0 sets the limiting magnitude (low 4 bits: 4 to 19) and
// whether range symbols are on (bit 4); the rest is the file
// mag10/db07/stars.bin, whose region 0 (0 to 15 degrees in both) the search
// reads with region 1 after it. ReadNextStar decodes every record form, the
// variable blocks, component lists, orbital systems and orbits: it must end
// with 0 or -1 without reading outside the file or writing past the
// component table, and every star it returns must lie in the window with a
// shade of 0 to 50.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "charts/chartcontext.h"
#include "charts/charttime.h"
#include "charts/starreader.h"
#include "core/datapaths.h"
#include "core/fileutil.h"
#include "fuzz/fuzzscratch.h"
#include "objects/stardatabase.h"

namespace {

const double kDegree = 3.14159265358979323846 / 180;
// ReadNextStar calls of one input at most: every call reads a record.
const int kMaxReads = 100000;

void Check(bool ok, const char *what) {
    if (!ok) {
        std::fprintf(stderr, "star reader check failed: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    static std::string map;
    if (map.empty()) {
        map = fuzz::ScratchFolder() + "/map/";
        EnsureDirectory(map.c_str());
        EnsureDirectory((map + "mag10").c_str());
        EnsureDirectory((map + "mag10/db07").c_str());
    }
    std::string path = map + "mag10/db07/stars.bin";
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    bool written = std::fwrite(data + 1, 1, size - 1, f) == size - 1;
    if (std::fclose(f) != 0 || !written) return 0;
    SetMapDirectories(map.c_str(), map.c_str(), map.c_str());

    std::unique_ptr<ChartContext> c(new ChartContext);
    std::memset(c.get(), 0, sizeof *c);
    ClearStarReader(c.get());
    SetChartSite(c.get(), 0, 0, 0, 6.5, 0, 18.3, 60, 2, 2.0, 0);
    SetChartTime(c.get(), 2451545.0);
    double limit = 4 + (data[0] & 0x0F);
    SetStarSearchLimits(c.get(), limit, 1, 1, 100, 1, (data[0] & 0x10) ? 1 : 0, 1, 1, 1);
    if (BeginStarSearch(c.get(), 15 * kDegree, 7.5 * kDegree, 0, 0, 40 * kDegree, 1000, 1000, 0, 0,
                        0, 0, 0, 0, 1, kStarDbMag10, kFrameJ2000, 0, 0) != 1)
        return 0;
    ResetStarReader(c.get());
    AddStarRegionAt(c.get(), 7.5 * kDegree, 7.5 * kDegree);
    AddStarRegionAt(c.get(), 22.5 * kDegree, 7.5 * kDegree);
    ChartStar star;
    int result = 1;
    for (int n = 0; n < kMaxReads && result > 0; ++n) {
        result = ReadNextStar(c.get(), &star);
        Check(result >= -1 && result <= 2, "a result of -1, 0, 1 or 2");
        if (result <= 0) break;
        Check(star.x >= c->visibleLeft && star.x <= c->visibleRight, "x in the window");
        Check(star.y >= c->visibleTop && star.y <= c->visibleBottom, "y in the window");
        Check(star.shade <= 50, "a shade of 0 to 50");
        Check(c->componentTableCount >= 0 && c->componentTableCount <= kComponentTableSize,
              "the component table within its 50 entries");
    }
    Check(result <= 0, "the reads end");
    EndStarSearch(c.get());
    return 0;
}
