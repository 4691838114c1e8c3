// Regional-curve plots: pltrcb (one curve and its fit), pltrcs (every
// iteration's curve on a sub-page), pltrcf (all curves overlaid).

#include "common/fortran_format.h"
#include "plot/plot_helpers.h"
#include "plot/plots.h"

namespace plot {

using detail::At;
using detail::Missing;
using detail::Points;

namespace {

// TAB(p, c, j) of an LD by 2 by NRC table; NaN outside it.
float Tab(std::span<const float> tab, int ld, long p, int c, int j) {
  if (p < 1 || p > ld || j < 1) return detail::kNaN;
  const long index = (p - 1) + static_cast<long>(ld) * ((c - 1) + 2L * (j - 1));
  return index < static_cast<long>(tab.size()) ? tab[static_cast<std::size_t>(index)] : detail::kNaN;
}

// Columns and rows of sub-pages for NRC regional curves (NRC <= 20).
void SubPages(int nrc, int& nx, int& ny) {
  if (nrc <= 4) {
    nx = 2, ny = 2;
  } else if (nrc <= 8) {
    nx = 2, ny = 4;
  } else if (nrc <= 10) {
    nx = 2, ny = 5;
  } else if (nrc <= 15) {
    nx = 3, ny = 5;
  } else {
    nx = 4, ny = 5;
  }
}

// Title of sub-page j > 1: "Iteration #" with j-1 in characters 14 to 16.
std::string IterationTitle(int j) {
  return common::Fixed("Iteration #  " + common::fmt::Print("(i3)", j - 1), 16);
}

inline constexpr int kMaxRegionalCurves = 20;

}  // namespace

void pltrcb(PlotContext& ctx, PlotMemory& mem, std::span<const float> RC, std::span<const float> FIT, int I1,
            int I2, float MISS, std::string_view TITLE, int OFF) {
  plotset& ps = mem.set;
  const std::string title = detail::PlotText(TITLE, 30);

  // Point i sits at place i - I1 + 1; the first N places are drawn, N being
  // the number of positions with a fitted value.
  Points curve, fit;
  std::size_t n = 0;
  for (long i = I1; i <= I2; ++i) {
    const long p = i + OFF;
    curve.Add(static_cast<double>(p), At(RC, p));
    fit.Add(static_cast<double>(p), At(FIT, p));
    if (!Missing(At(FIT, p), MISS)) ++n;
  }
  curve.x.resize(n), curve.y.resize(n), fit.x.resize(n), fit.y.resize(n);

  auto scale = [&] {
    ps.ymax = -9999.0f;
    ps.ymin = 9999.0f;
    ps.xmin = 0.0f;
    ps.xmax = static_cast<float>(I2 + OFF);
    for (long i = I1; i <= I2; ++i) {
      if (!Missing(At(RC, i), MISS)) detail::Widen(ps.ymin, ps.ymax, At(RC, i));
      if (!Missing(At(FIT, i), MISS)) detail::Widen(ps.ymin, ps.ymax, At(FIT, i));
    }
    detail::AutotickAll(ps);
  };

  auto draw = [&](Plotter& p) {
    detail::SkeletonPage(p, ps, detail::StartPen::kWidthOne);
    p.lab("Biological Year", "Y", title);
    p.col0(ps.icol[0]);
    detail::Line(p, curve);
    p.col0(ps.icol[1]);
    p.width(2);
    detail::Line(p, fit);
    p.end();
  };

  RunPlot(ctx, mem, MenuBox::kRegionalFit, ExtraItems::kZ2, scale, draw);
}

void pltrcs(PlotContext& ctx, PlotMemory& mem, int LD, std::span<const float> TAB, int NX, int NRC, int OFF,
            float MISS) {
  if (NRC > kMaxRegionalCurves) {
    ctx.dialog.Screen("");
    ctx.dialog.Screen(" Too many Regional curves to plot. Try ");
    ctx.dialog.Screen(" plotting them outside this program.");
    ctx.dialog.WaitReturn(" Hit RETURN to Continue");
    return;
  }
  plotset& ps = mem.set;

  // Each curve's points are gathered from its own values.
  std::vector<Points> curves(static_cast<std::size_t>(std::max(NRC, 0)));
  std::vector<Points> fits(curves.size());
  for (int j = 1; j <= NRC; ++j) {
    for (long i = 1; i <= NX; ++i) {
      const long p = OFF + i;
      const float v = Tab(TAB, LD, p, 1, j);
      if (Missing(v, MISS)) continue;
      curves[static_cast<std::size_t>(j - 1)].Add(static_cast<double>(p), v);
      fits[static_cast<std::size_t>(j - 1)].Add(static_cast<double>(p), Tab(TAB, LD, p, 2, j));
    }
  }

  auto scale = [&] {
    ps.xmin = 0.0f;
    ps.ymin = 0.0f;
    for (int j = 1; j <= NRC; ++j) {
      for (int c = 1; c <= 2; ++c) {
        for (long p = 1; p <= LD; ++p) {
          const float v = Tab(TAB, LD, p, c, j);
          if (!Missing(v, MISS) && std::isfinite(v) && v > ps.ymax) ps.ymax = v;
        }
      }
    }
    ps.xmax = static_cast<float>(NX);
    detail::AutotickAll(ps);
  };

  auto draw = [&](Plotter& p) {
    int nx = 2, ny = 2;
    SubPages(NRC, nx, ny);
    SetColours(p, ps);
    p.init();
    p.ssub(nx, ny);
    for (int j = 1; j <= NRC; ++j) {
      p.col0(15);
      p.adv(0);
      p.width(1);
      p.vpor(0.125, 0.85, 0.2, 0.7);
      WindowAndAxes(p, 0.0, ps.xmax, 0.0, ps.ymax, ps.xmin, ps.ymin, ps.xtick, ps.nxsub, ps.ytick, ps.nysub);
      p.lab("Biological Year", "Y", j == 1 ? std::string("Initial RC and Fit") : IterationTitle(j));
      p.col0(ps.icol[0]);
      p.width(1);
      detail::Line(p, curves[static_cast<std::size_t>(j - 1)]);
      p.col0(ps.icol[1]);
      p.width(1);
      detail::Line(p, fits[static_cast<std::size_t>(j - 1)]);
    }
    p.end();
  };

  RunPlot(ctx, mem, MenuBox::kStandard, ExtraItems::kNone, scale, draw);
}

void pltrcf(PlotContext& ctx, PlotMemory& mem, int LD, std::span<const float> TAB, int NX, int NRC, int OFF,
            float MISS) {
  plotset& ps = mem.set;

  std::vector<Points> curves(static_cast<std::size_t>(std::max(NRC, 0)));
  for (int j = 1; j <= NRC; ++j) {
    for (long i = 1; i <= NX; ++i) {
      const long p = OFF + i;
      const float v = Tab(TAB, LD, p, 1, j);
      if (Missing(v, MISS) || v == 0.0f) continue;
      curves[static_cast<std::size_t>(j - 1)].Add(static_cast<double>(p), v);
    }
  }

  auto scale = [&] {
    ps.xmin = 0.0f;
    ps.xmax = static_cast<float>(NX);
    for (int j = 1; j <= NRC; ++j) {
      for (int c = 1; c <= 2; ++c) {
        for (long p = 1; p <= LD; ++p) {
          const float v = Tab(TAB, LD, p, c, j);
          if (Missing(v, MISS) || !std::isfinite(v)) continue;
          if (v > ps.ymax) ps.ymax = v;
          if (v != 0.0f && v < ps.ymin) ps.ymin = v;
        }
      }
    }
    detail::AutotickAll(ps);
  };

  auto draw = [&](Plotter& p) {
    detail::SkeletonPage(p, ps, detail::StartPen::kWidthOne, 10.0);  // the x axis runs 10 years beyond NX
    p.lab("Biological Year", "Y", "Regional Curves");
    p.col0(ps.icol[0]);
    p.mtex("b", -26.5, 0.41, 0.0, "Initial");
    p.col0(ps.icol[1]);
    p.mtex("b", -26.5, 0.49, 0.0, "/Final");
    for (int j = 1; j <= NRC; ++j) {
      p.col0(15);
      if (j == 1) p.col0(ps.icol[0]);
      if (j == NRC) p.col0(ps.icol[1]);
      detail::Line(p, curves[static_cast<std::size_t>(j - 1)]);
    }
    p.end();
  };

  RunPlot(ctx, mem, MenuBox::kStandard, ExtraItems::kNone, scale, draw);
}

}  // namespace plot
