// Card set dialog: an owner-drawn, sorted list of the pairs of one card set (each shown as its
// view, editor/pair_view), with Add, Modify, Remove, paste and copy of pairs and pairs of pictures.
#include "editor/card_set_dialog.h"

#include "app/dialog.h"
#include "app/message_box.h"
#include "editor/card_pair_dialog.h"
#include "editor/card_set_clipboard.h"
#include "editor/cardsets_dialog.h"
#include "editor/pair_view.h"
#include "res/dialog_ids.h"

#include <windowsx.h>

#include <algorithm>
#include <vector>

namespace {

bool CardSetReentry = false;

struct CardSetDialogParams {
    std::string Name;
    CardSet* Cards;
    PairViews Pairs;
};

const UINT_PTR MeasureTimerId = 0x4D48;

// Gives the items from the first one on the list their measured heights, until measure items are
// measured (or all when measure is negative); true when every item is measured. With keep, what
// the measuring read is kept for drawing them.
bool MeasureListItems(HWND dialog, int measure, bool keep)
{
    CardSetDialogParams* params = GetDialogParams<CardSetDialogParams>(dialog);
    HWND list = GetDlgItem(dialog, IDC_CARDSET_LIST);
    if (!params)
        return true;
    int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int item = 0; item < count; ++item) {
        size_t index = static_cast<size_t>(SendMessageA(list, LB_GETITEMDATA, item, 0));
        if (index >= params->Pairs.Views.size() || !params->Pairs.Views[index].Rich ||
            params->Pairs.Views[index].HeightKnown)
            continue;
        if (measure-- == 0)
            return false;
        MeasurePairView(params->Pairs, index, keep);
        SendMessageA(list, LB_SETITEMHEIGHT, item, params->Pairs.Views[index].Height);
    }
    return true;
}

// Measures the pairs out of sight a few at a time from the dialog's timer, between its messages.
void CALLBACK MeasureRemainingPairs(HWND dialog, UINT, UINT_PTR timer, DWORD)
{
    HWND list = GetDlgItem(dialog, IDC_CARDSET_LIST);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    bool done = MeasureListItems(dialog, 25, false);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    if (done)
        KillTimer(dialog, timer);
}

void OnCardSetMeasureItem(HWND dialog, MEASUREITEMSTRUCT* measure)
{
    CardSetDialogParams* params = GetDialogParams<CardSetDialogParams>(dialog);
    if (!params || measure->CtlID != IDC_CARDSET_LIST || measure->itemData >= params->Cards->size())
        return;
    const PairView& view = GetPairView(params->Pairs, measure->itemData);
    if (view.Rich) {
        if (!view.HeightKnown && !params->Pairs.ProvisionalHeight)
            MeasurePairView(params->Pairs, measure->itemData, true);
        measure->itemHeight = static_cast<UINT>(view.HeightKnown ? view.Height : params->Pairs.ProvisionalHeight);
        return;
    }
    measure->itemHeight = static_cast<UINT>(GetDefaultLineHeight());
}

