// Tests of the running RBAR, common-interval and mean-chronology report lines.
#include "engine/stats_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/console.h"
#include "common/units.h"
#include "support/temp_dir.h"

namespace engine {
namespace {

TEST(RunrbrTable, HeaderAndRowLayout) {
  common::Block rbrv3(3, 5);
  // Year 1: depth 1, RBAR1 .4 -> EPS .4; year 2: depth 10, RBAR1 .5 -> EPS
  // 5 / 5.5 = .909, RBAR2 .2 -> EPS 2 / 2.8 = .714 (by hand).
  const float rows[2][5] = {{1.0f, 0.4f, 1.0f, 0.25f, 1.0f}, {10.0f, 0.5f, 1.818f, 0.2f, 3.571f}};
  for (int i = 0; i < 2; ++i)
    for (int c = 0; c < 5; ++c) rbrv3.at(i + 1, c + 1) = rows[i][c];
  test_support::TempDir dir;
  common::Units units;
  ASSERT_TRUE(units.Open(common::kRbarUnit, dir.File("t_Std_RBAR.txt"), common::Units::Mode::kWrite));
  WriteRunrbrTable(*units.Get(common::kRbarUnit), rbrv3, 1850, 2, 7);
  ASSERT_TRUE(units.Close(common::kRbarUnit));
  EXPECT_EQ(dir.Read("t_Std_RBAR.txt"),
            " YEAR     NC   RBAR1    EPS1   NEFF1   RBAR2    EPS2   NEFF2\n"
            " 1850      1   0.400   0.400   1.000   0.250   0.250   1.000\n"
            " 1851     10   0.500   0.909   1.818   0.200   0.714   3.571\n");
}

TEST(RunrbrTable, NoWindowResult) {
  common::Block rbrv3(1, 5);
  rbrv3.at(1, 1) = 2.0f;
  for (int c = 2; c <= 5; ++c) rbrv3.at(1, c) = -99.9f;
  const std::vector<std::string> lines = RunrbrTableLines(rbrv3, -5, 1, 0);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1], "   -5      2 -99.900 -99.900 -99.900 -99.900 -99.900 -99.900");
}

TEST(RunrbrTable, ALongTableLaidOutByThreadsKeepsItsRowsInOrder) {
  const int nyrs = 1500;
  common::Block rbrv3(nyrs, 5);
  for (int i = 1; i <= nyrs; ++i) {
    rbrv3.at(i, 1) = static_cast<float>(1 + i % 40);
    for (int c = 2; c <= 5; ++c) rbrv3.at(i, c) = static_cast<float>((i * 7 + c * 13) % 1000) / 1000.0f;
  }
  detrend::WorkerPool pool;
  const std::vector<std::string> alone = RunrbrTableLines(rbrv3, 626, nyrs, 30);
  const std::vector<std::string> shared = RunrbrTableLines(rbrv3, 626, nyrs, 30, &pool);
  ASSERT_EQ(alone.size(), static_cast<std::size_t>(nyrs) + 1);
  EXPECT_EQ(shared, alone);
  EXPECT_EQ(alone[1].substr(0, 12), "  626      2");
  EXPECT_EQ(alone[nyrs].substr(0, 12), " 2125     21");
}

TEST(RunrbrMessages, NumbersAtColumn37) {
  common::ScriptedConsole console({});
  common::Units units;
  common::Dialog dialog(console, units);
  ShowRunrbrMessages(dialog, detrend::RunrbrResult{550, 51, 50});
  EXPECT_EQ(console.transcript(),
            "\n"
            " Running RBAR window length:           51\n"
            " Running RBAR window overlap:          50\n"
            " Running RBAR segments calculated:    550\n");
}

TEST(Commint, Box) {
  common::ScriptedConsole console({});
  common::Units units;
  common::Dialog dialog(console, units);
  const std::vector<int> first = {1900, 1950, 1900}, len = {101, 51, 81};
  const std::vector<std::string> ids = {"A       ", "B       ", "C       "};
  ShowCommint(dialog, detrend::Commint(3001, first, ids, len), 3001);
  const std::string pad(19, ' ');
  const std::string rule = std::string(20, ' ') + std::string(42, '*');
  EXPECT_EQ(console.transcript(), "\n" + rule + "\n" +
                                      pad + " **  Time span of chronology:  1900 to 2000\n" +
                                      pad + " **  length =               :           101\n" +
                                      pad + " **  Number of series in chronology:      3\n" +
                                      pad + " **  Optimum common interval:  1900 to 1980\n" +
                                      pad + " **  Number of years included:           81\n" +
                                      pad + " **  Number of Series included:           2\n" +
                                      pad + " **  Number of rings:                   162\n" +
                                      pad + " **  Length of longest Series:          101\n" +
                                      pad + " **  Length of shortest Series:          51\n" + rule + "\n");
}

TEST(Commint, TooManySeriesStops) {
  common::ScriptedConsole console({});
  common::Units units;
  common::Dialog dialog(console, units);
  detrend::CommintResult r{};
  r.too_many = true;
  try {
    ShowCommint(dialog, r, 3001);
    FAIL() << "no stop";
  } catch (const common::ProgramStop& stop) {
    EXPECT_NE(stop.status, 0);
  }
  EXPECT_EQ(console.transcript(), "\n" + std::string(19, ' ') +
                                      " >> file contains more than program limit of3000 series\n"
                                      " too many series for subroutine Commint\n");
}

TEST(Robsum, TooManySeriesMessage) {
  common::ScriptedConsole console({});
  common::Units units;
  common::Dialog dialog(console, units);
  EXPECT_THROW(StopOnRobsumFailure(dialog, detrend::RobsumStatus::kTooManySeries, 3002, 3001), common::ProgramStop);
  EXPECT_EQ(console.transcript(),
            "\n"
            " Error in Sbr ROBSUM: Max number of series exceeded\n"
            " Maximum allowed:  3001     Number sent:  3002\n"
            " *** Enlarge parameter MAXNUM in Sbr ROBSUM and try again! ***\n");
}

TEST(Robsum, YearWithoutValuesWaitsThenStops) {
  common::ScriptedConsole console({""});
  common::Units units;
  common::Dialog dialog(console, units);
  EXPECT_THROW(StopOnRobsumFailure(dialog, detrend::RobsumStatus::kYearWithoutValues, 5, 3001), common::ProgramStop);
  // The message is the first line, as written, with no leading blank.
  EXPECT_EQ(console.transcript().rfind("fatal error in biwgt: n is zero or negative\n", 0), 0u);
  EXPECT_EQ(console.unread(), 0u);
  common::ScriptedConsole quiet({});
  common::Dialog ok(quiet, units);
  StopOnRobsumFailure(ok, detrend::RobsumStatus::kOk, 5, 3001);
  EXPECT_EQ(quiet.transcript(), "");
}

}  // namespace
}  // namespace engine
