// The object counts that every leak test relies on must see objects come and go.
#include "support/test_support.h"

TEST(ObjectCounts, SeeGdiObjectsAndWindowsComeAndGo)
{
    int gdi = CountGdiObjects(), user = CountUserObjects();
    HBRUSH brushes[10];
    for (HBRUSH& brush : brushes)
        brush = CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_EQ(gdi + 10, CountGdiObjects());
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_GT(CountUserObjects(), user);
    for (HBRUSH brush : brushes)
        DeleteObject(brush);
    DestroyWindow(window);
    EXPECT_EQ(gdi, CountGdiObjects());
    EXPECT_EQ(user, CountUserObjects());
}
