// Index mode, power transformation and series processing, end to end through
// the real kestrane on the archive file indi005.rwl (four series in
// hundredths: LI016 1732-1980, LI020 1744-1980, LI017 1789-1980, LI022
// 1794-1980).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/decade_files.h"
#include "support/e2e.h"
#include "support/text.h"

namespace {

using test_support::Has;
using test_support::Lines;

const std::string kReport = "data_out_vKestrane_2019.txt";
// After the options the engine starts; its first question is the menu of
// the mean segment length plot, where "/" ends the run.
const std::string kClosing = std::string(15, ' ') + " enter option number > ";

// Blank answers to the curve-fit and chronology questions that follow the
// series processing: spline option 8 with stiffness 50 and end flag 0, mean,
// window, stabilisation, convergence and TARN tweaks at their defaults; then
// "/" at the engine's first plot menu.
std::vector<std::string> WithDefaultOptions(std::vector<std::string> answers) {
  answers.insert(answers.end(), 8, "");
  answers.push_back("/");
  return answers;
}

std::string Prompt(const std::string& text) {
  std::string line = " " + text;
  line.resize(49, ' ');
  return line + "==> ";
}

// Reads data.rwl through the decade menu option, then gives `answers`.
e2e::Result RunWith(e2e::Sandbox& box, std::vector<std::string> answers) {
  box.CopyData("censor_indi005.rwl", "data.rwl");
  answers.insert(answers.begin(), {"data.rwl", "1"});
  return box.Run(e2e::Kestrane(), answers);
}

TEST(SeriesDialogue, RatiosAndAllSeriesEndCleanly) {
  e2e::Sandbox box;
  const e2e::Result r = RunWith(box, WithDefaultOptions({"R", ""}));
  EXPECT_EQ(r.status, 0) << r.screen;
  EXPECT_TRUE(Has(r.screen, "\n" + Prompt("Compute Indices by [R]atios or residual[S]") + "\n")) << r.screen;
  EXPECT_FALSE(Has(r.screen, "Power transform data?"));
  EXPECT_TRUE(Has(r.screen, " ORIGINAL DATA SET"));
  EXPECT_FALSE(Has(r.screen, "CENSORED DATA SET"));
  EXPECT_TRUE(Has(r.screen, "\n Series processing options (/ to exit):\n"));
  EXPECT_TRUE(r.screen.ends_with(kClosing)) << r.screen;
  const std::string report = box.Read(kReport);
  EXPECT_TRUE(Has(report, "\n\nTREE-RING INDICES ARE CALCULATED AS RATIOS OF EXPECTED GROWTH\n")) << report;
  EXPECT_FALSE(Has(report, "DATA ARE"));
  EXPECT_EQ(box.Files(), (std::vector<std::string>{"data.rwl", kReport}));
}

TEST(SeriesDialogue, ResidualsWithPowerTransformAndMinimumStartYear) {
  e2e::Sandbox box;
  const e2e::Result r = RunWith(box, WithDefaultOptions({"s", "t", "4", "1750"}));
  EXPECT_EQ(r.status, 0) << r.screen;
  EXPECT_TRUE(Has(r.screen, Prompt("Power transform data? [T]rue or [F]alse")));
  EXPECT_TRUE(Has(r.screen, "\n File for censored data created: data_mnsy=1750.txt\n")) << r.screen;
  EXPECT_TRUE(Has(r.screen, " CENSORED DATA SET"));
  const std::string report = box.Read(kReport);
  EXPECT_TRUE(Has(report, "\nTREE-RING INDICES ARE CALCULATED AS RESIDUALS FROM EXPECTED GROWTH\n")) << report;
  EXPECT_TRUE(Has(report, "\n\nDATA ARE CENSORED BY MINIMUM START YEAR:  1750\n")) << report;
  EXPECT_TRUE(Has(report, "CENSORED DATA SET"));
  ASSERT_TRUE(box.Has("data_mnsy=1750.txt"));
  const std::vector<std::string> lines = Lines(box.Read("data_mnsy=1750.txt"));
  ASSERT_GT(lines.size(), 5u);
  EXPECT_EQ(lines[0].size(), 100u);
  EXPECT_EQ(lines[0].substr(84, 4), "MNSY");
  EXPECT_EQ(lines[3], "LI017   1789 22700");
  EXPECT_EQ(lines[4], "LI017   1790 27200 23900 17200 10800 11600 11500 19000 20900 37700 37700  mnsy  ");
  EXPECT_EQ(lines.back(), "LI022   1980 19500 -9999");
}

TEST(SeriesDialogue, TruncationBeforeAYearWritesTheCutSeries) {
  e2e::Sandbox box;
  const e2e::Result r = RunWith(box, WithDefaultOptions({"r", "5", "18OO", "1800"}));
  EXPECT_EQ(r.status, 0) << r.screen;
  // The year typed with letters O is asked again (the answers themselves
  // are not on the screen: standard input is not a terminal).
  EXPECT_TRUE(Has(r.screen, Prompt("Truncate series BEFORE a MINIMUM start year") + "\n" +
                                Prompt("Truncate series BEFORE a MINIMUM start year") + "\n File for censored"))
      << r.screen;
  EXPECT_TRUE(Has(box.Read(kReport), "\n\nDATA ARE TRUNCATED BEFORE MINIMUM START YEAR:  1800\n"));
  ASSERT_TRUE(box.Has("data_trunb=1800.txt"));
  const std::vector<std::string> lines = Lines(box.Read("data_trunb=1800.txt"));
  ASSERT_GT(lines.size(), 4u);
  EXPECT_EQ(lines[0].substr(84, 4), "TRNB");
  EXPECT_EQ(lines[3], "LI016   1800 11700 11700  9800  9900 11100  8700 10500 10900 11600 11300  trnb  ");
  EXPECT_TRUE(Has(box.Read("data_trunb=1800.txt"),
                  "\nLI022   1800 30500 30600 24200 28300 21100 26800 25300 27700 32500 27300  trnb  \n"));
}

TEST(SeriesDialogue, ACensoredSetTheDecadeFormatCannotHoldIsNotWritten) {
  e2e::Sandbox box;
  box.Put("data.rwl", test_support::WideRingSet());
  const e2e::Result r = box.Run(e2e::Kestrane(), {"data.rwl", "1", "r", "2", "10", ""});
  EXPECT_EQ(r.status, 1) << r.screen;
  EXPECT_TRUE(Has(r.screen, std::string(test_support::kWideRingRefusal) + " The censored data set is not written: data_mnsl=10.txt\n"))
      << r.screen;
  EXPECT_TRUE(Has(r.screen, "\n Abnormal termination of Kestrane_Version "));
  EXPECT_FALSE(Has(r.screen, "created"));
  EXPECT_FALSE(box.Has("data_mnsl=10.txt"));
}

TEST(SeriesDialogue, TruncationLeavingTooFewValuesStops) {
  e2e::Sandbox box;
  const e2e::Result r = RunWith(box, {"r", "6", "1790"});
  EXPECT_EQ(r.status, 1) << r.screen;
  EXPECT_TRUE(Has(r.screen, "\n Series  LI017     truncation after 1790 only leaves    2  values for analysis.\n"))
      << r.screen;
  EXPECT_TRUE(r.screen.ends_with(" Review your truncation choice!\n")) << r.screen;
  EXPECT_FALSE(box.Has("data_truna=1790.txt"));
}

TEST(SeriesDialogue, InvalidIndexAnswersAreRejected) {
  e2e::Sandbox box;
  const e2e::Result r = RunWith(box, WithDefaultOptions({"x", "", "R", "1"}));
  EXPECT_EQ(r.status, 0) << r.screen;
  const std::string error = "\n Error reading input [R] or [S]. Try again or enter / to exit\n";
  const std::size_t first = r.screen.find(error);
  ASSERT_NE(first, std::string::npos) << r.screen;
  EXPECT_NE(r.screen.find(error, first + 1), std::string::npos);
}

TEST(SeriesDialogue, SlashAtIndexModeTerminatesAndAtThePowerQuestionStops) {
  for (const char* slash : {"/", "  /"}) {
    e2e::Sandbox box;
    const e2e::Result r = RunWith(box, {slash});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.screen.ends_with("==> \n Program Terminating\n")) << r.screen;
  }
  e2e::Sandbox box;
  const e2e::Result r = RunWith(box, {"S", "/"});
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(r.screen.ends_with(Prompt("Power transform data? [T]rue or [F]alse"))) << r.screen;
  EXPECT_TRUE(r.errors.empty());
}

