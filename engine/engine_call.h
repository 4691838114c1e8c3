// What the phases of one sigfre call share: the lent storage and options,
// the data set's shape, and the small helpers every phase uses (output
// files, series records, means over the chronology's later years, plots,
// messages of the curve fits). Internal to the engine.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/console.h"
#include "common/run_options.h"
#include "common/storage.h"
#include "detrend/crvfit.h"
#include "detrend/regcrv.h"
#include "engine/sigfre.h"
#include "plot/plot_settings.h"

namespace engine::detail {

// File units of the engine (common/units.h): kSeriesUnit, kCurveUnit,
// kIndexUnit, kRbarUnit, and kPithUnit for the regional curves file.
using common::kCurveUnit;
using common::kIndexUnit;
using common::kPithUnit;
using common::kRbarUnit;
using common::kSeriesUnit;

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
  bool raw() const { return entry_NOPT == 0; }
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

// The file suffix of the standard ("STD") or signal-free ("SSF") pass's
// measurements (unit 30), curves (31) or indices (32): "_STD_RAW_Data.txt",
// "_SSF_PTR_Resids.txt" and so on.
std::string IntermediateSuffix(std::string_view pass, int unit, int RESID, int PTRFLG);
// Opens the pass's three files empty, each headed by TITLE(1); without
// indices (option 0) only the first two.
void OpenIntermediateFiles(EngineCall& call, std::string_view pass, bool with_indices);

// Opens `unit` for writing on the base name followed by `suffix`; a file
// that cannot be opened ends the run abnormally with a line naming it.
void OpenOutput(EngineCall& call, int unit, std::string_view suffix);
// Writes TITLE(1), all 100 characters, as the first record of `unit`.
void WriteTitle(EngineCall& call, int unit);
// Appends series i's values to `unit` as a decade ring-width series
// (thousandths) with `label` after every full line. A series the format
// cannot hold (files::RwlUnwritable) is left out, and noted as left out of
// the file (common::Units::NoteLeftOut).
void WriteSeries(EngineCall& call, int unit, int i, std::span<const float> values, std::string_view label);
// One series' record set in a pass's file: series i's values with `label`.
struct SeriesRecord {
  int unit;
  int series;
  std::span<const float> values;
  const char* label;
};
// Writes record(k) for k = 0..count-1, each as WriteSeries writes one, every
// file receiving its record sets in the order of k. The records are laid out
// by the worker pool's threads a few hundred sets at a time (a set whole by
// one thread) and written in order.
void WriteSeriesRecords(EngineCall& call, int count, const std::function<SeriesRecord(int)>& record);
// Once the files of a pass ("STD" or "SSF") are final: each that lacks a
// series is named with the series left out. The run goes on; the program
// ends abnormally once all its files are written (Dialog::EndIfIncomplete).
// (The files of an iteration that is followed by another are written anew,
// so a value only an early iteration reaches leaves nothing out.)
void ShowIncompleteFiles(EngineCall& call, std::string_view pass);

// Resets the weights (BWTMAT columns 1..NS) and averages the columns of x
// year by year with the mean routine (MEANMD 1 arithmetic, 2 biweight) into
// crn and spr, the depth into SSize. A year without values stops the run.
void MeanChronology(EngineCall& call, const common::SeriesMatrix& x, std::span<float> crn, std::span<float> spr,
                    int MEANMD);

// The mean of x over rows `first_row`..end (1-based), or of all of x when
// that range is empty.
float MeanFrom(std::span<const float> x, int first_row);
// x := x - m + 1, values below 0 set to 0.
void Recentre(std::span<float> x, float m);
// Values below 0 set to 0.
void ClipAtZero(std::span<float> x);

// The lines a curve fit or a regional-curve fit writes, and the stops they
// call for.
void ShowCrvfitMessages(EngineCall& call, const detrend::CrvfitResult& result, int nfit);
void ShowDetrndMessages(EngineCall& call, const detrend::DetrndResult& result);
void ShowSplineMessages(EngineCall& call, detrend::SplineStatus status, detrend::SplineRoutine routine);

// A curve of n values at level v (reference lines of the plots).
std::vector<float> Level(int n, float v);
// pltser of two chronologies over the data set's years.
void ChronologyPlot(EngineCall& call, std::span<const float> c1, std::span<const float> c2, std::string_view ylab,
                    std::string_view title, std::span<const float> ref, std::string_view leg1, std::string_view leg2);
// The running RBAR and EPS plots of the table in RBRV3.
void RbarPlots(EngineCall& call, std::string_view title, std::string_view rbar_leg2, std::string_view eps_leg2);
// "Running RBAR (51 Yrs)": the window in 2 columns from position 15, 3
// when it is 100 or more, 4 from 1000, after `head` (14 characters).
std::string WindowLegend(std::string_view head, int window);
// "Iteration: " with ITER in positions 12-14 and "hh,med,hl,min biwgts" in 17-36.
std::string BiweightLegend(int ITER);
// text followed by value (i5 or i3...) from a 1-based column: "Spline in Yrs:" and the like.
std::string WithNumberAt(std::string_view text, std::size_t column, std::string_view format, int value);

// The running-RBAR table of IDXMAT into the base name + suffix (unit 33),
// with the window messages when KRETRY is 0.
void RunningRbar(EngineCall& call, std::string_view suffix);

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
