// Card set dialog: an owner-drawn, sorted list of the pairs of one card set, each shown with its
// formatted texts or the names of its files.
#include "editor/card_set_dialog.h"

#include "app/dialog.h"
#include "app/message_box.h"
#include "editor/card_pair_dialog.h"
#include "editor/card_set_clipboard.h"
#include "editor/cardsets_dialog.h"
#include "editor/rtf_plain_text.h"
#include "game/rich_text_layout.h"
#include "media/rich_text.h"
#include "res/dialog_ids.h"

#include <richedit.h>
#include <windowsx.h>

#include <algorithm>
#include <vector>

namespace {

bool CardSetReentry = false;

// The converter of card texts while a card set dialog is open; null otherwise.
HWND HiddenRichEdit = nullptr;

const COLORREF SelectedBackground = RGB(0, 0, 255);
const COLORREF SelectedText = RGB(255, 255, 255);
const COLORREF ItemBackground = RGB(255, 255, 255);

// What the list needs of one pair, worked out once: a pair's texts go through the converter again
// only when the pair is new or was changed.
struct PairView {
    bool Known = false;
    bool Rich = false;
    std::wstring Plain;       // the plain text a pair with texts sorts by
    bool HeightKnown = false; // false while a pair with texts has only the provisional height
    int Height = 0;           // pixels, for a pair with texts
    bool DisplayKnown = false;
    std::string Display;
};

struct CardSetDialogParams {
    std::string Name;
    CardSet* Cards;
    std::vector<PairView> Views;
    // The memory DC on which texts are laid out for measuring, made once per dialog.
    HDC MeasureDC = nullptr;
    // The height given to pairs with texts until they are measured: the first one measured.
    int ProvisionalHeight = 0;
};

const UINT_PTR MeasureTimerId = 0x4D48;

// A card text as the converter writes it: RTF, or with asPlain its plain UTF-8 characters.
std::string NormalizeText(const std::string& text, bool asPlain)
{
    if (!HiddenRichEdit)
        return std::string();
    LoadCardText(HiddenRichEdit, text);
    return asPlain ? StreamOutUtf8Text(HiddenRichEdit) : StreamOutRtf(HiddenRichEdit);
}

// Gives what is typed or streamed in next at the end of the converter's text the format a card
// text starts from when it is loaded on its own (Tahoma 10 points, regular, automatic colour).
// RTF streamed in at the end otherwise takes on the formatting of the text before it wherever it
// names none of its own, so that a second text would show in the first text's bold or colour.
void StartCardTextAtEnd()
{
    CHARRANGE end = {-1, -1};
    SendMessageA(HiddenRichEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
    CHARFORMAT2A format = DefaultCardTextFormat();
    SendMessageA(HiddenRichEdit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
}

// Two RTF texts as one, with a plain separator between them.
std::string JoinTexts(const std::string& first, const std::string& separator, const std::string& second)
{
    if (!HiddenRichEdit)
        return std::string();
    StreamInRtf(HiddenRichEdit, first);
    AppendPlainText(HiddenRichEdit, separator);
    StartCardTextAtEnd();
    AppendRtf(HiddenRichEdit, second);
    return StreamOutRtf(HiddenRichEdit);
}

// Adds "label name" to a listing of file names, the folder left out.
void AppendLabeledValue(std::string& listing, const char* label, const std::string& value)
{
    if (value.empty())
        return;
    size_t slash = value.find_last_of('\\');
    if (!listing.empty())
        listing += ", ";
    listing += label;
    listing += slash == std::string::npos ? value : value.substr(slash + 1);
}

// True for RTF that a RichEdit control wrote (it names the control as its generator): such a text
// streams back in unchanged.
bool IsControlRtf(const std::string& text)
{
    size_t generator = text.find("{\\*\\generator ");
    if (generator == std::string::npos)
        return false;
    size_t end = text.find(';', generator);
    std::string name = text.substr(generator, end == std::string::npos ? std::string::npos : end - generator);
    return name.find("Riched20") != std::string::npos || name.find("Msftedit") != std::string::npos;
}

// Fills the converter with what the pair's display text holds. Texts the program's editor wrote
// are already in the converter's own RTF, so they go in directly instead of being written out and
// read back first; other texts take the way through their display text.
void LoadDisplayContent(const CardPair& pair)
{
    bool has1 = !pair.Text1.empty();
    bool has2 = !pair.Text2.empty();
    if (has1 && has2 && IsControlRtf(pair.Text1) && IsControlRtf(pair.Text2)) {
        LoadCardText(HiddenRichEdit, pair.Text1);
        AppendPlainText(HiddenRichEdit, ", ");
        StartCardTextAtEnd();
        AppendRtf(HiddenRichEdit, pair.Text2);
    } else if (has1 != has2) {
        LoadCardText(HiddenRichEdit, has1 ? pair.Text1 : pair.Text2);
    } else {
        StreamInRtf(HiddenRichEdit, PairDisplayText(pair, false, nullptr));
    }
}

// The converter's plain text in UTF-16, every character as it holds it. Its one line reads the
// same as a plain-text stream-out, at a small part of the cost.
std::wstring GetConverterText()
{
    GETTEXTLENGTHEX length = {GTL_USECRLF | GTL_NUMCHARS | GTL_PRECISE, 1200};
    LRESULT count = SendMessageA(HiddenRichEdit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
    std::wstring text(static_cast<size_t>(count > 0 ? count : 0) + 1, L'\0');
    GETTEXTEX get = {};
    get.cb = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    get.flags = GT_USECRLF;
    get.codepage = 1200;
    LRESULT got =
        SendMessageA(HiddenRichEdit, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

// Height in pixels of the converter's text laid out at the full width of the screen, for a memory
// DC compatible with the display (it has the display's resolution). The text is laid out only,
// not drawn: nobody would see the drawing, and the height is the same.
int MeasureConverterText(CardSetDialogParams& params)
{
    if (!params.MeasureDC) {
        HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
        params.MeasureDC = CreateCompatibleDC(display);
        DeleteDC(display);
    }
    FORMATRANGE range = {};
    range.hdc = params.MeasureDC;
    range.hdcTarget = params.MeasureDC;
    range.rc = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    PixelsToTwips(range.rc, params.MeasureDC);
    range.rcPage = range.rc;
    // The whole text, as selecting all would give it, without moving the selection.
    range.chrg.cpMin = 0;
    range.chrg.cpMax = -1;
    FormatRichTextRange(HiddenRichEdit, FALSE, &range);
    FormatRichTextRange(HiddenRichEdit, FALSE, nullptr);
    return TwipsToPixelsY(params.MeasureDC, range.rc.bottom);
}

void ReleaseMeasureDC(CardSetDialogParams& params)
{
    if (params.MeasureDC)
        DeleteDC(params.MeasureDC);
    params.MeasureDC = nullptr;
}

// Height of a line of the display's default font, in which listings are drawn.
int GetDefaultLineHeight()
{
    HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(display, &metrics);
    DeleteDC(display);
    return metrics.tmHeight;
}

// The plain text of a pair's display text without the converter, where its texts are one line
// each of the converter's own RTF; false otherwise.
bool ReadPairPlainText(const CardPair& pair, std::wstring& plain)
{
    bool has1 = !pair.Text1.empty(), has2 = !pair.Text2.empty();
    std::wstring first, second;
    if ((has1 && (!IsControlRtf(pair.Text1) || !ReadControlRtfPlainText(pair.Text1, first))) ||
        (has2 && (!IsControlRtf(pair.Text2) || !ReadControlRtfPlainText(pair.Text2, second))))
        return false;
    plain = has1 && has2 ? first + L", " + second : first + second;
    return true;
}

// Measures a pair with texts through the converter.
void MeasurePairView(CardSetDialogParams& params, size_t index)
{
    PairView& view = params.Views[index];
    LoadDisplayContent((*params.Cards)[index]);
    view.Height = MeasureConverterText(params);
    // A text that lays out to nothing (an empty RTF text) still gets a line to be selected by.
    if (view.Height <= 0)
        view.Height = GetDefaultLineHeight();
    view.HeightKnown = true;
    if (!params.ProvisionalHeight)
        params.ProvisionalHeight = view.Height;
}

const PairView& GetPairView(CardSetDialogParams& params, size_t index)
{
    if (params.Views.size() != params.Cards->size())
        params.Views.assign(params.Cards->size(), PairView());
    PairView& view = params.Views[index];
    if (view.Known)
        return view;
    const CardPair& pair = (*params.Cards)[index];
    view.Known = true;
    view.Rich = HiddenRichEdit && (!pair.Text1.empty() || !pair.Text2.empty());
    if (view.Rich) {
        // The sort needs every pair's plain text before the list shows; the heights of the pairs
        // out of sight are measured after the first paint (MeasureRemainingPairs).
        if (!ReadPairPlainText(pair, view.Plain)) {
            LoadDisplayContent(pair);
            view.Plain = GetConverterText();
            MeasurePairView(params, index);
        }
    } else {
        // A listing, or with no converter a text that shows as an empty line.
        view.Display = PairDisplayText(pair, false, nullptr);
        view.DisplayKnown = true;
    }
    return view;
}

// Gives the items from the first one on the list their measured heights, until measure items are
// measured (or all when measure is negative); true when every item is measured.
bool MeasureListItems(HWND dialog, int measure)
{
    CardSetDialogParams* params = GetDialogParams<CardSetDialogParams>(dialog);
    HWND list = GetDlgItem(dialog, IDC_CARDSET_LIST);
    if (!params)
        return true;
    int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int item = 0; item < count; ++item) {
        size_t index = static_cast<size_t>(SendMessageA(list, LB_GETITEMDATA, item, 0));
        if (index >= params->Views.size() || !params->Views[index].Rich || params->Views[index].HeightKnown)
            continue;
        if (measure-- == 0)
            return false;
        MeasurePairView(*params, index);
        SendMessageA(list, LB_SETITEMHEIGHT, item, params->Views[index].Height);
    }
    return true;
}

// Measures the pairs out of sight a few at a time from the dialog's timer, between its messages.
void CALLBACK MeasureRemainingPairs(HWND dialog, UINT, UINT_PTR timer, DWORD)
{
    HWND list = GetDlgItem(dialog, IDC_CARDSET_LIST);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    bool done = MeasureListItems(dialog, 25);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    if (done)
        KillTimer(dialog, timer);
}

// The display text of a pair, made when it is first drawn.
const std::string& GetDisplayText(CardSetDialogParams& params, size_t index)
{
    GetPairView(params, index);
    PairView& view = params.Views[index];
    if (!view.DisplayKnown) {
        view.Display = PairDisplayText((*params.Cards)[index], false, nullptr);
        view.DisplayKnown = true;
    }
    return view.Display;
}

void OnCardSetMeasureItem(HWND dialog, MEASUREITEMSTRUCT* measure)
{
    CardSetDialogParams* params = GetDialogParams<CardSetDialogParams>(dialog);
    if (!params || measure->CtlID != IDC_CARDSET_LIST || measure->itemData >= params->Cards->size())
        return;
    const PairView& view = GetPairView(*params, measure->itemData);
    if (view.Rich) {
        if (!view.HeightKnown && !params->ProvisionalHeight)
            MeasurePairView(*params, measure->itemData);
        measure->itemHeight = static_cast<UINT>(view.HeightKnown ? view.Height : params->ProvisionalHeight);
        return;
    }
    measure->itemHeight = static_cast<UINT>(GetDefaultLineHeight());
}

// Draws the converter's text into the item's rectangle, in white on blue when selected.
void DrawRichItem(const DRAWITEMSTRUCT* draw, bool selected)
{
    if (selected) {
        CHARFORMATA format = {};
        format.cbSize = sizeof format;
        format.dwMask = CFM_COLOR;
        format.crTextColor = SelectedText;
        SendMessageA(HiddenRichEdit, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
    }
    FORMATRANGE range = {};
    range.hdc = draw->hDC;
    range.hdcTarget = draw->hDC;
    range.rc = draw->rcItem;
    PixelsToTwips(range.rc, draw->hDC);
    range.rcPage = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    PixelsToTwips(range.rcPage, draw->hDC);
    SendMessageA(HiddenRichEdit, EM_SETSEL, 0, -1);
    SendMessageA(HiddenRichEdit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range.chrg));
    SendMessageA(HiddenRichEdit, EM_SETBKGNDCOLOR, 0, selected ? SelectedBackground : ItemBackground);
    FormatRichTextRange(HiddenRichEdit, TRUE, &range);
    FormatRichTextRange(HiddenRichEdit, TRUE, nullptr);
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
        if (!GetPairView(*params, draw->itemData).Rich) {
            const std::string& text = GetDisplayText(*params, draw->itemData);
            int oldMode = SetBkMode(draw->hDC, TRANSPARENT);
            COLORREF oldColor = selected ? SetTextColor(draw->hDC, SelectedText) : 0;
            TextOutA(draw->hDC, draw->rcItem.left, draw->rcItem.top, text.c_str(), static_cast<int>(text.size()));
            if (selected)
                SetTextColor(draw->hDC, oldColor);
            SetBkMode(draw->hDC, oldMode);
        } else {
            // What the display text holds, the converter's own RTF directly, as for measuring.
            LoadDisplayContent((*params->Cards)[draw->itemData]);
            DrawRichItem(draw, selected);
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
    const PairView& first = GetPairView(*params, compare->itemData1);
    const PairView& second = GetPairView(*params, compare->itemData2);
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
    int inSight = client.bottom / std::max(1, params->ProvisionalHeight ? params->ProvisionalHeight : 1) + 2;
    if (!MeasureListItems(dialog, inSight))
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
    params->Views.push_back(PairView());
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
    params->Views[index] = PairView();
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
    params->Views.resize(params->Cards->size());
    for (size_t at : selected) {
        params->Cards->erase(params->Cards->begin() + at);
        params->Views.erase(params->Views.begin() + at);
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
    params->Views.resize(params->Cards->size());
    params->Cards->insert(params->Cards->begin() + at, pairs.begin(), pairs.end());
    params->Views.insert(params->Views.begin() + at, pairs.size(), PairView());
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

std::string PairDisplayText(const CardPair& pair, bool quoted, bool* hasText)
{
    bool has1 = !pair.Text1.empty();
    bool has2 = !pair.Text2.empty();
    if (hasText)
        *hasText = has1 || has2;
    if (has1 && !has2)
        return quoted ? "\"" + NormalizeText(pair.Text1, true) + "\"" : NormalizeText(pair.Text1, false);
    if (!has1 && has2)
        return quoted ? "\"" + NormalizeText(pair.Text2, true) + "\"" : NormalizeText(pair.Text2, false);
    if (has1 && has2) {
        if (quoted)
            return "\"" + NormalizeText(pair.Text1, true) + "\", \"" + NormalizeText(pair.Text2, true) + "\"";
        std::string first = NormalizeText(pair.Text1, false);
        std::string second = NormalizeText(pair.Text2, false);
        return JoinTexts(first, ", ", second);
    }
    std::string listing;
    AppendLabeledValue(listing, "Picture 1: ", pair.PictureFileName1);
    AppendLabeledValue(listing, "Sound 1: ", pair.SoundFileName1);
    AppendLabeledValue(listing, "Video 1: ", pair.VideoFileName1);
    AppendLabeledValue(listing, "Picture 2: ", pair.PictureFileName2);
    AppendLabeledValue(listing, "Sound 2: ", pair.SoundFileName2);
    AppendLabeledValue(listing, "Video 2: ", pair.VideoFileName2);
    return listing;
}

int ShowCardSetDialog(HWND owner, const std::string& name, CardSet& cards)
{
    CardSetDialogParams* params = new CardSetDialogParams;
    params->Name = name;
    params->Cards = &cards;
    HiddenRichEdit = CreateHiddenRichEdit(GetModuleHandleA(nullptr));
    INT_PTR result = RunModalDialog(owner, "PROFILEDLG", CardSetDialogProc, params);
    DWORD error = GetLastError();
    ReleaseMeasureDC(*params);
    if (HiddenRichEdit)
        DestroyWindow(HiddenRichEdit);
    HiddenRichEdit = nullptr;
    delete params;
    if (result == -1) {
        char text[128];
        wsprintfA(text, "DialogBoxParam of PROFILEDLG failed, error code %d", static_cast<int>(error));
        MessageBoxA(owner, text, "Error", MB_ICONERROR);
        return 0;
    }
    return static_cast<int>(result);
}
