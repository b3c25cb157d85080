// Card-set bar: the drawn board-size buttons, its layout and the card set list.
#include "app/card_set_bar.h"
#include "app/main_window.h"
#include "cardset/card_set.h"
#include "support/test_support.h"

#include <commctrl.h>

#include <gtest/gtest.h>

namespace {

Pixels ImagePixels(int rows, int columns)
{
    HBITMAP image = DrawBoardSizeImage(rows, columns);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, image);
    Pixels pixels = CaptureDC(dc, 96, 96);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(image);
    return pixels;
}

// Where grid lines (two black pixels deep) cross an image: along the row at y = at, or with down
// along the column at x = at.
std::vector<int> GridLines(const Pixels& p, int at, bool down)
{
    std::vector<int> lines;
    for (int i = 0; i < 96; ++i) {
        int x = down ? at : i, y = down ? i : at;
        if (p.At(x, y) == RGB(0, 0, 0) && p.At(x + down, y + !down) == RGB(0, 0, 0))
            lines.push_back(i);
    }
    return lines;
}

} // namespace

// Grid lines share their borders; the last cell takes what the division leaves. Drawing leaves
// no objects behind.
TEST(BoardSizeImage, GridLinesShareBordersAndTheLastCellTakesTheRest)
{
    Pixels twoByTwo = ImagePixels(2, 2), fourByFive = ImagePixels(4, 5);
    EXPECT_EQ((std::vector<int>{0, 47, 95}), GridLines(twoByTwo, 20, false));
    EXPECT_EQ((std::vector<int>{0, 47, 95}), GridLines(twoByTwo, 20, true));
    EXPECT_EQ((std::vector<int>{0, 19, 38, 57, 76, 95}), GridLines(fourByFive, 10, false));
    EXPECT_EQ((std::vector<int>{0, 23, 46, 69, 95}), GridLines(fourByFive, 10, true));
    EXPECT_EQ(RGB(192, 192, 192), fourByFive.At(10, 10));
    EXPECT_EQ(4u, GridLines(ImagePixels(2, 3), 10, false).size()) << "two rows of three";
    EXPECT_EQ(3u, GridLines(ImagePixels(2, 3), 10, true).size());
    EXPECT_EQ(3u, GridLines(ImagePixels(3, 2), 10, false).size()) << "three rows of two";
    EXPECT_EQ(4u, GridLines(ImagePixels(3, 2), 10, true).size());
    int before = CountGdiObjects();
    for (int i = 0; i < 50; ++i)
        DeleteObject(DrawBoardSizeImage(5, 4));
    EXPECT_EQ(before, CountGdiObjects());
}

// Six buttons send the board sizes' commands in order, 15-pixel gaps between them; the toolbar
// keeps its width in a window too narrow for it. Repainting the label shows the bar's colour and
// adds no brushes. Refilling lists new card sets sorted, none selected.
TEST(Bar, ButtonsLabelAndCardSetList)
{
    ResetUserData();
    HWND window = OpenMainWindow(), bar = GetDlgItem(window, 1), toolbar = GetDlgItem(bar, BarToolbarId);
    ASSERT_EQ(11, SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < 11; ++i) {
        TBBUTTON button = {};
        SendMessageA(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        EXPECT_EQ(i % 2 != 0, (button.fsStyle & TBSTYLE_SEP) != 0) << i;
        EXPECT_EQ(i % 2 ? 0 : 2001 + i / 2, button.idCommand) << i;
        EXPECT_EQ(i % 2 ? 15 : BoardSizes[i / 2].ImageIndex, button.iBitmap) << i;
    }
    SIZE size = GetBarSize(bar);
    EXPECT_EQ((4 * GetSystemMetrics(SM_CXEDGE) + 96) * 6 + 75, size.cx) << "six buttons and five gaps";
    MoveWindow(window, 0, 0, 300, 400, TRUE);
    RECT rect;
    GetWindowRect(toolbar, &rect);
    EXPECT_EQ(size.cx, rect.right - rect.left);

    Pixels pixels = CaptureClient(bar);
    EXPECT_GT(pixels.Count(BarBackgroundColor), pixels.Width * 2);
    int before = CountGdiObjects();
    for (int i = 0; i < 50; ++i)
        CaptureClient(GetDlgItem(bar, BarLabelId));
    EXPECT_EQ(before, CountGdiObjects());

    HWND combo = GetCardSetCombo(window);
    EXPECT_EQ(0, SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (const char* name : {"beta", "Alpha", "alpha two"})
        ASSERT_TRUE(SaveCardSet(name, CardSet(1)));
    FillCardSetCombo(window);
    ASSERT_EQ(3, SendMessageA(combo, CB_GETCOUNT, 0, 0));
    char first[64] = "";
    SendMessageA(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
    EXPECT_STREQ("Alpha", first);
    EXPECT_EQ(CB_ERR, SendMessageA(combo, CB_GETCURSEL, 0, 0));
    DestroyMainWindow(window);
    ResetUserData();
}
