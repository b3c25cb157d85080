// Card set packages: export through the card sets dialog and import round trip with shared,
// clashing, missing and %VARIABLE% files; hostile packages refused with nothing written; a failed
// import leaves nothing behind.
#include "cardset/card_set.h"
#include "cardset/card_set_folder.h"
#include "editor/cardsets_dialog.h"
#include "res/dialog_ids.h"
#include "sharing/card_set_package.h"
#include "tests/game/game_fixture.h"
#include "support/test_support.h"

#include <dlgs.h>

namespace {

// What an import may write: the names at the top of the application-data folder, with the bytes
// of its files (an import writes only there: a card set, its folder, its temporary folder).
std::set<std::string> UserFiles()
{
    std::set<std::string> files;
    WIN32_FIND_DATAA found;
    std::string folder = GetCardSetFolder();
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    do {
        bool isFolder = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        files.insert(found.cFileName + (isFolder ? "\\" : "=" + ReadBytes(folder + "\\" + found.cFileName)));
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return files;
}

} // namespace

TEST(CardSetPackage, ExportAndImportCarryEveryFileOnceUnderItsOwnName)
{
    ResetUserData();
    for (const char* file : {"cat.bmp", "cat (2).bmp", "meow.wav", "run.mpg"}) // an earlier run's import
        DeleteFileA((GetCardSetFolder() + "\\Trip 2\\" + file).c_str());
    RemoveDirectoryA((GetCardSetFolder() + "\\Trip 2").c_str());
    std::string a = MakeScratchFolder("share-a"), b = MakeScratchFolder("share-b");
    WriteBytes(a + "\\cat.bmp", "picture A");
    WriteBytes(b + "\\cat.bmp", "picture B, another file of the same name");
    WriteBytes(a + "\\meow.wav", "sound");
    WriteBytes(a + "\\run.mpg", "video");
    SetEnvironmentVariableA("SHARE_A", a.c_str());
    CardSet set(3);
    set[0] = {"{\\rtf1 one}", "", a + "\\cat.bmp", "", "%SHARE_A%\\meow.wav", "", a + "\\run.mpg", ""};
    set[1] = {"two", "zwei", "%SHARE_A%\\CAT.bmp", b + "\\cat.bmp", "", "", "", ""};
    set[2] = {"three", "", a + "\\gone.png", "", "", "", "", ""};
    ASSERT_TRUE(SaveCardSet("Trip", set));
    std::string own = ReadBytes(GetCardSetPath("Trip"));

    // Exported through the card sets dialog, which reports the missing file once.
    std::string zip = MakeScratchFolder("share-out") + "\\Trip.zip", error;
    DialogDriver driver;
    driver.Then([](HWND dialog) {
        SendDlgItemMessageA(dialog, IDC_CARDSETS_LIST, LB_SETCURSEL, 0, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_CARDSETS_LIST, LBN_SELCHANGE), 0);
        PressDialogButton(dialog, IDC_CARDSETS_EXPORT);
    });
    driver.Then([&](HWND fileDialog) {
        SetDlgItemTextA(fileDialog, cmb13, zip.c_str());
        SetDlgItemTextA(fileDialog, edt1, zip.c_str());
        PressDialogButton(fileDialog, IDOK);
    });
    driver.Then([](HWND box) {
        PressDialogButton(box, IDOK);
        PressDialogButton(GetWindow(box, GW_OWNER), IDCANCEL);
    });
    ShowCardSetsDialog(nullptr);
    EXPECT_EQ(
        (std::vector<std::string>{"Card sets", "Save As", "Error(s): File not found, filename " + a + "\\gone.png\n"}),
        driver.Told());
    EXPECT_EQ(own, ReadBytes(GetCardSetPath("Trip"))); // the user's own file is not changed

    CardSetPackage package;
    ASSERT_TRUE(OpenCardSetPackage(zip, package, error)) << error;
    EXPECT_EQ("Trip", package.Name);
    std::string names;
    for (const ZipEntry& entry : package.Entries)
        names += entry.Name + "|";
    EXPECT_EQ("Trip.mnc|Trip/cat.bmp|Trip/meow.wav|Trip/run.mpg|Trip/cat (2).bmp|", names);

    // Under its own name it is taken; under another, everything lands in that name's folder.
    EXPECT_TRUE(CardSetNameTaken("Trip"));
    EXPECT_FALSE(ImportCardSetPackage(package, "Trip", error));
    ASSERT_TRUE(ImportCardSetPackage(package, "Trip 2", error)) << error;
    CardSet imported;
    ASSERT_EQ(CardSetFileState::Read, LoadCardSet("Trip 2", imported));
    ASSERT_EQ(3u, imported.size());
    const std::string in = "%APPDATA%\\Trip 2\\";
    EXPECT_EQ(in + "cat.bmp|" + in + "meow.wav|" + in + "run.mpg|" + in + "cat.bmp|" + in + "cat (2).bmp|" + a +
                  "\\gone.png|" + set[0].Text1 + set[1].Text2,
              imported[0].PictureFileName1 + "|" + imported[0].SoundFileName1 + "|" + imported[0].VideoFileName1 + "|" +
                  imported[1].PictureFileName1 + "|" + imported[1].PictureFileName2 + "|" +
                  imported[2].PictureFileName1 + "|" + imported[0].Text1 + imported[1].Text2);
    std::string file = imported[1].PictureFileName2;
    ExpandFileName(file);
    EXPECT_EQ("picture B, another file of the same name", ReadBytes(file));
    EXPECT_EQ(own, ReadBytes(GetCardSetPath("Trip")));
}

