// sigfre: the signal-free chronology engine. One call carries a prepared
// data set from the series matrix to the standard chronology, the
// signal-free chronology and their stabilised forms; the run loop of each
// program calls it again after a regional-curve redo or for a restart with
// a constant added to the data.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/program_variant.h"
#include "common/run_options.h"
#include "common/storage.h"
#include "detrend/crvfit.h"
#include "detrend/mean_chronology.h"
#include "detrend/parallel.h"
#include "detrend/regcrv.h"
#include "detrend/spline.h"
#include "detrend/varstab.h"
#include "plot/plot_settings.h"

namespace engine {

inline constexpr int kMaxIterations = 100;
inline constexpr int kRegionalCurveSlots = 101;  // the initial curve and one per iteration

// What the engine keeps between its calls and between data sets. The main
// program owns one for the whole run. Its matrices are sized for the data
// set at the first call that meets it (years x series), not for the limits.
struct EngineState {
  explicit EngineState(common::ProgramVariant variant);

  // Sizes the matrices for a data set of `nyrs` years and `ns` series; a
  // data set of the same shape keeps what they hold.
  void Prepare(int nyrs, int ns);

  // Ring-aligned first-pass values (measurements and curves less CONST, and
  // indices) read by the final plots, and the mean chronology's weights
  // (columns 1-4: minimum, lower hinge, median, upper hinge per year).
  common::SeriesMatrix RAWORG, CRVORG, IDXORG, BWTMAT;
  // The iteration's stores: rescaled indices (calendar rows), the latest
  // signal-free measurements, curves and indices (ring rows), and the
  // regional-curve mode's signal-free measurements (ring rows).
  common::SeriesMatrix FINIDX, FINSFM, FINCRV, FINRIX, SFSMAT;
  // Regional curve (plane 1) and its fit (plane 2) by biological age for
  // every slot: RCSTOR(age, plane, slot) at
  // [(age - 1) + MAXYRS * ((plane - 1) + 2 * (slot - 1))]. Empty until the
  // first regional-curve call.
  std::vector<float> RCSTOR;
  std::vector<float> RC;  // the regional curve of the latest fit, by age

  std::vector<float> SERMNS;                        // per-series mean of the measurements (index 0 unused)
  std::vector<float> IDXSD1;                        // per-series sd of the first-pass indices (index 0 unused)
  std::vector<int> NYR;                             // per-series lengths (index 0 unused)
  std::vector<float> MSLEN, MTAGE, STDORG, PRVCHR;  // per chronology year (0-based)
  common::Block ITRDIF;                             // years x (kMaxIterations + 1)
  // Option code used for series j in iteration it: OPTTAB[j * (kMaxIterations + 1) + it].
  std::vector<int> OPTTAB;
  std::array<std::array<float, 4>, kMaxIterations + 1> CNVHIS{};  // row ITER: the four statistics
  std::array<float, 4> SFCMIN{};
  float CNVSTA = 0.0f, CNVPRV = 0.0f;

  int NLEAD1 = 0, NLEAD6 = 0, NMEAN = 0, LEADSR = 0;
  float CHRMN0 = 0.0f;
  int RCLEN = 0, RCOFF = 0, RCTRNC = 0, RCLENI = 0, NRCSAV = 0;
  int PLTLOT = 0;
  char RBARYN = 'n';
  int KRTSAV = 0;

  // Per-year work vectors (MAXYRS values each): the spread and variance
  // ratio of a mean chronology, the two stabilisation vectors, and one
  // series' values placed by biological age.
  std::vector<float> spread, vratio, stab_in, stab_out, by_age;

  // What one thread of the per-series work needs: the curve fit's storage
  // and one series' signal-free values, curve and indices (MAXYRS values
  // each). Lane 0 also serves every step that runs on one thread.
  struct SeriesLane {
    SeriesLane();
    detrend::CrvfitWorkspace crvfit;
    std::vector<float> sf, curve, index;
  };
  // Lane k's storage, made on first use by the thread that runs lane k:
  // the threads fill their own storage at the same time.
  SeriesLane& Lane(unsigned k) {
    std::unique_ptr<SeriesLane>& lane = lanes[k];
    if (lane == nullptr) lane = std::make_unique<SeriesLane>();
    return *lane;
  }
  std::vector<std::unique_ptr<SeriesLane>> lanes;  // detrend::kMaxLanes, lane 0 made at once

  // The threads the engine's costly loops share their work out to, and
  // the working storage of the other routines it calls.
  detrend::WorkerPool pool;
  detrend::RobsumWorkspace robsum;
  detrend::RegcrvWorkspace regcrv;
  detrend::VarstabWorkspace varstab;
  detrend::SplineWorkspace spline;
  detrend::CurveParameters CRVPAR{};

  // What each plot routine keeps between its calls.
  plot::PlotMemories plots;

  float& RcStore(int age, int plane, int slot) {
    return RCSTOR[static_cast<std::size_t>(age - 1) +
                  static_cast<std::size_t>(common::MAXYRS) * static_cast<std::size_t>((plane - 1) + 2 * (slot - 1))];
  }
  int OptionCode(int series, int iteration) const {
    return OPTTAB[static_cast<std::size_t>(series) * (kMaxIterations + 1) + static_cast<std::size_t>(iteration)];
  }
  int& OptionCode(int series, int iteration) {
    return OPTTAB[static_cast<std::size_t>(series) * (kMaxIterations + 1) + static_cast<std::size_t>(iteration)];
  }

 private:
  int rows_ = 0, cols_ = 0;  // the shape the matrices are sized for
};

// The three ways the engine returns to the run loop.
enum class EngineOutcome {
  kFinished,  // chronologies ready; KRETRY 0, or above 10 when the restarts were used up
  kRcsRedo,   // the user asked for another regional-curve detrending; RCSRDO is 1
  kRestart,   // the convergence statistic rose; KRETRY raised to 1..10
};

// sigfre: one engine call on the data set in `store` (SERMAT ring-aligned,
// holding the measurements plus CONST; IYTAB column 3 the last year of each
// series' fitting period). Its report lines, questions, waits and stops go
// through `dialog`, which also opens and closes its intermediate files and
// tells which program runs; it draws the stage plots on `plotter`, their
// menus asked through `dialog`. May change options.NOPT (0 becomes 6) and
// options.ISTAB (the stabilisation dialogue). SERMAT and IDXMAT come back
// calendar-aligned.
EngineOutcome sigfre(common::Dialog& dialog, plot::Plotter& plotter, common::RunStorage& store,
                     common::RunOptions& options, common::RestartState& restart, EngineState& state);

// What the stop rules of the signal-free iteration decide after iteration
// ITER, in their order: converged (the tested statistic CNVSTA at most
// CONVTL), capped at kMaxIterations, a rise from iteration 7 on (CNVSTA
// above CNVPRV) that asks the run loop for a restart while KRETRY + 1 is at
// most kMaxRetries and gives up after that, or the next iteration.
enum class IterationStep { kNext, kConverged, kCapped, kRestart, kGiveUp };
IterationStep StopDecision(int ITER, float CNVSTA, float CNVPRV, float CONVTL, int KRETRY);

}  // namespace engine
