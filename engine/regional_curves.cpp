// Regional-curve mode of the signal-free iteration: one regional curve of
// all signal-free measurements per iteration, every series detrended by it
// at its biological ages; the store of all curves, "_RCScurves.txt" and
// their plots.
#include <algorithm>
#include <optional>

#include "common/fortran_format.h"
#include "common/limits.h"
#include "detrend/mean_chronology.h"
#include "engine/engine_call.h"
#include "engine/intermediate_files.h"
#include "engine/sigfre.h"
#include "plot/plots.h"

namespace engine::detail {

namespace fmt = common::fmt;

namespace {

// "Iteration       Regional Curve MVF " with ITER in columns 11-14.
std::string CurveTitle(int ITER) {
  std::string t = "Iteration       Regional Curve MVF ";
  t.replace(10, 4, fmt::Print("(i4)", ITER));
  return t;
}

// "Iteration #                        " with ITER in columns 13-16.
std::string SeriesTitle(int ITER) {
  std::string t = "Iteration #                        ";
  t.replace(12, 4, fmt::Print("(i4)", ITER));
  return t;
}

// The latest regional curve and its fit into the next slot of the store,
// ages RCOFF+1..RCLEN; a full store takes no more.
void SaveCurve(EngineCall& call) {
  EngineState& st = call.state;
  if (st.NRCSAV >= kRegionalCurveSlots) return;
  ++st.NRCSAV;
  for (int b = st.RCOFF + 1; b <= st.RCLEN; ++b) {
    st.RcStore(b, 1, st.NRCSAV) = st.RC[static_cast<std::size_t>(b - 1)];
    st.RcStore(b, 2, st.NRCSAV) = call.store.CRVVEC[static_cast<std::size_t>(b - 1)];
  }
}

// A new regional curve of the signal-free measurements, shown, stored.
void NewRegionalCurve(EngineCall& call, bool show) {
  EngineState& st = call.state;
  st.RCLENI = FitRegionalCurve(call, st.SFSMAT);
  if (show) {
    plot::pltrcb(call.plots, st.plots.pltrcb, st.RC, call.store.CRVVEC, 1, st.RCLEN, common::kMissing,
                 CurveTitle(call.store.ITER), st.RCOFF);
  }
  SaveCurve(call);
}

}  // namespace

void RegionalIterationStep(EngineCall& call) {
  common::RunStorage& s = call.store;
  EngineState& st = call.state;
  const common::RunOptions& o = call.options;
  const int ITER = s.ITER;
  const float CONST = call.restart.CONST;

  for (int j = 1; j <= call.NS; ++j) {
    SignalFreeMeasurements(call, j, st.SFSMAT.column(j).first(static_cast<std::size_t>(call.Length(j))));
    st.OptionCode(j, ITER) = o.NOPT;
  }
  NewRegionalCurve(call, st.PLTLOT == 1);

  // A series whose fit is unstable is given the replacement code, and the
  // regional curve is fitted, shown and stored once more. The curve is one
  // for all series and its refit is the same whichever series asked for it,
  // so it is made once an iteration, not once for every such series.
  bool flipped = false;
  for (int j = 1; j <= call.NS; ++j) {
    if (const std::optional<int> code =
            UnstableFitReplacement(o, ITER, st.OptionCode(j, ITER - 1), st.OptionCode(j, ITER))) {
      st.OptionCode(j, ITER) = *code;
      flipped = true;
    }
  }
  if (flipped) NewRegionalCurve(call, true);

  for (int j = 1; j <= call.NS; ++j) {
    const std::size_t n = static_cast<std::size_t>(call.Length(j));
    const std::size_t off = static_cast<std::size_t>(call.Offset(j));
    const std::size_t age = static_cast<std::size_t>(s.IPITH[static_cast<std::size_t>(j)]);
    const std::span<const float> raw = s.SERMAT.column_view(j).subspan(off, n);
    const std::span<float> curve = std::span<float>(st.Lane(0).curve).first(n),
                           ind = std::span<float>(st.Lane(0).index).first(n),
                           sf = std::span<float>(st.Lane(0).sf).first(n);
    std::copy_n(s.CRVVEC.begin() + static_cast<std::ptrdiff_t>(age), n, curve.begin());
    detrend::indxs(raw, curve, ind, o.IndxsMode());
    std::ranges::copy(ind, s.IDXMAT.column(j).begin() + static_cast<std::ptrdiff_t>(off));
    std::ranges::copy(ind, st.FINIDX.column(j).begin() + static_cast<std::ptrdiff_t>(off));

    const std::span<const float> sfs = st.SFSMAT.column_view(j).first(n);
    for (std::size_t i = 0; i < n; ++i) {
      curve[i] -= CONST;
      sf[i] = sfs[i] - CONST;
    }
    WriteSeries(call, kSeriesUnit, j, sf, "ssfraw");
    WriteSeries(call, kCurveUnit, j, curve, "ssfcrv");
    WriteSeries(call, kIndexUnit, j, ind, "ssfind");

    if (st.PLTLOT == 1) {
      // The measurements by calendar year and placed by biological age.
      const std::span<float> values = std::span<float>(s.SERVEC).first(n);
      for (std::size_t i = 0; i < n; ++i) values[i] = st.by_age[age + i] = raw[i] - CONST;
      plot::pltitr(call.plots, st.plots.pltitr, values, curve, st.by_age, s.IYTAB, common::kMissing, st.RCLENI, j,
                   static_cast<int>(n), s.SERID, SeriesTitle(ITER), s.IPITH, st.RCOFF);
      std::fill_n(st.by_age.begin() + static_cast<std::ptrdiff_t>(age), n, common::kMissing);
    }
  }
}

void RegionalCurvesAfterIteration(EngineCall& call) {
  EngineState& st = call.state;
  common::Units& units = call.dialog.units();
  OpenOutput(call, kPithUnit, "_RCScurves.txt");
  std::string header = " Bio Year ";
  for (int c = 1; c <= st.NRCSAV; ++c) header += "   RC     fRC   ";
  units.WriteLine(kPithUnit, header);
  for (int b = 1; b <= st.RCLENI; ++b) {
    std::string line = fmt::Print("(f8.2)", static_cast<float>(b));
    for (int c = 1; c <= st.NRCSAV; ++c) {
      line += fmt::Print("(2f8.2)", st.RcStore(b, 1, c), st.RcStore(b, 2, c));
    }
    units.WriteLine(kPithUnit, line);
  }
  call.dialog.CloseOrStop(kPithUnit);
  plot::pltrcs(call.plots, st.plots.pltrcs, common::MAXYRS, st.RCSTOR, st.RCLENI, st.NRCSAV, st.RCOFF,
               common::kMissing);
  plot::pltrcf(call.plots, st.plots.pltrcf, common::MAXYRS, st.RCSTOR, st.RCLENI, st.NRCSAV, st.RCOFF,
               common::kMissing);
}

}  // namespace engine::detail
