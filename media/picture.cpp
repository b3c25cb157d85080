// Pictures: raster files decoded by the imaging component into display bitmaps; enhanced
// metafiles measured from their header and played into a rectangle.
#include "media/picture.h"

#include "media/metafile_check.h"
#include "media/sound_player.h"

#include <wincodec.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <vector>

namespace {

// Pictures larger than this are not decoded (six thousand by four thousand pixels).
const unsigned long long MaxPicturePixels = 24ull << 20;
// Metafiles larger than this are not read.
const LONGLONG MaxMetafileBytes = 64 << 20;

// Metafile errors met while painting, waiting to be shown after the paint, and the files already
// reported so (each once).
int PaintingDepth = 0;
std::set<std::string> ReportedWhilePainting;
std::vector<std::string> PendingErrors;
HWND ErrorPoster = nullptr;

// Shows the errors posted during paints, now that no paint runs.
LRESULT CALLBACK ErrorPosterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_APP)
        return DefWindowProcA(window, message, wParam, lParam);
    std::vector<std::string> errors;
    errors.swap(PendingErrors);
    for (const std::string& text : errors)
        MessageBoxA(nullptr, text.c_str(), "Error", MB_ICONERROR);
    return 0;
}

void PostMetafileError(const std::string& text)
{
    if (!ErrorPoster) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ErrorPosterProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "MnemoraPictureErrors";
        RegisterClassA(&wc);
        ErrorPoster =
            CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    }
    PendingErrors.push_back(text);
    PostMessageA(ErrorPoster, WM_APP, 0, 0);
}

// Opens a metafile only when its bytes pass the metafile check; the player then plays exactly the
// bytes that were checked. Null with the system error code set otherwise.
HENHMETAFILE OpenCheckedMetafile(const std::string& fileName)
{
    HANDLE file = CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    LARGE_INTEGER size = {};
    std::string bytes;
    DWORD got = 0;
    bool read = GetFileSizeEx(file, &size) && size.QuadPart <= MaxMetafileBytes;
    if (read) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        read = ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr) && got == bytes.size();
    }
    CloseHandle(file);
    if (!read || !IsSafeEnhancedMetafile(bytes)) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    return SetEnhMetaFileBits(static_cast<UINT>(bytes.size()), reinterpret_cast<const BYTE*>(bytes.data()));
}

// Trace line of a decoding step that succeeded.
void TraceHresult(const char* step, HRESULT result)
{
    char line[256];
    wsprintfA(line, "%s, hresult = %lXhex", step, static_cast<unsigned long>(result));
    WriteTraceLine(line);
}

void TraceHresultSize(const char* step, HRESULT result, int width, int height)
{
    char line[256];
    wsprintfA(line, "%s, hresult = %lXhex, width = %d, height = %d", step, static_cast<unsigned long>(result), width,
              height);
    WriteTraceLine(line);
}

template <typename Interface> void Release(Interface*& object)
{
    if (object)
        object->Release();
    object = nullptr;
}

// Copies the frame's pixels as 32-bit BGR rows through a conversion to BGRA, for imaging
// components that cannot convert some formats (RGBA, for one) to BGR directly; the alpha bytes are
// cleared, as a direct conversion leaves them.
HRESULT CopyPixelsThroughBgra(IWICImagingFactory* factory, IWICBitmapFrameDecode* frame, UINT width, UINT height,
                              BYTE* pixels)
{
    IWICFormatConverter* converter = nullptr;
    HRESULT result = factory->CreateFormatConverter(&converter);
    if (SUCCEEDED(result))
        result = converter->Initialize(frame, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                       WICBitmapPaletteTypeMedianCut);
    if (SUCCEEDED(result))
        result = converter->CopyPixels(nullptr, width * 4, width * 4 * height, pixels);
    if (SUCCEEDED(result))
        for (size_t i = 3; i < static_cast<size_t>(width) * 4 * height; i += 4)
            pixels[i] = 0;
    Release(converter);
    return result;
}

