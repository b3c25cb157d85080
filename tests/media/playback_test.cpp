// Sound and video: sounds heard back from the test sound device, videos' sizes, video windows drawn
// by the program's own thread inside the card, and turned media cards that leave nothing behind.
#include "app/startup.h"
#include "media/sound_player.h"
#include "media/video_frames.h"
#include "media/video_header.h"
#include "media/video_player.h"
#include "tests/game/game_fixture.h"

#include <mmsystem.h>
#include <tlhelp32.h>
#include <wmp.h>

#include <cmath>

namespace {

// What the test sound server's recording source heard for a while: the typical level (0 to 1) of
// one frequency and the loudest level of the whole signal; Recorded is false without a device.
struct HeardSound {
    bool Recorded = false;
    double ToneLevel = 0, Level = 0;
};

HeardSound ListenFor(double frequency, DWORD milliseconds)
{
    HeardSound heard;
    WAVEFORMATEX format = {WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0};
    HWAVEIN input = nullptr;
    if (waveInGetNumDevs() == 0 || waveInOpen(&input, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR)
        return heard;
    std::vector<short> samples(44100 * milliseconds / 1000);
    DWORD bytes = static_cast<DWORD>(samples.size() * sizeof(short));
    WAVEHDR header = {reinterpret_cast<char*>(samples.data()), bytes, 0, 0, 0, 0, nullptr, 0};
    waveInPrepareHeader(input, &header, sizeof header);
    waveInAddBuffer(input, &header, sizeof header);
    waveInStart(input);
    for (DWORD start = GetTickCount(); !(header.dwFlags & WHDR_DONE) && GetTickCount() - start < milliseconds + 3000;)
        PumpMessages(20);
    waveInReset(input);
    waveInUnprepareHeader(input, &header, sizeof header);
    waveInClose(input);
    // Blocks of 50 ms, so that a glitch spoils only its block: the tone's level is the median of the
    // blocks' levels at the frequency (one Fourier bin), the whole level the loudest block's.
    std::vector<double> tones;
    for (size_t first = 0; first + 2205 <= header.dwBytesRecorded / sizeof(short); first += 2205) {
        double re = 0, im = 0, sum = 0;
        for (size_t i = 0; i < 2205; ++i) {
            double v = samples[first + i] / 32768.0, angle = 2 * 3.14159265358979 * frequency * i / 44100;
            sum += v * v, re += v * std::cos(angle), im += v * std::sin(angle);
        }
        tones.push_back(2 * std::sqrt(re * re + im * im) / 2205);
        heard.Level = std::max(heard.Level, std::sqrt(2 * sum / 2205));
    }
    std::sort(tones.begin(), tones.end());
    heard.Recorded = !tones.empty();
    heard.ToneLevel = tones.empty() ? 0 : tones[tones.size() / 2];
    return heard;
}

// The process's threads once down to settleTo, or after five seconds of waiting (the media
// framework's threads end a moment after the objects that used them).
int CountThreads(int settleTo = 1 << 30)
{
    for (int waited = 0;; waited += 100, PumpMessages(100)) {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
        THREADENTRY32 entry = {sizeof(THREADENTRY32), 0, 0, 0, 0, 0, 0};
        int n = 0;
        for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
            n += entry.th32OwnerProcessID == GetCurrentProcessId();
        CloseHandle(snapshot);
        if (n <= settleTo || waited >= 5000)
            return n;
    }
}

// This process's visible top-level windows (a video must never open one).
int CountVisibleWindows()
{
    int n = 0;
    for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        n += process == GetCurrentProcessId() && IsWindowVisible(window);
    }
    return n;
}

bool PixelsDiffer(const Pixels& a, const Pixels& b)
{
    size_t differing = 0;
    for (size_t i = 0; i < a.Data.size() && i < b.Data.size(); ++i)
        differing += a.Data[i] != b.Data[i];
    return a.Width != b.Width || a.Height != b.Height || differing > 16;
}

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
    if (WaitForSingleObject(done, 20000) == WAIT_TIMEOUT)
        fputs("stopping the video deadlocked\n", stderr), TerminateProcess(GetCurrentProcess(), 4);
    return 0;
}

