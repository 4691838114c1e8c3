#include "detrend/lowfit.h"

#include <cassert>
#include <cmath>
#include <cstddef>
#include <utility>

#include "detrend/scratch.h"

namespace detrend {

namespace {

// Sifts a[root] down the max-heap a[0..end).
void SiftDown(std::span<float> a, std::size_t root, std::size_t end) {
  const float v = a[root];
  std::size_t i = root;
  for (;;) {
    std::size_t child = 2 * i + 1;
    if (child >= end) break;
    if (child + 1 < end && a[child] < a[child + 1]) ++child;
    if (!(v < a[child])) break;
    a[i] = a[child];
    i = child;
  }
  a[i] = v;
}

float Cube(float v) { return v * v * v; }
float Square(float v) { return v * v; }

}  // namespace

void hsort(std::span<float> a) {
  const std::size_t n = a.size();
  if (n < 2) return;
  for (std::size_t k = n / 2; k-- > 0;) SiftDown(a, k, n);
  for (std::size_t end = n - 1; end > 0; --end) {
    std::swap(a[0], a[end]);
    SiftDown(a, 0, end);
  }
}

LowptResult lowpt(std::span<const float> x, std::span<const float> y, float xs, int nleft,
                  int nright, std::span<float> w, bool userw, std::span<const float> rw) {
  const int n = static_cast<int>(x.size());
  const float range = x[n - 1] - x[0];
  const float h = std::fmax(xs - x[nleft], x[nright] - xs);
  const float h9 = 0.999f * h;
  const float h1 = 0.001f * h;

  // Tricube weights over the neighbourhood, walking right until a point
  // lies beyond it.
  float total = 0.0f;
  int j = nleft;
  while (j < n) {
    w[j] = 0.0f;
    const float r = std::fabs(x[j] - xs);
    if (r <= h9) {
      w[j] = r <= h1 ? 1.0f : Cube(1.0f - Cube(r / h));
      if (userw) w[j] *= rw[j];
      total += w[j];
    } else if (x[j] > xs) {
      break;
    }
    ++j;
  }
  const int nrt = j - 1;
  if (total <= 0.0f) return {0.0f, false};

  for (j = nleft; j <= nrt; ++j) w[j] /= total;
  if (h > 0.0f) {
    // Local line instead of local mean when the weighted x spread allows.
    float a = 0.0f;
    for (j = nleft; j <= nrt; ++j) a += w[j] * x[j];
    float b = xs - a;
    float c = 0.0f;
    for (j = nleft; j <= nrt; ++j) c += w[j] * (x[j] - a) * (x[j] - a);
    if (std::sqrt(c) > 0.001f * range) {
      b /= c;
      for (j = nleft; j <= nrt; ++j) w[j] *= b * (x[j] - a) + 1.0f;
    }
  }
  float ys = 0.0f;
  for (j = nleft; j <= nrt; ++j) ys += w[j] * y[j];
  return {ys, true};
}

void lowfit(std::span<const float> y, std::span<float> ys, float f, LowessWork& work) {
  const std::size_t count = y.size() < ys.size() ? y.size() : ys.size();
  if (count == 0) return;
  if (count < 2) {
    ys[0] = y[0];
    return;
  }
  const int n = static_cast<int>(count);
  GrowScratch(count, work.x, work.res, work.rw, work.w);
  const std::span<float> x(work.x.data(), count);
  const std::span<float> res(work.res.data(), count);
  const std::span<float> rw(work.rw.data(), count);
  const std::span<float> w(work.w.data(), count);
  for (int i = 0; i < n; ++i) x[i] = static_cast<float>(i + 1);

  // Points per neighbourhood: the integer part of n f, within [2, n].
  const float nf = static_cast<float>(n) * f;
  int ns = n;
  if (!(nf >= static_cast<float>(n))) ns = nf > 0.0f ? static_cast<int>(nf) : 0;
  if (ns < 2) ns = 2;

  constexpr int kPasses = 3;
  for (int pass = 1; pass <= kPasses; ++pass) {
    int nleft = 0;
    int nright = ns - 1;
    for (int i = 0; i < n; ++i) {
      while (nright < n - 1 && x[i] - x[nleft] > x[nright + 1] - x[i]) {
        ++nleft;
        ++nright;
      }
      const LowptResult fit = lowpt(x, y.first(count), x[i], nleft, nright, w, pass > 1, rw);
      ys[i] = fit.ok ? fit.ys : y[i];
    }
    for (int i = 0; i < n; ++i) res[i] = y[i] - ys[i];
    if (pass == kPasses) break;

    // Bisquare robustness weights, cut at six median absolute residuals.
    for (int i = 0; i < n; ++i) rw[i] = std::fabs(res[i]);
    hsort(rw);
    const int m1 = n / 2 + 1;
    const int m2 = n - m1 + 1;
    const float cmad = 3.0f * (rw[m1 - 1] + rw[m2 - 1]);
    const float c9 = 0.999f * cmad;
    const float c1 = 0.001f * cmad;
    for (int i = 0; i < n; ++i) {
      const float r = std::fabs(res[i]);
      if (r <= c1) {
        rw[i] = 1.0f;
      } else if (r <= c9) {
        rw[i] = Square(1.0f - Square(r / cmad));
      } else {
        rw[i] = 0.0f;
      }
    }
  }
}

int msmoo(std::span<const float> x, std::span<float> y, std::span<float> work, int iwin, int mxy) {
  const int n = static_cast<int>(x.size() < y.size() ? x.size() : y.size());
  int ier = 0;
  if (iwin > n || n > mxy) ier = 1;
  if (iwin < 1 || iwin > mxy) ier = 2;
  if (iwin < 1 || iwin % 2 == 0) ier = 3;
  if (ier != 0) return ier;

  if (iwin == 1) {
    for (int i = 0; i < n; ++i) y[i] = x[i];
    return 0;
  }
  const int h = (iwin - 1) / 2;
  assert(work.size() >= static_cast<std::size_t>(iwin));
  const std::span<float> window = work.first(static_cast<std::size_t>(iwin));
  for (int i = h; i < n - h; ++i) {
    for (int k = 0; k < iwin; ++k) window[k] = x[i - h + k];
    hsort(window);
    y[i] = window[h];
  }
  // Each end takes the nearest full-window median.
  for (int k = 0; k < h; ++k) {
    y[k] = y[h];
    y[n - 1 - k] = y[n - 1 - h];
  }
  return 0;
}

MsmoorResult msmoor(std::span<float> x, std::span<float> y, std::span<float> work, int iwin, int mxy) {
  const int n = static_cast<int>(x.size() < y.size() ? x.size() : y.size());
  MsmoorResult result{iwin, 0, 0};
  if (iwin > n || n > mxy) result.ier = 1;
  if (iwin < 1 || iwin > mxy) result.ier = 2;
  if (iwin < 1 || iwin % 2 == 0) {
    result.iwin = iwin - 1;
    if (result.iwin < 1 || result.iwin % 2 == 0) result.ier = 3;
  }
  if (result.ier != 0) return result;

  const std::span<float> xs = x.first(static_cast<std::size_t>(n));
  const std::span<float> ys = y.first(static_cast<std::size_t>(n));
  for (;;) {
    ++result.iter;
    if (result.iter > kMsmoorMaxPasses) {
      result.ier = 20;
      return result;
    }
    const int ier = msmoo(xs, ys, work, result.iwin, mxy);
    if (ier != 0) {
      result.ier = ier + 10;
      return result;
    }
    float change = 0.0f;
    for (int i = 0; i < n; ++i) change += std::fabs(xs[i] - ys[i]);
    if (change < 1e-6f) return result;
    for (int i = 0; i < n; ++i) xs[i] = ys[i];
  }
}

std::string MsmoorMessage(int ier) {
  if (ier >= 1 && ier <= 3) return "input error " + std::to_string(ier) + " in msmoor.";
  if (ier >= 11 && ier <= 13) return "input error " + std::to_string(ier - 10) + " in msmoo.";
  if (ier == 20) return "*** maximum iterations reached in msmoor ***";
  return "";
}

}  // namespace detrend
