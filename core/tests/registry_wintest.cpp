// The suite's folder values in the registry: only string values are taken,
// and a value of the full buffer size is cut, not left unterminated.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "core/datapaths.h"
#include "core/userfolder.h"
#include "testutil/testutil.h"

namespace {

struct Key {
    HKEY h = nullptr;
    Key() {
        RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Tarnwick\\Nightjar\\3", 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &h, nullptr);
    }
    ~Key() {
        for (const char *v : {"DataPath", "UserPath", "InstallPath"}) RegDeleteValueA(h, v);
        RegCloseKey(h);
    }
};

TEST(Registry, StringValuesOnly) {
    Key k;
    ASSERT_NE(k.h, nullptr);
    char buf[kPathLineSize];
    ASSERT_TRUE(testutil::SetSuiteValue("DataPath", "C:\\Nightjar\\Data"));
    ASSERT_EQ(ReadDataPath(3, buf), 1);
    EXPECT_STREQ(buf, "C:\\Nightjar\\Data");
    EXPECT_EQ(ReadDataPath(4, buf), 0);  // another generation's key does not exist

    DWORD number = 7;
    ASSERT_EQ(RegSetValueExA(k.h, "UserPath", 0, REG_DWORD, (const BYTE *)&number, 4), ERROR_SUCCESS);
    EXPECT_EQ(ReadUserPath(3, buf), 0);

    // 600 characters stored without a terminator: too long for the buffer.
    std::string big(600, 'x');
    ASSERT_EQ(RegSetValueExA(k.h, "InstallPath", 0, REG_SZ, (const BYTE *)big.data(), 600), ERROR_SUCCESS);
    EXPECT_EQ(ReadInstallPath(3, buf), 0);
    // 511 characters without a terminator fit and are terminated.
    std::string fits(511, 'y');
    ASSERT_EQ(RegSetValueExA(k.h, "InstallPath", 0, REG_SZ, (const BYTE *)fits.data(), 511), ERROR_SUCCESS);
    ASSERT_EQ(ReadInstallPath(3, buf), 1);
    EXPECT_EQ(std::string(buf), fits);
}

TEST(Registry, UserFolderWithTrailingSeparator) {
    SetUserDataFolder("C:\\Users\\me\\Nightjar\\");
    EXPECT_STREQ(GetUserDataFolder(), "C:\\Users\\me\\Nightjar");
    SetUserDataFolder("C:\\");
    EXPECT_STREQ(GetUserDataFolder(), "C:\\");
    SetUserDataFolder("");
}

}  // namespace
