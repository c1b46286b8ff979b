// Lieske's E2x3 theory of the Galilean satellites: fundamental arguments,
// the place of each satellite on Jupiter's equator, and the rotation of a
// place onto the ecliptic of date. The longitude series carry the theory's
// leading terms (about 0.01 degree of the full series is left out, some
// 0.1" at opposition).
#include "ephem/galileanseries.h"

#include <cmath>

#include "core/mathutil.h"

namespace {

const double kDegree = kPi / 180.0;
double D(double degrees) { return degrees * kDegree; }

// Mean elements: l, P, N at t = 0 (degrees) and their rates (degrees per day).
const double kL0[4] = {106.07947, 175.72938, 120.55434, 84.44868};
const double kLRate[4] = {203.488955432, 101.37472455, 50.31760911, 21.571071314};
const double kP0[4] = {58.3329, 132.8959, 187.2887, 335.3418};
const double kPRate[4] = {0.16103936, 0.04647985, 0.0071274, 0.00183998};
const double kN0[4] = {311.0793, 100.5099, 119.1688, 322.5729};
const double kNRate[4] = {-0.1327943, -0.03263047, -0.00717704, -0.00175934};
// Radii of the orbits, Jupiter equatorial radii.
const double kOrbitRadius[4] = {5.9073, 9.39912, 14.9924, 26.3699};

double Reduce(double x) {
    double r = std::fmod(x, 2.0 * kPi);
    return r < 0.0 ? r + 2.0 * kPi : r;
}

typedef double (*Series)(const GalileanState *);
const Series kLongitude[4] = {SumIoLongitudeTerms, SumEuropaLongitudeTerms,
                              SumGanymedeLongitudeTerms, SumCallistoLongitudeTerms};
const Series kLatitude[4] = {ComputeIoLatitude, ComputeEuropaLatitude, ComputeGanymedeLatitude,
                             ComputeCallistoLatitude};
const Series kRadius[4] = {ComputeIoRadius, ComputeEuropaRadius, ComputeGanymedeRadius,
                           ComputeCallistoRadius};

void ComputePlace(int k, GalileanState *s, GalileanPlace *place) {
    s->S[k] = D(kLongitude[k](s));
    const double mean = s->l[k];
    s->l[k] = mean + s->S[k];
    place->longitude = s->l[k];
    place->latitude = std::atan(kLatitude[k](s));
    s->l[k] = mean;
    place->radius = kOrbitRadius[k] * (1.0 + kRadius[k](s));
}

}  // namespace

int InitGalileanState(GalileanState *s, double centuries) {
    if (!s) return 0;
    s->T = centuries;
    const double t = 36525.0 * centuries + 8544.5;
    const double gamma = 0.33033 * std::sin(D(163.679 + 0.0010512 * t)) +
                         0.03439 * std::sin(D(34.486 - 0.0161731 * t));
    s->Phi = D(191.8132 + 0.17390023 * t);
    s->psi = D(316.5182 - 0.00000208 * t);
    s->G = D(30.23756 + 0.0830925701 * t + gamma);
    s->Gs = D(31.97853 + 0.0334597339 * t);
    s->Pj = 0.23509483795267003;
    for (int k = 0; k < 4; ++k) {
        s->l[k] = Reduce(D(kL0[k] + kLRate[k] * t));
        s->S[k] = 0.0;
        s->P[k] = D(kP0[k] + kPRate[k] * t);
        s->N[k] = D(kN0[k] + kNRate[k] * t);
    }
    const double T = centuries;
    const double inclination = D(3.120162 + 0.0006 * T);
    const double oj = D(100.464441 + 1.020955 * T + 0.00040117 * T * T + 0.000000569 * T * T * T);
    const double tb = T + 0.5000020944558512;
    const double precession = D((1.3966626 + 0.0003088 * tb) * tb);
    const double second = s->psi + precession - oj;
    const double phij = D(1.30327 - 0.0054966 * T + 0.00000465 * T * T - 0.000000004 * T * T * T);
    const double angles[4] = {inclination, second, phij, oj};
    for (int i = 0; i < 4; ++i) {
        s->cosines[i] = std::cos(angles[i]);
        s->sines[i] = std::sin(angles[i]);
    }
    return 1;
}

double SumIoLongitudeTerms(const GalileanState *s) {
    const double *l = s->l, *P = s->P;
    return 0.47259 * std::sin(2 * (l[0] - l[1])) - 0.0348 * std::sin(P[2] - P[3]) -
           0.01756 * std::sin(P[0] + P[2] - 2 * s->Pj - 2 * s->G) +
           0.0108 * std::sin(l[1] - 2 * l[2] + P[2]) + 0.00757 * std::sin(s->Phi) +
           0.00663 * std::sin(l[1] - 2 * l[2] + P[3]);
}

