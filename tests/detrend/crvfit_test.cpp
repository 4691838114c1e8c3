// Per-series curve fit by option code: model choice, fallbacks and the
// values each model leaves in the curve.
#include "detrend/crvfit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "detrend/supsmu.h"

namespace detrend {
namespace {

std::vector<float> Exponential(int n, double a, double b, double k) {
  std::vector<float> y(static_cast<std::size_t>(n));
  for (int t = 1; t <= n; ++t) y[static_cast<std::size_t>(t - 1)] = static_cast<float>(a * std::exp(-b * t) + k);
  return y;
}

std::vector<float> Wiggly(std::size_t n, float trend) {
  std::vector<float> y(n);
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i + 1);
    y[i] = static_cast<float>(2.0 + double(trend) * t + 0.5 * std::sin(t / 4.0) + 0.2 * std::cos(2.3 * t));
  }
  return y;
}

// Least-squares line over t = 1..nfit, by hand formulas in double.
std::vector<double> HandLine(const std::vector<float>& y, std::size_t nfit, std::size_t n) {
  double st = 0, stt = 0, sy = 0, sty = 0;
  for (std::size_t i = 0; i < nfit; ++i) {
    const double t = double(i + 1);
    st += t;
    stt += t * t;
    sy += double(y[i]);
    sty += t * double(y[i]);
  }
  const double d = double(nfit);
  const double slope = (d * sty - st * sy) / (d * stt - st * st);
  const double icpt = (sy - slope * st) / d;
  std::vector<double> c(n);
  for (std::size_t i = 0; i < n; ++i) c[i] = slope * double(i + 1) + icpt;
  return c;
}

struct Fit {
  int nopt;
  std::vector<float> curv;
  CrvfitResult result;
};

Fit FitCurve(const std::vector<float>& y, int nfit, int nopt, CrvfitWorkspace& work, float fill = 77.0f,
        float alpha = 0.0f, int splstf = 50, int splend = 0) {
  Fit f{nopt, std::vector<float>(y.size(), fill), {}};
  f.result = crvfit(y, f.curv, nfit, f.nopt, alpha, splstf, splend, work);
  return f;
}

TEST(Lintrd, HandLineAndEndsBeyondNfit) {
  const std::vector<float> y = {3.0f, 1.0f, 4.0f, 1.0f, 5.0f};
  std::vector<float> curv(7);
  // St = 15, Stt = 55, Sy = 14, Sty = 3 + 2 + 12 + 4 + 25 = 46:
  // slope = (46 - 14*15/5) / (55 - 45) = 0.4, intercept = 14/5 - 3 * 0.4 = 1.6.
  const LineFit line = lintrd(y, curv);
  EXPECT_NEAR(line.slope, 0.4f, 1e-6f);
  EXPECT_NEAR(line.intercept, 1.6f, 1e-6f);
  for (int t = 1; t <= 7; ++t) EXPECT_NEAR(curv[t - 1], 0.4f * float(t) + 1.6f, 1e-6f);
}

TEST(Xmean, SinglePrecisionMeanEverywhere) {
  const std::vector<float> y = {1.0f, 2.0f, 4.0f};
  std::vector<float> curv(5, 0.0f);
  EXPECT_TRUE(xmean(y, curv));
  EXPECT_EQ(curv, std::vector<float>(5, 7.0f / 3.0f));
  std::vector<float> untouched(3, 9.0f);
  EXPECT_FALSE(xmean({}, untouched));
  EXPECT_EQ(untouched, std::vector<float>(3, 9.0f));
  EXPECT_EQ(XmeanMessageLines(common::ProgramVariant::kInteractive), (std::vector<std::string>{"", "error in xmean: n=0"}));
  EXPECT_EQ(XmeanMessageLines(common::ProgramVariant::kBatch), (std::vector<std::string>{"", "Error in xmean: n=0"}));
}

