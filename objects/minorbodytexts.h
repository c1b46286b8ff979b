// Designation lists of comets and minor planets (the packaged database's
// and the user's): the forms a comet or minor planet is named by, in the
// order of the user's designation preferences, and the names of the
// packaged ones by their object-record index.
#pragma once
#include <cstdint>

#include "objects/designationlist.h"

struct ObjectRecord;

// Families of the designation preferences.
const int kFamilyCometsRow = 9;
const int kFamilyMinorPlanetsRow = 10;

// Minor planets, slots 0 and 1 of family 10: form 0 "(n) name" (the name
// alone without a number), 1 the name, 2 "MPN n". Returns 1, 0 without list.
int FormatMinorPlanetDesignations(const DesignationPreferences *prefs, int32_t number,
                                  const char *name, DesignationList *list, int limit, int all,
                                  DesignationParts *first, DesignationParts *second);
// Comets, slots 0 to 3 of family 9: form 0 the label, 1 "nP" (a shown
// number), 2 the designation, 3 the name. A number with bit 15 set counts
// as none. Returns 1, 0 without list.
int FormatCometDesignations(const DesignationPreferences *prefs, char letter, uint16_t number,
                            const char *designation, const char *name, DesignationList *list,
                            int limit, int all, DesignationParts *first,
                            DesignationParts *second);
// The designation list of a packaged comet (class 3, index = its first
// set) or minor planet (class 4, index = its number): 1 when listed.
int ListPackagedMinorBodyDesignations(const ObjectRecord *record,
                                      const DesignationPreferences *prefs, DesignationList *list,
                                      DesignationParts *first, DesignationParts *second);
// The same for a user comet (class 13) or minor planet (class 14), index =
// the object id in comet.bin or mp.bin: 1 when listed.
int ListUserMinorBodyDesignations(const ObjectRecord *record, const DesignationPreferences *prefs,
                                  DesignationList *list, DesignationParts *first,
                                  DesignationParts *second);
