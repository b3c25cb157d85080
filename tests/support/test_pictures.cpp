// Picture files for the tests (see test_pictures.h).
#include "support/test_pictures.h"

#include "support/test_support.h"

#include <wincodec.h>

bool WritePicture(const std::string& path, PictureFormat format, int width, int height, const PixelColor& color,
                  BYTE alpha)
{
    IWICImagingFactory* factory = nullptr;
    IWICStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    IPropertyBag2* options = nullptr;
    IWICBitmap* source = nullptr;
    std::vector<BYTE> pixels(static_cast<size_t>(width) * height * 4);
    for (size_t i = 0; i < pixels.size() / 4; ++i) {
        COLORREF c = color(static_cast<int>(i % width), static_cast<int>(i / width));
        const BYTE bgra[] = {GetBValue(c), GetGValue(c), GetRValue(c), alpha};
        std::copy(bgra, bgra + 4, &pixels[i * 4]);
    }
    const GUID* containers[] = {&GUID_ContainerFormatBmp, &GUID_ContainerFormatPng, &GUID_ContainerFormatJpeg};
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    DeleteFileA(path.c_str());
    bool ok =
        SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                   reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(factory->CreateStream(&stream)) && SUCCEEDED(stream->InitializeFromFilename(wide, GENERIC_WRITE)) &&
        SUCCEEDED(factory->CreateEncoder(*containers[static_cast<int>(format)], nullptr, &encoder)) &&
        SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
        SUCCEEDED(encoder->CreateNewFrame(&frame, &options)) && SUCCEEDED(frame->Initialize(options)) &&
        SUCCEEDED(frame->SetSize(width, height)) &&
        SUCCEEDED(factory->CreateBitmapFromMemory(
            width, height, alpha < 255 ? GUID_WICPixelFormat32bppBGRA : GUID_WICPixelFormat32bppBGR, width * 4,
            static_cast<UINT>(pixels.size()), pixels.data(), &source)) &&
        SUCCEEDED(frame->WriteSource(source, nullptr)) && SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
    for (IUnknown* object : std::initializer_list<IUnknown*>{source, options, frame, encoder, stream, factory})
        if (object)
            object->Release();
    return ok;
}

void WriteBmpHeader(const std::string& path, int width, int height)
{
    BITMAPINFOHEADER info = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof info;
    BITMAPFILEHEADER file = {0x4D42, offset + 16, 0, 0, offset}; // "BM", the file's size, the pixels' offset
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
    bytes.append(16, '\x7F');
    WriteBytes(path, bytes);
}

bool WriteEnhancedMetafile(const std::string& path, int width, int height, COLORREF color)
{
    DeleteFileA(path.c_str());
    HDC dc = CreateEnhMetaFileA(nullptr, path.c_str(), nullptr, nullptr);
    HBRUSH brush = CreateSolidBrush(color);
    // The bounds are inclusive: a rectangle up to (width, height) gives bounds width x height.
    RECT all = {0, 0, width + 1, height + 1};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    return DeleteEnhMetaFile(CloseEnhMetaFile(dc)) != FALSE; // false when no file was made or closed
}
