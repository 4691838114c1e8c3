// One run of either program: what the program frame lends it (the
// dialogue, the storage, the run options, the restart state, the engine's
// state and the plotter) and what the run keeps between its data sets and
// engine calls. The frame makes one for the whole run and hands it to the
// program's body; every piece of the drivers works on it.
#pragma once

#include "common/console.h"
#include "common/program_variant.h"
#include "common/run_options.h"
#include "common/storage.h"
#include "detrend/powtrn.h"
#include "plot/plot_settings.h"
#include "plot/plotter.h"

namespace engine {
struct EngineState;
}  // namespace engine

namespace drivers {

struct ProgramRun {
  ProgramRun(common::Dialog& d, common::RunStorage& s, common::RunOptions& o, common::RestartState& r,
             engine::EngineState& e, plot::Plotter& p)
      : dialog(d), store(s), options(o), restart(r), engine_state(e), plots{d, p} {}
  ProgramRun(const ProgramRun&) = delete;
  ProgramRun& operator=(const ProgramRun&) = delete;

  // Which program is running: the dialogue's.
  common::ProgramVariant variant() const { return dialog.variant(); }

  common::Dialog& dialog;
  common::RunStorage& store;
  common::RunOptions& options;
  common::RestartState& restart;
  engine::EngineState& engine_state;
  plot::PlotContext plots;  // the lent plotter, its menus asked through the dialogue

  // The batch program asks its once-only questions (index mode, mean,
  // window, stabilisation, convergence) for its first data set alone; every
  // data set of the interactive program is a first one.
  bool first_data_set = true;
  // NOPT as the dialogue left it, before the engine's first call of the
  // data set changed it (0 becomes 6): put back before every restart and
  // after the last run, so option 0 keeps naming raw data.
  int saved_NOPT = 0;
  detrend::PowtrnScatter scatter;  // the power transformation's working storage
};

}  // namespace drivers
