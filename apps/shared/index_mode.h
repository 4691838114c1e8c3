// How indices are formed: ratios or residuals, and for residuals whether the
// series are power transformed first. Both programs ask it; the batch
// program offers defaults (S, then T) and echoes the choice to the report of
// every data set, the interactive program echoes it once as it is answered.
#pragma once

#include "common/console.h"
#include "common/program_variant.h"
#include "common/run_options.h"

namespace drivers {

// "Compute Indices by [R]atios or residual[S]" (batch: "...residual<[S]>"),
// asked until R or S (batch: a blank answer is S); S asks "Power transform
// data?" (interactive: blank means no; batch: blank means yes). Sets RESID
// and PTRFLG of `options`. An invalid answer shows "Error reading input [R]
// or [S]. Try again or enter / to exit"; "/" stops after "Program
// Terminating". The interactive program writes its report line as the
// answer is taken; the batch program calls EchoIndexMode itself for every
// data set.
void AskIndexMode(common::Dialog& dialog, common::ProgramVariant variant, common::RunOptions& options);

// The report lines of an index mode (batch: with the power transformation line).
void EchoIndexMode(common::Dialog& dialog, const common::RunOptions& options, common::ProgramVariant variant);

}  // namespace drivers
