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

// Writes a 1024 x 768 photo-like JPEG (smooth gradients with some detail) to path.
bool WriteBenchJpeg(const std::string& path);
