// The sound player: its trace, sounds that really play on the test sound device, its failures, and
// turned cards that play their sound and report one that cannot play while the turn goes on.
#include "app/startup.h"
#include "media/sound_player.h"
#include "support/media_board.h"

#include <ole2.h>
#include <wmp.h>

namespace {

std::vector<std::string> TraceLines;

struct TraceWatch {
    TraceWatch()
    {
        TraceLines.clear();
        SetTraceObserver([](const char* line) { TraceLines.push_back(line); });
    }
    ~TraceWatch() { SetTraceObserver(nullptr); }
};

double CurrentPosition()
{
    double position = -1;
    TheSoundPlayer->Controls->get_currentPosition(&position);
    return position;
}

void Play(const std::string& name)
{
    std::string error = "not yet";
    EXPECT_TRUE(PlaySoundFile(TheSoundPlayer, TestMediaFile(name), error)) << name << ": " << error;
}

} // namespace

TEST(SoundPlayer, AWavPlaysANewOneReplacesItStopStopsItAndTheTraceSaysSo)
{
    ASSERT_NE(nullptr, TheSoundPlayer);
    TraceWatch watch;
    Play("tone440.wav");
    PumpMessages(300);
    double first = CurrentPosition();
    HeardSound low = ListenFor(440, 600);
    EXPECT_GT(CurrentPosition(), first) << "the position does not advance: is there a sound device?";
    Play("tone880.wav");
    PumpMessages(300);
    HeardSound replaced = ListenFor(440, 500), high = ListenFor(880, 500);
    StopSound(TheSoundPlayer);
    PumpMessages(200);
    HeardSound stopped = ListenFor(440, 600);
    ASSERT_TRUE(low.Recorded) << "no recording device: run the tests through scripts/test.sh";
    EXPECT_GT(low.ToneLevel, 0.1);
    EXPECT_LT(replaced.ToneLevel, 0.02);
    EXPECT_GT(high.ToneLevel, 0.1);
    EXPECT_LT(stopped.Level, 0.01);
    // Stop always comes between the file and play: some players crash on play after a failed start;
    // a long call name is cut to fit its line.
    EXPECT_EQ("[Sound] IWMPControls.stop: Start", TraceLines.at(2));
    TraceLines.clear();
    TraceCallEnd(std::string(400, 'n').c_str());
    EXPECT_EQ(std::string(200, 'n') + ": End", TraceLines.at(0));
}

TEST(SoundPlayer, FailuresAreReportedAndThePlayerGoesOn)
{
    std::string error = "old";
    SoundPlayer* second = CreateSoundPlayer(error); // a second player comes and goes cleanly
    ASSERT_NE(nullptr, second);
    EXPECT_EQ("", error);
    ReleaseSoundPlayer(second);
    EXPECT_FALSE(PlaySoundFile(nullptr, TestMediaFile("tone440.wav"), error));
    EXPECT_EQ("pData is NULL", error);
    StopSound(nullptr);
    ReleaseSoundPlayer(nullptr);
    // A name too long for the player is refused before the player sees it.
    EXPECT_FALSE(PlaySoundFile(TheSoundPlayer, "C:\\" + std::string(300, 'a') + ".wav", error));
    EXPECT_EQ("Setting URL failed", error);
    // A text file, a missing file and a video without sound; each leaves the player able to play.
    for (const char* name : {"not-a-sound.wav", "missing.wav", "silent.avi"}) {
        EXPECT_FALSE(PlaySoundFile(TheSoundPlayer, TestMediaFile(name), error)) << name;
        EXPECT_EQ("Playing failed", error) << name;
        Play("tone440.wav");
        PumpMessages(200);
        EXPECT_GT(CurrentPosition(), 0.05) << "after " << name;
    }
    StopSound(TheSoundPlayer);
}

TEST_F(MediaBoardTest, TurnedCardsPlayTheirSoundTheNextTurnStopsItAndFailuresAreShown)
{
    Deal("tone440.wav", "");
    Turn(MediaCard(0));
    PumpMessages(300);
    HeardSound playing = ListenFor(440, 600);
    Turn(PlainCard(0)); // the other pair: both turned back, the sound stopped
    EXPECT_FALSE(FaceUp(MediaCard(0)));
    PumpMessages(200);
    HeardSound stopped = ListenFor(440, 600);
    EXPECT_GT(playing.ToneLevel, 0.1);
    EXPECT_LT(stopped.Level, 0.01);
    Deal("not-a-sound.wav", "");
    DialogDriver driver;
    for (int card = 0; card < 2; ++card) { // the partner: a pair found
        driver.Press(IDOK);
        Turn(MediaCard(card));
        for (int i = 0; i < 100 && !driver.Done(); ++i)
            PumpMessages(20);
        ASSERT_EQ(card + 1u, driver.Seen().size());
        EXPECT_EQ("Playing failed", driver.Seen()[card].Text);
        EXPECT_TRUE(FaceUp(MediaCard(card)));
        EXPECT_EQ(2 - card, GetWindowLongA(board, TurnStateSlot));
    }
}
