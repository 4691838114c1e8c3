// The unit a reader of a data file reads from.
#pragma once

#include "common/units.h"

namespace files {

// Unit LUN when it is open for reading; nullptr when nothing is open on it
// or it is open for writing, and the reader has nothing to read.
inline common::Unit* ReadingUnit(common::Units& units, int LUN) {
  common::Unit* unit = units.Get(LUN);
  return unit != nullptr && unit->reading() ? unit : nullptr;
}

}  // namespace files
