// The dialog-settings store made at start-up: a missing store is made and
// keeps a setting for the next run; an existing store, readable or not, is
// left byte for byte as it was.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/settingsstore.h"
#include "core/dlgsettings.h"
#include "core/userfolder.h"
#include "testutil/testutil.h"

namespace {

class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override { SetUserDataFolder(dir_.path().c_str()); }
    void TearDown() override { SetUserDataFolder(""); }
    std::string store() const { return dir_.file("dds.bin"); }
    testutil::TempDir dir_;
};

TEST_F(SettingsStore, MissingStoreIsMadeAndKeepsSettings) {
    ASSERT_FALSE(testutil::PathIsThere(store()));
    // Without the store nothing can be remembered.
    const int32_t scope = 3;
    EXPECT_EQ(PutDialogSetting(&scope, sizeof scope, kDdsSearchScope), 0);

    ASSERT_EQ(EnsureDialogSettingsStore(), 1);
    // An empty chain: the end marker's six bytes.
    EXPECT_EQ(testutil::ReadFileBytes(store()), std::string(6, '\0'));
    EXPECT_EQ(DialogSettingsReadable(), 1);

    ASSERT_EQ(PutDialogSetting(&scope, sizeof scope, kDdsSearchScope), 1);
    // The next run finds the store and the setting in it.
    ASSERT_EQ(EnsureDialogSettingsStore(), 1);
    int32_t back = 0;
    ASSERT_EQ(GetDialogSetting(&back, sizeof back, kDdsSearchScope), 1);
    EXPECT_EQ(back, scope);
}

TEST_F(SettingsStore, ExistingStoreIsLeftAsItIs) {
    const std::string kept[] = {
        std::string("\x04\x00\x00\x00\x56\x00\x07\x00\x00\x00", 10) + std::string(6, '\0'),  // one block
        std::string("\xff\xff\xff\x7f\x56\x00", 6),  // a chain no reader accepts
        std::string(),                               // an empty file
    };
    for (const std::string &bytes : kept) {
        ASSERT_TRUE(testutil::WriteFileBytes(store(), bytes));
        EXPECT_EQ(EnsureDialogSettingsStore(), 1);
        EXPECT_EQ(testutil::ReadFileBytes(store()), bytes);
    }
}

TEST_F(SettingsStore, UnwritableFolderIsReported) {
    SetUserDataFolder(dir_.file("no such folder").c_str());
    EXPECT_EQ(EnsureDialogSettingsStore(), 0);
}

}  // namespace
