// The standard pass: the first detrending of every series, its indices, the
// standard intermediate files and the move of the series and indices from
// ring rows to calendar rows.
#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "common/limits.h"
#include "detrend/crvfit.h"
#include "detrend/mean_chronology.h"
#include "detrend/order_stats.h"
#include "detrend/parallel.h"
#include "engine/engine_call.h"
#include "engine/fit_messages.h"
#include "engine/intermediate_files.h"
#include "plot/plots.h"

namespace engine::detail {

void OpenStandardFiles(EngineCall& call) {
  OpenIntermediateFiles(call, "STD", !detrend::IsRawAverage(call.options.NOPT));
}

void StandardPass(EngineCall& call) {
  common::RunStorage& s = call.store;
  EngineState& st = call.state;
  const common::RunOptions& o = call.options;
  const float CONST = call.restart.CONST;
  const bool indices = !detrend::IsRawAverage(o.NOPT);
  const int NS = call.NS;

  // The lent vector CRVVEC (the floored fit) was the scratch of one series
  // after another: each position ends holding the value of the last series
  // that reaches it. That series writes it; every series is computed whole
  // by one thread. Only one reader sees what it holds: the plot of the
  // standard chronology's stabilisation when its spline fails, which leaves
  // the vector as it was but for its first value.
  std::vector<std::size_t> beyond(static_cast<std::size_t>(NS) + 2, 0);  // the longest series after i
  for (int i = NS - 1; i >= 1; --i) {
    beyond[static_cast<std::size_t>(i)] =
        std::max(beyond[static_cast<std::size_t>(i) + 1], static_cast<std::size_t>(call.Length(i + 1)));
  }
  double values = 0.0;
  for (int i = 1; i <= NS; ++i) values += call.Length(i);
  const unsigned lanes = detrend::LanesFor(values, 2e4, NS);
  std::vector<detrend::CrvfitResult> fits(static_cast<std::size_t>(NS));
  detrend::ParallelFor(&st.pool, NS, lanes, [&](int k, unsigned lane) {
    const int i = k + 1;
    EngineState::SeriesLane& own = st.Lane(lane);
    const std::size_t n = static_cast<std::size_t>(call.Length(i));
    const std::span<const float> x = s.SERMAT.column_view(i).first(n);
    st.SERMNS[static_cast<std::size_t>(i)] = detrend::meansd(x).xm;

    // The curve: the series' own fit, floored, or the regional curve at the
    // series' biological ages (pith offset + ring).
    const std::span<float> curve = std::span<float>(own.curve).first(n);
    if (call.regional()) {
      const std::size_t age_offset = static_cast<std::size_t>(s.IPITH[static_cast<std::size_t>(i)]);
      std::copy_n(s.CRVVEC.begin() + static_cast<std::ptrdiff_t>(age_offset), n, curve.begin());
    } else {
      int code = detrend::IsRawAverage(o.NOPT) ? static_cast<int>(detrend::CurveOption::kMean) : o.NOPT;
      fits[static_cast<std::size_t>(k)] =
          detrend::crvfit(x, curve, static_cast<int>(n), code, o.ALPHA, o.SPLSTF, o.SPLEND, own.crvfit);
      const float floor = call.restart.CRVMIN[static_cast<std::size_t>(i)];
      for (float& c : curve) c = std::max(c, floor);
      const std::size_t from = std::min(beyond[static_cast<std::size_t>(i)], n);
      std::copy(curve.begin() + static_cast<std::ptrdiff_t>(from), curve.end(),
                s.CRVVEC.begin() + static_cast<std::ptrdiff_t>(from));
    }

    const std::span<float> ind = std::span<float>(own.index).first(n);
    if (indices) {
      detrend::indxs(x, curve, ind, o.IndxsMode());
    } else {
      std::ranges::copy(x, ind.begin());
    }

    const std::span<float> raw = st.RAWORG.column(i).first(n), crv = st.CRVORG.column(i).first(n),
                           idx = st.IDXORG.column(i).first(n);
    for (std::size_t r = 0; r < n; ++r) {
      raw[r] = x[r] - CONST;
      crv[r] = curve[r] - CONST;
      idx[r] = ind[r];
    }
    std::ranges::copy(ind, s.IDXMAT.column(i).begin());
    st.IDXSD1[static_cast<std::size_t>(i)] = detrend::meansd(ind).sd;
  });

  // In series order: the fits' messages, then (on a first call) the
  // series' records.
  for (int i = 1; i <= NS; ++i) {
    if (!call.regional()) ShowCrvfitMessages(call, fits[static_cast<std::size_t>(i - 1)], call.Length(i));
  }
  if (call.first) {
    const int files = indices ? 3 : 2;
    constexpr std::array<int, 3> kUnits = {kSeriesUnit, kCurveUnit, kIndexUnit};
    constexpr std::array<const char*, 3> kLabels = {"stdraw", "stdcrv", "stdind"};
    // Record set k: series k / files + 1 in file k % files.
    WriteSeriesRecords(call, NS * files, [&](int k) -> SeriesRecord {
      const int i = k / files + 1, f = k % files;
      const common::SeriesMatrix& m = f == 0 ? st.RAWORG : f == 1 ? st.CRVORG : st.IDXORG;
      return {kUnits[static_cast<std::size_t>(f)], i,
              m.column_view(i).first(static_cast<std::size_t>(call.Length(i))), kLabels[static_cast<std::size_t>(f)]};
    });
  }

  if (call.regional()) plot::pltcal(call.plots, st.plots.pltcal, s.IDXMAT, call.NS, s.IYTAB, common::kMissing);
  for (int unit : {kSeriesUnit, kCurveUnit, kIndexUnit}) call.dialog.CloseOrStop(unit);
  if (call.first) ShowIncompleteFiles(call, "STD");

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
