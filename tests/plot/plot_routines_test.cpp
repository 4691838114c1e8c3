// What each plot routine draws, through a recording plotter: scaling, points,
// colours, labels and the robustness cases.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "plot/plots.h"
#include "plot_session.h"

namespace plot {
namespace {

using testing::Call;
using testing::Session;

constexpr float kMiss = -999.0f;
const float kNaN = std::numeric_limits<float>::quiet_NaN();

std::string FirstArgs(const Session& s, const std::string& name) {
  const auto calls = s.plotter.Named(name);
  return calls.empty() ? std::string("<none>") : calls.front().args;
}

bool HasCall(const Session& s, const std::string& line) {
  return s.plotter.Text().find(line + "\n") != std::string::npos;
}

// ---- pltser ----

const std::vector<float> kC1 = {0.62f, 1.0f, 1.48f, 0.9f, 1.1f};
const std::vector<float> kC2 = {0.8f, 0.9f, 1.2f, 1.0f, 0.7f};

TEST(Pltser, SmallRangeIsNotPadded) {
  Session s({"c"});
  PlotMemory mem;
  const std::vector<float> ref = {kNoReference};
  pltser(s.ctx, mem, kC1, kC2, 5, 1872, "Year", "Index", "Title", ref, "first", "second", kIwrefDefault);
  // y: nicescl(0.62, 1.48) = 0.6..1.5 by 0.1; x: nicescl(1872, 1876) = 1872..1876.5 by 0.5.
  EXPECT_EQ(FirstArgs(s, "wind"), "1872 1876.5 0.6 1.5");
  EXPECT_EQ(FirstArgs(s, "axes"), "1872 0.6 abitnr 0.5 5 abinstv 0.1 5");
  EXPECT_EQ(s.plotter.Named("line").size(), 2u);  // no reference line
  EXPECT_EQ(s.plotter.LineColours(), (std::vector<int>{1, 9}));
  EXPECT_TRUE(HasCall(s, "lab Year|Index| "));
  EXPECT_TRUE(HasCall(s, "mtex b -30 0.5 0.5 Title"));
  EXPECT_TRUE(HasCall(s, "mtex b -28 0.06 0 first"));
  EXPECT_TRUE(HasCall(s, "mtex b -28 0.55 0 second"));
  const Call c1 = s.plotter.Named("line")[0];
  EXPECT_EQ(c1.x, (std::vector<double>{1872, 1873, 1874, 1875, 1876}));
  EXPECT_FLOAT_EQ(static_cast<float>(c1.y[2]), 1.48f);
}

TEST(Pltser, IwrefZeroStartsAtZero) {
  Session s({"c"});
  PlotMemory mem;
  const std::vector<float> ref = {kNoReference};
  pltser(s.ctx, mem, kC1, kC2, 5, 1872, "Year", "Index", "Title", ref, "first", "second", kIwrefFromZero);
  EXPECT_EQ(FirstArgs(s, "wind"), "1872 1876.5 0 1.8");
  EXPECT_EQ(FirstArgs(s, "axes"), "1872 0 abitnr 0.5 5 abinstv 0.2 5");
}

TEST(Pltser, WideRangeIsPadded) {
  // 20..62: P = int(42)/10 = 4: 16..66; R = 50/9 = 5.56, mantissa 6: STEP 6,
  // W 54, F = ((82 - 54)/6 + 1)/2 = 2.83, K 2: 12..66.
  Session s({"c"});
  PlotMemory mem;
  const std::vector<float> a = {20.0f, 62.0f}, b = {30.0f, 40.0f}, ref = {kNoReference};
  pltser(s.ctx, mem, a, b, 2, 1900, "", "", "", ref, "", "", 1);
  const auto w = s.plotter.Named("wind")[0].args;
  EXPECT_EQ(w.substr(w.find(' ', w.find(' ') + 1) + 1), "12 66");
}

TEST(Pltser, ReferenceAt085FixesTheTop) {
  Session s({"6", "3", "0", "c"});
  PlotMemory mem;
  const std::vector<float> high = {0.5f, 1.4f, 1.6f};
  const std::vector<float> ref = {0.85f, 0.85f, 0.85f};
  pltser(s.ctx, mem, high, high, 3, 1900, "", "", "", ref, "", "", 2);
  // Top forced to 1.0: nicescl(0.5, 1.0): R 0.0556, mantissa 6: STEP 0.06,
  // W 0.54, F = ((1.5 - 0.54)/0.06 + 1)/2 = 8.5, K 8: 0.48..1.02.
  const auto w = s.plotter.Named("wind")[0].args;
  EXPECT_EQ(w.substr(w.find(' ', w.find(' ') + 1) + 1), "0.48 1.02");
  const std::string t = s.plotter.FirstPage().Text();
  EXPECT_NE(t.find("width 2\nlsty 1\nline 3\n"), std::string::npos);  // reference: pen IWREF, style iwid(1)
  EXPECT_EQ(s.plotter.LineColours()[0], 15);
  // After item 6 the reference's style follows the new value.
  EXPECT_NE(s.plotter.Text().find("width 2\nlsty 3\nline 3\n"), std::string::npos);
}

TEST(Pltser, BlankLegendsAreNotDrawn) {
  Session s({"c"});
  PlotMemory mem;
  const std::vector<float> ref = {kNoReference};
  pltser(s.ctx, mem, kC1, kC2, 5, 1872, "", "", "", ref, "     x legend", "Legend", 1);
  const auto mtex = s.plotter.Named("mtex");
  ASSERT_EQ(mtex.size(), 2u);  // the title and the second legend
  EXPECT_EQ(mtex[1].args, "b -28 0.55 0 Legend");
}

TEST(Pltser, SingleYear) {
  // One year: nicescl(1700, 1700) gives 0..1800.
  Session s({"c"});
  PlotMemory mem;
  const std::vector<float> a = {1.0f}, ref = {kNoReference};
  pltser(s.ctx, mem, a, a, 1, 1700, "", "", "", ref, "", "", 1);
  const auto w = s.plotter.Named("wind")[0].args;
  EXPECT_EQ(w.substr(0, w.find(' ', w.find(' ') + 1)), "0 1800");
}

TEST(Pltser, NonFiniteValuesDoNotSpoilTheScale) {
  Session s({"c"});
  PlotMemory mem;
  const std::vector<float> a = {0.62f, kNaN, 1.48f}, b = {std::numeric_limits<float>::infinity(), 1.0f, 1.0f};
  const std::vector<float> ref = {kNoReference};
  pltser(s.ctx, mem, a, b, 3, 1900, "", "", "", ref, "", "", 1);
  const auto w = s.plotter.Named("wind")[0].args;
  EXPECT_EQ(w.substr(w.find(' ', w.find(' ') + 1) + 1), "0.6 1.5");
}

TEST(Pltser, TitleWithHashIsPassedAsTyped) {
  Session s({"c"});
  PlotMemory mem;
  const std::vector<float> ref = {kNoReference};
  pltser(s.ctx, mem, kC1, kC2, 5, 1872, "", "", "Iteration #3", ref, "", "", 1);
  EXPECT_TRUE(HasCall(s, "mtex b -30 0.5 0.5 Iteration #3"));
  EXPECT_EQ(EscapeText("Iteration #3 ##"), "Iteration ##3 ####");
}

TEST(Pltser, HugeTypedTickIsDrawnAutomatic) {
  // 0.0001 over a 4.5-year window would give 45000 ticks.
  Session s({"8", "0.0001", "0", "10", "nan", "0", "c"});
  PlotMemory mem;
  const std::vector<float> ref = {kNoReference};
  pltser(s.ctx, mem, kC1, kC2, 5, 1872, "", "", "", ref, "", "", 1);
  const auto axes = s.plotter.Named("axes");
  ASSERT_EQ(axes.size(), 3u);
  EXPECT_EQ(axes[1].args, "1872 0.6 abitnr 0 5 abinstv 0.1 5");
  EXPECT_FLOAT_EQ(mem.set.xtick, 0.0001f);  // kept in the settings
  EXPECT_EQ(axes[2].args, "1872 0.6 abitnr 0 5 abinstv 0.1 5");
}

// ---- regional-curve plots ----

TEST(Pltrcb, DrawsUpToTheLastFittedValue) {
  Session s({"c"});
  PlotMemory mem;
  const std::vector<float> rc = {1.0f, 2.0f, 3.0f, 2.5f, 2.0f};
  const std::vector<float> fit = {1.2f, 2.1f, 2.6f, kMiss, kMiss};
  pltrcb(s.ctx, mem, rc, fit, 1, 5, kMiss, "Regional curve and its fit, longer than thirty", 0);
  const auto lines = s.plotter.Named("line");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].x, (std::vector<double>{1, 2, 3}));
  EXPECT_EQ(lines[1].y.size(), 3u);
  EXPECT_TRUE(HasCall(s, "lab Biological Year|Y|Regional curve and its fit, lo"));
  // x 0..5 (5 gives XTICK 5, 51 minor); y 1..3 (top 3 -> 3.5, E 2.5: tick 1, 4 minor).
  EXPECT_EQ(FirstArgs(s, "wind"), "0 5 1 3.5");
  EXPECT_EQ(FirstArgs(s, "axes"), "0 1 abitnr 5 51 abinstv 1 4");
  EXPECT_EQ(s.plotter.LineColours(), (std::vector<int>{15, 1}));
}

