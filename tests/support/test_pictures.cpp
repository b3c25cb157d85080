// Picture files for the tests (see test_pictures.h).
#include "support/test_pictures.h"

#include "support/test_support.h"

#include <wincodec.h>

namespace {

template <typename Interface> void Release(Interface* object)
{
    if (object)
        object->Release();
}

const GUID& ContainerOf(PictureFormat format)
{
    switch (format) {
    case PictureFormat::Bmp:
        return GUID_ContainerFormatBmp;
    case PictureFormat::Png:
        return GUID_ContainerFormatPng;
    case PictureFormat::Jpeg:
        return GUID_ContainerFormatJpeg;
    default:
        return GUID_ContainerFormatGif;
    }
}

// Encodes frames of 32-bit BGRA rows (converted by the encoder where it needs another format).
bool Encode(const std::string& path, const GUID& container, int width, int height,
            const std::vector<std::vector<BYTE>>& frames, bool alpha)
{
    IWICImagingFactory* factory = nullptr;
    IWICStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    bool ok = false;
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    DeleteFileA(path.c_str());
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                   reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(factory->CreateStream(&stream)) && SUCCEEDED(stream->InitializeFromFilename(wide, GENERIC_WRITE)) &&
        SUCCEEDED(factory->CreateEncoder(container, nullptr, &encoder)) &&
        SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache))) {
        ok = true;
        for (const std::vector<BYTE>& pixels : frames) {
            IWICBitmapFrameEncode* frame = nullptr;
            IPropertyBag2* options = nullptr;
            IWICBitmap* source = nullptr;
            ok = ok && SUCCEEDED(encoder->CreateNewFrame(&frame, &options)) &&
                 SUCCEEDED(frame->Initialize(options)) && SUCCEEDED(frame->SetSize(width, height)) &&
                 SUCCEEDED(factory->CreateBitmapFromMemory(
                     width, height, alpha ? GUID_WICPixelFormat32bppBGRA : GUID_WICPixelFormat32bppBGR, width * 4,
                     static_cast<UINT>(pixels.size()), const_cast<BYTE*>(pixels.data()), &source)) &&
                 SUCCEEDED(frame->WriteSource(source, nullptr)) && SUCCEEDED(frame->Commit());
            Release(source);
            Release(options);
            Release(frame);
        }
        ok = ok && SUCCEEDED(encoder->Commit());
    }
    Release(encoder);
    Release(stream);
    Release(factory);
    return ok;
}

std::vector<BYTE> FillPixels(int width, int height, const PixelColor& color, BYTE alpha)
{
    std::vector<BYTE> pixels(static_cast<size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            COLORREF c = color(x, y);
            BYTE* p = &pixels[(static_cast<size_t>(y) * width + x) * 4];
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
            p[3] = alpha;
        }
    return pixels;
}

} // namespace

bool WritePicture(const std::string& path, PictureFormat format, int width, int height, const PixelColor& color)
{
    return Encode(path, ContainerOf(format), width, height, {FillPixels(width, height, color, 255)}, false);
}

bool WriteAlphaPng(const std::string& path, int width, int height, COLORREF color, BYTE alpha)
{
    return Encode(path, GUID_ContainerFormatPng, width, height,
                  {FillPixels(width, height, [color](int, int) { return color; }, alpha)}, true);
}

bool WriteMultiFrameGif(const std::string& path, int width, int height, const std::vector<COLORREF>& frames)
{
    std::vector<std::vector<BYTE>> pixels;
    for (COLORREF color : frames)
        pixels.push_back(FillPixels(width, height, [color](int, int) { return color; }, 255));
    return Encode(path, GUID_ContainerFormatGif, width, height, pixels, false);
}

void WriteBmpHeader(const std::string& path, int width, int height)
{
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + 16;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
    bytes.append(16, '\x7F');
    WriteBytes(path, bytes);
}

bool WriteEnhancedMetafile(const std::string& path, int width, int height, COLORREF color)
{
    DeleteFileA(path.c_str());
    HDC dc = CreateEnhMetaFileA(nullptr, path.c_str(), nullptr, nullptr);
    if (!dc)
        return false;
    HBRUSH brush = CreateSolidBrush(color);
    // The bounds are inclusive: a rectangle up to (width, height) gives bounds width x height.
    RECT all = {0, 0, width + 1, height + 1};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    HENHMETAFILE metafile = CloseEnhMetaFile(dc);
    if (!metafile)
        return false;
    DeleteEnhMetaFile(metafile);
    return true;
}
