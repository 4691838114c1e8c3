// EngineState: what the signal-free engine keeps between its calls and
// between data sets, and the limits its stores are sized by.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <vector>

#include "common/limits.h"
#include "common/program_variant.h"
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

}  // namespace engine
