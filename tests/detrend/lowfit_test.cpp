#include "detrend/lowfit.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

namespace {

using detrend::hsort;
using detrend::lowfit;
using detrend::LowessWork;
using detrend::msmoo;
using detrend::msmoor;

// ---- hsort ----

TEST(Hsort, SortsAscendingWithDuplicatesAndNegatives) {
  std::vector<float> a{3.5f, -1.0f, 7.0f, 3.5f, 0.0f, -8.25f, 2.0f, 7.0f, 1.0f};
  std::vector<float> expected = a;
  std::sort(expected.begin(), expected.end());
  hsort(a);
  EXPECT_EQ(a, expected);
}

TEST(Hsort, SortsEveryLengthUpToForty) {
  for (int n = 2; n <= 40; ++n) {
    std::vector<float> a(n);
    for (int i = 0; i < n; ++i) a[i] = static_cast<float>((i * 37 + 11) % 23) - 0.5f * static_cast<float>(i % 3);
    std::vector<float> expected = a;
    std::sort(expected.begin(), expected.end());
    hsort(a);
    EXPECT_EQ(a, expected) << "n = " << n;
  }
}

TEST(Hsort, TwoValuesAndOneValue) {
  std::vector<float> a{2.0f, 1.0f};
  hsort(a);
  EXPECT_EQ(a, (std::vector<float>{1.0f, 2.0f}));
  std::vector<float> b{5.0f};
  hsort(b);
  EXPECT_EQ(b[0], 5.0f);
}

// ---- lowpt ----

// Hand values at xs = 3 over x = 1..5 with h = 2: tricube weights 0, 0.6699,
// 1, 0.6699 and the walk stops at x = 5 (beyond 0.999 h, right of xs), whose
// weight is 0; the weighted mean of x is 3, so the local line adds nothing
// and ys = (0.6699 * 2 + 3 + 0.6699 * 4) / 2.3398 = 3. The wild y(5) has no
// effect.
TEST(Lowpt, SymmetricNeighbourhoodByHand) {
  const std::vector<float> x{1, 2, 3, 4, 5}, y{1, 2, 3, 4, 10}, rw(5, 1.0f);
  std::vector<float> w(5, 9.0f);
  const auto r = detrend::lowpt(x, y, 3.0f, 0, 4, w, false, rw);
  ASSERT_TRUE(r.ok);
  EXPECT_NEAR(r.ys, 3.0f, 1e-6f);
  EXPECT_EQ(w[0], 0.0f);
  EXPECT_EQ(w[4], 0.0f);
  EXPECT_NEAR(w[1], 0.669921875f / 2.33984375f, 1e-6f);
}

// At the left end with two points of weight (1 and 0.6699) the local line
// passes through both, so the fit is the data value itself.
TEST(Lowpt, LocalLineAtTheEnd) {
  const std::vector<float> x{1, 2, 3, 4}, y{5, 7, 20, 30}, rw(4, 1.0f);
  std::vector<float> w(4);
  const auto r = detrend::lowpt(x, y, 1.0f, 0, 2, w, false, rw);
  ASSERT_TRUE(r.ok);
  EXPECT_NEAR(r.ys, 5.0f, 1e-5f);
}

TEST(Lowpt, ZeroRobustnessWeightsAreNotOk) {
  const std::vector<float> x{1, 2, 3, 4, 5}, y{1, 2, 3, 4, 5};
  const std::vector<float> rw{1.0f, 0.0f, 0.0f, 0.0f, 1.0f};
  std::vector<float> w(5);
  EXPECT_FALSE(detrend::lowpt(x, y, 3.0f, 1, 3, w, true, rw).ok);
  EXPECT_TRUE(detrend::lowpt(x, y, 3.0f, 1, 3, w, false, rw).ok);
}

// ---- lowfit ----

TEST(Lowfit, OneValueIsReturnedAsItIs) {
  LowessWork work;
  std::vector<float> y{3.25f}, ys{0.0f};
  lowfit(y, ys, 0.5f, work);
  EXPECT_EQ(ys[0], 3.25f);
}

// A straight line is reproduced exactly by local lines (residuals 0, all
// robustness weights 1).
TEST(Lowfit, StraightLineIsReproduced) {
  LowessWork work;
  std::vector<float> y(25), ys(25);
  for (int i = 0; i < 25; ++i) y[i] = 2.0f + 0.5f * static_cast<float>(i + 1);
  lowfit(y, ys, 0.4f, work);
  for (int i = 0; i < 25; ++i) EXPECT_NEAR(ys[i], y[i], 2e-5f) << i;
}

// f = 0.1 on 15 points: int(1.5) = 1 is raised to 2 points per
// neighbourhood. With two points the local line passes through the point
// itself and its neighbour, so every value is reproduced, also the zigzag.
TEST(Lowfit, SmallFractionUsesTwoPointNeighbourhoods) {
  LowessWork work;
  std::vector<float> y(15), ys(15);
  for (int i = 0; i < 15; ++i) y[i] = (i % 2 == 0) ? 1.0f : 3.0f;
  lowfit(y, ys, 0.1f, work);
  for (int i = 0; i < 15; ++i) EXPECT_NEAR(ys[i], y[i], 1e-5f) << i;
}

// Reference: R 4.x, t <- 1:50; y <- sin(t/6) + 0.02*t + 0.1*cos(2.7*t);
// y[20] <- y[20] + 5; lowess(t, y, f = 0.35, iter = 2, delta = 0)$y
// (R's clowess: one plain and two robust passes, every point fitted).
TEST(Lowfit, MatchesRLowessWithAWildValue) {
  const float expected[50] = {
      0.39804463f, 0.48875495f, 0.57629932f, 0.66070271f, 0.74218505f, 0.82104672f, 0.89753534f,
      0.97196481f, 1.0411908f,  1.0622299f,  1.0593123f,  1.0321132f,  0.98365136f, 0.91649288f,
      0.83263829f, 0.73183853f, 0.61883893f, 0.49775851f, 0.37334489f, 0.25011219f, 0.13046705f,
      0.018474432f, -0.085077733f, -0.17507694f, -0.24648763f, -0.29222126f, -0.31101975f,
      -0.30828009f, -0.28173557f, -0.23258413f, -0.16012795f, -0.066671106f, 0.04628923f,
      0.17699017f, 0.32132528f, 0.47712798f, 0.63904024f, 0.80429344f, 0.96765289f, 1.125249f,
      1.2734154f, 1.4081274f, 1.5108021f, 1.6089073f, 1.7057599f, 1.8011892f, 1.8948301f,
      1.9862316f, 2.0749757f, 2.1609333f};
  std::vector<float> y(50), ys(50);
  for (int t = 1; t <= 50; ++t) {
    const float ft = static_cast<float>(t);
    y[t - 1] = std::sin(ft / 6.0f) + 0.02f * ft + 0.1f * std::cos(2.7f * ft);
  }
  y[19] += 5.0f;
  LowessWork work;
  lowfit(y, ys, 0.35f, work);
  for (int i = 0; i < 50; ++i) EXPECT_NEAR(ys[i], expected[i], 2e-5f) << "point " << i + 1;
  // The wild value has no pull: the curve stays near its neighbours.
  EXPECT_LT(std::fabs(ys[19] - 0.5f * (ys[18] + ys[20])), 0.01f);
}

// Reference: R 4.x, t <- 1:37; y <- 10 + 0.3*t - 0.004*t^2 + 1.5*sin(1.9*t);
// lowess(t, y, f = 2/3, iter = 2, delta = 0)$y. The same workspace as a
// longer earlier call is reused.
TEST(Lowfit, MatchesRLowessWithTheDefaultFraction) {
  const float expected[37] = {
      10.592002f, 10.807142f, 11.021518f, 11.234918f, 11.447557f, 11.65934f,  11.870269f, 12.080921f,
      12.291867f, 12.50367f,  12.718024f, 12.936882f, 13.136749f, 13.327215f, 13.510331f, 13.684592f,
      13.849577f, 14.008351f, 14.160704f, 14.304691f, 14.442071f, 14.573106f, 14.694719f, 14.807249f,
      14.912378f, 15.008251f, 15.084855f, 15.165737f, 15.249099f, 15.333263f, 15.417674f, 15.501783f,
      15.585005f, 15.667328f, 15.748857f, 15.829379f, 15.909081f};
  LowessWork work;
  std::vector<float> long_y(60, 1.0f), long_ys(60);
  lowfit(long_y, long_ys, 0.5f, work);
  std::vector<float> y(37), ys(37);
  for (int t = 1; t <= 37; ++t) {
    const float ft = static_cast<float>(t);
    y[t - 1] = 10.0f + 0.3f * ft - 0.004f * ft * ft + 1.5f * std::sin(1.9f * ft);
  }
  lowfit(y, ys, 2.0f / 3.0f, work);
  for (int i = 0; i < 37; ++i) EXPECT_NEAR(ys[i], expected[i], 1e-4f) << "point " << i + 1;
}

// ---- msmoo / msmoor ----

// Reference for both: R 4.x, y <- ((1:40)^2 * 7 + 3 * (1:40)) %% 19;
// runmed(y, 5, endrule = "constant") once, and repeated until a pass
// changes nothing (4 passes).
std::vector<float> IntegerSeries() {
  std::vector<float> y(40);
  for (int t = 1; t <= 40; ++t) y[t - 1] = static_cast<float>((t * t * 7 + 3 * t) % 19);
  return y;
}

TEST(Msmoo, OnePassMatchesRRunmed) {
  const std::vector<float> expected{10, 10, 10, 10, 4, 4, 4, 5, 6, 8, 6, 8, 6, 8, 6, 5, 4, 4, 4, 10,
                                    10, 10, 10, 4, 4, 4, 5, 6, 8, 6, 8, 6, 8, 6, 5, 4, 4, 4, 4, 4};
  const std::vector<float> x = IntegerSeries();
  std::vector<float> y(40, -1.0f), work(5);
  EXPECT_EQ(msmoo(x, y, work, 5), 0);
  EXPECT_EQ(y, expected);
}

TEST(Msmoor, IteratesToTheRootOfRRunmed) {
  const std::vector<float> expected{10, 10, 10, 10, 4, 4, 4, 5, 6, 6, 6, 6, 6, 6, 6, 5, 4, 4, 4, 10,
                                    10, 10, 10, 4, 4, 4, 5, 6, 6, 6, 6, 6, 6, 6, 5, 4, 4, 4, 4, 4};
  std::vector<float> x = IntegerSeries();
  std::vector<float> y(40), work(5);
  const auto r = msmoor(x, y, work, 5);
  EXPECT_EQ(r.ier, 0);
  EXPECT_EQ(r.iwin, 5);
  EXPECT_EQ(r.iter, 4);
  EXPECT_EQ(y, expected);
}

// Window 5 on 5 values: the middle value is the median of all five, and the
// two values at each end equal it.
TEST(Msmoo, FullWindowGivesTheMedianEverywhere) {
  const std::vector<float> x{9.0f, 1.0f, 4.0f, 7.0f, 2.0f};
  std::vector<float> y(5), work(5);
  EXPECT_EQ(msmoo(x, y, work, 5), 0);
  for (float v : y) EXPECT_EQ(v, 4.0f);
}

TEST(Msmoo, WindowOneCopies) {
  const std::vector<float> x{3.0f, 1.0f, 2.0f};
  std::vector<float> y(3), work(1);
  EXPECT_EQ(msmoo(x, y, work, 1), 0);
  EXPECT_EQ(y, x);
}

TEST(Msmoo, RefusesWindowsWithoutLowering) {
  const std::vector<float> x(10, 1.0f);
  std::vector<float> y(10, 7.0f), work(20);
  EXPECT_EQ(msmoo(x, y, work, 4), 3);   // even
  EXPECT_EQ(msmoo(x, y, work, 11), 1);  // longer than the series
  EXPECT_EQ(msmoo(x, y, work, 0), 3);   // below 1 and not positive odd: the last test wins
  EXPECT_EQ(msmoo(x, y, work, 3, 8), 1);  // series longer than mxy
  for (float v : y) EXPECT_EQ(v, 7.0f);
}

TEST(Msmoor, EvenWindowIsLoweredByOne) {
  std::vector<float> x{1.0f, 5.0f, 2.0f, 8.0f, 3.0f, 3.0f};
  std::vector<float> y(6), work(4);
  const auto r = msmoor(x, y, work, 4);
  EXPECT_EQ(r.ier, 0);
  EXPECT_EQ(r.iwin, 3);
  // Running medians of 3, repeated: 1 5 2 8 3 3 -> 2 2 5 3 3 3 -> 2 2 3 3 3 3 -> unchanged.
  EXPECT_EQ(y, (std::vector<float>{2.0f, 2.0f, 3.0f, 3.0f, 3.0f, 3.0f}));
  EXPECT_EQ(r.iter, 3);
}

TEST(Msmoor, WindowZeroIsInputErrorThreeAndLeavesTheCurve) {
  std::vector<float> x{1.0f, 2.0f, 3.0f};
  std::vector<float> y{7.0f, 7.0f, 7.0f}, work(3);
  const auto r = msmoor(x, y, work, 0);
  EXPECT_EQ(r.ier, 3);
  EXPECT_EQ(r.iwin, -1);
  EXPECT_EQ(r.iter, 0);
  EXPECT_EQ(y, (std::vector<float>{7.0f, 7.0f, 7.0f}));
  EXPECT_EQ(detrend::MsmoorMessage(r.ier), "input error 3 in msmoor.");
}

TEST(Msmoor, WindowLongerThanSeriesIsInputErrorOne) {
  std::vector<float> x{1.0f, 2.0f, 3.0f};
  std::vector<float> y(3, 0.0f), work(5);
  EXPECT_EQ(msmoor(x, y, work, 5).ier, 1);
  EXPECT_EQ(msmoor(x, y, work, 7, 5).ier, 2);  // window above mxy overrides
}

TEST(Msmoor, SmoothSeriesConvergesInTheFirstPass) {
  // Monotone with flat ends: a root of the running median of 3.
  const std::vector<float> smooth{1.0f, 1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 5.0f};
  std::vector<float> x = smooth;
  std::vector<float> y(7), work(3);
  const auto r = msmoor(x, y, work, 3);
  EXPECT_EQ(r.ier, 0);
  EXPECT_EQ(r.iter, 1);
  EXPECT_EQ(y, smooth);
}

// A median of 3 flips the interior of an alternating 0 1 0 1 ... series at
// every pass; only the ends settle, one place per pass, so ten passes do
// not reach the root.
TEST(Msmoor, TenPassesWithoutConvergenceIsCodeTwenty) {
  std::vector<float> x(60);
  for (int i = 0; i < 60; ++i) x[i] = (i % 2 == 0) ? 0.0f : 1.0f;
  std::vector<float> y(60), work(3);
  std::vector<float> tenth(60), next(60);
  for (int i = 0; i < 60; ++i) tenth[i] = (i % 2 == 0) ? 0.0f : 1.0f;
  for (int pass = 0; pass < 10; ++pass) {
    ASSERT_EQ(msmoo(tenth, next, work, 3), 0);
    tenth = next;
  }
  const auto r = msmoor(x, y, work, 3);
  EXPECT_EQ(r.ier, 20);
  EXPECT_EQ(r.iter, 11);
  EXPECT_EQ(y, tenth);
  EXPECT_EQ(detrend::MsmoorMessage(20), "*** maximum iterations reached in msmoor ***");
}

TEST(Msmoor, MessagesOfAPass) {
  EXPECT_EQ(detrend::MsmoorMessage(12), "input error 2 in msmoo.");
  EXPECT_EQ(detrend::MsmoorMessage(0), "");
}

}  // namespace
