// Tests of the signal-free convergence statistics.
#include "detrend/convergence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace detrend {
namespace {

TEST(Sfconv, EveryYearAtTheMaximumDepth) {
  // By hand: mean 0.025, median of {.01,.02,.03,.04} = .025; weights all 1.
  const std::vector<float> d = {0.04f, 0.01f, 0.03f, 0.02f};
  const std::vector<int> depth = {7, 7, 7, 7};
  std::vector<float> wk(4);
  const SfconvResult r = sfconv(d, wk, depth);
  EXPECT_NEAR(r.mean, 0.025f, 1e-8f);
  EXPECT_NEAR(r.median, 0.025f, 1e-8f);
  EXPECT_EQ(r.wmean, r.mean);
  EXPECT_EQ(r.wmedian, r.median);
  EXPECT_TRUE(std::is_sorted(wk.begin(), wk.end()));
}

TEST(Sfconv, DepthZeroIsIgnoredAndAQuarterDepthCountsHalf) {
  // Depths 16, 0, 4, 16: the depth-0 year (0.9) takes no part; the depth-4
  // year's 0.2 weighs as 0.2 x 2 / 4 = 0.1.
  // Unweighted {0.1, 0.2, 0.3}: mean 0.2, median 0.2.
  // Weighted {0.1, 0.1, 0.3}: mean 0.5/3, median 0.1.
  const std::vector<float> d = {0.1f, 0.9f, 0.2f, 0.3f};
  const std::vector<int> depth = {16, 0, 4, 16};
  std::vector<float> wk(4, -1.0f);
  const SfconvResult r = sfconv(d, wk, depth);
  EXPECT_NEAR(r.mean, 0.2f, 1e-7f);
  EXPECT_NEAR(r.median, 0.2f, 1e-7f);
  EXPECT_NEAR(r.wmean, 0.5f / 3.0f, 1e-7f);
  EXPECT_NEAR(r.wmedian, 0.1f, 1e-7f);
  EXPECT_NEAR(wk[0], 0.1f, 1e-7f);
  EXPECT_NEAR(wk[2], 0.3f, 1e-7f);
}

TEST(Sfconv, EvenCountMediansAreMeansOfTheMiddleValues) {
  const std::vector<float> d = {0.5f, 0.1f, 0.4f, 0.2f, 0.3f, 0.6f};
  const std::vector<int> depth(6, 1);
  std::vector<float> wk(6);
  const SfconvResult r = sfconv(d, wk, depth);
  EXPECT_NEAR(r.median, 0.35f, 1e-7f);
  EXPECT_NEAR(r.mean, 0.35f, 1e-7f);
}

TEST(Sfconv, NothingToCompareGivesZeros) {
  std::vector<float> wk;
  const SfconvResult none = sfconv(std::vector<float>{}, wk, std::vector<int>{});
  EXPECT_EQ(none.mean, 0.0f);
  EXPECT_EQ(none.median, 0.0f);
  EXPECT_EQ(none.wmean, 0.0f);
  EXPECT_EQ(none.wmedian, 0.0f);
  std::vector<float> wk2(2);
  const SfconvResult empty = sfconv(std::vector<float>{0.3f, 0.4f}, wk2, std::vector<int>{0, 0});
  EXPECT_EQ(empty.mean, 0.0f);
  EXPECT_EQ(empty.wmedian, 0.0f);
}

}  // namespace
}  // namespace detrend
