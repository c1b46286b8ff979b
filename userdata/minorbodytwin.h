// The user-file twin of a packaged comet or minor planet: the user comet or
// minor planet of the same designation, under which the per-object stores
// (notes, web links, image links) may keep what belongs to the catalogue
// body.
#pragma once
#include <cstddef>

struct ObjectRecord;

// Designation kinds of the user comet and minor-planet builders.
const int kUserCometKindName = 1;
const int kUserCometKindDesignation = 2;
const int kUserCometKindPeriodicNumber = 3;
const int kUserMinorPlanetKindName = 1;

// The twin's class, designation kind and text (size bytes): a minor planet
// (category 0x8) by its name from the packaged name file; a comet (0x4) by
// "%dP" of its periodic number, else its designation, else its name. 1 when
// a text was found; 0 for a record that has no twin (a user class or another
// category); -1 when the packaged file or record cannot be read or the comet
// has neither number, designation nor name.
int GetMinorBodyTwinDesignation(const ObjectRecord *record, int *twinClass, int *kind, char *text,
                                size_t size);
// Builds the twin for a neutral site (zero longitude, latitude, elevation and
// time zone) on 2000 January 1, 0h UT. 1 when built; otherwise 0 and twin
// is untouched.
int BuildMinorBodyTwin(const ObjectRecord *record, ObjectRecord *twin);
