// Word lists: the kinds of list people export, read into pairs with formats and media; hostile lists
// refused with their messages; a list imported through the card sets dialog with its media; Greek
// and Cyrillic shown exactly on a card and on paper.
#include "cardset/card_set_folder.h"
#include "editor/editor_test_support.h"
#include "editor/cardsets_dialog.h"
#include "game/card_face.h"
#include "game/rich_text_layout.h"
#include "media/rich_text.h"
#include "print/print_layout.h"
#include "res/dialog_ids.h"
#include "support/test_pictures.h"
#include "tests/game/game_fixture.h"
#include "wordlist/word_list_import.h"

#include <dlgs.h>

namespace {

// A card as "<b>bold</b> plain/second paragraph [pic:x] [snd:y]".
std::wstring Describe(const WordListCard& card)
{
    std::wstring out;
    for (const TextRun& run : card.Text) {
        std::wstring text = run.Text;
        std::replace(text.begin(), text.end(), L'\n', L'/');
        out += std::wstring(run.Bold ? L"<b>" : L"") + (run.Italic ? L"<i>" : L"") + (run.Underline ? L"<u>" : L"") +
               text + (run.Underline ? L"</u>" : L"") + (run.Italic ? L"</i>" : L"") + (run.Bold ? L"</b>" : L"");
    }
    out += card.Picture.empty() ? L"" : L" [pic:" + card.Picture + L"]";
    return out + (card.Sound.empty() ? L"" : L" [snd:" + card.Sound + L"]");
}

std::string Utf16Le(const std::wstring& text)
{
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text)
        bytes += static_cast<char>(c & 0xFF), bytes += static_cast<char>(c >> 8);
    return bytes;
}

} // namespace

// The lists people export, each read into the pairs (first | second card) it should give; hostile
// lists refused with a message naming the row.
TEST(WordList, ExportsReadIntoPairsAndHostileListsAreRefused)
{
    std::string rows;
    for (int i = 0; i < 100000; ++i)
        rows += "w" + std::to_string(i) + "\tv\n";
    struct Case {
        const char* Kind;
        std::string Bytes;
        std::vector<std::wstring> Pairs;
        std::string Error = "";
    } cases[] = {
        {"Excel semicolon CSV with sep= and BOM",
         "\xEF\xBB\xBFsep=;\r\nHaus;house\r\n\"T\xC3\xBCr; Tor\";\"door \"\"big\"\"\";ignored\r\n",
         {L"Haus | house", L"T\xFCr; Tor | door \"big\""}},
        {"UTF-16 LE",
         Utf16Le(L"uno\tone\r\n\r\n\x03b3\x03ac\x03c4\x03b1\t\x043a\x043e\x0442\r\n"),
         {L"uno | one", L"\x03b3\x03ac\x03c4\x03b1 | \x043a\x043e\x0442"}},
        {"quoted multi-line fields, CR rows",
         "a,\"line one\r\nline two\"\r\r,\rb,c",
         {L"a | line one/line two", L"b | c"}},
        {"Anki with headers, html and media",
         "#separator:Pipe\n#html:true\n#guid column:1\n#notetype column:2\n#deck column:3\n#tags column:6\n"
         "g1|Basic|D|<b>chat</b> &amp; <i>co</i>|cat<br>kitten[sound:cat.mp3]|t\n"
         "g2|Basic|D|<div><u>dog</u></div><div>&lt;x&gt; &quot;&#947;&#x3b4;&quot;</div>|<img src=\"dog.png\">||t\n"
         "g3|Basic|D|bird||t|<img src='bird.png'>\n",
         {L"<b>chat</b> & <i>co</i> | cat/kitten [snd:cat.mp3]", L"<u>dog</u>/<x> \"\x03b3\x03b4\" |  [pic:dog.png]",
          L"bird |  [pic:bird.png]"}},
        {"Quizlet-style tab export",
         "apple\tla pomme, le fruit\nbanana\tla banane\n",
         {L"apple | la pomme, le fruit", L"banana | la banane"}},
        {"ANSI code page", "caf\xE9,coffee\n", {L"caf\xE9 | coffee"}}, // 1252 here; not UTF-8
        {"Anki separator given as itself", "#separator:;\n#html:false\na;<b>b</b>\n", {L"a | <b>b</b>"}},
        {"zero byte",
         std::string("ab\ncd\x01\x02\x00\xFF", 9),
         {},
         "The list is not a text file: line 2 holds a zero byte."},
        {"long field",
         "a,b\n\"x\"," + std::string(20 << 20, 'x') + "\n",
         {},
         "Row 2 of the list: field 2 has 20971520 characters; a card text may have at most 16383."},
        {"open quote", "a,b\nc,\"open\nd,e\n", {}, "Row 2 of the list: a quoted field is not closed."},
        {"too many rows",
         rows,
         {},
         "Row 65537 of the list is one row too many: a card set holds at most 65536 card pairs."},
        {"blank", "\xEF\xBB\xBF\r\n \t \r\n", {}, "The list holds no rows to make card pairs of."},
        {"zero character",
         Utf16Le(std::wstring(L"a\tb\n", 4) + L'\0'),
         {},
         "The list is not a text file: line 2 holds a zero character."},
    };
    for (const Case& c : cases) {
        std::vector<WordListPair> pairs;
        std::string error;
        EXPECT_EQ(c.Error.empty(), ReadWordList(c.Bytes, pairs, error)) << c.Kind;
        EXPECT_EQ(c.Error, error) << c.Kind;
        std::vector<std::wstring> got;
        for (const WordListPair& pair : pairs)
            got.push_back(Describe(pair.First) + L" | " + Describe(pair.Second));
        EXPECT_EQ(c.Pairs, c.Error.empty() ? got : c.Pairs) << c.Kind;
    }
}

