// Faces made ahead: after a deal, idle work decodes each card's picture, learns its video's size
// and draws its face, one card's piece at a time; a change of the board's size drops that work
// and, once the size has settled, queues the exact faces of the new size. Decoded pictures are
// kept per file for the game, within a memory budget.
#include "game/face_cache.h"

#include "cardset/card_set.h"
#include "game/board.h"
#include "game/card_button.h"
#include "game/card_face.h"
#include "game/idle_work.h"
#include "media/picture.h"
#include "media/video_player.h"

#include <map>
#include <set>

namespace {

// Bytes of decoded pictures kept at most (twenty photos of 1024 x 768, at 4 bytes a pixel).
const unsigned long long PictureBudget = 64ull << 20;
const UINT_PTR SettleTimerId = 0x4D53;

struct KeptPicture {
    HBITMAP Bitmap; // null when the file could not be decoded or was beyond the budget
    bool Decodes;
};

bool KeepingPictures = true;
std::map<std::string, KeptPicture> KeptPictures;
unsigned long long KeptBytes = 0;
// Video files whose size was asked in idle time this game.
std::set<std::string> AskedVideos;
std::set<HWND> ResizingBoards;
// Each board's client size as last laid out.
std::map<HWND, SIZE> BoardSizes;

// The card's picture and video files as its face uses them; false for a card without a pair.
bool GetCardFiles(HWND card, std::string& picture, std::string& video)
{
    const CardSet* cards = GetBoardCardSet(card);
    int pairIndex = GetWindowLongA(card, PairIndexSlot);
    if (!cards || pairIndex < 0 || static_cast<size_t>(pairIndex) >= cards->size())
        return false;
    const CardPair& pair = (*cards)[pairIndex];
    int side = GetWindowLongA(card, SideSlot);
    picture = SelectCardFaceField(pair, side, pair.PictureFileName1, pair.PictureFileName2);
    video = SelectCardFaceField(pair, side, pair.VideoFileName1, pair.VideoFileName2);
    ExpandFileName(picture);
    ExpandFileName(video);
    return true;
}

// One piece of a board's faces: the next card's picture, video size or face, in card order.
bool PrepareNextFace(HWND board)
{
    for (int id = 1;; ++id) {
        HWND card = GetDlgItem(board, id);
        if (!card)
            return false;
        std::string picture, video;
        if (!GetCardFiles(card, picture, video))
            continue;
        if (KeepingPictures && !picture.empty() && !IsEnhancedMetafileName(picture) && !KeptPictures.count(picture)) {
            bool release = false;
            HBITMAP bitmap = UseCardPicture(picture, release);
            if (release)
                DeleteObject(bitmap);
            return true;
        }
        if (!video.empty() && AskedVideos.insert(video).second) {
            int width = 0, height = 0;
            std::string error;
            GetVideoSize(video, width, height, error);
            return true;
        }
        if (PrepareCardFace(card))
            return true;
    }
}

void CALLBACK OnSizeSettled(HWND board, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(board, timer);
    ResizingBoards.erase(board);
    ScheduleIdleWork(board, PrepareNextFace);
}

} // namespace

void PrepareBoardFaces(HWND board)
{
    ReleaseKeptPictures();
    OpenFaceTextControl(reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(board, GWLP_HINSTANCE)));
    AskedVideos.clear();
    ScheduleIdleWork(board, PrepareNextFace);
}

void ForgetBoardFaces(HWND board)
{
    DropIdleWork(board);
    KillTimer(board, SettleTimerId);
    ResizingBoards.erase(board);
    BoardSizes.erase(board);
    ReleaseKeptPictures();
    CloseFaceTextControl();
    AskedVideos.clear();
}

void NoteBoardResized(HWND board, int width, int height)
{
    SIZE& known = BoardSizes[board];
    bool changed = known.cx != width || known.cy != height;
    known = {width, height};
    // Without cards (no game) or without a change there is nothing to stretch or to make anew.
    if (!changed || !GetDlgItem(board, 1))
        return;
    DropIdleWork(board);
    ResizingBoards.insert(board);
    SetTimer(board, SettleTimerId, SettleMilliseconds, OnSizeSettled);
}

bool IsBoardResizing(HWND board)
{
    return ResizingBoards.count(board) != 0;
}

bool BoardFacesSettled(HWND board)
{
    return !IsBoardResizing(board) && !HasIdleWork(board);
}

HBITMAP UseCardPicture(const std::string& fileName, bool& release)
{
    release = true;
    auto kept = KeptPictures.find(fileName);
    if (kept != KeptPictures.end() && (kept->second.Bitmap || !kept->second.Decodes)) {
        release = false;
        return kept->second.Bitmap;
    }
    std::string error;
    HBITMAP bitmap = LoadPictureBitmap(fileName, error);
    if (!KeepingPictures)
        return bitmap;
    BITMAP info = {};
    unsigned long long bytes =
        bitmap && GetObjectA(bitmap, sizeof info, &info) ? 1ull * info.bmWidthBytes * info.bmHeight : 0;
    if (bitmap && KeptBytes + bytes > PictureBudget) {
        // Beyond the budget the picture is decoded for every face that shows it, as without keeping.
        KeptPictures[fileName] = {nullptr, true};
        return bitmap;
    }
    KeptBytes += bytes;
    KeptPictures[fileName] = {bitmap, bitmap != nullptr};
    release = false;
    return bitmap;
}

void KeepCardPictures(bool enabled)
{
    KeepingPictures = enabled;
    if (!enabled)
        ReleaseKeptPictures();
}

void ReleaseKeptPictures()
{
    for (auto& kept : KeptPictures)
        if (kept.second.Bitmap)
            DeleteObject(kept.second.Bitmap);
    KeptPictures.clear();
    KeptBytes = 0;
}
