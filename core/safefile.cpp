// The crash-safe file layer and its test seam (see safefile.h).
#include "core/safefile.h"

#include <algorithm>
#include <cstdarg>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/fsys.h"

namespace {

bool g_deferSyncs = false;
std::vector<std::string> g_deferred;

int g_failAt = 0;
int g_killAt = 0;
long g_syncs = 0;
int g_steps = 0;
int g_failedKind = -1;
unsigned g_rewriteCounter = 0;

// Counts a step; true when this is the one the seam must fail.
bool StepFails(FileStep kind) {
    ++g_steps;
    if (g_killAt > 0 && g_steps == g_killAt) std::_Exit(kKilledAtFileStep);
    if (g_failAt > 0 && g_steps == g_failAt) {
        g_failedKind = kind;
        return true;
    }
    return false;
}

std::string TemporaryNameFor(const std::string &target) {
    char tail[64];
    std::snprintf(tail, sizeof tail, ".%lu-%u.tmp", FsProcessId(), ++g_rewriteCounter);
    return target + tail;
}

}  // namespace

void SetFileStepFailure(int failAt) {
    g_failAt = failAt > 0 ? failAt : 0;
    g_steps = 0;
    g_failedKind = -1;
}

void SetFileStepKill(int killAt) {
    g_killAt = killAt > 0 ? killAt : 0;
    g_steps = 0;
    g_failedKind = -1;
}

long CountDiskSyncs() { return g_syncs; }

static bool g_skipSyncs = false;
void SetDiskSyncsSkipped(bool skipped) { g_skipSyncs = skipped; }

// A stream to the disk, or only to the system when tests skip syncs.
static bool SyncStream(std::FILE *file) { return g_skipSyncs ? std::fflush(file) == 0 : FsSyncFile(file); }
static bool SyncPaths(const std::vector<std::string> &paths) { return g_skipSyncs || FsSyncPaths(paths); }

int CountFileSteps() { return g_steps; }

int FailedFileStep() { return g_failedKind; }

const char *FileStepName(int step) {
    static const char *const names[] = {"open", "read", "write", "flush", "close", "rename", "remove"};
    if (step < 0 || step >= (int)(sizeof names / sizeof names[0])) return "none";
    return names[step];
}

std::FILE *SafeOpen(const char *path, const char *mode) {
    if (!path || !mode) return nullptr;
    if (StepFails(kFileStepOpen)) return nullptr;
    return std::fopen(path, mode);
}

std::FILE *ReopenAfterRewrite(const char *path, const char *mode) {
    if (!path || !mode) return nullptr;
    return std::fopen(path, mode);
}

size_t SafeRead(void *buffer, size_t size, size_t count, std::FILE *file) {
    if (!file || !buffer) return 0;
    if (StepFails(kFileStepRead)) return 0;
    return std::fread(buffer, size, count, file);
}

size_t SafeWrite(const void *buffer, size_t size, size_t count, std::FILE *file) {
    if (!file || (!buffer && size * count > 0)) return 0;
    if (StepFails(kFileStepWrite)) return 0;
    return std::fwrite(buffer, size, count, file);
}

int SafeWriteAll(std::FILE *file, const void *buffer, size_t size) {
    if (size == 0) return file ? 1 : 0;
    return SafeWrite(buffer, 1, size, file) == size ? 1 : 0;
}

int SafePrintf(std::FILE *file, const char *format, ...) {
    if (!file || !format) return 0;
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<size_t>(length) + 1);
        std::vsnprintf(&text[0], text.size(), format, again);
        text.resize(static_cast<size_t>(length));
    }
    va_end(again);
    if (length < 0) return 0;
    return SafeWriteAll(file, text.data(), text.size());
}

