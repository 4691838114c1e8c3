#include "detrend/convergence.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "detrend/order_stats.h"

namespace detrend {

SfconvResult sfconv(std::span<const float> d, std::span<float> wk, std::span<const int> SSize) {
  const std::size_t n = d.size();
  int depth_max = 0;
  for (std::size_t i = 0; i < n; ++i) depth_max = std::max(depth_max, SSize[i]);

  std::size_t m = 0;
  float sum = 0.0f;
  for (std::size_t i = 0; i < n; ++i) {
    if (SSize[i] <= 0) continue;
    wk[m++] = d[i];
    sum += d[i];
  }
  if (m == 0) return {0.0f, 0.0f, 0.0f, 0.0f};
  SfconvResult r{};
  const auto fm = static_cast<float>(m);
  r.mean = sum / fm;
  r.median = HingesMedian(wk.first(m));  // wk is filled again below

  const float root_max = std::sqrt(static_cast<float>(depth_max));
  m = 0;
  float wsum = 0.0f;
  for (std::size_t i = 0; i < n; ++i) {
    if (SSize[i] <= 0) continue;
    const float w = d[i] * std::sqrt(static_cast<float>(SSize[i])) / root_max;
    wk[m++] = w;
    wsum += w;
  }
  r.wmean = wsum / fm;
  r.wmedian = hinges(wk.first(m)).median;
  return r;
}

}  // namespace detrend
