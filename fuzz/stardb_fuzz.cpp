// Fuzz target: the star database region walk on arbitrary region files.
//
// Input: byte 0 picks the offset-table entry (low 4 bits) and whether the
// region is a polar cap (bit 4); the rest is the file. Every region walk must
// end (a result of 0 or -1) without reading outside the file, and every star
// it returns must carry a code and a place that are numbers.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/fuzzscratch.h"
#include "objects/stardatabase.h"

namespace {

void Check(bool ok, const char *what) {
    if (!ok) {
        std::fprintf(stderr, "star database check failed: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    if (!fuzz::WriteScratchFile("stars.bin", data + 1, size - 1)) return 0;
    std::string path = fuzz::ScratchFolder() + "/stars.bin";
    FILE *f = std::fopen(path.c_str(), "rb");
    if (!f) return 0;
    StarRegionBounds bounds = {0.1, 0.2, 0.05, 0.05, 0};
    if (data[0] & 0x10) bounds = {0, 1.5, 6.283185307179586, 0.026, 1};
    StarRegionWalk walk;
    int result = BeginStarRegionWalk(&walk, f, data[0] & 0x0F, bounds);
    Check(result >= -1 && result <= 1, "begin gives -1, 0 or 1");
    int stars = 0;
    DecodedStar s;
    while (result == 1) {
        result = NextStarInRegion(&walk, &s);
        Check(result >= -1 && result <= 1, "next gives -1, 0 or 1");
        if (result != 1) break;
        Check(s.code >= 0 && s.code < 16, "a code of 4 bits");
        Check(std::isfinite(s.rightAscension) && std::isfinite(s.declination), "a finite place");
        Check(std::isfinite(s.motionRightAscension) && std::isfinite(s.motionDeclination),
              "finite motions");
        Check(++stars <= walk.count, "no more stars than the region's count");
        Check(std::ftell(f) <= walk.fileSize, "no read past the end");
    }
    std::fclose(f);
    return 0;
}
