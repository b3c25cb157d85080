// Videos: a video's native size; video windows inside a card that stay still until played, move
// while played (also during the turn's display time) and stop; stopping never waits on a frame the
// media framework's thread is delivering; turned cards play their video and later turns hide it.
#include "app/startup.h"
#include "media/video_frames.h"
#include "media/video_player.h"
#include "support/media_board.h"

namespace {

// True when the window's picture changes between two looks some time apart.
bool Moving(HWND video, DWORD settle = 800)
{
    PumpMessages(settle);
    Pixels first = CaptureClient(video);
    PumpMessages(400);
    return PixelsDiffer(first, CaptureClient(video));
}

HWND StoppedInPaint = nullptr;
WNDPROC VideoProc = nullptr;

// Stops the video from inside its own paint, as a message loop run by a paint may.
LRESULT CALLBACK StopInPaint(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ERASEBKGND && window == StoppedInPaint) {
        Sleep(200); // frames keep arriving meanwhile
        StopVideo(window);
        StoppedInPaint = nullptr;
    }
    return CallWindowProcA(VideoProc, window, message, wParam, lParam);
}

DWORD WINAPI Watchdog(void* done)
{
    if (WaitForSingleObject(done, 20000) == WAIT_TIMEOUT) {
        fputs("stopping the video deadlocked\n", stderr);
        TerminateProcess(GetCurrentProcess(), 4);
    }
    return 0;
}

} // namespace

// A size is remembered while the file stays the same and learnt again when it changes; a file that
// is no video fails and leaves the size as it was.
TEST(VideoSize, IsTheNativeSizeOfEachKindOfVideo)
{
    std::string changing = MakeScratchFolder("video-size") + "\\changing.avi";
    WriteBytes(changing, ReadBytes(TestMediaFile("pattern.avi")));
    const std::pair<std::string, const char*> files[] = {{TestMediaFile("pattern.avi"), ""},
                                                         {TestMediaFile("pattern.mpg"), ""},
                                                         {TestMediaFile("pattern.wmv"), ""},
                                                         {TestMediaFile("silent.avi"), ""},
                                                         {changing, ""},
                                                         {changing, "RenderFile failed"},
                                                         {TestMediaFile("not-a-video.mpg"), "RenderFile failed"},
                                                         {TestMediaFile("missing.mpg"), "RenderFile failed"}};
    for (const auto& file : files) {
        if (*file.second)
            WriteBytes(changing, "no video");
        int width = -7, height = -9;
        std::string error = "old";
        EXPECT_EQ(!*file.second, GetVideoSize(file.first, width, height, error)) << file.first;
        EXPECT_EQ(file.second, error) << file.first;
        EXPECT_EQ(*file.second ? -7 * 1000 - 9 : 320 * 1000 + 240, width * 1000 + height) << file.first;
    }
    EXPECT_EQ("", StrayTopLevelWindows(nullptr));
}