std::vector<float> Table(int ld, int nrc, float fill) { return std::vector<float>(static_cast<std::size_t>(ld * 2 * nrc), fill); }
float& Cell(std::vector<float>& tab, int ld, int p, int c, int j) {
  return tab[static_cast<std::size_t>((p - 1) + ld * ((c - 1) + 2 * (j - 1)))];
}

TEST(Pltrcs, SubPagesByCount) {
  struct Case {
    int nrc;
    const char* ssub;
  } cases[] = {{1, "2 2"}, {4, "2 2"}, {5, "2 4"}, {8, "2 4"}, {10, "2 5"}, {15, "3 5"}, {20, "4 5"}};
  for (const Case& c : cases) {
    Session s({"c"});
    PlotMemory mem;
    std::vector<float> tab = Table(10, c.nrc, 1.0f);
    pltrcs(s.ctx, mem, 10, tab, 10, c.nrc, 0, kMiss);
    EXPECT_EQ(FirstArgs(s, "ssub"), c.ssub) << c.nrc;
    EXPECT_EQ(s.plotter.Named("adv").size(), static_cast<std::size_t>(c.nrc));
  }
}

TEST(Pltrcs, TooManyCurves) {
  Session s({""});
  PlotMemory mem;
  std::vector<float> tab = Table(10, 21, 1.0f);
  pltrcs(s.ctx, mem, 10, tab, 10, 21, 0, kMiss);
  EXPECT_TRUE(s.plotter.calls.empty());
  EXPECT_EQ(s.console.transcript(),
            "\n Too many Regional curves to plot. Try \n plotting them outside this program.\n Hit RETURN to Continue\n");
}

