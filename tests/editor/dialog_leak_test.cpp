// Opening and closing every dialog of the program many times leaves no GDI or USER objects behind.
#include "app/help_about.h"
#include "editor/card_pair_dialog.h"
#include "editor/card_set_dialog.h"
#include "editor/cardsets_dialog.h"
#include "editor/editor_test_support.h"
#include "editor/name_dialog.h"
#include "editor/settings_dialog.h"

// Each dialog, with texts, a picture name and formatting where it shows them, is opened and closed
// (after its posted loading) 50 times after a first round that fills the platform's own caches. A
// leak of one object per opening would show as 50; those caches account for a handful.
TEST(DialogLeaks, EveryDialogOpenedAndClosedManyTimes)
{
    ResetUserData();
    CardSet cards;
    for (int i = 0; i < 6; ++i)
        cards.push_back(TextPair(MakeRtf("text " + std::to_string(i), "Tahoma", i % 2 == 0, RGB(200, 0, 0))));
    cards.push_back({"", "", "C:\\cat.bmp", "", "", "", "", ""});
    SaveCardSet("One", cards);
    SaveCardSet("Two", cards);
    CardPair pair = cards[0];
    pair.Text2 = MakeRtf("second", "Courier New", true);
    CardPairDialogParams params = {&pair, &cards, 0};
    const std::pair<const char*, std::function<void()>> dialogs[] = {
        {"About", [] { ShowAboutDialog(nullptr); }},
        {"Settings", [] { ShowSettingsDialog(nullptr); }},
        {"Name", [] { ShowNameDialog(nullptr, NameForCopy, "Name of copied card set", "x"); }},
        {"Card sets", [] { ShowCardSetsDialog(nullptr); }},
        {"Card set", [&] { ShowCardSetDialog(nullptr, "Sample", cards); }},
        {"Card pair", [&] { ShowCardPairDialog(nullptr, params); }}};
    for (const auto& dialog : dialogs) {
        int gdi = 0, user = 0;
        for (int round = 0; round <= 50; ++round) {
            DialogDriver driver;
            driver.Then(Pressing(dialog.first == std::string("About") ? IDOK : IDCANCEL));
            dialog.second();
            PumpMessages();
            EXPECT_TRUE(driver.Done()) << dialog.first;
            gdi = round == 0 ? CountGdiObjects() : gdi;
            user = round == 0 ? CountUserObjects() : user;
        }
        EXPECT_LE(CountGdiObjects() - gdi, 5) << dialog.first;
        EXPECT_LE(CountUserObjects() - user, 0) << dialog.first;
    }
    ResetUserData();
}
