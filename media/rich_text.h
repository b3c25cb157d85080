// Moving card texts into and out of RichEdit controls, and telling RTF from plain text.
#pragma once

#include <windows.h>

#include <string>

// Replaces the control's whole content with text, read as RTF (or as plain text when it has no
// RTF header or fails the RTF check of rtf_check.h).
void StreamInRtf(HWND richEdit, const std::string& text);
// Adds text at the end of the content, as plain text or as RTF, whatever was selected before.
void AppendPlainText(HWND richEdit, const std::string& text);
void AppendRtf(HWND richEdit, const std::string& text);

// The content as RTF, as plain text in the ANSI code page, and as plain text in UTF-8.
std::string StreamOutRtf(HWND richEdit);
std::string StreamOutText(HWND richEdit);
std::string StreamOutUtf8Text(HWND richEdit);
// The content's characters in UTF-16 as the control holds them, asked for directly (no stream);
// with crlf, paragraph ends as CR LF, as a plain-text stream-out gives them.
std::wstring GetRichTextW(HWND richEdit, bool crlf = false);

// True when text contains "{\rtf" anywhere (case-sensitive).
bool IsRichText(const std::string& text);

// A length in twips as pixels of the device context's vertical resolution.
int TwipsToPixelsY(HDC dc, int twips);

// A hidden RichEdit control for measuring, drawing and converting texts; the caller destroys it.
HWND CreateHiddenRichEdit(HINSTANCE instance);
