// The standard photometric band table and the completion of camera filters.
// Band centres are those of Johnson's UBVRI system (Johnson 1966, ARA&A 4,
// 193); the zero points give the flux density 10^(-0.4 (m - zp)) in
// erg s^-1 cm^-2 um^-1.
#include "instruments/bands.h"

#include <cstddef>
#include <cstring>

namespace {

struct BandValues {
    const char *name;
    double wavelength, surface, peak, fwhm, element, qe, zeroPoint;
};

const BandValues kBandValues[kBandCount] = {
    {"U", 0.365, 0.97, 0.7, 0.068, 0.83, 15.0, -10.93},
    {"B", 0.44, 0.983, 0.7, 0.098, 0.86, 25.0, -10.45},
    {"V", 0.55, 0.987, 0.7, 0.089, 0.88, 40.0, -11.05},
    {"R", 0.70, 0.983, 0.7, 0.22, 0.87, 56.0, -11.9},
    {"I", 0.90, 0.98, 0.7, 0.24, 0.90, 26.0, -12.7},
};

struct BandTable {
    FilterRecord records[kBandCount];
    BandTable() {
        std::memset(records, 0, sizeof records);
        for (int i = 0; i < kBandCount; ++i) {
            const BandValues &v = kBandValues[i];
            FilterRecord &r = records[i];
            std::strcpy(r.name, v.name);
            r.wavelength = v.wavelength;
            r.surfaceTransmission = v.surface;
            r.peakTransmission = v.peak;
            r.bandwidth = v.fwhm;
            r.mirrorReflectance = v.element;
            r.quantumEfficiency = v.qe;
            r.zeroPoint = v.zeroPoint;
        }
    }
};

const BandTable &Bands() {
    static const BandTable table;
    return table;
}

// A double field of a packed record, read without a misaligned load.
double FieldAt(const FilterRecord &r, size_t offset) {
    double v;
    std::memcpy(&v, (const char *)&r + offset, sizeof v);
    return v;
}

double InterpolateBands(double x, const FilterRecord bands[5], size_t field) {
    if (x <= bands[0].wavelength) return FieldAt(bands[0], field);
    if (x >= bands[4].wavelength) return FieldAt(bands[4], field);
    for (int i = 0; i < 4; ++i) {
        double x0 = bands[i].wavelength, x1 = bands[i + 1].wavelength;
        double v0 = FieldAt(bands[i], field), v1 = FieldAt(bands[i + 1], field);
        if (x0 <= x && x < x1 && x1 != x0) return v0 + (x - x0) / (x1 - x0) * (v1 - v0);
    }
    return FieldAt(bands[4], field);  // NaN or a table out of order
}

}  // namespace

const FilterRecord *GetBandName(int index) {
    if (index < 0 || index >= kBandCount) return nullptr;
    return &Bands().records[index];
}

double InterpolateQuantumEfficiency(double x, const double q[13]) {
    if (x <= 0.35) return q[0];
    if (!(x < 0.95)) return q[12];
    int i = (int)((x - 0.35) * 20.0);
    // Rounding just below 0.95 can give 12: q[i + 1] must stay inside the curve.
    if (i > 11) i = 11;
    if (i < 0) i = 0;
    double x0 = 0.35 + 0.05 * i;
    return q[i] + (x - x0) * 20.0 * (q[i + 1] - q[i]);
}

double InterpolateBandSurfaceTransmission(double wavelength, const FilterRecord bands[5]) {
    return InterpolateBands(wavelength, bands, offsetof(FilterRecord, surfaceTransmission));
}

double InterpolateBandElementEfficiency(double wavelength, const FilterRecord bands[5]) {
    return InterpolateBands(wavelength, bands, offsetof(FilterRecord, mirrorReflectance));
}

void CompleteFilterBand(FilterRecord *filter, const double curve[13]) {
    if (!filter) return;
    if (filter->wavelength == 0.0) {
        filter->surfaceTransmission = filter->peakTransmission;
        return;
    }
    if (curve) filter->quantumEfficiency = InterpolateQuantumEfficiency(filter->wavelength, curve);
    // The interpolations are given a copy of the band table.
    FilterRecord bands[kBandCount];
    std::memcpy(bands, Bands().records, sizeof bands);
    if (filter->surfaceTransmission == 0.0)
        filter->surfaceTransmission = InterpolateBandSurfaceTransmission(filter->wavelength, bands);
    if (filter->mirrorReflectance == 0.0)
        filter->mirrorReflectance = InterpolateBandElementEfficiency(filter->wavelength, bands);
}

double EstimateUMagnitude(double v, double c) { return v + 2.35 * c - 0.6; }
double EstimateBMagnitude(double v, double c) { return v + c; }
double EstimateRMagnitude(double v, double c) { return v - 0.75 * c; }
double EstimateIMagnitude(double v, double c) { return v - 1.6 * c; }
