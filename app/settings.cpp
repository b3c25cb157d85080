// Settings store: every accessor reads or writes the registry anew, nothing is cached.
#include "app/settings.h"

#include <algorithm>
#include <climits>
#include <cstdio>

namespace {

const char* const SettingsKey = "SOFTWARE\\Quillon\\Mnemora\\Settings";

} // namespace

std::string ReadSetting(const std::string& name)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return std::string();
    char buffer[257] = "";
    DWORD type = 0;
    DWORD size = 256;
    LONG status = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    // A value of 256 characters without room for its terminating zero does not fit either.
    if (status != ERROR_SUCCESS || type != REG_SZ || (size == 256 && buffer[255] != '\0'))
        return std::string();
    return std::string(buffer);
}

void WriteSetting(const std::string& name, const std::string& value)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

int GetDisplayTime()
{
    std::string text = ReadSetting("DisplayTime");
    // Mended: a huge stored value blocked the program for days at the first mismatch.
    return text.empty() ? 1000 : std::min(ParseDecimal(text), MaxDisplayTime);
}

void SetDisplayTime(int milliseconds)
{
    WriteSetting("DisplayTime", IntToString(milliseconds));
}

COLORREF GetButtonBackgroundColor()
{
    std::string red = ReadSetting("ButtonBackgroundColorR");
    std::string green = ReadSetting("ButtonBackgroundColorG");
    std::string blue = ReadSetting("ButtonBackgroundColorB");
    if (red.empty() && green.empty() && blue.empty())
        return RGB(192, 192, 192);
    return RGB(ParseDecimal(red) & 0xFF, ParseDecimal(green) & 0xFF, ParseDecimal(blue) & 0xFF);
}

void SetButtonBackgroundColor(COLORREF color)
{
    WriteSetting("ButtonBackgroundColorR", IntToString(GetRValue(color)));
    WriteSetting("ButtonBackgroundColorG", IntToString(GetGValue(color)));
    WriteSetting("ButtonBackgroundColorB", IntToString(GetBValue(color)));
}

std::string IntToString(int value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return text;
}

int ParseDecimal(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value <= static_cast<long long>(INT_MAX) + 1)
            value = value * 10 + (text[i] - '0');
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}
