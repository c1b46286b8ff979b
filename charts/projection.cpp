// The nine chart projections, their set-up, the sphere and window rotations
// and the extent of a window. Snyder, "Map Projections: A Working Manual"
// (USGS 1987): equidistant cylindrical p. 90, gnomonic p. 164, polar
// stereographic p. 157, orthographic p. 148, Hammer p. 232, Mercator p. 41,
// Lambert conformal conic p. 107, sinusoidal p. 247.
#include "charts/projection.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "core/mathutil.h"

namespace {

const double kTwoPi = 2.0 * kPi;
const double kHalfPi = 0.5 * kPi;
// Distance from a pole within which the conic does not map (0.5 degree).
const double kConicPoleMargin = 0.0087;
// Latitudes of a Mercator band stop this far short of the poles, where the
// ordinate ln tan(pi/4 + phi/2) grows without bound.
const double kMercatorPoleMargin = 1e-6;
// Largest map side accepted in pixels: far beyond any window, well inside int32.
const double kMaxMapSize = 1e9;

double Wrap(double x) {
    double r = std::fmod(x, kTwoPi);
    if (r < 0) r += kTwoPi;
    if (r >= kTwoPi) r = 0;
    return r;
}
// Into (-pi, pi].
double WrapSigned(double x) {
    double r = Wrap(x);
    if (r > kPi) r -= kTwoPi;
    return r;
}
// Truncation towards zero that stays defined beyond the int range.
int Trunc(double v) {
    if (std::isnan(v)) return std::numeric_limits<int32_t>::min();
    if (v >= 2147483647.0) return 2147483647;
    if (v <= -2147483648.0) return -2147483647 - 1;
    return (int)v;
}
double Clamp1(double v) { return v > 1 ? 1 : (v < -1 ? -1 : v); }
double MercatorOrdinate(double phi) { return std::log(std::tan((phi + kHalfPi) / 2)); }
double ConicT(double phi) { return std::tan((kHalfPi - phi) / 2); }

int Emit(int *x, int *y, double *ex, double *ey, double fx, double fy) {
    *x = Trunc(fx);
    *y = Trunc(fy);
    if (ex) *ex = fx;
    if (ey) *ey = fy;
    return 1;
}

// ---- kind mappings -------------------------------------------------------------

int RectForward(ChartProjection *p, double lon, double lat, int *x, int *y, double *ex, double *ey) {
    double l = WrapSigned(lon);
    double fx = p->mapCentreX - l * p->scale, fy = p->mapCentreY + lat * p->scale;
    Emit(x, y, ex, ey, fx, fy);
    if (*x == p->mapWidth) *x = 0;
    return 1;
}
int RectInverse(ChartProjection *p, double x, double y, double *lon, double *lat) {
    if (x < 0 || x >= p->mapWidth || y < 0 || y >= p->mapHeight) return 0;
    *lon = (p->mapCentreX - x) / p->scale;
    *lat = (y - p->mapCentreY) / p->scale;
    if (*lat > kHalfPi) *lat = kHalfPi;
    if (*lat < -kHalfPi) *lat = -kHalfPi;
    return 1;
}

int GnomonicForward(ChartProjection *p, double lon, double lat, int *x, int *y, double *ex,
                    double *ey) {
    if (std::fabs(lat) >= kHalfPi) return 0;
    if (!p->north) lat = -lat;
    double l = WrapSigned(lon);
    double cl = std::cos(l);
    double safe = std::fabs(cl) < 1e-12 ? std::copysign(1e-12, cl) : cl;
    double fy = std::tan(lat) / safe;
    if (!p->north) fy = -fy;
    Emit(x, y, ex, ey, p->mapCentreX - p->scale * std::tan(l), p->mapCentreY + p->scale * fy);
    // A point at or behind the tangent plane's horizon (|l| >= 90 degrees)
    // would land at a mirrored, spurious place: it is never valid.
    return std::fabs(l) <= p->secondParameter && cl > 0;
}
int GnomonicInverse(ChartProjection *p, double x, double y, double *lon, double *lat) {
    double l = std::atan((p->mapCentreX - x) / p->scale);
    double v = (y - p->mapCentreY) / p->scale;
    if (!p->north) v = -v;
    double phi = std::atan(v * std::cos(l));
    *lon = l;
    *lat = p->north ? phi : -phi;
    return 1;
}

// Kinds 3 and 4 share the disc of W pixels: X, Y in units of its radius.
void DiscPixel(const ChartProjection *p, double X, double Y, double *fx, double *fy) {
    double W = p->mapWidth;
    *fx = (W + W * X) / 2;
    *fy = W - (W + W * Y) / 2;
}
void DiscUnit(const ChartProjection *p, double x, double y, double *X, double *Y) {
    double W = p->mapWidth;
    *X = 2 * x / W - 1;
    *Y = 1 - 2 * y / W;
}
void ClampIntoDisc(const ChartProjection *p, int *x, int *y) {
    int hi = p->mapWidth - 1;
    if (*x < 0) *x = 0;
    if (*x > hi) *x = hi;
    if (*y < 0) *y = 0;
    if (*y > hi) *y = hi;
}

int StereoForward(ChartProjection *p, double lon, double lat, int *x, int *y, double *ex,
                  double *ey) {
    if (!p->north) lat = -lat;
    if (lat < p->parameter || lat <= -kHalfPi) return 0;
    double r = p->scale * std::tan((kHalfPi - lat) / 2);
    double X = -r * std::sin(lon), Y = r * std::cos(lon);
    if (!p->north) Y = -Y;
    double fx, fy;
    DiscPixel(p, X, Y, &fx, &fy);
    Emit(x, y, ex, ey, fx, fy);
    ClampIntoDisc(p, x, y);
    return 1;
}
int StereoInverse(ChartProjection *p, double x, double y, double *lon, double *lat) {
    double X, Y;
    DiscUnit(p, x, y, &X, &Y);
    if (!p->north) Y = -Y;
    double rho = std::sqrt(X * X + Y * Y);
    double phi = kHalfPi - 2 * std::atan(rho / p->scale);
    if (phi < p->parameter) return 0;
    *lon = rho == 0 ? 0 : std::atan2(-X, Y);
    *lat = p->north ? phi : -phi;
    return 1;
}

int OrthoForward(ChartProjection *p, double lon, double lat, int *x, int *y, double *ex,
                 double *ey) {
    if (!p->north) lat = -lat;
    if (lat < 0) return 0;
    double X = -std::cos(lat) * std::sin(lon), Y = std::cos(lat) * std::cos(lon);
    if (!p->north) Y = -Y;
    double fx, fy;
    DiscPixel(p, X, Y, &fx, &fy);
    Emit(x, y, ex, ey, fx, fy);
    ClampIntoDisc(p, x, y);
    return 1;
}
int OrthoInverse(ChartProjection *p, double x, double y, double *lon, double *lat) {
    double X, Y;
    DiscUnit(p, x, y, &X, &Y);
    if (!p->north) Y = -Y;
    double rho = std::sqrt(X * X + Y * Y);
    if (rho >= 1) return 0;
    double phi = std::acos(rho);
    *lon = rho == 0 ? 0 : std::atan2(-X, Y);
    *lat = p->north ? phi : -phi;
    return 1;
}

int HammerForward(ChartProjection *p, double lon, double lat, int *x, int *y, double *ex,
                  double *ey) {
    double l = -WrapSigned(lon);
    double z = std::acos(Clamp1(std::cos(lat) * std::cos(l / 2)));
    double fx = p->mapCentreX, fy = p->mapCentreY;
    if (z != 0) {
        double theta = std::asin(Clamp1(std::sin(l / 2) * std::cos(lat) / std::sin(z)));
        double X = 4 * p->scale * std::sin(z / 2) * std::sin(theta);
        double Y = std::fabs(2 * p->scale * std::sin(z / 2) * std::cos(theta));
        if (lat < 0) Y = -Y;
        if (!p->north) Y = -Y;
        fx += X;
        fy += Y;
    }
    Emit(x, y, ex, ey, fx, fy);
    if (*y == p->mapHeight) *y = p->mapHeight - 1;
    if (*x == p->mapWidth) *x = 0;
    return 1;
}
int HammerInverse(ChartProjection *p, double x, double y, double *lon, double *lat) {
    double u = (x - p->mapCentreX) / (2 * p->scale);
    double v = (y - p->mapCentreY) / (2 * p->scale);
    if (!p->north) v = -v;
    // Outside the map's ellipse (x/4)^2 + (y/2)^2 > 1/2 in Snyder's units no
    // sky point projects: refuse instead of inventing one.
    if (u * u + 4 * v * v > 2) return 0;
    double w = std::sqrt(std::max(0.0, 4 - u * u - 4 * v * v));
    double phi = std::asin(Clamp1(w * v));
    double c = std::cos(phi);
    double l = c == 0 ? 0 : -2 * std::asin(Clamp1(w * u / (2 * c)));
    *lon = l;
    *lat = phi;
    return 1;
}

int MercatorForward(ChartProjection *p, double lon, double lat, int *x, int *y, double *ex,
                    double *ey) {
    if (std::fabs(lat) >= kHalfPi) return 0;
    double W = p->mapWidth, H = p->mapHeight;
    double fx = Wrap(kPi - lon) / kTwoPi * W;
    double fy = H / 2 + H * MercatorOrdinate(lat) / (2 * p->derivedParameter);
    Emit(x, y, ex, ey, fx, fy);
    if (*x == p->mapWidth) *x = 0;
    return std::fabs(lat) <= p->parameter;
}
int MercatorInverse(ChartProjection *p, double x, double y, double *lon, double *lat) {
    if (x < 0 || x >= p->mapWidth) return 0;
    double W = p->mapWidth, H = p->mapHeight;
    *lon = kPi - x / W * kTwoPi;
    double m = (y - H / 2) * 2 * p->derivedParameter / H;
    *lat = 2 * std::atan(std::exp(m)) - kHalfPi;
    return 1;
}

int ConicForward(ChartProjection *p, double lon, double lat, int *x, int *y, double *ex,
                 double *ey) {
    if (!p->north) lat = -lat;
    if (kHalfPi - std::fabs(lat) < kConicPoleMargin) return 0;
    double n = p->coneConstant;
    double l = -WrapSigned(lon);
    double rho = 1 / std::pow(std::tan((lat + kHalfPi) / 2), n);
    double X = rho * std::sin(n * l), Y = rho * std::cos(n * l);
    if (!p->north) Y = -Y;
    double W = p->mapWidth;
    Emit(x, y, ex, ey, W / 2 + W * X / 2, W / 2 - W * Y / 2);
    return 1;
}
int ConicInverse(ChartProjection *p, double x, double y, double *lon, double *lat) {
    if (x < 0 || x >= p->mapWidth) return 0;
    double W = p->mapWidth, n = p->coneConstant;
    double X = (2 * x - W) / W, Y = (W - 2 * y) / W;
    if (!p->north) Y = -Y;
    double rho = std::sqrt(X * X + Y * Y);
    if (rho == 0) return 0;
    double angle = std::atan2(X, Y) / n;
    if (std::fabs(angle) > kPi) return 0;
    double phi = kHalfPi - 2 * std::atan(std::pow(rho, 1 / n));
    if (kHalfPi - std::fabs(phi) < kConicPoleMargin) return 0;
    *lon = -angle;
    *lat = p->north ? phi : -phi;
    return 1;
}

// The sinusoidal map measures y from the south edge, as the rectangular map
// does, so that both show the sky the same way up after the chart's mirroring.
int SinusoidalForward(ChartProjection *p, double lon, double lat, int *x, int *y, double *ex,
                      double *ey) {
    double l = WrapSigned(lon);
    Emit(x, y, ex, ey, p->mapCentreX - l * p->scale * std::cos(lat), (kHalfPi + lat) * p->scale);
    if (*y == p->mapWidth / 2) *y = p->mapWidth / 2 - 1;
    if (*x == p->mapWidth) *x = 0;
    return 1;
}
int SinusoidalInverse(ChartProjection *p, double x, double y, double *lon, double *lat) {
    double phi = y / p->scale - kHalfPi;
    if (std::fabs(phi) > kHalfPi) return 0;
    double c = std::cos(phi);
    if (std::fabs(2 * x / p->mapWidth - 1) > c) return 0;
    *lat = phi;
    *lon = c <= 0 ? 0 : (p->mapCentreX - x) / (p->scale * c);
    return 1;
}

void RotateWindow(const ChartProjection *p, double sinA, double cosA, double *x, double *y) {
    double dx = *x - p->windowCentreX + 0.5, dy = *y - p->windowCentreY + 0.5;
    *x = dx * cosA + dy * sinA + p->windowCentreX;
    *y = dy * cosA - dx * sinA + p->windowCentreY;
}

bool UsesRotation(const ChartProjection *p) { return p->poleLatitude != kHalfPi; }

}  // namespace

