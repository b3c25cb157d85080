// A game board of its own for the media tests of turned cards: a visible board window, card
// sets with sounds and videos from the test media, and clicks as the board receives them.
#pragma once

#include "support/board_window.h"
#include "support/media_support.h"

#include <string>

class MediaBoardTest : public BoardWindowTest {
  protected:
    // Deals a 2 x 2 game of two pairs: the first with the given sound and video (first card's
    // fields only, so both of its cards carry them), the second with text alone.
    void Deal(const std::string& sound, const std::string& video)
    {
        CardSet* cards = new CardSet(2);
        (*cards)[0].Text1 = "media";
        (*cards)[0].SoundFileName1 = sound.empty() ? "" : TestMediaFile(sound);
        (*cards)[0].VideoFileName1 = video.empty() ? "" : TestMediaFile(video);
        (*cards)[1].Text1 = "plain";
        std::string error;
        ASSERT_TRUE(StartGame(board, cards, 2, 2, error)) << error;
        PumpMessages();
    }
    HWND VideoOf(int id) const { return GetDlgItem(Card(id), CardVideoId); }
    // The two card ids of pair 0 (the media pair) and of pair 1.
    int MediaCard(int which) const { return CardOfPair(0, which); }
    int PlainCard(int which) const { return CardOfPair(1, which); }
    int CardOfPair(int pair, int which) const
    {
        for (int id = 1; id <= 4; ++id)
            if (GetWindowLongA(Card(id), PairIndexSlot) == pair && which-- == 0)
                return id;
        return 0;
    }
    // A click on a card as the board gets it from the card button.
    void Turn(int id)
    {
        OnCardClicked(board, id);
        PumpMessages();
    }
};
