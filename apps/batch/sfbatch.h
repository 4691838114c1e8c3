// sfbatch: the batch program, every data file named in a list file.
#pragma once

#include <string>

#include "apps/shared/program_run.h"
#include "common/console.h"

namespace batch {

// Where the batch program is in its list file, carried from one data set
// to the next.
struct ListState {
  std::string LSTFIL = std::string(50, ' ');  // the list file name as typed
  int NSET = 0;                               // number of the data set in hand, from 1
  char SAMEYN = ' ';                          // the answer to the next-set question
};

// Opens the four cumulative chronology files, emptied, for the whole run:
// only once the list file is open and its data files are protected.
void OpenCumulativeFiles(common::Dialog& dialog);

// Asks for the list file until one opens on unit 8 (there is no way out but
// end of input: "/" is looked up as a file name). A list file that is one of
// the cumulative files is refused with a line saying so and asked again.
void AskListFile(common::Dialog& dialog, ListState& list);

// Before the cumulative files are emptied: every data file the list names
// is kept from being opened for writing by the run, and one that is a
// cumulative file is named and ends the run abnormally, nothing emptied.
// The list is read from its start again afterwards.
void ProtectListedDataFiles(common::Dialog& dialog);

// Reads the next list line that is not blank into DATFIL (cut to 50
// characters); false at the end of the list.
bool NextDataFile(drivers::ProgramRun& run);

// The data-set banner with its number, on the screen and in the report, and
// the wait before the data set is read.
void ShowDataSetBanner(drivers::ProgramRun& run, const ListState& list);

// The options of a data set after its series summary: the index mode (first
// data set only) and its echo, the series processing, the curve-fit
// dialogue (first data set, or when the next-set answer was not yes; a kept
// regional curve asks for its pith offsets again) and the chronology options.
void DataSetDialogue(drivers::ProgramRun& run, const ListState& list);

// The runs of a data set and its files: the run loop, the spectra, then
// "Want to try a different curve fit option?" until the answer is no (a yes
// asks the curve-fit dialogue again and runs again); then the column table
// and the decade chronologies, each chronology appended to its cumulative
// file too.
void RunDataSet(drivers::ProgramRun& run, const ListState& list);

// "Want to try a different curve fit option?" (screen only): true only for
// "Y" or "y" alone in the 4-character answer.
bool AskRedo(common::Dialog& dialog);

// "Detrend the next data set in the same way?": sets SAMEYN, then ISTAB to
// 1 and SPLEND to the end flag last chosen for the next data set.
void AskNextSet(drivers::ProgramRun& run, ListState& list);

// The whole run; ends only through the stop routine.
[[noreturn]] void sfbatch(drivers::ProgramRun& run);

}  // namespace batch
