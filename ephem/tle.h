// Two-line element sets of Earth satellites: the check digit of an element
// line, the reading of a line pair into the ten mean elements the SGP4/SDP4
// models take (Spacetrack Report No. 3), the choice between the near-Earth
// and the deep-space model, and the perigee and apogee heights.
#pragma once
#include <cstdint>

#pragma pack(push, 1)
// The ten elements, in the order of the bytes 30-109 of an
// EarthSatelliteRecord (ephem/satstore.h). Units are those of the models.
struct TwoLineElementSet {
    double epoch;               // Julian date (UT)
    double meanMotionRateHalf;  // first derivative of n over 2, rad/min^2
    double meanMotionSecond;    // second derivative of n over 6, rad/min^3
    double bstar;               // B* drag term, per Earth radius
    double inclination;         // rad
    double ascendingNode;       // right ascension of the ascending node, rad
    double eccentricity;
    double argumentOfPerigee;   // rad
    double meanAnomaly;         // rad
    double meanMotion;          // rad/min
};
#pragma pack(pop)
static_assert(sizeof(TwoLineElementSet) == 80, "ten doubles");

// Results of CheckTwoLineChecksum besides the 0..9 check difference.
const int kTleNoLineNumber = -1;      // the line does not begin with "1 " or "2 "
const int kTleBadCharacter = -2;      // a control or non-ASCII character, or too short
const int kTleTextAfterCheck = -3;    // something other than a blank after column 69
// Results of ParseTwoLineElements: 0 good; bit 1 line 1's check digit wrong,
// bit 2 line 2's; a line-1 defect is its checksum code - 100; a line-2 defect
// its code unchanged; -104 for the wrong line numbers; -105 when a numeric
// field holds no number or the elements cannot describe an orbit (mean
// motion not positive, eccentricity outside 0..1).
const int kTleGood = 0;
const int kTleBadLine1Check = 1;
const int kTleBadLine2Check = 2;
const int kTleLine1Offset = -100;
const int kTleWrongLineNumbers = -104;
const int kTleBadField = -105;

// Earth's equatorial radius of the WGS-72 constants of the models, km.
const double kSatelliteEarthRadiusKm = 6378.135;
// Minutes of a day.
const double kMinutesPerDay = 1440.0;

// The check of one element line: negative for a malformed line (codes above),
// else (sum of columns 1-68 - check digit in column 69) mod 10, where digits
// count their value, "-" counts 1 and every other character 0. 0 is good.
int CheckTwoLineChecksum(const char *line);
// Reads the pair into out (zeroed first). The elements are filled whenever
// both lines are well formed, even when a check digit disagrees (1..3).
int ParseTwoLineElements(const char *line1, const char *line2, TwoLineElementSet *out);
// An exponent field of 8 columns (" 12345-3" = 0.12345e-3); a blank second
// column reads as 0.
double ParseTwoLineExponentField(const char *field);
// The catalogue number of columns 3-7 of an element line: five digits, or the
// alpha-5 form (a letter other than I and O, then four digits: A0000 = 100000).
// -1 when the field holds neither.
int32_t ParseSatelliteNumber(const char *line);
// 1 when the orbit's period (after the model's mean-motion recovery) is 225
// minutes or more (SDP4), 0 for SGP4.
int IsDeepSpaceOrbit(const TwoLineElementSet *elements);
// The model's mean-motion recovery (Spacetrack Report No. 3): the
// recovered mean motion (rad/min) and the semi-major axis that belongs to it
// (Earth radii), as "Revisiting Spacetrack Report #3" computes them.
void RecoverMeanMotion(const TwoLineElementSet *elements, double *semiMajorAxis,
                       double *meanMotion);
// Heights above the equatorial radius, km.
double ComputePerigeeHeight(const TwoLineElementSet *elements);
double ComputeApogeeHeight(const TwoLineElementSet *elements);
// angle in [0, 2 pi).
double WrapTwoPi(double angle);
