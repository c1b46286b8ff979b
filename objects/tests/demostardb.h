// The demo installation's star databases and guide-star band files for the
// tests of the star readers. Native builds generate them once per test
// program with the project's generator; the Windows build reads the demo
// installation laid out under the build folder.
#pragma once
#include <cstdlib>
#include <string>

#include "testutil/testutil.h"

namespace demostars {

struct Folders {
    std::string map0, map1, map2, ref2;  // each ending in "/"
    bool ready = false;
};

inline Folders &DemoStarFolders() {
    static Folders folders;
    static bool tried = false;
    if (tried) return folders;
    tried = true;
#ifdef _WIN32
    std::string build = testutil::BuildDir();
    if (build.empty()) return folders;
    folders.map0 = build + "/demo/data/map/";
    folders.map1 = folders.map2 = build + "/demo/disc/map/";
    folders.ref2 = build + "/demo/disc/ref/";
#else
    std::string source = testutil::SourceDir();
    if (source.empty() || std::system("python3 -c 0 > /dev/null 2>&1") != 0) return folders;
    static testutil::TempDir dir;
    folders.map0 = dir.path() + "/map0/";
    folders.map1 = folders.map2 = dir.path() + "/map1/";
    folders.ref2 = dir.path() + "/ref2/";
    std::string command = "python3 \"" + source + "/tools/gen_star_databases.py\" --mag7 \"" +
                          folders.map0 + "\" --mag10 \"" + folders.map1 + "\" --magx \"" +
                          folders.map2 + "\" --gsc \"" + folders.ref2 + "\" > /dev/null";
    if (std::system(command.c_str()) != 0) return folders;
#endif
    folders.ready = testutil::PathIsThere(folders.map0 + "mag7/stars00.bin") &&
                    testutil::PathIsThere(folders.map1 + "mag10/db13/stars.bin") &&
                    testutil::PathIsThere(folders.map2 + "magx/db23/stars00.bin") &&
                    testutil::PathIsThere(folders.ref2 + "gsc/S8230.bin");
    return folders;
}

}  // namespace demostars
