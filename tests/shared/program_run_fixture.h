// The run a program's frame hands its driver (dialogue, storage, options,
// restart state, engine state and plotter), for driving the shared run loop
// and outputs in-process.
#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "apps/shared/run_loop.h"
#include "plot/plotter.h"
#include "support/dialog_harness.h"

// The run of the program `variant`, with a plotter that draws nothing and
// the report open.
struct ProgramRunFixture {
  explicit ProgramRunFixture(common::ProgramVariant variant, std::vector<std::string> answers = {})
      : harness(std::move(answers), variant),
        store(std::make_unique<common::RunStorage>()),
        options(std::make_unique<common::RunOptions>()),
        restart(std::make_unique<common::RestartState>()),
        state(std::make_unique<engine::EngineState>(variant)),
        run(harness.dialog(), *store, *options, *restart, *state, plotter) {
    harness.OpenReport();
  }

  // Series i kept in the working copy from `first_year`; SERMAT holds what
  // an earlier engine call left (calendar rows, another constant).
  void Keep(int i, int first_year, const std::vector<float>& values) {
    for (std::size_t k = 0; k < values.size(); ++k) {
      store->SERWRK.at(static_cast<int>(k) + 1, i) = values[k];
      store->SERMAT.at(static_cast<int>(k) + 1, i) = 42.0f;
    }
    store->IYTAB.IFY(i) = first_year;
    store->IYTAB.ILY(i) = first_year + static_cast<int>(values.size()) - 1;
    store->IYTAB.NYR(i) = static_cast<int>(values.size());
    restart->CRVMIN[static_cast<std::size_t>(i)] = 7.0f;
    store->NS = std::max(store->NS, i);
  }

  test_support::DialogHarness harness;
  std::unique_ptr<common::RunStorage> store;
  std::unique_ptr<common::RunOptions> options;
  std::unique_ptr<common::RestartState> restart;
  std::unique_ptr<engine::EngineState> state;
  plot::NullPlotter plotter;
  drivers::ProgramRun run;
};
