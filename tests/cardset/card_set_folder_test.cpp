// The card set folder: listing, names with dots, copy, rename (case-only included) and delete.
#include "cardset/card_set.h"
#include "cardset/card_set_folder.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

class CardSetFolder : public testing::Test {
  protected:
    void SetUp() override { ResetUserData(); }
    void TearDown() override { ResetUserData(); }
    static std::set<std::string> Names()
    {
        std::set<std::string> names;
        EnumerateCardSets(names);
        return names;
    }
    static void Make(const std::string& name, const std::string& text)
    {
        CardSet set(1);
        set[0].Text1 = text;
        ASSERT_TRUE(SaveCardSet(name, set));
    }
    static std::string FirstText(const std::string& name)
    {
        CardSet set;
        LoadCardSet(name, set);
        return set.empty() ? std::string("<none>") : set[0].Text1;
    }
};

} // namespace

TEST_F(CardSetFolder, ListsNamesSortedAndCutAtTheLastDot)
{
    EXPECT_TRUE(Names().empty());
    for (const char* file : {"b.mnc", "A.mnc", "Trip.2013.mnc", ".mnc", "notes.txt"})
        WriteBytes(GetCardSetFolder() + "\\" + file, "");
    EXPECT_EQ((std::set<std::string>{"", "A", "Trip.2013", "b"}), Names());
    EXPECT_EQ(GetCardSetFolder() + "\\Trip.2013.mnc", GetCardSetPath("Trip.2013"));
    EXPECT_TRUE(CardSetExists("Trip.2013"));
}

TEST_F(CardSetFolder, CopyReplacesRenameDoesNotAndDeleteRemoves)
{
    Make("first", "one");
    Make("second", "two");
    CopyCardSet("first", "second");
    EXPECT_EQ("one", FirstText("second"));
    Make("second", "two");
    RenameCardSet("first", "second");
    EXPECT_EQ("one", FirstText("first"));
    EXPECT_EQ("two", FirstText("second"));
    RenameCardSet("first", "third");
    EXPECT_FALSE(CardSetExists("first"));
    EXPECT_EQ("one", FirstText("third"));
    RenameCardSet("third", "THIRD"); // only the letter case changes
    EXPECT_EQ((std::set<std::string>{"THIRD", "second"}), Names());
    DeleteCardSet("THIRD");
    EXPECT_FALSE(CardSetExists("THIRD"));
    DeleteCardSet("THIRD"); // nothing left to delete: no complaint
}