TEST(Pltrcs, TitlesAndPerCurvePoints) {
  Session s({"c"});
  PlotMemory mem;
  std::vector<float> tab = Table(6, 3, kMiss);
  // Curve 1 has positions 1..3, curve 2 positions 2..5, curve 3 nothing.
  for (int p = 1; p <= 3; ++p) Cell(tab, 6, p, 1, 1) = Cell(tab, 6, p, 2, 1) = 1.0f;
  for (int p = 2; p <= 5; ++p) Cell(tab, 6, p, 1, 2) = Cell(tab, 6, p, 2, 2) = 2.0f;
  pltrcs(s.ctx, mem, 6, tab, 5, 3, 0, kMiss);
  const auto labs = s.plotter.Named("lab");
  ASSERT_EQ(labs.size(), 3u);
  EXPECT_EQ(labs[0].args, "Biological Year|Y|Initial RC and Fit");
  EXPECT_EQ(labs[1].args, "Biological Year|Y|Iteration #    1");
  EXPECT_EQ(labs[2].args, "Biological Year|Y|Iteration #    2");
  const auto lines = s.plotter.Named("line");
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[2].x, (std::vector<double>{2, 3, 4, 5}));  // its own x values
  EXPECT_TRUE(lines[4].x.empty());                            // all missing: an empty sub-page
  // ymax 2 -> 2.5; window 0..5, 0..2.5.
  EXPECT_EQ(FirstArgs(s, "wind"), "0 5 0 2.5");
  EXPECT_EQ(FirstArgs(s, "vpor"), "0.125 0.85 0.2 0.7");
}

