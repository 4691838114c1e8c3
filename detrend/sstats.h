// sstats: descriptive statistics of one series, in single precision.
#pragma once

#include <span>

namespace detrend {

// With n = x.size() and d = x(i) - mean:
//   mean  = sum x / n
//   mad   = sum |d| / n                     (mean absolute deviation)
//   var   = sum d^2 / (n - 1),  sd = sqrt(var)
//   skew  = sum d^3 / (sd^3 n) * sqrt(n (n-1)) / (n-2) * (1 + 8.5/n)  (factor 1 when n < 3)
//   kurt  = sum d^4 / (var^2 n) * n^2 (n+1) / ((n-1)(n-2)(n-3))       (factor 1 when n < 4; no 3 subtracted)
//   msens = sum over pairs with (x(i) + x(i+1)) / 2 > 0 of
//           |x(i+1) - x(i)| / ((x(i) + x(i+1)) / 2), divided by n - 1
//   r1    = sum z(i) z(i+1) / n, z standardised with the population sd
// Values that cannot be computed are -99.0 (common::kNoStatistic): all eight
// for n = 0, all but the mean for n = 1, sd, skew, kurt and r1 when var <= 0.
// x is only read.
// Skewness and kurtosis of `count` values from the sums of their third and
// fourth powers of deviations, with the small-sample factors (skewness from 3
// values, kurtosis from 4). Shared by the series and chronology statistics.
struct Shape {
  float skew;
  float kurt;
};
Shape ShapeOfMoments(float sum3, float sum4, float sd, float var, int count);

struct SeriesStats {
  float mean;
  float mad;
  float sd;
  float var;
  float skew;
  float kurt;
  float msens;
  float r1;
};
SeriesStats sstats(std::span<const float> x);

}  // namespace detrend
