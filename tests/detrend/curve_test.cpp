// Negative exponential curve: known parameters, an independent least-squares
// oracle and the failure sentinels.
#include "detrend/curve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace detrend {
namespace {

// Rounded to 4 decimals from 1.5 exp(-0.04 t) + 0.8 + N(0, 0.05) noise (R, set.seed(42)).
const std::vector<float> kNoisy = {
    2.3097f, 2.1564f, 2.1485f, 2.1099f, 2.0483f, 1.9746f, 2.0093f, 1.8845f, 1.9474f, 1.8023f, 1.8313f, 1.8425f,
    1.6223f, 1.6429f, 1.6166f, 1.6227f, 1.5457f, 1.3973f, 1.3795f, 1.5400f, 1.4322f, 1.3331f, 1.3892f, 1.4351f,
    1.4466f, 1.3087f, 1.2965f, 1.2013f, 1.2932f, 1.2198f, 1.2568f, 1.2523f, 1.2525f, 1.1545f, 1.1951f, 1.0695f,
    1.1022f, 1.0855f, 0.9945f, 1.1047f, 1.1013f, 1.0615f, 1.1065f, 1.0217f, 0.9795f, 1.0599f, 0.9883f, 1.0921f,
    0.9897f, 1.0358f, 1.0111f, 0.9482f, 1.0588f, 1.0051f, 0.9707f, 0.9735f, 0.9874f, 0.9519f, 0.7920f, 0.9503f};

std::vector<float> Exponential(int n, double a, double b, double k) {
  std::vector<float> y(static_cast<std::size_t>(n));
  for (int t = 1; t <= n; ++t) y[static_cast<std::size_t>(t - 1)] = static_cast<float>(a * std::exp(-b * t) + k);
  return y;
}

TEST(Curve, RecoversChosenParameters) {
  const std::vector<float> y = Exponential(100, 2.0, 0.05, 1.0);
  std::vector<float> curv(120);
  CurveParameters par{};
  par[2] = 5.0f;
  par[3] = 6.0f;
  ASSERT_EQ(curve(y, curv, par), CurveStatus::kFitted);
  EXPECT_NEAR(par[0], 2.0f, 2e-4);
  EXPECT_NEAR(par[1], 0.05f, 2e-6);
  EXPECT_NEAR(par[4], 1.0f, 2e-4);
  EXPECT_EQ(par[2], 5.0f);  // slope and unused slot left alone
  EXPECT_EQ(par[3], 6.0f);
  double sum = 0.0;
  for (float v : y) sum += double(v);
  EXPECT_FLOAT_EQ(par[6], static_cast<float>(sum));
  EXPECT_GE(par[5], 1.0f);
  EXPECT_LE(par[5], 34.0f);
  // The curve runs on past nfit.
  for (int t = 1; t <= 120; ++t) EXPECT_NEAR(curv[t - 1], 2.0 * std::exp(-0.05 * t) + 1.0, 2e-4) << t;
}

// Reference: R 4.2 nls(y ~ a*exp(-b*t)+k) gives a = 1.53040106, b = 0.0430704984,
// k = 0.81985484; optimize() of the profiled sum of squares over b agrees to 1e-7.
// exp(-b t) is held in single precision, so the sum of squares is flat to its
// rounding noise (4e-8 relative, R's profile) within about 5e-6 of that b.
TEST(Curve, MatchesNonlinearLeastSquares) {
  std::vector<float> curv(kNoisy.size());
  CurveParameters par{};
  ASSERT_EQ(curve(kNoisy, curv, par), CurveStatus::kFitted);
  EXPECT_NEAR(par[0], 1.53040106f, 2e-4);
  EXPECT_NEAR(par[1], 0.0430704984f, 1e-5);
  EXPECT_NEAR(par[4], 0.81985484f, 2e-4);
  EXPECT_NEAR(par[6], 81.3403f, 1e-3);
  for (int t = 1; t <= 60; ++t) {
    EXPECT_NEAR(curv[t - 1], 1.53040106 * std::exp(-0.0430704984 * t) + 0.81985484, 5e-5) << t;
  }
}

// The search path itself: tests/data/curve_reference.f90 (gfortran, written
// from the definition of the search) on the same 60 values ends in round 22
// with b = 0.043066251 and the a and k of its last (third) trial,
// a = 1.5304123, k = 0.8198179; curve 2.2857201 at t = 1, 0.93532330 at t = 60.
TEST(Curve, FollowsTheReferenceSearch) {
  std::vector<float> curv(kNoisy.size());
  CurveParameters par{};
  ASSERT_EQ(curve(kNoisy, curv, par), CurveStatus::kFitted);
  EXPECT_EQ(par[5], 22.0f);
  EXPECT_NEAR(par[0], 1.5304123f, 2e-7f);
  EXPECT_NEAR(par[1], 0.043066251f, 2e-9f);
  EXPECT_NEAR(par[4], 0.8198179f, 2e-7f);
  EXPECT_NEAR(curv[0], 2.2857201f, 2e-7f);
  EXPECT_NEAR(curv[59], 0.93532330f, 2e-7f);
}

// A curve shorter than the fitted span (n < nfit) gives the same fit.
TEST(Curve, CurveShorterThanFittedValues) {
  std::vector<float> full(kNoisy.size()), shorter(10);
  CurveParameters a{}, b{};
  ASSERT_EQ(curve(kNoisy, full, a), CurveStatus::kFitted);
  ASSERT_EQ(curve(kNoisy, shorter, b), CurveStatus::kFitted);
  EXPECT_EQ(a, b);
  for (std::size_t i = 0; i < shorter.size(); ++i) EXPECT_EQ(shorter[i], full[i]);
}

TEST(Curve, TwentyValuesFittedNineteenRefused) {
  std::vector<float> y = Exponential(20, 1.0, 0.1, 0.5);
  std::vector<float> curv(20, 3.0f);
  CurveParameters par{};
  EXPECT_EQ(curve(y, curv, par), CurveStatus::kFitted);
  EXPECT_NEAR(par[1], 0.1f, 1e-5);

  y.pop_back();
  std::fill(curv.begin(), curv.end(), 3.0f);
  par = {1, 2, 3, 4, 5, 6, 7};
  EXPECT_EQ(curve(y, curv, par), CurveStatus::kTooShort);
  EXPECT_EQ(curv[0], -999.0f);
  EXPECT_EQ(curv[1], 3.0f);
  EXPECT_EQ(par, (CurveParameters{1, -999.0f, 3, 4, 5, 6, 7}));
  EXPECT_EQ(CurveMessage(CurveStatus::kTooShort, 19), ">> sbr curve:  only 19 values, no exponential curve fit");
  EXPECT_EQ(CurveMessage(CurveStatus::kTooShort, 5), ">> sbr curve:  only  5 values, no exponential curve fit");
  EXPECT_EQ(CurveMessage(CurveStatus::kOverIterations, 50), ">> sbr curve: over 34 iterations");
  EXPECT_EQ(CurveMessage(CurveStatus::kOutOfRange, 50), "");
  EXPECT_EQ(CurveMessage(CurveStatus::kFitted, 50), "");
}

// A rising series: the start rate is 1e-8, the best fit has a <= 0 (an
// exponential rise), so the rate is set to 0 and the curve is flat a + k.
TEST(Curve, RisingSeriesGivesFlatCurve) {
  std::vector<float> y(40);
  for (std::size_t i = 0; i < y.size(); ++i) y[i] = 1.0f + 0.05f * static_cast<float>(i);
  std::vector<float> curv(40);
  CurveParameters par{};
  ASSERT_EQ(curve(y, curv, par), CurveStatus::kFitted);
  EXPECT_EQ(par[1], 0.0f);
  const float flat = par[0] + par[4];
  for (float v : curv) EXPECT_NEAR(v, flat, 1e-4f * std::fabs(flat));
}

// A start mean of 0 or below has no logarithm: the search starts at 1e-8
// and still finds the decay.
TEST(Curve, NonPositiveEndMeanStartsAtTinyRate) {
  const std::vector<float> y = Exponential(50, 3.0, 0.08, -0.2);  // last values below 0
  double m2 = 0.0;
  for (std::size_t i = 40; i < 50; ++i) m2 += double(y[i]);
  ASSERT_LT(m2, 0.0);
  std::vector<float> curv(50);
  CurveParameters par{};
  ASSERT_EQ(curve(y, curv, par), CurveStatus::kFitted);
  EXPECT_NEAR(par[1], 0.08f, 2e-6);
  EXPECT_NEAR(par[4], -0.2f, 1e-4);
}

// nfit = 1000 and a steep decay: the doubling search passes a trial rate with
// 1000 b > 112.8 before it settles, and the fit fails without a message.
TEST(Curve, ExponentLimitFailsLongSteepSeries) {
  const std::vector<float> y = Exponential(1000, 100.0, 0.3, 1.0);
  std::vector<float> curv(1000, 2.0f);
  CurveParameters par{};
  par[0] = 9.0f;
  EXPECT_EQ(curve(y, curv, par), CurveStatus::kOutOfRange);
  EXPECT_EQ(curv[0], -999.0f);
  EXPECT_EQ(par[1], -999.0f);
  EXPECT_EQ(par[0], 9.0f);
}

// The same decay over 150 values stays inside the limit: the widest trial,
// near 0.26 + 0.256, gives 150 x 0.52 = 78.
TEST(Curve, SteepDecayInsideTheLimitIsFitted) {
  const std::vector<float> y = Exponential(150, 100.0, 0.3, 1.0);
  std::vector<float> curv(150);
  CurveParameters par{};
  ASSERT_EQ(curve(y, curv, par), CurveStatus::kFitted);
  EXPECT_NEAR(par[1], 0.3f, 1e-5);
  EXPECT_NEAR(par[0], 100.0f, 1e-2);
  EXPECT_NEAR(par[4], 1.0f, 1e-4);
}

// A falling series with a level end: b > 0, a > 0, k near the end level, and
// the round count where the step fell to 5e-7.
TEST(Curve, FallingSeriesWithLevelEnd) {
  std::vector<float> y(80);
  for (std::size_t i = 0; i < y.size(); ++i) y[i] = i < 30 ? 3.0f - 0.07f * static_cast<float>(i) : 0.97f;
  std::vector<float> curv(80);
  CurveParameters par{};
  ASSERT_EQ(curve(y, curv, par), CurveStatus::kFitted);
  EXPECT_GT(par[1], 0.0f);
  EXPECT_GT(par[0], 0.0f);
  EXPECT_NEAR(par[4], 0.97f, 0.1f);
  EXPECT_EQ(par[5], std::floor(par[5]));
  EXPECT_LE(par[5], 34.0f);
}

// A non-finite value in the series gives non-finite a and k: a failed fit.
TEST(Curve, NonFiniteParametersFail) {
  std::vector<float> y = Exponential(30, 2.0, 0.05, 1.0);
  y[12] = std::numeric_limits<float>::infinity();
  std::vector<float> curv(30, 4.0f);
  CurveParameters par{};
  EXPECT_EQ(curve(y, curv, par), CurveStatus::kNotFinite);
  EXPECT_EQ(curv[0], -999.0f);
  EXPECT_EQ(par[1], -999.0f);
  EXPECT_EQ(CurveMessage(CurveStatus::kNotFinite, 30), "");
}

// k above 9999: the rate is set to 0 (flat curve a + k).
TEST(Curve, HugeAsymptoteZeroesRate) {
  const std::vector<float> y = Exponential(30, 5.0, 0.1, 20000.0);
  std::vector<float> curv(30);
  CurveParameters par{};
  ASSERT_EQ(curve(y, curv, par), CurveStatus::kFitted);
  EXPECT_EQ(par[1], 0.0f);
  EXPECT_GT(par[4], 9999.0f);
  EXPECT_FLOAT_EQ(curv[0], curv[29]);
}

}  // namespace
}  // namespace detrend
