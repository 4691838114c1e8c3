// The curve-fit and chronology option dialogue of the interactive program,
// between the series processing and the first chronology run.
#pragma once

#include "apps/interactive/sfinter.h"

namespace interactive {

// The general curve-fit menu with its follow-ups and report lines; for the
// regional curve on a first pass the stiffness and the pith offsets (with
// RCSRDO still set from the engine, the regional-curve menu instead); then
// the chronology options, except after an accepted regional-curve menu.
void CurveFitDialogue(Run& run);

// The regional-curve menu the run loop shows when the engine asks for
// another regional detrending (NOPT -2, RCSRDO set). An answer that is no
// integer goes back to the whole curve-fit dialogue.
void RcsRedoDialogue(Run& run);

// The report lines of the curve-fit option.
void EchoCurveFit(common::Dialog& dialog, int NOPT, int alpha, int SPLSTF);

// Mean method, running RBAR window, additional stabilisation, presets,
// convergence test and TARN tweaks, with their report lines.
void ChronologyOptions(Run& run);

}  // namespace interactive