TEST(Yrseq, ConsecutiveFromStart) {
  std::vector<int> iv(4, 0);
  yrseq(4, 50, iv);
  EXPECT_EQ(iv, (std::vector<int>{50, 51, 52, 53}));
  std::vector<int> one(2, 0);
  yrseq(0, 7, one);
  EXPECT_EQ(one, (std::vector<int>{7, 0}));
}

TEST(PercentStiffness, TruncatedShareAtLeastOne) {
  EXPECT_EQ(PercentStiffness(-25, 130), 32);  // 32.5 truncated
  EXPECT_EQ(PercentStiffness(-67, 500), 335);
  EXPECT_EQ(PercentStiffness(-10, 5), 1);     // 0.5 -> 0 -> 1
}

TEST(Crvfit, GoodExponentialKeepsCodeOne) {
  CrvfitWorkspace work;
  const std::vector<float> y = Exponential(80, 1.5, 0.03, 0.6);
  const Fit f = FitCurve(y, 80, 1, work);
  EXPECT_EQ(f.nopt, 1);
  EXPECT_TRUE(f.result.exponential_tried);
  EXPECT_EQ(f.result.exponential, CurveStatus::kFitted);
  EXPECT_TRUE(CrvfitMessageLines(f.result, 80, common::ProgramVariant::kInteractive).empty());
  EXPECT_NEAR(work.CRVPAR[1], 0.03f, 1e-5f);
  EXPECT_NEAR(work.CRVPAR[4], 0.6f, 1e-4f);
  EXPECT_EQ(work.CRVPAR[2], 0.0f);
  for (std::size_t i = 0; i < y.size(); ++i) EXPECT_NEAR(f.curv[i], y[i], 1e-4f);
}

TEST(Crvfit, NineteenValuesGiveLineCodeThree) {
  CrvfitWorkspace work;
  const std::vector<float> y = Exponential(19, 1.5, 0.1, 0.6);
  const Fit f = FitCurve(y, 19, 1, work);
  EXPECT_EQ(f.nopt, 3);
  EXPECT_EQ(f.result.exponential, CurveStatus::kTooShort);
  EXPECT_EQ(CrvfitMessageLines(f.result, 19, common::ProgramVariant::kInteractive),
            std::vector<std::string>{">> sbr curve:  only 19 values, no exponential curve fit"});
  const std::vector<double> line = HandLine(y, 19, 19);
  for (std::size_t i = 0; i < 19; ++i) EXPECT_NEAR(f.curv[i], line[i], 1e-5);
  EXPECT_NEAR(work.CRVPAR[2], (line[1] - line[0]), 1e-6);
  EXPECT_EQ(work.CRVPAR[1], 0.0f);  // zeroed before the line
}

TEST(Crvfit, NegativeAsymptoteFallsBackToLine) {
  CrvfitWorkspace work;
  const std::vector<float> y = Exponential(60, 2.0, 0.05, -0.5);
  const Fit f = FitCurve(y, 60, 1, work);
  EXPECT_EQ(f.nopt, 3);
  const std::vector<double> line = HandLine(y, 60, 60);
  for (std::size_t i = 0; i < 60; ++i) EXPECT_NEAR(f.curv[i], line[i], 1e-5);
}

TEST(Crvfit, ZeroRateFallsBackToLine) {
  // A rising series: the exponential ends with a <= 0 and rate 0.
  CrvfitWorkspace work;
  std::vector<float> y(40);
  for (std::size_t i = 0; i < 40; ++i) y[i] = 1.0f + 0.01f * static_cast<float>(i * i) / 40.0f;
  const Fit f = FitCurve(y, 40, 1, work);
  EXPECT_EQ(f.nopt, 3);
  EXPECT_GT(work.CRVPAR[2], 0.0f);
}

TEST(Crvfit, CodeTwoFailingOnRisingLineGivesMean) {
  CrvfitWorkspace work;
  const std::vector<float> y = {1.0f, 1.2f, 1.1f, 1.5f, 1.7f, 1.6f, 2.0f, 2.2f, 9.0f, 9.0f};
  const Fit f = FitCurve(y, 8, 2, work);
  EXPECT_EQ(f.nopt, 6);
  const float mean = (1.0f + 1.2f + 1.1f + 1.5f + 1.7f + 1.6f + 2.0f + 2.2f) / 8.0f;
  for (float v : f.curv) EXPECT_NEAR(v, mean, 1e-6f);
}

