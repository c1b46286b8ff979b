// Helpers shared by the unit tests of every subsystem: scratch folders that
// clean up after themselves and whole-file reads and writes in binary mode.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace testutil {

// A fresh, empty folder under the system's temporary folder, removed with
// everything in it when the object goes out of scope. Paths use "/" on every
// platform, as the stores build their paths that way.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;
    const std::string &path() const { return path_; }
    // path() + "/" + name
    std::string file(const std::string &name) const;
private:
    std::string path_;
};

// Writes bytes to a file in binary mode; returns false on any failure.
bool WriteFileBytes(const std::string &path, const std::string &bytes);
// Reads a whole file in binary mode; an unreadable file gives "" and ok = false.
std::string ReadFileBytes(const std::string &path, bool *ok = nullptr);
bool PathIsThere(const std::string &path);
// The temporaries a crash-safe rewrite of path made beside it and left
// behind ("<name>.<process>-<n>.tmp" and the older "<name>.tmp"); empty
// when none is there.
std::vector<std::string> TemporariesBeside(const std::string &path);

// Folder of the source tree and of the build tree, from the environment that
// CTest sets (GLEANER_SOURCE_DIR, GLEANER_BUILD_DIR); "" when unset.
std::string SourceDir();
std::string BuildDir();

}  // namespace testutil

namespace testutil {

// Sets (or with value nullptr removes) one of the suite's folder values
// (DataPath, UserPath, InstallPath) of generation 3 where the program reads it:
// the registry under HKEY_CURRENT_USER on Windows, the environment elsewhere.
bool SetSuiteValue(const char *name, const char *value);

// A drive letter whose root is a scratch folder, for the data-disc rule. On
// Windows the letter is mapped with DefineDosDevice; elsewhere the current
// folder is moved to a scratch folder that holds a folder named "X:", so that
// "X:/..." names it. Undone when the object goes out of scope.
class ScratchDrive {
public:
    explicit ScratchDrive(char letter);
    ~ScratchDrive();
    ScratchDrive(const ScratchDrive &) = delete;
    ScratchDrive &operator=(const ScratchDrive &) = delete;
    bool ok() const { return ok_; }
    // The real folder behind the drive's root, to put files in.
    std::string folder() const { return folder_; }
private:
    TempDir root_;
    char letter_;
    bool ok_ = false;
    std::string savedCwd_;
    std::string folder_;
};

}  // namespace testutil
