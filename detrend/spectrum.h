// Power spectrum by the lagged-autocovariance (Blackman-Tukey) method.
//
// spectr: autocovariances up to lag m, their cosine transform at the m + 1
// frequencies k / (2 m dt), k = 0..m, and Hamming smoothing across
// frequencies. Optional prewhitening, correction for a linear trend, and a
// two-series mode (cross-covariances, co- and quadrature spectra, amplitude,
// phase, gain, coherence). The single-series spectrum subtracts the mean from
// its input in place: callers that need the data pass a copy.
//
// acvf: mean, variance, autocovariances, autocorrelations and partial
// autocorrelations of one series.
#pragma once

#include <span>

namespace detrend {

// Completion codes of spectr.
inline constexpr int kSpectrumOk = 0;
inline constexpr int kSpectrumBadLengths = 129;   // n <= 3, m <= 2, m >= n, prewhitened pair
inline constexpr int kSpectrumBadReal = 130;      // dt <= 0 or |c| >= 1 with prewhitening
inline constexpr int kSpectrumCoherenceClipped = 68;

// acvf, with mode k (m = c.size() lags, q = partial.size() partial orders):
//   k odd: mean = sum / n and variance = sum of squared deviations / n
//          (double sums); k = 1 stops there;
//   c(j) = (1/n) sum_{i=1}^{n-j} (x(i) - mean)(x(i+j) - mean), j = 1..m,
//          about the `mean` given (or just computed);
//   k >= 4: r(j) = c(j) / variance, j = 1..m (r.size() >= m);
//   k >= 6: partial autocorrelations of orders 1..q by Durbin-Levinson
//          (work.size() >= q).
void acvf(std::span<const float> x, int mode, float& mean, float& variance, std::span<float> c,
          std::span<float> r, std::span<float> partial, std::span<float> work);

// The integer parameter block of spectr.
struct SpectrumControl {
  int mode = 0;       // 0 one series, non-zero two series (the second follows the first in x)
  int n = 0;          // values per series
  int spectrum = 1;   // negative: stop after the autocovariances
  int m = 0;          // maximum lag
  int prewhiten = 0;  // non-zero: prewhiten with coefficient c
  int trend = 0;      // non-zero: correct the autocovariances for a linear trend
};

// The real parameter block of spectr.
struct SpectrumReal {
  float dt = 1.0f;  // sampling interval
  float c = 0.0f;   // prewhitening coefficient
};

// Where spectr writes. Sizes (one series / two series):
//   stats      8: (1) mean, (2) variance c(0) [, (3) mean 2, (4) variance 2],
//                 (5) trend slope [, (6) trend slope 2]
//   acov       m / 2m: c(1..m) [, then c2(1..m)]
//   freq       m + 1
//   power      m + 1 / 2(m + 1): smoothed spectrum [, then that of series 2]
//   cross      two series, 2m + 1: cross-covariances at lags -m..m
//   coquad     two series, 2(m + 1): co-spectrum, then quadrature spectrum
//   ampphase   two series, 2(m + 1): amplitude, then phase in cycles [0, 1)
//   gain       two series, 2(m + 1): amplitude / S1, then amplitude / S2
//   coherence  two series, m + 1
struct SpectrumOutputs {
  std::span<float> stats;
  std::span<float> acov;
  std::span<float> freq;
  std::span<float> power;
  std::span<float> cross;
  std::span<float> coquad;
  std::span<float> ampphase;
  std::span<float> gain;
  std::span<float> coherence;
};

// Returns the completion code; on a refusal (129, 130) neither x nor the
// outputs are touched. x holds n values (2n in two-series mode).
int spectr(std::span<float> x, const SpectrumControl& ipar, const SpectrumReal& rpar,
           const SpectrumOutputs& out);

}  // namespace detrend
