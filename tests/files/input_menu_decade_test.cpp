// The input data format menu on decade files: ring widths in thousandths
// and hundredths, chronologies, header-and-format series, title lines, the
// fatal read and the storage limits. Real archive files are in tests/data;
// the expected ranges were worked out from the files with awk.
#include <gtest/gtest.h>

#include <string>

#include "common/text.h"
#include "files/input_menu.h"
#include "input_fixture.h"
#include "support/decade_files.h"
#include "support/temp_dir.h"

namespace {

using test_support::DecadeSeries;
using test_support::ReadTestData;

using input_test::InputRun;
using input_test::MenuCall;
using input_test::RunMenu;

TEST(InmenuDecade, TwoSeriesGiveTheWholeSetRow) {
  InputRun run(DecadeSeries("AAA01", 1850, 51, 1234) + DecadeSeries("AAA02", 1870, 81), {"1"});
  const MenuCall call = RunMenu(run);
  ASSERT_EQ(call.status, -1);
  EXPECT_EQ(call.RDFAIL, 0);
  ASSERT_EQ(call.NS, 2);
  auto& s = run.store();
  EXPECT_EQ(s.SERID[1], "AAA01   ");
  EXPECT_EQ(s.IYTAB.ILY(1), 1900);
  EXPECT_EQ(s.IYTAB.NYR(2), 81);
  EXPECT_EQ(s.IYTAB.IFY(3), 1850);
  EXPECT_EQ(s.IYTAB.ILY(3), 1950);
  EXPECT_EQ(s.IYTAB.NYR(3), 101);
  EXPECT_FLOAT_EQ(s.SERMAT.get(51, 1), 1.234f);
  EXPECT_EQ(s.SERMAT.get(52, 1), -999.0f);
  EXPECT_NE(run.Transcript().find("\n Input data read successfully\n"), std::string::npos);
}

TEST(InmenuDecade, BlankTitleLinesAreMarkedMissing) {
  InputRun run(DecadeSeries("AAA01", 1850, 5), {"1"});
  RunMenu(run);
  const auto& title = run.store().TITLE;
  for (int line = 1; line <= 3; ++line) {
    const std::string text = std::string(line == 1 ? "1st" : line == 2 ? "2nd" : "3rd") + " itrdb line missing";
    EXPECT_EQ(title[static_cast<std::size_t>(line)].substr(0, 22), text);
    EXPECT_EQ(title[static_cast<std::size_t>(line)].substr(22, 36), std::string(36, ' '));
    EXPECT_EQ(title[static_cast<std::size_t>(line)].substr(58, 22), text);
  }
}

TEST(InmenuDecade, RealFileInHundredths) {
  InputRun run(ReadTestData("indi005.rwl"), {"1"});
  const MenuCall call = RunMenu(run);
  EXPECT_EQ(call.RDFAIL, 0);
  ASSERT_EQ(call.NS, 4);
  auto& s = run.store();
  EXPECT_EQ(s.SERID[1], "LI016   ");
  EXPECT_EQ(s.SERID[4], "LI022   ");
  EXPECT_EQ(s.IYTAB.IFY(1), 1732);
  EXPECT_FLOAT_EQ(s.SERMAT.get(1, 1), 4.80f);  // "480" in hundredths
  EXPECT_FLOAT_EQ(s.SERMAT.get(2, 1), 5.20f);
  EXPECT_EQ(s.IYTAB.IFY(5), 1732);
  EXPECT_EQ(s.IYTAB.ILY(5), 1980);
}

TEST(InmenuDecade, RealFileWithNegativeYearsAndNoFinalNewline) {
  InputRun run(ReadTestData("egy001.rwl"), {"1"});
  const MenuCall call = RunMenu(run);
  EXPECT_EQ(call.RDFAIL, 0);
  ASSERT_EQ(call.NS, 10);
  auto& s = run.store();
  EXPECT_EQ(s.SERID[1], "101062  ");
  EXPECT_EQ(s.IYTAB.IFY(1), -2073);
  EXPECT_EQ(s.IYTAB.ILY(1), -1944);
  EXPECT_FLOAT_EQ(s.SERMAT.get(1, 1), 1.58f);
  EXPECT_EQ(s.IYTAB.IFY(11), -2220);
  EXPECT_EQ(s.IYTAB.ILY(11), -1884);
  EXPECT_NE(s.TITLE[1].find("Funerary boat near Senusret III Pyramid"), std::string::npos);
}

TEST(InmenuDecade, ChronologyIsOneSeries) {
  InputRun run(ReadTestData("XXX.CRN"), {"2"});
  const MenuCall call = RunMenu(run);
  EXPECT_EQ(call.RDFAIL, 0);
  ASSERT_EQ(call.NS, 1);
  auto& s = run.store();
  EXPECT_EQ(s.IYTAB.IFY(1), 1747);
  EXPECT_EQ(s.IYTAB.ILY(1), 1993);
  EXPECT_FLOAT_EQ(s.SERMAT.get(1, 1), 0.837f);
  EXPECT_FLOAT_EQ(s.SERMAT.get(3, 1), 1.084f);
  EXPECT_EQ(s.SERID[1], "xxx128  ");
  EXPECT_EQ(s.IYTAB.NYR(2), 247);
}

TEST(InmenuDecade, ChronologyWithoutValuesTakesNoSlot) {
  const std::string empty_block = "EMPTY 19509990  09990  09990  09990  09990  09990  09990  09990  09990  09990  0\n";
  const std::string block = "CHR   1950 900  5 950  51000  59990  09990  09990  09990  09990  09990  09990  0\n";
  InputRun run(empty_block + block, {"2"});
  const MenuCall call = RunMenu(run);
  EXPECT_EQ(call.RDFAIL, 0);
  ASSERT_EQ(call.NS, 1);
  EXPECT_EQ(run.store().SERID[1], "CHR     ");
  EXPECT_EQ(run.store().IYTAB.NYR(1), 3);
}

TEST(InmenuDecade, ChronologyPastTheLengthLimitFailsTheRead) {
  std::string text;
  for (int decade = 1000; decade <= 7010; decade += 10) {
    char line[96];
    int used = std::snprintf(line, sizeof line, "LONG  %4d", decade);
    for (int j = 0; j < 10; ++j) used += std::snprintf(line + used, sizeof line - static_cast<std::size_t>(used), "%4d%3d", 1000, 5);
    text += std::string(line) + "\n";
  }
  text += "LONG  70209990  09990  09990  09990  09990  09990  09990  09990  09990  09990  0\n";
  InputRun run(text, {"2", ""});
  const MenuCall call = RunMenu(run);
  EXPECT_EQ(call.RDFAIL, 1);
  EXPECT_EQ(call.NS, 0);
  EXPECT_NE(run.Transcript().find("\n Input data not read in successfully\n"), std::string::npos) << run.Transcript();
}

TEST(InmenuDecade, HeaderAndFormatSeriesInsideADecadeFile) {
  std::string title = "HDR01 header-and-format series";
  title.resize(79, ' ');
  title += "#";
  char header[64];
  std::snprintf(header, sizeof header, "n %8d  %8d  %-8s", 12, 1901, "(6f5.2)");
  std::string text = title + "\n" + header + "\n";
  text += " 1.00 1.01 1.02 1.03 1.04 1.05\n 1.06 1.07 1.08 1.09 1.10 1.11\n";
  text += DecadeSeries("AAA02", 1899, 4);
  InputRun run(text, {"1"});
  const MenuCall call = RunMenu(run);
  EXPECT_EQ(call.RDFAIL, 0);
  ASSERT_EQ(call.NS, 2);
  auto& s = run.store();
  EXPECT_EQ(s.SERID[1], "HDR01 he");
  EXPECT_EQ(s.IYTAB.IFY(1), 1901);
  EXPECT_EQ(s.IYTAB.ILY(1), 1912);
  EXPECT_FLOAT_EQ(s.SERMAT.get(12, 1), 1.11f);
  EXPECT_EQ(s.IYTAB.IFY(3), 1899);
  EXPECT_EQ(s.IYTAB.ILY(3), 1912);
}

TEST(InmenuDecade, TwentySixUnreadableLinesAreAFatalRead) {
  std::string text = DecadeSeries("GOOD", 1900, 20);
  for (int i = 0; i < 26; ++i) text += "GARBAGE 19x0 not a decade line at all\n";
  text += DecadeSeries("LATER", 1900, 20);
  InputRun run(text, {"1", ""});
  const MenuCall call = RunMenu(run);
  EXPECT_EQ(call.RDFAIL, 1);
  EXPECT_EQ(call.NS, 1);  // the complete series only
  EXPECT_EQ(run.store().IYTAB.IFY(2), 1900);
  EXPECT_EQ(run.store().IYTAB.ILY(2), 1919);
  const std::string tail =
      "\n WARNING: Fatal error reading data from input file.\n"
      "          Suggest checking file format and/or file type\n"
      "          Unix/Dos/Mac?\n"
      " Hit Return to Continue\n";
  ASSERT_GE(run.Transcript().size(), tail.size());
  EXPECT_EQ(run.Transcript().substr(run.Transcript().size() - tail.size()), tail);
}

TEST(InmenuDecade, SpanPastTheLimitIsRefused) {
  InputRun run(DecadeSeries("OLD", -4000, 10) + DecadeSeries("NEW", 2001, 10), {"1", ""});
  const MenuCall call = RunMenu(run);
  EXPECT_EQ(call.RDFAIL, 1);
  EXPECT_EQ(call.NS, 2);
  EXPECT_NE(run.Transcript().find(" The data set spans 6011 years (-4000 to 2010): the limit is 6001 years.\n"),
            std::string::npos)
      << run.Transcript();
  EXPECT_NE(run.Transcript().find("\n Input data not read in successfully\n"), std::string::npos);
}

TEST(InmenuDecade, MoreThan3000SeriesAreRefused) {
  std::string text;
  for (int i = 1; i <= 3001; ++i) text += DecadeSeries("S" + std::to_string(i), 1990, 3);
  InputRun run(text, {"1", ""});
  const MenuCall call = RunMenu(run);
  EXPECT_EQ(call.RDFAIL, 1);
  EXPECT_EQ(call.NS, 3000);
  EXPECT_EQ(run.store().IYTAB.NYR(3001), 3);
  EXPECT_NE(run.Transcript().find("More than 3000 series in the data file: the limit is 3000 series."), std::string::npos);
}

TEST(InmenuDecade, EmptyFileIsAFailedRead) {
  InputRun run("", {"1", ""});
  const MenuCall call = RunMenu(run);
  EXPECT_EQ(call.RDFAIL, 1);
  EXPECT_EQ(call.NS, 0);
  EXPECT_NE(run.Transcript().find(" No series were found in the data file.\n"), std::string::npos);
}

TEST(InmenuDecade, TitlesOnlyIsAFailedRead) {
  InputRun run("SITE   1 A site without series\nSITE   2 Nowhere\n", {"1", ""});
  const MenuCall call = RunMenu(run);
  EXPECT_EQ(call.RDFAIL, 1);
  EXPECT_EQ(call.NS, 0);
  EXPECT_EQ(run.store().IYTAB.NYR(1), 0);
  EXPECT_NE(run.Transcript().find(" No series were found in the data file.\n"), std::string::npos);
}

TEST(InmenuDecade, BatchEmptyAnswerReadsRingWidths) {
  InputRun run(DecadeSeries("AAA01", 1850, 51), {""});
  const MenuCall call = RunMenu(run, common::ProgramVariant::kBatch);
  EXPECT_EQ(call.RDFAIL, 0);
  EXPECT_EQ(call.NS, 1);
}

TEST(InmenuDecade, ReadAfterHelpStartsAtTheTop) {
  InputRun run(DecadeSeries("AAA01", 1850, 51) + DecadeSeries("AAA02", 1870, 81), {"0", "H", "", "", "m", "", "1"});
  const MenuCall call = RunMenu(run);
  EXPECT_EQ(call.RDFAIL, 0);
  EXPECT_EQ(call.NS, 2);
  EXPECT_EQ(run.Unread(), 0u);
}

}  // namespace
