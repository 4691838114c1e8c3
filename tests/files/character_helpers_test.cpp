#include "files/character_helpers.h"

#include <gtest/gtest.h>

namespace {

TEST(CharacterHelpers, BlankClearsEveryPosition) {
  std::string s = "ab c";
  files::blank(s);
  EXPECT_EQ(s, "    ");
  std::string empty;
  files::blank(empty);
  EXPECT_EQ(empty, "");
}

TEST(CharacterHelpers, LjustMovesTheTextLeftKeepingInnerBlanks) {
  std::string s = "   ab c";
  files::ljust(s);
  EXPECT_EQ(s, "ab c   ");
  std::string all = "     ";
  files::ljust(all);
  EXPECT_EQ(all, "     ");
  std::string first = "a  b ";
  files::ljust(first);
  EXPECT_EQ(first, "a  b ");
}

TEST(CharacterHelpers, SqueezGathersNonBlanksInOrder) {
  std::string s = "  a  b c" + std::string(72, ' ');
  files::squeez(s, 80);
  EXPECT_EQ(s, "abc" + std::string(77, ' '));
}

TEST(CharacterHelpers, SqueezLeavesNoDuplicateOfTheLastPosition) {
  // A non-blank in position N moves left and N itself becomes a blank.
  std::string s = "a b";
  files::squeez(s, 3);
  EXPECT_EQ(s, "ab ");
  std::string beyond = "a bXY";
  files::squeez(beyond, 3);  // positions past N are not touched
  EXPECT_EQ(beyond, "ab XY");
  std::string one = " ";
  files::squeez(one, 1);
  EXPECT_EQ(one, " ");
}

TEST(CharacterHelpers, IfmtBuildsTheWidthFromTheTypedCharacters) {
  std::string answer = "  12      ";
  std::string fmt(20, ' ');
  files::ifmt(answer, fmt);
  EXPECT_EQ(answer, "12        ");
  EXPECT_EQ(fmt, "(i2)" + std::string(16, ' '));

  answer = "7         ";
  files::ifmt(answer, fmt);
  EXPECT_EQ(answer, "7         ");
  EXPECT_EQ(fmt.substr(0, 4), "(i1)");

  answer = "1234567890";
  files::ifmt(answer, fmt);
  EXPECT_EQ(fmt.substr(0, 5), "(i10)");

  answer = "-5        ";
  files::ifmt(answer, fmt);
  EXPECT_EQ(fmt.substr(0, 4), "(i2)");
}

TEST(CharacterHelpers, IfmtCountsNonBlanksWhereverTheyStand) {
  std::string answer = "1 2       ";
  std::string fmt(20, ' ');
  files::ifmt(answer, fmt);
  EXPECT_EQ(answer, "1 2       ");
  EXPECT_EQ(fmt.substr(0, 4), "(i2)");
  // (i2) reads "1 ": the inner blank is ignored, so the value is 1.
  EXPECT_EQ(files::ConvertAnswer("1 2       "), 1);
}

TEST(CharacterHelpers, ConvertAnswerTakesALeadingBlankAnswerAsTyped) {
  EXPECT_EQ(files::ConvertAnswer(" 5        "), 5);
  EXPECT_EQ(files::ConvertAnswer("-13       "), -13);
  EXPECT_EQ(files::ConvertAnswer("67        "), 67);
  EXPECT_FALSE(files::ConvertAnswer("x         "));
  EXPECT_FALSE(files::ConvertAnswer("12abc     "));
  EXPECT_FALSE(files::ConvertAnswer("1.5       "));
}

}  // namespace
