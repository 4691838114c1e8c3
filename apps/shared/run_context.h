// What a driver lends its dialogue for one run: the console, the storage,
// the run options, the restart state, and which program is asking. The main
// program owns every one of them; the dialogue only reads and writes them.
#pragma once

#include "common/console.h"
#include "common/program_variant.h"
#include "common/run_options.h"
#include "common/storage.h"

namespace drivers {

struct RunContext {
  common::Dialog& dialog;
  common::RunStorage& store;
  common::RunOptions& options;
  common::RestartState& restart;
  common::ProgramVariant variant;
  // The batch program asks its once-only questions (index mode, mean,
  // window, stabilisation, convergence) for its first data set alone; every
  // data set of the interactive program is a first one.
  bool first_data_set = true;
};

}  // namespace drivers
