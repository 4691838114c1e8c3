// Growth curve of one series by detrending option code (crvfit), with its
// small helpers: least-squares line (lintrd), horizontal line at the mean
// (xmean) and a run of consecutive integers (yrseq).
#pragma once

#include <span>
#include <string>
#include <vector>

#include "detrend/curve.h"
#include "detrend/spline.h"

namespace detrend {

// The fixed detrending option codes (NOPT). The code is open-ended: splines
// in years and in percent of the length are the predicates below. crvfit
// fits the codes of CrvfitHasModel; every other code leaves the curve and
// the code as they are.
enum class CurveOption {
  kRawAverage = 0,                // no detrending: the engine turns it into kMean
  kExponentialOrLine = 1,         // negative exponential, else any line
  kExponentialOrFallingLine = 2,  // negative exponential, else a line that does not rise, else the mean
  kLine = 3,
  kFallingLine = 4,               // a line that does not rise, else the mean
  kMean = 6,
  kAgeDependentSpline = 8,
  kMedianLengthSpline = 9,        // dialogue only: replaced by the median length in years
  kSuperSmoother = -5,
  kRegionalCurve = -2,
};

// Option 0: the series are averaged as they are, with no curve and no indices.
inline bool IsRawAverage(int NOPT) { return NOPT == static_cast<int>(CurveOption::kRawAverage); }
inline bool IsSplineInYears(int NOPT) { return NOPT >= 10; }
inline bool IsSplineInPercent(int NOPT) { return NOPT <= -10; }

// The codes crvfit fits a model of its own for: 1-4, 6, 8, -5 and the splines.
inline bool CrvfitHasModel(int NOPT) {
  return (NOPT >= 1 && NOPT <= 4) || NOPT == 6 || NOPT == 8 || NOPT == -5 || IsSplineInYears(NOPT) ||
         IsSplineInPercent(NOPT);
}

// Stiffness of a percent spline: int(|NOPT| / 100 x nfit) in single
// precision, at least 1.
int PercentStiffness(int NOPT, int nfit);

// Caller-owned state of crvfit, kept between calls: the parameter vector
// CRVPAR and the working storage of the super smoother and the splines,
// sized once for common::MAXYRS values.
class CrvfitWorkspace {
 public:
  CrvfitWorkspace();

  CurveParameters CRVPAR{};  // parameters of the last exponential or line fit

 private:
  friend struct CrvfitAccess;
  std::vector<float> x_;    // 1, 2, ..., n
  std::vector<float> w_;    // 1.0
  std::vector<float> pad_;  // padded series of the smoother; copy of the curve
  std::vector<float> sc_;   // smoother work matrix, n x 7
  std::vector<int> stiffness_;
  SplineWorkspace spline_;
};

struct CrvfitResult {
  // What the model routines report; the caller writes their messages
  // (CurveMessage, SplineMessageLines). A spline status other than kOk means
  // the mean was used instead.
  CurveStatus exponential = CurveStatus::kFitted;
  bool exponential_tried = false;
  SplineStatus spline = SplineStatus::kOk;
  SplineRoutine spline_routine = SplineRoutine::kSpline;  // which spline ran
  // nfit < 1 left nothing to average: the caller writes xmean's message
  // (XmeanMessageLines), waits for Return and stops the program; curv holds
  // no usable curve.
  bool no_values = false;
};

// The screen lines the models of one crvfit call write, in order: the
// exponential's message, the spline's, and xmean's when no_values is set.
// A spline status of kTooLong (more than mxy values) or no_values means the
// caller stops the program after writing them.
std::vector<std::string> CrvfitMessageLines(const CrvfitResult& result, int nfit, common::ProgramVariant variant);

// Fits the curve of y (n = y.size() values) to its first nfit values and
// writes curv (n values; spline codes write only the first nfit). NOPT comes
// back as the code of the model used. A model that cannot run (the super
// smoother on fewer than four values) or gives a non-finite curve or a
// spline sentinel falls back to the mean (code 6).
CrvfitResult crvfit(std::span<const float> y, std::span<float> curv, int nfit, int& NOPT, float ALPHA, int SPLSTF,
                    int SPLEND, CrvfitWorkspace& work);

struct LineFit {
  float slope, intercept;
};

// Least-squares line through (t, y(t)), t = 1..nfit = y.size(), in double
// precision; curv(t) = slope t + intercept for t = 1..curv.size().
LineFit lintrd(std::span<const float> y, std::span<float> curv);

// curv(1..n) = the mean of y (single precision). Returns false, writing
// nothing, when y is empty.
bool xmean(std::span<const float> y, std::span<float> curv);

// The lines xmean's caller writes before it waits for Return and stops.
std::vector<std::string> XmeanMessageLines(common::ProgramVariant variant);

// iv(1) = start, iv(i) = iv(i-1) + 1; iv(1) is written even when iv is
// empty-sized by the caller's n < 1 (pass at least one element).
void yrseq(int n, int start, std::span<int> iv);

}  // namespace detrend
