// Cards on paper: 100 mm x 50 mm cards in rows and columns over as many pages as needed, each with
// a dashed cut line, a solid frame and its fitted text and picture.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// One card to print: its text (RTF or plain) and its picture file name, both as stored.
struct PrintItem {
    std::string Text;
    std::string PictureFileName;
};

using PrintList = std::vector<PrintItem>;
// Texts of the pictures that could not be printed, in the order they failed.
using PrintErrorList = std::vector<std::string>;

// A length in tenths of a millimetre as pixels of the device's horizontal or vertical resolution.
int TenthMmToPixelsX(HDC dc, int tenthMm);
int TenthMmToPixelsY(HDC dc, int tenthMm);

// Prints the cards as one document named documentName; failed pictures add to errors. When a
// document or page call fails the job is aborted and the result names the card set, the call and
// its error code; empty when the job went through.
std::string PrintCards(const std::string& documentName, HDC dc, const PrintList& items, int roundedCorners,
                       PrintErrorList& errors);

// Moves (x, y) to the next cell: to the right, else to the next row, else to a new page. The name
// of the page call that failed in starting the new page; null when none did.
const char* AdvanceCardPosition(HDC dc, int cellWidth, int cellHeight, int leftMargin, int topMargin, int gapAcross,
                                int gapDown, int& x, int& y);

// Draws one card with its cut line and frame in the cell whose top-left corner is (x, y).
void DrawPrintCard(HDC dc, const PrintItem& item, int x, int y, int cellWidth, int cellHeight, int cardWidth,
                   int cardHeight, int roundedCorners, PrintErrorList& errors);

// Draws a card text centred in the area at the largest point size at which it fits.
void DrawPrintText(HDC dc, int x, int y, int width, int height, const std::string& text);

// Draws a picture fitted and centred in the box, keeping its proportions. False with an error
// text when it cannot be drawn. The name may hold %VARIABLE% references.
bool DrawPrintPicture(HDC dc, int x, int y, int width, int height, const std::string& fileName, std::string& error);
bool DrawPrintBitmap(HDC dc, int x, int y, int width, int height, const std::string& fileName, std::string& error);
bool DrawPrintMetafile(HDC dc, int x, int y, int width, int height, const std::string& fileName, std::string& error);
