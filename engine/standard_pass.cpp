// The standard pass: the first detrending of every series, its indices, the
// standard intermediate files and the move of the series and indices from
// ring rows to calendar rows.
#include <algorithm>

#include "common/limits.h"
#include "detrend/crvfit.h"
#include "detrend/mean_chronology.h"
#include "detrend/order_stats.h"
#include "engine/engine_call.h"
#include "plot/plots.h"

namespace engine::detail {

std::string IntermediateSuffix(std::string_view pass, int unit, int RESID, int PTRFLG) {
  const std::string source = RESID == 1 && PTRFLG == 1 ? "_PTR_" : "_RAW_";
  std::string what;
  if (unit == kSeriesUnit) what = "Data";
  if (unit == kCurveUnit) what = "Curves";
  if (unit == kIndexUnit) what = RESID == 0 ? "Ratios" : "Resids";
  return "_" + std::string(pass) + source + what + ".txt";
}

void OpenIntermediateFiles(EngineCall& call, std::string_view pass, bool with_indices) {
  for (int unit : {kSeriesUnit, kCurveUnit, kIndexUnit}) {
    if (unit == kIndexUnit && !with_indices) continue;
    OpenOutput(call, unit, IntermediateSuffix(pass, unit, call.options.RESID, call.options.PTRFLG));
    WriteTitle(call, unit);
  }
}

void OpenStandardFiles(EngineCall& call) { OpenIntermediateFiles(call, "STD", call.options.NOPT != 0); }

void StandardPass(EngineCall& call) {
  common::RunStorage& s = call.store;
  EngineState& st = call.state;
  const common::RunOptions& o = call.options;
  const float CONST = call.restart.CONST;
  const bool indices = o.NOPT != 0;
  st.unwritable.clear();

  for (int i = 1; i <= call.NS; ++i) {
    const std::size_t n = static_cast<std::size_t>(call.Length(i));
    const std::span<float> x = std::span<float>(s.SERVEC).first(n);
    std::ranges::copy(s.SERMAT.column(i).first(n), x.begin());
    st.SERMNS[static_cast<std::size_t>(i)] = detrend::meansd(x).xm;

    // The curve: the series' own fit, floored, or the regional curve at the
    // series' biological ages (pith offset + ring).
    std::size_t age_offset = 0;
    if (call.regional()) {
      age_offset = static_cast<std::size_t>(s.IPITH[static_cast<std::size_t>(i)]);
    } else {
      int code = o.NOPT == 0 ? static_cast<int>(detrend::CurveOption::kMean) : o.NOPT;
      const std::span<float> fit = std::span<float>(s.CRVVEC).first(n);
      ShowCrvfitMessages(
          call, detrend::crvfit(x, fit, static_cast<int>(n), code, o.ALPHA, o.SPLSTF, o.SPLEND, st.lanes[0].crvfit),
          static_cast<int>(n));
      const float floor = call.restart.CRVMIN[static_cast<std::size_t>(i)];
      for (float& c : fit) c = std::max(c, floor);
    }
    const std::span<float> curve = std::span<float>(st.lanes[0].curve).first(n);
    std::copy_n(s.CRVVEC.begin() + static_cast<std::ptrdiff_t>(age_offset), n, curve.begin());

    const std::span<float> ind = std::span<float>(st.lanes[0].index).first(n);
    if (indices) {
      detrend::indxs(x, curve, ind, o.RESID == 1 ? 2 : 1);
    } else {
      std::ranges::copy(x, ind.begin());
    }

    const std::span<float> raw = st.RAWORG.column(i).first(n), crv = st.CRVORG.column(i).first(n),
                           idx = st.IDXORG.column(i).first(n);
    for (std::size_t k = 0; k < n; ++k) {
      raw[k] = x[k] - CONST;
      crv[k] = curve[k] - CONST;
      idx[k] = ind[k];
    }
    std::ranges::copy(ind, s.IDXMAT.column(i).begin());

    if (call.first) {
      WriteSeries(call, kSeriesUnit, i, raw, "stdraw");
      WriteSeries(call, kCurveUnit, i, crv, "stdcrv");
      if (indices) WriteSeries(call, kIndexUnit, i, idx, "stdind");
    }
    st.IDXSD1[static_cast<std::size_t>(i)] = detrend::meansd(ind).sd;
  }

  if (call.regional()) plot::pltcal(call.plots, st.plots.pltcal, s.IDXMAT, call.NS, s.IYTAB, common::kMissing);
  for (int unit : {kSeriesUnit, kCurveUnit, kIndexUnit}) call.dialog.CloseOrStop(unit);
  StopIfUnwritable(call);

  // Ring rows to calendar rows: a series starting d years after the data
  // set moves down d rows, the rows above it become empty.
  for (int i = 1; i <= call.NS; ++i) {
    const std::ptrdiff_t d = call.Offset(i);
    if (d < 1) continue;
    const std::ptrdiff_t n = call.Length(i);
    for (common::SeriesMatrix* m : {&s.SERMAT, &s.IDXMAT}) {
      const std::span<float> col = m->column(i);
      std::copy_backward(col.begin(), col.begin() + n, col.begin() + n + d);
      std::fill(col.begin(), col.begin() + d, common::kMissing);
    }
  }
}

}  // namespace engine::detail
