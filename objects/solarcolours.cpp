// Mean B-V colour indexes of the Sun, the planets and their major
// satellites, from published broad-band photometry.
#include "objects/solarcolours.h"

namespace {

const double kNoColour = 99.9;

const double kMars[] = {0.60, 0.65};                                       // Phobos, Deimos
const double kJupiter[] = {1.17, 0.87, 0.83, 0.86, 1.50, 0.67};            // Io ... Himalia
const double kSaturn[] = {0.80, 0.70, 0.73, 0.71, 0.78, 1.26, 0.78, 0.72, 0.70};
const double kUranus[] = {0.65, 0.68, 0.70, 0.68};
const double kNeptune[] = {0.72};

struct Row {
    double body;
    const double *satellites;
    int count;
};

const Row kRows[11] = {
    {0.62, nullptr, 0},      {0.93, nullptr, 0}, {0.82, nullptr, 0},
    {kNoColour, nullptr, 0}, {1.36, kMars, 2},   {0.83, kJupiter, 6},
    {1.04, kSaturn, 9},      {0.56, kUranus, 4}, {0.41, kNeptune, 1},
    {0.80, nullptr, 0},      {0.92, nullptr, 0}};

}  // namespace

double SolarSystemColorIndex(int body, int satellite) {
    if (body < 0 || body > 10) return kNoColour;
    const Row &row = kRows[body];
    // Pluto's satellite shares its colour; a satellite outside the row
    // takes the planet's value.
    if (satellite >= 1 && satellite <= row.count) return row.satellites[satellite - 1];
    return row.body;
}
