// Turned cards play their sound on the program's player: the next turn stops it, and a sound
// that cannot be played is reported in a box while the turn goes on.
#include "app/startup.h"
#include "media/sound_player.h"
#include "support/media_board.h"

TEST_F(MediaBoardTest, ATurnedCardPlaysItsWavAndTheNextTurnStopsIt)
{
    Deal("tone440.wav", "");
    Turn(MediaCard(0));
    EXPECT_TRUE(FaceUp(MediaCard(0)));
    PumpMessages(300);
    HeardSound playing = ListenFor(440, 600);
    // A card of the other pair: the turn fails, both are turned back and the sound stops.
    Turn(PlainCard(0));
    EXPECT_FALSE(FaceUp(MediaCard(0)));
    PumpMessages(200);
    HeardSound stopped = ListenFor(440, 600);
    ASSERT_TRUE(playing.Recorded) << "no recording device: run the tests through scripts/test.sh";
    EXPECT_GT(playing.ToneLevel, 0.1);
    EXPECT_LT(stopped.Level, 0.01);
}

TEST_F(MediaBoardTest, ASoundThatCannotPlayIsShownAndTheTurnGoesOn)
{
    Deal("not-a-sound.wav", "");
    DialogDriver driver;
    driver.Press(IDOK);
    Turn(MediaCard(0));
    for (int i = 0; i < 100 && !driver.Done(); ++i)
        PumpMessages(20);
    ASSERT_EQ(1u, driver.Seen().size());
    EXPECT_EQ("Error", driver.Seen()[0].Caption);
    EXPECT_EQ("Playing failed", driver.Seen()[0].Text);
    EXPECT_TRUE(FaceUp(MediaCard(0)));
    EXPECT_EQ(2, GetWindowLongA(board, TurnStateSlot));
    // The turn goes on: its second card is the partner, and the pair stays found.
    driver.Press(IDOK);
    Turn(MediaCard(1));
    for (int i = 0; i < 100 && !driver.Done(); ++i)
        PumpMessages(20);
    EXPECT_TRUE(FaceUp(MediaCard(0)));
    EXPECT_TRUE(FaceUp(MediaCard(1)));
    EXPECT_EQ(1, GetWindowLongA(board, TurnStateSlot));
}

TEST_F(MediaBoardTest, WithoutAPlayerACardWithASoundSaysSo)
{
    Deal("tone440.wav", "");
    SoundPlayer* player = TheSoundPlayer;
    TheSoundPlayer = nullptr;
    DialogDriver driver;
    driver.Press(IDOK);
    Turn(MediaCard(0));
    for (int i = 0; i < 100 && !driver.Done(); ++i)
        PumpMessages(20);
    TheSoundPlayer = player;
    ASSERT_EQ(1u, driver.Seen().size());
    EXPECT_EQ("Error", driver.Seen()[0].Caption);
    EXPECT_EQ("pData is NULL", driver.Seen()[0].Text);
    EXPECT_TRUE(FaceUp(MediaCard(0)));
}
