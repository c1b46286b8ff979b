// Messages of the final pass about the log store.
#include "app/logpassmessages.h"

#include "app/entrycompletion.h"
#include "app/previewview.h"
#include "core/fileutil.h"
#include "core/userfolder.h"
#include "logstore/loglock.h"
#include "logstore/logpaths.h"

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

int CountPassEntriesStored(const ImportPassTally &tally) {
    int stored = 0;
    for (const auto &entry : tally.accepted) {
        char path[kLogPathSize];
        MakeEntryFilePath(entry.first, entry.second, path);
        if (path[0] && FileExists(path)) ++stored;
    }
    return stored;
}

std::string FinalPassResultText(const ImportPassTally &tally) {
    int stored = CountPassEntriesStored(tally);
    if (stored == static_cast<int>(tally.accepted.size())) return FormatImportResultText(tally.added, tally.alreadyLogged);
    char folder[kLogPathSize];
    if (!MakeLogPath(folder, nullptr)) folder[0] = 0;
    return std::string("The log folder ") + folder + " was removed or changed during the import: only " +
           std::to_string(stored) + " of the " + std::to_string(tally.accepted.size()) +
           " log entries imported are stored in it. Import the file again to add the others.";
}
