// Picture files: raster pictures decoded to bitmaps, enhanced metafiles measured and played.
#pragma once

#include <windows.h>

#include <string>

// The first frame of a picture file as a 32-bit top-down device-independent bitmap the caller
// deletes; null with an error text on failure. Never shows anything.
HBITMAP LoadPictureBitmap(const std::string& fileName, std::string& error);
// Loads the next of the common formats' decoders ahead of the first picture; false when none was
// left.
bool LoadNextPictureDecoder();
// True when the upper-cased name contains ".EMF" anywhere.
bool IsEnhancedMetafileName(const std::string& fileName);
// Size from the metafile header's bounds; false when the file can't be opened or read.
bool GetEnhancedMetafileSize(const std::string& fileName, int& width, int& height);
// Metafiles reach the platform only when they pass the metafile check (metafile_check.h); one that
// fails it counts as one that cannot be opened.
// Plays the metafile stretched into the rectangle; failures are shown to the user.
void DrawEnhancedMetafile(const std::string& fileName, HDC dc, int x, int y, int width, int height);
// Shows a metafile failure in an "Error" box; between BeginPaintingPictures and
// EndPaintingPictures (a window's paint) the box is posted instead, shown once the paint has
// returned and only once per file.
void ShowMetafileError(const std::string& what, const std::string& fileName);
void BeginPaintingPictures();
void EndPaintingPictures();
