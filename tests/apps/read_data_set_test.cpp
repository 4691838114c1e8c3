// Reading and checking the data set, end to end through the real kestrane:
// every input layout, the missing-value stop, the try-again question after
// a failed read and end of input at each of these prompts.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "support/e2e.h"
#include "support/text.h"

namespace {

using test_support::Has;

const std::string kReport = "data_out_vKestrane_2019.txt";
const std::string kMenuPrompt = " Enter a value between [0-4] or [Q]uit           ==> ";
const std::string kTryAgain = " [T]ry again or [Q]uit the program now?          ==> ";

// A run that read its data set goes on past the series summary (to the
// index-mode question once that exists): it never ends abnormally.
void ExpectSummary(const e2e::Sandbox& box, const e2e::Result& r, const std::string& numbers) {
  EXPECT_NE(r.status, 1) << r.screen;
  EXPECT_TRUE(Has(r.screen, "\n No missing data flags (negative numbers) encountered. Proceed!\n")) << r.screen;
  EXPECT_TRUE(Has(r.screen, "\n                                 NS   IFY   ILY   NYR\n"
                            " Total series read in:      " + numbers + "\n"))
      << r.screen;
  ASSERT_TRUE(box.Has(kReport));
  EXPECT_TRUE(Has(box.Read(kReport), "                                 NS   IFY   ILY   NYR\n"
                                     " TOTAL SERIES READ IN:      " + numbers +
                                         "  SERIES, FIRST YEAR, LAST YEAR, TOTAL YEARS\n"))
      << box.Read(kReport);
}

TEST(ReadDataSet, DecadeRingWidthsInHundredths) {
  e2e::Sandbox box;
  box.CopyData("indi005.rwl", "data.rwl");
  const e2e::Result r = box.Run(e2e::Kestrane(), {"data.rwl", "1"});
  EXPECT_TRUE(Has(r.screen, kMenuPrompt + "\n Input data read successfully\n"));
  ExpectSummary(box, r, "      4  1732  1980   249");
}

TEST(ReadDataSet, DecadeRingWidthsWithTitlesAndNegativeYears) {
  e2e::Sandbox box;
  box.CopyData("egy001.rwl", "data.rwl");
  const e2e::Result r = box.Run(e2e::Kestrane(), {"data.rwl", "1"});
  EXPECT_TRUE(Has(r.screen, "\n title of data:\n 101    1 Funerary boat near Senusret III Pyramid")) << r.screen;
  ExpectSummary(box, r, "     10 -2220 -1884   337");
}

TEST(ReadDataSet, DecadeChronology) {
  e2e::Sandbox box;
  box.CopyData("XXX.CRN", "data.crn");
  const e2e::Result r = box.Run(e2e::Kestrane(), {"data.crn", "2"});
  ExpectSummary(box, r, "      1  1747  1993   247");
}

TEST(ReadDataSet, HeaderAndFormatSeriesInADecadeFile) {
  e2e::Sandbox box;
  box.CopyData("input_header_format.rwl", "data.rwl");
  const e2e::Result r = box.Run(e2e::Kestrane(), {"data.rwl", "1"});
  ExpectSummary(box, r, "      3  1790  1815    26");
}

TEST(ReadDataSet, SingleColumnLayout) {
  e2e::Sandbox box;
  box.CopyData("input_single_column.txt", "data.txt");
  const e2e::Result r = box.Run(e2e::Kestrane(), {"data.txt", "3", "1"});
  EXPECT_TRUE(Has(r.screen, kMenuPrompt + "\n Enter number of file header lines to skip\n"));
  EXPECT_TRUE(Has(r.screen, "\n Input data read successfully\n"));
  ExpectSummary(box, r, "      2  1899  1904     6");
}

TEST(ReadDataSet, MultipleColumnLayout) {
  e2e::Sandbox box;
  box.CopyData("input_columns.txt", "data.txt");
  const e2e::Result r = box.Run(e2e::Kestrane(), {"data.txt", "4", "0", "4", "*"});
  ExpectSummary(box, r, "      3  1950  1953     4");
}

TEST(ReadDataSet, NegativeValuesStopTheRun) {
  e2e::Sandbox box;
  box.Put("data.txt", "NEG01\n1900\n0.5\n-0.2\n0.0\nNEG02\n1900\n0.0\n");
  const e2e::Result r = box.Run(e2e::Kestrane(), {"data.txt", "3", "0", ""});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Has(r.screen, " Series NEG01    has   1 missing (negative) values\n"
                            "\n Missing (negative) values encountered:         1\n"
                            " Run the data set through MORVEL to fill the gaps and save the data.\n"
                            "\n Abnormal termination of Kestrane_Version Kestrane_2019  \n\n Hit RETURN to Quit"))
      << r.screen;
  EXPECT_FALSE(Has(r.screen, "Total series read in"));
}

TEST(ReadDataSet, NegativeDecadeValueStopsTheRun) {
  e2e::Sandbox box;
  box.Put("data.rwl", "NEG01   1900   100   -20   300 -9999\n");
  const e2e::Result r = box.Run(e2e::Kestrane(), {"data.rwl", "1", ""});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Has(r.screen, " Series NEG01    has   1 missing (negative) values\n")) << r.screen;
}

TEST(ReadDataSet, EndOfInputAtTheMissingValueWaitCountsAsReturn) {
  e2e::Sandbox box;
  box.Put("data.txt", "NEG01\n1900\n-0.5\n");
  const e2e::Result r = box.Run(e2e::Kestrane(), {"data.txt", "3", "0"});
  EXPECT_EQ(r.status, 1);
}

