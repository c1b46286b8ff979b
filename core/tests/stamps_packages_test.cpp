// Version stamps and package headers: byte layout against hand-written
// offsets, the acceptance rule, and round trips through a real file.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>

#include "core/package.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "core/versionstamp.h"
#include "testutil/failurepoints.h"
#include "testutil/testutil.h"

using testutil::ReadFileBytes;
using testutil::TempDir;
using testutil::WriteFileBytes;

namespace {

VersionStamp Stamp(uint16_t magic, uint8_t major, uint8_t minor, char letter) {
    VersionStamp s;
    s.magic = magic;
    s.major = major;
    s.minor = minor;
    s.letter = letter;
    return s;
}

TEST(VersionStamp, VersionNumbers) {
    struct Case {
        VersionStamp s;
        int version;
    } cases[] = {{Stamp(55555, 3, 1, 'f'), 3106}, {Stamp(55555, 3, 1, ' '), 3100},
                 {Stamp(55555, 3, 1, '\0'), 3100}, {Stamp(55555, 2, 9, 'z'), 2926},
                 {Stamp(55555, 3, 0, 'a'), 3001}};
    for (const Case &c : cases) EXPECT_EQ(GetStampVersion(&c.s), c.version);
    EXPECT_EQ(GetStampVersion(nullptr), 0);
    EXPECT_EQ(CurrentStampVersion(), 3106);
    VersionStamp cur;
    SetCurrentStamp(&cur);
    // 55555 = 0xD903, little-endian.
    EXPECT_EQ(std::string((const char *)&cur, 5), std::string("\x03\xD9\x03\x01" "f", 5));
}

TEST(VersionStamp, AcceptanceRule) {
    TempDir d;
    const std::string rest = "RECORDS\x01\x02";
    struct Case {
        std::string head;
        int accepted;
        std::string headAfter;  // the first five bytes after the check
    } cases[] = {
        {std::string("\x03\xD9\x03\x00" "a", 5), 1, std::string("\x03\xD9\x03\x01" "f", 5)},
        {std::string("\x03\xD9\x03\x01" "f", 5), 1, std::string("\x03\xD9\x03\x01" "f", 5)},
        {std::string("\x03\xD9\x02\x09" "z", 5), 0, std::string("\x03\xD9\x02\x09" "z", 5)},
        {std::string("\x04\xD9\x03\x01" "f", 5), 0, std::string("\x04\xD9\x03\x01" "f", 5)},
        // A store of a newer version keeps its stamp and is not read.
        {std::string("\x03\xD9\x04\x00" "a", 5), 0, std::string("\x03\xD9\x04\x00" "a", 5)},
    };
    for (const Case &c : cases) {
        std::string path = d.file("store.bin");
        ASSERT_TRUE(WriteFileBytes(path, c.head + rest));
        FILE *f = std::fopen(path.c_str(), "r+b");
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(AcceptStampedStore(f, 1), c.accepted);
        if (c.accepted) {
            EXPECT_EQ(std::ftell(f), 5);
        }
        std::fclose(f);
        EXPECT_EQ(ReadFileBytes(path), c.headAfter + rest);
    }
    // A file shorter than a stamp is refused.
    std::string path = d.file("short.bin");
    ASSERT_TRUE(WriteFileBytes(path, "\x03\xD9"));
    FILE *f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(AcceptStampedStore(f, 0), 0);
    std::fclose(f);
}

TEST(PackageHeader, LayoutOffsets) {
    EXPECT_EQ(offsetof(PackageHeader, kind), 5u);
    EXPECT_EQ(offsetof(PackageHeader, name), 6u);
    EXPECT_EQ(offsetof(PackageHeader, counts), 71u);
    EXPECT_EQ(offsetof(PackageHeader, created), 91u);
    EXPECT_EQ(offsetof(PackageHeader, textLength), 99u);
}

PackageHeader NewHeader(int kind, const char *name) {
    PackageHeader h;
    std::memset(&h, 0, sizeof h);
    SetCurrentStamp(&h.stamp);
    h.kind = (uint8_t)kind;
    std::snprintf(h.name, sizeof h.name, "%.64s", name);
    return h;
}

TEST(PackageHeader, WriteCountsAndReadBack) {
    TempDir d;
    std::string path = d.file("pkg.bin");
    FILE *f = std::fopen(path.c_str(), "w+b");
    ASSERT_NE(f, nullptr);
    PackageHeader h = NewHeader(3, "My links");
    h.textLength = 999;  // wrong on purpose: the writer takes the text's length
    ASSERT_EQ(SetPackageFileTime(&h, nullptr), 1);
    ASSERT_EQ(WritePackageHeader(f, &h, "Links of the winter"), 1);
    ASSERT_EQ(std::fwrite("ITEMS", 1, 5, f), 5u);
    PackageHeader buf;
    ASSERT_EQ(UpdatePackageCounts(f, &buf, 0, 0, 0, 7, 0), 1);
    std::fclose(f);

    std::string bytes = ReadFileBytes(path);
    ASSERT_EQ(bytes.size(), 103u + 20u + 5u);
    EXPECT_EQ(bytes[5], 3);
    EXPECT_EQ(bytes.substr(6, 9), std::string("My links\0", 9));
    EXPECT_EQ(bytes.substr(83, 4), std::string("\x07\x00\x00\x00", 4));  // count 4
    EXPECT_EQ(bytes.substr(99, 4), std::string("\x13\x00\x00\x00", 4));  // 19
    EXPECT_EQ(bytes.substr(103, 20), std::string("Links of the winter\0", 20));

    f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    PackageHeader r;
    char *text = nullptr;
    ASSERT_EQ(ReadPackageHeader(f, &r, &text), 1);
    std::fclose(f);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "Links of the winter");
    delete[] text;
    EXPECT_STREQ(r.name, "My links");
    EXPECT_EQ(int(r.counts[3]), 7);
    EXPECT_EQ(PackageHeaderAccepted(&r, 3), 1);
    EXPECT_EQ(PackageHeaderAccepted(&r, 2), 0);
    // The creation time is "now": after 2020 in FILETIME ticks.
    uint64_t ticks = ((uint64_t)r.created.high << 32) | r.created.low;
    EXPECT_GT(ticks, 132223104000000000ULL);
}