void RotateToProjectionPole(const ChartProjection *p, double *longitude, double *latitude) {
    double q0 = p->rotation[0], q1 = p->rotation[1], q2 = p->rotation[2], q3 = p->rotation[3];
    double c = kHalfPi - *latitude, a = -*longitude;
    double u = std::cos(c), v = std::cos(a) * std::sin(c), w = std::sin(a) * std::sin(c);
    double X = u * q1 - q3 * q0 * w + v * q2 * q0;
    double Y = w * q2 + v * q3;
    double Z = u * q0 + w * q3 * q1 - q2 * q1 * v;
    *latitude = kHalfPi - std::acos(Clamp1(Z));
    *longitude = (X == 0 && Y == 0) ? 0 : Wrap(-std::atan2(Y, X));
}

void RotateFromProjectionPole(const ChartProjection *p, double *longitude, double *latitude) {
    double q0 = p->rotation[0], q1 = p->rotation[1], q2 = p->rotation[2], q3 = p->rotation[3];
    double c = kHalfPi - *latitude, a = -*longitude;
    double u = std::cos(c), v = std::cos(a) * std::sin(c), w = std::sin(a) * std::sin(c);
    double X = -q2 * q1 * u + w * q3 + v * q2 * q0;
    double Y = u * q3 * q1 + w * q2 - q3 * q0 * v;
    double Z = u * q0 + v * q1;
    *latitude = kHalfPi - std::acos(Clamp1(Z));
    *longitude = (X == 0 && Y == 0) ? 0 : Wrap(-std::atan2(Y, X));
}

