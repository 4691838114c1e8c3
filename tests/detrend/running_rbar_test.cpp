// Tests of running RBAR, EPS and the effective number of series.
#include "detrend/running_rbar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "common/limits.h"
#include "common/storage.h"

namespace detrend {
namespace {

TEST(Corrl, AgreesWithR) {
  // R: cor(x, y) = 0.860166963; coef(lm(y ~ x)) = 0.525722543, 1.482658960.
  const std::vector<float> x = {1.2f, 0.8f, 1.5f, 1.1f, 0.9f, 1.3f, 0.7f};
  const std::vector<float> y = {2.0f, 1.7f, 2.9f, 2.2f, 1.5f, 2.6f, 1.9f};
  const CorrlResult r = corrl(x, y);
  EXPECT_TRUE(r.valid);
  EXPECT_NEAR(r.r, 0.860166963f, 2e-6f);
  EXPECT_NEAR(r.a, 0.525722543f, 1e-5f);
  EXPECT_NEAR(r.b, 1.482658960f, 1e-5f);
}

TEST(Corrl, ConstantSeriesHasNoCorrelation) {
  const std::vector<float> x = {1.0f, 1.0f, 1.0f};
  const std::vector<float> y = {1.0f, 2.0f, 4.0f};
  const CorrlResult r = corrl(x, y);
  EXPECT_FALSE(r.valid);
  EXPECT_EQ(r.r, 0.0f);
  EXPECT_FALSE(std::isnan(r.a));
}

// Test data shared with the R reference below: a common signal plus a
// series-specific pattern, exact multiples of 1/16.
//   val <- function(s, t) 1 + ((t*t*7 + 3*t) %% 13)/8 + ((s*7 + t*t*3 + s*t*5) %% 17)/16
// with t the row of the year (1 = first year of the data set).
float Val(int s, int t) {
  return 1.0f + static_cast<float>((t * t * 7 + 3 * t) % 13) / 8.0f +
         static_cast<float>((s * 7 + t * t * 3 + s * t * 5) % 17) / 16.0f;
}

struct DataSet {
  common::SeriesMatrix idx{1, 1};
  common::YearTable IYTAB;
  int NS = 0;
};

DataSet Make(int fy, int ly, const std::vector<int>& ify, const std::vector<int>& ily) {
  DataSet d;
  d.NS = static_cast<int>(ify.size());
  d.idx = common::SeriesMatrix(ly - fy + 1, d.NS + 1);
  for (int s = 1; s <= d.NS; ++s) {
    d.IYTAB.IFY(s) = ify[static_cast<std::size_t>(s - 1)];
    d.IYTAB.ILY(s) = ily[static_cast<std::size_t>(s - 1)];
    d.IYTAB.NYR(s) = d.IYTAB.ILY(s) - d.IYTAB.IFY(s) + 1;
    for (int y = d.IYTAB.IFY(s); y <= d.IYTAB.ILY(s); ++y) d.idx.at(y - fy + 1, s) = Val(s, y - fy + 1);
  }
  d.IYTAB.IFY(d.NS + 1) = fy;
  d.IYTAB.ILY(d.NS + 1) = ly;
  d.IYTAB.NYR(d.NS + 1) = ly - fy + 1;
  return d;
}

// R reference (4.x), data set 1: years 1001-1040, six series covering
//   IFY <- c(1001, 1001, 1005, 1001, 1010, 1001); ILY <- c(1040, 1040, 1040, 1030, 1040, 1035)
// window 11. For each window start ws: cov <- which(IFY <= ws & ILY - ws + 1 >= L);
// C <- cor(X[rows, cov]); rs <- C[upper.tri(C)]; rs <- rs[rs > 0]; with at
// least 3: middle year, length(rs), mean(rs), sd(rs), sd(rs)/sqrt(length(rs)).
// Per year: depth <- rowSums(!is.na(X)), chron <- rowMeans(X, na.rm = TRUE),
// RBAR1 at the middle years, the ends filled from the nearest window, RBAR2
// the mean of RBAR1 over each rle() run of depth, NEFF = N/((N-1) r + 1),
// c0 <- mean(chron), stabilised c0 + (chron - c0) sqrt(r NEFF).
struct WindowRow {
  int middle, count;
  float rbar, sd, se;
};
const WindowRow kWindows1[] = {
{1006, 6, 0.68174448f, 0.06413018f, 0.02618104f},
{1007, 6, 0.70737725f, 0.04037473f, 0.01648292f},
{1008, 6, 0.71656433f, 0.05318905f, 0.02171434f},
{1009, 6, 0.77405205f, 0.04813741f, 0.01965202f},
{1010, 10, 0.76377756f, 0.09731318f, 0.03077313f},
{1011, 10, 0.78591259f, 0.08534230f, 0.02698761f},
{1012, 10, 0.79755943f, 0.06312247f, 0.01996108f},
{1013, 10, 0.73987467f, 0.11255954f, 0.03559445f},
{1014, 10, 0.78415086f, 0.09549144f, 0.03019704f},
{1015, 15, 0.79070840f, 0.10625299f, 0.02743441f},
{1016, 15, 0.77954693f, 0.12412140f, 0.03204801f},
{1017, 15, 0.78317459f, 0.10500542f, 0.02711228f},
{1018, 15, 0.75898974f, 0.10865711f, 0.02805514f},
{1019, 15, 0.69327503f, 0.10988656f, 0.02837259f},
{1020, 15, 0.66770740f, 0.10643574f, 0.02748159f},
{1021, 15, 0.73007513f, 0.08673420f, 0.02239468f},
{1022, 15, 0.71760428f, 0.09532116f, 0.02461182f},
{1023, 15, 0.71168266f, 0.09614915f, 0.02482560f},
{1024, 15, 0.73334138f, 0.08637194f, 0.02230114f},
{1025, 15, 0.64283714f, 0.10959093f, 0.02829626f},
{1026, 10, 0.60572326f, 0.10726974f, 0.03392167f},
{1027, 10, 0.66619284f, 0.10299377f, 0.03256949f},
{1028, 10, 0.72277235f, 0.06339296f, 0.02004661f},
{1029, 10, 0.72008490f, 0.05961486f, 0.01885187f},
{1030, 10, 0.72888893f, 0.06534886f, 0.02066512f},
{1031, 6, 0.75487425f, 0.04778667f, 0.01950883f},
{1032, 6, 0.64160209f, 0.01901554f, 0.00776306f},
{1033, 6, 0.62840428f, 0.09238970f, 0.03771794f},
{1034, 6, 0.68920761f, 0.13061954f, 0.05332520f},
{1035, 6, 0.71202144f, 0.12657310f, 0.05167325f},
};
struct YearRow {
  int depth;
  float chron, rbar1, neff1, rbar2, neff2, stab1, stab2;
};
const YearRow kYears1[] = {
{4, 2.75000000f, 0.68174448f, 1.31352820f, 0.68174448f, 1.31352820f, 2.72272813f, 2.72272813f},
{4, 2.75000000f, 0.68174448f, 1.31352820f, 0.68174448f, 1.31352820f, 2.72272813f, 2.72272813f},
{4, 2.45312500f, 0.68174448f, 1.31352820f, 0.68174448f, 1.31352820f, 2.44179423f, 2.44179423f},
{4, 2.12500000f, 0.68174448f, 1.31352820f, 0.68174448f, 1.31352820f, 2.13128835f, 2.13128835f},
{5, 2.46250000f, 0.68174448f, 1.34156952f, 0.71229652f, 1.29897591f, 2.45288021f, 2.45410362f},
{5, 2.80000000f, 0.68174448f, 1.34156952f, 0.71229652f, 1.29897591f, 2.77564874f, 2.77874565f},
{5, 1.37500000f, 0.70737725f, 1.30565041f, 0.71229652f, 1.29897591f, 1.40878731f, 1.40803488f},
{5, 2.07500000f, 0.71656433f, 1.29324035f, 0.71229652f, 1.29897591f, 2.08124198f, 2.08136648f},
{5, 2.63750000f, 0.77405205f, 1.22064108f, 0.71229652f, 1.29897591f, 2.62644040f, 2.62243652f},
{6, 1.65625000f, 0.76377756f, 1.24510059f, 0.72970857f, 1.29072704f, 1.67078987f, 1.67353758f},
{6, 2.60416667f, 0.78591259f, 1.21714644f, 0.72970857f, 1.29072704f, 2.59621746f, 2.59348306f},
{6, 1.71875000f, 0.79755943f, 1.20293585f, 0.72970857f, 1.29072704f, 1.72948085f, 1.73419332f},
{6, 1.33333333f, 0.73987467f, 1.27676597f, 0.72970857f, 1.29072704f, 1.35884320f, 1.36014956f},
{6, 2.71875000f, 0.78415086f, 1.21932526f, 0.72970857f, 1.29072704f, 2.70817884f, 2.70468526f},
{6, 2.44791667f, 0.79070840f, 1.21125449f, 0.72970857f, 1.29072704f, 2.44352197f, 2.44184369f},
{6, 2.50000000f, 0.77954693f, 1.22505616f, 0.72970857f, 1.29072704f, 2.49412919f, 2.49239015f},
{6, 2.34375000f, 0.78317459f, 1.22053602f, 0.72970857f, 1.29072704f, 2.34148318f, 2.34075078f},
{6, 2.51041667f, 0.75898974f, 1.25131683f, 0.72970857f, 1.29072704f, 2.50358672f, 2.50249944f},
{6, 3.00000000f, 0.69327503f, 1.34337125f, 0.72970857f, 1.29072704f, 2.97351339f, 2.97763611f},
{6, 1.47916667f, 0.66770740f, 1.38295467f, 0.72970857f, 1.29072704f, 1.50896587f, 1.50167963f},
{6, 1.90625000f, 0.73007513f, 1.29021836f, 0.72970857f, 1.29072704f, 1.91614296f, 1.91616056f},
{6, 2.65625000f, 0.71760428f, 1.30775328f, 0.72970857f, 1.29072704f, 2.64330229f, 2.64402951f},
{6, 1.75000000f, 0.71168266f, 1.31624748f, 0.72970857f, 1.29072704f, 1.76581702f, 1.76452120f},
{6, 2.43750000f, 0.73334138f, 1.28570321f, 0.72970857f, 1.29072704f, 2.43183552f, 2.43173440f},
{6, 2.00000000f, 0.64283714f, 1.42376260f, 0.72970857f, 1.29072704f, 2.01048680f, 2.00714418f},
{6, 1.53125000f, 0.60572326f, 1.48934511f, 0.72970857f, 1.29072704f, 1.56693105f, 1.55222609f},
{6, 2.65625000f, 0.66619284f, 1.38537280f, 0.72970857f, 1.29072704f, 2.63997017f, 2.64402951f},
{6, 2.47916667f, 0.72277235f, 1.30042908f, 0.72970857f, 1.29072704f, 2.47193446f, 2.47217156f},
{6, 2.09375000f, 0.72008490f, 1.30422747f, 0.72970857f, 1.29072704f, 2.09833433f, 2.09812780f},
{6, 2.20833333f, 0.72888893f, 1.29186596f, 0.72970857f, 1.29072704f, 2.20933396f, 2.20933000f},
{5, 2.41250000f, 0.75487425f, 1.24393674f, 0.68522194f, 1.33658114f, 2.40722271f, 2.40517371f},
{5, 2.78750000f, 0.64160209f, 1.40197069f, 0.68522194f, 1.33658114f, 2.75937072f, 2.76404983f},
{5, 1.61250000f, 0.62840428f, 1.42303495f, 0.68522194f, 1.33658114f, 1.64672348f, 1.63957132f},
{5, 1.92500000f, 0.68920761f, 1.33090915f, 0.68522194f, 1.33658114f, 1.93839992f, 1.93863476f},
{5, 2.73750000f, 0.71202144f, 1.29934734f, 0.68522194f, 1.33658114f, 2.71860284f, 2.71619968f},
{4, 2.00000000f, 0.71202144f, 1.27548404f, 0.71202144f, 1.27548404f, 2.01138384f, 2.01138384f},
{4, 2.54687500f, 0.71202144f, 1.27548404f, 0.71202144f, 1.27548404f, 2.53254510f, 2.53254510f},
{4, 1.96875000f, 0.71202144f, 1.27548404f, 0.71202144f, 1.27548404f, 1.98160320f, 1.98160320f},
{4, 1.35937500f, 0.71202144f, 1.27548404f, 0.71202144f, 1.27548404f, 1.40088066f, 1.40088066f},
{4, 2.87500000f, 0.71202144f, 1.27548404f, 0.71202144f, 1.27548404f, 2.84524185f, 2.84524185f},
};

DataSet DataSet1() {
  return Make(1001, 1040, {1001, 1001, 1005, 1001, 1010, 1001}, {1040, 1040, 1040, 1030, 1040, 1035});
}

struct Blocks {
  common::Block RBRV1{40, 3}, RBRV2{40, 7}, RBRV3{40, 5};
};

Blocks Prepare(int nyrs, const std::vector<int>& depth, const std::vector<float>& chron) {
  Blocks b{common::Block(nyrs, 3), common::Block(nyrs, 7), common::Block(nyrs, 5)};
  for (int i = 1; i <= nyrs; ++i) {
    b.RBRV3.at(i, 1) = static_cast<float>(depth[static_cast<std::size_t>(i - 1)]);
    b.RBRV1.at(i, 1) = chron[static_cast<std::size_t>(i - 1)];
  }
  return b;
}

Blocks PrepareSet1() {
  std::vector<int> depth;
  std::vector<float> chron;
  for (const YearRow& y : kYears1) {
    depth.push_back(y.depth);
    chron.push_back(y.chron);
  }
  return Prepare(40, depth, chron);
}

TEST(Winrbr, WindowAgreesWithRCorrelations) {
  const DataSet d = DataSet1();
  std::vector<float> used(20, 0.0f);
  // Window 1010-1020 (middle 1015): every series covers it, 15 pairs.
  const WindowRbar w = winrbr(d.idx, used, d.IYTAB, d.NS, 1010, 11);
  EXPECT_EQ(w.count, 15);
  EXPECT_NEAR(w.rbar, 0.79070840f, 2e-6f);
  EXPECT_NEAR(w.sd, 0.10625299f, 1e-5f);
  EXPECT_NEAR(w.se, 0.02743441f, 3e-6f);
  double sum = 0.0;
  for (int i = 0; i < 15; ++i) {
    EXPECT_GT(used[static_cast<std::size_t>(i)], 0.0f);
    sum += static_cast<double>(used[static_cast<std::size_t>(i)]);
  }
  EXPECT_NEAR(sum / 15.0, 0.79070840, 2e-6);
  EXPECT_EQ(used[15], 0.0f);
}

TEST(Winrbr, SeriesMustCoverTheWholeWindow) {
  // Window 1009-1019: series 5 starts in 1010, one year late, so only five
  // series (10 pairs) take part; window 1020-1030 is the last that series 4
  // (ending 1030) covers, 1021-1031 ends a year past it.
  const DataSet d = DataSet1();
  EXPECT_EQ(winrbr(d.idx, {}, d.IYTAB, d.NS, 1009, 11).count, 10);
  EXPECT_EQ(winrbr(d.idx, {}, d.IYTAB, d.NS, 1020, 11).count, 15);
  EXPECT_EQ(winrbr(d.idx, {}, d.IYTAB, d.NS, 1021, 11).count, 10);
}

TEST(Winrbr, OnlyPositiveCorrelationsCount) {
  // Three series, all pairwise negative or mixed: a rising, a falling and a
  // rising-then-flat series. Pairs: (1,2) -1, (1,3) > 0, (2,3) < 0.
  common::SeriesMatrix idx(6, 3);
  common::YearTable t;
  const float a[] = {1, 2, 3, 4, 5, 6}, b[] = {6, 5, 4, 3, 2, 1}, c[] = {1, 2, 3, 3, 3, 3};
  for (int i = 1; i <= 6; ++i) {
    idx.at(i, 1) = a[i - 1];
    idx.at(i, 2) = b[i - 1];
    idx.at(i, 3) = c[i - 1];
  }
  for (int s = 1; s <= 4; ++s) {
    t.IFY(s) = 1;
    t.ILY(s) = 6;
  }
  const WindowRbar w = winrbr(idx, {}, t, 3, 1, 6);
  EXPECT_EQ(w.count, 1);
  EXPECT_EQ(w.rbar, -99.9f);
  EXPECT_EQ(w.sd, -99.9f);
  EXPECT_EQ(w.se, -99.9f);
}

TEST(Winrbr, CorrelationsAreCorrlsToTheLastBit) {
  // 30 series over one 25-year window: the pair correlations that winrbr
  // counts are exactly those corrl gives for the pair, in pair order.
  const int ns = 30;
  std::vector<int> ify(ns, 1), ily(ns, 25);
  const DataSet d = Make(1, 25, ify, ily);
  std::vector<float> used(ns * (ns - 1) / 2, 0.0f);
  const WindowRbar w = winrbr(d.idx, used, d.IYTAB, ns, 1, 25);
  std::vector<float> expected;
  for (int i = 1; i < ns; ++i)
    for (int j = i + 1; j <= ns; ++j) {
      const CorrlResult c = corrl(d.idx.column_view(i).first(25), d.idx.column_view(j).first(25));
      if (c.valid && c.r > 0.0f) expected.push_back(c.r);
    }
  ASSERT_EQ(w.count, static_cast<int>(expected.size()));
  ASSERT_GE(w.count, 3);
  for (std::size_t k = 0; k < expected.size(); ++k) EXPECT_EQ(used[k], expected[k]) << k;
}

TEST(Runrbr, AgreesWithTheRReference) {
  const DataSet d = DataSet1();
  Blocks b = PrepareSet1();
  const RunrbrResult r = runrbr(d.idx, b.RBRV1, d.IYTAB, d.NS, b.RBRV2, b.RBRV3, 11, 10);
  ASSERT_EQ(r.nwin, 30);
  EXPECT_EQ(r.length, 11);
  EXPECT_EQ(r.overlap, 10);
  for (int m = 1; m <= 30; ++m) {
    const WindowRow& w = kWindows1[m - 1];
    EXPECT_EQ(b.RBRV2.get(m, 1), static_cast<float>(w.middle));
    EXPECT_EQ(b.RBRV2.get(m, 2), static_cast<float>(w.count));
    EXPECT_NEAR(b.RBRV2.get(m, 3), w.rbar, 2e-6f) << m;
    EXPECT_NEAR(b.RBRV2.get(m, 4), w.sd, 1e-5f) << m;
    EXPECT_NEAR(b.RBRV2.get(m, 5), w.se, 3e-6f) << m;
  }
  for (int i = 1; i <= 40; ++i) {
    const YearRow& y = kYears1[i - 1];
    EXPECT_NEAR(b.RBRV3.get(i, 2), y.rbar1, 2e-6f) << i;
    EXPECT_NEAR(b.RBRV3.get(i, 3), y.neff1, 4e-6f) << i;
    EXPECT_NEAR(b.RBRV3.get(i, 4), y.rbar2, 2e-6f) << i;
    EXPECT_NEAR(b.RBRV3.get(i, 5), y.neff2, 4e-6f) << i;
    EXPECT_NEAR(b.RBRV1.get(i, 2), y.stab1, 1e-5f) << i;
    EXPECT_NEAR(b.RBRV1.get(i, 3), y.stab2, 1e-5f) << i;
  }
}

TEST(Runrbr, EvenWindowLengthRunsOneLonger) {
  const DataSet d = DataSet1();
  Blocks b = PrepareSet1();
  const RunrbrResult r = runrbr(d.idx, b.RBRV1, d.IYTAB, d.NS, b.RBRV2, b.RBRV3, 10, 3);
  EXPECT_EQ(r.length, 11);
  EXPECT_EQ(r.overlap, 10);
  EXPECT_EQ(r.nwin, 30);
  EXPECT_NEAR(b.RBRV2.get(1, 3), kWindows1[0].rbar, 2e-6f);
}

TEST(Runrbr, AddingASeriesOutsideAWindowLeavesItsRbar) {
  // Series 7 covers 1030-1040 only: windows ending before 1040 ignore it.
  const DataSet d1 = DataSet1();
  DataSet d2 = Make(1001, 1040, {1001, 1001, 1005, 1001, 1010, 1001, 1030}, {1040, 1040, 1040, 1030, 1040, 1035, 1040});
  Blocks b1 = PrepareSet1(), b2 = PrepareSet1();
  const RunrbrResult r1 = runrbr(d1.idx, b1.RBRV1, d1.IYTAB, d1.NS, b1.RBRV2, b1.RBRV3, 11, 10);
  const RunrbrResult r2 = runrbr(d2.idx, b2.RBRV1, d2.IYTAB, d2.NS, b2.RBRV2, b2.RBRV3, 11, 10);
  ASSERT_EQ(r1.nwin, r2.nwin);
  for (int m = 1; m < r1.nwin; ++m) {  // the last window, 1030-1040, has series 7
    EXPECT_EQ(b1.RBRV2.get(m, 3), b2.RBRV2.get(m, 3)) << m;
    EXPECT_EQ(b1.RBRV2.get(m, 2), b2.RBRV2.get(m, 2)) << m;
  }
  EXPECT_NE(b1.RBRV2.get(r1.nwin, 2), b2.RBRV2.get(r2.nwin, 2));
}

TEST(Runrbr, ConstantDepthGivesOneRbar2) {
  const DataSet d = Make(1, 30, {1, 1, 1, 1}, {30, 30, 30, 30});
  Blocks b = Prepare(30, std::vector<int>(30, 4), std::vector<float>(30, 1.0f));
  const RunrbrResult r = runrbr(d.idx, b.RBRV1, d.IYTAB, d.NS, b.RBRV2, b.RBRV3, 7, 6);
  ASSERT_GT(r.nwin, 0);
  float sum = 0.0f;
  for (int i = 1; i <= 30; ++i) sum += b.RBRV3.get(i, 2);
  for (int i = 1; i <= 30; ++i) EXPECT_NEAR(b.RBRV3.get(i, 4), sum / 30.0f, 1e-6f);
  // The first (7 - 1) / 2 years take the first window's value, the last three the last one's.
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(b.RBRV3.get(i, 2), b.RBRV2.get(1, 3));
  for (int i = 28; i <= 30; ++i) EXPECT_EQ(b.RBRV3.get(i, 2), b.RBRV2.get(r.nwin, 3));
}

TEST(Runrbr, FailedWindowsCarryThePreviousValueAndLaterOnesKeepTheirRows) {
  // Years 1-30, window 5. Series 3 and 4 end in year 14, series 5 and 6
  // start in year 16: windows starting 11..15 hold only series 1 and 2 (one
  // pair) and give no result. R reference (same script, this coverage):
  const float expected[30] = {
      0.46437764f, 0.46437764f, 0.46437764f, 0.43555125f, 0.66077246f, 0.65124556f, 0.74579453f, 0.86422409f,
      0.83852497f, 0.80191558f, 0.84311526f, 0.86711691f, 0.86711691f, 0.86711691f, 0.86711691f, 0.86711691f,
      0.86711691f, 0.81218651f, 0.84801221f, 0.87005755f, 0.86217413f, 0.76794518f, 0.51294937f, 0.71793022f,
      0.79922521f, 0.76137586f, 0.67412805f, 0.77069621f, 0.77069621f, 0.77069621f};
  const DataSet d = Make(1, 30, {1, 1, 1, 1, 16, 16}, {30, 30, 14, 14, 30, 30});
  std::vector<int> depth(30);
  for (int i = 1; i <= 30; ++i) depth[static_cast<std::size_t>(i - 1)] = i <= 14 ? 4 : i == 15 ? 2 : 4;
  Blocks b = Prepare(30, depth, std::vector<float>(30, 1.0f));
  const RunrbrResult r = runrbr(d.idx, b.RBRV1, d.IYTAB, d.NS, b.RBRV2, b.RBRV3, 5, 4);
  EXPECT_EQ(r.nwin, 21);
  for (int i = 1; i <= 30; ++i) EXPECT_NEAR(b.RBRV3.get(i, 2), expected[i - 1], 2e-6f) << i;
  EXPECT_EQ(b.RBRV2.get(10, 1), 12.0f);  // window rows stay one per result
  EXPECT_EQ(b.RBRV2.get(11, 1), 18.0f);
}

TEST(Runrbr, NoWindowWithAResult) {
  // Two series: one pair, never three correlations.
  const DataSet d = Make(1, 20, {1, 1}, {20, 20});
  std::vector<float> chron(20);
  for (int i = 0; i < 20; ++i) chron[static_cast<std::size_t>(i)] = 0.5f + 0.1f * static_cast<float>(i);
  Blocks b = Prepare(20, std::vector<int>(20, 2), chron);
  const RunrbrResult r = runrbr(d.idx, b.RBRV1, d.IYTAB, d.NS, b.RBRV2, b.RBRV3, 5, 4);
  EXPECT_EQ(r.nwin, 0);
  for (int i = 1; i <= 20; ++i) {
    for (int c = 2; c <= 5; ++c) EXPECT_EQ(b.RBRV3.get(i, c), -99.9f);
    EXPECT_EQ(b.RBRV1.get(i, 2), chron[static_cast<std::size_t>(i - 1)]);
    EXPECT_EQ(b.RBRV1.get(i, 3), chron[static_cast<std::size_t>(i - 1)]);
    const RbarTableRow t = RunrbrTableRow(b.RBRV3, 1, i, r.nwin);
    EXPECT_EQ(t.depth, 2);
    EXPECT_EQ(t.rbar1, -99.9f);
    EXPECT_EQ(t.eps1, -99.9f);
    EXPECT_EQ(t.neff2, -99.9f);
  }
}

TEST(Runrbr, DepthOneGivesNeffOne) {
  // NEFF = N / ((N - 1) r + 1) is 1 for N = 1, so the stabilised value is
  // c0 + (c - c0) sqrt(r); c0 is the chronology mean, here 1.5.
  const DataSet d = Make(1, 30, {1, 1, 1, 1}, {30, 30, 30, 30});
  std::vector<int> depth(30, 4);
  depth[0] = 1;
  std::vector<float> chron(30, 1.5f);
  chron[0] = 2.0f;
  chron[1] = 1.0f;
  Blocks b = Prepare(30, depth, chron);
  ASSERT_GT(runrbr(d.idx, b.RBRV1, d.IYTAB, d.NS, b.RBRV2, b.RBRV3, 7, 6).nwin, 0);
  EXPECT_EQ(b.RBRV3.get(1, 3), 1.0f);
  EXPECT_EQ(b.RBRV3.get(1, 5), 1.0f);
  const float r1 = b.RBRV3.get(1, 2);
  EXPECT_NEAR(b.RBRV1.get(1, 2), 1.5f + 0.5f * std::sqrt(r1), 1e-6f);
  EXPECT_EQ(b.RBRV3.get(1, 4), r1);  // a run of its own: RBAR2 = RBAR1
}

TEST(Runrbr, SpanShorterThanTheWindow) {
  const DataSet d = Make(1, 20, {1, 1, 1, 1}, {20, 20, 20, 20});
  Blocks b = Prepare(20, std::vector<int>(20, 4), std::vector<float>(20, 1.0f));
  EXPECT_EQ(runrbr(d.idx, b.RBRV1, d.IYTAB, d.NS, b.RBRV2, b.RBRV3, 51, 50).nwin, 0);
}

TEST(Runrbr, LargeTablesSharedAmongThreadsGiveTheOneWindowResults) {
  // 120 series with staggered spans over 160 years, window 31: enough work
  // for runrbr to spread its windows over threads. Every window row must be
  // exactly what winrbr gives for that window alone.
  std::vector<int> ify, ily;
  for (int s = 1; s <= 120; ++s) {
    ify.push_back(1 + (s * 7) % 40);
    ily.push_back(160 - (s * 11) % 30);
  }
  const DataSet d = Make(1, 160, ify, ily);
  Blocks b = Prepare(160, std::vector<int>(160, 100), std::vector<float>(160, 1.0f));
  const RunrbrResult r = runrbr(d.idx, b.RBRV1, d.IYTAB, d.NS, b.RBRV2, b.RBRV3, 31, 30);
  ASSERT_EQ(r.nwin, 130);
  for (int m = 1; m <= r.nwin; ++m) {
    const int ws = static_cast<int>(b.RBRV2.get(m, 1)) - 15;
    const WindowRbar w = winrbr(d.idx, {}, d.IYTAB, d.NS, ws, 31);
    ASSERT_EQ(b.RBRV2.get(m, 2), static_cast<float>(w.count)) << m;
    ASSERT_EQ(b.RBRV2.get(m, 3), w.rbar) << m;
    ASSERT_EQ(b.RBRV2.get(m, 4), w.sd) << m;
    ASSERT_EQ(b.RBRV3.get(m + 15, 2), w.rbar) << m;
  }
}

TEST(RunrbrTableRow, EpsAndDepthOne) {
  common::Block rbrv3(3, 5);
  rbrv3.at(1, 1) = 1.0f;
  rbrv3.at(1, 2) = 0.4f;
  rbrv3.at(1, 3) = 1.0f;
  rbrv3.at(1, 4) = 0.25f;
  rbrv3.at(1, 5) = 1.0f;
  rbrv3.at(2, 1) = 10.0f;
  rbrv3.at(2, 2) = 0.5f;
  rbrv3.at(2, 4) = 0.2f;
  const RbarTableRow one = RunrbrTableRow(rbrv3, 1850, 1, 5);
  EXPECT_EQ(one.year, 1850);
  EXPECT_EQ(one.depth, 1);
  EXPECT_NEAR(one.eps1, 0.4f, 1e-7f);  // N = 1: EPS = r
  EXPECT_NEAR(one.eps2, 0.25f, 1e-7f);
  const RbarTableRow ten = RunrbrTableRow(rbrv3, 1850, 2, 5);
  EXPECT_EQ(ten.year, 1851);
  EXPECT_NEAR(ten.eps1, 5.0f / 5.5f, 1e-6f);  // by hand: 10 x .5 / (.5 + 5)
  EXPECT_NEAR(ten.eps2, 2.0f / 2.8f, 1e-6f);  // 10 x .2 / (.8 + 2)
}

}  // namespace
}  // namespace detrend
