// The one crash-safe file layer of the stores.
//
// Every store reads and writes its files through the thin wrappers below, so
// that one switch can make the N-th file step fail (the test seam), and every
// whole-file rewrite goes through a SafeRewrite: the new content is written
// to a temporary beside the file (a name no other writer uses: the process
// number and a counter), every write checked, flushed to the disk, closed,
// and only then put in place of the original in one step. On any failure the
// temporary is removed and the original is left as it was.
//
// Results: 1 success, 0 failure, as the stores report them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

// ---- the RAII holder of an open stream --------------------------------------

struct FileCloser {
    void operator()(std::FILE *file) const {
        if (file) std::fclose(file);
    }
};
// Closes the stream when it goes out of scope (a close whose result matters
// is taken explicitly with SafeClose(handle.release())).
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// ---- the steps the test seam can fail ----------------------------------------

enum FileStep {
    kFileStepOpen,
    kFileStepRead,
    kFileStepWrite,
    kFileStepFlush,
    kFileStepClose,
    kFileStepRename,
    kFileStepRemove,
};

// Tests only: from now on, the step numbered failAt (1 = the next one) fails
// as the disk would; 0 turns failing off. Either way the count restarts.
void SetFileStepFailure(int failAt);
// Tests only: from now on the process ends at once (as a kill would end
// it: no stream flushed, no destructor run) when it comes to the step
// numbered killAt (1 = the next one), before taking it; 0 turns it off. The
// exit status is kKilledAtFileStep. The count restarts, as above.
const int kKilledAtFileStep = 86;
void SetFileStepKill(int killAt);
// Steps taken since the last SetFileStepFailure or SetFileStepKill.
int CountFileSteps();
// Syncs to the disk made so far by this process (SafeFlush outside deferred
// syncs, SafeSync, and each EndDeferredSyncs or SyncPathsNow counts one):
// what the benches and tests count per store operation.
long CountDiskSyncs();
// Tests only: with true, a sync hands the bytes to the operating system and
// does not wait for the disk (a kill loses nothing either way; the kill
// tests would otherwise run at the disk's pace). Counted all the same.
void SetDiskSyncsSkipped(bool skipped);
// The kind of the step that was made to fail, or -1 when none failed yet.
int FailedFileStep();
const char *FileStepName(int step);

// ---- the wrappers ---------------------------------------------------------------

std::FILE *SafeOpen(const char *path, const char *mode);
// Opens again, after a rewrite, the caller's stream on whichever file is in
// place now. No step of the change (which is committed or rolled back by
// then, and which a failed open cannot undo), so the seam does not count it.
std::FILE *ReopenAfterRewrite(const char *path, const char *mode);
// fread/fwrite: the number of whole items done; a failed step does none.
size_t SafeRead(void *buffer, size_t size, size_t count, std::FILE *file);
size_t SafeWrite(const void *buffer, size_t size, size_t count, std::FILE *file);
// Both writes whole or nothing: 1 when all size bytes went.
int SafeWriteAll(std::FILE *file, const void *buffer, size_t size);
// Formatted text as one write step (printf's format); 1 when all of it went.
int SafePrintf(std::FILE *file, const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;
// The stream and the operating system's buffers to the disk.
int SafeFlush(std::FILE *file);
// As SafeFlush, but always to the disk, also between deferred syncs (a
// journal that must be there before the changes it guards).
int SafeSync(std::FILE *file);
// Closes in every case; 0 when the close (the last write) failed.
int SafeClose(std::FILE *file);
// The next text line without its CR and LF, at most maxChars of it kept (the
// rest of a longer line skipped), as one read step of the seam: 1 a line, 0
// the end of the file, -1 a read error (the failed step, or the stream's
// error flag after it stopped giving characters). A reader reports -1; it
// never takes it for the end of the file.
int SafeReadLine(std::FILE *file, std::string *line, size_t maxChars);
// Puts source in place of target (which may exist) in one step.
int SafeReplace(const char *source, const char *target);
// Removes a file; a read-only file is refused on every system, as Windows
// refuses it.
int SafeRemove(const char *path);
// Cuts the file to size bytes (a write step). 1, or 0.
int SafeTruncate(const char *path, int64_t size);
// Seeks to a byte offset from the start with a 64-bit offset (stores and
// preview files can pass 2 GB, where a 32-bit long would wrap); 0 for a
// negative offset or a failed seek.
int SafeSeek(std::FILE *file, int64_t offset);
// The stream's length in bytes, its position kept; -1 when it cannot be told.
int64_t StreamSize(std::FILE *file);
// Bytes from the stream's position to its end, the position kept; -1 when
// they cannot be told. Counts read from a file are checked against it.
int64_t BytesLeftInStream(std::FILE *file);
// Reads the 16-bit record count that begins an older store file and checks it
// against the bytes that follow (count records of recordSize bytes must fit).
// 1 with *count set, or 0 for a failed read or a count the file cannot hold.
int ReadCheckedRecordCount(std::FILE *file, int64_t recordSize, int16_t *count);

// ---- syncs deferred to the end of a batch ------------------------------------------
// Between BeginDeferredSyncs and EndDeferredSyncs a flush step hands the
// stream's bytes to the operating system (fflush) without waiting for the
// disk, and the files that rewrites put in place (and any the caller notes)
// are forced to the disk once, by EndDeferredSyncs. A program killed in
// between loses nothing (the system holds every byte); a power failure may
// lose the batch's last changes, as it may any unsynced write. Used by the
// log store for a whole import pass, whose per-file syncs would otherwise
// cost several milliseconds each.
void BeginDeferredSyncs();
void NoteDeferredSync(const std::string &path);
// 1 when every noted file reached the disk; syncs are immediate again.
int EndDeferredSyncs();
bool SyncsDeferred();
// The files (written earlier, their streams perhaps closed) to the disk now,
// in one sync of their file system where the system has one. 1, or 0.
int SyncPathsNow(const std::vector<std::string> &paths);

// ---- whole-file rewrites ---------------------------------------------------------

struct SafeRewrite {
    std::string target;
    std::string temporary;
    std::FILE *file = nullptr;  // write the new content here
    bool failed = false;        // set by the caller on a failed write of its own
    SafeRewrite() = default;
    SafeRewrite(const SafeRewrite &) = delete;
    SafeRewrite &operator=(const SafeRewrite &) = delete;
    // A rewrite neither committed nor abandoned is abandoned.
    ~SafeRewrite();
};

// Opens the temporary for target, binary ("wb") unless a text file's mode
// ("w": CR LF line ends on Windows) is given. 0 when it cannot be made.
int BeginSafeRewrite(const char *target, SafeRewrite *rewrite, const char *mode = "wb");
// Flushes, closes and puts the temporary in place of the target. 0 (with the
// temporary removed and the target untouched) when anything failed on the
// way, including an earlier write the caller marked in rewrite->failed.
int CommitSafeRewrite(SafeRewrite *rewrite);
// True for the name of a rewrite's temporary ("<file>.<process>-<n>.tmp"): a
// leftover of a program killed during a rewrite, which a store's recovery
// removes.
bool IsRewriteTemporaryName(const std::string &name);
// Drops the temporary; the target is untouched.
void AbandonSafeRewrite(SafeRewrite *rewrite);
// The whole file target becomes these bytes, crash-safely (mode as above).
int WriteWholeFileSafely(const char *target, const void *bytes, size_t size, const char *mode = "wb");
// The whole of a file's bytes into out; 0 when it cannot be opened or read.
int ReadWholeFile(const char *path, std::string *out);
