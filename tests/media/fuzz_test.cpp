// Seeded fuzz campaigns against the readers of hostile content: card texts (RTF) through transfer
// and layout, metafiles through their check and the player, picture headers through the decoder.
// Each case must end in time and a campaign must leave no GDI or USER object behind. A crashing or
// hanging input is kept in corpus/ by the watchdog (slow ones too); every file there is replayed.
#include "tests/media/hostile.h"

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

// A campaign: n seeded cases of the kind chosen by make; no object may be left behind.
void Campaign(int n, int seed, const std::function<std::string(Random&, std::string& kind)>& make)
{
    DialogDriver driver; // the first error box's objects stay for the process
    driver.Press(IDOK);
    MessageBoxA(nullptr, "first", "Error", MB_ICONERROR);
    int gdi = CountGdiObjects(), user = CountUserObjects();
    for (int i = 0; i < n; ++i) {
        Random random(seed + i);
        std::string kind, input = make(random, kind);
        RunCase(kind, input, kind + std::to_string(i));
    }
    EXPECT_EQ(gdi, CountGdiObjects());
    EXPECT_EQ(user, CountUserObjects());
}

const std::string RtfTokens[] = {"{",    "}",       "\\",           "\\*",         "{\\*\\x ",  "\\f99 ",
                                 "\\'z", "\\bin9 ", "\\u-99999?",   "{\\fonttbl{", "\\cf300 ",  "{\\colortbl;",
                                 ";",    "\\\\",    "\\li-999999 ", "\\uc9999 ",   "\\red999 ", "\\fs-2147483649 "};

// A mutated editor text, or a crafted one of a kind that broke the reader, of a random size.
std::string HostileRtf(Random& random, const std::vector<std::string>& seeds)
{
    int n = 1 + random.Below(300);
    std::string text = "{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}\\f0 ", nested;
    switch (random.Below(12)) {
    case 0:
        return text + std::string(n, '{') + "deep" + std::string(n, '}') + "}";
    case 1:
        return "{\\rtf1{\\fonttbl{\\f0 " + std::string(n, 'F') + ";}}\\f0 long face}";
    case 2:
        return text + "\\fs" + (random.Below(2) ? "-" : "") + std::string(1 + random.Below(30), '9') + " big}";
    case 3:
        return text + std::string(n * random.Below(40), '\\') + "}";
    case 4:
        for (int i = 0; i < n; ++i)
            nested += "{\\*\\d" + std::to_string(i) + " ";
        return text + nested + std::string(n, '}') + "}";
    case 5:
        for (int i = 0; i < n * 4; ++i)
            nested += "\\red" + std::to_string(random.Below(400)) + ";";
        return "{\\rtf1{\\colortbl;" + nested + "}\\cf" + std::to_string(n) + " colours}";
    default:
        text = seeds[random.Below(static_cast<int>(seeds.size()))];
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
}

} // namespace

TEST(Fuzz, KeptInputsThatOnceFailedAreShownSafely)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((CorpusFolder() + "\\*-*.*").c_str(), &found);
    int replayed = 0;
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found), ++replayed) {
        std::string name = found.cFileName;
        RunCase(name.substr(name.rfind('.') + 1), ReadBytes(CorpusFolder() + "\\" + name), name);
    }
    FindClose(search);
    EXPECT_GT(replayed, 10);
}

TEST(Fuzz, RtfCardTexts)
{
    std::vector<std::string> seeds = SampleCardTexts();
    Campaign(1500, 1000, [&](Random& random, std::string& kind) {
        kind = "rtf";
        return HostileRtf(random, seeds);
    });
}

// Metafiles with records resized, retyped, re-indexed, cut or made absurd; BMP, PNG and JPEG files
// with bytes of their headers changed.
TEST(Fuzz, MetafilesAndPictureHeaders)
{
    const std::string emf = SampleMetafile(), bmp = SamplePicture("bmp", PictureFormat::Bmp),
                      png = SamplePicture("png", PictureFormat::Png), jpg = SamplePicture("jpg", PictureFormat::Jpeg);
    Campaign(2000, 5000, [&](Random& random, std::string& kind) {
        const char* kinds[] = {"emf", "emf", "emf", "bmp", "png", "jpg"};
        kind = kinds[random.Below(6)];
        if (kind == "emf")
            return DamageMetafile(emf, random);
        std::string input = kind == "bmp" ? bmp : kind == "png" ? png : jpg;
        for (int n = 1 + random.Below(3); n > 0; --n)
            input[random.Below(std::min(static_cast<int>(input.size()), 200))] = static_cast<char>(random.Below(256));
        return input;
    });
}