TEST(Crvfit, CodeTwoFailingOnFallingLineGivesCodeFour) {
  CrvfitWorkspace work;
  const std::vector<float> y = {3.0f, 2.7f, 2.9f, 2.2f, 2.0f, 2.1f, 1.5f, 1.4f, 1.2f, 1.0f};
  const Fit f = FitCurve(y, 10, 2, work);
  EXPECT_EQ(f.nopt, 4);
  const std::vector<double> line = HandLine(y, 10, 10);
  for (std::size_t i = 0; i < 10; ++i) EXPECT_NEAR(f.curv[i], line[i], 1e-5);
}

TEST(Crvfit, CodeTwoGoodExponentialStaysTwo) {
  CrvfitWorkspace work;
  const std::vector<float> y = Exponential(50, 1.0, 0.06, 0.7);
  EXPECT_EQ(FitCurve(y, 50, 2, work).nopt, 2);
}

TEST(Crvfit, CodeFourRisingGivesMeanFallingOrFlatKeepsLine) {
  CrvfitWorkspace work;
  const std::vector<float> rising = {1.0f, 1.1f, 1.3f, 1.2f, 1.6f};
  Fit f = FitCurve(rising, 5, 4, work);
  EXPECT_EQ(f.nopt, 6);
  for (float v : f.curv) EXPECT_NEAR(v, 6.2f / 5.0f, 1e-6f);

  const std::vector<float> falling = {2.0f, 1.9f, 1.6f, 1.7f, 1.2f};
  f = FitCurve(falling, 5, 4, work);
  EXPECT_EQ(f.nopt, 4);
  const std::vector<double> line = HandLine(falling, 5, 5);
  for (std::size_t i = 0; i < 5; ++i) EXPECT_NEAR(f.curv[i], line[i], 1e-6);

  const std::vector<float> flat = {2.0f, 1.0f, 3.0f, 1.0f, 2.0f};  // slope exactly 0
  f = FitCurve(flat, 5, 4, work);
  EXPECT_EQ(f.nopt, 4);
  for (float v : f.curv) EXPECT_NEAR(v, 1.8f, 1e-6f);
}

TEST(Crvfit, CodeThreeKeepsRisingLineOverAllN) {
  CrvfitWorkspace work;
  const std::vector<float> y = {1.0f, 1.1f, 1.3f, 1.2f, 1.6f, 5.0f, 5.0f};
  const Fit f = FitCurve(y, 5, 3, work);
  EXPECT_EQ(f.nopt, 3);
  const std::vector<double> line = HandLine(y, 5, 7);
  for (std::size_t i = 0; i < 7; ++i) EXPECT_NEAR(f.curv[i], line[i], 1e-6);
}

TEST(Crvfit, LineThroughOnePointFallsBackToMean) {
  CrvfitWorkspace work;
  const std::vector<float> y = {4.0f, 8.0f, 9.0f};
  for (int code : {1, 2, 3, 4}) {
    const Fit f = FitCurve(y, 1, code, work);
    EXPECT_EQ(f.nopt, 6) << code;
    EXPECT_EQ(f.curv, std::vector<float>(3, 4.0f)) << code;
  }
}

TEST(Crvfit, NoValuesAsksCallerToStop) {
  CrvfitWorkspace work;
  const std::vector<float> y = {4.0f, 8.0f};
  const Fit f = FitCurve(y, 0, 6, work);
  EXPECT_TRUE(f.result.no_values);
  EXPECT_EQ(f.nopt, 6);
  EXPECT_EQ(CrvfitMessageLines(f.result, 0, common::ProgramVariant::kInteractive), (std::vector<std::string>{"", "error in xmean: n=0"}));
  // Any code with no values goes straight to the mean: only xmean's lines.
  for (int code : {1, 3, -5, 8, 20, -50}) {
    const Fit g = FitCurve(y, 0, code, work);
    EXPECT_TRUE(g.result.no_values) << code;
    EXPECT_EQ(g.nopt, 6) << code;
    EXPECT_EQ(CrvfitMessageLines(g.result, 0, common::ProgramVariant::kBatch), (std::vector<std::string>{"", "Error in xmean: n=0"})) << code;
  }
  EXPECT_FALSE(FitCurve(y, 2, 6, work).result.no_values);
}

