// Rules of the pool assignment dialogs and the eyepiece, filter and lens edit
// dialogs: the ordered list of assigned pool ids, the Barlow factor field, the
// checks of the edit dialogs, the apparent field from a measured true field,
// the standard filters' zero points and the neutral-density display modes.
#pragma once
#include <cstdint>
#include <vector>

#include "instruments/camerarecords.h"

const int kMostAssignedEyepieces = 70;
const int kMostAssignedFilters = 50;
const int kMostAssignedLenses = 10;

// The right-hand list of an assignment dialog: pool ids in display order.
struct AssignedIdList {
    std::vector<uint16_t> ids;
    int limit = 0;
};

// 1 appended; 0 when the list is full (the caller shows the limit message).
int AssignPoolId(AssignedIdList *list, uint16_t id);
// Removes the id at a line; 0 for a line outside the list.
int RemoveAssignedAt(AssignedIdList *list, int line);
// Removes the first occurrence of the id; the line it had, or -1.
int RemoveFirstAssigned(AssignedIdList *list, uint16_t id);
// Swaps the line with its neighbour (direction +1 later, -1 earlier); the new
// line, or the same one when it cannot move.
int MoveAssigned(AssignedIdList *list, int line, int direction);
// Drops every id for which exists(id) is 0, so that each list line again
// stands for the id at its place (a pool record deleted while assigned twice
// would otherwise leave an id without a line).
void DropMissingAssigned(AssignedIdList *list, int (*exists)(int id));

// The Barlow field: an empty text or one that is not a number of 0 or more
// changes nothing (0); otherwise *factor becomes the value, 1 stored as 0
// (no Barlow), and 1 is returned.
int ReadBarlowText(const char *text, float *factor);

// Eyepiece edit: name not empty (cut to 31 characters by the caller), focal
// length in (0, 100] mm, apparent field in (0, 180] degrees. 1 valid.
int CheckEyepieceValues(const char *name, double focalLength, double apparentField);
// Apparent field in degrees from a true field measured in arcminutes through
// a telescope of the focal length (mm) with an eyepiece of the focal length
// (mm); 0 when either focal length is not above 0.
double ComputeMeasuredApparentField(double trueFieldArcmin, double telescopeFocalLength,
                                    double eyepieceFocalLength);
// Zero point (magnitudes) of a standard filter at a central wavelength in
// micrometres, linear over the five-point table 0.365..0.9 um, held outside.
double StandardFilterZeroPoint(double wavelengthMicrometres);
// A standard filter from the field values (nm, nm, percent): label (at most 32
// characters) first, then each value stored once it passes: wavelength above
// 0, FWHM above 0, peak 0..100. When all pass the zero point is set and the
// surface transmission and mirror reflectance cleared. 1 all valid.
int ReadStandardFilterValues(FilterRecord *filter, const char *label, double wavelengthNm,
                             double fwhmNm, double peakPercent);
// Neutral density: the transmission a value states in mode 0 (percent), 1
// (optical density) or 2 (attenuation); 0 when the value is not above 0 or
// the transmission does not lie in (0, 1].
double NeutralDensityTransmission(double value, int mode);
// The value of a transmission in a mode (percent, density, attenuation).
double NeutralDensityValue(double transmission, int mode);
// A lens: focal length above 0 and focal ratio at least 1. 1 valid.
int CheckLensValues(double focalLength, double focalRatio);
