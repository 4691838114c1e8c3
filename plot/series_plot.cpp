// pltser, the series plot, and the matrix view the plot routines read.
#include <algorithm>

#include "plot/axis_scaling.h"
#include "plot/plot_helpers.h"
#include "plot/plots.h"

namespace plot {

using detail::At;
using detail::Points;

float ColumnsView::operator()(int row, int col) const {
  if (matrix_ != nullptr) {
    if (row < 1 || row > matrix_->rows() || col < 1 || col > matrix_->cols()) return detail::kNaN;
    return matrix_->get(row, col);
  }
  if (row < 1 || row > ld_ || col < 1) return detail::kNaN;
  const std::size_t index = static_cast<std::size_t>(col - 1) * static_cast<std::size_t>(ld_) +
                            static_cast<std::size_t>(row - 1);
  return index < flat_.size() ? flat_[index] : detail::kNaN;
}

void pltser(PlotContext& ctx, PlotMemory& mem, std::span<const float> C1, std::span<const float> C2, int N, int FY,
            std::string_view XLAB, std::string_view YLAB, std::string_view TITLE, std::span<const float> REF,
            std::string_view LEG1, std::string_view LEG2, int IWREF) {
  plotset& ps = mem.set;
  const detail::CallerTexts texts(XLAB, YLAB, TITLE, LEG1, LEG2);
  const bool draw_leg1 = !detail::LegendBlank(LEG1, 36);
  const bool draw_leg2 = !detail::LegendBlank(LEG2, 36);
  const bool has_ref = detail::HasReference(REF);
  const bool ref_085 = At(REF, 1) == kReferenceAt085;

  Points curve1, curve2, ref;
  for (int k = 1; k <= N; ++k) {
    const double year = static_cast<double>(common::YearOfRow(k, FY));
    curve1.Add(year, At(C1, k));
    curve2.Add(year, At(C2, k));
    if (has_ref) ref.Add(year, At(REF, k));
  }

  auto scale = [&] {
    ps.ymax = -100000.0f;
    ps.ymin = 100000.0f;
    for (int k = 1; k <= N; ++k) {
      detail::Widen(ps.ymin, ps.ymax, At(C1, k));
      detail::Widen(ps.ymin, ps.ymax, At(C2, k));
    }
    if (ref_085) ps.ymax = 1.0f;
    ps.xmin = static_cast<float>(FY);
    ps.xmax = static_cast<float>(FY + N - 1);
    // A range of 10 or more gains a tenth of its integer part at both ends.
    const float pad = std::trunc(std::trunc(ps.ymax - ps.ymin) / 10.0f);
    ps.ymin -= pad;
    ps.ymax += pad;
    nicescl(ps.xmin, ps.xmax, 10, ps.xmin, ps.xtick, ps.xmax);
    ps.nxsub = 5;
    if (IWREF == 0) ps.ymin = 0.0f;
    nicescl(ps.ymin, ps.ymax, 10, ps.ymin, ps.ytick, ps.ymax);
    ps.nysub = 5;
    ps.icol[0] = 1;
    ps.icol[1] = 9;
  };

  // A data curve in its colour and pen width, then its legend in that colour.
  auto curve = [&](Plotter& p, int colour, int width, const Points& points, bool legend, double pos,
                   const std::string& text) {
    p.col0(colour);
    p.width(width);
    detail::Line(p, points);
    p.width(1);
    if (legend) p.mtex("b", -28.0, pos, 0.0, text);
  };

  auto draw = [&](Plotter& p) {
    detail::SkeletonPage(p, ps, detail::StartPen::kAsItIs);
    if (has_ref) {
      p.width(IWREF);
      if (ref_085) p.lsty(ps.iwid[0]);
      detail::Line(p, ref);
    }
    p.font(1);
    p.width(1);
    detail::DrawLabels(p, texts);

    p.lsty(1);
    curve(p, ps.icol[0], ps.iwid[0], curve1, draw_leg1, 0.06, texts.leg1);
    curve(p, ps.icol[1], ps.iwid[1], curve2, draw_leg2, 0.55, texts.leg2);
    p.end();
  };

  RunPlot(ctx, mem, MenuBox::kSeries, ExtraItems::kZ2, scale, draw);
}

}  // namespace plot
