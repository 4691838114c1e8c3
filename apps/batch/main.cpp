// kestrane_batch: the batch program (every data file of a list file). main()
// owns everything the run lends out: the storage, the options, the restart
// state, the engine's state and the plotter.
#include <memory>

#include "apps/batch/sfbatch.h"
#include "common/console.h"
#include "common/run_options.h"
#include "common/storage.h"
#include "common/units.h"
#include "engine/sigfre.h"
#include "plot/plot_settings.h"
#include "plot/plotter.h"

int main() {
  common::TerminalConsole console;
  common::Units units;
  common::Dialog dialog(console, units);
  auto store = std::make_unique<common::RunStorage>();
  auto options = std::make_unique<common::RunOptions>();
  auto restart = std::make_unique<common::RestartState>();
  auto engine_state = std::make_unique<engine::EngineState>(common::ProgramVariant::kBatch);
  plot::PlplotPlotter plotter;
  plot::PlotContext plots{dialog, plotter};
  try {
    batch::sfbatch(dialog, *store, *options, *restart, *engine_state, plots);
  } catch (const common::ProgramStop& stop) {
    return stop.status;
  }
}