void OnCardSetDrawItem(HWND dialog, const DRAWITEMSTRUCT* draw)
{
    CardSetDialogParams* params = GetDialogParams<CardSetDialogParams>(dialog);
    if (!params || draw->CtlID != IDC_CARDSET_LIST)
        return;
    bool selected = (draw->itemState & ODS_SELECTED) != 0;
    if (selected) {
        HBRUSH blue = CreateSolidBrush(SelectedBackground);
        FillRect(draw->hDC, &draw->rcItem, blue);
        DeleteObject(blue);
    } else {
        FillRect(draw->hDC, &draw->rcItem, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    if (draw->itemID != static_cast<UINT>(-1) && draw->itemData < params->Cards->size()) {
        if (!GetPairView(params->Pairs, draw->itemData).Rich) {
            const std::string& text = GetDisplayText(params->Pairs, draw->itemData);
            int oldMode = SetBkMode(draw->hDC, TRANSPARENT);
            COLORREF oldColor = selected ? SetTextColor(draw->hDC, SelectedText) : 0;
            TextOutA(draw->hDC, draw->rcItem.left, draw->rcItem.top, text.c_str(), static_cast<int>(text.size()));
            if (selected)
                SetTextColor(draw->hDC, oldColor);
            SetBkMode(draw->hDC, oldMode);
        } else {
            DrawPairText(params->Pairs, draw->itemData, draw, selected);
        }
    }
    if (draw->itemState & ODS_FOCUS)
        DrawFocusRect(draw->hDC, &draw->rcItem);
}

// Pairs with texts first, by their plain Unicode text as the user's locale orders it; then the
// others by their listing.
int OnCardSetCompareItem(HWND dialog, const COMPAREITEMSTRUCT* compare)
{
    CardSetDialogParams* params = GetDialogParams<CardSetDialogParams>(dialog);
    size_t count = params ? params->Cards->size() : 0;
    if (compare->itemData1 >= count || compare->itemData2 >= count)
        return 0;
    const PairView& first = GetPairView(params->Pairs, compare->itemData1);
    const PairView& second = GetPairView(params->Pairs, compare->itemData2);
    if (!first.Rich && !second.Rich)
        return lstrcmpA(first.Display.c_str(), second.Display.c_str());
    if (!second.Rich)
        return -1;
    if (!first.Rich)
        return 1;
    return lstrcmpW(first.Plain.c_str(), second.Plain.c_str());
}

void FillPairList(HWND dialog)
{
    CardSetDialogParams* params = GetDialogParams<CardSetDialogParams>(dialog);
    HWND list = GetDlgItem(dialog, IDC_CARDSET_LIST);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    SendMessageA(list, LB_INITSTORAGE, params->Cards->size(), 0);
    // Sorted here with the list's own comparison and inserted in place (an insert does not sort):
    // the list's own sort asks the dialog through a message at every step of a binary search.
    std::vector<size_t> order(params->Cards->size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [dialog](size_t a, size_t b) {
        COMPAREITEMSTRUCT compare = {};
        compare.itemData1 = a;
        compare.itemData2 = b;
        return OnCardSetCompareItem(dialog, &compare) < 0;
    });
    for (size_t i : order)
        SendMessageA(list, LB_INSERTSTRING, static_cast<WPARAM>(-1), static_cast<LPARAM>(i));
    // The pairs in sight at once, exactly; the others from a timer after the first paint.
    RECT client;
    GetClientRect(list, &client);
    int inSight =
        client.bottom / std::max(1, params->Pairs.ProvisionalHeight ? params->Pairs.ProvisionalHeight : 1) + 2;
    if (!MeasureListItems(dialog, inSight, true))
        SetTimer(dialog, MeasureTimerId, 1, MeasureRemainingPairs);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    EnableWindow(GetDlgItem(dialog, IDC_CARDSET_MODIFY), FALSE);
    EnableWindow(GetDlgItem(dialog, IDC_CARDSET_REMOVE), FALSE);
}

// The indexes in the card set of the selected pairs, in list order.
std::vector<size_t> GetSelectedPairs(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_CARDSET_LIST);
    CardSetDialogParams* params = GetDialogParams<CardSetDialogParams>(dialog);
    LRESULT count = SendMessageA(list, LB_GETSELCOUNT, 0, 0);
    std::vector<int> items(static_cast<size_t>(count > 0 ? count : 0));
    if (count > 0)
        SendMessageA(list, LB_GETSELITEMS, count, reinterpret_cast<LPARAM>(items.data()));
    std::vector<size_t> pairs;
    for (int item : items) {
        size_t index = static_cast<size_t>(SendMessageA(list, LB_GETITEMDATA, item, 0));
        if (params && index < params->Cards->size())
            pairs.push_back(index);
    }
    return pairs;
}

// The index in the card set of the selected pair (of several, the one with the focus, else the
// first), or -1 after telling the user to select one.
int GetSelectedPairIndex(HWND dialog)
{
    std::vector<size_t> selected = GetSelectedPairs(dialog);
    if (selected.empty()) {
        ShowFieldError(dialog, "A list item has to be selected", IDC_CARDSET_LIST);
        return -1;
    }
    HWND list = GetDlgItem(dialog, IDC_CARDSET_LIST);
    LRESULT caret = SendMessageA(list, LB_GETCARETINDEX, 0, 0);
    if (caret != LB_ERR && SendMessageA(list, LB_GETSEL, caret, 0) > 0)
        return static_cast<int>(SendMessageA(list, LB_GETITEMDATA, caret, 0));
    return static_cast<int>(selected.front());
}

// Modify works on one pair, Remove on any selected.
void EnablePairButtons(HWND dialog)
{
    LRESULT count = SendDlgItemMessageA(dialog, IDC_CARDSET_LIST, LB_GETSELCOUNT, 0, 0);
    EnableWindow(GetDlgItem(dialog, IDC_CARDSET_MODIFY), count == 1);
    EnableWindow(GetDlgItem(dialog, IDC_CARDSET_REMOVE), count >= 1);
}

void AddPair(HWND dialog)
{
    CardSetDialogParams* params = GetDialogParams<CardSetDialogParams>(dialog);
    // Mended: more pairs were kept than a card set file is read with, and lost on the next save.
    if (params->Cards->size() >= static_cast<size_t>(MaxCardPairs)) {
        ShowFieldError(dialog, "A card set holds at most 65536 card pairs", IDC_CARDSET_LIST);
        return;
    }
    CardPair pair;
    CardPairDialogParams pairParams = {&pair, params->Cards, -1};
    if (!ShowCardPairDialog(dialog, pairParams))
        return;
    CardSetsChanged = 1;
    params->Cards->push_back(pair);
    params->Pairs.Views.push_back(PairView());
    FillPairList(dialog);
}

void EditPair(HWND dialog)
{
    CardSetDialogParams* params = GetDialogParams<CardSetDialogParams>(dialog);
    int index = GetSelectedPairIndex(dialog);
    if (index < 0 || static_cast<size_t>(index) >= params->Cards->size())
        return;
    CardPair pair = (*params->Cards)[index];
    CardPairDialogParams pairParams = {&pair, params->Cards, index};
    if (!ShowCardPairDialog(dialog, pairParams))
        return;
    (*params->Cards)[index] = pair;
    params->Pairs.Views[index] = PairView();
    FillPairList(dialog);
}

// The Remove question for a pair with texts, in wide characters so every character of the texts
// shows; a text too long for the message is cut.
bool AskRemoveText(HWND dialog, const std::string& quoted)
{
    const int Capacity = 8192;
    std::wstring text;
    int length = MultiByteToWideChar(CP_UTF8, 0, quoted.data(), static_cast<int>(quoted.size()), nullptr, 0);
    if (length > 0) {
        text.resize(length);
        MultiByteToWideChar(CP_UTF8, 0, quoted.data(), static_cast<int>(quoted.size()), &text[0], length);
    }
    if (text.size() >= static_cast<size_t>(Capacity)) {
        text.resize(Capacity - 4);
        text += L"...";
    }
    std::wstring question = L"Are you really sure that you want to remove entry with text " + text + L"?";
    return MessageBoxW(dialog, question.c_str(), L"Question", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

// Removes the selected pairs after one question: for one pair the question quotes it, for several
// it counts them.
void RemovePair(HWND dialog)
{
    CardSetDialogParams* params = GetDialogParams<CardSetDialogParams>(dialog);
    std::vector<size_t> selected = GetSelectedPairs(dialog);
    if (selected.empty()) {
        ShowFieldError(dialog, "A list item has to be selected", IDC_CARDSET_LIST);
        return;
    }
    bool yes = false;
    if (selected.size() > 1) {
        yes = AskQuestion(dialog, "Are you really sure that you want to remove these " +
                                      std::to_string(selected.size()) + " entries?");
    } else {
        bool hasText = false;
        std::string text = PairDisplayText((*params->Cards)[selected.front()], true, &hasText);
        yes = hasText ? AskRemoveText(dialog, text)
                      : AskQuestion(dialog, "Are you really sure that you want to remove entry " + text + "?");
    }
    if (!yes)
        return;
    CardSetsChanged = 1;
    std::sort(selected.rbegin(), selected.rend());
    params->Pairs.Views.resize(params->Cards->size());
    for (size_t at : selected) {
        params->Cards->erase(params->Cards->begin() + at);
        params->Pairs.Views.erase(params->Pairs.Views.begin() + at);
    }
    FillPairList(dialog);
}

// Pairs pasted or made of pictures: inserted after the selected pairs (at the end when none is
// selected or at), as many as the card set can still hold; the list is filled anew.
void InsertPairs(HWND dialog, const std::vector<CardPair>& pairs, bool afterSelection)
{
    CardSetDialogParams* params = GetDialogParams<CardSetDialogParams>(dialog);
    if (pairs.empty())
        return;
    if (params->Cards->size() + pairs.size() > static_cast<size_t>(MaxCardPairs)) {
        ShowFieldError(dialog, "A card set holds at most 65536 card pairs", IDC_CARDSET_LIST);
        return;
    }
    size_t at = params->Cards->size();
    std::vector<size_t> selected = GetSelectedPairs(dialog);
    if (afterSelection && !selected.empty())
        at = *std::max_element(selected.begin(), selected.end()) + 1;
    params->Pairs.Views.resize(params->Cards->size());
    params->Cards->insert(params->Cards->begin() + at, pairs.begin(), pairs.end());
    params->Pairs.Views.insert(params->Pairs.Views.begin() + at, pairs.size(), PairView());
    CardSetsChanged = 1;
    FillPairList(dialog);
}

void PastePairs(HWND dialog)
{
    std::vector<CardPair> pairs;
    std::string error;
    if (ReadClipboardPairs(dialog, pairs, error))
        InsertPairs(dialog, pairs, true);
    else if (!error.empty())
        ShowFieldError(dialog, error, IDC_CARDSET_LIST);
}

// Copies the selected pairs in list order.
void CopySelectedPairs(HWND dialog)
{
    CardSetDialogParams* params = GetDialogParams<CardSetDialogParams>(dialog);
    std::vector<CardPair> pairs;
    for (size_t index : GetSelectedPairs(dialog))
        pairs.push_back((*params->Cards)[index]);
    if (!pairs.empty())
        CopyPairsToClipboard(dialog, pairs);
}

void AddPicturePairs(HWND dialog)
{
    std::vector<CardPair> pairs;
    if (ChoosePicturePairs(dialog, pairs))
        InsertPairs(dialog, pairs, false);
}

BOOL OnCardSetInitDialog(HWND dialog, HWND, LPARAM param)
{
    SetDialogParams(dialog, reinterpret_cast<void*>(param));
    CardSetDialogParams* params = reinterpret_cast<CardSetDialogParams*>(param);
    FillPairList(dialog);
    // Once the list is filled: every message to a list with commands attached takes a detour.
    AttachPairListCommands(GetDlgItem(dialog, IDC_CARDSET_LIST));
    SetDlgItemTextA(dialog, IDC_CARDSET_NAME, params->Name.c_str());
    return TRUE;
}

void OnCardSetCommand(HWND dialog, int id, HWND, UINT code)
{
    switch (id) {
    case IDOK:
        CardSetsChanged = 1;
        EndDialog(dialog, 1);
        break;
    case IDCANCEL:
        EndDialog(dialog, 0);
        break;
    case IDC_CARDSET_LIST:
        if (code == LBN_SELCHANGE)
            EnablePairButtons(dialog);
        else if (code == LBN_DBLCLK)
            EditPair(dialog);
        break;
    case IDC_CARDSET_ADD:
        AddPair(dialog);
        break;
    case IDC_CARDSET_MODIFY:
        EditPair(dialog);
        break;
    case IDC_CARDSET_REMOVE:
        RemovePair(dialog);
        break;
    case IDC_CARDSET_PICTURES:
        AddPicturePairs(dialog);
        break;
    case IDC_CARDSET_PASTE:
        PastePairs(dialog);
        break;
    case IDC_CARDSET_COPY:
        CopySelectedPairs(dialog);
        break;
    }
}

LRESULT DispatchCardSet(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
        HANDLE_MSG(dialog, WM_INITDIALOG, OnCardSetInitDialog);
        HANDLE_MSG(dialog, WM_COMMAND, OnCardSetCommand);
        HANDLE_MSG(dialog, WM_MEASUREITEM, OnCardSetMeasureItem);
        HANDLE_MSG(dialog, WM_DRAWITEM, OnCardSetDrawItem);
    case WM_COMPAREITEM:
        // Returned whole, so that a negative comparison stays negative in 64-bit builds.
        return OnCardSetCompareItem(dialog, reinterpret_cast<const COMPAREITEMSTRUCT*>(lParam));
    }
    return DefaultDialogMessage(CardSetReentry, dialog, msg, wParam, lParam);
}

INT_PTR CALLBACK CardSetDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return RunDialogProcedure(CardSetReentry, DispatchCardSet, dialog, msg, wParam, lParam);
}

} // namespace

int ShowCardSetDialog(HWND owner, const std::string& name, CardSet& cards)
{
    CardSetDialogParams* params = new CardSetDialogParams;
    params->Name = name;
    params->Cards = &cards;
    params->Pairs.Cards = &cards;
    OpenPairConverter();
    INT_PTR result = RunModalDialog(owner, "PROFILEDLG", CardSetDialogProc, params);
    DWORD error = GetLastError();
    ClosePairConverter(params->Pairs);
    delete params;
    if (result == -1) {
        char text[128];
        wsprintfA(text, "DialogBoxParam of PROFILEDLG failed, error code %d", static_cast<int>(error));
        MessageBoxA(owner, text, "Error", MB_ICONERROR);
        return 0;
    }
    return static_cast<int>(result);
}
