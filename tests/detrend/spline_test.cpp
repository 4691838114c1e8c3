// Smoothing splines against an independent dense formulation, their 50 %
// frequency response and their sentinels.
#include "detrend/spline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <span>
#include <vector>

namespace detrend {
namespace {

std::vector<double> SolveDense(std::vector<std::vector<double>> a, std::vector<double> b) {
  const std::size_t n = b.size();
  for (std::size_t c = 0; c < n; ++c) {
    std::size_t piv = c;
    for (std::size_t r = c + 1; r < n; ++r)
      if (std::fabs(a[r][c]) > std::fabs(a[piv][c])) piv = r;
    std::swap(a[c], a[piv]);
    std::swap(b[c], b[piv]);
    for (std::size_t r = c + 1; r < n; ++r) {
      const double f = a[r][c] / a[c][c];
      for (std::size_t k = c; k < n; ++k) a[r][k] -= f * a[c][k];
      b[r] -= f * b[c];
    }
  }
  std::vector<double> x(n);
  for (std::size_t i = n; i-- > 0;) {
    double s = b[i];
    for (std::size_t k = i + 1; k < n; ++k) s -= a[i][k] * x[k];
    x[i] = s / a[i][i];
  }
  return x;
}

std::vector<std::vector<double>> Inverse(const std::vector<std::vector<double>>& a) {
  const std::size_t n = a.size();
  std::vector<std::vector<double>> inv(n, std::vector<double>(n));
  for (std::size_t c = 0; c < n; ++c) {
    std::vector<double> e(n, 0.0);
    e[c] = 1.0;
    const std::vector<double> col = SolveDense(a, e);
    for (std::size_t r = 0; r < n; ++r) inv[r][c] = col[r];
  }
  return inv;
}

// Penalised least squares in the Green-Silverman form for unit spacing:
// minimise sum (y - g)^2 + alpha * integral g''^2, solved as
// (I + alpha Q R^-1 Q') g = y with dense matrices, Q the n x m second
// difference matrix and R the m x m tridiagonal (2/3, 1/6). A stiffness s
// maps to alpha = 1 / (2 p), p = 6 (cos w - 1)^2 / (cos w + 2), w = 2 pi / s.
std::vector<double> GreenSilverman(const std::vector<float>& y, double stiffness) {
  const std::size_t n = y.size(), m = n - 2;
  const double w = 2.0 * std::numbers::pi / stiffness;
  const double p = 6.0 * (std::cos(w) - 1.0) * (std::cos(w) - 1.0) / (std::cos(w) + 2.0);
  const double alpha = 1.0 / (2.0 * p);
  std::vector<std::vector<double>> r(m, std::vector<double>(m, 0.0));
  for (std::size_t i = 0; i < m; ++i) {
    r[i][i] = 2.0 / 3.0;
    if (i + 1 < m) r[i][i + 1] = r[i + 1][i] = 1.0 / 6.0;
  }
  const auto rinv = Inverse(r);
  // Q(i, j): 1 at i = j, -2 at i = j + 1, 1 at i = j + 2 (0-based rows of n, columns of m).
  auto q = [](std::size_t i, std::size_t j) { return i == j ? 1.0 : i == j + 1 ? -2.0 : i == j + 2 ? 1.0 : 0.0; };
  std::vector<std::vector<double>> a(n, std::vector<double>(n, 0.0));
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t k = 0; k < n; ++k) {
      double s = 0.0;
      for (std::size_t j = 0; j < m; ++j) {
        if (q(i, j) == 0.0) continue;
        for (std::size_t l = 0; l < m; ++l) s += q(i, j) * rinv[j][l] * q(k, l);
      }
      a[i][k] = alpha * s + (i == k ? 1.0 : 0.0);
    }
  }
  std::vector<double> yd(y.begin(), y.end());
  return SolveDense(a, yd);
}

