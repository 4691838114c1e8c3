#include "detrend/supsmu.h"

#include <algorithm>
#include <cmath>

namespace detrend {

namespace {

constexpr float kBig = 1e20f;
constexpr float kSml = 1e-7f;
constexpr float kEps = 1e-3f;

// Weighted running means, variance of x and covariance of x and y.
struct RunningLine {
  double xm = 0.0, ym = 0.0, var = 0.0, cvar = 0.0, fbw = 0.0;

  void Add(double wt, double xt, double yt) {
    const double fbo = fbw;
    fbw += wt;
    if (fbw > 0.0) {
      xm = (fbo * xm + wt * xt) / fbw;
      ym = (fbo * ym + wt * yt) / fbw;
    }
    const double tmp = fbo > 0.0 ? fbw * wt * (xt - xm) / fbo : 0.0;
    var += tmp * (xt - xm);
    cvar += tmp * (yt - ym);
  }

  void Remove(double wt, double xt, double yt) {
    const double fbo = fbw;
    fbw -= wt;
    if (fbw > 0.0) {
      const double dx = xt - xm;
      const double dy = yt - ym;
      const double tmp = fbo * wt * dx / fbw;
      xm = (fbo * xm - wt * xt) / fbw;
      ym = (fbo * ym - wt * yt) / fbw;
      var -= tmp * dx;
      cvar -= tmp * dy;
    }
  }
};

}  // namespace

void smooth(std::span<const float> x, std::span<const float> y, std::span<const float> w, float span, int iper,
            float vsmlsq, std::span<float> smo, std::span<float> acvr) {
  const int n = static_cast<int>(x.size());
  if (n < 1) return;
  // 1-based views, as the window arithmetic is written.
  auto X = [&](int i) { return x[i - 1]; };
  auto Y = [&](int i) { return y[i - 1]; };
  auto W = [&](int i) { return w[i - 1]; };

  int ibw = static_cast<int>(0.5f * span * static_cast<float>(n) + 0.5f);
  if (ibw < 2) ibw = 2;
  const int jper = std::abs(iper);
  // Fewer points than the window: the window is all n points (periodic: the
  // widest symmetric window that n points allow).
  int initial = 2 * ibw + 1;
  if (initial > n) {
    if (jper == 2) {
      ibw = (n - 1) / 2;
      initial = 2 * ibw + 1;
    } else {
      initial = n;
    }
  }
  const double vsml = static_cast<double>(vsmlsq);

  RunningLine line;
  for (int i = 1; i <= initial; ++i) {
    int j = i;
    float xt = 0.0f;
    if (jper == 2) j = i - ibw - 1;
    if (j >= 1) {
      xt = X(j);
    } else {
      j = n + j;
      xt = X(j) - 1.0f;
    }
    line.Add(static_cast<double>(W(j)), static_cast<double>(xt), static_cast<double>(Y(j)));
  }

  for (int j = 1; j <= n; ++j) {
    int out = j - ibw - 1;
    int in = j + ibw;
    const bool moves = jper == 2 || (out >= 1 && in <= n);
    if (moves) {
      float xo = 0.0f, xi = 0.0f;
      if (out < 1) {
        out = n + out;
        xo = X(out) - 1.0f;
        xi = X(in);
      } else if (in > n) {
        in = in - n;
        xi = X(in) + 1.0f;
        xo = X(out);
      } else {
        xo = X(out);
        xi = X(in);
      }
      line.Remove(static_cast<double>(W(out)), static_cast<double>(xo), static_cast<double>(Y(out)));
      line.Add(static_cast<double>(W(in)), static_cast<double>(xi), static_cast<double>(Y(in)));
    }
    const double a = line.var > vsml ? line.cvar / line.var : 0.0;
    const double dxj = static_cast<double>(X(j)) - line.xm;
    smo[j - 1] = static_cast<float>(a * dxj + line.ym);
    if (iper > 0) {
      double h = line.fbw > 0.0 ? 1.0 / line.fbw : 0.0;
      if (line.var > vsml) h += dxj * dxj / line.var;
      const double d = 1.0 - static_cast<double>(W(j)) * h;
      if (d > 0.0) {
        // The residual of two single-precision values is single precision.
        const float resid = std::fabs(Y(j) - smo[j - 1]);
        acvr[j - 1] = static_cast<float>(static_cast<double>(resid) / d);
      } else {
        acvr[j - 1] = j > 1 ? acvr[j - 2] : 0.0f;
      }
    }
  }

  // Runs of points whose x does not increase share their weighted mean.
  int j = 1;
  while (j <= n) {
    const int j0 = j;
    double sy = static_cast<double>(smo[j - 1]) * static_cast<double>(W(j));
    double fbw = static_cast<double>(W(j));
    while (j < n && X(j + 1) <= X(j)) {
      ++j;
      sy += static_cast<double>(W(j)) * static_cast<double>(smo[j - 1]);
      fbw += static_cast<double>(W(j));
    }
    if (j > j0) {
      const float a = fbw > 0.0 ? static_cast<float>(sy / fbw) : 0.0f;
      for (int i = j0; i <= j; ++i) smo[i - 1] = a;
    }
    ++j;
  }
}

void supsmu(std::span<const float> x, std::span<const float> y, std::span<const float> w, int iper, float span,
            float alpha, std::span<float> smo, std::span<float> sc) {
  const int n = static_cast<int>(x.size());
  if (n < 1) return;
  auto X = [&](int i) { return x[i - 1]; };

  if (X(n) <= X(1)) {
    // Weighted mean in single precision (only smooth's running sums are double).
    float sy = 0.0f, sw = 0.0f;
    for (int j = 0; j < n; ++j) {
      sy += w[j] * y[j];
      sw += w[j];
    }
    const float a = sw > 0.0f ? sy / sw : 0.0f;
    std::fill(smo.begin(), smo.begin() + n, a);
    return;
  }

  // Spread of the middle half of x (widened until it is positive).
  int i = std::max(n / 4, 1);
  int j = std::min(3 * (n / 4), n);
  if (j < i) j = i;
  float scale = X(j) - X(i);
  while (scale <= 0.0f) {
    if (j < n) ++j;
    if (i > 1) --i;
    scale = X(j) - X(i);
  }
  const float vsmlsq = (kEps * scale) * (kEps * scale);

  int jper = iper;
  if (iper == 2 && (X(1) < 0.0f || X(n) > 1.0f)) jper = 1;
  if (jper < 1 || jper > 2) jper = 1;

  if (span > 0.0f) {
    smooth(x, y, w, span, jper, vsmlsq, smo, sc.first(n));
    return;
  }

  const std::size_t un = static_cast<std::size_t>(n);
  auto col = [&](int c) { return sc.subspan((static_cast<std::size_t>(c) - 1) * un, un); };
  const float spans[3] = {kSupsmuTweeter, kSupsmuMidrange, kSupsmuWoofer};
  for (int k = 1; k <= 3; ++k) {
    smooth(x, y, w, spans[k - 1], jper, vsmlsq, col(2 * k - 1), col(7));
    smooth(x, col(7), w, kSupsmuMidrange, -jper, vsmlsq, col(2 * k), {});
  }

  const std::span<float> c2 = col(2), c4 = col(4), c6 = col(6), c7 = col(7);
  for (int p = 0; p < n; ++p) {
    float resmin = kBig;
    for (int k = 1; k <= 3; ++k) {
      const float r = sc[(static_cast<std::size_t>(2 * k) - 1) * un + static_cast<std::size_t>(p)];
      if (r < resmin) {
        resmin = r;
        c7[p] = spans[k - 1];
      }
    }
    if (alpha > 0.0f && alpha <= 10.0f && resmin < c6[p] && resmin > 0.0f) {
      c7[p] += (kSupsmuWoofer - c7[p]) * std::pow(std::max(kSml, resmin / c6[p]), 10.0f - alpha);
    }
  }

  smooth(x, c7, w, kSupsmuMidrange, -jper, vsmlsq, c2, {});
  const std::span<float> c1 = col(1), c3 = col(3), c5 = col(5);
  for (int p = 0; p < n; ++p) {
    c2[p] = std::clamp(c2[p], kSupsmuTweeter, kSupsmuWoofer);
    float f = c2[p] - kSupsmuMidrange;
    if (f >= 0.0f) {
      f = f / (kSupsmuWoofer - kSupsmuMidrange);
      c4[p] = (1.0f - f) * c3[p] + f * c5[p];
    } else {
      f = -f / (kSupsmuMidrange - kSupsmuTweeter);
      c4[p] = (1.0f - f) * c3[p] + f * c1[p];
    }
  }
  smooth(x, c4, w, kSupsmuTweeter, -jper, vsmlsq, smo, {});
}

}  // namespace detrend