TEST(Crvfit, UnhandledCodesLeaveCurveAndCode) {
  CrvfitWorkspace work;
  const std::vector<float> y = Wiggly(30, 0.0f);
  for (int code : {0, 5, 7, 9, -1, -2, -3, -4, -6, -7, -8, -9}) {
    const Fit f = FitCurve(y, 30, code, work, 3.25f);
    EXPECT_EQ(f.nopt, code);
    EXPECT_EQ(f.curv, std::vector<float>(30, 3.25f)) << code;
  }
}

TEST(Crvfit, SplineInYearsFitsFirstNfitOnly) {
  CrvfitWorkspace work;
  SplineWorkspace sw;
  const std::vector<float> y = Wiggly(60, 0.01f);
  const Fit f = FitCurve(y, 50, 20, work, 5.5f);
  EXPECT_EQ(f.nopt, 20);
  std::vector<float> want(50);
  splinp(std::span(y).first(50), want, 20, sw);
  for (std::size_t i = 0; i < 50; ++i) EXPECT_EQ(f.curv[i], want[i]);
  for (std::size_t i = 50; i < 60; ++i) EXPECT_EQ(f.curv[i], 5.5f);
}

// Code 8 of crvfit is the age-dependent spline, not spline's 20 years; a
// percent code goes to the literal stiffness solver, so -25 on 130 values is
// stiffness 32.
TEST(Crvfit, PercentSplineUsesComputedStiffness) {
  CrvfitWorkspace work;
  SplineWorkspace sw;
  const std::vector<float> y = Wiggly(140, -0.005f);
  const Fit f = FitCurve(y, 130, -25, work, 5.5f);
  EXPECT_EQ(f.nopt, -25);
  std::vector<float> want(130);
  splinp(std::span(y).first(130), want, 32, sw);
  for (std::size_t i = 0; i < 130; ++i) EXPECT_EQ(f.curv[i], want[i]);
  for (std::size_t i = 130; i < 140; ++i) EXPECT_EQ(f.curv[i], 5.5f);
  // -10 on 8 values: 0.8 -> stiffness 1, the least-squares line.
  const std::vector<float> s = {3.0f, 1.0f, 4.0f, 1.0f, 5.0f, 9.0f, 2.0f, 6.0f};
  const Fit g = FitCurve(s, 8, -10, work);
  const std::vector<double> line = HandLine(s, 8, 8);
  for (std::size_t i = 0; i < 8; ++i) EXPECT_NEAR(g.curv[i], line[i], 1e-5);
}

TEST(Crvfit, SplineOnTooFewValuesFallsBackToMean) {
  CrvfitWorkspace work;
  const std::vector<float> y = {2.0f, 4.0f, 3.0f, 7.0f, 7.0f};
  Fit f = FitCurve(y, 3, 15, work);
  EXPECT_EQ(f.result.spline, SplineStatus::kTooShort);
  EXPECT_EQ(f.nopt, 6);
  EXPECT_EQ(f.curv, std::vector<float>(5, 3.0f));  // all n values, no sentinel left
  f = FitCurve(std::vector<float>{2.0f, 4.0f, 3.0f}, 3, 8, work);
  EXPECT_EQ(f.nopt, 6);
  EXPECT_EQ(f.curv, std::vector<float>(3, 3.0f));
  f = FitCurve(std::vector<float>{2.0f, 4.0f, 3.0f}, 3, -50, work);
  EXPECT_EQ(f.nopt, 6);
}

