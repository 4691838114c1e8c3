#include "detrend/sstats.h"

#include <cmath>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

namespace {

using detrend::sstats;
constexpr float kNone = -99.0f;

TEST(Sstats, EmptyVectorHasNoStatistics) {
  const auto s = sstats({});
  for (float v : {s.mean, s.mad, s.sd, s.var, s.skew, s.kurt, s.msens, s.r1}) EXPECT_EQ(v, kNone);
}

TEST(Sstats, OneValueGivesOnlyTheMean) {
  const std::vector<float> x{4.25f};
  const auto s = sstats(x);
  EXPECT_EQ(s.mean, 4.25f);
  for (float v : {s.mad, s.sd, s.var, s.skew, s.kurt, s.msens, s.r1}) EXPECT_EQ(v, kNone);
}

// Hand values: x = 2, 4; mean 3, d = -1, 1; var 2; skewness and kurtosis
// without their small-sample factors: 0 and 2 / (4 * 2) = 0.25;
// msens = 2 / 3; r1 = (-1 * 1) / 2 with sp = 1.
TEST(Sstats, TwoValuesUseUnitFactors) {
  const std::vector<float> x{2.0f, 4.0f};
  const auto s = sstats(x);
  EXPECT_FLOAT_EQ(s.mean, 3.0f);
  EXPECT_FLOAT_EQ(s.mad, 1.0f);
  EXPECT_FLOAT_EQ(s.var, 2.0f);
  EXPECT_FLOAT_EQ(s.sd, std::sqrt(2.0f));
  EXPECT_FLOAT_EQ(s.skew, 0.0f);
  EXPECT_FLOAT_EQ(s.kurt, 0.25f);
  EXPECT_FLOAT_EQ(s.msens, 2.0f / 3.0f);
  EXPECT_FLOAT_EQ(s.r1, -0.5f);
}

// Hand values: x = 1, 2, 6; mean 3, d = -2, -1, 3; sum d^2 = 14, var 7;
// sum d^3 = 18: skew = 18 / (7^1.5 * 3) * sqrt(6) / 1 * (1 + 8.5/3);
// kurtosis factor 1 (n < 4): 98 / (49 * 3); msens = (1/1.5 + 4/4) / 2;
// r1 = (2 - 3) / (14/3) / 3.
TEST(Sstats, ThreeValuesByHand) {
  const std::vector<float> x{1.0f, 2.0f, 6.0f};
  const auto s = sstats(x);
  EXPECT_FLOAT_EQ(s.mean, 3.0f);
  EXPECT_FLOAT_EQ(s.mad, 2.0f);
  EXPECT_FLOAT_EQ(s.var, 7.0f);
  EXPECT_NEAR(s.skew, 3.0419803f, 4e-6f);
  EXPECT_NEAR(s.kurt, 2.0f / 3.0f, 1e-6f);
  EXPECT_NEAR(s.msens, 0.8333333f, 1e-6f);
  EXPECT_NEAR(s.r1, -1.0f / 14.0f, 1e-6f);
}

// Hand values: x = 1..5; mean 3, mad 1.2, var 2.5; symmetric so skew 0;
// kurt = 34 / (6.25 * 5) * 25 * 6 / (4 * 3 * 2) = 6.8;
// msens = (1/1.5 + 1/2.5 + 1/3.5 + 1/4.5) / 4; r1 = 4 / 2 / 5.
TEST(Sstats, FiveValuesByHand) {
  const std::vector<float> x{1.0f, 2.0f, 3.0f, 4.0f, 5.0f};
  const auto s = sstats(x);
  EXPECT_FLOAT_EQ(s.mean, 3.0f);
  EXPECT_FLOAT_EQ(s.mad, 1.2f);
  EXPECT_FLOAT_EQ(s.var, 2.5f);
  EXPECT_NEAR(s.skew, 0.0f, 1e-6f);
  EXPECT_NEAR(s.kurt, 6.8f, 2e-6f);
  EXPECT_NEAR(s.msens, (1 / 1.5f + 1 / 2.5f + 1 / 3.5f + 1 / 4.5f) / 4.0f, 1e-6f);
  EXPECT_NEAR(s.r1, 0.4f, 1e-6f);
}

TEST(Sstats, ConstantVectorHasZeroSpreadAndNoShapeStatistics) {
  const std::vector<float> x{5.0f, 5.0f, 5.0f, 5.0f};
  const auto s = sstats(x);
  EXPECT_EQ(s.mean, 5.0f);
  EXPECT_EQ(s.mad, 0.0f);
  EXPECT_EQ(s.var, 0.0f);
  EXPECT_EQ(s.msens, 0.0f);
  EXPECT_EQ(s.sd, kNone);
  EXPECT_EQ(s.skew, kNone);
  EXPECT_EQ(s.kurt, kNone);
  EXPECT_EQ(s.r1, kNone);
}

// Pairs with an average not above 0 are left out of the sum but counted in
// the divisor: of (-3,-1), (-1,-2), (-2,2), (2,4) only the last counts,
// 2 / 3 over n - 1 = 4.
TEST(Sstats, MeanSensitivitySkipsNonPositivePairsButCountsThem) {
  const std::vector<float> x{-3.0f, -1.0f, -2.0f, 2.0f, 4.0f};
  const auto s = sstats(x);
  EXPECT_NEAR(s.msens, (2.0f / 3.0f) / 4.0f, 1e-6f);
}

// Reference: R 4.x, x <- 1 + 0.5*sin(i) + 0.01*i, i = 1..30: mean(x),
// mean(abs(x - mean(x))), sd(x), var(x), the skewness and kurtosis formulas
// written out in R, sum(abs(diff(x)) / ((x[-1] + x[-n]) / 2)) / (n - 1), and
// acf(x, lag.max = 1)$acf[2] for r1.
TEST(Sstats, MatchesROnThirtyValues) {
  std::vector<float> x(30);
  for (int i = 1; i <= 30; ++i) x[i - 1] = 1.0f + 0.5f * std::sin(static_cast<float>(i)) + 0.01f * static_cast<float>(i);
  const auto s = sstats(x);
  EXPECT_NEAR(s.mean, 1.1596675f, 2e-6f);
  EXPECT_NEAR(s.mad, 0.32163497f, 2e-6f);
  EXPECT_NEAR(s.sd, 0.36500553f, 2e-6f);
  EXPECT_NEAR(s.var, 0.13322904f, 2e-6f);
  EXPECT_NEAR(s.skew, -0.02841296f, 2e-5f);
  EXPECT_NEAR(s.kurt, 1.9428688f, 2e-5f);
  EXPECT_NEAR(s.msens, 0.2722624f, 2e-6f);
  EXPECT_NEAR(s.r1, 0.55572047f, 2e-5f);
}

// The caller's values come back bit for bit (no standardise-and-restore).
TEST(Sstats, LeavesTheVectorBitIdentical) {
  std::vector<float> x(101);
  for (int i = 0; i < 101; ++i) x[i] = 0.1f + 0.37f * std::sin(0.9f * static_cast<float>(i)) + 1e-3f * static_cast<float>(i);
  const std::vector<float> before = x;
  const auto s = sstats(x);
  EXPECT_NE(s.r1, kNone);
  EXPECT_EQ(std::memcmp(x.data(), before.data(), x.size() * sizeof(float)), 0);
}

}  // namespace
