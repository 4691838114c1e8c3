// sigfre: the signal-free chronology engine. One call carries a prepared
// data set from the series matrix to the standard chronology, the
// signal-free chronology and their stabilised forms; the run loop of each
// program calls it again after a regional-curve redo or for a restart with
// a constant added to the data.
#pragma once

#include <optional>

#include "common/console.h"
#include "common/run_options.h"
#include "common/storage.h"
#include "engine/engine_state.h"
#include "plot/plotter.h"

namespace engine {

// The three ways the engine returns to the run loop.
enum class EngineOutcome {
  kFinished,  // chronologies ready; KRETRY 0, or above 10 when the restarts were used up
  kRcsRedo,   // the user asked for another regional-curve detrending; RCSRDO is 1
  kRestart,   // the convergence statistic rose; KRETRY raised to 1..10
};

// sigfre: one engine call on the data set in `store` (SERMAT ring-aligned,
// holding the measurements plus CONST; IYTAB column 3 the last year of each
// series' fitting period). Its report lines, questions, waits and stops go
// through `dialog`, which also opens and closes its intermediate files and
// tells which program runs; it draws the stage plots on `plotter`, their
// menus asked through `dialog`. May change options.NOPT (0 becomes 6) and
// options.ISTAB (the stabilisation dialogue). SERMAT and IDXMAT come back
// calendar-aligned.
EngineOutcome sigfre(common::Dialog& dialog, plot::Plotter& plotter, common::RunStorage& store,
                     common::RunOptions& options, common::RestartState& restart, EngineState& state);

// What the stop rules of the signal-free iteration decide after iteration
// ITER, in their order: converged (the tested statistic CNVSTA at most
// CONVTL), capped at kMaxIterations, a rise from iteration 7 on (CNVSTA
// above CNVPRV) that asks the run loop for a restart while KRETRY + 1 is at
// most kMaxRetries and gives up after that, or the next iteration.
enum class IterationStep { kNext, kConverged, kCapped, kRestart, kGiveUp };
IterationStep StopDecision(int ITER, float CNVSTA, float CNVPRV, float CONVTL, int KRETRY);

// Option code -66, a spline of 66 % of the series' length
// (detrend::IsSplineInPercent): what option 1 turns into for a series whose
// fit is unstable in the signal-free iteration.
inline constexpr int kUnstableFitSpline = -66;

// A series' fit is unstable in iteration ITER when, from iteration 5 on and
// with SFFLGA 'n', its option code (code_now) differs from the iteration
// before's (code_before) or that was the mean line (6). Returns the code an
// unstable series is fitted with instead: kUnstableFitSpline under option
// (NOPT) 1, the mean line (6) under any other; nothing for a stable one.
// Option 1, the mean line and the percent spline are the same codes in
// regional-curve mode.
std::optional<int> UnstableFitReplacement(const common::RunOptions& options, int ITER, int code_before, int code_now);

}  // namespace engine
