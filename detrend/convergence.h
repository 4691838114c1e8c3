// Signal-free convergence statistics: sfconv.
#pragma once

#include <span>

namespace detrend {

// sfconv: the four statistics of the absolute year-by-year differences d
// between two successive chronologies (the caller takes the absolute
// values), over the years whose sample depth SSize is above 0 (m of them):
//   mean     sum / m                 median   hinges median
//   wmean    sum of d sqrt(N) / sqrt(D), divided by m (not by the weights)
//   wmedian  hinges median of the weighted differences
// with N the year's depth and D the largest depth of all years. `wk` (at
// least d.size() values) is left holding the sorted weighted differences.
// No year to compare (m = 0): all four are 0.
struct SfconvResult {
  float mean;
  float median;
  float wmean;
  float wmedian;
};
SfconvResult sfconv(std::span<const float> d, std::span<float> wk, std::span<const int> SSize);

}  // namespace detrend
