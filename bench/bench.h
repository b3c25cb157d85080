// The benchmark program's pieces: each file registers its measurements, main runs them in order.
#pragma once

#include <functional>
#include <string>
#include <vector>

using BenchFunction = void (*)();

// Registers a measurement; use as a namespace-scope initialiser: static int r = RegisterBench(...).
int RegisterBench(const char* name, BenchFunction function);

// Milliseconds from a fixed point, with sub-millisecond resolution.
double BenchNow();
double BenchMedian(std::vector<double> values);
// Runs the message loop as the program does, idle work included, until done() is true or the
// time limit has passed; returns the milliseconds it ran.
double BenchRunLoop(const std::function<bool()>& done, double limit);

// Milliseconds from calling open, which opens a card set dialog (after preparing what it shows,
// if it will), to that dialog's first paint; the dialog is closed once painted.
double BenchCardSetDialogToFirstPaint(const std::function<void()>& open);

// Writes a 1024 x 768 photo-like JPEG (smooth gradients with some detail) to path.
bool WriteBenchJpeg(const std::string& path);
