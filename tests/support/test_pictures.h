// Picture files made by the tests themselves: BMP, PNG, JPEG and GIF through the imaging
// component's encoders, BMP headers of any claimed size, and enhanced metafiles.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// The colour of each pixel (0x00BBGGRR).
using PixelColor = std::function<COLORREF(int x, int y)>;

enum class PictureFormat { Bmp, Png, Jpeg, Gif };

// Encodes a width x height picture; false when the platform has no encoder for the format.
bool WritePicture(const std::string& path, PictureFormat format, int width, int height, const PixelColor& color);
// A PNG whose pixels carry the colour and the alpha (0 = transparent) given.
bool WriteAlphaPng(const std::string& path, int width, int height, COLORREF color, BYTE alpha);
// A GIF of several frames, each filled with one colour; false without an encoder.
bool WriteMultiFrameGif(const std::string& path, int width, int height, const std::vector<COLORREF>& frames);
// A BMP file whose header claims the given size, followed by only a few bytes of pixels.
void WriteBmpHeader(const std::string& path, int width, int height);
// An enhanced metafile whose bounds are width x height device units, filled with one colour.
bool WriteEnhancedMetafile(const std::string& path, int width, int height, COLORREF color);
