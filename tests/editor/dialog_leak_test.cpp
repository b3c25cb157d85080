// Opening and closing every dialog of the program many times leaves no GDI or USER objects behind.
#include "app/help_about.h"
#include "editor/card_pair_dialog.h"
#include "editor/card_set_dialog.h"
#include "editor/cardsets_dialog.h"
#include "editor/editor_test_support.h"
#include "editor/name_dialog.h"
#include "editor/settings_dialog.h"

namespace {

const int Rounds = 50;

// Opens a dialog through open and closes it by pressing Cancel once it is up (after its posted
// loading, where it has one), Rounds times after a first round that fills the platform's own
// caches; the GDI and USER counts must not grow.
void ExpectNoLeaks(const char* name, std::function<void(HWND owner)> open, int closeId = IDCANCEL)
{
    auto round = [&] {
        DialogDriver driver;
        driver.Then(Pressing(closeId));
        open(nullptr);
        PumpMessages();
        EXPECT_TRUE(driver.Done()) << name;
    };
    round();
    int gdi = CountGdiObjects();
    int user = CountUserObjects();
    for (int i = 0; i < Rounds; ++i)
        round();
    int gdiGrowth = CountGdiObjects() - gdi;
    int userGrowth = CountUserObjects() - user;
    // A leak of one object per opening would show as 50; the platform's own caches of device
    // contexts and fonts account for a handful.
    EXPECT_LE(gdiGrowth, 5) << name;
    EXPECT_LE(userGrowth, 0) << name;
}

} // namespace

// Every dialog of the program, with texts, a picture name and formatting in it where it shows them.
TEST(DialogLeaks, EveryDialogOpenedAndClosedManyTimes)
{
    ResetUserData();
    CardSet cards;
    for (int i = 0; i < 6; ++i)
        cards.push_back(TextPair(MakeRtf("text " + std::to_string(i), "Tahoma", i % 2 == 0, RGB(200, 0, 0))));
    cards.push_back(CardPair());
    cards.back().PictureFileName1 = "C:\\cat.bmp";
    SaveCardSet("One", cards);
    SaveCardSet("Two", cards);
    CardPair pair = cards[0];
    pair.Text2 = MakeRtf("second", "Courier New", true);
    CardPairDialogParams params = {&pair, &cards, 0};
    ExpectNoLeaks(
        "About", [](HWND owner) { ShowAboutDialog(owner); }, IDOK);
    ExpectNoLeaks("Settings", [](HWND owner) { ShowSettingsDialog(owner); });
    ExpectNoLeaks("Name", [](HWND owner) { ShowNameDialog(owner, NameForCopy, "Name of copied card set", "x"); });
    ExpectNoLeaks("Card sets", [](HWND owner) { ShowCardSetsDialog(owner); });
    ExpectNoLeaks("Card set", [&](HWND owner) { ShowCardSetDialog(owner, "Sample", cards); });
    ExpectNoLeaks("Card pair", [&](HWND owner) { ShowCardPairDialog(owner, params); });
    ResetUserData();
}