void SetProjectionMapWidth(ChartProjection *p) {
    if (!p || p->mapWidth != 0) return;
    double s = p->scale, W;
    switch (p->kind) {
    case kProjectionGnomonic: W = kPi * s; break;
    case kProjectionOrthographic: W = 2 * s; break;
    case kProjectionHammerAitoff: W = 4 * std::sqrt(2.0) * s; break;
    default: W = kTwoPi * s; break;
    }
    p->mapWidth = Trunc(W);
    p->mapCentreX = p->mapWidth / 2;
}

void SetProjectionMapHeight(ChartProjection *p) {
    if (!p) return;
    if (p->mapHeight == 0) {
        bool half = p->kind == kProjectionRectangular || p->kind == kProjectionHammerAitoff ||
                    p->kind == kProjectionSinusoidal;
        p->mapHeight = half ? p->mapWidth / 2 : p->mapWidth;
    }
    p->mapCentreY = p->mapHeight / 2;
}

double GetProjectionMapScale(const ChartProjection *p) {
    if (!p || p->mapWidth == 0) return 0;
    double W = p->mapWidth;
    if (p->kind == kProjectionStereographic || p->kind == kProjectionOrthographic) return W / 2;
    if (p->kind == kProjectionConic) {
        double n = p->coneConstant;
        return W * kPi / (n * kTwoPi * std::pow(std::tan(kPi / 4 + p->derivedParameter / 2), n));
    }
    return W / kTwoPi;
}

