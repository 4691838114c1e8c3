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

// What the interactive driver works with for the whole run: what main()
// lends it (the console, the storage, the options, the restart state, the
// engine's state and the plots) and the run loop's values.
struct Run : drivers::EngineRun {
  Run(common::Dialog& d, common::RunStorage& s, common::RunOptions& o, common::RestartState& r, engine::EngineState& e,
      plot::PlotContext& p)
      : drivers::EngineRun(d, s, o, r, common::ProgramVariant::kInteractive, e, p) {}
};

// Asks for the data file until a readable file is named; "/" stops.
void AskDataFile(Run& run);

// The whole run; ends only through the stop routine.
[[noreturn]] void sfinter(common::Dialog& dialog, common::RunStorage& store, common::RunOptions& options,
                          common::RestartState& restart, engine::EngineState& engine_state, plot::PlotContext& plots);

}  // namespace interactive
