// The SGP4 (near-Earth) and SDP4 (deep-space) propagators of Spacetrack
// Report No. 3 (Hoots and Roehrich 1980) with the WGS-72 constants, in the
// corrected form of "Revisiting Spacetrack Report #3" (Vallado, Crawford,
// Hujsak and Kelso 2006). Position in km, velocity in km per minute, in the
// models' frame: true equator, mean equinox of date.
#pragma once

#include "ephem/tle.h"

// The state of one element set's propagator; built by InitSgp4 or InitSdp4,
// read (and for SDP4 advanced) by the propagation calls. Not stored in files.
struct SatellitePropagatorState {
    int deepSpace;      // 1 after InitSdp4
    int simplified;     // 1: the drag terms of order t^3 and higher are left out
    // Recovered mean motion (rad/min) and semi-major axis (Earth radii).
    double meanMotion, semiMajorAxis;
    double eccentricity, inclination, argumentOfPerigee, ascendingNode, meanAnomaly, bstar;
    double cosInclination, sinInclination;
    double con41, x1mth2, x7thm1, eta;
    double cc1, cc4, cc5, d2, d3, d4, delmo, sinmao;
    double t2cof, t3cof, t4cof, t5cof, omgcof, xmcof, xlcof, aycof, nodecf;
    double mdot, argpdot, nodedot;
    // Deep space: the sidereal angle at epoch and the lunar-solar terms.
    double gsto;
    double e3, ee2, se2, se3, sgh2, sgh3, sgh4, sh2, sh3, si2, si3, sl2, sl3, sl4;
    double xgh2, xgh3, xgh4, xh2, xh3, xi2, xi3, xl2, xl3, xl4, zmol, zmos;
    double dedt, didt, dmdt, dnodt, domdt;
    // Resonance: 0 none, 1 one-day, 2 half-day; its coefficients.
    int resonance;
    double d2201, d2211, d3210, d3222, d4410, d4422, d5220, d5232, d5421, d5433;
    double del1, del2, del3, xfact, xlamo;
    // The resonance integrator's last grid point (a multiple of 720 minutes
    // from the epoch), the mean longitude and mean motion there. Only a
    // starting point: the answer at a time does not depend on it.
    double integratorTime, integratorLongitude, integratorMeanMotion;
};

// Results of the propagation calls.
const int kPropagationGood = 1;
// The orbit decayed or became hyperbolic: position (and velocity) are zero.
const int kPropagationFailed = 0;

// Shared set-up of both models (near-Earth secular and drag terms).
void InitSatellitePropagatorCommon(SatellitePropagatorState *state,
                                   const TwoLineElementSet *elements);
void InitSgp4(SatellitePropagatorState *state, const TwoLineElementSet *elements);
void InitSdp4(SatellitePropagatorState *state, const TwoLineElementSet *elements);
// minutes since the element epoch; velocity may be null (left untouched).
// kPropagationGood, or kPropagationFailed with zero vectors when the orbit
// has decayed (semi-major axis or perigee not positive, eccentricity vector
// of length 1 or more, or the satellite below the Earth's surface).
int PropagateSgp4(double minutes, const TwoLineElementSet *elements,
                  SatellitePropagatorState *state, double position[3], double velocity[3]);
int PropagateSdp4(double minutes, const TwoLineElementSet *elements,
                  SatellitePropagatorState *state, double position[3], double velocity[3]);
// The model IsDeepSpaceOrbit chooses: set-up, then propagation.
void InitSatellitePropagator(SatellitePropagatorState *state, const TwoLineElementSet *elements);
int PropagateSatellite(double minutes, const TwoLineElementSet *elements,
                       SatellitePropagatorState *state, double position[3], double velocity[3]);

// The steps the two models share or add (Spacetrack Report No. 3): the
// deep-space set-up, the lunar-solar secular terms with the resonance
// integration, the lunar-solar periodics, and the common last step from the
// perturbed mean elements to position and velocity.
void InitDeepSpace(SatellitePropagatorState *state, const TwoLineElementSet *elements);
void ApplyDeepSpaceSecular(SatellitePropagatorState *state, double minutes, double *eccentricity,
                           double *argumentOfPerigee, double *inclination, double *node,
                           double *meanAnomaly, double *meanMotion);
void ApplyDeepSpacePeriodics(SatellitePropagatorState *state, double minutes,
                             double *eccentricity, double *inclination, double *node,
                             double *argumentOfPerigee, double *meanAnomaly);
int FinishSatellitePropagation(const SatellitePropagatorState *state, double minutes,
                               double meanMotion, double semiMajorAxis, double eccentricity,
                               double inclination, double argumentOfPerigee, double node,
                               double meanAnomaly, double sinInclination, double cosInclination,
                               double aycof, double xlcof, double con41, double x1mth2,
                               double x7thm1, double position[3], double velocity[3]);

// Greenwich mean sidereal angle (IAU 1982) of a Julian date (UT), rad.
double ComputeDeepSpaceSiderealAngle(double julianDate);
