#include "detrend/gamfit.h"

#include <cmath>
#include <cstddef>
#include <utility>

namespace detrend {

namespace {

// The five curve parameters unpacked from a parameter vector by mode.
struct CurveParams {
  float a, b, c, d, k;
};

CurveParams Unpack(std::span<const float, 5> p, CurveMode mode) {
  switch (mode) {
    case CurveMode::kGeneralNegExp:
      return {p[0], p[1], 0.0f, 0.0f, p[2]};
    case CurveMode::kPower1Exp:
      return {p[0], p[1], 1.0f, p[2], p[3]};
    case CurveMode::kHugershoff:
      break;
  }
  return {p[0], p[2], p[1], p[3], p[4]};
}

// f = a exp(b t + c ln t) + k at t > 0.
float CurveAt(const CurveParams& q, float t) { return q.a * std::exp(q.b * t + q.c * std::log(t)) + q.k; }

// The fixed starting vertices 2..ndim+1 of each mode (rows 1..ndim of the
// simplex), parameters beyond ndim 0.
constexpr float kStartVertices[3][5][5] = {
    {{1.0f, 0.0f, 0.0f}, {0.0f, -0.01f, 0.0f}, {0.0f, 0.0f, 0.1f}},
    {{1.0f, 0.0f, 0.0f, 0.0f}, {0.0f, -0.01f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 0.1f}},
    {{1.0f, 0.0f, 0.0f, 0.0f, 0.0f},
     {0.0f, 1.0f, 0.0f, 0.0f, 0.0f},
     {0.0f, 0.0f, -0.01f, 0.0f, 0.0f},
     {0.0f, 0.0f, 0.0f, 1.0f, 0.0f},
     {0.0f, 0.0f, 0.0f, 0.0f, 0.1f}},
};

void ColumnSums(const Simplex& s, int ndim, std::array<float, 5>& psum) {
  for (int j = 0; j < ndim; ++j) {
    float sum = 0.0f;
    for (int i = 0; i <= ndim; ++i) sum += s.P[i][j];
    psum[j] = sum;
  }
}

void SwapVertices(Simplex& s, int i, int j) {
  if (i == j) return;
  std::swap(s.P[i], s.P[j]);
  std::swap(s.Y[i], s.Y[j]);
}

}  // namespace

int CurveDimension(CurveMode mode) {
  switch (mode) {
    case CurveMode::kGeneralNegExp:
      return 3;
    case CurveMode::kPower1Exp:
      return 4;
    case CurveMode::kHugershoff:
      break;
  }
  return 5;
}

float gamoff(std::span<const float, 5> p, std::span<const float> x, std::span<const float> y,
             CurveMode mode) {
  const CurveParams q = Unpack(p, mode);
  const std::size_t nfit = x.size() < y.size() ? x.size() : y.size();
  double sum = 0.0;
  for (std::size_t i = 0; i < nfit; ++i) {
    const float t = x[i] + q.d;
    if (!(t > 0.0f)) return kInfeasibleObjective;
    const float r = CurveAt(q, t) - y[i];
    sum += static_cast<double>(r) * static_cast<double>(r);
  }
  const float value = static_cast<float>(sum);
  if (!std::isfinite(value)) return kInfeasibleObjective;
  return value;
}

float amotry(Simplex& s, std::array<float, 5>& psum, int ndim, int ihi, float fac, CurveMode mode,
             std::span<const float> x, std::span<const float> y) {
  const float fac1 = (1.0f - fac) / static_cast<float>(ndim);
  const float fac2 = fac1 - fac;
  std::array<float, 5> ptry{};
  for (int j = 0; j < ndim; ++j) ptry[j] = psum[j] * fac1 - s.P[ihi][j] * fac2;
  // The asymptote of modes 2 and 3 stays at or above zero.
  if (mode != CurveMode::kGeneralNegExp && ptry[ndim - 1] <= 0.0f) ptry[ndim - 1] = 0.0f;
  const float ytry = gamoff(ptry, x, y, mode);
  if (ytry < s.Y[ihi]) {
    s.Y[ihi] = ytry;
    for (int j = 0; j < ndim; ++j) {
      psum[j] = psum[j] - s.P[ihi][j] + ptry[j];
      s.P[ihi][j] = ptry[j];
    }
  }
  return ytry;
}

AmoebaResult amoeba(Simplex& s, int ndim, float ftol, CurveMode mode, std::span<const float> x,
                    std::span<const float> y) {
  const int mpts = ndim + 1;
  std::array<float, 5> psum{};
  int iter = 0;
  ColumnSums(s, ndim, psum);
  for (;;) {
    // Lowest, highest and next-highest vertex.
    int ilo = 0;
    int ihi, inhi;
    if (s.Y[0] > s.Y[1]) {
      ihi = 0;
      inhi = 1;
    } else {
      ihi = 1;
      inhi = 0;
    }
    for (int i = 0; i < mpts; ++i) {
      if (s.Y[i] <= s.Y[ilo]) ilo = i;
      if (s.Y[i] > s.Y[ihi]) {
        inhi = ihi;
        ihi = i;
      } else if (s.Y[i] > s.Y[inhi] && i != ihi) {
        inhi = i;
      }
    }
    const float denom = std::fabs(s.Y[ihi]) + std::fabs(s.Y[ilo]);
    const float rtol = denom > 0.0f ? 2.0f * std::fabs(s.Y[ihi] - s.Y[ilo]) / denom : 0.0f;
    if (rtol < ftol) {
      SwapVertices(s, 0, ilo);
      return {iter, AmoebaStatus::kConverged};
    }
    if (iter >= kAmoebaItmax) {
      SwapVertices(s, 0, ilo);
      return {iter, AmoebaStatus::kIterationLimit};
    }
    iter += 2;
    float ytry = amotry(s, psum, ndim, ihi, -1.0f, mode, x, y);
    if (ytry <= s.Y[ilo]) {
      amotry(s, psum, ndim, ihi, 2.0f, mode, x, y);
    } else if (ytry >= s.Y[inhi]) {
      const float ysave = s.Y[ihi];
      ytry = amotry(s, psum, ndim, ihi, 0.5f, mode, x, y);
      if (ytry >= ysave) {
        // Shrink every vertex halfway towards the lowest.
        for (int i = 0; i < mpts; ++i) {
          if (i == ilo) continue;
          std::array<float, 5> mid{};
          for (int j = 0; j < ndim; ++j) {
            mid[j] = 0.5f * (s.P[i][j] + s.P[ilo][j]);
            s.P[i][j] = mid[j];
          }
          s.Y[i] = gamoff(mid, x, y, mode);
        }
        iter += ndim;
        ColumnSums(s, ndim, psum);
      }
    } else {
      iter -= 1;
    }
  }
}

GamfitResult gamfit(Simplex& s, CurveMode mode, std::span<const float> x, std::span<const float> y,
                    std::span<float> curv, int nemax) {
  const std::size_t nfit = x.size() < y.size() ? x.size() : y.size();
  if (nfit > static_cast<std::size_t>(nemax < 0 ? 0 : nemax)) {
    return {0.0f, 0, GamfitStatus::kTooManyPoints};
  }
  x = x.first(nfit);
  y = y.first(nfit);
  const int ndim = CurveDimension(mode);
  const auto& table = kStartVertices[static_cast<int>(mode) - 1];

  std::array<float, 5> pt = s.P[0];
  s.Y[0] = gamoff(pt, x, y, mode);
  for (int i = 1; i <= ndim; ++i) {
    for (int j = 0; j < 5; ++j) {
      const float v = j < ndim ? table[i - 1][j] : 0.0f;
      pt[j] = v;
      s.P[i][j] = v;
    }
    s.Y[i] = gamoff(pt, x, y, mode);
  }

  AmoebaResult run = amoeba(s, ndim, kGamfitFtol, mode, x, y);
  int iter = run.iter;
  // The message of the iteration limit belongs to this first run; the
  // restarts below only refine its result.
  const AmoebaStatus first_status = run.status;

  // A simplex can collapse (or run out of iterations) short of the minimum;
  // restart it around the best vertex with the mode's steps until a restart
  // no longer lowers the objective by the relative tolerance.
  for (int restart = 0; restart < kGamfitRestarts && iter < kGamfitIterationBudget; ++restart) {
    const float previous = s.Y[0];
    if (!(previous > 0.0f) || previous >= kInfeasibleObjective) break;
    const std::array<float, 5> best = s.P[0];
    for (int i = 1; i <= ndim; ++i) {
      for (int j = 0; j < 5; ++j) s.P[i][j] = j < ndim ? best[j] + table[i - 1][j] : best[j];
      s.Y[i] = gamoff(s.P[i], x, y, mode);
    }
    run = amoeba(s, ndim, kGamfitFtol, mode, x, y);
    iter += run.iter;
    if (!(s.Y[0] < previous * (1.0f - kGamfitFtol))) break;
  }

  const CurveParams q = Unpack(s.P[0], mode);
  for (std::size_t i = 0; i < curv.size(); ++i) {
    const float t = static_cast<float>(i + 1) + q.d;
    curv[i] = t > 0.0f ? CurveAt(q, t) : q.k;
  }
  const GamfitStatus status =
      first_status == AmoebaStatus::kConverged ? GamfitStatus::kConverged : GamfitStatus::kIterationLimit;
  return {s.Y[0], iter, status};
}

bool hugfit(std::span<const float> x, std::span<const float> y, int nfit, std::span<float> curv,
            std::span<float, 7> CRVPAR, float miss) {
  std::size_t n = curv.size();
  if (n > x.size()) n = x.size();
  if (n > y.size()) n = y.size();
  std::size_t fit_count = nfit < 0 ? 0 : static_cast<std::size_t>(nfit);
  if (fit_count > x.size()) fit_count = x.size();
  if (fit_count > y.size()) fit_count = y.size();

  double m = 0.0, sx = 0.0, slx = 0.0, slx2 = 0.0, sx2 = 0.0, sxlx = 0.0;
  double sly = 0.0, slxly = 0.0, sxly = 0.0;
  for (std::size_t i = 0; i < fit_count; ++i) {
    if (y[i] == miss || y[i] <= 0.0f || x[i] <= 0.0f) continue;
    const double xi = x[i];
    const double lx = std::log(xi);
    const double ly = std::log(static_cast<double>(y[i]));
    m += 1.0;
    sx += xi;
    slx += lx;
    slx2 += lx * lx;
    sx2 += xi * xi;
    sxlx += xi * lx;
    sly += ly;
    slxly += lx * ly;
    sxly += xi * ly;
  }

  // Normal equations of ln y = A + B x + C ln x by Cramer's rule.
  auto det3 = [](double a11, double a12, double a13, double a21, double a22, double a23, double a31,
                 double a32, double a33) {
    return a11 * (a22 * a33 - a23 * a32) - a12 * (a21 * a33 - a23 * a31) + a13 * (a21 * a32 - a22 * a31);
  };
  const double det = det3(m, sx, slx, sx, sx2, sxlx, slx, sxlx, slx2);
  double A = 0.0, B = 0.0, C = 0.0;
  bool ok = m >= 3.0 && det != 0.0;
  if (ok) {
    A = det3(sly, sx, slx, sxly, sx2, sxlx, slxly, sxlx, slx2) / det;
    B = det3(m, sly, slx, sx, sxly, sxlx, slx, slxly, slx2) / det;
    C = det3(m, sx, sly, sx, sx2, sxly, slx, sxlx, slxly) / det;
    ok = std::isfinite(std::exp(A)) && std::isfinite(B) && std::isfinite(C);
  }
  if (!ok) {
    CRVPAR[0] = CRVPAR[1] = CRVPAR[2] = 0.0f;
    for (float& c : curv) c = 0.0f;
    return false;
  }

  const float a = static_cast<float>(std::exp(A));
  const float c = static_cast<float>(C);
  const float b = static_cast<float>(B);
  CRVPAR[0] = a;
  CRVPAR[1] = c;
  CRVPAR[2] = b;
  for (std::size_t i = 0; i < n; ++i) curv[i] = a * std::pow(x[i], c) * std::exp(b * x[i]);

  // Level the curve to the data: r = sum(y - curv) / sum(curv) + 1.
  float s1 = 0.0f, s2 = 0.0f;
  for (std::size_t i = 0; i < n; ++i) {
    if (y[i] == miss) continue;
    s1 += curv[i];
    s2 += y[i] - curv[i];
  }
  const float r = s2 / s1 + 1.0f;
  if (r != 0.0f && std::isfinite(r)) {
    CRVPAR[0] = r * a;
    for (std::size_t i = 0; i < n; ++i) curv[i] *= r;
  }
  return true;
}

GexpStatus gexp(std::span<const float> y, std::span<float> curv, std::span<float, 7> CRVPAR, float miss) {
  const std::size_t nfit = y.size();
  if (nfit < 1) return GexpStatus::kNoValues;

  // z = ln y(i) - ln i over the usable points, in single precision, recomputed
  // on each pass rather than stored.
  auto usable = [&](std::size_t i) { return y[i] > 0.0f && y[i] != miss; };
  auto z_at = [&](std::size_t i) { return std::log(y[i]) - std::log(static_cast<float>(i + 1)); };

  std::size_t m = 0;
  double sum_x = 0.0, sum_z = 0.0;
  for (std::size_t i = 0; i < nfit; ++i) {
    if (!usable(i)) continue;
    ++m;
    sum_x += static_cast<double>(i + 1);
    sum_z += static_cast<double>(z_at(i));
  }
  if (m == 0) return GexpStatus::kNoPositiveValues;

  const double mean_x = sum_x / static_cast<double>(m);
  const double mean_z = sum_z / static_cast<double>(m);
  double sxx = 0.0, szz = 0.0, sxz = 0.0;
  for (std::size_t i = 0; i < nfit; ++i) {
    if (!usable(i)) continue;
    const double dx = static_cast<double>(i + 1) - mean_x;
    const double dz = static_cast<double>(z_at(i)) - mean_z;
    sxx += dx * dx;
    szz += dz * dz;
    sxz += dx * dz;
  }
  double slope = 0.0;
  if (m > 1 && szz > 0.0) {
    const double dm = static_cast<double>(m - 1);
    const double sdx = std::sqrt(sxx / dm);
    const double sdz = std::sqrt(szz / dm);
    const double r = sxz / std::sqrt(sxx * szz);
    slope = r * sdz / sdx;
  }
  const double a = std::exp(mean_z - slope * mean_x);

  for (std::size_t i = 0; i < curv.size(); ++i) {
    const double t = static_cast<double>(i + 1);
    curv[i] = static_cast<float>(t * a * std::exp(t * slope));
  }
  CRVPAR[0] = static_cast<float>(a);
  CRVPAR[1] = static_cast<float>(-slope);
  return GexpStatus::kOk;
}

}  // namespace detrend
