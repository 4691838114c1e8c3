// The engine's standard pass and standard chronology, run in-process on
// prepared storage, against independent computations.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "common/text.h"
#include "engine_fixture.h"
#include "support/decade_files.h"

namespace engine::testing {
namespace {

using test_support::ParseDecade;
using Record = test_support::WrittenSeries;

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

// The decade writer keeps 999 for the end of a series in hundredths and
// writes 1000 instead.
int Written(double x) {
  const int v = static_cast<int>(std::lround(1000.0 * x));
  return v == 999 ? 1000 : v;
}

// Least-squares line through (t, y(t)), t = 1..n, in double precision.
std::vector<double> Line(const std::vector<double>& y) {
  const double n = static_cast<double>(y.size());
  double tm = (n + 1.0) / 2.0, ym = Mean(y), stt = 0.0, sty = 0.0;
  for (std::size_t i = 0; i < y.size(); ++i) {
    const double t = static_cast<double>(i + 1) - tm;
    stt += t * t;
    sty += t * (y[i] - ym);
  }
  std::vector<double> line(y.size());
  for (std::size_t i = 0; i < y.size(); ++i) line[i] = ym + sty / stt * (static_cast<double>(i + 1) - tm);
  return line;
}

std::vector<double> Measurements(const Record& r) {
  std::vector<double> x;
  for (int v : r.values) x.push_back(v / 1000.0);
  return x;
}

TEST(StandardPass, StraightLineFilesAgainstIndependentFits) {
  EngineSession run("synth12.rwl");
  run.options.NOPT = 3;
  run.options.MEANMD = common::MeanMethod::kArithmetic;
  run.options.IRBWIN = 0;
  // Series 12 falls steeply, so its line ends below the curve floor.
  std::vector<Record> input = ParseDecade(ReadTestData("synth12.rwl"), 0);
  ASSERT_EQ(input.size(), 12u);
  for (std::size_t k = 0; k < input[11].values.size(); ++k) {
    input[11].values[k] = static_cast<int>(std::lround(1000.0 * (3.0 * std::exp(-0.08 * (k + 1.0)) + 0.01)));
    run.store->SERWRK.at(static_cast<int>(k) + 1, 12) = static_cast<float>(input[11].values[k]) / 1000.0f;
  }
  ASSERT_EQ(run.Call(), EngineOutcome::kFinished);

  const std::string title = common::Fixed("Test data set synth12.rwl", 100);
  const std::string names[3] = {"_STD_RAW_Data.txt", "_STD_RAW_Curves.txt", "_STD_RAW_Ratios.txt"};
  const std::string labels[3] = {"stdraw", "stdcrv", "stdind"};
  std::vector<Record> files[3];
  for (int f = 0; f < 3; ++f) {
    const std::string text = run.File(names[f]);
    EXPECT_EQ(FirstLine(text), title) << names[f];
    files[f] = ParseDecade(text, 1);
    ASSERT_EQ(files[f].size(), 12u) << names[f];
  }

  int floored = 0;
  for (std::size_t s = 0; s < 12; ++s) {
    const Record& in = input[s];
    const std::vector<double> x = Measurements(in);
    std::vector<double> line = Line(x);
    for (double& c : line) {
      if (c < 0.02) ++floored;
      c = std::max(c, 0.02);
    }
    for (int f = 0; f < 3; ++f) {
      const Record& out = files[f][s];
      EXPECT_EQ(out.id, in.id);
      EXPECT_EQ(out.first, in.first);
      ASSERT_EQ(out.values.size(), x.size());
      for (const std::string& l : out.labels) EXPECT_EQ(l, labels[f]) << in.id;
      EXPECT_FALSE(out.labels.empty());
    }
    for (std::size_t k = 0; k < x.size(); ++k) {
      EXPECT_EQ(files[0][s].values[k], in.values[k] == 999 ? 1000 : in.values[k]);
      EXPECT_NEAR(files[1][s].values[k], Written(line[k]), 1) << in.id << " ring " << k + 1;
      EXPECT_NEAR(files[2][s].values[k], Written(x[k] / line[k]), 1) << in.id << " ring " << k + 1;
    }
  }
  EXPECT_GT(floored, 0) << "no line of the set falls below the floor";
}

TEST(StandardPass, RegionalCurveAtEachSeriesBiologicalAge) {
  // gp.rwl with its pith offsets: ring k of series i has the age
  // IPITH(i) + k. The regional curve is the mean of all rings of each age;
  // every series is detrended by its fit at the series' ages, unfloored.
  EngineSession run("gp.rwl");
  std::istringstream offsets(ReadTestData("gp_pith_offsets.txt"));
  const std::vector<Record> input = ParseDecade(ReadTestData("gp.rwl"), 0);
  ASSERT_EQ(input.size(), 58u);
  for (int i = 1; i <= 58; ++i) offsets >> run.store->IPITH[static_cast<std::size_t>(i)];
  run.options.RCSFLG = 1;
  run.options.PITHFL = 1;
  run.options.NOPT = -2;
  run.options.SPLSTF = 10;
  run.options.IRBWIN = 0;
  ASSERT_EQ(run.Call(), EngineOutcome::kFinished);

  int smallest = 1 << 30;
  std::vector<double> sum(3000, 0.0);
  std::vector<int> count(3000, 0);
  for (int i = 1; i <= 58; ++i) {
    const int p = run.store->IPITH[static_cast<std::size_t>(i)];
    smallest = std::min(smallest, p);
    const Record& r = input[static_cast<std::size_t>(i - 1)];
    for (std::size_t k = 0; k < r.values.size(); ++k) {
      sum[static_cast<std::size_t>(p) + k] += r.values[k] / 1000.0;
      ++count[static_cast<std::size_t>(p) + k];
    }
  }
  EXPECT_EQ(run.state.RCOFF, smallest);
  for (int a = smallest + 1; a <= run.state.RCLEN; ++a) {
    const std::size_t i = static_cast<std::size_t>(a - 1);
    if (count[i] > 0) {
      EXPECT_NEAR(run.state.RcStore(a, 1, 1), sum[i] / count[i], 2e-6 * sum[i] / count[i]) << a;
    }
  }
  EXPECT_EQ(run.state.RcStore(smallest, 1, 1), -999.0f);

  const std::vector<Record> curves = ParseDecade(run.File("_STD_RAW_Curves.txt"), 1);
  const std::vector<Record> ratios = ParseDecade(run.File("_STD_RAW_Ratios.txt"), 1);
  ASSERT_EQ(curves.size(), 58u);
  for (int i = 1; i <= 58; ++i) {
    const int p = run.store->IPITH[static_cast<std::size_t>(i)];
    const Record& r = input[static_cast<std::size_t>(i - 1)];
    for (std::size_t k = 0; k < r.values.size(); ++k) {
      const double fit = run.state.RcStore(p + static_cast<int>(k) + 1, 2, 1);
      EXPECT_EQ(curves[static_cast<std::size_t>(i - 1)].values[k], Written(fit)) << i << " " << k;
      EXPECT_NEAR(ratios[static_cast<std::size_t>(i - 1)].values[k], Written(r.values[k] / 1000.0 / fit), 1);
    }
  }
}

TEST(StandardChronology, MeanLineGivesYearMeansOfScaledSeries) {
  // Option 6 with the arithmetic mean: the chronology as the mean routine
  // returns it is, each year, the mean of x / mean(x) over the series
  // present. The retry call that follows leaves the "_STD_" files as the
  // first call wrote them and shows none of the first call's plots.
  EngineSession run("synth12.rwl");
  run.options.NOPT = 6;
  run.options.MEANMD = common::MeanMethod::kArithmetic;
  run.options.IRBWIN = 51;
  run.options.ISTAB = 0;
  ASSERT_EQ(run.Call(), EngineOutcome::kFinished);

  const std::vector<Record> input = ParseDecade(ReadTestData("synth12.rwl"), 0);
  std::vector<double> sum(200, 0.0);
  std::vector<int> count(200, 0);
  for (const Record& r : input) {
    const std::vector<double> x = Measurements(r);
    const double m = Mean(x);
    for (std::size_t k = 0; k < x.size(); ++k) {
      const std::size_t row = static_cast<std::size_t>(r.first - 1801) + k;
      sum[row] += x[k] / m;
      ++count[row];
    }
  }
  for (int row = 1; row <= 200; ++row) {
    const std::size_t i = static_cast<std::size_t>(row - 1);
    EXPECT_NEAR(run.store->ORGCHR.get(row, 1), sum[i] / count[i], 2e-6) << 1800 + row;
    EXPECT_EQ(run.store->SSize[static_cast<std::size_t>(row)], count[i]);
  }
  EXPECT_EQ(run.options.NOPT, 6);

  const std::string names[] = {"_STD_RAW_Data.txt", "_STD_RAW_Curves.txt", "_STD_RAW_Ratios.txt", "_Std_RBAR.txt"};
  std::vector<std::string> before;
  for (const std::string& n : names) before.push_back(run.File(n));
  const char* first_call_plots[] = {
      "Mean Segment Length And Mean Tree Age", "Original Non-Variance Stabilized Standard Indices",
      "Standard Indices Running Average Correlations", "Original Vs. Running RBAR Stabilized Standard Indices"};
  EXPECT_EQ(run.plotter.Count(first_call_plots[2]), 2);  // RBAR and EPS
  std::vector<int> shown;
  for (const char* t : first_call_plots) shown.push_back(run.plotter.Count(t));

  run.restart.KRETRY = 1;
  ASSERT_EQ(run.Call(), EngineOutcome::kFinished);
  for (int f = 0; f < 3; ++f) EXPECT_EQ(run.File(names[f]), before[static_cast<std::size_t>(f)]) << names[f];
  for (std::size_t t = 0; t < shown.size(); ++t) EXPECT_EQ(run.plotter.Count(first_call_plots[t]), shown[t]);
  EXPECT_EQ(run.File(names[3]).substr(0, 40), before[3].substr(0, 40));  // the table is written again
}

TEST(StandardChronology, RunningRbarOfAMidYear) {
  // RBAR1 of 1900 is the window 1875-1925: the mean of the positive
  // Pearson correlations between the series covering all 51 years.
  // Option 6 indices are x / mean(x), which correlate as x does.
  EngineSession run("synth12.rwl");
  run.options.NOPT = 6;
  run.options.IRBWIN = 51;
  run.options.ISTAB = 0;
  ASSERT_EQ(run.Call(), EngineOutcome::kFinished);

  std::vector<std::vector<double>> windows;
  for (const Record& r : ParseDecade(ReadTestData("synth12.rwl"), 0)) {
    const int last = r.first + static_cast<int>(r.values.size()) - 1;
    if (r.first > 1875 || last < 1925) continue;
    std::vector<double> w;
    for (int y = 1875; y <= 1925; ++y) w.push_back(r.values[static_cast<std::size_t>(y - r.first)] / 1000.0);
    windows.push_back(w);
  }
  ASSERT_GE(windows.size(), 5u);
  double sum = 0.0;
  int n = 0;
  for (std::size_t i = 0; i < windows.size(); ++i) {
    for (std::size_t j = i + 1; j < windows.size(); ++j) {
      const double mi = Mean(windows[i]), mj = Mean(windows[j]);
      double sxy = 0.0, sxx = 0.0, syy = 0.0;
      for (std::size_t k = 0; k < 51; ++k) {
        sxy += (windows[i][k] - mi) * (windows[j][k] - mj);
        sxx += (windows[i][k] - mi) * (windows[i][k] - mi);
        syy += (windows[j][k] - mj) * (windows[j][k] - mj);
      }
      const double r = sxy / std::sqrt(sxx * syy);
      if (r > 0.0) {
        sum += r;
        ++n;
      }
    }
  }
  std::istringstream table(run.File("_Std_RBAR.txt"));
  std::string line;
  std::getline(table, line);
  EXPECT_EQ(line, " YEAR     NC   RBAR1    EPS1   NEFF1   RBAR2    EPS2   NEFF2");
  bool found = false;
  while (std::getline(table, line)) {
    if (std::stoi(line.substr(0, 5)) != 1900) continue;
    found = true;
    EXPECT_NEAR(std::stod(line.substr(12, 8)), sum / n, 0.0005);
  }
  EXPECT_TRUE(found);
}

}  // namespace
}  // namespace engine::testing
