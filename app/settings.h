// The user's settings: string values under HKEY_CURRENT_USER\SOFTWARE\Quillon\Mnemora\Settings.
#pragma once

#include <windows.h>

#include <string>

// The value as stored; empty when it is missing, not a string, empty or longer than 255 characters.
std::string ReadSetting(const std::string& name);
void WriteSetting(const std::string& name, const std::string& value);

// The longest display time: the game blocks for it at every mismatch.
const int MaxDisplayTime = 60000;

// Milliseconds two non-matching cards stay visible; 1000 when not set. Parsed as stored, so it
// may be negative (callers that wait clamp it); a larger stored value reads as MaxDisplayTime.
int GetDisplayTime();
void SetDisplayTime(int milliseconds);

// The cards' background colour; light grey when none of its three parts is set.
COLORREF GetButtonBackgroundColor();
void SetButtonBackgroundColor(COLORREF color);

// Parses a decimal integer as settings and card set numbers are read: leading blanks, an
// optional sign, digits up to the first other character; none gives 0; saturates at the int range.
int ParseDecimal(const std::string& text);

// Decimal text of a number, "%d".
std::string IntToString(int value);
