// Two-panel pages: pltcal (series by calendar year and their average) and
// pltitr (one series in a signal-free iteration).
#include <algorithm>

#include "plot/axis_scaling.h"
#include "plot/plot_helpers.h"
#include "plot/plots.h"

namespace plot {

using detail::At;
using detail::Missing;
using detail::Points;

namespace {

template <typename T>
T Slot(std::span<const T> v, long k, T fallback) {
  return k >= 0 && k < static_cast<long>(v.size()) ? v[static_cast<std::size_t>(k)] : fallback;
}

}  // namespace

void pltcal(PlotContext& ctx, PlotMemory& mem, ColumnsView X, int NS_in, const common::YearTable& YT, float MISS) {
  plotset& ps = mem.set;
  const int NS = std::clamp(NS_in, 0, common::MAXSER);
  int y0 = 0;  // first and last year of the data, fixed at scaling
  int y1 = -1;

  auto scale = [&] {
    for (int s = 1; s <= NS; ++s) {
      const int n = YT.Span(s);
      for (int k = 1; k <= n; ++k) {
        const float v = X(k, s);
        if (!Missing(v, MISS)) detail::Widen(ps.ymin, ps.ymax, v);
      }
      ps.xmin = std::min(ps.xmin, static_cast<float>(YT.IFY(s)));
      ps.xmax = std::max(ps.xmax, static_cast<float>(YT.ILY(s)));
    }
    y0 = NS >= 1 ? static_cast<int>(ps.xmin) : 0;
    y1 = NS >= 1 ? static_cast<int>(ps.xmax) : -1;
    detail::AutotickAll(ps);
  };

  auto draw = [&](Plotter& p) {
    SetColours(p, ps);
    p.init();
    p.col0(15);
    p.ssub(1, 2);
    p.adv(0);
    p.width(1);
    detail::SkeletonFrame(p, ps);
    p.lab("Calendar Year", "Y", "First Detrending");
    p.col0(ps.icol[0]);
    for (int s = 1; s <= NS; ++s) {
      Points series;
      const int n = YT.Span(s);
      for (int k = 1; k <= n; ++k) series.Add(static_cast<double>(common::YearOfRow(k, YT.IFY(s))), X(k, s));
      detail::Line(p, series);
    }

    p.adv(0);
    p.col0(15);
    p.width(1);
    detail::SkeletonFrame(p, ps);
    p.lab("Calendar Year", "Y", "Average Indices");
    // The mean of every year slot; a year without values breaks the line.
    const long slots = std::max(0L, static_cast<long>(y1) - y0 + 1);
    std::vector<double> sum(static_cast<std::size_t>(slots), 0.0);
    std::vector<int> count(static_cast<std::size_t>(slots), 0);
    for (int s = 1; s <= NS; ++s) {
      const int n = YT.Span(s);
      for (int k = 1; k <= n; ++k) {
        const long j = static_cast<long>(YT.IFY(s)) - y0 + k;  // 1-based slot
        const float v = X(k, s);
        if (j < 1 || j > slots || std::isnan(v)) continue;
        sum[static_cast<std::size_t>(j - 1)] += static_cast<double>(v);
        ++count[static_cast<std::size_t>(j - 1)];
      }
    }
    Points mean;
    for (long j = 1; j <= slots; ++j) {
      const std::size_t i = static_cast<std::size_t>(j - 1);
      mean.Add(static_cast<double>(y0) + static_cast<double>(j) - 1.0,
               count[i] > 0 ? static_cast<double>(static_cast<float>(sum[i]) / static_cast<float>(count[i]))
                            : static_cast<double>(detail::kNaN));
    }
    p.col0(ps.icol[1]);
    detail::Line(p, mean);
    p.col0(15);
    p.end();
  };

  RunPlot(ctx, mem, MenuBox::kCalendar, ExtraItems::kZ2, scale, draw);
}

void pltitr(PlotContext& ctx, PlotMemory& mem, std::span<const float> S3, std::span<const float> C4,
            std::span<const float> A5, const common::YearTable& YT, float MISS, int L, int IS, int N,
            std::span<const std::string> ID, std::string_view TITLE, std::span<const int> AGEOFF, int OFF) {
  plotset& ps = mem.set;
  const std::string title = detail::PlotText(TITLE, 30);
  const std::string id = detail::PlotText(Slot<std::string>(ID, IS, std::string()), 8);
  const int age_offset = Slot<int>(AGEOFF, IS, 0);
  const bool series_known = IS >= 1 && IS <= common::MAXSER;
  const int first_year = series_known ? YT.IFY(IS) : 0;
  const int last_year = series_known ? YT.ILY(IS) : 0;

  // Top: the fitted curve by age (as many points as the series has values,
  // at most L), and the age-placed values that are present.
  Points curve, placed, series;
  for (long i = 1; i <= std::min(N, L); ++i) curve.Add(static_cast<double>(age_offset) + i, At(C4, i));
  for (long i = 1; i <= L; ++i) {
    const float v = At(A5, OFF + i);
    if (!Missing(v, MISS)) placed.Add(static_cast<double>(OFF + i), v);
  }
  for (long i = 1; i <= N; ++i) series.Add(static_cast<double>(first_year) + i - 1, At(S3, i));

  auto scale = [&] {
    for (long i = 1; i <= L; ++i) {
      const float c = At(C4, i);
      const float a = At(A5, i);
      if (!Missing(c, MISS) && std::isfinite(c) && c > ps.ymax) ps.ymax = c;
      if (!Missing(a, MISS) && std::isfinite(a) && a > ps.ymax) ps.ymax = a;
    }
    ps.ymin = 0.0f;
    ps.xmin = 0.0f;
    ps.xmax = static_cast<float>(L + OFF);
    detail::AutotickAll(ps);

    mem.bottom_xmax = static_cast<float>(last_year);
    mem.bottom_xmin = static_cast<float>(first_year);
    for (long i = 1; i <= N; ++i) {
      const float v = At(S3, i);
      if (!Missing(v, MISS)) detail::Widen(ps.zmin, ps.zmax, v);
    }
    float unused_ymin = 0.0f, unused_ymax = 100.0f, unused_ytick = 0.0f;
    int unused_nysub = 0;
    autotick(mem.bottom_xmin, mem.bottom_xmax, unused_ymin, unused_ymax, ps.zmin, ps.zmax, mem.bottom_nxsub,
             unused_nysub, ps.nzsub, mem.bottom_xtick, unused_ytick, ps.ztick);
  };

  auto draw = [&](Plotter& p) {
    SetColours(p, ps);
    p.init();
    p.col0(15);
    p.ssub(1, 2);
    p.width(1);
    p.adv(0);
    detail::SkeletonFrame(p, ps);
    p.lab("Biological Year", "Y", title);
    p.col0(1);
    detail::Line(p, curve);
    p.col0(9);
    p.width(2);
    detail::Line(p, placed);
    p.col0(15);
    p.width(1);

    p.adv(0);
    p.width(1);
    detail::SkeletonViewport(p);
    WindowAndAxes(p, mem.bottom_xmin, mem.bottom_xmax, ps.zmin, ps.zmax, mem.bottom_xmin, ps.zmin,
                  mem.bottom_xtick, mem.bottom_nxsub, ps.ztick, ps.nzsub);
    p.lab("Calendar Year", "Y", id);
    p.col0(1);
    detail::Line(p, series);
    p.end();
  };

  RunPlot(ctx, mem, MenuBox::kIteration, ExtraItems::kBottomAxis, scale, draw);
}

}  // namespace plot