// Import in the card sets dialog: the list's file name offered, media found beside the list or in
// collection.media copied beside the card set, those not found reported together.
TEST(WordList, ImportedThroughTheCardSetsDialogWithMedia)
{
    ResetUserData();
    std::string folder = MakeScratchFolder("anki"), earlier = GetCardSetFolder() + "\\Animals";
    for (const char* file : {"\\dog.bmp", "\\bark.wav"})
        DeleteFileA((earlier + file).c_str());
    RemoveDirectoryA(earlier.c_str());
    CreateDirectoryA((folder + "\\collection.media").c_str(), nullptr);
    ASSERT_TRUE(WritePicture(folder + "\\collection.media\\dog.bmp", PictureFormat::Bmp, 8, 8,
                             [](int, int) { return RGB(0, 0, 255); }));
    WriteBytes(folder + "\\bark.wav", "RIFF");
    WriteBytes(folder + "\\Animals.txt", "#html:true\n<img src=\"dog.bmp\">Dog[sound:bark.wav]\tHund "
                                         "<img src=\"gone.png\">\nCat\tKatze[sound:gone.mp3]\n");
    // The list's name typed without extension: not found as a package, then found with the word
    // lists' filter.
    auto typeName = [&](HWND fileDialog, int filterIndex) {
        SendDlgItemMessageA(fileDialog, cmb1, CB_SETCURSEL, filterIndex, 0);
        SendMessageA(fileDialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELENDOK),
                     reinterpret_cast<LPARAM>(GetDlgItem(fileDialog, cmb1)));
        SetDlgItemTextA(fileDialog, edt1, (folder + "\\Animals").c_str());
        SetDlgItemTextA(fileDialog, cmb13, (folder + "\\Animals").c_str());
        PressDialogButton(fileDialog, IDOK);
    };
    DialogDriver driver;
    driver.Press(IDC_CARDSETS_IMPORT);
    driver.Then([&](HWND fileDialog) { typeName(fileDialog, 0); });
    driver.Press(IDOK);
    driver.Then([&](HWND fileDialog) { typeName(fileDialog, 1); });
    driver.Press(IDOK); // the list's name offered: the card set is loaded by it below
    driver.Then(Pressing(IDOK, [](HWND cardSets) { PressDialogButton(cardSets, IDCANCEL); }));
    EXPECT_EQ(1, ShowCardSetsDialog(nullptr));
    const std::string notFound =
        "Error: File \"" + folder + "\\Animals\" not found.\nCheck the file name and try again.";
    EXPECT_EQ(
        (std::vector<std::string>{notFound, "Open", "Name of new card set",
                                  "Error(s): File not found, filename gone.png\nFile not found, filename gone.mp3\n"}),
        driver.Told(2));
    CardSet cards;
    ASSERT_EQ(CardSetFileState::Read, LoadCardSet("Animals", cards));
    ASSERT_EQ(2u, cards.size());
    EXPECT_EQ("%APPDATA%\\Animals\\dog.bmp|%APPDATA%\\Animals\\bark.wav||",
              cards[0].PictureFileName1 + "|" + cards[0].SoundFileName1 + "|" + cards[0].PictureFileName2 + "|" +
                  cards[1].SoundFileName2);
    EXPECT_EQ(PlainTextToRtf(L"Dog") + "|" + PlainTextToRtf(L"Katze"), cards[0].Text1 + "|" + cards[1].Text2);
    EXPECT_EQ(ReadBytes(folder + "\\bark.wav"), ReadBytes(GetCardSetFolder() + "\\Animals\\bark.wav"));
}

