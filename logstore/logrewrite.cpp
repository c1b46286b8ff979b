// Rewriting a user-defined object's log entry files.
#include "logstore/logrewrite.h"

#include <cstdio>
#include <memory>
#include <string>

#include "core/fsys.h"
#include "logstore/logentryfile.h"
#include "logstore/logpaths.h"
#include "objects/categories.h"

int RewriteUserObjectLogEntries(int objectClass, int32_t categoryBits, int32_t catalogueIndex) {
    if (!IsUserObjectClass(objectClass)) return 0;
    int32_t count = 0;
    FILE *summary = OpenObjectFile(categoryBits, catalogueIndex, 1, &count);
    if (!summary) return 0;
    std::unique_ptr<LogEntry> entry(new LogEntry);
    int attempts = 0, successes = 0;
    for (int32_t i = 0; i < count; ++i) {
        int32_t number = -1;
        long row = 4L + static_cast<long>(i) * static_cast<long>(sizeof(LogSummary));
        if (std::fseek(summary, row, SEEK_SET) != 0 || std::fread(&number, 4, 1, summary) != 1) break;
        if (number < 0) continue;
        ++attempts;
        char path[kLogPathSize];
        MakeEntryFilePath(categoryBits, number, path);
        FILE *in = std::fopen(path, "rb");
        if (!in) continue;
        char *notes = nullptr;
        int read = ReadLogEntryFile(in, entry.get(), &notes, 0, 0);
        std::fclose(in);
        std::unique_ptr<char[]> holder(notes);
        if (!read) continue;
        std::string temp = std::string(path) + ".new";
        FILE *out = std::fopen(temp.c_str(), "wb");
        if (!out) continue;
        // An entry without notes is written without notes bytes, as it was.
        bool ok = WriteLogEntryFile(out, entry.get(), notes && notes[0] ? notes : nullptr) == 1;
        ok = (std::fclose(out) == 0) && ok;
        if (ok && FsReplaceFile(temp, path)) ++successes;
        else FsRemoveFile(temp);
    }
    std::fclose(summary);
    return successes == attempts ? 1 : 0;
}
