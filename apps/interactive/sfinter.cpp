#include "apps/interactive/sfinter.h"

#include <string>
#include <string_view>

#include "apps/shared/chronology_outputs.h"
#include "apps/shared/index_mode.h"
#include "apps/shared/option_dialogue.h"
#include "apps/shared/program_frame.h"
#include "apps/shared/read_data_set.h"
#include "apps/shared/run_loop.h"
#include "apps/shared/series_processing.h"
#include "common/console.h"
#include "common/fortran_format.h"
#include "common/text.h"
#include "common/units.h"
#include "files/character_helpers.h"

namespace interactive {

using common::Dialog;

namespace {

// The waits of the name loop: Return asks for a name again, "/" ends the run.
void WaitOrQuit(Dialog& d, std::string_view text) {
  d.ScreenText(text);
  d.ReadTyped(1);
}

}  // namespace

void AskDataFile(drivers::ProgramRun& run) {
  Dialog& d = run.dialog;
  std::string& DATFIL = run.store.DATFIL;
  for (;;) {
    files::blank(DATFIL);
    d.Screen("");
    // "/" alone quits; a longer answer starting with "/" is a path.
    const common::TypedAnswer answer =
        d.AskTyped("Enter data file name to process (/ to exit)", 50, common::Slash::kAlone);
    DATFIL = answer.text;

    // No file name holds a control character (a NUL would cut the name
    // short of what was typed): such an entry is unreadable.
    if (answer.blank || files::HasControlCharacter(DATFIL)) {
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
    // No output of the run may be written over the data it reads.
    d.units().Protect(std::string(common::TrimRight(DATFIL)));
    return;
  }
}

void sfinter(drivers::ProgramRun& run) {
  drivers::StartUp(run);

  for (;;) {
    AskDataFile(run);
    drivers::OpenReport(run);

    // Reading and checking the data set.
    if (drivers::ReadAndCheckDataSet(run) == drivers::DataSetOutcome::kTryAgain) continue;
    break;
  }

  // Index mode, power transformation and series processing.
  drivers::AskIndexMode(run.dialog, run.variant(), run.options);
  drivers::ProcessSeries(run);

  // Curve-fit and chronology options.
  drivers::CurveFitDialogue(run);

  // The runs of the engine, then the chronology and spectra files.
  drivers::RunUntilDone(run, drivers::RcsRedoDialogue);
  drivers::KeepLastRun(run);
  drivers::WriteColumnTable(run);
  drivers::WriteDecadeChronologies(run);
  drivers::WriteSpectra(run, run.store.STDCHR);
  run.dialog.NormalEnd();
}

}  // namespace interactive
