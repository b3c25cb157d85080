// Card faces: the bevel of every card and the face of a turned card, with its picture, the room
// of its video and its text fitted to what is left.
#include "game/card_face.h"

#include "app/settings.h"
#include "game/board.h"
#include "game/card_button.h"
#include "game/face_cache.h"
#include "game/rich_text_layout.h"
#include "media/picture.h"
#include "media/rich_text.h"
#include "media/video_player.h"

#include <algorithm>
#include <climits>
#include <map>

namespace {

bool CachingFaces = true;
// The rich-text control the faces of a game lay out their texts in (making one for each face took
// about as long as laying its text out).
HWND FaceTextControl = nullptr;

// The card colour as last read, and a watch on the settings key that tells when to read it again.
COLORREF KnownBackground = 0;
HKEY WatchedSettings = nullptr;
HANDLE SettingsChanged = nullptr;

// What a kept face was drawn from: while all of it stays the same, so does the face.
struct FaceKey {
    int Width;
    int Height;
    int PairIndex;
    int Side;
    COLORREF Background;
    const CardSet* Cards;
};

// A finished face of a face-up card, kept for repaints while nothing it depends on changes.
struct CachedFace {
    HDC Memory; // holds Bitmap while the face is kept
    HBITMAP Bitmap;
    HGDIOBJ OldBitmap;
    FaceKey Key;
};

// The faces of one card, normal and pressed, and the exact face of an earlier size that stands in,
// stretched, while the board's size changes.
struct CardPaintCache {
    // The card set of the card's game, once known: a card lives in one game (a new deal makes new
    // cards), and asking the board for it is a request to the window server on some platforms.
    const CardSet* Cards = nullptr;
    CachedFace Faces[2];
    CachedFace Source;
};

// Each card's kept faces, found without asking the window system (a property is a request to the
// server behind every window on some platforms, made for every card at every paint).
std::map<HWND, CardPaintCache*> PaintCaches;

// A scaled length, truncated toward zero; lengths beyond what GDI can draw are cut.
int ScaleLength(int length, double scale)
{
    double scaled = length * scale;
    if (!(scaled > 0))
        return 0;
    return scaled >= INT_MAX / 4 ? INT_MAX / 4 : static_cast<int>(scaled);
}

void DrawBevel(HDC dc, int width, int height, int margin, bool pressed)
{
    HPEN grey = pressed ? CreatePen(PS_SOLID, 1, RGB(128, 128, 128)) : nullptr;
    HGDIOBJ old = SelectObject(dc, pressed ? static_cast<HGDIOBJ>(grey) : GetStockObject(WHITE_PEN));
    for (int i = 0; i < margin; ++i) {
        if (pressed) {
            MoveToEx(dc, width, height - i, nullptr);
            LineTo(dc, i, height - i);
            MoveToEx(dc, width - i, height, nullptr);
            LineTo(dc, width - i, i);
        } else {
            MoveToEx(dc, 0, i, nullptr);
            LineTo(dc, width - i, i);
            MoveToEx(dc, i, 0, nullptr);
            LineTo(dc, i, height - i);
        }
    }
    SelectObject(dc, old);
    if (grey)
        DeleteObject(grey);
}

// Places the video beside what is already on the card; in place-video mode creates or moves the
// card's video window there.
void PlaceCardVideo(HWND card, int width, int height, int margin, int& x, const std::string& text,
                    const std::string& pictureFileName, const std::string& videoFileName, int mode)
{
    int nativeWidth = 0, nativeHeight = 0;
    std::string error;
    if (!GetVideoSize(videoFileName, nativeWidth, nativeHeight, error) || nativeWidth <= 0 || nativeHeight <= 0)
        return;
    double scale = static_cast<double>(height - 2 * margin - 10) / nativeHeight;
    int videoWidth = ScaleLength(nativeWidth, scale);
    int videoHeight = ScaleLength(nativeHeight, scale);
    int left = x == margin && text.empty() && pictureFileName.empty() ? width / 2 - videoWidth / 2 : x;
    int top = height / 2 - videoHeight / 2;
    if (mode == CardFacePlaceVideo) {
        HWND video = GetDlgItem(card, CardVideoId);
        if (!video)
            CreateVideoWindow(left, top, videoWidth, videoHeight, card, CardVideoId, videoFileName.c_str());
        else
            MoveWindow(video, left, top, videoWidth, videoHeight, TRUE);
    }
    x += videoWidth + margin;
}

// Draws the text fitted into the rest of the card, centred vertically, and centred across when it
// is the only content.
void DrawCardText(HWND card, HDC dc, int width, int height, int margin, int x, const std::string& text)
{
    RECT area = {x, margin, width - margin, height - margin};
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(card, GWLP_HINSTANCE));
    bool kept = CachingFaces && FaceTextControl;
    HWND richEdit = kept ? FaceTextControl : CreateHiddenRichEdit(instance);
    if (!richEdit)
        return;
    LoadCardText(richEdit, text);
    GETTEXTLENGTHEX length = {GTL_DEFAULT, 1200};
    int textLength = static_cast<int>(SendMessageA(richEdit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
    int points = FitRichTextPointSize(richEdit, dc, area, textLength);
    SetRichTextPointSize(richEdit, points);
    int textHeight = MeasureRichTextHeight(richEdit, dc);
    int top = (height - 2 * margin) / 2 + margin - textHeight / 2;
    // Never shorter than the text: halving both heights may otherwise lose its last pixel row,
    // and with it the last line.
    RECT drawing = {x, top, width - margin, std::max(height - top, top + textHeight)};
    if (x == margin)
        CenterRichTextParagraphs(richEdit);
    int saved = SaveDC(dc);
    IntersectClipRect(dc, margin, margin, width - margin, height - margin);
    RenderRichText(richEdit, dc, dc, drawing, true, nullptr);
    RestoreDC(dc, saved);
    if (!kept)
        DestroyWindow(richEdit);
}

// The large "X" of a card with neither text nor picture.
void DrawEmptyMark(HDC dc, int width, int height, int mode)
{
    LOGFONTA logFont = {};
    logFont.lfHeight = height - height / 4;
    lstrcpyA(logFont.lfFaceName, "Tahoma");
    HFONT font = CreateFontIndirectA(&logFont);
    HGDIOBJ old = SelectObject(dc, font);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    SIZE extent = {};
    GetTextExtentPointA(dc, "X", 1, &extent);
    if (mode == CardFacePaint)
        TextOutA(dc, width / 2 - extent.cx / 2, height / 2 - extent.cy / 2, "X", 1);
    SetBkMode(dc, oldMode);
    SelectObject(dc, old);
    DeleteObject(font);
}

void ReleaseFace(CachedFace& face)
{
    if (face.Memory) {
        SelectObject(face.Memory, face.OldBitmap);
        DeleteDC(face.Memory);
    }
    if (face.Bitmap)
        DeleteObject(face.Bitmap);
    face = CachedFace();
}

} // namespace

COLORREF GetCardBackgroundColor()
{
    if (WatchedSettings && WaitForSingleObject(SettingsChanged, 0) == WAIT_TIMEOUT)
        return KnownBackground;
    if (WatchedSettings) {
        RegCloseKey(WatchedSettings);
        WatchedSettings = nullptr;
    }
    if (!SettingsChanged)
        SettingsChanged = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    // Watched before reading, so that a change made while reading is not missed. The key above the
    // program's is watched with all below it: a watch on a key that is deleted may never fire.
    HKEY key = nullptr;
    if (SettingsChanged && RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Quillon", 0, nullptr, 0, KEY_NOTIFY, nullptr,
                                           &key, nullptr) == ERROR_SUCCESS) {
        if (RegNotifyChangeKeyValue(key, TRUE, REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET, SettingsChanged,
                                    TRUE) == ERROR_SUCCESS)
            WatchedSettings = key;
        else
            RegCloseKey(key);
    }
    KnownBackground = GetButtonBackgroundColor();
    return KnownBackground;
}

