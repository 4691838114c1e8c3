// One sigfre call: what its phases share (the lent storage and options, the
// data set's shape) and the phases themselves, in their order, with the
// steps two phases share. Internal to the engine; the phases' helpers are
// intermediate_files.h, chronology_means.h, chronology_plots.h and
// fit_messages.h.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/console.h"
#include "common/run_options.h"
#include "common/storage.h"
#include "detrend/crvfit.h"
#include "engine/engine_state.h"
#include "plot/plot_settings.h"

namespace engine::detail {

struct EngineCall {
  EngineCall(common::Dialog& d, plot::Plotter& p, common::RunStorage& s, common::RunOptions& o,
             common::RestartState& r, EngineState& st);

  common::RunStorage& store;
  common::RunOptions& options;
  common::RestartState& restart;
  EngineState& state;
  plot::PlotContext plots;  // the plotter, its menus asked through the dialogue
  common::Dialog& dialog;

  int NS;
  int fy, ly, NYRS;  // the data set's first and last year and its span
  bool first;        // KRETRY was 0 on entry: the first call of a data set
  int entry_NOPT;    // NOPT as the engine was called
  std::string base;  // output base name

  // Which program runs: the dialogue's.
  common::ProgramVariant variant() const { return dialog.variant(); }
  bool batch() const { return variant() == common::ProgramVariant::kBatch; }
  // Option 0: titles and legends name raw data.
  bool raw() const { return detrend::IsRawAverage(entry_NOPT); }
  bool regional() const { return options.RCSFLG == 1; }

  // The NYRS years of a chronology column or per-year vector.
  std::span<float> Years(common::Block& b, int c) const { return b.column(c).first(static_cast<std::size_t>(NYRS)); }
  template <typename T>
  std::span<T> Years(std::vector<T>& v) const {
    return std::span<T>(v).first(static_cast<std::size_t>(NYRS));
  }
  std::span<int> Depth() const { return std::span<int>(store.SSize).subspan(1, static_cast<std::size_t>(NYRS)); }

  // Row offset (calendar row - ring) and length of series i.
  int Offset(int i) const { return store.IYTAB.IFY(i) - fy; }
  int Length(int i) const { return store.IYTAB.ILY(i) - store.IYTAB.IFY(i) + 1; }
};

// Phases of a call, in their order (sigfre.cpp runs them).
void SetUp(EngineCall& call);
void OpenStandardFiles(EngineCall& call);
// False when the user asked for another regional-curve detrending.
bool RegionalCurveDialogue(EngineCall& call);
void StandardPass(EngineCall& call);
void StandardChronology(EngineCall& call);
void StabiliseStandardChronology(EngineCall& call);
void ConvergenceHeader(EngineCall& call);
// False when the iteration asked the run loop for a restart.
bool SignalFreeIteration(EngineCall& call);
void RegionalCurvesAfterIteration(EngineCall& call);
// The per-series step of an iteration in regional-curve mode.
void RegionalIterationStep(EngineCall& call);
// Signal-free measurements of series j (sf.size() rings) from SERMAT and
// the chronology in SSFCHR, rescaled to the series' mean.
void SignalFreeMeasurements(EngineCall& call, int j, std::span<float> sf);
void FinalChronology(EngineCall& call);
void FinalRegionalDetrending(EngineCall& call);
void FinalScaling(EngineCall& call);
void SummaryPlots(EngineCall& call);

// The regional curve of the signal-free measurements (or, in the
// regional-curve dialogue, of the series) into state.RC and store.CRVVEC,
// with the fit's messages. Returns the curve's last age.
int FitRegionalCurve(EngineCall& call, const common::SeriesMatrix& values);

// The spline stabilisation of STBCHR column `column` with its dialogue.
struct StabilisationTexts {
  int column;     // 1 standard, 2 signal-free
  bool standard;  // the standard pass: report lines, first call only
  std::string_view spline_title;
  std::string_view compare_title;
  std::string_view compare_leg1, compare_leg2;
};
void SplineStabilisation(EngineCall& call, const StabilisationTexts& texts);

}  // namespace engine::detail
