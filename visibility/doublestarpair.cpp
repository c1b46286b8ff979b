// The component pair of a double star to show.
#include "visibility/doublestarpair.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "astro/datetime.h"
#include "instruments/doublesplit.h"
#include "objects/binaryorbitcat.h"
#include "objects/ccdmcat.h"
#include "objects/ccdmcomponent.h"
#include "objects/objectrecord.h"
#include "objects/starcat.h"

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

namespace {
// The components of a star's CCDM record and the star's own component
// letter; the count, 0 when the star has none or cannot be read.
int ReadStarComponents(int star, std::vector<CcdmComponent> *rows, char *ownComponent) {
    FILE *stream = OpenStarCatalogue();
    if (!stream) return 0;
    std::unique_ptr<StarRecord> record(new StarRecord);
    const int ok = ReadStarRecord(stream, star, record.get(), nullptr, kStarReadIdentifiers);
    std::fclose(stream);
    if (!ok || record->ccdm_record <= 0) return 0;
    if (ownComponent) *ownComponent = record->component;
    std::unique_ptr<CcdmFiles, void (*)(CcdmFiles *)> files(OpenCcdmFiles(), CloseCcdmFiles);
    if (!files) return 0;
    rows->assign(kMaxCcdmComponents, CcdmComponent{});
    const int count = ReadCcdmRecord(files.get(), record->ccdm_record, nullptr, nullptr, nullptr,
                                     nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                     rows->data(), kCcdmReadIdentifiers | kCcdmReadComponents);
    return count > 0 ? count : 0;
}
}  // namespace

int FindComponentOrbitNumber(int star, char letter) {
    std::vector<CcdmComponent> rows;
    char own = ' ';
    const int count = ReadStarComponents(star, &rows, &own);
    if (letter == ' ') letter = 'A';
    if (letter == 'A' && own != ' ' && own != 'A' && own != '\0') letter = own;
    for (int i = 0; i < count; ++i)
        if (rows[(size_t)i].letter == letter) return rows[(size_t)i].orbitNumber;
    return 0;
}

int FindFirstOrbitComponent(int star, char *letter) {
    if (letter) *letter = ' ';
    std::vector<CcdmComponent> rows;
    const int count = ReadStarComponents(star, &rows, nullptr);
    for (int i = 0; i < count; ++i) {
        if (rows[(size_t)i].orbitNumber == 0) continue;
        if (letter) *letter = rows[(size_t)i].letter;
        return rows[(size_t)i].starNumber;
    }
    return 0;
}

namespace {
// A component measured nowhere: position angle 361 with separation 0.
const double kNoPositionAngle = 361.0;
const double kMagnitudeValidBelow = 90.0;

// Position angles and separations of the components with an orbit, for the year.
void ApplyOrbits(std::vector<CcdmComponent> *rows, int count, double year) {
    OrbitFiles *files = nullptr;
    for (int i = 0; i < count; ++i) {
        CcdmComponent &row = (*rows)[(size_t)i];
        const int orbitNumber = row.orbitNumber;
        if (orbitNumber <= 0) continue;
        if (!files) files = OpenBinaryOrbitFiles();
        BinaryOrbit orbit;
        if (!ReadBinaryOrbit(files, orbitNumber, &orbit, nullptr, nullptr, nullptr)) continue;
        const double correction = BinaryOrbitPrecessionCorrection(orbitNumber, &orbit);
        double angle = 0.0, separation = 0.0;
        if (ComputeBinaryPositionAngle(orbitNumber, &orbit, year, correction, &angle, &separation)) {
            row.positionAngle = angle;
            row.separation = separation;
        }
    }
    CloseBinaryOrbitFiles(files);
}
}  // namespace

void SelectDoubleStarComponents(const DateRecord *date, double aperture, ObjectRecord *item) {
    if (!item || item->doubleStarRecord <= 0) return;
    std::unique_ptr<CcdmFiles, void (*)(CcdmFiles *)> files(OpenCcdmFiles(), CloseCcdmFiles);
    if (!files) return;
    std::vector<CcdmComponent> rows(kMaxCcdmComponents);
    double magnitude = kCcdmNoMagnitude;
    const int count = ReadCcdmRecord(files.get(), item->doubleStarRecord, nullptr, nullptr, nullptr,
                                     nullptr, &magnitude, nullptr, nullptr, nullptr, nullptr,
                                     rows.data(),
                                     kCcdmReadMagnitudes | kCcdmReadIdentifiers |
                                         kCcdmReadMeasures | kCcdmReadComponents);
    files.reset();
    if (count <= 0) return;
    if (date) ApplyOrbits(&rows, count, date->decimalYear);
    const int chosen = ChooseDoubleStarComponent(magnitude, DawesLimit(aperture), rows.data(), count);
    if (chosen < 0) return;
    const CcdmComponent &row = rows[(size_t)chosen];
    const double angle = row.positionAngle, separation = row.separation;
    if (angle == kNoPositionAngle && separation == 0.0) return;
    item->pairComponentA = row.referenceLetter;
    item->pairComponentB = row.letter;
    item->pairSeparation = (float)separation;
    const double companion = row.magnitude;
    if (companion < kMagnitudeValidBelow) {
        item->companionMagnitude = (float)companion;
    } else if (row.starNumber > 0) {
        FILE *stream = OpenStarCatalogue();
        if (!stream) return;
        std::unique_ptr<StarRecord> star(new StarRecord);
        const int ok = ReadStarRecord(stream, row.starNumber, star.get(), nullptr, kStarReadMagnitude);
        std::fclose(stream);
        if (ok) item->companionMagnitude = (float)star->v_magnitude;
    } else {
        item->companionMagnitude = (float)kCcdmNoMagnitude;
    }
}
