// Two robust smoothers of a series against its positions 1..n: Cleveland's
// LOWESS (lowfit, lowpt) and Tukey's running medians repeated until the
// curve stops changing (msmoor, msmoo), with the heapsort hsort they share.
// Single precision throughout. No console: the running-median routines
// return their error codes and MsmoorMessage gives the text to write.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "common/limits.h"

namespace detrend {

// hsort: heapsort, ascending, in place. Fewer than two values: unchanged.
void hsort(std::span<float> a);

// Working storage of lowfit, owned by the caller and reused between calls
// (grown to n on first use, never shrunk): abscissa, residuals, robustness
// weights, neighbourhood weights.
struct LowessWork {
  std::vector<float> x, res, rw, w;
};

// lowpt: one locally weighted fit at xs over the neighbourhood
// [nleft, nright] (0-based positions into x and y). Tricube weights in
// h = max(xs - x(nleft), x(nright) - xs), times rw when userw; the weights
// (in w, written from nleft to the last point used) are normalised, turned
// into a local line when h > 0 and the weighted spread of x exceeds
// 0.001 (x(n) - x(1)), and ys = sum w y. ok = false (ys not set, 0 returned)
// when the weights sum to zero.
struct LowptResult {
  float ys;
  bool ok;
};
LowptResult lowpt(std::span<const float> x, std::span<const float> y, float xs, int nleft,
                  int nright, std::span<float> w, bool userw, std::span<const float> rw);

// lowfit: LOWESS of y against 1..n (n = y.size() == ys.size()) with
// neighbourhoods of ns = max(min(int(n f), n), 2) points, one plain pass and
// two passes with bisquare robustness weights (cut at six median absolute
// residuals). A point whose neighbourhood has zero weight keeps its value.
// n = 1: ys = y.
void lowfit(std::span<const float> y, std::span<float> ys, float f, LowessWork& work);

// Running medians of window iwin repeated until the curve stops changing.
// Error codes: 1 window longer than the series or series longer than mxy;
// 2 window below 1 or above mxy; 3 window not a positive odd number;
// msmoor adds 10 to an error of a pass and gives 20 after ten passes
// without convergence.
inline constexpr int kMsmoorMaxPasses = 10;

// msmoo: one pass, y(i) = median of x(i-h..i+h), h = (iwin-1)/2, for the
// interior points; the h points at each end take the nearest full-window
// median; iwin = 1 copies x. work holds at least iwin values. Returns the
// error code (0 = done); on an error y is untouched.
int msmoo(std::span<const float> x, std::span<float> y, std::span<float> work, int iwin,
          int mxy = common::MAXYRS);

// msmoor: passes of msmoo from x into y until sum |x - y| < 1e-6, copying y
// into x between passes (x is overwritten: pass a copy). An even window is
// lowered by one first (iwin returns the window used). On an input error
// y is untouched. ier 20: y holds the tenth pass and iter is 11.
struct MsmoorResult {
  int iwin;  // window used (lowered by one when even or not positive)
  int iter;  // passes counted
  int ier;   // 0 converged, else the error code above
};
MsmoorResult msmoor(std::span<float> x, std::span<float> y, std::span<float> work, int iwin,
                    int mxy = common::MAXYRS);

// The line the program writes for a running-median error code (after a blank
// line): "input error 3 in msmoor.", "input error 1 in msmoo." (codes 11-13),
// "*** maximum iterations reached in msmoor ***" (20). The program waits for
// Return after the input errors, not after code 20. Code 0 gives "".
std::string MsmoorMessage(int ier);

}  // namespace detrend
