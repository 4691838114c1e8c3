// Super smoother against R's supsmu (Friedman's algorithm in double
// precision) and its running-lines smoother against direct window fits.
#include "detrend/supsmu.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace detrend {
namespace {

// y(x) = 2 + sin(x/6) + 0.01 x + N(0, 0.3) at x = 1..50, rounded to 4 decimals (R, set.seed(7)).
const std::vector<float> kY = {2.8621f, 1.9882f, 2.3011f, 2.5347f, 2.4990f, 2.6173f, 3.2139f, 3.0169f, 3.1333f,
                               3.7524f, 3.1828f, 3.8443f, 3.6421f, 2.9603f, 3.3173f, 2.7576f, 2.2053f, 2.2289f,
                               2.1635f, 2.3059f, 2.1111f, 1.9303f, 1.9839f, 1.0668f, 1.7771f, 1.3862f, 1.5182f,
                               1.4586f, 1.0024f, 1.2583f, 1.1502f, 1.7223f, 1.6577f, 1.7383f, 1.7890f, 1.9119f,
                               2.5530f, 2.0986f, 2.5624f, 2.8686f, 3.2984f, 2.8672f, 3.1173f, 2.9140f, 3.2707f,
                               3.3220f, 3.8749f, 3.6467f, 3.4717f, 3.6666f};

// R 4.2: supsmu(1:50, y)$y (span "cv", bass 0).
const std::vector<float> kCvBass0 = {
    2.245484f, 2.359754f, 2.474024f, 2.589788f, 2.700282f, 2.819969f, 2.933639f, 3.042492f, 3.143308f, 3.223742f,
    3.259959f, 3.259256f, 3.201536f, 3.082122f, 2.933493f, 2.758537f, 2.573557f, 2.412085f, 2.280104f, 2.141262f,
    2.023361f, 1.912386f, 1.798808f, 1.680920f, 1.596947f, 1.522309f, 1.463719f, 1.432924f, 1.430329f, 1.457309f,
    1.505153f, 1.583492f, 1.684113f, 1.811366f, 1.948685f, 2.099353f, 2.251371f, 2.396260f, 2.534095f, 2.670498f,
    2.802028f, 2.935967f, 3.063582f, 3.182416f, 3.287424f, 3.390301f, 3.476019f, 3.547303f, 3.614265f, 3.681228f};
// R 4.2: supsmu(1:50, y, bass = 7)$y.
const std::vector<float> kCvBass7 = {
    2.485458f, 2.549069f, 2.612681f, 2.681465f, 2.755467f, 2.844566f, 2.933295f, 3.023174f, 3.104015f, 3.166822f,
    3.187202f, 3.170670f, 3.119499f, 3.027562f, 2.914283f, 2.782079f, 2.628927f, 2.473192f, 2.318525f, 2.162161f,
    2.026340f, 1.912754f, 1.802085f, 1.699844f, 1.617780f, 1.542868f, 1.482187f, 1.450877f, 1.448755f, 1.477602f,
    1.525291f, 1.602450f, 1.703743f, 1.835692f, 1.972053f, 2.121307f, 2.272023f, 2.411470f, 2.537527f, 2.660411f,
    2.778995f, 2.896799f, 3.010530f, 3.121214f, 3.226279f, 3.330849f, 3.432879f, 3.533216f, 3.632396f, 3.731576f};
// R 4.2: supsmu(1:50, y, bass = 10)$y.
const std::vector<float> kCvBass10 = {
    3.193370f, 3.142314f, 3.091259f, 3.040203f, 2.989148f, 2.938092f, 2.887037f, 2.835981f, 2.784926f, 2.733870f,
    2.682815f, 2.631759f, 2.580518f, 2.532187f, 2.486341f, 2.440452f, 2.399020f, 2.360876f, 2.319104f, 2.275961f,
    2.234027f, 2.188961f, 2.142972f, 2.098418f, 2.057230f, 2.027593f, 2.003507f, 1.990117f, 1.991472f, 2.006273f,
    2.027152f, 2.062987f, 2.107532f, 2.158245f, 2.213706f, 2.282354f, 2.361149f, 2.450337f, 2.549877f, 2.658721f,
    2.767564f, 2.876408f, 2.985252f, 3.094096f, 3.202940f, 3.311784f, 3.420628f, 3.529472f, 3.638316f, 3.747160f};
// R 4.2: supsmu(1:50, y, span = 0.3)$y.
const std::vector<float> kSpan03 = {
    2.592206f, 2.634567f, 2.676928f, 2.719289f, 2.761650f, 2.804011f, 2.846372f, 2.888733f, 2.931094f, 2.893847f,
    2.904159f, 2.904441f, 2.879524f, 2.846071f, 2.808812f, 2.682512f, 2.609582f, 2.506812f, 2.375388f, 2.273965f,
    2.106794f, 1.966571f, 1.860094f, 1.766271f, 1.701571f, 1.674100f, 1.648224f, 1.633424f, 1.647959f, 1.647224f,
    1.684406f, 1.736447f, 1.867718f, 1.931841f, 2.033671f, 2.115776f, 2.222371f, 2.358818f, 2.512735f, 2.659588f,
    2.762494f, 2.880665f, 3.006037f, 3.131409f, 3.256781f, 3.382153f, 3.507525f, 3.632897f, 3.758269f, 3.883641f};
// R 4.2: supsmu((0:49)/50, y, periodic = TRUE)$y.
const std::vector<float> kPeriodicCv = {
    2.919392f, 2.696124f, 2.601683f, 2.587224f, 2.633458f, 2.769610f, 2.934308f, 3.066867f, 3.190892f, 3.284577f,
    3.317459f, 3.309900f, 3.238523f, 3.103328f, 2.944074f, 2.763760f, 2.573557f, 2.412085f, 2.280104f, 2.141262f,
    2.023361f, 1.912386f, 1.798808f, 1.680920f, 1.596947f, 1.522309f, 1.463719f, 1.432924f, 1.430329f, 1.457309f,
    1.505153f, 1.583492f, 1.684113f, 1.807562f, 1.937423f, 2.086511f, 2.254219f, 2.407840f, 2.568962f, 2.720815f,
    2.858379f, 2.958871f, 3.078312f, 3.179475f, 3.282264f, 3.383457f, 3.462816f, 3.428238f, 3.320596f, 3.151264f};

std::vector<float> Positions(std::size_t n) {
  std::vector<float> x(n);
  for (std::size_t i = 0; i < n; ++i) x[i] = static_cast<float>(i + 1);
  return x;
}

std::vector<float> Supsmu(const std::vector<float>& x, const std::vector<float>& y, int iper, float span, float alpha) {
  const std::vector<float> w(x.size(), 1.0f);
  std::vector<float> smo(x.size()), sc(x.size() * 7);
  supsmu(x, y, w, iper, span, alpha, smo, sc);
  return smo;
}

void ExpectNear(const std::vector<float>& got, const std::vector<float>& want, float tol) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], want[i], tol) << "point " << i + 1;
}

