// The index-mode and power-transformation questions and the series
// processing of the interactive program, between the series summary and the
// curve-fit dialogue.
#pragma once

#include <string_view>

#include "common/console.h"
#include "common/storage.h"
#include "files/series_processing.h"

namespace interactive {

// How indices are formed: RESID 0 ratios, 1 residuals; PTRFLG 1 when the
// series are power transformed before each engine run.
struct IndexMode {
  int RESID = 0;
  int PTRFLG = 0;
};

// "Compute Indices by [R]atios or residual[S]", asked until R or S; S asks
// about the power transformation. Echoes the choice to the report; "/"
// stops the program after "Program Terminating".
IndexMode AskIndexMode(common::Dialog& dialog);

struct SeriesDialogueResult {
  IndexMode mode;
  files::SeriesProcessingChoice choice;
  int MED = 0;  // integer median series length of the latest length summary
};

// The index mode, the length summary of the data set as read, the series
// processing menu and, when the set was censored or truncated, its length
// summary. SERWRK holds the processed series afterwards.
SeriesDialogueResult SeriesDialogue(common::Dialog& dialog, common::RunStorage& store, std::string_view DATFIL);

}  // namespace interactive
