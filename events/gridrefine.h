// The grid refinement of the event searches: the time of the smallest value
// of a quantity near a time found by the coarse scan.
#pragma once

const int kRefinePasses = 50;
const int kRefinePoints = 60;
const double kRefineBackSteps = 3.0;
const double kRefineShrink = 0.1;
const double kRefineStartBest = 9999999.0;

// Each pass lays kRefinePoints points, a tenth of the previous step apart,
// from kRefineBackSteps steps before the best time so far, and moves the
// time to the smallest value among them. A point can stay the best of a
// finer grid although the minimum lies between points, so the movement of t
// says nothing of the precision: the passes end once the grid step is at
// most the tolerance, or when done(best) says so. value(x, &v) answers 0
// where the quantity cannot be had; onBest(x) is called for each new best of
// a pass. *best gets the smallest value of the last pass (kRefineStartBest
// when it found none). Returns the refined time.
template <typename Value, typename OnBest, typename Done>
double RefineGridMinimum(double t, double step, double tolerance, Value value, OnBest onBest, Done done,
                         double *best) {
    double smallest = kRefineStartBest;
    for (int pass = 0; pass < kRefinePasses; ++pass) {
        const double first = t - kRefineBackSteps * step;
        step *= kRefineShrink;
        smallest = kRefineStartBest;
        for (int i = 0; i < kRefinePoints; ++i) {
            const double x = first + i * step;
            double v = 0;
            if (!value(x, &v)) continue;
            if (v < smallest) {
                smallest = v;
                t = x;
                onBest(x);
            }
        }
        if (step <= tolerance || done(smallest)) break;
    }
    *best = smallest;
    return t;
}
