// What the card set dialog's list shows of each pair: its card texts through one hidden rich-text
// converter (the plain text it sorts by, its height, its drawing), or the listing of its files.
#include "editor/pair_view.h"

#include "editor/card_set_dialog.h"
#include "editor/rtf_plain_text.h"
#include "game/rich_text_layout.h"
#include "media/rich_text.h"

#include <richedit.h>

namespace {

// The converter of card texts while a card set dialog is open; null otherwise.
HWND HiddenRichEdit = nullptr;
bool KeepingLayouts = true;

const COLORREF ItemBackground = RGB(255, 255, 255);

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

// The screen's size as the views read it first.
const SIZE& GetScreenSize(PairViews& params)
{
    if (params.Screen.cx <= 0)
        params.Screen = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return params.Screen;
}

// True where what the converter's layout read can be kept and drawn again without it.
bool KeepsLayouts()
{
    return KeepingLayouts && RichTextFormatsByRuns();
}

// Height in pixels of the converter's text laid out at the full width of the screen, for a memory
// DC compatible with the display (it has the display's resolution). The text is laid out only,
// not drawn: nobody would see the drawing, and the height is the same. With keep, what the layout
// read is kept there.
int MeasureConverterText(PairViews& params, RichTextRuns* keep)
{
    if (!params.MeasureDC) {
        HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
        params.MeasureDC = CreateCompatibleDC(display);
        DeleteDC(display);
    }
    FORMATRANGE range = {};
    range.hdc = params.MeasureDC;
    range.hdcTarget = params.MeasureDC;
    const SIZE& screen = GetScreenSize(params);
    range.rc = {0, 0, screen.cx, screen.cy};
    PixelsToTwips(range.rc, params.MeasureDC);
    range.rcPage = range.rc;
    // The whole text, as selecting all would give it, without moving the selection.
    range.chrg.cpMin = 0;
    range.chrg.cpMax = -1;
    if (keep) {
        ReadAndFormatTextRuns(HiddenRichEdit, *keep, FALSE, &range);
    } else {
        FormatRichTextRange(HiddenRichEdit, FALSE, &range);
        FormatRichTextRange(HiddenRichEdit, FALSE, nullptr);
    }
    return TwipsToPixelsY(params.MeasureDC, range.rc.bottom);
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

} // namespace

bool OpenPairConverter()
{
    HiddenRichEdit = CreateHiddenRichEdit(GetModuleHandleA(nullptr));
    return HiddenRichEdit != nullptr;
}

void ClosePairConverter(PairViews& views)
{
    ReleaseMeasureDC(views);
    if (HiddenRichEdit)
        DestroyWindow(HiddenRichEdit);
    HiddenRichEdit = nullptr;
}

void ReleaseMeasureDC(PairViews& params)
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

// Measures a pair with texts through the converter.
void MeasurePairView(PairViews& params, size_t index, bool keep)
{
    PairView& view = params.Views[index];
    LoadDisplayContent((*params.Cards)[index]);
    if (keep && KeepsLayouts())
        view.Layout = std::make_shared<RichTextRuns>();
    view.Height = MeasureConverterText(params, view.Layout.get());
    // A text that lays out to nothing (an empty RTF text) still gets a line to be selected by.
    if (view.Height <= 0)
        view.Height = GetDefaultLineHeight();
    view.HeightKnown = true;
    if (!params.ProvisionalHeight)
        params.ProvisionalHeight = view.Height;
}

const PairView& GetPairView(PairViews& params, size_t index)
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
            view.Plain = GetRichTextW(HiddenRichEdit, true);
            MeasurePairView(params, index, false);
        }
    } else {
        // A listing, or with no converter a text that shows as an empty line.
        view.Display = PairDisplayText(pair, false, nullptr);
        view.DisplayKnown = true;
    }
    return view;
}

// The display text of a pair, made when it is first drawn.
const std::string& GetDisplayText(PairViews& params, size_t index)
{
    GetPairView(params, index);
    PairView& view = params.Views[index];
    if (!view.DisplayKnown) {
        view.Display = PairDisplayText((*params.Cards)[index], false, nullptr);
        view.DisplayKnown = true;
    }
    return view.Display;
}

// The range of an item's rectangle, as the converter's whole text is drawn into it.
FORMATRANGE ItemRange(PairViews& params, const DRAWITEMSTRUCT* draw)
{
    const SIZE& screen = GetScreenSize(params);
    FORMATRANGE range = {};
    range.hdc = draw->hDC;
    range.hdcTarget = draw->hDC;
    range.rc = draw->rcItem;
    PixelsToTwips(range.rc, draw->hDC);
    range.rcPage = {0, 0, screen.cx, screen.cy};
    PixelsToTwips(range.rcPage, draw->hDC);
    range.chrg.cpMin = 0;
    range.chrg.cpMax = -1;
    return range;
}

void DrawPairText(PairViews& params, size_t index, const DRAWITEMSTRUCT* draw, bool selected)
{
    PairView& view = params.Views[index];
    FORMATRANGE range = ItemRange(params, draw);
    // Kept when every paragraph was read (a text taller than the screen was measured only as far
    // as the screen reaches).
    if (!selected && KeepsLayouts() && view.Layout && view.Layout->AllParagraphs) {
        FormatTextRuns(*view.Layout, TRUE, &range);
        return;
    }
    // What the display text holds, the converter's own RTF directly, as for measuring.
    LoadDisplayContent((*params.Cards)[index]);
    if (!selected && KeepsLayouts()) {
        view.Layout = std::make_shared<RichTextRuns>();
        ReadAndFormatTextRuns(HiddenRichEdit, *view.Layout, TRUE, &range);
        return;
    }
    if (selected) {
        CHARFORMATA format = {};
        format.cbSize = sizeof format;
        format.dwMask = CFM_COLOR;
        format.crTextColor = SelectedText;
        SendMessageA(HiddenRichEdit, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
    }
    SendMessageA(HiddenRichEdit, EM_SETSEL, 0, -1);
    SendMessageA(HiddenRichEdit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range.chrg));
    SendMessageA(HiddenRichEdit, EM_SETBKGNDCOLOR, 0, selected ? SelectedBackground : ItemBackground);
    FormatRichTextRange(HiddenRichEdit, TRUE, &range);
    FormatRichTextRange(HiddenRichEdit, TRUE, nullptr);
}

void KeepPairLayouts(bool enabled)
{
    KeepingLayouts = enabled;
}

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
