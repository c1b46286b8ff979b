// The demo installation's star and deep-sky catalogues for the tests of the
// name search and the browse cursor. Native builds generate them once per
// test program with the project's generators; the Windows build reads the
// demo installation laid out under the build folder.
#pragma once
#include <cstdlib>
#include <string>

#include "core/datapaths.h"
#include "testutil/testutil.h"

namespace democat {

struct Folders {
    std::string slot0, slot1;
    bool ready = false;
};

inline Folders &DemoFolders() {
    static Folders folders;
    static bool tried = false;
    if (tried) return folders;
    tried = true;
#ifdef _WIN32
    std::string build = testutil::BuildDir();
    if (build.empty()) return folders;
    folders.slot0 = build + "/demo/data/ref";
    folders.slot1 = build + "/demo/disc/ref";
#else
    std::string source = testutil::SourceDir();
    if (source.empty() || std::system("python3 -c 0 > /dev/null 2>&1") != 0) return folders;
    static testutil::TempDir dir;
    folders.slot0 = dir.path() + "/ref";
    folders.slot1 = dir.path() + "/cat";
    std::string stars = "python3 \"" + source + "/tools/gen_star_catalogue.py\" --ref \"" +
                        folders.slot0 + "\" --stars \"" + folders.slot1 + "\" > /dev/null";
    std::string deepsky = "python3 \"" + source + "/tools/gen_deepsky.py\" --ref \"" +
                          folders.slot0 + "\" --cat \"" + folders.slot1 + "\" > /dev/null";
    std::string doubles = "python3 \"" + source + "/tools/gen_doubles_variables.py\" --stars \"" +
                          folders.slot1 + "\" > /dev/null";
    if (std::system(stars.c_str()) != 0 || std::system(deepsky.c_str()) != 0 ||
        std::system(doubles.c_str()) != 0)
        return folders;
#endif
    folders.ready = testutil::PathIsThere(folders.slot0 + "/connames.bin") &&
                    testutil::PathIsThere(folders.slot1 + "/cnames.bin") &&
                    testutil::PathIsThere(folders.slot1 + "/hrbs.bin");
    return folders;
}

// Points the catalogue slots at the demo catalogues; false when there are none.
inline bool UseDemoCatalogues() {
    Folders &f = DemoFolders();
    if (!f.ready) return false;
    SetRefDirectories(f.slot0.c_str(), f.slot1.c_str(), f.slot1.c_str());
    return true;
}

}  // namespace democat