// A package made by the shared create/finish pair: header, description and
// counts read back; with any file step failing, one of the two reports it.
TEST(PackageHeader, CreateAndFinishThroughTheFileLayer) {
    TempDir d;
    std::string path = d.file("made.pkg");
    const int32_t counts[5] = {1, 2, 3, 4, 5};
    auto make = [&]() -> int {
        FILE *f = CreatePackageFile(path.c_str(), 4, "Winter images", "From the dark site");
        if (!f) return 0;
        PackageHeader h;
        int ok = SafeWriteAll(f, "\0", 1) && FinishPackageCounts(f, counts, &h) == 1 &&
                 std::strcmp(h.name, "Winter images") == 0;
        return SafeClose(f) && ok ? 1 : 0;
    };
    ASSERT_EQ(make(), 1);
    FILE *f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    PackageHeader r;
    char *text = nullptr;
    ASSERT_EQ(ReadPackageHeader(f, &r, &text), 1);
    std::fclose(f);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "From the dark site");
    delete[] text;
    EXPECT_EQ(r.kind, 4);
    EXPECT_STREQ(r.name, "Winter images");
    for (int i = 0; i < 5; ++i) EXPECT_EQ(int32_t{r.counts[i]}, counts[i]);
    EXPECT_EQ(PackageHeaderAccepted(&r, 4), 1);
    EXPECT_EQ(ReadFileBytes(path).size(), 103u + 19u + 1u);

    int steps = testutil::ForEachFailurePoint(
        [&] { std::remove(path.c_str()); }, make,
        [&](const testutil::FailurePointRun &run) {
            EXPECT_EQ(run.result, 0) << testutil::DescribeFailurePoint(run);
        });
    EXPECT_GE(steps, 6);  // open, header, text, end byte, count read-back and rewrite, close
}

