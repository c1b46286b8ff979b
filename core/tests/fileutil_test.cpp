// File utilities: copies in blocks, empty and unreadable sources, trees,
// listings with long names, byte-size texts.
#include "core/fileutil.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "testutil/testutil.h"

using testutil::ReadFileBytes;
using testutil::TempDir;
using testutil::WriteFileBytes;

namespace {

std::string Pattern(size_t n) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = (char)(i * 7 + (i >> 8));
    return s;
}

TEST(FileUtil, CopyPlainFileResults) {
    TempDir d;
    std::string big = Pattern(10000);  // three blocks: 4096, 4096, 1808
    ASSERT_TRUE(WriteFileBytes(d.file("big"), big));
    ASSERT_TRUE(WriteFileBytes(d.file("empty"), ""));

    EXPECT_EQ(CopyPlainFile(d.file("big").c_str(), d.file("copy").c_str()), 1);
    EXPECT_EQ(ReadFileBytes(d.file("copy")), big);

    EXPECT_EQ(CopyPlainFile(d.file("empty").c_str(), d.file("e2").c_str()), 2);
    EXPECT_FALSE(testutil::PathIsThere(d.file("e2")));
    EXPECT_EQ(CopyPlainFile(d.file("missing").c_str(), d.file("m2").c_str()), 2);
    EXPECT_FALSE(testutil::PathIsThere(d.file("m2")));

    // A target in a folder that does not exist cannot be written.
    EXPECT_EQ(CopyPlainFile(d.file("big").c_str(), d.file("no/such/target").c_str()), 0);
    // A folder is not a file to copy.
    ASSERT_EQ(EnsureDirectory(d.file("sub").c_str()), 1);
    EXPECT_EQ(CopyPlainFile(d.file("sub").c_str(), d.file("s2").c_str()), 0);
}

TEST(FileUtil, CopyKeepsTimeAndSafeCopyReplaces) {
    TempDir d;
    ASSERT_TRUE(WriteFileBytes(d.file("src"), "abc"));
    FileTimeValue t{0x12345678u, 0x01D00000u};  // a date in 2014
    ASSERT_EQ(SetFileWriteTime(d.file("src").c_str(), t), 1);
    ASSERT_EQ(CopyFileKeepTime(d.file("src").c_str(), d.file("dst").c_str()), 1);
    FileTimeValue got{};
    ASSERT_EQ(GetFileWriteTime(d.file("dst").c_str(), &got), 1);
    EXPECT_EQ(got.high, t.high);
    // File systems keep at least whole seconds (1e7 ticks).
    uint64_t a = ((uint64_t)got.high << 32) | got.low, b = ((uint64_t)t.high << 32) | t.low;
    EXPECT_LT(a > b ? a - b : b - a, 20000000u);

    ASSERT_TRUE(WriteFileBytes(d.file("live"), "old contents"));
    EXPECT_EQ(CopyFileSafely(d.file("src").c_str(), d.file("live").c_str()), 1);
    EXPECT_EQ(ReadFileBytes(d.file("live")), "abc");
    EXPECT_TRUE(testutil::TemporariesBeside(d.file("live")).empty());
    // A missing source leaves the live file alone.
    EXPECT_EQ(CopyFileSafely(d.file("nothing").c_str(), d.file("live").c_str()), 2);
    EXPECT_EQ(ReadFileBytes(d.file("live")), "abc");
}

TEST(FileUtil, TreesAreCopiedWholeAndDeleted) {
    TempDir d;
    std::string src = d.file("src");
    ASSERT_EQ(EnsureDirectory(src.c_str()), 1);
    ASSERT_EQ(EnsureDirectory((src + "/a").c_str()), 1);
    ASSERT_EQ(EnsureDirectory((src + "/a/b").c_str()), 1);
    ASSERT_TRUE(WriteFileBytes(src + "/top.bin", "top"));
    ASSERT_TRUE(WriteFileBytes(src + "/a/b/deep.bin", Pattern(5000)));
    ASSERT_TRUE(WriteFileBytes(src + "/a/empty.bin", ""));

    std::string dst = d.file("dst");
    ASSERT_EQ(CopyTree(src.c_str(), dst.c_str()), 1);
    EXPECT_EQ(ReadFileBytes(dst + "/top.bin"), "top");
    EXPECT_EQ(ReadFileBytes(dst + "/a/b/deep.bin"), Pattern(5000));
    bool ok = false;
    EXPECT_EQ(ReadFileBytes(dst + "/a/empty.bin", &ok), "");
    EXPECT_TRUE(ok) << "an empty file belongs in the copy too";

    ASSERT_EQ(DeleteTree(dst.c_str()), 1);
    EXPECT_FALSE(testutil::PathIsThere(dst));
    EXPECT_TRUE(testutil::PathIsThere(src + "/a/b/deep.bin"));
}

TEST(FileUtil, EnsureDirectoryNeedsParent) {
    TempDir d;
    EXPECT_EQ(EnsureDirectory(d.file("x/y").c_str()), 0);
    EXPECT_EQ(EnsureDirectory(d.file("x").c_str()), 1);
    EXPECT_EQ(EnsureDirectory(d.file("x").c_str()), 1);
    EXPECT_EQ(FileExists(d.file("x").c_str()), 1);
    EXPECT_EQ(FileExists(d.file("y").c_str()), 0);
}

