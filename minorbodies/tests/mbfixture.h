// Shared helpers of the minor-body tests: the packaged database written by
// tools/gen_minor_bodies.py (natively into a scratch folder, once per test
// program, numbers up to 500; under Wine the demo installation's copy), with
// the ephemeris tables loaded for the places.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "ephem/tests/ephemfixture.h"
#include "minorbodies/dbfolders.h"
#include "testutil/testutil.h"

namespace mbtest {

struct DatabaseFolders {
    std::string first;   // mp_*.bin, limits.bin, comets.bin, cnames.bin
    std::string second;  // elements/
};

inline DatabaseFolders GeneratedDatabase() {
    static std::unique_ptr<testutil::TempDir> dir;
    static DatabaseFolders folders;
    static bool tried = false;
    if (tried) return folders;
    tried = true;
#ifdef _WIN32
    std::string build = testutil::BuildDir();
    if (build.empty() || !testutil::PathIsThere(build + "/demo/data/ss/mp_data.bin")) return folders;
    folders.first = build + "/demo/data/ss";
    folders.second = build + "/demo/disc/ss";
#else
    std::string source = testutil::SourceDir();
    if (source.empty()) return folders;
    dir.reset(new testutil::TempDir());
    std::string command = "python3 \"" + source + "/tools/gen_minor_bodies.py\" --out \"" +
                          dir->path() + "/one\" --elements-out \"" + dir->path() +
                          "/two\" --max-number 500 > /dev/null";
    if (std::system(command.c_str()) != 0) return folders;
    folders.first = dir->path() + "/one";
    folders.second = dir->path() + "/two";
#endif
    return folders;
}

// The ephemeris tables and the generated database for one test.
class PackagedDatabase : public ephemtest::GeneratedTables {
protected:
    void SetUp() override {
        ephemtest::GeneratedTables::SetUp();
        if (IsSkipped()) return;
        folders_ = GeneratedDatabase();
        if (folders_.first.empty()) GTEST_SKIP() << "no generated minor-body database";
        SetMinorBodyDatabaseFolders(folders_.first.c_str(), folders_.second.c_str());
    }
    DatabaseFolders folders_;
};

}  // namespace mbtest
