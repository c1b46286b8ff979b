// Naming an object: the designation families of the classes, their kind
// counts and names, the default designation preferences, and the one routine
// that turns an object record into its display name (first designation in the
// user's preferred order) and second name.
#pragma once

#include "objects/designationlist.h"

struct ObjectRecord;

// Families of classes that share a designation preference row.
const int kFamilyStars = 0;
const int kFamilyGalaxies = 1;
const int kFamilyGalaxyGroups = 2;
const int kFamilyQuasars = 3;
const int kFamilyPlanetaryNebulae = 4;
const int kFamilyDiffuseNebulae = 5;
const int kFamilyDarkNebulae = 6;
const int kFamilyOpenClusters = 7;
const int kFamilyGlobularClusters = 8;
const int kFamilyComets = 9;
const int kFamilyMinorPlanets = 10;

// Family names are at most 17 characters ("Planetary Nebulae").
const int kDesignationFamilyNameSize = 18;

// 5 -> 0, 6 -> 1, 16 -> 2, 7 -> 3, 8 -> 4, 9 -> 5, 17 -> 6, 10 -> 7, 11 -> 8,
// 3 and 13 -> 9, 4 and 14 -> 10; -1 for every other class.
int DesignationFamilyOfClass(int objectClass);
// Positions a preferences editor offers per family: the number of kinds of
// the family (20, 10, 3, 3, 14, 10, 5, 57, 7, 4, 2); 0 outside 0-10.
int KindCountOfFamily(int family);
// Copies family name number *position (18 bytes) and advances the position;
// after the eleventh name (or a position outside 0-10) sets it to 0 and
// returns 0 with an empty name, else 1.
int NextDesignationFamilyName(int *position, char *name);
// Name of kind `kind` (from 1) of a family from the string table, "" when
// the family has no such kind.
const char *DesignationKindName(int family, int kind);
// The default table: every order row 0, 1, ... 59, every entry enabled, the
// star-name flag clear. Null does nothing.
void InitDesignationPreferences(DesignationPreferences *prefs);

// Writes the object's first designation by the preferences (none: natural
// order, every kind enabled) into name (65 bytes) and, when asked, its
// second designation into secondName (65 bytes); the parts outputs (either
// may be null) receive the pieces of the first and second designation.
// 1 when the object was found and named; 0 with empty names otherwise.
int FormatObjectName(const ObjectRecord *record, char *name, const DesignationPreferences *prefs,
                     char *secondName, DesignationParts *parts, DesignationParts *secondParts);
// Names the object by its own kind (the record's kind byte, from 1); an
// object without a designation of that kind gets its first one in natural
// order. 0 when the kind is 0, the class has no family or nothing was found.
int FormatObjectNameOfKind(const ObjectRecord *record, char *name);
