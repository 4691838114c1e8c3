// The series processing menu through a scripted console, truncation, the
// censored data set files byte for byte, and the copy into SERWRK.
#include "apps/shared/series_processing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/console.h"
#include "common/limits.h"
#include "common/storage.h"
#include "common/text.h"
#include "common/units.h"
#include "engine/sigfre.h"
#include "files/censor.h"
#include "plot/plotter.h"
#include "support/dialog_harness.h"

namespace {

float Value(int s, int y) { return static_cast<float>(s) + static_cast<float>(y - 1800) * 0.001f; }

struct SetSeries {
  std::string id;
  int first;
  int last;
};

// Series s (1-based) holds Value(s, year). The whole set spans 1845-1960.
const std::vector<SetSeries> kSet = {
    {"KR001A", 1845, 1874}, {"KR002A", 1850, 1909}, {"KR003B", 1860, 1879}, {"KR004A", 1848, 1960}};

void LoadSet(common::RunStorage& store) {
  store.NS = 0;
  for (const SetSeries& s : kSet) {
    const int i = ++store.NS;
    store.SERID[static_cast<std::size_t>(i)] = common::Fixed(s.id, 8);
    store.IYTAB.IFY(i) = s.first;
    store.IYTAB.ILY(i) = s.last;
    store.IYTAB.NYR(i) = s.last - s.first + 1;
    for (int y = s.first; y <= s.last; ++y) store.SERMAT.at(y - s.first + 1, i) = Value(i, y);
  }
  store.IYTAB.IFY(5) = 1845;
  store.IYTAB.ILY(5) = 1960;
  store.IYTAB.NYR(5) = 116;
  common::Assign(store.TITLE[1], "Kestrel Ridge test set");
  common::Assign(store.TITLE[2], "second title line");
  common::Assign(store.TITLE[3], "");
}

// A fresh folder holding site.rwl's censored files and the report file.
class MenuTest : public ::testing::Test, public test_support::DialogHarness {
 protected:
  MenuTest() : working_(dir().path()), datfil_(common::Fixed(dir().File("site.rwl"), 50)) { LoadSet(store_); }

  // Runs the menu with `answers`; returns the stop status, or -1 when it returned.
  int Menu(std::vector<std::string> answers, drivers::SeriesProcessingChoice& choice) {
    return RunScript(std::move(answers),
                     [&](common::Dialog& d) { choice = drivers::SeriesProcessingMenu(d, store_, datfil_); });
  }
  // Runs the menu with `answers`; all answers must be used.
  drivers::SeriesProcessingChoice Run(std::vector<std::string> answers) {
    drivers::SeriesProcessingChoice choice;
    EXPECT_EQ(Menu(std::move(answers), choice), -1) << "the menu stopped the program";
    EXPECT_EQ(Unread(), 0u);
    return choice;
  }
  // Runs the menu expecting it to stop the program; returns the status.
  int RunToStop(std::vector<std::string> answers) {
    drivers::SeriesProcessingChoice choice;
    const int status = Menu(std::move(answers), choice);
    if (status < 0) ADD_FAILURE() << "the menu returned";
    return status;
  }
  std::vector<std::string> Outputs() { return dir().Files(); }
  void ExpectUnchanged() {
    EXPECT_EQ(store_.NS, 4);
    for (int i = 1; i <= 4; ++i) {
      EXPECT_EQ(store_.IYTAB.IFY(i), kSet[static_cast<std::size_t>(i - 1)].first);
      EXPECT_EQ(store_.IYTAB.ILY(i), kSet[static_cast<std::size_t>(i - 1)].last);
      EXPECT_EQ(store_.SERMAT.get(1, i), Value(i, kSet[static_cast<std::size_t>(i - 1)].first));
    }
    EXPECT_EQ(store_.IYTAB.IFY(5), 1845);
    EXPECT_EQ(store_.IYTAB.NYR(5), 116);
  }

