// The readers of hostile content: card texts in and out of RichEdit with hostile RTF kept from the
// platform's reader, pictures decoded, metafiles measured and played with damaged ones refused, and
// seeded fuzz campaigns against all three and the video headers. Each hostile case must end within CaseLimit and leave
// no GDI or USER object behind; an input that crashes or hangs is kept in corpus/ (slow ones too) by the watchdog, and
// every file there is replayed first.
#include "game/rich_text_layout.h"
#include "media/metafile_check.h"
#include "media/picture.h"
#include "media/rich_text.h"
#include "media/rtf_check.h"
#include "media/video_header.h"
#include "support/test_pictures.h"
#include "tests/game/game_fixture.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <map>

namespace {

const DWORD CaseLimit = 3000;  // ms, checked per case
const DWORD HangLimit = 20000; // ms, after which the watchdog keeps the input and ends the process

struct Random {
    explicit Random(uint64_t seed) : State(seed * 2654435761u + 1) {}
    int Below(int n)
    {
        State = State * 6364136223846793005ull + 1442695040888963407ull;
        return n > 0 ? static_cast<int>((State >> 33) % static_cast<uint64_t>(n)) : 0;
    }
    uint64_t State;
};

std::string Scratch(const std::string& name)
{
    static std::string folder = MakeScratchFolder("readers");
    return folder + "\\" + name;
}

std::string Repeat(const std::string& part, int times)
{
    std::string all;
    while (times-- > 0)
        all += part;
    return all;
}

void PutDword(std::string& bytes, size_t at, uint32_t value)
{
    if (at + 4 <= bytes.size())
        std::memcpy(&bytes[at], &value, 4);
}

HWND Edit()
{
    static HWND edit = CreateHiddenRichEdit(GetModuleHandleA(nullptr));
    return edit;
}

// The card texts of the sample card sets, and one the editor's control writes.
std::vector<std::string> SampleCardTexts()
{
    std::vector<std::string> texts;
    for (const char* set : {"Capitals", "Colours", "Opposites", "Shapes"}) {
        std::ifstream file(SourcePath("samples\\") + set + ".mnc");
        for (std::string line; std::getline(file, line);)
            if (line.rfind("Text", 0) == 0 && line.find("{\\rtf") != std::string::npos)
                texts.push_back(line.substr(line.find('=') + 1, line.find_last_of('}') - line.find('=')));
    }
    LoadCardText(Edit(),
                 "{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}{\\f1 Courier New;}}{\\colortbl;\\red200\\green0\\blue9;}"
                 "\\f0 a \\b b\\i c\\ul d\\cf1\\f1 e\\u945?\\'e9\\par}");
    texts.push_back(StreamOutRtf(Edit()));
    return texts;
}

// The offset of the first record of a type in a metafile's bytes, and every record's offset.
size_t RecordOf(const std::string& bytes, DWORD type, std::vector<size_t>* all = nullptr)
{
    for (size_t at = 0; at + 8 <= bytes.size(); at += *reinterpret_cast<const DWORD*>(&bytes[at + 4]))
        if (all ? (all->push_back(at), false) : *reinterpret_cast<const DWORD*>(&bytes[at]) == type)
            return at;
    return 0;
}

// Shows an input as the program would: a card text ("rtf") fitted, drawn and written out, a
// metafile ("emf") measured and played (its error boxes answered), a picture decoded, a video's
// header read (a size given must be one a card can hold).
void ShowHostileInput(const std::string& kind, const std::string& input)
{
    if (kind == "avi" || kind == "mpg" || kind == "wmv") {
        int width = 0, height = 0;
        EXPECT_TRUE(!ReadVideoHeaderSize(input, width, height) ||
                    (width > 0 && height > 0 && width <= 16384 && height <= 16384))
            << width << " x " << height;
        return;
    }
    if (kind == "rtf") {
        HWND edit = CreateHiddenRichEdit(GetModuleHandleA(nullptr));
        LoadCardText(edit, input);
        GETTEXTLENGTHEX length = {GTL_DEFAULT, 1200};
        int n = static_cast<int>(SendMessageA(edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
        DrawOnWhite(200, 150, [&](HDC dc) {
            RECT area = {0, 0, 200, 150};
            SetRichTextPointSize(edit, FitRichTextPointSize(edit, dc, area, n));
            MeasureRichTextHeight(edit, dc);
            RenderRichText(edit, dc, dc, area, true, nullptr);
        });
        StreamOutRtf(edit);
        DestroyWindow(edit);
        return;
    }
    WriteBytes(Scratch("input." + kind), input);
    int width = 0, height = 0;
    std::string error;
    DialogDriver driver;
    driver.Press(IDOK);
    if (kind != "emf")
        DeleteObject(LoadPictureBitmap(Scratch("input." + kind), error));
    else if (GetEnhancedMetafileSize(Scratch("input.emf"), width, height))
        DrawOnWhite(100, 100, [&](HDC dc) { DrawEnhancedMetafile(Scratch("input.emf"), dc, 0, 0, 100, 100); });
}

std::string CurrentInput, CurrentName;
volatile LONG CaseRunning = 0;
HANDLE Progress = CreateEventA(nullptr, FALSE, FALSE, nullptr); // set at each case's start and end

void KeepFailingInput(const char* why)
{
    WriteBytes(SourcePath("tests\\media\\corpus\\") + why + "-" + CurrentName, CurrentInput);
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS*)
{
    KeepFailingInput("crash");
    return EXCEPTION_EXECUTE_HANDLER;
}

DWORD WINAPI Watchdog(void*)
{
    for (;;)
        if (WaitForSingleObject(Progress, HangLimit) == WAIT_TIMEOUT && CaseRunning) {
            KeepFailingInput("hang");
            TerminateProcess(GetCurrentProcess(), 3);
        }
}

// Shows one case under the watchdog; name is "<what>.<kind>".
void RunCase(const std::string& name, const std::string& input)
{
    static HANDLE watchdog = CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr);
    static LPTOP_LEVEL_EXCEPTION_FILTER previous = SetUnhandledExceptionFilter(OnCrash);
    (void)watchdog, (void)previous;
    CurrentInput = input, CurrentName = name;
    DWORD start = GetTickCount();
    CaseRunning = 1;
    SetEvent(Progress);
    ShowHostileInput(name.substr(name.rfind('.') + 1), input);
    CaseRunning = 0;
    SetEvent(Progress);
    EXPECT_LT(GetTickCount() - start, CaseLimit) << name;
    if (GetTickCount() - start >= CaseLimit && name.find('-') == std::string::npos)
        KeepFailingInput("slow");
}

// Runs the cases that make gives for n seeds; no object may be left behind.
void Campaign(int n, int seed, const std::function<std::string(Random&, std::string& kind)>& make)
{
    DialogDriver driver; // the first error box's objects stay for the process
    driver.Press(IDOK);
    MessageBoxA(nullptr, "first", "Error", MB_ICONERROR);
    int gdi = CountGdiObjects(), user = CountUserObjects();
    for (int i = 0; i < n; ++i) {
        Random random(seed + i);
        std::string kind, input = make(random, kind);
        RunCase(std::to_string(seed + i) + "." + kind, input);
    }
    EXPECT_EQ(gdi * 1000 + user, CountGdiObjects() * 1000 + CountUserObjects());
}

const std::string RtfTokens[] = {"{",    "}",       "\\",           "\\*",         "{\\*\\x ",  "\\f99 ",
                                 "\\'z", "\\bin9 ", "\\u-99999?",   "{\\fonttbl{", "\\cf300 ",  "{\\colortbl;",
                                 ";",    "\\\\",    "\\li-999999 ", "\\uc9999 ",   "\\red999 ", "\\fs-2147483649 "};

// A seed (a sample or editor text, or a hostile one at or beyond a bound of the check) with a few
// characters changed, cut, repeated or joined by hostile tokens.
std::string HostileRtf(Random& random, const std::vector<std::string>& seeds)
{
    std::string text = seeds[random.Below(static_cast<int>(seeds.size()))];
    for (int m = 1 + random.Below(4); m > 0 && !text.empty(); --m) {
        size_t at = random.Below(static_cast<int>(text.size()));
        int what = random.Below(4);
        if (what == 0)
            text[at] = static_cast<char>(random.Below(256));
        else if (what == 1)
            text.erase(at, random.Below(16));
        else
            text.insert(at, what == 2 ? text.substr(at, random.Below(64)) : RtfTokens[random.Below(18)]);
    }
    return text;
}

// Hostile texts of each kind that crashed or hung the reader, and whether the check lets them be
// read as RTF (those at the bounds).
std::vector<std::pair<std::string, bool>> HostileTexts()
{
    const std::string head = "{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}\\f0 ";
    return {
        {head + Repeat("{", 31) + "x" + Repeat("}", 32), true},
        {head + Repeat("{", 100) + "x" + Repeat("}", 101), false},
        {"{\\rtf1{\\fonttbl{\\f0 " + std::string(31, 'F') + ";}}x}", true},
        {"{\\rtf1{\\fonttbl{\\f0 " + std::string(300, 'F') + ";}}x}", false},
        {head + "\\fs65535 x}", true},
        {head + "\\fs65536 x}", false},
        {head + "\\fs-2147483649 x}", false},
        {head + "\\" + std::string(33, 'w') + " x}", false},
        {head + Repeat("\\\\", 5000) + "}", true},
        {head + Repeat("\\", 4999) + "}", false},
        {head + Repeat("{\\*\\d ", 5) + Repeat("}", 5) + "x}", false},
        {head + Repeat("{\\*\\d ", 4) + Repeat("}", 4) + "x}", true},
        {head + "\\bin4 ab}}x}", false},
        {"{\\rtf1{\\colortbl;" + Repeat("\\red1;", 300) + "}x}", false},
        {"{\\rtf1{\\colortbl;\\red256;}x}", false},
        {head + "x}}", false},
        {head + "\\'4}", false},
        {"{\\rtf1 x}trailing", false},
        {"plain {\\rtf1 x}", false},
        {head + Repeat("\\b x\\b0 y", 5000) + "}", true},
    };
}

// One record of the metafile (never the header) resized, retyped or changed where object indexes,
// counts and offsets live, the header's counts or bounds made absurd, or the file cut.
std::string DamageMetafile(std::string bytes, Random& random)
{
    std::vector<size_t> records;
    RecordOf(bytes.substr(108), 0, &records);
    size_t record = 108 + records[random.Below(static_cast<int>(records.size()))];
    uint32_t size = *reinterpret_cast<const uint32_t*>(&bytes[record + 4]);
    const uint32_t absurd[] = {0, 1, 4, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0x10000, 0xFFFF};
    uint32_t value = random.Below(2) ? absurd[random.Below(8)] : static_cast<uint32_t>(random.Below(1 << 30));
    size_t at[] = {record + 4, record, record + 8, 8 + 4 * static_cast<size_t>(random.Below(20)),
                   record + 4 * static_cast<size_t>(random.Below(size / 4))};
    int what = random.Below(6);
    if (what == 5)
        bytes.resize(random.Below(static_cast<int>(bytes.size())));
    else
        PutDword(bytes, at[what],
                 what == 0   ? random.Below(size / 4 + 2) * 4
                 : what == 1 ? 1 + random.Below(125)
                             : value);
    return bytes;
}

// A picture's pixels as decoded (none when it is not).
Pixels Decode(const std::string& name, std::string& error)
{
    HBITMAP bitmap = LoadPictureBitmap(Scratch(name), error);
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, bitmap);
    Pixels pixels = CaptureDC(memory, info.bmWidth, info.bmHeight);
    DeleteObject(SelectObject(memory, old));
    DeleteDC(memory);
    return pixels;
}

} // namespace