int CardFaceMargin(int width, int height)
{
    int margin = std::min(width / 40, height / 40);
    return margin < 3 ? 3 : margin;
}

std::string SelectCardFaceField(const CardPair& pair, int side, const std::string& first, const std::string& second)
{
    if (side != 2 || IsSecondCardEmpty(pair))
        return first;
    return second;
}

void DrawCardPicture(HDC dc, int width, int height, int margin, int& x, const std::string& text,
                     const std::string& videoFileName, int mode, const std::string& pictureFileName)
{
    bool alone = x == margin && text.empty() && videoFileName.empty();
    if (IsEnhancedMetafileName(pictureFileName)) {
        int w = 0, h = 0;
        // A metafile without height (or with inverted bounds) takes no room.
        if (!GetEnhancedMetafileSize(pictureFileName, w, h) || w <= 0 || h <= 0)
            return;
        double scale = static_cast<double>(height) / h;
        int pictureWidth = ScaleLength(w, scale);
        int pictureHeight = ScaleLength(h, scale);
        if (pictureWidth > width) {
            scale = static_cast<double>(width) / w;
            pictureWidth = ScaleLength(w, scale);
            pictureHeight = ScaleLength(h, scale);
        }
        int left = alone ? width / 2 - pictureWidth / 2 : x;
        int top = height / 2 - pictureHeight / 2;
        if (mode == CardFacePaint)
            DrawEnhancedMetafile(pictureFileName, dc, left, top, pictureWidth, pictureHeight);
        x += pictureWidth + margin;
        return;
    }
    bool release = true;
    HBITMAP bitmap = UseCardPicture(pictureFileName, release);
    if (!bitmap)
        return;
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    if (info.bmWidth <= 0 || info.bmHeight <= 0) {
        if (release)
            DeleteObject(bitmap);
        return;
    }
    double scale = static_cast<double>(height - 2 * margin - 10) / info.bmHeight;
    int pictureWidth = ScaleLength(info.bmWidth, scale);
    int pictureHeight = ScaleLength(info.bmHeight, scale);
    int left = alone ? width / 2 - pictureWidth / 2 : x;
    int top = height / 2 - pictureHeight / 2;
    if (mode == CardFacePaint) {
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, bitmap);
        int oldMode = SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, left, top, pictureWidth, pictureHeight, memory, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
        SetStretchBltMode(dc, oldMode);
        SelectObject(memory, old);
        DeleteDC(memory);
    }
    if (release)
        DeleteObject(bitmap);
    x += pictureWidth + margin;
}

