// A visual binary's apparent orbit: the elements as the orbit catalogue holds
// them and the position angle and separation of the companion at a time
// (Meeus, Astronomical Algorithms, ch. 57).
#pragma once
#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
struct BinaryOrbit {
    double period;               // P, years (the unit of time of every time here)
    double periastron_time;      // T, decimal year
    double eccentricity;         // e, 0 <= e < 1
    double semi_major_axis;      // a, arcseconds
    double inclination;          // i, radians
    double node;                 // position angle of the ascending node, radians
    int32_t equinox_year;        // equinox of the node (0 = J2000)
    double periastron_argument;  // omega, radians
    double mean_motion;          // n = 2 pi / P, radians per year; 0 until derived
    double derived;              // sqrt((1 + e) / (1 - e)), filled with n
};
#pragma pack(pop)
static_assert(sizeof(BinaryOrbit) == 76, "BinaryOrbit is 76 bytes");
static_assert(offsetof(BinaryOrbit, equinox_year) == 48, "layout");

// Fills the elements; the three angles are given in degrees and stored in
// radians; the mean motion is cleared. 1, or 0 for no record.
int InitBinaryOrbit(BinaryOrbit *orbit, double period, double periastronTime,
                    double eccentricity, double semiMajorAxis, double inclinationDeg,
                    double nodeDeg, double periastronArgumentDeg, int equinoxYear);
// n = 2 pi / P and the factor sqrt((1 + e) / (1 - e)); nothing for P = 0 or
// an eccentricity outside [0, 1).
void PrepareBinaryOrbit(BinaryOrbit *orbit);
// Position angle (degrees, 0..360, north through east) and separation
// (arcseconds) at time t (decimal year). 1, or 0 (outputs untouched) for no
// record, a zero period, an eccentricity outside [0, 1) (an open orbit has no
// period and its factor would be the root of a negative number) or a
// projection with cos theta' = 0.
int ComputeBinaryStarPosition(BinaryOrbit *orbit, double t, double *positionAngle,
                              double *separation);
