#include "apps/interactive/sfinter.h"

#include "apps/interactive/option_dialogue.h"
#include "apps/interactive/read_data_set.h"
#include "apps/interactive/series_dialogue.h"

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
  d.QuitIfSlash(d.ReadAnswer(1));
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
  for (;;) {
    files::blank(run.DATFIL);
    d.Screen("");
    run.DATFIL = d.Ask("Enter data file name to process (/ to exit)", 50);
    if (Dialog::IsQuit(run.DATFIL)) d.Stop(ExitStatus::kNormal);

    if (run.DATFIL[0] == ' ' && run.DATFIL[1] == ' ') {
      d.Screen("");
      d.Screen(" There was an error reading your entry.");
      WaitOrQuit(d, " Hit return to enter a new file name or / to exit program.");
      continue;
    }
    if (!common::ReadableFileExists(std::string(common::TrimRight(run.DATFIL)))) {
      d.Screen("");
      d.Screen(" File > " + run.DATFIL.substr(0, 25) + " < not found");
      d.Screen("");
      WaitOrQuit(d, " Hit return to enter a new file name or / exit program.");
      continue;
    }
    run.stem_length = StemLength(run.DATFIL);
    return;
  }
}

int StemLength(const std::string& datfil) {
  const std::size_t last = common::TrimRight(datfil).size();
  const std::size_t dot = datfil.substr(0, last).find('.');
  return static_cast<int>(dot == std::string::npos ? last : dot);
}

void OpenReport(Run& run) {
  files::blank(run.OUTNAM);
  common::Assign(run.OUTNAM, run.stem() + "_out_v" + run.version + ".txt");
  files::squeez(run.OUTNAM, 80);
  common::Units& units = run.dialog.units();
  units.Open(common::kReportUnit, std::string(common::TrimRight(run.OUTNAM)), common::Units::Mode::kWrite);
  run.dialog.Report("");
  run.dialog.Report("THE OFFICIAL SIGNAL FREE PROGRAM OUTPUT FILE");
  run.dialog.Report("");
  run.dialog.Report("DATA FILE TO PROCESS: " + run.DATFIL);
  run.KRETRY = 0;
}

void sfinter(Dialog& dialog, common::RunStorage& store) {
  plot::setplib(kPlotDataDir);
  Run run(dialog, store);
  run.RCSFLG = 0;
  run.RCSRDO = 0;
  run.PITHFL = 0;
  ShowBanner(run);

  for (;;) {
    AskDataFile(run);
    OpenReport(run);

    // Reading and checking the data set.
    if (ReadAndCheckDataSet(run) == DataSetOutcome::kTryAgain) continue;
    break;
  }

  // Index mode, power transformation and series processing.
  const SeriesDialogueResult series = SeriesDialogue(dialog, store, run.DATFIL);
  run.RESID = series.mode.RESID;
  run.PTRFLG = series.mode.PTRFLG;
  run.MED = series.MED;

  // Curve-fit and chronology options.
  CurveFitDialogue(run);

  dialog.Screen("");
  dialog.Stop(ExitStatus::kNormal, " Options chosen; the chronology engine is not part of this version.");
}

}  // namespace interactive
