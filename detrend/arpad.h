// Autoregressive end padding: Burg's maximum-entropy fit of an AR model
// (burgar), prediction of values beyond both ends with it (arpred), and the
// padding of a series by m predicted values at each end (arpad).
#pragma once

#include <span>
#include <vector>

namespace detrend {

// Text the routine's caller shows (then waits for Return) when burgar is
// asked for a model order below 1.
inline constexpr const char* kBurgarNoOrder = "never get here";

// Caller-owned work vectors of burgar and arpad (grown as needed, kept
// between calls).
struct BurgWorkspace {
  std::vector<double> f;  // forward prediction errors, n values
  std::vector<double> b;  // backward prediction errors, n values
  std::vector<double> w;  // coefficients of the previous order, m values
  std::vector<double> d;  // coefficients (arpad), m values
};

struct BurgResult {
  double pm = 0.0;  // mean square residual
  bool ok = true;   // false: order below 1, nothing fitted (kBurgarNoOrder)
};

// Burg's method of order m = d.size() on x (n = x.size() values, not
// centred here): pm = sum x^2 / n, then for k = 1..m the reflection
// coefficient d(k) = 2 sum f b / sum (f^2 + b^2) over the n - k current
// error pairs (0 when that sum is 0), pm = pm (1 - d(k)^2) and the
// Levinson update of d(1..k-1). Model: x(t) = sum_k d(k) x(t - k).
BurgResult burgar(std::span<const float> x, std::span<double> d, BurgWorkspace& work);

enum class PredictDirection { kBoth = 0, kForward = 1, kBackward = -1 };

// xp holds n + 2m values with the data in places m + 1..m + n (1-based).
// For s = 1..m (double sums):
//   forward  xp(m+n+s) = sum_{k=1}^{order} d(k) xp(m+n+s-k),
//   backward xp(m+1-s) = sum_{k=1}^{order} d(k) xp(m+1-s+k);
// the direction the mode leaves out is written as 0. order = d.size().
void arpred(std::span<float> xp, int n, int m, std::span<const double> d, PredictDirection mode);

struct ArpadResult {
  int np = 0;        // n + 2m
  int m = 0;         // values added at each end, after lowering
  double pm = 0.0;   // mean square residual of the fitted model
};

// Pads x with m predicted values at each end into xp: m is lowered to
// trunc(0.67 n) (and so that n + 2m fits in xp); xp is cleared to 0 over its
// whole size, receives the centred data at m + 1..m + n, the order-m Burg
// model of the centred data predicts both ends, and the mean is added back to
// all n + 2m values. m <= 0 copies x into xp unchanged (np = n).
ArpadResult arpad(std::span<const float> x, std::span<float> xp, int m, BurgWorkspace& work);

}  // namespace detrend
