#include "apps/shared/read_data_set.h"

#include <string>

#include "apps/shared/data_set_summary.h"
#include "common/text.h"
#include "common/units.h"
#include "files/character_helpers.h"
#include "files/input_menu.h"

namespace drivers {

int ReadBlock(ProgramRun& run) {
  common::Dialog& dialog = run.dialog;
  common::RunStorage& store = run.store;
  // The matrices start empty and grow as the series are read.
  for (common::SeriesMatrix* m : {&store.SERMAT, &store.IDXMAT}) {
    m->Fill(common::kMissing);
    m->SetRows(0);
  }
  int RDFAIL = 0;
  const std::string name(common::TrimRight(store.DATFIL));
  // A name holding a control character names no file of its own (a NUL
  // would cut it short): it is not opened.
  if (files::HasControlCharacter(name) || !dialog.units().Open(common::kDataUnit, name, common::Units::Mode::kRead)) {
    dialog.Screen("");
    if (run.variant() == common::ProgramVariant::kBatch) {
      dialog.Screen(" WTF! Error opening data file: " + store.DATFIL);
      // The report says why the run ends here, as for a data set whose read
      // failed; the cumulative files are closed checked, so a record they
      // lose on closing is named rather than lost unseen.
      dialog.Report("");
      dialog.Report(" READING THE DATA SET " + name + " FAILED: IT IS NOT PROCESSED.");
      for (int unit : {common::kStdCrnsUnit, common::kSsfCrnsUnit, common::kStdStbCrnsUnit, common::kSsfStbCrnsUnit}) {
        dialog.CloseOrStop(unit);
      }
      dialog.WaitReturn("");
      dialog.Stop(common::ExitStatus::kAbnormal);
    }
    dialog.Screen(" The data file " + name + " cannot be opened.");
    store.NS = 0;
    files::FillWholeSetRow(store.IYTAB, store.NS);
    return files::kMenuFailed;
  }
  files::inmenu(dialog, store.SERMAT, store.IYTAB, store.SERID, common::kDataUnit, store.NS, store.TITLE, RDFAIL,
                run.variant());
  common::SizeToDataSet(store);
  return RDFAIL;
}

DataSetOutcome ReadAndCheckDataSet(ProgramRun& run) {
  common::Dialog& dialog = run.dialog;
  common::RunStorage& store = run.store;
  const int RDFAIL = ReadBlock(run);
  const bool batch = run.variant() == common::ProgramVariant::kBatch;
  // The batch program cannot ask again: "Q" at the menu ends its run, and so
  // does a data set that was not read whole, after the reader's message.
  // What a failed read delivered is never processed.
  if (batch && RDFAIL == files::kMenuQuit) dialog.AbnormalEnd();
  if (batch && (RDFAIL != 0 || store.NS < 1)) {
    dialog.Screen("");
    dialog.Report("");
    dialog.Both(" Reading the data set ", common::Verbatim{std::string(common::TrimRight(store.DATFIL))},
                " failed: it is not processed.");
    dialog.AbnormalEnd();
  }
  if (batch) {
    dialog.Report("");
    dialog.Report("DATA TITLE: " + store.TITLE[1]);
  }

  MissingValueTest(dialog, store.SERMAT, store.IYTAB, store.SERID, store.NS);
  dialog.units().Close(common::kDataUnit);

  if (RDFAIL != 0 && !batch) {
    dialog.Screen("");
    const char answer = dialog.AskTyped("[T]ry again or [Q]uit the program now?", 1).first();
    if (answer == 'T' || answer == 't') return DataSetOutcome::kTryAgain;
    dialog.Screen("");
    dialog.Stop(common::ExitStatus::kAbnormal, " Program Terminating");
  }

  SeriesSummary(dialog, store.IYTAB, store.NS);
  return DataSetOutcome::kReady;
}

}  // namespace drivers
