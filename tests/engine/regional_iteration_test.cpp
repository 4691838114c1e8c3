// Regional-curve mode of the signal-free iteration and the final
// detrending of its chronology, on the pith-offset data set.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "common/fortran_format.h"
#include "engine_fixture.h"
#include "support/text.h"

namespace engine::testing {
namespace {

using test_support::Lines;

void UsePithOffsets(EngineSession& run) {
  std::istringstream offsets(ReadTestData("gp_pith_offsets.txt"));
  for (int i = 1; i <= run.store->NS; ++i) offsets >> run.store->IPITH[static_cast<std::size_t>(i)];
  run.options.RCSFLG = 1;
  run.options.PITHFL = 1;
  run.options.NOPT = -2;
  run.options.SPLSTF = 10;
  run.options.TARNYN = run.options.MADJ = run.options.MEDCNV = 'y';
}

TEST(RegionalIteration, CurvesOfEveryIterationPlotsAndFile) {
  EngineSession run("gp.rwl", PromptConsole(Rules{{"Plot lots of tree rings?", {"t"}}}));
  UsePithOffsets(run);
  ASSERT_EQ(run.Call(), EngineOutcome::kFinished);
  const int ITER = run.store->ITER, NS = run.store->NS;
  const EngineState& st = run.state;
  ASSERT_GE(ITER, 2);
  EXPECT_EQ(st.NRCSAV, ITER + 1);  // the initial curve and one per iteration

  // One curve plot per iteration, one page per series and iteration, and
  // a panel per iteration in the plot of all curves after the loop.
  for (int it = 1; it <= ITER; ++it) {
    EXPECT_EQ(run.plotter.Count(common::fmt::Print("(a,i4,a)", "Iteration ", it, "  Regional Curve")), 1) << it;
    EXPECT_EQ(run.plotter.Count(common::fmt::Print("(a,i4)", "Iteration # ", it)), NS + 1) << it;
  }
  EXPECT_EQ(run.plotter.Count("Initial RC and Fit"), 1);

  // "_RCScurves.txt": a 16-column heading per curve, then one line of
  // 8-column numbers per biological year.
  const std::vector<std::string> lines = Lines(run.File("_RCScurves.txt"));
  ASSERT_EQ(static_cast<int>(lines.size()), st.RCLENI + 1);
  std::string header = " Bio Year ";
  for (int c = 1; c <= st.NRCSAV; ++c) header += "   RC     fRC   ";
  EXPECT_EQ(lines[0], header);
  EXPECT_EQ(lines[0].size(), 10u + 16u * static_cast<std::size_t>(st.NRCSAV));
  for (int b = 1; b <= st.RCLENI; ++b) {
    const std::string& line = lines[static_cast<std::size_t>(b)];
    ASSERT_EQ(line.size(), 8u * (1u + 2u * static_cast<std::size_t>(st.NRCSAV))) << b;
    EXPECT_EQ(std::stoi(line.substr(0, 8)), b);
    EXPECT_NEAR(std::stod(line.substr(8, 8)), st.RCSTOR[static_cast<std::size_t>(b - 1)], 0.0051);
  }
  // Ages up to the smallest pith offset have no curve.
  EXPECT_EQ(lines[1].substr(8, 16), " -999.00 -999.00");

  // The signal-free curves file holds the last regional fit at each
  // series' biological age.
  std::istringstream curves(run.File("_SSF_RAW_Curves.txt"));
  std::string line;
  std::getline(curves, line);  // title
  std::getline(curves, line);  // first line of series 1
  const int p1 = run.store->IPITH[1];
  const int first_value = std::stoi(line.substr(12, 6));
  EXPECT_EQ(first_value,
            static_cast<int>(std::lround(static_cast<double>(1000.0f * run.state.RcStore(p1 + 1, 2, st.NRCSAV)))));
}

TEST(RegionalIteration, FinalDetrendingOfTheChronology) {
  EngineSession run("gp.rwl", PromptConsole(Rules{{"Final RCS chronology detrending?", {"y"}},
                                                  {"Smoothing spline (fixed Yrs cutoff)", {"5", "x", "-50", "30"}},
                                                  {"Happy with the final RCS detrending?", {"n", ""}}}));
  UsePithOffsets(run);
  ASSERT_EQ(run.Call(), EngineOutcome::kFinished);
  EXPECT_EQ(run.plotter.Count("Iteration    1  Regional Curve"), 0);  // many-rings plots declined
  EXPECT_EQ(run.console.Asked("Smoothing spline (fixed Yrs cutoff)"), 4);
  EXPECT_EQ(run.console.Asked("Happy with the final RCS detrending?"), 2);
  EXPECT_EQ(run.plotter.Count("Final Detrending of the RCS Signal Free Indices"), 2);
  EXPECT_EQ(run.plotter.Count("Final Detrending of the RCS Signal Free Chronology"), 2);
  const std::string& screen = run.console.transcript();
  EXPECT_NE(screen.find("\n Okay, enter spline detrending in years\n"
                        " Smoothing spline (percent N cutoff)  <-9\n"
                        " Smoothing spline (fixed Yrs cutoff)  >+9        ==> 5\n"),
            std::string::npos);
  // The stabilised signal-free chronology has the level 1 and the spread of
  // the signal-free chronology over the years after the thin start (up to
  // the few years cut at 0).
  std::vector<double> stb, ssf;
  const int nyrs = run.store->IYTAB.NYR(run.store->NS + 1);
  for (int k = run.state.NLEAD6 + 1; k <= nyrs; ++k) {
    stb.push_back(static_cast<double>(run.store->STBCHR.get(k, 2)));
    ssf.push_back(static_cast<double>(run.store->SSFCHR.get(k, 1)));
  }
  EXPECT_NEAR(Mean(stb), 1.0, 1e-3);
  EXPECT_NEAR(Sd(stb), Sd(ssf), 1e-3);
}

TEST(RegionalIteration, NoFinalDetrendingQuestionForOtherOptionsOrWithoutRbar) {
  EngineSession run("gp.rwl");
  UsePithOffsets(run);
  run.options.NOPT = 1;
  ASSERT_EQ(run.Call(), EngineOutcome::kFinished);
  EXPECT_EQ(run.console.Asked("Final RCS chronology detrending?"), 0);
  EXPECT_EQ(run.console.transcript().find("Final RCS chronology"), std::string::npos);

  EngineSession plain("gp.rwl");
  UsePithOffsets(plain);
  plain.options.IRBWIN = 0;
  ASSERT_EQ(plain.Call(), EngineOutcome::kFinished);
  EXPECT_EQ(plain.console.transcript().find("Final RCS chronology"), std::string::npos);
  EXPECT_FALSE(plain.dir.Has(plain.stem + "_Ssf_RBAR.txt"));
}

TEST(RegionalIteration, GuardRefitsTheCurveOnceAnIteration) {
  // The regional mean line (code 6) trips the guard for every series from
  // iteration 5 on; a threshold of 0 keeps the loop going that far.
  EngineSession run("gp.rwl");
  UsePithOffsets(run);
  run.options.NOPT = 6;
  run.options.CONVTL = 0.0f;
  // The statistic rises at last: the iteration that rose is not counted.
  ASSERT_EQ(run.Call(), EngineOutcome::kRestart);
  const int ITER = run.store->ITER + 1;
  ASSERT_GE(ITER, 6);
  for (int it = 1; it <= ITER; ++it) {
    const int expected = it >= 5 ? 1 : 0;  // the per-iteration plot itself is declined
    EXPECT_EQ(run.plotter.Count(common::fmt::Print("(a,i4,a)", "Iteration ", it, "  Regional Curve")), expected)
        << it;
  }
  EXPECT_EQ(run.state.NRCSAV, 1 + ITER + (ITER - 4));
  for (int j = 1; j <= run.store->NS; ++j) EXPECT_EQ(run.state.OptionCode(j, 5), 6) << j;
}

}  // namespace
}  // namespace engine::testing
