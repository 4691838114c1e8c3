// The index-mode and power-transformation questions and the series
// processing of the interactive program, between the series summary and the
// curve-fit dialogue.
#pragma once

#include <string_view>

#include "common/console.h"
#include "common/storage.h"
#include "apps/shared/index_mode.h"
#include "apps/shared/series_processing.h"

namespace interactive {

struct SeriesDialogueResult {
  drivers::IndexMode mode;                 // RESID and PTRFLG for the whole run
  drivers::SeriesProcessingChoice choice;  // menu answer and the censored file's numbers
  int MED = 0;                           // integer median length of the latest length summary
};

// The index mode, the length summary of the data set as read ("ORIGINAL DATA
// SET"), the series processing menu and, when the set was censored or
// truncated, its length summary ("CENSORED DATA SET"). SERWRK holds the
// processed series afterwards.
SeriesDialogueResult SeriesDialogue(common::Dialog& dialog, common::RunStorage& store, std::string_view DATFIL);

}  // namespace interactive
