// The signal-free iteration against an independent transcription
// (signal_free_reference.f90, its printed values in tests/data), the stop
// rules, the restart machinery and the guarded cases.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "common/text.h"
#include "engine_fixture.h"
#include "support/decade_files.h"
#include "support/text.h"

namespace engine::testing {
namespace {

using test_support::Count;
using test_support::Has;

struct IterLine {
  std::vector<double> value;
  std::string marks;
};

// The "Iter" lines of a report or of the reference output.
std::vector<IterLine> IterLines(const std::string& text) {
  std::vector<IterLine> out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(" Iter ", 0) != 0) continue;
    IterLine l;
    std::size_t at = 33;
    for (int q = 0; q < 4; ++q) {
      const std::size_t width = q == 0 ? 13 : 14;
      l.value.push_back(std::stod(line.substr(at, width)));
      l.marks += line.at(at + width);
      at += width + 1;
    }
    out.push_back(l);
  }
  return out;
}

struct CrossCheck {
  int NOPT;
  char tarn;
  const char* reference;
};

// The test's name and printed parameter: the reference file's stem.
void PrintTo(const CrossCheck& c, std::ostream* os) { *os << c.reference; }

class SignalFreeCrossCheck : public ::testing::TestWithParam<CrossCheck> {};

TEST_P(SignalFreeCrossCheck, AgreesWithTheIndependentTranscription) {
  const CrossCheck& c = GetParam();
  EngineSession run("synth12.rwl");
  run.options.NOPT = c.NOPT;
  run.options.MEANMD = common::MeanMethod::kArithmetic;
  run.options.IRBWIN = 0;
  run.options.TARNYN = run.options.MADJ = run.options.MEDCNV = c.tarn;
  ASSERT_EQ(run.Call(), EngineOutcome::kFinished);
  EXPECT_EQ(run.restart.KRETRY, 0);

  const std::string reference = ReadTestData(c.reference);
  const std::vector<IterLine> want = IterLines(reference), got = IterLines(run.Report());
  ASSERT_FALSE(want.empty());
  ASSERT_EQ(got.size(), want.size());
  EXPECT_EQ(run.store->ITER, static_cast<int>(want.size()));
  for (std::size_t it = 0; it < want.size(); ++it) {
    EXPECT_EQ(got[it].marks, want[it].marks) << "Iter " << it + 1;
    for (std::size_t q = 0; q < 4; ++q) EXPECT_NEAR(got[it].value[q], want[it].value[q], 2e-6) << "Iter " << it + 1;
  }

  std::istringstream in(reference);
  std::string word;
  int year = 0, years = 0;
  double value = 0.0;
  while (in >> word) {
    if (word != "CRN") continue;
    in >> year >> value;
    EXPECT_NEAR(run.store->SSFCHR.get(year - 1800, 1), value, 1e-5) << year;
    ++years;
  }
  EXPECT_EQ(years, 200);
}

INSTANTIATE_TEST_SUITE_P(RatiosArithmeticMeanNoRbar, SignalFreeCrossCheck,
                         ::testing::Values(CrossCheck{3, 'y', "signal_free_opt3_tarn_y.txt"},
                                           CrossCheck{3, 'n', "signal_free_opt3_tarn_n.txt"},
                                           CrossCheck{6, 'n', "signal_free_opt6_tarn_n.txt"}),
                         [](const ::testing::TestParamInfo<CrossCheck>& param) {
                           std::string name = param.param.reference;
                           return name.substr(12, name.size() - 16);  // "opt3_tarn_y"
                         });

TEST(SignalFreeIteration, MeanLineConvergesAtOnce) {
  EngineSession run("synth12.rwl");
  run.options.NOPT = 6;
  run.options.IRBWIN = 0;
  ASSERT_EQ(run.Call(), EngineOutcome::kFinished);
  const std::vector<IterLine> lines = IterLines(run.Report());
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].marks, "****");
  for (double v : lines[0].value) EXPECT_LT(v, 0.000001);
}

