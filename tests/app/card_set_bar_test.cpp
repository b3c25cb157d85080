// Card-set bar: the drawn board-size buttons, its layout and the card set list.
#include "app/card_set_bar.h"
#include "app/main_window.h"
#include "cardset/card_set.h"
#include "support/test_support.h"

#include <commctrl.h>

#include <gtest/gtest.h>

namespace {

const COLORREF Black = RGB(0, 0, 0);
const COLORREF Grey = RGB(192, 192, 192);

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

// Positions along a row (or column) of the image where a grid line runs.
std::vector<int> LinesAcross(const Pixels& p, int y)
{
    std::vector<int> lines;
    for (int x = 0; x < 96; ++x)
        if (p.At(x, y) == Black && p.At(x, y + 1) == Black)
            lines.push_back(x);
    return lines;
}

std::vector<int> LinesDown(const Pixels& p, int x)
{
    std::vector<int> lines;
    for (int y = 0; y < 96; ++y)
        if (p.At(x, y) == Black && p.At(x + 1, y) == Black)
            lines.push_back(y);
    return lines;
}

class Bar : public testing::Test {
  protected:
    void SetUp() override { ResetUserData(); }
    void TearDown() override
    {
        if (window)
            DestroyMainWindow(window);
        ResetUserData();
    }
    HWND window = nullptr;
};

} // namespace

TEST(BoardSizeImage, GridLinesShareBordersAndTheLastCellTakesTheRest)
{
    Pixels twoByTwo = ImagePixels(2, 2);
    EXPECT_EQ((std::vector<int>{0, 47, 95}), LinesAcross(twoByTwo, 20));
    EXPECT_EQ((std::vector<int>{0, 47, 95}), LinesDown(twoByTwo, 20));
    Pixels fourByFive = ImagePixels(4, 5);
    EXPECT_EQ((std::vector<int>{0, 19, 38, 57, 76, 95}), LinesAcross(fourByFive, 10));
    EXPECT_EQ((std::vector<int>{0, 23, 46, 69, 95}), LinesDown(fourByFive, 10));
    EXPECT_EQ(Grey, fourByFive.At(10, 10));
    // Two rows of three, and three rows of two.
    EXPECT_EQ(4u, LinesAcross(ImagePixels(2, 3), 10).size());
    EXPECT_EQ(3u, LinesDown(ImagePixels(2, 3), 10).size());
    EXPECT_EQ(3u, LinesAcross(ImagePixels(3, 2), 10).size());
    EXPECT_EQ(4u, LinesDown(ImagePixels(3, 2), 10).size());
}

TEST(BoardSizeImage, DrawingLeaksNoObjects)
{
    DeleteObject(DrawBoardSizeImage(5, 4));
    int before = CountGdiObjects();
    for (int i = 0; i < 50; ++i)
        DeleteObject(DrawBoardSizeImage(5, 4));
    EXPECT_EQ(before, CountGdiObjects());
}

TEST_F(Bar, SixButtonsInTableOrderWithGaps)
{
    window = OpenMainWindow();
    HWND bar = GetDlgItem(window, 1);
    HWND toolbar = GetDlgItem(bar, BarToolbarId);
    ASSERT_EQ(11, SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < 11; ++i) {
        TBBUTTON button = {};
        SendMessageA(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        if (i % 2 == 0) {
            EXPECT_EQ(2001 + i / 2, button.idCommand);
            EXPECT_EQ(BoardSizes[i / 2].ImageIndex, button.iBitmap);
        } else {
            EXPECT_TRUE(button.fsStyle & TBSTYLE_SEP);
            EXPECT_EQ(15, button.iBitmap);
        }
    }
    int ex = GetSystemMetrics(SM_CXEDGE), ey = GetSystemMetrics(SM_CYEDGE);
    SIZE size = GetBarSize(bar);
    EXPECT_EQ((4 * ex + 96) * 6 + 75, size.cx);
    EXPECT_EQ(4 * ey + 96, size.cy);
    char text[64] = "";
    GetWindowTextA(GetDlgItem(bar, BarLabelId), text, sizeof text);
    EXPECT_STREQ("Card sets:", text);
}

TEST_F(Bar, NarrowWindowKeepsTheToolbarWidth)
{
    window = OpenMainWindow();
    HWND bar = GetDlgItem(window, 1);
    MoveWindow(window, 0, 0, 300, 400, TRUE);
    RECT toolbar;
    GetWindowRect(GetDlgItem(bar, BarToolbarId), &toolbar);
    EXPECT_EQ(GetBarSize(bar).cx, toolbar.right - toolbar.left);
}

TEST_F(Bar, RefillingListsNewCardSetsWithoutSelecting)
{
    window = OpenMainWindow();
    HWND combo = GetCardSetCombo(window);
    EXPECT_EQ(0, SendMessageA(combo, CB_GETCOUNT, 0, 0));
    ASSERT_TRUE(SaveCardSet("beta", CardSet(1)));
    ASSERT_TRUE(SaveCardSet("Alpha", CardSet(1)));
    ASSERT_TRUE(SaveCardSet("alpha two", CardSet(1)));
    FillCardSetCombo(window);
    ASSERT_EQ(3, SendMessageA(combo, CB_GETCOUNT, 0, 0));
    char first[64] = "";
    SendMessageA(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
    EXPECT_STREQ("Alpha", first);
    EXPECT_EQ(CB_ERR, SendMessageA(combo, CB_GETCURSEL, 0, 0));
}

TEST_F(Bar, LabelRepaintsAddNoBrushesAndShowTheBarColour)
{
    window = OpenMainWindow();
    HWND bar = GetDlgItem(window, 1);
    Pixels pixels = CaptureClient(bar);
    EXPECT_GT(pixels.Count(BarBackgroundColor), pixels.Width * 2);
    int before = CountGdiObjects();
    for (int i = 0; i < 50; ++i)
        CaptureClient(GetDlgItem(bar, BarLabelId));
    EXPECT_EQ(before, CountGdiObjects());
}
