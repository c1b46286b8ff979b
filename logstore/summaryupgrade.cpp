// Summary files of the older row layout (see summaryupgrade.h).
#include "logstore/summaryupgrade.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/fsys.h"
#include "core/safefile.h"
#include "logstore/logpaths.h"
#include "logstore/logrecords.h"
#include "logstore/oldlogentry.h"
#include "objects/categories.h"
#include "userdata/storepaths.h"

namespace {

const int64_t kCountSize = 4;

}  // namespace

int UpgradeLogSummaryFile(const char *path) {
    if (!path || !path[0]) return 0;
    FileHandle in(SafeOpen(path, "rb"));
    if (!in) return 0;
    int32_t count = 0;
    if (SafeRead(&count, 4, 1, in.get()) != 1) return 0;
    int64_t size = StreamSize(in.get());
    if (count < 0 || size < kCountSize) return 1;  // not a summary file this upgrade knows
    int64_t rows = size - kCountSize;
    if (rows == static_cast<int64_t>(count) * static_cast<int64_t>(sizeof(LogSummary))) return 1;  // current
    // Longer than its count of old rows: not of the old layout either.
    if (rows > static_cast<int64_t>(count) * kLogSummarySize330497) return 1;
    int64_t whole = rows / kLogSummarySize330497;  // rows a cut file still holds
    int32_t written = static_cast<int32_t>(whole < count ? whole : count);

    SafeRewrite out;
    if (!BeginSafeRewrite(path, &out)) return 0;
    if (SafeWrite(&written, 4, 1, out.file) != 1) return 0;
    std::vector<uint8_t> old(kLogSummarySize330497);
    std::unique_ptr<LogSummary> row(new LogSummary);
    for (int32_t i = 0; i < written; ++i) {
        if (SafeRead(old.data(), old.size(), 1, in.get()) != 1) return 0;
        ConvertLogSummary330497(old.data(), row.get());
        if (SafeWrite(row.get(), sizeof(LogSummary), 1, out.file) != 1) return 0;
    }
    in.reset();
    return CommitSafeRewrite(&out);
}

int UpgradeLogSummaryFiles(const char *userFolder) {
    if (!userFolder || !userFolder[0]) return 0;
    int all = 1;
    for (int f = 0; f < kLogClassFolderCount; ++f) {
        std::string folder = std::string(userFolder) + "/log/" + CategoryFolderTable[f].name;
        std::vector<FsEntry> entries;
        if (!FsListFolder(folder, entries)) continue;
        for (const FsEntry &e : entries)
            if (!e.isFolder && !e.isLink && IsStoreFileNamed(e.name, ".pix") && !UpgradeLogSummaryFile((folder + "/" + e.name).c_str()))
                all = 0;
    }
    return all;
}
