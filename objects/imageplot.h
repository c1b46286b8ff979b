// Objects of class 20: an image placed on the charts, built from its record
// in the plot file "implot.bin" of an images group ("<user folder>/images/
// <group folder>/implot.bin": a 5-byte version stamp, an int32 count, then
// 188-byte records whose first three doubles are the image centre's J2000
// right ascension and declination and its angular size, in radians).
#pragma once

struct DateRecord;
struct LocationRecord;
struct ObjectRecord;

const int kImagePlotHeaderSize = 9;
const int kImagePlotRecordSize = 188;

// The centre (radians, J2000) and angular size (radians) of plot record
// `index` (from 0) of images group `imageGroup` (its id in the images group
// list); 1, or 0 when the group, its plot file or the record cannot be read.
int ReadImagePlotPlace(int imageGroup, int index, double *rightAscension, double *declination,
                       double *size);

// Refreshes a class-20 record (index = the plot record, from 0) from the plot
// file of the images group: catalogue place := the image centre, extent :=
// its size, magnitude 0, no sizes, second magnitude 99.9, colour index 99.0,
// no distance or proper motion, category bits 0, then the places for the
// site and date when both are given. 1, or 0 (the record as it was, apart from
// nothing) for another class, a negative index or a plot record that cannot
// be read. RefreshObjectRecord does not dispatch class 20.
int BuildImagePlotObject(int imageGroup, ObjectRecord *record, const LocationRecord *site,
                         const DateRecord *date, double extinction);
