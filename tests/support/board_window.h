// A visible game board window of its own for the tests of the game and of turned media cards,
// with the display time short and no user data left behind.
#pragma once

#include "app/settings.h"
#include "game/board.h"
#include "game/card_button.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

class BoardWindowTest : public testing::Test {
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
    HWND Card(int id) const { return GetDlgItem(board, id); }
    int FaceUp(int id) const { return GetWindowLongA(Card(id), FaceUpSlot); }
    HWND board = nullptr;
};
