// Remembering and restoring the files a log operation changes.
#include "logstore/logundo.h"

#include "core/fileutil.h"
#include "core/safefile.h"

namespace {

bool Remembered(const LogUndo *undo, const std::string &path) {
    for (const LogUndo::Change &c : undo->changes)
        if (c.whole && c.path == path) return true;
    return false;
}

}  // namespace

int RememberWholeFile(LogUndo *undo, const std::string &path) {
    if (!undo || path.empty()) return 0;
    if (Remembered(undo, path)) return 1;
    LogUndo::Change c;
    c.path = path;
    c.whole = true;
    c.existed = FileExists(path.c_str()) != 0;
    if (c.existed && !ReadWholeFile(path.c_str(), &c.bytes)) return 0;
    undo->changes.push_back(std::move(c));
    return 1;
}

int RememberFileSpan(LogUndo *undo, const std::string &path, int64_t offset, size_t size) {
    if (!undo || path.empty() || offset < 0) return 0;
    LogUndo::Change c;
    c.path = path;
    c.whole = false;
    c.existed = true;
    c.offset = offset;
    c.bytes.assign(size, '\0');
    FileHandle f(SafeOpen(path.c_str(), "rb"));
    if (!f || !SafeSeek(f.get(), offset) || (size > 0 && SafeRead(&c.bytes[0], 1, size, f.get()) != size))
        return 0;
    undo->changes.push_back(std::move(c));
    return 1;
}

int RollBackLogUndo(LogUndo *undo) {
    if (!undo) return 0;
    int ok = 1;
    for (auto at = undo->changes.rbegin(); at != undo->changes.rend(); ++at) {
        const LogUndo::Change &c = *at;
        if (c.whole) {
            if (c.existed) {
                if (!WriteWholeFileSafely(c.path.c_str(), c.bytes.data(), c.bytes.size())) ok = 0;
            } else if (FileExists(c.path.c_str()) && !SafeRemove(c.path.c_str())) {
                ok = 0;
            }
            continue;
        }
        FILE *f = SafeOpen(c.path.c_str(), "r+b");
        bool done = f && SafeSeek(f, c.offset) && SafeWriteAll(f, c.bytes.data(), c.bytes.size()) &&
                    SafeFlush(f);
        if (f && !SafeClose(f)) done = false;
        if (!done) ok = 0;
    }
    undo->changes.clear();
    return ok;
}

int RemoveFileWithUndo(LogUndo *undo, const std::string &path) {
    if (!RememberWholeFile(undo, path)) return 0;
    if (!FileExists(path.c_str())) return 1;
    return SafeRemove(path.c_str());
}

int WriteFileWithUndo(LogUndo *undo, const std::string &path, const void *bytes, size_t size) {
    if (!RememberWholeFile(undo, path)) return 0;
    return WriteWholeFileSafely(path.c_str(), bytes, size);
}
