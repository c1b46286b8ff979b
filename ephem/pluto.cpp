// Evaluation of Pluto's heliocentric series: mean longitudes of the planets
// (arcseconds, per 10,000 Julian years), their multiples by recurrence, and a
// walk over the argument bytes with the three coefficient tables in step.
#include "ephem/pluto.h"

#include <cmath>

#include "core/mathutil.h"

namespace {

const double kArcsecond = kPi / 648000.0;       // rad
const double kDegree = kPi / 180.0;
const double kCircle = 1296000.0;               // arcseconds
const int kMaxHarmonic = 24;

// Frequency per 10,000 Julian years and value at J2000, arcseconds.
const double kMeanLongitudes[9][2] = {
    {53810162868.8982, 908103.259872}, {21066413643.3548, 655127.28306},
    {12959774228.3429, 361679.244588}, {6890507749.3988, 1279558.798488},
    {1092566037.7991, 123665.467464},  {439960985.5372, 180278.79948},
    {154248119.3933, 1130598.018396},  {78655032.0744, 1095655.195728},
    {52272245.1795, 860492.1546},
};

double ReduceArcseconds(double x) { return x - kCircle * std::floor(x / kCircle); }

// Horner's rule over p + 1 coefficients starting at c (T^p first).
double Horner(const double *c, int p, double t) {
    double v = c[0];
    for (int i = 1; i <= p; ++i) v = v * t + c[i];
    return v;
}

// Two interleaved polynomials (cosine, sine pairs, T^p first).
void HornerPairs(const double *c, int p, double t, double *cosine, double *sine) {
    double a = c[0], b = c[1];
    for (int i = 1; i <= p; ++i) {
        a = a * t + c[2 * i];
        b = b * t + c[2 * i + 1];
    }
    *cosine = a;
    *sine = b;
}

}  // namespace

int EvaluatePlutoSeriesWith(const PlutoSeries *series, double julianDate, double *longitude,
                            double *latitude, double *radius) {
    double l = 0.0, b = 0.0, r = 0.0;
    if (longitude) *longitude = 0.0;
    if (latitude) *latitude = 0.0;
    if (radius) *radius = 0.0;
    if (!series || !series->arguments || !series->longitude || !series->latitude ||
        !series->radius)
        return 0;
    const double t = (julianDate - 2451545.0) / 3652500.0;
    // Sines and cosines of k times each planet's mean longitude.
    double sines[9][kMaxHarmonic + 1], cosines[9][kMaxHarmonic + 1];
    for (int p = 0; p < 9; ++p) {
        int h = series->highestHarmonic[p];
        if (h <= 0) continue;
        if (h > kMaxHarmonic) return 0;
        double x = (ReduceArcseconds(kMeanLongitudes[p][0] * t) + kMeanLongitudes[p][1]) * kArcsecond;
        sines[p][1] = std::sin(x);
        cosines[p][1] = std::cos(x);
        sines[p][2] = 2.0 * sines[p][1] * cosines[p][1];
        cosines[p][2] = cosines[p][1] * cosines[p][1] - sines[p][1] * sines[p][1];
        for (int k = 3; k <= h; ++k) {
            sines[p][k] = sines[p][k - 1] * cosines[p][1] + cosines[p][k - 1] * sines[p][1];
            cosines[p][k] = cosines[p][k - 1] * cosines[p][1] - sines[p][k - 1] * sines[p][1];
        }
    }
    const int bytes = series->argumentCount, coefficients = series->coefficientCount;
    int a = 0, c = 0;
    for (;;) {
        if (a >= bytes) return 0;  // no end mark within the table
        int n = series->arguments[a++];
        if (n < 0) break;
        if (n == 0) {
            if (a >= bytes) return 0;
            int p = series->arguments[a++];
            if (p < 0 || c + p + 1 > coefficients) return 0;
            l += ReduceArcseconds(Horner(series->longitude + c, p, t));
            b += Horner(series->latitude + c, p, t);
            r += Horner(series->radius + c, p, t);
            c += p + 1;
            continue;
        }
        if (a + 2 * n + 1 > bytes) return 0;
        double sv = 0.0, cv = 0.0;
        bool first = true;
        for (int i = 0; i < n; ++i) {
            int h = series->arguments[a++];
            int planet = series->arguments[a++];
            if (planet < 1 || planet > 9) return 0;
            if (h == 0) continue;
            int k = h < 0 ? -h : h;
            if (k > series->highestHarmonic[planet - 1]) return 0;
            double s = h < 0 ? -sines[planet - 1][k] : sines[planet - 1][k];
            double co = cosines[planet - 1][k];
            if (first) {
                sv = s;
                cv = co;
                first = false;
            } else {
                double nextSine = s * cv + co * sv;
                cv = co * cv - s * sv;
                sv = nextSine;
            }
        }
        int p = series->arguments[a++];
        if (p < 0 || c + 2 * (p + 1) > coefficients) return 0;
        double cosine, sine;
        HornerPairs(series->longitude + c, p, t, &cosine, &sine);
        l += cosine * cv + sine * sv;
        HornerPairs(series->latitude + c, p, t, &cosine, &sine);
        b += cosine * cv + sine * sv;
        HornerPairs(series->radius + c, p, t, &cosine, &sine);
        r += cosine * cv + sine * sv;
        c += 2 * (p + 1);
    }
    // The table must be consumed exactly: a mismatch means the argument bytes
    // and the coefficients are out of step.
    if (a != bytes || c != coefficients) return 0;
    if (longitude) *longitude = l * kArcsecond;
    if (latitude) *latitude = b * kArcsecond;
    if (radius) *radius = series->distanceScale * (1.0 + r * kArcsecond);
    return 1;
}

