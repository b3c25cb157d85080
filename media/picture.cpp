// Pictures: not yet built; every picture fails to load.
#include "media/picture.h"

HBITMAP LoadPictureBitmap(const std::string& fileName, std::string& error)
{
    error = fileName.empty() ? "Filename is empty" : "CreateDecoderFromFilename failed";
    return nullptr;
}

bool IsEnhancedMetafileName(const std::string&)
{
    return false;
}

bool GetEnhancedMetafileSize(const std::string&, int&, int&)
{
    return false;
}

void DrawEnhancedMetafile(const std::string&, HDC, int, int, int, int) {}
void ShowMetafileError(const std::string&, const std::string&) {}
