// Component rows of a double star for the picker's list.
#include "picker/pairrows.h"

#include <memory>
#include <vector>

#include "ephem/binaryorbit.h"
#include "objects/binaryorbitcat.h"
#include "objects/ccdmcat.h"
#include "objects/starcat.h"

int ReadDoubleStarComponents(const StarRecord &star, double year, PairComponent *out, int max) {
    const int record = star.ccdm_record;
    if (record <= 0 || !out || max <= 0) return 0;
    std::unique_ptr<CcdmFiles, void (*)(CcdmFiles *)> files(OpenCcdmFiles(), CloseCcdmFiles);
    if (!files) return 0;
    std::vector<CcdmComponent> rows(kMaxCcdmComponents);
    double primary = kCcdmNoMagnitude;
    const int count = ReadCcdmRecord(files.get(), record, nullptr, nullptr, nullptr, nullptr,
                                     &primary, nullptr, nullptr, nullptr, nullptr, rows.data(),
                                     kCcdmReadMagnitudes | kCcdmReadIdentifiers |
                                         kCcdmReadMeasures | kCcdmReadComponents);
    if (count <= 0) return 0;
    OrbitFiles *orbits = nullptr;
    const int n = count < max ? count : max;
    for (int i = 0; i < n; ++i) {
        const CcdmComponent &row = rows[(size_t)i];
        PairComponent &c = out[i];
        c.letter = row.letter;
        c.referenceLetter = row.referenceLetter;
        c.star = row.starNumber;
        c.referenceMagnitude = ReferenceMagnitude(rows.data(), i, count, primary);
        c.magnitude = row.magnitude;
        c.separation = row.separation;
        c.orbit = 0;
        const int orbitNumber = row.orbitNumber;
        if (orbitNumber <= 0) continue;
        if (!orbits) orbits = OpenBinaryOrbitFiles();
        BinaryOrbit orbit;
        double angle = 0.0, separation = 0.0;
        if (ReadBinaryOrbit(orbits, orbitNumber, &orbit, nullptr, nullptr, nullptr) &&
            ComputeBinaryStarPosition(&orbit, year, &angle, &separation)) {
            c.separation = separation;
            c.orbit = 1;
        }
    }
    CloseBinaryOrbitFiles(orbits);
    return n;
}