TEST(SeriesDialogue, CensoringThatKeepsNothingOffersTheMenuAgain) {
  e2e::Sandbox box;
  const e2e::Result r = RunWith(box, WithDefaultOptions({"R", "3", "1700", "", "7", "1850", "1800", "", "2", "40"}));
  EXPECT_EQ(r.status, 0) << r.screen;
  EXPECT_TRUE(Has(r.screen, " *** Warning: No series were found that start ON or BEFORE  1700\n"));
  EXPECT_TRUE(Has(r.screen, " *** Warning: The common end year  1800 is before the start year  1850\n"));
  ASSERT_TRUE(box.Has("data_mnsl=40.txt"));
  EXPECT_FALSE(box.Has("data_comm=1850-1800.txt"));
}

TEST(SeriesDialogue, CommonPeriod) {
  e2e::Sandbox box;
  const e2e::Result r = RunWith(box, WithDefaultOptions({"R", "7", "1800", "1809"}));
  EXPECT_EQ(r.status, 0) << r.screen;
  EXPECT_TRUE(Has(r.screen, "\n Total chronology length shortened:    239  years\n")) << r.screen;
  EXPECT_TRUE(Has(box.Read(kReport), "DATA ARE CENSORED BY COMMON START AND END YEARS:  1800  1809\n"));
  ASSERT_TRUE(box.Has("data_comm=1800-1809.txt"));
  const std::vector<std::string> lines = Lines(box.Read("data_comm=1800-1809.txt"));
  ASSERT_EQ(lines.size(), 3u + 4u * 2u);
  EXPECT_EQ(lines[3], "LI016   1800 11700 11700  9800  9900 11100  8700 10500 10900 11600 11300  comm  ");
  EXPECT_EQ(lines[4], "LI016   1810 -9999");
  EXPECT_EQ(lines[9], "LI022   1800 30500 30600 24200 28300 21100 26800 25300 27700 32500 27300  comm  ");
}