TEST(Pltrcf, FirstAndLastColours) {
  Session s({"c"});
  PlotMemory mem;
  std::vector<float> tab = Table(5, 3, 1.0f);
  Cell(tab, 5, 2, 1, 2) = 0.0f;  // a zero is skipped
  pltrcf(s.ctx, mem, 5, tab, 5, 3, 0, kMiss);
  EXPECT_EQ(s.plotter.LineColours(), (std::vector<int>{15, 15, 1}));
  EXPECT_EQ(s.plotter.Named("line")[1].x, (std::vector<double>{1, 3, 4, 5}));
  EXPECT_TRUE(HasCall(s, "lab Biological Year|Y|Regional Curves"));
  EXPECT_TRUE(HasCall(s, "mtex b -26.5 0.41 0 Initial"));
  EXPECT_TRUE(HasCall(s, "mtex b -26.5 0.49 0 /Final"));
  // x window runs 10 beyond NX.
  EXPECT_EQ(FirstArgs(s, "wind").substr(0, 4), "0 15");
}

TEST(Pltrcf, OneCurveIsDrawnInTheFinalColour) {
  Session s({"c"});
  PlotMemory mem;
  std::vector<float> tab = Table(5, 1, 1.0f);
  pltrcf(s.ctx, mem, 5, tab, 5, 1, 0, kMiss);
  EXPECT_EQ(s.plotter.LineColours(), (std::vector<int>{1}));
}

// ---- calendar and iteration panels ----

TEST(Pltcal, AverageBreaksAtYearsWithoutValues) {
  Session s({"c"});
  PlotMemory mem;
  common::SeriesMatrix x(10, 3);
  common::YearTable yt;
  // Series 1: 1900-1901, series 2: 1904-1905; they share no years.
  x.at(1, 1) = 1.0f, x.at(2, 1) = 2.0f;
  x.at(1, 2) = 3.0f, x.at(2, 2) = 4.0f;
  yt.IFY(1) = 1900, yt.ILY(1) = 1901, yt.IFY(2) = 1904, yt.ILY(2) = 1905;
  pltcal(s.ctx, mem, x, 2, yt, kMiss);
  const auto lines = s.plotter.Named("line");
  ASSERT_EQ(lines.size(), 3u);
  const Call mean = lines[2];
  EXPECT_EQ(mean.x, (std::vector<double>{1900, 1901, 1902, 1903, 1904, 1905}));
  EXPECT_EQ(mean.y[0], 1.0);
  EXPECT_EQ(mean.y[5], 4.0);
  EXPECT_TRUE(std::isnan(mean.y[2]) && std::isnan(mean.y[3]));
  EXPECT_EQ(s.plotter.LineColours(), (std::vector<int>{15, 15, 1}));
  EXPECT_EQ(FirstArgs(s, "ssub"), "1 2");
  const auto labs = s.plotter.Named("lab");
  EXPECT_EQ(labs[0].args, "Calendar Year|Y|First Detrending");
  EXPECT_EQ(labs[1].args, "Calendar Year|Y|Average Indices");
  // x 1900..1905 (tick 5, 51 minor); y 1..4 (top 4 -> 4.5, E 3.5: tick 1).
  EXPECT_EQ(FirstArgs(s, "wind"), "1900 1905 1 4.5");
}

TEST(Pltcal, OverlappingYearsAreAveraged) {
  Session s({"4", "3", "5", "2", "0", "c"});
  PlotMemory mem;
  common::SeriesMatrix x(10, 3);
  common::YearTable yt;
  x.at(1, 1) = 1.0f, x.at(2, 1) = 2.0f;
  x.at(1, 2) = 3.0f, x.at(2, 2) = 4.0f;
  yt.IFY(1) = 1900, yt.ILY(1) = 1901, yt.IFY(2) = 1901, yt.ILY(2) = 1902;
  pltcal(s.ctx, mem, x, 2, yt, kMiss);
  const auto lines = s.plotter.Named("line");
  EXPECT_EQ(lines[2].y, (std::vector<double>{1.0, 2.5, 4.0}));
  // Items 4 and 5 recolour the top and bottom lines.
  EXPECT_EQ(s.plotter.LineColours(), (std::vector<int>{15, 15, 1, 3, 3, 2}));
}

