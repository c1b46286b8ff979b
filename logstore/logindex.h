// The six log indexes (class, night, observer, instrument, site,
// constellation): one small file per value, an int32 count, then sorted
// 12-byte LogIndexEntry records (class folder, then key, ascending), one per
// object. Bytes after the counted entries are not part of the index. Every
// change rewrites the whole file through the crash-safe layer, so a failed
// or interrupted change leaves the old index whole.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>
#include "logstore/logrecords.h"
#include "objects/objectrecord.h"

// Position of the object's entry, -1 absent, below -1 on a null file or read
// failure; the count (cut to the entries the file holds) is returned.
int FindIndexEntry(FILE *file, int classFolder, int32_t key, int32_t *count);
// The entry at a position, its key without the user bit: 2 user key, 1 not, 0 failure.
int ReadIndexEntry(FILE *file, int position, LogIndexEntry *entry);
int32_t SplitObjectKey(int32_t key, int *userFlag);
// The stored key and class folder of an object record.
int32_t MakeObjectKey(const ObjectRecord *object);
int ObjectClassFolder(const ObjectRecord *object);
// Paths of the index files, their folders made; empty for a negative folder,
// a constellation outside 0-88, an empty name or a path that does not fit.
std::string ClassIndexPath(int classFolder);
std::string NightIndexPath(int year, int month, int day);
std::string ObserverIndexPath(const char *name);
std::string InstrumentIndexPath(const char *name);
std::string LocationIndexPath(const char *name);
std::string ConstellationIndexPath(int constellation);

// The counted entries of an index file; an absent file, or one shorter than
// its count (an interrupted creation), holds none. A count below 0 or beyond
// the file's length is damage: every whole entry the file holds is taken;
// damaged or out of order, the entries are sorted, each object once, so that
// the next write repairs the file. 1, or 0
// when the file cannot be read.
// Within a log pass (logstore/loglock.h) the entries as the pass has them.
int ReadIndexFile(const std::string &path, std::vector<LogIndexEntry> *entries);
int ReadIndexFileFromDisk(const std::string &path, std::vector<LogIndexEntry> *entries);
// The file becomes the count and these entries, rewritten whole through the
// crash-safe layer. 1, or 0 with the old file untouched.
int WriteIndexFile(const std::string &path, const std::vector<LogIndexEntry> &entries);
// Puts the object in with that log number; a present object takes the new
// number, or with onlyWhenAbsent keeps its own (the repair after an
// interrupted add writes nothing when the index is whole). 1, or 0 with the
// file as it was. Within a log pass the change is made in memory and written
// when the pass ends.
int InsertIndexEntry(const std::string &path, const ObjectRecord *object, int32_t logNumber,
                     bool onlyWhenAbsent = false);
// Takes the object out: 1, 0 when it is absent or on failure (file as it was).
int EraseIndexEntry(const std::string &path, const ObjectRecord *object);

// Openers for reading: the file "rb" after its count (created empty when
// absent), the count cut to the entries the file's length holds; null on
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
