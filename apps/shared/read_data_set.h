// Reading and checking a data set: the read block, the missing-value test,
// the interactive program's try-again question after a failed read and the
// series summary.
#pragma once

#include "apps/shared/program_run.h"

namespace drivers {

// The read block: fills SERMAT and IDXMAT with -999.0, opens unit 10 on
// DATFIL and reads the data set through the input data format menu.
// Returns RDFAIL (1 when reading failed). A file that cannot be opened
// gives RDFAIL 1 with a message in the interactive program; the batch
// program shows "WTF! Error opening data file: " and the name, waits for
// Return and stops (status 1).
int ReadBlock(ProgramRun& run);

enum class DataSetOutcome {
  kReady,     // read and checked; the series summary has been printed
  kTryAgain,  // reading failed and the user chose [T]ry again: back to the name loop
};

// The read block (batch: "Q" at the input menu ends the run abnormally, and
// so does a failed read, after a line naming the data set on the screen and
// in the report; then the report line "DATA TITLE: " with the first title
// line), the missing-value test (a data set with negative values stops the
// program), unit 10 closed, the interactive program's try-again question
// when reading failed ("Q" or any other answer ends the program) and the
// series summary.
DataSetOutcome ReadAndCheckDataSet(ProgramRun& run);

}  // namespace drivers