struct IterationData {
  common::YearTable yt;
  std::vector<float> s3 = {1.0f, 1.5f, 2.0f, 1.0f};
  std::vector<float> c4 = {2.0f, 1.8f, 1.6f, 1.5f, 1.4f, 1.3f};
  std::vector<float> a5 = {1.0f, kMiss, 2.2f, 1.1f, 0.9f, 1.0f};
  std::vector<std::string> ids = {"", "ABC#01  "};
  std::vector<int> ageoff = {0, 2};
  IterationData() {
    yt.IFY(1) = 1950;
    yt.ILY(1) = 1953;
  }
  void Run(Session& s, PlotMemory& mem) {
    pltitr(s.ctx, mem, s3, c4, a5, yt, kMiss, 6, 1, 4, ids, "Iteration 3 series 1", ageoff, 0);
  }
};

TEST(Pltitr, PanelsAndPoints) {
  Session s({"c"});
  PlotMemory mem;
  IterationData d;
  d.Run(s, mem);
  const auto lines = s.plotter.Named("line");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].x, (std::vector<double>{3, 4, 5, 6}));  // min(N, L) points from AGEOFF + 1
  EXPECT_EQ(lines[1].x, (std::vector<double>{1, 3, 4, 5, 6}));  // present age-placed values
  EXPECT_EQ(lines[2].x, (std::vector<double>{1950, 1951, 1952, 1953}));
  EXPECT_EQ(s.plotter.LineColours(), (std::vector<int>{1, 9, 1}));
  const auto labs = s.plotter.Named("lab");
  EXPECT_EQ(labs[0].args, "Biological Year|Y|Iteration 3 series 1");
  EXPECT_EQ(labs[1].args, "Calendar Year|Y|ABC#01");
  const auto winds = s.plotter.Named("wind");
  // Top: x 0..6, y 0..(2.2 -> 2.5). Bottom: 1950..1953, z 1..(2 -> 2.5).
  EXPECT_EQ(winds[0].args, "0 6 0 2.5");
  EXPECT_EQ(winds[1].args, "1950 1953 1 2.5");
  EXPECT_EQ(s.plotter.Named("axes")[1].args, "1950 1 abitnr 5 51 abinstv 0.5 4");
}

TEST(Pltitr, BottomAxisItemsThenReset) {
  Session s({"22", "1960", "24", "2", "25", "4", "0", "99", "c"});
  PlotMemory mem;
  IterationData d;
  d.Run(s, mem);
  const auto winds = s.plotter.Named("wind");
  ASSERT_EQ(winds.size(), 6u);
  EXPECT_EQ(winds[3].args, "1950 1960 1 2.5");  // replot: bottom axis ends at the typed year
  EXPECT_EQ(winds[2].args, winds[0].args);      // the top panel is unchanged
  EXPECT_EQ(s.plotter.Named("axes")[3].args, "1950 1 abitnr 2 4 abinstv 0.5 4");
  EXPECT_EQ(winds[5].args, "1950 1953 1 2.5");  // 99 restores the automatic limits
  const std::string& t = s.console.transcript();
  const std::string p16(15, ' '), p14(13, ' ');
  EXPECT_NE(t.find("\n" + p16 + "change Z(bottom) axis max value from: 1953.000\n" + p14 + "to > 1960\n"),
            std::string::npos);
  EXPECT_NE(t.find("\n" + p16 + "change X(bottom) axis max tick value from:    5.000\n" + p14 + "to > 2\n"),
            std::string::npos);
  EXPECT_NE(t.find("\n" + p16 + "change X(bottom) axis min tick value from:   51.000\n" + p14 + "to > 4\n"),
            std::string::npos);
}

TEST(Pltitr, MoreValuesThanAgePositions) {
  Session s({"c"});
  PlotMemory mem;
  IterationData d;
  d.s3.assign(9, 1.0f);
  d.yt.ILY(1) = 1958;
  pltitr(s.ctx, mem, d.s3, d.c4, d.a5, d.yt, kMiss, 6, 1, 9, d.ids, "", d.ageoff, 0);
  EXPECT_EQ(s.plotter.Named("line")[0].x.size(), 6u);
}

