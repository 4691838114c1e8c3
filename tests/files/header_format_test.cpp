// Header-and-format series: title, header with count, first year and edit
// descriptor, then the values in that layout.
#include "files/header_format.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text.h"
#include "support/temp_dir.h"

namespace files {
namespace {

class HeaderFormatTest : public ::testing::Test {
 protected:
  HeaderFormatTest() : console_({}), dialog_(console_, units_) {}

  void TearDown() override { units_.CloseAll(); }

  // Opens `text` on unit 10 and calls datar once.
  void Run(const std::string& text, std::size_t room = 6001) {
    const std::string path = dir_.Put("h.txt", text);
    ASSERT_TRUE(units_.Open(10, path, common::Units::Mode::kRead));
    x_.assign(room, -1.0f);
    line_ = std::string(100, ' ');
    n_ = 12345;
    iyr1_ = 12345;
    datar(dialog_, line_, n_, x_, iyr1_, 10, 6001);
  }

  // The header line: "n", count in columns 3-10, year 13-20, descriptor 23-30.
  static std::string Header(const std::string& count, const std::string& year, const std::string& descriptor) {
    std::string h = "n " + std::string(8 - count.size(), ' ') + count + "  " + std::string(8 - year.size(), ' ') +
                    year + "  " + descriptor;
    return h + "\n";
  }

  static std::string Values(int n, int per_line) {
    std::string text;
    for (int k = 1; k <= n; ++k) {
      char field[16];
      std::snprintf(field, sizeof field, "%7d", k);  // implied decimals: k under f7.3 is k/1000
      text += field;
      if (k % per_line == 0 || k == n) text += "\n";
    }
    return text;
  }

  common::ScriptedConsole console_;
  common::Units units_;
  common::Dialog dialog_;
  test_support::TempDir dir_;
  std::vector<float> x_;
  std::string line_;
  int n_ = 0;
  int iyr1_ = 0;
};

TEST_F(HeaderFormatTest, ReadsTheCountTheYearAndTheValues) {
  Run(common::Fixed("SERIES01 title of the series", 79) + "#\n" + Header("150", "1850", "(10f7.3)") +
      Values(150, 10));
  EXPECT_EQ(n_, 150);
  EXPECT_EQ(iyr1_, 1850);
  EXPECT_EQ(line_.substr(0, 8), "SERIES01");
  EXPECT_EQ(x_[0], 0.001f);
  EXPECT_EQ(x_[149], 0.15f);
  EXPECT_EQ(x_[150], -1.0f);  // nothing beyond the count
  EXPECT_EQ(console_.transcript(), "");
}

TEST_F(HeaderFormatTest, LinesBeforeTheHeaderReplaceTheTitle) {
  Run(common::Fixed("FIRST title", 79) + "#\nSECOND title line\nn  a line that is not a header\n" +
      Header("3", "-5", "(3f5.1)") + "   11   22   33\n");
  EXPECT_EQ(n_, 3);
  EXPECT_EQ(iyr1_, -5);
  EXPECT_EQ(common::TrimRight(line_), "SECOND title line");  // "n  " lines are not titles
  EXPECT_EQ(x_[2], 3.3f);
}

TEST_F(HeaderFormatTest, DescriptorLongerThanEightCharactersIsNoHeader) {
  Run("T\n" + Header("3", "1900", "(10f10.3)") + "      1000      2000      3000\n");
  EXPECT_EQ(n_, -999);  // the cut text lacks its ")", so no header is ever found
}

TEST_F(HeaderFormatTest, EndOfFileBeforeAHeader) {
  Run("only a title\n");
  EXPECT_EQ(n_, -999);
}

TEST_F(HeaderFormatTest, ConversionErrorGivesNoValues) {
  Run("T\n" + Header("3", "1900", "(3f5.1)") + "   11  2x2   33\n");
  EXPECT_EQ(n_, 0);
  EXPECT_EQ(console_.transcript(), ">> sbr datar:  error reading data\n");
}

TEST_F(HeaderFormatTest, MalformedDescriptorIsAReadErrorNotACrash) {
  Run("T\n" + Header("3", "1900", "(3q5.1)") + "   11   22   33\n");
  EXPECT_EQ(n_, 0);
  EXPECT_EQ(console_.transcript(), ">> sbr datar:  error reading data\n");
}

TEST_F(HeaderFormatTest, EarlyEndOfFileGivesNoValues) {
  Run("T\n" + Header("25", "1900", "(10f7.3)") + Values(20, 10));
  EXPECT_EQ(n_, 0);
  EXPECT_EQ(console_.transcript(), ">> sbr datar:  unexpected end reading data\n");
}

TEST_F(HeaderFormatTest, CountsAndYearsBeyondTheLimitsAreRefused) {
  Run("BIG\n" + Header("6002", "1", "(10f7.3)") + Values(6002, 10));
  EXPECT_EQ(n_, 0);
  EXPECT_EQ(console_.transcript(), " Series BIG has more than 6001 values (the limit per series).\n");
  units_.CloseAll();

  // an array smaller than the count is never overrun
  Run("SMALL\n" + Header("20", "1", "(10f7.3)") + Values(20, 10), 10);
  EXPECT_EQ(n_, 0);
  units_.CloseAll();

  Run("LATE\n" + Header("20", "9990", "(10f7.3)") + Values(20, 10));
  EXPECT_EQ(n_, 0);
  EXPECT_NE(console_.transcript().find(" Series LATE has years outside -9999 to 9999 (the year limit).\n"),
            std::string::npos);
  units_.CloseAll();

  Run("NONE\n" + Header("0", "1900", "(10f7.3)"));
  EXPECT_EQ(n_, 0);
}

TEST_F(HeaderFormatTest, ValuesMayFollowAnyDescriptor) {
  Run("T\n" + Header("4", "2000", "(2e9.2)") + "  1.5E+01 2.5D-01\n    3       -4\n");
  EXPECT_EQ(n_, 4);
  EXPECT_EQ(x_[0], 15.0f);
  EXPECT_EQ(x_[1], 0.25f);
  EXPECT_EQ(x_[2], 0.03f);
  EXPECT_EQ(x_[3], -0.04f);
}

}  // namespace
}  // namespace files
