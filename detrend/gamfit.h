// Generalised exponential and Hugershoff-family growth curves
//     y(t) = a * (t + d)^c * exp(b * (t + d)) + k
// fitted by least squares with a downhill simplex (Nelder-Mead): gamfit,
// gamoff, amoeba, amotry; and the two log-linear fits that give the simplex
// its start: hugfit (Hugershoff, ln y = A + B x + C ln x) and gexp
// (exponential with power 1, ln(y / t) = ln a - b t).
//
// Parameters, data and curves are single precision; the objective sums and the
// log-linear normal equations are double precision.
//
// These routines never talk to the console. Where the program writes a
// message (and perhaps waits or stops) the routine returns a status instead,
// and the message texts are given below for the caller to write.
#pragma once

#include <array>
#include <span>
#include <string_view>

#include "common/limits.h"

namespace detrend {

// What the parameter vector p(1..5) holds:
//   kGeneralNegExp  (1): a, b, k            (c = 0, d = 0), ndim 3
//   kPower1Exp      (2): a, b, d, k         (c = 1),        ndim 4
//   kHugershoff     (3): a, c, b, d, k                      ndim 5
enum class CurveMode { kGeneralNegExp = 1, kPower1Exp = 2, kHugershoff = 3 };

// Number of free parameters of a mode: 3, 4 or 5.
int CurveDimension(CurveMode mode);

// Objective value given to a trial point the curve cannot be evaluated at
// (some t = x + d <= 0) or whose sum is not finite: the simplex moves away.
inline constexpr float kInfeasibleObjective = 1e30f;

// Iteration limit of amoeba, counted as amoeba counts (see amoeba).
inline constexpr int kAmoebaItmax = 2000;
// Relative spread of the vertex values at which gamfit's simplex stops.
inline constexpr float kGamfitFtol = 1e-5f;
// Most restarts of gamfit's simplex around its best vertex, and the count
// of iterations after which no further restart begins.
inline constexpr int kGamfitRestarts = 20;
inline constexpr int kGamfitIterationBudget = 5 * kAmoebaItmax;

// Texts the caller writes for the statuses below.
inline constexpr std::string_view kAmoebaItmaxText = "itmax exceeded in amoeba";  // then wait for Return
inline constexpr std::string_view kGamoffTooManyText = "in gamoff ne > nemax: ";   // + nfit, nemax as (2i10); "bye."
inline constexpr std::string_view kGexpNoValuesText = "*** n .le. 0 in sbr gexp ***";
inline constexpr std::string_view kGexpNoPositiveText = "*** n1 .le. 0 in sbr gexp ***";

// The simplex: up to 6 vertices of 5 parameters, one vertex per row, and the
// objective value of each vertex. Row 0 is vertex 1 (the caller's start on
// entry to gamfit, the best vertex on return). Owned by the caller.
struct Simplex {
  std::array<std::array<float, 5>, 6> P{};
  std::array<float, 6> Y{};
};

// gamoff: sum of squared residuals sum_i (f(x(i)) - y(i))^2 of the mode's
// curve at parameter vector p, f = a * exp(b t + c ln t) + k, t = x(i) + d.
// The sum is accumulated in double and returned in single precision.
// A point with t <= 0 makes the whole value kInfeasibleObjective, and so
// does a sum that is not finite. x and y hold the nfit fitted points.
float gamoff(std::span<const float, 5> p, std::span<const float> x, std::span<const float> y,
             CurveMode mode);

// amotry: extrapolates the highest vertex ihi (0-based row) through the face
// of the others by factor fac: ptry(j) = psum(j) fac1 - P(ihi, j) fac2 with
// fac1 = (1 - fac) / ndim, fac2 = fac1 - fac. In modes 2 and 3 an asymptote
// ptry(ndim) <= 0 is set to 0. If the trial is better than vertex ihi it
// replaces it (P, Y and the column sums psum are updated). Returns the
// objective at the trial point.
float amotry(Simplex& s, std::array<float, 5>& psum, int ndim, int ihi, float fac, CurveMode mode,
             std::span<const float> x, std::span<const float> y);

// amoeba: Nelder-Mead downhill simplex over the first ndim + 1 rows of s,
// whose Y must hold the objective of each row. Stops when
// 2 |Y(hi) - Y(lo)| / (|Y(hi)| + |Y(lo)|) < ftol (a spread of two zero
// values counts as converged) or when the iteration count reaches
// kAmoebaItmax; in both cases the best vertex is moved to row 0.
// iter counts 2 per reflection that is followed by an expansion or a
// contraction, 1 per plain reflection, and ndim more per shrink.
// kIterationLimit: the caller writes kAmoebaItmaxText and waits for Return.
enum class AmoebaStatus { kConverged, kIterationLimit };
struct AmoebaResult {
  int iter;
  AmoebaStatus status;
};
AmoebaResult amoeba(Simplex& s, int ndim, float ftol, CurveMode mode, std::span<const float> x,
                    std::span<const float> y);

// gamfit: fits the mode's curve to the points (x(i), y(i)), i = 1..nfit
// (x.size() == y.size() == nfit), starting from row 0 of s (all five
// parameters as the caller set them) and the fixed vertices of the mode:
//   mode 1: (1,0,0) (0,-0.01,0) (0,0,0.1)
//   mode 2: (1,0,0,0) (0,-0.01,0,0) (0,0,1,0) (0,0,0,0.1)
//   mode 3: (1,0,0,0,0) (0,1,0,0,0) (0,0,-0.01,0,0) (0,0,0,1,0) (0,0,0,0,0.1)
// then amoeba with kGamfitFtol. A simplex that has collapsed short of the
// minimum, or stopped at its iteration limit, is restarted from its best
// vertex, the other vertices that vertex plus the steps of the table above,
// until a restart lowers the objective by less than kGamfitFtol relative
// (at most kGamfitRestarts times, none begun once kGamfitIterationBudget
// iterations are spent). Gives curv(i) = a exp(b t + c ln t) + k, t = i + d,
// for i = 1..curv.size() from the best vertex (row 0 on return).
// kIterationLimit: the first simplex run (the one before any restart)
// stopped at kAmoebaItmax; the caller writes kAmoebaItmaxText and waits for
// Return, and the curve (after the restarts) stands.
// A curve point with t <= 0 (possible only when no vertex was feasible,
// sse == kInfeasibleObjective) takes the value k.
// kTooManyPoints (nfit > nemax): nothing is computed or written; the caller
// writes kGamoffTooManyText with nfit and nemax, shows "bye.", waits and stops.
enum class GamfitStatus { kConverged, kIterationLimit, kTooManyPoints };
struct GamfitResult {
  float sse;  // objective at the best vertex
  int iter;   // amoeba's count, summed over the restarts
  GamfitStatus status;
};
GamfitResult gamfit(Simplex& s, CurveMode mode, std::span<const float> x, std::span<const float> y,
                    std::span<float> curv, int nemax = common::MAXYRS);

// hugfit: start values of the Hugershoff curve by least squares of
// ln y = A + B x + C ln x over i = 1..nfit (nfit <= x.size()), leaving out
// points whose y equals miss, y <= 0 or x <= 0 (normal equations in double,
// solved by Cramer's rule). CRVPAR(1) = exp(A), (2) = C, (3) = B (0-based
// CRVPAR[0..2]; the other four are not touched); curv(i) = exp(A) x(i)^C
// exp(B x(i)) for i = 1..n, n = curv.size() <= x.size(), y.size().
// Then levels the curve: r = sum(y - curv) / sum(curv) + 1 over the points
// i = 1..n whose y is not miss; if r is a finite non-zero number CRVPAR(1)
// and the curve are multiplied by r.
// Returns false when the regression cannot be solved (fewer than three
// usable points, singular equations, a non-finite coefficient): then
// CRVPAR(1..3) = 0 and curv = 0, a flat start for the simplex.
bool hugfit(std::span<const float> x, std::span<const float> y, int nfit, std::span<float> curv,
            std::span<float, 7> CRVPAR, float miss);

// gexp: start values of the exponential with power 1 by least squares of
// z = ln y(i) - ln i (single-precision logarithms) on i over the points
// i = 1..nfit (nfit = y.size()) with y > 0 and y not miss; in double: slope =
// r sz / sx, a = exp(mean z - slope mean i). curv(i) = i a exp(i slope) for
// i = 1..curv.size(); CRVPAR(1) = a, CRVPAR(2) = -slope (0-based CRVPAR[0],
// CRVPAR[1]; the others are not touched). A single usable point, or values
// exactly proportional to i, give slope 0.
// kNoValues (nfit < 1) and kNoPositiveValues: nothing is written; the
// caller writes kGexpNoValuesText / kGexpNoPositiveText between blank lines,
// waits for Return and stops.
enum class GexpStatus { kOk, kNoValues, kNoPositiveValues };
GexpStatus gexp(std::span<const float> y, std::span<float> curv, std::span<float, 7> CRVPAR, float miss);

}  // namespace detrend
