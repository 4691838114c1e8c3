// Tests of the adaptive power transformation and its least-squares line.
#include "detrend/powtrn.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "common/storage.h"

namespace detrend {
namespace {

// Puts the series into columns 1.. of a matrix with years 1001.. .
struct DataSet {
  explicit DataSet(const std::vector<std::vector<float>>& series) : SERMAT(200, 10) {
    NS = static_cast<int>(series.size());
    for (int f = 1; f <= NS; ++f) {
      const auto& s = series[static_cast<std::size_t>(f - 1)];
      for (std::size_t k = 0; k < s.size(); ++k) SERMAT.at(static_cast<int>(k) + 1, f) = s[k];
      IYTAB.IFY(f) = 1001;
      IYTAB.ILY(f) = 1000 + static_cast<int>(s.size());
    }
  }
  float at(int row, int f) const { return SERMAT.get(row, f); }
  common::SeriesMatrix SERMAT;
  common::YearTable IYTAB;
  int NS = 0;
};

// The series of tests/data/oracle_powtrn.R.
const std::vector<float> kS1 = {1.20f, 0.85f, 1.60f, 2.10f, 0.00f, 1.45f, 2.80f, 3.10f, 1.90f, 2.40f, 0.95f, 1.75f};
const std::vector<float> kS2 = {0.40f, 0.55f, 0.38f, 0.90f, 1.30f, 0.70f, 1.10f, 0.52f, 0.61f, 1.45f};
const std::vector<float> kS3 = {0.80f, 1.10f, 0.95f, 1.60f, 2.30f, 1.70f, 2.90f, 2.20f, 1.30f, 1.85f, 0.70f, 1.05f};

TEST(Linreg, LeastSquaresLineMatchesR) {
  // stats::lm(y ~ x): intercept 0.594594595, slope 1.689189189.
  const std::vector<float> x = {1, 2, 3, 4, 6}, y = {2, 4, 5, 9, 10};
  const LinregResult r = linreg(x, y);
  EXPECT_NEAR(r.b, 1.689189189f, 1e-5f);
  EXPECT_NEAR(r.a, 0.594594595f, 1e-5f);
}

TEST(Linreg, NoSpreadInXGivesFlatLineAtMeanOfY) {
  const std::vector<float> x = {2, 2, 2}, y = {1, 2, 6};
  const LinregResult r = linreg(x, y);
  EXPECT_EQ(r.b, 0.0f);
  EXPECT_FLOAT_EQ(r.a, 3.0f);
}

TEST(Powtrn, MatchesRForLogarithmicIntermediateAndUnitPowers) {
  // Expected values: tests/data/oracle_powtrn.R.
  DataSet d({kS1, kS2, kS3});
  PowtrnScatter scatter;
  const float pmean = powtrn(d.SERMAT, d.IYTAB, d.NS, scatter);
  EXPECT_NEAR(pmean, 0.478895516f, 2e-5f);
  ASSERT_EQ(scatter.series.size(), 3u);
  EXPECT_NEAR(scatter.series[0].slope, -0.238232055f, 1e-5f);
  EXPECT_NEAR(scatter.series[0].intercept, -0.158943913f, 1e-5f);
  EXPECT_EQ(scatter.series[0].p, 1.0f);
  EXPECT_NEAR(scatter.series[1].slope, 0.961768577f, 1e-5f);
  EXPECT_EQ(scatter.series[1].p, 0.0f);
  EXPECT_NEAR(scatter.series[2].slope, 0.563313453f, 1e-5f);
  EXPECT_NEAR(scatter.series[2].p, 0.436686547f, 1e-5f);

  const float out1[] = {1.19385113f, 0.842718447f, 1.59514563f, 2.09676375f, 0.0f,        1.44466019f,
                        2.79902913f, 3.1f,         1.8961165f,  2.39773463f, 0.943042071f, 1.74563107f};
  const float out2[] = {0.42098415f, 0.675433694f, 0.38f,        1.06893016f, 1.36274805f,
                        0.868125974f, 1.2292692f,  0.630617327f, 0.758164327f, 1.45f};
  const float out3[] = {0.85356247f, 1.25804152f, 1.06483847f, 1.81188639f, 2.44199964f, 1.9103257f,
                        2.9f,        2.35934562f, 1.49381319f, 2.05205185f, 0.7f,        1.19538976f};
  for (int k = 0; k < 12; ++k) EXPECT_NEAR(d.at(k + 1, 1), out1[k], 2e-6f) << "series 1 row " << k + 1;
  for (int k = 0; k < 10; ++k) EXPECT_NEAR(d.at(k + 1, 2), out2[k], 2e-6f) << "series 2 row " << k + 1;
  for (int k = 0; k < 12; ++k) EXPECT_NEAR(d.at(k + 1, 3), out3[k], 2e-6f) << "series 3 row " << k + 1;
  // Cells beyond each series are not touched.
  EXPECT_EQ(d.at(11, 2), common::kMissing);

  EXPECT_NEAR(scatter.rho, 0.490344215f, 1e-5f);
  EXPECT_NEAR(scatter.a0, -0.787701213f, 1e-5f);
  EXPECT_NEAR(scatter.b0, 0.633275639f, 1e-5f);
}

TEST(Powtrn, ScatterKeepsEachSeriesPointsInItsOwnSlice) {
  // Series 1 has a zero level at row 5 and so 10 points; row 6 (spread
  // 1.45 from 0) still counts.
  DataSet d({kS1, kS2});
  PowtrnScatter scatter;
  powtrn(d.SERMAT, d.IYTAB, d.NS, scatter);
  EXPECT_EQ(scatter.series[0].first, 0);
  EXPECT_EQ(scatter.series[0].np, 10);
  EXPECT_EQ(scatter.series[1].first, 10);
  EXPECT_EQ(scatter.series[1].np, 9);
  ASSERT_EQ(scatter.loglevel.size(), 19u);
  EXPECT_FLOAT_EQ(scatter.loglevel[0], std::log(0.85f));
  EXPECT_FLOAT_EQ(scatter.logspread[0], std::log(0.35f));
  EXPECT_FLOAT_EQ(scatter.loglevel[10], std::log(0.55f));
}

TEST(Powtrn, ScatterByColumnPutsEachSeriesInItsOwnColumn) {
  DataSet d({kS1, kS2});
  PowtrnScatter scatter;
  powtrn(d.SERMAT, d.IYTAB, d.NS, scatter);
  const ScatterColumns c = ScatterByColumn(scatter);
  ASSERT_EQ(c.ld, 10);
  ASSERT_EQ(c.NP, (std::vector<int>{10, 9}));
  EXPECT_EQ(c.X[0], scatter.loglevel[0]);
  EXPECT_EQ(c.X[10], scatter.loglevel[10]);  // series 2, point 1
  EXPECT_EQ(c.Y[18], scatter.logspread[18]);  // series 2, point 9
  EXPECT_EQ(c.X[19], 0.0f);                   // beyond series 2's points
  EXPECT_EQ(c.B[1], scatter.series[1].slope);
  EXPECT_EQ(c.A[0], scatter.series[0].intercept);
}

TEST(Powtrn, EachSeriesKeepsItsMinimumAndMaximum) {
  DataSet d({kS1, kS2, kS3});
  PowtrnScatter scatter;
  powtrn(d.SERMAT, d.IYTAB, d.NS, scatter);
  const std::vector<float>* in[] = {&kS1, &kS2, &kS3};
  for (int f = 1; f <= 3; ++f) {
    const auto& s = *in[f - 1];
    std::vector<float> out;
    for (std::size_t k = 0; k < s.size(); ++k) out.push_back(d.at(static_cast<int>(k) + 1, f));
    EXPECT_FLOAT_EQ(*std::min_element(out.begin(), out.end()), *std::min_element(s.begin(), s.end()));
    EXPECT_NEAR(*std::max_element(out.begin(), out.end()), *std::max_element(s.begin(), s.end()), 1e-6f);
  }
}

TEST(Powtrn, SpreadProportionalToLevelGivesTheLogarithm) {
  // y(i) = 1.1^i: spread = level (1 - 1/1.1), slope 1, p = 0; ln y is linear
  // in i, so the series maps onto a straight line from its min to its max.
  std::vector<float> y(20);
  for (int i = 0; i < 20; ++i) y[i] = std::pow(1.1f, static_cast<float>(i + 1));
  DataSet d({y});
  PowtrnScatter scatter;
  const float pmean = powtrn(d.SERMAT, d.IYTAB, d.NS, scatter);
  EXPECT_EQ(pmean, 0.0f);
  for (int i = 0; i < 20; ++i) {
    const float expected = y[0] + (y[19] - y[0]) * static_cast<float>(i) / 19.0f;
    EXPECT_NEAR(d.at(i + 1, 1), expected, 2e-4f) << i;
  }
}

TEST(Powtrn, SpreadIndependentOfLevelLeavesTheSeriesUnchanged) {
  // Spreads all 1: R squared 0, p = 1 and the values (a zero among them)
  // stay exactly as they were.
  const std::vector<float> y = {0.0f, 1.0f, 2.0f, 1.0f, 2.0f, 1.0f, 0.0f, 1.0f};
  DataSet d({y});
  PowtrnScatter scatter;
  EXPECT_EQ(powtrn(d.SERMAT, d.IYTAB, d.NS, scatter), 1.0f);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(d.at(i + 1, 1), y[i]);
  EXPECT_FALSE(scatter.series[0].transformed);
}

TEST(Powtrn, TooFewPointsCountAsPowerOneAndDegeneratePooledFitIsZero) {
  // Series 1 constant (no spread), series 2 with one usable point: both p = 1
  // and unchanged; no pooled regression exists; nothing becomes NaN.
  const std::vector<float> a = {0.5f, 0.5f, 0.5f, 0.5f};
  const std::vector<float> b = {0.0f, 0.0f, 2.0f, 0.0f};
  DataSet d({a, b});
  PowtrnScatter scatter;
  EXPECT_EQ(powtrn(d.SERMAT, d.IYTAB, d.NS, scatter), 1.0f);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(d.at(i + 1, 1), a[i]);
    EXPECT_EQ(d.at(i + 1, 2), b[i]);
  }
  EXPECT_EQ(scatter.series[1].np, 1);
  EXPECT_EQ(scatter.rho, 0.0f);
  EXPECT_EQ(scatter.a0, 0.0f);
  EXPECT_EQ(scatter.b0, 0.0f);
}

}  // namespace
}  // namespace detrend