int InitChartProjection(ChartProjection *p, int windowWidth, int windowHeight,
                        double lowerLatitude, double upperLatitude, double poleLongitude,
                        double poleLatitude, double parameter, double secondParameter, int north,
                        int shiftX, int shiftY, int windowOffsetX, int windowOffsetY,
                        double windowAngle, int sizeFromWidth, int kind) {
    if (!p || kind < 1 || kind > 9) return 0;
    ChartProjection q;
    std::memset(&q, 0, sizeof q);
    q.kind = kind;
    q.poleLongitude = poleLongitude;
    q.poleLatitude = poleLatitude;
    q.parameter = parameter;
    q.north = north;
    q.shiftX = shiftX;
    q.shiftY = shiftY;
    q.windowWidth = windowWidth;
    q.windowHeight = windowHeight;

    double S = sizeFromWidth ? windowWidth : windowHeight;
    double D = upperLatitude - lowerLatitude;
    if (!(S > 0) || !(D > 0) || !std::isfinite(D) || !std::isfinite(poleLongitude) ||
        !std::isfinite(poleLatitude) || !std::isfinite(windowAngle))
        return 0;

    double W = 0, H = 0;
    switch (kind) {
    case kProjectionGnomonic:
        if (D >= kPi) return 0;
        q.forward = GnomonicForward;
        q.inverse = GnomonicInverse;
        q.parameter = 3 * kPi / 4;
        q.secondParameter = 3 * kPi / 4;
        q.scale = (S - 1) / 2 / std::tan(D / 2);
        W = std::trunc(kPi * q.scale);
        H = W;
        break;
    case kProjectionStereographic: {
        double e = parameter;
        if (!(e > 0) || e > kPi) return 0;
        q.forward = StereoForward;
        q.inverse = StereoInverse;
        q.parameter = kHalfPi - e;
        q.scale = 1 / std::tan(e / 2);
        W = std::trunc(S * std::tan(e / 2) / std::tan(D / 4));
        H = W;
        break;
    }
    case kProjectionOrthographic:
        q.forward = OrthoForward;
        q.inverse = OrthoInverse;
        q.scale = (S / 2) / std::sin(std::min(D, kPi) / 2);
        W = std::trunc(2 * q.scale);
        H = W;
        break;
    case kProjectionHammerAitoff:
        q.forward = HammerForward;
        q.inverse = HammerInverse;
        q.scale = (S / D * kPi) / (2 * std::sqrt(2.0));
        W = std::trunc(4 * std::sqrt(2.0) * q.scale);
        H = std::trunc(W / 2);
        break;
    case kProjectionMercator:
    case kProjectionMercatorKept: {
        double P = parameter;
        if (kind == kProjectionMercator && P == kHalfPi) P = 60.0 * kPi / 180.0;
        if (!(P > 0) || P >= kHalfPi) return 0;
        q.kind = kProjectionMercator;
        q.parameter = P;
        q.forward = MercatorForward;
        q.inverse = MercatorInverse;
        double limit = kHalfPi - kMercatorPoleMargin;
        double lo = std::max(-limit, std::min(limit, lowerLatitude));
        double hi = std::max(-limit, std::min(limit, upperLatitude));
        double span = std::fabs(MercatorOrdinate(hi) - MercatorOrdinate(lo));
        q.derivedParameter = MercatorOrdinate(P);
        if (!(span > 0)) return 0;
        H = std::trunc(2 * S * q.derivedParameter / span);
        W = std::trunc(H * kPi / q.derivedParameter);
        break;
    }
    case kProjectionConic: {
        double phi1 = parameter, phi2 = secondParameter;
        if (!(std::fabs(phi1) < kHalfPi) || !(std::fabs(phi2) < kHalfPi)) return 0;
        double n;
        if (std::fabs(phi1 - phi2) < 1e-10) {
            n = std::sin(phi1);  // tangent cone (Snyder eq. 15-3 in the limit)
        } else {
            n = std::log(std::cos(phi1) / std::cos(phi2)) /
                std::log(std::tan(kPi / 4 + phi2 / 2) / std::tan(kPi / 4 + phi1 / 2));
        }
        if (!std::isfinite(n) || std::fabs(n) < 1e-6) return 0;
        q.forward = ConicForward;
        q.inverse = ConicInverse;
        q.derivedParameter = phi1;
        q.secondParameter = phi2;
        q.coneConstant = n;
        q.coneFactor = std::cos(phi1) * std::pow(std::tan(kPi / 4 + phi1 / 2), n) / n;
        double hi = upperLatitude, lo = lowerLatitude;
        double span;
        if (hi > kHalfPi) {
            hi = kPi - hi;
            span = std::pow(ConicT(hi), n) + std::pow(ConicT(lo), n);
        } else {
            span = std::fabs(std::pow(ConicT(hi), n) - std::pow(ConicT(lo), n));
        }
        if (!(span > 0) || !std::isfinite(span)) return 0;
        H = std::trunc(2 * S / span);
        W = H;
        break;
    }
    case kProjectionRectangular:
    case kProjectionSinusoidal:
    default:
        q.forward = kind == kProjectionSinusoidal ? SinusoidalForward : RectForward;
        q.inverse = kind == kProjectionSinusoidal ? SinusoidalInverse : RectInverse;
        q.scale = S / D;
        W = std::trunc(kTwoPi * q.scale);
        H = std::trunc(W / 2);
        break;
    }
    if (!(W >= 2) || !(H >= 2) || W > kMaxMapSize || H > kMaxMapSize) return 0;
    if (q.kind != kProjectionMercator && q.kind != kProjectionConic &&
        (!(q.scale > 0) || !std::isfinite(q.scale)))
        return 0;
    q.mapWidth = (int32_t)W;
    q.mapHeight = (int32_t)H;
    q.mapCentreX = q.mapWidth / 2;
    q.mapCentreY = q.mapHeight / 2;

    q.rotation[0] = std::cos(-(kHalfPi - poleLatitude));
    q.rotation[1] = std::sin(-(kHalfPi - poleLatitude));
    q.rotation[2] = std::cos(poleLongitude);
    q.rotation[3] = std::sin(poleLongitude);

    q.windowAngle = windowAngle;
    q.windowCentreX = windowOffsetX + windowWidth / 2;
    q.windowCentreY = windowOffsetY + windowHeight / 2;
    q.sinAngle = std::sin(windowAngle);
    q.cosAngle = std::cos(windowAngle);
    q.sinNegAngle = std::sin(-windowAngle);
    q.cosNegAngle = std::cos(-windowAngle);
    *p = q;
    return 1;
}

