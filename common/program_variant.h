// The two programs share their code; where they differ, this is passed down.
#pragma once

namespace common {

enum class ProgramVariant { kInteractive, kBatch };

// The version text of each program: printed in its banner and termination
// lines (padded to 15 characters) and glued into its report file names.
constexpr const char* VersionText(ProgramVariant variant) {
  return variant == ProgramVariant::kBatch ? "KestraneBatch" : "Kestrane_2019";
}

}  // namespace common
