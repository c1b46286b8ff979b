// Orbit record, conic solvers and the astrometric place of comets and minor
// planets (Meeus, Astronomical Algorithms, ch. 30, 33, 34, 35; Danby,
// Fundamentals of Celestial Mechanics, ch. 6 for the hyperbolic equation).
#include "ephem/orbit.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "astro/datetime.h"
#include "core/mathutil.h"
#include "ephem/physical.h"
#include "ephem/planetseries.h"

double g_gaussianConstant = 0.01720209895;

namespace {

const double kDegree = kPi / 180.0;
const double kTwoPi = 2.0 * kPi;
const double kDaysPerCentury = 36525.0;
// cos and sin of the obliquity of the J2000 ecliptic.
const double kCosObliquity = 0.91748206;
const double kSinObliquity = 0.39777716;
// Light time for 1 AU in Julian centuries.
const double kLightTimeCenturies = 1.5812507323750856e-7;
// 3 k / sqrt(2): Barker's equation in days and AU.
const double kBarkerFactor = 0.03649116245;
// Beyond this eccentricity an open orbit is solved by the hyperbolic
// equation: the series in tan(v/2) converges only for |g| tan^2(v/2) < 1.
const double kSeriesEccentricityLimit = 1.01;
const int kSolverSteps = 100;

// A value counts as supplied when it is neither 0 nor NaN.
bool IsGiven(double x) { return x != 0.0 && !std::isnan(x); }

// E - e sin E = M for 0 <= e < 1 by Newton steps kept inside a bracket
// (bisection when a step leaves it), so every e up to 1 converges.
double SolveEllipticKepler(double M, double e) {
    // remainder() reduces exactly: a tiny M (a near-parabolic ellipse close
    // to perihelion) keeps all its digits.
    double m = std::fabs(M) <= kPi ? M : std::remainder(M, kTwoPi);
    if (std::isnan(m)) return m;
    double lo = m < 0.0 ? -kPi : 0.0, hi = m < 0.0 ? 0.0 : kPi;
    double E = m + 0.85 * e * (m < 0.0 ? -1.0 : 1.0);
    if (E <= lo || E >= hi) E = 0.5 * (lo + hi);
    for (int i = 0; i < kSolverSteps; ++i) {
        double fE = E - e * std::sin(E) - m;
        if (fE > 0.0) hi = E; else lo = E;
        double d = 1.0 - e * std::cos(E);
        double next = d > 0.0 ? E - fE / d : 0.5 * (lo + hi);
        if (!(next > lo && next < hi)) next = 0.5 * (lo + hi);
        double step = next - E;
        E = next;
        if (std::fabs(step) <= 1e-15 * (1.0 + std::fabs(E))) break;
    }
    return E;
}

// The series of Meeus ch. 35 in Newton form; *converged tells whether both
// the inner sum and the outer iteration met their tolerances.
double NearParabolicSeries(double dt, double q, double e, bool *converged) {
    double s = std::tan(SolveParabolicOrbit(dt, q) / 2.0);
    const double g = (1.0 - e) / (1.0 + e);
    const double q2 =
        g_gaussianConstant * std::sqrt((1.0 + e) / q) / (2.0 * q) * (dt * kDaysPerCentury);
    bool ok = false;
    for (int it = 1; it <= 49; ++it) {
        double s0 = s, F = q2, D = 0.0, t = -s0 * s0;
        bool sumDone = false;
        for (int j = 1; j <= 49; ++j) {
            double z = j - (j + 1) * g;
            F += z * t * s0 / (2 * j + 1);
            D += z * t;
            t = -t * g * s0 * s0;
            if (std::fabs(t) <= 1e-8) { sumDone = true; break; }
        }
        double step = (F - s0) / (D - 1.0);
        s = s0 - step;
        if (!std::isfinite(s)) break;
        if (std::fabs(step) <= 1e-5) {
            ok = sumDone;
            // One further step polishes the answer (the tolerance above is coarse).
            if (ok) {
                double F2 = q2, D2 = 0.0, t2 = -s * s;
                for (int j = 1; j <= 49; ++j) {
                    double z = j - (j + 1) * g;
                    F2 += z * t2 * s / (2 * j + 1);
                    D2 += z * t2;
                    t2 = -t2 * g * s * s;
                    if (std::fabs(t2) <= 1e-16) break;
                }
                s = s - (F2 - s) / (D2 - 1.0);
            }
            break;
        }
    }
    if (converged) *converged = ok && std::isfinite(s);
    return 2.0 * std::atan(s);
}

// True anomaly of an ellipse from the time since perihelion and q.
double EllipticTrueAnomaly(double dt, double q, double e) {
    double a = q / (1.0 - e);
    double n = g_gaussianConstant / (a * std::sqrt(a));
    double E = SolveEllipticKepler(dt * kDaysPerCentury * n, e);
    return TrueAnomalyFromEccentricAnomaly(E, std::sqrt((1.0 + e) / (1.0 - e)));
}

}  // namespace

