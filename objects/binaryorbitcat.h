// The visual-binary orbit files of reference slot 1: lp_ref.bin (39-byte
// elements, orbit n at (n - 1) x 39) and lp_sup.bin (68-byte supplements
// with the star's J2000 place), the position-angle correction from the
// orbit's equinox to J2000, and the orbit's position angle at a date.
#pragma once
#include <cstdio>

#include "ephem/binaryorbit.h"

const int kOrbitRecordSize = 39;
const int kOrbitSupplementSize = 68;
const int kBinaryOrbitCount = 1406;

struct OrbitFiles;

// Both files, or null unless both open (null before the catalogue
// directories are set).
OrbitFiles *OpenBinaryOrbitFiles();
void CloseBinaryOrbitFiles(OrbitFiles *files);
// Orbit n (1-1,406 and within the file): 1 with the elements (angles in
// radians, mean motion and factor 0), the two extra values and the grade
// (each may be null); 0 for n out of range, no files or a short read.
int ReadBinaryOrbit(OrbitFiles *files, int n, BinaryOrbit *out, double *extra1, double *extra2,
                    int *grade);
// Supplement n into 68 bytes: 1, or 0 under the same bounds.
int ReadOrbitSupplement(OrbitFiles *files, int n, unsigned char *buffer);
// Degrees to add to a position angle computed from orbit n's elements to
// refer it to J2000: 0 for equinox 0 or 2000 (no supplement is read) or when
// the supplement cannot be read.
double BinaryOrbitPrecessionCorrection(int n, const BinaryOrbit *orbit);
// Position angle (degrees, 0-360, with the correction) and separation
// (arcseconds) at time t (decimal year): 1, or 0 when the orbit cannot be
// solved (outputs untouched).
int ComputeBinaryPositionAngle(int n, BinaryOrbit *orbit, double t, double correction,
                               double *positionAngle, double *separation);