// DrawCardFace for the card as if it were face up or down, pressed or not.
static void DrawCardFaceAs(HWND card, HDC dc, int mode, bool faceUp, bool pressed)
{
    RECT client;
    GetClientRect(card, &client);
    int width = client.right, height = client.bottom;
    int margin = CardFaceMargin(width, height);
    if (mode == CardFacePaint)
        DrawBevel(dc, width, height, margin, pressed);
    int pairIndex = GetWindowLongA(card, PairIndexSlot);
    const CardSet* cards = GetBoardCardSet(card);
    if (!faceUp || pairIndex < 0 || !cards || static_cast<size_t>(pairIndex) >= cards->size())
        return;
    CardPair pair = (*cards)[pairIndex];
    int side = GetWindowLongA(card, SideSlot);
    std::string picture = SelectCardFaceField(pair, side, pair.PictureFileName1, pair.PictureFileName2);
    std::string video = SelectCardFaceField(pair, side, pair.VideoFileName1, pair.VideoFileName2);
    std::string text = SelectCardFaceField(pair, side, pair.Text1, pair.Text2);
    // Laying out a face only to place its video is pointless without a video (and would decode
    // the picture once more on every turn).
    if (mode == CardFacePlaceVideo && video.empty())
        return;
    int x = margin;
    if (!picture.empty()) {
        ExpandFileName(picture);
        DrawCardPicture(dc, width, height, margin, x, text, video, mode, picture);
    }
    if (!video.empty()) {
        ExpandFileName(video);
        PlaceCardVideo(card, width, height, margin, x, text, picture, video, mode);
    }
    if (mode == CardFacePaint && !text.empty())
        DrawCardText(card, dc, width, height, margin, x, text);
    if (text.empty() && picture.empty())
        DrawEmptyMark(dc, width, height, mode);
}