// Same band system with a smoothing parameter per row (row i: 1, p_i/3 - 4,
// 4 p_i/3 + 6 left of and on the diagonal, mirrored above), solved densely:
// curv = y - Q u.
std::vector<double> DenseRowwise(const std::vector<float>& y, const std::vector<int>& s) {
  const std::size_t n = y.size(), m = n - 2;
  std::vector<std::vector<double>> a(m, std::vector<double>(m, 0.0));
  for (std::size_t i = 0; i < m; ++i) {
    const double w = 2.0 * std::numbers::pi / s[i];
    const double p = 6.0 * (std::cos(w) - 1.0) * (std::cos(w) - 1.0) / (std::cos(w) + 2.0);
    a[i][i] = 4.0 * p / 3.0 + 6.0;
    if (i >= 1) a[i][i - 1] = a[i - 1][i] = p / 3.0 - 4.0;
    if (i >= 2) a[i][i - 2] = a[i - 2][i] = 1.0;
  }
  std::vector<double> b(m);
  for (std::size_t i = 0; i < m; ++i) b[i] = double(y[i]) - 2.0 * double(y[i + 1]) + double(y[i + 2]);
  const auto u = SolveDense(a, b);
  std::vector<double> curv(n);
  for (std::size_t i = 0; i < n; ++i) {
    double c = 0.0;
    if (i < m) c += u[i];
    if (i >= 1 && i - 1 < m) c -= 2.0 * u[i - 1];
    if (i >= 2 && i - 2 < m) c += u[i - 2];
    curv[i] = double(y[i]) - c;
  }
  return curv;
}

std::vector<float> Wiggly(std::size_t n) {
  std::vector<float> y(n);
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i + 1);
    y[i] = static_cast<float>(1.0 + 0.02 * t + 0.4 * std::sin(t / 3.0) + 0.3 * std::cos(1.7 * t) +
                              0.1 * ((i * 7919) % 13) / 13.0);
  }
  return y;
}

TEST(SplineParameter, HandValues) {
  // w = pi/2: cos 0 -> 6 * 1 / 2; w = pi: cos -1 -> 6 * 4 / 1; w = 2 pi / 3: cos -1/2 ->
  // 6 * 2.25 / 1.5; w = pi / 3: cos 1/2 -> 6 * 0.25 / 2.5; w = 2 pi: p = 0.
  EXPECT_NEAR(SplineParameter(4), 3.0, 1e-12);
  EXPECT_NEAR(SplineParameter(2), 24.0, 1e-12);
  EXPECT_NEAR(SplineParameter(3), 9.0, 1e-12);
  EXPECT_NEAR(SplineParameter(6), 0.6, 1e-12);
  EXPECT_NEAR(SplineParameter(1), 0.0, 1e-12);
}

TEST(Splinp, MatchesGreenSilvermanDenseSolve) {
  SplineWorkspace work;
  for (int s : {5, 12, 40}) {
    const std::vector<float> y = Wiggly(37);
    std::vector<float> curv(y.size());
    const SplinpResult r = splinp(y, curv, s, work);
    ASSERT_EQ(r.status, SplineStatus::kOk);
    EXPECT_FLOAT_EQ(r.p, static_cast<float>(SplineParameter(s)));
    const std::vector<double> ref = GreenSilverman(y, s);
    for (std::size_t i = 0; i < y.size(); ++i) EXPECT_NEAR(curv[i], ref[i], 2e-6) << "s=" << s << " i=" << i;
  }
}

// R 4.2: smooth.spline(t, y, all.knots = TRUE, lambda = 1 / (2 p (n - 1)^3)) on the
// same 37 values (t = 1..37), stiffness 12: R scales t to [0, 1], which
// multiplies the roughness penalty by (n - 1)^3. R stops at its own
// tolerance, within 6e-6 of the exact solution.
TEST(Splinp, MatchesRSmoothSpline) {
  const std::vector<double> r = {
      1.1789915, 1.2857824, 1.3841420, 1.4539003, 1.4833514, 1.4775852, 1.4388458, 1.3654747, 1.2718802, 1.1798087,
      1.0970574, 1.0262170, 0.9821445, 0.9785846, 1.0133542, 1.0815336, 1.1853259, 1.3160146, 1.4511644, 1.5776161,
      1.6931574, 1.7871456, 1.8440474, 1.8634929, 1.8509838, 1.8027767, 1.7218285, 1.6294003, 1.5418570, 1.4616241,
      1.3971574, 1.3649781, 1.3685991, 1.4019160, 1.4692155, 1.5736646, 1.7001080};
  SplineWorkspace work;
  const std::vector<float> y = Wiggly(37);
  std::vector<float> curv(37);
  ASSERT_EQ(splinp(y, curv, 12, work).status, SplineStatus::kOk);
  for (std::size_t i = 0; i < 37; ++i) EXPECT_NEAR(curv[i], r[i], 1e-5) << i;
}

