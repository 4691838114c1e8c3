// Reading and checking the data set: the read block, the missing-value
// test, the try-again question after a failed read and the series summary.
#pragma once

#include "apps/interactive/sfinter.h"

namespace interactive {

inline constexpr int kDataUnit = 10;  // the data file while it is read

// The read block: opens unit 10 on DATFIL, fills SERMAT and IDXMAT with
// -999.0 and reads the data set through the input data format menu.
// Returns RDFAIL (1 when reading failed, also when the file cannot be opened).
int ReadBlock(Run& run);

enum class DataSetOutcome {
  kReady,     // read and checked; the series summary has been printed
  kTryAgain,  // reading failed and the user chose [T]ry again: back to the name loop
};

// The read block, the missing-value test (a data set with negative values
// stops the program), unit 10 closed, the try-again question when reading
// failed ("Q" or any other answer ends the program) and the series summary.
DataSetOutcome ReadAndCheckDataSet(Run& run);

}  // namespace interactive