// Greek and Cyrillic read from a list show on a card face and print as the same text typed into
// the control (in its script's character set, as a keyboard of that language types it) and the
// editor saved, and unlike question marks (such texts saved again by the editor: the card set
// dialog tests).
TEST_F(BoardTest, GreekAndCyrillicShowExactlyOnACard)
{
    const std::wstring words[] = {L"\x03ba\x03b1\x03bb\x03b7\x03bc\x03ad\x03c1\x03b1",
                                  L"\x0437\x0434\x0440\x0430\x0432\x0441\x0442\x0432\x0443\x0439"};
    std::vector<WordListPair> pairs;
    std::string error, typed[2];
    ASSERT_TRUE(ReadWordList(Utf16Le(words[0] + L"\t" + words[1]), pairs, error)) << error;
    CardPair imported = WordListPairToCardPair(pairs[0]);
    HWND editor = CreateHiddenRichEdit(GetModuleHandleA(nullptr));
    for (int i = 0; i < 2; ++i) {
        LoadCardText(editor, "");
        SETTEXTEX set = {ST_DEFAULT, 1200};
        SendMessageA(editor, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&set), reinterpret_cast<LPARAM>(words[i].c_str()));
        CHARFORMAT2A format = DefaultCardTextFormat();
        format.bCharSet = i ? RUSSIAN_CHARSET : GREEK_CHARSET;
        SendMessageA(editor, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
        typed[i] = StreamOutRtf(editor);
    }
    DestroyWindow(editor);
    Start(new CardSet{imported,
                      {typed[0], typed[1], "", "", "", "", "", ""},
                      {"????????", "??????????", "", "", "", "", "", ""}},
          2, 3);
    auto face = [this](int pair, int side) {
        HWND card = Card(CardOfSide(pair, side));
        MoveWindow(card, 0, 0, 200, 150, TRUE);
        SetWindowLongA(card, FaceUpSlot, 1);
        return DrawOnWhite(200, 150, [&](HDC dc) { DrawCardFace(card, dc, CardFacePaint); }).Data;
    };
    auto printed = [](const std::string& text) { // as a card's text is laid out on paper
        return DrawOnWhite(400, 200, [&](HDC dc) { DrawPrintText(dc, 0, 0, 400, 200, text); }).Data;
    };
    for (int side = 1; side <= 2; ++side) {
        std::vector<COLORREF> shown = face(0, side), paper = printed(side == 1 ? imported.Text1 : imported.Text2);
        EXPECT_TRUE(shown == face(1, side) && shown != face(2, side)) << side;
        EXPECT_TRUE(paper == printed(typed[side - 1]) && paper != printed(std::string(words[side - 1].size(), '?')));
    }
}
