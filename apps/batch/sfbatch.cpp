#include "apps/batch/sfbatch.h"

#include <algorithm>
#include <optional>

#include "apps/shared/chronology_outputs.h"
#include "apps/shared/index_mode.h"
#include "apps/shared/option_dialogue.h"
#include "apps/shared/program_frame.h"
#include "apps/shared/read_data_set.h"
#include "apps/shared/run_loop.h"
#include "apps/shared/series_processing.h"
#include "common/fortran_format.h"
#include "common/limits.h"
#include "common/text.h"
#include "common/units.h"
#include "files/character_helpers.h"
#include "files/pith.h"

namespace batch {

using common::Dialog;

namespace {

constexpr std::size_t kNameLength = 50;  // LSTFIL and DATFIL

const std::string kStars = " " + std::string(50, '*');

// The cumulative chronology files, each on its own unit for the whole run,
// in the order of the decade chronologies: standard, signal-free, stabilised
// standard, stabilised signal-free.
constexpr int kCumulativeUnits[] = {common::kStdCrnsUnit, common::kSsfCrnsUnit, common::kStdStbCrnsUnit,
                                    common::kSsfStbCrnsUnit};
constexpr const char* kCumulativeNames[] = {"STD_Crns.txt", "SSF_Crns.txt", "STDSTB_Crns.txt", "SSFSTB_Crns.txt"};

bool IsYes(char c) { return c == 'Y' || c == 'y'; }

// A line between two rows of stars, each after a blank line, on the screen
// and (upper case but for Verbatim pieces) in the report.
template <typename... Pieces>
void StarredLine(Dialog& d, const Pieces&... line) {
  d.Screen("");
  d.Report("");
  d.Both(kStars);
  d.Screen("");
  d.Report("");
  d.Both(line...);
  d.Screen("");
  d.Report("");
  d.Both(kStars);
}

// The cumulative chronology file that `name` reaches, by any path or link,
// or nullptr.
const char* CumulativeFileOf(const std::string& name) {
  for (const char* cumulative : kCumulativeNames) {
    if (common::SameFile(name, cumulative)) return cumulative;
  }
  return nullptr;
}

// The data file a list line names (cut to 50 characters), or nullopt for a
// blank line.
std::optional<std::string> ListedDataFile(const std::string& line) {
  std::string DATFIL = common::Fixed(line, kNameLength);
  if (common::IsBlank(DATFIL)) return std::nullopt;  // a blank line names no data set
  return DATFIL;
}

}  // namespace

void OpenCumulativeFiles(Dialog& dialog) {
  for (std::size_t k = 0; k < std::size(kCumulativeUnits); ++k) {
    dialog.OpenOrStop(kCumulativeUnits[k], kCumulativeNames[k]);
  }
}

void AskListFile(Dialog& d, ListState& list) {
  for (;;) {
    files::blank(list.LSTFIL);
    d.Screen("");
    list.LSTFIL = d.Ask("Signal Free list file name", kNameLength, common::kListMarkerColumn);
    const std::string name(common::TrimRight(list.LSTFIL));
    const bool readable = !files::HasControlCharacter(name) && common::ReadableFileExists(name);
    // The cumulative files are written anew once the list is read: a list
    // that is one of them would be lost.
    if (const char* cumulative = readable ? CumulativeFileOf(name) : nullptr) {
      d.Screen("");
      d.Screen(" Signal Free list file is the cumulative file " + std::string(cumulative) + ": " + list.LSTFIL);
      continue;
    }
    if (readable && d.units().Open(common::kListUnit, name, common::Units::Mode::kRead)) {
      d.units().Protect(name);
      d.Screen("");
      d.Screen(" Signal Free list file opened: " + list.LSTFIL);
      return;
    }
    d.Screen("");
    d.Screen(" Signal Free list file not found: " + list.LSTFIL);
  }
}

void ProtectListedDataFiles(Dialog& d) {
  common::Unit* list = d.units().Get(common::kListUnit);
  while (const std::optional<std::string> line = list->NextRecord()) {
    const std::optional<std::string> DATFIL = ListedDataFile(*line);
    if (!DATFIL) continue;
    const std::string name(common::TrimRight(*DATFIL));
    if (files::HasControlCharacter(name)) continue;  // refused when its turn comes
    if (const char* cumulative = CumulativeFileOf(name)) {
      d.Screen("");
      d.Screen(" Data file " + name + " is the cumulative file " + cumulative + ", which the run writes anew.");
      d.AbnormalEnd();
    }
    d.units().Protect(name);
  }
  list->Rewind();
}

bool NextDataFile(drivers::ProgramRun& run) {
  common::Unit* list = run.dialog.units().Get(common::kListUnit);
  for (;;) {
    const std::optional<std::string> line = list->NextRecord();
    if (!line) return false;
    const std::optional<std::string> DATFIL = ListedDataFile(*line);
    if (!DATFIL) continue;
    run.store.DATFIL = *DATFIL;
    // No output of the run may be written over a data file it reads.
    run.dialog.units().Protect(std::string(common::TrimRight(run.store.DATFIL)));
    return true;
  }
}

void ShowDataSetBanner(drivers::ProgramRun& run, const ListState& list) {
  Dialog& d = run.dialog;
  StarredLine(d, " Data set number ", common::fmt::Print("(i3)", list.NSET), " being processed: ",
              common::Verbatim{run.store.DATFIL});
  d.Screen("");
  d.WaitReturn(" Hit <RET> to continue and signal free your heart away");
}

void DataSetDialogue(drivers::ProgramRun& run, const ListState& list) {
  Dialog& d = run.dialog;
  common::RunOptions& o = run.options;
  if (run.first_data_set) drivers::AskIndexMode(d, run.variant(), o);
  drivers::EchoIndexMode(d, o, run.variant());
  drivers::ProcessSeries(run);

  if (run.first_data_set || !IsYes(list.SAMEYN)) {
    drivers::CurveFitDialogue(run);
    return;
  }
  // The kept option. A regional curve asks for the pith offsets of this
  // data set: those of another set would be matched to these series by
  // position.
  if (o.RCSFLG == 1) {
    files::pithof(common::MAXSER, common::kPithUnit, run.store.IPITH, o.PITHFL, run.store.DATFIL, run.store.IYTAB,
                  run.store.NS, run.store.SERID, d);
  }
  drivers::ChronologyOptions(run);
}

bool AskRedo(Dialog& d) {
  d.Screen("");
  d.Screen(kStars);
  d.Screen("");
  // "/" is an ordinary answer here: no.
  const std::string REDOYN =
      d.AskTyped("Want to try a different curve fit option? y/<n>", 4, common::Slash::kAnswer).text;
  d.Screen("");
  d.Screen(kStars);
  return REDOYN == "Y   " || REDOYN == "y   ";
}

void RunDataSet(drivers::ProgramRun& run, const ListState& list) {
  Dialog& d = run.dialog;
  common::RunOptions& o = run.options;
  for (;;) {
    drivers::RunUntilDone(run, drivers::RcsRedoDialogue);
    drivers::WriteSpectra(run, run.store.ORGCHR);
    if (!AskRedo(d)) break;

    StarredLine(d, " Signal free curve fit option changed for data set: ", common::fmt::Print("(i3)", list.NSET));
    o.SPLEND = o.chosen_end;
    o.ISTAB = 1;
    // A redo is a data set's first run again: the engine's first-call steps
    // and standard chronology belong to the new option.
    run.restart.KRETRY = 0;
    drivers::CurveFitDialogue(run);
  }
  drivers::KeepLastRun(run);
  drivers::WriteColumnTable(run);
  drivers::WriteDecadeChronologies(run, kCumulativeUnits);
}

void AskNextSet(drivers::ProgramRun& run, ListState& list) {
  Dialog& d = run.dialog;
  d.Screen("");
  d.Screen(kStars);
  d.Screen("");
  d.Screen(" Detrend the next data set in the same way?");
  d.Screen(" => BE SURE TO PROCEED IN THE WAY YOU WANT!");
  // "/" is an ordinary answer here: neither yes nor no.
  const common::TypedAnswer answer =
      d.AskTyped("This is your default now. So, Yes or No? <Y>/N", 1, common::Slash::kAnswer);
  d.Screen("");
  d.Screen(kStars);
  list.SAMEYN = answer.blank ? 'y' : answer.first();
  if (IsYes(list.SAMEYN)) {
    d.Screen("");
    d.Screen(" Same signal free curve fit option used next: " + common::fmt::Print("(i5)", run.options.NOPT));
    d.Screen("");
    d.Screen(kStars);
  } else if (list.SAMEYN == 'N' || list.SAMEYN == 'n') {
    d.Screen("");
    d.Screen(" Different signal free curve fit option used next");
    d.Screen("");
    d.Screen(kStars);
  }
  run.options.ISTAB = 1;
  run.options.SPLEND = run.options.chosen_end;
}

void sfbatch(drivers::ProgramRun& run) {
  Dialog& dialog = run.dialog;
  ListState list;
  drivers::StartUp(run);
  AskListFile(dialog, list);
  ProtectListedDataFiles(dialog);
  OpenCumulativeFiles(dialog);

  while (NextDataFile(run)) {
    drivers::OpenReport(run);
    ++list.NSET;
    run.first_data_set = list.NSET == 1;
    ShowDataSetBanner(run, list);

    // Pith offsets belong to one data set: they are asked for again.
    std::ranges::fill(run.store.IPITH, 0);
    run.options.PITHFL = 0;
    drivers::ReadAndCheckDataSet(run);
    DataSetDialogue(run, list);
    RunDataSet(run, list);
    // Every file of the data set is written: one that lacks a series or a
    // chronology ends the run here, named in the report too.
    dialog.EndIfIncomplete();

    dialog.CloseOrStop(common::kReportUnit);
    dialog.CloseOrStop(common::kCensoredUnit);
    AskNextSet(run, list);
  }
  dialog.NormalEnd();
}

}  // namespace batch
