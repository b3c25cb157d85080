// Cards on paper: page layout, cut lines, frames, and the text and picture of each card.
#include "print/print_layout.h"

#include "cardset/card_set.h"
#include "game/rich_text_layout.h"
#include "media/picture.h"
#include "media/rich_text.h"

#include <richedit.h>

namespace {

// Lengths on paper, in tenths of a millimetre.
const int CardHalfWidth = 500;
const int CardHeight = 500;
const int CellExtra = 50;
const int PageMargin = 100;
const int CellGap = 100;
const int CutLineWidth = 2;
const int FrameWidth = 10;
const int CornerSize = 100;
const int CutLineDash = 15;
const int CutLineGap = 5;
const int ContentInset = 10;
const int PictureTextGap = 10;

// Pen styles: geometric, dashed for the cut line and solid with square ends for the frame. The
// cut line's dashes are given as lengths of its own (1.5 mm dash, 0.5 mm gap) with flat ends:
// printer drivers that print the stock dash style of wide pens as a solid line (Wine's
// PostScript driver does) print these as dashes, and flat ends keep the gaps open.
const DWORD CutLinePenStyle = PS_GEOMETRIC | PS_ENDCAP_FLAT | PS_USERSTYLE;
const DWORD FramePenStyle = PS_GEOMETRIC | PS_ENDCAP_SQUARE | PS_SOLID;

// Draws the outline of a rectangle with a black geometric pen, rounded when asked; the inside is
// filled with the DC's current brush. A dashed pen takes its dash and gap lengths in pixels.
void DrawOutline(HDC dc, DWORD penStyle, int penWidth, const DWORD* dashes, const RECT& rect, bool rounded,
                 int cornerWidth, int cornerHeight)
{
    LOGBRUSH brush = {BS_SOLID, RGB(0, 0, 0), 0};
    HPEN pen = ExtCreatePen(penStyle, penWidth, &brush, dashes ? 2 : 0, dashes);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    if (rounded)
        RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, cornerWidth, cornerHeight);
    else
        Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

// Fits a picture of the given size into the box keeping its proportions, centred. False for a
// picture without width or height, which cannot be scaled.
bool FitPicture(int pictureWidth, int pictureHeight, int x, int y, int width, int height, RECT& fitted)
{
    if (pictureWidth <= 0 || pictureHeight <= 0)
        return false;
    double scale = static_cast<double>(height) / pictureHeight;
    int fittedWidth = static_cast<int>(pictureWidth * scale);
    int fittedHeight = static_cast<int>(pictureHeight * scale);
    if (fittedWidth > width) {
        scale = static_cast<double>(width) / pictureWidth;
        fittedWidth = static_cast<int>(pictureWidth * scale);
        fittedHeight = static_cast<int>(pictureHeight * scale);
    }
    fitted.left = x + width / 2 - fittedWidth / 2;
    fitted.top = y + height / 2 - fittedHeight / 2;
    fitted.right = fitted.left + fittedWidth;
    fitted.bottom = fitted.top + fittedHeight;
    return true;
}

// Error text for a picture that cannot be printed, naming its file.
std::string PictureError(const std::string& what, const std::string& fileName)
{
    return what + ", filename " + fileName;
}

} // namespace

int TenthMmToPixelsX(HDC dc, int tenthMm)
{
    return static_cast<int>(static_cast<unsigned>(GetDeviceCaps(dc, LOGPIXELSX)) * static_cast<unsigned>(tenthMm) /
                            254u);
}

int TenthMmToPixelsY(HDC dc, int tenthMm)
{
    return static_cast<int>(static_cast<unsigned>(GetDeviceCaps(dc, LOGPIXELSY)) * static_cast<unsigned>(tenthMm) /
                            254u);
}

