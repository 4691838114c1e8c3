// Tests of Burg's autoregression, AR prediction and end padding.
#include "detrend/arpad.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace detrend {
namespace {

// The series printed by tests/data/oracle_burg.R.
const std::vector<float> kSeries = {
    2.8410890f, 1.1441750f, 1.3086750f, 0.5650361f, 0.5853348f,  1.6357490f, 1.2761110f,
    1.9129870f, 1.8861050f, 0.6843293f, 2.7844350f, 2.2977070f,  2.3202870f, 2.4869620f,
    4.9482710f, 3.7185820f, 1.9723920f, 1.0422530f, 2.6940640f,  1.8236690f, 3.2184520f,
    2.9800040f, 1.6309910f, -0.2611167f, 1.0837440f, 2.7060580f, 2.1476090f, 2.1068540f,
    0.1970784f, -1.7396810f, 0.4283847f, 3.8527640f, 2.6884680f, 2.7182310f, 0.6622231f,
    2.4890820f, 3.6386920f, 3.2239480f, 1.4843410f, 3.1238480f};

TEST(Burgar, CoefficientsAndResidualMatchRArBurg) {
  // Expected: stats::ar.burg(x, aic = FALSE, demean = FALSE, var.method = 1)
  // in tests/data/oracle_burg.R.
  BurgWorkspace work;
  {
    std::vector<double> d(1);
    const BurgResult r = burgar(kSeries, d, work);
    EXPECT_TRUE(r.ok);
    EXPECT_NEAR(d[0], 0.811560902, 1e-6);
    EXPECT_NEAR(r.pm, 1.84914483, 1e-5);
  }
  {
    std::vector<double> d(2);
    const BurgResult r = burgar(kSeries, d, work);
    EXPECT_NEAR(d[0], 0.790582584, 1e-6);
    EXPECT_NEAR(d[1], 0.0258493455, 1e-6);
    EXPECT_NEAR(r.pm, 1.84790925, 1e-5);
  }
  {
    std::vector<double> d(4);
    const BurgResult r = burgar(kSeries, d, work);
    const double expected[] = {0.669817937, -0.117093505, -0.0351676427, 0.403759498};
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(d[k], expected[k], 1e-6) << k + 1;
    EXPECT_NEAR(r.pm, 1.42444389, 1e-5);
  }
}

TEST(Burgar, ExactFirstOrderDecayGivesItsCoefficient) {
  // x(t) = 0.8^t: every forward/backward pair is in ratio 0.8, so
  // d(1) = 2 sum(0.8 x^2) / sum(x^2 + 0.64 x^2) = 1.6 / 1.64 exactly.
  std::vector<float> x(30);
  float v = 1.0f;
  for (float& e : x) e = (v *= 0.8f);
  std::vector<double> d(1);
  BurgWorkspace work;
  burgar(x, d, work);
  EXPECT_NEAR(d[0], 1.6 / 1.64, 1e-6);
}

TEST(Burgar, OrderBelowOneIsReportedAndConstantSeriesGivesZeroCoefficients) {
  BurgWorkspace work;
  std::vector<double> none;
  EXPECT_FALSE(burgar(kSeries, none, work).ok);
  std::vector<float> zeros(10, 0.0f);
  std::vector<double> d(3, 7.0);
  const BurgResult r = burgar(zeros, d, work);
  EXPECT_TRUE(r.ok);
  for (double c : d) EXPECT_EQ(c, 0.0);
  EXPECT_EQ(r.pm, 0.0);
}

TEST(Arpred, OneDirectionWritesZerosAtTheOtherEnd) {
  // n = 3 data 1 2 4 at places 3..5, m = 2, d = (0.5): forward 2, 1;
  // backward 0.5, 0.25.
  const std::vector<double> d = {0.5};
  std::vector<float> xp = {9.0f, 9.0f, 1.0f, 2.0f, 4.0f, 9.0f, 9.0f};
  arpred(xp, 3, 2, d, PredictDirection::kForward);
  EXPECT_EQ(xp, (std::vector<float>{0.0f, 0.0f, 1.0f, 2.0f, 4.0f, 2.0f, 1.0f}));
  xp = {9.0f, 9.0f, 1.0f, 2.0f, 4.0f, 9.0f, 9.0f};
  arpred(xp, 3, 2, d, PredictDirection::kBackward);
  EXPECT_EQ(xp, (std::vector<float>{0.25f, 0.5f, 1.0f, 2.0f, 4.0f, 0.0f, 0.0f}));
  xp = {9.0f, 9.0f, 1.0f, 2.0f, 4.0f, 9.0f, 9.0f};
  arpred(xp, 3, 2, std::vector<double>{0.5, 0.25}, PredictDirection::kBoth);
  // forward: 0.5*4 + 0.25*2 = 2.5, then 0.5*2.5 + 0.25*4 = 2.25;
  // backward: 0.5*1 + 0.25*2 = 1, then 0.5*1 + 0.25*1 = 0.75.
  EXPECT_EQ(xp, (std::vector<float>{0.75f, 1.0f, 1.0f, 2.0f, 4.0f, 2.5f, 2.25f}));
}

TEST(Arpad, PadsBothEndsLikeRPredictions) {
  // Expected: tests/data/oracle_burg.R (predict() of the order-3 Burg model
  // of the first 12 values, centred; backward from the reversed series).
  const std::vector<float> x(kSeries.begin(), kSeries.begin() + 12);
  std::vector<float> xp(40, -5.0f);
  BurgWorkspace work;
  const ArpadResult r = arpad(x, xp, 3, work);
  EXPECT_EQ(r.m, 3);
  EXPECT_EQ(r.np, 18);
  const float start[] = {1.57123446f, 1.57178053f, 1.64336776f};
  const float end[] = {1.60613219f, 1.56799035f, 1.57340664f};
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(xp[i], start[i], 2e-6f) << i;
    EXPECT_NEAR(xp[15 + i], end[i], 2e-6f) << i;
  }
  for (int i = 0; i < 12; ++i) EXPECT_NEAR(xp[3 + i], x[i], 1e-6f);
  for (std::size_t i = 18; i < xp.size(); ++i) EXPECT_EQ(xp[i], 0.0f) << "cleared place " << i;
}

