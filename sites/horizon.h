// A site's obstructed ("local") horizon: 61 rows of azimuth, altitude and
// declination every 6 degrees of azimuth in "<user folder>/horizons/<safe
// name>.bin" (no header, little-endian; row 60 repeats row 0 and closes the
// circle). Its creation flat or from a text file of azimuth/altitude pairs,
// reading and writing of the rows, the derived declinations, and deletion.
// Azimuths here run from the north through the east.
#pragma once
#include <cstdint>
#include <cstdio>

struct LocationRecord;

#pragma pack(push, 1)
struct HorizonRow {
    double azimuth;      // 0  radians from the north through the east: row k = k x 6 degrees
    double altitude;     // 8  radians: obstruction + refraction - the site's horizon dip
    double declination;  // 16 radians: declination of that point for the site's latitude
};
// One point of a horizon text file, in memory.
struct HorizonPoint {
    double altitude;  // degrees
    double azimuth;   // degrees in [0, 360)
};
#pragma pack(pop)
static_assert(sizeof(HorizonRow) == 24, "HorizonRow is 24 bytes");
static_assert(sizeof(HorizonPoint) == 16, "HorizonPoint is 16 bytes");

const int kHorizonRowCount = 61;
const int kHorizonBlockBytes = kHorizonRowCount * 24;  // 1464
const int kHorizonMaxPoints = 1000;
const double kHorizonStep = 0.10471975511965977;  // 6 degrees in radians

// Opens the site's horizon file "r+b" (making the horizons folder when it is
// missing); none when the file does not exist. The caller closes it.
FILE *OpenHorizonFile(const char *siteName);
// 1 when the site's horizon file existed and was deleted.
int DeleteHorizonFile(const char *siteName);
// Seek to block 0 (offset 0) or 1 (offset 1464) and read or write 61 rows;
// 1 only when all 61 were transferred.
int ReadHorizonRows(FILE *f, HorizonRow *rows, int block);
int WriteHorizonRows(FILE *f, const HorizonRow *rows, int block);
// Declination of every row for the site: asin(sin(lat) sin(h) - cos(lat)
// cos(h) cos(A + pi)), h = altitude + dip. In memory, and on an open file
// (block 0 read, filled and written back).
void ComputeHorizonDeclinations(HorizonRow *rows, const LocationRecord *site);
int FillHorizonDeclinations(FILE *f, const LocationRecord *site);
// Writes 61 rows as the site's whole horizon file: to a temporary name beside
// it, then replacing the file, so a failure leaves any earlier file intact.
int WriteHorizonFile(const char *siteName, const HorizonRow *rows);
// A flat horizon (altitude 0 everywhere) with its declinations. 1 or 0.
int CreateFlatHorizon(const LocationRecord *site);
// Block 0 of the site's file; 0 when the site has no horizon.
int LoadHorizon(const LocationRecord *site, HorizonRow *rows);

// Ordering of points by azimuth: 1 greater, -1 less, 0 equal.
int CompareHorizonPoints(const HorizonPoint *a, const HorizonPoint *b);
// Binary-search probe by whole degrees: -1 when the key is below the point's
// azimuth, 1 above, 0 equal (the point's address stored in found).
int ProbeHorizonPoint(int key, const HorizonPoint *points, int index, const HorizonPoint **found);
// Altitude (radians) at an azimuth (radians from the north) by linear
// interpolation between points sorted by azimuth, across north between the
// last point and the first. 0 for no points.
double InterpolateHorizonAltitude(const HorizonPoint *points, int count, double azimuth);
// Builds the site's horizon file from a text file of "azimuth altitude" lines
// (degrees; any azimuth is reduced into [0, 360)). Lines of 2 characters or
// fewer are skipped. 1 created; 0 the text file cannot be opened or a line
// does not hold two numbers (that line, at most 254 characters, in badLine when
// one is given, 255 bytes); -1 the horizon file cannot be written; -2 fewer
// than 2 points; -3 1000 points or more.
int ImportHorizonText(const LocationRecord *site, const char *textPath, char *badLine);
