#include "plot/axis_scaling.h"

#include <cmath>
#include <iterator>
#include <span>

namespace plot {

namespace {
constexpr float kMantissas[] = {1.0f, 1.2f, 1.6f, 2.0f, 2.5f, 3.0f, 4.0f, 5.0f, 6.0f, 8.0f, 10.0f};
}  // namespace

int nicescl(float MIN, float MAX, int N, float& NEWMIN, float& STEP, float& NEWMAX) {
  if (!std::isfinite(MIN) || !std::isfinite(MAX) || MIN > MAX || N < 2) return 1;
  float a = MIN;
  float b = MAX;

  // A range too narrow to scale is widened to start or end at zero.
  const float d = b == 0.0f ? 1.0f : std::fabs(b);
  if ((b - a) / d <= 0.000005f) {
    if (b < 0.0f) {
      b = 0.0f;
    } else if (b == 0.0f) {
      b = 1.0f;
    } else {
      a = 0.0f;
    }
  }

  const float raw = (b - a) / static_cast<float>(N - 1);
  if (!std::isfinite(raw) || raw <= 0.0f) return 1;
  float s = raw;
  while (s < 1.0f) s *= 10.0f;
  while (s >= 10.0f) s /= 10.0f;

  std::size_t first = 0;
  while (first + 1 < std::size(kMantissas) && kMantissas[first] < s - 0.0001f) ++first;

  // The scale centred on the range, its minimum a multiple of the step. When
  // that leaves an end of the range outside (a range that just fits the
  // width), the next larger mantissa is taken, so no data falls off the axis.
  float step = 0.0f, newmin = 0.0f, newmax = 0.0f;
  for (std::size_t idx = first; idx < first + 2 * std::size(kMantissas); ++idx) {
    const std::size_t n_mant = std::size(kMantissas) - 1;  // 10 is 1 of the next decade
    const float decade = idx < n_mant ? 1.0f : 10.0f;
    const float m = kMantissas[idx < n_mant ? idx : (idx - n_mant) % n_mant] * decade;
    step = raw * m / s;
    const float width = step * static_cast<float>(N - 1);
    const float f = ((a + b - width) / step + 1.0f) * 0.5f;
    float k = std::trunc(f - 0.0001f);
    if (f < 0.0f) k -= 1.0f;
    newmin = k * step;
    if (a >= 0.0f && width >= b) newmin = 0.0f;
    newmax = newmin + width;
    if (b <= 0.0f && -a <= width) {
      newmin = -width;
      newmax = 0.0f;
    }
    const float slack = 1e-4f * step;
    if (newmin <= a + slack && newmax >= b - slack) break;
  }
  if (!std::isfinite(newmin) || !std::isfinite(newmax) || !std::isfinite(step)) return 1;
  NEWMIN = newmin;
  STEP = step;
  NEWMAX = newmax;
  return 0;
}

namespace {

// Rounds an upper limit up to the next half unit (below 10), 5 (below 100)
// or 50; an integral value below 10 gains 0.5.
float RoundUpperLimit(float v) {
  float unit = 1.0f;
  if (v >= 100.0f) {
    unit = 100.0f;
  } else if (v >= 10.0f) {
    unit = 10.0f;
  }
  const float base = unit * std::trunc(v / unit);
  const float frac = v - base;
  return frac <= 0.5f * unit ? base + 0.5f * unit : base + unit;
}

// One row of a tick table: ranges up to `upper` (inclusive) get `nsub`
// minor intervals per major interval of `tick`.
struct TickBucket {
  float upper;
  int nsub;
  float tick;
};

// The x axis by |xmax - xmin|; note 51 minor intervals from over 1 up to 25.
constexpr TickBucket kXBuckets[] = {
    {0.1f, 5, 0.02f},   {1.0f, 10, 0.1f},   {25.0f, 51, 5.0f},    {50.0f, 10, 10.0f}, {100.0f, 5, 20.0f},
    {200.0f, 10, 20.0f}, {500.0f, 5, 50.0f}, {1000.0f, 10, 100.0f}, {2000.0f, 5, 250.0f},
};

// The y and z axes by max - min, after the top is rounded up.
constexpr TickBucket kValueBuckets[] = {
    {2.0f, 4, 0.5f}, {4.0f, 4, 1.0f}, {10.0f, 4, 2.0f}, {50.0f, 5, 5.0f}, {100.0f, 2, 10.0f}, {500.0f, 5, 100.0f},
};

// Ticks of an axis from its range: the first row whose bound holds it, or
// beyond the last row 5 minor intervals and nicescl over 10 intervals, which
// replaces the limits too.
void TickFromTable(std::span<const TickBucket> table, float range, float& lo, float& hi, int& nsub, float& tick) {
  for (const TickBucket& bucket : table) {
    if (range <= bucket.upper) {
      nsub = bucket.nsub;
      tick = bucket.tick;
      return;
    }
  }
  nsub = 5;
  nicescl(lo, hi, 10, lo, tick, hi);
}

// The y (and z) table: rounds the top, then picks the tick from the range.
void ScaleValueAxis(float& lo, float& hi, int& nsub, float& tick) {
  if (!std::isfinite(hi)) return;
  hi = RoundUpperLimit(hi);
  const float e = hi - lo;
  if (std::isnan(e)) return;
  TickFromTable(kValueBuckets, e, lo, hi, nsub, tick);
}

}  // namespace

void autotick(float& XMIN, float& XMAX, float& YMIN, float& YMAX, float& ZMIN, float& ZMAX, int& NXSUB,
              int& NYSUB, int& NZSUB, float& XTICK, float& YTICK, float& ZTICK) {
  const float d = std::fabs(XMAX - XMIN);
  if (!std::isnan(d)) TickFromTable(kXBuckets, d, XMIN, XMAX, NXSUB, XTICK);
  ScaleValueAxis(YMIN, YMAX, NYSUB, YTICK);
  ScaleValueAxis(ZMIN, ZMAX, NZSUB, ZTICK);
}

}  // namespace plot