int InitOrbitRecord(OrbitRecord *record, double T, double epoch, double M, double a, double q,
                    double e, double peri, double node, double incl, double n, double H,
                    double G, int16_t model) {
    if (!record) return 0;
    std::memset(record, 0, sizeof *record);
    if (std::isnan(e) || e < 0.0) return 0;
    const double k = g_gaussianConstant;
    record->e = e;
    record->peri = peri * kDegree;
    record->node = node * kDegree;
    record->incl = incl * kDegree;
    record->H = H;
    record->G = G;
    record->model = model;
    record->a = IsGiven(a) ? a : 0.0;

    double workN = n;  // degrees per day
    if (!IsGiven(T) && !IsGiven(n)) {
        if (!IsGiven(a) && !IsGiven(q)) return 0;
        double wa = IsGiven(a) ? a : q / (1.0 - e);
        workN = k / (wa * std::sqrt(wa)) / kDegree;
    }
    double t = T;
    if (!IsGiven(T) && IsGiven(workN))
        t = epoch - ReduceModuloPositive(M, 360.0) / (workN * kDaysPerCentury);
    if (!IsGiven(t)) return 0;
    record->T = t;

    if (e < 1.0) {
        double known = IsGiven(a) ? a : (IsGiven(q) ? q / (1.0 - e) : 0.0);
        if (!IsGiven(known) || known < 0.0) known = 0.0;
        double storedN = (!IsGiven(n) && known > 0.0) ? k / (known * std::sqrt(known))
                                                       : n * kDegree;
        if (!IsGiven(storedN) || storedN < 0.0 || !std::isfinite(storedN)) return 0;
        record->n = storedN;
        double storedA = known > 0.0 ? known : std::pow(k / storedN, 2.0 / 3.0);
        if (!IsGiven(storedA) || !std::isfinite(storedA)) return 0;
        record->a = storedA;
        record->q = 0.0;
    } else {
        double storedQ = IsGiven(q) ? q : (1.0 - e) * record->a;
        // An open orbit needs a positive perihelion distance: without one the
        // place would be meaningless.
        if (!IsGiven(storedQ) || storedQ < 0.0 || !std::isfinite(storedQ)) return 0;
        record->q = storedQ;
        record->n = 0.0;
    }
    return 1;
}

void ComputeOrbitVectors(OrbitRecord *record) {
    if (!record) return;
    double cN = std::cos(record->node), sN = std::sin(record->node);
    double ci = std::cos(record->incl), si = std::sin(record->incl);
    const double ce = kCosObliquity, se = kSinObliquity;
    double F = cN, G = sN * ce, H = sN * se;
    double P = -sN * ci, Q = cN * ci * ce - si * se, R = cN * ci * se + si * ce;
    record->Ax = ComputeQuadrantArcTangent(F, P);
    record->Ay = ComputeQuadrantArcTangent(G, Q);
    record->Az = ComputeQuadrantArcTangent(H, R);
    record->ax = std::sqrt(F * F + P * P);
    record->ay = std::sqrt(G * G + Q * Q);
    record->az = std::sqrt(H * H + R * R);
    if (record->e < 1.0) record->f = std::sqrt((1.0 + record->e) / (1.0 - record->e));
}

