// Message boxes with the program's captions and icons.
#include "app/message_box.h"

void ShowErrorBox(HWND owner, const std::string& text)
{
    MessageBoxA(owner, text.c_str(), "Error", MB_ICONERROR);
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
