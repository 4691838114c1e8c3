// kestrane: the interactive program (one data file per run).
#include <memory>

#include "apps/interactive/sfinter.h"
#include "common/console.h"
#include "common/storage.h"
#include "common/units.h"

int main() {
  common::TerminalConsole console;
  common::Units units;
  common::Dialog dialog(console, units);
  auto store = std::make_unique<common::RunStorage>();
  try {
    interactive::sfinter(dialog, *store);
  } catch (const common::ProgramStop& stop) {
    return stop.status;
  }
}