TEST(StopDecision, RulesInTheirOrder) {
  // The threshold holds with equality, before every other rule.
  EXPECT_EQ(StopDecision(3, 0.0001f, 0.0f, 0.0001f, 0), IterationStep::kConverged);
  EXPECT_EQ(StopDecision(9, 0.0001f, 0.00001f, 0.0001f, 0), IterationStep::kConverged);
  EXPECT_EQ(StopDecision(3, 0.00010001f, 0.0f, 0.0001f, 0), IterationStep::kNext);
  // A rise from iteration 7 on; at 6 the loop goes on.
  EXPECT_EQ(StopDecision(6, 0.5f, 0.4f, 0.0001f, 0), IterationStep::kNext);
  EXPECT_EQ(StopDecision(7, 0.5f, 0.4f, 0.0001f, 0), IterationStep::kRestart);
  EXPECT_EQ(StopDecision(7, 0.4f, 0.4f, 0.0001f, 0), IterationStep::kNext);
  // Ten restarts; the eleventh rise gives up.
  EXPECT_EQ(StopDecision(8, 0.5f, 0.4f, 0.0001f, 9), IterationStep::kRestart);
  EXPECT_EQ(StopDecision(8, 0.5f, 0.4f, 0.0001f, 10), IterationStep::kGiveUp);
  // The hundredth iteration stops even while falling, and before a rise.
  EXPECT_EQ(StopDecision(100, 0.3f, 0.4f, 0.0001f, 0), IterationStep::kCapped);
  EXPECT_EQ(StopDecision(100, 0.5f, 0.4f, 0.0001f, 4), IterationStep::kCapped);
  EXPECT_EQ(StopDecision(99, 0.3f, 0.4f, 0.0001f, 0), IterationStep::kNext);
}

TEST(UnstableFitReplacement, FromIterationFiveAChangedCodeOrTheMeanLineIsReplaced) {
  common::RunOptions o;
  o.SFFLGA = 'n';
  o.NOPT = 2;
  // Before iteration 5, or with SFFLGA other than 'n', every fit stands.
  EXPECT_EQ(UnstableFitReplacement(o, 4, 2, 5), std::nullopt);
  o.SFFLGA = 'y';
  EXPECT_EQ(UnstableFitReplacement(o, 5, 2, 5), std::nullopt);
  o.SFFLGA = 'n';
  // The same code twice stands, unless it is the mean line.
  EXPECT_EQ(UnstableFitReplacement(o, 5, 2, 2), std::nullopt);
  EXPECT_EQ(UnstableFitReplacement(o, 5, 6, 6), std::optional<int>(6));
  // A changed code (either way, or from the mean line) turns into the mean
  // line, or under option 1 into the 66 % spline.
  EXPECT_EQ(UnstableFitReplacement(o, 5, 2, 4), std::optional<int>(6));
  EXPECT_EQ(UnstableFitReplacement(o, 9, 6, 2), std::optional<int>(6));
  o.NOPT = 1;
  EXPECT_EQ(UnstableFitReplacement(o, 5, 1, 4), std::optional<int>(-66));
  EXPECT_EQ(UnstableFitReplacement(o, 5, 1, 1), std::nullopt);
  EXPECT_EQ(kUnstableFitSpline, -66);
}

}  // namespace
}  // namespace engine::testing