TEST(FileUtil, ListingModesAndLongNames) {
    TempDir d;
    ASSERT_TRUE(WriteFileBytes(d.file("a.txt"), "1"));
    ASSERT_TRUE(WriteFileBytes(d.file("averyveryverylongname.txt"), "1"));
    ASSERT_TRUE(WriteFileBytes(d.file("b.txt"), "1"));
    ASSERT_EQ(EnsureDirectory(d.file("zfolder").c_str()), 1);

    DirectoryList list;
    char name[12];
    // Folders only: the one folder, listed last, is found, then the end.
    ASSERT_EQ(OpenDirectoryList(&list, d.path().c_str(), 2, 0), 1);
    EXPECT_EQ(NextDirectoryEntry(&list, name, sizeof name), 1);
    EXPECT_STREQ(name, "zfolder");
    EXPECT_EQ(NextDirectoryEntry(&list, name, sizeof name), 0);
    CloseDirectoryList(&list);

    // Files only: a name too long for the buffer answers -1 once and the
    // listing goes on to the names after it.
    ASSERT_EQ(OpenDirectoryList(&list, d.path().c_str(), 1, 0), 1);
    std::string seen;
    int r, minusOnes = 0;
    for (int guard = 0; guard < 10 && (r = NextDirectoryEntry(&list, name, sizeof name)) != 0;
         ++guard) {
        if (r == -1) ++minusOnes;
        else seen += std::string(name) + ";";
    }
    EXPECT_EQ(seen, "a.txt;b.txt;");
    EXPECT_EQ(minusOnes, 1);

    // Every name, with "." and "..".
    ASSERT_EQ(OpenDirectoryList(&list, d.path().c_str(), 0, 0), 1);
    int count = 0;
    char big[64];
    while (NextDirectoryEntry(&list, big, sizeof big) == 1) ++count;
    EXPECT_EQ(count, 6);

    TempDir empty;
    EXPECT_EQ(OpenDirectoryList(&list, empty.path().c_str(), 1, 0), 0);
    std::string longFolder(1021, 'x');
    EXPECT_EQ(OpenDirectoryList(&list, longFolder.c_str(), 0, 0), 0);
}

TEST(FileUtil, FindFileInTree) {
    TempDir d;
    ASSERT_EQ(EnsureDirectory(d.file("one").c_str()), 1);
    ASSERT_EQ(EnsureDirectory(d.file("one/two").c_str()), 1);
    ASSERT_TRUE(WriteFileBytes(d.file("one/two/target.dat"), "x"));
    char out[1024];
    EXPECT_EQ(FindFileInTree(d.path().c_str(), "target.dat", out, sizeof out, 0), 0);
    EXPECT_EQ(std::string(out), d.file("target.dat"));
    ASSERT_EQ(FindFileInTree(d.path().c_str(), "target.dat", out, sizeof out, 1), 1);
    EXPECT_EQ(std::string(out), d.file("one/two/target.dat"));
    std::string withSlash = d.path() + "/";
    ASSERT_EQ(FindFileInTree(withSlash.c_str(), "one", out, sizeof out, 0), 1);
    EXPECT_EQ(std::string(out), d.file("one"));
}

TEST(FileUtil, FormatByteSize) {
    struct Case {
        int64_t size;
        const char *text;
    } cases[] = {{0, "0 bytes"},          {1023, "1023 bytes"},   {1024, "1.0 KB"},
                 {1048575, "1024.0 KB"},  {1048576, "1.0 MB"},    {1073741823, "1024.0 MB"},
                 {1073741824, "1.0 GB"},  {5368709120LL, "5.0 GB"}};
    for (const Case &c : cases) {
        char buf[32];
        EXPECT_STREQ(FormatByteSize(buf, c.size), c.text) << c.size;
    }
}

TEST(FileUtil, QueryFileSize) {
    TempDir d;
    ASSERT_TRUE(WriteFileBytes(d.file("f"), Pattern(777)));
    EXPECT_EQ(QueryFileSize(d.file("f").c_str()), 777);
    EXPECT_EQ(QueryFileSize(d.file("none").c_str()), 0);
}

}  // namespace

namespace {
TEST(FileUtil, ReadOnlyFileStopsDeleteTree) {
    TempDir d;
    std::string f = d.file("tree");
    ASSERT_EQ(EnsureDirectory(f.c_str()), 1);
    ASSERT_TRUE(WriteFileBytes(f + "/locked.bin", "x"));
    std::error_code ec;
    std::filesystem::permissions(f + "/locked.bin",
                                 std::filesystem::perms::owner_read |
                                     std::filesystem::perms::group_read |
                                     std::filesystem::perms::others_read,
                                 ec);
    ASSERT_FALSE(ec);
    EXPECT_EQ(DeleteTree(f.c_str()), 0);
    EXPECT_TRUE(testutil::PathIsThere(f + "/locked.bin"));
}
}  // namespace
