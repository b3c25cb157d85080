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

void CollectTraceLine(const char* line)
{
    TraceLines.push_back(line);
}

// Collects the trace lines while it lives.
struct TraceWatch {
    TraceWatch()
    {
        TraceLines.clear();
        SetTraceObserver(CollectTraceLine);
    }
    ~TraceWatch() { SetTraceObserver(nullptr); }
    bool Saw(const std::string& line) const
    {
        for (const std::string& seen : TraceLines)
            if (seen == line)
                return true;
        return false;
    }
};

// A stand-in for the player object whose answers a test chooses; it records the calls it gets.
#define NOT_USED(name, ...)                                                                                            \
    HRESULT STDMETHODCALLTYPE name(__VA_ARGS__) override                                                               \
    {                                                                                                                  \
        return E_NOTIMPL;                                                                                              \
    }
struct FakeControls : IWMPControls {
    std::vector<std::string>* Calls = nullptr;
    HRESULT StopResult = S_OK;
    HRESULT PlayResult = S_OK;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override
    {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    NOT_USED(GetTypeInfoCount, UINT*)
    NOT_USED(GetTypeInfo, UINT, LCID, ITypeInfo**)
    NOT_USED(GetIDsOfNames, REFIID, LPOLESTR*, UINT, LCID, DISPID*)
    NOT_USED(Invoke, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)
    NOT_USED(get_isAvailable, BSTR, VARIANT_BOOL*)
    HRESULT STDMETHODCALLTYPE play() override
    {
        Calls->push_back("play");
        return PlayResult;
    }
    HRESULT STDMETHODCALLTYPE stop() override
    {
        Calls->push_back("stop");
        return StopResult;
    }
    NOT_USED(pause)
    NOT_USED(fastForward)
    NOT_USED(fastReverse)
    NOT_USED(get_currentPosition, DOUBLE*)
    NOT_USED(put_currentPosition, DOUBLE)
    NOT_USED(get_currentPositionString, BSTR*)
    NOT_USED(next)
    NOT_USED(previous)
    NOT_USED(currentItem, IWMPMedia**)
    NOT_USED(put_currentItem, IWMPMedia*)
    NOT_USED(get_currentMarker, LONG*)
    NOT_USED(put_currentMarker, LONG)
    NOT_USED(playItem, IWMPMedia*)
};

struct FakePlayer : IWMPPlayer {
    std::vector<std::string>* Calls = nullptr;
    HRESULT UrlResult = S_OK;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override
    {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    NOT_USED(GetTypeInfoCount, UINT*)
    NOT_USED(GetTypeInfo, UINT, LCID, ITypeInfo**)
    NOT_USED(GetIDsOfNames, REFIID, LPOLESTR*, UINT, LCID, DISPID*)
    NOT_USED(Invoke, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)
    NOT_USED(close)
    NOT_USED(get_URL, BSTR*)
    HRESULT STDMETHODCALLTYPE put_URL(BSTR url) override
    {
        Calls->push_back("put_URL " + std::string(url, url + SysStringLen(url)));
        return UrlResult;
    }
    NOT_USED(get_openState, WMPOpenState*)
    NOT_USED(get_playState, WMPPlayState*)
    NOT_USED(get_controls, IWMPControls**)
    NOT_USED(get_settings, IWMPSettings**)
    NOT_USED(get_currentMedia, IWMPMedia**)
    NOT_USED(put_currentMedia, IWMPMedia*)
    NOT_USED(get_mediaCollection, IWMPMediaCollection**)
    NOT_USED(get_playlistCollection, IWMPPlaylistCollection**)
    NOT_USED(get_versionInfo, BSTR*)
    NOT_USED(launchURL, BSTR)
    NOT_USED(get_network, IWMPNetwork**)
    NOT_USED(get_currentPlaylist, IWMPPlaylist**)
    NOT_USED(put_currentPlaylist, IWMPPlaylist*)
    NOT_USED(get_cdromCollection, IWMPCdromCollection**)
    NOT_USED(get_closedCaption, IWMPClosedCaption**)
    NOT_USED(get_isOnline, VARIANT_BOOL*)
    NOT_USED(get_Error, IWMPError**)
    NOT_USED(get_status, BSTR*)
    NOT_USED(get_enabled, VARIANT_BOOL*)
    NOT_USED(put_enabled, VARIANT_BOOL)
    NOT_USED(get_fullScreen, VARIANT_BOOL*)
    NOT_USED(put_fullScreen, VARIANT_BOOL)
    NOT_USED(get_enableContextMenu, VARIANT_BOOL*)
    NOT_USED(put_enableContextMenu, VARIANT_BOOL)
    NOT_USED(put_uiMode, BSTR)
    NOT_USED(get_uiMode, BSTR*)
};
#undef NOT_USED

struct FakeSound {
    std::vector<std::string> Calls;
    FakePlayer Player;
    FakeControls Controls;
    SoundPlayer Record;
    FakeSound()
    {
        Player.Calls = &Calls;
        Controls.Calls = &Calls;
        Record = SoundPlayer{&Player, &Controls};
    }
};

double CurrentPosition()
{
    double position = -1;
    TheSoundPlayer->Controls->get_currentPosition(&position);
    return position;
}

// Plays a file on the program's player and asserts that it was accepted.
void Play(const std::string& name)
{
    std::string error = "not yet";
    EXPECT_TRUE(PlaySoundFile(TheSoundPlayer, TestMediaFile(name), error)) << name;
    EXPECT_EQ("", error) << name;
}

} // namespace

TEST(SoundTrace, FormatsTheResultTexts)
{
    TraceWatch watch;
    TraceCallStart("[Sound] IWMPControls.stop");
    TraceCallEnd("[Sound] IWMPPlayer.Release");
    TraceCallResult("[Sound] IWMPControls.play", S_OK);
    TraceCallResult("[Sound] IWMPControls.stop", 0x000D1105);
    TraceCallResult("[Sound] IWMPPlayer.put_URL", E_FAIL);
    TraceCallResult("x", 0x00000001);
    std::vector<std::string> expected = {
        "[Sound] IWMPControls.stop: Start",
        "[Sound] IWMPPlayer.Release: End",
        "[Sound] IWMPControls.play: End: HRESULT = S_OK",
        "[Sound] IWMPControls.stop: End: HRESULT = NS_S_WMPCORE_COMMAND_NOT_AVAILABLE",
        "[Sound] IWMPPlayer.put_URL: End: HRESULT = 80004005hex",
        "x: End: HRESULT = 1hex",
    };
    EXPECT_EQ(expected, TraceLines);
}

TEST(SoundTrace, LongCallNamesAreCutToFitTheLine)
{
    TraceWatch watch;
    std::string name(400, 'n');
    TraceCallStart(name.c_str());
    TraceCallEnd(name.c_str());
    TraceCallResult(name.c_str(), 0x80004005);
    ASSERT_EQ(3u, TraceLines.size());
    EXPECT_EQ(std::string(200, 'n') + ": Start", TraceLines[0]);
    EXPECT_EQ(std::string(200, 'n') + ": End", TraceLines[1]);
    EXPECT_EQ(std::string(200, 'n') + ": End: HRESULT = 80004005hex", TraceLines[2]);
}

TEST(SoundPlayer, WithoutAPlayerEveryCardReportsIt)
{
    std::string error;
    EXPECT_FALSE(PlaySoundFile(nullptr, TestMediaFile("tone440.wav"), error));
    EXPECT_EQ("pData is NULL", error);
    StopSound(nullptr);
    ReleaseSoundPlayer(nullptr);
}

TEST(SoundPlayer, SetsTheUrlThenStopsThenPlays)
{
    FakeSound fake;
    fake.Controls.StopResult = 0x000D1105; // nothing to stop: not a failure
    TraceWatch watch;
    std::string error = "old text";
    EXPECT_TRUE(PlaySoundFile(&fake.Record, "C:\\sounds\\b\xE9l.wav", error));
    EXPECT_EQ("", error);
    std::vector<std::string> expected = {"put_URL C:\\sounds\\b\xE9l.wav", "stop", "play"};
    EXPECT_EQ(expected, fake.Calls);
    EXPECT_TRUE(watch.Saw("[Sound] IWMPControls.stop: End: HRESULT = NS_S_WMPCORE_COMMAND_NOT_AVAILABLE"));
    EXPECT_TRUE(watch.Saw("[Sound] IWMPControls.play: End: HRESULT = S_OK"));
}

TEST(SoundPlayer, AFailedUrlSkipsStopAndPlay)
{
    FakeSound fake;
    fake.Player.UrlResult = E_FAIL;
    TraceWatch watch;
    std::string error;
    EXPECT_FALSE(PlaySoundFile(&fake.Record, "C:\\missing.wav", error));
    EXPECT_EQ("Setting URL failed", error);
    ASSERT_EQ(1u, fake.Calls.size());
    std::vector<std::string> expected = {"[Sound] IWMPPlayer.put_URL: Start",
                                         "[Sound] IWMPPlayer.put_URL: End: HRESULT = 80004005hex"};
    EXPECT_EQ(expected, TraceLines);
}

TEST(SoundPlayer, ARefusedPlayIsReported)
{
    FakeSound fake;
    fake.Controls.PlayResult = E_NOTIMPL;
    std::string error;
    EXPECT_FALSE(PlaySoundFile(&fake.Record, "C:\\video-only.avi", error));
    EXPECT_EQ("Playing failed", error);
    EXPECT_EQ(3u, fake.Calls.size());
}

TEST(SoundPlayer, ANameTooLongForThePlayerIsRefused)
{
    FakeSound fake;
    std::string error;
    EXPECT_FALSE(PlaySoundFile(&fake.Record, "C:\\" + std::string(300, 'a') + ".wav", error));
    EXPECT_EQ("Setting URL failed", error);
    EXPECT_TRUE(fake.Calls.empty());
    EXPECT_TRUE(PlaySoundFile(&fake.Record, "C:\\" + std::string(248, 'a') + ".wav", error)); // 255 fit
}

TEST(SoundPlayer, IsCreatedAtStartUpWithItsControls)
{
    ASSERT_NE(nullptr, TheSoundPlayer);
    EXPECT_NE(nullptr, TheSoundPlayer->Player);
    EXPECT_NE(nullptr, TheSoundPlayer->Controls);
    // A second player comes and goes cleanly.
    std::string error = "old";
    SoundPlayer* player = CreateSoundPlayer(error);
    ASSERT_NE(nullptr, player);
    EXPECT_EQ("", error);
    ReleaseSoundPlayer(player);
}

TEST(SoundPlayer, AWavReallyPlaysAndStopStopsIt)
{
    ASSERT_NE(nullptr, TheSoundPlayer);
    Play("tone440.wav");
    PumpMessages(300);
    double first = CurrentPosition();
    HeardSound playing = ListenFor(440, 600);
    double second = CurrentPosition();
    EXPECT_GT(second, first) << "the position does not advance: is there a sound device (PULSE_SERVER)?";
    StopSound(TheSoundPlayer);
    PumpMessages(200);
    HeardSound stopped = ListenFor(440, 600);
    ASSERT_TRUE(playing.Recorded) << "no recording device: run the tests through scripts/test.sh";
    EXPECT_GT(playing.ToneLevel, 0.1) << "overall level " << playing.Level;
    EXPECT_LT(stopped.Level, 0.01);
}

TEST(SoundPlayer, ANewSoundReplacesThePlayingOne)
{
    ASSERT_NE(nullptr, TheSoundPlayer);
    Play("tone440.wav");
    PumpMessages(300);
    Play("tone880.wav");
    PumpMessages(300);
    HeardSound low = ListenFor(440, 500);
    HeardSound high = ListenFor(880, 500);
    StopSound(TheSoundPlayer);
    ASSERT_TRUE(low.Recorded);
    EXPECT_LT(low.ToneLevel, 0.02);
    EXPECT_GT(high.ToneLevel, 0.1);
}

TEST(SoundPlayer, FilesThatCannotPlayAreReportedAndThePlayerGoesOn)
{
    ASSERT_NE(nullptr, TheSoundPlayer);
    // A text file, a missing file and a video without sound; each failure leaves the player
    // able to play the next sound.
    for (const char* name : {"not-a-sound.wav", "missing.wav", "silent.avi", "not-a-sound.wav"}) {
        std::string error;
        EXPECT_FALSE(PlaySoundFile(TheSoundPlayer, TestMediaFile(name), error)) << name;
        EXPECT_EQ("Playing failed", error) << name;
        StopSound(TheSoundPlayer);
        Play("tone440.wav");
        PumpMessages(200);
        EXPECT_GT(CurrentPosition(), 0.05) << "after " << name;
    }
    StopSound(TheSoundPlayer);
}

TEST(SoundPlayer, FiftyRoundsLeaveNothingBehind)
{
    ASSERT_NE(nullptr, TheSoundPlayer);
    auto round = [] {
        Play("tone440.wav");
        PumpMessages(20);
        StopSound(TheSoundPlayer);
        PumpMessages();
    };
    for (int i = 0; i < 3; ++i)
        round();
    int gdi = CountGdiObjects(), user = CountUserObjects(), threads = CountThreads(), handles = CountHandles();
    for (int i = 0; i < 50; ++i)
        round();
    PumpMessages(200);
    EXPECT_EQ(gdi, CountGdiObjects());
    EXPECT_EQ(user, CountUserObjects());
    EXPECT_LE(SettledThreadCount(threads + 2), threads + 2);
    EXPECT_LE(CountHandles(), handles + 10);
}