void ComputeOrbitPosition(double T, const OrbitRecord *o, double xyz[3]) {
    double v, r;
    const double e = o->e;
    if (e < 1.0) {
        double M = (T - o->T) * o->n * kDaysPerCentury;
        double E = SolveEllipticKepler(M, e);
        v = TrueAnomalyFromEccentricAnomaly(E, o->f);
        r = o->a * (1.0 - e * e) / (1.0 + e * std::cos(v));
    } else {
        if (e == 1.0)
            v = SolveParabolicOrbit(T - o->T, o->q);
        else if (e > kSeriesEccentricityLimit)
            v = SolveHyperbolicOrbit(T - o->T, o->q, e);
        else
            v = SolveNearParabolicOrbit(T - o->T, o->q, e);
        r = (1.0 + e) * o->q / (1.0 + e * std::cos(v));
    }
    double u = o->peri + v;
    xyz[0] = r * o->ax * std::sin(o->Ax + u);
    xyz[1] = r * o->ay * std::sin(o->Ay + u);
    xyz[2] = r * o->az * std::sin(o->Az + u);
}

void ComputeMinorBodyPosition(const DateRecord *date, const OrbitRecord *record, double *ra,
                              double *dec, double *r, double *delta, double *phase,
                              double *elongation, double *magnitude) {
    const double t = date->centuriesTT;
    double S[3];
    ComputeSunRectangularJ2000(t, 0, 0.0, &S[0], &S[1], &S[2]);
    double P[3], sph[3];
    ComputeOrbitPosition(t, record, P);
    AddVectorsToSpherical(P, S, sph);
    ComputeOrbitPosition(t - sph[2] * kLightTimeCenturies, record, P);
    AddVectorsToSpherical(P, S, sph);
    double rr = std::sqrt(P[0] * P[0] + P[1] * P[1] + P[2] * P[2]);
    double R = std::sqrt(S[0] * S[0] + S[1] * S[1] + S[2] * S[2]);
    double d = sph[2];
    double ph = AngleFromThreeSides(rr, R, d);
    double el = AngleFromThreeSides(R, rr, d);
    double m = record->model == kMagnitudeModelComet
                   ? ComputeCometMagnitude(rr, d, record->H, record->G)
                   : ComputeAsteroidMagnitude(rr, d, ph, record->H, record->G);
    if (ra) *ra = ReduceModuloPositive(sph[0], kTwoPi);
    if (dec) *dec = sph[1];
    if (r) *r = rr;
    if (delta) *delta = d;
    if (phase) *phase = ph;
    if (elongation) *elongation = el;
    if (magnitude) *magnitude = m;
}

double SolveParabolicOrbit(double dt, double q) {
    double W = kBarkerFactor * (dt * kDaysPerCentury) / (q * std::sqrt(q));
    if (!std::isfinite(W)) return std::isnan(W) ? W : (W > 0 ? kPi : -kPi);
    // s^3 + 3 s = W has the one real root 2 sinh(asinh(W / 2) / 3); Newton
    // steps with a relative tolerance polish it.
    double s = 2.0 * std::sinh(std::asinh(W / 2.0) / 3.0);
    for (int i = 0; i < kSolverSteps; ++i) {
        double step = (W - s * (s * s + 3.0)) / (3.0 * s * s + 3.0);
        s += step;
        if (!(std::fabs(step) > 1e-15 * (1.0 + std::fabs(s)))) break;
    }
    return 2.0 * std::atan(s);
}

