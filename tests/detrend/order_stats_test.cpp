// Tests of the location, scale and order statistics.
#include "detrend/order_stats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "common/limits.h"

namespace detrend {
namespace {

// Quarter-step values with many ties, exactly representable in float and in
// R's doubles, so R's results are exact for our single-precision code.
// In R: v <- function(n, i) (((i*37 + n*11) %% 23) - 11) * 0.25
std::vector<float> QuarterValues(int n) {
  std::vector<float> x;
  for (int i = 1; i <= n; ++i) x.push_back(static_cast<float>(((i * 37 + n * 11) % 23) - 11) * 0.25f);
  return x;
}

// Deterministic values for the larger properties (an integer LCG scaled by
// 1/1024, exact in float).
std::vector<float> LcgValues(int n, std::uint32_t seed) {
  std::vector<float> x;
  std::uint32_t s = seed;
  for (int i = 0; i < n; ++i) {
    s = s * 1664525u + 1013904223u;
    x.push_back(static_cast<float>(static_cast<int>(s >> 12) % 20000 - 10000) / 1024.0f);
  }
  return x;
}

// Tukey's five-number summary in the formulation of R's fivenum:
// n4 = floor((n + 3) / 2) / 2, d = (1, n4, (n + 1) / 2, n + 1 - n4, n),
// 0.5 * (x[floor(d)] + x[ceiling(d)]) on the sorted data. Written from R's
// documented definition, independently of the hinge indices used by hinges.
std::vector<double> Fivenum(std::vector<float> x) {
  std::sort(x.begin(), x.end());
  const double n = static_cast<double>(x.size());
  const double n4 = std::floor((n + 3.0) / 2.0) / 2.0;
  const double d[5] = {1.0, n4, (n + 1.0) / 2.0, n + 1.0 - n4, n};
  std::vector<double> out;
  for (double di : d) {
    const auto lo = static_cast<std::size_t>(std::floor(di)) - 1;
    const auto hi = static_cast<std::size_t>(std::ceil(di)) - 1;
    out.push_back(0.5 * (static_cast<double>(x[lo]) + static_cast<double>(x[hi])));
  }
  return out;
}

TEST(Sort, SortsAndKeepsTheValues) {
  for (int n : {0, 1, 2, 3, 6, 7, 8, 9, 15, 100, 1001, 6001, 20000}) {
    std::vector<float> x = LcgValues(n, 17u + static_cast<std::uint32_t>(n));
    std::vector<float> expected = x;
    std::sort(expected.begin(), expected.end());
    sort(x);
    EXPECT_EQ(x, expected) << "n = " << n;
  }
}

// Values without zeros or NaN of both signs and every magnitude (tiny and
// subnormal, huge, infinite), with ties: the order of the library's sort.
TEST(Sort, NonZeroValuesOfEverySignAndMagnitude) {
  std::uint32_t state = 99u;
  for (int n : {255, 256, 257, 1358, 4096, 20000}) {
    std::vector<float> x;
    while (static_cast<int>(x.size()) < n) {
      state = state * 1664525u + 1013904223u;
      const float v = std::bit_cast<float>(state);
      if (std::abs(v) > 0.0f) x.push_back(v);  // no zero, no NaN
      if (x.size() % 97 == 0) x.push_back(x[x.size() / 2]);
    }
    x.resize(static_cast<std::size_t>(n));
    x[1] = std::numeric_limits<float>::infinity();
    x[2] = -std::numeric_limits<float>::infinity();
    x[3] = std::numeric_limits<float>::denorm_min();
    x[4] = -std::numeric_limits<float>::denorm_min();
    std::vector<float> expected = x;
    std::sort(expected.begin(), expected.end());
    sort(x);
    ASSERT_EQ(x.size(), expected.size());
    for (std::size_t i = 0; i < x.size(); ++i) {
      ASSERT_EQ(std::bit_cast<std::uint32_t>(x[i]), std::bit_cast<std::uint32_t>(expected[i])) << n << " " << i;
    }
  }
  std::vector<float> shared_top(1000);  // one digit of the top bits for all
  for (std::size_t i = 0; i < shared_top.size(); ++i) shared_top[i] = 1.0f + static_cast<float>((i * 7919) % 1000) / 4096.0f;
  std::vector<float> expected = shared_top;
  std::sort(expected.begin(), expected.end());
  sort(shared_top);
  EXPECT_EQ(shared_top, expected);
}

TEST(Sort, ManyEqualValuesTerminate) {
  std::vector<float> x(6001, 1.5f);
  for (std::size_t i = 0; i < x.size(); i += 7) x[i] = 0.5f;
  std::vector<float> expected = x;
  std::sort(expected.begin(), expected.end());
  sort(x);
  EXPECT_EQ(x, expected);
  std::vector<float> same(5000, -2.0f);
  sort(same);
  EXPECT_TRUE(std::all_of(same.begin(), same.end(), [](float v) { return v == -2.0f; }));
}

TEST(Sort, AlreadySortedAndReversedInputs) {
  std::vector<float> up(3000), down(3000);
  for (int i = 0; i < 3000; ++i) {
    up[static_cast<std::size_t>(i)] = static_cast<float>(i);
    down[static_cast<std::size_t>(i)] = static_cast<float>(3000 - i);
  }
  std::vector<float> up_expected = up;
  sort(up);
  EXPECT_EQ(up, up_expected);
  sort(down);
  EXPECT_TRUE(std::is_sorted(down.begin(), down.end()));
  EXPECT_EQ(down.front(), 1.0f);
  EXPECT_EQ(down.back(), 3000.0f);
}

TEST(SortTwoRuns, DistancesAndBiweightsOfSortedValuesComeOutFullySorted) {
  // Sorted values with ties; their distances from a point among them fall
  // and rise, their biweight-like weights (0 beyond a cut) rise and fall.
  for (int n : {1, 2, 3, 5, 6, 7, 12, 34, 35, 200, 3001}) {
    for (int variant = 0; variant < 3; ++variant) {
      std::vector<float> x = variant == 0 ? QuarterValues(n) : LcgValues(n, 5u + static_cast<std::uint32_t>(n));
      std::sort(x.begin(), x.end());
      const float centre = variant == 2 ? x.front() - 1.0f : x[x.size() / 2];
      std::vector<float> dist, weight;
      for (float v : x) {
        dist.push_back(std::abs(v - centre));
        const float u = (v - centre) / 4.0f;
        weight.push_back(std::abs(u) < 1.0f ? (1.0f - u * u) * (1.0f - u * u) : 0.0f);
      }
      for (auto [values, shape] : {std::pair{dist, RunShape::kValley}, std::pair{weight, RunShape::kPeak}}) {
        std::vector<float> expected = values;
        std::sort(expected.begin(), expected.end());
        std::vector<float> out(values.size(), -1.0f);
        ASSERT_TRUE(SortTwoRuns(values, out, shape)) << "n = " << n << " variant " << variant;
        EXPECT_EQ(out, expected) << "n = " << n << " variant " << variant;
      }
    }
  }
}

TEST(SortTwoRuns, RefusesOtherShapesAndValuesWhosePlaceIsNotUnique) {
  std::vector<float> out(5);
  EXPECT_FALSE(SortTwoRuns(std::vector<float>{1.0f, 3.0f, 2.0f, 4.0f}, out, RunShape::kPeak));
  EXPECT_FALSE(SortTwoRuns(std::vector<float>{3.0f, 1.0f, 2.0f, 0.5f}, out, RunShape::kValley));
  EXPECT_FALSE(SortTwoRuns(std::vector<float>{2.0f, 1.0f, 3.0f}, out, RunShape::kPeak));
  EXPECT_TRUE(SortTwoRuns(std::vector<float>{2.0f, 1.0f, 3.0f}, out, RunShape::kValley));
  // -0 beside +0, a negative value, NaN: a full sort decides their places.
  EXPECT_FALSE(SortTwoRuns(std::vector<float>{0.0f, 1.0f, -0.0f}, out, RunShape::kPeak));
  EXPECT_FALSE(SortTwoRuns(std::vector<float>{2.0f, -1.0f, 3.0f}, out, RunShape::kValley));
  EXPECT_FALSE(SortTwoRuns(std::vector<float>{1.0f, std::nanf(""), 0.5f}, out, RunShape::kPeak));
  EXPECT_FALSE(SortTwoRuns(std::vector<float>{1.0f, 0.5f, std::nanf("")}, out, RunShape::kValley));
}

TEST(Median, OddAndEvenCounts) {
  // By hand: 4 values -> mean of the 2nd and 3rd smallest; 5 -> the 3rd.
  std::vector<float> four = {2.0f, 5.0f, 1.0f, 4.0f};
  EXPECT_EQ(median(four), 3.0f);
  std::vector<float> five = {9.0f, 2.0f, 7.0f, 1.0f, 3.0f};
  EXPECT_EQ(median(five), 3.0f);
  std::vector<float> one = {-4.5f};
  EXPECT_EQ(median(one), -4.5f);
}

TEST(Median, ReturnsItsInputSorted) {
  std::vector<float> x = {3.0f, -1.0f, 2.0f, 0.5f, 8.0f, 8.0f, -7.0f};
  median(x);
  EXPECT_TRUE(std::is_sorted(x.begin(), x.end()));
}

TEST(Median, NoValuesGivesTheNoStatisticSentinel) {
  std::vector<float> none;
  EXPECT_EQ(median(none), common::kNoStatistic);
}

// The median of the hinges, selected or sorted, bit for bit that of the
// sorted values by R's fivenum rule: ties, zeros of both signs (sorted, as
// their order decides the sign of a zero median), odd and even counts.
TEST(HingesMedian, SameBitsAsTheSortedValuesMedian) {
  for (int n = 1; n <= 400; n += (n < 20 ? 1 : 37)) {
    for (std::uint32_t seed : {1u, 2u, 3u}) {
      std::vector<float> x = LcgValues(n, seed);
      if (seed == 2u) x = QuarterValues(n);  // many ties
      if (seed == 3u) {
        for (float& v : x) v = std::abs(v) + 0.125f;  // positive, as convergence passes them
      }
      std::vector<float> copy = x;
      const float expected = static_cast<float>(Fivenum(x)[2]);
      const float got = HingesMedian(copy);
      EXPECT_EQ(std::bit_cast<std::uint32_t>(got), std::bit_cast<std::uint32_t>(expected)) << n << " " << seed;
      std::vector<float> sorted = copy;
      std::ranges::sort(sorted);
      std::vector<float> original = x;
      std::ranges::sort(original);
      EXPECT_EQ(sorted, original) << "values lost or changed";
    }
  }
  std::vector<float> zeros = {-0.0f, 0.0f, 1.0f, -0.0f};
  std::vector<float> copy = zeros;
  EXPECT_EQ(std::bit_cast<std::uint32_t>(HingesMedian(zeros)), std::bit_cast<std::uint32_t>(hinges(copy).median));
}

TEST(MeanSd, AgreesWithR) {
  // R: x1 <- c(1.5, 2.25, -0.75, 3.0, 10.5, 4.125, 0.5); mean(x1); sd(x1)
  // gives 3.01785714, 3.66602402.
  const std::vector<float> x = {1.5f, 2.25f, -0.75f, 3.0f, 10.5f, 4.125f, 0.5f};
  const MeanSd r = meansd(x);
  EXPECT_NEAR(r.xm, 3.01785714f, 2e-6f);
  EXPECT_NEAR(r.sd, 3.66602402f, 4e-6f);
}

TEST(MeanSd, TooFewValues) {
  const std::vector<float> one = {2.5f};
  EXPECT_EQ(meansd(one).xm, 2.5f);
  EXPECT_EQ(meansd(one).sd, common::kNoStatistic);
  EXPECT_EQ(meansd(std::vector<float>{}).xm, common::kNoStatistic);
  const std::vector<float> two = {1.0f, 3.0f};  // by hand: mean 2, sd sqrt(2)
  EXPECT_EQ(meansd(two).xm, 2.0f);
  EXPECT_NEAR(meansd(two).sd, 1.41421356f, 1e-6f);
}

TEST(Xmad, AgreesWithR) {
  // R: mad(x1, center = 1, constant = 1) is 1.75; mad(c(2,5,1,4), center = 0,
  // constant = 1) is 3 (the even-count average of 2 and 4).
  const std::vector<float> x = {1.5f, 2.25f, -0.75f, 3.0f, 10.5f, 4.125f, 0.5f};
  std::vector<float> copy = x;
  EXPECT_EQ(xmad(x, 1.0f), 1.75f);
  EXPECT_EQ(x, copy);  // x is not touched
  std::vector<float> work(4, -1.0f);
  EXPECT_EQ(xmad(std::vector<float>{2.0f, 5.0f, 1.0f, 4.0f}, 0.0f, work), 3.0f);
  EXPECT_TRUE(std::is_sorted(work.begin(), work.end()));  // sorted deviations
}

TEST(Hinges, AgreeWithRFivenumForSmallN) {
  // R 4.x: for (n in 1:40) fivenum(v(n, 1:n)) with v as in QuarterValues.
  // Columns: minimum, lower hinge, median, upper hinge, maximum.
  struct Row {
    int n;
    float f[5];
  };
  const Row rows[] = {
    {1, {-2.2500f, -2.2500f, -2.2500f, -2.2500f, -2.2500f}},
    {2, {-1.7500f, -1.7500f, -0.6250f, 0.5000f, 0.5000f}},
    {3, {-2.5000f, -1.8750f, -1.2500f, -0.1250f, 1.0000f}},
    {4, {-2.0000f, -1.3750f, -0.2500f, 0.8750f, 1.5000f}},
    {5, {-2.7500f, -1.5000f, -0.2500f, 0.7500f, 2.0000f}},
    {6, {-2.2500f, -1.0000f, 0.1250f, 1.2500f, 2.5000f}},
    {7, {-2.7500f, -1.1250f, 0.5000f, 1.2500f, 2.7500f}},
    {8, {-2.5000f, -1.7500f, -0.1250f, 1.1250f, 2.2500f}},
    {9, {-2.0000f, -0.7500f, 0.5000f, 1.7500f, 2.7500f}},
    {10, {-2.7500f, -1.5000f, -0.3750f, 1.0000f, 2.2500f}},
    {11, {-2.2500f, -0.8750f, 0.2500f, 1.8750f, 2.7500f}},
    {12, {-2.7500f, -1.6250f, -0.3750f, 1.2500f, 2.7500f}},
    {13, {-2.5000f, -1.2500f, 0.0000f, 1.2500f, 2.5000f}},
    {14, {-2.7500f, -1.5000f, -0.1250f, 1.5000f, 2.7500f}},
    {15, {-2.7500f, -1.3750f, -0.2500f, 1.1250f, 2.2500f}},
    {16, {-2.2500f, -1.1250f, 0.1250f, 1.6250f, 2.7500f}},
    {17, {-2.7500f, -1.2500f, 0.0000f, 1.5000f, 2.7500f}},
    {18, {-2.5000f, -1.2500f, 0.1250f, 1.5000f, 2.7500f}},
    {19, {-2.7500f, -1.2500f, 0.2500f, 1.3750f, 2.7500f}},
    {20, {-2.7500f, -1.6250f, -0.1250f, 1.3750f, 2.5000f}},
    {21, {-2.7500f, -1.2500f, 0.2500f, 1.5000f, 2.7500f}},
    {22, {-2.7500f, -1.5000f, -0.1250f, 1.5000f, 2.7500f}},
    {23, {-2.7500f, -1.3750f, 0.0000f, 1.3750f, 2.7500f}},
    {24, {-2.7500f, -1.6250f, -0.1250f, 1.3750f, 2.7500f}},
    {25, {-2.7500f, -1.5000f, 0.0000f, 1.2500f, 2.7500f}},
    {26, {-2.7500f, -1.5000f, -0.1250f, 1.2500f, 2.7500f}},
    {27, {-2.7500f, -1.3750f, 0.0000f, 1.3750f, 2.7500f}},
    {28, {-2.7500f, -1.5000f, -0.1250f, 1.3750f, 2.7500f}},
    {29, {-2.7500f, -1.2500f, 0.0000f, 1.2500f, 2.7500f}},
    {30, {-2.7500f, -1.5000f, 0.1250f, 1.5000f, 2.7500f}},
    {31, {-2.7500f, -1.3750f, 0.0000f, 1.2500f, 2.7500f}},
    {32, {-2.7500f, -1.3750f, 0.2500f, 1.6250f, 2.7500f}},
    {33, {-2.7500f, -1.5000f, -0.2500f, 1.2500f, 2.7500f}},
    {34, {-2.7500f, -1.2500f, 0.1250f, 1.5000f, 2.7500f}},
    {35, {-2.7500f, -1.5000f, -0.2500f, 1.3750f, 2.7500f}},
    {36, {-2.7500f, -1.3750f, 0.0000f, 1.3750f, 2.7500f}},
    {37, {-2.7500f, -1.5000f, 0.0000f, 1.5000f, 2.7500f}},
    {38, {-2.7500f, -1.5000f, -0.1250f, 1.2500f, 2.7500f}},
    {39, {-2.7500f, -1.2500f, 0.0000f, 1.5000f, 2.7500f}},
    {40, {-2.7500f, -1.3750f, 0.0000f, 1.5000f, 2.7500f}},
  };
  for (const Row& row : rows) {
    std::vector<float> x = QuarterValues(row.n);
    const Hinges h = hinges(x);
    EXPECT_EQ(h.min, row.f[0]) << "n = " << row.n;
    EXPECT_EQ(h.lower, row.f[1]) << "n = " << row.n;
    EXPECT_EQ(h.median, row.f[2]) << "n = " << row.n;
    EXPECT_EQ(h.upper, row.f[3]) << "n = " << row.n;
    EXPECT_EQ(h.max, row.f[4]) << "n = " << row.n;
    EXPECT_EQ(h.hspread, row.f[3] - row.f[1]) << "n = " << row.n;
    EXPECT_TRUE(std::is_sorted(x.begin(), x.end()));
  }
}

TEST(Hinges, AgreeWithTheFivenumDefinitionForEveryNUpTo700) {
  for (int n = 1; n <= 700; ++n) {
    std::vector<float> x = LcgValues(n, 1000u + static_cast<std::uint32_t>(n));
    const std::vector<double> f = Fivenum(x);
    const Hinges h = hinges(x);
    // Averages of two floats: within half an ulp of R's double result.
    EXPECT_NEAR(h.min, f[0], 1e-6) << n;
    EXPECT_NEAR(h.lower, f[1], 1e-5) << n;
    EXPECT_NEAR(h.median, f[2], 1e-5) << n;
    EXPECT_NEAR(h.upper, f[3], 1e-5) << n;
    EXPECT_NEAR(h.max, f[4], 1e-6) << n;
  }
}

TEST(Hinges, HandCases) {
  std::vector<float> one = {7.25f};
  const Hinges h1 = hinges(one);
  EXPECT_EQ(h1.min, 7.25f);
  EXPECT_EQ(h1.lower, 7.25f);
  EXPECT_EQ(h1.median, 7.25f);
  EXPECT_EQ(h1.upper, 7.25f);
  EXPECT_EQ(h1.max, 7.25f);
  EXPECT_EQ(h1.hspread, 0.0f);
  std::vector<float> five = {50.0f, 10.0f, 40.0f, 20.0f, 30.0f};  // hinges x(2), x(4)
  const Hinges h5 = hinges(five);
  EXPECT_EQ(h5.lower, 20.0f);
  EXPECT_EQ(h5.upper, 40.0f);
  EXPECT_EQ(h5.hspread, 20.0f);
  std::vector<float> four = {4.0f, 1.0f, 3.0f, 2.0f};  // (x1+x2)/2, (x3+x4)/2
  const Hinges h4 = hinges(four);
  EXPECT_EQ(h4.lower, 1.5f);
  EXPECT_EQ(h4.upper, 3.5f);
  EXPECT_EQ(h4.median, 2.5f);
}

TEST(Biwloc, AgreesWithAnIndependentRImplementation) {
  // Reference: a few lines of R written from the definition (median, mad with
  // constant 1, biweight steps with constants 6 and 9 about the median, then
  // ten more), in double precision:
  //   x1 -> loci 1.97117614, scli 3.07065943, loc1 2.04169180, scl1 3.12283034
  //   x3 -> loci 0.988965829, scli 0.163498845, loc1 0.992030676, scl1 0.163936420
  std::vector<float> x1 = {1.5f, 2.25f, -0.75f, 3.0f, 10.5f, 4.125f, 0.5f};
  const BiwlocResult r1 = biwloc(x1);
  EXPECT_NEAR(r1.loci, 1.97117614f, 2e-6f);
  EXPECT_NEAR(r1.scli, 3.07065943f, 4e-6f);
  EXPECT_NEAR(r1.loc1, 2.04169180f, 2e-6f);
  EXPECT_NEAR(r1.scl1, 3.12283034f, 4e-6f);
  EXPECT_TRUE(std::is_sorted(x1.begin(), x1.end()));

  std::vector<float> x3 = {0.82f, 1.05f, 0.97f, 1.21f, 0.66f, 1.02f,
                           0.99f, 3.40f, 1.10f, 0.88f, 0.93f, 1.15f};
  const BiwlocResult r3 = biwloc(x3);
  EXPECT_NEAR(r3.loci, 0.988965829f, 2e-6f);
  EXPECT_NEAR(r3.scli, 0.163498845f, 2e-6f);
  EXPECT_NEAR(r3.loc1, 0.992030676f, 2e-6f);
  EXPECT_NEAR(r3.scl1, 0.163936420f, 2e-6f);
}

TEST(Biwloc, SingleScaleDigitsAgreeWithAFortranReference) {
  // The scale sum takes (1 - u9^2)(1 - 5 u9^2), 5 times the square of u9.
  // Reference: tests/data/chronology_stats_reference.f90 (gfortran, REAL),
  // mode "vec"; R in double gives scli 0.501700942, scl1 0.509740202.
  std::vector<float> x = {1.48f, 0.56f, 1.90f, 1.40f, 1.19f, 1.50f, 1.26f, 0.60f};
  const BiwlocResult r = biwloc(x);
  EXPECT_EQ(r.loci, 1.39887726f);
  EXPECT_EQ(r.scli, 0.501700938f);
  EXPECT_EQ(r.loc1, 1.3623004f);
  EXPECT_EQ(r.scl1, 0.509740114f);
}

TEST(Biwloc, SymmetricDataKeepTheCentre) {
  // -3..3: median 0, MAD 2, every step stays at 0 (C = 0 by symmetry).
  // Scale by hand/R: sqrt(sum x^2 (1 - x^2/324)^4) * 7/sqrt(6) /
  // |sum (1 - x^2/324)(1 - 5 x^2/324)| = 2.2306481.
  std::vector<float> x = {3.0f, -2.0f, 1.0f, 0.0f, -1.0f, 2.0f, -3.0f};
  const BiwlocResult r = biwloc(x);
  EXPECT_EQ(r.loci, 0.0f);
  EXPECT_EQ(r.loc1, 0.0f);
  EXPECT_NEAR(r.scli, 2.2306481f, 2e-6f);
  EXPECT_NEAR(r.scl1, 2.2306481f, 2e-6f);
}

TEST(Biwloc, FiveValuesGiveMedianAndOneAndAHalfMad) {
  // Median 3, deviations {2,1,0,2,6} -> MAD 2, scale 3.
  std::vector<float> x = {5.0f, 1.0f, 3.0f, 9.0f, 2.0f};
  const BiwlocResult r = biwloc(x);
  EXPECT_EQ(r.loci, 3.0f);
  EXPECT_EQ(r.loc1, 3.0f);
  EXPECT_EQ(r.scli, 3.0f);
  EXPECT_EQ(r.scl1, 3.0f);
}

TEST(Biwloc, MostlyEqualValuesGiveMedianAndZero) {
  std::vector<float> x = {4.0f, 4.0f, 9.0f, 4.0f, -1.0f, 4.0f};
  const BiwlocResult r = biwloc(x);
  EXPECT_EQ(r.loci, 4.0f);
  EXPECT_EQ(r.loc1, 4.0f);
  EXPECT_EQ(r.scli, 0.0f);
  EXPECT_EQ(r.scl1, 0.0f);
}

}  // namespace
}  // namespace detrend
