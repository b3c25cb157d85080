// Drawing a card: its bevel, and for a face-up card the picture, video room and fitted text.
#pragma once

#include "cardset/card_set.h"

#include <windows.h>

#include <string>

// Modes of DrawCardFace: draw on the DC, or only lay out and create or move the video window.
const int CardFacePaint = 1;
const int CardFacePlaceVideo = 2;

// Draws (or, in place-video mode, lays out) the card on dc.
void DrawCardFace(HWND card, HDC dc, int mode);
// Paints a card for WM_PAINT: the background and DrawCardFace, reusing the finished face of a
// face-up card while its client size, state and colour stay the same.
void PaintCard(HWND card, HDC dc);
// True when PaintCard draws the card's whole client area, background included, so that erasing
// it first would only be drawn over.
bool CardPaintCoversAll(HWND card);
// Draws the card's face-up face at its present size into what PaintCard keeps, when that is not
// there yet (or only stretched); a face-up card is then repainted. True when it drew a face.
// Cards whose picture is a metafile wait to be turned: its errors show then.
bool PrepareCardFace(HWND card);
// Frees what PaintCard keeps for a card; called when the card is destroyed.
void ReleaseCardPaintCache(HWND card);
// The one rich-text control that faces lay out their texts in while a game runs (otherwise each
// face makes its own); opened at the deal, closed when the game ends.
void OpenFaceTextControl(HINSTANCE instance);
void CloseFaceTextControl();
// Switches the reuse of finished faces and of the text control on (the default) or off, for
// measuring the difference.
void SetCardFaceCaching(bool enabled);

// The cards' background colour from the settings, read again only after the settings changed.
COLORREF GetCardBackgroundColor();

// Margin and bevel width of a card of the given client size.
int CardFaceMargin(int width, int height);
// The value a card shows of a field: the first card's, or for side 2 the second card's unless the
// second card is empty, when it shows the first card's.
std::string SelectCardFaceField(const CardPair& pair, int side, const std::string& first, const std::string& second);
// Places the picture at x (or centred when it is the only content) and, in paint mode, draws it;
// moves x past it. A picture that can't be loaded takes no room.
void DrawCardPicture(HDC dc, int width, int height, int margin, int& x, const std::string& text,
                     const std::string& videoFileName, int mode, const std::string& pictureFileName);
