#include "engine/engine_state.h"

#include <algorithm>

#include "common/limits.h"

namespace engine {

using common::MAXSER;
using common::MAXYRS;

namespace {

std::vector<float> YearVector() { return std::vector<float>(MAXYRS, 0.0f); }

}  // namespace

EngineState::EngineState(common::ProgramVariant v)
    : RAWORG(1, 1),
      CRVORG(1, 1),
      IDXORG(1, 1),
      BWTMAT(1, 1),
      FINIDX(1, 1),
      FINSFM(1, 1),
      FINCRV(1, 1),
      FINRIX(1, 1),
      SFSMAT(1, 1),
      RC(MAXYRS, common::kMissing),
      SERMNS(MAXSER + 1, 0.0f),
      IDXSD1(MAXSER + 1, 0.0f),
      NYR(MAXSER + 1, 0),
      MSLEN(YearVector()),
      MTAGE(YearVector()),
      STDORG(YearVector()),
      PRVCHR(YearVector()),
      ITRDIF(1, kMaxIterations + 1),
      spread(YearVector()),
      vratio(YearVector()),
      stab_in(YearVector()),
      stab_out(YearVector()),
      by_age(MAXYRS, common::kMissing),
      lanes(detrend::kMaxLanes),
      robsum(v) {
  robsum.pool = &pool;
  Lane(0);
}

EngineState::SeriesLane::SeriesLane() : sf(YearVector()), curve(YearVector()), index(YearVector()) {}

void EngineState::Prepare(int nyrs, int ns) {
  if (nyrs == rows_ && ns == cols_) return;
  rows_ = nyrs;
  cols_ = ns;
  for (common::SeriesMatrix* m : {&RAWORG, &CRVORG, &IDXORG, &FINIDX, &FINSFM, &FINCRV, &FINRIX, &SFSMAT}) {
    *m = common::SeriesMatrix(nyrs, ns);
  }
  BWTMAT = common::SeriesMatrix(nyrs, std::max(ns, 4));  // the mean routine writes columns 1-4
  ITRDIF = common::Block(nyrs, kMaxIterations + 1);
  OPTTAB.assign(static_cast<std::size_t>(ns + 1) * (kMaxIterations + 1), 0);
}

}  // namespace engine
