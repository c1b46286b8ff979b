// The rows of the picker's double-star component list: each component of a
// star's double-star system with the magnitude of the component it is
// measured from, and its separation (from its binary orbit at the date when
// it has one).
#pragma once
#include <cstdint>

struct StarRecord;

struct PairComponent {
    char letter;           // the component's own letter
    char referenceLetter;  // the component its separation is measured from
    int32_t star;          // its own star number, 0 none
    double referenceMagnitude;
    double magnitude;
    double separation;     // arcseconds, 0 none
    int orbit;             // 1 when a binary orbit gives the separation
};

// The components of the star's system (its ccdm_record; the star read with
// its identifiers), at most max; 0 when it has none or the catalogue cannot
// be read. year: decimal year for the orbits.
int ReadDoubleStarComponents(const StarRecord &star, double year, PairComponent *out, int max);
