// A bounded structural check of RTF texts before they reach the platform's rich-text reader, which
// crashes or hangs on hostile texts (deep nesting, long words and numbers, oversized tables).
#pragma once

#include <string>

// True when text is one RTF group (an RTF header up to its closing brace) that stays within the bounds of RtfCheck
// below; such a text may be streamed in as RTF. Every text the rich-text editor writes passes. The check looks at each
// byte once.
bool IsSafeRtf(const std::string& text);

// The bounds, generous for any card text and far below what the reader handles.
namespace RtfCheck {
const int MaxGroupDepth = 32;
const int MaxDestinationDepth = 4; // groups opened by \* or a destination word, nested
const int MaxWordLetters = 32;
const int MaxNumberDigits = 6;
const long MinNumber = -32768;
const long MaxNumber = 65535;
const int MaxFontNameLength = 31; // a face name fits LOGFONT's 32 characters with its terminator
const int MaxTableEntries = 256;  // fonts in the font table, colours in the colour table
const size_t MaxLength = 1 << 20;
} // namespace RtfCheck
