// Helpers of the media tests (see media_support.h).
#include "support/media_support.h"

#include <mmsystem.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cmath>
#include <vector>

std::string TestMediaFile(const std::string& name)
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder = path;
    // The test programs live in <build>/tests; the build folder holds CMakeCache.txt.
    for (;;) {
        size_t slash = folder.find_last_of("\\/");
        if (slash == std::string::npos)
            return name;
        folder.resize(slash);
        if (GetFileAttributesA((folder + "\\CMakeCache.txt").c_str()) != INVALID_FILE_ATTRIBUTES)
            return folder + "\\test-media\\" + name;
    }
}

HeardSound ListenFor(double frequency, DWORD milliseconds)
{
    HeardSound heard;
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = 44100;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 2;
    format.nAvgBytesPerSec = 88200;
    HWAVEIN input = nullptr;
    if (waveInGetNumDevs() == 0 || waveInOpen(&input, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR)
        return heard;
    std::vector<short> samples(44100 * milliseconds / 1000);
    WAVEHDR header = {};
    header.lpData = reinterpret_cast<char*>(samples.data());
    header.dwBufferLength = static_cast<DWORD>(samples.size() * sizeof(short));
    waveInPrepareHeader(input, &header, sizeof header);
    waveInAddBuffer(input, &header, sizeof header);
    waveInStart(input);
    DWORD start = GetTickCount();
    while (!(header.dwFlags & WHDR_DONE) && GetTickCount() - start < milliseconds + 3000)
        PumpMessages(20);
    waveInReset(input);
    waveInUnprepareHeader(input, &header, sizeof header);
    waveInClose(input);
    size_t n = header.dwBytesRecorded / sizeof(short);
    // Blocks of 50 ms (whole periods of 20 Hz multiples), so that a glitch of the recording
    // spoils only its block: the tone's level is the median of the blocks' levels at the
    // frequency (one bin of a Fourier transform), the whole level the loudest block's.
    const size_t block = 2205;
    const double pi = 3.14159265358979323846;
    std::vector<double> toneLevels;
    for (size_t first = 0; first + block <= n; first += block) {
        double re = 0, im = 0, sum = 0;
        for (size_t i = 0; i < block; ++i) {
            double v = samples[first + i] / 32768.0;
            sum += v * v;
            re += v * std::cos(2 * pi * frequency * i / 44100);
            im += v * std::sin(2 * pi * frequency * i / 44100);
        }
        toneLevels.push_back(2 * std::sqrt(re * re + im * im) / block);
        heard.Level = std::max(heard.Level, std::sqrt(2 * sum / block));
    }
    if (toneLevels.empty())
        return heard;
    std::sort(toneLevels.begin(), toneLevels.end());
    heard.Recorded = true;
    heard.ToneLevel = toneLevels[toneLevels.size() / 2];
    return heard;
}

int CountThreads()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    int n = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        n += entry.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    return n;
}

int SettledThreadCount(int atMost)
{
    int n = CountThreads();
    for (int waited = 0; n > atMost && waited < 5000; waited += 100) {
        PumpMessages(100);
        n = CountThreads();
    }
    return n;
}

int CountHandles()
{
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return static_cast<int>(count);
}

namespace {

struct StrayQuery {
    HWND Except;
    std::string Found;
};

BOOL CALLBACK CollectStray(HWND window, LPARAM param)
{
    StrayQuery* query = reinterpret_cast<StrayQuery*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() || window == query->Except || !IsWindowVisible(window))
        return TRUE;
    char caption[256] = "";
    GetWindowTextA(window, caption, sizeof caption);
    query->Found += std::string(query->Found.empty() ? "" : ", ") + "\"" + caption + "\"";
    return TRUE;
}

} // namespace

std::string StrayTopLevelWindows(HWND except)
{
    StrayQuery query = {except, ""};
    EnumWindows(CollectStray, reinterpret_cast<LPARAM>(&query));
    return query.Found;
}

bool PixelsDiffer(const Pixels& a, const Pixels& b)
{
    if (a.Width != b.Width || a.Height != b.Height)
        return true;
    size_t differing = 0;
    for (size_t i = 0; i < a.Data.size(); ++i)
        differing += a.Data[i] != b.Data[i];
    return differing > 16;
}

int CountLitPixels(const Pixels& pixels)
{
    return static_cast<int>(pixels.Data.size()) - pixels.Count(RGB(0, 0, 0));
}