int ProjectToChart(ChartProjection *p, double longitude, double latitude, int *x, int *y,
                   double *exactX, double *exactY) {
    if (!p || !p->forward || !x || !y) return 0;
    if (!std::isfinite(longitude) || !std::isfinite(latitude)) return 0;
    if (!UsesRotation(p)) {
        if (p->poleLongitude != 0) longitude = Wrap(longitude - p->poleLongitude);
    } else {
        RotateToProjectionPole(p, &longitude, &latitude);
    }
    int px, py;
    double fx, fy;
    p->inside = 0;
    int r = p->forward(p, longitude, latitude, &px, &py, &fx, &fy);
    // Kinds 2 and 6 write the pixel beyond their limits, but not at a pole.
    bool written = r != 0 || ((p->kind == kProjectionGnomonic || p->kind == kProjectionMercator) &&
                              std::fabs(latitude) < kHalfPi);
    if (!written) return 0;
    p->inside = r != 0;
    px -= p->shiftX;
    py -= p->shiftY;
    fx -= p->shiftX;
    fy -= p->shiftY;
    if (p->windowAngle != 0) {
        double rx = px, ry = py;
        RotateWindow(p, p->sinAngle, p->cosAngle, &rx, &ry);
        px = Trunc(rx);
        py = Trunc(ry);
        RotateWindow(p, p->sinAngle, p->cosAngle, &fx, &fy);
    }
    *x = px;
    *y = py;
    if (exactX) *exactX = fx;
    if (exactY) *exactY = fy;
    return r;
}

