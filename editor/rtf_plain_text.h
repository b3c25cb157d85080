// The plain text of a one-line card text in the RTF that the rich-text control itself writes,
// read without the control: the card set dialog sorts a thousand pairs by it in a fraction of the
// time that streaming each text through the control takes.
#pragma once

#include <string>

// The characters of the text as the control holds them (UTF-16): escaped bytes read in the code
// page of their font's character set, as the control reads them, and Unicode escapes kept. False
// when the text holds anything beyond what the control writes for one line of formatted characters
// (several paragraphs, tabs, control characters, symbol fonts, unknown words), which then goes
// through the control.
bool ReadControlRtfPlainText(const std::string& rtf, std::wstring& plain);
