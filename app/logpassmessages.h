// What the final pass tells the user about the log store itself: why it
// cannot begin (the user folder cannot be written, or another program is
// adding to the log), and that its key lists and indexes were not all
// written at its end.
#pragma once
#include <string>

// The message for LastLogLockFailure()'s reason (logstore/loglock.h),
// naming the user folder when it is the folder that cannot be written.
std::string LogPassRefusalText(int reason);
extern const char *const kLogPassUnfinishedText;

struct ImportPassTally;
// How many of the entries a final pass accepted have their files in the log
// now (the log folder may have been removed while the pass ran).
int CountPassEntriesStored(const ImportPassTally &tally);
// What the end of a final pass tells the user: "N log entries sucessfully
// imported into Nightjar" when every entry it accepted is in the log; when
// not (the log folder removed during the pass), a message that names the
// log folder and the number actually stored.
std::string FinalPassResultText(const ImportPassTally &tally);
