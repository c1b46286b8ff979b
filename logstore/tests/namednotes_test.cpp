// Named notes: index order and numbers, names in other letters, renames,
// cut names, one ASCII-only case rule, export and import between two stores
// (twice), damaged files, and every failed file step of each change.
#include "logstore/namednotes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/safefile.h"
#include "core/userfolder.h"
#include "logstore/tests/logfixture.h"
#include "testutil/failurepoints.h"

using namespace logtest;

namespace {

const size_t kIndexEntrySize = 53;

// (name, number) of the index file's entries in file order.
std::vector<std::pair<std::string, int32_t>> IndexFile(const Store &store) {
    std::vector<std::pair<std::string, int32_t>> out;
    std::string b = testutil::ReadFileBytes(store.log("misc/index.bin"));
    for (int32_t i = 0; b.size() >= 8 && i < I32(b, 4); ++i)
        out.push_back({std::string(b.data() + 8 + i * kIndexEntrySize),
                       I32(b, 8 + i * kIndexEntrySize + kNamedNoteNameMax + 1)});
    return out;
}

std::string Text(int32_t number) {
    NamedNoteHeader h;
    std::string text;
    EXPECT_EQ(ReadNamedNote(number, &h, &text), 1) << number;
    return text;
}

typedef std::vector<std::pair<std::string, int32_t>> Entries;

}  // namespace

TEST(NamedNotes, OrderNumbersAndNamesInOtherLetters) {
    Store store;
    EXPECT_EQ(AddNamedNote("beta", "b"), 1);
    EXPECT_EQ(AddNamedNote("Alpha", "a"), 1);
    EXPECT_EQ(AddNamedNote("gamma", nullptr), 1);
    EXPECT_EQ(IndexFile(store), (Entries{{"Alpha", 1}, {"beta", 0}, {"gamma", 2}}));
    EXPECT_EQ(I32(testutil::ReadFileBytes(store.log("misc/index.bin")), 0), 3);  // next number
    EXPECT_EQ(AddNamedNote("BETA", "other"), 2);
    EXPECT_EQ(AddNamedNote("", ""), 1);  // nothing to add
    EXPECT_EQ(IndexFile(store).size(), 3u);
    EXPECT_EQ(FindNamedNote("ALPHA"), 1);
    EXPECT_EQ(FindNamedNote("delta"), -1);
    // The note file: stamp, name, length without the NUL, then the text.
    std::string b = testutil::ReadFileBytes(store.log("misc/00000001.bin"));
    ASSERT_EQ(b.size(), 58u + 2u);
    EXPECT_EQ((uint8_t)b[0] | (uint8_t)b[1] << 8, 55555);
    EXPECT_EQ(std::string(b.data() + 5), "Alpha");
    EXPECT_EQ(I32(b, 54), 1);
    EXPECT_EQ(std::string(b.data() + 58), "a");
    EXPECT_EQ(Text(2), "");

    // A name of more than 48 characters: cut in the note and the index.
    const std::string longName(60, 'x');
    EXPECT_EQ(AddNamedNote(longName.c_str(), "long"), 1);
    EXPECT_EQ(IndexFile(store).back(), (std::pair<std::string, int32_t>{longName.substr(0, 48), 3}));
    NamedNoteHeader h;
    std::string text;
    ASSERT_EQ(ReadNamedNote(3, &h, &text), 1);
    EXPECT_EQ(std::string(h.name), longName.substr(0, 48));
    EXPECT_EQ(FindNamedNote(longName.c_str()), 3);
}

