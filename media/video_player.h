// Video windows inside cards, and the native size of a video file.
#pragma once

#include <windows.h>

#include <string>

void InitVideoHost();
void FreeVideoHost();
// The video's native size; false with an error text when it can't be learnt.
bool GetVideoSize(const std::string& fileName, int& width, int& height, std::string& error);
// The size as a filter graph built for the file reports it, which the header's size must equal.
bool MeasureVideoWithGraph(const std::string& fileName, int& width, int& height, std::string& error);
HWND CreateVideoWindow(int x, int y, int width, int height, HWND parent, int id, const char* fileName);
void PlayVideo(HWND video);
void StopVideo(HWND video);
