// sfinter: the interactive program, one data file per run.
#pragma once

#include <string>

#include "apps/shared/run_loop.h"
#include "common/console.h"
#include "common/run_options.h"
#include "common/storage.h"
#include "common/text.h"
#include "engine/sigfre.h"
#include "plot/plot_settings.h"

namespace interactive {

// Where the plotting library's data lives on this platform.
inline constexpr const char* kPlotDataDir = "/usr/share/plplot5.15.0";

// What the interactive driver works with for the whole run: what main()
// lends it (the console, the storage, the options, the restart state, the
// engine's state and the plots), the run loop's values, and its version text.
struct Run : drivers::EngineRun {
  Run(common::Dialog& d, common::RunStorage& s, common::RunOptions& o, common::RestartState& r, engine::EngineState& e,
      plot::PlotContext& p)
      : drivers::EngineRun(d, s, o, r, common::ProgramVariant::kInteractive, e, p) {}

  std::string version = common::Fixed(common::kVersion, 15);

  // The output stem: the data file name up to its first '.'.
  std::string stem() const { return engine::OutputBaseName(store.DATFIL); }
};

// The banner and the gap-filling warning (screen only).
void ShowBanner(Run& run);
// Asks for the data file until a readable file is named; "/" stops.
void AskDataFile(Run& run);
// Opens the report file on unit 9 and writes its header lines.
void OpenReport(Run& run);

// The closing lines and the wait for Return after the last file; the run
// ends with status 0.
[[noreturn]] void NormalTermination(Run& run);

// The whole run; ends only through the stop routine.
[[noreturn]] void sfinter(common::Dialog& dialog, common::RunStorage& store, common::RunOptions& options,
                          common::RestartState& restart, engine::EngineState& engine_state, plot::PlotContext& plots);

}  // namespace interactive
