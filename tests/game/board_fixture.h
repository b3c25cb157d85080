// A game board of its own for each test: a visible top-level board window, card sets made up on
// the spot, and the card buttons' slots.
#pragma once

#include "app/settings.h"
#include "game/board.h"
#include "game/card_button.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>

inline CardSet* MakeCardSet(int pairs)
{
    CardSet* cards = new CardSet(pairs);
    for (int i = 0; i < pairs; ++i) {
        (*cards)[i].Text1 = "first " + std::to_string(i);
        (*cards)[i].Text2 = "second " + std::to_string(i);
    }
    return cards;
}

class BoardTest : public testing::Test {
  protected:
    void SetUp() override
    {
        ResetUserData();
        SetDisplayTime(20);
        board = CreateWindowExA(0, "MnemoraGameClass", "", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 800, 600,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, board);
        PumpMessages();
    }
    void TearDown() override
    {
        DestroyWindow(board);
        PumpMessages();
        ResetUserData();
    }
    // Deals a new game with the set, which the board takes over.
    void Start(CardSet* cards, int rows, int columns)
    {
        std::string error;
        ASSERT_TRUE(StartGame(board, cards, rows, columns, error)) << error;
        EXPECT_EQ("", error);
    }
    HWND Card(int id) const { return GetDlgItem(board, id); }
    int Slot(int id, int slot) const { return GetWindowLongA(Card(id), slot); }
    int FaceUp(int id) const { return Slot(id, FaceUpSlot); }
    int PairOf(int id) const { return Slot(id, PairIndexSlot); }
    int TurnState() const { return GetWindowLongA(board, TurnStateSlot); }
    // The id of the other card of the pair of card id.
    int PartnerOf(int id, int cells) const
    {
        for (int other = 1; other <= cells; ++other)
            if (other != id && PairOf(other) == PairOf(id))
                return other;
        return 0;
    }
    // A card that is not of the same pair as card id.
    int StrangerOf(int id, int cells) const
    {
        for (int other = 1; other <= cells; ++other)
            if (other != id && PairOf(other) != PairOf(id))
                return other;
        return 0;
    }
    HWND board = nullptr;
};
