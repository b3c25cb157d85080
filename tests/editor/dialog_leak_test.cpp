// Opening and closing every dialog of the program many times leaves no GDI or USER objects behind.
#include "app/help_about.h"
#include "cardset/card_set.h"
#include "editor/card_pair_dialog.h"
#include "editor/card_set_dialog.h"
#include "editor/cardsets_dialog.h"
#include "editor/editor_test_support.h"
#include "editor/name_dialog.h"
#include "editor/settings_dialog.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

const int Rounds = 50;

// Opens a dialog through open, closes it by pressing Cancel once it is up (after its posted
// loading, where it has one), Rounds times; returns the growth of the GDI and USER counts after
// a first round that fills the platform's own caches.
void ExpectNoLeaks(const char* name, std::function<void(HWND owner)> open, int closeId = IDCANCEL)
{
    OwnerWindow owner;
    auto round = [&] {
        DialogDriver driver;
        driver.Then([closeId](HWND dialog) { RunLater([dialog, closeId] { PressDialogButton(dialog, closeId); }); });
        open(owner.Window);
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

CardSet SampleCards()
{
    CardSet cards;
    for (int i = 0; i < 6; ++i)
        cards.push_back(TextPair(MakeRtf("text " + std::to_string(i), "Tahoma", i % 2 == 0, RGB(200, 0, 0))));
    CardPair media;
    media.PictureFileName1 = "C:\\cat.bmp";
    cards.push_back(media);
    return cards;
}

} // namespace

TEST(DialogLeaks, AboutBox)
{
    ExpectNoLeaks(
        "About", [](HWND owner) { ShowAboutDialog(owner); }, IDOK);
}

TEST(DialogLeaks, SettingsDialog)
{
    ExpectNoLeaks("Settings", [](HWND owner) { ShowSettingsDialog(owner); });
}

TEST(DialogLeaks, NameDialog)
{
    ExpectNoLeaks("Name", [](HWND owner) { ShowNameDialog(owner, NameForCopy, "Name of copied card set", "x"); });
}

TEST(DialogLeaks, CardSetsDialog)
{
    ResetUserData();
    CardSet cards = SampleCards();
    SaveCardSet("One", cards);
    SaveCardSet("Two", cards);
    ExpectNoLeaks("Card sets", [](HWND owner) { ShowCardSetsDialog(owner); });
    ResetUserData();
}

TEST(DialogLeaks, CardSetDialog)
{
    CardSet cards = SampleCards();
    ExpectNoLeaks("Card set", [&](HWND owner) { ShowCardSetDialog(owner, "Sample", cards); });
}

TEST(DialogLeaks, CardPairDialog)
{
    CardSet cards = SampleCards();
    CardPair pair = cards[0];
    pair.Text2 = MakeRtf("second", "Courier New", true);
    ExpectNoLeaks("Card pair", [&](HWND owner) {
        CardPairDialogParams params = {&pair, &cards, 0};
        ShowCardPairDialog(owner, params);
    });
}
