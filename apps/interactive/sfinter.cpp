#include "apps/interactive/sfinter.h"

#include "apps/shared/chronology_outputs.h"
#include "apps/shared/index_mode.h"
#include "apps/shared/option_dialogue.h"
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

// One banner line: "***", the text centred in 29 columns, "***", from column 17.
std::string BoxLine(std::string_view text) {
  const std::size_t inner = 29;
  std::size_t left = text.size() >= inner ? 0 : (inner - text.size()) / 2;
  std::string body = std::string(left, ' ') + std::string(text);
  return std::string(16, ' ') + "***" + common::Fixed(body, inner) + "***";
}

// The waits of the name loop: Return asks for a name again, "/" ends the run.
void WaitOrQuit(Dialog& d, std::string_view text) {
  d.ScreenText(text);
  d.ReadTyped(1);
}

}  // namespace

void ShowBanner(Run& run) {
  Dialog& d = run.dialog;
  const std::string stars(16, ' ');
  d.Screen("");
  d.Screen(stars + std::string(35, '*'));
  d.Screen(BoxLine("KESTRANE"));
  d.Screen(BoxLine("Creation Date:"));
  d.Screen(BoxLine("02/08/2019"));
  d.Screen(BoxLine("Signal-free standardization"));
  d.Screen(BoxLine("of tree-ring chronologies"));
  d.Screen(BoxLine("by the Kestrane developers"));
  d.Screen(BoxLine("Max Series:" + common::fmt::Print("(i4)", common::MAXSER)));
  d.Screen(BoxLine("Max Years :" + common::fmt::Print("(i4)", common::MAXYRS)));
  d.Screen(stars + "****  Version " + run.version + "  ****");
  d.Screen(stars + std::string(35, '*'));

  const std::string rule(67, '*');
  d.Screen("");
  d.Screen(" " + rule);
  d.Screen(" *** WARNING: THERE IS NO GAP FILLING CAPACITY IN THIS PROGRAM.  ***");
  d.Screen(" *** SO IF YOU HAVE GAPS INDICATED BY NEGATIVE VALUES (NO -9999) ***");
  d.Screen(" *** RUN THE DATA THROUGH MORVEL FIRST AND USE THE SAVE SERIES   ***");
  d.Screen(" *** OPTION 18 AND THE TUCSON RWL FORMAT SAVE OPTION TO PROVIDE  ***");
  d.Screen(" *** THE GAP-FILLED DATA FOR USING IN THIS PROGRAM. CLEVER, HUH? ***");
  d.Screen(" " + rule);
}

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
    return;
  }
}

void OpenReport(Run& run) {
  std::string& OUTNAM = run.store.OUTNAM;
  files::blank(OUTNAM);
  common::Assign(OUTNAM, run.stem() + "_out_v" + run.version + ".txt");
  files::squeez(OUTNAM, 80);
  common::Units& units = run.dialog.units();
  units.Open(common::kReportUnit, std::string(common::TrimRight(OUTNAM)), common::Units::Mode::kWrite);
  run.dialog.Report("");
  run.dialog.Report("THE OFFICIAL SIGNAL FREE PROGRAM OUTPUT FILE");
  run.dialog.Report("");
  run.dialog.Report("DATA FILE TO PROCESS: " + run.store.DATFIL);
  run.restart.KRETRY = 0;
}

void NormalTermination(Run& run) {
  Dialog& d = run.dialog;
  d.Screen("");
  d.Screen(" Normal termination of Kestrane_Version " + run.version);
  d.Screen("");
  d.StopAfterReturn(ExitStatus::kNormal);
}

void sfinter(Dialog& dialog, common::RunStorage& store, common::RunOptions& options, common::RestartState& restart,
             engine::EngineState& engine_state, plot::PlotContext& plots) {
  plot::setplib(kPlotDataDir);
  Run run(dialog, store, options, restart, engine_state, plots);
  options.RCSFLG = 0;
  restart.RCSRDO = 0;
  options.PITHFL = 0;
  ShowBanner(run);

  for (;;) {
    AskDataFile(run);
    OpenReport(run);

    // Reading and checking the data set.
    if (drivers::ReadAndCheckDataSet(run) == drivers::DataSetOutcome::kTryAgain) continue;
    break;
  }

  // Index mode, power transformation and series processing.
  drivers::AskIndexMode(dialog, run.variant, options);
  drivers::ProcessSeries(run);

  // Curve-fit and chronology options.
  drivers::CurveFitDialogue(run);

  // The runs of the engine, then the chronology and spectra files.
  drivers::RunUntilDone(run, drivers::RcsRedoDialogue);
  drivers::KeepLastRun(run);
  drivers::WriteColumnTable(run);
  drivers::WriteDecadeChronologies(run);
  drivers::WriteSpectra(run, store.STDCHR);
  NormalTermination(run);
}

}  // namespace interactive
