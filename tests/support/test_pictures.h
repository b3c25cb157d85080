// Picture files made by the tests themselves: BMP, PNG and JPEG through the imaging
// component's encoders, BMP headers of any claimed size, and enhanced metafiles.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// The colour of each pixel (0x00BBGGRR).
using PixelColor = std::function<COLORREF(int x, int y)>;

enum class PictureFormat { Bmp, Png, Jpeg };

// Encodes a width x height picture, its pixels of the alpha given (0: transparent) where the
// format keeps it; false when the platform has no encoder for the format.
bool WritePicture(const std::string& path, PictureFormat format, int width, int height, const PixelColor& color,
                  BYTE alpha = 255);
// A BMP file whose header claims the given size, followed by only a few bytes of pixels.
void WriteBmpHeader(const std::string& path, int width, int height);
// An enhanced metafile whose bounds are width x height device units, filled with one colour.
bool WriteEnhancedMetafile(const std::string& path, int width, int height, COLORREF color);
