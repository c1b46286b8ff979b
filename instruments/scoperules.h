// What the telescope and binocular dialogs do to the working record when a
// field changes: names, lengths in the display unit, focal length and ratio,
// optical condition, the finder and sight, the eyepieces rebuilt from the pool
// ids the eyepiece dialog leaves, the cameras' filters completed after the
// camera dialog, and the binocular fields. Kept apart from the dialogs so that
// the rules are tested without windows.
#pragma once
#include <cstdint>

#include "instruments/instrumentrecord.h"

// Display units: 0 inches, 1 metres, 2 cm, 3 mm.
double LengthInUnit(double mm, int unit);
double ConvertLengthToMm(double value, int unit);
const char *LengthUnitName(int unit);  // "inches", "meters", "cm", "mm"
int NextLengthUnit(int unit);          // 0, 1, 2, 3, 0

// Condition combo line 0..4 for a condition, and the condition of a line.
int ConditionIndex(double condition);
double ConditionForIndex(int line);

// A typed name (at most 63 characters are looked at): 0 and nothing changes
// when it holds a reserved character (the caller puts the previous name
// back); otherwise the name becomes the text cut to 31 characters, 1.
int ApplyInstrumentName(InstrumentRecord *record, const char *text);

// Main optics edits; each is refused (0, nothing changes) for a value that is
// not above 0. The aperture keeps the ratio (focal length recomputed); the
// focal length gives the ratio (only with an aperture above 0); the ratio
// gives the focal length.
int SetTelescopeAperture(InstrumentRecord *record, double valueInUnit);
int SetTelescopeFocalLength(InstrumentRecord *record, double valueInUnit);
int SetTelescopeFocalRatio(InstrumentRecord *record, double ratio);
// 0 becomes 1, anything else 0.
uint8_t ToggleImageFlag(uint8_t flag);
// Magnifying finder on (2 optical systems) or off (1).
void ToggleMagnifyingFinder(InstrumentRecord *record);

// Rebuilds the main optics' eyepieces from pool ids in order: ids whose record
// is gone are skipped, names lose trailing blanks and are cut to 31
// characters, at most 70 are kept. *currentEntry becomes the last slot filled
// (unchanged when none). The number of eyepieces.
int RebuildTelescopeEyepieces(OpticsBlock *main, const uint16_t *ids, int count, int *currentEntry);
// After the camera dialog: every assigned filter of every camera completed
// for the camera's curve, and the five standard bands put into slots 50-54
// and completed the same way.
void CompleteCameraFilters(OpticsBlock *main);

// "New Binocs": the record zeroed, one optical system, kind 1, binocular
// optics "Binoculars" 7 x 50 with the default field.
void InitNewBinoculars(InstrumentRecord *record);
// Binocular edits (0 for a value not above 0, nothing changes); each resets
// the optics as InitFixedMagnificationOptics does (condition 1, ratio 1,
// orientation normal, no eyepieces or cameras).
int SetBinocularMagnification(InstrumentRecord *record, double magnification);
int SetBinocularAperture(InstrumentRecord *record, double apertureMm);
int SetBinocularField(InstrumentRecord *record, double fieldDegrees);