  test_support::WorkingFolder working_;  // where the censored files go
  std::string datfil_;
  common::RunStorage store_;
};

// A prompt line of the transcript with its typed answer.
std::string P(const std::string& text, const std::string& answer) {
  return common::PadTo(" " + text, 50) + "==> " + answer + "\n";
}

TEST_F(MenuTest, CensoredSummaryHeadingByProgram) {
  // Censoring by a minimum length of 50 keeps the series of 60 and 113
  // years: their median is 86.5, kept as 86 for option 9.
  for (common::ProgramVariant variant : {common::ProgramVariant::kInteractive, common::ProgramVariant::kBatch}) {
    LoadSet(store_);
    store_.DATFIL = datfil_;
    common::RunOptions options;
    common::RestartState restart;
    engine::EngineState state(variant);
    plot::NullPlotter plotter;
    SetVariant(variant);
    EXPECT_EQ(RunScript({"2", "50"},
                        [&](common::Dialog& d) {
                          drivers::ProgramRun run(d, store_, options, restart, state, plotter);
                          drivers::ProcessSeries(run);
                        }),
              -1);
    EXPECT_EQ(Unread(), 0u);
    EXPECT_EQ(options.MED, 86);
    const bool batch = variant == common::ProgramVariant::kBatch;
    const std::string heading = "   MIN   25%   MED   75%   MAX\n";
    EXPECT_NE(Transcript().find(std::string(batch ? "\n Censored Data Set" : "\n CENSORED DATA SET") + "           " +
                                heading),
              std::string::npos)
        << Transcript();
    EXPECT_NE(Report().find("\n CENSORED DATA SET           " + heading), std::string::npos) << Report();
    EXPECT_EQ(Report().find(" ORIGINAL DATA SET           " + heading), 0u) << Report();
  }
}

TEST_F(MenuTest, MenuLayout) {
  Run({"1"});
  EXPECT_EQ(Transcript(),
            "\n"
            " Series processing options (/ to exit):\n"
            " All series processed as read in            <1>\n"
            " Keep series with MINIMUM SEGMENT length     2\n"
            " Keep series BEFORE a MAXIMUM start year     3\n"
            " Keep series AFTER a MINIMUM start year      4\n"
            " Truncate BEFORE a MINIMUM start year        5\n"
            " Truncate AFTER a MAXIMUM end year           6\n"
            " Keep series over a COMMON PERIOD only       7   ==> 1\n");
}

TEST_F(MenuTest, BlankAnswerKeepsAllAndCopiesToWork) {
  const drivers::SeriesProcessingChoice choice = Run({""});
  EXPECT_EQ(choice.answer, '1');
  ExpectUnchanged();
  EXPECT_EQ(Report(), "");
  EXPECT_EQ(Outputs(), (std::vector<std::string>{"report.txt"}));
  for (int i = 1; i <= 4; ++i) {
    const SetSeries& s = kSet[static_cast<std::size_t>(i - 1)];
    for (int y = s.first; y <= s.last; ++y) EXPECT_EQ(store_.SERWRK.get(y - s.first + 1, i), Value(i, y));
    EXPECT_EQ(store_.SERWRK.get(s.last - s.first + 2, i), common::kMissing);
  }
  EXPECT_FALSE(store_.SERWRK.allocated(5));
}

TEST_F(MenuTest, OtherAnswersShowTheMenuAgainSilently) {
  EXPECT_EQ(Run({"9", "x", "0", "1"}).answer, '1');
  const std::string t = Transcript();
  std::size_t menus = 0;
  for (std::size_t p = 0; (p = t.find("Series processing options", p)) != std::string::npos; ++p) ++menus;
  EXPECT_EQ(menus, 4u);
  EXPECT_EQ(t.find("Error"), std::string::npos);
}

TEST_F(MenuTest, SlashStopsWithoutText) {
  EXPECT_EQ(RunToStop({"/"}), 0);
  EXPECT_TRUE(Transcript().ends_with("==> /\n"));
}

TEST_F(MenuTest, MinimumSegmentLengthAsksAgainAfterText) {
  const drivers::SeriesProcessingChoice choice = Run({"2", "abc", "50"});
  EXPECT_EQ(choice.answer, '2');
  EXPECT_EQ(choice.N1, 50);
  EXPECT_EQ(store_.NS, 2);
  EXPECT_NE(Transcript().find(P("Enter the MINIMUM segment length", "abc") + "\n" +
                              P("Enter the MINIMUM segment length", "50")),
            std::string::npos);
  EXPECT_EQ(Report(), "\nDATA ARE CENSORED BY MINIMUM SEGMENT LENGTH:    50\n");
  EXPECT_TRUE(dir().Has("site_mnsl=50.txt"));
  // The work copy holds the censored set.
  EXPECT_EQ(store_.SERWRK.get(1, 1), Value(2, 1850));
  EXPECT_EQ(store_.SERWRK.get(1, 2), Value(4, 1848));
  EXPECT_FALSE(store_.SERWRK.allocated(3));
}

TEST_F(MenuTest, MinimumSegmentLengthKeepingNothingWarnsAndShowsMenuAgain) {
  EXPECT_EQ(Run({"2", "500", "", "1"}).answer, '1');
  ExpectUnchanged();
  EXPECT_NE(Transcript().find("\n *** Warning: No series were found with a segment length of at least   500\n"
                              "    Try again or quit the program.\n\n Hit Return to continue\n"),
            std::string::npos);
  EXPECT_EQ(Report(), "");
  EXPECT_EQ(Outputs(), (std::vector<std::string>{"report.txt"}));
}

TEST_F(MenuTest, MaximumStartYearNoSeriesWarnsWithTypedYear) {
  EXPECT_EQ(Run({"3", "1845", "", "1"}).answer, '1');
  ExpectUnchanged();
  EXPECT_NE(Transcript().find("\n *** Warning: No series were found that start ON or BEFORE  1845\n"
                              "    Try again or quit the program.\n\n Hit Return to continue\n"),
            std::string::npos);
  EXPECT_EQ(Report(), "");
}

TEST_F(MenuTest, MaximumStartYearCensors) {
  const drivers::SeriesProcessingChoice choice = Run({"3", "1850"});
  EXPECT_EQ(choice.N1, 1850);
  EXPECT_EQ(store_.NS, 2);
  EXPECT_EQ(Report(), "\nDATA ARE CENSORED BY MAXIMUM START YEAR:  1850\n");
  EXPECT_TRUE(dir().Has("site_mxsy=1850.txt"));
}

TEST_F(MenuTest, MinimumStartYearNoSeriesWarns) {
  EXPECT_EQ(Run({"4", "1900", "", "4", "1850"}).answer, '4');
  EXPECT_NE(Transcript().find(" *** Warning: No series were found that start ON or AFTER  1900\n"), std::string::npos);
  EXPECT_EQ(store_.NS, 2);
  EXPECT_EQ(Report(), "\nDATA ARE CENSORED BY MINIMUM START YEAR:  1850\n");
  EXPECT_TRUE(dir().Has("site_mnsy=1850.txt"));
}

// A start year that does not convert goes straight back to the start year:
// the end year is not asked for in between.
TEST_F(MenuTest, CommonPeriodStartReadFailureAsksBothAgainAtOnce) {
  const drivers::SeriesProcessingChoice choice = Run({"7", "18x0", "1850", "1870"});
  EXPECT_EQ(choice.answer, '7');
  EXPECT_EQ(choice.N1, 1850);
  EXPECT_EQ(choice.N2, 1870);
  EXPECT_NE(Transcript().find("\n" + P("Enter the common start year", "18x0") + "\n" +
                              P("Enter the common start year", "1850") + P("Enter the common end year", "1870")),
            std::string::npos)
      << Transcript();
  EXPECT_EQ(Report(), "\nDATA ARE CENSORED BY COMMON START AND END YEARS:  1850  1870\n");
  EXPECT_EQ(store_.NS, 3);
}

TEST_F(MenuTest, CommonPeriodEndReadFailureAsksBothAgain) {
  const drivers::SeriesProcessingChoice choice = Run({"7", "1850", "19x0", "1850", "1870"});
  EXPECT_EQ(choice.N1, 1850);
  EXPECT_EQ(choice.N2, 1870);
  EXPECT_NE(Transcript().find(P("Enter the common end year", "19x0") + "\n" +
                              P("Enter the common start year", "1850") + P("Enter the common end year", "1870")),
            std::string::npos)
      << Transcript();
  EXPECT_EQ(store_.NS, 3);
}

TEST_F(MenuTest, CommonPeriodEndBeforeStartWarns) {
  EXPECT_EQ(Run({"7", "1870", "1860", "", "1"}).answer, '1');
  ExpectUnchanged();
  EXPECT_NE(Transcript().find(" *** Warning: The common end year  1860 is before the start year  1870\n"),
            std::string::npos);
}

TEST_F(MenuTest, TruncateBeforeYearTypedAsTextIsAskedAgain) {
  const drivers::SeriesProcessingChoice choice = Run({"5", "year", "1850"});
  EXPECT_EQ(choice.answer, '5');
  EXPECT_EQ(choice.N1, 1850);
  EXPECT_EQ(Report(), "\nDATA ARE TRUNCATED BEFORE MINIMUM START YEAR:  1850\n");
  EXPECT_EQ(store_.IYTAB.IFY(5), 1850);
  EXPECT_EQ(store_.IYTAB.ILY(5), 1960);
  EXPECT_EQ(store_.IYTAB.NYR(5), 111);
  EXPECT_TRUE(dir().Has("site_trunb=1850.txt"));
  EXPECT_EQ(store_.SERWRK.get(1, 1), Value(1, 1850));
}

TEST_F(MenuTest, TruncateBeforeEveryFirstYearChangesNothingButWritesFile) {
  Run({"5", "1700"});
  ExpectUnchanged();
  EXPECT_EQ(Report(), "\nDATA ARE TRUNCATED BEFORE MINIMUM START YEAR:  1700\n");
  EXPECT_TRUE(dir().Has("site_trunb=1700.txt"));
}

TEST_F(MenuTest, TruncateAfterSetsWholeSpan) {
  Run({"6", "1900"});
  EXPECT_EQ(Report(), "\nDATA ARE TRUNCATED AFTER MAXIMUM END YEAR:  1900\n");
  EXPECT_EQ(store_.IYTAB.IFY(5), 1845);
  EXPECT_EQ(store_.IYTAB.ILY(5), 1900);
  EXPECT_EQ(store_.IYTAB.NYR(5), 56);
  EXPECT_TRUE(dir().Has("site_truna=1900.txt"));
}

TEST_F(MenuTest, TruncationLeavingFewerThanTwentyValuesStops) {
  EXPECT_EQ(RunToStop({"6", "1869"}), 1);
  EXPECT_TRUE(Transcript().ends_with(
      "\n Series  KR003B    truncation after 1869 only leaves   10  values for analysis.\n"
      "\n"
      " Please evaluate your truncation choice and see if it is\n"
      " appropriate for your data. You might want to consider deleting\n"
      " these series from further analysis if you want to truncate.\n"
      " Review your truncation choice!\n"));
}

TEST(CopyToWork, OverwritesAnEarlierDataSetCompletely) {
  common::RunStorage store;
  // An earlier, larger data set left three long columns in SERWRK.
  for (int i = 1; i <= 3; ++i)
    for (int r = 1; r <= 200; ++r) store.SERWRK.at(r, i) = 7.0f;
  store.NS = 2;
  store.IYTAB.IFY(1) = 1900;
  store.IYTAB.ILY(1) = 1904;
  store.IYTAB.NYR(1) = 5;
  store.IYTAB.IFY(2) = 1901;
  store.IYTAB.ILY(2) = 1901;
  store.IYTAB.NYR(2) = 1;
  for (int r = 1; r <= 5; ++r) store.SERMAT.at(r, 1) = static_cast<float>(r);
  store.SERMAT.at(1, 2) = 0.5f;
  drivers::CopyToWork(store.SERMAT, store.NS, store.IYTAB, store.SERWRK);
  for (int r = 1; r <= 5; ++r) EXPECT_EQ(store.SERWRK.get(r, 1), static_cast<float>(r));
  EXPECT_EQ(store.SERWRK.get(1, 2), 0.5f);
  for (int r = 6; r <= common::MAXYRS; ++r) ASSERT_EQ(store.SERWRK.get(r, 1), common::kMissing) << r;
  for (int r = 2; r <= common::MAXYRS; ++r) ASSERT_EQ(store.SERWRK.get(r, 2), common::kMissing) << r;
  for (int r = 1; r <= common::MAXYRS; ++r) ASSERT_EQ(store.SERWRK.get(r, 3), common::kMissing) << r;
  EXPECT_FALSE(store.SERWRK.allocated(4));
}

// Truncation directly: which rows move and what is refilled.
class TruncateTest : public ::testing::Test {
 protected:
  TruncateTest() : console_({}), dialog_(console_, units_) { LoadSet(store_); }
  common::ScriptedConsole console_;
  common::Units units_;
  common::Dialog dialog_;
  common::RunStorage store_;
};

TEST_F(TruncateTest, BeforeMovesYearToRowOneAndRefillsTail) {
  drivers::TruncateBefore(1855, store_.SERMAT, 4, store_.IYTAB, store_.SERID, dialog_);
  // KR001A 1845-1874 keeps exactly 20 values (1855-1874).
  EXPECT_EQ(store_.IYTAB.IFY(1), 1855);
  EXPECT_EQ(store_.IYTAB.ILY(1), 1874);
  EXPECT_EQ(store_.IYTAB.NYR(1), 20);
  for (int k = 1; k <= 20; ++k) EXPECT_EQ(store_.SERMAT.get(k, 1), Value(1, 1854 + k));
  for (int k = 21; k <= 30; ++k) EXPECT_EQ(store_.SERMAT.get(k, 1), common::kMissing);
  // KR003B starts after 1855: untouched.
  EXPECT_EQ(store_.IYTAB.IFY(3), 1860);
  EXPECT_EQ(store_.SERMAT.get(1, 3), Value(3, 1860));
  // KR004A 1848-1960 -> 1855-1960.
  EXPECT_EQ(store_.IYTAB.NYR(4), 106);
  EXPECT_EQ(store_.SERMAT.get(1, 4), Value(4, 1855));
  EXPECT_EQ(store_.SERMAT.get(106, 4), Value(4, 1960));
  EXPECT_EQ(store_.SERMAT.get(107, 4), common::kMissing);
  EXPECT_EQ(store_.IYTAB.IFY(5), 1855);
  EXPECT_EQ(console_.transcript(), "");
}

TEST_F(TruncateTest, AfterRefillsRowsPastTheYear) {
  drivers::TruncateAfter(1869, store_.SERMAT, 2, store_.IYTAB, store_.SERID, dialog_);
  EXPECT_EQ(store_.IYTAB.ILY(1), 1869);
  EXPECT_EQ(store_.IYTAB.NYR(1), 25);
  EXPECT_EQ(store_.SERMAT.get(25, 1), Value(1, 1869));
  EXPECT_EQ(store_.SERMAT.get(26, 1), common::kMissing);
  EXPECT_EQ(store_.IYTAB.NYR(2), 20);
  EXPECT_EQ(store_.SERMAT.get(20, 2), Value(2, 1869));
  EXPECT_EQ(store_.SERMAT.get(21, 2), common::kMissing);
  EXPECT_EQ(store_.IYTAB.ILY(3), 1869);  // the whole-set row of NS = 2
}

TEST_F(TruncateTest, BeforeStopsAtFirstShortSeriesLeavingLaterOnesAlone) {
  try {
    drivers::TruncateBefore(1860, store_.SERMAT, 4, store_.IYTAB, store_.SERID, dialog_);
    FAIL() << "no stop";
  } catch (const common::ProgramStop& stop) {
    EXPECT_EQ(stop.status, 1);
  }
  EXPECT_NE(console_.transcript().find(
                " Series  KR001A    truncation before 1860 only leaves   15  values for analysis.\n"),
            std::string::npos);
  EXPECT_EQ(store_.IYTAB.IFY(4), 1848);  // not examined
  EXPECT_EQ(store_.SERMAT.get(1, 4), Value(4, 1848));
}

TEST_F(TruncateTest, YearPastTheWholeSeriesStopsInsteadOfReadingOutside) {
  try {
    drivers::TruncateBefore(1990, store_.SERMAT, 4, store_.IYTAB, store_.SERID, dialog_);
    FAIL() << "no stop";
  } catch (const common::ProgramStop& stop) {
    EXPECT_EQ(stop.status, 1);
  }
  EXPECT_NE(console_.transcript().find("truncation before 1990 only leaves "), std::string::npos);
}

}  // namespace
