#include <gtest/gtest.h>

#include "support/messages.h"

namespace tav {
namespace {

TEST(Messages, TextsKeepSpellingAndBlanks) {
  EXPECT_EQ(msgtext(msg::unknown_command), "unknown command");
  EXPECT_EQ(msgtext(56), "unkown field");
  EXPECT_EQ(msgtext(28), "uncompatible addressing mode");
  EXPECT_EQ(msgtext(68), "missing ");
  EXPECT_EQ(msgtext(70), " modified");
  EXPECT_EQ(msgtext(95), " calls");
  EXPECT_EQ(msgtext(39), "L");
  EXPECT_EQ(msgtext(msg::entry_point_at), "entry point at");
}

TEST(Messages, NumbersWithoutText) {
  EXPECT_EQ(msgtext(999), " **** Err 999 ****");
  EXPECT_EQ(msgtext(0), " **** Err 0 ****");
  EXPECT_EQ(msgtext(-3), " **** Err -3 ****");
  EXPECT_EQ(msgfind(40), nullptr);
  ASSERT_NE(msgfind(13), nullptr);
  EXPECT_STREQ(msgfind(13), "syntax error");
}

}  // namespace
}  // namespace tav