// More values than a spline takes: the spline's two-line message for the
// routine that ran, the mean in the curve, and the caller stops.
TEST(Crvfit, SplineTooLongReportsItsRoutine) {
  CrvfitWorkspace work;
  const std::vector<float> y(6002, 2.0f);
  Fit f = FitCurve(y, 6002, 8, work);
  EXPECT_EQ(f.result.spline, SplineStatus::kTooLong);
  EXPECT_EQ(f.result.spline_routine, SplineRoutine::kSplage);
  EXPECT_EQ(f.nopt, 6);
  EXPECT_EQ(f.curv, y);
  EXPECT_EQ(CrvfitMessageLines(f.result, 6002, common::ProgramVariant::kBatch),
            (std::vector<std::string>{"", " *** Series too long for spline subroutine ***",
                                      " *** Enlarge mxy parameter in subroutine ***", ""}));
  f = FitCurve(y, 6002, -50, work);
  EXPECT_EQ(f.result.spline_routine, SplineRoutine::kSplinp);
  EXPECT_EQ(CrvfitMessageLines(f.result, 6002, common::ProgramVariant::kBatch)[2], " *** enlarge mxy parameter in subroutine ***");
  f = FitCurve(y, 6002, 30, work);
  EXPECT_EQ(f.result.spline_routine, SplineRoutine::kSpline);
}

TEST(Crvfit, SuperSmootherSpanByLength) {
  CrvfitWorkspace work;
  std::vector<float> x(40), w(40, 1.0f), sc(280);
  for (std::size_t i = 0; i < 40; ++i) x[i] = static_cast<float>(i + 1);
  const std::vector<float> y = Wiggly(40, 0.02f);

  std::vector<float> fixed(39), cv(40);
  supsmu(std::span(x).first(39), std::span(y).first(39), std::span(w).first(39), 1, 0.3f, 5.0f, fixed, sc);
  supsmu(x, y, w, 1, 0.0f, 5.0f, cv, sc);

  const Fit f39 = FitCurve(std::vector<float>(y.begin(), y.begin() + 39), 39, -5, work, 0.0f, 5.0f);
  EXPECT_EQ(f39.nopt, -5);
  EXPECT_EQ(f39.curv, fixed);
  const Fit f40 = FitCurve(y, 40, -5, work, 0.0f, 5.0f);
  EXPECT_EQ(f40.curv, cv);
  EXPECT_NE(std::vector<float>(f40.curv.begin(), f40.curv.begin() + 39), fixed);
}

// Fewer than four values cannot be super-smoothed: the mean, code 6. Four
// values fit inside one clamped window, so every running line is the
// least-squares line: t = 1..4, y = 1, 2, 6, 9 gives slope 14/5 and intercept
// 4.5 - 2.8 x 2.5 = -2.5, that is 0.3, 3.1, 5.9, 8.7.
TEST(Crvfit, SuperSmootherOnTooFewValues) {
  CrvfitWorkspace work;
  const std::vector<float> y = {1.0f, 2.0f, 6.0f, 9.0f, 9.0f};
  Fit f = FitCurve(y, 3, -5, work, 7.0f, 7.0f);
  EXPECT_EQ(f.nopt, 6);
  EXPECT_EQ(f.curv, std::vector<float>(5, 3.0f));

  f = FitCurve(std::vector<float>(y.begin(), y.begin() + 4), 4, -5, work, 7.0f, 7.0f);
  EXPECT_EQ(f.nopt, -5);
  const float line[4] = {0.3f, 3.1f, 5.9f, 8.7f};
  for (std::size_t i = 0; i < 4; ++i) EXPECT_NEAR(f.curv[i], line[i], 2e-6f) << i;
}