// A still child of the card until played; it moves while played, while the program's thread waits
// the display time, but never by the media framework's thread alone; stop and play again; one that
// can't play shows nothing, and play and stop leave windows that are no videos alone.
TEST(VideoWindow, PlaysInsideTheCardStopsAndPlaysAgain)
{
    for (const char* name : {"pattern.avi", "pattern.mpg", "pattern.wmv"}) {
        HWND card = CreateWindowExA(0, "STATIC", "card", WS_POPUP | WS_VISIBLE, 40, 40, 400, 300, nullptr, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
        HWND video = CreateVideoWindow(20, 30, 240, 180, card, 1, TestMediaFile(name).c_str());
        ASSERT_EQ(video, GetDlgItem(card, 1)) << name;
        RECT rect;
        GetWindowRect(video, &rect);
        MapWindowPoints(HWND_DESKTOP, card, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(20 * 1000 + 30, rect.left * 1000 + rect.top);
        EXPECT_EQ(nullptr, GetWindow(video, GW_CHILD)) << "the video window has controls of its own";
        EXPECT_FALSE(Moving(video, 0));
        PlayVideo(video);
        EXPECT_TRUE(Moving(video)) << name;
        Pixels before = CaptureClient(video);
        Sleep(500);
        Pixels after = CaptureClient(video);
        EXPECT_FALSE(PixelsDiffer(before, after)) << name << ": the media framework's thread drew";
        WaitShowingVideos(500);
        EXPECT_TRUE(PixelsDiffer(after, CaptureClient(video))) << name;
        EXPECT_GT(CountLitPixels(CaptureClient(video)), 240 * 180 / 2) << name;
        StopVideo(video);
        EXPECT_FALSE(Moving(video, 100)) << name;
        PlayVideo(video);
        EXPECT_TRUE(Moving(video)) << name;
        // Stopped from inside its own paint while frames arrive: mended, this waited for ever.
        HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        CloseHandle(CreateThread(nullptr, 0, Watchdog, done, 0, nullptr));
        StoppedInPaint = video;
        VideoProc =
            reinterpret_cast<WNDPROC>(SetWindowLongPtrA(video, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StopInPaint)));
        RedrawWindow(video, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        SetEvent(done);
        EXPECT_EQ(nullptr, StoppedInPaint);
        SetWindowLongPtrA(video, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(VideoProc));
        EXPECT_FALSE(Moving(video, 100)) << name;
        HWND broken = CreateVideoWindow(200, 0, 100, 80, card, 2, TestMediaFile("not-a-video.mpg").c_str());
        for (HWND window : {broken, static_cast<HWND>(nullptr), card}) {
            PlayVideo(window);
            PumpMessages(300);
            StopVideo(window);
        }
        EXPECT_EQ(0, CountLitPixels(CaptureClient(broken)));
        EXPECT_EQ("", StrayTopLevelWindows(card));
        DestroyWindow(card);
    }
}

TEST_F(MediaBoardTest, ATurnedVideoCardPlaysInsideItUntilALaterTurn)
{
    Deal("", "pattern.avi");
    int card = MediaCard(0);
    Turn(card);
    HWND video = VideoOf(card);
    ASSERT_NE(nullptr, video);
    RECT cardRect, videoRect;
    GetClientRect(Card(card), &cardRect);
    GetWindowRect(video, &videoRect);
    MapWindowPoints(HWND_DESKTOP, Card(card), reinterpret_cast<POINT*>(&videoRect), 2);
    EXPECT_TRUE(videoRect.left >= 0 && videoRect.top >= 0 && videoRect.right <= cardRect.right &&
                videoRect.bottom <= cardRect.bottom && videoRect.bottom - videoRect.top > cardRect.bottom / 2);
    EXPECT_TRUE(IsWindowVisible(video) && Moving(video));
    Turn(PlainCard(0)); // the turn fails: both turned back, the video stopped and hidden
    EXPECT_FALSE(FaceUp(card) || IsWindowVisible(video));
    Turn(card);
    EXPECT_EQ(video, VideoOf(card));
    EXPECT_TRUE(IsWindowVisible(video) && Moving(video));
    // Found: both stay face up, the second card's video plays; the next turn hides both.
    Turn(MediaCard(1));
    ASSERT_TRUE(FaceUp(MediaCard(1)) && VideoOf(MediaCard(1)));
    EXPECT_FALSE(IsWindowVisible(video));
    EXPECT_TRUE(IsWindowVisible(VideoOf(MediaCard(1))));
    Turn(PlainCard(0));
    EXPECT_FALSE(IsWindowVisible(video) || IsWindowVisible(VideoOf(MediaCard(1))));
    // The last pair wins: dealt anew, face down, and a video card plays again.
    Turn(PlainCard(1));
    EXPECT_FALSE(FaceUp(1) || FaceUp(2) || FaceUp(3) || FaceUp(4));
    Turn(MediaCard(0));
    EXPECT_TRUE(IsWindowVisible(VideoOf(MediaCard(0))));
    EXPECT_EQ("", StrayTopLevelWindows(board));
}

// Each turn plays and stops the card's sound and video; video windows come and go with cards.
TEST_F(MediaBoardTest, FiftyTurnsOfMediaCardsLeaveNothingBehind)
{
    Deal("tone440.wav", "pattern.avi");
    auto turn = [&] {
        Turn(MediaCard(0));
        PumpMessages(30);
        Turn(PlainCard(0));
    };
    for (int i = 0; i < 3; ++i)
        turn();
    PumpMessages(200);
    int gdi = CountGdiObjects(), user = CountUserObjects(), threads = CountThreads(), handles = CountHandles();
    for (int i = 0; i < 50; ++i)
        turn();
    for (int i = 0; i < 10; ++i) {
        HWND other = CreateVideoWindow(0, 0, 80, 60, Card(1), 2, TestMediaFile("pattern.wmv").c_str());
        PlayVideo(other);
        PumpMessages(30);
        DestroyWindow(other);
    }
    PumpMessages(200);
    EXPECT_EQ(gdi, CountGdiObjects());
    EXPECT_EQ(user, CountUserObjects());
    EXPECT_LE(SettledThreadCount(threads + 2), threads + 2);
    EXPECT_LE(CountHandles(), handles + 10);
    EXPECT_EQ("", StrayTopLevelWindows(board));
}