TEST(SeriesDialogue, CensoredFileWithNegativeYearsReadsBackAsTheCensoredSet) {
  // egy001.rwl (public archive): ten series from -2220 to -1884 in the
  // six-character identifier layout, three title lines, no final newline.
  // Series starting in -2100 or later (counted from the file by hand):
  // 101062 -2073, 101031 -2094, 101271 -2098, 101181 -1999, 101121 -1965,
  // 101123 -2082.
  e2e::Sandbox box;
  box.CopyData("censor_egy001.rwl", "egy.rwl");
  const e2e::Result r = box.Run(e2e::Kestrane(), WithDefaultOptions({"egy.rwl", "1", "r", "4", "-2100"}));
  EXPECT_EQ(r.status, 0) << r.screen;
  EXPECT_TRUE(Has(r.screen, " Min starting year series:        6 -2098 -1884   215  Years total time span\n"))
      << r.screen;
  ASSERT_TRUE(box.Has("egy_mnsy=-2100.txt")) << r.screen;
  const std::vector<std::string> lines = Lines(box.Read("egy_mnsy=-2100.txt"));
  ASSERT_GT(lines.size(), 4u);
  EXPECT_EQ(lines[0].substr(0, 40), "101    1 Funerary boat near Senusret III");
  EXPECT_EQ(lines[0].substr(84, 4), "MNSY");
  EXPECT_EQ(lines[3], "101062 -2073  1580   900   370");

  // The censored file is a data set of its own.
  const e2e::Result again = box.Run(e2e::Kestrane(), WithDefaultOptions({"egy_mnsy=-2100.txt", "1", "r", "1"}));
  EXPECT_EQ(again.status, 0) << again.screen;
  EXPECT_TRUE(Has(again.screen, " Total series read in:            6 -2098 -1884   215\n")) << again.screen;
}

TEST(SeriesDialogue, EndOfInputAtEachQuestionStopsWithStatusThree) {
  for (const std::vector<std::string>& answers :
       {std::vector<std::string>{}, std::vector<std::string>{"s"}, std::vector<std::string>{"r"},
        std::vector<std::string>{"r", "2"}, std::vector<std::string>{"r", "7", "1800"}}) {
    e2e::Sandbox box;
    const e2e::Result r = RunWith(box, answers);
    EXPECT_EQ(r.status, 3) << answers.size() << "\n" << r.screen;
  }
}

}  // namespace
