// The natural cubic spline of the satellite day tables.
#include "ephem/naturalspline.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <new>

namespace {

// c, b and d of the current interval from the state's c of the next knot.
void IntervalCoefficients(SplineState *s, const SplinePoint *p) {
    const int k = s->current;
    const double c1 = s->nextC;
    const double hk = s->h[k];
    s->c = s->z[k] - s->mu[k] * c1;
    s->b = (p[k + 1].y - p[k].y) / hk - hk * (c1 + 2.0 * s->c) / 3.0;
    s->d = (c1 - s->c) / (3.0 * hk);
    s->nextC = s->c;
}

double Cubic(const SplineState *s, const SplinePoint *p, double x) {
    const double t = x - p[s->current].x;
    return p[s->current].y + t * (s->b + t * (s->c + t * s->d));
}

}  // namespace

int SetUpNaturalSpline(SplineState *s, const SplinePoint *p, int n, double step) {
    if (!s || !p) return 0;
    std::memset(s, 0, sizeof *s);
    if (n < 2) return 0;
    std::unique_ptr<double[]> h(new (std::nothrow) double[n]());
    std::unique_ptr<double[]> mu(new (std::nothrow) double[n]());
    std::unique_ptr<double[]> z(new (std::nothrow) double[n]());
    std::unique_ptr<double[]> alpha(new (std::nothrow) double[n]());
    std::unique_ptr<double[]> l(new (std::nothrow) double[n]());
    if (!h || !mu || !z || !alpha || !l) return 0;
    for (int k = 0; k + 1 < n; ++k) h[k] = p[k + 1].x - p[k].x;
    for (int k = 1; k + 1 < n; ++k)
        alpha[k] = 3.0 *
                   (p[k + 1].y * h[k - 1] - (p[k + 1].x - p[k - 1].x) * p[k].y +
                    p[k - 1].y * h[k]) /
                   (h[k - 1] * h[k]);
    l[0] = 1.0;
    mu[0] = 0.0;
    z[0] = 0.0;
    for (int k = 1; k + 1 < n; ++k) {
        l[k] = 2.0 * (p[k + 1].x - p[k - 1].x) - h[k - 1] * mu[k - 1];
        mu[k] = h[k] / l[k];
        z[k] = (alpha[k] - h[k - 1] * z[k - 1]) / l[k];
    }
    z[n - 1] = 0.0;
    s->h = h.release();
    s->mu = mu.release();
    s->z = z.release();
    s->nextC = 0.0;
    s->step = step;
    s->intervals = n - 1;
    s->current = n - 2;
    s->done = 0;
    s->firstStep = 1;
    return 1;
}

int EvaluateSplineNearKnot(SplineState *s, const SplinePoint *p, double x, double *y) {
    if (!s || !p || !y || !s->h || s->intervals < 1) return 0;
    int k = 0;
    double best = std::fabs(p[0].x - x);
    for (int i = 1; i < s->intervals; ++i) {
        double distance = std::fabs(p[i].x - x);
        if (distance < best) {
            best = distance;
            k = i;
        }
    }
    s->current = k;
    IntervalCoefficients(s, p);
    *y = Cubic(s, p, x);
    return 1;
}

int StepSplineBackward(SplineState *s, const SplinePoint *p, SplinePoint *sample) {
    if (!s || !p || !sample || !s->h || s->done) return 0;
    if (s->firstStep) {
        IntervalCoefficients(s, p);
        s->firstStep = 0;
        *sample = p[s->current + 1];
        return 1;
    }
    const double x = sample->x - s->step;
    if (x > p[s->current].x) {
        sample->x = x;
        sample->y = Cubic(s, p, x);
        return 1;
    }
    if (s->current > 0) {
        --s->current;
        IntervalCoefficients(s, p);
        *sample = p[s->current + 1];
        return 1;
    }
    *sample = p[0];
    s->done = 1;
    return 1;
}

void FreeSpline(SplineState *s) {
    if (!s) return;
    delete[] s->z;
    delete[] s->mu;
    delete[] s->h;
    s->z = s->mu = s->h = nullptr;
}