int SafeReadLine(std::FILE *file, std::string *line, size_t maxChars) {
    if (!file || !line) return -1;
    line->clear();
    if (StepFails(kFileStepRead)) return -1;
    int c;
    bool any = false;
    while ((c = std::fgetc(file)) != EOF) {
        any = true;
        if (c == '\n') return 1;
        if (c == '\r') continue;
        if (line->size() < maxChars) line->push_back(static_cast<char>(c));
    }
    if (std::ferror(file)) return -1;
    return any ? 1 : 0;
}

int SafeFlush(std::FILE *file) {
    if (!file) return 0;
    if (StepFails(kFileStepFlush)) return 0;
    if (g_deferSyncs) return std::fflush(file) == 0 ? 1 : 0;
    ++g_syncs;
    return SyncStream(file) ? 1 : 0;
}

int SafeSync(std::FILE *file) {
    if (!file) return 0;
    if (StepFails(kFileStepFlush)) return 0;
    ++g_syncs;
    return SyncStream(file) ? 1 : 0;
}

int SyncPathsNow(const std::vector<std::string> &paths) {
    if (paths.empty()) return 1;
    if (StepFails(kFileStepFlush)) return 0;
    ++g_syncs;
    return SyncPaths(paths) ? 1 : 0;
}

void BeginDeferredSyncs() {
    g_deferSyncs = true;
    g_deferred.clear();
}

void NoteDeferredSync(const std::string &path) {
    if (g_deferSyncs && !path.empty()) g_deferred.push_back(path);
}

bool SyncsDeferred() { return g_deferSyncs; }

int EndDeferredSyncs() {
    g_deferSyncs = false;
    std::vector<std::string> paths;
    paths.swap(g_deferred);
    std::sort(paths.begin(), paths.end());
    paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
    if (paths.empty()) return 1;
    ++g_syncs;
    return SyncPaths(paths) ? 1 : 0;
}

int SafeClose(std::FILE *file) {
    if (!file) return 0;
    bool fail = StepFails(kFileStepClose);
    bool closed = std::fclose(file) == 0;  // always closed, so no stream leaks
    return (closed && !fail) ? 1 : 0;
}

int SafeReplace(const char *source, const char *target) {
    if (!source || !target) return 0;
    if (StepFails(kFileStepRename)) return 0;
    return FsReplaceFile(source, target) ? 1 : 0;
}

int SafeRemove(const char *path) {
    if (!path) return 0;
    if (StepFails(kFileStepRemove)) return 0;
    return FsRemoveFile(path) ? 1 : 0;
}

int SafeTruncate(const char *path, int64_t size) {
    if (!path || size < 0) return 0;
    if (StepFails(kFileStepWrite)) return 0;
    return FsTruncateFile(path, size) ? 1 : 0;
}

bool IsRewriteTemporaryName(const std::string &name) {
    const std::string tail = ".tmp";
    if (name.size() <= tail.size() || name.compare(name.size() - tail.size(), tail.size(), tail) != 0) return false;
    size_t end = name.size() - tail.size(), at = end;
    bool dash = false, digits = false;
    while (at > 0) {
        char c = name[at - 1];
        if (c >= '0' && c <= '9') {
            digits = true;
        } else if (c == '-' && !dash && digits) {
            dash = true;
            digits = false;
        } else {
            break;
        }
        --at;
    }
    return dash && digits && at > 1 && name[at - 1] == '.';
}

SafeRewrite::~SafeRewrite() { AbandonSafeRewrite(this); }

int BeginSafeRewrite(const char *target, SafeRewrite *rewrite, const char *mode) {
    if (!target || !*target || !rewrite || !mode) return 0;
    AbandonSafeRewrite(rewrite);
    rewrite->target = target;
    rewrite->temporary = TemporaryNameFor(rewrite->target);
    rewrite->failed = false;
    rewrite->file = SafeOpen(rewrite->temporary.c_str(), mode);
    if (!rewrite->file) {
        rewrite->temporary.clear();
        return 0;
    }
    return 1;
}

