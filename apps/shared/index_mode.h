// How indices are formed: ratios or residuals, and for residuals whether the
// series are power transformed first. Both programs ask it; the batch
// program offers defaults (S, then T) and echoes the choice to the report of
// every data set, the interactive program echoes it once as it is answered.
#pragma once

#include "common/console.h"
#include "common/program_variant.h"

namespace drivers {

// RESID 0 ratios, 1 residuals; PTRFLG 1 when the series are power
// transformed before each engine run.
struct IndexMode {
  int RESID = 0;
  int PTRFLG = 0;
  // INDXMD: 1 ratios, 2 residuals, 3 residuals of power-transformed series.
  int INDXMD() const { return RESID == 0 ? 1 : PTRFLG == 1 ? 3 : 2; }
};

// "Compute Indices by [R]atios or residual[S]" (batch: "...residual<[S]>"),
// asked until R or S (batch: a blank answer is S); S asks "Power transform
// data?" (interactive: blank means no; batch: blank means yes). An invalid
// answer shows "Error reading input [R] or [S]. Try again or enter / to
// exit"; "/" stops after "Program Terminating". The interactive program
// writes its report line as the answer is taken; the batch program calls
// EchoIndexMode itself for every data set.
IndexMode AskIndexMode(common::Dialog& dialog, common::ProgramVariant variant);

// The report lines of an index mode (batch: with the power transformation line).
void EchoIndexMode(common::Dialog& dialog, const IndexMode& mode, common::ProgramVariant variant);

}  // namespace drivers
