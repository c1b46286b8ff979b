// Chart numbers of seven printed star atlases for a J2000 place (radians):
// each finder applies the atlas's fixed layout of declination zones and
// right-ascension sectors. Every finder first brings the right ascension into
// [0, 24 h) (so 24 h and 0 h give the same chart, and a slightly negative
// value after nutation lands at the end of the circle) and the declination
// into [-90, +90] degrees; the zone-table finder instead refuses values
// outside those ranges, as its callers expect.
#pragma once

// Three volumes (0, 1, 2) of 516 charts, numbered on through the volumes (1..1548).
int FindChartInThreeVolumeAtlas(double rightAscension, double declination, int *volume, int *chart);
// Charts 1..26.
int FindChartInTwentySixChartAtlas(double rightAscension, double declination, int *chart);
// Volume 1 northern, 2 southern, 3 the equatorial band (|dec| < 5.5 deg); charts 1..473.
int FindChartInTwoVolumeAtlas(double rightAscension, double declination, int *volume, int *chart);
// Chart 1..220; 0 for a declination outside [-90, 90] deg or a right
// ascension outside [0, 24] h.
int FindChartByZoneTable(double rightAscension, double declination);
// Chart 1..16.
int FindChartInSixSectorAtlas(double rightAscension, double declination);
// Chart 1..94.
int FindChartInEighteenSectorAtlas(double rightAscension, double declination);
// Chart 1..80.
int FindChartInEightSectorAtlas(double rightAscension, double declination);
