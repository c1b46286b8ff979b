// Air mass and atmospheric extinction of a line of sight at a given altitude.
#pragma once

// Relative air mass 1 / (cos z + 0.025 exp(-11 cos z)) with z = pi/2 - altitude
// (Rozenberg's formula, usable down to the horizon); 40 at or below the
// horizon; an altitude above pi/2 counts as the zenith.
double ComputeAirMass(double altitude);
// Extinction in magnitudes: coefficient (magnitudes per air mass) x air mass;
// 40 when the altitude is not above 0 (not multiplied by the coefficient).
double ComputeExtinction(double coefficient, double altitude);