TEST(NamedNotes, RenamesDeletesAndOneCaseRule) {
    Store store;
    ASSERT_EQ(AddNamedNote("Plan", "season plan"), 1);    // 0
    ASSERT_EQ(AddNamedNote("Repairs", "mirror"), 1);      // 1
    NamedNoteHeader h;
    std::memset(&h, 0, sizeof h);
    std::strcpy(h.name, "repairs");
    EXPECT_EQ(UpdateNamedNote(0, &h, "x"), 2);            // another note's name
    EXPECT_EQ(Text(0), "season plan");
    EXPECT_EQ(Text(1), "mirror");
    std::strcpy(h.name, "PLAN");
    EXPECT_EQ(UpdateNamedNote(0, &h, "new plan"), 1);     // its own name in other letters
    EXPECT_EQ(IndexFile(store), (Entries{{"PLAN", 0}, {"Repairs", 1}}));
    std::strcpy(h.name, "Autumn");
    EXPECT_EQ(UpdateNamedNote(0, &h, "autumn plan"), 1);  // a free name: the next number
    EXPECT_FALSE(testutil::PathIsThere(store.log("misc/00000000.bin")));
    EXPECT_EQ(IndexFile(store), (Entries{{"Autumn", 2}, {"Repairs", 1}}));
    EXPECT_EQ(Text(2), "autumn plan");
    EXPECT_EQ(UpdateNamedNote(7, &h, "x"), 0);            // no such note

    // Bytes above 0x7f are never folded: "\xe9t\xe9" and "\xc9t\xe9" are two
    // names, each found again; A-Z fold as elsewhere.
    EXPECT_EQ(CompareNoteNames("ABC", "abc"), 0);
    EXPECT_NE(CompareNoteNames("\xe9t\xe9", "\xc9t\xe9"), 0);
    ASSERT_EQ(AddNamedNote("\xe9t\xe9", "summer"), 1);
    ASSERT_EQ(AddNamedNote("\xc9t\xe9", "Summer"), 1);
    EXPECT_EQ(Text(FindNamedNote("\xe9t\xe9")), "summer");
    EXPECT_EQ(Text(FindNamedNote("\xc9t\xe9")), "Summer");

    // An index sorted by another rule (written elsewhere) is still searched right.
    std::string b = testutil::ReadFileBytes(store.log("misc/index.bin"));
    std::string reversed = b.substr(0, 8);
    for (int32_t i = I32(b, 4) - 1; i >= 0; --i) reversed += b.substr(8 + i * kIndexEntrySize, kIndexEntrySize);
    ASSERT_TRUE(testutil::WriteFileBytes(store.log("misc/index.bin"), reversed));
    for (const char *name : {"Autumn", "repairs", "\xe9t\xe9", "\xc9t\xe9"}) EXPECT_GE(FindNamedNote(name), 0) << name;

    EXPECT_EQ(DeleteNamedNote(1), 1);
    EXPECT_FALSE(testutil::PathIsThere(store.log("misc/00000001.bin")));
    EXPECT_EQ(FindNamedNote("Repairs"), -1);
    EXPECT_EQ(DeleteNamedNote(1), 0);
    // A damaged count is refused, not trusted.
    std::string damaged = testutil::ReadFileBytes(store.log("misc/index.bin"));
    int32_t huge = 0x7fffffff;
    std::memcpy(&damaged[4], &huge, 4);
    ASSERT_TRUE(testutil::WriteFileBytes(store.log("misc/index.bin"), damaged));
    EXPECT_EQ(FindNamedNote("Autumn"), -1);
    EXPECT_EQ(AddNamedNote("More", "x"), 0);
}

TEST(NamedNotes, ExportAndImportTwice) {
    testutil::TempDir a, b;
    SetUserDataFolder(a.path().c_str());
    ASSERT_EQ(AddNamedNote("Plan", "season plan"), 1);
    ASSERT_EQ(AddNamedNote("Empty", ""), 1);
    ASSERT_EQ(AddNamedNote("Repairs", "mirror"), 1);
    const std::string file = a.file("named.pkg");
    EXPECT_EQ(ExportAllNamedNotes(file.c_str(), "Named", "two notes"), 2);
    std::string bytes = testutil::ReadFileBytes(file);
    EXPECT_EQ(bytes[5], kNamedNotesPackageKind);
    EXPECT_EQ(I32(bytes, 71 + 4), 2);

    SetUserDataFolder(b.path().c_str());
    ASSERT_EQ(AddNamedNote("repairs", "kept here"), 1);
    PackageHeader header;
    char *description = nullptr;
    EXPECT_EQ(ImportNamedNotesFile(file.c_str(), &header, &description, nullptr), 1);
    EXPECT_STREQ(description, "two notes");
    delete[] description;
    EXPECT_EQ(Text(FindNamedNote("Plan")), "season plan");
    EXPECT_EQ(Text(FindNamedNote("Repairs")), "kept here");
    EXPECT_EQ(FindNamedNote("Empty"), -1);
    EXPECT_EQ(ImportNamedNotesFile(file.c_str(), &header, nullptr, nullptr), 0);

    // Damaged: a length past the end, or no end note: nothing added.
    std::string cut = bytes.substr(0, bytes.size() - 59);
    std::string huge = bytes;
    size_t first = 103 + std::strlen("two notes") + 1;
    int32_t big = 0x7ffffff0;
    std::memcpy(&huge[first + 54], &big, 4);
    SetUserDataFolder(a.path().c_str());
    std::filesystem::remove_all(a.path() + "/log/misc");
    for (const std::string &bad : {cut, huge}) {
        ASSERT_TRUE(testutil::WriteFileBytes(a.file("bad.pkg"), bad));
        EXPECT_EQ(ImportNamedNotesFile(a.file("bad.pkg").c_str(), &header, nullptr, nullptr), -1);
        EXPECT_EQ(FindNamedNote("Plan"), -1) << "a note was added from a damaged file";
    }
    SetUserDataFolder("");
}

