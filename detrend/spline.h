// Cubic smoothing splines of equally spaced values (spline, splinp, splage).
//
// The stiffness s is a wavelength in points: a sine of period s keeps half
// its amplitude in the smoothed curve. Row i of the Reinsch band system gets
// the smoothing parameter p(i) = 6 (cos w - 1)^2 / (cos w + 2), w = 2 pi / s(i);
// the solve is a band Cholesky decomposition of half-bandwidth 2, in double
// precision, linear in n. Inputs and outputs are single precision.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "common/limits.h"
#include "common/program_variant.h"

namespace detrend {

inline constexpr int mxy = common::MAXYRS;  // longest series a spline takes

enum class SplineStatus {
  kOk,
  kTooShort,             // n < 4: curv(1) = -9998.0, the rest untouched
  kNotPositiveDefinite,  // curv(1) = -9999.0, the rest untouched; message
  kTooLong,              // n > mxy: nothing written; the caller writes the
                         // message and stops the program
};

enum class SplineRoutine { kSpline, kSplinp, kSplage };

// spline's stiffness codes that are not a number of years.
inline constexpr int kSpline20Years = 8;        // 20 for every row
inline constexpr int kSplineGrowingStiffness = 9;  // row i: i + 8, at most n

// Caller-owned scratch of one spline solve (band matrix, right-hand side and
// solution, per-row smoothing parameters), sized once for mxy points.
//
// The decomposition of the band matrix depends on the smoothing parameters
// alone, row i on those of rows 1..i, and it is kept from one solve to the
// next: the rows whose parameters are those of the previous solve are not
// decomposed again (an age-dependent spline of a shorter series, or of the
// same years again, reuses all of them). The parameters of the stiffnesses
// 1..mxy are likewise computed once. Reused values are the very numbers a
// new computation would give, so the results do not depend on what the
// workspace solved before.
class SplineWorkspace {
 public:
  SplineWorkspace();

 private:
  friend class SplineSolver;
  std::vector<double> band_;       // 3 diagonals per row: two left, one left, diagonal
  std::vector<double> rhs_;        // right-hand side, then the solution u
  std::vector<double> p_;          // smoothing parameter of each row
  std::vector<double> factored_;   // the parameters band_'s rows were decomposed with
  std::vector<double> pivot_;      // each decomposed row's pivot before its square root
  int factored_rows_ = 0;          // rows of band_ that are valid for factored_
  std::vector<double> parameter_;  // SplineParameter(s) at s, -1 until computed
};

struct SplineResult {
  SplineStatus status;
};

struct SplinpResult {
  SplineStatus status;
  float p;  // smoothing parameter of the given stiffness (set unless kTooShort/kTooLong)
};

// Smoothing spline of y (n = y.size() values) with one stiffness in years.
// curv must hold at least n values.
SplinpResult splinp(std::span<const float> y, std::span<float> curv, int stiffness, SplineWorkspace& work);

// Smoothing spline with a stiffness code: kSpline20Years, kSplineGrowingStiffness,
// or any other value as a stiffness in years.
SplineResult spline(std::span<const float> y, std::span<float> curv, int code, SplineWorkspace& work);

// Age-dependent spline: row i (i = 1..n-2) takes stiffness(i); only the first
// n - 2 elements are read.
SplineResult splage(std::span<const float> y, std::span<float> curv, std::span<const int> stiffness,
                    SplineWorkspace& work);

// The age-dependent spline whose end may not rise: splage of y into curv,
// then the trailing run over which the curve rises (each value above the one
// before) set to the value where the run starts, and splage again of that
// flattened curve into curv. kWhenFlattened fits again only when the end
// rose; kAlways also fits an unchanged curve again. `copy` (at least n
// values) receives the flattened curve; it may share y's storage. The status
// is that of the last fit.
enum class FlatEndRefit { kWhenFlattened, kAlways };
SplineResult SplageFlatEnd(std::span<const float> y, std::span<float> curv, std::span<const int> stiffness,
                           std::span<float> copy, FlatEndRefit refit, SplineWorkspace& work);

// Smoothing parameter p of one stiffness (double precision).
double SplineParameter(int stiffness);

// Screen lines a status calls for, in the wording of the interactive or the
// batch program; empty for kOk and kTooShort.
std::vector<std::string> SplineMessageLines(SplineStatus status, SplineRoutine routine, common::ProgramVariant variant);

}  // namespace detrend
