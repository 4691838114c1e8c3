// A scripted console, a dialogue and a recording plotter for plot tests.
#pragma once

#include <string>
#include <vector>

#include "common/console.h"
#include "common/units.h"
#include "plot/plot_settings.h"
#include "recording_plotter.h"

namespace plot::testing {

struct Session {
  explicit Session(std::vector<std::string> answers) : console(std::move(answers)) {}
  common::ScriptedConsole console;
  common::Units units;
  common::Dialog dialog{console, units};
  RecordingPlotter plotter;
  PlotContext ctx{dialog, plotter};
};

inline std::string Pad(int column) { return std::string(static_cast<std::size_t>(column - 1), ' '); }

// The menu as the screen shows it: two empty lines, the box at column 16,
// an empty line and the prompt, followed by the answer typed.
inline std::string MenuText(const std::vector<std::string>& box, const std::string& answer) {
  std::string out = "\n\n";
  for (const std::string& line : box) out += Pad(16) + line + "\n";
  out += "\n" + Pad(16) + " enter option number > " + answer + "\n";
  return out;
}

}  // namespace plot::testing
