// A natural cubic spline through a few points (x_k, y_k), for interpolating
// the satellite day tables: set up once, evaluated near a knot, or walked
// backward from the last knot in steps (Burden & Faires, Numerical Analysis,
// algorithm 3.4).
#pragma once
#include <cstdint>

struct SplinePoint {
    double x, y;
};

// In memory only.
struct SplineState {
    double *z;           // n values
    double *mu;          // n values
    double *h;           // n values (h_k = x_{k+1} - x_k for k < n - 1)
    double nextC;        // c of the next knot
    double step;         // backward step of StepSplineBackward
    int32_t intervals;   // n - 1
    int32_t current;     // current interval
    double c, b, d;      // of the current interval
    int32_t done;
    int32_t firstStep;
};

// 1, or 0 when an array cannot be allocated or n < 2 (nothing to free then).
int SetUpNaturalSpline(SplineState *state, const SplinePoint *points, int n, double step);
// The cubic of the interval whose lower knot lies nearest x (the earlier one
// on a tie), evaluated at x: 1. Its c becomes the state's c of the next knot.
int EvaluateSplineNearKnot(SplineState *state, const SplinePoint *points, double x, double *y);
// One step backward from the last knot: 1 while samples remain, 0 once the
// first knot was passed (done set).
int StepSplineBackward(SplineState *state, const SplinePoint *points, SplinePoint *sample);
void FreeSpline(SplineState *state);
