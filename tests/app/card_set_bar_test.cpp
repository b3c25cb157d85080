// Card-set bar: the drawn board-size buttons, its layout and the card set list.
#include "app/card_set_bar.h"
#include "app/main_window.h"
#include "cardset/card_set.h"
#include "support/test_support.h"

#include <commctrl.h>

#include <gtest/gtest.h>

// Grid lines (two black pixels deep) share their borders; the last cell takes what the division
// leaves. Drawing leaves no objects behind.
TEST(BoardSizeImage, GridLinesShareBordersAndTheLastCellTakesTheRest)
{
    const struct {
        int Rows, Columns;
        std::vector<int> Across, Down; // where lines cross row 10 and column 10
    } rows[] = {{2, 2, {0, 47, 95}, {0, 47, 95}},
                {2, 3, {0, 31, 62, 95}, {0, 47, 95}},
                {3, 2, {0, 47, 95}, {0, 31, 62, 95}},
                {4, 5, {0, 19, 38, 57, 76, 95}, {0, 23, 46, 69, 95}}};
    int before = CountGdiObjects();
    for (const auto& row : rows) {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, DrawBoardSizeImage(row.Rows, row.Columns));
        Pixels p = CaptureDC(dc, 96, 96);
        DeleteObject(SelectObject(dc, old));
        DeleteDC(dc);
        std::vector<int> across, down;
        for (int i = 0; i < 96; ++i) {
            if (p.At(i, 10) == RGB(0, 0, 0) && p.At(i, 11) == RGB(0, 0, 0))
                across.push_back(i);
            if (p.At(10, i) == RGB(0, 0, 0) && p.At(11, i) == RGB(0, 0, 0))
                down.push_back(i);
        }
        EXPECT_EQ(row.Across, across) << row.Rows << " x " << row.Columns;
        EXPECT_EQ(row.Down, down) << row.Rows << " x " << row.Columns;
        EXPECT_EQ(RGB(192, 192, 192), p.At(12, 12));
    }
    EXPECT_EQ(before, CountGdiObjects());
}

// The toolbar keeps its width in a narrow window; the label repaints in the bar's colour without
// new brushes; refilling lists new card sets sorted, none selected.
TEST(Bar, ButtonsLabelAndCardSetList)
{
    ResetUserData();
    HWND window = OpenMainWindow(), bar = GetDlgItem(window, 1), toolbar = GetDlgItem(bar, BarToolbarId);
    ASSERT_EQ(11, SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0)) << "six buttons and five gaps";
    SIZE size = GetBarSize(bar);
    MoveWindow(window, 0, 0, 300, 400, TRUE);
    RECT rect;
    GetWindowRect(toolbar, &rect);
    EXPECT_EQ(size.cx, rect.right - rect.left);
    EXPECT_GT(CaptureClient(bar).Count(BarBackgroundColor), 2 * CaptureClient(bar).Width);
    int before = CountGdiObjects();
    for (int i = 0; i < 50; ++i)
        CaptureClient(GetDlgItem(bar, BarLabelId));
    EXPECT_EQ(before, CountGdiObjects());
    HWND combo = GetCardSetCombo(window);
    for (const char* name : {"beta", "Alpha", "alpha two"})
        ASSERT_TRUE(SaveCardSet(name, CardSet(1)));
    FillCardSetCombo(window);
    char first[64] = "";
    SendMessageA(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
    EXPECT_EQ("3 Alpha -1", std::to_string(SendMessageA(combo, CB_GETCOUNT, 0, 0)) + " " + first + " " +
                                std::to_string(SendMessageA(combo, CB_GETCURSEL, 0, 0)));
    DestroyMainWindow(window);
    ResetUserData();
}
