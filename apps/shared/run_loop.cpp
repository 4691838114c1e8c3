#include "apps/shared/run_loop.h"

#include <algorithm>
#include <string>

#include "common/fortran_format.h"
#include "plot/plots.h"

namespace drivers {

using common::ProgramVariant;

void ReportPowerTransformApplied(common::Dialog& dialog) {
  dialog.Report("");
  dialog.Report("THE SERIES HAVE HAD ADAPTIVE POWER TRANSFORMATIONS APPLIED");
}

void ReportMeanPower(common::Dialog& dialog, float PMEAN) {
  dialog.Report(common::fmt::Print("(a,t63,f8.3)", "THE MEAN ADAPTIVE POWER TRANSFORM POWER APPLIED IS: ", PMEAN));
}

namespace {

// The constant added for this run, at column 63 (screen at column 2, the
// report at column 1 like the other result lines).
void ConstantLines(ProgramRun& run, bool first) {
  common::Dialog& d = run.dialog;
  const bool batch = run.variant() == ProgramVariant::kBatch;
  const float CONST = run.restart.CONST;
  const std::string report =
      batch ? "CONSTANT ADDED TO ALL MEASUREMENTS TO AID CONVERGENCE: "
            : "CONSTANT ADDED TO ALL MEASUREMENTS TO AID CONVERGENCE(?): ";
  const std::string screen = batch ? "Constant added to all measurements to aid convergence: " : report;
  if (first) d.Screen("");
  d.Screen(common::fmt::Print("(1x,a,t63,f8.3)", screen, CONST));
  if (first) d.Report("");
  d.Report(common::fmt::Print("(a,t63,f8.3)", report, CONST));
  if (run.options.PTRFLG == 1) ReportMeanPower(d, run.restart.PMEAN);
  if (first) {
    d.Screen("");
    d.Screen(batch ? " Okay, let us begin:" : " OKAY, LET US BEGIN:");
  }
}

}  // namespace

void PowerTransform(ProgramRun& run, bool may_plot) {
  common::RunStorage& s = run.store;
  run.restart.PMEAN = detrend::powtrn(s.SERMAT, s.IYTAB, s.NS, run.scatter);
  if (!may_plot) return;
  const detrend::ScatterColumns c = detrend::ScatterByColumn(run.scatter);
  plot::scatplt(run.plots, run.engine_state.plots.scatplt, plot::ColumnsView(c.X, c.ld), plot::ColumnsView(c.Y, c.ld),
                c.B, c.A, c.NP, s.NS, run.scatter.rho, run.scatter.a0, run.scatter.b0);
}

void PrepareRun(ProgramRun& run) {
  common::RunStorage& s = run.store;
  common::RestartState& r = run.restart;
  const bool first = r.KRETRY == 0;
  r.CONST = 0.1f * static_cast<float>(r.KRETRY);
  for (int i = 1; i <= s.NS; ++i) {
    const std::size_t n = static_cast<std::size_t>(s.IYTAB.Span(i));
    const std::span<const float> kept = s.SERWRK.column_view(i).first(n);
    std::ranges::transform(kept, s.SERMAT.column(i).begin(), [&](float v) { return v + r.CONST; });
    r.CRVMIN[static_cast<std::size_t>(i)] = common::kCurveFloor;
  }
  if (run.options.PTRFLG == 1) {
    if (first) ReportPowerTransformApplied(run.dialog);
    PowerTransform(run, first && run.variant() == ProgramVariant::kInteractive);
  }
  ConstantLines(run, first);
  // Every curve is fitted to its series' last year (the fit-end switch is "n").
  for (int i = 1; i <= s.NS; ++i) s.IYTAB.NYR(i) = s.IYTAB.ILY(i);
}

engine::EngineOutcome RunOnce(ProgramRun& run) {
  PrepareRun(run);
  return engine::sigfre(run.dialog, run.plots.plotter, run.store, run.options, run.restart, run.engine_state);
}

void RunUntilDone(ProgramRun& run, const std::function<void(ProgramRun&)>& rcs_redo) {
  run.saved_NOPT = run.options.NOPT;
  for (;;) {
    switch (RunOnce(run)) {
      case engine::EngineOutcome::kFinished:
        return;
      case engine::EngineOutcome::kRcsRedo:
        run.restart.KRETRY = 0;
        run.options.NOPT = static_cast<int>(detrend::CurveOption::kRegionalCurve);
        rcs_redo(run);
        run.saved_NOPT = run.options.NOPT;
        break;
      case engine::EngineOutcome::kRestart:
        run.options.NOPT = run.saved_NOPT;
        break;
    }
  }
}

void KeepLastRun(ProgramRun& run) {
  common::RunStorage& s = run.store;
  run.options.NOPT = run.saved_NOPT;
  const std::size_t span = static_cast<std::size_t>(s.IYTAB.Span(s.NS + 1));
  for (int c = 1; c <= 2; ++c) {
    std::ranges::copy(s.ORGCHR.column_view(c).first(span), s.STDCHR.column(c).begin());
  }
}

}  // namespace drivers