double SumEuropaLongitudeTerms(const GalileanState *s) {
    const double *l = s->l, *P = s->P;
    return 1.06476 * std::sin(2 * (l[1] - l[2])) + 0.04253 * std::sin(l[0] - 2 * l[1] + P[2]) +
           0.03579 * std::sin(l[1] - P[2]) + 0.02383 * std::sin(l[0] - 2 * l[1] + P[3]) +
           0.01977 * std::sin(l[1] - P[3]) - 0.01843 * std::sin(s->Phi) -
           0.00086 * std::sin(5 * s->Gs - 2 * s->G + 0.9114982018540386);
}

double SumGanymedeLongitudeTerms(const GalileanState *s) {
    const double *l = s->l, *P = s->P;
    return 0.16477 * std::sin(l[2] - P[2]) + 0.09062 * std::sin(l[2] - P[3]) -
           0.06907 * std::sin(l[1] - l[2]) + 0.03786 * std::sin(P[2] - P[3]) +
           0.01844 * std::sin(2 * (l[2] - l[3])) - 0.0134 * std::sin(s->G);
}

double SumCallistoLongitudeTerms(const GalileanState *s) {
    const double *l = s->l, *P = s->P, *N = s->N;
    return 0.84109 * std::sin(l[3] - P[3]) + 0.03429 * std::sin(P[3] - P[2]) -
           0.03305 * std::sin(2 * (s->psi - s->Pj)) - 0.03211 * std::sin(s->G) -
           0.0186 * std::sin(l[3] - P[2]) + 0.01182 * std::sin(s->psi - N[3]) +
           0.00035 * std::sin(2 * s->Gs - s->G + 3.2876767119817187) +
           0.0003 * std::sin(2 * s->Gs - 2 * s->G + 2.6031585793495426) -
           0.00026 * std::sin(5 * s->Gs - 3 * s->G + 3.2876767119817187);
}

double ComputeIoRadius(const GalileanState *s) {
    const double *l = s->l, *P = s->P;
    return -0.0041339 * std::cos(2 * (l[0] - l[1])) - 0.0000395 * std::cos(l[0] - P[2]) -
           0.0000214 * std::cos(l[0] - P[3]) + 0.000017 * std::cos(l[0] - l[1]) -
           0.000013 * std::cos(4 * (l[0] - l[1])) + 0.0000106 * std::cos(l[0] - l[2]) -
           0.0000162 * std::cos(l[0] - P[0]) -
           0.0000063 * std::cos(l[0] + P[2] - 2 * s->Pj - 2 * s->G);
}

double ComputeEuropaRadius(const GalileanState *s) {
    const double *l = s->l, *P = s->P, *N = s->N;
    return 0.0093847 * std::cos(l[0] - l[1]) - 0.0003114 * std::cos(l[1] - P[2]) -
           0.0001738 * std::cos(l[1] - P[3]) - 0.0000941 * std::cos(l[1] - P[1]) +
           0.0000553 * std::cos(l[1] - l[2]) + 0.0000523 * std::cos(l[0] - l[2]) -
           0.000029 * std::cos(2 * (l[0] - l[1])) + 0.0000166 * std::cos(2 * (l[1] - N[1])) +
           0.0000107 * std::cos(l[0] - 2 * l[2] + P[2]) - 0.0000102 * std::cos(l[1] - P[0]) -
           0.0000091 * std::cos(2 * (l[0] - l[2]));
}

double ComputeGanymedeRadius(const GalileanState *s) {
    const double *l = s->l, *P = s->P;
    return -0.0014377 * std::cos(l[2] - P[2]) - 0.0007904 * std::cos(l[2] - P[3]) +
           0.0006342 * std::cos(l[1] - l[2]) - 0.0001758 * std::cos(2 * (l[2] - l[3])) +
           0.0000294 * std::cos(l[2] - l[3]) - 0.0000153 * std::cos(l[0] - l[1]) +
           0.0000155 * std::cos(l[0] - l[2]) - 0.0000156 * std::cos(3 * (l[2] - l[3])) +
           0.000007 * std::cos(2 * l[1] - 3 * l[2] + P[2]) -
           0.0000051 * std::cos(l[2] + P[2] - 2 * s->Pj - 2 * s->G);
}

double ComputeCallistoRadius(const GalileanState *s) {
    const double *l = s->l, *P = s->P, *N = s->N;
    const double psi = s->psi, pj = s->Pj, g = s->G;
    return -0.0073391 * std::cos(l[3] - P[3]) + 0.000162 * std::cos(l[3] - P[2]) +
           0.0000974 * std::cos(l[2] - l[3]) - 0.0000541 * std::cos(l[3] + P[3] - 2 * pj - 2 * g) -
           0.0000269 * std::cos(2 * (l[3] - P[3])) + 0.0000182 * std::cos(l[3] - pj) +
           0.0000177 * std::cos(2 * (l[2] - l[3])) - 0.0000167 * std::cos(2 * l[3] - psi - N[3]) +
           0.0000167 * std::cos(psi - N[3]) - 0.0000155 * std::cos(2 * (l[3] - pj - g)) +
           0.0000142 * std::cos(2 * (l[3] - psi)) + 0.0000104 * std::cos(l[0] - l[3]) +
           0.0000092 * std::cos(l[1] - l[3]) - 0.0000089 * std::cos(l[3] - pj - g) -
           0.0000062 * std::cos(l[3] + P[3] - 2 * pj - 2 * g) +
           0.0000048 * std::cos(2 * (l[3] - N[3]));
}

