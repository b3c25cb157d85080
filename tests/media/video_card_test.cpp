// Turned cards play their video inside the card; later turns stop and hide it, found cards
// included, until the next deal; many turns leave nothing behind.
#include "app/startup.h"
#include "media/sound_player.h"
#include "support/media_board.h"

namespace {

// True when the video shows changing frames.
bool Moving(HWND video)
{
    PumpMessages(800);
    Pixels first = CaptureClient(video);
    PumpMessages(400);
    return PixelsDiffer(first, CaptureClient(video));
}

} // namespace

TEST_F(MediaBoardTest, ATurnedVideoCardShowsChangingFramesInsideItAndALaterTurnHidesIt)
{
    Deal("", "pattern.avi");
    int card = MediaCard(0);
    Turn(card);
    HWND video = VideoOf(card);
    ASSERT_NE(nullptr, video);
    EXPECT_TRUE(IsWindowVisible(video));
    RECT cardRect, videoRect;
    GetClientRect(Card(card), &cardRect);
    GetWindowRect(video, &videoRect);
    MapWindowPoints(HWND_DESKTOP, Card(card), reinterpret_cast<POINT*>(&videoRect), 2);
    EXPECT_TRUE(videoRect.left >= 0 && videoRect.top >= 0 && videoRect.right <= cardRect.right &&
                videoRect.bottom <= cardRect.bottom);
    EXPECT_GT(videoRect.bottom - videoRect.top, cardRect.bottom / 2);
    EXPECT_TRUE(Moving(video));
    Pixels frame = CaptureClient(video);
    EXPECT_GT(CountLitPixels(frame), static_cast<int>(frame.Data.size()) / 2);
    EXPECT_EQ("", StrayTopLevelWindows(board));
    // The turn fails: both cards are turned back and the video is stopped and hidden.
    Turn(PlainCard(0));
    EXPECT_FALSE(FaceUp(card));
    EXPECT_FALSE(IsWindowVisible(video));
    // Turned again, the card shows its video again.
    Turn(card);
    EXPECT_EQ(video, VideoOf(card));
    EXPECT_TRUE(IsWindowVisible(video));
    EXPECT_TRUE(Moving(video));
    StopAllCardMedia(board);
    EXPECT_FALSE(IsWindowVisible(video));
}

TEST_F(MediaBoardTest, AFoundCardsVideoStaysHiddenUntilTheNextDeal)
{
    Deal("", "pattern.wmv");
    int first = MediaCard(0), second = MediaCard(1);
    Turn(first);
    Turn(second); // found: both stay face up, the second card's video plays
    ASSERT_TRUE(FaceUp(first) && FaceUp(second));
    ASSERT_TRUE(VideoOf(first) && VideoOf(second));
    EXPECT_FALSE(IsWindowVisible(VideoOf(first)));
    EXPECT_TRUE(IsWindowVisible(VideoOf(second)));
    // The next turn hides both found cards' videos, and they stay hidden while it goes on.
    Turn(PlainCard(0));
    PumpMessages(300);
    EXPECT_FALSE(IsWindowVisible(VideoOf(first)) || IsWindowVisible(VideoOf(second)));
    EXPECT_TRUE(FaceUp(first) && FaceUp(second));
    // The last pair wins the game: after the display time the board is dealt anew, face down,
    // and a video card shows its video again.
    Turn(PlainCard(1));
    for (int id = 1; id <= 4; ++id)
        EXPECT_FALSE(FaceUp(id)) << id;
    Turn(MediaCard(0));
    ASSERT_NE(nullptr, VideoOf(MediaCard(0)));
    EXPECT_TRUE(IsWindowVisible(VideoOf(MediaCard(0))));
    StopAllCardMedia(board);
}

// Each turn plays and stops the card's sound on the program's player and its video.
TEST_F(MediaBoardTest, FiftyTurnsOfMediaCardsLeaveNothingBehind)
{
    Deal("tone440.wav", "pattern.avi");
    auto turn = [&] {
        Turn(MediaCard(0));
        PumpMessages(30);
        Turn(PlainCard(0)); // fails: turned back, media stopped and hidden
    };
    for (int i = 0; i < 3; ++i)
        turn();
    PumpMessages(200);
    int gdi = CountGdiObjects(), user = CountUserObjects(), threads = CountThreads(), handles = CountHandles();
    for (int i = 0; i < 50; ++i)
        turn();
    PumpMessages(200);
    EXPECT_EQ(gdi, CountGdiObjects());
    EXPECT_EQ(user, CountUserObjects());
    EXPECT_LE(SettledThreadCount(threads + 2), threads + 2);
    EXPECT_LE(CountHandles(), handles + 10);
    EXPECT_EQ("", StrayTopLevelWindows(board));
}