// What comes out goes back in unchanged, ending at its first zero byte; long texts cross many
// chunks in order; characters beyond the code page come out as UTF-8, and as the code page's own
// form in ANSI; sample and editor texts pass the check. (Appends and the formats of texts read back
// are checked where the card set dialog joins a pair's texts, empty texts by the plain-text reader.) Hostile texts that
// crashed or hung the reader are shown as their characters, those at the bounds as RTF, long ones and thousands of
// format changes laid out within the case limit, all drawn safely.
TEST(RichTextTransfer, TextsGoInAndComeOutAndHostileOnesAreShownAsPlainText)
{
    const std::string words = Repeat("word ", 4000);
    const std::pair<std::string, std::string> texts[] = {
        {"{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}\\f0 Hello \\b bold\\b0  world}", "Hello bold world"},
        {"{\\rtf1\\ansi " + words + "}", words}};
    for (const auto& text : texts) {
        StreamInRtf(Edit(), text.first);
        std::string rtf = StreamOutRtf(Edit());
        EXPECT_TRUE(rtf.find("{\\rtf") == 0 && rtf.find('\0') == std::string::npos && IsSafeRtf(rtf));
        StreamInRtf(Edit(), rtf);
        EXPECT_EQ(text.second, StreamOutText(Edit()));
    }
    StreamInRtf(Edit(), "{\\rtf1\\ansi\\uc1 a\\u945?b\\u8364?c}");
    EXPECT_EQ(u8"a\u03B1b\u20ACc", StreamOutUtf8Text(Edit()));
    std::string ansi = StreamOutText(Edit());
    EXPECT_TRUE(ansi.size() == 5 && ansi[3] == '\x80') << ansi;
    std::vector<std::string> samples = SampleCardTexts();
    EXPECT_GT(samples.size(), 20u);
    for (const std::string& text : samples) {
        StreamInRtf(Edit(), text);
        EXPECT_TRUE(IsSafeRtf(text) && StreamOutText(Edit()).find("\\rtf") == std::string::npos) << text;
    }
    for (const auto& text : HostileTexts()) {
        RunCase("table.rtf", text.first); // first, so that a crash keeps the text that caused it
        StreamInRtf(Edit(), text.first);
        EXPECT_EQ(text.second, IsSafeRtf(text.first)) << text.first.substr(0, 40);
        EXPECT_EQ(text.second, StreamOutText(Edit()) != text.first) << text.first.substr(0, 40);
    }
    RunCase("long line.rtf", std::string(100000, 'a'));
}