TEST(PackageHeader, EmptyDescriptionIs104Bytes) {
    TempDir d;
    std::string path = d.file("p.bin");
    FILE *f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    PackageHeader h = NewHeader(6, "log");
    ASSERT_EQ(WritePackageHeader(f, &h, ""), 1);
    std::fclose(f);
    EXPECT_EQ(ReadFileBytes(path).size(), 104u);
    EXPECT_EQ(WritePackageHeader(nullptr, &h, ""), 0);
}

TEST(PackageHeader, AcceptanceByKindAndMajor) {
    PackageHeader h = NewHeader(3, "x");
    h.stamp.major = 2;
    EXPECT_EQ(PackageHeaderAccepted(&h, 3), 1);  // links: major above 1
    h.kind = 9;
    EXPECT_EQ(PackageHeaderAccepted(&h, 9), 0);  // colour schemes: above 2
    h.stamp.major = 3;
    EXPECT_EQ(PackageHeaderAccepted(&h, 9), 1);
    h.stamp.magic = 1234;
    EXPECT_EQ(PackageHeaderAccepted(&h, 9), 0);
}

TEST(PackageHeader, UntrustedLengthsAndTruncation) {
    TempDir d;
    PackageHeader h = NewHeader(2, "notes");
    std::string head((const char *)&h, sizeof h);
    struct Case {
        int32_t length;
        std::string tail;
    } cases[] = {{-5, std::string("abc\0", 4)},
                 {1000000, std::string("abc\0", 4)},
                 {10, std::string("abc\0", 4)}};  // file ends inside the text
    for (const Case &c : cases) {
        std::string bytes = head;
        std::memcpy(&bytes[99], &c.length, 4);
        ASSERT_TRUE(WriteFileBytes(d.file("bad.bin"), bytes + c.tail));
        FILE *f = std::fopen(d.file("bad.bin").c_str(), "rb");
        ASSERT_NE(f, nullptr);
        PackageHeader r;
        char *text = reinterpret_cast<char *>(1);
        EXPECT_EQ(ReadPackageHeader(f, &r, &text), 0) << c.length;
        EXPECT_EQ(text, nullptr);
        std::fclose(f);
    }
    // A name field without its NUL is cut at 64 characters.
    std::string bytes = head;
    std::memset(&bytes[6], 'N', 65);
    ASSERT_TRUE(WriteFileBytes(d.file("name.bin"), bytes + std::string("\0", 1)));
    FILE *f = std::fopen(d.file("name.bin").c_str(), "rb");
    ASSERT_NE(f, nullptr);
    PackageHeader r;
    ASSERT_EQ(ReadPackageHeader(f, &r, nullptr), 1);
    std::fclose(f);
    EXPECT_EQ(std::strlen(r.name), 64u);
    // Truncated header.
    ASSERT_TRUE(WriteFileBytes(d.file("short.bin"), head.substr(0, 50)));
    f = std::fopen(d.file("short.bin").c_str(), "rb");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(ReadPackageHeader(f, &r, nullptr), 0);
    std::fclose(f);
}

TEST(UserFolder, PathsUnderTheFolder) {
    SetUserDataFolder("");
    EXPECT_EQ(OpenUserDataFile("dds.bin", "rb"), nullptr);
    EXPECT_EQ(UserDataFileExists("dds.bin"), 0);
    TempDir d;
    SetUserDataFolder((d.path() + "/").c_str());
    EXPECT_EQ(std::string(GetUserDataFolder()), d.path());
    FILE *f = OpenUserDataFile("gleaner.cfg", "wb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    EXPECT_EQ(UserDataFileExists("gleaner.cfg"), 1);
    EXPECT_TRUE(testutil::PathIsThere(d.file("gleaner.cfg")));
    SetUserDataFolder("");
}

}  // namespace
