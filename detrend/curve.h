// Modified negative exponential growth curve y(t) = a exp(-b t) + k (curve).
//
// The rate b is found by a one-dimensional pattern search (step doubled while
// it helps, then halved down to 5e-7); for each trial b, a and k are the
// least-squares regression of y on exp(-b t). Arithmetic in double precision,
// series, curve and results in single precision.
#pragma once

#include <array>
#include <span>
#include <string>

namespace detrend {

// Parameters of a curve fit, CRVPAR(1..7) at indices 0..6: a, b (-999.0 when
// the exponential failed), slope of a line, unused, k or a line's intercept,
// search rounds of the exponential, sum of the fitted values.
using CurveParameters = std::array<float, 7>;

inline constexpr float kCurveFailed = -999.0f;  // CRVPAR(2) and curv(1) of a failed fit

enum class CurveStatus {
  kFitted,           // a, b, k stored (b may be 0: no usable exponential)
  kTooShort,         // nfit < 20; message
  kOutOfRange,       // a trial with t |b| > 112.8, or sums of exp(-b t) out of range
  kOverIterations,   // 34 rounds without convergence; message
  kNotFinite,        // a, b or k came out non-finite
};

// Fits y (nfit = y.size() values, t = 1..nfit) and gives the curve for
// n = curv.size() values. On failure curv(1) = -999.0 and CRVPAR(2) = -999.0
// (the other curve values are scratch); on success CRVPAR(1), (2), (5), (6),
// (7) are written, (3) and (4) left as they are. A start mean <= 0 starts
// the search at b = 1e-8.
CurveStatus curve(std::span<const float> y, std::span<float> curv, CurveParameters& CRVPAR);

// The line the routine writes for a status, or "" when it writes none.
std::string CurveMessage(CurveStatus status, int nfit);

}  // namespace detrend
