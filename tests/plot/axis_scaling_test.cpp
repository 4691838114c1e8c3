// nicescl and autotick against scales worked out by hand.
#include "plot/axis_scaling.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace plot {
namespace {

struct Scale {
  int ierr;
  float lo, step, hi;
};

Scale Nice(float min, float max, int n = 10) {
  Scale s{0, -1.0f, -1.0f, -1.0f};
  s.ierr = nicescl(min, max, n, s.lo, s.step, s.hi);
  return s;
}

TEST(Nicescl, OneYearStartsAtZero) {
  // A = B = 1700: the degenerate rule sets A to 0; R = 188.9, mantissa 2,
  // STEP 200, W 1800, F = 0.25 so K = 0.
  const Scale s = Nice(1700.0f, 1700.0f);
  EXPECT_EQ(s.ierr, 0);
  EXPECT_NEAR(s.lo, 0.0f, 1e-3f);
  EXPECT_NEAR(s.step, 200.0f, 1e-3f);
  EXPECT_NEAR(s.hi, 1800.0f, 1e-2f);
}

TEST(Nicescl, ChronologyRange) {
  // R = 0.86/9 = 0.0956, normalised 9.56, mantissa 10: STEP 0.1; W 0.9;
  // F = ((2.1 - 0.9)/0.1 + 1)/2 = 6.5, K = 6.
  const Scale s = Nice(0.62f, 1.48f);
  EXPECT_EQ(s.ierr, 0);
  EXPECT_NEAR(s.step, 0.1f, 1e-6f);
  EXPECT_NEAR(s.lo, 0.6f, 1e-5f);
  EXPECT_NEAR(s.hi, 1.5f, 1e-5f);
}

TEST(Nicescl, RangeFromZero) {
  // R = 1.48/9 = 0.1644, mantissa 2: STEP 0.2, W 1.8 >= B so the scale starts at 0.
  const Scale s = Nice(0.0f, 1.48f);
  EXPECT_NEAR(s.lo, 0.0f, 1e-6f);
  EXPECT_NEAR(s.step, 0.2f, 1e-6f);
  EXPECT_NEAR(s.hi, 1.8f, 1e-5f);
}

TEST(Nicescl, YearSpan) {
  // 1850..1990: R = 140/9 = 15.56, S 1.556, mantissa 1.6: STEP 16, W 144;
  // F = ((3840 - 144)/16 + 1)/2 = 116, K = 115 (F - 0.0001 truncated):
  // 1840..1984 would cut off the last six years, so the next mantissa, 2:
  // STEP 20, W 180, F = ((3840 - 180)/20 + 1)/2 = 92, K = 91: 1820..2000.
  const Scale s = Nice(1850.0f, 1990.0f);
  EXPECT_NEAR(s.step, 20.0f, 1e-3f);
  EXPECT_NEAR(s.lo, 1820.0f, 1e-2f);
  EXPECT_NEAR(s.hi, 2000.0f, 1e-2f);
}

TEST(Nicescl, ResultCoversRange) {
  // Every scale spans 9 steps and holds its range.
  for (float lo = -40.0f; lo < 40.0f; lo += 3.7f) {
    for (float width = 0.01f; width < 3000.0f; width *= 1.9f) {
      const Scale s = Nice(lo, lo + width);
      ASSERT_EQ(s.ierr, 0);
      EXPECT_LE(s.lo, lo + 1e-3f * s.step) << lo << " " << width;
      EXPECT_GE(s.hi, lo + width - 1e-3f * s.step) << lo << " " << width;
      EXPECT_NEAR(s.hi - s.lo, 9.0f * s.step, 1e-3f * s.step);
    }
  }
}

TEST(Nicescl, AllNegative) {
  // -5..-1: R = 4/9 = 0.444, S 4.44, mantissa 5: STEP 0.5, W 4.5; B <= 0 and
  // -A = 5 > W, so the ordinary rule: F = ((-6 - 4.5)/0.5 + 1)/2 = -10, K = -11:
  // -5.5 .. -1.0.
  const Scale s = Nice(-5.0f, -1.0f);
  EXPECT_NEAR(s.step, 0.5f, 1e-6f);
  EXPECT_NEAR(s.lo, -5.5f, 1e-5f);
  EXPECT_NEAR(s.hi, -1.0f, 1e-5f);
}

TEST(Nicescl, NegativeRangeEndsAtZero) {
  // -3..-2: R = 1/9, mantissa 1.2 (S 1.11): STEP 0.12, W 1.08; F = ((-5 - 1.08)/0.12 + 1)/2
  // = -24.83, K = -25: NEWMIN -3.0. Then B <= 0 and -A = 3 > W: no change.
  const Scale s = Nice(-3.0f, -2.0f);
  EXPECT_NEAR(s.step, 0.12f, 1e-6f);
  EXPECT_NEAR(s.lo, -3.0f, 1e-5f);
  EXPECT_NEAR(s.hi, -1.92f, 1e-5f);
  // -0.5..0: B <= 0 and -A <= W: the scale ends at 0. R = 0.0556, mantissa 6, STEP 0.06, W 0.54.
  const Scale z = Nice(-0.5f, 0.0f);
  EXPECT_NEAR(z.lo, -0.54f, 1e-5f);
  EXPECT_NEAR(z.hi, 0.0f, 1e-6f);
}

TEST(Nicescl, ErrorsLeaveOutputsUnchanged) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  for (const Scale& s : {Nice(2.0f, 1.0f), Nice(1.0f, 2.0f, 1), Nice(nan, 1.0f), Nice(0.0f, inf), Nice(-inf, inf)}) {
    EXPECT_EQ(s.ierr, 1);
    EXPECT_EQ(s.lo, -1.0f);
    EXPECT_EQ(s.step, -1.0f);
    EXPECT_EQ(s.hi, -1.0f);
  }
}