double SolveHyperbolicOrbit(double dt, double q, double e) {
    if (!(e > 1.0)) return e == 1.0 ? SolveParabolicOrbit(dt, q) : EllipticTrueAnomaly(dt, q, e);
    double a = q / (e - 1.0);
    double M = g_gaussianConstant / (a * std::sqrt(a)) * (dt * kDaysPerCentury);
    if (std::isnan(M)) return M;
    // Starter of Danby: asinh(M / e) is good near perihelion, the logarithm far out.
    double H = std::fabs(M) < 6.0 * e ? std::asinh(M / e)
                                      : (M < 0 ? -1.0 : 1.0) * std::log(2.0 * std::fabs(M) / e + 1.8);
    for (int i = 0; i < kSolverSteps; ++i) {
        double f = e * std::sinh(H) - H - M;
        double d = e * std::cosh(H) - 1.0;
        double step = f / d;
        if (!std::isfinite(step)) break;
        H -= step;
        if (std::fabs(step) <= 1e-15 * (1.0 + std::fabs(H))) break;
    }
    return 2.0 * std::atan(std::sqrt((e + 1.0) / (e - 1.0)) * std::tanh(H / 2.0));
}

double SolveNearParabolicOrbit(double dt, double q, double e) {
    bool converged = false;
    double v = NearParabolicSeries(dt, q, e, &converged);
    if (converged || e == 1.0) return v;
    return e > 1.0 ? SolveHyperbolicOrbit(dt, q, e) : EllipticTrueAnomaly(dt, q, e);
}

int ClassifyOrbit(double a, double e, double inclination, double H) {
    // Open orbits and meaningless sizes have no class (they would otherwise
    // pass the first test as Vulcanoids).
    if (!(e < 1.0) || !(a > 0.0) || std::isnan(e)) return kOrbitClassNone;
    double q = (1.0 - e) * a, Q = 2.0 * a - q;
    if (Q < 0.4) return kOrbitClassVulcanoid;
    if (Q < 0.7184) return kOrbitClassVenusCrosser;
    if (q < 1.017 && a > 1.0) return kOrbitClassApollo;
    if (a > 1.0 && q > 1.017 && q < 1.3) return kOrbitClassAmor;
    if (a < 1.0 && Q > 0.983) return kOrbitClassAten;
    if (q < 0.983 && Q < 0.983) return kOrbitClassInteriorEarth;
    if (q > 1.3 && q < 1.666 && a < 3.2) return kOrbitClassMarsCrosser;
    if (a < 2.0 && q > 1.666) return kOrbitClassInnerMainBelt;
    if (a > 2.0 && a < 3.2 && q > 1.666) return kOrbitClassMainBelt;
    if (a > 3.2 && a < 4.6) return kOrbitClassOuterMainBelt;
    if (a > 4.6 && a < 5.5 && e < 0.3) return kOrbitClassTrojan;
    if (Q > 19.22 && q < 5.0) return kOrbitClassDamocloid;
    if (a >= 5.5 && a < 30.1) return kOrbitClassCentaur;
    if (a > 30.1 && a < 50000.0) {
        if (a > 30.10366151 && H < 1.0) return kOrbitClassPlutoid;
        if (q < 77.0 && (e >= 0.22 || inclination > kPi / 4.0) && Q > 46.0)
            return kOrbitClassScatteredDisk;
        return kOrbitClassTransNeptunian;
    }
    if (a > 50000.0) return kOrbitClassOortCloud;
    return kOrbitClassNone;
}

char *GetOrbitClassName(char *buffer, int code, int grouped) {
    static const char kNames[21][kOrbitClassNameSize] = {
        "",
        "Vulcanoid",
        "Mercury crosser",
        "Venus crosser",
        "Apollo",
        "Amor",
        "Aten",
        "Interior Earth Object",
        "Mars crosser",
        "Inner Main Belt Object",
        "Main Belt Object",
        "Outer Main Belt Object",
        "Trojan",
        "Damocloid",
        "Centaur",
        "Scattered-Disk Object",
        "Kuiper Belt Object",
        "Trans-Neptunian Object",
        "Plutoid",
        "Oort Cloud Object",
        "Near Earth Object",
    };
    if (!buffer) return nullptr;
    buffer[0] = '\0';
    if (code < 0 || code > kOrbitClassNearEarth) return nullptr;
    if (grouped) {
        if (code >= kOrbitClassApollo && code <= kOrbitClassInteriorEarth)
            code = kOrbitClassNearEarth;
        else if (code >= kOrbitClassScatteredDisk && code <= kOrbitClassTransNeptunian)
            code = kOrbitClassTransNeptunian;
    }
    std::snprintf(buffer, kOrbitClassNameSize, "%s", kNames[code]);
    return buffer;
}

