// Which objects have log entries: the key lists of the 13 class folders held
// in memory, and the marking of logged user-defined objects.
#pragma once
#include <cstdint>
#include <vector>
#include "astro/datetime.h"
#include "astro/location.h"
#include "logstore/logpaths.h"
#include "objects/objectrecord.h"

struct LoggedKeySet {
    int32_t *keys[kLogClassFolderCount];
    int32_t counts[kLogClassFolderCount];
};

int LoadLoggedObjectKeys(LoggedKeySet *set);  // 1, or 0 with nothing allocated
void FreeLoggedObjectKeys(LoggedKeySet *set);
// 1 when the object's key is in its folder's list.
int FindLoggedObjectKey(const LoggedKeySet *set, const ObjectRecord *object);
// 1 logged, 0 not, -1 a name lookup failed. A packaged minor planet or
// comet that the user also keeps as an object of the same designation (its
// twin, userdata/minorbodytwin.h) is logged when the user's object is: the
// record is then replaced by the user's object, built for the site and date.
int IsObjectLogged(const LoggedKeySet *set, const LocationRecord *site, const DateRecord *date,
                   ObjectRecord *object);
// Sets marks[id] = 1 for each logged user-defined object of the class whose id
// is below size; every folder of the class is scanned, empty ones skipped.
int MarkLoggedUserObjects(int objectClass, uint8_t *marks, int size);

// The key list of one folder read from its pid.bin: counter, keys. 1, or 0.
int ReadPidFile(int folder, int32_t *counter, std::vector<int32_t> *keys);