// Every pixel comes through whatever padding the rows need; transparency is dropped, lossy formats
// come close; failures say why (a missing file and pictures without width or height as the print
// test's report shows them; pictures beyond the pixel limit take no room on the card face test's
// cards), and decoding leaks nothing. Metafiles are known by their name in any case (measured and
// played stretched on the card face test's cards); damaged ones of each kind that hung or crashed
// the player are refused by the check before the platform plays them, and drawing one says so;
// errors met inside a paint are posted and shown after it, once per file.
TEST(Pictures, DecodedPicturesAndMetafilesAndTheirFailures)
{
    std::string error;
    auto checker = [](int x, int y) { return RGB(x * 40 % 256, y * 60 % 256, (x + y) % 2 ? 200 : 20); };
    for (auto format : {PictureFormat::Bmp, PictureFormat::Png})
        for (int width : {1, 2, 3, 4, 7}) {
            ASSERT_TRUE(WritePicture(Scratch("p"), format, width, 5, checker));
            Pixels pixels = Decode("p", error);
            ASSERT_EQ(width * 5, static_cast<int>(pixels.Data.size())) << error;
            for (int i = 0; i < width * 5; ++i)
                EXPECT_EQ(checker(i % width, i / width), pixels.Data[i]) << width;
        }
    auto flat = [](int, int) { return RGB(30, 140, 220); };
    ASSERT_TRUE(WritePicture(Scratch("a.jpg"), PictureFormat::Jpeg, 64, 48, flat));
    EXPECT_NEAR(140, GetGValue(Decode("a.jpg", error).At(32, 24)), 12);
    ASSERT_TRUE(WritePicture(Scratch("clear.png"), PictureFormat::Png, 4, 4, flat, 0));
    EXPECT_EQ(16, Decode("clear.png", error).Count(RGB(30, 140, 220)));
    DeleteMetaFile(CloseMetaFile(CreateMetaFileA(Scratch("drawing.wmf").c_str())));
    WriteBytes(Scratch("text.jpg"), "not a picture at all");
    WriteBmpHeader(Scratch("wide.bmp"), 0x7FFFFFF, 1);
    const std::pair<std::string, std::string> files[] = {{"", "Filename is empty"},
                                                         {"drawing.wmf", "CreateDecoderFromFilename failed"},
                                                         {"text.jpg", "CreateDecoderFromFilename failed"},
                                                         {"wide.bmp", ""}}; // empty: any text
    int gdi = CountGdiObjects();
    for (const auto& file : files) {
        error.clear();
        EXPECT_EQ(nullptr, LoadPictureBitmap(file.first.empty() ? "" : Scratch(file.first), error));
        EXPECT_TRUE(file.second.empty() ? !error.empty() : error == file.second) << file.first << ": " << error;
    }
    for (int i = 0; i < 20; ++i)
        DeleteObject(LoadPictureBitmap(Scratch("p"), error));
    EXPECT_EQ(gdi, CountGdiObjects());
    for (const char* name : {"c:\\pics\\Logo.emf", "C:\\PICS\\LOGO.EMF", "logo.emf.png", "logo.em", "logo.wmf", ""})
        EXPECT_EQ(std::string(name).size() > 8, IsEnhancedMetafileName(name)) << name;
    // Pens, brushes, shapes, polygons, text, a bitmap and a region.
    const std::string valid = ReadBytes(SourcePath("tests\\media\\corpus\\sample.emf"));
    EXPECT_TRUE(IsSafeEnhancedMetafile(valid));
    const struct {
        DWORD Type, At, Value; // 0: the file cut in half
    } damage[] = {
        {EMR_CREATEPEN, 4, 0},               // record size 0
        {EMR_CREATEPEN, 4, 12},              // smaller than its type
        {EMR_SELECTOBJECT, 8, 0x4000},       // object index beyond the handle count
        {EMR_CREATEBRUSHINDIRECT, 8, 999},   // creates beyond the handle count
        {EMR_HEADER, 16, 0x7FFFFFFF},        // absurd bounds
        {EMR_HEADER, 48, 0x100000},          // larger than the file
        {EMR_HEADER, 52, 3},                 // record count
        {EMR_POLYPOLYGON16, 28, 0x3FFFFFFF}, // point count
        {EMR_EXTTEXTOUTW, 44, 0x1000000},    // characters beyond the record
        {EMR_STRETCHDIBITS, 60, 4},          // bits shorter than the bitmap
        {EMR_FILLRGN, 24, 0xFFFFFFF0},       // region data size
        {EMR_EOF, 0, 200},                   // unknown record type
        {0, 0, 0},
    };
    DialogDriver driver;
    for (const auto& d : damage) {
        std::string bytes = d.Type ? valid : valid.substr(0, valid.size() / 2);
        if (d.Type)
            PutDword(bytes, RecordOf(bytes, d.Type) + d.At, d.Value);
        EXPECT_FALSE(IsSafeEnhancedMetafile(bytes)) << d.Type;
        WriteBytes(Scratch("bad.emf"), bytes);
        int width = 0, height = 0;
        EXPECT_FALSE(GetEnhancedMetafileSize(Scratch("bad.emf"), width, height));
        driver.Press(IDOK);
        DrawOnWhite(10, 10, [&](HDC dc) { DrawEnhancedMetafile(Scratch("bad.emf"), dc, 0, 0, 10, 10); });
    }
    ASSERT_EQ(std::size(damage), driver.SeenDialogs.size());
    EXPECT_EQ("GetEnhMetaFile failed, filename " + Scratch("bad.emf") + ", error code 13", driver.SeenDialogs[0].Text);
    // A file that can't be opened is reported with its error; a long name is cut for the box. The
    // answers are queued first, so that a box shown inside the paint is answered and counted.
    for (int i = 0; i < 3; ++i)
        driver.Press(IDOK);
    for (const std::string& name :
         {std::string("missing.emf"), std::string(600, 'n'), std::string("missing.emf"), std::string("other.emf")}) {
        BeginPaintingPictures();
        DrawOnWhite(10, 10, [&](HDC dc) { DrawEnhancedMetafile(Scratch(name), dc, 0, 0, 10, 10); });
        EndPaintingPictures();
    }
    EXPECT_EQ(std::size(damage), driver.SeenDialogs.size()) << "a box was shown inside the paint";
    PumpMessages(500);
    ASSERT_EQ(std::size(damage) + 3, driver.SeenDialogs.size()); // once per file
    EXPECT_EQ("Error", driver.SeenDialogs.back().Caption);
    EXPECT_EQ(255u, driver.SeenDialogs[std::size(damage) + 1].Text.size());
}

