// Drawing on the screen device under a virtual X server (xvfb-run): the run
// must get through the screen drawing, the replot and a save without a human.
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/console.h"
#include "common/units.h"
#include "plot/plots.h"

namespace plot {
namespace {

namespace fs = std::filesystem;

constexpr const char* kInsideFlag = "KESTRANE_SCREEN_SMOKE_FILE";

// Records whether each screen request found a usable window device.
class WatchingPlotter : public PlplotPlotter {
 public:
  explicit WatchingPlotter(bool die_on_screen = false) : PlplotPlotter(false), die_on_screen_(die_on_screen) {}
  void sdev(std::string_view device) override {
    PlplotPlotter::sdev(device);
    // As PLplot does on a device failure: the drawing process ends at once.
    if (die_on_screen_ && ::getpid() != parent_) std::exit(1);
    if (device.substr(0, 6) == "wingcc") screens.push_back(!screen_skipped());
  }
  void end() override {
    PlplotPlotter::end();
    statuses.push_back(last_screen_status());
  }
  std::vector<bool> screens;
  std::vector<int> statuses;

 private:
  bool die_on_screen_;
  pid_t parent_ = ::getpid();
};

// Runs only inside the virtual display, started by the test below.
TEST(ScreenSmoke, InsideVirtualDisplay) {
  const char* file = std::getenv(kInsideFlag);
  if (file == nullptr) GTEST_SKIP() << "runs only under xvfb-run, started by ScreenSmoke.DrawsUnderXvfb";
  ASSERT_TRUE(PlplotPlotter::DisplayOpens());
  ASSERT_FALSE(PlplotPlotter::ScreenDeviceName().empty());
  std::vector<float> c1(200), ref = {kNoReference};
  for (int k = 0; k < 200; ++k) c1[static_cast<std::size_t>(k)] = 1.0f + 0.01f * static_cast<float>(k % 17);
  common::ScriptedConsole console({"0", "s", file, "c"});
  common::Units units;
  common::Dialog dialog(console, units);
  WatchingPlotter plotter;
  PlotContext ctx{dialog, plotter};
  PlotMemory mem;
  pltser(ctx, mem, c1, c1, 200, 1800, "Year", "Index", "Screen smoke", ref, "", "", 1);
  EXPECT_EQ(plotter.screens, (std::vector<bool>{true, true}));  // first drawing and the replot
  // Each screen page was drawn by a process that ended normally.
  ASSERT_EQ(plotter.statuses.size(), 3u);
  EXPECT_EQ(plotter.statuses[0], 0);
  EXPECT_EQ(plotter.statuses[1], 0);
  EXPECT_TRUE(fs::exists(file));
}

TEST(ScreenSmoke, InsideVirtualDisplayDeviceFailure) {
  const char* file = std::getenv(kInsideFlag);
  if (file == nullptr) GTEST_SKIP() << "runs only under xvfb-run, started by ScreenSmoke.DrawsUnderXvfb";
  const std::string saved = std::string(file) + ".2.ps";
  std::vector<float> c1 = {1.0f, 2.0f, 3.0f}, ref = {kNoReference};
  common::ScriptedConsole console({"0", "s", saved, "c"});
  common::Units units;
  common::Dialog dialog(console, units);
  WatchingPlotter plotter(true);
  PlotContext ctx{dialog, plotter};
  PlotMemory mem;
  pltser(ctx, mem, c1, c1, 3, 1800, "Year", "Index", "Failing screen", ref, "", "", 1);
  // Both screen drawings died; the program went on through the menu and saved.
  ASSERT_EQ(plotter.statuses.size(), 3u);
  EXPECT_NE(plotter.statuses[0], 0);
  EXPECT_NE(plotter.statuses[1], 0);
  EXPECT_EQ(console.unread(), 0u);
  EXPECT_TRUE(fs::exists(saved));
  fs::remove(saved);
}

TEST(ScreenSmoke, DrawsUnderXvfb) {
  if (std::getenv(kInsideFlag) != nullptr) GTEST_SKIP() << "already inside";
  if (std::system("command -v xvfb-run >/dev/null 2>&1") != 0) GTEST_SKIP() << "xvfb-run is not installed";
  const fs::path self = fs::read_symlink("/proc/self/exe");
  const fs::path file = fs::path(::testing::TempDir()) / ("kestrane_smoke_" + std::to_string(::getpid()) + ".ps");
  fs::remove(file);
  const fs::path log = file.string() + ".log";
  // The window device's own libraries (fontconfig, cairo) keep memory to the
  // end of the process; leak checks of the inner run would only report those.
  const std::string cmd = std::string("env ASAN_OPTIONS=\"${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0\" ") + kInsideFlag + "='" + file.string() + "' timeout 120 xvfb-run -a -s '-screen 0 1280x1024x24 -noreset' '" +
                          self.string() + "' --gtest_filter=ScreenSmoke.InsideVirtualDisplay* >'" + log.string() +
                          "' 2>&1";
  const int status = std::system(cmd.c_str());
  if (status != 0) {
    std::ifstream in(log);
    std::stringstream text;
    text << in.rdbuf();
    ADD_FAILURE() << cmd << " gave " << status << ":\n" << text.str();
  }
  fs::remove(log);
  EXPECT_TRUE(fs::exists(file));
  fs::remove(file);
}

}  // namespace
}  // namespace plot