// ---- many-curve plots ----

TEST(Pltits, ColoursAndFlag) {
  Session s({"c"});
  PlotMemory mem;
  common::SeriesMatrix curves(10, 4);
  for (int j = 1; j <= 3; ++j) {
    for (int i = 1; i <= 4; ++i) curves.at(i, j) = 0.5f * static_cast<float>(j) + 0.1f * static_cast<float>(i);
  }
  curves.at(2, 2) = kMiss;  // drawn as it is, not scaled
  const std::vector<float> ref = {1.0f, 1.0f, 1.0f, 1.0f};
  pltits(s.ctx, mem, curves, ref, 4, 3, 1900, "Year", "RWI", "Iterations", "Standard", "Signal-free", 3);
  EXPECT_EQ(s.plotter.LineColours(), (std::vector<int>{15, 9, 15, 1}));
  EXPECT_EQ(s.plotter.Named("line")[2].y[1], -999.0);
  // y min 0.6 (kMiss not scaled); FLAG 3 tops the axis at 0.01.
  const auto w = s.plotter.Named("wind")[0].args;
  EXPECT_EQ(w.substr(w.find(' ', w.find(' ') + 1) + 1), "0.6 0.01");
  EXPECT_TRUE(HasCall(s, "mtex b -28 0.2 0 Standard"));
  EXPECT_TRUE(HasCall(s, "mtex b -28 0.55 0 Signal-free"));
}

TEST(Pltits, SingleCurveIsBlue) {
  Session s({"c"});
  PlotMemory mem;
  common::SeriesMatrix curves(10, 2);
  for (int i = 1; i <= 4; ++i) curves.at(i, 1) = 1.0f;
  const std::vector<float> ref = {kNoReference};
  pltits(s.ctx, mem, curves, ref, 4, 1, 1900, "", "", "", "", "", 0);
  EXPECT_EQ(s.plotter.LineColours(), (std::vector<int>{9}));
}

TEST(Pltorf, LimitsPaddedByATenth) {
  Session s({"c"});
  PlotMemory mem;
  common::SeriesMatrix orig(10, 3), fin(10, 3);
  common::YearTable yt;
  yt.IFY(1) = 1900, yt.ILY(1) = 1902, yt.IFY(2) = 1901, yt.ILY(2) = 1904;
  yt.IFY(3) = 1900, yt.ILY(3) = 1904;  // the whole data set
  for (int k = 1; k <= 3; ++k) orig.at(k, 1) = 1.0f, fin.at(k, 1) = 1.0f;
  for (int k = 1; k <= 4; ++k) orig.at(k, 2) = 1.0f, fin.at(k, 2) = 1.0f;
  orig.at(2, 1) = 0.3f;
  fin.at(3, 2) = 1.9f;
  orig.at(4, 2) = kMiss;
  const std::vector<float> ref = {1.0f, 1.0f, 1.0f, 1.0f, 1.0f};
  pltorf(s.ctx, mem, orig, fin, ref, 2, yt, "Year", "Index", "Original and final", "Original", "Final");
  // R = 1.6: 0.14..2.06, autotick tops 2.06 at 2.5; E 2.36: tick 1.
  const auto w = s.plotter.Named("wind")[0].args;
  EXPECT_EQ(w, "1900 1904 0.14 2.5");
  EXPECT_EQ(s.plotter.LineColours(), (std::vector<int>{9, 9, 1, 1, 15}));
  EXPECT_EQ(s.plotter.Named("line")[4].x, (std::vector<double>{1900, 1901, 1902, 1903, 1904}));
  EXPECT_TRUE(HasCall(s, "mtex b -28 0.12 0 Original"));
  EXPECT_TRUE(HasCall(s, "mtex b -28 0.65 0 Final"));
}