TEST(Nicescl, ZeroRangeAtZero) {
  // 0..0: B becomes 1; R = 1/9, mantissa 1.2: STEP 0.12, from 0 to 1.08.
  const Scale s = Nice(0.0f, 0.0f);
  EXPECT_EQ(s.ierr, 0);
  EXPECT_NEAR(s.lo, 0.0f, 1e-6f);
  EXPECT_NEAR(s.hi, 1.08f, 1e-5f);
}

struct Axes {
  float xmin, xmax, ymin, ymax, zmin, zmax;
  int nxsub = -1, nysub = -1, nzsub = -1;
  float xtick = -1.0f, ytick = -1.0f, ztick = -1.0f;
  void Run() { autotick(xmin, xmax, ymin, ymax, zmin, zmax, nxsub, nysub, nzsub, xtick, ytick, ztick); }
};

TEST(Autotick, ChronologyY) {
  Axes a{1900.0f, 1920.0f, 0.4f, 1.0f, 0.0f, 1.0f};
  a.Run();
  EXPECT_FLOAT_EQ(a.ymax, 1.5f);  // integral top gains 0.5
  EXPECT_FLOAT_EQ(a.ymin, 0.4f);
  EXPECT_EQ(a.nysub, 4);
  EXPECT_FLOAT_EQ(a.ytick, 0.5f);
  EXPECT_FLOAT_EQ(a.xtick, 5.0f);
  EXPECT_EQ(a.nxsub, 51);
  EXPECT_FLOAT_EQ(a.xmin, 1900.0f);
  EXPECT_FLOAT_EQ(a.xmax, 1920.0f);
}

