// kestrane: the interactive program (one data file per run).
#include "apps/interactive/sfinter.h"
#include "apps/shared/program_frame.h"

int main() { return drivers::RunProgram(common::ProgramVariant::kInteractive, interactive::sfinter); }
