// What frames a run of either program: the program frame that owns what a
// run lends out, the banner and the gap-filling warning, and the report file
// of a data set. The normal and abnormal ends are the dialogue's.
#pragma once

#include <string>

#include "apps/shared/program_run.h"
#include "common/console.h"
#include "common/program_variant.h"

namespace drivers {

// A whole program: one of the two drivers over the run the frame made.
using ProgramBody = void (*)(ProgramRun& run);

// The main program of either driver: the terminal console, the units, the
// dialogue of `variant` (the one place the run keeps which program it is)
// and everything else the run lends out, gathered once into the run that
// `body` is given, run through the guard that ends it by its stop's status,
// or by status 1 with every unit flushed and closed when memory runs out or
// anything else unexpected is thrown.
int RunProgram(common::ProgramVariant variant, ProgramBody body);

// The program's version text padded to 15 characters.
std::string Version(common::ProgramVariant variant);

// The start of a run: the plotting library's data directory, the
// regional-curve flags and pith offsets off, the banner and the warning.
void StartUp(ProgramRun& run);

// The banner box of the dialogue's program with the limits and the
// version, then the gap-filling warning box (screen only).
void ShowBanner(common::Dialog& dialog);

// Opens the report file of the data set named in DATFIL on unit 9 (the
// output stem of the name, "_out_v", the version text and ".txt", blanks squeezed out; written
// anew), writes its header lines (the interactive program adds the data
// file's name) and sets KRETRY to 0. A report that cannot be opened or
// written ends the run abnormally, naming it.
void OpenReport(ProgramRun& run);

}  // namespace drivers