int EvaluatePlutoSeries(double julianDate, double *longitude, double *latitude, double *radius) {
    EvaluatePlutoSeriesWith(&kPlutoSeries, julianDate, longitude, latitude, radius);
    return 1;
}

int EvaluatePlutoElements(double julianDate, double *longitude, double *latitude, double *radius) {
    // Standish, table 2a (3000 BC - AD 3000), Pluto: value at J2000 and rate
    // per Julian century; AU and degrees; the extra term b T^2 of table 2b
    // in the mean anomaly.
    const double t = (julianDate - 2451545.0) / 36525.0;
    const double a = 39.48686035 + 0.00449751 * t;
    const double e = 0.24885238 + 0.00006016 * t;
    const double inclination = (17.14104260 + 0.00000501 * t) * kDegree;
    const double meanLongitude = 238.96535011 + 145.18042903 * t;
    const double perihelionLongitude = 224.09702598 - 0.00968827 * t;
    const double node = (110.30167986 - 0.00809981 * t) * kDegree;
    const double b = -0.01262724;
    const double argument = perihelionLongitude * kDegree - node;
    double m = std::remainder((meanLongitude - perihelionLongitude + b * t * t) * kDegree, 2.0 * kPi);
    // Kepler's equation by Newton's method (e is a quarter: a few steps).
    double ea = m + e * std::sin(m);
    for (int i = 0; i < 20; ++i) {
        const double step = (m - (ea - e * std::sin(ea))) / (1.0 - e * std::cos(ea));
        ea += step;
        if (std::fabs(step) < 1e-14) break;
    }
    const double xp = a * (std::cos(ea) - e), yp = a * std::sqrt(1.0 - e * e) * std::sin(ea);
    const double cw = std::cos(argument), sw = std::sin(argument);
    const double cn = std::cos(node), sn = std::sin(node);
    const double ci = std::cos(inclination), si = std::sin(inclination);
    const double x = (cw * cn - sw * sn * ci) * xp + (-sw * cn - cw * sn * ci) * yp;
    const double y = (cw * sn + sw * cn * ci) * xp + (-sw * sn + cw * cn * ci) * yp;
    const double z = sw * si * xp + cw * si * yp;
    const double r = std::sqrt(x * x + y * y + z * z);
    if (longitude) *longitude = std::atan2(y, x);
    if (latitude) *latitude = std::asin(z / r);
    if (radius) *radius = r;
    return 1;
}

int GetPlutoTheory(double centuriesTT) {
    const double jd = centuriesTT * 36525.0 + 2451545.0;
    if (jd >= kPlutoSeriesFirstJd && jd < kPlutoSeriesLastJd) return kPlutoSeriesTheory;
    if (jd >= kPlutoElementsFirstJd && jd < kPlutoElementsLastJd) return kPlutoElementsTheory;
    return kPlutoNoTheory;
}

int ComputePlutoHeliocentric(double centuriesTT, HeliocentricPlace *out) {
    if (!out) return kPlutoNoTheory;
    double l = 0.0, b = 0.0, r = 0.0;  // out may be a field of a packed record
    const double jd = centuriesTT * 36525.0 + 2451545.0;
    const int theory = GetPlutoTheory(centuriesTT);
    if (theory == kPlutoSeriesTheory)
        EvaluatePlutoSeries(jd, &l, &b, &r);
    else if (theory == kPlutoElementsTheory)
        EvaluatePlutoElements(jd, &l, &b, &r);
    out->longitude = l;
    out->latitude = b;
    out->radius = r;
    return theory;
}
