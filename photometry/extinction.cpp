// Extinction coefficients per band (Schaefer's model of visual extinction).
#include "photometry/extinction.h"

#include <cmath>

#include "core/mathutil.h"
#include "photometry/skybright.h"

const double kModelBandWavelength[kModelBandCount] = {0.365, 0.44, 0.55, 0.7, 0.9};
const double kModelBandOzone[kModelBandCount] = {0.0, 0.0, 0.031, 0.008, 0.0};
const double kModelBandWater[kModelBandCount] = {0.074, 0.045, 0.031, 0.02, 0.015};

namespace {

const int kB = 1, kV = 2, kR = 3;

struct Weather {
    double temperature, humidity, latitude, elevation;
};

Weather Normalise(double temperature, double humidity, double latitude, double elevation) {
    Weather w;
    w.temperature = temperature;
    w.humidity = humidity;
    if (!(w.humidity >= 0.0)) w.humidity = 0.0;  // also NaN
    if (w.humidity > 99.9) w.humidity = 99.9;
    w.latitude = latitude;
    w.elevation = elevation > 0.0 ? elevation : 0.0;
    return w;
}

struct BandTerms {
    double rayleigh, aerosol, ozone, water;
    double k() const { return rayleigh + aerosol + ozone + water; }
};

// The four coefficients of one band. season in radians; hemisphere is the
// sign applied to the aerosol season term (1 for every member but one).
BandTerms Terms(double wavelength, double ozone, double water, const Weather &w, double season,
                double hemisphere) {
    BandTerms t;
    double ratio = wavelength / 0.55;
    t.rayleigh = 0.1066 * std::exp(-w.elevation / 8200.0) * ComputeGuardedPower(ratio, -4.0);
    double humidityTerm = 1.0 - 0.32 / std::log(w.humidity / 100.0);
    t.aerosol = 0.1 * ComputeGuardedPower(ratio, -1.3) * std::exp(-w.elevation / 1500.0) *
                ComputeGuardedPower(humidityTerm, 1.33) * (1.0 + 0.33 * hemisphere * std::sin(season));
    double lat = std::fabs(w.latitude);
    t.ozone = ozone * (3.0 + 0.4 * (lat * std::cos(season) - std::cos(3.0 * lat))) / 3.0;
    t.water = water * 0.94 * (w.humidity / 100.0) * std::exp(w.temperature / 15.0) *
              std::exp(-w.elevation / 8200.0);
    return t;
}

double MonthSeason(int month) { return (month - 3) * 30.0 * kPi / 180.0; }

// Dimming at zenith distance z with the gas, aerosol and ozone air masses.
double ExtinctionAt(const BandTerms &t, double z) {
    double c = std::cos(z);
    if (c < 0.0) {
        c = 0.0;
        z = kPi / 2.0;
    }
    double xg = 1.0 / (c + 0.0286 * std::exp(-10.5 * c));
    double xa = 1.0 / (c + 0.0123 * std::exp(-24.5 * c));
    double s = 0.9968740231322288 * std::sin(z);
    double xo = 1.0 / std::sqrt(1.0 - s * s);
    return t.rayleigh * xg + t.aerosol * xa + t.ozone * xo + t.water * xg;
}

}  // namespace

double ComputeVisualExtinction(int month, double temperature, double humidity, double latitude,
                               double elevation) {
    Weather w = Normalise(temperature, humidity, latitude, elevation);
    return Terms(kModelBandWavelength[kV], kModelBandOzone[kV], kModelBandWater[kV], w, MonthSeason(month), 1.0).k();
}

void ComputeTwoBandExtinction(int month, double temperature, double humidity, double latitude,
                              double elevation, double *kBOut, double *kVOut) {
    Weather w = Normalise(temperature, humidity, latitude, elevation);
    double s = MonthSeason(month);
    if (kBOut) *kBOut = Terms(kModelBandWavelength[kB], kModelBandOzone[kB], kModelBandWater[kB], w, s, 1.0).k();
    if (kVOut) *kVOut = Terms(kModelBandWavelength[kV], kModelBandOzone[kV], kModelBandWater[kV], w, s, 1.0).k();
}

void ComputeThreeBandExtinction(int month, double temperature, double humidity, double latitude,
                                double elevation, double *kBOut, double *kVOut, double *kROut) {
    Weather w = Normalise(temperature, humidity, latitude, elevation);
    double s = MonthSeason(month);
    if (kBOut) *kBOut = Terms(kModelBandWavelength[kB], kModelBandOzone[kB], kModelBandWater[kB], w, s, 1.0).k();
    if (kVOut) *kVOut = Terms(kModelBandWavelength[kV], kModelBandOzone[kV], kModelBandWater[kV], w, s, 1.0).k();
    if (kROut) *kROut = Terms(kModelBandWavelength[kR], kModelBandOzone[kR], kModelBandWater[kR], w, s, 1.0).k();
}

void ComputeBandExtinction(double decimalYear, double temperature, double humidity, double latitude,
                           double zenithDistance, double elevation, double extinction[5],
                           double k[5]) {
    if (!extinction || !k) return;
    Weather w = Normalise(temperature, humidity, latitude, elevation);
    double season = (GetFractionalPart(decimalYear) * 360.0 - 60.0) * kPi / 180.0;
    for (int i = 0; i < kModelBandCount; ++i) {
        BandTerms t = Terms(kModelBandWavelength[i], kModelBandOzone[i], kModelBandWater[i], w, season, 1.0);
        k[i] = t.k();
        extinction[i] = ExtinctionAt(t, zenithDistance);
    }
}

void ComputeBandExtinctionAtWavelength(double wavelength, int month, double temperature,
                                       double humidity, double latitude, double zenithDistance,
                                       double elevation, double extinction[5], double k[5]) {
    if (!extinction || !k) return;
    Weather w = Normalise(temperature, humidity, latitude, elevation);
    double ozone = InterpolateFivePointTable(wavelength, kModelBandWavelength, kModelBandOzone);
    double water = InterpolateFivePointTable(wavelength, kModelBandWavelength, kModelBandWater);
    double hemisphere = latitude < 0.0 ? -1.0 : 1.0;
    for (int i = 0; i < kModelBandCount; ++i) {
        BandTerms t = Terms(kModelBandWavelength[i], ozone, water, w, MonthSeason(month), hemisphere);
        k[i] = t.k();
        extinction[i] = ExtinctionAt(t, zenithDistance);
    }
}
