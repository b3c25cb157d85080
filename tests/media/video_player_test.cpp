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

// True when the window's picture changes between two looks some time apart.
bool Moving(HWND video, DWORD settle = 800)
{
    PumpMessages(settle);
    Pixels first = CaptureClient(video);
    PumpMessages(400);
    return PixelsDiffer(first, CaptureClient(video));
}

} // namespace

// A file's size is remembered while the file stays the same, and learnt again when it changes;
// a file that is no video fails and leaves the size as it was.
TEST(VideoSize, IsTheNativeSizeOfEachKindOfVideoWhileTheFileStaysTheSame)
{
    std::string changing = MakeScratchFolder("video-size") + "\\changing.avi";
    WriteBytes(changing, ReadBytes(TestMediaFile("pattern.avi")));
    for (std::string name : {"pattern.avi", "pattern.mpg", "pattern.wmv", "silent.avi", "", ""}) {
        name = name.empty() ? changing : TestMediaFile(name);
        int width = 0, height = 0;
        std::string error = "old";
        EXPECT_TRUE(GetVideoSize(name, width, height, error)) << name << ": " << error;
        EXPECT_EQ("", error);
        EXPECT_EQ(320, width) << name;
        EXPECT_EQ(240, height) << name;
    }
    EXPECT_EQ("", StrayTopLevelWindows(nullptr));
    WriteBytes(changing, ReadBytes(TestMediaFile("not-a-video.mpg")));
    // A sound has no picture: which step notices it is the platform's business.
    const std::pair<std::string, const char*> failing[] = {{TestMediaFile("not-a-video.mpg"), "RenderFile failed"},
                                                           {TestMediaFile("missing.mpg"), "RenderFile failed"},
                                                           {changing, "RenderFile failed"},
                                                           {TestMediaFile("tone440.wav"), ""}};
    for (const auto& file : failing) {
        int width = -7, height = -9;
        std::string error;
        EXPECT_FALSE(GetVideoSize(file.first, width, height, error)) << file.first;
        EXPECT_TRUE(*file.second ? error == file.second : !error.empty()) << file.first << ": " << error;
        EXPECT_EQ(-7, width);
        EXPECT_EQ(-9, height);
    }
    DeleteFileA(changing.c_str());
    int width = 0, height = 0;
    std::string error;
    EXPECT_FALSE(GetVideoSize(changing, width, height, error));
    EXPECT_EQ("RenderFile failed", error);
}

// A video window is a still child of its card until played; one whose file cannot play shows
// nothing, and play and stop leave windows that are no videos alone.
TEST(VideoWindow, IsAStillChildOfTheCardUntilPlayed)
{
    Card card;
    HWND video = CreateVideoWindow(10, 20, 160, 120, card.Window, 1, TestMediaFile("pattern.avi").c_str());
    ASSERT_NE(nullptr, video);
    EXPECT_EQ(video, GetDlgItem(card.Window, 1));
    EXPECT_TRUE(GetWindowLongA(video, GWL_STYLE) & WS_CHILD);
    RECT rect;
    GetWindowRect(video, &rect);
    MapWindowPoints(HWND_DESKTOP, card.Window, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ((std::vector<LONG>{10, 20, 170, 140}), (std::vector<LONG>{rect.left, rect.top, rect.right, rect.bottom}));
    EXPECT_EQ(nullptr, GetWindow(video, GW_CHILD)) << "the video window has controls of its own";
    EXPECT_FALSE(Moving(video, 0));
    HWND broken = CreateVideoWindow(200, 0, 100, 80, card.Window, 2, TestMediaFile("not-a-video.mpg").c_str());
    ASSERT_NE(nullptr, broken);
    for (HWND window : {broken, static_cast<HWND>(nullptr), card.Window}) {
        PlayVideo(window);
        PumpMessages(300);
        StopVideo(window);
    }
    EXPECT_EQ(0, CountLitPixels(CaptureClient(broken)));
    EXPECT_EQ("", StrayTopLevelWindows(card.Window));
}

TEST(VideoWindow, ShowsChangingFramesInsideTheCardStopsAndPlaysAgain)
{
    for (const char* name : {"pattern.avi", "pattern.mpg", "pattern.wmv"}) {
        Card card;
        HWND video = CreateVideoWindow(20, 30, 240, 180, card.Window, 1, TestMediaFile(name).c_str());
        ASSERT_NE(nullptr, video) << name;
        PlayVideo(video);
        EXPECT_TRUE(Moving(video)) << name;
        // It keeps moving while the program's thread waits without handling any message, as it
        // does for the display time of a turn.
        Pixels before = CaptureClient(video);
        Sleep(500);
        EXPECT_TRUE(PixelsDiffer(before, CaptureClient(video))) << name;
        EXPECT_GT(CountLitPixels(CaptureClient(video)), 240 * 180 / 2) << name;
        EXPECT_EQ("", StrayTopLevelWindows(card.Window)) << name;
        StopVideo(video);
        EXPECT_FALSE(Moving(video, 100)) << name;
        PlayVideo(video);
        EXPECT_TRUE(Moving(video)) << name;
        StopVideo(video);
    }
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
    auto expectNothingLeft = [&] {
        PumpMessages(200);
        EXPECT_EQ(gdi, CountGdiObjects());
        EXPECT_EQ(user, CountUserObjects());
        EXPECT_LE(SettledThreadCount(threads + 2), threads + 2);
        EXPECT_LE(CountHandles(), handles + 10);
    };
    for (int i = 0; i < 50; ++i)
        round();
    expectNothingLeft();
    // Video windows made and destroyed with their cards.
    for (int i = 0; i < 10; ++i) {
        HWND other = CreateVideoWindow(0, 0, 80, 60, card.Window, 2, TestMediaFile("pattern.wmv").c_str());
        PlayVideo(other);
        PumpMessages(30);
        DestroyWindow(other);
    }
    expectNothingLeft();
}
