// Suite folder values and scratch drives for tests on systems without a
// registry or drive letters (the Windows versions are in suitevalues_win.cpp).
#ifndef _WIN32
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "testutil/testutil.h"

namespace fs = std::filesystem;

namespace testutil {

bool SetSuiteValue(const char *name, const char *value) {
    std::string var = "NIGHTJAR3_";
    for (const char *p = name; *p; ++p) var += (char)std::toupper((unsigned char)*p);
    if (!value) return unsetenv(var.c_str()) == 0;
    return setenv(var.c_str(), value, 1) == 0;
}

// Here the scratch folder is the current folder and "X:" a folder inside it;
// folder() then names "<scratch>/X:".
ScratchDrive::ScratchDrive(char letter) : letter_(letter) {
    std::error_code ec;
    savedCwd_ = fs::current_path(ec).string();
    std::string drive = root_.path() + "/" + std::string(1, letter) + ":";
    folder_ = drive;
    ok_ = fs::create_directory(drive, ec) && !ec;
    fs::current_path(root_.path(), ec);
    ok_ = ok_ && !ec;
}

ScratchDrive::~ScratchDrive() {
    std::error_code ec;
    fs::current_path(savedCwd_, ec);
}

}  // namespace testutil
#endif
