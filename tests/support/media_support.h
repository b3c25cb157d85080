// Helpers of the tests that play sounds and videos: the test media files, what the sound device
// plays, and counts of the process's threads and handles.
#pragma once

#include "support/test_support.h"

#include <windows.h>

#include <string>

// The full name of a file made by scripts/make-test-media.sh in the build folder's test-media.
std::string TestMediaFile(const std::string& name);

// What the default recording source heard for a while: the typical amplitude (0 to 1) of one
// frequency and the loudest amplitude of the whole signal. The test sound server records what
// is played. Recorded is false when there is no recording device.
struct HeardSound {
    bool Recorded = false;
    double ToneLevel = 0;
    double Level = 0;
};
HeardSound ListenFor(double frequency, DWORD milliseconds);

int CountThreads();
// The thread count once it has come down to atMost, or after five seconds of waiting for it (the
// media framework's worker threads end a moment after the object that used them is released).
int SettledThreadCount(int atMost);
int CountHandles();

// The visible top-level windows of this process other than the given one, with their captions.
std::string StrayTopLevelWindows(HWND except);
// True when two captures differ in more than a few pixels.
bool PixelsDiffer(const Pixels& a, const Pixels& b);
// Number of pixels that are not black.
int CountLitPixels(const Pixels& pixels);
