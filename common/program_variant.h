// The two programs share their code; where they differ, this is passed down.
#pragma once

namespace common {

enum class ProgramVariant { kInteractive, kBatch };

}  // namespace common
