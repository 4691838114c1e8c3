// Tests of the spline variance stabilisations and the chronology statistics.
#include "detrend/varstab.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "common/limits.h"
#include "detrend/sstats.h"

namespace detrend {
namespace {

struct Moments {
  double mean, sd;
};

// Mean and sd (divisor m - 1) over the years with depth >= min_depth.
Moments MomentsOf(const std::vector<float>& v, const std::vector<int>& depth, int min_depth) {
  double s = 0.0, ss = 0.0;
  int m = 0;
  for (std::size_t i = 0; i < v.size(); ++i) {
    if (depth[i] < min_depth) continue;
    s += static_cast<double>(v[i]);
    ++m;
  }
  const double mean = s / m;
  for (std::size_t i = 0; i < v.size(); ++i) {
    if (depth[i] < min_depth) continue;
    ss += (static_cast<double>(v[i]) - mean) * (static_cast<double>(v[i]) - mean);
  }
  return {mean, std::sqrt(ss / (m - 1))};
}

// A chronology around 1 whose amplitude changes slowly, never near 0.
std::vector<float> WavyChronology(int n) {
  std::vector<float> c(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    const float t = static_cast<float>(i);
    const float amplitude = 0.1f + 0.05f * std::sin(t / 15.0f);
    c[static_cast<std::size_t>(i)] = 1.0f + amplitude * std::sin(t * 1.3f) + 0.02f * std::cos(t * 0.37f);
  }
  return c;
}

TEST(Cstats, HandValuesSkippingYearsWithoutSeries) {
  // 2 4 4 4 5 5 7 9 with two depth-0 years (values 100 and -999) in between.
  const std::vector<float> x = {2, 4, 100, 4, 4, 5, 5, 7, -999, 9};
  const std::vector<int> depth = {1, 3, 0, 1, 1, 2, 1, 1, 0, 4};
  const ChronologyStats s = cstats(x, depth);
  EXPECT_FLOAT_EQ(s.mean, 5.0f);
  EXPECT_FLOAT_EQ(s.mad, 1.5f);
  EXPECT_FLOAT_EQ(s.var, 32.0f / 7.0f);
  EXPECT_FLOAT_EQ(s.sd, std::sqrt(32.0f / 7.0f));
  // By hand: sum d^3 = 42, sum d^4 = 356, with the small-sample factors.
  EXPECT_NEAR(s.skew, 1.38171387f, 1e-5f);
  EXPECT_NEAR(s.kurt, 5.840625f, 1e-5f);
  // (2/3 + 1/4.5 + 2/6 + 2/8) / 7.
  EXPECT_NEAR(s.msens, 0.21031746f, 1e-6f);
  // z = d / 2 (population sd 2): sum of lag products 3.25, over 8.
  EXPECT_NEAR(s.r1, 0.40625f, 1e-6f);
}

TEST(Cstats, EqualsTheSeriesStatisticsWhenEveryYearHasSeries) {
  const std::vector<float> x = WavyChronology(57);
  const ChronologyStats c = cstats(x, std::vector<int>(x.size(), 3));
  const SeriesStats s = sstats(x);
  EXPECT_FLOAT_EQ(c.mean, s.mean);
  EXPECT_FLOAT_EQ(c.mad, s.mad);
  EXPECT_FLOAT_EQ(c.sd, s.sd);
  EXPECT_FLOAT_EQ(c.var, s.var);
  EXPECT_NEAR(c.skew, s.skew, 1e-4f);
  EXPECT_NEAR(c.kurt, s.kurt, 1e-4f);
  EXPECT_FLOAT_EQ(c.msens, s.msens);
  EXPECT_NEAR(c.r1, s.r1, 1e-5f);
}

TEST(Cstats, SentinelsForNoneOneAndConstantValues) {
  const std::vector<float> x = {3, 3, 3};
  const ChronologyStats none = cstats(x, std::vector<int>{0, 0, 0});
  EXPECT_EQ(none.mean, common::kNoStatistic);
  EXPECT_EQ(none.r1, common::kNoStatistic);
  const ChronologyStats one = cstats(x, std::vector<int>{0, 2, 0});
  EXPECT_EQ(one.mean, 3.0f);
  EXPECT_EQ(one.sd, common::kNoStatistic);
  EXPECT_EQ(one.msens, common::kNoStatistic);
  const ChronologyStats flat = cstats(x, std::vector<int>{1, 1, 1});
  EXPECT_EQ(flat.var, 0.0f);
  EXPECT_EQ(flat.mad, 0.0f);
  EXPECT_EQ(flat.msens, 0.0f);
  EXPECT_EQ(flat.sd, common::kNoStatistic);
  EXPECT_EQ(flat.skew, common::kNoStatistic);
}

TEST(Varsta, ConstantAmplitudeChronologyComesBackUnchanged) {
  const int n = 100;
  std::vector<float> crn(n), curv(n), stab(n);
  for (int i = 0; i < n; ++i) crn[i] = i % 2 == 0 ? 1.2f : 0.8f;
  const std::vector<float> original = crn;
  const std::vector<int> depth(n, 10);
  VarstabWorkspace work;
  const VarstabResult r = varsta(crn, curv, stab, depth, work);
  EXPECT_EQ(r.spline, SplineStatus::kOk);
  for (int i = 0; i < n; ++i) {
    EXPECT_NEAR(stab[i], original[i], 1e-5f) << i;
    EXPECT_NEAR(curv[i], 0.2f, 1e-5f) << i;
    EXPECT_NEAR(crn[i], 0.2f, 1e-5f) << "absolute deviation " << i;
  }
}

TEST(Varstb, ConstantAmplitudeChronologyComesBackUnchanged) {
  const int n = 90;
  std::vector<float> crn(n), curv(n), stab(n);
  for (int i = 0; i < n; ++i) crn[i] = i % 2 == 0 ? 0.7f : 1.3f;
  const std::vector<float> original = crn;
  const std::vector<int> depth(n, 3);
  VarstabWorkspace work;
  int code = 30;
  EXPECT_EQ(varstb(crn, curv, stab, depth, code, work).spline, SplineStatus::kOk);
  EXPECT_EQ(code, 30);
  for (int i = 0; i < n; ++i) EXPECT_NEAR(stab[i], original[i], 1e-5f) << i;
}

// 1 + sign(i) a(i) with signs + - - + repeating and a falling linear
// envelope a(i): the mean is exactly 1 and the absolute deviations are the
// straight line a(i), which every smoother here reproduces. Stabilised, the
// chronology has constant amplitude: 1 +- S sqrt((n - 1) / n), S its sd.
std::vector<float> LinearEnvelope(int n, std::vector<float>& expected) {
  std::vector<float> c(static_cast<std::size_t>(n));
  const int sign[] = {1, -1, -1, 1};
  for (int i = 0; i < n; ++i) {
    const float a = 0.3f - 0.002f * static_cast<float>(i + 1);
    c[static_cast<std::size_t>(i)] = 1.0f + static_cast<float>(sign[i % 4]) * a;
  }
  const Moments m = MomentsOf(c, std::vector<int>(c.size(), 1), 1);
  const double amplitude = m.sd * std::sqrt((n - 1.0) / n);
  expected.resize(c.size());
  for (int i = 0; i < n; ++i) {
    expected[static_cast<std::size_t>(i)] = static_cast<float>(1.0 + sign[i % 4] * amplitude);
  }
  return c;
}

TEST(Varsta, LinearEnvelopeIsRemoved) {
  const int n = 100;
  std::vector<float> expected;
  std::vector<float> crn = LinearEnvelope(n, expected), curv(n), stab(n);
  const std::vector<int> depth(n, 7);
  VarstabWorkspace work;
  varsta(crn, curv, stab, depth, work);
  for (int i = 0; i < n; ++i) {
    EXPECT_NEAR(curv[i], 0.3f - 0.002f * static_cast<float>(i + 1), 2e-5f) << i;
    EXPECT_NEAR(stab[i], expected[i], 2e-5f) << i;
  }
}

TEST(Varstb, LinearEnvelopeIsRemoved) {
  const int n = 100;
  std::vector<float> expected;
  std::vector<float> crn = LinearEnvelope(n, expected), curv(n), stab(n);
  const std::vector<int> depth(n, 2);
  VarstabWorkspace work;
  int code = 40;
  varstb(crn, curv, stab, depth, code, work);
  for (int i = 0; i < n; ++i) {
    EXPECT_NEAR(curv[i], 0.3f - 0.002f * static_cast<float>(i + 1), 2e-5f) << i;
    EXPECT_NEAR(stab[i], expected[i], 2e-5f) << i;
  }
}

TEST(Varsta, OutputHasMeanAndSdOfWellReplicatedYears) {
  const int n = 150;
  std::vector<float> crn = WavyChronology(n), curv(n), stab(n);
  std::vector<int> depth(n, 12);
  for (int i = 0; i < 30; ++i) depth[i] = 2;  // 120 deep years: more than n / 3
  const Moments in = MomentsOf(crn, depth, 5);
  VarstabWorkspace work;
  varsta(crn, curv, stab, depth, work);
  for (float v : stab) ASSERT_GT(v, 0.0f);  // nothing clipped
  const Moments out = MomentsOf(stab, depth, 5);
  EXPECT_NEAR(out.mean, in.mean, 1e-5);
  EXPECT_NEAR(out.sd, in.sd, 1e-5);
}

TEST(Varsta, FewWellReplicatedYearsUseAllYears) {
  const int n = 150;
  std::vector<float> crn = WavyChronology(n), curv(n), stab(n);
  std::vector<int> depth(n, 2);
  for (int i = 0; i < 50; ++i) depth[i] = 8;  // 50 deep years: not more than n / 3
  const Moments in = MomentsOf(crn, depth, 0);
  VarstabWorkspace work;
  varsta(crn, curv, stab, depth, work);
  const Moments out = MomentsOf(stab, depth, 0);
  EXPECT_NEAR(out.mean, in.mean, 1e-5);
  EXPECT_NEAR(out.sd, in.sd, 1e-5);
}

TEST(Varsta, RisingEndOfTheSpreadCurveIsFlattened) {
  // Amplitude 0.1 for 80 years, then growing to 0.5: the spread curve is
  // held near its level where the rise began instead of following it.
  const int n = 120;
  std::vector<float> crn(n), curv(n), stab(n);
  for (int i = 0; i < n; ++i) {
    const float a = i < 80 ? 0.1f : 0.1f + 0.4f * static_cast<float>(i - 79) / 40.0f;
    crn[i] = 1.0f + (i % 2 == 0 ? a : -a);
  }
  const std::vector<int> depth(n, 10);
  VarstabWorkspace work;
  varsta(crn, curv, stab, depth, work);
  EXPECT_LT(curv[n - 1], 0.25f);
  EXPECT_GT(crn[n - 1], 0.45f);  // the deviation itself is large
}

TEST(Varsta, NegativeResultsAreClippedToZero) {
  const int n = 100;
  std::vector<float> crn(n), curv(n), stab(n);
  // Mean 0.3, amplitude 0.2 but 0.01 in years 40-59, where one year drops
  // to 0: its deviation is many local spreads below the mean.
  for (int i = 0; i < n; ++i) {
    const float a = i >= 40 && i < 60 ? 0.01f : 0.2f;
    crn[i] = 0.3f + (i % 2 == 0 ? a : -a);
  }
  crn[50] = 0.0f;
  const std::vector<int> depth(n, 10);
  VarstabWorkspace work;
  varsta(crn, curv, stab, depth, work);
  EXPECT_EQ(stab[50], 0.0f);
  for (float v : stab) EXPECT_GE(v, 0.0f);
}

TEST(Varstb, PercentCodeBecomesStiffnessInYears) {
  const int n = 300;
  std::vector<float> crn = WavyChronology(n), curv(n), stab(n);
  const std::vector<int> depth(n, 6);
  VarstabWorkspace work;
  int code = -50;
  varstb(crn, curv, stab, depth, code, work);
  EXPECT_EQ(code, 150);
}

TEST(Varstb, YearsWithoutSeriesKeepWhatStabHeld) {
  const int n = 60;
  std::vector<float> crn = WavyChronology(n), curv(n), stab(n, -7.0f);
  std::vector<int> depth(n, 4);
  depth[0] = depth[1] = 0;
  const std::vector<float> original = crn;
  VarstabWorkspace work;
  int code = 20;
  varstb(crn, curv, stab, depth, code, work);
  EXPECT_EQ(stab[0], -7.0f);
  EXPECT_EQ(stab[1], -7.0f);
  EXPECT_EQ(crn[0], original[0]);  // not turned into a deviation
  EXPECT_NE(stab[2], -7.0f);
  // The years with series have the chronology's mean and sd.
  const Moments in = MomentsOf(original, depth, 1);
  const Moments out = MomentsOf(stab, depth, 1);
  EXPECT_NEAR(out.mean, in.mean, 1e-5);
  EXPECT_NEAR(out.sd, in.sd, 1e-5);
}

TEST(Varstb, RefusedSplineLeavesTheChronologyAsItWas) {
  std::vector<float> crn = {1.1f, 0.9f, 1.3f}, curv(3), stab(3);
  const std::vector<float> original = crn;
  const std::vector<int> depth(3, 5);
  VarstabWorkspace work;
  int code = 20;
  EXPECT_EQ(varstb(crn, curv, stab, depth, code, work).spline, SplineStatus::kTooShort);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(stab[i], original[i], 1e-6f);
}

}  // namespace
}  // namespace detrend
