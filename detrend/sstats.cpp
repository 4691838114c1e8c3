#include "detrend/sstats.h"

#include <cmath>
#include <cstddef>

#include "common/limits.h"

namespace detrend {

Shape ShapeOfMoments(float sum3, float sum4, float sd, float var, int count) {
  const float n = static_cast<float>(count);
  float skew_factor = 1.0f;
  if (count >= 3) skew_factor = std::sqrt(n * (n - 1.0f)) / (n - 2.0f) * (1.0f + 8.5f / n);
  float kurt_factor = 1.0f;
  if (count >= 4) kurt_factor = n * n * (n + 1.0f) / ((n - 1.0f) * (n - 2.0f) * (n - 3.0f));
  return Shape{sum3 / (sd * sd * sd * n) * skew_factor, sum4 / (var * var * n) * kurt_factor};
}

SeriesStats sstats(std::span<const float> x) {
  constexpr float kNone = common::kNoStatistic;
  SeriesStats s{kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone};
  const std::size_t count = x.size();
  if (count == 0) return s;
  const float n = static_cast<float>(count);

  float sum = 0.0f;
  for (float v : x) sum += v;
  s.mean = sum / n;
  if (count == 1) return s;

  float sum_abs = 0.0f, sum2 = 0.0f, sum3 = 0.0f, sum4 = 0.0f;
  for (float v : x) {
    const float d = v - s.mean;
    const float d2 = d * d;
    sum_abs += std::fabs(d);
    sum2 += d2;
    sum3 += d2 * d;
    sum4 += d2 * d2;
  }
  s.mad = sum_abs / n;
  s.var = sum2 / (n - 1.0f);

  // Mean sensitivity: every pair counts in the divisor, only pairs with a
  // positive average in the sum.
  float sens = 0.0f;
  for (std::size_t i = 0; i + 1 < count; ++i) {
    const float avg = (x[i] + x[i + 1]) / 2.0f;
    if (avg > 0.0f) sens += std::fabs(x[i + 1] - x[i]) / avg;
  }
  s.msens = sens / (n - 1.0f);

  if (s.var <= 0.0f) return s;

  s.sd = std::sqrt(s.var);
  const Shape shape = ShapeOfMoments(sum3, sum4, s.sd, s.var, static_cast<int>(count));
  s.skew = shape.skew;
  s.kurt = shape.kurt;

  // Lag-1 autocorrelation of the values standardised with the population
  // standard deviation, computed from deviations (the caller's x is not
  // written).
  const float sp = std::sqrt(s.var * (n - 1.0f) / n);
  float r = 0.0f;
  float z_prev = (x[0] - s.mean) / sp;
  for (std::size_t i = 1; i < count; ++i) {
    const float z = (x[i] - s.mean) / sp;
    r += z_prev * z;
    z_prev = z;
  }
  s.r1 = r / n;
  return s;
}

}  // namespace detrend
