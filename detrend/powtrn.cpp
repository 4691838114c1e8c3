// Adaptive power transformation (powtrn) and least-squares line (linreg).
#include "detrend/powtrn.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "detrend/running_rbar.h"

namespace detrend {

LinregResult linreg(std::span<const float> x, std::span<const float> y) {
  const float n = static_cast<float>(x.size());
  float sx = 0.0f, sy = 0.0f, sxx = 0.0f, sxy = 0.0f;
  for (std::size_t i = 0; i < x.size(); ++i) {
    sx += x[i];
    sy += y[i];
    sxx += x[i] * x[i];
    sxy += x[i] * y[i];
  }
  const float c = sxx - sx * sx / n;
  if (c != 0.0f) {
    const float b = (sxy - sy * sx / n) / c;
    return {b, sy / n - b * sx / n};
  }
  return {0.0f, sy / n};
}

float powtrn(common::SeriesMatrix& SERMAT, const common::YearTable& IYTAB, int NS, PowtrnScatter& scatter) {
  scatter.loglevel.clear();
  scatter.logspread.clear();
  scatter.series.assign(static_cast<std::size_t>(std::max(NS, 0)), PowtrnSeries{});
  float psum = 0.0f;
  for (int f = 1; f <= NS; ++f) {
    PowtrnSeries& s = scatter.series[static_cast<std::size_t>(f - 1)];
    const int n = IYTAB.Span(f);
    if (n < 1) {
      psum += s.p;
      continue;
    }
    std::span<float> y = SERMAT.column(f).first(static_cast<std::size_t>(n));

    // Range of the untransformed values.
    const auto [lo, hi] = std::minmax_element(y.begin(), y.end());
    const float ymin = *lo;
    const float r1 = *hi - *lo;

    // Log spread against log level over the points with both positive.
    s.first = static_cast<int>(scatter.loglevel.size());
    for (int i = 1; i < n; ++i) {
      const float level = y[i];
      const float spread = std::fabs(y[i] - y[i - 1]);
      if (level > 0.0f && spread > 0.0f) {
        scatter.loglevel.push_back(std::log(level));
        scatter.logspread.push_back(std::log(spread));
      }
    }
    s.np = static_cast<int>(scatter.loglevel.size()) - s.first;
    if (s.np < 2) {
      psum += s.p;  // p = 1, series left as it is
      continue;
    }
    std::span<const float> lx(scatter.loglevel.data() + s.first, static_cast<std::size_t>(s.np));
    std::span<const float> ly(scatter.logspread.data() + s.first, static_cast<std::size_t>(s.np));
    const LinregResult line = linreg(lx, ly);
    s.slope = line.b;
    s.intercept = line.a;
    const bool flat_spread = std::all_of(ly.begin(), ly.end(), [&](float v) { return v == ly[0]; });
    if (line.b == 0.0f || flat_spread) {
      psum += s.p;  // R squared 0: p = 1, series left as it is
      continue;
    }
    float p = 1.0f - line.b;
    if (p < kPowtrnMinPower) p = 0.0f;
    if (p > 1.0f) p = 1.0f;
    s.p = p;
    psum += p;

    // First pass: range of the transformed values; second pass: transform and
    // map back onto the untransformed minimum and maximum.
    auto transform = [p](float v) {
      if (p > 0.0f) return std::pow(v < kPowtrnFloor ? kPowtrnFloor : v, p);
      return v > 0.0f ? std::log(v) : kPowtrnLogOfZero;
    };
    float tmin = 0.0f, tmax = 0.0f;
    for (int i = 0; i < n; ++i) {
      const float v = transform(y[i]);
      if (i == 0 || v < tmin) tmin = v;
      if (i == 0 || v > tmax) tmax = v;
    }
    const float r2 = tmax - tmin;
    if (!(r2 > 0.0f)) continue;  // no range to map back onto: left as it is
    for (int i = 0; i < n; ++i) y[i] = (transform(y[i]) - tmin) * r1 / r2 + ymin;
    s.transformed = true;
  }

  // Pooled regression of all log spreads on all log levels.
  scatter.rho = scatter.a0 = scatter.b0 = 0.0f;
  if (scatter.loglevel.size() >= 2) {
    const CorrlResult c = corrl(scatter.loglevel, scatter.logspread);
    if (c.valid) {
      scatter.rho = c.r;
      scatter.a0 = c.a;
      scatter.b0 = c.b;
    }
  }
  return NS > 0 ? psum / static_cast<float>(NS) : 0.0f;
}

ScatterColumns ScatterByColumn(const PowtrnScatter& scatter) {
  ScatterColumns out;
  for (const PowtrnSeries& s : scatter.series) out.ld = std::max(out.ld, s.np);
  const std::size_t ld = static_cast<std::size_t>(out.ld);
  const std::size_t ns = scatter.series.size();
  out.X.assign(ld * ns, 0.0f);
  out.Y.assign(ld * ns, 0.0f);
  for (std::size_t c = 0; c < ns; ++c) {
    const PowtrnSeries& s = scatter.series[c];
    for (int k = 0; k < s.np; ++k) {
      out.X[c * ld + static_cast<std::size_t>(k)] = scatter.loglevel[static_cast<std::size_t>(s.first + k)];
      out.Y[c * ld + static_cast<std::size_t>(k)] = scatter.logspread[static_cast<std::size_t>(s.first + k)];
    }
    out.B.push_back(s.slope);
    out.A.push_back(s.intercept);
    out.NP.push_back(s.np);
  }
  return out;
}

}  // namespace detrend
