// The missing-value test, the series summary and the series-length summary.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text.h"
#include "apps/shared/data_set_summary.h"
#include "files/input_menu.h"
#include "files/input_fixture.h"

namespace {

using input_test::InputRun;

// Puts series i with `values` from `first_year` into the storage.
void PutSeries(common::RunStorage& s, int i, const std::string& id, int first_year, const std::vector<float>& values) {
  for (std::size_t k = 0; k < values.size(); ++k) s.SERMAT.at(static_cast<int>(k) + 1, i) = values[k];
  s.IYTAB.IFY(i) = first_year;
  s.IYTAB.ILY(i) = first_year + static_cast<int>(values.size()) - 1;
  s.IYTAB.NYR(i) = static_cast<int>(values.size());
  s.SERID[static_cast<std::size_t>(i)] = common::Fixed(id, 8);
}

TEST(MissingValues, ZeroIsNotMissingButASmallNegativeIs) {
  InputRun run("", {});
  auto& s = run.store();
  PutSeries(s, 1, "A", 1900, {0.0f, 1.0f, 0.0f});
  PutSeries(s, 2, "B", 1900, {1.0f, -0.001f, 2.0f});
  EXPECT_EQ(drivers::CountMissing(s.SERMAT, s.IYTAB, 1), 0);
  EXPECT_EQ(drivers::CountMissing(s.SERMAT, s.IYTAB, 2), 1);
}

TEST(MissingValues, NoneLetsTheRunProceed) {
  InputRun run("", {});
  auto& s = run.store();
  PutSeries(s, 1, "A", 1900, {0.0f, 1.0f});
  drivers::MissingValueTest(run.dialog(), s.SERMAT, s.IYTAB, s.SERID, 1);
  EXPECT_EQ(run.Transcript(),
            "\n Regardless of the warning, test for missing data flags:\n"
            "\n No missing data flags (negative numbers) encountered. Proceed!\n");
}

TEST(MissingValues, NegativeValuesStopTheInteractiveProgram) {
  InputRun run("", {""});
  auto& s = run.store();
  PutSeries(s, 1, "SITE01A", 1900, {1.0f, -999.0f, -1.0f, 2.0f});
  PutSeries(s, 2, "SITE01B", 1900, {1.0f});
  PutSeries(s, 3, "SITE02", 1901, {-0.5f});
  const int status = test_support::StopStatus([&] {
    drivers::MissingValueTest(run.dialog(), s.SERMAT, s.IYTAB, s.SERID, 3);
  });
  EXPECT_EQ(status, 1);
  EXPECT_EQ(run.Transcript(),
            "\n Regardless of the warning, test for missing data flags:\n"
            " Series SITE01A  has   2 missing (negative) values\n"
            " Series SITE02   has   1 missing (negative) values\n"
            "\n Missing (negative) values encountered:         3\n"
            " Run the data set through MORVEL to fill the gaps and save the data.\n"
            "\n Abnormal termination of Kestrane_Version Kestrane_2019  \n"
            "\n Hit RETURN to Quit\n");
}

TEST(MissingValues, BatchTerminationLineNamesTheProgram) {
  InputRun run("", {""});
  auto& s = run.store();
  PutSeries(s, 1, "X", 1900, {-2.0f});
  run.SetVariant(common::ProgramVariant::kBatch);
  const int status = test_support::StopStatus([&] {
    drivers::MissingValueTest(run.dialog(), s.SERMAT, s.IYTAB, s.SERID, 1);
  });
  EXPECT_EQ(status, 1);
  EXPECT_NE(run.Transcript().find("\n Abnormal termination of program Kestrane_ KestraneBatch  \n"), std::string::npos);
}

TEST(MissingValues, OnlyTheRowsOfTheSeriesAreTested) {
  InputRun run("", {});
  auto& s = run.store();
  PutSeries(s, 1, "A", 1900, {1.0f, 2.0f});
  s.SERMAT.at(3, 1) = -5.0f;  // beyond the series' last year
  EXPECT_EQ(drivers::CountMissing(s.SERMAT, s.IYTAB, 1), 0);
}

TEST(SeriesSummary, ScreenAndReportLines) {
  InputRun run("", {});
  run.OpenReport();
  auto& s = run.store();
  PutSeries(s, 1, "A", 1850, std::vector<float>(51, 1.0f));
  PutSeries(s, 2, "B", 1870, std::vector<float>(81, 1.0f));
  files::FillWholeSetRow(s.IYTAB, 2);
  drivers::SeriesSummary(run.dialog(), s.IYTAB, 2);
  EXPECT_EQ(run.Transcript(),
            "\n                                 NS   IFY   ILY   NYR\n"
            " Total series read in:            2  1850  1950   101\n");
  EXPECT_EQ(run.Report(),
            "                                 NS   IFY   ILY   NYR\n"
            " TOTAL SERIES READ IN:            2  1850  1950   101  SERIES, FIRST YEAR, LAST YEAR, TOTAL YEARS\n");
  const drivers::WholeSetYears whole = drivers::WholeSet(s.IYTAB, 2);
  EXPECT_EQ(whole.first, 1850);
  EXPECT_EQ(whole.last, 1950);
  EXPECT_EQ(whole.span, 101);
}

// Lengths 10..60: the five-number summary is 10, 20, 35, 50, 60 (R:
// fivenum(c(10,20,30,40,50,60))).
TEST(LengthSummary, SixSeries) {
  InputRun run("", {});
  run.OpenReport();
  auto& s = run.store();
  const int lengths[] = {30, 10, 60, 20, 50, 40};
  for (int i = 1; i <= 6; ++i) {
    s.IYTAB.IFY(i) = 1000;
    s.IYTAB.NYR(i) = lengths[i - 1];
    s.IYTAB.ILY(i) = 1000 + lengths[i - 1] - 1;
  }
  std::vector<float> work(6001, 0.0f);
  const drivers::LengthSummary sum = drivers::SeriesLengthSummary(run.dialog(), s.IYTAB, 6, work, "ORIGINAL DATA SET");
  EXPECT_EQ(sum.MIN, 10);
  EXPECT_EQ(sum.P25, 20);
  EXPECT_EQ(sum.MED, 35);
  EXPECT_EQ(sum.P75, 50);
  EXPECT_EQ(sum.MAX, 60);
  EXPECT_EQ(sum.C1, 1);
  EXPECT_EQ(sum.C2, 5);
  EXPECT_EQ(sum.C3, 3);
  EXPECT_EQ(sum.C4, 2);
  EXPECT_EQ(sum.C5, 1);
  EXPECT_EQ(run.Transcript(),
            "\n ORIGINAL DATA SET              MIN   25%   MED   75%   MAX\n"
            " Segment length statistics:      10    20    35    50    60\n"
            " Series .ge. segment length:      1     5     3     2     1\n");
  EXPECT_EQ(run.Report(),
            " ORIGINAL DATA SET              MIN   25%   MED   75%   MAX\n"
            " SEGMENT LENGTH STATISTICS:      10    20    35    50    60\n"
            " SERIES .GE. SEGMENT LENGTH:      1     5     3     2     1\n");
  // The work vector comes back sorted.
  EXPECT_EQ(work[0], 10.0f);
  EXPECT_EQ(work[5], 60.0f);
}

// Lengths 3, 4, 5, 8: fivenum gives 3, 3.5, 4.5, 6.5, 8, truncated to 3, 4, 6.
TEST(LengthSummary, HalvesAreTruncated) {
  common::YearTable t;
  const int lengths[] = {8, 3, 5, 4};
  for (int i = 1; i <= 4; ++i) t.NYR(i) = lengths[i - 1];
  std::vector<float> work(4, 0.0f);
  const drivers::LengthSummary sum = drivers::SummariseLengths(t, 4, work);
  EXPECT_EQ(sum.MIN, 3);
  EXPECT_EQ(sum.P25, 3);
  EXPECT_EQ(sum.MED, 4);
  EXPECT_EQ(sum.P75, 6);
  EXPECT_EQ(sum.MAX, 8);
  EXPECT_EQ(sum.C1, 1);
  EXPECT_EQ(sum.C2, 4);
  EXPECT_EQ(sum.C3, 3);
  EXPECT_EQ(sum.C4, 1);
  EXPECT_EQ(sum.C5, 1);
}

TEST(LengthSummary, OneSeriesFillsEveryColumn) {
  common::YearTable t;
  t.NYR(1) = 137;
  std::vector<float> work(1, 0.0f);
  const drivers::LengthSummary sum = drivers::SummariseLengths(t, 1, work);
  EXPECT_EQ(sum.MIN, 137);
  EXPECT_EQ(sum.P25, 137);
  EXPECT_EQ(sum.MED, 137);
  EXPECT_EQ(sum.P75, 137);
  EXPECT_EQ(sum.MAX, 137);
  EXPECT_EQ(sum.C1 + sum.C2 + sum.C3 + sum.C4 + sum.C5, 5);
  EXPECT_EQ(sum.C1, 1);
  EXPECT_EQ(sum.C5, 1);
}

}  // namespace