// Every file step of an add, a deletion and a rename failed in turn: the
// notes read back exactly as they were.
TEST(NamedNotesFailurePoints, ChangesAreWholeOrNothing) {
    Store store;
    const std::string misc = store.log("misc");
    std::map<std::string, std::string> before;
    auto prepare = [&] {
        std::filesystem::remove_all(misc);
        ASSERT_EQ(AddNamedNote("Plan", "season plan"), 1);
        ASSERT_EQ(AddNamedNote("Repairs", "mirror"), 1);
        before = LogTree(misc);
    };
    NamedNoteHeader renamed;
    std::memset(&renamed, 0, sizeof renamed);
    std::strcpy(renamed.name, "Autumn");
    struct Operation {
        const char *name;
        std::function<int()> run;
    } operations[] = {
        {"named note add", [] { return AddNamedNote("Gear", "list"); }},
        {"named note delete", [] { return DeleteNamedNote(0); }},
        {"named note rename", [&] { return UpdateNamedNote(0, &renamed, "autumn plan"); }},
        {"named note rewrite", [] {
             NamedNoteHeader same;
             std::memset(&same, 0, sizeof same);
             std::strcpy(same.name, "Plan");
             return UpdateNamedNote(0, &same, "a longer season plan");
         }},
    };
    for (const Operation &op : operations) {
        testutil::FailureTableLabel label(op.name);
        int steps = testutil::ForEachFailurePoint(prepare, op.run, [&](const testutil::FailurePointRun &run) {
            SCOPED_TRACE(std::string(op.name) + " " + testutil::DescribeFailurePoint(run));
            EXPECT_EQ(run.result, 0);
            EXPECT_EQ(LogTree(misc), before);
        });
        EXPECT_GT(steps, 2) << op.name;
    }
    SetFileStepFailure(0);
}

// Every file step of an export (no file left) and an import (reported;
// importing again gives the notes of a clean import) failed in turn.
TEST(NamedNotesFailurePoints, ExportAndImport) {
    Store store;
    ASSERT_EQ(AddNamedNote("Plan", "season plan"), 1);
    ASSERT_EQ(AddNamedNote("Repairs", "mirror"), 1);
    const std::string file = store.dir.file("n.pkg");
    {
        testutil::FailureTableLabel label("named notes export");
        int steps = testutil::ForEachFailurePoint(
            [&] { std::filesystem::remove(file); },
            [&] { return ExportAllNamedNotes(file.c_str(), "N", "") == 2 ? 1 : 0; },
            [&](const testutil::FailurePointRun &run) {
                SCOPED_TRACE(testutil::DescribeFailurePoint(run));
                EXPECT_EQ(run.result, 0);
                EXPECT_FALSE(testutil::PathIsThere(file));
            });
        EXPECT_GT(steps, 3);
    }
    SetFileStepFailure(0);
    ASSERT_EQ(ExportAllNamedNotes(file.c_str(), "N", ""), 2);
    testutil::FailureTableLabel label("named notes import");
    PackageHeader header;
    int steps = testutil::ForEachFailurePoint(
        [&] { std::filesystem::remove_all(store.log("misc")); },
        [&] { return ImportNamedNotesFile(file.c_str(), &header, nullptr, nullptr) == 2 ? 1 : 0; },
        [&](const testutil::FailurePointRun &run) {
            SCOPED_TRACE(testutil::DescribeFailurePoint(run));
            EXPECT_EQ(run.result, 0);
            EXPECT_GE(ImportNamedNotesFile(file.c_str(), &header, nullptr, nullptr), 0);
            EXPECT_EQ(IndexFile(store), (Entries{{"Plan", 0}, {"Repairs", 1}}));
            EXPECT_EQ(Text(0), "season plan");
            EXPECT_EQ(Text(1), "mirror");
        });
    EXPECT_GT(steps, 5);
    SetFileStepFailure(0);
}
