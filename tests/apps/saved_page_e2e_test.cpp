// A page saved at a plot options menu of a real kestrane run, turned into a
// PNG and a PDF by the Ghostscript commands the README gives a user: each
// picture must be the whole page and upright. A saved page is a portrait
// sheet with the plot drawn across it, so a conversion that keeps the sheet
// gives a sideways picture, and one onto a paper size cuts off its last years.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "support/e2e.h"

namespace {

namespace fs = std::filesystem;

bool HaveGhostscript() { return std::system("gs --version >/dev/null 2>&1") == 0; }

// The README's conversion commands: its lines that start with "gs " and
// read the saved page "page.ps".
std::vector<std::string> ReadmeCommands() {
  const fs::path readme = fs::path(KESTRANE_TEST_DATA).parent_path().parent_path() / "README.md";
  std::ifstream in(readme);
  std::vector<std::string> commands;
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with("gs ") && line.find(" page.ps") != std::string::npos) commands.push_back(line);
  }
  return commands;
}

struct Box {
  double width = 0.0;   // points across the sheet
  double height = 0.0;  // points down the sheet
};

// The page's bounding box, from its "%%BoundingBox: llx lly urx ury" line.
Box BoundingBox(const std::string& ps) {
  std::smatch m;
  if (!std::regex_search(ps, m, std::regex(R"(%%BoundingBox: (-?\d+) (-?\d+) (-?\d+) (-?\d+))"))) return {};
  return {std::stod(m[3]) - std::stod(m[1]), std::stod(m[4]) - std::stod(m[2])};
}

// Width and height of a PNG, from its header chunk.
std::pair<long, long> PngSize(const std::string& png) {
  if (png.size() < 24 || png.compare(1, 3, "PNG") != 0) return {0, 0};
  auto word = [&png](std::size_t at) {
    long v = 0;
    for (std::size_t i = 0; i < 4; ++i) v = v * 256 + static_cast<unsigned char>(png[at + i]);
    return v;
  };
  return {word(16), word(20)};
}

// Pixels per point of a command's "-rN" (Ghostscript's default is 72 dpi).
double Scale(const std::string& command) {
  std::smatch m;
  if (std::regex_search(command, m, std::regex(R"( -r(\d+))"))) return std::stod(m[1]) / 72.0;
  return 1.0;
}

TEST(SavedPage, TheReadmeCommandsGiveTheWholePageUpright) {
  if (!HaveGhostscript()) GTEST_SKIP() << "Ghostscript (gs) is not installed";
  const std::vector<std::string> commands = ReadmeCommands();
  ASSERT_EQ(commands.size(), 2u) << "the README gives one command for a PNG and one for a PDF";

  // A regional-curve run of gp.rwl with its pith offsets, every question and
  // menu at its default except the seventh plot options menu (the running
  // EPS of the standard indices, the tallest page), saved as page.ps.
  e2e::Sandbox box;
  box.CopyData("gp.rwl", "gp.rwl");
  box.CopyData("gp_pith_offsets.txt", "gp_pith_offsets.txt");
  std::vector<std::string> answers = {"gp.rwl", "1", "R", "", "-2", "", "T", "gp_pith_offsets.txt", "1", "0"};
  answers.insert(answers.end(), 5, "");   // mean, window, stabilisation, convergence, TARN
  answers.insert(answers.end(), 2, "");   // the first two plot menus
  answers.insert(answers.end(), 3, "");   // the regional-curve questions
  answers.insert(answers.end(), 4, "");   // the next four plot menus
  answers.insert(answers.end(), {"s", "page.ps", ""});
  answers.insert(answers.end(), 200, "");
  const e2e::Result run = box.Run(e2e::Kestrane(), answers, 120);
  ASSERT_EQ(run.status, 0) << run.screen.substr(run.screen.size() > 3000 ? run.screen.size() - 3000 : 0);
  ASSERT_TRUE(box.Has("page.ps"));
  const Box page = BoundingBox(box.Read("page.ps"));
  ASSERT_GT(page.height, page.width) << "the plot lies across a portrait sheet";
  // Taller than A4 (842 points): a conversion onto a paper size would cut it.
  EXPECT_GT(page.height, 842.0);

  for (const std::string& command : commands) {
    SCOPED_TRACE(command);
    const fs::path png = box.dir() / "page.png", pdf = box.dir() / "page.pdf";
    fs::remove(png);
    fs::remove(pdf);
    const std::string shell = "cd '" + box.dir().string() + "' && " + command + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(shell.c_str()), 0);

    if (command.find("-o page.png") != std::string::npos) {
      const auto [width, height] = PngSize(box.Read("page.png"));
      // The sheet's height runs across the picture, every point of it there.
      EXPECT_GT(width, height);
      EXPECT_NEAR(static_cast<double>(width), page.height * Scale(command), 1.0);
      EXPECT_NEAR(static_cast<double>(height), page.width * Scale(command), 1.0);
    } else {
      ASSERT_NE(command.find("-o page.pdf"), std::string::npos) << "writes neither page.png nor page.pdf";
      const std::string text = box.Read("page.pdf");
      std::smatch m;
      ASSERT_TRUE(std::regex_search(text, m, std::regex(R"(/MediaBox \[0 0 ([0-9.]+) ([0-9.]+)\])")));
      EXPECT_NEAR(std::stod(m[1]), page.height, 1.0);
      EXPECT_NEAR(std::stod(m[2]), page.width, 1.0);
      // Upright in the page itself, not by a viewer's turn.
      EXPECT_FALSE(std::regex_search(text, std::regex(R"(/Rotate\s+[1-9])")));
    }
  }
}

}  // namespace