TEST(Splage, MatchesDenseRowwiseSolve) {
  SplineWorkspace work;
  const std::vector<float> y = Wiggly(41);
  std::vector<int> s(y.size());
  for (std::size_t i = 0; i < s.size(); ++i) s[i] = 3 + static_cast<int>(i) * 2;
  std::vector<float> curv(y.size());
  ASSERT_EQ(splage(y, curv, s, work).status, SplineStatus::kOk);
  const std::vector<double> ref = DenseRowwise(y, s);
  for (std::size_t i = 0; i < y.size(); ++i) EXPECT_NEAR(curv[i], ref[i], 2e-6) << i;
}

TEST(Splage, ConstantStiffnessEqualsSplinp) {
  SplineWorkspace work;
  const std::vector<float> y = Wiggly(60);
  std::vector<int> s(y.size(), 17);
  std::vector<float> a(y.size()), b(y.size());
  splage(y, a, s, work);
  splinp(y, b, 17, work);
  EXPECT_EQ(a, b);
}

TEST(SplageFlatEnd, RisingEndFlattenedAndFittedAgain) {
  SplineWorkspace work;
  std::vector<float> y = Wiggly(60);  // rises overall: the first curve's end rises
  const std::vector<int> s(y.size(), 20);
  std::vector<float> once(y.size());
  ASSERT_EQ(splage(y, once, s, work).status, SplineStatus::kOk);
  ASSERT_GT(once[59], once[58]);
  std::size_t start = 59;  // where the trailing rise begins
  while (start > 0 && once[start] > once[start - 1]) --start;
  std::vector<float> flat = once;
  for (std::size_t i = start + 1; i < flat.size(); ++i) flat[i] = once[start];
  std::vector<float> want(y.size());
  ASSERT_EQ(splage(flat, want, s, work).status, SplineStatus::kOk);

  std::vector<float> curv(y.size()), copy(y.size());
  ASSERT_EQ(SplageFlatEnd(y, curv, s, copy, FlatEndRefit::kWhenFlattened, work).status, SplineStatus::kOk);
  EXPECT_EQ(copy, flat);
  EXPECT_EQ(curv, want);
}

TEST(SplageFlatEnd, FallingEndFittedAgainOnlyWhenAsked) {
  SplineWorkspace work;
  std::vector<float> y = Wiggly(60);
  std::reverse(y.begin(), y.end());  // falls overall: the end does not rise
  const std::vector<int> s(y.size(), 20);
  std::vector<float> once(y.size()), twice(y.size());
  ASSERT_EQ(splage(y, once, s, work).status, SplineStatus::kOk);
  ASSERT_LE(once[59], once[58]);
  ASSERT_EQ(splage(once, twice, s, work).status, SplineStatus::kOk);
  ASSERT_NE(once, twice);

  std::vector<float> curv(y.size()), copy(y.size());
  SplageFlatEnd(y, curv, s, copy, FlatEndRefit::kWhenFlattened, work);
  EXPECT_EQ(curv, once);
  SplageFlatEnd(y, curv, s, copy, FlatEndRefit::kAlways, work);
  EXPECT_EQ(curv, twice);
  // The copy may be y's own storage, as varsta lends it.
  std::vector<float> shared = y;
  SplageFlatEnd(shared, curv, s, shared, FlatEndRefit::kAlways, work);
  EXPECT_EQ(curv, twice);
}

TEST(Spline, Code8IsTwentyYears) {
  SplineWorkspace work;
  const std::vector<float> y = Wiggly(50);
  std::vector<float> a(y.size()), b(y.size());
  spline(y, a, kSpline20Years, work);
  spline(y, b, 20, work);
  EXPECT_EQ(a, b);
}

TEST(Spline, Code9GrowsByRowUpToN) {
  SplineWorkspace work;
  const std::vector<float> y = Wiggly(100);
  std::vector<int> s(100);
  for (int i = 1; i <= 98; ++i) s[i - 1] = std::min(i + 8, 100);  // rows 1..92 take 9..100
  EXPECT_EQ(s[91], 100);
  EXPECT_EQ(s[92], 100);
  std::vector<float> a(y.size()), b(y.size());
  spline(y, a, kSplineGrowingStiffness, work);
  splage(y, b, s, work);
  EXPECT_EQ(a, b);
  // And not the same as one stiffness of 9.
  std::vector<float> c(y.size());
  spline(y, c, 9 + 100, work);
  EXPECT_NE(a, c);
}

