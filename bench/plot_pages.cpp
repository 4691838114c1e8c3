// Cost of a saved PostScript page: pltser saving the same page again and
// again through the plot options menu, against the bare PLplot calls that
// draw that page. Prints milliseconds per page for both.
#include <plplot.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/console.h"
#include "common/units.h"
#include "plot/plots.h"

namespace {

constexpr int kPages = 20;
constexpr int kPoints = 2000;

double Millis(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main() {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / "kestrane_plot_bench";
  fs::create_directories(dir);
  const std::string file = (dir / "page.ps").string();

  std::vector<float> c1(kPoints), c2(kPoints), ref = {plot::kNoReference};
  std::vector<double> x(kPoints), y1(kPoints), y2(kPoints);
  for (int k = 0; k < kPoints; ++k) {
    c1[static_cast<std::size_t>(k)] = 1.0f + 0.3f * std::sin(0.05f * static_cast<float>(k));
    c2[static_cast<std::size_t>(k)] = 1.0f + 0.2f * std::cos(0.03f * static_cast<float>(k));
    x[static_cast<std::size_t>(k)] = 1000.0 + k;
    y1[static_cast<std::size_t>(k)] = static_cast<double>(c1[static_cast<std::size_t>(k)]);
    y2[static_cast<std::size_t>(k)] = static_cast<double>(c2[static_cast<std::size_t>(k)]);
  }

  // Bare PLplot: the same calls a saved series page makes.
  auto start = std::chrono::steady_clock::now();
  for (int page = 0; page < kPages; ++page) {
    plsetopt("geometry", "600x1000");
    plsdev("psc");
    plsfnam(file.c_str());
    plscol0(0, 255, 255, 255);
    plscol0(15, 0, 0, 0);
    plscolbg(255, 255, 255);
    plinit();
    plssub(1, 1);
    plcol0(15);
    pladv(0);
    plvpor(0.125, 0.92, 0.15, 0.85);
    plwind(1000.0, 3000.0, 0.6, 1.4);
    plaxes(1000.0, 0.6, "abitnr", 250.0, 5, "abinstv", 0.1, 5);
    plfont(1);
    plwidth(1);
    pllab("Year", "Index", " ");
    plmtex("b", -30.0, 0.5, 0.5, "Bench");
    plcol0(1);
    plline(kPoints, x.data(), y1.data());
    plcol0(9);
    plline(kPoints, x.data(), y2.data());
    plend();
  }
  const double bare = Millis(start) / kPages;

  std::vector<std::string> answers;
  for (int page = 0; page < kPages; ++page) {
    answers.push_back("s");
    answers.push_back(file);
  }
  answers.push_back("c");
  common::ScriptedConsole console(answers);
  common::Units units;
  common::Dialog dialog(console, units);
  plot::PlplotPlotter plotter(false);
  plot::PlotContext ctx{dialog, plotter};
  plot::PlotMemory mem;
  unsetenv("DISPLAY");
  start = std::chrono::steady_clock::now();
  plot::pltser(ctx, mem, c1, c2, kPoints, 1000, "Year", "Index", "Bench", ref, "", "", 1);
  const double through_menu = Millis(start) / kPages;

  std::printf("PostScript page of %d points: PLplot alone %.2f ms, pltser through the menu %.2f ms\n", 2 * kPoints,
              bare, through_menu);
  fs::remove_all(dir);
  return 0;
}
