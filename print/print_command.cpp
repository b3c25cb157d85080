// The print command: asks for a printer with the print dialog and its "Rounded corners" check
// box, prints the selected card set's cards and reports a failed job or the pictures that failed.
#include "print/print_command.h"

#include "app/main_window.h"
#include "app/message_box.h"
#include "cardset/card_set.h"
#include "print/print_layout.h"

#include <commdlg.h>

namespace {

const int RoundedCornersCheckBox = 1042;
const char RoundedCornersProperty[] = "RoundedCornersPtr";

// The card set's name selected in the bar; false when none is selected.
bool GetSelectedCardSetName(HWND mainWindow, std::string& name)
{
    HWND combo = GetCardSetCombo(mainWindow);
    LRESULT selection = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    if (selection == CB_ERR)
        return false;
    LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, selection, 0);
    if (length == CB_ERR)
        return false;
    name.assign(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(combo, CB_GETLBTEXT, selection, reinterpret_cast<LPARAM>(&name[0]));
    name.resize(lstrlenA(name.c_str()));
    return true;
}

// The print dialog's hook: keeps the flag's address and writes the check box into it on OK.
UINT_PTR CALLBACK PrintDialogHook(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG: {
        const PRINTDLGA* print = reinterpret_cast<const PRINTDLGA*>(lParam);
        SetPropA(dialog, RoundedCornersProperty, reinterpret_cast<HANDLE>(print->lCustData));
        break;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            int* rounded = static_cast<int*>(GetPropA(dialog, RoundedCornersProperty));
            if (rounded)
                *rounded = IsDlgButtonChecked(dialog, RoundedCornersCheckBox) == BST_CHECKED ? 1 : 0;
        }
        break;
    case WM_DESTROY:
        RemovePropA(dialog, RoundedCornersProperty);
        break;
    }
    return 0;
}

} // namespace

PrintList BuildPrintList(const CardSet& cards)
{
    PrintList items;
    for (const CardPair& pair : cards) {
        if (pair.Text1.empty() && pair.PictureFileName1.empty())
            continue;
        PrintItem first = {pair.Text1, pair.PictureFileName1};
        if (IsSecondCardEmpty(pair)) {
            items.push_back(first);
            items.push_back(first);
            continue;
        }
        // A second card with only a sound or a video cannot be printed, so neither card is.
        if (pair.Text2.empty() && pair.PictureFileName2.empty())
            continue;
        items.push_back(first);
        items.push_back({pair.Text2, pair.PictureFileName2});
    }
    return items;
}

void PrintCardSet(HWND mainWindow)
{
    std::string name;
    if (!GetSelectedCardSetName(mainWindow, name)) {
        ShowErrorBox(mainWindow, "No card set selected");
        return;
    }
    CardSet cards;
    LoadCardSet(name, cards);
    PrintList items = BuildPrintList(cards);

    int roundedCorners = 0;
    PRINTDLGA print = {};
    print.lStructSize = sizeof print;
    print.hwndOwner = mainWindow;
    print.Flags = PD_NOSELECTION | PD_NOPAGENUMS | PD_RETURNDC | PD_ENABLEPRINTHOOK | PD_ENABLEPRINTTEMPLATE;
    print.hInstance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(mainWindow, GWLP_HINSTANCE));
    print.lCustData = reinterpret_cast<LPARAM>(&roundedCorners);
    print.lpfnPrintHook = PrintDialogHook;
    print.lpPrintTemplateName = "PRINTDLG";
    BOOL chosen = PrintDlgA(&print);

    PrintErrorList errors;
    std::string failure;
    if (chosen && print.hDC) {
        SetCursor(LoadCursorA(nullptr, IDC_WAIT));
        failure = PrintCards(name, print.hDC, items, roundedCorners, errors);
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    }
    // Whatever the dialog left behind is released, also after a cancel.
    if (print.hDC)
        DeleteDC(print.hDC);
    if (print.hDevNames)
        GlobalFree(print.hDevNames);
    if (print.hDevMode)
        GlobalFree(print.hDevMode);

    ReportPrintResult(mainWindow, failure, errors);
}

void ReportPrintResult(HWND mainWindow, const std::string& failure, const PrintErrorList& errors)
{
    // A job that stopped printed nothing usable: its failure is what the user must act on first.
    if (!failure.empty())
        ShowErrorBox(mainWindow, failure);
    else if (!errors.empty())
        ShowErrorReport(mainWindow, errors);
}
