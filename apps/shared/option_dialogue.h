// The curve-fit and chronology option dialogue between the series
// processing and the first chronology run, in the interactive program's
// order, and the report lines of the curve-fit option. The batch program
// asks the same curve-fit questions (AskCurveFit) and writes the echo lines
// of every data set itself.
#pragma once

#include "apps/shared/program_run.h"

namespace drivers {

// The general curve-fit menu with its follow-ups; the interactive program
// writes the option's report lines here. Any code but -2 leaves
// regional-curve mode (RCSFLG 0, PITHFL 0, the pith offsets cleared). For
// the regional curve (RCSFLG becomes 1): on a first pass the stiffness and
// the pith offsets; with RCSRDO still set from the engine the regional-curve
// menu instead, whose answer that is no integer shows the general menu
// again. Returns false
// when the regional-curve menu took an answer: the run then starts again at
// once, with no other question.
bool AskCurveFit(ProgramRun& run);

// AskCurveFit, then the chronology options unless the regional-curve menu
// took an answer.
void CurveFitDialogue(ProgramRun& run);

// The regional-curve menu the run loop shows when the engine asks for
// another regional detrending (NOPT -2, RCSRDO set). An answer that is no
// integer goes back to the whole curve-fit dialogue.
void RcsRedoDialogue(ProgramRun& run);

// The report lines of the curve-fit option: a heading ("CURVE FIT OPTION:",
// batch "CURVE FIT OPTION AT THE BEGINNING:") and the option's line.
void EchoCurveFit(common::Dialog& dialog, const common::RunOptions& options, common::ProgramVariant variant);

// Mean method, running RBAR window, additional stabilisation, presets,
// convergence test and TARN tweaks, with their report lines. The batch
// program first writes the curve-fit report lines, asks the questions only
// for its first data set (otherwise the kept values are echoed), ends its
// run at a mean method that is neither 1 nor 2, echoes the stabilisation
// and never asks about the TARN tweaks (always used).
void ChronologyOptions(ProgramRun& run);

}  // namespace drivers
