// The runs of the engine on one prepared data set, as both programs hold
// them after their dialogue: each run rebuilds the series from the censored
// working copy plus a constant that grows with the restart count, power
// transforms them when that was chosen, and calls the engine; after a call
// the loop shows the regional-curve menu again (another regional curve was
// asked for), runs again with the next constant (the engine asked for a
// restart), or ends (the chronologies are ready).
#pragma once

#include <functional>

#include "apps/shared/program_run.h"
#include "common/console.h"
#include "engine/sigfre.h"

namespace drivers {

// The report lines of the adaptive power transformation (unit 9 only): a
// blank line and "THE SERIES HAVE HAD ADAPTIVE POWER TRANSFORMATIONS
// APPLIED", written before the first transformation of a data set; and
// "THE MEAN ADAPTIVE POWER TRANSFORM POWER APPLIED IS: " with PMEAN at
// column 63, 8 wide with 3 decimals, after each constant line.
void ReportPowerTransformApplied(common::Dialog& dialog);
void ReportMeanPower(common::Dialog& dialog, float PMEAN);

// The power transformation of every series of SERMAT (PMEAN into the
// restart state), followed by the spread-versus-level plot when `may_plot`.
void PowerTransform(ProgramRun& run, bool may_plot);

// What comes before each engine call: SERMAT rebuilt from SERWRK plus
// CONST = 0.1 x KRETRY, CRVMIN reset, the power transformation when PTRFLG
// is 1 (its report line on a first run only, its plot on the interactive
// program's first run only), the constant and mean-power lines ("OKAY, LET
// US BEGIN:", batch "Okay, let us begin:", on a first run), and IYTAB
// column 3 set to each series' last year.
void PrepareRun(ProgramRun& run);

// One run: PrepareRun, then the engine call.
engine::EngineOutcome RunOnce(ProgramRun& run);

// Runs until the engine returns its chronologies (converged, capped, or the
// restarts used up). A regional-curve redo request sets KRETRY 0 and NOPT
// -2 and calls `rcs_redo` (the program's regional-curve menu) before the
// next run; a restart request runs again with the option code the dialogue
// set. saved_NOPT is taken on entry and after every redo.
void RunUntilDone(ProgramRun& run, const std::function<void(ProgramRun&)>& rcs_redo);

// After the accepted run: NOPT back to the dialogue's code, and the
// standard chronology as the mean routine gave it (ORGCHR) into STDCHR,
// rows 1..span of both columns.
void KeepLastRun(ProgramRun& run);

}  // namespace drivers
