#include "apps/interactive/read_data_set.h"

#include <string>

#include "common/text.h"
#include "common/units.h"
#include "apps/shared/data_set_summary.h"
#include "files/input_menu.h"

namespace interactive {

int ReadBlock(Run& run) {
  common::Dialog& dialog = run.dialog;
  common::RunStorage& store = run.store;
  store.SERMAT.Fill(common::kMissing);
  store.IDXMAT.Fill(common::kMissing);
  int RDFAIL = 0;
  const std::string name(common::TrimRight(run.DATFIL));
  if (!dialog.units().Open(kDataUnit, name, common::Units::Mode::kRead)) {
    dialog.Screen("");
    dialog.Screen(" The data file " + name + " cannot be opened.");
    store.NS = 0;
    files::FillWholeSetRow(store.IYTAB, store.NS);
    return files::kMenuFailed;
  }
  files::inmenu(dialog, store.SERMAT, store.IYTAB, store.SERID, kDataUnit, store.NS, store.TITLE, RDFAIL,
                common::ProgramVariant::kInteractive);
  return RDFAIL;
}

DataSetOutcome ReadAndCheckDataSet(Run& run) {
  common::Dialog& dialog = run.dialog;
  common::RunStorage& store = run.store;
  const int RDFAIL = ReadBlock(run);

  drivers::MissingValueTest(dialog, store.SERMAT, store.IYTAB, store.SERID, store.NS,
                          common::ProgramVariant::kInteractive);
  dialog.units().Close(kDataUnit);

  if (RDFAIL != 0) {
    dialog.Screen("");
    const std::string answer = dialog.Ask("[T]ry again or [Q]uit the program now?", 1);
    dialog.QuitIfSlash(answer);
    if (answer[0] == 'T' || answer[0] == 't') return DataSetOutcome::kTryAgain;
    dialog.Screen("");
    dialog.Stop(common::ExitStatus::kAbnormal, " Program Terminating");
  }

  drivers::SeriesSummary(dialog, store.IYTAB, store.NS);
  return DataSetOutcome::kReady;
}

}  // namespace interactive
