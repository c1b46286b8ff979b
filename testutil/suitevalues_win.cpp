// Suite folder values in the registry and scratch drive letters, for tests
// that run under Windows or Wine.
#ifdef _WIN32
#include <windows.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>

#include "testutil/testutil.h"

namespace testutil {

namespace {
void EmptyFolder(const std::string &folder) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "/*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        std::string n = fd.cFileName;
        if (n == "." || n == "..") continue;
        std::string p = folder + "/" + n;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            EmptyFolder(p);
            RemoveDirectoryA(p.c_str());
        } else {
            SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(p.c_str());
        }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
}
}  // namespace

bool SetSuiteValue(const char *name, const char *value) {
    HKEY h;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Tarnwick\\Nightjar\\3", 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &h, nullptr) != ERROR_SUCCESS)
        return false;
    LONG r;
    if (value)
        r = RegSetValueExA(h, name, 0, REG_SZ, (const BYTE *)value, (DWORD)std::strlen(value) + 1);
    else {
        r = RegDeleteValueA(h, name);
        if (r == ERROR_FILE_NOT_FOUND) r = ERROR_SUCCESS;
    }
    RegCloseKey(h);
    return r == ERROR_SUCCESS;
}

// Under Wine a drive letter is a link in the prefix's dosdevices folder, made
// by tools/wine_run.sh, which names the letter and its folder in the
// environment. The drive is emptied before and after use.
ScratchDrive::ScratchDrive(char letter) : letter_(letter) {
    const char *l = std::getenv("GLEANER_SCRATCH_DRIVE");
    const char *dir = std::getenv("GLEANER_SCRATCH_DRIVE_DIR");
    if (!l || !dir || std::toupper((unsigned char)l[0]) != std::toupper((unsigned char)letter)) return;
    folder_ = std::string(1, letter) + ":";
    ok_ = GetFileAttributesA((folder_ + "\\").c_str()) != INVALID_FILE_ATTRIBUTES;
    if (ok_) EmptyFolder(folder_);
}

ScratchDrive::~ScratchDrive() {
    if (ok_) EmptyFolder(folder_);
}

}  // namespace testutil
#endif
