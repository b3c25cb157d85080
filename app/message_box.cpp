// Message boxes with the program's captions and icons.
#include "app/message_box.h"

void ShowErrorBox(HWND owner, const std::string& text)
{
    MessageBoxA(owner, text.c_str(), "Error", MB_ICONERROR);
}

void ShowErrorReport(HWND owner, const std::vector<std::string>& errors)
{
    const size_t mostShown = 6;
    std::string report;
    for (size_t i = 0; i < errors.size() && i <= mostShown; ++i)
        report += i == mostShown ? "..." : errors[i] + "\n";
    MessageBoxA(owner, report.c_str(), "Error(s)", MB_ICONERROR);
}

bool AskQuestion(HWND owner, const std::string& text)
{
    return MessageBoxA(owner, text.c_str(), "Question", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

void ShowFieldError(HWND dialog, const std::string& text, int controlId)
{
    ShowErrorBox(dialog, text);
    if (controlId != -1)
        SetFocus(GetDlgItem(dialog, controlId));
}

bool IsBlank(const std::string& text)
{
    return text.find_first_not_of(' ') == std::string::npos;
}
