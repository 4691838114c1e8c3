#include "apps/interactive/sfinter.h"

#include <algorithm>

#include "apps/shared/index_mode.h"
#include "apps/shared/option_dialogue.h"
#include "apps/shared/program_frame.h"
#include "apps/shared/read_data_set.h"
#include "apps/shared/series_processing.h"
#include "common/fortran_format.h"
#include "common/text.h"
#include "common/units.h"
#include "files/character_helpers.h"
#include "plot/setplib.h"

namespace interactive {

using common::Dialog;
using common::ExitStatus;

namespace {

// The waits of the name loop: Return asks for a name again, "/" ends the run.
void WaitOrQuit(Dialog& d, std::string_view text) {
  d.ScreenText(text);
  d.QuitIfSlash(d.ReadAnswer(1));
}

}  // namespace

void AskDataFile(Run& run) {
  Dialog& d = run.dialog;
  std::string& DATFIL = run.store.DATFIL;
  for (;;) {
    files::blank(DATFIL);
    d.Screen("");
    DATFIL = d.Ask("Enter data file name to process (/ to exit)", 50);
    if (Dialog::IsQuit(DATFIL)) d.Stop(ExitStatus::kNormal);

    if (DATFIL[0] == ' ' && DATFIL[1] == ' ') {
      d.Screen("");
      d.Screen(" There was an error reading your entry.");
      WaitOrQuit(d, " Hit return to enter a new file name or / to exit program.");
      continue;
    }
    if (!common::ReadableFileExists(std::string(common::TrimRight(DATFIL)))) {
      d.Screen("");
      d.Screen(" File > " + DATFIL.substr(0, 25) + " < not found");
      d.Screen("");
      WaitOrQuit(d, " Hit return to enter a new file name or / exit program.");
      continue;
    }
    run.stem_length = drivers::StemLength(DATFIL);
    return;
  }
}

engine::EngineOutcome RunEngine(Run& run) {
  common::RunStorage& s = run.store;
  run.restart.KRETRY = 0;
  run.restart.CONST = 0.0f;
  for (int i = 1; i <= s.NS; ++i) {
    const std::size_t n = static_cast<std::size_t>(s.IYTAB.ILY(i) - s.IYTAB.IFY(i) + 1);
    std::ranges::copy(s.SERWRK.column_view(i).first(n), s.SERMAT.column(i).begin());
    run.restart.CRVMIN[static_cast<std::size_t>(i)] = common::kCurveFloor;
    s.IYTAB.NYR(i) = s.IYTAB.ILY(i);  // each series' curve is fitted to its last year
  }
  return engine::sigfre(s, run.options, run.restart, run.engine_state, run.plots);
}

void sfinter(Dialog& dialog, common::RunStorage& store, common::RunOptions& options, common::RestartState& restart,
             engine::EngineState& engine_state, plot::PlotContext& plots) {
  plot::setplib(plot::kPlotDataDir);
  Run run(dialog, store, options, restart, engine_state, plots);
  options.RCSFLG = 0;
  restart.RCSRDO = 0;
  options.PITHFL = 0;
  drivers::ShowBanner(dialog, run.variant);

  for (;;) {
    AskDataFile(run);
    drivers::OpenReport(run, run.stem_length);

    // Reading and checking the data set.
    if (drivers::ReadAndCheckDataSet(run) == drivers::DataSetOutcome::kTryAgain) continue;
    break;
  }

  // Index mode, power transformation and series processing.
  drivers::AskIndexMode(dialog, run.variant, options);
  drivers::ProcessSeries(run);

  // Curve-fit and chronology options.
  drivers::CurveFitDialogue(run);

  // The chronologies: one engine call, as the first run of the run loop.
  const engine::EngineOutcome outcome = RunEngine(run);
  dialog.Screen("");
  dialog.Stop(ExitStatus::kNormal,
              outcome == engine::EngineOutcome::kFinished
                  ? " Chronologies done; the chronology files come next in a later version."
              : outcome == engine::EngineOutcome::kRestart
                  ? " The engine asks for a restart with a constant added; restarts come in a later version."
                  : " Another regional-curve detrending was asked for; it comes in a later version.");
}

}  // namespace interactive
