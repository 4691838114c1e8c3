// sfinter: the interactive program, one data file per run.
#pragma once

#include "apps/shared/program_run.h"

namespace interactive {

// Asks for the data file until a readable file is named; "/" stops.
void AskDataFile(drivers::ProgramRun& run);

// The whole run; ends only through the stop routine.
[[noreturn]] void sfinter(drivers::ProgramRun& run);

}  // namespace interactive