std::string PrintCards(const std::string& documentName, HDC dc, const PrintList& items, int roundedCorners,
                       PrintErrorList& errors)
{
    DOCINFOA document = {};
    document.cbSize = sizeof document;
    document.lpszDocName = documentName.c_str();
    // Mended: the results of the document and page calls were not examined, so a job that failed
    // at its start or midway was drawn to its end and the user was told nothing.
    const char* failed = StartDocA(dc, &document) > 0 ? nullptr : "StartDoc";
    if (!failed && StartPage(dc) <= 0)
        failed = "StartPage";

    int cardWidth = 2 * TenthMmToPixelsX(dc, CardHalfWidth);
    int cardHeight = TenthMmToPixelsY(dc, CardHeight);
    int cellWidth = cardWidth + TenthMmToPixelsX(dc, CellExtra);
    int cellHeight = cardHeight + TenthMmToPixelsY(dc, CellExtra);
    int leftMargin = TenthMmToPixelsX(dc, PageMargin);
    int topMargin = TenthMmToPixelsY(dc, PageMargin);
    int gapAcross = TenthMmToPixelsX(dc, CellGap);
    int gapDown = TenthMmToPixelsY(dc, CellGap);

    int x = leftMargin;
    int y = topMargin;
    for (size_t i = 0; i < items.size() && !failed; ++i) {
        if (i > 0)
            failed = AdvanceCardPosition(dc, cellWidth, cellHeight, leftMargin, topMargin, gapAcross, gapDown, x, y);
        if (!failed)
            DrawPrintCard(dc, items[i], x, y, cellWidth, cellHeight, cardWidth, cardHeight, roundedCorners, errors);
    }
    if (!failed && EndPage(dc) <= 0)
        failed = "EndPage";
    if (!failed && EndDoc(dc) <= 0)
        failed = "EndDoc";
    if (!failed)
        return "";
    DWORD code = GetLastError();
    AbortDoc(dc);
    return std::string(failed) + " of card set \"" + documentName + "\" failed, error code " +
           std::to_string(static_cast<int>(code));
}

const char* AdvanceCardPosition(HDC dc, int cellWidth, int cellHeight, int leftMargin, int topMargin, int gapAcross,
                                int gapDown, int& x, int& y)
{
    int pageWidth = GetDeviceCaps(dc, HORZRES);
    int pageHeight = GetDeviceCaps(dc, VERTRES);
    if (x + cellWidth + gapAcross + cellWidth < pageWidth - leftMargin) {
        x += cellWidth + gapAcross;
        return nullptr;
    }
    x = leftMargin;
    if (y + cellHeight + gapDown + cellHeight < pageHeight - topMargin) {
        y += cellHeight + gapDown;
        return nullptr;
    }
    y = topMargin;
    if (EndPage(dc) <= 0)
        return "EndPage";
    return StartPage(dc) > 0 ? nullptr : "StartPage";
}

void DrawPrintCard(HDC dc, const PrintItem& item, int x, int y, int cellWidth, int cellHeight, int cardWidth,
                   int cardHeight, int roundedCorners, PrintErrorList& errors)
{
    bool rounded = roundedCorners != 0;
    int cornerWidth = TenthMmToPixelsX(dc, CornerSize);
    int cornerHeight = TenthMmToPixelsY(dc, CornerSize);

    RECT cell = {x, y, x + cellWidth, y + cellHeight};
    DWORD dashes[2] = {static_cast<DWORD>(TenthMmToPixelsX(dc, CutLineDash)),
                       static_cast<DWORD>(TenthMmToPixelsX(dc, CutLineGap))};
    DrawOutline(dc, CutLinePenStyle, TenthMmToPixelsX(dc, CutLineWidth), dashes, cell, rounded, cornerWidth,
                cornerHeight);

    RECT card;
    card.left = x + cellWidth / 2 - cardWidth / 2;
    card.top = y + cellHeight / 2 - cardHeight / 2;
    card.right = card.left + cardWidth;
    card.bottom = card.top + cardHeight;
    DrawOutline(dc, FramePenStyle, TenthMmToPixelsX(dc, FrameWidth), nullptr, card, rounded, cornerWidth, cornerHeight);

    int insetX = TenthMmToPixelsX(dc, ContentInset);
    int insetY = TenthMmToPixelsY(dc, ContentInset);
    int contentLeft = card.left + insetX;
    int contentTop = card.top + insetY;
    int contentWidth = cardWidth - 2 * insetX;
    int contentHeight = cardHeight - 2 * insetY;

    // The content is clipped to the inside of the frame, corners included.
    int saved = SaveDC(dc);
    HRGN clip = rounded
                    ? CreateRoundRectRgn(contentLeft, contentTop, contentLeft + contentWidth,
                                         contentTop + contentHeight, cornerWidth, cornerHeight)
                    : CreateRectRgn(contentLeft, contentTop, contentLeft + contentWidth, contentTop + contentHeight);
    SelectClipRgn(dc, clip);
    DeleteObject(clip);

    bool hasText = !item.Text.empty();
    bool hasPicture = !item.PictureFileName.empty();
    std::string error;
    if (hasText && hasPicture) {
        int half = contentWidth / 2;
        int gap = TenthMmToPixelsX(dc, PictureTextGap);
        if (!DrawPrintPicture(dc, contentLeft, contentTop, half, contentHeight, item.PictureFileName, error))
            errors.push_back(error);
        DrawPrintText(dc, contentLeft + half + gap, contentTop, half - gap, contentHeight, item.Text);
    } else if (hasText) {
        DrawPrintText(dc, contentLeft, contentTop, contentWidth, contentHeight, item.Text);
    } else if (hasPicture) {
        if (!DrawPrintPicture(dc, contentLeft, contentTop, contentWidth, contentHeight, item.PictureFileName, error))
            errors.push_back(error);
    }

    RestoreDC(dc, saved);
}