double ComputeIoLatitude(const GalileanState *s) {
    const double *l = s->l, *N = s->N;
    return 0.0006502 * std::sin(l[0] - N[0]) + 0.0001835 * std::sin(l[0] - N[1]) +
           0.0000329 * std::sin(l[0] - N[2]) - 0.0000311 * std::sin(l[0] - s->psi) +
           0.0000093 * std::sin(l[0] - N[3]) +
           0.0000075 * std::sin(3 * l[0] - 4 * l[1] - 1.9927 * s->S[0] + N[1]) +
           0.0000046 * std::sin(l[0] + s->psi - 2 * s->Pj - 2 * s->G);
}

double ComputeEuropaLatitude(const GalileanState *s) {
    const double *l = s->l, *N = s->N;
    const double psi = s->psi;
    return 0.0081275 * std::sin(l[1] - N[1]) + 0.0004512 * std::sin(l[1] - N[2]) -
           0.0003286 * std::sin(l[1] - psi) + 0.0001164 * std::sin(l[1] - N[3]) +
           0.0000273 * std::sin(l[0] - 2 * l[2] + 1.0146 * s->S[1] + N[1]) +
           0.0000143 * std::sin(l[1] + psi - 2 * s->Pj - 2 * s->G) -
           0.0000143 * std::sin(l[1] - N[0]) + 0.0000035 * std::sin(l[1] - psi + s->G) -
           0.0000028 * std::sin(l[0] - 2 * l[2] + 1.0146 * s->S[1] + N[2]);
}

double ComputeGanymedeLatitude(const GalileanState *s) {
    const double *l = s->l, *N = s->N;
    const double psi = s->psi, pj = s->Pj, g = s->G;
    return 0.0032364 * std::sin(l[2] - N[2]) - 0.0016911 * std::sin(l[2] - psi) +
           0.0006849 * std::sin(l[2] - N[3]) - 0.0002806 * std::sin(l[2] - N[1]) +
           0.0000321 * std::sin(l[2] + psi - 2 * pj - 2 * g) +
           0.0000051 * std::sin(l[2] - psi + g) - 0.0000045 * std::sin(l[2] - psi - g) -
           0.0000045 * std::sin(l[2] + psi - 2 * pj) +
           0.0000037 * std::sin(l[2] + psi - 2 * pj - 3 * g) +
           0.000003 * std::sin(2 * l[1] - 3 * l[2] + 4.03 * s->S[2] + N[1]) -
           0.0000021 * std::sin(2 * l[1] - 3 * l[2] + 4.03 * s->S[2] + N[2]);
}

double ComputeCallistoLatitude(const GalileanState *s) {
    const double *l = s->l, *N = s->N;
    const double psi = s->psi, pj = s->Pj, g = s->G;
    return -0.0076579 * std::sin(l[3] - psi) + 0.0044148 * std::sin(l[3] - N[3]) -
           0.0005106 * std::sin(l[3] - N[2]) + 0.0000773 * std::sin(l[3] + psi - 2 * pj - 2 * g) +
           0.0000104 * std::sin(l[3] - psi + g) - 0.0000102 * std::sin(l[3] - psi - g) +
           0.0000088 * std::sin(l[3] + psi - 2 * pj - 3 * g) -
           0.0000038 * std::sin(l[3] + psi - 2 * pj - g);
}

void ComputeIoPlace(GalileanState *s, GalileanPlace *p) { ComputePlace(0, s, p); }
void ComputeEuropaPlace(GalileanState *s, GalileanPlace *p) { ComputePlace(1, s, p); }
void ComputeGanymedePlace(GalileanState *s, GalileanPlace *p) { ComputePlace(2, s, p); }
void ComputeCallistoPlace(GalileanState *s, GalileanPlace *p) { ComputePlace(3, s, p); }

const GalileanPlaceHandler GalileanSatelliteHandlers[4] = {
    ComputeIoPlace, ComputeEuropaPlace, ComputeGanymedePlace, ComputeCallistoPlace};

void ComputeGalileanVector(int k, GalileanState *s, double out[3]) {
    out[0] = out[1] = out[2] = 0.0;
    if (!s) return;
    double v[3];
    if (k == 5) {
        v[0] = 0.0;
        v[1] = 0.0;
        v[2] = 1.0;
    } else if (k >= 0 && k <= 3) {
        GalileanPlace place;
        GalileanSatelliteHandlers[k](s, &place);
        const double spherical[3] = {place.longitude - s->psi, place.latitude, place.radius};
        ConvertSphericalToRectangular(spherical, v);
    } else {
        return;
    }
    double w[3];
    RotateVectorAboutXAxis(v, s->cosines[0], s->sines[0], w);
    RotateVectorAboutZAxis(w, s->cosines[1], s->sines[1], v);
    RotateVectorAboutXAxis(v, s->cosines[2], s->sines[2], w);
    RotateVectorAboutZAxis(w, s->cosines[3], s->sines[3], out);
}
