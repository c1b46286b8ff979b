// Sites of the first generation: the 132-byte site record (before the sky
// brightness, weather and seeing fields) and the old site store of such
// records, each followed by its 3-byte trailer.
#pragma once
#include <cstdint>
#include <cstdio>

#include "astro/location.h"
#include "sites/sitestore.h"

const int kOldLocationRecordSize = 132;
// A naked-eye limit above this is held to it (the sky-brightness model ends there).
const double kOldLocationLimitMax = 8.0;

// Zeroes and fills the current site record from the old one. 1, 0 for null.
int ConvertOldLocationRecord(const uint8_t *old, LocationRecord *site);
// Old site i (at 2 + 135 i) read and converted, with its trailer. 1, or 0
// for a null file or a failed seek or read.
int ReadOldLocationRecord(FILE *file, int index, LocationRecord *site, LocationTrailer *trailer);
// Writes a store of current records at newPath (through the crash-safe
// layer) from the old store at oldPath: the count, then each converted
// record and its trailer. 1 when every site was converted and written; 0
// otherwise (the old file is never touched; a count the file does not hold
// is refused).
int UpgradeLocationFile(const char *oldPath, const char *newPath);
