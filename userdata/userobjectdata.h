// The user-object block that follows every stored record naming a user-defined
// object (user star 12, user comet 13, user minor planet 14, sky mark 15, user
// deep-sky object 18): the object's own definition, so that another computer
// can rebuild it. Layout by class: 12 one 47-byte star record; 13 uint16 count
// and 135-byte comet element sets; 14 int32 count and 233-byte minor-planet
// sets; 15 one 45-byte sky mark; 18 one 54-byte deep-sky record; any other
// class nothing. Files of a source version below 3000 hold 130-byte comet and
// 116-byte minor-planet sets.
#pragma once
#include <cstdint>
#include <cstdio>

const int kUserStarBlockSize = 47;
const int kSkyMarkBlockSize = 45;
const int kUserDeepSkyBlockSize = 54;
const int kCometSetSize = 135;
const int kOldCometSetSize = 130;
const int kMinorPlanetSetSize = 233;
const int kOldMinorPlanetSetSize = 116;

// Writes the block of the object with that id at the file position. 1 done
// (also for classes without a block), 0 when the object's record cannot be
// read or written.
int WriteUserObjectData(FILE *file, int objectClass, int32_t objectId);
// Reads one block at the file position; with merge 0 it only consumes it and
// leaves the outputs alone. Counts are checked against the bytes left in the
// file before anything is read. 1 done, 0 on a read failure.
int ReadUserObjectData(FILE *file, int objectClass, int32_t *localId, int32_t *category,
                       int sourceVersion, int mergeOption, int merge);

struct DateRecord;

// Translates the id of a user-defined object in another computer's data
// folder ("stellar.bin", "skymark.bin", "uds.bin", "comet.bin", "mp.bin"
// there) into the id of the
// same object here: the object's name there is looked up among this
// computer's user objects of the class (stars by exact name, sky marks and
// deep-sky objects without regard to case; comets by designation, periodic
// number or name; minor planets by number or name). 1 done (or a class that
// is not user-defined), 0 when the object is not found there or here.
// The date is the one recognition of designations will use.
int RemapUserObjectId(const DateRecord *date, const char *otherFolder, int objectClass,
                      int32_t *id, int sourceVersion);
