// Burg autoregression (burgar), AR prediction (arpred) and end padding (arpad).
#include "detrend/arpad.h"

#include <algorithm>
#include <cstddef>

#include "detrend/order_stats.h"
#include "detrend/scratch.h"

namespace detrend {

namespace {
constexpr double D(float v) { return static_cast<double>(v); }
}  // namespace

BurgResult burgar(std::span<const float> x, std::span<double> d, BurgWorkspace& work) {
  const int n = static_cast<int>(x.size());
  const int m = static_cast<int>(d.size());
  BurgResult result;
  if (m < 1 || n < 1) {
    result.ok = m >= 1;
    return result;
  }
  double sum = 0.0;
  for (float v : x) sum += D(v) * D(v);
  result.pm = sum / n;
  const std::size_t nn = static_cast<std::size_t>(n);
  GrowScratch(nn, work.f, work.b);
  GrowScratch(static_cast<std::size_t>(m), work.w);
  std::vector<double>& f = work.f;  // f(j) at index j - 1
  std::vector<double>& b = work.b;
  std::vector<double>& w = work.w;
  for (int j = 0; j + 1 < n; ++j) {
    f[j] = D(x[j]);
    b[j] = D(x[j + 1]);
  }
  for (int k = 1; k <= m; ++k) {
    double num = 0.0, den = 0.0;
    for (int j = 0; j < n - k; ++j) {
      num += f[j] * b[j];
      den += f[j] * f[j] + b[j] * b[j];
    }
    const double dk = den != 0.0 ? 2.0 * num / den : 0.0;
    d[k - 1] = dk;
    result.pm *= 1.0 - dk * dk;
    for (int i = 1; i < k; ++i) d[i - 1] = w[i - 1] - dk * w[k - i - 1];
    if (k == m) return result;
    for (int i = 0; i < k; ++i) w[i] = d[i];
    for (int j = 0; j < n - k - 1; ++j) {
      f[j] = f[j] - w[k - 1] * b[j];
      b[j] = b[j + 1] - w[k - 1] * f[j + 1];
    }
  }
  return result;
}

void arpred(std::span<float> xp, int n, int m, std::span<const double> d, PredictDirection mode) {
  const int order = static_cast<int>(d.size());
  // 1-based xp(i) is xp[i - 1].
  for (int s = 1; s <= m; ++s) {
    const int fw = m + n + s;
    if (mode != PredictDirection::kBackward) {
      double sum = 0.0;
      for (int k = 1; k <= order; ++k) sum += d[k - 1] * D(xp[fw - k - 1]);
      xp[fw - 1] = static_cast<float>(sum);
    } else {
      xp[fw - 1] = 0.0f;
    }
    const int bw = m + 1 - s;
    if (mode != PredictDirection::kForward) {
      double sum = 0.0;
      for (int k = 1; k <= order; ++k) sum += d[k - 1] * D(xp[bw + k - 1]);
      xp[bw - 1] = static_cast<float>(sum);
    } else {
      xp[bw - 1] = 0.0f;
    }
  }
}

ArpadResult arpad(std::span<const float> x, std::span<float> xp, int m, BurgWorkspace& work) {
  const int n = static_cast<int>(x.size());
  const int cap = static_cast<int>(0.67f * static_cast<float>(n));
  if (m > cap) m = cap;
  const int room = (static_cast<int>(xp.size()) - n) / 2;
  if (m > room) m = room;
  std::fill(xp.begin(), xp.end(), 0.0f);
  ArpadResult result;
  if (m <= 0) {
    std::copy(x.begin(), x.begin() + std::min<std::ptrdiff_t>(n, static_cast<std::ptrdiff_t>(xp.size())),
              xp.begin());
    result.np = n;
    return result;
  }
  result.m = m;
  result.np = n + 2 * m;
  const float mean = meansd(x).xm;
  for (int i = 0; i < n; ++i) xp[static_cast<std::size_t>(m + i)] = x[i] - mean;
  GrowScratch(static_cast<std::size_t>(m), work.d);
  std::span<double> d(work.d.data(), static_cast<std::size_t>(m));
  result.pm = burgar(xp.subspan(static_cast<std::size_t>(m), static_cast<std::size_t>(n)), d, work).pm;
  arpred(xp, n, m, d, PredictDirection::kBoth);
  for (int i = 0; i < result.np; ++i) xp[i] += mean;
  return result;
}

}  // namespace detrend