int IsDwarfPlanetNumber(int32_t number) {
    return number == 1 || number == 134340 || number == 136108 || number == 136199 ||
           number == 136472;
}

void ConvertOrbitElementsFk4ToFk5(OrbitRecord *o) {
    if (!o) return;
    const double sn = 0.0001139788, cs = 0.9999999935;
    const double i0 = o->incl;
    const double W = o->node - 3.042087628115827;
    const double X = std::sin(i0) * std::sin(W);
    const double Y = cs * std::sin(i0) * std::cos(W) - sn * std::cos(i0);
    const double Z = cs * std::cos(i0) + sn * std::sin(i0) * std::cos(W);
    // The pole's third component keeps the quadrant: a retrograde orbit stays
    // retrograde.
    o->incl = std::atan2(std::sqrt(X * X + Y * Y), Z);
    o->node = ReduceModuloPositive(3.0542772170512658 + ComputeQuadrantArcTangent(X, Y), kTwoPi);
    o->peri = o->peri + ComputeQuadrantArcTangent(-sn * std::sin(W),
                                                  cs * std::sin(i0) - sn * std::cos(i0) * std::cos(W));
}

void PrecessOrbitElementsB1950ToJ2000(OrbitRecord *o) {
    if (!o) return;
    const double sn = 0.0001137895329, cs = 0.9999999936;
    const double incl = o->incl;
    const double W = o->node + 0.09073202483985779;
    o->peri = ReduceModuloPositive(
        o->peri + ComputeQuadrantArcTangent(sn * std::sin(W),
                                            cs * std::sin(incl) + sn * std::cos(incl) * std::cos(W)),
        kTwoPi);
    double X = std::sin(incl) * std::sin(W);
    double Y = cs * std::sin(incl) * std::cos(W) + sn * std::cos(incl);
    double i1 = ComputeClampedArcSine(std::sqrt(X * X + Y * Y));
    double N1 = ComputeQuadrantArcTangent(X, Y) - 0.07854011095132257;
    // The pole's third component decides the quadrant of the inclination. The
    // node comes from the pole's horizontal direction alone (sin incl > 0 in
    // both quadrants), so a retrograde orbit keeps N1; turning it by 180
    // degrees would put the node on the wrong side of the sky.
    if (cs * std::cos(incl) - sn * std::sin(incl) * std::cos(W) >= 0.0) {
        o->incl = i1;
        o->node = N1;
    } else {
        o->incl = kPi - i1;
        o->node = ReduceModuloPositive(N1, kTwoPi);
    }
}

namespace {

// Ecliptic Gauss vectors P and Q of the orbit, turned to the J2000 equator.
void GaussVectorsEquatorial(const OrbitRecord *o, double P[3], double Q[3]) {
    double cw = std::cos(o->peri), sw = std::sin(o->peri);
    double cN = std::cos(o->node), sN = std::sin(o->node);
    double ci = std::cos(o->incl), si = std::sin(o->incl);
    double p[3] = {cw * cN - sw * sN * ci, cw * sN + sw * cN * ci, sw * si};
    double q[3] = {-sw * cN - cw * sN * ci, -sw * sN + cw * cN * ci, cw * si};
    P[0] = p[0];
    P[1] = p[1] * kCosObliquity - p[2] * kSinObliquity;
    P[2] = p[1] * kSinObliquity + p[2] * kCosObliquity;
    Q[0] = q[0];
    Q[1] = q[1] * kCosObliquity - q[2] * kSinObliquity;
    Q[2] = q[1] * kSinObliquity + q[2] * kCosObliquity;
}

// Equatorial J2000 to ecliptic J2000.
void ToEcliptic(const double v[3], double out[3]) {
    out[0] = v[0];
    out[1] = v[1] * kCosObliquity + v[2] * kSinObliquity;
    out[2] = -v[1] * kSinObliquity + v[2] * kCosObliquity;
}

}  // namespace

