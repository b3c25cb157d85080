// The object counts that every leak test relies on must see objects come and go.
#include "support/test_support.h"

#include <gtest/gtest.h>

TEST(ObjectCounts, SeeGdiObjectsAndWindowsComeAndGo)
{
    int gdi = CountGdiObjects();
    EXPECT_GT(gdi, 0);
    HBRUSH brushes[10];
    for (HBRUSH& brush : brushes)
        brush = CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_EQ(gdi + 10, CountGdiObjects());
    for (HBRUSH brush : brushes)
        DeleteObject(brush);
    EXPECT_EQ(gdi, CountGdiObjects());

    int user = CountUserObjects();
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_GT(CountUserObjects(), user);
    DestroyWindow(window);
    EXPECT_EQ(user, CountUserObjects());
}
