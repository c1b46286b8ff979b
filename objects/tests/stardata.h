// Test helper: a generated set of star catalogue and constellation files.
// The native build runs tools/gen_star_catalogue.py once per test program
// (stars to magnitude 4, two compact stars) into a scratch folder; the
// Windows build, which cannot run the generator, uses the demo installation
// under the build folder when it is there.
#pragma once
#include <cstdlib>
#include <memory>
#include <string>

#include "core/datapaths.h"
#include "testutil/testutil.h"

namespace stardata {

struct Folders {
    std::string ref0, ref1;  // reference slots 0 and 1
    std::string why;         // empty when the folders are usable
};

inline const Folders &Generated() {
    static Folders folders;
    static bool made = false;
    if (made) return folders;
    made = true;
#ifdef _WIN32
    std::string demo = testutil::BuildDir() + "/demo";
    if (testutil::BuildDir().empty() || !testutil::PathIsThere(demo + "/disc/ref/stars.bin") ||
        !testutil::PathIsThere(demo + "/data/ref/conrect.bin")) {
        folders.why = "no demo installation with the star catalogue under the build folder";
        return folders;
    }
    folders.ref0 = demo + "/data/ref";
    folders.ref1 = demo + "/disc/ref";
#else
    static std::unique_ptr<testutil::TempDir> dir(new testutil::TempDir());
    std::string source = testutil::SourceDir();
    if (source.empty()) {
        folders.why = "GLEANER_SOURCE_DIR not set";
        return folders;
    }
    folders.ref0 = dir->path() + "/ref0";
    folders.ref1 = dir->path() + "/ref1";
    std::string command = "python3 \"" + source + "/tools/gen_star_catalogue.py\" --ref \"" +
                          folders.ref0 + "\" --stars \"" + folders.ref1 +
                          "\" --limit-mag 4.0 --compact 2 > /dev/null";
    if (std::system(command.c_str()) != 0) folders.why = "the star catalogue generator failed";
#endif
    return folders;
}

// Points the reference slots at the generated files; false (with the reason
// in *why) when there are none.
inline bool Use(std::string *why) {
    const Folders &f = Generated();
    if (!f.why.empty()) {
        *why = f.why;
        return false;
    }
    SetRefDirectories(f.ref0.c_str(), f.ref1.c_str(), f.ref1.c_str());
    return true;
}

}  // namespace stardata
