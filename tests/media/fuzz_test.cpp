// Seeded fuzz campaigns against the readers of hostile content: card texts (RTF) through transfer
// and layout, metafiles through their check and the player, picture headers through the decoder.
// Each case must end in time and the campaign must leave no GDI or USER object behind. An input
// that crashes or hangs is written to corpus/ by the watchdog; every file there is replayed first.
#include "tests/media/hostile.h"

#include <algorithm>

namespace {

const DWORD CaseLimit = 3000;  // ms, checked per case
const DWORD HangLimit = 20000; // ms, after which the watchdog keeps the input and ends the process

std::string CurrentInput, CurrentKind, CurrentName;
volatile LONG CaseRunning = 0;
HANDLE Progress = CreateEventA(nullptr, FALSE, FALSE, nullptr); // set at each case's start and end

void KeepFailingInput(const char* why)
{
    WriteBytes(CorpusFolder() + "\\" + why + "-" + CurrentName + "." + CurrentKind, CurrentInput);
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

// Runs one case under the watchdog and within its time bound.
void RunCase(const std::string& kind, const std::string& input, const std::string& name)
{
    static HANDLE watchdog = CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr);
    static LPTOP_LEVEL_EXCEPTION_FILTER previous = SetUnhandledExceptionFilter(OnCrash);
    (void)watchdog, (void)previous;
    CurrentKind = kind;
    CurrentInput = input;
    CurrentName = name;
    DWORD start = GetTickCount();
    CaseRunning = 1;
    SetEvent(Progress);
    ShowHostileInput(kind, input);
    CaseRunning = 0;
    SetEvent(Progress);
    EXPECT_LT(GetTickCount() - start, CaseLimit) << name;
    if (GetTickCount() - start >= CaseLimit && name.find('-') == std::string::npos)
        KeepFailingInput("slow");
}

// Small changes of a valid input: bytes flipped, cut, repeated, or tokens of the kind inserted.
std::string Mutate(std::string input, Random& random, const std::vector<std::string>& tokens)
{
    for (int n = 1 + random.Below(4); n > 0 && !input.empty(); --n) {
        size_t at = random.Below(static_cast<int>(input.size()));
        switch (random.Below(5)) {
        case 0:
            input[at] = static_cast<char>(random.Below(256));
            break;
        case 1:
            input.erase(at, random.Below(16));
            break;
        case 2:
            input.insert(at, input.substr(at, random.Below(64)));
            break;
        default:
            input.insert(at, tokens[random.Below(static_cast<int>(tokens.size()))]);
        }
    }
    return input;
}

const std::vector<std::string> RtfTokens = {
    "{",     "}",    "\\",      "\\*",           "{\\*\\x ",      "\\f99 ",      "\\fs-2147483649 ",
    "\\'",   "\\'z", "\\bin9 ", "\\u-99999?",    "{\\fonttbl{",   "\\cf300 ",    "{\\colortbl;",
    ";",     "\\\\", "\\par ",  "\\li-999999 ",  "\\uc9999 ",     "\\pard\\qc ", "\\red999 "};

// A crafted text of one of the kinds that broke the reader, of a random size.
std::string CraftRtf(Random& random)
{
    int n = 1 + random.Below(300);
    std::string text = "{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}\\f0 ";
    switch (random.Below(6)) {
    case 0:
        return text + std::string(n, '{') + "deep" + std::string(n, '}') + "}";
    case 1:
        return "{\\rtf1{\\fonttbl{\\f0 " + std::string(n, 'F') + ";}}\\f0 long face}";
    case 2:
        return text + "\\fs" + (random.Below(2) ? "-" : "") + std::string(1 + random.Below(30), '9') + " big}";
    case 3:
        return text + std::string(n * random.Below(40), '\\') + "}";
    case 4: {
        std::string nested;
        for (int i = 0; i < n; ++i)
            nested += "{\\*\\d" + std::to_string(i) + " ";
        return text + nested + std::string(n, '}') + "}";
    }
    default:
        std::string table = "{\\rtf1{\\colortbl;";
        for (int i = 0; i < n * 4; ++i)
            table += "\\red" + std::to_string(random.Below(400)) + ";";
        return table + "}\\cf" + std::to_string(n) + " colours}";
    }
}

} // namespace

TEST(Fuzz, KeptInputsThatOnceFailedAreShownSafely)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((CorpusFolder() + "\\*.*").c_str(), &found);
    int replayed = 0;
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        std::string name = found.cFileName, kind = name.substr(name.find_last_of('.') + 1);
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && ++replayed)
            RunCase(kind, ReadBytes(CorpusFolder() + "\\" + name), name);
    }
    FindClose(search);
    EXPECT_GT(replayed, 20);
}

// Card texts: mutated editor texts and crafted ones, each streamed in, fitted, measured and drawn.
TEST(Fuzz, RtfCardTexts)
{
    std::vector<std::string> seeds = SampleCardTexts();
    ShowHostileInput("rtf", seeds[0]);
    int gdi = CountGdiObjects(), user = CountUserObjects();
    for (int i = 0; i < 1500; ++i) {
        Random random(1000 + i);
        std::string text = i % 2 ? CraftRtf(random)
                                 : Mutate(seeds[random.Below(static_cast<int>(seeds.size()))], random, RtfTokens);
        RunCase("rtf", text, "rtf" + std::to_string(i));
    }
    EXPECT_EQ(gdi, CountGdiObjects());
    EXPECT_EQ(user, CountUserObjects());
}

// Metafiles: records of a drawing resized, retyped, re-indexed and cut, bounds made absurd, bytes
// flipped; pictures: the headers of BMP, PNG and JPEG files damaged.
TEST(Fuzz, MetafilesAndPictureHeaders)
{
    const std::vector<std::string> valid = {SampleMetafile(), SamplePicture("bmp"), SamplePicture("png"),
                                            SamplePicture("jpg")};
    const char* kinds[] = {"emf", "bmp", "png", "jpg"};
    for (int k = 0; k < 4; ++k)
        ShowHostileInput(kinds[k], valid[k]);
    DialogDriver driver; // the first error box's objects stay for the process
    driver.Press(IDOK);
    MessageBoxA(nullptr, "first", "Error", MB_ICONERROR);
    int gdi = CountGdiObjects(), user = CountUserObjects();
    for (int i = 0; i < 2000; ++i) {
        Random random(5000 + i);
        int k = i % 2 ? 0 : 1 + random.Below(3);
        std::string input = k == 0 ? DamageMetafile(valid[0], random) : valid[k];
        if (k > 0)
            for (int n = 1 + random.Below(3); n > 0; --n)
                input[random.Below(std::min<int>(static_cast<int>(input.size()), 200))] =
                    static_cast<char>(random.Below(256));
        RunCase(kinds[k], input, kinds[k] + std::to_string(i));
    }
    EXPECT_EQ(gdi, CountGdiObjects());
    EXPECT_EQ(user, CountUserObjects());
}