void DrawPrintText(HDC dc, int x, int y, int width, int height, const std::string& text)
{
    HWND richEdit = CreateHiddenRichEdit(GetModuleHandleA(nullptr));
    if (!richEdit)
        return;
    // Loaded as the card face loads it, so that paper shows the card's text as the board does.
    LoadCardText(richEdit, text);
    GETTEXTLENGTHEX lengthQuery = {GTL_DEFAULT, 1200};
    int length =
        static_cast<int>(SendMessageA(richEdit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&lengthQuery), 0));

    RECT area = {x, y, x + width, y + height};
    int points = FitRichTextPointSize(richEdit, dc, area, length);
    // A text too long for one line even at 1 point is printed at 1 point, cut by the clipping.
    if (points < 1)
        points = 1;
    SetRichTextPointSize(richEdit, points);
    int textHeight = MeasureRichTextHeight(richEdit, dc);

    // Centred on the area's vertical middle.
    RECT rect;
    rect.left = x;
    rect.right = x + width;
    rect.top = y + height / 2 - textHeight / 2;
    rect.bottom = 2 * y + height - rect.top;

    CenterRichTextParagraphs(richEdit);
    RenderRichText(richEdit, dc, dc, rect, false, nullptr);
    DestroyWindow(richEdit);
}

bool DrawPrintPicture(HDC dc, int x, int y, int width, int height, const std::string& fileName, std::string& error)
{
    // The card on the board shows the picture of the expanded name; so does the card on paper.
    std::string expanded = fileName;
    ExpandFileName(expanded);
    if (IsEnhancedMetafileName(expanded))
        return DrawPrintMetafile(dc, x, y, width, height, expanded, error);
    return DrawPrintBitmap(dc, x, y, width, height, expanded, error);
}

bool DrawPrintBitmap(HDC dc, int x, int y, int width, int height, const std::string& fileName, std::string& error)
{
    HBITMAP bitmap = LoadPictureBitmap(fileName, error);
    if (!bitmap) {
        // The decoder leaves no text when only the final bitmap could not be made.
        if (error.empty())
            error = PictureError("CreateDIBitmap failed", fileName);
        return false;
    }
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    RECT fitted;
    if (!FitPicture(info.bmWidth, info.bmHeight, x, y, width, height, fitted)) {
        DeleteObject(bitmap);
        error = PictureError("Picture has no width or height", fileName);
        return false;
    }

    int oldMode = SetStretchBltMode(dc, HALFTONE);
    POINT oldOrigin;
    SetBrushOrgEx(dc, 0, 0, &oldOrigin);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    StretchBlt(dc, fitted.left, fitted.top, fitted.right - fitted.left, fitted.bottom - fitted.top, memory, 0, 0,
               info.bmWidth, info.bmHeight, SRCCOPY);
    SelectObject(memory, oldBitmap);
    DeleteDC(memory);
    DeleteObject(bitmap);
    SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
    SetStretchBltMode(dc, oldMode);
    return true;
}

bool DrawPrintMetafile(HDC dc, int x, int y, int width, int height, const std::string& fileName, std::string& error)
{
    int pictureWidth = 0;
    int pictureHeight = 0;
    if (!GetEnhancedMetafileSize(fileName, pictureWidth, pictureHeight)) {
        error = PictureError("GetEnhMetaFile failed", fileName);
        return false;
    }
    RECT fitted;
    if (!FitPicture(pictureWidth, pictureHeight, x, y, width, height, fitted)) {
        error = PictureError("Picture has no width or height", fileName);
        return false;
    }
    DrawEnhancedMetafile(fileName, dc, fitted.left, fitted.top, fitted.right - fitted.left, fitted.bottom - fitted.top);
    return true;
}
