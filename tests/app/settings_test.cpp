// Settings store: defaults, parsing, odd stored values, and the text forms written.
#include "app/settings.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

const char* const Key = "SOFTWARE\\Quillon\\Mnemora\\Settings";

class Settings : public testing::Test {
  protected:
    void SetUp() override { ResetUserData(); }
    void TearDown() override { ResetUserData(); }

    static void StoreRaw(const char* name, DWORD type, const void* data, DWORD size)
    {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS,
                  RegCreateKeyExA(HKEY_CURRENT_USER, Key, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr));
        RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }
    static void StoreText(const char* name, const std::string& text)
    {
        StoreRaw(name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
    }
};

} // namespace

TEST_F(Settings, DefaultsWithoutAnyKeyAndTheKeyIsCreatedByReading)
{
    EXPECT_EQ(1000, GetDisplayTime());
    EXPECT_EQ(RGB(192, 192, 192), GetButtonBackgroundColor());
    EXPECT_EQ("", ReadSetting("LastProfile"));
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, Key, 0, KEY_READ, &key));
    RegCloseKey(key);
}

// Read like a decimal number: leading blanks, a sign, digits up to the first other character,
// saturating at the int range; an empty value is the default.
TEST_F(Settings, DisplayTimeIsParsedLikeADecimalNumber)
{
    const std::pair<const char*, int> cases[] = {{"2500ms", 2500},
                                                 {"abc", 0},
                                                 {" 750", 750},
                                                 {"-40", -40},
                                                 {"", 1000},
                                                 {"99999999999", 2147483647},
                                                 {"-99999999999", -2147483647 - 1},
                                                 {"2147483648", 2147483647}};
    for (const auto& c : cases) {
        StoreText("DisplayTime", c.first);
        EXPECT_EQ(c.second, GetDisplayTime()) << c.first;
    }
    StoreText("ButtonBackgroundColorR", "255");
    EXPECT_EQ(RGB(255, 0, 0), GetButtonBackgroundColor()) << "colour parts are read on their own";
    StoreText("ButtonBackgroundColorG", "300");
    EXPECT_EQ(RGB(255, 44, 0), GetButtonBackgroundColor());
}

TEST_F(Settings, ValuesThatDoNotFitOrAreNotTextReadAsAbsent)
{
    StoreText("LastProfile", std::string(300, 'x'));
    EXPECT_EQ("", ReadSetting("LastProfile"));
    StoreText("LastProfile", std::string(255, 'y'));
    EXPECT_EQ(std::string(255, 'y'), ReadSetting("LastProfile"));
    DWORD number = 2500;
    StoreRaw("DisplayTime", REG_DWORD, &number, sizeof number);
    EXPECT_EQ(1000, GetDisplayTime());
    // 256 characters stored without a terminating zero do not fit either.
    std::string full(256, 'z');
    StoreRaw("LastProfile", REG_SZ, full.data(), 256);
    EXPECT_EQ("", ReadSetting("LastProfile"));
}

TEST_F(Settings, WritesDecimalTexts)
{
    SetButtonBackgroundColor(RGB(0x56, 0x34, 0x12));
    EXPECT_EQ("86", ReadSetting("ButtonBackgroundColorR"));
    EXPECT_EQ("52", ReadSetting("ButtonBackgroundColorG"));
    EXPECT_EQ("18", ReadSetting("ButtonBackgroundColorB"));
    EXPECT_EQ(RGB(0x56, 0x34, 0x12), GetButtonBackgroundColor());
    SetDisplayTime(-5);
    EXPECT_EQ("-5", ReadSetting("DisplayTime"));
    WriteSetting("LastProfile", "Capitals");
    EXPECT_EQ("Capitals", ReadSetting("LastProfile"));
    EXPECT_EQ("-2147483648", IntToString(-2147483647 - 1));
}
