// Phoebe and Himalia interpolated in their day tables ("Phoebe.bin",
// "Himalia.bin"): up to five records about the date, a natural cubic spline
// through each coordinate, and the slot's quantities from the offsets.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "astro/chartgeom.h"
#include "astro/datetime.h"
#include "astro/frames.h"
#include "core/mathutil.h"
#include "core/safefile.h"
#include "ephem/daytables.h"
#include "ephem/naturalspline.h"
#include "ephem/satellitecommon.h"
#include "ephem/satellitenames.h"
#include "ephem/satellites.h"

namespace {

const double kArcsecond = kPi / 648000.0;
const int kMaxRecords = 5;

struct DayTable {
    const char *file;
    double step;         // days per record
    int slot;
    int planet;
    double orbitRadius;  // AU
    double magnitude;
};

const DayTable kPhoebe = {"Phoebe.bin", 1.0, 8, kBodySaturn, 0.08657877281274125, 6.89};
const DayTable kHimalia = {"Himalia.bin", 0.5, 5, kBodyJupiter, 0.07673906052272, 8.14};

float FloatFromLittleEndian(const unsigned char *b) {
    uint32_t bits = static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
                    (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

double Interpolate(const SplinePoint *points, int n, double step, double x, int *ok) {
    SplineState state;
    double y = 0.0;
    if (!SetUpNaturalSpline(&state, points, n, step)) {
        *ok = 0;
        return 0.0;
    }
    EvaluateSplineNearKnot(&state, points, x, &y);
    FreeSpline(&state);
    return y;
}

int ComputeFromDayTable(const DayTable &table, const char *folder, const DateRecord *date,
                        BodyRecord *planet) {
    if (!date || !planet || !folder || !folder[0]) return -1;
    std::string path = std::string(folder) + "/" + table.file;
    FileHandle f(std::fopen(path.c_str(), "rb"));
    if (!f) return -1;
    // The last record is the file's last whole record, so a longer table
    // serves later dates.
    if (std::fseek(f.get(), 0, SEEK_END) != 0) return -1;
    const long size = std::ftell(f.get());
    if (size < kDayTableRecordSize) return -1;
    const long lastIndex = size / kDayTableRecordSize - 1;
    const double offset = date->julianDate - kDayTableFirstJulianDate;
    if (!(offset >= 0.0) || offset > lastIndex * table.step) return 0;
    const long e = static_cast<long>(std::floor(offset) / table.step);
    const long first = e - 2 > 0 ? e - 2 : 0;
    const long last = e + 2 < lastIndex ? e + 2 : lastIndex;
    if (std::fseek(f.get(), first * kDayTableRecordSize, SEEK_SET) != 0) return -1;
    unsigned char bytes[kMaxRecords * kDayTableRecordSize];
    const size_t wanted = static_cast<size_t>(last - first + 1);
    const size_t got = std::fread(bytes, kDayTableRecordSize, wanted, f.get());
    f.reset();
    if (got == 0 || got != wanted) return -1;
    const int n = static_cast<int>(got);

    SplinePoint px[kMaxRecords], py[kMaxRecords];
    for (int k = 0; k < n; ++k) {
        const double x = static_cast<double>(first + k) * table.step;
        px[k] = {x, FloatFromLittleEndian(bytes + k * kDayTableRecordSize)};
        py[k] = {x, FloatFromLittleEndian(bytes + k * kDayTableRecordSize + 4)};
    }
    int ok = 1;
    const double xOffset = Interpolate(px, n, 0.01, offset, &ok) * kArcsecond;
    const double yOffset = Interpolate(py, n, 0.1, offset, &ok) * kArcsecond;
    if (!ok || !std::isfinite(xOffset) || !std::isfinite(yOffset)) return -1;

    const int slot = table.slot;
    const double ra0 = planet->geocentricRightAscension, dec0 = planet->geocentricDeclination;
    planet->satellites[kSatOffsetX][slot] = -xOffset;
    planet->satellites[kSatOffsetY][slot] = yOffset;
    planet->satellites[kSatSeparation][slot] = std::hypot(xOffset, yOffset);
    const double cosDec = std::cos(dec0);
    const double ra = ReduceSatelliteAngle(ra0 + (cosDec != 0.0 ? xOffset / cosDec : 0.0));
    const double dec = dec0 + yOffset;
    planet->satellites[kSatPositionAngle][slot] = ComputePositionAngle(ra0, dec0, ra, dec);
    double u, v, w;
    RotateIntoOrbitPlane(ra0, dec0, 0.0, 0.0, &u, &v, &w);
    planet->satellites[kSatOrbitalAngle][slot] = ReduceSatelliteAngle(0.0 - u);
    double longitude = 0.0, latitude = 0.0;
    ConvertEquatorialToEcliptic(date, ra0, dec0, &longitude, &latitude, kMeanObliquity);
    RotateIntoOrbitPlane(longitude, latitude, 0.0, 0.0, &u, &v, &w);
    const double q = ReduceSatelliteAngle(0.0 - u);
    planet->satellites[kSatSunOrbitalAngle][slot] = q;
    const double angle = ComputeClampedArcCosine(std::cos(v) * std::cos(q));
    const double delta = planet->geocentricDistance;
    planet->satellites[kSatSunSeparation][slot] = delta > 0.0 ? table.orbitRadius / delta * std::sin(angle) : 0.0;
    planet->satellites[kSatSunPositionAngle][slot] = ReduceSatelliteAngle(
        ComputeQuadrantArcTangent(std::sin(q), std::sin(v) * std::cos(q)) + w);
    planet->satellites[kSatUmbraFactor][slot] = 0.0;
    planet->satellites[kSatPenumbraFactor][slot] = 0.0;
    planet->satellites[kSatMagnitude][slot] = SatelliteMagnitude(planet, table.magnitude);
    planet->satelliteNames[slot] = GetSatelliteNameText(table.planet, slot);
    return 1;
}

}  // namespace

int ComputePhoebe(const DateRecord *date, BodyRecord *saturn) {
    return ComputeFromDayTable(kPhoebe, GetPhoebeFolder(), date, saturn);
}

int ComputeHimalia(const DateRecord *date, BodyRecord *jupiter) {
    return ComputeFromDayTable(kHimalia, GetHimaliaFolder(), date, jupiter);
}