namespace engine::testing {
namespace {

// The mean line with a threshold no chronology meets: every call of
// `run` ends in a rise.
void NeverConverges(EngineSession& run) {
  run.options.NOPT = 6;
  run.options.IRBWIN = 0;
  run.options.CONVTL = 1e-9f;
  run.options.TARNYN = run.options.MADJ = run.options.MEDCNV = 'y';
}

TEST(Restarts, ARiseAsksForTenRestartsThenGivesUp) {
  // A threshold no chronology meets: every call ends in a rise. The run
  // loop's part is played here: the data plus 0.1 x KRETRY, then again.
  EngineSession run("synth12.rwl");
  NeverConverges(run);
  for (int k = 1; k <= 10; ++k) {
    ASSERT_EQ(run.Call(), EngineOutcome::kRestart) << k;
    EXPECT_EQ(run.restart.KRETRY, k);
  }
  EXPECT_EQ(Count(run.console.transcript(), "Hit return to continue ..."), 0);
  ASSERT_EQ(run.Call(), EngineOutcome::kFinished);
  EXPECT_EQ(run.restart.KRETRY, 11);
  EXPECT_EQ(run.state.KRTSAV, 11);

  const std::string report = run.Report(), screen = run.console.transcript();
  EXPECT_EQ(Count(report, "\n WARNING: CONVERGENCE TESTS ARE NOT MONOTONIC DECREASING, ITER:"), 11);
  EXPECT_EQ(Count(screen, "\n WARNING: CONVERGENCE TESTS ARE NOT MONOTONIC DECREASING, ITER:"), 11);
  EXPECT_TRUE(Has(screen,
                  "\n\n OKAY, ADDING A CONSTANT TO THE DATA USUALLY RESULTS IN CONVERGENCE\n"
                  " EVENTUALLY WHEN USING FLEXIBLE DATA-ADAPTIVE CURVE FITS LIKE THE\n"
                  " SPLINE OR FRIEDMAN SMOOTHER. BUT NOT THIS TIME. EVEN SO, THE FINAL\n"
                  " CONVERGENCE TRACE MAY BE CLOSE ENOUGH TO FLAT TO BE ACCEPTABLE.\n\n"
                  " Hit return to continue ..."));
  EXPECT_FALSE(Has(report, "OKAY, ADDING"));
  EXPECT_TRUE(Has(report, "\n FINAL ITERATION WITH CONVERGENCE (<0.0000 CHANGE):"));

  // Both chronologies end with the spread of the first call's standard
  // chronology and level 1 over the years after the thin start.
  std::vector<double> org, std_crn, ssf;
  for (int k = run.state.NLEAD6 + 1; k <= 200; ++k) {
    org.push_back(static_cast<double>(run.state.STDORG[static_cast<std::size_t>(k - 1)]));
    std_crn.push_back(static_cast<double>(run.store->STDCHR.get(k, 1)));
    ssf.push_back(static_cast<double>(run.store->SSFCHR.get(k, 1)));
  }
  EXPECT_NEAR(Mean(std_crn), 1.0, 1e-5);
  EXPECT_NEAR(Mean(ssf), 1.0, 1e-5);
  EXPECT_NEAR(Sd(std_crn), Sd(org), 1e-5);
  EXPECT_NEAR(Sd(ssf), Sd(org), 1e-5);
}

// The series of a decade ring-width file after its title line: each ID
// with its values (thousandths).
std::map<std::string, std::vector<int>> SeriesOfFile(const std::string& text) {
  std::map<std::string, std::vector<int>> out;
  for (const test_support::WrittenSeries& s : test_support::ParseDecade(text, 1)) {
    out[std::string(common::TrimRight(s.id))] = s.values;
  }
  return out;
}

TEST(Restarts, ACallThatAsksForARestartLeavesItsLastIterationInTheSignalFreeFiles) {
  // The next call's questions and plots come while these files stand as
  // the restarted call left them: every series, whole, of its last
  // iteration (with the mean line, a flat curve at each series' level).
  EngineSession run("synth12.rwl");
  NeverConverges(run);
  ASSERT_EQ(run.Call(), EngineOutcome::kRestart);
  const int NS = run.store->NS;
  for (const char* suffix : {"_SSF_RAW_Data.txt", "_SSF_RAW_Curves.txt", "_SSF_RAW_Ratios.txt"}) {
    const std::map<std::string, std::vector<int>> series = SeriesOfFile(run.File(suffix));
    ASSERT_EQ(static_cast<int>(series.size()), NS) << suffix;
    for (int j = 1; j <= NS; ++j) {
      const std::string id(common::TrimRight(run.store->SERID[static_cast<std::size_t>(j)]));
      ASSERT_EQ(series.count(id), 1u) << suffix << " " << id;
      const std::vector<int>& v = series.at(id);
      EXPECT_EQ(static_cast<int>(v.size()), run.store->IYTAB.ILY(j) - run.store->IYTAB.IFY(j) + 1) << suffix << id;
      if (std::string(suffix) == "_SSF_RAW_Curves.txt") {
        EXPECT_TRUE(std::all_of(v.begin(), v.end(), [&](int x) { return x == v.front(); })) << id;
        EXPECT_GT(v.front(), 0) << id;
      }
    }
  }
}

TEST(Restarts, BatchWordingOfTheRiseAndTheAdvice) {
  EngineSession run("synth12.rwl", PromptConsole(), common::ProgramVariant::kBatch);
  NeverConverges(run);
  while (run.Call() == EngineOutcome::kRestart) {
  }
  EXPECT_EQ(Count(run.console.transcript(), "\n WARNING: Convergence tests are not monotonic decreasing, Iter:"), 11);
  EXPECT_EQ(Count(run.Report(), "\n WARNING: CONVERGENCE TESTS ARE NOT MONOTONIC DECREASING, ITER:"), 11);
  EXPECT_TRUE(Has(run.console.transcript(),
                  "\n Okay, adding a constant to the data usually results in convergence\n"
                  " eventually when using flexible data-adaptive curve fits like the\n"
                  " spline or friedman smoother. but not this time. Even so, the final\n"
                  " convergence trace may be close enough to flat to be acceptable.\n"));
}

TEST(SignalFreeIteration, TheHundredthIterationEndsTheLoop) {
  EngineSession run("synth12.rwl");
  run.options.NOPT = 3;
  run.options.MEANMD = common::MeanMethod::kArithmetic;
  run.options.IRBWIN = 0;
  run.options.TARNYN = run.options.MADJ = run.options.MEDCNV = 'n';
  run.options.CONVTL = 1e-9f;
  ASSERT_EQ(run.Call(), EngineOutcome::kFinished);
  EXPECT_EQ(run.store->ITER, 100);
  EXPECT_EQ(run.restart.KRETRY, 0);
  const std::string text =
      "\n\n Maximum iterations used without converging (<0.0000 change): 100\n\n"
      " If you are not satisfied, try a simpler (more monotonic) curve fit like a negative\n"
      " exponential curve, or if you were computing ratios, try computing power transformed\n"
      " residuals instead with the same curvefit option that did not converge. Often works.\n";
  EXPECT_TRUE(Has(run.console.transcript(), text));
  EXPECT_TRUE(Has(run.Report(), common::Upper(text)));
  EXPECT_EQ(run.plotter.Count("Iteration Convergence Statistics, Iter =100"), 1);
  EXPECT_EQ(run.plotter.Count("Signal Free Chronology Iterations: 30-Yr Splines"), 1);
}

// No value that is not a number reaches a file, the report or the
// chronologies, whatever the data.
void ExpectAllFinite(EngineSession& run) {
  for (const auto& entry : std::filesystem::directory_iterator(run.dir.path())) {
    std::string text = run.dir.Read(entry.path().filename().string());
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_FALSE(Has(text, "nan") || Has(text, "inf")) << entry.path();
  }
  for (int k = 1; k <= 200; ++k) {
    for (common::Block* b : {&run.store->STDCHR, &run.store->SSFCHR, &run.store->STBCHR}) {
      for (int c = 1; c <= 2; ++c) ASSERT_TRUE(std::isfinite(b->get(k, c))) << k;
    }
  }
}

TEST(SignalFreeIteration, DegenerateSeriesStayFinite) {
  // Every series constant: indices without spread, a chronology without
  // spread, no correlations; on the first call and on a retry, which
  // rescales the spread of the indices and of the chronologies.
  {
    EngineSession run("synth12.rwl");
    for (int i = 1; i <= run.store->NS; ++i) {
      for (int k = 1; k <= 200; ++k) run.store->SERWRK.at(k, i) = 1.0f;
    }
    run.options.NOPT = 6;
    for (int k = 0; k <= 1; ++k) {
      run.restart.KRETRY = k;
      ASSERT_EQ(run.Call(), EngineOutcome::kFinished);
    }
    ExpectAllFinite(run);
  }
  // A series of zero widths: its signal-free mean is 0.
  {
    EngineSession run("synth12.rwl");
    for (int k = 1; k <= 200; ++k) run.store->SERWRK.at(k, 3) = 0.0f;
    run.options.NOPT = 8;
    ASSERT_EQ(run.Call(), EngineOutcome::kFinished);
    ExpectAllFinite(run);
  }
  // One series alone: every year rests on it.
  {
    EngineSession run("synth12.rwl");
    run.store->NS = 1;
    run.store->IYTAB.IFY(2) = 1801;
    run.store->IYTAB.ILY(2) = 2000;
    run.options.NOPT = 8;
    for (int k = 0; k <= 1; ++k) {
      run.restart.KRETRY = k;
      ASSERT_EQ(run.Call(), EngineOutcome::kFinished);
    }
    EXPECT_EQ(run.state.NLEAD1, 200);
    ExpectAllFinite(run);
  }
}

}  // namespace
}  // namespace engine::testing
