// The engine call: its set-up and the order of its phases.
#include "engine/sigfre.h"

#include <algorithm>

#include "common/text.h"
#include "engine/chronology_means.h"
#include "engine/engine_call.h"
#include "plot/plots.h"

namespace engine {

namespace detail {

void SetUp(EngineCall& call) {
  common::RunStorage& s = call.store;
  EngineState& st = call.state;
  // The regional curves' store (4.8 MB) is used only by a regional-curve
  // call, which makes it or empties it here first.
  if (call.regional()) {
    st.RCSTOR.assign(static_cast<std::size_t>(common::MAXYRS) * 2 * kRegionalCurveSlots, common::kMissing);
  }
  // Measurements and indices move to calendar rows: both hold the data set.
  s.SERMAT.GrowRows(call.NYRS);
  s.IDXMAT.GrowRows(call.NYRS);
  st.RBARYN = call.options.IRBWIN >= 1 ? 'y' : 'n';
  st.Prepare(call.NYRS, call.NS);

  // Mean segment length, then mean ring number (approximate tree age), of
  // the series present in each year, through the mean routine.
  for (int i = 1; i <= call.NS; ++i) {
    st.NYR[static_cast<std::size_t>(i)] = call.Length(i);
    const std::span<float> rows =
        s.IDXMAT.column(i).subspan(static_cast<std::size_t>(call.Offset(i)), static_cast<std::size_t>(call.Length(i)));
    std::ranges::fill(rows, static_cast<float>(call.Length(i)));
  }
  MeanChronology(call, s.IDXMAT, call.Years(st.MSLEN), call.Years(st.spread), 1);
  for (int i = 1; i <= call.NS; ++i) {
    const std::span<float> rows =
        s.IDXMAT.column(i).subspan(static_cast<std::size_t>(call.Offset(i)), static_cast<std::size_t>(call.Length(i)));
    for (std::size_t k = 0; k < rows.size(); ++k) rows[k] = static_cast<float>(k + 1);
  }
  MeanChronology(call, s.IDXMAT, call.Years(st.MTAGE), call.Years(st.spread), 1);

  std::ranges::fill(call.Years(s.CRVVEC), 0.0f);
  if (call.restart.RCSRDO == 0 && call.restart.KRETRY == 0) {
    plot::pltser(call.plots, st.plots.pltser, call.Years(st.MSLEN), call.Years(st.MTAGE), call.NYRS, call.fy, "Years",
                 "Years", "Mean Segment Length And Mean Tree Age", call.Years(s.CRVVEC), " Mean Segment Length",
                 "Mean Approx Tree Age", plot::kIwrefFromZero);
  }
  if (call.first) OpenStandardFiles(call);
}

}  // namespace detail

EngineOutcome sigfre(common::Dialog& dialog, plot::Plotter& plotter, common::RunStorage& store,
                     common::RunOptions& options, common::RestartState& restart, EngineState& state) {
  detail::EngineCall call(dialog, plotter, store, options, restart, state);
  detail::SetUp(call);
  if (call.regional() && !detail::RegionalCurveDialogue(call)) return EngineOutcome::kRcsRedo;
  detail::StandardPass(call);
  detail::StandardChronology(call);
  if (state.RBARYN == 'y') detail::StabiliseStandardChronology(call);
  detail::ConvergenceHeader(call);
  if (!detail::SignalFreeIteration(call)) return EngineOutcome::kRestart;
  if (call.regional()) detail::RegionalCurvesAfterIteration(call);
  detail::FinalChronology(call);
  if (state.RBARYN == 'y') {
    detail::FinalRegionalDetrending(call);
    detail::FinalScaling(call);
  }
  detail::SummaryPlots(call);
  return EngineOutcome::kFinished;
}

}  // namespace engine
