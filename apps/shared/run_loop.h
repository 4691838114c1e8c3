// The runs of the engine on one prepared data set, as both programs hold
// them after their dialogue: each run rebuilds the series from the censored
// working copy plus a constant that grows with the restart count, power
// transforms them when that was chosen, and calls the engine; after a call
// the loop shows the regional-curve menu again (another regional curve was
// asked for), runs again with the next constant (the engine asked for a
// restart), or ends (the chronologies are ready).
#pragma once

#include <functional>

#include "apps/shared/run_context.h"
#include "detrend/powtrn.h"
#include "engine/sigfre.h"
#include "plot/plot_settings.h"

namespace drivers {

// What the runs and the outputs of a data set work with beyond the
// dialogue's context: the engine's state and the plots main() lends, and
// the loop's own values.
struct EngineRun : RunContext {
  EngineRun(common::Dialog& d, common::RunStorage& s, common::RunOptions& o, common::RestartState& r,
            common::ProgramVariant v, engine::EngineState& e, plot::PlotContext& p)
      : RunContext{d, s, o, r, v}, engine_state(e), plots(p) {}

  engine::EngineState& engine_state;
  plot::PlotContext& plots;
  // NOPT as the dialogue left it, before the engine's first call of the
  // data set changed it (0 becomes 6): put back before every restart and
  // after the last run, so option 0 keeps naming raw data.
  int saved_NOPT = 0;
  detrend::PowtrnScatter scatter;  // the power transformation's working storage
};

// The power transformation of every series of SERMAT (PMEAN into the
// restart state), followed by the spread-versus-level plot when `may_plot`.
void PowerTransform(EngineRun& run, bool may_plot);

// What comes before each engine call: SERMAT rebuilt from SERWRK plus
// CONST = 0.1 x KRETRY, CRVMIN reset, the power transformation when PTRFLG
// is 1 (its report line on a first run only, its plot on the interactive
// program's first run only), the constant and mean-power lines ("OKAY, LET
// US BEGIN:", batch "Okay, let us begin:", on a first run), and IYTAB
// column 3 set to each series' last year.
void PrepareRun(EngineRun& run);

// One run: PrepareRun, then the engine call.
engine::EngineOutcome RunOnce(EngineRun& run);

// Runs until the engine returns its chronologies (converged, capped, or the
// restarts used up). A regional-curve redo request sets KRETRY 0 and NOPT
// -2 and calls `rcs_redo` (the program's regional-curve menu) before the
// next run; a restart request runs again with the option code the dialogue
// set. saved_NOPT is taken on entry and after every redo.
void RunUntilDone(EngineRun& run, const std::function<void(EngineRun&)>& rcs_redo);

// After the accepted run: NOPT back to the dialogue's code, and the
// standard chronology as the mean routine gave it (ORGCHR) into STDCHR,
// rows 1..span of both columns.
void KeepLastRun(EngineRun& run);

}  // namespace drivers