// Copies 24-bit BGR rows from the source into 32-bit rows, a band of rows at a time: the imaging
// component's own conversion to 32 bits took it a third as long as decoding a photo.
HRESULT CopyPixelsAs32(IWICBitmapSource* source, UINT width, UINT height, BYTE* pixels)
{
    const UINT bandRows = 32;
    std::vector<BYTE> band(static_cast<size_t>(width) * 3 * bandRows);
    for (UINT y = 0; y < height; y += bandRows) {
        WICRect rows = {0, static_cast<INT>(y), static_cast<INT>(width),
                        static_cast<INT>(std::min(bandRows, height - y))};
        HRESULT result = source->CopyPixels(&rows, width * 3, static_cast<UINT>(band.size()), band.data());
        if (FAILED(result))
            return result;
        const BYTE* from = band.data();
        BYTE* to = pixels + static_cast<size_t>(y) * width * 4;
        for (size_t n = static_cast<size_t>(width) * rows.Height; n > 0; --n, from += 3, to += 4)
            to[0] = from[0], to[1] = from[1], to[2] = from[2], to[3] = 0;
    }
    return S_OK;
}

// Decodes the first frame into 32-bit BGR rows, top-down, of a device-independent bitmap.
HBITMAP DecodeFirstFrame(IWICImagingFactory* factory, const wchar_t* wideName, std::string& error)
{
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICFormatConverter* converter = nullptr;
    HBITMAP bitmap = nullptr;
    UINT width = 0, height = 0;
    HRESULT result =
        factory->CreateDecoderFromFilename(wideName, nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand, &decoder);
    if (FAILED(result)) {
        error = "CreateDecoderFromFilename failed";
        goto done;
    }
    TraceHresult("IWICImagingFactory.CreateDecoderFromFilename", result);
    result = decoder->GetFrame(0, &frame);
    if (FAILED(result)) {
        error = "GetFrame failed";
        goto done;
    }
    TraceHresult("IWICBitmapFrameDecoder.GetFrame", result);
    result = frame->GetSize(&width, &height);
    // A picture without pixels can't be drawn: it is treated as one whose size can't be read.
    if (FAILED(result) || width == 0 || height == 0) {
        error = "GetSize failed";
        goto done;
    }
    TraceHresultSize("IWICBitmapFrameDecode.GetSize", result, static_cast<int>(width), static_cast<int>(height));
    result = factory->CreateFormatConverter(&converter);
    if (FAILED(result)) {
        error = "CreateFormatConverter failed";
        goto done;
    }
    TraceHresult("IWICFormatConverter.CreateFormatConverter", result);
    result = converter->Initialize(frame, GUID_WICPixelFormat24bppBGR, WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeMedianCut);
    if (FAILED(result)) {
        error = "Initialize failed";
        goto done;
    }
    TraceHresult("IWICFormatConverter.Initialize", result);
    {
        // Mended: a damaged header claiming hundreds of millions of pixels kept the decoder busy
        // for many seconds; no card picture needs more than a camera's.
        if (static_cast<unsigned long long>(width) * height > MaxPicturePixels) {
            error = "Picture is too large";
            goto done;
        }
        // The pixels are copied straight into a device-independent bitmap of these rows: copying
        // them into a block first and converting that into a bitmap of the display's format took
        // more than the decoding (about 25 of 55 ms for a photo of 1024 x 768). Such a bitmap can
        // also be selected into a memory DC of any device, a printer's too. Rows of 32 bits, like
        // the display's: a smoothed stretch of 24-bit rows onto it took the platform twice as long
        // (about 10 ms more the first two times in a process) for the same pixels.
        BITMAPINFOHEADER header = {};
        header.biSize = sizeof header;
        header.biWidth = static_cast<LONG>(width);
        header.biHeight = -static_cast<LONG>(height);
        header.biPlanes = 1;
        header.biBitCount = 32;
        header.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!bitmap) // the bitmap itself failed: no error text, as the callers expect
            goto done;
        BYTE* pixels = static_cast<BYTE*>(bits);
        result = CopyPixelsAs32(converter, width, height, pixels);
        if (FAILED(result))
            result = CopyPixelsThroughBgra(factory, frame, width, height, pixels);
        if (FAILED(result)) {
            error = "CopyPixels failed";
            DeleteObject(bitmap);
            bitmap = nullptr;
        } else {
            TraceHresult("IWICFormatConverter.CopyPixels", result);
        }
    }
