// Blackman-Tukey power spectrum (spectr) and autocovariances (acvf).
#include "detrend/spectrum.h"

#include <cassert>
#include <cmath>
#include <cstddef>
#include <numbers>

namespace detrend {

namespace {

constexpr double kPi = std::numbers::pi;

constexpr double D(float v) { return static_cast<double>(v); }

// Sum of x(i) x(i + lag) over the overlap, i counted from 0.
double LagProducts(std::span<const float> a, std::span<const float> b, int lag) {
  double s = 0.0;
  const int n = static_cast<int>(a.size());
  for (int i = 0; i + lag < n; ++i) s += D(a[i]) * D(b[i + lag]);
  return s;
}

// x(j) = x(j + 1) - c x(j), j = 1..n-1; x(n) = c x(n) - x(1) (old values).
void Prewhiten(std::span<float> x, float c) {
  const float first = x[0];
  const std::size_t n = x.size();
  const float last = x[n - 1];
  for (std::size_t j = 0; j + 1 < n; ++j) x[j] = x[j + 1] - c * x[j];
  x[n - 1] = c * last - first;
}

// Hamming weights 0.23, 0.54, 0.23 across the m + 1 estimates, in place.
void HammingSmooth(std::span<float> s) {
  const std::size_t m = s.size() - 1;
  float previous = s[0];
  s[0] = 0.54f * s[0] + 0.46f * s[1];
  for (std::size_t k = 1; k < m; ++k) {
    const float raw = s[k];
    s[k] = 0.23f * previous + 0.54f * raw + 0.23f * s[k + 1];
    previous = raw;
  }
  s[m] = 0.46f * previous + 0.54f * s[m];
}

// Mean, variance c0, autocovariances and trend slope of one series.
// c0 is returned; acov receives c(1..m); the series is centred unless the
// trend correction is on.
struct SeriesMoments {
  float mean = 0.0f;
  float c0 = 0.0f;
  float slope = 0.0f;
};

SeriesMoments Moments(std::span<float> x, std::span<float> acov, int m, const SpectrumControl& ipar,
                      const SpectrumReal& rpar) {
  const int n = static_cast<int>(x.size());
  SeriesMoments out;
  float var = 0.0f;
  acvf(x, 1, out.mean, var, {}, {}, {}, {});
  if (ipar.trend == 0) {
    for (float& v : x) v -= out.mean;
    out.c0 = var;
  } else {
    out.c0 = var + out.mean * out.mean;
  }
  float zero = 0.0f;
  acvf(x, 2, zero, var, acov.first(static_cast<std::size_t>(m)), {}, {}, {});
  for (int j = 1; j <= m; ++j) {
    acov[j - 1] = static_cast<float>(static_cast<double>(acov[j - 1]) * n / (n - j));
  }
  if (ipar.trend != 0) {
    const int jj = (n + 2) / 3;
    double first = 0.0, last = 0.0;
    for (int i = 0; i < jj; ++i) {
      first += D(x[i]);
      last += D(x[n - jj + i]);
    }
    const double dt = D(rpar.dt);
    const double b = (last - first) / (static_cast<double>(n - jj) * jj * dt);
    out.slope = static_cast<float>(b);
    const double mean2 = D(out.mean) * D(out.mean);
    out.c0 = static_cast<float>(D(out.c0) - mean2 - b * b * (n * dt) * (n * dt) / 12.0);
    for (int j = 1; j <= m; ++j) {
      const double term = dt * dt * (static_cast<double>(n - 2 * j) * n - 2.0 * j * j) * b * b / 12.0;
      acov[j - 1] = static_cast<float>(D(acov[j - 1]) - mean2 - term);
    }
  }
  return out;
}

// Smoothed spectrum of one lag sequence c(0), c(1..m) into s(0..m).
void SmoothedSpectrum(float c0, std::span<const float> acov, int m, const SpectrumReal& rpar,
                      bool prewhitened, std::span<float> s) {
  for (int k = 0; k <= m; ++k) {
    double sum = 0.5 * D(c0);
    for (int j = 1; j < m; ++j) sum += D(acov[j - 1]) * std::cos(kPi * j * k / m);
    sum += 0.5 * D(acov[m - 1]) * std::cos(kPi * k);
    s[k] = static_cast<float>(2.0 * D(rpar.dt) / kPi * sum);
  }
  HammingSmooth(s.first(static_cast<std::size_t>(m) + 1));
  if (prewhitened) {
    const double c = D(rpar.c);
    for (int k = 0; k <= m; ++k) {
      s[k] = static_cast<float>(D(s[k]) / (1.0 - 2.0 * c * std::cos(kPi * k / m) + c * c));
    }
  }
}

}  // namespace

void acvf(std::span<const float> x, int mode, float& mean, float& variance, std::span<float> c,
          std::span<float> r, std::span<float> partial, std::span<float> work) {
  const int n = static_cast<int>(x.size());
  if (mode % 2 != 0) {
    double sum = 0.0;
    for (float v : x) sum += D(v);
    mean = static_cast<float>(sum / n);
    double ss = 0.0;
    for (float v : x) ss += (D(v) - D(mean)) * (D(v) - D(mean));
    variance = static_cast<float>(ss / n);
    if (mode == 1) return;
  }
  const int m = static_cast<int>(c.size());
  for (int j = 1; j <= m; ++j) {
    double s = 0.0;
    for (int i = 0; i + j < n; ++i) {
      s += (D(x[i]) - D(mean)) * (D(x[i + j]) - D(mean));
    }
    c[j - 1] = static_cast<float>(s / n);
  }
  if (mode < 4) return;
  assert(r.size() >= static_cast<std::size_t>(m));
  for (int j = 0; j < m; ++j) r[j] = c[j] / variance;
  if (mode < 6) return;
  // Durbin-Levinson: partial(p) = phi(p, p); work holds phi(p - 1, 1..p - 1).
  const int q = static_cast<int>(partial.size());
  assert(work.size() >= static_cast<std::size_t>(q) && q <= m);
  for (int p = 1; p <= q; ++p) {
    double num = D(r[p - 1]);
    double den = 1.0;
    for (int j = 1; j < p; ++j) {
      num -= D(work[j - 1]) * D(r[p - j - 1]);
      den -= D(work[j - 1]) * D(r[j - 1]);
    }
    const double phi = num / den;
    partial[p - 1] = static_cast<float>(phi);
    // phi(p, j) = phi(p-1, j) - phi(p, p) phi(p-1, p-j), updated in pairs.
    for (int j = 1; j <= (p - 1) / 2; ++j) {
      const double a = D(work[j - 1]);
      const double b = D(work[p - j - 1]);
      work[j - 1] = static_cast<float>(a - phi * b);
      work[p - j - 1] = static_cast<float>(b - phi * a);
    }
    if ((p - 1) % 2 == 1) {
      const int mid = (p - 1) / 2 + 1;
      work[mid - 1] = static_cast<float>(D(work[mid - 1]) - phi * D(work[mid - 1]));
    }
    work[p - 1] = static_cast<float>(phi);
  }
}

int spectr(std::span<float> x, const SpectrumControl& ipar, const SpectrumReal& rpar,
           const SpectrumOutputs& out) {
  const int n = ipar.n;
  const int m = ipar.m;
  const bool two = ipar.mode != 0;
  const bool prewhiten = ipar.prewhiten != 0;
  if (!(n > 3 && m > 2 && m < n)) return kSpectrumBadLengths;
  if (rpar.dt <= 0.0f) return kSpectrumBadReal;
  if (prewhiten && (rpar.c <= -1.0f || rpar.c >= 1.0f)) return kSpectrumBadReal;
  if (prewhiten && two && ipar.spectrum >= 0) return kSpectrumBadLengths;

  const std::size_t nn = static_cast<std::size_t>(n);
  const std::size_t mm = static_cast<std::size_t>(m);
  const int nseries = two ? 2 : 1;
  assert(x.size() >= nn * static_cast<std::size_t>(nseries));
  assert(out.stats.size() >= 8 && out.acov.size() >= mm * static_cast<std::size_t>(nseries));
  for (float& v : out.stats) v = 0.0f;

  SeriesMoments mo[2];
  for (int s = 0; s < nseries; ++s) {
    std::span<float> xs = x.subspan(static_cast<std::size_t>(s) * nn, nn);
    if (prewhiten) Prewhiten(xs, rpar.c);
    mo[s] = Moments(xs, out.acov.subspan(static_cast<std::size_t>(s) * mm, mm), m, ipar, rpar);
    out.stats[2 * s] = mo[s].mean;
    out.stats[2 * s + 1] = mo[s].c0;
    out.stats[4 + s] = mo[s].slope;
  }

  // Cross-covariances at lags -m..m, each lag's sum over its n - |j| products.
  if (two) {
    assert(out.cross.size() >= 2 * mm + 1);
    std::span<const float> x1 = x.first(nn);
    std::span<const float> x2 = x.subspan(nn, nn);
    for (int j = -m; j <= m; ++j) {
      const int a = j < 0 ? -j : j;
      double s = j >= 0 ? LagProducts(x1, x2, a) : LagProducts(x2, x1, a);
      s /= (n - a);
      if (ipar.trend != 0) {
        const double dt = D(rpar.dt);
        s -= D(mo[0].mean) * D(mo[1].mean);
        s -= dt * dt * (static_cast<double>(n - 2 * a) * n - 2.0 * a * a) * D(mo[0].slope) *
             D(mo[1].slope) / 12.0;
      }
      out.cross[static_cast<std::size_t>(j + m)] = static_cast<float>(s);
    }
  }

  if (ipar.spectrum < 0) return kSpectrumOk;

  assert(out.freq.size() >= mm + 1 && out.power.size() >= (mm + 1) * static_cast<std::size_t>(nseries));
  for (int k = 0; k <= m; ++k) {
    out.freq[k] = static_cast<float>(k / (2.0 * m * D(rpar.dt)));
  }
  for (int s = 0; s < nseries; ++s) {
    SmoothedSpectrum(mo[s].c0, out.acov.subspan(static_cast<std::size_t>(s) * mm, mm), m, rpar,
                     prewhiten, out.power.subspan(static_cast<std::size_t>(s) * (mm + 1), mm + 1));
  }
  if (!two) return kSpectrumOk;

  // Two series: co-spectrum from the symmetric half, quadrature spectrum from
  // the antisymmetric half of the cross-covariances, smoothed like the spectra.
  assert(out.coquad.size() >= 2 * (mm + 1) && out.ampphase.size() >= 2 * (mm + 1) &&
         out.gain.size() >= 2 * (mm + 1) && out.coherence.size() >= mm + 1);
  std::span<float> co = out.coquad.first(mm + 1);
  std::span<float> quad = out.coquad.subspan(mm + 1, mm + 1);
  const double dt = D(rpar.dt);
  for (int k = 0; k <= m; ++k) {
    double sc = 0.5 * D(out.cross[mm]);
    double sq = 0.0;
    for (int j = 1; j <= m; ++j) {
      const double even = 0.5 * (D(out.cross[mm + j]) + D(out.cross[mm - j]));
      const double odd = 0.5 * (D(out.cross[mm + j]) - D(out.cross[mm - j]));
      const double w = j < m ? 1.0 : 0.5;
      sc += w * even * std::cos(kPi * j * k / m);
      sq += w * odd * std::sin(kPi * j * k / m);
    }
    co[k] = static_cast<float>(2.0 * dt / kPi * sc);
    quad[k] = static_cast<float>(2.0 * dt / kPi * sq);
  }
  HammingSmooth(co);
  HammingSmooth(quad);

  int code = kSpectrumOk;
  std::span<const float> s1 = out.power.first(mm + 1);
  std::span<const float> s2 = out.power.subspan(mm + 1, mm + 1);
  for (std::size_t k = 0; k <= mm; ++k) {
    const float amp = std::sqrt(co[k] * co[k] + quad[k] * quad[k]);
    float phase;
    if (co[k] == 0.0f) {
      phase = quad[k] >= 0.0f ? 0.25f : 0.75f;
    } else {
      double ph = std::atan(static_cast<double>(quad[k]) / static_cast<double>(co[k]));
      if (co[k] < 0.0f) ph += kPi;
      ph /= 2.0 * kPi;
      if (ph < 0.0) ph += 1.0;
      phase = static_cast<float>(ph);
    }
    out.ampphase[k] = amp;
    out.ampphase[mm + 1 + k] = phase;
    const float g1 = s1[k] > 0.0f ? amp / s1[k] : 0.0f;
    const float g2 = s2[k] > 0.0f ? amp / s2[k] : 0.0f;
    out.gain[k] = g1 < 0.0f ? 0.0f : g1;
    out.gain[mm + 1 + k] = g2 < 0.0f ? 0.0f : g2;
    const float denom = s1[k] * s2[k];
    float coh = denom > 0.0f ? amp * amp / denom : 0.0f;
    if (coh > 1.0f) {
      coh = 1.0f;
      code = kSpectrumCoherenceClipped;
    }
    if (coh < 0.0f) coh = 0.0f;
    out.coherence[k] = coh;
  }
  return code;
}

}  // namespace detrend
