// The video player: a video's native size, and video windows inside a card that stay still until
// played, show changing frames while they play and stop on request.
#include "media/sound_player.h"
#include "media/video_player.h"
#include "support/media_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A top-level window standing in for a card button.
struct Card {
    HWND Window;
    Card()
    {
        Window = CreateWindowExA(0, "STATIC", "card", WS_POPUP | WS_VISIBLE, 40, 40, 400, 300, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        PumpMessages();
    }
    ~Card()
    {
        DestroyWindow(Window);
        PumpMessages();
    }
};

RECT RectInParent(HWND child)
{
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

} // namespace

TEST(VideoSize, IsTheNativeSizeForEachKindOfVideo)
{
    for (const char* name : {"pattern.avi", "pattern.mpg", "pattern.wmv", "silent.avi"}) {
        int width = 0, height = 0;
        std::string error = "old";
        EXPECT_TRUE(GetVideoSize(TestMediaFile(name), width, height, error)) << name << ": " << error;
        EXPECT_EQ("", error);
        EXPECT_EQ(320, width) << name;
        EXPECT_EQ(240, height) << name;
    }
    EXPECT_EQ("", StrayTopLevelWindows(nullptr));
}

TEST(VideoSize, FilesThatAreNoVideoFailAndLeaveTheSize)
{
    for (const char* name : {"not-a-video.mpg", "missing.mpg"}) {
        int width = -7, height = -9;
        std::string error;
        EXPECT_FALSE(GetVideoSize(TestMediaFile(name), width, height, error)) << name;
        EXPECT_EQ("RenderFile failed", error) << name;
        EXPECT_EQ(-7, width);
        EXPECT_EQ(-9, height);
    }
    // A sound has no picture: which step notices it is the platform's business.
    int width = -7, height = -9;
    std::string error;
    EXPECT_FALSE(GetVideoSize(TestMediaFile("tone440.wav"), width, height, error));
    EXPECT_NE("", error);
    EXPECT_EQ(-7, width);
    EXPECT_EQ(-9, height);
}

TEST(VideoSize, IsLearntAgainWhenTheFileChanges)
{
    std::string name = MakeScratchFolder("video-size") + "\\changing.avi";
    WriteBytes(name, ReadBytes(TestMediaFile("pattern.avi")));
    int width = 0, height = 0;
    std::string error;
    EXPECT_TRUE(GetVideoSize(name, width, height, error));
    EXPECT_EQ(320, width);
    width = height = 0;
    EXPECT_TRUE(GetVideoSize(name, width, height, error));
    EXPECT_EQ(240, height);
    WriteBytes(name, ReadBytes(TestMediaFile("not-a-video.mpg")));
    width = height = 5;
    EXPECT_FALSE(GetVideoSize(name, width, height, error));
    EXPECT_EQ("RenderFile failed", error);
    EXPECT_EQ(5, width);
    DeleteFileA(name.c_str());
    EXPECT_FALSE(GetVideoSize(name, width, height, error));
    EXPECT_EQ("RenderFile failed", error);
}

TEST(VideoWindow, IsAStillChildOfTheCardUntilPlayed)
{
    Card card;
    HWND video = CreateVideoWindow(10, 20, 160, 120, card.Window, 1, TestMediaFile("pattern.avi").c_str());
    ASSERT_NE(nullptr, video);
    EXPECT_EQ(video, GetDlgItem(card.Window, 1));
    EXPECT_EQ(card.Window, GetParent(video));
    EXPECT_TRUE(GetWindowLongA(video, GWL_STYLE) & WS_CHILD);
    RECT rect = RectInParent(video);
    EXPECT_EQ(10, rect.left);
    EXPECT_EQ(20, rect.top);
    EXPECT_EQ(170, rect.right);
    EXPECT_EQ(140, rect.bottom);
    EXPECT_EQ(nullptr, GetWindow(video, GW_CHILD)) << "the video window has controls of its own";
    Pixels first = CaptureClient(video);
    PumpMessages(500);
    Pixels second = CaptureClient(video);
    EXPECT_FALSE(PixelsDiffer(first, second));
    EXPECT_EQ("", StrayTopLevelWindows(card.Window));
}

TEST(VideoWindow, ShowsChangingFramesInsideTheCardAndStops)
{
    for (const char* name : {"pattern.avi", "pattern.mpg", "pattern.wmv"}) {
        Card card;
        HWND video = CreateVideoWindow(20, 30, 240, 180, card.Window, 1, TestMediaFile(name).c_str());
        ASSERT_NE(nullptr, video) << name;
        PlayVideo(video);
        PumpMessages(800);
        Pixels first = CaptureClient(video);
        PumpMessages(400);
        Pixels second = CaptureClient(video);
        EXPECT_TRUE(PixelsDiffer(first, second)) << name;
        EXPECT_GT(CountLitPixels(second), 240 * 180 / 2) << name;
        EXPECT_EQ("", StrayTopLevelWindows(card.Window)) << name;
        StopVideo(video);
        PumpMessages(100);
        Pixels stopped = CaptureClient(video);
        PumpMessages(400);
        Pixels later = CaptureClient(video);
        EXPECT_FALSE(PixelsDiffer(stopped, later)) << name;
        // Played again, it moves again.
        PlayVideo(video);
        PumpMessages(800);
        first = CaptureClient(video);
        PumpMessages(400);
        second = CaptureClient(video);
        EXPECT_TRUE(PixelsDiffer(first, second)) << name;
        StopVideo(video);
    }
}

TEST(VideoWindow, ShowsNothingForAFileThatCannotPlay)
{
    Card card;
    HWND video = CreateVideoWindow(0, 0, 100, 80, card.Window, 1, TestMediaFile("not-a-video.mpg").c_str());
    ASSERT_NE(nullptr, video);
    PlayVideo(video);
    PumpMessages(300);
    EXPECT_EQ(0, CountLitPixels(CaptureClient(video)));
    StopVideo(video);
    PlayVideo(video);
    StopVideo(video);
    EXPECT_EQ("", StrayTopLevelWindows(card.Window));
}

TEST(VideoWindow, PlayAndStopLeaveOtherWindowsAlone)
{
    Card card;
    PlayVideo(nullptr);
    StopVideo(nullptr);
    PlayVideo(card.Window);
    StopVideo(card.Window);
    EXPECT_TRUE(IsWindow(card.Window));
    EXPECT_EQ("", StrayTopLevelWindows(card.Window));
}

TEST(VideoWindow, FiftyRoundsLeaveNothingBehind)
{
    Card card;
    HWND video = CreateVideoWindow(20, 30, 240, 180, card.Window, 1, TestMediaFile("pattern.avi").c_str());
    ASSERT_NE(nullptr, video);
    auto round = [&] {
        ShowWindow(video, SW_SHOW);
        PlayVideo(video);
        PumpMessages(60);
        StopVideo(video);
        ShowWindow(video, SW_HIDE);
        PumpMessages();
    };
    for (int i = 0; i < 3; ++i)
        round();
    PumpMessages(200);
    int gdi = CountGdiObjects(), user = CountUserObjects(), threads = CountThreads(), handles = CountHandles();
    for (int i = 0; i < 50; ++i)
        round();
    PumpMessages(200);
    EXPECT_EQ(gdi, CountGdiObjects());
    EXPECT_EQ(user, CountUserObjects());
    EXPECT_LE(SettledThreadCount(threads + 2), threads + 2);
    EXPECT_LE(CountHandles(), handles + 10);
    // Video windows made and destroyed with their cards.
    for (int i = 0; i < 10; ++i) {
        HWND other = CreateVideoWindow(0, 0, 80, 60, card.Window, 2, TestMediaFile("pattern.wmv").c_str());
        PlayVideo(other);
        PumpMessages(30);
        DestroyWindow(other);
    }
    PumpMessages(200);
    EXPECT_EQ(gdi, CountGdiObjects());
    EXPECT_EQ(user, CountUserObjects());
    EXPECT_LE(SettledThreadCount(threads + 2), threads + 2);
    EXPECT_LE(CountHandles(), handles + 10);
}
