// Mean obliquity (Laskar 1986, as in Meeus, Astronomical Algorithms, ch. 22)
// and the IAU 1980 nutation series (Seidelmann 1982; Meeus ch. 22 with the
// fundamental arguments of that chapter), the periodic terms read from
// "nutcon.bin". One sine and one cosine per fundamental argument; every term is
// formed from their multiples by the angle-addition formulas.
#include "astro/nutation.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "astro/datetime.h"
#include "core/mathutil.h"
#include "core/safefile.h"

namespace {

const double kArcsecondsToRadians = kPi / 648000.0;
const double kDegreesToRadians = kPi / 180.0;

// Laskar's mean obliquity, arcseconds, in U = T / 100.
const double kLaskar[11] = {84381.448, -4680.93, -1.55, 1999.25, -51.38, -249.67,
                            -39.05,    7.12,     27.87, 5.79,    2.45};

// Fundamental arguments in degrees, cubic in T(TT), in the file's column order
// M', M, F, D, Omega.
const double kArguments[5][4] = {
    {134.9629814, 477198.8673981, 0.0086972, 0.00001778},    // M'
    {357.5277233, 35999.05034, -0.0001603, -0.00000333},     // M
    {93.2719103, 483202.0175381, -0.0036825, 0.000003056},   // F
    {297.8503631, 445267.11148, -0.0019142, 0.000005278},    // D
    {125.0445222, -1934.1362608, 0.00207833, 0.00000222},    // Omega
};
// Largest multiple of each argument that a term may carry.
const int kMaxMultiple[5] = {3, 2, 4, 4, 2};

std::unique_ptr<int16_t[]> g_table;  // kNutationRows x kNutationColumns, or none

bool RowIsValid(const int16_t *row) {
    bool any = false;
    for (int c = 0; c < 5; ++c) {
        if (row[c] < -kMaxMultiple[c] || row[c] > kMaxMultiple[c]) return false;
        if (row[c] != 0) any = true;
    }
    return any;
}

}  // namespace

double MeanObliquity(double centuriesTT) {
    return EvaluatePolynomial(kLaskar, 10, centuriesTT / 100.0) * kArcsecondsToRadians;
}

int LoadNutationTable(const char *directory) {
    g_table.reset();
    if (!directory) return 0;
    std::string path;
    try {
        path = std::string(directory) + "nutcon.bin";
    } catch (...) {
        return 0;
    }
    std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) return 0;
    unsigned char bytes[kNutationFileBytes];
    if (std::fread(bytes, 1, sizeof(bytes), file.get()) != sizeof(bytes)) return 0;

    std::unique_ptr<int16_t[]> table(new (std::nothrow) int16_t[kNutationRows * kNutationColumns]);
    if (!table) return 0;
    for (int i = 0; i < kNutationRows * kNutationColumns; ++i) {
        unsigned v = static_cast<unsigned>(bytes[2 * i]) | (static_cast<unsigned>(bytes[2 * i + 1]) << 8);
        table[i] = static_cast<int16_t>(v >= 0x8000u ? static_cast<int>(v) - 0x10000 : static_cast<int>(v));
    }
    // A damaged file must not index outside the multiple tables below.
    for (int r = 0; r < kNutationRows; ++r)
        if (!RowIsValid(&table[r * kNutationColumns])) return 0;
    g_table = std::move(table);
    return 1;
}

void FreeNutationTable() { g_table.reset(); }

int IsNutationTableLoaded() { return g_table ? 1 : 0; }

const int16_t *GetNutationTableRow(int row) {
    if (!g_table || row < 0 || row >= kNutationRows) return nullptr;
    return &g_table[row * kNutationColumns];
}

void ComputeNutation(DateRecord *record) {
    if (!record) return;
    if (!g_table) {
        record->nutationLongitude = 0.0;
        record->nutationObliquity = 0.0;
        return;
    }
    const double t = record->centuriesTT;

    // sines[a][k] = sin(k x_a), k = 1..kMaxMultiple[a].
    double sines[5][5];
    double cosines[5][5];
    for (int a = 0; a < 5; ++a) {
        double x = ReduceModuloPositive(EvaluatePolynomial(kArguments[a], 3, t) * kDegreesToRadians,
                                        2.0 * kPi);
        ComputeSineCosineMultiples(x, kMaxMultiple[a], sines[a], cosines[a]);
    }

    // Leading term, arcseconds.
    double dpsi = (-17.1996 - 0.01742 * t) * sines[4][1];
    double deps = (9.2025 + 0.00089 * t) * cosines[4][1];

    for (int r = 0; r < kNutationRows; ++r) {
        const int16_t *row = &g_table[r * kNutationColumns];
        double sa = 0.0;
        double ca = 1.0;
        bool first = true;
        for (int a = 0; a < 5; ++a) {
            int m = row[a];
            if (m == 0) continue;
            int k = m < 0 ? -m : m;
            double s = m < 0 ? -sines[a][k] : sines[a][k];
            double c = cosines[a][k];
            if (first) {
                sa = s;
                ca = c;
                first = false;
            } else {
                double ns = sa * c + ca * s;
                double nc = ca * c - sa * s;
                sa = ns;
                ca = nc;
            }
        }
        dpsi += (row[5] * 0.0001 + row[6] * 0.00001 * t) * sa;
        if (row[7] != 0) deps += (row[7] * 0.0001 + row[8] * 0.00001 * t) * ca;
    }
    record->nutationLongitude = dpsi * kArcsecondsToRadians;
    record->nutationObliquity = deps * kArcsecondsToRadians;
}