TEST(Supsmu, CrossValidatedMatchesR) { ExpectNear(Supsmu(Positions(50), kY, 1, 0.0f, 0.0f), kCvBass0, 2e-5f); }
TEST(Supsmu, BassSevenMatchesR) { ExpectNear(Supsmu(Positions(50), kY, 1, 0.0f, 7.0f), kCvBass7, 2e-5f); }
TEST(Supsmu, BassTenMatchesR) { ExpectNear(Supsmu(Positions(50), kY, 1, 0.0f, 10.0f), kCvBass10, 2e-5f); }
TEST(Supsmu, FixedSpanMatchesR) { ExpectNear(Supsmu(Positions(50), kY, 1, 0.3f, 0.0f), kSpan03, 2e-5f); }

TEST(Supsmu, PeriodicMatchesR) {
  std::vector<float> x(50);
  for (std::size_t i = 0; i < 50; ++i) x[i] = static_cast<float>(i) / 50.0f;
  ExpectNear(Supsmu(x, kY, 2, 0.0f, 0.0f), kPeriodicCv, 2e-5f);
}

TEST(Supsmu, BassOutsideRangeIsNoBass) {
  EXPECT_EQ(Supsmu(Positions(50), kY, 1, 0.0f, 11.0f), Supsmu(Positions(50), kY, 1, 0.0f, 0.0f));
  EXPECT_EQ(Supsmu(Positions(50), kY, 1, 0.0f, -1.0f), Supsmu(Positions(50), kY, 1, 0.0f, 0.0f));
}

