// The single- and multiple-column readers and the storage checks.
#include <gtest/gtest.h>

#include <string>

#include "files/input_menu.h"
#include "input_fixture.h"

namespace {

using input_test::InputRun;

TEST(Rd1col, TwoSeriesWithABlankLineAmongTheValues) {
  InputRun run("abscdef\n1771\n0.1\n0.2\n\n0.3\nbbscdefghij\n 1772\n1.5\n2.25\n", {});
  int NS = -1, OKFLAG = -1;
  auto& s = run.store();
  files::Rd1col(run.dialog(), common::kDataUnit, s.SERMAT, s.SERID, s.IYTAB, NS, OKFLAG);
  EXPECT_EQ(OKFLAG, 1);
  ASSERT_EQ(NS, 2);
  EXPECT_EQ(s.SERID[1], "abscdef ");
  EXPECT_EQ(s.SERID[2], "bbscdefg");  // cut to 8 characters
  EXPECT_EQ(s.IYTAB.IFY(1), 1771);
  EXPECT_EQ(s.IYTAB.ILY(1), 1773);
  EXPECT_EQ(s.IYTAB.NYR(1), 3);
  EXPECT_EQ(s.IYTAB.IFY(2), 1772);
  EXPECT_EQ(s.IYTAB.ILY(2), 1773);
  EXPECT_EQ(s.IYTAB.NYR(2), 2);
  EXPECT_FLOAT_EQ(s.SERMAT.get(3, 1), 0.3f);
  EXPECT_FLOAT_EQ(s.SERMAT.get(2, 2), 2.25f);
  EXPECT_EQ(s.SERMAT.get(4, 1), -999.0f);  // cells after the series keep the fill
  EXPECT_EQ(s.IYTAB.IFY(3), 1771);
  EXPECT_EQ(s.IYTAB.ILY(3), 1773);
  EXPECT_EQ(s.IYTAB.NYR(3), 3);
  EXPECT_EQ(run.Transcript(), "");
}

TEST(Rd1col, YearThatIsNotAnIntegerFailsAfterTheCompleteSeries) {
  InputRun run("A1\n1900\n1.0\n2.0\nB2\n19x0\n1.0\n", {""});
  int NS = -1, OKFLAG = -1;
  auto& s = run.store();
  files::Rd1col(run.dialog(), common::kDataUnit, s.SERMAT, s.SERID, s.IYTAB, NS, OKFLAG);
  EXPECT_EQ(OKFLAG, 0);
  EXPECT_EQ(NS, 1);  // only the complete series counts
  EXPECT_EQ(s.IYTAB.IFY(2), 1900);
  EXPECT_EQ(s.IYTAB.NYR(2), 2);
  EXPECT_EQ(run.Transcript(),
            " Rd1col: Error reading series IYR value\n"
            "        Series: B2       Number:     2\n"
            " Hit return to continue \n");
}

TEST(Rd1col, EmptyFileIsAFailedRead) {
  InputRun run("\n\n", {});
  int NS = -1, OKFLAG = -1;
  auto& s = run.store();
  files::Rd1col(run.dialog(), common::kDataUnit, s.SERMAT, s.SERID, s.IYTAB, NS, OKFLAG);
  EXPECT_EQ(OKFLAG, 0);
  EXPECT_EQ(NS, 0);
  EXPECT_NE(run.Transcript().find("No series were found in the data file."), std::string::npos);
}

TEST(Rd1col, SeriesLongerThanTheStorageIsRefused) {
  std::string content = "LONG\n1000\n";
  for (int i = 0; i < 6002; ++i) content += "1.0\n";
  InputRun run(content, {});
  int NS = -1, OKFLAG = -1;
  auto& s = run.store();
  files::Rd1col(run.dialog(), common::kDataUnit, s.SERMAT, s.SERID, s.IYTAB, NS, OKFLAG);
  EXPECT_EQ(OKFLAG, 0);
  EXPECT_EQ(NS, 0);
  EXPECT_NE(run.Transcript().find("Series LONG (number 1) has more than 6001 values: the limit is 6001 values per series."),
            std::string::npos)
      << run.Transcript();
}

TEST(Rd1col, SeriesOfExactly6001ValuesFits) {
  std::string content = "FULL\n-3000\n";
  for (int i = 0; i < 6001; ++i) content += "0.5\n";
  InputRun run(content, {});
  int NS = -1, OKFLAG = -1;
  auto& s = run.store();
  files::Rd1col(run.dialog(), common::kDataUnit, s.SERMAT, s.SERID, s.IYTAB, NS, OKFLAG);
  EXPECT_EQ(OKFLAG, 1);
  EXPECT_EQ(s.IYTAB.ILY(1), 3000);
  EXPECT_EQ(s.IYTAB.NYR(2), 6001);
}

TEST(Rd1col, YearsBeyond9999AreRefused) {
  InputRun run("LATE\n9998\n1.0\n1.0\n1.0\n", {});
  int NS = -1, OKFLAG = -1;
  auto& s = run.store();
  files::Rd1col(run.dialog(), common::kDataUnit, s.SERMAT, s.SERID, s.IYTAB, NS, OKFLAG);
  EXPECT_EQ(OKFLAG, 0);
  EXPECT_NE(run.Transcript().find("runs from 9998 to 10000: years must lie within -9999 to 9999."), std::string::npos)
      << run.Transcript();
}

TEST(Rd1col, MoreThan3000SeriesAreRefused) {
  std::string content;
  for (int i = 1; i <= 3001; ++i) content += "S" + std::to_string(i) + "\n1900\n1.0\n";
  InputRun run(content, {});
  int NS = -1, OKFLAG = -1;
  auto& s = run.store();
  files::Rd1col(run.dialog(), common::kDataUnit, s.SERMAT, s.SERID, s.IYTAB, NS, OKFLAG);
  EXPECT_EQ(OKFLAG, 0);
  EXPECT_EQ(NS, 3000);
  EXPECT_EQ(s.IYTAB.NYR(3001), 1);  // the whole-set row of the 3000 series read
  EXPECT_NE(run.Transcript().find("More than 3000 series in the data file: the limit is 3000 series."), std::string::npos);
}

TEST(Rd1col, SpanOverTheLimitIsRefused) {
  InputRun run("OLD\n-4000\n1.0\nNEW\n2500\n1.0\n", {});
  int NS = -1, OKFLAG = -1;
  auto& s = run.store();
  files::Rd1col(run.dialog(), common::kDataUnit, s.SERMAT, s.SERID, s.IYTAB, NS, OKFLAG);
  EXPECT_EQ(OKFLAG, 0);
  EXPECT_NE(run.Transcript().find("The data set spans 6501 years (-4000 to 2500): the limit is 6001 years."),
            std::string::npos)
      << run.Transcript();
}

// The first example of the help page: sentinel "*******", typed as "*".
const char* kColumns =
    "  YEAR   HKTC01A  HKTC01B  HKTC01C\n"
    " 1944    2.428  *******    1.947\n"
    " 1945    1.208  *******    1.021\n"
    " 1946    0.595    0.238    2.269\n"
    " 1947    0.881    1.390  *******\n";

TEST(Rdcols, EachSeriesTakesTheYearOfItsFirstValue) {
  InputRun run(kColumns, {"4", "*"});
  int NS = -1, OKFLAG = -1;
  auto& s = run.store();
  files::rdcols(run.dialog(), common::kDataUnit, s.SERMAT, s.SERID, s.IYTAB, NS, OKFLAG);
  EXPECT_EQ(OKFLAG, 1) << run.Transcript();
  ASSERT_EQ(NS, 3);
  EXPECT_EQ(s.SERID[1], "HKTC01A ");
  EXPECT_EQ(s.SERID[3], "HKTC01C ");
  EXPECT_EQ(s.IYTAB.IFY(1), 1944);
  EXPECT_EQ(s.IYTAB.NYR(1), 4);
  EXPECT_EQ(s.IYTAB.IFY(2), 1946);
  EXPECT_EQ(s.IYTAB.ILY(2), 1947);
  EXPECT_EQ(s.IYTAB.IFY(3), 1944);
  EXPECT_EQ(s.IYTAB.ILY(3), 1946);
  EXPECT_FLOAT_EQ(s.SERMAT.get(1, 2), 0.238f);
  EXPECT_FLOAT_EQ(s.SERMAT.get(2, 2), 1.390f);
  EXPECT_FLOAT_EQ(s.SERMAT.get(3, 3), 2.269f);
  EXPECT_EQ(s.IYTAB.IFY(4), 1944);
  EXPECT_EQ(s.IYTAB.ILY(4), 1947);
  EXPECT_EQ(run.Transcript(),
            "\n Enter the total number of columns in your file\n"
            " [Program assumes Col_1 contains the X values] : 4\n"
            "\n Enter the sentinal value or character used to \n"
            " pad the records [can not be spaces, if ******* enter *] : *\n");
}

TEST(Rdcols, NumericSentinelAndCommas) {
  InputRun run("year,a,b\n1941,-9.9,0.5\n1942,1.25,0.75\n1943,2.0,-9.9\n", {"3", "-9.9"});
  int NS = -1, OKFLAG = -1;
  auto& s = run.store();
  files::rdcols(run.dialog(), common::kDataUnit, s.SERMAT, s.SERID, s.IYTAB, NS, OKFLAG);
  EXPECT_EQ(OKFLAG, 1) << run.Transcript();
  EXPECT_EQ(s.IYTAB.IFY(1), 1942);
  EXPECT_EQ(s.IYTAB.ILY(1), 1943);
  EXPECT_EQ(s.IYTAB.IFY(2), 1941);
  EXPECT_EQ(s.IYTAB.ILY(2), 1942);
  EXPECT_FLOAT_EQ(s.SERMAT.get(2, 1), 2.0f);
}

TEST(Rdcols, MissingCellInsideASeriesKeepsLaterValuesOnTheirYears) {
  InputRun run("yr a\n1900 1.0\n1901 -99\n1902 3.0\n", {"2", "-99"});
  int NS = -1, OKFLAG = -1;
  auto& s = run.store();
  files::rdcols(run.dialog(), common::kDataUnit, s.SERMAT, s.SERID, s.IYTAB, NS, OKFLAG);
  EXPECT_EQ(OKFLAG, 1);
  EXPECT_EQ(s.IYTAB.IFY(1), 1900);
  EXPECT_EQ(s.IYTAB.ILY(1), 1902);
  EXPECT_EQ(s.IYTAB.NYR(1), 3);
  EXPECT_FLOAT_EQ(s.SERMAT.get(1, 1), 1.0f);
  EXPECT_EQ(s.SERMAT.get(2, 1), -999.0f);
  EXPECT_FLOAT_EQ(s.SERMAT.get(3, 1), 3.0f);
}

TEST(Rdcols, CellThatDoesNotConvertFails) {
  InputRun run("yr a\n1900 1.0\n1901 x.5\n", {"2", "-99"});
  int NS = -1, OKFLAG = -1;
  auto& s = run.store();
  files::rdcols(run.dialog(), common::kDataUnit, s.SERMAT, s.SERID, s.IYTAB, NS, OKFLAG);
  EXPECT_EQ(OKFLAG, 0);
  EXPECT_EQ(NS, 0);
  EXPECT_NE(run.Transcript().find("\n\n Error reading y values check sentinel if ******* enter *\n"), std::string::npos);
}

TEST(Rdcols, YearThatDoesNotConvertFails) {
  InputRun run("yr a\n19o0 1.0\n", {"2", "-99"});
  int NS = -1, OKFLAG = -1;
  auto& s = run.store();
  files::rdcols(run.dialog(), common::kDataUnit, s.SERMAT, s.SERID, s.IYTAB, NS, OKFLAG);
  EXPECT_EQ(OKFLAG, 0);
  // The message follows the sentinel answer directly, with no empty line between.
  EXPECT_NE(run.Transcript().find(": -99\n Error reading time steps\n"), std::string::npos) << run.Transcript();
}

TEST(Rdcols, ColumnCountThatDoesNotConvertIsAskedAgainAndHeaderMustMatch) {
  InputRun run("yr a b\n1900 1.0 2.0\n", {"two", "", "4", "-99"});
  int NS = -1, OKFLAG = -1;
  auto& s = run.store();
  files::rdcols(run.dialog(), common::kDataUnit, s.SERMAT, s.SERID, s.IYTAB, NS, OKFLAG);
  EXPECT_EQ(OKFLAG, 0);
  EXPECT_EQ(run.Unread(), 0u);
  EXPECT_NE(run.Transcript().find("the header line holds 3 names; 4 columns"), std::string::npos) << run.Transcript();
}

TEST(Rdcols, ColumnWithoutValuesIsRefusedByName) {
  InputRun run("yr a b\n1900 1.0 -9\n1901 2.0 -9\n", {"3", "-9"});
  int NS = -1, OKFLAG = -1;
  auto& s = run.store();
  files::rdcols(run.dialog(), common::kDataUnit, s.SERMAT, s.SERID, s.IYTAB, NS, OKFLAG);
  EXPECT_EQ(OKFLAG, 0);
  EXPECT_NE(run.Transcript().find("Series b (number 2) has no values."), std::string::npos) << run.Transcript();
}

TEST(Rdcols, HeaderWithoutRowsIsAFailedRead) {
  InputRun run("yr a b\n\n", {"3", "-9"});
  int NS = -1, OKFLAG = -1;
  auto& s = run.store();
  files::rdcols(run.dialog(), common::kDataUnit, s.SERMAT, s.SERID, s.IYTAB, NS, OKFLAG);
  EXPECT_EQ(OKFLAG, 0);
  EXPECT_EQ(NS, 0);
  EXPECT_NE(run.Transcript().find("Series a (number 1) has no values."), std::string::npos) << run.Transcript();
}

TEST(Rdcols, TooManyColumnsAreRefused) {
  InputRun run("yr a\n1900 1.0\n", {"3002", "-9"});
  int NS = -1, OKFLAG = -1;
  auto& s = run.store();
  files::rdcols(run.dialog(), common::kDataUnit, s.SERMAT, s.SERID, s.IYTAB, NS, OKFLAG);
  EXPECT_EQ(OKFLAG, 0);
  EXPECT_EQ(NS, 0);
  EXPECT_NE(run.Transcript().find("3002 columns: a file holds the year column and 1 to 3000 series columns."),
            std::string::npos);
}

TEST(Rdcols, SlashAtTheColumnQuestionStops) {
  InputRun run("yr a\n1900 1.0\n", {"/"});
  int NS = -1, OKFLAG = -1;
  auto& s = run.store();
  EXPECT_EQ(test_support::StopStatus([&] { files::rdcols(run.dialog(), common::kDataUnit, s.SERMAT, s.SERID, s.IYTAB, NS, OKFLAG); }),
            0);
}

TEST(Rdcols, EndOfInputAtTheSentinelQuestionStopsWithStatus3) {
  InputRun run("yr a\n1900 1.0\n", {"2"});
  int NS = -1, OKFLAG = -1;
  auto& s = run.store();
  EXPECT_EQ(test_support::StopStatus([&] { files::rdcols(run.dialog(), common::kDataUnit, s.SERMAT, s.SERID, s.IYTAB, NS, OKFLAG); }),
            3);
}

}  // namespace
