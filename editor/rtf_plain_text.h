// The plain text of a one-line card text in the RTF that the rich-text control itself writes,
// read without the control: the card set dialog sorts a thousand pairs by it in a fraction of the
// time that streaming each text through the control takes.
#pragma once

#include <string>

// The characters of the text as the control's window text gives them (ANSI); false when the text
// holds anything beyond what the control writes for one line of formatted characters (several
// paragraphs, tabs, characters outside the ANSI code page, unknown words), which then goes through
// the control.
bool ReadControlRtfPlainText(const std::string& rtf, std::string& plain);
