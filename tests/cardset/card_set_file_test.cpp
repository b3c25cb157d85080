// Card set files: layout, escapes, limits, damaged files and safe saving.
#include "cardset/card_set.h"
#include "cardset/card_set_folder.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

class CardSetFile : public testing::Test {
  protected:
    void SetUp() override { ResetUserData(); }
    void TearDown() override { ResetUserData(); }
};


} // namespace

TEST_F(CardSetFile, EmptySetWritesOnlyTheCount)
{
    ASSERT_TRUE(SaveCardSet("empty", CardSet()));
    EXPECT_EQ("[General]\r\nCount=0\r\n", ReadBytes(GetCardSetPath("empty")));
    CardSet loaded;
    LoadCardSet("empty", loaded);
    EXPECT_TRUE(loaded.empty());
}
