// kestrane_batch: the batch program (every data file of a list file).
#include "apps/batch/sfbatch.h"
#include "apps/shared/program_frame.h"

int main() { return drivers::RunProgram(common::ProgramVariant::kBatch, batch::sfbatch); }