TEST(Supsmu, ConstantAbscissaGivesWeightedMean) {
  const std::vector<float> x(4, 2.0f), y = {1.0f, 2.0f, 3.0f, 10.0f}, w = {1.0f, 1.0f, 1.0f, 2.0f};
  std::vector<float> smo(4), sc(28);
  supsmu(x, y, w, 1, 0.0f, 0.0f, smo, sc);
  EXPECT_EQ(smo, std::vector<float>(4, 26.0f / 5.0f));
}

// The weighted mean of a constant abscissa is summed in single precision:
// 2^24 + 1 rounds back to 2^24 (ties to even), so the sum of
// 2^24, 1, 1, -2^24 is 0 and the mean 0 (in double it would be 0.5).
TEST(Supsmu, ConstantAbscissaMeanInSinglePrecision) {
  const std::vector<float> x(4, 3.0f), y = {16777216.0f, 1.0f, 1.0f, -16777216.0f}, w(4, 1.0f);
  std::vector<float> smo(4, 9.0f), sc(28);
  supsmu(x, y, w, 1, 0.0f, 0.0f, smo, sc);
  EXPECT_EQ(smo, std::vector<float>(4, 0.0f));
}

// The cross-validated residual |y - smo| / (1 - h) takes the difference of
// the two single-precision values in single precision. Reference:
// tests/data/supsmu_reference.f90 (gfortran, single-precision values, double
// running sums), x = 1..30, weights 1, span 0 (cross-validated), bass 5.
TEST(Supsmu, CrossValidatedMatchesSinglePrecisionReference) {
  const std::vector<float> y = {0.797f, 1.468f, 1.342f, 1.204f, 1.087f, 1.576f, 1.642f, 1.165f, 0.844f, 0.993f,
                                0.813f, 0.497f, 0.639f, 0.748f, 1.003f, 0.292f, 0.86f,  1.022f, 1.237f, 0.492f,
                                1.183f, 1.521f, 1.797f, 1.317f, 1.527f, 1.053f, 1.528f, 1.261f, 0.857f, 0.737f};
  const std::vector<float> want = {
      1.36677134f, 1.32251716f, 1.27826285f, 1.23629940f, 1.19733095f, 1.16095591f, 1.12280965f, 1.07747340f,
      1.01760876f, 0.957685113f, 0.897454262f, 0.854491591f, 0.837463379f, 0.850593209f, 0.874969125f,
      0.913879097f, 0.952395320f, 0.993478239f, 1.03755224f, 1.08930707f, 1.13794565f, 1.21366322f,
      1.28272545f, 1.32065248f, 1.32197618f, 1.29280281f, 1.20569444f, 1.08445418f, 0.957164764f, 0.829875350f};
  EXPECT_EQ(Supsmu(Positions(30), y, 1, 0.0f, 5.0f), want);
}

TEST(Supsmu, StraightLineUnchanged) {
  std::vector<float> y(60);
  for (std::size_t i = 0; i < y.size(); ++i) y[i] = 4.0f - 0.03125f * static_cast<float>(i);
  ExpectNear(Supsmu(Positions(60), y, 1, 0.0f, 7.0f), y, 1e-5f);
}

// Running line of a fixed window, evaluated directly: the least-squares line
// of points lo..hi at x(j), and the cross-validated residual
// |y - fit| / (1 - 1/m - (x - xbar)^2 / Sxx).
struct Direct {
  double fit, acvr;
};
Direct WindowLine(const std::vector<float>& xf, const std::vector<float>& yf, int lo, int hi, int j) {
  const std::vector<double> x(xf.begin(), xf.end()), y(yf.begin(), yf.end());
  double sx = 0, sy = 0;
  const int m = hi - lo + 1;
  for (int i = lo; i <= hi; ++i) {
    sx += x[i - 1];
    sy += y[i - 1];
  }
  const double xb = sx / m, yb = sy / m;
  double sxx = 0, sxy = 0;
  for (int i = lo; i <= hi; ++i) {
    sxx += (x[i - 1] - xb) * (x[i - 1] - xb);
    sxy += (x[i - 1] - xb) * (y[i - 1] - yb);
  }
  const double dx = x[j - 1] - xb;
  const double fit = yb + sxy / sxx * dx;
  const double h = 1.0 / m + dx * dx / sxx;
  return {fit, std::fabs(y[j - 1] - fit) / (1.0 - h)};
}

