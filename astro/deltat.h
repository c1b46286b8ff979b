// Delta T = TT - UT: a piecewise model of the Earth's rotation from antiquity
// to beyond 2150 built from published fits and tables of observed values.
//
// Range: observed values from 1620 to kDeltaTObservedEnd (within 0.09 s of
// the IERS values, bench/astro_accuracy); after it an extrapolation that
// joins the observed values without a step and the long-term parabola at
// 2150, with no observation to judge it by (its uncertainty grows to
// minutes within a few centuries, as every prediction of the Earth's
// rotation does).
#pragma once
#include <cstdint>

// Number of entries of the 1620-1798 table (one per even year).
const int kDeltaTByteTableCount = 90;
// Whole-second Delta T for the even years 1620..1798.
extern const uint8_t kDeltaTTable1620[kDeltaTByteTableCount];

// Seconds, linear between the two entries either side of the decimal year in a
// table of whole seconds one per two years starting at firstYear. Outside the
// table the first or last entry is returned.
double InterpolateDeltaTByteTable(double decimalYear, const uint8_t *table, int firstYear,
                                  int count = kDeltaTByteTableCount);
// The last decimal year of the table of observed values; after it Delta T
// is extrapolated, joining the observed values without a step.
constexpr double kDeltaTObservedEnd = 2022.5;

// Seconds from the table of observed values, 1972.0 to kDeltaTObservedEnd
// (the ends are returned outside that span).
double InterpolateDeltaTRecentTable(double decimalYear);
// The model's Delta T in seconds for a decimal year; julianDate is the same
// instant (UT), on which the polynomial pieces run.
double ComputeModelDeltaTSeconds(double decimalYear, double julianDate);