void DrawCardFace(HWND card, HDC dc, int mode)
{
    DrawCardFaceAs(card, dc, mode, GetWindowLongA(card, FaceUpSlot) != 0, GetWindowLongA(card, PressedSlot) != 0);
}

bool CardPaintCoversAll(HWND card)
{
    return CachingFaces && GetWindowLongA(card, FaceUpSlot) != 0 && GetWindowLongA(card, PairIndexSlot) >= 0;
}

static FaceKey CurrentFaceKey(HWND card, const RECT& client, CardPaintCache& cache)
{
    if (!cache.Cards)
        cache.Cards = GetBoardCardSet(card);
    return {client.right,
            client.bottom,
            GetWindowLongA(card, PairIndexSlot),
            GetWindowLongA(card, SideSlot),
            GetCardBackgroundColor(),
            cache.Cards};
}

static bool SameContent(const FaceKey& a, const FaceKey& b)
{
    return a.PairIndex == b.PairIndex && a.Side == b.Side && a.Background == b.Background && a.Cards == b.Cards;
}

static bool SameFace(const CachedFace& face, const FaceKey& key)
{
    return face.Memory && SameContent(face.Key, key) && face.Key.Width == key.Width && face.Key.Height == key.Height;
}

static CardPaintCache* GetPaintCache(HWND card)
{
    CardPaintCache*& cache = PaintCaches[card];
    if (!cache)
        cache = new CardPaintCache();
    return cache;
}

// A kept bitmap of the key's size, compatible with the DC; false when GDI has no room for it.
static bool NewFace(HDC like, const FaceKey& key, CachedFace& face)
{
    HDC memory = CreateCompatibleDC(like);
    HBITMAP bitmap = CreateCompatibleBitmap(like, key.Width, key.Height);
    if (!memory || !bitmap) {
        if (memory)
            DeleteDC(memory);
        if (bitmap)
            DeleteObject(bitmap);
        return false;
    }
    face = {memory, bitmap, SelectObject(memory, bitmap), key};
    return true;
}

// Draws the face-up face into a new kept face: the same drawing as an uncached paint, the erased
// background, then the face.
static bool MakeExactFace(HWND card, HDC like, const FaceKey& key, bool pressed, CachedFace& face)
{
    if (!NewFace(like, key, face))
        return false;
    RECT all = {0, 0, key.Width, key.Height};
    HBRUSH brush = CreateSolidBrush(key.Background);
    FillRect(face.Memory, &all, brush);
    DeleteObject(brush);
    DrawCardFaceAs(card, face.Memory, CardFacePaint, true, pressed);
    return true;
}

// While the board's size changes, the normal face is the last exact one stretched straight onto
// the DC: twenty stretches instead of twenty faces laid out per step, and no bitmap made for a face
// shown only briefly. False when there is no exact face of this content.
static bool StretchKeptFace(CardPaintCache& cache, HDC dc, const FaceKey& key)
{
    CachedFace& face = cache.Faces[0];
    if (face.Memory && SameContent(face.Key, key)) {
        ReleaseFace(cache.Source);
        cache.Source = face;
        face = CachedFace();
    }
    if (!cache.Source.Memory || !SameContent(cache.Source.Key, key))
        return false;
    // The plain stretch: a smoothed one costs several times as much.
    int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, 0, 0, key.Width, key.Height, cache.Source.Memory, 0, 0, cache.Source.Key.Width,
               cache.Source.Key.Height, SRCCOPY);
    SetStretchBltMode(dc, oldMode);
    return true;
}

