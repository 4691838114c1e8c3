// Tests of the regional curve, its fit by RCS option code, and xmean2.
#include "detrend/regcrv.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "common/limits.h"
#include "common/storage.h"
#include "detrend/spline.h"

namespace detrend {
namespace {

constexpr float kFill = -999.0f;

// A ring-aligned data set: series i holds `values[i-1]` from row 1 with pith
// offset `pith[i-1]`.
struct RingSet {
  RingSet(const std::vector<std::vector<float>>& values, const std::vector<int>& pith)
      : SERMAT(400, 10), IPITH(11, 0) {
    NS = static_cast<int>(values.size());
    for (int i = 1; i <= NS; ++i) {
      const auto& v = values[static_cast<std::size_t>(i - 1)];
      for (std::size_t k = 0; k < v.size(); ++k) SERMAT.at(static_cast<int>(k) + 1, i) = v[k];
      IYTAB.IFY(i) = 1500;
      IYTAB.ILY(i) = 1499 + static_cast<int>(v.size());
      IPITH[static_cast<std::size_t>(i)] = pith[static_cast<std::size_t>(i - 1)];
    }
  }
  RegcrvResult Run(int& NOPT, int PITHFL = 0, int RCTRNC = 0, int RCSWIN = 0) {
    return regcrv(SERMAT, NS, RC, fRC, IYTAB, IPITH, kFill, CRVPAR, NOPT, 7.0f, RCSWIN, PITHFL, RCTRNC, 10,
                  work);
  }
  common::SeriesMatrix SERMAT;
  common::YearTable IYTAB;
  std::vector<int> IPITH;
  int NS = 0;
  std::vector<float> RC = std::vector<float>(common::MAXYRS);
  std::vector<float> fRC = std::vector<float>(common::MAXYRS);
  CurveParameters CRVPAR{};
  RegcrvWorkspace work;
};

std::vector<float> Linear(int n, float a, float b) {
  std::vector<float> v(static_cast<std::size_t>(n));
  for (int t = 1; t <= n; ++t) v[static_cast<std::size_t>(t - 1)] = a + b * static_cast<float>(t);
  return v;
}

// Runs detrnd on a copy of y; returns the curve.
std::vector<float> Fit(std::vector<float> y, int& NOPT, int nfit, CurveParameters& CRVPAR, int iwin = 0,
                       DetrndResult* out = nullptr) {
  std::vector<float> curv(y.size(), -1.0f);
  DetrndWorkspace work;
  const DetrndResult r = detrnd(y, curv, nfit, CRVPAR, NOPT, iwin, 7.0f, 10, work);
  if (out != nullptr) *out = r;
  return curv;
}

TEST(Regcrv, AveragesByAgeOverTheSeriesThatReachIt) {
  RingSet d({{1.0f, 2.0f, 3.0f}, {3.0f, 4.0f, 5.0f, 6.0f, 7.0f}}, {0, 0});
  int NOPT = 6;
  const RegcrvResult r = d.Run(NOPT);
  EXPECT_EQ(r.RCLEN, 5);
  EXPECT_EQ(r.RCOFF, 0);
  const float expected[] = {2.0f, 3.0f, 4.0f, 6.0f, 7.0f};
  for (int a = 0; a < 5; ++a) EXPECT_FLOAT_EQ(d.RC[a], expected[a]) << "age " << a + 1;
  for (int a = 0; a < 5; ++a) EXPECT_FLOAT_EQ(d.fRC[a], 22.0f / 5.0f);
  EXPECT_EQ(NOPT, 6);
  EXPECT_FLOAT_EQ(d.CRVPAR[4], 4.4f);
  EXPECT_EQ(d.RC[5], kFill);
  EXPECT_EQ(d.fRC[common::MAXYRS - 1], kFill);
}

TEST(Regcrv, AgeMeansAreSummedInSinglePrecision) {
  // Ten one-ring series of 0.1f: ten single-precision additions of 0.1f give
  // 1.0000001192092896 (each partial sum rounded to float), and that over 10
  // rounds to 0.10000000894069672f; a double sum would give 0.1f itself.
  RingSet d(std::vector<std::vector<float>>(10, std::vector<float>{0.1f}),
            std::vector<int>(10, 0));
  int NOPT = 6;
  const RegcrvResult r = d.Run(NOPT);
  EXPECT_EQ(r.RCLEN, 1);
  EXPECT_EQ(d.RC[0], 0.10000000894069672f);
}

TEST(Regcrv, PithOffsetsShiftTheCurveStart) {
  // Offsets 10 and 20: the curve begins at age 11; ages 11-20 come from
  // series 1 alone, ages 21-40 from both.
  RingSet d({std::vector<float>(30, 2.0f), std::vector<float>(20, 4.0f)}, {10, 20});
  int NOPT = 6;
  const RegcrvResult r = d.Run(NOPT, 1);
  EXPECT_EQ(r.RCOFF, 10);
  EXPECT_EQ(r.RCLEN, 40);
  for (int a = 1; a <= 10; ++a) EXPECT_EQ(d.RC[a - 1], kFill) << a;
  for (int a = 11; a <= 20; ++a) EXPECT_FLOAT_EQ(d.RC[a - 1], 2.0f) << a;
  for (int a = 21; a <= 40; ++a) EXPECT_FLOAT_EQ(d.RC[a - 1], 3.0f) << a;
  EXPECT_EQ(d.RC[40], kFill);
}

TEST(Regcrv, AgesWithoutDataAreInterpolatedForTheFitOnly) {
  // Ages 1-2 and 6-8 hold the line y = age; ages 3-5 have no series.
  RingSet d({{1.0f, 2.0f}, {6.0f, 7.0f, 8.0f}}, {0, 5});
  int NOPT = 4;
  const RegcrvResult r = d.Run(NOPT);
  EXPECT_EQ(r.RCLEN, 8);
  EXPECT_EQ(NOPT, 4);
  for (int a = 3; a <= 5; ++a) EXPECT_EQ(d.RC[a - 1], kFill);
  for (int a = 1; a <= 8; ++a) EXPECT_NEAR(d.fRC[a - 1], static_cast<float>(a), 1e-5f) << a;
}

TEST(Regcrv, TruncationFitsTheFirstAgesAndHoldsTheLastFittedValue) {
  // Ages 1-50 on the line 10 - 0.1 a, later ages far off it: the line of
  // code 4 comes from the first 50 alone and stays at its value at age 50.
  std::vector<float> v = Linear(200, 10.0f, -0.1f);
  for (std::size_t k = 50; k < v.size(); ++k) v[k] = 1.0f;
  RingSet d({v}, {0});
  int NOPT = 4;
  const RegcrvResult r = d.Run(NOPT, 0, 50);
  EXPECT_EQ(r.RCLEN, 200);
  for (int a = 1; a <= 50; ++a) EXPECT_NEAR(d.fRC[a - 1], 10.0f - 0.1f * static_cast<float>(a), 1e-4f);
  for (int a = 51; a <= 200; ++a) EXPECT_NEAR(d.fRC[a - 1], 5.0f, 1e-4f) << a;
  EXPECT_FLOAT_EQ(d.RC[120], 1.0f);
}

TEST(Regcrv, TruncationOutsideTheCurveMeansNone) {
  std::vector<float> v = Linear(30, 1.0f, 0.5f);
  for (int e : {0, -3, 30, 45}) {
    RingSet d({v}, {0});
    int NOPT = 4;
    d.Run(NOPT, 0, e);
    EXPECT_NEAR(d.fRC[29], 16.0f, 1e-4f) << e;
    EXPECT_NEAR(d.CRVPAR[2], 0.5f, 1e-5f) << e;
  }
}

TEST(Detrnd, FailedExponentialFallsBackToTheLine) {
  // 15 values: too few for the exponential; code 1 becomes 4.
  int NOPT = 1;
  CurveParameters p{};
  DetrndResult r;
  const std::vector<float> c = Fit(Linear(15, 3.0f, -0.1f), NOPT, 15, p, 0, &r);
  EXPECT_EQ(NOPT, 4);
  EXPECT_TRUE(r.exponential_tried);
  EXPECT_EQ(r.exponential, CurveStatus::kTooShort);
  EXPECT_NEAR(p[2], -0.1f, 1e-6f);
  EXPECT_NEAR(p[4], 3.0f, 1e-5f);
  for (int t = 1; t <= 15; ++t) EXPECT_NEAR(c[t - 1], 3.0f - 0.1f * static_cast<float>(t), 1e-5f);
}

TEST(Detrnd, CodeTwoWithRisingFallbackLineGivesTheMean) {
  int NOPT = 2;
  CurveParameters p{};
  const std::vector<float> c = Fit(Linear(10, 1.0f, 0.2f), NOPT, 10, p);
  EXPECT_EQ(NOPT, 5);
  for (float v : c) EXPECT_NEAR(v, 2.1f, 1e-5f);
  EXPECT_NEAR(p[4], 2.1f, 1e-5f);
  EXPECT_EQ(p[2], 0.0f);
}

TEST(Detrnd, CodeFiveOnRisingCurveBecomesSix) {
  int NOPT = 5;
  CurveParameters p{};
  const std::vector<float> c = Fit(Linear(8, 0.0f, 1.0f), NOPT, 8, p);
  EXPECT_EQ(NOPT, 6);
  for (float v : c) EXPECT_FLOAT_EQ(v, 4.5f);
  NOPT = 5;
  Fit(Linear(8, 9.0f, -1.0f), NOPT, 8, p);
  EXPECT_EQ(NOPT, 5);
  EXPECT_NEAR(p[2], -1.0f, 1e-6f);
}

TEST(Detrnd, PercentSplineUsesItsShareOfTheFittedValues) {
  // -25 with nfit 130: stiffness int(0.25 x 130) = 32.
  std::vector<float> y(150);
  for (std::size_t i = 0; i < y.size(); ++i) y[i] = 1.0f + 0.3f * std::sin(0.21f * static_cast<float>(i));
  int NOPT = -25;
  CurveParameters p{};
  const std::vector<float> c = Fit(y, NOPT, 130, p);
  std::vector<float> expected(130);
  SplineWorkspace sw;
  splinp(std::span<const float>(y.data(), 130), expected, 32, sw);
  EXPECT_EQ(NOPT, -25);
  for (int i = 0; i < 130; ++i) EXPECT_EQ(c[i], expected[i]) << i;
  EXPECT_EQ(c[130], -1.0f);  // beyond nfit the curve is not written
}

TEST(Detrnd, GeneralNegativeExponentialReportsTheRate) {
  std::vector<float> y(120);
  for (int t = 1; t <= 120; ++t) y[t - 1] = 2.0f * std::exp(-0.05f * static_cast<float>(t)) + 0.5f;
  int NOPT = 3;
  CurveParameters p{};
  const std::vector<float> c = Fit(y, NOPT, 120, p);
  EXPECT_EQ(NOPT, 3);
  EXPECT_NEAR(p[1], 0.05f, 2e-3f);
  EXPECT_NEAR(p[0], 2.0f, 0.05f);
  EXPECT_NEAR(p[4], 0.5f, 0.02f);
  EXPECT_EQ(p[2], 0.0f);
  for (int t = 0; t < 120; ++t) EXPECT_NEAR(c[t], y[t], 0.01f);
}

TEST(Detrnd, GeneralExponentialWithPowerOneFitsItsCurve) {
  std::vector<float> y(100);
  for (int t = 1; t <= 100; ++t) {
    const float tf = static_cast<float>(t);
    y[t - 1] = 0.8f * tf * std::exp(-0.08f * tf) + 0.2f;
  }
  int NOPT = 8;
  CurveParameters p{};
  const std::vector<float> c = Fit(y, NOPT, 100, p);
  EXPECT_EQ(NOPT, 8);
  EXPECT_EQ(p[6], 8.0f);
  EXPECT_EQ(p[1], 1.0f);
  EXPECT_NEAR(p[2], 0.08f, 0.01f);
  for (int t = 0; t < 100; ++t) EXPECT_NEAR(c[t], y[t], 0.05f) << t;
}

TEST(Detrnd, HugershoffFitsItsCurve) {
  std::vector<float> y(100);
  for (int t = 1; t <= 100; ++t) {
    const float tf = static_cast<float>(t);
    y[t - 1] = 1.5f * std::pow(tf, 0.6f) * std::exp(-0.04f * tf) + 0.3f;
  }
  int NOPT = 7;
  CurveParameters p{};
  const std::vector<float> c = Fit(y, NOPT, 100, p);
  EXPECT_EQ(NOPT, 7);
  EXPECT_EQ(p[6], 7.0f);
  EXPECT_GT(p[2], 0.0f);
  double ss = 0.0;
  for (int t = 0; t < 100; ++t) ss += static_cast<double>((c[t] - y[t]) * (c[t] - y[t]));
  EXPECT_LT(std::sqrt(ss / 100.0), 0.05);
}

TEST(Detrnd, RunningMedianWindowComesFromRcswin) {
  // Window 3 by hand: 1 2 3 100 5 6 7 8 9 -> 2 2 3 5 6 6 7 8 8 (converged).
  const std::vector<float> y = {1, 2, 3, 100, 5, 6, 7, 8, 9};
  const std::vector<float> expected = {2, 2, 3, 5, 6, 6, 7, 8, 8};
  for (int rcswin : {3, 4, -34}) {
    int NOPT = -3;
    CurveParameters p{};
    const std::vector<float> c = Fit(y, NOPT, 9, p, rcswin);
    EXPECT_EQ(NOPT, -3) << rcswin;
    EXPECT_EQ(c, expected) << rcswin;
  }
}

TEST(Detrnd, RefusedSmootherWindowFallsBackToTheMean) {
  const std::vector<float> y = {1, 2, 3, 4};
  for (int code : {-3, -4}) {
    int NOPT = code;
    CurveParameters p{};
    const std::vector<float> c = Fit(y, NOPT, 4, p, 0);
    EXPECT_EQ(NOPT, 6) << code;
    for (float v : c) EXPECT_FLOAT_EQ(v, 2.5f);
  }
}

TEST(Detrnd, LowessFractionFromPointsOrPercent) {
  std::vector<float> y(20);
  for (int i = 0; i < 20; ++i) y[i] = static_cast<float>((i * 7) % 5) + 0.1f * static_cast<float>(i);
  CurveParameters p{};
  int a = -4, b = -4;
  const std::vector<float> by_points = Fit(y, a, 20, p, 10);   // 10 of 20 points
  const std::vector<float> by_percent = Fit(y, b, 20, p, -50);  // 50 percent
  std::vector<float> direct(20);
  LowessWork lw;
  lowfit(y, direct, 0.5f, lw);
  EXPECT_EQ(a, -4);
  EXPECT_EQ(by_points, direct);
  EXPECT_EQ(by_percent, direct);
}

// Regional-curve smoothers with the window as typed. Expected curves from
// tests/detrend/rcs_smoothers_reference.py, a separate double-precision
// transcription of LOWESS and iterated running medians (its printed values).
namespace rcs_reference {
const std::vector<float> kCurve = {
    3.146500f, 2.985100f, 2.714100f, 2.597800f, 2.679100f, 2.716400f, 2.537300f, 2.291200f, 2.229900f,
    2.338800f, 2.358100f, 2.163100f, 1.946900f, 1.937300f, 2.062900f, 2.057600f, 3.350200f, 1.668800f,
    1.706300f, 1.837700f, 1.803400f, 1.589000f, 1.446500f, 1.525100f, 1.652300f, 1.586700f, 1.371500f,
    1.271200f, 1.383800f, 1.497600f, 1.400700f, 1.191800f, 1.135400f, 1.274100f, 1.366300f, 1.240100f,
    1.044800f, 1.032600f, 1.188500f, 1.252700f};
const std::vector<float> kLowessWindow12 = {
    3.042886f, 2.946975f, 2.852243f, 2.757060f, 2.660611f, 2.565844f, 2.495204f, 2.432825f, 2.360680f,
    2.279614f, 2.207955f, 2.154345f, 2.106037f, 2.044114f, 1.975186f, 1.920040f, 1.880982f, 1.841707f,
    1.787917f, 1.725475f, 1.676562f, 1.646149f, 1.612212f, 1.564410f, 1.514920f, 1.480588f, 1.458452f,
    1.429693f, 1.387498f, 1.346739f, 1.322198f, 1.308961f, 1.292609f, 1.274733f, 1.257297f, 1.241363f};
const std::vector<float> kLowessPercent30 = {
    3.049115f, 2.948460f, 2.850957f, 2.752921f, 2.651757f, 2.561324f, 2.491987f, 2.431202f, 2.359004f,
    2.276468f, 2.203838f, 2.151377f, 2.103499f, 2.045467f, 1.976277f, 1.916470f, 1.880754f, 1.844343f,
    1.784688f, 1.720080f, 1.675248f, 1.645240f, 1.612099f, 1.563185f, 1.512226f, 1.478365f, 1.457818f,
    1.429847f, 1.386292f, 1.344082f, 1.320245f, 1.306692f, 1.290945f, 1.272335f, 1.256634f, 1.245258f};
const std::vector<float> kMedianWindow5 = {
    2.714100f, 2.714100f, 2.714100f, 2.714100f, 2.679100f, 2.597800f, 2.537300f, 2.338800f, 2.338800f,
    2.291200f, 2.229900f, 2.163100f, 2.062900f, 2.057600f, 2.057600f, 2.057600f, 2.057600f, 1.837700f,
    1.803400f, 1.706300f, 1.706300f, 1.589000f, 1.589000f, 1.586700f, 1.525100f, 1.525100f, 1.383800f,
    1.383800f, 1.383800f, 1.383800f, 1.383800f, 1.274100f, 1.274100f, 1.240100f, 1.240100f, 1.240100f};
const std::vector<float> kMedianPercent30 = {
    2.679100f, 2.679100f, 2.679100f, 2.679100f, 2.679100f, 2.597800f, 2.537300f, 2.358100f, 2.338800f,
    2.291200f, 2.229900f, 2.163100f, 2.163100f, 2.062900f, 2.057600f, 1.946900f, 1.937300f, 1.837700f,
    1.803400f, 1.706300f, 1.668800f, 1.652300f, 1.589000f, 1.586700f, 1.525100f, 1.497600f, 1.446500f,
    1.400700f, 1.383800f, 1.371500f, 1.366300f, 1.274100f, 1.274100f, 1.274100f, 1.274100f, 1.274100f};
const std::vector<float> kMedianPercent5 = {
    2.985100f, 2.985100f, 2.714100f, 2.679100f, 2.679100f, 2.679100f, 2.537300f, 2.291200f, 2.291200f,
    2.338800f, 2.338800f, 2.163100f, 1.946900f, 1.946900f, 2.057600f, 2.057600f, 2.057600f, 1.706300f,
    1.706300f, 1.803400f, 1.803400f, 1.589000f, 1.525100f, 1.525100f, 1.586700f, 1.586700f, 1.371500f,
    1.371500f, 1.383800f, 1.400700f, 1.400700f, 1.191800f, 1.191800f, 1.274100f, 1.274100f, 1.274100f};
constexpr float kMeanOfFitted = 1.946128f;
constexpr int kFitted = 36;  // of the 40 values: a truncation age of 36
}  // namespace rcs_reference

TEST(Detrnd, SmoothersTakeTheWindowAsTypedFixedOrPercent) {
  using namespace rcs_reference;
  struct Case {
    int NOPT, RCSWIN;
    const std::vector<float>& expected;
  };
  const Case cases[] = {
      {-4, 12, kLowessWindow12},     // 12 points: fraction 12 / 36
      {-4, -30, kLowessPercent30},   // fraction 0.30: 10 points
      {-3, 5, kMedianWindow5},
      {-3, -30, kMedianPercent30},   // 30 % of 36 = 10, made odd: 9
      {-3, -5, kMedianPercent5},     // 5 % of 36 = 1, raised to 3
  };
  for (const Case& c : cases) {
    int NOPT = c.NOPT;
    CurveParameters p{};
    DetrndResult r;
    const std::vector<float> curv = Fit(kCurve, NOPT, kFitted, p, c.RCSWIN, &r);
    EXPECT_EQ(NOPT, c.NOPT) << c.RCSWIN;
    EXPECT_EQ(r.msmoor_ier, 0) << c.RCSWIN;
    for (int j = 0; j < kFitted; ++j) {
      EXPECT_NEAR(curv[j], c.expected[j], 2e-5f) << c.NOPT << " " << c.RCSWIN << " " << j;
    }
    for (int j = kFitted; j < 40; ++j) EXPECT_EQ(curv[j], -1.0f) << j;  // beyond the fitted ages: untouched
  }
}

TEST(Detrnd, RunningMedianWindowTheRoutineRefusesIsTheMeanWithItsStatus) {
  // 41 values asked of a curve of 36: input error 1 of msmoor, the mean of
  // the fitted values over the whole curve, code 6.
  using namespace rcs_reference;
  int NOPT = -3;
  CurveParameters p{};
  DetrndResult r;
  const std::vector<float> curv = Fit(kCurve, NOPT, kFitted, p, 41, &r);
  EXPECT_EQ(NOPT, 6);
  EXPECT_EQ(r.msmoor_ier, 1);
  EXPECT_EQ(MsmoorMessage(r.msmoor_ier), "input error 1 in msmoor.");
  for (float v : curv) EXPECT_NEAR(v, kMeanOfFitted, 1e-5f);
  EXPECT_NEAR(p[4], kMeanOfFitted, 1e-5f);
}

TEST(Detrnd, UnhandledCodesAreTheMean) {
  for (int code : {0, 9, -6, -9}) {
    int NOPT = code;
    CurveParameters p{};
    const std::vector<float> c = Fit({1, 2, 6}, NOPT, 3, p);
    EXPECT_EQ(NOPT, 6) << code;
    for (float v : c) EXPECT_FLOAT_EQ(v, 3.0f);
  }
}

TEST(Detrnd, AgeDependentSplineTooShortFallsBackToTheMean) {
  int NOPT = -2;
  CurveParameters p{};
  DetrndResult r;
  const std::vector<float> c = Fit({2, 4, 6}, NOPT, 3, p, 0, &r);
  EXPECT_EQ(NOPT, 6);
  EXPECT_EQ(r.spline, SplineStatus::kTooShort);
  EXPECT_EQ(r.spline_routine, SplineRoutine::kSplage);
  for (float v : c) EXPECT_FLOAT_EQ(v, 4.0f);
}

TEST(Detrnd, AgeDependentSplineDoesNotEndRising) {
  // A falling curve that turns up over its last 30 values: the rise is
  // flattened before the second fit, so the end stays far below the data.
  std::vector<float> y(120);
  for (int t = 0; t < 120; ++t) {
    y[t] = t < 90 ? 3.0f - 0.02f * static_cast<float>(t) : 1.2f + 0.1f * static_cast<float>(t - 89);
  }
  int NOPT = -2;
  CurveParameters p{};
  const std::vector<float> c = Fit(y, NOPT, 120, p);
  EXPECT_EQ(NOPT, -2);
  EXPECT_LT(c[119], 2.0f);
  EXPECT_GT(y[119], 4.0f);
}

TEST(Detrnd, DifferencedLineGivesUnitRatios) {
  // A straight line is its own spline: every ratio is 1, so the rescaled
  // differences are all 1 (their sd is 0, the ratios' too); y(1) = -999.
  std::vector<float> y = Linear(12, 2.0f, 0.5f);
  std::vector<float> curv(12, -1.0f);
  DetrndWorkspace work;
  CurveParameters p{};
  int NOPT = -1;
  const DetrndResult r = detrnd(y, curv, 12, p, NOPT, 0, 7.0f, 10, work);
  EXPECT_EQ(NOPT, -1);
  EXPECT_EQ(r.nfit, 11);
  EXPECT_EQ(y[0], -999.0f);
  for (int j = 1; j < 12; ++j) EXPECT_NEAR(y[j], 1.0f, 1e-6f) << j;
  // curv(j) is the spline of value j + 1.
  for (int j = 0; j < 11; ++j) EXPECT_NEAR(curv[j], 2.0f + 0.5f * static_cast<float>(j + 2), 1e-4f) << j;
  EXPECT_EQ(curv[11], curv[10]);
}

TEST(Xmean2, MeanOrNothing) {
  float mean = -5.0f;
  EXPECT_FALSE(xmean2({}, mean));
  EXPECT_EQ(mean, -5.0f);
  const std::vector<float> x = {1.0f, 2.0f, 4.5f};
  EXPECT_TRUE(xmean2(x, mean));
  EXPECT_FLOAT_EQ(mean, 2.5f);
}

}  // namespace
}  // namespace detrend