done:
    Release(converter);
    Release(frame);
    Release(decoder);
    return bitmap;
}

} // namespace

HBITMAP LoadPictureBitmap(const std::string& fileName, std::string& error)
{
    if (fileName.empty()) {
        error = "Filename is empty";
        return nullptr;
    }
    IWICImagingFactory* factory = nullptr;
    HRESULT result = CoCreateInstance(CLSID_WICImagingFactory2, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                      reinterpret_cast<void**>(&factory));
    if (FAILED(result) || !factory) {
        error = "CoCreateInstance of CLSID_WICImagingFactory failed";
        return nullptr;
    }
    HBITMAP bitmap = nullptr;
    wchar_t wideName[256];
    // A name that does not fit the 256-unit buffer names no file that can be opened.
    if (MultiByteToWideChar(CP_ACP, 0, fileName.c_str(), -1, wideName, 256) == 0)
        error = "CreateDecoderFromFilename failed";
    else
        bitmap = DecodeFirstFrame(factory, wideName, error);
    Release(factory);
    return bitmap;
}

bool LoadNextPictureDecoder()
{
    // Making a decoder loads the imaging component's code for its format: about 8 ms for JPEG,
    // which a card's first picture would otherwise wait for.
    static const GUID* const formats[] = {&GUID_ContainerFormatJpeg, &GUID_ContainerFormatPng};
    static size_t next = 0;
    if (next >= sizeof formats / sizeof formats[0])
        return false;
    IWICImagingFactory* factory = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory2, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                   reinterpret_cast<void**>(&factory))) &&
        factory)
        factory->CreateDecoder(*formats[next], nullptr, &decoder);
    Release(decoder);
    Release(factory);
    ++next;
    return true;
}

bool IsEnhancedMetafileName(const std::string& fileName)
{
    char upper[256];
    lstrcpynA(upper, fileName.c_str(), sizeof upper);
    CharUpperA(upper);
    return std::string(upper).find(".EMF") != std::string::npos;
}

bool GetEnhancedMetafileSize(const std::string& fileName, int& width, int& height)
{
    HENHMETAFILE metafile = OpenCheckedMetafile(fileName);
    if (!metafile)
        return false;
    ENHMETAHEADER header = {};
    bool read = GetEnhMetaFileHeader(metafile, sizeof header, &header) != 0;
    if (read) {
        width = header.rclBounds.right - header.rclBounds.left;
        height = header.rclBounds.bottom - header.rclBounds.top;
    }
    DeleteEnhMetaFile(metafile);
    return read;
}

void DrawEnhancedMetafile(const std::string& fileName, HDC dc, int x, int y, int width, int height)
{
    HENHMETAFILE metafile = OpenCheckedMetafile(fileName);
    if (!metafile) {
        ShowMetafileError("GetEnhMetaFile failed", fileName);
        return;
    }
    RECT rect = {x, y, x + width, y + height};
    if (!PlayEnhMetaFile(dc, metafile, &rect))
        ShowMetafileError("PlayEnhMetaFile failed", fileName);
    DeleteEnhMetaFile(metafile);
}

void ShowMetafileError(const std::string& what, const std::string& fileName)
{
    DWORD code = GetLastError();
    // Bounded: a long file name is cut rather than overrunning the text.
    char text[256];
    std::snprintf(text, sizeof text, "%s, filename %s, error code %d", what.c_str(), fileName.c_str(),
                  static_cast<int>(code));
    // A message box inside a paint runs a message loop in which the player may end the game whose
    // card is being painted: while painting, the box is posted, once per file.
    if (PaintingDepth > 0) {
        if (ReportedWhilePainting.insert(fileName).second)
            PostMetafileError(text);
        return;
    }
    MessageBoxA(nullptr, text, "Error", MB_ICONERROR);
}

void BeginPaintingPictures()
{
    ++PaintingDepth;
}

void EndPaintingPictures()
{
    --PaintingDepth;
}
