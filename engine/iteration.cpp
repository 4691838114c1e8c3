// The signal-free iteration: the chronology divided out of (or subtracted
// from) the measurements, the curves fitted again, new indices and a new
// chronology, until two successive chronologies agree.
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/fortran_format.h"
#include "common/limits.h"
#include "detrend/convergence.h"
#include "detrend/crvfit.h"
#include "detrend/mean_chronology.h"
#include "detrend/order_stats.h"
#include "detrend/parallel.h"
#include "detrend/regcrv.h"
#include "detrend/spline.h"
#include "engine/chronology_means.h"
#include "engine/engine_call.h"
#include "engine/fit_messages.h"
#include "engine/intermediate_files.h"
#include "engine/sigfre.h"

namespace engine {

IterationStep StopDecision(int ITER, float CNVSTA, float CNVPRV, float CONVTL, int KRETRY) {
  if (CNVSTA <= CONVTL) return IterationStep::kConverged;
  if (ITER >= kMaxIterations) return IterationStep::kCapped;
  if (ITER >= 7 && CNVSTA > CNVPRV) {
    return KRETRY + 1 <= common::kMaxRetries ? IterationStep::kRestart : IterationStep::kGiveUp;
  }
  return IterationStep::kNext;
}

std::optional<int> UnstableFitReplacement(const common::RunOptions& options, int ITER, int code_before, int code_now) {
  const int mean = static_cast<int>(detrend::CurveOption::kMean);
  if (options.SFFLGA != 'n' || ITER < 5) return std::nullopt;
  if (code_now == code_before && code_before != mean) return std::nullopt;
  return options.NOPT == static_cast<int>(detrend::CurveOption::kExponentialOrLine) ? kUnstableFitSpline : mean;
}

namespace detail {

namespace fmt = common::fmt;

namespace {

// The stiff options: -2, 0, 1, 2 and 6. Code -2 arises in regional-curve
// mode alone, where NOPT holds the regional curve's own code; 1, 2 and 6
// name the same models in both code sets.
bool IsStiffOption(int NOPT) {
  using detrend::CurveOption;
  if (NOPT == static_cast<int>(detrend::RcsOption::kAgeDependentSpline)) return true;
  for (CurveOption stiff : {CurveOption::kRawAverage, CurveOption::kExponentialOrLine,
                            CurveOption::kExponentialOrFallingLine, CurveOption::kMean}) {
    if (NOPT == static_cast<int>(stiff)) return true;
  }
  return false;
}

// Which of the four statistics the stop test reads from iteration 2 on:
// medians with MEDCNV 'y', means otherwise; unweighted for the stiff
// options, depth-weighted for the flexible ones.
int TestedStatistic(char MEDCNV, int NOPT) {
  const int weighted = IsStiffOption(NOPT) ? 0 : 2;
  return (MEDCNV == 'y' ? 1 : 0) + weighted;
}

// The indices of one series given back their spread: to their own standard
// deviation, or on a retry of ratios to that of the series' first-pass
// indices. Fewer than two indices, or no spread, leave them as they are.
void RescaleSpread(EngineCall& call, int j, std::span<float> ind) {
  const detrend::MeanSd ms = detrend::meansd(ind);
  if (ind.size() < 2 || !(ms.sd > 0.0f)) return;
  const float target =
      call.options.RESID == 1 || call.restart.KRETRY == 0 ? ms.sd : call.state.IDXSD1[static_cast<std::size_t>(j)];
  for (float& v : ind) v = (v - ms.xm) / ms.sd * target + ms.xm;
}

// The reports of the fits of one series, for the screen, which takes them
// in series order.
using FitReports = std::vector<std::pair<detrend::CrvfitResult, int>>;

// Per-series step of the iteration (every mode but the regional curve):
// refit, floor, indices of the measurements, their spread. Runs on the
// thread of `lane`; touches only series j's columns.
void RefitSeries(EngineCall& call, int j, EngineState::SeriesLane& lane, FitReports& fits) {
  common::RunStorage& s = call.store;
  EngineState& st = call.state;
  const common::RunOptions& o = call.options;
  const int ITER = s.ITER;
  const float CONST = call.restart.CONST;
  const std::size_t n = static_cast<std::size_t>(call.Length(j));
  const std::size_t off = static_cast<std::size_t>(call.Offset(j));

  const std::span<float> sf = std::span<float>(lane.sf).first(n);
  SignalFreeMeasurements(call, j, sf);
  if (o.RESID == 1) {
    const float lowest = *std::ranges::min_element(sf);
    if (lowest < 0.0f) {
      for (float& v : sf) v += -lowest;
    }
  }

  const std::span<float> curve = std::span<float>(lane.curve).first(n);
  const int nfit = s.IYTAB.NYR(j) - s.IYTAB.IFY(j) + 1;
  auto fit = [&](int code) {
    fits.emplace_back(detrend::crvfit(sf, curve, nfit, code, o.ALPHA, o.SPLSTF, o.SPLEND, lane.crvfit), nfit);
    st.OptionCode(j, ITER) = code;
  };
  fit(o.NOPT);
  // A series whose fit keeps changing its model, or that fell back to the
  // mean line, is fitted again with the replacement code.
  if (const std::optional<int> code =
          UnstableFitReplacement(o, ITER, st.OptionCode(j, ITER - 1), st.OptionCode(j, ITER))) {
    fit(*code);
  }
  const float floor = call.restart.CRVMIN[static_cast<std::size_t>(j)];
  for (float& c : curve) c = std::max(c, floor);

  const std::span<const float> raw = s.SERMAT.column_view(j).subspan(off, n);
  const std::span<float> ind = std::span<float>(lane.index).first(n);
  detrend::indxs(raw, curve, ind, o.IndxsMode());
  std::ranges::copy(ind, s.IDXMAT.column(j).begin() + static_cast<std::ptrdiff_t>(off));
  const std::span<float> rix = st.FINRIX.column(j).first(n), sfm = st.FINSFM.column(j).first(n),
                         crv = st.FINCRV.column(j).first(n);
  for (std::size_t i = 0; i < n; ++i) {
    rix[i] = ind[i];
    sfm[i] = sf[i] - CONST;
    crv[i] = curve[i] - CONST;
  }
  RescaleSpread(call, j, ind);
  std::ranges::copy(ind, st.FINIDX.column(j).begin() + static_cast<std::ptrdiff_t>(off));
}

// Every series refitted, on as many threads as the data set is worth; then
// the fits' reports in series order.
void RefitAllSeries(EngineCall& call) {
  EngineState& st = call.state;
  double values = 0.0;
  for (int j = 1; j <= call.NS; ++j) values += call.Length(j);
  const unsigned lanes = detrend::LanesFor(values, 2e4, call.NS);
  std::vector<FitReports> fits(static_cast<std::size_t>(call.NS));
  detrend::ParallelFor(&st.pool, call.NS, lanes, [&](int k, unsigned lane) {
    RefitSeries(call, k + 1, st.Lane(lane), fits[static_cast<std::size_t>(k)]);
  });
  for (int j = 1; j <= call.NS; ++j) {
    for (const auto& [result, nfit] : fits[static_cast<std::size_t>(j - 1)]) ShowCrvfitMessages(call, result, nfit);
  }
}

// The series' signal-free measurements, curves and rescaled indices of this
// iteration in the three files, in series order. The records of each
// series are laid out by the worker pool's threads, a series whole by one
// thread, and written in order: the files are those WriteSeries writes.
void WriteIterationFiles(EngineCall& call) {
  const EngineState& st = call.state;
  const int NS = call.NS;
  // Record set k: series k % NS + 1 in file k / NS.
  WriteSeriesRecords(call, 3 * NS, [&](int k) -> SeriesRecord {
    const int j = k % NS + 1;
    const std::size_t n = static_cast<std::size_t>(call.Length(j));
    switch (k / NS) {
      case 0: return {kSeriesUnit, j, st.FINSFM.column_view(j).first(n), "ssfraw"};
      case 1: return {kCurveUnit, j, st.FINCRV.column_view(j).first(n), "ssfcrv"};
      default:
        return {kIndexUnit, j, st.FINIDX.column_view(j).subspan(static_cast<std::size_t>(call.Offset(j)), n),
                "ssfind"};
    }
  });
}

void CloseIterationFiles(EngineCall& call) {
  for (int unit : {kSeriesUnit, kCurveUnit, kIndexUnit}) call.dialog.CloseOrStop(unit);
}

// The new chronology of this iteration in SSFCHR: negatives cut, the mean
// set to 1 with MADJ 'y' and the thin start held from iteration 2 on.
void NewChronology(EngineCall& call) {
  common::RunStorage& s = call.store;
  EngineState& st = call.state;
  const std::span<float> crn = call.Years(s.SSFCHR, 1);
  MeanChronology(call, s.IDXMAT, crn, call.Years(s.SSFCHR, 2), static_cast<int>(call.options.MEANMD));
  st.CHRMN0 = detrend::meansd(crn).xm;
  ClipAtZero(crn);
  std::ranges::copy(crn, call.Years(s.RBRV1, 1).begin());
  const std::span<float> now = call.Years(s.RCSVEC, s.ITER + 1);
  std::ranges::copy(crn, now.begin());
  if (call.options.MADJ != 'y') return;
  Recentre(crn, MeanFrom(crn, st.NLEAD1 + 1));
  std::ranges::copy(crn, now.begin());
  if (s.ITER < 2) return;
  const std::span<const float> before = call.Years(s.RCSVEC, s.ITER);
  for (int k = 0; k < st.NLEAD6; ++k)
    crn[static_cast<std::size_t>(k)] = now[static_cast<std::size_t>(k)] = before[static_cast<std::size_t>(k)];
}

// The four convergence statistics of the change from the previous
// chronology, after the age-dependent spline has taken out the change it
// follows.
detrend::SfconvResult Convergence(EngineCall& call) {
  common::RunStorage& s = call.store;
  EngineState& st = call.state;
  const std::size_t nyrs = static_cast<std::size_t>(call.NYRS);
  const std::span<float> d = call.Years(s.SERVEC);
  const std::span<const float> crn = call.Years(s.SSFCHR, 1);
  const std::span<float> dif = call.Years(st.ITRDIF, s.ITER);
  for (std::size_t k = 0; k < nyrs; ++k) d[k] = dif[k] = st.PRVCHR[k] - crn[k];

  const std::span<float> smooth = call.Years(s.CRVVEC);
  if (call.options.SPLITR == 'y') {
    for (std::size_t i = 0; i + 2 < nyrs; ++i) s.ISTFVC[i] = static_cast<int>(st.MSLEN[i + 1]);
    const detrend::SplineResult r = detrend::splage(d, smooth, s.ISTFVC, st.spline);
    ShowSplineMessages(call, r.status, detrend::SplineRoutine::kSplage);
    if (r.status == detrend::SplineStatus::kOk) {
      for (std::size_t k = 0; k < nyrs; ++k) d[k] -= smooth[k];
    }
  }
  // With the TARN tweaks the thin start does not count.
  const std::size_t skip = call.options.TARNYN == 'y' ? static_cast<std::size_t>(st.NLEAD6) : 0;
  const std::span<float> absd = smooth.subspan(0, nyrs - skip);
  for (std::size_t i = 0; i < absd.size(); ++i) absd[i] = std::fabs(d[skip + i]);
  return detrend::sfconv(absd, call.Years(st.stab_in), call.Depth().subspan(skip));
}

// The "Iter" line of the convergence table (report only), with an asterisk
// beside each statistic at a new low.
void ReportIteration(EngineCall& call, const detrend::SfconvResult& r) {
  EngineState& st = call.state;
  const int ITER = call.store.ITER;
  const std::array<float, 4> value = {r.mean, r.median, r.wmean, r.wmedian};
  std::array<const char*, 4> mark{};
  for (std::size_t q = 0; q < 4; ++q) {
    mark[q] = value[q] < st.SFCMIN[q] ? "*" : " ";
    st.SFCMIN[q] = std::min(st.SFCMIN[q], value[q]);
  }
  st.CNVHIS[static_cast<std::size_t>(ITER)] = value;
  call.dialog.Report(fmt::Print("(1x,'Iter ',i3,'  Convergence Criteria: ',f13.8,a,3(f14.8,a))", ITER, value[0],
                                mark[0], value[1], mark[1], value[2], mark[2], value[3], mark[3]));
}

void WarnRise(EngineCall& call) {
  common::Dialog& d = call.dialog;
  const char* text = call.batch() ? "(1x,'WARNING: Convergence tests are not monotonic decreasing, Iter:',t67,i3)"
                                  : "(1x,'WARNING: CONVERGENCE TESTS ARE NOT MONOTONIC DECREASING, ITER:',t67,i3)";
  d.Both("");
  d.Both(fmt::Print(text, call.store.ITER));
}

void AdviseGivingUp(EngineCall& call) {
  common::Dialog& d = call.dialog;
  d.Screen("");
  if (call.batch()) {
    d.Screen(" Okay, adding a constant to the data usually results in convergence");
    d.Screen(" eventually when using flexible data-adaptive curve fits like the");
    d.Screen(" spline or friedman smoother. but not this time. Even so, the final");
    d.Screen(" convergence trace may be close enough to flat to be acceptable.");
  } else {
    d.Screen(" OKAY, ADDING A CONSTANT TO THE DATA USUALLY RESULTS IN CONVERGENCE");
    d.Screen(" EVENTUALLY WHEN USING FLEXIBLE DATA-ADAPTIVE CURVE FITS LIKE THE");
    d.Screen(" SPLINE OR FRIEDMAN SMOOTHER. BUT NOT THIS TIME. EVEN SO, THE FINAL");
    d.Screen(" CONVERGENCE TRACE MAY BE CLOSE ENOUGH TO FLAT TO BE ACCEPTABLE.");
  }
  d.Screen("");
  d.WaitReturn(" Hit return to continue ...");
}

}  // namespace

void SignalFreeMeasurements(EngineCall& call, int j, std::span<float> sf) {
  const common::RunStorage& s = call.store;
  const EngineState& st = call.state;
  const bool ratios = call.options.RESID == 0;
  const std::size_t off = static_cast<std::size_t>(call.Offset(j));
  const std::span<const float> x = s.SERMAT.column_view(j).subspan(off, sf.size());
  const std::span<const float> crn = s.SSFCHR.column_view(1).subspan(off, sf.size());
  const std::span<const int> depth = call.Depth().subspan(off, sf.size());
  // Years in which the series stands alone, and years whose chronology is
  // not positive (ratios), keep the measurement.
  for (std::size_t i = 0; i < sf.size(); ++i) {
    if (depth[i] < 2) {
      sf[i] = x[i];
    } else if (ratios) {
      sf[i] = crn[i] > 0.0f ? x[i] / crn[i] : x[i];
    } else {
      sf[i] = x[i] - crn[i];
    }
  }
  if (call.options.SFFLGB != 'y') return;

  // Back to the series' own mean; the lone series at the start only after
  // its lone years.
  std::span<float> part = sf;
  const int lone = st.NLEAD1;
  if (lone >= 1 && j == st.LEADSR && static_cast<int>(sf.size()) - lone > 0) {
    part = sf.subspan(static_cast<std::size_t>(lone));
  }
  const float m = detrend::meansd(part).xm;
  const float target = st.SERMNS[static_cast<std::size_t>(j)];
  if (ratios) {
    if (m == 0.0f) return;
    for (float& v : part) v = target * v / m;
  } else {
    for (float& v : part) v = target + (v - m);
  }
}

bool SignalFreeIteration(EngineCall& call) {
  common::RunStorage& s = call.store;
  EngineState& st = call.state;
  const common::RunOptions& o = call.options;
  const int tested = TestedStatistic(o.MEDCNV, call.entry_NOPT);
  // Outside the regional curves' step each iteration empties the files to
  // their title line, and only the one that ends the loop fills them. The
  // first iteration of the call empties them; those after it would find
  // them so already and leave them be, so the files are opened again only
  // to be filled.
  bool emptied = false;
  for (;;) {
    const int ITER = ++s.ITER;
    if (call.regional() || !emptied) {
      OpenIntermediateFiles(call, "SSF", true);
      emptied = true;
    }
    // The rescaled indices: missing outside each series' years. The refits
    // write every one of the series' own years, so only the rows around
    // them are filled (the regional step fills its columns whole).
    for (int j = 1; j <= call.NS; ++j) {
      const std::span<float> column = st.FINIDX.column(j);
      if (call.regional()) {
        std::ranges::fill(column, common::kMissing);
        continue;
      }
      const std::size_t off = std::min(static_cast<std::size_t>(call.Offset(j)), column.size());
      const std::size_t end = std::min(off + static_cast<std::size_t>(call.Length(j)), column.size());
      std::fill(column.begin(), column.begin() + static_cast<std::ptrdiff_t>(off), common::kMissing);
      std::fill(column.begin() + static_cast<std::ptrdiff_t>(end), column.end(), common::kMissing);
    }
    // The regional curves' step writes its files as it goes, between its
    // plots. Otherwise nothing waits for the user from here to the stop
    // test, and the files, emptied every iteration, are written only by the
    // iteration that ends the loop: every other iteration's content would be
    // replaced before anyone could see it.
    if (call.regional()) {
      RegionalIterationStep(call);
      CloseIterationFiles(call);
    } else {
      RefitAllSeries(call);
    }

    NewChronology(call);
    const detrend::SfconvResult r = Convergence(call);
    ReportIteration(call, r);
    st.CNVSTA = r.mean;
    if (ITER >= 2) {
      st.CNVSTA = st.CNVHIS[static_cast<std::size_t>(ITER)][static_cast<std::size_t>(tested)];
      st.CNVPRV = st.CNVHIS[static_cast<std::size_t>(ITER - 1)][static_cast<std::size_t>(tested)];
    }

    const IterationStep step = StopDecision(ITER, st.CNVSTA, st.CNVPRV, o.CONVTL, call.restart.KRETRY);
    if (!call.regional()) {
      if (step != IterationStep::kNext) {
        if (!call.dialog.units().IsOpen(kSeriesUnit)) OpenIntermediateFiles(call, "SSF", true);
        WriteIterationFiles(call);
      }
      CloseIterationFiles(call);
    }
    if (step == IterationStep::kConverged || step == IterationStep::kCapped) {
      st.KRTSAV = call.restart.KRETRY;
      call.restart.KRETRY = 0;
      break;
    }
    if (step == IterationStep::kRestart || step == IterationStep::kGiveUp) {
      WarnRise(call);
      std::ranges::copy(call.Years(st.PRVCHR), call.Years(s.SSFCHR, 1).begin());
      ++call.restart.KRETRY;
      --s.ITER;
      if (step == IterationStep::kRestart) return false;
      st.KRTSAV = call.restart.KRETRY;
      AdviseGivingUp(call);
      break;
    }
    std::ranges::copy(call.Years(s.SSFCHR, 1), st.PRVCHR.begin());
  }
  ShowIncompleteFiles(call, "SSF");  // the last iteration's files are the ones kept
  // The final chronology from the indices given back their spread.
  MeanChronology(call, st.FINIDX, call.Years(s.SSFCHR, 1), call.Years(s.SSFCHR, 2), static_cast<int>(o.MEANMD));
  return true;
}

}  // namespace detail
}  // namespace engine
