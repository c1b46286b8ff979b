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
