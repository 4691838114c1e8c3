// The input-format help menu and the data-file snooper.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/input_help.h"
#include "input_fixture.h"

namespace {

using input_test::InputRun;

std::string Lines(int from, int to, const std::string& prefix = "line") {
  std::string text;
  for (int i = from; i <= to; ++i) text += prefix + std::to_string(i) + "\n";
  return text;
}

// A listed line: blank, number 3 wide, blank, the record padded to 100.
std::string Listed(int number, const std::string& record) {
  std::string n = std::to_string(number);
  if (n.size() < 3) n = std::string(3 - n.size(), ' ') + n;
  std::string body = record;
  body.resize(100, ' ');
  return " " + n + " " + body + "\n";
}

TEST(Snoop, RulerMarksEveryTenthCharacter) {
  const std::string ruler = files::SnoopRuler();
  ASSERT_EQ(ruler.size(), 106u);
  EXPECT_EQ(ruler.substr(0, 5), "     ");
  // Character k of a listed line stands at screen column 5 + 1 + k.
  EXPECT_EQ(ruler[5 + 9], '1');
  EXPECT_EQ(ruler[5 + 89], '9');
  EXPECT_EQ(ruler.substr(5 + 99, 2), "10");
  EXPECT_EQ(ruler[5 + 8], '.');
  EXPECT_EQ(ruler[5 + 10], '.');
}

TEST(Snoop, MAtTheFirstPageReturnsAfterFiveLines) {
  InputRun run(Lines(1, 12), {"m"});
  files::snoop(run.dialog(), common::kDataUnit);
  std::string expected = "\n snooping in the data file (first 100 characters/line):\n" + files::SnoopRuler() + "\n";
  for (int i = 1; i <= 5; ++i) expected += Listed(i, "line" + std::to_string(i));
  expected += "\n more <ret>, read to end <e>, return to main program <m> m\n\n end-of-snoop:     5 lines read\n";
  EXPECT_EQ(run.Transcript(), expected);
  // The file is left at its start.
  EXPECT_EQ(run.units().Get(10)->NextRecord(), "line1");
}

TEST(Snoop, ReadToEndShowsTheLastFiveOfForty) {
  InputRun run(Lines(1, 40), {"e", "m"});
  files::snoop(run.dialog(), common::kDataUnit);
  const std::string& screen = run.Transcript();
  EXPECT_EQ(screen.find(Listed(6, "line6")), std::string::npos);
  EXPECT_EQ(screen.find(Listed(35, "line35")), std::string::npos);
  std::string tail = "\n the last five lines of the data file:\n" + files::SnoopRuler() + "\n";
  for (int i = 36; i <= 40; ++i) tail += Listed(i, "line" + std::to_string(i));
  tail += "\n end-of-snoop:    40 lines read\n\n more <ret> or return to main program <m> m\n";
  ASSERT_GE(screen.size(), tail.size());
  EXPECT_EQ(screen.substr(screen.size() - tail.size()), tail);
}

TEST(Snoop, ReturnShowsTheRulerAndTheNextPage) {
  InputRun run(Lines(1, 7), {"", "m"});
  files::snoop(run.dialog(), common::kDataUnit);
  const std::string& screen = run.Transcript();
  const std::string second = "> \n" + files::SnoopRuler() + "\n" + Listed(6, "line6") + Listed(7, "line7") +
                             "\n end-of-snoop:     7 lines read\n\n more <ret> or return to main program <m> m\n";
  ASSERT_GE(screen.size(), second.size());
  EXPECT_EQ(screen.substr(screen.size() - second.size()), second);
}

TEST(Snoop, UpperCaseLettersCountAsReturnAndAnotherRoundStartsAtLineOne) {
  InputRun run(Lines(1, 3), {"M", "m"});
  files::snoop(run.dialog(), common::kDataUnit);
  const std::string& screen = run.Transcript();
  // Listed twice: the first listing and the round after "M".
  const std::string first = Listed(1, "line1");
  const std::size_t at = screen.find(first);
  ASSERT_NE(at, std::string::npos);
  EXPECT_NE(screen.find(first, at + 1), std::string::npos);
  EXPECT_EQ(run.Unread(), 0u);
}

TEST(Snoop, TabsAreShownAsBlanks) {
  InputRun run("a\tb\tc\n", {"m"});
  files::snoop(run.dialog(), common::kDataUnit);
  EXPECT_NE(run.Transcript().find(Listed(1, "a b c")), std::string::npos);
  EXPECT_EQ(run.Transcript().find('\t'), std::string::npos);
}

TEST(Snoop, LineNumbersWidenPast999) {
  InputRun run(Lines(1, 1003), {"e", "m"});
  files::snoop(run.dialog(), common::kDataUnit);
  std::string body = "line1003";
  body.resize(100, ' ');
  EXPECT_NE(run.Transcript().find(" 1003 " + body + "\n"), std::string::npos);
  EXPECT_EQ(run.Transcript().find("***"), std::string::npos);
}

TEST(Snoop, LongLinesAreCutAt100Characters) {
  InputRun run(std::string(150, 'x') + "\n", {"m"});
  files::snoop(run.dialog(), common::kDataUnit);
  EXPECT_NE(run.Transcript().find("   1 " + std::string(100, 'x') + "\n"), std::string::npos);
  EXPECT_EQ(run.Transcript().find(std::string(101, 'x')), std::string::npos);
}

TEST(Snoop, EndOfInputAtAPromptStops) {
  InputRun run(Lines(1, 20), {});
  EXPECT_EQ(test_support::StopStatus([&] { files::snoop(run.dialog(), common::kDataUnit); }), 3);
}

const std::string kHelpMenu =
    "\n _____   Input Format Help Menu    _____\n"
    " Raw ring-widths (mm-decade)          [1] \n"
    " Chronologies (index-decade)          [2] \n"
    " Single Column                        [3]\n"
    " Multiple Columns                     [4]\n"
    " Enter zero when finished             [0]\n"
    " Enter H for further help\n"
    " ________________________________________\n"
    " Enter a value between  [0-4]       : ";

TEST(Inhelp, EmptyAnswerReturns) {
  InputRun run("x\n", {""});
  files::inhelp(run.dialog(), common::kDataUnit);
  EXPECT_EQ(run.Transcript(), "\n Select a file type to see an example.\n" + kHelpMenu + "\n");
}

TEST(Inhelp, OutOfRangeDigitWarnsAndShowsTheMenuAgain) {
  InputRun run("x\n", {"7", "0"});
  files::inhelp(run.dialog(), common::kDataUnit);
  EXPECT_EQ(run.Transcript(), "\n Select a file type to see an example.\n" + kHelpMenu + "7\n" +
                              "\n You must enter a value between 0 and 4\n\n" + kHelpMenu + "0\n");
}

TEST(Inhelp, HRunsTheSnooper) {
  InputRun run(Lines(1, 6), {"H", "m", "0"});
  files::inhelp(run.dialog(), common::kDataUnit);
  EXPECT_NE(run.Transcript().find(kHelpMenu + "H\n\n snooping in the data file"), std::string::npos);
  EXPECT_NE(run.Transcript().find("end-of-snoop:     5 lines read\n" + kHelpMenu + "0\n"), std::string::npos);
}

TEST(Inhelp, DecadeExampleEndsWithBothSeriesEndLines) {
  InputRun run("x\n", {"1", "", "0"});
  files::inhelp(run.dialog(), common::kDataUnit);
  const std::string& screen = run.Transcript();
  EXPECT_NE(screen.find("\n rrw - decade format\n\n Example:\n\n HBM01A  1940 "), std::string::npos);
  EXPECT_NE(screen.find("\n HBM01A  2000   178    62   236 -9999\n HBM01B  1740"), std::string::npos);
  EXPECT_NE(screen.find("\n HBM01B  1790   156 -9999\n und so veite, und so veite, ... \n <Hit Return to continue>\n"),
            std::string::npos);
}

TEST(Inhelp, ColumnExamplesWaitBetweenTheTwo) {
  InputRun run("x\n", {"4", "", "", "0"});
  files::inhelp(run.dialog(), common::kDataUnit);
  const std::string& screen = run.Transcript();
  EXPECT_NE(screen.find(" Example 1:  Sentinel = ******* \n\n  YEAR   HKTC01A  HKTC01B  HKTC01C  HKTC01D  HKTC25A \n"),
            std::string::npos);
  EXPECT_NE(screen.find("und so veite, und so veite, ... \n  <Hit Return to continue>\n\n Example 2:  Sentinel = -9.9 \n"),
            std::string::npos);
  EXPECT_EQ(run.Unread(), 0u);
}

TEST(Inhelp, ChronologyExampleHasLabelsAtColumn83) {
  InputRun run("x\n", {"2", "", "0"});
  files::inhelp(run.dialog(), common::kDataUnit);
  const std::string& screen = run.Transcript();
  // Printed from column 2, so the label of file column 83 stands at screen column 84.
  const std::size_t at = screen.find("\n tst1a 1950");
  ASSERT_NE(at, std::string::npos);
  const std::string line = screen.substr(at + 1, screen.find('\n', at + 1) - at - 1);
  ASSERT_EQ(line.size(), 86u);
  EXPECT_EQ(line.substr(83, 3), "raw");
  const std::size_t title = screen.find("\n tst1a.raw -- no data title --");
  ASSERT_NE(title, std::string::npos);
  EXPECT_EQ(screen.substr(title + 1 + 59, 22), "1st itrdb line missing");
}


TEST(Inhelp, ChronologyExampleDepthsFallFrom38To32InEachBlock) {
  InputRun run("x\n", {"2", "", "0"});
  files::inhelp(run.dialog(), common::kDataUnit);
  const std::string& screen = run.Transcript();
  // Each decade line (printed from column 2): identifier 6, year 4, then ten
  // pairs of a value 4 wide and a depth 3 wide; fill pairs (9990) carry depth 0.
  for (const std::string label : {"raw", "std"}) {
    std::vector<int> depths;
    std::size_t at = 0;
    while ((at = screen.find("\n tst1a ", at)) != std::string::npos) {
      const std::string line = screen.substr(at + 2, screen.find('\n', at + 1) - at - 2);
      at += 1;
      if (line.size() < 85 || line.substr(82, 3) != label) continue;
      for (int j = 0; j < 10; ++j) {
        const std::size_t from = 10 + 7 * static_cast<std::size_t>(j);
        if (std::stoi(line.substr(from, 4)) >= 9990) continue;
        depths.push_back(std::stoi(line.substr(from + 4, 3)));
      }
    }
    ASSERT_EQ(depths.size(), 55u) << label;  // 1950 to 2004
    EXPECT_EQ(depths.front(), 38) << label;
    EXPECT_EQ(depths.back(), 32) << label;
    for (std::size_t k = 1; k < depths.size(); ++k) EXPECT_LE(depths[k], depths[k - 1]) << label << " year " << 1950 + k;
  }
}

}  // namespace
