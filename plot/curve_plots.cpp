// Many curves by calendar year: pltits (curves of equal length) and pltorf
// (every series original against final).
#include <algorithm>

#include "plot/plot_helpers.h"
#include "plot/plots.h"

namespace plot {

using detail::At;
using detail::Points;

namespace {

inline constexpr float kCellMissing = -999.0f;  // empty cell; drawn, never scaled

}  // namespace

void pltits(PlotContext& ctx, PlotMemory& mem, ColumnsView CURVES, std::span<const float> REF, int N, int NC, int FY,
            std::string_view XLAB, std::string_view YLAB, std::string_view TITLE, std::string_view LEG1,
            std::string_view LEG2, int FLAG) {
  plotset& ps = mem.set;
  const detail::CallerTexts texts(XLAB, YLAB, TITLE, LEG1, LEG2);
  const bool has_ref = detail::HasReference(REF);

  std::vector<Points> curves(static_cast<std::size_t>(std::max(NC, 0)));
  for (int j = 1; j <= NC; ++j) {
    for (int i = 1; i <= N; ++i) {
      curves[static_cast<std::size_t>(j - 1)].Add(static_cast<double>(common::YearOfRow(i, FY)), CURVES(i, j));
    }
  }
  Points ref;
  if (has_ref) {
    for (int i = 1; i <= N; ++i) ref.Add(static_cast<double>(common::YearOfRow(i, FY)), At(REF, i));
  }

  auto scale = [&] {
    for (int j = 1; j <= NC; ++j) {
      for (int i = 1; i <= N; ++i) {
        const float v = CURVES(i, j);
        if (v != kCellMissing) detail::Widen(ps.ymin, ps.ymax, v);
      }
    }
    ps.xmin = static_cast<float>(FY);
    ps.xmax = static_cast<float>(FY + N - 1);
    detail::AutotickAll(ps);
    if (FLAG == 3) ps.ymax = 0.01f;
    ps.icol[1] = 1;
    ps.icol[0] = 15;
  };

  auto draw = [&](Plotter& p) {
    SetColours(p, ps);
    p.init();
    p.col0(15);
    p.width(1);
    p.ssub(1, 1);
    p.font(1);
    p.adv(0);
    detail::SkeletonFrame(p, ps);
    detail::DrawLabels(p, texts);
    p.lsty(1);
    p.col0(15);
    if (has_ref) detail::Line(p, ref);
    for (int j = 1; j <= NC; ++j) {
      int colour = ps.icol[0];
      if (j == NC && NC > 1) colour = ps.icol[1];
      if (j == 1) colour = 9;
      p.col0(colour);
      detail::Line(p, curves[static_cast<std::size_t>(j - 1)]);
    }
    p.col0(9);
    p.mtex("b", -28.0, 0.2, 0.0, texts.leg1);
    p.col0(1);
    p.mtex("b", -28.0, 0.55, 0.0, texts.leg2);
    p.end();
  };

  RunPlot(ctx, mem, MenuBox::kStandard, ExtraItems::kNone, scale, draw);
}

void pltorf(PlotContext& ctx, PlotMemory& mem, ColumnsView ORIG, ColumnsView FINAL, std::span<const float> REF,
            int NS, const common::YearTable& YT, std::string_view XLAB, std::string_view YLAB, std::string_view TITLE,
            std::string_view LEG1, std::string_view LEG2) {
  plotset& ps = mem.set;
  NS = std::clamp(NS, 0, common::MAXSER - 1);
  const detail::CallerTexts texts(XLAB, YLAB, TITLE, LEG1, LEG2);
  const bool has_ref = detail::HasReference(REF);

  std::vector<Points> originals(static_cast<std::size_t>(std::max(NS, 0)));
  std::vector<Points> finals(originals.size());
  for (int s = 1; s <= NS; ++s) {
    const int n = YT.Span(s);
    for (int k = 1; k <= n; ++k) {
      const double year = static_cast<double>(common::YearOfRow(k, YT.IFY(s)));
      originals[static_cast<std::size_t>(s - 1)].Add(year, ORIG(k, s));
      finals[static_cast<std::size_t>(s - 1)].Add(year, FINAL(k, s));
    }
  }
  Points ref;
  if (has_ref) {
    const int n = YT.Span(NS + 1);
    for (int k = 1; k <= n; ++k) ref.Add(static_cast<double>(common::YearOfRow(k, YT.IFY(NS + 1))), At(REF, k));
  }

  auto scale = [&] {
    ps.icol[0] = 15;
    ps.icol[1] = 1;
    ps.xmin = 100000.0f;
    ps.xmax = -100000.0f;
    float omin = 100000.0f, omax = -100000.0f, fmin = 100000.0f, fmax = -100000.0f;
    for (int s = 1; s <= NS; ++s) {
      ps.xmin = std::min(ps.xmin, static_cast<float>(YT.IFY(s)));
      ps.xmax = std::max(ps.xmax, static_cast<float>(YT.ILY(s)));
      const int n = YT.Span(s);
      for (int k = 1; k <= n; ++k) {
        if (ORIG(k, s) != kCellMissing) detail::Widen(omin, omax, ORIG(k, s));
        if (FINAL(k, s) != kCellMissing) detail::Widen(fmin, fmax, FINAL(k, s));
      }
    }
    ps.ymax = std::max(omax, fmax);
    ps.ymin = std::min(omin, fmin);
    const float range = ps.ymax - ps.ymin;
    ps.ymin -= range / 10.0f;
    ps.ymax += range / 10.0f;
    if (ps.ymin < 0.0f) ps.ymin = 0.0f;
    detail::AutotickAll(ps);
  };

  auto draw = [&](Plotter& p) {
    SetColours(p, ps);
    p.init();
    p.col0(15);
    p.width(1);
    p.ssub(1, 1);
    p.adv(0);
    detail::SkeletonFrame(p, ps);
    p.font(1);
    detail::DrawLabels(p, texts);
    p.lsty(1);
    p.col0(9);
    for (const Points& s : originals) detail::Line(p, s);
    p.col0(1);
    for (const Points& s : finals) detail::Line(p, s);
    p.width(2);
    p.col0(15);
    if (has_ref) detail::Line(p, ref);
    p.col0(9);
    p.width(1);
    p.mtex("b", -28.0, 0.12, 0.0, texts.leg1);
    p.col0(1);
    p.mtex("b", -28.0, 0.65, 0.0, texts.leg2);
    p.end();
  };

  RunPlot(ctx, mem, MenuBox::kStandard, ExtraItems::kNone, scale, draw);
}

}  // namespace plot
