// Rich text transfer through EM_STREAMIN and EM_STREAMOUT.
#include "media/rich_text.h"

#include "media/rtf_check.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>

namespace {

// Reader state of one stream-in.
struct StreamInBuffer {
    const std::string* Text;
    size_t Position;
};

DWORD CALLBACK ReadStreamIn(DWORD_PTR cookie, LPBYTE destination, LONG requested, LONG* delivered)
{
    StreamInBuffer* buffer = reinterpret_cast<StreamInBuffer*>(cookie);
    size_t left = buffer->Text->size() - buffer->Position;
    size_t n = std::min(left, static_cast<size_t>(requested > 0 ? requested : 0));
    if (n)
        std::memcpy(destination, buffer->Text->data() + buffer->Position, n);
    buffer->Position += n;
    *delivered = static_cast<LONG>(n);
    return 0;
}

DWORD CALLBACK WriteStreamOut(DWORD_PTR cookie, LPBYTE source, LONG count, LONG* written)
{
    reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<const char*>(source), count);
    *written = count;
    return 0;
}

// Every stream-in goes through here. A text offered as RTF reaches the platform's RTF reader only
// when it passes the RTF check; any other text is read as plain text, as the control itself reads a
// text without an RTF header. So a hostile card text is shown as its characters, never parsed.
void StreamIn(HWND richEdit, const std::string& text, WPARAM format)
{
    if ((format & SF_RTF) && !IsSafeRtf(text))
        format = (format & ~static_cast<WPARAM>(SF_RTF)) | SF_TEXT;
    StreamInBuffer buffer = {&text, 0};
    EDITSTREAM stream = {};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&buffer);
    stream.pfnCallback = ReadStreamIn;
    SendMessageA(richEdit, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&stream));
}

void MoveCaretToEnd(HWND richEdit)
{
    CHARRANGE end = {-1, -1};
    SendMessageA(richEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
}

std::string StreamOut(HWND richEdit, WPARAM format)
{
    std::string text;
    EDITSTREAM stream = {};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&text);
    stream.pfnCallback = WriteStreamOut;
    SendMessageA(richEdit, EM_STREAMOUT, format, reinterpret_cast<LPARAM>(&stream));
    // Some versions of the control end the stream with a zero byte, which is no part of the text
    // and must not reach a card set file.
    size_t end = text.find('\0');
    if (end != std::string::npos)
        text.erase(end);
    return text;
}

} // namespace

void StreamInRtf(HWND richEdit, const std::string& text)
{
    StreamIn(richEdit, text, SF_RTF);
}

void AppendPlainText(HWND richEdit, const std::string& text)
{
    MoveCaretToEnd(richEdit);
    StreamIn(richEdit, text, SFF_SELECTION | SF_TEXT);
}

void AppendRtf(HWND richEdit, const std::string& text)
{
    MoveCaretToEnd(richEdit);
    StreamIn(richEdit, text, SFF_SELECTION | SF_RTF);
}

std::string StreamOutRtf(HWND richEdit)
{
    return StreamOut(richEdit, SF_RTF);
}

std::string StreamOutText(HWND richEdit)
{
    return StreamOut(richEdit, SF_TEXT);
}

std::string StreamOutUtf8Text(HWND richEdit)
{
    return StreamOut(richEdit, (static_cast<WPARAM>(65001) << 16) | SF_USECODEPAGE | SF_TEXT);
}

std::wstring GetRichTextW(HWND richEdit, bool crlf)
{
    GETTEXTLENGTHEX length = {static_cast<DWORD>(GTL_NUMCHARS | GTL_PRECISE | (crlf ? GTL_USECRLF : 0)), 1200};
    LRESULT n = SendMessageA(richEdit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
    if (n <= 0)
        return std::wstring();
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    GETTEXTEX get = {};
    get.cb = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    get.flags = crlf ? GT_USECRLF : GT_DEFAULT;
    get.codepage = 1200;
    LRESULT got =
        SendMessageA(richEdit, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(std::max<LRESULT>(0, std::min(got, n))));
    return text;
}

bool IsRichText(const std::string& text)
{
    return text.find("{\\rtf") != std::string::npos;
}

int TwipsToPixelsY(HDC dc, int twips)
{
    return MulDiv(twips, GetDeviceCaps(dc, LOGPIXELSY), 1440);
}

HWND CreateHiddenRichEdit(HINSTANCE instance)
{
    // A message-only window: never shown, it needs no window of the window system, which costs a
    // top-level window a few milliseconds to make and to destroy.
    HWND richEdit = CreateWindowExA(0, "RichEdit20A", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    // Never shown, so never redrawn: the control then skips the work of updating its own view
    // after every change, which is most of the cost of loading a text into it.
    SendMessageA(richEdit, WM_SETREDRAW, FALSE, 0);
    return richEdit;
}
