// Regional curve by biological age (regcrv), its fit by RCS option code
// (detrnd), and the arithmetic mean xmean2.
//
// regcrv aligns every series by age (ring k of series i has age IPITH(i) + k),
// averages the values of each age over all series into the regional curve RC
// and fits a smooth curve fRC to it with detrnd. Messages of the fits (the
// exponential's, the splines', the running medians', the simplex's) are not
// written here: the result carries their statuses for the caller to report.
#pragma once

#include <span>
#include <vector>

#include "common/storage.h"
#include "detrend/curve.h"
#include "detrend/gamfit.h"
#include "detrend/lowfit.h"
#include "detrend/spline.h"

namespace detrend {

// The line (after a blank line) xmean2's caller writes before it waits for
// Return and stops the program.
inline constexpr const char* kXmean2NoValues = "error in xmean2: n=0";

// xmean2: sum x / n in single precision; false (mean untouched) when x is empty.
bool xmean2(std::span<const float> x, float& mean);

// Caller-owned working storage of detrnd, sized on first use.
struct DetrndWorkspace {
  std::vector<float> x, w, copy, sc, window;
  std::vector<int> stiffness;
  SplineWorkspace spline;
  LowessWork lowess;
  Simplex simplex;
};

// What detrnd's model routines reported.
struct DetrndResult {
  int nfit = 0;                                 // values fitted (code -1: one fewer)
  bool exponential_tried = false;               // codes 1, 2: `exponential` is meaningful
  CurveStatus exponential = CurveStatus::kFitted;  // CurveMessage gives its line
  SplineStatus spline = SplineStatus::kOk;      // SplineMessageLines with spline_routine
  SplineRoutine spline_routine = SplineRoutine::kSplinp;  // kSplage for code -2
  int msmoor_ier = 0;                           // MsmoorMessage
  bool amoeba_itmax = false;                    // kAmoebaItmaxText, then wait for Return
  GexpStatus gexp = GexpStatus::kOk;            // gexp's fatal texts
  bool no_values = false;                       // kXmean2NoValues: the caller stops
};

// The fixed RCS option codes (NOPT in regional-curve mode). Codes 1-8 name
// other models than crvfit's CurveOption of the same value; splines in years
// (>= 10) and in percent of nfit (<= -10) are crvfit.h's predicates.
enum class RcsOption {
  kSuperSmoother = -5,
  kLowess = -4,
  kRunningMedians = -3,
  kAgeDependentSpline = -2,
  kDifferenced = -1,
  kExponentialOrLine = 1,
  kExponentialOrFallingLine = 2,
  kGeneralNegativeExponential = 3,
  kLine = 4,
  kFallingLine = 5,  // a line that does not rise, else the mean
  kMean = 6,
  kHugershoff = 7,
  kPowerOneExponential = 8,  // general exponential with power 1
};

// The RCS option codes detrnd fits a model of its own for: -5 to -1, 1 to 8
// and the splines (>= 10, <= -10). Every other code is the mean (code 6).
inline bool DetrndHasModel(int NOPT) {
  return (NOPT >= -5 && NOPT <= -1) || (NOPT >= 1 && NOPT <= 8) || NOPT >= 10 || NOPT <= -10;
}

// detrnd: fits curv to the first nfit values of y (n = y.size()) by the RCS
// option code NOPT and writes the code of the model used back into NOPT.
// CRVPAR is zeroed on entry and receives the fitted parameters.
//   -5 super smoother (span 0, or 0.3 when nfit < 40; bass alpha)
//   -4 LOWESS, -3 iterated running medians, with the window iwin (RCSWIN)
//      as typed: iwin > 0 values (LOWESS f = iwin / nfit; the median window
//      itself), iwin < 0 a percentage (f = |iwin| / 100; the median window
//      that share of nfit, at least 3). msmoor lowers an even window by one;
//      a window it refuses falls back to 6 with msmoor_ier set for the
//      caller's message; a LOWESS window of 0 falls back to 6
//   -2 age-dependent spline from stiffness istf, rising end flattened, refit
//   -1 differenced series (y is overwritten with the rescaled differences,
//      y(1) = -999.0; nfit lowered by one)
//    1, 2 negative exponential with line (and mean) fallbacks: codes 4 / 5
//    3 general negative exponential by simplex; line (code 4) when b >= 0
//    4 line, 5 falling line else mean (6), 6 mean
//    7 Hugershoff, 8 general exponential with power 1, by simplex
//   >= 10 spline of NOPT years, <= -10 spline of that percentage of nfit
// Any other code, and any spline or smoother that cannot fit, is code 6.
// Codes 1-8 give the curve for all n values, the others for the first nfit.
DetrndResult detrnd(std::span<float> y, std::span<float> curv, int nfit, CurveParameters& CRVPAR, int& NOPT,
                    int iwin, float alpha, int istf, DetrndWorkspace& work);

// Caller-owned working storage of regcrv.
struct RegcrvWorkspace {
  std::vector<float> sum;  // single-precision sums of the values of each age
  std::vector<int> count;
  std::vector<float> c, fit, f;
  DetrndWorkspace detrnd;
};

struct RegcrvResult {
  int RCLEN = -9999;  // last age position of the curve
  int RCOFF = 0;      // smallest pith offset (0 without the pith flag)
  DetrndResult fit;
};

// regcrv: RC and fRC (MAXYRS values each, position a = age a at index a - 1)
// are set to `fill`; RC(RCOFF + j) = mean of the values of age RCOFF + j over
// all series (fill where no series reaches that age), j = 1..m; fRC the
// detrnd fit of that curve (ages without data interpolated linearly in a
// copy for the fit). A truncation age RCTRNC in 1..m-1 fits only the first
// RCTRNC positions and holds the fitted value beyond them; any other value
// fits the whole curve. SERMAT is ring-aligned (row 1 = first ring of each
// series); IPITH[i] is the pith offset of series i (index 0 unused).
RegcrvResult regcrv(const common::SeriesMatrix& SERMAT, int NS, std::span<float> RC, std::span<float> fRC,
                    const common::YearTable& IYTAB, std::span<const int> IPITH, float fill,
                    CurveParameters& CRVPAR, int& NOPT, float ALPHA, int RCSWIN, int PITHFL, int RCTRNC,
                    int SPLSTF, RegcrvWorkspace& work);

}  // namespace detrend