void ComputeOrbitStateVector(OrbitRecord *o, double T, double position[3], double velocity[3]) {
    if (!o) return;
    ComputeOrbitVectors(o);
    ComputeOrbitPosition(T, o, position);
    const double a = o->a, e = o->e;
    double b = std::sqrt((1.0 - e * e) * a * a);
    double P[3], Q[3];
    GaussVectorsEquatorial(o, P, Q);
    double E = SolveEllipticKepler((T - o->T) * o->n * kDaysPerCentury, e);
    double r = std::sqrt(position[0] * position[0] + position[1] * position[1] +
                         position[2] * position[2]);
    double scale = g_gaussianConstant / (std::sqrt(a) * r);
    for (int i = 0; i < 3; ++i)
        velocity[i] = (b * Q[i] * std::cos(E) - a * P[i] * std::sin(E)) * scale;
}

void ComputeOrbitFromStateVector(double T, const double position[3], const double velocity[3],
                                 OrbitRecord *o) {
    if (!o) return;
    const double k = g_gaussianConstant;
    double w[3] = {velocity[0] / k, velocity[1] / k, velocity[2] / k};
    double r = std::sqrt(position[0] * position[0] + position[1] * position[1] +
                         position[2] * position[2]);
    double ww = w[0] * w[0] + w[1] * w[1] + w[2] * w[2];
    double a = 1.0 / (2.0 / r - ww);
    double rw = position[0] * w[0] + position[1] * w[1] + position[2] * w[2];
    double esinE = rw / std::sqrt(a);
    double ecosE = r * ww - 1.0;
    double e = std::sqrt(esinE * esinE + ecosE * ecosE);
    double E = ComputeQuadrantArcTangent(esinE, ecosE);
    double h = std::sqrt(a * (1.0 - e * e));
    double Wq[3] = {(position[1] * w[2] - position[2] * w[1]) / h,
                    (position[2] * w[0] - position[0] * w[2]) / h,
                    (position[0] * w[1] - position[1] * w[0]) / h};
    double sa = std::sqrt(a), se = std::sqrt(1.0 - e * e);
    double Pq[3], Qq[3];
    for (int i = 0; i < 3; ++i) {
        Pq[i] = position[i] / r * std::cos(E) - w[i] * sa * std::sin(E);
        Qq[i] = (w[i] * sa * (std::cos(E) - e) + position[i] / r * std::sin(E)) / se;
    }
    double W[3], P[3], Q[3];
    ToEcliptic(Wq, W);
    ToEcliptic(Pq, P);
    ToEcliptic(Qq, Q);
    // The inclination from the normal's full direction, so retrograde
    // orbits (Wz < 0) come out above 90 degrees.
    o->incl = std::atan2(std::hypot(W[0], W[1]), W[2]);
    o->node = ReduceModuloPositive(ComputeQuadrantArcTangent(W[0], -W[1]), kTwoPi);
    o->peri = ReduceModuloPositive(ComputeQuadrantArcTangent(P[2], Q[2]), kTwoPi);
    o->a = a;
    o->e = e;
    o->n = k / (a * sa);
    o->q = (1.0 - e) * a;
    o->T = T - (E - e * std::sin(E)) / (o->n * kDaysPerCentury);
}

void ComputeFivePointDerivative(const double samples[5][3], double h, double derivative[3]) {
    for (int i = 0; i < 3; ++i)
        derivative[i] =
            (samples[0][i] - 8.0 * samples[1][i] + 8.0 * samples[3][i] - samples[4][i]) / (12.0 * h);
}
