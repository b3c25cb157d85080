// The sound player: its trace, its failures, and sounds that really play on the test sound device.
#include "app/startup.h"
#include "media/sound_player.h"
#include "support/media_support.h"

#include <ole2.h>
#include <wmp.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> TraceLines;

// Collects the trace lines while it lives.
struct TraceWatch {
    TraceWatch()
    {
        TraceLines.clear();
        SetTraceObserver([](const char* line) { TraceLines.push_back(line); });
    }
    ~TraceWatch() { SetTraceObserver(nullptr); }
    // The player's calls started, in order.
    static std::vector<std::string> Started()
    {
        std::vector<std::string> calls;
        for (const std::string& line : TraceLines)
            if (line.find(": Start") != std::string::npos)
                calls.push_back(line.substr(0, line.find(": Start")));
        return calls;
    }
};

double CurrentPosition()
{
    double position = -1;
    TheSoundPlayer->Controls->get_currentPosition(&position);
    return position;
}

// Plays a test file on the program's player and expects it to be accepted.
void Play(const std::string& name)
{
    std::string error = "not yet";
    EXPECT_TRUE(PlaySoundFile(TheSoundPlayer, TestMediaFile(name), error)) << name;
    EXPECT_EQ("", error) << name;
}

} // namespace

TEST(SoundTrace, FormatsTheResultsAndCutsLongCallNames)
{
    TraceWatch watch;
    std::string name(400, 'n');
    TraceCallResult("[Sound] IWMPControls.play", S_OK);
    TraceCallResult("[Sound] IWMPControls.stop", 0x000D1105);
    TraceCallResult("[Sound] IWMPPlayer.put_URL", E_FAIL);
    TraceCallEnd(name.c_str()); // cut so that every line fits its buffer
    TraceCallResult(name.c_str(), 0x00000001);
    std::vector<std::string> expected = {
        "[Sound] IWMPControls.play: End: HRESULT = S_OK",
        "[Sound] IWMPControls.stop: End: HRESULT = NS_S_WMPCORE_COMMAND_NOT_AVAILABLE",
        "[Sound] IWMPPlayer.put_URL: End: HRESULT = 80004005hex",
        std::string(200, 'n') + ": End",
        std::string(200, 'n') + ": End: HRESULT = 1hex",
    };
    EXPECT_EQ(expected, TraceLines);
}

TEST(SoundPlayer, AWavReallyPlaysANewOneReplacesItAndStopStopsIt)
{
    ASSERT_NE(nullptr, TheSoundPlayer);
    TraceWatch watch;
    Play("tone440.wav");
    // Stop always comes between the file and play: some players crash on play after a failed start.
    EXPECT_EQ((std::vector<std::string>{"[Sound] IWMPPlayer.put_URL", "[Sound] IWMPControls.stop",
                                        "[Sound] IWMPControls.play"}),
              watch.Started());
    PumpMessages(300);
    double first = CurrentPosition();
    HeardSound low = ListenFor(440, 600);
    EXPECT_GT(CurrentPosition(), first) << "the position does not advance: is there a sound device (PULSE_SERVER)?";
    Play("tone880.wav");
    PumpMessages(300);
    HeardSound replaced = ListenFor(440, 500);
    HeardSound high = ListenFor(880, 500);
    StopSound(TheSoundPlayer);
    PumpMessages(200);
    HeardSound stopped = ListenFor(440, 600);
    ASSERT_TRUE(low.Recorded) << "no recording device: run the tests through scripts/test.sh";
    EXPECT_GT(low.ToneLevel, 0.1) << "overall level " << low.Level;
    EXPECT_LT(replaced.ToneLevel, 0.02);
    EXPECT_GT(high.ToneLevel, 0.1);
    EXPECT_LT(stopped.Level, 0.01);
}

TEST(SoundPlayer, FailuresAreReportedAndThePlayerGoesOn)
{
    ASSERT_NE(nullptr, TheSoundPlayer);
    std::string error = "old";
    SoundPlayer* second = CreateSoundPlayer(error); // a second player comes and goes cleanly
    ASSERT_NE(nullptr, second);
    EXPECT_EQ("", error);
    ReleaseSoundPlayer(second);
    EXPECT_FALSE(PlaySoundFile(nullptr, TestMediaFile("tone440.wav"), error));
    EXPECT_EQ("pData is NULL", error);
    StopSound(nullptr);
    ReleaseSoundPlayer(nullptr);
    // A name too long for the player is refused before the player sees it; 255 characters fit.
    TraceWatch watch;
    EXPECT_FALSE(PlaySoundFile(TheSoundPlayer, "C:\\" + std::string(300, 'a') + ".wav", error));
    EXPECT_EQ("Setting URL failed", error);
    EXPECT_TRUE(watch.Started().empty());
    PlaySoundFile(TheSoundPlayer, "C:\\" + std::string(248, 'a') + ".wav", error);
    EXPECT_NE("Setting URL failed", error);
    // A text file, a missing file and a video without sound; each failure leaves the player
    // able to play the next sound.
    for (const char* name : {"not-a-sound.wav", "missing.wav", "silent.avi", "not-a-sound.wav"}) {
        EXPECT_FALSE(PlaySoundFile(TheSoundPlayer, TestMediaFile(name), error)) << name;
        EXPECT_EQ("Playing failed", error) << name;
        StopSound(TheSoundPlayer);
        Play("tone440.wav");
        PumpMessages(200);
        EXPECT_GT(CurrentPosition(), 0.05) << "after " << name;
    }
    StopSound(TheSoundPlayer);
}