// The background and face of a card, from the kept face when nothing it depends on changed.
static void PaintCardFace(HWND card, HDC dc)
{
    RECT client;
    GetClientRect(card, &client);
    if (!CardPaintCoversAll(card) || client.right <= 0 || client.bottom <= 0) {
        DrawCardFace(card, dc, CardFacePaint);
        return;
    }
    CardPaintCache* cache = GetPaintCache(card);
    bool pressed = GetWindowLongA(card, PressedSlot) != 0;
    CachedFace& face = cache->Faces[pressed ? 1 : 0];
    FaceKey key = CurrentFaceKey(card, client, *cache);
    if (!SameFace(face, key)) {
        if (!pressed && IsBoardResizing(GetParent(card)) && StretchKeptFace(*cache, dc, key))
            return;
        ReleaseFace(face);
        if (!pressed)
            ReleaseFace(cache->Source);
        if (!MakeExactFace(card, dc, key, pressed, face)) {
            HBRUSH brush = CreateSolidBrush(key.Background);
            FillRect(dc, &client, brush);
            DeleteObject(brush);
            DrawCardFace(card, dc, CardFacePaint);
            return;
        }
    }
    BitBlt(dc, 0, 0, client.right, client.bottom, face.Memory, 0, 0, SRCCOPY);
}

bool PrepareCardFace(HWND card)
{
    RECT client;
    GetClientRect(card, &client);
    int pairIndex = GetWindowLongA(card, PairIndexSlot);
    const CardSet* cards = GetBoardCardSet(card);
    if (!CachingFaces || client.right <= 0 || client.bottom <= 0 || pairIndex < 0 || !cards ||
        static_cast<size_t>(pairIndex) >= cards->size())
        return false;
    bool faceUp = GetWindowLongA(card, FaceUpSlot) != 0;
    CardPaintCache* cache = GetPaintCache(card);
    FaceKey key = CurrentFaceKey(card, client, *cache);
    if (SameFace(cache->Faces[0], key))
        return false;
    if (!faceUp) {
        // A metafile that fails to play says so in a box: not before the card is turned.
        const CardPair& pair = (*cards)[pairIndex];
        std::string picture = SelectCardFaceField(pair, key.Side, pair.PictureFileName1, pair.PictureFileName2);
        ExpandFileName(picture);
        if (IsEnhancedMetafileName(picture))
            return false;
    }
    HDC dc = GetDC(card);
    CachedFace made = CachedFace();
    BeginPaintingPictures();
    bool drawn = MakeExactFace(card, dc, key, false, made);
    EndPaintingPictures();
    ReleaseDC(card, dc);
    if (!drawn)
        return false;
    ReleaseFace(cache->Faces[0]);
    ReleaseFace(cache->Source);
    cache->Faces[0] = made;
    if (faceUp)
        InvalidateRect(card, nullptr, FALSE);
    return true;
}

void PaintCard(HWND card, HDC dc)
{
    // No message box may run inside the paint: picture errors are shown after it.
    BeginPaintingPictures();
    PaintCardFace(card, dc);
    EndPaintingPictures();
    DrawCardFocusMark(card, dc);
}

void ReleaseCardPaintCache(HWND card)
{
    auto kept = PaintCaches.find(card);
    if (kept == PaintCaches.end())
        return;
    CardPaintCache* cache = kept->second;
    PaintCaches.erase(kept);
    for (CachedFace& face : cache->Faces)
        ReleaseFace(face);
    ReleaseFace(cache->Source);
    delete cache;
}

void OpenFaceTextControl(HINSTANCE instance)
{
    if (!FaceTextControl)
        FaceTextControl = CreateHiddenRichEdit(instance);
}

void CloseFaceTextControl()
{
    if (FaceTextControl)
        DestroyWindow(FaceTextControl);
    FaceTextControl = nullptr;
}

void SetCardFaceCaching(bool enabled)
{
    CachingFaces = enabled;
    KeepCardPictures(enabled);
}
