// Readers of the visual-binary orbit files and the precession correction of
// a position angle from the elements' equinox to J2000: the angle at the
// star between north of J2000 and north of the equinox, found by precessing
// the star and a point one arcminute north of it.
#include "objects/binaryorbitcat.h"

#include <cstring>
#include <memory>

#include "astro/chartgeom.h"
#include "astro/precession.h"
#include "core/mathutil.h"
#include "objects/catfile.h"

struct OrbitFiles {
    FILE *elements;
    FILE *supplement;
};

namespace {
const int kOrbitElementsCatalogue = 18;    // "lp_ref"
const int kOrbitSupplementCatalogue = 19;  // "lp_sup"
const int kReferenceSlot = 1;
const double kOneArcminute = 0.0002908882086657216;  // radians

struct FileCloser {
    void operator()(FILE *f) const {
        if (f) std::fclose(f);
    }
};

// Record n of a stream, within the stated count and the file's size.
bool ReadNumbered(FILE *stream, int n, int size, unsigned char *bytes) {
    if (!stream || n < 1 || n > kBinaryOrbitCount) return false;
    const int64_t fileSize = StreamSize(stream);
    if (fileSize < (int64_t)n * size) return false;
    return ReadAt(stream, (int64_t)(n - 1) * size, bytes, (size_t)size);
}

double Single(const unsigned char *p) {
    float f;
    std::memcpy(&f, p, 4);
    return f;
}
}  // namespace

OrbitFiles *OpenBinaryOrbitFiles() {
    std::unique_ptr<FILE, FileCloser> elements(
        OpenCatalogueFile(kOrbitElementsCatalogue, kReferenceSlot));
    if (!elements) return nullptr;
    std::unique_ptr<FILE, FileCloser> supplement(
        OpenCatalogueFile(kOrbitSupplementCatalogue, kReferenceSlot));
    if (!supplement) return nullptr;
    return new OrbitFiles{elements.release(), supplement.release()};
}

void CloseBinaryOrbitFiles(OrbitFiles *files) {
    if (!files) return;
    if (files->elements) std::fclose(files->elements);
    if (files->supplement) std::fclose(files->supplement);
    delete files;
}

int ReadBinaryOrbit(OrbitFiles *files, int n, BinaryOrbit *out, double *extra1, double *extra2,
                    int *grade) {
    unsigned char p[kOrbitRecordSize];
    if (!files || !out || !ReadNumbered(files->elements, n, kOrbitRecordSize, p)) return 0;
    std::memset(out, 0, sizeof *out);
    out->period = Single(p);
    out->inclination = Single(p + 4);
    out->semi_major_axis = Single(p + 8);
    out->eccentricity = Single(p + 12);
    out->periastron_argument = Single(p + 16);
    out->node = Single(p + 20);
    out->periastron_time = Single(p + 24);
    out->equinox_year = GetI16(p + 36);
    out->mean_motion = 0.0;
    out->derived = 0.0;
    if (extra1) *extra1 = Single(p + 28);
    if (extra2) *extra2 = Single(p + 32);
    if (grade) *grade = p[38];
    return 1;
}

int ReadOrbitSupplement(OrbitFiles *files, int n, unsigned char *buffer) {
    if (!files || !buffer) return 0;
    return ReadNumbered(files->supplement, n, kOrbitSupplementSize, buffer) ? 1 : 0;
}

double BinaryOrbitPrecessionCorrection(int n, const BinaryOrbit *orbit) {
    if (!orbit) return 0.0;
    const int equinox = orbit->equinox_year;
    if (equinox == 0 || equinox == 2000) return 0.0;
    unsigned char sup[kOrbitSupplementSize];
    OrbitFiles *files = OpenBinaryOrbitFiles();
    const int ok = ReadOrbitSupplement(files, n, sup);
    CloseBinaryOrbitFiles(files);
    if (!ok) return 0.0;
    double ra = TurnFractionToRadians(GetI32(sup)), dec = TurnFractionToRadians(GetI32(sup + 4));
    double raNorth = ra, decNorth = dec + kOneArcminute;
    PrecessionRecord precession;
    InitPrecession(&precession, kEpochJ2000, (equinox - 2000) / 100.0, kSystemFk5, kSystemFk4);
    ApplyPrecession(&precession, &ra, &dec, 0.0, 0.0, 0);
    ApplyPrecession(&precession, &raNorth, &decNorth, 0.0, 0.0, 0);
    double angle = ComputePositionAngle(ra, dec, raNorth, decNorth) * 180.0 / kPi;
    if (angle > 180.0) angle -= 360.0;  // the same angle as a small signed one
    return -angle;
}

int ComputeBinaryPositionAngle(int, BinaryOrbit *orbit, double t, double correction,
                               double *positionAngle, double *separation) {
    double theta = 0.0, rho = 0.0;
    if (!ComputeBinaryStarPosition(orbit, t, &theta, &rho)) return 0;
    theta += correction;
    if (theta > 360.0) theta -= 360.0;
    if (theta < 0.0) theta += 360.0;
    if (positionAngle) *positionAngle = theta;
    if (separation) *separation = rho;
    return 1;
}