int CommitSafeRewrite(SafeRewrite *rewrite) {
    if (!rewrite || !rewrite->file) return 0;
    bool ok = !rewrite->failed && std::ferror(rewrite->file) == 0;
    ok = ok && SafeFlush(rewrite->file);
    std::FILE *file = rewrite->file;
    rewrite->file = nullptr;
    ok = SafeClose(file) && ok;
    ok = ok && SafeReplace(rewrite->temporary.c_str(), rewrite->target.c_str());
    if (ok) NoteDeferredSync(rewrite->target);
    if (!ok) {
        // The removal of the leftover temporary is no step of the store's:
        // it is not counted, and a failure to remove it changes nothing.
        std::remove(rewrite->temporary.c_str());
    }
    rewrite->temporary.clear();
    return ok ? 1 : 0;
}

void AbandonSafeRewrite(SafeRewrite *rewrite) {
    if (!rewrite) return;
    if (rewrite->file) {
        std::fclose(rewrite->file);
        rewrite->file = nullptr;
    }
    if (!rewrite->temporary.empty()) {
        std::remove(rewrite->temporary.c_str());
        rewrite->temporary.clear();
    }
}

int WriteWholeFileSafely(const char *target, const void *bytes, size_t size, const char *mode) {
    SafeRewrite rewrite;
    if (!BeginSafeRewrite(target, &rewrite, mode)) return 0;
    if (!SafeWriteAll(rewrite.file, bytes, size)) rewrite.failed = true;
    return CommitSafeRewrite(&rewrite);
}

int ReadWholeFile(const char *path, std::string *out) {
    if (!path || !out) return 0;
    out->clear();
    FileHandle f(SafeOpen(path, "rb"));
    if (!f) return 0;
    // The length first, so that a short read is a failure, not a shorter file.
    if (std::fseek(f.get(), 0, SEEK_END) != 0) return 0;
    long length = std::ftell(f.get());
    if (length < 0 || std::fseek(f.get(), 0, SEEK_SET) != 0) return 0;
    out->resize((size_t)length);
    if (length > 0 && SafeRead(&(*out)[0], 1, (size_t)length, f.get()) != (size_t)length) {
        out->clear();
        return 0;
    }
    return 1;
}

int SafeSeek(std::FILE *file, int64_t offset) {
    if (!file || offset < 0) return 0;
#ifdef _WIN32
    return _fseeki64(file, offset, SEEK_SET) == 0 ? 1 : 0;
#else
    return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0 ? 1 : 0;
#endif
}

int64_t StreamSize(std::FILE *file) {
    if (!file) return -1;
#ifdef _WIN32
    int64_t here = _ftelli64(file);
    if (here < 0 || _fseeki64(file, 0, SEEK_END) != 0) return -1;
    int64_t size = _ftelli64(file);
    if (_fseeki64(file, here, SEEK_SET) != 0) return -1;
#else
    int64_t here = static_cast<int64_t>(ftello(file));
    if (here < 0 || fseeko(file, 0, SEEK_END) != 0) return -1;
    int64_t size = static_cast<int64_t>(ftello(file));
    if (fseeko(file, static_cast<off_t>(here), SEEK_SET) != 0) return -1;
#endif
    return size;
}

int64_t BytesLeftInStream(std::FILE *file) {
    if (!file) return -1;
#ifdef _WIN32
    int64_t here = _ftelli64(file);
#else
    int64_t here = static_cast<int64_t>(ftello(file));
#endif
    int64_t size = StreamSize(file);
    return here < 0 || size < here ? -1 : size - here;
}

int ReadCheckedRecordCount(std::FILE *file, int64_t recordSize, int16_t *count) {
    if (!file || !count) return 0;
    *count = 0;
    int16_t n = 0;
    if (SafeRead(&n, 2, 1, file) != 1) return 0;
    const int64_t left = BytesLeftInStream(file);
    if (n < 0 || left < 0 || static_cast<int64_t>(n) * recordSize > left) return 0;
    *count = n;
    return 1;
}
