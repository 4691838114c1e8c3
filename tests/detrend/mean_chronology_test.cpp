// Tests of indices, the biweight mean and the mean chronology.
#include "detrend/mean_chronology.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "common/limits.h"
#include "common/storage.h"
#include "detrend/order_stats.h"

namespace detrend {
namespace {

// R reference for the biweight (c = 7.5, MAD about the median, four steps,
// last-step weights, 0 for rejected values), written in R from the
// definition, double precision:
//   biwgt <- function(x) { n <- length(x); M <- median(x); S <- median(abs(x - M))
//     V <- var(x); t <- M
//     for (step in 1:4) { u <- (x - t)/(7.5*S); k <- abs(u) < 1
//       A <- sum(((x-t)^2*(1-u^2)^4)[k]); B <- sum(((1-u^2)*(1-5*u^2))[k])
//       C <- sum(((x-t)*(1-u^2)^2)[k]); D <- sum(((1-u^2)^2)[k])
//       wt <- ifelse(k, (1-u^2)^2, 0); t <- t + C/D; s <- sqrt(A)*n/sqrt(n-1)/abs(B) }
//     list(loc=t, spr=s, se=s/sqrt(n), vratio=V/s^2, fiv=fivenum(wt)) }
const std::vector<float> kTwelve = {0.82f, 1.05f, 0.97f, 1.21f, 0.66f, 1.02f,
                                    0.99f, 3.40f, 1.10f, 0.88f, 0.93f, 1.15f};
// x5: 9.0 lies beyond 7.5 MADs (MAD 0.075) and is rejected.
const std::vector<float> kEightWithOutlier = {1.0f, 1.2f, 0.9f, 1.1f, 0.95f, 1.05f, 9.0f, 1.02f};

TEST(Biwgt, BiweightAgreesWithR) {
  std::vector<float> x = kTwelve;
  std::vector<float> w(x.size()), wt(x.size());
  const BiweightResult r = biwgt(x, w, wt, 2);
  ASSERT_TRUE(r.ok);
  EXPECT_NEAR(r.loc, 0.985485448f, 2e-6f);
  EXPECT_NEAR(r.spr, 0.164526443f, 2e-6f);
  EXPECT_NEAR(r.se, 0.0474946931f, 1e-6f);
  EXPECT_NEAR(r.vratio, 18.846708f, 2e-4f);
  EXPECT_TRUE(std::is_sorted(x.begin(), x.end()));
  // The weights follow the sorted values: 0.66 comes first (R: 0.712868407).
  EXPECT_NEAR(wt[0], 0.712868407f, 2e-6f);
}

TEST(Biwgt, RejectedValueGetsWeightZero) {
  std::vector<float> x = kEightWithOutlier;
  std::vector<float> w(8), wt(8, 0.5f);
  const BiweightResult r = biwgt(x, w, wt, 2);
  EXPECT_NEAR(r.loc, 1.02917011f, 2e-6f);
  EXPECT_NEAR(r.spr, 0.107923771f, 2e-6f);
  EXPECT_NEAR(r.vratio, 682.171611f, 5e-3f);
  EXPECT_EQ(x.back(), 9.0f);
  EXPECT_EQ(wt.back(), 0.0f);
  for (int i = 0; i < 7; ++i) EXPECT_GT(wt[static_cast<std::size_t>(i)], 0.8f);
}

TEST(Biwgt, VarianceRatioUsesTheSinglePrecisionSpread) {
  // vratio = V / spr^2 with spr the returned single-precision scale.
  // Reference: tests/data/chronology_stats_reference.f90 (gfortran), mode
  // "biwgt" with type 2: 18.8467083 and 682.171387 (R in double: 18.846708,
  // 682.1716).
  std::vector<float> x = kTwelve;
  std::vector<float> w(x.size()), wt(x.size());
  EXPECT_EQ(biwgt(x, w, wt, 2).vratio, 18.8467083f);
  std::vector<float> y = kEightWithOutlier;
  EXPECT_EQ(biwgt(y, w, wt, 2).vratio, 682.171387f);
}

TEST(Biwgt, ArithmeticMeanKeepsOrderAndGivesUnitWeights) {
  // By hand: mean 2.5, variance 5/3, sd 1.2909944, se sd/2.
  std::vector<float> x = {4.0f, 1.0f, 3.0f, 2.0f};
  const std::vector<float> before = x;
  std::vector<float> w(4), wt(4, 0.0f);
  const BiweightResult r = biwgt(x, w, wt, 1);
  EXPECT_EQ(r.loc, 2.5f);
  EXPECT_NEAR(r.spr, 1.2909944f, 1e-6f);
  EXPECT_NEAR(r.se, 0.6454972f, 1e-6f);
  EXPECT_EQ(r.vratio, 1.0f);
  EXPECT_EQ(x, before);
  for (float v : wt) EXPECT_EQ(v, 1.0f);
}

TEST(Biwgt, OneValue) {
  std::vector<float> x = {0.37f};
  std::vector<float> w(1), wt(1);
  const BiweightResult r = biwgt(x, w, wt, 2);
  EXPECT_EQ(r.loc, 0.37f);
  EXPECT_EQ(r.spr, 0.0f);
  EXPECT_EQ(r.se, 0.0f);
  EXPECT_EQ(r.vratio, 0.0f);
}

TEST(Biwgt, UpToFiveValuesGiveMedianAndOneAndAHalfMad) {
  // Sorted {0.8, 1.0, 1.1, 1.4, 2.0}: median 1.1, deviations {.3,.1,0,.3,.9},
  // MAD 0.3 (k = 3: (w(3) + w(3)) / 2), spread 0.45.
  std::vector<float> x = {1.4f, 0.8f, 2.0f, 1.1f, 1.0f};
  std::vector<float> w(5), wt(5);
  const BiweightResult r = biwgt(x, w, wt, 2);
  EXPECT_EQ(r.loc, 1.1f);
  EXPECT_NEAR(r.spr, 0.45f, 1e-6f);
  EXPECT_EQ(r.vratio, 1.0f);
  // Two values: median the mean, MAD (w(1) + w(2)) / 2 = 0.5, spread 0.75.
  std::vector<float> two = {3.0f, 2.0f};
  const BiweightResult r2 = biwgt(two, w, wt, 2);
  EXPECT_EQ(r2.loc, 2.5f);
  EXPECT_EQ(r2.spr, 0.75f);
}

TEST(Biwgt, SixOrMoreIdenticalValues) {
  std::vector<float> x = {1.25f, 1.25f, 1.25f, 1.25f, 1.25f, 1.25f, 1.25f, 0.5f};
  std::vector<float> w(8), wt(8, 0.5f);
  const BiweightResult r = biwgt(x, w, wt, 2);
  EXPECT_EQ(r.loc, 1.25f);
  EXPECT_EQ(r.spr, 0.0f);
  EXPECT_EQ(r.vratio, 1.0f);
  EXPECT_EQ(wt[0], 0.0f);  // 0.5 sorted first, not at the median
  for (std::size_t i = 1; i < 8; ++i) EXPECT_EQ(wt[i], 1.0f);
}

TEST(Biwgt, OrderStatistics) {
  const std::vector<float> data = {7.0f, 3.0f, 9.0f, 1.0f, 5.0f, 8.0f, 2.0f, 6.0f, 4.0f, 10.0f};
  std::vector<float> w(10), wt(10);
  auto loc = [&](int itype) {
    std::vector<float> x = data;
    return biwgt(x, w, wt, itype).loc;
  };
  EXPECT_EQ(loc(-1), 1.0f);
  EXPECT_EQ(loc(-100), 10.0f);
  EXPECT_EQ(loc(-50), 5.5f);   // median
  EXPECT_EQ(loc(-25), 3.0f);   // fivenum lower hinge of 1..10
  EXPECT_EQ(loc(-75), 8.0f);
  EXPECT_EQ(loc(-33), 3.0f);   // p = 3.3: (x(3) + x(3)) / 2
  EXPECT_EQ(loc(-37), 3.5f);   // p = 3.7: (x(3) + x(4)) / 2
  EXPECT_EQ(loc(-2), 1.0f);    // p = 0.2: positions clamped to 1
  EXPECT_EQ(loc(-200), 10.0f); // p = 20: positions clamped to n
}

TEST(Biwgt, NoValuesIsRefused) {
  std::vector<float> none, w, wt;
  const BiweightResult r = biwgt(none, w, wt, 2);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.loc, -999.0f);
}

TEST(Indxs, RatiosAreNeverClipped) {
  const std::vector<float> x = {2.0f, -1.0f, 3.0f};
  const std::vector<float> curv = {4.0f, 2.0f, 1.5f};
  std::vector<float> ind(3);
  indxs(x, curv, ind, 1);
  EXPECT_EQ(ind, (std::vector<float>{0.5f, -0.5f, 2.0f}));
}

TEST(Indxs, ResidualsRescaledToTheRatioMoments) {
  // R: r <- x/cv; e <- r*cv - cv; (e - mean(e))/sd(e)*sd(r) + mean(r)
  const std::vector<float> x = {2.0f, 4.0f, 6.0f};
  const std::vector<float> curv = {1.0f, 2.0f, 2.0f};
  std::vector<float> ind(3);
  indxs(x, curv, ind, 2);
  EXPECT_NEAR(ind[0], 1.82938070f, 2e-6f);
  EXPECT_NEAR(ind[1], 2.20734518f, 2e-6f);
  EXPECT_NEAR(ind[2], 2.96327412f, 2e-6f);
}

TEST(Indxs, NegativeResidualIndexBecomesZero) {
  // Same R formula: 2.591460549 1.064369829 2.155148915 5.427486172 -0.571798799
  const std::vector<float> x = {1.0f, 2.0f, 1.0f, 8.0f, 1.0f};
  const std::vector<float> curv = {0.2f, 4.0f, 1.0f, 2.0f, 6.0f};
  std::vector<float> ind(5);
  indxs(x, curv, ind, 2);
  EXPECT_NEAR(ind[0], 2.591460549f, 4e-6f);
  EXPECT_NEAR(ind[1], 1.064369829f, 4e-6f);
  EXPECT_NEAR(ind[2], 2.155148915f, 4e-6f);
  EXPECT_NEAR(ind[3], 5.427486172f, 4e-6f);
  EXPECT_EQ(ind[4], 0.0f);
}

TEST(Indxs, ResidualModeWithoutSpreadGivesTheRatioMean) {
  // Measurements equal to the curve: residuals all 0 (sE not positive):
  // every index is the ratio mean 1, never a sentinel used as a number.
  const std::vector<float> x = {1.5f, 2.5f, 0.5f};
  std::vector<float> ind(3);
  indxs(x, x, ind, 2);
  for (float v : ind) EXPECT_EQ(v, 1.0f);
  // One value: the ratio.
  std::vector<float> one(1);
  indxs(std::vector<float>{3.0f}, std::vector<float>{2.0f}, one, 2);
  EXPECT_EQ(one[0], 1.5f);
}

// An index matrix of `nyrs` rows and the given columns (-999.0 elsewhere).
common::SeriesMatrix Matrix(int nyrs, const std::vector<std::vector<float>>& cols) {
  common::SeriesMatrix m(nyrs, static_cast<int>(cols.size()));
  for (std::size_t j = 0; j < cols.size(); ++j)
    for (std::size_t i = 0; i < cols[j].size(); ++i) m.at(static_cast<int>(i) + 1, static_cast<int>(j) + 1) = cols[j][i];
  return m;
}

struct RobsumRun {
  std::vector<float> crn, spr, vratio;
  std::vector<int> depth;
  common::Block bwt{1, 4};
  RobsumStatus status;
};

RobsumRun RunRobsum(const common::SeriesMatrix& x, int nyrs, int nser, int meanmd,
                    common::ProgramVariant variant = common::ProgramVariant::kInteractive) {
  RobsumRun r;
  r.crn.assign(static_cast<std::size_t>(nyrs), 0.0f);
  r.spr = r.vratio = r.crn;
  r.depth.assign(static_cast<std::size_t>(nyrs), -1);
  r.bwt = common::Block(nyrs, 4, 0.0f);
  RobsumWorkspace work(variant);
  r.status = ROBSUM(x, r.bwt, nyrs, nser, r.crn, r.spr, r.vratio, r.depth, meanmd, work);
  return r;
}

TEST(Robsum, BiweightYearsOfEveryDepth) {
  // Year 1: the eight values with an outlier (one per series); year 2: one
  // value; year 3: three values; year 4: six identical values.
  const float m = -999.0f;
  std::vector<std::vector<float>> cols(8);
  for (std::size_t j = 0; j < 8; ++j) {
    cols[j] = {kEightWithOutlier[j], j == 2 ? 0.61f : m, j < 3 ? 1.0f + 0.5f * static_cast<float>(j) : m,
               j < 6 ? 0.9f : m};
  }
  const common::SeriesMatrix x = Matrix(4, cols);
  RobsumRun r = RunRobsum(x, 4, 8, 2);
  ASSERT_EQ(r.status, RobsumStatus::kOk);
  EXPECT_EQ(r.depth, (std::vector<int>{8, 1, 3, 6}));
  EXPECT_NEAR(r.crn[0], 1.02917011f, 2e-6f);
  EXPECT_NEAR(r.spr[0], 0.107923771f, 2e-6f);
  // R: fivenum(wt) = 0 0.860680176 0.964656143 0.995943708 0.999467848
  EXPECT_EQ(r.bwt.get(1, 1), 0.0f);
  EXPECT_NEAR(r.bwt.get(1, 2), 0.860680176f, 2e-6f);
  EXPECT_NEAR(r.bwt.get(1, 3), 0.964656143f, 2e-6f);
  EXPECT_NEAR(r.bwt.get(1, 4), 0.995943708f, 2e-6f);
  EXPECT_EQ(r.crn[1], 0.61f);
  EXPECT_EQ(r.spr[1], 0.0f);
  EXPECT_EQ(r.crn[2], 1.5f);                 // median of 1.0, 1.5, 2.0
  EXPECT_NEAR(r.spr[2], 0.75f, 1e-6f);       // 1.5 x MAD 0.5
  EXPECT_EQ(r.vratio[2], 1.0f);
  EXPECT_EQ(r.crn[3], 0.9f);
  EXPECT_EQ(r.spr[3], 0.0f);
  for (int i = 2; i <= 3; ++i)
    for (int c = 1; c <= 4; ++c) EXPECT_EQ(r.bwt.get(i, c), 1.0f);
  // Six identical values: every weight 1.
  for (int c = 1; c <= 4; ++c) EXPECT_EQ(r.bwt.get(4, c), 1.0f);
}

TEST(Robsum, OnlyExactMissingValueIsMissing) {
  const common::SeriesMatrix x = Matrix(1, {{-998.9f}, {-999.0f}, {-0.5f}});
  RobsumRun r = RunRobsum(x, 1, 3, 1);
  EXPECT_EQ(r.depth[0], 2);
  EXPECT_NEAR(r.crn[0], (-998.9f - 0.5f) / 2.0f, 1e-3f);
}

TEST(Robsum, ArithmeticMeanWithSixOrMoreValuesGivesUnitBiweights) {
  std::vector<std::vector<float>> cols;
  for (int j = 0; j < 7; ++j) cols.push_back({static_cast<float>(j)});
  RobsumRun r = RunRobsum(Matrix(1, cols), 1, 7, 1);
  EXPECT_EQ(r.crn[0], 3.0f);
  EXPECT_NEAR(r.spr[0], std::sqrt(28.0f / 6.0f), 1e-6f);  // by hand: sum of squares 28
  for (int c = 1; c <= 4; ++c) EXPECT_EQ(r.bwt.get(1, c), 1.0f);
}

// A 40-series, 30-year index matrix with staggered coverage; values from an
// integer generator, exact multiples of 1/4096, reproduced in R (doubles):
//   st <- 777; nxt <- function() { st <<- (st * 1664525 + 1013904223) %% 4294967296; st }
//   for (j in 1:40) { f <- (j*7) %% 10 + 1; l <- 30 - (j*3) %% 8
//     for (i in f:l) X[i, j] <- 0.25 + ((nxt() %/% 256) %% 8192)/4096 }
// Reference per year from the R biweight above (bwt all 1 below six
// values; otherwise fivenum(wt)[1:4]), and mean(x), sd(x):
// depth, loc, spr, vratio, bwt1..bwt4, mean, sd.
struct RobsumRow {
  int depth;
  double loc, spr, vratio, b1, b2, b3, b4, mean, sd;
};
const RobsumRow kRobsumReference[] = {
    {4, 1.59399414, 0.52532959, 1, 1, 1, 1, 1, 1.52697754, 0.614514207},
    {8, 0.928095127, 0.589193385, 0.907122993, 0.856167596, 0.938381853, 0.958832128, 0.995718073, 0.939575195, 0.561165483},
    {12, 1.1455129, 0.725570661, 0.834636689, 0.890562826, 0.920961921, 0.94821633, 0.982883181, 1.1517334, 0.66287013},
    {16, 1.21347647, 0.653171206, 0.892237235, 0.863191106, 0.904681517, 0.969016464, 0.995144535, 1.22012329, 0.616974483},
    {20, 1.23121368, 0.679435108, 0.892475189, 0.919549929, 0.945165686, 0.958771799, 0.995368078, 1.23529053, 0.641868495},
    {24, 1.23807845, 0.675361738, 0.838658474, 0.855842093, 0.906909821, 0.947761235, 0.982625679, 1.2298584, 0.618484788},
    {28, 1.1959232, 0.615814565, 0.840773265, 0.798722316, 0.888136014, 0.949383181, 0.983838317, 1.20770264, 0.564663094},
    {32, 1.14343369, 0.594687656, 0.899776651, 0.800658977, 0.910615321, 0.960797249, 0.99629429, 1.1506958, 0.564100238},
    {36, 1.31944256, 0.603981016, 0.895827044, 0.872795554, 0.930949081, 0.972614097, 0.98974134, 1.3174981, 0.571656799},
    {40, 1.37090513, 0.68288754, 0.900155569, 0.890299768, 0.942698405, 0.964740741, 0.994564567, 1.36439209, 0.647899993},
    {40, 1.29589812, 0.663571652, 0.87261713, 0.885971751, 0.926649316, 0.963817811, 0.986050162, 1.29401855, 0.619868677},
    {40, 1.15730346, 0.653283217, 0.876242862, 0.883603347, 0.923139519, 0.960377469, 0.985625985, 1.15916138, 0.61152434},
    {40, 1.25211525, 0.701919586, 0.874370302, 0.915440812, 0.948349892, 0.966244411, 0.977732607, 1.24822998, 0.656349351},
    {40, 1.10494095, 0.600649113, 0.834229532, 0.731467801, 0.865499331, 0.959463452, 0.988808856, 1.10610962, 0.548609874},
    {40, 1.14455917, 0.590538284, 0.874756785, 0.793931173, 0.902251227, 0.967101474, 0.990035958, 1.15465698, 0.552321206},
    {40, 1.33792676, 0.649240528, 0.891665578, 0.893872483, 0.939971995, 0.967028857, 0.987932972, 1.33636475, 0.613065141},
    {40, 1.36541483, 0.63528275, 0.893343146, 0.843545242, 0.935846676, 0.962035393, 0.989047311, 1.35483398, 0.600449127},
    {40, 1.27986373, 0.609284296, 0.898561033, 0.87894636, 0.930344359, 0.964292349, 0.991646951, 1.27727661, 0.577555568},
    {40, 1.23951974, 0.507134915, 0.929983155, 0.808595016, 0.93434028, 0.967465795, 0.995004136, 1.24200439, 0.489058772},
    {40, 1.33596557, 0.599265061, 0.880477036, 0.819369283, 0.914988483, 0.9650107, 0.992768685, 1.32907715, 0.562312806},
    {40, 1.19446366, 0.619860317, 0.857006304, 0.80480497, 0.913838859, 0.949891945, 0.990666799, 1.20653687, 0.573833426},
    {40, 1.09347749, 0.600386312, 0.883715917, 0.775653415, 0.891056551, 0.970162645, 0.992082938, 1.10387573, 0.564400151},
    {40, 1.24455787, 0.656896633, 0.901304255, 0.907969366, 0.941355585, 0.965417449, 0.992380879, 1.24370728, 0.623638253},
    {35, 1.3672075, 0.433808414, 0.899915891, 0.794319445, 0.927202645, 0.964274379, 0.992549334, 1.36754325, 0.411527566},
    {30, 1.13096835, 0.668662777, 0.855171028, 0.795130604, 0.900528891, 0.950254895, 0.986166834, 1.14810384, 0.618348964},
    {25, 1.28078771, 0.644228501, 0.875723292, 0.871335394, 0.935924224, 0.964234246, 0.985469752, 1.27746094, 0.6028696},
    {20, 1.3800169, 0.588560663, 0.854960121, 0.690028127, 0.869777475, 0.969956089, 0.98747352, 1.37138672, 0.544207047},
    {15, 1.35159163, 0.681112647, 0.8693224, 0.880899203, 0.932639344, 0.959449291, 0.985173673, 1.34173177, 0.635052134},
    {10, 1.33937525, 0.574491735, 0.901574794, 0.897628502, 0.916363826, 0.964738832, 0.997256237, 1.34575195, 0.545487327},
    {5, 1.36206055, 0.498779297, 1, 1, 1, 1, 1, 1.38745117, 0.551425935},
};

common::SeriesMatrix GeneratedMatrix() {
  common::SeriesMatrix m(30, 40);
  std::uint32_t st = 777u;
  for (int j = 1; j <= 40; ++j) {
    const int f = (j * 7) % 10 + 1;
    const int l = 30 - (j * 3) % 8;
    for (int i = f; i <= l; ++i) {
      st = st * 1664525u + 1013904223u;
      m.at(i, j) = 0.25f + static_cast<float>((st >> 8) % 8192u) / 4096.0f;
    }
  }
  return m;
}

TEST(Robsum, BiweightChronologyAgreesWithR) {
  const RobsumRun r = RunRobsum(GeneratedMatrix(), 30, 40, 2);
  ASSERT_EQ(r.status, RobsumStatus::kOk);
  for (int i = 1; i <= 30; ++i) {
    const RobsumRow& e = kRobsumReference[i - 1];
    const auto k = static_cast<std::size_t>(i - 1);
    EXPECT_EQ(r.depth[k], e.depth) << i;
    EXPECT_NEAR(r.crn[k], e.loc, 4e-6) << i;
    EXPECT_NEAR(r.spr[k], e.spr, 4e-6) << i;
    EXPECT_NEAR(r.vratio[k], e.vratio, 4e-6) << i;
    EXPECT_NEAR(r.bwt.get(i, 1), e.b1, 4e-6) << i;
    EXPECT_NEAR(r.bwt.get(i, 2), e.b2, 4e-6) << i;
    EXPECT_NEAR(r.bwt.get(i, 3), e.b3, 4e-6) << i;
    EXPECT_NEAR(r.bwt.get(i, 4), e.b4, 4e-6) << i;
  }
}

TEST(Robsum, ArithmeticChronologyAgreesWithR) {
  const RobsumRun r = RunRobsum(GeneratedMatrix(), 30, 40, 1);
  for (int i = 1; i <= 30; ++i) {
    const RobsumRow& e = kRobsumReference[i - 1];
    const auto k = static_cast<std::size_t>(i - 1);
    EXPECT_NEAR(r.crn[k], e.mean, 2e-6) << i;
    EXPECT_NEAR(r.spr[k], e.sd, 2e-6) << i;
    EXPECT_EQ(r.vratio[k], 1.0f);
  }
}

TEST(Robsum, SeriesLimitByProgram) {
  common::SeriesMatrix x(1, 6001, 1.0f);
  EXPECT_EQ(RunRobsum(x, 1, 3001, 2).status, RobsumStatus::kOk);
  EXPECT_EQ(RunRobsum(x, 1, 3002, 2).status, RobsumStatus::kTooManySeries);
  EXPECT_EQ(RunRobsum(x, 1, 6001, 2, common::ProgramVariant::kBatch).status, RobsumStatus::kOk);
}

TEST(Robsum, YearWithoutValuesIsReported) {
  const float m = -999.0f;
  RobsumRun r = RunRobsum(Matrix(3, {{1.0f, m, 2.0f}, {3.0f, m, 4.0f}}), 3, 2, 2);
  EXPECT_EQ(r.status, RobsumStatus::kYearWithoutValues);
  EXPECT_EQ(r.crn[0], 2.0f);
}

TEST(Robsum, LargeTablesSharedAmongThreadsGiveTheOneYearResults) {
  // 150 years of 200 series with gaps: enough for ROBSUM to spread its
  // years over threads. Every year must be exactly what biwgt gives for
  // that year's values alone, and its weight summary the hinges of them.
  const int nyrs = 150, nser = 200;
  common::SeriesMatrix x(nyrs, nser);
  std::uint32_t state = 7u;
  for (int j = 1; j <= nser; ++j) {
    for (int i = 1; i <= nyrs; ++i) {
      state = state * 1664525u + 1013904223u;
      if ((i + j) % 7 != 0) x.at(i, j) = 0.5f + static_cast<float>(state >> 8) / 16777216.0f;
    }
  }
  common::Block bwt(nyrs, 4);
  std::vector<float> crn(nyrs), spr(nyrs), vratio(nyrs);
  std::vector<int> depth(nyrs);
  RobsumWorkspace work(common::ProgramVariant::kInteractive);
  WorkerPool pool;
  work.pool = &pool;
  // A first call, then the call checked: on the same table with its values
  // moved a little (the next iteration's indices), a few of them to zero,
  // and a value added to and one taken from some years, so that the order
  // the first call left behind is partly right, partly wrong and partly
  // unusable.
  ASSERT_EQ(ROBSUM(x, bwt, nyrs, nser, crn, spr, vratio, depth, 2, work), RobsumStatus::kOk);
  for (int j = 1; j <= nser; ++j) {
    for (int i = 1; i <= nyrs; ++i) {
      state = state * 1664525u + 1013904223u;
      const float v = x.get(i, j);
      if (v != common::kMissing) x.at(i, j) = v + (static_cast<float>(state >> 8) / 16777216.0f - 0.5f) * 0.02f;
    }
  }
  x.at(3, 5) = 0.0f;
  x.at(4, 7) = common::kMissing;
  x.at(7, 7) = 0.75f;
  ASSERT_EQ(ROBSUM(x, bwt, nyrs, nser, crn, spr, vratio, depth, 2, work), RobsumStatus::kOk);
  EXPECT_FALSE(work.lanes.empty());
  for (int i = 1; i <= nyrs; ++i) {
    std::vector<float> v, w(nser), wt(nser);
    for (int j = 1; j <= nser; ++j) {
      if (x.get(i, j) != common::kMissing) v.push_back(x.get(i, j));
    }
    const BiweightResult r = biwgt(v, w, std::span<float>(wt).first(v.size()), 2);
    const std::size_t row = static_cast<std::size_t>(i - 1);
    ASSERT_EQ(crn[row], r.loc) << i;
    ASSERT_EQ(spr[row], r.spr) << i;
    ASSERT_EQ(vratio[row], r.vratio) << i;
    ASSERT_EQ(depth[row], static_cast<int>(v.size()));
    const Hinges h = hinges(std::span<float>(wt).first(v.size()));
    ASSERT_EQ(bwt.get(i, 1), h.min);
    ASSERT_EQ(bwt.get(i, 2), h.lower);
    ASSERT_EQ(bwt.get(i, 3), h.median);
    ASSERT_EQ(bwt.get(i, 4), h.upper);
  }
}

}  // namespace
}  // namespace detrend