int UnprojectFromChart(ChartProjection *p, int x, int y, double *longitude, double *latitude) {
    if (!p || !p->inverse || !longitude || !latitude) return 0;
    // The pixel's centre, turned back about the window centre exactly: the
    // forward rotation carried the centre of the map pixel to this pixel, so
    // undoing it on the centre (not on the truncated corner, which would add
    // the half pixel twice) returns to within a pixel at any angle.
    double fx = x + 0.5, fy = y + 0.5;
    if (p->windowAngle != 0) {
        double dx = fx - p->windowCentreX, dy = fy - p->windowCentreY;
        fx = dx * p->cosNegAngle + dy * p->sinNegAngle + p->windowCentreX;
        fy = dy * p->cosNegAngle - dx * p->sinNegAngle + p->windowCentreY;
    }
    fx += p->shiftX;
    fy += p->shiftY;
    double lon, lat;
    p->inside = 0;
    if (!p->inverse(p, fx, fy, &lon, &lat)) return 0;
    if (!std::isfinite(lon) || !std::isfinite(lat)) return 0;
    lon = Wrap(lon);
    if (!UsesRotation(p)) {
        if (p->poleLongitude != 0) lon = Wrap(lon + p->poleLongitude);
    } else {
        RotateFromProjectionPole(p, &lon, &lat);
    }
    p->inside = 1;
    *longitude = lon;
    *latitude = lat;
    return 1;
}

