#include "engine/chronology_means.h"

#include <algorithm>

#include "detrend/mean_chronology.h"
#include "detrend/order_stats.h"
#include "engine/stats_report.h"

namespace engine::detail {

void MeanChronology(EngineCall& call, const common::SeriesMatrix& x, std::span<float> crn, std::span<float> spr,
                    int MEANMD) {
  common::SeriesMatrix& bwt = call.state.BWTMAT;
  for (int c = 1; c <= call.NS; ++c) {
    if (bwt.allocated(c)) std::ranges::fill(bwt.column(c), common::kMissing);
  }
  const detrend::RobsumStatus status = detrend::ROBSUM(
      x, bwt, call.NYRS, call.NS, crn, spr, call.Years(call.state.vratio), call.Depth(), MEANMD, call.state.robsum);
  StopOnRobsumFailure(call.dialog, status, call.NS, call.state.robsum.maxnum);
}

float MeanFrom(std::span<const float> x, int first_row) {
  const std::size_t skip = static_cast<std::size_t>(std::max(first_row - 1, 0));
  if (skip >= x.size()) return detrend::meansd(x).xm;
  return detrend::meansd(x.subspan(skip)).xm;
}

void Recentre(std::span<float> x, float m) {
  for (float& v : x) v = std::max(v - m + 1.0f, 0.0f);
}

void ClipAtZero(std::span<float> x) {
  for (float& v : x) v = std::max(v, 0.0f);
}

}  // namespace engine::detail
