// The Galilean satellites by Lieske's series theory (E2x3; Lieske, A&A 56,
// 333, 1977; time origin 1976 August 10.0): the state of the theory for one
// time, the place of each satellite on Jupiter's equator, and its
// jovicentric vector on the ecliptic of date.
//
// Range: fitted to observations of 1891-1976; within 3" of PyEphem's
// Galilean theory over 2024 and within 9" a century either side
// (bench/satellite_accuracy). Used for every date.
#pragma once

struct GalileanState {
    double T;        // Julian centuries of TT from J2000, light-time corrected
    double l[4];     // mean longitudes (the true one while a latitude is summed), 0..2 pi
    double S[4];     // longitude perturbations, set by the place routines
    double P[4];     // longitudes of the perijoves
    double N[4];     // longitudes of the nodes on Jupiter's equator
    double Phi;      // argument of the great inequality term
    double psi;      // node of Jupiter's equator on its orbit (origin of the longitudes)
    double G;        // mean anomaly of Jupiter plus the inequality Gamma
    double Gs;       // mean anomaly of Saturn
    double Pj;       // longitude of Jupiter's perihelion
    // Jupiter's equator to its orbit (I), psi + precession - the orbit's node,
    // the orbit's inclination to the ecliptic, the orbit's node: cosines, then sines.
    double cosines[4];
    double sines[4];
};

// A satellite's place: longitude (rad, from the origin of the mean
// longitudes), latitude above Jupiter's equator (rad), radius (Jupiter
// equatorial radii).
struct GalileanPlace {
    double longitude, latitude, radius;
};

int InitGalileanState(GalileanState *state, double centuries);
void ComputeIoPlace(GalileanState *state, GalileanPlace *place);
void ComputeEuropaPlace(GalileanState *state, GalileanPlace *place);
void ComputeGanymedePlace(GalileanState *state, GalileanPlace *place);
void ComputeCallistoPlace(GalileanState *state, GalileanPlace *place);
// The series: longitude perturbations (degrees), latitude series (its arc
// tangent is the latitude) and radius series (dimensionless).
double SumIoLongitudeTerms(const GalileanState *state);
double SumEuropaLongitudeTerms(const GalileanState *state);
double SumGanymedeLongitudeTerms(const GalileanState *state);
double SumCallistoLongitudeTerms(const GalileanState *state);
double ComputeIoLatitude(const GalileanState *state);
double ComputeEuropaLatitude(const GalileanState *state);
double ComputeGanymedeLatitude(const GalileanState *state);
double ComputeCallistoLatitude(const GalileanState *state);
double ComputeIoRadius(const GalileanState *state);
double ComputeEuropaRadius(const GalileanState *state);
double ComputeGanymedeRadius(const GalileanState *state);
double ComputeCallistoRadius(const GalileanState *state);

typedef void (*GalileanPlaceHandler)(GalileanState *, GalileanPlace *);
// The four place routines in satellite order.
extern const GalileanPlaceHandler GalileanSatelliteHandlers[4];

// k = 0..3: the satellite's jovicentric rectangular position in Jupiter
// radii on the ecliptic of date (x toward the equinox); k = 5: the unit
// vector of Jupiter's rotation pole in the same frame. Other k: zero vector.
void ComputeGalileanVector(int k, GalileanState *state, double out[3]);