TEST(Autotick, XBuckets) {
  struct Case {
    float lo, hi;
    int nsub;
    float tick;
  } cases[] = {{0.0f, 0.1f, 5, 0.02f},     {0.0f, 1.0f, 10, 0.1f},       {0.0f, 25.0f, 51, 5.0f},
               {0.0f, 50.0f, 10, 10.0f},   {0.0f, 100.0f, 5, 20.0f},     {0.0f, 200.0f, 10, 20.0f},
               {0.0f, 500.0f, 5, 50.0f},   {1500.0f, 2010.0f, 10, 100.0f}, {0.0f, 2000.0f, 5, 250.0f},
               {1920.0f, 1900.0f, 51, 5.0f}};
  for (const Case& c : cases) {
    Axes a{c.lo, c.hi, 0.0f, 1.0f, 0.0f, 1.0f};
    a.Run();
    EXPECT_EQ(a.nxsub, c.nsub) << c.lo << ".." << c.hi;
    EXPECT_FLOAT_EQ(a.xtick, c.tick) << c.lo << ".." << c.hi;
    EXPECT_FLOAT_EQ(a.xmin, c.lo);
    EXPECT_FLOAT_EQ(a.xmax, c.hi);
  }
}

TEST(Autotick, WideXUsesNicescl) {
  // 0..2500: R = 277.8, S 2.778, mantissa 3: STEP 300, W 2700, from 0.
  Axes a{0.0f, 2500.0f, 0.0f, 1.0f, 0.0f, 1.0f};
  a.Run();
  EXPECT_EQ(a.nxsub, 5);
  EXPECT_NEAR(a.xtick, 300.0f, 1e-2f);
  EXPECT_NEAR(a.xmin, 0.0f, 1e-3f);
  EXPECT_NEAR(a.xmax, 2700.0f, 1e-1f);
}

TEST(Autotick, UpperLimitRounding) {
  struct Case {
    float top, rounded;
  } cases[] = {{1.0f, 1.5f},   {1.4f, 1.5f},   {1.6f, 2.0f},    {0.5f, 0.5f},     {12.0f, 15.0f},
               {17.0f, 20.0f}, {15.0f, 15.0f}, {120.0f, 150.0f}, {151.0f, 200.0f}, {-0.3f, 0.5f}};
  for (const Case& c : cases) {
    Axes a{0.0f, 1.0f, 0.0f, c.top, 0.0f, c.top};
    a.Run();
    EXPECT_NEAR(a.ymax, c.rounded, 1e-5f) << c.top;
    EXPECT_NEAR(a.zmax, c.rounded, 1e-5f) << c.top;
  }
}

TEST(Autotick, YBuckets) {
  // Tops already round (after rounding they stay where the table is tested).
  struct Case {
    float lo, top;
    int nsub;
    float tick;
  } cases[] = {{0.0f, 1.5f, 4, 0.5f},   {0.0f, 3.5f, 4, 1.0f},   {0.0f, 9.5f, 4, 2.0f},  {0.0f, 45.0f, 5, 5.0f},
               {0.0f, 95.0f, 2, 10.0f}, {0.0f, 450.0f, 5, 100.0f}};
  for (const Case& c : cases) {
    Axes a{0.0f, 1.0f, c.lo, c.top - 0.01f, c.lo, c.top - 0.01f};
    a.Run();
    EXPECT_EQ(a.nysub, c.nsub) << c.top;
    EXPECT_FLOAT_EQ(a.ytick, c.tick) << c.top;
    EXPECT_EQ(a.nzsub, c.nsub) << c.top;
    EXPECT_FLOAT_EQ(a.ztick, c.tick) << c.top;
  }
}

TEST(Autotick, WideYUsesNiceslAndKeepsX) {
  // y 0..620: top rounds to 650; E 650 > 500: nicescl(0, 650): R 72.2, mantissa 8:
  // STEP 80, W 720, from 0. NXSUB stays as the x table set it (0..1: 10).
  Axes a{0.0f, 1.0f, 0.0f, 620.0f, 0.0f, 1.0f};
  a.Run();
  EXPECT_EQ(a.nysub, 5);
  EXPECT_NEAR(a.ytick, 80.0f, 1e-3f);
  EXPECT_NEAR(a.ymin, 0.0f, 1e-3f);
  EXPECT_NEAR(a.ymax, 720.0f, 1e-2f);
  EXPECT_EQ(a.nxsub, 10);
}