std::vector<std::string> TraceLines;

class MediaBoard : public BoardTest {
  protected:
    // A 2 x 2 game: both cards of pair 0 carry the sound and video, pair 1 is text alone.
    void Deal(const std::string& sound, const std::string& video)
    {
        auto file = [](const std::string& name) { return name.empty() ? name : TestMediaFile(name); };
        Start(
            new CardSet{{"media", "", "", "", file(sound), "", file(video), ""}, {"plain", "", "", "", "", "", "", ""}},
            2, 2);
        PumpMessages();
    }
    HWND VideoOf(int id) const { return GetDlgItem(Card(id), CardVideoId); }
    bool Showing(int id) const { return IsWindowVisible(VideoOf(id)); }
    void Turn(int id) { OnCardClicked(board, id), PumpMessages(); }
};

} // namespace

// A WAV plays, a new one replaces it and stop stops it, as heard; stop always comes between the file
// and play (some players crash on play after a failed start) and long call names are cut in the
// trace; each failure is reported and leaves the player able to play.
TEST(SoundPlayer, PlaysReplacesStopsAndGoesOnAfterFailures)
{
    ASSERT_NE(nullptr, TheSoundPlayer);
    auto position = [] {
        double seconds = -1;
        TheSoundPlayer->Controls->get_currentPosition(&seconds);
        return seconds;
    };
    auto play = [](const std::string& name) {
        std::string error = "not yet";
        EXPECT_TRUE(PlaySoundFile(TheSoundPlayer, TestMediaFile(name), error)) << name << ": " << error;
    };
    SetTraceObserver([](const char* line) { TraceLines.push_back(line); });
    play("tone440.wav");
    PumpMessages(300);
    double first = position();
    HeardSound low = ListenFor(440, 600);
    EXPECT_GT(position(), first) << "the position does not advance: is there a sound device?";
    play("tone880.wav");
    PumpMessages(300);
    HeardSound replaced = ListenFor(440, 500), high = ListenFor(880, 500);
    StopSound(TheSoundPlayer);
    PumpMessages(200);
    HeardSound stopped = ListenFor(440, 600);
    ASSERT_TRUE(low.Recorded) << "no recording device: run the tests through scripts/test.sh";
    EXPECT_TRUE(low.ToneLevel > 0.1 && replaced.ToneLevel < 0.02 && high.ToneLevel > 0.1 && stopped.Level < 0.01)
        << low.ToneLevel << " " << replaced.ToneLevel << " " << high.ToneLevel << " " << stopped.Level;
    EXPECT_EQ("[Sound] IWMPControls.stop: Start", TraceLines.at(2));
    TraceCallEnd(std::string(400, 'n').c_str());
    EXPECT_EQ(std::string(200, 'n') + ": End", TraceLines.back());
    SetTraceObserver(nullptr);
    std::string error;
    const std::pair<std::string, const char*> failures[] = {
        {"C:\\" + std::string(300, 'a') + ".wav", "Setting URL failed"}, // refused before the player sees it
        {TestMediaFile("not-a-sound.wav"), "Playing failed"},
        {TestMediaFile("missing.wav"), "Playing failed"},
        {TestMediaFile("silent.avi"), "Playing failed"}}; // a video without sound
    for (const auto& failure : failures) {
        EXPECT_FALSE(PlaySoundFile(TheSoundPlayer, failure.first, error));
        EXPECT_EQ(failure.second, error) << failure.first;
        play("tone440.wav");
        PumpMessages(200);
        EXPECT_GT(position(), 0.05) << "after " << failure.first;
    }
    StopSound(TheSoundPlayer);
}

