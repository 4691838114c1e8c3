// sfinter: the interactive program, one data file per run.
#pragma once

#include <string>

#include "apps/shared/run_context.h"
#include "common/console.h"
#include "common/run_options.h"
#include "common/storage.h"
#include "common/text.h"
#include "engine/sigfre.h"
#include "plot/plot_settings.h"

namespace interactive {

// What the interactive driver works with for the whole run: what main()
// lends it (the console, the storage, the options, the restart state, the
// engine's state and the plots) and the few values of its own.
struct Run : drivers::RunContext {
  Run(common::Dialog& d, common::RunStorage& s, common::RunOptions& o, common::RestartState& r, engine::EngineState& e,
      plot::PlotContext& p)
      : drivers::RunContext{d, s, o, r, common::ProgramVariant::kInteractive}, engine_state(e), plots(p) {}

  engine::EngineState& engine_state;
  plot::PlotContext& plots;
  int stem_length = 0;  // leading characters of DATFIL that name every output file

  std::string stem() const { return store.DATFIL.substr(0, static_cast<std::size_t>(stem_length)); }
};

// Asks for the data file until a readable file is named; "/" stops.
void AskDataFile(Run& run);

// One engine call on the prepared data set as the run loop's first run
// prepares it: SERMAT from its working copy, no constant added, the curve
// floor of every series, every curve fitted to its series' last year.
engine::EngineOutcome RunEngine(Run& run);

// The whole run; ends only through the stop routine.
[[noreturn]] void sfinter(common::Dialog& dialog, common::RunStorage& store, common::RunOptions& options,
                          common::RestartState& restart, engine::EngineState& engine_state, plot::PlotContext& plots);

}  // namespace interactive
