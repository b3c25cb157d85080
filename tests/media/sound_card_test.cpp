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
    for (int card = 0; card < 2; ++card) { // the turn's second card is the partner: a pair found
        driver.Press(IDOK);
        Turn(MediaCard(card));
        for (int i = 0; i < 100 && !driver.Done(); ++i)
            PumpMessages(20);
        ASSERT_EQ(card + 1u, driver.Seen().size());
        EXPECT_EQ("Error", driver.Seen()[card].Caption);
        EXPECT_EQ("Playing failed", driver.Seen()[card].Text);
        EXPECT_TRUE(FaceUp(MediaCard(card)));
        EXPECT_EQ(2 - card, GetWindowLongA(board, TurnStateSlot));
    }
    EXPECT_TRUE(FaceUp(MediaCard(0)));
}
