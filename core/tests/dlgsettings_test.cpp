// Tests of the dialog-settings store "dds.bin": the files are written and
// checked as hand-made byte strings (length int32, key int16, data).
#include "core/dlgsettings.h"

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "core/userfolder.h"
#include "testutil/testutil.h"

namespace {

std::string Block(int32_t length, int16_t key, const std::string &data) {
    std::string b;
    for (int i = 0; i < 4; ++i) b += static_cast<char>((static_cast<uint32_t>(length) >> (8 * i)) & 0xFF);
    b += static_cast<char>(key & 0xFF);
    b += static_cast<char>((key >> 8) & 0xFF);
    return b + data;
}
const std::string kEnd(6, '\0');

class DialogSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { SetUserDataFolder(dir.path().c_str()); }
    void TearDown() override { SetUserDataFolder(""); }
    std::string Store() { return testutil::ReadFileBytes(dir.file("dds.bin")); }
    void WriteStore(const std::string &bytes) { ASSERT_TRUE(testutil::WriteFileBytes(dir.file("dds.bin"), bytes)); }
    testutil::TempDir dir;
};

TEST_F(DialogSettingsTest, MissingStoreFailsQuietlyAndIsNotCreated) {
    char buf[4] = {1, 2, 3, 4};
    EXPECT_EQ(0, GetDialogSetting(buf, 4, 79));
    EXPECT_EQ(0, PutDialogSetting(buf, 4, 79));
    EXPECT_EQ(0, DeleteDialogSetting(79));
    EXPECT_EQ(0, DialogSettingsReadable());
    EXPECT_EQ(nullptr, OpenDialogSettings());
    EXPECT_FALSE(testutil::PathIsThere(dir.file("dds.bin")));
    EXPECT_TRUE(testutil::TemporariesBeside(dir.file("dds.bin")).empty());
}

TEST_F(DialogSettingsTest, AppendThenOverwriteInPlace) {
    WriteStore(kEnd);
    EXPECT_EQ(1, DialogSettingsReadable());
    int32_t tab = 0;
    EXPECT_EQ(0, GetDialogSetting(&tab, 4, 79));
    ASSERT_EQ(1, PutDialogSetting("\x01\x02\x03\x04", 4, 79));
    EXPECT_EQ(Block(4, 79, "\x01\x02\x03\x04") + kEnd, Store());
    ASSERT_EQ(16u, Store().size());

    ASSERT_EQ(1, PutDialogSetting("\x05\x06\x07\x08", 4, 79));
    EXPECT_EQ(Block(4, 79, "\x05\x06\x07\x08") + kEnd, Store());
    ASSERT_EQ(1, GetDialogSetting(&tab, 4, 79));
    EXPECT_EQ(0x08070605, tab);
}

