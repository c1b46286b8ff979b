// Messages of the final pass about the log store.
#include "app/logpassmessages.h"

#include "core/userfolder.h"
#include "logstore/loglock.h"

const char *const kLogPassUnfinishedText =
    "The entries were imported, but the log's lists of logged objects and its indexes could not all "
    "be written. Import the same file again to put them right.";

std::string LogPassRefusalText(int reason) {
    if (reason == kLogLockInUse)
        return "The observing log is in use by another program. Wait until it has finished, then click "
               "Finish again.";
    const char *folder = GetUserDataFolder();
    return std::string("The user folder ") + (folder && *folder ? folder : "") +
           " cannot be written, so nothing can be added to the observing log. Make the folder writable, "
           "then click Finish again.";
}
