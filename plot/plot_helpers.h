// Small helpers shared by the plot routines' files.
#pragma once

#include <cmath>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/text.h"
#include "plot/axis_scaling.h"
#include "plot/plots.h"
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

// Missing when it is the caller's code or not a number at all.
inline bool Missing(float v, float miss) { return v == miss || std::isnan(v); }

// Whether a reference curve is drawn: it has a first value, and that is not
// kNoReference.
inline bool HasReference(std::span<const float> ref) { return !ref.empty() && ref[0] != kNoReference; }

// autotick over the three axes of the settings.
inline void AutotickAll(plotset& ps) {
  autotick(ps.xmin, ps.xmax, ps.ymin, ps.ymax, ps.zmin, ps.zmax, ps.nxsub, ps.nysub, ps.nzsub, ps.xtick, ps.ytick,
           ps.ztick);
}

// The skeleton's viewport.
inline void SkeletonViewport(Plotter& p) { p.vpor(0.125, 0.92, 0.15, 0.85); }

// The skeleton's frame: its viewport, the window over the settings' limits
// (the right end `x_beyond` past xmax) and the axes crossing at (xmin, ymin).
inline void SkeletonFrame(Plotter& p, const plotset& ps, double x_beyond = 0.0) {
  SkeletonViewport(p);
  WindowAndAxes(p, ps.xmin, static_cast<double>(ps.xmax) + x_beyond, ps.ymin, ps.ymax, ps.xmin, ps.ymin, ps.xtick,
                ps.nxsub, ps.ytick, ps.nysub);
}

// Whether a page starts by setting the pen width to 1 (the series plot
// leaves it as it is).
enum class StartPen { kWidthOne, kAsItIs };

// The skeleton's one-panel page from the colours on: plinit, one sub-page,
// colour 15, the pen, the first page, then the frame.
inline void SkeletonPage(Plotter& p, const plotset& ps, StartPen pen, double x_beyond = 0.0) {
  SetColours(p, ps);
  p.init();
  p.ssub(1, 1);
  p.col0(15);
  if (pen == StartPen::kWidthOne) p.width(1);
  p.adv(0);
  SkeletonFrame(p, ps, x_beyond);
}

// The caller's title, axis labels and legends of the series and many-curve
// plots, as PLplot receives them (20, 20, 60, 36 and 36 characters).
struct CallerTexts {
  CallerTexts(std::string_view XLAB, std::string_view YLAB, std::string_view TITLE, std::string_view LEG1,
              std::string_view LEG2)
      : xlab(PlotText(XLAB, 20)),
        ylab(PlotText(YLAB, 20)),
        title(PlotText(TITLE, 60)),
        leg1(PlotText(LEG1, 36)),
        leg2(PlotText(LEG2, 36)) {}
  std::string xlab, ylab, title, leg1, leg2;
};

// The axis labels under a one-blank title, and the caller's title inside the
// frame.
inline void DrawLabels(Plotter& p, const CallerTexts& t) {
  p.lab(t.xlab, t.ylab, " ");
  p.mtex("b", -30.0, 0.5, 0.5, t.title);
}

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