TEST(ReadDataSet, FailedReadThenTryAgainAsksForANewName) {
  e2e::Sandbox box;
  box.Put("bad.txt", "ID1\nnot-a-year\n1.0\n");
  box.CopyData("input_single_column.txt", "data.txt");
  const e2e::Result r = box.Run(e2e::Kestrane(), {"bad.txt", "3", "0", "", "", "t", "data.txt", "3", "1"});
  EXPECT_TRUE(Has(r.screen, " Rd1col: Error reading series IYR value\n")) << r.screen;
  EXPECT_TRUE(Has(r.screen, "\n Input data not read in successfully\n             Hit RETURN to Continue\n"));
  EXPECT_TRUE(Has(r.screen, "\n No missing data flags (negative numbers) encountered. Proceed!\n\n" + kTryAgain +
                                "\n Enter data file name to process (/ to exit)"))
      << r.screen;
  EXPECT_TRUE(box.Has("bad_out_vKestrane_2019.txt"));
  ExpectSummary(box, r, "      2  1899  1904     6");
}

TEST(ReadDataSet, FailedReadThenQuit) {
  e2e::Sandbox box;
  box.Put("data.txt", "\n\n");
  const e2e::Result r = box.Run(e2e::Kestrane(), {"data.txt", "3", "0", "", "q"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Has(r.screen, " No series were found in the data file.\n"));
  const std::string tail = kTryAgain + "\n Program Terminating\n";
  ASSERT_GE(r.screen.size(), tail.size());
  EXPECT_EQ(r.screen.substr(r.screen.size() - tail.size()), tail) << r.screen;
}

// A real archive file whose series span more than 6001 years (-5407 to
// 2010) is refused by name of the limit, and the try-again question follows.
TEST(ReadDataSet, RealFilePastTheSpanLimitIsRefused) {
  e2e::Sandbox box;
  box.CopyData("swed334.rwl", "data.rwl");
  const e2e::Result r = box.Run(e2e::Kestrane(), {"data.rwl", "1", "", "q"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Has(r.screen, "\n The data set spans 7418 years (-5407 to 2010): the limit is 6001 years.\n"
                            "\n Input data not read in successfully\n"))
      << r.screen.substr(r.screen.size() > 3000 ? r.screen.size() - 3000 : 0);
  EXPECT_TRUE(Has(r.screen, kTryAgain + "\n Program Terminating\n"));
}

// A decade line with one blank put in front of it has its year in the
// shifted columns too ("1570" reads as 157): the line is refused as one
// whose numbers left their columns, not as a line out of order, and the
// data file stays as it was.
TEST(ReadDataSet, ALineShiftedByOneColumnIsRefusedAsMisaligned) {
  std::string data = e2e::ReadData("ca533.rwl");
  const std::string line = "CAM011  1570   107    68    99    62    89    92   113    55    41    48";
  const std::size_t at = data.find("\n" + line);
  ASSERT_NE(at, std::string::npos);
  data.insert(at + 1, " ");
  e2e::Sandbox box;
  box.Put("data.rwl", data);
  const e2e::Result r = box.Run(e2e::Kestrane(), {"data.rwl", "1", "", "q"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Has(r.screen, "\n Series CAM011: the numbers of this line are not right-justified in their columns:\n"
                            "  " + line + "\n"))
      << r.screen.substr(0, 3000);
  EXPECT_FALSE(Has(r.screen, "should follow"));
  EXPECT_TRUE(Has(r.screen, kTryAgain + "\n Program Terminating\n"));
  EXPECT_EQ(box.Read("data.rwl"), data);
}

TEST(ReadDataSet, QAtTheMenuEndsTheProgramCleanly) {
  e2e::Sandbox box;
  box.CopyData("input_single_column.txt", "data.txt");
  const e2e::Result r = box.Run(e2e::Kestrane(), {"data.txt", "Q"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.screen.substr(r.screen.size() - kMenuPrompt.size()), kMenuPrompt);
  EXPECT_TRUE(r.errors.empty());
}

// End of standard input at each question of the reading ends the run at
// once with status 3.
struct InputEnd {
  const char* at;                    // the question the input ends at (the test's name)
  std::vector<std::string> answers;  // the answers before it
};

void PrintTo(const InputEnd& c, std::ostream* os) {
  for (const std::string& a : c.answers) *os << '[' << a << ']';
}

class EndOfInput : public ::testing::TestWithParam<InputEnd> {};

TEST_P(EndOfInput, EndsAtOnce) {
  e2e::Sandbox box;
  box.CopyData("input_single_column.txt", "data.txt");
  box.Put("bad.txt", "x\ny\n");
  const e2e::Result r = box.Run(e2e::Kestrane(), GetParam().answers, 10);
  EXPECT_EQ(r.status, 3) << r.screen;
  EXPECT_TRUE(Has(r.errors, "end of input"));
}

INSTANTIATE_TEST_SUITE_P(
    ReadDataSet, EndOfInput,
    ::testing::Values(InputEnd{"Menu", {"data.txt"}},
                      InputEnd{"MenuAfterAnEmptyLine", {"data.txt", ""}},
                      InputEnd{"HeaderLinesToSkip", {"data.txt", "3"}},
                      InputEnd{"NumberOfColumns", {"data.txt", "4", "0"}},
                      InputEnd{"Sentinel", {"data.txt", "4", "0", "3"}},
                      InputEnd{"HelpMenu", {"data.txt", "0"}},
                      InputEnd{"SnoopPage", {"data.txt", "0", "H"}},
                      InputEnd{"FailedReadWait", {"bad.txt", "3", "0"}},
                      InputEnd{"TryAgain", {"bad.txt", "3", "0", ""}},
                      InputEnd{"TryAgainThenNothing", {"bad.txt", "3", "0", "", ""}}),
    [](const ::testing::TestParamInfo<InputEnd>& p) { return std::string(p.param.at); });

}  // namespace
