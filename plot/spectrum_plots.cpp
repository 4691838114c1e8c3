// pltspc (two power spectra) and scatplt (spread against level of the power
// transformation).
#include <algorithm>

#include "common/fortran_format.h"
#include "plot/plot_helpers.h"
#include "plot/plots.h"

namespace plot {

using detail::At;
using detail::Points;

namespace {

void Page(Plotter& p, const plotset& ps) {
  SetColours(p, ps);
  p.init();
  p.ssub(1, 1);
  p.width(1);
  p.col0(15);
  p.adv(0);
  detail::SkeletonFrame(p, ps);
}

}  // namespace

void pltspc(PlotContext& ctx, PlotMemory& mem, ColumnsView TAB, int NC, int NR, std::string_view LEG1,
            std::string_view LEG2) {
  plotset& ps = mem.set;
  const std::string leg1 = detail::PlotText(LEG1, 18);
  const std::string leg2 = detail::PlotText(LEG2, 18);
  // log10 of the power, as the natural logarithm times 0.4342945.
  auto log10_power = [](float v) { return std::log(v) * 0.4342945f; };

  Points spectrum1, spectrum2;
  for (int r = 1; r <= NR; ++r) {
    const double f = TAB(r, 1);
    if (NC >= 2) spectrum1.Add(f, log10_power(TAB(r, 2)));
    if (NC >= 3) spectrum2.Add(f, log10_power(TAB(r, 3)));
  }

  auto scale = [&] {
    ps.icol[1] = 1;
    ps.icol[0] = 9;
    for (int c = 1; c <= NC; ++c) {
      for (int r = 1; r <= NR; ++r) {
        if (c == 1) {
          detail::Widen(ps.xmin, ps.xmax, TAB(r, 1));
        } else if (c <= 3) {
          detail::Widen(ps.ymin, ps.ymax, log10_power(TAB(r, c)));
        }
      }
    }
    detail::AutotickAll(ps);
  };

  auto draw = [&](Plotter& p) {
    Page(p, ps);
    p.lab("Frequency (cycles/yr.)", "log10 Power", " ");
    p.col0(ps.icol[0]);
    p.mtex("rv", -43.25, 1.065, 0.0, leg1);
    detail::Line(p, spectrum1);
    p.col0(ps.icol[1]);
    p.mtex("rv", -43.25 + 24.0, 1.065, 0.0, leg2);
    detail::Line(p, spectrum2);
    p.end();
  };

  RunPlot(ctx, mem, MenuBox::kStandard, ExtraItems::kNone, scale, draw);
}

namespace {

// "Y=" intercept " + " slope "(x)  Rho= " correlation, in 55 characters.
std::string RegressionTitle(float a0, float b0, float rho) {
  const std::string title = common::fmt::Print("('Y=',f9.4,' + ',f9.4,'(x)  Rho= ',f9.4)", a0, b0, rho);
  return std::string(common::TrimRight(common::Fixed(title, 55)));
}

}  // namespace

void scatplt(PlotContext& ctx, PlotMemory& mem, ColumnsView X, ColumnsView Y, std::span<const float> B,
             std::span<const float> A, std::span<const int> NP, int NSER, float RHO, float A0, float B0) {
  plotset& ps = mem.set;
  const std::string title = RegressionTitle(A0, B0, RHO);
  auto count = [&](int s) { return std::max(0, s >= 1 && s <= static_cast<int>(NP.size()) ? NP[static_cast<std::size_t>(s - 1)] : 0); };

  std::vector<Points> points(static_cast<std::size_t>(std::max(NSER, 0)));
  std::vector<Points> lines(points.size());
  for (int s = 1; s <= NSER; ++s) {
    const float b = At(B, s);
    const float a = At(A, s);
    for (int k = 1; k <= count(s); ++k) {
      points[static_cast<std::size_t>(s - 1)].Add(X(k, s), Y(k, s));
      lines[static_cast<std::size_t>(s - 1)].Add(X(k, s), b * X(k, s) + a);
    }
  }

  auto scale = [&] {
    ps.icol[1] = 1;
    ps.icol[0] = 15;
    for (int s = 1; s <= NSER; ++s) {
      for (int k = 1; k <= count(s); ++k) {
        detail::Widen(ps.xmin, ps.xmax, X(k, s));
        detail::Widen(ps.ymin, ps.ymax, Y(k, s));
      }
    }
    detail::AutotickAll(ps);
    ctx.dialog.Screen("");
    ctx.dialog.Screen(" from scatplt");
  };

  auto draw = [&](Plotter& p) {
    Page(p, ps);
    p.lab("log(LEVEL)", "log(SPREAD)", title);
    for (std::size_t s = 0; s < points.size(); ++s) {
      if (points[s].size() == 0) continue;
      p.col0(ps.icol[0]);
      p.width(2);
      p.poin(points[s].x, points[s].y, 1);
      p.col0(ps.icol[1]);
      detail::Line(p, lines[s]);
    }
    p.end();
  };

  RunPlot(ctx, mem, MenuBox::kStandard, ExtraItems::kNone, scale, draw);
}

}  // namespace plot
