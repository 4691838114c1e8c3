#include "apps/interactive/series_dialogue.h"

#include <vector>

#include "common/limits.h"
#include "files/data_set_summary.h"

namespace interactive {

using common::Dialog;

IndexMode AskIndexMode(Dialog& dialog) {
  for (;;) {
    IndexMode mode;
    dialog.Screen("");
    const std::string answer = dialog.Ask("Compute Indices by [R]atios or residual[S]", 1);
    const char c = answer[0];
    if (c == 'R' || c == 'r') {
      dialog.Report("");
      dialog.Report("TREE-RING INDICES ARE CALCULATED AS RATIOS OF EXPECTED GROWTH");
      return mode;
    }
    if (c == 'S' || c == 's') {
      dialog.Report("");
      dialog.Report("TREE-RING INDICES ARE CALCULATED AS RESIDUALS FROM EXPECTED GROWTH");
      mode.RESID = 1;
      dialog.Screen("");
      const std::string power = dialog.Ask("Power transform data? [T]rue or [F]alse", 1);
      dialog.QuitIfSlash(power);
      mode.PTRFLG = power[0] == 'T' || power[0] == 't' ? 1 : 0;
      return mode;
    }
    if (c == '/') {
      dialog.Screen("");
      dialog.Stop(common::ExitStatus::kNormal, " Program Terminating");
    }
    dialog.Screen("");
    dialog.Screen(" Error reading input [R] or [S]. Try again or enter / to exit");
  }
}

SeriesDialogueResult SeriesDialogue(Dialog& dialog, common::RunStorage& store, std::string_view DATFIL) {
  SeriesDialogueResult result;
  result.mode = AskIndexMode(dialog);
  std::vector<float> CRVVEC(static_cast<std::size_t>(common::MAXYRS));
  result.MED = files::SeriesLengthSummary(dialog, store.IYTAB, store.NS, CRVVEC, "ORIGINAL DATA SET").MED;
  result.choice = files::SeriesProcessingMenu(dialog, store, DATFIL);
  if (result.choice.answer != '1') {
    result.MED = files::SeriesLengthSummary(dialog, store.IYTAB, store.NS, CRVVEC, "CENSORED DATA SET").MED;
  }
  return result;
}

}  // namespace interactive