TEST_F(DialogSettingsTest, NewLengthMovesTheBlockBeforeTheEndMarker) {
    const std::string gps = Block(8, 103, "ABCDEFGH");
    WriteStore(Block(4, 79, "tab!") + Block(1, 74, "h") + gps + kEnd);
    ASSERT_EQ(1, PutDialogSetting("12345678", 8, 79));
    EXPECT_EQ(Block(1, 74, "h") + gps + Block(8, 79, "12345678") + kEnd, Store());
    EXPECT_TRUE(testutil::TemporariesBeside(dir.file("dds.bin")).empty());

    // Reading with the old length finds nothing and leaves the buffer alone.
    char small[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(0, GetDialogSetting(small, 4, 79));
    EXPECT_EQ(0, std::memcmp(small, "xxxx", 4));
    char big[8];
    ASSERT_EQ(1, GetDialogSetting(big, 8, 79));
    EXPECT_EQ(0, std::memcmp(big, "12345678", 8));
    char h;
    ASSERT_EQ(1, GetDialogSetting(&h, 1, 74));
    EXPECT_EQ('h', h);
}

TEST_F(DialogSettingsTest, RefusalsLeaveTheFileAlone) {
    const std::string original = Block(1, 74, "h") + kEnd;
    WriteStore(original);
    EXPECT_EQ(0, PutDialogSetting("abcd", 0, 79));
    EXPECT_EQ(0, PutDialogSetting("abcd", -4, 79));
    EXPECT_EQ(0, PutDialogSetting("abcd", 4, 0));  // key 0 is the end marker
    EXPECT_EQ(0, DeleteDialogSetting(79));
    EXPECT_EQ(original, Store());
    EXPECT_TRUE(testutil::TemporariesBeside(dir.file("dds.bin")).empty());

    ASSERT_EQ(1, DeleteDialogSetting(74));
    EXPECT_EQ(kEnd, Store());
}

TEST_F(DialogSettingsTest, BrokenChainsEndTheWalk) {
    struct Case {
        const char *what;
        std::string bytes;
    };
    const Case cases[] = {
        // A length of -6 would seek back onto the same header for ever.
        {"negative length", Block(-6, 47, "") + kEnd},
        {"length past the end", Block(0x7FFFFFF0, 47, "xy") + kEnd},
        {"key's own data cut short", Block(100, 79, "abcd")},
        {"no end marker", Block(4, 47, "abcd")},
        {"half a header", Block(4, 47, "abcd") + std::string(3, '\0')},
    };
    for (const Case &c : cases) {
        WriteStore(c.bytes);
        int32_t v = 7;
        EXPECT_EQ(0, GetDialogSetting(&v, 4, 79)) << c.what;
        EXPECT_EQ(7, v) << c.what;
        EXPECT_EQ(0, PutDialogSetting("wxyz", 4, 86)) << c.what;
        EXPECT_EQ(0, DeleteDialogSetting(47)) << c.what;
        EXPECT_EQ(c.bytes, Store()) << c.what;
        EXPECT_TRUE(testutil::TemporariesBeside(dir.file("dds.bin")).empty()) << c.what;
    }
}

TEST_F(DialogSettingsTest, SeekReportsTheLastHeaderAndPosition) {
    WriteStore(Block(4, 79, "abcd") + Block(2, 86, "xy") + kEnd);
    FILE *f = OpenDialogSettings();
    ASSERT_NE(nullptr, f);
    DialogSettingHeader h{};
    EXPECT_EQ(1, SeekDialogSetting(f, 86, &h));
    EXPECT_EQ(2, h.length);
    EXPECT_EQ(86, h.key);
    EXPECT_EQ(16, std::ftell(f));
    std::rewind(f);
    EXPECT_EQ(-1, SeekDialogSetting(f, 100, &h));
    EXPECT_EQ(0, h.key);
    EXPECT_EQ(24, std::ftell(f));
    std::fclose(f);
}

TEST_F(DialogSettingsTest, RecentObjectsRoundTrip) {
    // Key 75 holds 12 object records of 395 bytes.
    WriteStore(Block(4, 79, "abcd") + kEnd);
    std::string recent(12 * 395, '\0');
    for (size_t i = 0; i < recent.size(); ++i) recent[i] = static_cast<char>(i * 7 + i / 395);
    ASSERT_EQ(1, PutDialogSetting(recent.data(), 4740, kDdsRecentObjects));
    EXPECT_EQ(Block(4, 79, "abcd") + Block(4740, 75, recent) + kEnd, Store());
    std::string back(4740, '\0');
    ASSERT_EQ(1, GetDialogSetting(&back[0], 4740, 75));
    EXPECT_EQ(recent, back);
    int32_t tab;
    ASSERT_EQ(1, GetDialogSetting(&tab, 4, 79));
}

TEST_F(DialogSettingsTest, ResetLeavesOnlyTheEndMarker) {
    WriteStore(Block(4, 79, "abcd") + kEnd);
    ASSERT_EQ(1, ResetDialogSettings());
    EXPECT_EQ(kEnd, Store());
    EXPECT_TRUE(testutil::TemporariesBeside(dir.file("dds.bin")).empty());
}

}  // namespace
