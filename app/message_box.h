// The program's message boxes: errors, questions, and the field errors of dialogs.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// "Error" box with the error icon; owner may be null (start-up and media errors during play).
void ShowErrorBox(HWND owner, const std::string& text);

// "Error(s)" box listing errors one a line, at most six, then "..." when there are more.
void ShowErrorReport(HWND owner, const std::vector<std::string>& errors);

// "Question" box with Yes and No, No being the default. True for Yes.
bool AskQuestion(HWND owner, const std::string& text);

// Error box owned by a dialog; then, unless controlId is -1, the focus goes to that control.
void ShowFieldError(HWND dialog, const std::string& text, int controlId);

// True when text holds nothing but blanks (character 32), the empty text included.
bool IsBlank(const std::string& text);
