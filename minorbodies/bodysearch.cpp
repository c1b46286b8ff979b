// Name searches of the minor-body database and of the user's own stores.
//
// NOT YET BUILT: the name indexes of the user stores and the packaged
// minor-planet and comet files belong to the supplemental database, which is
// not written yet. Until it is, each search finds nothing (0), so the fuzzy
// name search runs over the other catalogues unchanged.
#include "minorbodies/bodysearch.h"

int SearchUserStarNames(const char *, int *, int32_t *, int *, int) { return 0; }
int SearchUserDeepSkyNames(const char *, int *, int32_t *, int *, int) { return 0; }
int SearchSkyMarkNames(const char *, int *, int32_t *, int *, int) { return 0; }
int SearchUserMinorPlanetNames(const char *, int *, int32_t *, int *, int) { return 0; }
int SearchUserCometNames(const char *, int *, int32_t *, int *, int) { return 0; }
int SearchMinorPlanetNames(const char *, int *, int32_t *, int *, int) { return 0; }
int SearchCometNames(const char *, int *, int32_t *, int *, int) { return 0; }