TEST(Autotick, NotANumberLeavesAxisUnchanged) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  Axes a{nan, 1.0f, 0.0f, nan, nan, 2.0f};
  a.Run();
  EXPECT_EQ(a.nxsub, -1);
  EXPECT_EQ(a.xtick, -1.0f);
  EXPECT_EQ(a.nysub, -1);
  EXPECT_EQ(a.ytick, -1.0f);
  EXPECT_TRUE(std::isnan(a.ymax));
  EXPECT_EQ(a.nzsub, -1);  // z range is NaN - 2.5
}

}  // namespace
}  // namespace plot

#include "plot/plotter.h"

namespace plot {
namespace {

TEST(LabelDecimals, OnlyWherePlplotWouldMisstateLabels) {
  EXPECT_EQ(LabelDecimals(0.12), 2);
  EXPECT_EQ(LabelDecimals(static_cast<double>(0.12f)), 2);
  EXPECT_EQ(LabelDecimals(0.25), 2);
  EXPECT_EQ(LabelDecimals(2.5), 1);
  EXPECT_EQ(LabelDecimals(0.016), 3);
  EXPECT_EQ(LabelDecimals(static_cast<double>(0.1f)), -1);
  EXPECT_EQ(LabelDecimals(0.5), -1);
  EXPECT_EQ(LabelDecimals(0.06), -1);
  EXPECT_EQ(LabelDecimals(16.0), -1);
  EXPECT_EQ(LabelDecimals(250.0), -1);
  EXPECT_EQ(LabelDecimals(0.0), -1);
}

TEST(SafeTick, RefusesTicksPlplotCannotDraw) {
  EXPECT_EQ(SafeTick(0.1, 0.0, 100.0), 0.1);     // 1000 ticks: allowed
  EXPECT_EQ(SafeTick(0.05, 0.0, 100.0), 0.0);    // 2000 ticks
  EXPECT_EQ(SafeTick(-5.0, 1900.0, 2000.0), -5.0);
  EXPECT_EQ(SafeTick(std::numeric_limits<double>::infinity(), 0.0, 1.0), 0.0);
  EXPECT_EQ(SafeTick(std::numeric_limits<double>::quiet_NaN(), 0.0, 1.0), 0.0);
  EXPECT_EQ(SafeTick(1.0, 0.0, std::numeric_limits<double>::infinity()), 0.0);
}

}  // namespace
}  // namespace plot

namespace plot {
namespace {

TEST(FiniteRuns, NonFinitePointsBreakTheLine) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<double> x = {1, 2, 3, 4, 5, 6, 7};
  const std::vector<double> y = {nan, 1, 2, inf, 3, 4, nan};
  using Runs = std::vector<std::pair<std::size_t, std::size_t>>;
  EXPECT_EQ(FiniteRuns(x, y), (Runs{{1, 3}, {4, 6}}));
  EXPECT_EQ(FiniteRuns(x, x), (Runs{{0, 7}}));
  EXPECT_TRUE(FiniteRuns(std::vector<double>{}, std::vector<double>{}).empty());
  EXPECT_TRUE(FiniteRuns(std::vector<double>{nan}, std::vector<double>{1.0}).empty());
}

TEST(Nicescl, OverflowingRangeIsAnError) {
  float lo = -1.0f, step = -1.0f, hi = -1.0f;
  EXPECT_EQ(nicescl(-3e38f, 3e38f, 10, lo, step, hi), 1);
  // -1.5e38..1.5e38: STEP 4e37 (mantissa 4), width 3.6e38 overflows.
  EXPECT_EQ(nicescl(-1.5e38f, 1.5e38f, 10, lo, step, hi), 1);
  EXPECT_EQ(lo, -1.0f);
  EXPECT_EQ(nicescl(-1e38f, 1e38f, 10, lo, step, hi), 0);  // STEP 2.5e37 still fits
  EXPECT_FLOAT_EQ(lo, -1.25e38f);
  EXPECT_EQ(nicescl(1e-40f, 2e-40f, 10, lo, step, hi), 0);  // denormal range still scales
  EXPECT_LE(lo, 1e-40f);
  EXPECT_GE(hi, 2e-40f);
}

}  // namespace
}  // namespace plot