// Every kept input first; then card texts, metafiles with records resized, retyped, re-indexed, cut
// or made absurd, and BMP, PNG and JPEG files with bytes of their headers changed.
TEST(Fuzz, KeptInputsThenRtfMetafilesAndPictureHeaders)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(SourcePath("tests\\media\\corpus\\*-*.*").c_str(), &found);
    int replayed = 0;
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found), ++replayed)
        RunCase(found.cFileName, ReadBytes(SourcePath("tests\\media\\corpus\\") + found.cFileName));
    FindClose(search);
    EXPECT_GT(replayed, 10);
    std::vector<std::string> seeds = SampleCardTexts();
    for (const auto& text : HostileTexts())
        if (text.first.size() < 12000) // the longest take their time in the table
            seeds.push_back(text.first);
    std::map<std::string, std::string> samples = {{"emf", ReadBytes(SourcePath("tests\\media\\corpus\\sample.emf"))}};
    const std::pair<const char*, PictureFormat> formats[] = {
        {"bmp", PictureFormat::Bmp}, {"png", PictureFormat::Png}, {"jpg", PictureFormat::Jpeg}};
    for (const auto& format : formats) {
        WritePicture(Scratch("sample"), format.second, 16, 12, [](int x, int y) { return RGB(x * 16, y * 20, 90); });
        samples[format.first] = ReadBytes(Scratch("sample"));
    }
    Campaign(1500, 1000, [&](Random& random, std::string& kind) {
        kind = "rtf";
        return HostileRtf(random, seeds);
    });
    for (const char* kind : {"avi", "mpg", "wmv"})
        samples[kind] = ReadBytes(TestMediaFile(std::string("odd-size.") + kind)).substr(0, 600);
    Campaign(2000, 5000, [&](Random& random, std::string& kind) {
        const char* kinds[] = {"emf", "emf", "emf", "bmp", "png", "jpg", "avi", "mpg", "wmv"};
        std::string input = samples[kind = kinds[random.Below(9)]];
        if (kind == "emf")
            return DamageMetafile(input, random);
        bool video = kind == "avi" || kind == "mpg" || kind == "wmv"; // damaged anywhere and cut short
        for (int n = 1 + random.Below(3); n > 0; --n)
            input[random.Below(std::min(static_cast<int>(input.size()), video ? 600 : 200))] =
                static_cast<char>(random.Below(256));
        return video ? input.substr(0, 1 + random.Below(600)) : input;
    });
}
