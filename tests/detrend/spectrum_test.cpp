// Tests of the lag-window power spectrum and the autocovariances.
#include "detrend/spectrum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace detrend {
namespace {

// The series of tests/data/oracle_spectrum.R.
const std::vector<float> kSeries = {1.02f, 0.87f, 1.15f, 1.31f, 0.94f, 0.78f, 1.05f,
                                    1.22f, 1.10f, 0.85f, 0.70f, 0.96f, 1.28f, 1.40f,
                                    1.07f, 0.91f, 0.83f, 1.12f, 1.19f, 0.99f};

struct SpectrumBuffers {
  explicit SpectrumBuffers(int m, int nseries = 1)
      : stats(8, -1.0f),
        acov(static_cast<std::size_t>(m * nseries), -1.0f),
        freq(static_cast<std::size_t>(m + 1), -1.0f),
        power(static_cast<std::size_t>((m + 1) * nseries), -1.0f),
        cross(static_cast<std::size_t>(2 * m + 1), -1.0f),
        coquad(static_cast<std::size_t>(2 * (m + 1)), -1.0f),
        ampphase(static_cast<std::size_t>(2 * (m + 1)), -1.0f),
        gain(static_cast<std::size_t>(2 * (m + 1)), -1.0f),
        coherence(static_cast<std::size_t>(m + 1), -1.0f) {}
  SpectrumOutputs outputs() {
    return {stats, acov, freq, power, cross, coquad, ampphase, gain, coherence};
  }
  std::vector<float> stats, acov, freq, power, cross, coquad, ampphase, gain, coherence;
};

// Deterministic noise in [-0.5, 0.5) from a linear congruential generator.
std::vector<float> Noise(int n, unsigned seed) {
  std::vector<float> x(static_cast<std::size_t>(n));
  unsigned s = seed;
  for (float& v : x) {
    s = s * 1103515245u + 12345u;
    v = static_cast<float>((s >> 8) & 0xffff) / 65536.0f - 0.5f;
  }
  return x;
}

TEST(Spectr, MatchesLagWindowEstimateComputedInR) {
  // Expected values: tests/data/oracle_spectrum.R (stats::acf autocovariances
  // times n/(n-j), cosine transform and Hamming weights evaluated in R).
  std::vector<float> x = kSeries;
  SpectrumBuffers b(5);
  const int code = spectr(x, {0, 20, 1, 5, 0, 0}, {1.0f, 0.0f}, b.outputs());
  ASSERT_EQ(code, kSpectrumOk);
  EXPECT_NEAR(b.stats[0], 1.037f, 1e-6f);
  EXPECT_NEAR(b.stats[1], 0.033321f, 1e-7f);
  const float cj[] = {0.0101537368f, -0.0232237778f, -0.0235357059f, 0.00352525f, 0.0225256667f};
  for (int j = 0; j < 5; ++j) EXPECT_NEAR(b.acov[j], cj[j], 2e-7f) << "lag " << j + 1;
  const float s[] = {0.00140640461f, 0.0132236945f, 0.0261003344f,
                     0.0116637455f,  0.00114650111f, 0.000389081615f};
  for (int k = 0; k <= 5; ++k) {
    EXPECT_NEAR(b.power[k], s[k], 2e-7f) << "frequency " << k;
    EXPECT_FLOAT_EQ(b.freq[k], static_cast<float>(k) / 10.0f);
  }
}

TEST(Spectr, SeriesComesBackWithMeanZero) {
  std::vector<float> x = kSeries;
  SpectrumBuffers b(5);
  ASSERT_EQ(spectr(x, {0, 20, 1, 5, 0, 0}, {1.0f, 0.0f}, b.outputs()), kSpectrumOk);
  double sum = 0.0;
  for (float v : x) sum += static_cast<double>(v);
  EXPECT_NEAR(sum / 20.0, 0.0, 1e-6);
  EXPECT_NEAR(x[0], 1.02f - 1.037f, 1e-6f);
}

TEST(Spectr, IntegralOverAngularFrequencyIsLagZeroAutocovariance) {
  // Trapezoid rule over the m + 1 frequencies, spacing 1 / (2 m dt); the
  // cosine terms integrate to zero and Hamming weights keep the integral.
  for (float dt : {1.0f, 0.5f}) {
    std::vector<float> x = Noise(300, 7u);
    for (int i = 0; i < 300; ++i) x[i] += 0.3f * std::sin(0.2f * static_cast<float>(i));
    const int m = 40;
    SpectrumBuffers b(m);
    ASSERT_EQ(spectr(x, {0, 300, 1, m, 0, 0}, {dt, 0.0f}, b.outputs()), kSpectrumOk);
    double integral = 0.5 * static_cast<double>(b.power[0] + b.power[m]);
    for (int k = 1; k < m; ++k) integral += static_cast<double>(b.power[k]);
    integral *= 2.0 * std::numbers::pi / (2.0 * m * static_cast<double>(dt));
    EXPECT_NEAR(integral, static_cast<double>(b.stats[1]), 1e-5 * static_cast<double>(b.stats[1])) << "dt " << dt;
    EXPECT_FLOAT_EQ(b.freq[m], 1.0f / (2.0f * dt));
  }
}

TEST(Spectr, WhiteNoiseSpectrumIsFlatAtVarianceOverPi) {
  std::vector<float> x = Noise(4000, 12345u);
  const int m = 20;
  SpectrumBuffers b(m);
  ASSERT_EQ(spectr(x, {0, 4000, 1, m, 0, 0}, {1.0f, 0.0f}, b.outputs()), kSpectrumOk);
  const float level = b.stats[1] / static_cast<float>(std::numbers::pi);
  for (int k = 0; k <= m; ++k) EXPECT_NEAR(b.power[k], level, 0.25f * level) << k;
}

TEST(Spectr, RefusesBadLengthsWithoutTouchingAnything) {
  std::vector<float> x = kSeries;
  SpectrumBuffers b(5);
  EXPECT_EQ(spectr(x, {0, 20, 1, 2, 0, 0}, {1.0f, 0.0f}, b.outputs()), kSpectrumBadLengths);
  EXPECT_EQ(spectr(x, {0, 5, 1, 5, 0, 0}, {1.0f, 0.0f}, b.outputs()), kSpectrumBadLengths);
  EXPECT_EQ(spectr(x, {0, 3, 1, 3, 0, 0}, {1.0f, 0.0f}, b.outputs()), kSpectrumBadLengths);
  EXPECT_EQ(spectr(x, {0, 20, 1, 5, 0, 0}, {0.0f, 0.0f}, b.outputs()), kSpectrumBadReal);
  EXPECT_EQ(spectr(x, {0, 20, 1, 5, 1, 0}, {1.0f, 1.0f}, b.outputs()), kSpectrumBadReal);
  EXPECT_EQ(spectr(x, {0, 20, 1, 5, 1, 0}, {1.0f, -1.0f}, b.outputs()), kSpectrumBadReal);
  EXPECT_EQ(x, kSeries);
  for (float v : b.stats) EXPECT_EQ(v, -1.0f);
  for (float v : b.power) EXPECT_EQ(v, -1.0f);
}

TEST(Spectr, AcceptsFourValuesWithThreeLags) {
  std::vector<float> x = {1.0f, 2.0f, 3.0f, 5.0f};
  SpectrumBuffers b(3);
  EXPECT_EQ(spectr(x, {0, 4, 1, 3, 0, 0}, {1.0f, 0.0f}, b.outputs()), kSpectrumOk);
  // Hand values: mean 2.75, deviations -1.75 -0.75 0.25 2.25, c0 = 8.75/4.
  EXPECT_FLOAT_EQ(b.stats[0], 2.75f);
  EXPECT_FLOAT_EQ(b.stats[1], 8.75f / 4.0f);
  // c(1) = (1.3125 - 0.1875 + 0.5625) / 3, c(3) = -3.9375 / 1.
  EXPECT_FLOAT_EQ(b.acov[0], 1.6875f / 3.0f);
  EXPECT_FLOAT_EQ(b.acov[2], -3.9375f);
}

TEST(Spectr, PrewhitenedPairWithSpectrumIsRefused) {
  std::vector<float> x(40, 1.0f);
  SpectrumBuffers b(5, 2);
  EXPECT_EQ(spectr(x, {1, 20, 1, 5, 1, 0}, {1.0f, 0.5f}, b.outputs()), kSpectrumBadLengths);
}

TEST(Spectr, PrewhiteningFiltersAndDividesByTheFilterGain) {
  // Filter by hand: x = 1 2 3 5, c = 0.5 -> 1.5 2 3.5 1.5 (the last value is
  // c x(4) - x(1)), mean 2.125, then centred.
  std::vector<float> x = {1.0f, 2.0f, 3.0f, 5.0f};
  SpectrumBuffers b(3);
  ASSERT_EQ(spectr(x, {0, 4, 1, 3, 1, 0}, {1.0f, 0.5f}, b.outputs()), kSpectrumOk);
  EXPECT_FLOAT_EQ(b.stats[0], 2.125f);
  EXPECT_FLOAT_EQ(x[0], -0.625f);
  EXPECT_FLOAT_EQ(x[1], -0.125f);
  EXPECT_FLOAT_EQ(x[2], 1.375f);
  EXPECT_FLOAT_EQ(x[3], -0.625f);
  // The same filtered values without prewhitening give the undivided estimate.
  std::vector<float> y = {1.5f, 2.0f, 3.5f, 1.5f};
  SpectrumBuffers plain(3);
  ASSERT_EQ(spectr(y, {0, 4, 1, 3, 0, 0}, {1.0f, 0.0f}, plain.outputs()), kSpectrumOk);
  for (int k = 0; k <= 3; ++k) {
    const double gain = 1.0 - 2.0 * 0.5 * std::cos(std::numbers::pi * k / 3.0) + 0.25;
    EXPECT_NEAR(static_cast<double>(b.power[k]), static_cast<double>(plain.power[k]) / gain, 1e-6) << k;
  }
}

TEST(Spectr, TrendCorrectionRecoversSlopeAndRemovesTrendVariance) {
  // x = 3 + 0.2 t: slope b exact; variance (divisor n) b^2 (n^2 - 1) / 12, so
  // c(0) = var + mean^2 - mean^2 - b^2 n^2 / 12 = -b^2 / 12.
  const int n = 30;
  std::vector<float> x(n);
  for (int t = 1; t <= n; ++t) x[t - 1] = 3.0f + 0.2f * static_cast<float>(t);
  SpectrumBuffers b(6);
  ASSERT_EQ(spectr(x, {0, n, -1, 6, 0, 1}, {1.0f, 0.0f}, b.outputs()), kSpectrumOk);
  EXPECT_NEAR(b.stats[4], 0.2f, 1e-6f);
  EXPECT_NEAR(b.stats[1], -0.04f / 12.0f, 1e-4f);
  EXPECT_NEAR(b.stats[0], 3.0f + 0.2f * 15.5f, 1e-5f);
  EXPECT_FLOAT_EQ(x[0], 3.2f);  // the series keeps its mean
  // Spectrum switch negative: no frequencies written.
  EXPECT_EQ(b.freq[0], -1.0f);
}

TEST(Spectr, IdenticalPairIsFullyCoherentInPhase) {
  std::vector<float> x = kSeries;
  x.insert(x.end(), kSeries.begin(), kSeries.end());
  SpectrumBuffers b(5, 2);
  const int code = spectr(x, {1, 20, 1, 5, 0, 0}, {1.0f, 0.0f}, b.outputs());
  EXPECT_TRUE(code == kSpectrumOk || code == kSpectrumCoherenceClipped) << code;
  EXPECT_NEAR(b.cross[5], 0.033321f, 1e-7f);  // lag 0: the variance
  EXPECT_NEAR(b.cross[6], 0.0101537368f, 2e-7f);
  EXPECT_NEAR(b.cross[4], 0.0101537368f, 2e-7f);
  for (int k = 0; k <= 5; ++k) {
    EXPECT_NEAR(b.coquad[k], b.power[k], 1e-7f);
    EXPECT_NEAR(b.coquad[6 + k], 0.0f, 1e-7f);
    EXPECT_NEAR(b.coherence[k], 1.0f, 1e-5f);
    EXPECT_NEAR(b.gain[k], 1.0f, 1e-5f);
    EXPECT_NEAR(b.ampphase[6 + k], 0.0f, 1e-6f);
  }
}

TEST(Spectr, LaggedPairShowsTheLagInCrossCovariances) {
  // Series 2 repeats series 1 one step later, so the cross-covariance
  // sum of x1(i) x2(i + j) peaks at lag j = +1.
  std::vector<float> x = Noise(101, 3u);
  std::vector<float> pair(x.begin() + 1, x.end());
  pair.insert(pair.end(), x.begin(), x.end() - 1);
  SpectrumBuffers b(8, 2);
  spectr(pair, {1, 100, 1, 8, 0, 0}, {1.0f, 0.0f}, b.outputs());
  float best = -1e9f;
  int at = 0;
  for (int j = 0; j < 17; ++j) {
    if (b.cross[j] > best) {
      best = b.cross[j];
      at = j - 8;
    }
  }
  EXPECT_EQ(at, 1);
}

TEST(Acvf, AutocorrelationsAndPartialsMatchR) {
  // Expected values: tests/data/oracle_spectrum.R (stats::acf, stats::pacf).
  float mean = 0.0f, var = 0.0f;
  std::vector<float> c(5), r(5), partial(4), work(4);
  acvf(kSeries, 7, mean, var, c, r, partial, work);
  EXPECT_NEAR(mean, 1.037f, 1e-6f);
  EXPECT_NEAR(var, 0.033321f, 1e-7f);
  const float acf_n[] = {0.00964605f, -0.0209014f, -0.02000535f, 0.0028202f, 0.01689425f};
  for (int j = 0; j < 5; ++j) {
    EXPECT_NEAR(c[j], acf_n[j], 1e-7f);
    EXPECT_NEAR(r[j], acf_n[j] / 0.033321f, 1e-5f);
  }
  const float pacf[] = {0.289488611f, -0.776119389f, -0.145977191f, -0.202457951f};
  for (int j = 0; j < 4; ++j) EXPECT_NEAR(partial[j], pacf[j], 2e-5f) << j + 1;
}

TEST(Acvf, EvenModeUsesTheGivenMean) {
  float mean = 0.0f, var = 99.0f;
  std::vector<float> c(1);
  const std::vector<float> x = {1.0f, 2.0f, 3.0f};
  acvf(x, 2, mean, var, c, {}, {}, {});
  EXPECT_FLOAT_EQ(c[0], (2.0f + 6.0f) / 3.0f);  // about 0, divisor n
  EXPECT_EQ(var, 99.0f);
}

}  // namespace
}  // namespace detrend