TEST(Spline, OtherCodesAreYears) {
  SplineWorkspace work;
  const std::vector<float> y = Wiggly(30);
  std::vector<float> a(y.size()), b(y.size());
  spline(y, a, 15, work);
  splinp(y, b, 15, work);
  EXPECT_EQ(a, b);
}

// A sine of period s smoothed with stiffness s keeps half its amplitude
// (away from the ends of a long series).
TEST(Splinp, FiftyPercentResponseAtTheStiffness) {
  SplineWorkspace work;
  for (int s : {10, 20, 67, 150}) {
    const std::size_t n = 3000;
    std::vector<float> y(n), curv(n);
    for (std::size_t i = 0; i < n; ++i) {
      y[i] = static_cast<float>(std::sin(2.0 * std::numbers::pi * static_cast<double>(i + 1) / s));
    }
    ASSERT_EQ(splinp(y, curv, s, work).status, SplineStatus::kOk);
    double num = 0.0, den = 0.0;  // projection of the curve on the sine over whole periods in the middle
    const std::size_t from = n / 2 - static_cast<std::size_t>(2 * s), to = from + static_cast<std::size_t>(4 * s);
    for (std::size_t i = from; i < to; ++i) {
      num += double(curv[i]) * double(y[i]);
      den += double(y[i]) * double(y[i]);
    }
    EXPECT_NEAR(num / den, 0.5, 2e-3) << "s=" << s;
  }
}

TEST(Splinp, StiffnessOneIsLeastSquaresLine) {
  SplineWorkspace work;
  const std::vector<float> y = {3.0f, 1.0f, 4.0f, 1.0f, 5.0f, 9.0f, 2.0f, 6.0f};
  // Hand least squares over t = 1..8: St = 36, Stt = 204, Sy = 31, Sty = 3+2+12+4+25+54+14+48 = 162;
  // slope = (162 - 31*36/8) / (204 - 36*36/8) = 22.5 / 42, intercept = 31/8 - 4.5 * slope.
  const double slope = 22.5 / 42.0, intercept = 31.0 / 8.0 - 4.5 * slope;
  std::vector<float> curv(y.size());
  const SplinpResult r = splinp(y, curv, 1, work);
  ASSERT_EQ(r.status, SplineStatus::kOk);
  EXPECT_EQ(r.p, 0.0f);
  for (std::size_t i = 0; i < y.size(); ++i) EXPECT_NEAR(curv[i], slope * double(i + 1) + intercept, 1e-5);
}

TEST(Splinp, StraightLineUnchanged) {
  SplineWorkspace work;
  std::vector<float> y(25), curv(25);
  for (std::size_t i = 0; i < y.size(); ++i) y[i] = 2.5f - 0.125f * static_cast<float>(i);
  splinp(y, curv, 10, work);
  EXPECT_EQ(curv, y);
}

TEST(Spline, TooShortAndShortest) {
  SplineWorkspace work;
  std::vector<float> y = {1.0f, 2.0f, 5.0f};
  std::vector<float> curv = {7.0f, 7.0f, 7.0f};
  EXPECT_EQ(spline(y, curv, 20, work).status, SplineStatus::kTooShort);
  EXPECT_EQ(curv, (std::vector<float>{-9998.0f, 7.0f, 7.0f}));
  EXPECT_EQ(splage(y, curv, std::vector<int>{5}, work).status, SplineStatus::kTooShort);
  EXPECT_EQ(splinp(y, curv, 5, work).status, SplineStatus::kTooShort);

  // Four points: two rows, checked against the dense solve.
  const std::vector<float> y4 = {1.0f, 3.0f, 2.0f, 5.0f};
  std::vector<float> c4(4);
  ASSERT_EQ(splinp(y4, c4, 3, work).status, SplineStatus::kOk);
  const std::vector<double> ref = GreenSilverman(y4, 3);
  for (std::size_t i = 0; i < 4; ++i) EXPECT_NEAR(c4[i], ref[i], 1e-6);
}

TEST(Spline, LongestAndTooLong) {
  SplineWorkspace work;
  std::vector<float> y(6001), curv(6002, 4.0f);
  for (std::size_t i = 0; i < y.size(); ++i) y[i] = static_cast<float>(std::sin(0.01 * double(i)));
  EXPECT_EQ(spline(y, curv, 30, work).status, SplineStatus::kOk);
  EXPECT_NEAR(curv[3000], std::sin(30.0), 0.01);
  std::vector<float> y2(6002, 1.0f), c2(6002, 4.0f);
  EXPECT_EQ(spline(y2, c2, 30, work).status, SplineStatus::kTooLong);
  EXPECT_EQ(splinp(y2, c2, 30, work).status, SplineStatus::kTooLong);
  EXPECT_EQ(splage(y2, c2, std::vector<int>(6002, 30), work).status, SplineStatus::kTooLong);
  EXPECT_EQ(c2, std::vector<float>(6002, 4.0f));
}

