// The registry: opening keys, querying values in the two-call pattern, errors.
#include <gtest/gtest.h>

#include <win32_control.h>

#include <cstring>

namespace {

const char *kSettings = "Software\\Netscape\\Netscape Navigator\\Settings";

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { w32_reset(); }
};

TEST_F(RegistryTest, StringValueInTwoCalls)
{
    ASSERT_TRUE(w32_reg_set_string(HKEY_CURRENT_USER, kSettings, "Background Color", "192,192,192"));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "software\\NETSCAPE\\Netscape Navigator\\Settings", 0, KEY_READ, &key),
              ERROR_SUCCESS)
        << "key names ignore case";
    DWORD type = 0, size = 0;
    ASSERT_EQ(RegQueryValueExA(key, "Background Color", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_EQ(size, 12u) << "the size counts the terminating NUL";
    char small[4];
    DWORD smallSize = sizeof small;
    EXPECT_EQ(RegQueryValueExA(key, "Background Color", nullptr, &type, reinterpret_cast<BYTE *>(small), &smallSize),
              ERROR_MORE_DATA);
    EXPECT_EQ(smallSize, 12u);
    char buffer[32];
    DWORD bufferSize = sizeof buffer;
    ASSERT_EQ(RegQueryValueExA(key, "background color", nullptr, &type, reinterpret_cast<BYTE *>(buffer), &bufferSize),
              ERROR_SUCCESS);
    EXPECT_STREQ(buffer, "192,192,192");
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryTest, MissingKeysValuesAndRawData)
{
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kSettings, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    const char unterminated[3] = {'1', ',', '2'};
    ASSERT_TRUE(w32_reg_set_value(HKEY_CURRENT_USER, kSettings, "Background Color", REG_SZ, unterminated, 3));
    ASSERT_TRUE(w32_reg_set_value(HKEY_CURRENT_USER, kSettings, "Number", REG_DWORD, "\x05\0\0\0", 4));
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kSettings, 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD type, size = 16;
    BYTE data[16];
    std::memset(data, 'x', sizeof data);
    ASSERT_EQ(RegQueryValueExA(key, "Background Color", nullptr, &type, data, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 3u) << "a string stored without its NUL comes back without it";
    EXPECT_EQ(data[3], 'x');
    EXPECT_EQ(RegQueryValueExA(key, "Missing", nullptr, &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
    size = sizeof data;
    ASSERT_EQ(RegQueryValueExA(key, "Number", nullptr, &type, data, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, DWORD(REG_DWORD));

    HKEY sub = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Netscape", 0, KEY_READ, &sub), ERROR_SUCCESS);
    HKEY deeper = nullptr;
    EXPECT_EQ(RegOpenKeyExA(sub, "Netscape Navigator\\Settings", 0, KEY_READ, &deeper), ERROR_SUCCESS)
        << "paths open relative to an open key";
    RegCloseKey(deeper);
    RegCloseKey(sub);
    ASSERT_TRUE(w32_reg_delete_key(HKEY_CURRENT_USER, "Software\\Netscape"));
    EXPECT_EQ(RegQueryValueExA(key, "Number", nullptr, &type, nullptr, &size), ERROR_INVALID_HANDLE)
        << "handles to deleted keys stop working";
}

}  // namespace