TEST(Crvfit, SuperSmootherPadsBeyondNfit) {
  CrvfitWorkspace work;
  const std::size_t n = 70, nfit = 55;
  const std::vector<float> y = Wiggly(n, 0.01f);
  std::vector<float> x(n), w(n, 1.0f), sc(7 * n), first(nfit), want(n);
  for (std::size_t i = 0; i < n; ++i) x[i] = static_cast<float>(i + 1);
  supsmu(std::span(x).first(nfit), std::span(y).first(nfit), std::span(w).first(nfit), 1, 0.0f, 7.0f, first, sc);
  std::vector<float> pad(y.begin(), y.begin() + nfit);
  pad.resize(n, first[nfit - 1]);
  supsmu(x, pad, w, 1, 0.0f, 7.0f, want, sc);

  const Fit f = FitCurve(y, static_cast<int>(nfit), -5, work, 0.0f, 7.0f);
  EXPECT_EQ(f.curv, want);
  EXPECT_NE(std::vector<float>(f.curv.begin(), f.curv.begin() + nfit), first);  // first nfit changed too
}

TEST(Crvfit, AgeDependentSplineStiffnessGrowsFromStart) {
  CrvfitWorkspace work;
  SplineWorkspace sw;
  const std::vector<float> y = Wiggly(90, -0.01f);
  std::vector<int> s(90);
  for (int i = 0; i < 90; ++i) s[static_cast<std::size_t>(i)] = 10 + i;
  std::vector<float> want(90);
  splage(y, want, s, sw);
  const Fit f = FitCurve(y, 60, 8, work, 0.0f, 0.0f, 10, 0);
  EXPECT_EQ(f.nopt, 8);
  EXPECT_EQ(f.curv, want);  // all n values, whatever nfit
}

// Falls, then rises at each of its last four steps: those four values are
// set to the fifth-last and the flattened curve is fitted again.
TEST(Crvfit, AgeDependentSplineFlattensRisingEnd) {
  CrvfitWorkspace work;
  SplineWorkspace sw;
  // A parabola with its lowest point at 32.5: the spline (stiffness 2 + i - 1
  // in row i) keeps its shape and rises at the last four steps only.
  std::vector<float> y(40);
  for (std::size_t i = 0; i < 40; ++i) {
    const float t = static_cast<float>(i + 1) - 32.5f;
    y[i] = 1.0f + 0.01f * t * t;
  }
  std::vector<int> s(40);
  for (int i = 0; i < 40; ++i) s[static_cast<std::size_t>(i)] = 2 + i;
  std::vector<float> first(40);
  splage(y, first, s, sw);
  int m = 0;
  for (std::size_t i = 39; i >= 1 && first[i] > first[i - 1]; --i) ++m;
  ASSERT_EQ(m, 4);
  std::vector<float> flat = first;
  for (std::size_t i = 36; i < 40; ++i) flat[i] = first[35];
  std::vector<float> want(40);
  splage(flat, want, s, sw);

  const Fit f = FitCurve(y, 40, 8, work, 0.0f, 0.0f, 2, 1);
  EXPECT_EQ(f.curv, want);
  const Fit once = FitCurve(y, 40, 8, work, 0.0f, 0.0f, 2, 0);
  EXPECT_EQ(once.curv, first);
}

TEST(Crvfit, AgeDependentSplineEndNotRisingFittedOnce) {
  CrvfitWorkspace work;
  const std::vector<float> y = Wiggly(50, -0.02f);
  const Fit with = FitCurve(y, 50, 8, work, 0.0f, 0.0f, 20, 1);
  ASSERT_LE(with.curv[49], with.curv[48]);
  EXPECT_EQ(with.curv, FitCurve(y, 50, 8, work, 0.0f, 0.0f, 20, 0).curv);
}

// A curve rising at every step: the walk stops at the second point and the
// whole curve is set to its first value.
TEST(Crvfit, AgeDependentSplineAllRising) {
  CrvfitWorkspace work;
  std::vector<float> y(30);
  for (std::size_t i = 0; i < 30; ++i) y[i] = 1.0f + 0.125f * static_cast<float>(i);
  const Fit f = FitCurve(y, 30, 8, work, 0.0f, 0.0f, 50, 1);
  EXPECT_EQ(f.nopt, 8);
  EXPECT_EQ(f.curv, std::vector<float>(30, 1.0f));
}

}  // namespace
}  // namespace detrend
