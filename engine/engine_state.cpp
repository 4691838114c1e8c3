#include "common/limits.h"
#include "engine/sigfre.h"

namespace engine {

using common::MAXSER;
using common::MAXYRS;

EngineState::EngineState(common::ProgramVariant v)
    : variant(v),
      RCSTOR(static_cast<std::size_t>(MAXYRS) * 2 * kRegionalCurveSlots, common::kMissing),
      RC(MAXYRS, common::kMissing),
      SERMNS(MAXSER + 1, 0.0f),
      IDXSD1(MAXSER + 1, 0.0f),
      NYR(MAXSER + 1, 0),
      MSLEN(MAXYRS, 0.0f),
      MTAGE(MAXYRS, 0.0f),
      STDORG(MAXYRS, 0.0f),
      PRVCHR(MAXYRS, 0.0f),
      ITRDIF(MAXYRS, kMaxIterations + 1),
      OPTTAB(MAXSER + 1),
      robsum(v) {}

}  // namespace engine