TEST(Pltorf, SmallPositiveValuesFloorAtZero) {
  Session s({"c"});
  PlotMemory mem;
  common::SeriesMatrix orig(10, 2), fin(10, 2);
  common::YearTable yt;
  yt.IFY(1) = 1900, yt.ILY(1) = 1901, yt.IFY(2) = 1900, yt.ILY(2) = 1901;
  orig.at(1, 1) = 0.01f, orig.at(2, 1) = 0.5f;
  fin.at(1, 1) = 0.02f, fin.at(2, 1) = 0.4f;
  const std::vector<float> ref = {kNoReference};
  pltorf(s.ctx, mem, orig, fin, ref, 1, yt, "", "", "", "", "");
  EXPECT_EQ(s.plotter.Named("wind")[0].args.substr(10), "0 1");  // 0.01 - 0.049 < 0: floored
}

// ---- spectrum and scatter ----

TEST(Pltspc, LogPowerAndLegends) {
  Session s({"c"});
  PlotMemory mem;
  const int ld = 4;
  // Frequencies 0.1..0.4; powers 1, 10, 100, 1000 and 0.1, 1, 10, 100.
  std::vector<float> tab = {0.1f, 0.2f, 0.3f, 0.4f, 1.0f, 10.0f, 100.0f, 1000.0f, 0.1f, 1.0f, 10.0f, 100.0f};
  pltspc(s.ctx, mem, ColumnsView(tab, ld), 3, 4, "Standard", "Signal-free");
  const auto lines = s.plotter.Named("line");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NEAR(lines[0].y[3], 3.0, 1e-5);
  EXPECT_NEAR(lines[1].y[0], -1.0, 1e-5);
  EXPECT_EQ(s.plotter.LineColours(), (std::vector<int>{9, 1}));
  EXPECT_TRUE(HasCall(s, "mtex rv -43.25 1.065 0 Standard"));
  EXPECT_TRUE(HasCall(s, "mtex rv -19.25 1.065 0 Signal-free"));
  EXPECT_TRUE(HasCall(s, "lab Frequency (cycles/yr.)|log10 Power| "));
  // x 0.1..0.4: tick 0.1, 10 minor; y -1..3 (top 3 -> 3.5, E 4.5: tick 2).
  EXPECT_EQ(FirstArgs(s, "axes"), "0.1 -1 abitnr 0.1 10 abinstv 2 4");
}

TEST(Scatplt, PointsLinesAndTitle) {
  Session s({"c"});
  PlotMemory mem;
  const int ld = 5;
  std::vector<float> x(static_cast<std::size_t>(ld * 3), 0.0f), y(x.size(), 0.0f);
  // Series 1: 3 points; series 2: none; series 3: 2 points.
  const float x1[] = {1.0f, 2.0f, 3.0f}, y1[] = {0.5f, 0.9f, 1.2f};
  for (int k = 0; k < 3; ++k) x[static_cast<std::size_t>(k)] = x1[k], y[static_cast<std::size_t>(k)] = y1[k];
  x[10] = 4.0f, y[10] = 2.0f, x[11] = 5.0f, y[11] = 2.5f;
  const std::vector<float> b = {0.4f, 1.0f, 0.5f}, a = {0.1f, 0.0f, 0.0f};
  const std::vector<int> np = {3, 0, 2};
  scatplt(s.ctx, mem, ColumnsView(x, ld), ColumnsView(y, ld), b, a, np, 3, 0.875f, -0.25f, 0.5f);
  const auto poin = s.plotter.Named("poin");
  ASSERT_EQ(poin.size(), 2u);
  EXPECT_EQ(poin[0].args, "3 1");
  EXPECT_EQ(poin[1].x, (std::vector<double>{4, 5}));
  const auto lines = s.plotter.Named("line");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NEAR(lines[0].y[2], 0.4 * 3 + 0.1, 1e-6);
  EXPECT_EQ(lines[1].x, (std::vector<double>{4, 5}));  // spans only its own levels
  EXPECT_EQ(s.plotter.LineColours(), (std::vector<int>{1, 1}));
  EXPECT_TRUE(HasCall(s, "lab log(LEVEL)|log(SPREAD)|Y=  -0.2500 +    0.5000(x)  Rho=    0.8750"));
  EXPECT_EQ(s.console.transcript().rfind("\n from scatplt\n", 0), 0u);
}

}  // namespace
}  // namespace plot
