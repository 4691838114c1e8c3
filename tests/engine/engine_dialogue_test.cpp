// The engine's questions and report lines: the spline-stabilisation
// dialogue, the regional-curve dialogue, and the stops and switches of the
// set-up.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/console.h"
#include "common/text.h"
#include "engine_fixture.h"
#include "support/dialog_harness.h"
#include "support/text.h"

namespace engine::testing {
namespace {

using test_support::Has;

TEST(StabilisationDialogue, ReminderMenuAndChangedChoice) {
  // "x" brings the reminder, "n" the menu; 5 is refused without a word, 12
  // is taken: three report lines name it and the 12-year spline follows.
  EngineSession run("synth12.rwl", PromptConsole(Rules{{"Happy with this spline", {"x", "n", "y"}},
                                                       {"Smoothing spline (fixed Yrs cutoff)", {"5", "12"}}}));
  run.options.NOPT = 8;
  run.options.ISTAB = 1;
  ASSERT_EQ(run.Call(), EngineOutcome::kFinished);
  EXPECT_EQ(run.options.ISTAB, 12);
  // Three answers for the standard chronology, the last for the signal-free one.
  EXPECT_EQ(run.console.Asked("Happy with this spline"), 4);
  EXPECT_EQ(run.console.Asked("Smoothing spline (fixed Yrs cutoff)"), 2);
  const std::string& screen = run.console.transcript();
  EXPECT_TRUE(Has(screen, "\n Y or <RET> for Yes or N for no, okay?\n"));
  EXPECT_TRUE(Has(screen,
                  "\n Additional spline variance stabilization?\n"
                  " No additional spline stabilization   <0>\n"
                  " Age-dependent spline stabilization    1\n"
                  " Smoothing spline (percent N cutoff)  <-9\n"
                  " Smoothing spline (fixed Yrs cutoff)  >+9        ==> 5\n"))
      << screen.substr(screen.find("Additional"), 400);
  const std::string stars(55, '*');
  const std::string report = run.Report();
  EXPECT_TRUE(Has(report,
                  "\nDEFAULT AGE-DEPENDENT SPLINE VARIANCE STABILIZATION APPLIED\n"
                  "\n" +
                      stars + "\n\nDEFAULT SPLINE VARIANCE STABILIZATION CHANGED TO:    12\n\n" + stars +
                      "\n"
                      "FIXED FILTER SPLINE VARIANCE STABILIZATION APPLIED:   12\n"));
  EXPECT_EQ(run.plotter.Count("Spline Detrending of Running RBAR Stabilized Indices"), 2);
  EXPECT_EQ(run.plotter.Count("RBAR Only Vs. Detrended RBAR Stabilized Standard Indices"), 2);
  EXPECT_EQ(run.plotter.Count("Spline Detrending of RBAR Stabilized Signal Free Indices"), 1);
  EXPECT_EQ(report.find("CHANGED TO:"), report.rfind("CHANGED TO:"));  // the signal-free pass reports nothing
}

TEST(StabilisationDialogue, BatchReminderAndReportLine) {
  EngineSession run("synth12.rwl",
                    PromptConsole(Rules{{"Happy with this spline", {"?", "n", "y"}},
                                        {"Smoothing spline (fixed Yrs cutoff)", {"-50"}}}),
                    common::ProgramVariant::kBatch);
  run.options.NOPT = 8;
  run.options.ISTAB = 1;
  ASSERT_EQ(run.Call(), EngineOutcome::kFinished);
  EXPECT_EQ(run.options.ISTAB, -50);
  EXPECT_TRUE(Has(run.console.transcript(), "\n Y or <RET> for Yes or N for No, okay?\n"));
  const std::string report = run.Report();
  EXPECT_FALSE(Has(report, "FIXED FILTER"));
  EXPECT_TRUE(Has(report, "CHANGED TO:   -50\n\n")) << report;
  EXPECT_EQ(run.plotter.Count("Biweights For Standard Chronology"), 0);
}

TEST(StandardChronology, ConvergenceHeaderOnlyInTheReport) {
  EngineSession run("synth12.rwl");
  run.options.NOPT = 0;
  run.options.IRBWIN = 0;
  ASSERT_EQ(run.Call(), EngineOutcome::kFinished);
  EXPECT_EQ(run.options.NOPT, 6);
  const std::string header = std::string(36, ' ') + "| -------- SIGNAL FREE CONVERGENCE STATISTICS ------- |\n" +
                             std::string(36, ' ') + "UW MN ABSD     UW MD ABSD     WT MN ABSD     WT MD ABSD\n";
  EXPECT_TRUE(Has(run.Report(), "\n" + header));
  EXPECT_FALSE(Has(run.console.transcript(), "SIGNAL FREE CONVERGENCE"));
  EXPECT_FALSE(run.dir.Has(run.stem + "_STD_RAW_Ratios.txt"));  // option 0 makes no index file
  EXPECT_FALSE(run.dir.Has(run.stem + "_Raw_RBAR.txt"));
  EXPECT_EQ(run.plotter.Count("Original Non-Variance Stabilized Raw Data Indices"), 1);
}

TEST(SetUp, LoneLeadingSeriesAndThinStart) {
  // Series 2 is moved to start 30 years later: 1801-1805 rest on series 1
  // alone, and fewer than six series stand in every year before 1834.
  EngineSession run("synth12.rwl");
  common::RunStorage& s = *run.store;
  const int n2 = s.IYTAB.ILY(2) - s.IYTAB.IFY(2) + 1;
  for (int k = 1; k <= n2 - 30; ++k) s.SERWRK.at(k, 2) = s.SERWRK.get(k + 30, 2);
  s.IYTAB.IFY(2) += 30;
  run.options.NOPT = 6;
  run.options.IRBWIN = 0;
  ASSERT_EQ(run.Call(), EngineOutcome::kFinished);
  EXPECT_EQ(run.state.NLEAD1, 5);
  EXPECT_EQ(run.state.LEADSR, 1);
  EXPECT_EQ(run.state.NMEAN, 195);
  EXPECT_EQ(run.state.NLEAD6, 1834 - 1801);
  double sum = 0.0;
  const int n1 = s.IYTAB.ILY(1) - s.IYTAB.IFY(1) + 1;
  for (int k = 6; k <= n1; ++k) sum += static_cast<double>(s.SERWRK.get(k, 1));
  EXPECT_NEAR(run.state.SERMNS[1], sum / (n1 - 5), 1e-5);
  // The mean of the standard chronology over 1806-2000 is 1.
  double level = 0.0;
  for (int k = 6; k <= 200; ++k) level += static_cast<double>(run.state.STDORG[static_cast<std::size_t>(k - 1)]);
  EXPECT_NEAR(level / 195.0, 1.0, 1e-5);
  // A year of depth 1 in the mean segment length is that series' length.
  EXPECT_FLOAT_EQ(run.state.MSLEN[0], static_cast<float>(n1));
  EXPECT_FLOAT_EQ(run.state.MTAGE[4], 5.0f);
}

TEST(SetUp, ShortWellReplicatedTailCountsOnlyTheLoneYearsOnEveryCall) {
  // Six series; the fifth moved to start in 1985, so six series stand only
  // in 1985-1990: 16 years after the thin start are too few, on the first
  // call and on the retry alike.
  EngineSession run("synth12.rwl");
  common::RunStorage& s = *run.store;
  s.NS = 6;
  s.IYTAB.IFY(7) = 1801;
  s.IYTAB.ILY(7) = 2000;
  const int shift = 1985 - s.IYTAB.IFY(5);
  for (int k = 1; k <= s.IYTAB.ILY(5) - 1985 + 1; ++k) s.SERWRK.at(k, 5) = s.SERWRK.get(k + shift, 5);
  s.IYTAB.IFY(5) = 1985;
  run.options.NOPT = 6;
  run.options.IRBWIN = 0;
  for (int call = 0; call < 2; ++call) {
    run.restart.KRETRY = call;
    ASSERT_EQ(run.Call(), EngineOutcome::kFinished);
    EXPECT_EQ(run.state.NLEAD1, 0);
    EXPECT_EQ(run.state.NLEAD6, 0) << "call " << call;
  }
}

TEST(SetUp, AYearWithoutSeriesStopsWithTheMeanRoutinesText) {
  EngineSession run("synth12.rwl");
  common::RunStorage& s = *run.store;
  // Series 1 and 2 end in 1849, every other series starts after 1850.
  for (int i = 1; i <= 2; ++i) s.IYTAB.ILY(i) = 1849;
  for (int i = 3; i <= s.NS; ++i) {
    const int shift = 1851 - s.IYTAB.IFY(i);
    if (shift <= 0) continue;
    s.IYTAB.IFY(i) += shift;
  }
  run.options.NOPT = 6;
  EXPECT_EQ(test_support::StopStatus([&] { run.Call(); }), 1);
  EXPECT_TRUE(Has(run.console.transcript(), "fatal error in biwgt: n is zero or negative\n Hit RETURN to Quit"));
}

TEST(SetUp, EndOfInputAtAnEngineQuestionEndsWithStatus3) {
  EngineSession run("synth12.rwl", PromptConsole({}, 3));
  run.options.NOPT = 6;
  EXPECT_EQ(test_support::StopStatus([&] { run.Call(); }), 3);
}

TEST(SetUp, AnOutputFileThatCannotBeOpenedEndsTheRunNamingIt) {
  EngineSession run("synth12.rwl");
  std::filesystem::create_directory(run.dir.path() / "synth12_STD_RAW_Data.txt");  // a folder in the file's place
  run.options.NOPT = 6;
  EXPECT_EQ(test_support::StopStatus([&] { run.Call(); }), 1);
  EXPECT_TRUE(Has(run.console.transcript(),
                  "\n Cannot open the output file synth12_STD_RAW_Data.txt: Is a directory\n\n"
                  " Abnormal termination of Kestrane_Version Kestrane_2019  \n"));
}

TEST(SetUp, ANegativeWindowDoesNoRunningRbarWork) {
  EngineSession run("synth12.rwl");
  run.options.NOPT = 6;
  run.options.IRBWIN = -51;
  ASSERT_EQ(run.Call(), EngineOutcome::kFinished);
  EXPECT_EQ(run.state.RBARYN, 'n');
  EXPECT_FALSE(run.dir.Has(run.stem + "_Std_RBAR.txt"));
  EXPECT_FALSE(run.dir.Has(run.stem + "_Ssf_RBAR.txt"));
  EXPECT_FALSE(Has(run.console.transcript(), "running rbar calculations"));
}

TEST(RegionalCurveDialogue, TruncationAskedUntilItFitsThenRefit) {
  EngineSession run("synth12.rwl",
                    PromptConsole(Rules{{"Different RCS detrending?", {"f", ""}},
                                        {"Truncate Regional Curve?", {"T", ""}},
                                        {"in the estimation of the Regional model", {"x", "12.5", "9999", "-1", "150"}},
                                        {"Plot lots of tree rings?", {""}}}));
  run.options.RCSFLG = 1;
  run.options.NOPT = -2;
  run.options.SPLSTF = 10;
  ASSERT_EQ(run.Call(), EngineOutcome::kFinished);
  EXPECT_EQ(run.restart.RCSRDO, 0);
  EXPECT_EQ(run.state.PLTLOT, 0);
  EXPECT_EQ(run.state.RCTRNC, 150);
  EXPECT_EQ(run.console.Asked("in the estimation of the Regional model"), 5);
  EXPECT_EQ(run.plotter.Count("Initial RC and MVF fit"), 2);
  EXPECT_TRUE(Has(run.console.transcript(), "**  Optimum common interval:"));
  EXPECT_EQ(run.plotter.Count("First Detrending"), 1);  // pltcal of the indices
  // The fitted curve holds its value at age 150 beyond it.
  const float held = run.state.RcStore(150, 2, 1);
  EXPECT_EQ(run.state.RcStore(180, 2, 1), held);
  EXPECT_EQ(run.state.RcStore(200, 2, 1), held);
}

TEST(RegionalCurveDialogue, RedoReturnsAtOnce) {
  EngineSession run("synth12.rwl", PromptConsole(Rules{{"Different RCS detrending?", {"t"}}}));
  run.options.RCSFLG = 1;
  run.options.NOPT = -2;
  run.options.SPLSTF = 10;
  ASSERT_EQ(run.Call(), EngineOutcome::kRcsRedo);
  EXPECT_EQ(run.restart.RCSRDO, 1);
  EXPECT_EQ(run.console.Asked("Truncate Regional Curve?"), 0);
  EXPECT_EQ(run.plotter.Count("Original Non-Variance Stabilized Standard Indices"), 0);
  // The call after a redo shows no set-up plot and clears the flag.
  run.console = PromptConsole();
  ASSERT_EQ(run.Call(), EngineOutcome::kFinished);
  EXPECT_EQ(run.restart.RCSRDO, 0);
  EXPECT_EQ(run.plotter.Count("Mean Segment Length And Mean Tree Age"), 1);
}

}  // namespace
}  // namespace engine::testing
