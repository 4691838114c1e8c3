#include "engine/engine_call.h"

#include <algorithm>
#include <optional>
#include <sstream>
#include <string>

#include "common/fortran_format.h"
#include "common/text.h"
#include "detrend/curve.h"
#include "detrend/gamfit.h"
#include "detrend/lowfit.h"
#include "detrend/order_stats.h"
#include "detrend/parallel.h"
#include "detrend/running_rbar.h"
#include "engine/stats_report.h"
#include "files/character_helpers.h"
#include "files/decade.h"
#include "plot/plots.h"

namespace engine::detail {

namespace fmt = common::fmt;
using common::ExitStatus;

EngineCall::EngineCall(common::Dialog& d, plot::Plotter& p, common::RunStorage& s, common::RunOptions& o,
                       common::RestartState& r, EngineState& st)
    : store(s),
      options(o),
      restart(r),
      state(st),
      plots{d, p},
      dialog(d),
      NS(s.NS),
      fy(s.IYTAB.IFY(s.NS + 1)),
      ly(s.IYTAB.ILY(s.NS + 1)),
      NYRS(ly - fy + 1),
      first(r.KRETRY == 0),
      entry_NOPT(o.NOPT),
      base(files::OutputStem(s.DATFIL)) {}

void OpenOutput(EngineCall& call, int unit, std::string_view suffix) {
  common::Assign(call.store.OUTNAM, call.base + std::string(suffix));
  call.dialog.OpenOrStop(unit, std::string(common::TrimRight(call.store.OUTNAM)));
}

void WriteTitle(EngineCall& call, int unit) {
  call.dialog.units().WriteLine(unit, common::Fixed(call.store.TITLE[1], 100));
}

namespace {

// Notes series i as left out of the file open on `unit`, with the reason.
void NoteLeftOut(EngineCall& call, int unit, int i, std::span<const float> values) {
  const std::string& id = call.store.SERID[static_cast<std::size_t>(i)];
  call.dialog.units().NoteLeftOut(unit, files::RwlUnwritable(id, call.store.IYTAB.IFY(i), values).value_or(""));
}

}  // namespace

void WriteSeries(EngineCall& call, int unit, int i, std::span<const float> values, std::string_view label) {
  common::Unit& file = *call.dialog.units().Get(unit);
  const std::string& id = call.store.SERID[static_cast<std::size_t>(i)];
  if (!files::WriteRwl(file, id, call.store.IYTAB.IFY(i), values, label)) NoteLeftOut(call, unit, i, values);
}

void WriteSeriesRecords(EngineCall& call, int count, const std::function<SeriesRecord(int)>& record) {
  constexpr int kChunk = 256;  // a few hundred kilobytes of records at a time
  std::vector<std::string> text(static_cast<std::size_t>(std::min(count, kChunk)));
  std::vector<char> written(text.size());
  for (int first = 0; first < count; first += kChunk) {
    const int n = std::min(kChunk, count - first);
    double values = 0.0;
    for (int k = first; k < first + n; ++k) values += static_cast<double>(record(k).values.size());
    detrend::ParallelFor(&call.state.pool, n, detrend::LanesFor(values, 2e4, n), [&](int c, unsigned) {
      const SeriesRecord r = record(first + c);
      std::ostringstream out;
      written[static_cast<std::size_t>(c)] =
          files::WriteRwl(out, call.store.SERID[static_cast<std::size_t>(r.series)], call.store.IYTAB.IFY(r.series),
                          r.values, r.label);
      text[static_cast<std::size_t>(c)] = std::move(out).str();
    });
    for (int c = 0; c < n; ++c) {
      const SeriesRecord r = record(first + c);
      if (!written[static_cast<std::size_t>(c)]) NoteLeftOut(call, r.unit, r.series, r.values);
      common::Unit& unit = *call.dialog.units().Get(r.unit);
      const std::string_view records = text[static_cast<std::size_t>(c)];
      for (std::size_t at = 0; at < records.size();) {
        const std::size_t end = std::min(records.find('\n', at), records.size());
        unit.WriteLine(records.substr(at, end - at));
        at = end + 1;
      }
    }
  }
}

void ShowIncompleteFiles(EngineCall& call, std::string_view pass) {
  for (int unit : {kSeriesUnit, kCurveUnit, kIndexUnit}) {
    call.dialog.ShowIfIncomplete(call.base + IntermediateSuffix(pass, unit, call.options.RESID, call.options.PTRFLG));
  }
}

void MeanChronology(EngineCall& call, const common::SeriesMatrix& x, std::span<float> crn, std::span<float> spr,
                    int MEANMD) {
  common::SeriesMatrix& bwt = call.state.BWTMAT;
  for (int c = 1; c <= call.NS; ++c) {
    if (bwt.allocated(c)) std::ranges::fill(bwt.column(c), common::kMissing);
  }
  const detrend::RobsumStatus status = detrend::ROBSUM(
      x, bwt, call.NYRS, call.NS, crn, spr, call.Years(call.state.vratio), call.Depth(), MEANMD, call.state.robsum);
  StopOnRobsumFailure(call.dialog, status, call.NS, call.state.robsum.maxnum);
}

float MeanFrom(std::span<const float> x, int first_row) {
  const std::size_t skip = static_cast<std::size_t>(std::max(first_row - 1, 0));
  if (skip >= x.size()) return detrend::meansd(x).xm;
  return detrend::meansd(x.subspan(skip)).xm;
}

void Recentre(std::span<float> x, float m) {
  for (float& v : x) v = std::max(v - m + 1.0f, 0.0f);
}

void ClipAtZero(std::span<float> x) {
  for (float& v : x) v = std::max(v, 0.0f);
}

void ShowSplineMessages(EngineCall& call, detrend::SplineStatus status, detrend::SplineRoutine routine) {
  for (const std::string& line : detrend::SplineMessageLines(status, routine, call.variant()))
    call.dialog.Screen(line);
  if (status == detrend::SplineStatus::kTooLong) call.dialog.Stop(ExitStatus::kAbnormal);
}

void ShowCrvfitMessages(EngineCall& call, const detrend::CrvfitResult& result, int nfit) {
  for (const std::string& line : detrend::CrvfitMessageLines(result, nfit, call.variant()))
    call.dialog.Screen(line);
  if (result.no_values) call.dialog.StopAfterReturn(ExitStatus::kAbnormal);
  if (result.spline == detrend::SplineStatus::kTooLong) call.dialog.Stop(ExitStatus::kAbnormal);
}

void ShowDetrndMessages(EngineCall& call, const detrend::DetrndResult& r) {
  common::Dialog& d = call.dialog;
  if (r.exponential_tried) {
    const std::string line = detrend::CurveMessage(r.exponential, r.nfit);
    if (!line.empty()) d.Screen(line);
  }
  ShowSplineMessages(call, r.spline, r.spline_routine);
  if (r.msmoor_ier != 0) {
    d.Screen("");
    d.Screen(" " + detrend::MsmoorMessage(r.msmoor_ier));
    if (r.msmoor_ier != 20) d.WaitReturn(" Hit RETURN to Continue");
  }
  if (r.amoeba_itmax) {
    d.Screen(" " + std::string(detrend::kAmoebaItmaxText));
    d.WaitReturn(" Hit RETURN to Continue");
  }
  if (r.gexp != detrend::GexpStatus::kOk) {
    d.Screen("");
    d.Screen(" " + std::string(r.gexp == detrend::GexpStatus::kNoValues ? detrend::kGexpNoValuesText
                                                                        : detrend::kGexpNoPositiveText));
    d.Screen("");
    d.StopAfterReturn(ExitStatus::kAbnormal);
  }
  if (r.no_values) {
    d.Screen("");
    d.Screen(" " + std::string(detrend::kXmean2NoValues));
    d.StopAfterReturn(ExitStatus::kAbnormal);
  }
}

std::vector<float> Level(int n, float v) { return std::vector<float>(static_cast<std::size_t>(std::max(n, 1)), v); }

void ChronologyPlot(EngineCall& call, std::span<const float> c1, std::span<const float> c2, std::string_view ylab,
                    std::string_view title, std::span<const float> ref, std::string_view leg1, std::string_view leg2) {
  plot::pltser(call.plots, call.state.plots.pltser, c1, c2, call.NYRS, call.fy, "Years", ylab, title, ref, leg1, leg2,
               plot::kIwrefDefault);
}

std::string WithNumberAt(std::string_view text, std::size_t column, std::string_view format, int value) {
  return common::PadTo(text, column) + fmt::Print(format, value);
}

std::string WindowLegend(std::string_view head, int window) {
  return WithNumberAt(head, 15, window >= 1000 ? "(i4)" : window >= 100 ? "(i3)" : "(i2)", window) + " Yrs)";
}

std::string BiweightLegend(int ITER) {
  return WithNumberAt("Iteration: ", 12, "(i3)", ITER) + "  hh,med,hl,min biwgts";
}

void RbarPlots(EngineCall& call, std::string_view title, std::string_view rbar_leg2, std::string_view eps_leg2) {
  common::Block& t = call.store.RBRV3;
  const int window = call.options.IRBWIN;
  const std::vector<float> none = Level(call.NYRS, plot::kNoReference);
  ChronologyPlot(call, call.Years(t, 2), call.Years(t, 4), "RBAR", title, none, WindowLegend("Running RBAR (", window),
                 rbar_leg2);

  std::vector<float> eps1(static_cast<std::size_t>(call.NYRS)), eps2(eps1.size());
  auto eps = [](float n, float r) { return n * r / (1.0f - r + n * r); };
  for (int k = 1; k <= call.NYRS; ++k) {
    const float n = t.get(k, 1);
    eps1[static_cast<std::size_t>(k - 1)] = eps(n, t.get(k, 2));
    eps2[static_cast<std::size_t>(k - 1)] = eps(n, t.get(k, 4));
  }
  ChronologyPlot(call, eps1, eps2, "EPS", title, Level(call.NYRS, plot::kReferenceAt085),
                 WindowLegend(" Running EPS (", window), eps_leg2);
}

void RunningRbar(EngineCall& call, std::string_view suffix) {
  common::RunStorage& s = call.store;
  OpenOutput(call, kRbarUnit, suffix);
  const int window = call.options.IRBWIN;
  const detrend::RunrbrResult r =
      detrend::runrbr(s.IDXMAT, s.RBRV1, s.IYTAB, call.NS, s.RBRV2, s.RBRV3, window, window - 1, &call.state.pool);
  if (call.restart.KRETRY == 0) ShowRunrbrMessages(call.dialog, r);
  WriteRunrbrTable(*call.dialog.units().Get(kRbarUnit), s.RBRV3, call.fy, call.NYRS, r.nwin, &call.state.pool);
  call.dialog.CloseOrStop(kRbarUnit);
}

}  // namespace engine::detail