// Sizes are read from the headers of AVI, MPEG-1 and -2 and WMV files as the filter graph gives them,
// and kept while a file stays the same; no video fails, leaving the size. A video window is a
// still child without controls until played, then moves while the program's thread draws (waiting
// the display time too; never the framework's thread alone); stopped inside its own paint while
// frames arrive (mended: a deadlock), it stands still (played again after a stop on the media board);
// a broken one shows nothing; others are left alone.
TEST(VideoWindow, NativeSizesAndPlayingInsideTheCard)
{
    std::string changing = MakeScratchFolder("video-size") + "\\changing.avi";
    WriteBytes(changing, ReadBytes(TestMediaFile("pattern.avi")));
    const std::pair<std::string, bool> files[] = {
        {"pattern.avi", true}, {"pattern.mpg", true}, {"pattern.wmv", true},      {"silent.avi", true},
        {changing, true},      {changing, false},     {"not-a-video.mpg", false}, {"missing.mpg", false}};
    for (const auto& file : files) {
        std::string name = file.first == changing ? changing : TestMediaFile(file.first);
        if (!file.second)
            WriteBytes(changing, "no video");
        int width = -7, height = -9;
        std::string error = "old";
        EXPECT_EQ(file.second, GetVideoSize(name, width, height, error)) << name;
        EXPECT_EQ(file.second ? "" : "RenderFile failed", error) << name;
        EXPECT_EQ(file.second ? 320 * 1000 + 240 : -7 * 1000 - 9, width * 1000 + height) << name;
    }
    for (const char* name : {"pattern.avi", "pattern.mpg", "pattern.wmv", "odd-size.avi", "odd-size.mpg",
                             "odd-size-2.mpg", "odd-size.wmv"}) {
        int width = 0, height = 0, graphWidth = -1, graphHeight = -1;
        std::string error;
        EXPECT_TRUE(ReadVideoFileHeaderSize(TestMediaFile(name), width, height)) << name;
        EXPECT_TRUE(MeasureVideoWithGraph(TestMediaFile(name), graphWidth, graphHeight, error)) << name;
        EXPECT_EQ(graphWidth * 1000 + graphHeight, width * 1000 + height) << name;
    }
    EXPECT_EQ(0, CountVisibleWindows());
    for (const char* name : {"pattern.avi", "pattern.mpg", "pattern.wmv"}) {
        HWND card = CreateWindowExA(0, "STATIC", "card", WS_POPUP | WS_VISIBLE, 40, 40, 400, 300, nullptr, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
        HWND video = CreateVideoWindow(20, 30, 240, 180, card, 1, TestMediaFile(name).c_str());
        EXPECT_TRUE(!GetWindow(video, GW_CHILD) && !Moving(video, 0)) << name;
        PlayVideo(video);
        EXPECT_TRUE(Moving(video)) << name;
        Pixels before = CaptureClient(video);
        Sleep(500);
        Pixels after = CaptureClient(video);
        EXPECT_FALSE(PixelsDiffer(before, after)) << name << ": the media framework's thread drew";
        WaitShowingVideos(500);
        EXPECT_TRUE(PixelsDiffer(after, CaptureClient(video))) << name;
        EXPECT_GT(240 * 180 - CaptureClient(video).Count(RGB(0, 0, 0)), 240 * 180 / 2) << name;
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
        for (HWND window : {broken, static_cast<HWND>(nullptr), card})
            PlayVideo(window), PumpMessages(300), StopVideo(window);
        EXPECT_EQ(100 * 80, CaptureClient(broken).Count(RGB(0, 0, 0)));
        EXPECT_EQ(1, CountVisibleWindows());
        DestroyWindow(card);
    }
}

// A turned card's sound plays until the next turn; its video plays in the card until a later turn
// hides it, a found pair shows the second card's, a won board deals anew; fifty turns and video
// windows coming and going leave nothing behind; a sound that can't play is reported while the turn
// goes on, clicks made while the box shows wait for the turn, a game dealt meanwhile ends it quietly.
TEST_F(MediaBoard, TurnedCardsPlayTheirMediaAndLeaveNothingBehind)
{
    Deal("tone440.wav", "");
    Turn(CardOf(0, 0));
    PumpMessages(300);
    HeardSound playing = ListenFor(440, 600);
    Turn(CardOf(1, 0));
    PumpMessages(200);
    HeardSound stopped = ListenFor(440, 600);
    EXPECT_TRUE(playing.ToneLevel > 0.1 && stopped.Level < 0.01) << playing.ToneLevel << " " << stopped.Level;
    Deal("", "pattern.avi");
    int card = CardOf(0, 0);
    Turn(card);
    HWND video = VideoOf(card);
    ASSERT_TRUE(video && Showing(card) && Moving(video));
    Turn(CardOf(1, 0));
    EXPECT_FALSE(FaceUp(card) || Showing(card));
    Turn(card);
    EXPECT_TRUE(video == VideoOf(card) && Showing(card) && Moving(video));
    Turn(CardOf(0, 1));
    EXPECT_TRUE(FaceUp(CardOf(0, 1)) && !Showing(card) && Showing(CardOf(0, 1)));
    Turn(CardOf(1, 0));
    EXPECT_FALSE(Showing(card) || Showing(CardOf(0, 1)));
    Turn(CardOf(1, 1));
    EXPECT_FALSE(FaceUp(1) || FaceUp(2) || FaceUp(3) || FaceUp(4));
    Turn(CardOf(0, 0));
    EXPECT_TRUE(Showing(CardOf(0, 0)));
    Deal("tone440.wav", "pattern.avi");
    auto turn = [&] { Turn(CardOf(0, 0)), PumpMessages(30), Turn(CardOf(1, 0)); };
    for (int i = 0; i < 3; ++i)
        turn();
    PumpMessages(200);
    DWORD handles = 0, handlesAfter = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handles);
    int gdi = CountGdiObjects(), user = CountUserObjects(), threads = CountThreads();
    for (int i = 0; i < 50; ++i)
        turn();
    for (int i = 0; i < 10; ++i) {
        HWND other = CreateVideoWindow(0, 0, 80, 60, Card(1), 2, TestMediaFile("pattern.wmv").c_str());
        PlayVideo(other), PumpMessages(30), DestroyWindow(other);
    }
    PumpMessages(200);
    EXPECT_EQ(gdi * 1000 + user, CountGdiObjects() * 1000 + CountUserObjects());
    EXPECT_LE(CountThreads(threads + 2), threads + 2);
    GetProcessHandleCount(GetCurrentProcess(), &handlesAfter);
    EXPECT_LE(handlesAfter, handles + 10);
    Deal("not-a-sound.wav", "");
    DialogDriver driver;
    driver.Then([&](HWND dialog) {
        PostMessageA(board, WM_COMMAND, MAKEWPARAM(CardOf(1, 0), BN_CLICKED), 0);
        PumpMessages(50);
        EXPECT_EQ(0, FaceUp(CardOf(1, 0)));
        PressDialogButton(dialog, IDOK);
    });
    OnCardClicked(board, CardOf(0, 0));
    EXPECT_EQ(1, FaceUp(CardOf(0, 0)) - FaceUp(CardOf(1, 0)));
    PumpMessages(300); // the held click turns the other pair's card: both turned back
    EXPECT_EQ(0, FaceUp(CardOf(0, 0)) + FaceUp(CardOf(1, 0)));
    for (int which = 0; which < 2; ++which) { // then the partner: a pair found
        driver.Press(IDOK);
        Turn(CardOf(0, which));
        for (int i = 0; i < 100 && !driver.Done(); ++i)
            PumpMessages(20);
        EXPECT_TRUE(FaceUp(CardOf(0, which)) && TurnState() == 2 - which);
    }
    EXPECT_EQ("Playing failed", driver.SeenDialogs.at(2).Text); // how many: counted after the next one
    Deal("not-a-sound.wav", "");
    driver.Then([&](HWND dialog) {
        Start(MakeCardSet(8), 2, 2); // the player deals a new game while the box shows
        PressDialogButton(dialog, IDOK);
    });
    Turn(CardOf(0, 0));
    EXPECT_EQ(4u, driver.SeenDialogs.size());
    EXPECT_TRUE(!Card(5) && FaceUp(1) + FaceUp(2) + FaceUp(3) + FaceUp(4) == 0 && TurnState() == 1);
}