TEST(Arpad, OrderIsLoweredToTwoThirdsOfTheLength) {
  std::vector<float> x = {1, 3, 2, 5, 4, 6, 5, 8, 7, 9};
  std::vector<float> xp(30);
  BurgWorkspace work;
  const ArpadResult r = arpad(x, xp, 8, work);
  EXPECT_EQ(r.m, 6);
  EXPECT_EQ(r.np, 22);
}

TEST(Arpad, ZeroOrderReturnsTheSeriesUnchanged) {
  std::vector<float> x = {1, 3, 2, 5};
  std::vector<float> xp(6, 9.0f);
  BurgWorkspace work;
  const ArpadResult r = arpad(x, xp, 0, work);
  EXPECT_EQ(r.np, 4);
  EXPECT_EQ(xp, (std::vector<float>{1, 3, 2, 5, 0, 0}));
}

TEST(Arpad, DecayContinuesTowardTheMeanAtBothEnds) {
  // A first-order autoregression around 10: the padding moves toward 10.
  std::vector<float> x(60);
  float v = 4.0f;
  for (std::size_t i = 0; i < x.size(); ++i) {
    v = 0.7f * v + ((i % 7 == 3) ? 1.0f : -0.2f);
    x[i] = 10.0f + v;
  }
  std::vector<float> xp(80);
  BurgWorkspace work;
  const ArpadResult r = arpad(x, xp, 5, work);
  ASSERT_EQ(r.m, 5);
  float mean = 0.0f;
  for (float e : x) mean += e;
  mean /= 60.0f;
  for (int s = 1; s < 5; ++s) {
    EXPECT_LE(std::fabs(xp[64 + s] - mean), std::fabs(xp[64 + s - 1] - mean) + 1e-4f);
  }
}

}  // namespace
}  // namespace detrend
