// Small helpers shared by the plot routines' files.
#pragma once

#include <cmath>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/text.h"
#include "plot/plotter.h"

namespace plot::detail {

inline constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// Element k (1-based) of `v`; NaN outside it.
inline float At(std::span<const float> v, long k) {
  return k >= 1 && k <= static_cast<long>(v.size()) ? v[static_cast<std::size_t>(k - 1)] : kNaN;
}

// A fixed-length text of n characters as PLplot receives it: trailing
// blanks dropped.
inline std::string PlotText(std::string_view s, std::size_t n) {
  return std::string(common::TrimRight(common::Fixed(s, n)));
}

// True when the first five characters of a legend of n characters are blank.
inline bool LegendBlank(std::string_view s, std::size_t n) {
  return common::IsBlank(common::Fixed(s, n).substr(0, 5));
}

// Widens [lo, hi] by v; values that are not finite are skipped.
inline void Widen(float& lo, float& hi, float v) {
  if (!std::isfinite(v)) return;
  if (v < lo) lo = v;
  if (v > hi) hi = v;
}

// The skeleton's viewport.
inline void SkeletonViewport(Plotter& p) { p.vpor(0.125, 0.92, 0.15, 0.85); }

// Polyline points in double precision.
struct Points {
  std::vector<double> x, y;
  void Add(double px, double py) {
    x.push_back(px);
    y.push_back(py);
  }
  std::size_t size() const { return x.size(); }
};

inline void Line(Plotter& p, const Points& pts) { p.line(pts.x, pts.y); }

}  // namespace plot::detail