// Each package is refused with its reason, or opens and fails to import with it (the last file
// damaged fails at the end of unpacking), and the user's folder is exactly as it was. A folder link
// found in an import's temporary folder is not followed: the folder it leads to keeps its files; a
// folder already there under the temporary folder's name is left as it was.
TEST(CardSetPackage, HostilePackagesAreRefusedAndWriteNothing)
{
    ResetUserData();
    CardSet set(1);
    set[0].Text1 = "mine";
    ASSERT_TRUE(SaveCardSet("Mine", set));
    const std::string mnc = "[General]\r\nCount=0\r\n";
    struct Row {
        std::vector<ZipSource> Sources;
        const char* Reason;
    };
    const Row rows[] = {
        {{{"Set.mnc", "", mnc}, {"/etc/passwd", "", "x"}}, "absolute path or a drive"},
        {{{"Set.mnc", "", mnc}, {"C:/Windows/evil.dll", "", "x"}}, "absolute path or a drive"},
        {{{"Set.mnc", "", mnc}, {"Set/../Mine.mnc", "", "x"}}, "leads out of its folder"},
        {{{"Set.mnc", "", mnc}, {"Set\\..\\..\\evil", "", "x"}}, "leads out of its folder"},
        {{{"Set.mnc", "", mnc}, {"Set/NUL.png", "", "x"}}, "names a device"},
        {{{"Set.mnc", "", mnc}, {"Set/com1", "", "x"}}, "names a device"},
        {{{"Set.mnc", "", mnc}, {"Set/a\x01.png", "", "x"}}, "control character"},
        {{{"Set.mnc", "", mnc}, {"Other/cat.png", "", "x"}}, "is outside the folder Set"},
        {{{"Set.mnc", "", mnc}, {"Mine.mnc", "", mnc}}, "more than one card set"},
        {{{"Set/cat.png", "", "x"}}, "holds no card set"},
        {{{"Set.mnc", "", mnc}, {"Set/cat.png", "", "x"}, {"Set/cat.png", "", "y"}}, "cat.png cannot be written"},
        {{{"Set.mnc", "", mnc}, {"Set/a.png", "", std::string(5000, 'a')}, {"Set/b.png", "", std::string(5000, 'b')}},
         "The entry Set/b.png is damaged."},
    };
    const std::set<std::string> before = UserFiles();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Sources.back().Name);
        std::string zip = MakeScratchFolder("packages") + "\\hostile.zip", error;
        ASSERT_TRUE(WriteZipArchive(zip, row.Sources, error)) << error;
        std::string bytes = ReadBytes(zip);
        if (row.Sources.back().Name == "Set/b.png") // the last entry's checksum
            bytes[bytes.rfind("PK\x01\x02") + 16] ^= 0x11, WriteBytes(zip, bytes);
        CardSetPackage package;
        if (OpenCardSetPackage(zip, package, error)) {
            EXPECT_FALSE(ImportCardSetPackage(package, "Set", error));
        }
        EXPECT_NE(std::string::npos, error.find(row.Reason)) << error;
        EXPECT_EQ(before, UserFiles());
    }
    std::string error, holder = TestMediaFile("links\\holder"); // holds "link", leading to ..\target
    EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT,
              GetFileAttributesA((holder + "\\link").c_str()) & ~FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_FALSE(PlaceImportedCardSet(holder, "Set", false, error));
    EXPECT_EQ("kept", ReadBytes(TestMediaFile("links\\target\\keep.txt")));
    // Every temporary folder name of the next half second taken: the import's folder cannot be
    // made, and the folder of that name keeps what it held.
    std::string taken = GetCardSetFolder() + "\\~import-" + std::to_string(GetCurrentProcessId()) + "-", temporary;
    DWORD now = GetTickCount();
    for (DWORD tick = now; tick < now + 500; ++tick)
        CreateDirectoryA((taken + std::to_string(tick)).c_str(), nullptr),
            WriteBytes(taken + std::to_string(tick) + "\\mine", "mine");
    EXPECT_FALSE(MakeImportFolder("~import-", "Set", temporary, error));
    EXPECT_EQ("mine", ReadBytes(temporary + "\\mine")) << temporary;
    for (DWORD tick = now; tick < now + 500; ++tick)
        DeleteFileA((taken + std::to_string(tick) + "\\mine").c_str()),
            RemoveDirectoryA((taken + std::to_string(tick)).c_str());
}
