// The six log indexes (class, night, observer, instrument, site,
// constellation): one small file per value, an int32 count, then sorted
// 12-byte LogIndexEntry records (class folder, then key, ascending), one per
// object. Bytes after the counted entries are not part of the index.
#pragma once
#include <cstdint>
#include <cstdio>
#include "logstore/logrecords.h"
#include "objects/objectrecord.h"

// Position of the object's entry, -1 absent, below -1 on a null file or read
// failure; the count is returned.
int FindIndexEntry(FILE *file, int classFolder, int32_t key, int32_t *count);
// The entry at a position, its key without the user bit: 2 user key, 1 not, 0 failure.
int ReadIndexEntry(FILE *file, int position, LogIndexEntry *entry);
int32_t SplitObjectKey(int32_t key, int *userFlag);
// The stored key and class folder of an object record.
int32_t MakeObjectKey(const ObjectRecord *object);
int ObjectClassFolder(const ObjectRecord *object);
// Puts the object in with that log number (replacing its number when present);
// the entries are written before the count. 1, or 0.
int AddIndexEntry(FILE *file, const ObjectRecord *object, int32_t logNumber);
// Takes the object out: 1, 0 when it is absent or on failure.
int RemoveIndexEntry(FILE *file, const ObjectRecord *object);

// Openers: the file "r+b" after its count (created empty when absent); null on
// failure, a negative folder, a constellation outside 0-88 or an empty name.
FILE *OpenClassIndex(int classFolder, int32_t *count);
FILE *OpenNightIndex(int year, int month, int day, int32_t *count);
FILE *OpenObserverIndex(const char *name, int32_t *count);
FILE *OpenInstrumentIndex(const char *name, int32_t *count);
FILE *OpenLocationIndex(const char *name, int32_t *count);
FILE *OpenConstellationIndex(int constellation, int32_t *count);

void DeleteNightIndexIfEmpty(int year, int month, int day);
void DeleteObserverIndexIfEmpty(const char *name);
void DeleteInstrumentIndexIfEmpty(const char *name);
void DeleteLocationIndexIfEmpty(const char *name);
void DeleteConstellationIndexIfEmpty(int constellation);

// The night of an observation: the local date at the site of the time 12 hours
// earlier, so that local noon to the next local noon is one night.
void GetNightOfObservation(const LocationRecord *site, double julianDate, int *year, int *month,
                           int *day);
