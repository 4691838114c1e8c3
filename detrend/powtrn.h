// Adaptive power transformation of ring-width series (powtrn) and its
// least-squares line (linreg).
//
// For each series the local spread |y(i) - y(i-1)| is regressed on the level
// y(i) on logarithmic scales; the series is raised to the power p = 1 - slope
// (0 meaning the logarithm) that removes the dependence, and mapped back
// linearly onto the minimum and maximum it had before.
#pragma once

#include <span>
#include <vector>

#include "common/storage.h"

namespace detrend {

// linreg: least-squares line y = a + b x in single precision from the plain
// sums; c = Sxx - Sx^2 / n; c = 0 gives b = 0 and a = Sy / n.
struct LinregResult {
  float b;  // slope
  float a;  // intercept
};
LinregResult linreg(std::span<const float> x, std::span<const float> y);

inline constexpr float kPowtrnFloor = 0.01f;          // values below are raised to it before y^p
inline constexpr float kPowtrnLogOfZero = -2.9957323f;  // ln 0.05: the logarithm given to y <= 0
inline constexpr float kPowtrnMinPower = 0.05f;        // powers below become 0 (logarithm)

// One series' regression of ln spread on ln level.
struct PowtrnSeries {
  int first = 0;          // index of its first point in the pooled lists
  int np = 0;             // number of points
  float slope = 0.0f;
  float intercept = 0.0f;
  float p = 1.0f;         // power applied (0: logarithm)
  bool transformed = false;  // false: the series was left as it was
};

// The spread-versus-level data the interactive program plots: the pooled
// points of every series, series after series, each series' slice and line,
// and the pooled regression (r, a0, b0 all 0 when it does not exist).
// Owned by the caller and reused between calls.
struct PowtrnScatter {
  std::vector<float> loglevel;
  std::vector<float> logspread;
  std::vector<PowtrnSeries> series;  // series 1..NS at [0..NS-1]
  float rho = 0.0f;
  float a0 = 0.0f;
  float b0 = 0.0f;
};

// The scatter laid out as the spread-versus-level plot reads it: X (log
// level) and Y (log spread) column-major with leading dimension ld (the
// largest number of points of a series, at least 1), series s in column s;
// B, A the slope and intercept and NP the number of points of each series.
struct ScatterColumns {
  int ld = 1;
  std::vector<float> X, Y, B, A;
  std::vector<int> NP;
};
ScatterColumns ScatterByColumn(const PowtrnScatter& scatter);

// Transforms rows 1..ILY(f) - IFY(f) + 1 of every column f = 1..NS of SERMAT
// in place and returns PMEAN, the mean of the powers over the NS series.
// Guards: fewer than two usable points, or a regression whose R squared is
// 0, gives p = 1 with the series left unchanged (still counted in PMEAN); a
// transformed series without range is left unchanged as well.
float powtrn(common::SeriesMatrix& SERMAT, const common::YearTable& IYTAB, int NS, PowtrnScatter& scatter);

}  // namespace detrend
