#include "apps/interactive/series_dialogue.h"

#include <vector>

#include "common/limits.h"
#include "apps/shared/data_set_summary.h"

namespace interactive {

SeriesDialogueResult SeriesDialogue(common::Dialog& dialog, common::RunStorage& store, std::string_view DATFIL) {
  SeriesDialogueResult result;
  result.mode = drivers::AskIndexMode(dialog, common::ProgramVariant::kInteractive);
  std::vector<float> CRVVEC(static_cast<std::size_t>(common::MAXYRS));
  result.MED = drivers::SeriesLengthSummary(dialog, store.IYTAB, store.NS, CRVVEC, "ORIGINAL DATA SET").MED;
  result.choice = drivers::SeriesProcessingMenu(dialog, store, DATFIL);
  if (result.choice.answer != '1') {
    result.MED = drivers::SeriesLengthSummary(dialog, store.IYTAB, store.NS, CRVVEC, "CENSORED DATA SET").MED;
  }
  return result;
}

}  // namespace interactive