void GetProjectionExtent(ChartProjection *p, int windowWidth, int windowHeight,
                         double *longitudeMin, double *longitudeMax, double *latitudeMin,
                         double *latitudeMax) {
    double lonMin = kTwoPi, lonMax = 0, latMin = kHalfPi, latMax = -kHalfPi;
    if (p && windowWidth > 0 && windowHeight > 0) {
        int left = p->windowCentreX - p->windowWidth / 2;
        int top = p->windowCentreY - p->windowHeight / 2;
        int right = left + windowWidth - 1, bottom = top + windowHeight - 1;
        // edge: 0 top, 1 bottom, 2 left, 3 right; the sample moves inwards
        // until it maps to the sky, at most a quarter of the window.
        for (int edge = 0; edge < 4; edge++) {
            bool horizontal = edge < 2;
            int length = horizontal ? windowWidth : windowHeight;
            int step = std::max(1, length / 32);
            int reach = (horizontal ? windowHeight : windowWidth) / 4;
            for (int a = 0; a < length; a += step) {
                for (int k = 0; k <= reach; k++) {
                    int x, y;
                    switch (edge) {
                    case 0: x = left + a; y = top + k; break;
                    case 1: x = left + a; y = bottom - k; break;
                    case 2: x = left + k; y = top + a; break;
                    default: x = right - k; y = top + a; break;
                    }
                    double lon, lat;
                    if (!UnprojectFromChart(p, x, y, &lon, &lat)) continue;
                    latMin = std::min(latMin, lat);
                    latMax = std::max(latMax, lat);
                    if (edge == 2) lonMax = std::max(lonMax, lon);
                    if (edge == 3) lonMin = std::min(lonMin, lon);
                    break;
                }
            }
        }
        for (int pole = 0; pole < 2; pole++) {
            int x, y;
            double lat = pole == 0 ? kHalfPi : -kHalfPi;
            if (ProjectToChart(p, 0, lat, &x, &y) && x >= left && x <= right && y >= top &&
                y <= bottom) {
                if (pole == 0) latMax = kHalfPi;
                else latMin = -kHalfPi;
                lonMin = 0;
                lonMax = kTwoPi;
            }
        }
        if (lonMax < lonMin) lonMax += kTwoPi;
    }
    if (longitudeMin) *longitudeMin = lonMin;
    if (longitudeMax) *longitudeMax = lonMax;
    if (latitudeMin) *latitudeMin = latMin;
    if (latitudeMax) *latitudeMax = latMax;
}