TEST(SplineWorkspace, ASolveGivesTheSameBitsWhateverTheWorkspaceSolvedBefore) {
  // One workspace through a sequence of fits whose stiffnesses share
  // leading rows (age-dependent splines of longer and shorter series, the
  // same years again) or do not (other stiffnesses, other routines, a
  // stiffness that changes in the middle): each curve must be exactly that
  // of a fresh workspace.
  const std::vector<float> y = Wiggly(400);
  auto ages = [](std::size_t n, int first) {
    std::vector<int> s(n);
    for (std::size_t i = 0; i < n; ++i) s[i] = first + static_cast<int>(i);
    return s;
  };
  std::vector<int> changed = ages(400, 10);
  for (std::size_t i = 150; i < changed.size(); ++i) changed[i] += 3;
  struct Fit {
    std::size_t n;
    int kind;  // 0 splage with `stiffness`, 1 spline code 9, 2 splinp 30
    std::vector<int> stiffness;
  };
  const std::vector<Fit> fits = {{400, 0, ages(400, 10)}, {250, 0, ages(250, 10)}, {400, 0, ages(400, 10)},
                                 {300, 0, changed},       {400, 0, ages(400, 10)}, {120, 1, {}},
                                 {400, 0, ages(400, 10)}, {200, 2, {}},            {380, 0, ages(380, 11)},
                                 {400, 0, ages(400, 10)}, {5, 0, ages(5, 10)},     {4, 0, ages(4, 10)}};
  SplineWorkspace shared;
  for (std::size_t k = 0; k < fits.size(); ++k) {
    const Fit& f = fits[k];
    const std::span<const float> in = std::span<const float>(y).first(f.n);
    std::vector<float> got(f.n), want(f.n);
    SplineWorkspace fresh;
    auto run = [&](std::span<float> out, SplineWorkspace& work) {
      if (f.kind == 0) return splage(in, out, f.stiffness, work).status;
      if (f.kind == 1) return spline(in, out, kSplineGrowingStiffness, work).status;
      return splinp(in, out, 30, work).status;
    };
    ASSERT_EQ(run(got, shared), SplineStatus::kOk) << k;
    ASSERT_EQ(run(want, fresh), SplineStatus::kOk) << k;
    for (std::size_t i = 0; i < f.n; ++i) ASSERT_EQ(got[i], want[i]) << "fit " << k << " row " << i;
  }
}

TEST(SplineMessages, Wording) {
  EXPECT_EQ(SplineMessageLines(SplineStatus::kNotPositiveDefinite, SplineRoutine::kSplage, common::ProgramVariant::kInteractive),
            std::vector<std::string>{">> sbr spline: matrix not positive definite"});
  EXPECT_EQ(SplineMessageLines(SplineStatus::kNotPositiveDefinite, SplineRoutine::kSpline, common::ProgramVariant::kBatch),
            std::vector<std::string>{">> SBR Spline: matrix not positive definite"});
  EXPECT_EQ(SplineMessageLines(SplineStatus::kTooLong, SplineRoutine::kSpline, common::ProgramVariant::kInteractive),
            (std::vector<std::string>{"", " *** series too long for spline subroutine ***",
                                      " *** enlarge mxy parameter in subroutine ***", ""}));
  EXPECT_EQ(SplineMessageLines(SplineStatus::kTooLong, SplineRoutine::kSplinp, common::ProgramVariant::kBatch)[2],
            " *** enlarge mxy parameter in subroutine ***");
  EXPECT_EQ(SplineMessageLines(SplineStatus::kTooLong, SplineRoutine::kSplage, common::ProgramVariant::kBatch)[1],
            " *** Series too long for spline subroutine ***");
  EXPECT_EQ(SplineMessageLines(SplineStatus::kTooLong, SplineRoutine::kSplage, common::ProgramVariant::kBatch)[2],
            " *** Enlarge mxy parameter in subroutine ***");
  EXPECT_TRUE(SplineMessageLines(SplineStatus::kTooShort, SplineRoutine::kSpline, common::ProgramVariant::kInteractive).empty());
}

}  // namespace
}  // namespace detrend