TEST(Smooth, WindowOfSevenOnTwentyPoints) {
  // span 0.3 on 20 points: ibw = int(3.5) = 3, windows of 7; the first 4
  // points take the line of points 1..7, the last 3 that of points 14..20.
  const std::vector<float> x = Positions(20);
  const std::vector<float> y(kY.begin(), kY.begin() + 20);
  const std::vector<float> w(20, 1.0f);
  std::vector<float> smo(20), acvr(20);
  smooth(x, y, w, 0.3f, 1, 1e-6f, smo, acvr);
  for (int j = 1; j <= 20; ++j) {
    const int lo = std::clamp(j - 3, 1, 14);
    const Direct d = WindowLine(x, y, lo, lo + 6, j);
    EXPECT_NEAR(smo[j - 1], d.fit, 2e-6) << j;
    EXPECT_NEAR(acvr[j - 1], d.acvr, 1e-5) << j;
  }
}

TEST(Smooth, MinimumWindowOfFive) {
  // span 0.3 on 10 points: ibw = int(2) = 2.
  const std::vector<float> x = Positions(10);
  const std::vector<float> y(kY.begin(), kY.begin() + 10);
  const std::vector<float> w(10, 1.0f);
  std::vector<float> smo(10);
  smooth(x, y, w, 0.3f, -1, 1e-6f, smo, {});
  for (int j = 1; j <= 10; ++j) {
    const int lo = std::clamp(j - 2, 1, 6);
    EXPECT_NEAR(smo[j - 1], WindowLine(x, y, lo, lo + 4, j).fit, 2e-6) << j;
  }
}

TEST(Smooth, FewerPointsThanWindowUseAllPoints) {
  // Four points, window of at least five: the line through all four.
  const std::vector<float> x = Positions(4), y = {1.0f, 3.0f, 2.0f, 5.0f}, w(4, 1.0f);
  std::vector<float> smo(4), acvr(4);
  smooth(x, y, w, 0.5f, 1, 1e-6f, smo, acvr);
  for (int j = 1; j <= 4; ++j) EXPECT_NEAR(smo[j - 1], WindowLine(x, y, 1, 4, j).fit, 2e-6) << j;
  // And supsmu on three points stays inside the data.
  const std::vector<float> x3 = Positions(3), y3 = {1.0f, 2.0f, 4.0f};
  const std::vector<float> s3 = Supsmu(x3, y3, 1, 0.0f, 5.0f);
  for (int j = 1; j <= 3; ++j) EXPECT_TRUE(std::isfinite(s3[j - 1]));
  EXPECT_NEAR(Supsmu(x3, y3, 1, 0.3f, 0.0f)[1], 7.0f / 3.0f, 1e-6f);
}

TEST(Smooth, TiedAbscissaeShareOneValue) {
  const std::vector<float> x = {1, 2, 3, 3, 3, 4, 5, 6, 7, 8, 8, 9};
  const std::vector<float> y = {1.0f, 2.5f, 2.0f, 4.0f, 3.0f, 3.5f, 6.0f, 5.0f, 7.5f, 6.0f, 9.0f, 8.0f};
  const std::vector<float> w(x.size(), 1.0f);
  std::vector<float> smo(x.size());
  smooth(x, y, w, 0.2f, -1, 1e-6f, smo, {});
  EXPECT_EQ(smo[2], smo[3]);
  EXPECT_EQ(smo[3], smo[4]);
  EXPECT_EQ(smo[9], smo[10]);
  EXPECT_NE(smo[1], smo[2]);
}

}  // namespace
}  // namespace detrend
