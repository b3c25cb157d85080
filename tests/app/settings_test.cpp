// Settings store: defaults, parsing, odd stored values, and the text forms written.
#include "app/settings.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

const char* const Key = "SOFTWARE\\Quillon\\Mnemora\\Settings";

// Stores a value of the given type with exactly these bytes.
void Store(const char* name, const std::string& bytes, DWORD type = REG_SZ)
{
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, Key, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
}

class Settings : public testing::Test {
  protected:
    void SetUp() override { ResetUserData(); }
    void TearDown() override { ResetUserData(); }
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
// saturating at the int range; an empty value is the default. Colour parts are read on their own.
TEST_F(Settings, NumbersAreParsedLikeDecimalNumbersAndSaturate)
{
    const char* texts[] = {"2500ms", "abc", " 750", "-40", "", "99999999999", "2147483648", "-99999999999"};
    const int values[] = {2500, 0, 750, -40, 1000, 2147483647, 2147483647, -2147483647 - 1};
    for (int i = 0; i < 8; ++i) {
        Store("DisplayTime", texts[i] + std::string(1, '\0'));
        EXPECT_EQ(values[i], GetDisplayTime()) << texts[i];
    }
    Store("ButtonBackgroundColorR", std::string("255", 4));
    EXPECT_EQ(RGB(255, 0, 0), GetButtonBackgroundColor());
    Store("ButtonBackgroundColorG", std::string("300", 4));
    EXPECT_EQ(RGB(255, 44, 0), GetButtonBackgroundColor());
}

// Texts longer than 255 characters, also 256 stored without a terminating zero, and values that
// are no text read as absent.
TEST_F(Settings, ValuesThatDoNotFitOrAreNotTextReadAsAbsent)
{
    Store("LastProfile", std::string(300, 'x') + '\0');
    EXPECT_EQ("", ReadSetting("LastProfile"));
    Store("LastProfile", std::string(255, 'y') + '\0');
    EXPECT_EQ(std::string(255, 'y'), ReadSetting("LastProfile"));
    Store("LastProfile", std::string(256, 'z'));
    EXPECT_EQ("", ReadSetting("LastProfile"));
    Store("DisplayTime", std::string("\xC4\x09\0\0", 4), REG_DWORD); // 2500
    EXPECT_EQ(1000, GetDisplayTime());
}

TEST_F(Settings, WritesDecimalTexts)
{
    SetButtonBackgroundColor(RGB(0x56, 0x34, 0x12));
    EXPECT_EQ("86 52 18", ReadSetting("ButtonBackgroundColorR") + " " + ReadSetting("ButtonBackgroundColorG") + " " +
                              ReadSetting("ButtonBackgroundColorB"));
    EXPECT_EQ(RGB(0x56, 0x34, 0x12), GetButtonBackgroundColor());
    SetDisplayTime(-5);
    EXPECT_EQ("-5", ReadSetting("DisplayTime"));
    WriteSetting("LastProfile", "Capitals");
    EXPECT_EQ("Capitals", ReadSetting("LastProfile"));
    EXPECT_EQ("-2147483648", IntToString(-2147483647 - 1));
}
