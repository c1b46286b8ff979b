// An operation's memory of the files it changed, so that a store operation
// that changes several files of the log (an edit, a deletion, a named-note
// rename) can put every one back when a later step fails. Each file is
// remembered before its first change: whole (its bytes, or that it was
// absent) or one span of it (the bytes a write in place covers). A roll-back
// restores them in reverse order through the crash-safe layer, so the store
// reads back as it was before the operation.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct LogUndo {
    struct Change {
        std::string path;
        bool whole = true;     // the whole file, else a span
        bool existed = false;  // whole files: there before the change
        int64_t offset = 0;    // spans: where the bytes lie
        std::string bytes;
    };
    std::vector<Change> changes;
};

// Remembers the whole file (or its absence) unless it is remembered already.
// 1, or 0 when an existing file cannot be read (the change must then not be made).
int RememberWholeFile(LogUndo *undo, const std::string &path);
// Remembers size bytes at offset of an existing file. 1, or 0.
int RememberFileSpan(LogUndo *undo, const std::string &path, int64_t offset, size_t size);
// Restores every remembered file, the last change first. 1 when all were restored.
int RollBackLogUndo(LogUndo *undo);

// A whole file removed as a change: remembered, then removed through the
// crash-safe layer (an absent file is no failure). 1, or 0.
int RemoveFileWithUndo(LogUndo *undo, const std::string &path);
// A whole file rewritten as a change: remembered, then written. 1, or 0.
int WriteFileWithUndo(LogUndo *undo, const std::string &path, const void *bytes, size_t size);
