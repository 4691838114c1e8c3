// Every plot routine through PLplot with no display: the screen drawing is
// skipped, the menu runs from a script and saves a colour PostScript file,
// which Ghostscript must accept and which must hold the expected texts,
// colours and page count.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "common/console.h"
#include "common/units.h"
#include "plot/plots.h"
#include "support/temp_dir.h"
#include "support/text.h"

namespace plot {
namespace {

namespace fs = std::filesystem;

using test_support::Count;
using test_support::ReadFile;

constexpr float kMiss = -999.0f;
const char* kRed = "1.0000 0.0000 0.0000 C";
const char* kBlue = "0.0000 0.0000 1.0000 C";

bool HaveGhostscript() { return std::system("gs --version >/dev/null 2>&1") == 0; }

bool GhostscriptAccepts(const fs::path& path) {
  const std::string cmd = "gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=nullpage '" + path.string() + "' >/dev/null 2>&1";
  return std::system(cmd.c_str()) == 0;
}

class PostScriptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    unsetenv("DISPLAY");  // a text-only machine
    dir_ = fs::path(::testing::TempDir()) / ("kestrane_ps_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Runs `plot` with the answers "s", the file name, then `more` and "c";
  // returns the PostScript text after checking the file with Ghostscript.
  std::string SaveAndCheck(const std::string& name, const std::function<void(PlotContext&)>& plot,
                           std::vector<std::string> before = {}) {
    const fs::path file = dir_ / name;
    std::vector<std::string> answers = std::move(before);
    answers.push_back("s");
    answers.push_back(file.string());
    answers.push_back("c");
    common::ScriptedConsole console(answers);
    common::Units units;
    common::Dialog dialog(console, units);
    PlplotPlotter plotter(false);
    PlotContext ctx{dialog, plotter};
    plot(ctx);
    EXPECT_EQ(console.unread(), 0u);
    transcript_ = console.transcript();
    EXPECT_TRUE(fs::exists(file)) << file;
    const std::string ps = ReadFile(file);
    EXPECT_EQ(ps.rfind("%!PS-Adobe", 0), 0u);
    EXPECT_NE(ps.find("%%Pages: 1\n"), std::string::npos);
    if (HaveGhostscript()) {
      EXPECT_TRUE(GhostscriptAccepts(file)) << file;
    }
    return ps;
  }

  fs::path dir_;
  std::string transcript_;
};

TEST_F(PostScriptTest, NoDisplayMeansNoScreen) {
  EXPECT_FALSE(PlplotPlotter::DisplayOpens());
  PlplotPlotter p(false);
  p.sdev("wingcc");
  EXPECT_TRUE(p.screen_skipped());
  // Every drawing call until end() is dropped; PLplot is never initialised.
  p.init();
  p.lab("a", "b", "c");
  p.end();
  EXPECT_TRUE(p.screen_skipped());  // it reports the last screen request
  EXPECT_EQ(p.last_screen_status(), -1);
  EXPECT_FALSE(PlplotPlotter::ScreenDeviceName().empty());  // xcairo or xwin is installed here
}

TEST_F(PostScriptTest, Pltser) {
  std::vector<float> c1, c2, ref;
  for (int k = 0; k < 120; ++k) {
    c1.push_back(1.0f + 0.4f * std::sin(0.3f * static_cast<float>(k)));
    c2.push_back(1.0f + 0.2f * std::cos(0.2f * static_cast<float>(k)));
    ref.push_back(1.0f);
  }
  const std::string ps = SaveAndCheck("pltser.ps", [&](PlotContext& ctx) {
    PlotMemory mem;
    pltser(ctx, mem, c1, c2, 120, 1872, "Calendar Year", "Index", "Standard Chronology #1", ref, "Standard",
           "Signal-free", kIwrefDefault);
  });
  EXPECT_NE(ps.find("(Calendar Year) show"), std::string::npos);
  EXPECT_NE(ps.find("(Standard) show"), std::string::npos);
  EXPECT_NE(ps.find("(Signal-free) show"), std::string::npos);
  EXPECT_NE(ps.find("(#1) show"), std::string::npos);  // "#" printed as typed
  // x axis: nicescl(1872, 1991) = 1856..2000 by 16.
  EXPECT_NE(ps.find("(1872) show"), std::string::npos);
  EXPECT_NE(ps.find("(2000) show"), std::string::npos);
  EXPECT_NE(ps.find(kRed), std::string::npos);
  EXPECT_NE(ps.find(kBlue), std::string::npos);
}

TEST_F(PostScriptTest, TickLabelsShowTheirDecimals) {
  // 0.57..1.45: nicescl gives 0.48..1.56 by 0.12; the labels must read 0.96,
  // not PLplot's one-decimal "1.0".
  std::vector<float> c1 = {0.57f, 1.0f, 1.45f}, ref = {kNoReference};
  const std::string ps = SaveAndCheck("ticks.ps", [&](PlotContext& ctx) {
    PlotMemory mem;
    pltser(ctx, mem, c1, c1, 3, 1900, "Year", "Index", "", ref, "", "", 1);
  });
  EXPECT_NE(ps.find("(0.96) show"), std::string::npos);
  EXPECT_NE(ps.find("(1.56) show"), std::string::npos);
  EXPECT_EQ(ps.find("(1.0) show"), std::string::npos);
}

TEST_F(PostScriptTest, PltserBlackBackground) {
  std::vector<float> c1 = {1.0f, 1.2f, 0.8f}, ref = {kNoReference};
  const std::string ps = SaveAndCheck(
      "black.ps",
      [&](PlotContext& ctx) {
        PlotMemory mem;
        pltser(ctx, mem, c1, c1, 3, 1900, "Year", "Y", "Dark", ref, "", "", 1);
      },
      {"1", "0"});
  // Axes and labels are drawn in index 15, white on the black page.
  EXPECT_NE(ps.find("1.0000 1.0000 1.0000 C"), std::string::npos);
  EXPECT_NE(ps.find("(Dark) show"), std::string::npos);
}

TEST_F(PostScriptTest, Pltrcb) {
  std::vector<float> rc, fit;
  for (int k = 1; k <= 200; ++k) {
    rc.push_back(2.0f * std::exp(-0.01f * static_cast<float>(k)) + 0.3f + 0.1f * std::sin(static_cast<float>(k)));
    fit.push_back(2.0f * std::exp(-0.01f * static_cast<float>(k)) + 0.3f);
  }
  const std::string ps = SaveAndCheck("pltrcb.ps", [&](PlotContext& ctx) {
    PlotMemory mem;
    pltrcb(ctx, mem, rc, fit, 1, 200, kMiss, "Initial Regional Curve", 0);
  });
  EXPECT_NE(ps.find("(Biological Year) show"), std::string::npos);
  EXPECT_NE(ps.find("(Initial Regional Curve) show"), std::string::npos);
  EXPECT_NE(ps.find(kRed), std::string::npos);
}

std::vector<float> RegionalTable(int ld, int nrc) {
  std::vector<float> tab(static_cast<std::size_t>(ld * 2 * nrc), kMiss);
  for (int j = 1; j <= nrc; ++j) {
    for (int p = 1; p <= ld - 10 * j; ++p) {
      const float v = 2.0f * std::exp(-0.02f * static_cast<float>(p)) + 0.5f + 0.05f * static_cast<float>(j);
      tab[static_cast<std::size_t>((p - 1) + ld * (2 * (j - 1)))] = v + 0.05f * std::sin(static_cast<float>(p));
      tab[static_cast<std::size_t>((p - 1) + ld * (1 + 2 * (j - 1)))] = v;
    }
  }
  return tab;
}

TEST_F(PostScriptTest, Pltrcs) {
  const std::vector<float> tab = RegionalTable(150, 5);
  const std::string ps = SaveAndCheck("pltrcs.ps", [&](PlotContext& ctx) {
    PlotMemory mem;
    pltrcs(ctx, mem, 150, tab, 150, 5, 0, kMiss);
  });
  EXPECT_NE(ps.find("(Initial RC and Fit) show"), std::string::npos);
  EXPECT_EQ(Count(ps, "(Biological Year) show"), 5);
  EXPECT_NE(ps.find("(#    4) show"), std::string::npos);  // "Iteration #    4"
}

TEST_F(PostScriptTest, Pltrcf) {
  const std::vector<float> tab = RegionalTable(150, 6);
  const std::string ps = SaveAndCheck("pltrcf.ps", [&](PlotContext& ctx) {
    PlotMemory mem;
    pltrcf(ctx, mem, 150, tab, 150, 6, 0, kMiss);
  });
  EXPECT_NE(ps.find("(Regional Curves) show"), std::string::npos);
  EXPECT_NE(ps.find("(Initial) show"), std::string::npos);
  EXPECT_NE(ps.find("(/Final) show"), std::string::npos);
  EXPECT_NE(ps.find(kRed), std::string::npos);
}

TEST_F(PostScriptTest, Pltcal) {
  common::SeriesMatrix x(200, 4);
  common::YearTable yt;
  for (int s = 1; s <= 3; ++s) {
    yt.IFY(s) = 1800 + 20 * s;
    yt.ILY(s) = 1900 + 10 * s;
    for (int k = 1; k <= yt.ILY(s) - yt.IFY(s) + 1; ++k) {
      x.at(k, s) = 1.0f + 0.3f * std::sin(0.2f * static_cast<float>(k + 5 * s));
    }
  }
  const std::string ps = SaveAndCheck("pltcal.ps", [&](PlotContext& ctx) {
    PlotMemory mem;
    pltcal(ctx, mem, x, 3, yt, kMiss);
  });
  EXPECT_NE(ps.find("(First Detrending) show"), std::string::npos);
  EXPECT_NE(ps.find("(Average Indices) show"), std::string::npos);
  EXPECT_EQ(Count(ps, "(Calendar Year) show"), 2);
  EXPECT_NE(ps.find(kRed), std::string::npos);
}

TEST_F(PostScriptTest, Pltitr) {
  common::YearTable yt;
  yt.IFY(2) = 1850;
  yt.ILY(2) = 1949;
  std::vector<float> s3, c4, a5;
  for (int k = 1; k <= 100; ++k) {
    c4.push_back(2.0f * std::exp(-0.02f * static_cast<float>(k)) + 0.5f);
    a5.push_back(c4.back() + 0.2f * std::sin(static_cast<float>(k)));
    s3.push_back(a5.back());
  }
  const std::vector<std::string> ids = {"", "", "KES#02A "};
  const std::vector<int> ageoff = {0, 0, 0};
  const std::string ps = SaveAndCheck("pltitr.ps", [&](PlotContext& ctx) {
    PlotMemory mem;
    pltitr(ctx, mem, s3, c4, a5, yt, kMiss, 100, 2, 100, ids, "Signal-free iteration 1", ageoff, 0);
  });
  EXPECT_NE(ps.find("(Signal-free iteration 1) show"), std::string::npos);
  EXPECT_NE(ps.find("(KES) show"), std::string::npos);
  EXPECT_NE(ps.find("(#02A) show"), std::string::npos);
  EXPECT_NE(ps.find(kBlue), std::string::npos);
}

TEST_F(PostScriptTest, Pltits) {
  common::SeriesMatrix curves(200, 6);
  for (int j = 1; j <= 5; ++j) {
    for (int i = 1; i <= 150; ++i) {
      curves.at(i, j) = 1.0f + (0.5f / static_cast<float>(j)) * std::sin(0.1f * static_cast<float>(i));
    }
  }
  const std::vector<float> ref = {kNoReference};
  const std::string ps = SaveAndCheck("pltits.ps", [&](PlotContext& ctx) {
    PlotMemory mem;
    pltits(ctx, mem, curves, ref, 150, 5, 1850, "Calendar Year", "Index", "Chronology Iterations", "Initial",
           "Final", 0);
  });
  EXPECT_NE(ps.find("(Chronology Iterations) show"), std::string::npos);
  EXPECT_NE(ps.find("(Initial) show"), std::string::npos);
  EXPECT_NE(ps.find(kBlue), std::string::npos);
  EXPECT_NE(ps.find(kRed), std::string::npos);
}

TEST_F(PostScriptTest, Pltorf) {
  common::SeriesMatrix orig(200, 4), fin(200, 4);
  common::YearTable yt;
  for (int s = 1; s <= 3; ++s) {
    yt.IFY(s) = 1800 + 15 * s;
    yt.ILY(s) = 1890 + 5 * s;
    for (int k = 1; k <= yt.ILY(s) - yt.IFY(s) + 1; ++k) {
      orig.at(k, s) = 1.5f + 0.4f * std::sin(0.15f * static_cast<float>(k * s));
      fin.at(k, s) = 1.0f + 0.3f * std::sin(0.15f * static_cast<float>(k * s));
    }
  }
  yt.IFY(4) = 1815;
  yt.ILY(4) = 1905;
  std::vector<float> ref(91, 1.0f);
  const std::string ps = SaveAndCheck("pltorf.ps", [&](PlotContext& ctx) {
    PlotMemory mem;
    pltorf(ctx, mem, orig, fin, ref, 3, yt, "Calendar Year", "Index", "Original And Final Indices", "Original",
           "Final");
  });
  EXPECT_NE(ps.find("(Original And Final Indices) show"), std::string::npos);
  EXPECT_NE(ps.find("(Final) show"), std::string::npos);
  EXPECT_NE(ps.find(kBlue), std::string::npos);
  EXPECT_NE(ps.find(kRed), std::string::npos);
}

TEST_F(PostScriptTest, Pltspc) {
  const int ld = 2001, nr = 100;
  std::vector<float> tab(static_cast<std::size_t>(ld * 3), 1.0f);
  for (int r = 1; r <= nr; ++r) {
    const float f = 0.5f * static_cast<float>(r) / nr;
    tab[static_cast<std::size_t>(r - 1)] = f;
    tab[static_cast<std::size_t>(ld + r - 1)] = 1.0f / (0.1f + f);
    tab[static_cast<std::size_t>(2 * ld + r - 1)] = 2.0f / (0.2f + 3.0f * f);
  }
  const std::string ps = SaveAndCheck("pltspc.ps", [&](PlotContext& ctx) {
    PlotMemory mem;
    pltspc(ctx, mem, ColumnsView(tab, ld), 3, nr, "STD chronology", "SSF chronology");
  });
  EXPECT_NE(ps.find("(Frequency \\(cycles/yr.\\)) show"), std::string::npos);
  EXPECT_NE(ps.find("(log10 Power) show"), std::string::npos);
  EXPECT_NE(ps.find("(STD chronology) show"), std::string::npos);
  EXPECT_NE(ps.find(kBlue), std::string::npos);
}

TEST_F(PostScriptTest, Scatplt) {
  const int ld = 50;
  std::vector<float> x(static_cast<std::size_t>(ld * 3)), y(x.size());
  for (int s = 0; s < 3; ++s) {
    for (int k = 0; k < 20; ++k) {
      x[static_cast<std::size_t>(s * ld + k)] = -1.0f + 0.1f * static_cast<float>(k) + 0.2f * static_cast<float>(s);
      y[static_cast<std::size_t>(s * ld + k)] = 0.5f * x[static_cast<std::size_t>(s * ld + k)] - 1.0f +
                                                 0.05f * std::sin(static_cast<float>(k * (s + 1)));
    }
  }
  const std::vector<float> b = {0.5f, 0.52f, 0.48f}, a = {-1.0f, -1.02f, -0.98f};
  const std::vector<int> np = {20, 20, 20};
  const std::string ps = SaveAndCheck("scatplt.ps", [&](PlotContext& ctx) {
    PlotMemory mem;
    scatplt(ctx, mem, ColumnsView(x, ld), ColumnsView(y, ld), b, a, np, 3, 0.93f, -1.0f, 0.5f);
  });
  EXPECT_NE(ps.find("(log\\(LEVEL\\)) show"), std::string::npos);
  EXPECT_NE(ps.find("Rho="), std::string::npos);
  EXPECT_NE(ps.find(kRed), std::string::npos);
}

TEST_F(PostScriptTest, AwkwardDataNeverEndsTheProcess) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const std::vector<float> ref = {kNoReference};
  const std::vector<std::vector<float>> cases = {
      {nan, nan, nan}, {3e38f, -3e38f, 1.0f}, {inf, -inf, 0.0f}, {1.0f}, {-999.0f, -999.0f}, {}};
  int i = 0;
  for (const std::vector<float>& c : cases) {
    SaveAndCheck("awkward" + std::to_string(i++) + ".ps", [&](PlotContext& ctx) {
      PlotMemory mem;
      pltser(ctx, mem, c, c, static_cast<int>(c.size()), 1900, "Year", "Y", "Awkward", ref, "", "", 1);
    });
  }
  // A typed tick far too small and limits typed the wrong way round.
  SaveAndCheck(
      "typed.ps",
      [&](PlotContext& ctx) {
        PlotMemory mem;
        const std::vector<float> c = {1.0f, 2.0f, 3.0f};
        pltser(ctx, mem, c, c, 3, 1900, "Year", "Y", "Typed", ref, "", "", 1);
      },
      {"8", "1e-9", "10", "-0.000001", "14", "1800", "16", "-5", "4", "99", "6", "-3"});
  // Regional curves that are all missing, and a spectrum with a zero power.
  SaveAndCheck("empty_rc.ps", [&](PlotContext& ctx) {
    PlotMemory mem;
    const std::vector<float> tab(2 * 10 * 2, kMiss);
    pltrcs(ctx, mem, 10, tab, 10, 2, 0, kMiss);
  });
  SaveAndCheck("zero_power.ps", [&](PlotContext& ctx) {
    PlotMemory mem;
    const std::vector<float> tab = {0.1f, 0.2f, 0.3f, 0.0f, 1.0f, 2.0f, 1.0f, -1.0f, 3.0f};
    pltspc(ctx, mem, ColumnsView(tab, 3), 3, 3, "A", "B");
  });
}

TEST_F(PostScriptTest, SavingTwiceWritesTwoFilesAndIsQuick) {
  std::vector<float> c1(500), ref = {kNoReference};
  for (int k = 0; k < 500; ++k) c1[static_cast<std::size_t>(k)] = 1.0f + 0.3f * std::sin(0.05f * static_cast<float>(k));
  const fs::path a = dir_ / "a.ps", b = dir_ / "b.ps";
  common::ScriptedConsole console({"s", a.string(), "99", "s", b.string(), "c"});
  common::Units units;
  common::Dialog dialog(console, units);
  PlplotPlotter plotter(false);
  PlotContext ctx{dialog, plotter};
  PlotMemory mem;
  const auto start = std::chrono::steady_clock::now();
  pltser(ctx, mem, c1, c1, 500, 1500, "Year", "Index", "Two saves", ref, "", "", 1);
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  EXPECT_TRUE(fs::exists(a));
  EXPECT_TRUE(fs::exists(b));
  EXPECT_LT(ms, 2000.0);  // two pages of 500 points: interactive
}

}  // namespace
}  // namespace plot
