// Regional curve (regcrv), its fit by RCS option (detrnd) and xmean2.
#include "detrend/regcrv.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "common/limits.h"
#include "detrend/crvfit.h"
#include "detrend/scratch.h"
#include "detrend/sstats.h"
#include "detrend/supsmu.h"

namespace detrend {

namespace {

constexpr int kSpanFixedBelow = 40;  // fewer fitted values: super smoother span 0.3
constexpr float kNoValue = -999.0f;  // first value of a differenced curve

std::size_t Size(int n) { return static_cast<std::size_t>(n > 0 ? n : 0); }

void Grow(DetrndWorkspace& work, std::size_t n) {
  GrowScratch(n, work.x, work.w, work.copy, work.window, work.stiffness);
  GrowScratch(n * kSupsmuWorkColumns, work.sc);
}

// Abscissa 1..n in work.x.
std::span<const float> Positions(DetrndWorkspace& work, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) work.x[i] = static_cast<float>(i + 1);
  return std::span<const float>(work.x.data(), n);
}

// Horizontal line at the mean of the fitted values (code 6).
void MeanLine(std::span<const float> fit, std::span<float> curv, CurveParameters& CRVPAR, int& NOPT,
              DetrndResult& result) {
  CRVPAR.fill(0.0f);
  NOPT = 6;
  float mean = 0.0f;
  if (!xmean2(fit, mean)) {
    result.no_values = true;
    return;
  }
  CRVPAR[4] = mean;
  std::fill(curv.begin(), curv.end(), mean);
}

// Least-squares line over n (codes 1-5): CRVPAR(3) slope, CRVPAR(5) intercept.
void Line(std::span<const float> fit, std::span<float> curv, CurveParameters& CRVPAR) {
  CRVPAR.fill(0.0f);
  const LineFit line = lintrd(fit, curv);
  CRVPAR[2] = line.slope;
  CRVPAR[4] = line.intercept;
}

// Age-dependent spline from stiffness istf, its rising end flattened. curv
// gets nfit values.
SplineStatus AgeSpline(std::span<const float> fit, std::span<float> curv, int istf, DetrndWorkspace& work) {
  const std::size_t n = fit.size();
  std::span<int> s(work.stiffness.data(), std::max<std::size_t>(n, 1));
  yrseq(static_cast<int>(n), istf, s);
  return SplageFlatEnd(fit, curv, s, std::span<float>(work.copy.data(), n), FlatEndRefit::kWhenFlattened,
                       work.spline)
      .status;
}

}  // namespace

bool xmean2(std::span<const float> x, float& mean) {
  if (x.empty()) return false;
  float sum = 0.0f;
  for (float v : x) sum += v;
  mean = sum / static_cast<float>(x.size());
  return true;
}

DetrndResult detrnd(std::span<float> y, std::span<float> curv, int nfit, CurveParameters& CRVPAR, int& NOPT,
                    int iwin, float alpha, int istf, DetrndWorkspace& work) {
  const std::size_t n = y.size();
  nfit = std::clamp(nfit, 0, static_cast<int>(n));
  const std::size_t nf = Size(nfit);
  DetrndResult result;
  result.nfit = nfit;
  CRVPAR.fill(0.0f);
  Grow(work, std::max<std::size_t>(n, 1));
  std::span<const float> fit = y.first(nf);
  std::span<float> all = curv.first(n);
  std::span<float> head = curv.first(nf);

  switch (NOPT) {
    case -5: {
      std::span<float> w(work.w.data(), nf);
      std::fill(w.begin(), w.end(), 1.0f);
      if (nf < 1) {
        MeanLine(fit, all, CRVPAR, NOPT, result);
        break;
      }
      const float span = nfit < kSpanFixedBelow ? 0.3f : 0.0f;
      supsmu(Positions(work, nf), fit, w, static_cast<int>(Periodic::kNo), span, alpha, head,
             std::span<float>(work.sc.data(), nf * kSupsmuWorkColumns));
      break;
    }
    case -4: {
      float f = 0.0f;
      if (iwin > 0 && nfit > 0) f = static_cast<float>(iwin) / static_cast<float>(nfit);
      if (iwin < 0) f = static_cast<float>(-iwin) / 100.0f;
      if (!(f > 0.0f) || nf < 1) {
        MeanLine(fit, all, CRVPAR, NOPT, result);
        break;
      }
      std::span<float> copy(work.copy.data(), nf);
      std::copy(fit.begin(), fit.end(), copy.begin());
      lowfit(copy, head, f, work.lowess);
      break;
    }
    case -3: {
      // The window as typed, or that percentage of nfit (at least 3); msmoor
      // lowers an even window by one and refuses one it cannot use (longer
      // than the curve, or below 1).
      const int window =
          iwin >= 0 ? iwin
                    : std::max(static_cast<int>(static_cast<float>(-iwin) / 100.0f * static_cast<float>(nfit)), 3);
      std::span<float> copy(work.copy.data(), nf);
      std::copy(fit.begin(), fit.end(), copy.begin());
      const std::span<float> scratch(work.window.data(), std::min(Size(window), work.window.size()));
      const MsmoorResult m = msmoor(copy, head, scratch, window);
      result.msmoor_ier = m.ier;
      if (m.ier != 0 && m.ier != 20) MeanLine(fit, all, CRVPAR, NOPT, result);
      break;
    }
    case -2:
      result.spline_routine = SplineRoutine::kSplage;
      result.spline = AgeSpline(fit, head, istf, work);
      if (result.spline != SplineStatus::kOk) MeanLine(fit, all, CRVPAR, NOPT, result);
      break;
    case -1: {
      // Differences of the curve, rescaled to the mean and sd of the ratios
      // of the values to their spline (stiffness m / 3).
      const int m = nfit - 1;
      if (m < 1) {
        MeanLine(fit, all, CRVPAR, NOPT, result);
        break;
      }
      const std::size_t mm = Size(m);
      std::span<float> c(work.copy.data(), mm);
      for (std::size_t j = 0; j < mm; ++j) c[j] = y[j + 1];
      result.spline = splinp(c, curv.first(mm), std::max(m / 3, 1), work.spline).status;
      if (result.spline != SplineStatus::kOk) {
        MeanLine(fit, all, CRVPAR, NOPT, result);
        break;
      }
      result.nfit = m;
      for (std::size_t j = mm; j >= 1; --j) y[j] = y[j] - y[j - 1];
      y[0] = kNoValue;
      if (mm < n) curv[mm] = curv[mm - 1];  // position nfit holds the fit of the one before
      for (std::size_t j = 0; j < mm; ++j) c[j] = curv[j] != 0.0f ? c[j] / curv[j] : 0.0f;
      const SeriesStats d = sstats(y.subspan(1, mm));
      const SeriesStats r = sstats(c);
      const bool scalable = d.sd > 0.0f && r.sd > 0.0f;
      for (std::size_t j = 1; j <= mm; ++j) {
        y[j] = scalable ? (y[j] - d.mean) / d.sd * r.sd + r.mean : r.mean;
      }
      break;
    }
    case 1:
    case 2: {
      result.exponential_tried = true;
      result.exponential = nf >= 1 ? curve(fit, all, CRVPAR) : CurveStatus::kTooShort;
      if (nf < 1) CRVPAR[1] = kCurveFailed;
      if (CRVPAR[1] > 0.0f && CRVPAR[4] >= 0.0f) break;
      if (nf < 2) {
        MeanLine(fit, all, CRVPAR, NOPT, result);
        break;
      }
      Line(fit, all, CRVPAR);
      if (NOPT == 1) {
        NOPT = 4;
      } else {
        NOPT = 5;
        if (CRVPAR[2] > 0.0f) {
          MeanLine(fit, all, CRVPAR, NOPT, result);
          NOPT = 5;
        }
      }
      break;
    }
    case 3: {
      if (nf < 2) {
        MeanLine(fit, all, CRVPAR, NOPT, result);
        break;
      }
      Simplex& s = work.simplex;
      s.P[0] = {0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
      const GamfitResult g = gamfit(s, CurveMode::kGeneralNegExp, Positions(work, nf), fit, all);
      result.amoeba_itmax = g.status == GamfitStatus::kIterationLimit;
      const float b = s.P[0][1];
      if (b >= 0.0f || !std::isfinite(b)) {
        Line(fit, all, CRVPAR);
        NOPT = 4;
        break;
      }
      CRVPAR[0] = s.P[0][0];
      CRVPAR[1] = std::fabs(b);
      CRVPAR[4] = s.P[0][2];
      break;
    }
    case 4:
    case 5:
      if (nf < 2) {
        MeanLine(fit, all, CRVPAR, NOPT, result);
        break;
      }
      Line(fit, all, CRVPAR);
      if (NOPT == 5 && CRVPAR[2] > 0.0f) MeanLine(fit, all, CRVPAR, NOPT, result);
      break;
    case 7: {
      if (nf < 2) {
        MeanLine(fit, all, CRVPAR, NOPT, result);
        break;
      }
      std::span<float, 7> par(CRVPAR.data(), 7);
      std::span<const float> x = Positions(work, n);
      hugfit(x, y, nfit, all, par, 0.0f);
      Simplex& s = work.simplex;
      s.P[0] = {CRVPAR[0], CRVPAR[1], CRVPAR[2], 0.0f, 0.0f};
      const GamfitResult g = gamfit(s, CurveMode::kHugershoff, x.first(nf), fit, all);
      result.amoeba_itmax = g.status == GamfitStatus::kIterationLimit;
      CRVPAR.fill(0.0f);
      CRVPAR[0] = s.P[0][0];
      CRVPAR[1] = s.P[0][1];
      CRVPAR[2] = std::fabs(s.P[0][2]);
      CRVPAR[4] = s.P[0][4];
      CRVPAR[5] = s.P[0][3];
      CRVPAR[6] = 7.0f;
      break;
    }
    case 8: {
      std::span<float, 7> par(CRVPAR.data(), 7);
      result.gexp = gexp(fit, all, par, 0.0f);
      if (result.gexp != GexpStatus::kOk) {
        MeanLine(fit, all, CRVPAR, NOPT, result);
        break;
      }
      Simplex& s = work.simplex;
      s.P[0] = {CRVPAR[0], CRVPAR[1], 0.0f, 0.0f, 0.0f};
      const GamfitResult g = gamfit(s, CurveMode::kPower1Exp, Positions(work, nf), fit, all);
      result.amoeba_itmax = g.status == GamfitStatus::kIterationLimit;
      CRVPAR.fill(0.0f);
      CRVPAR[0] = s.P[0][0];
      CRVPAR[1] = 1.0f;
      CRVPAR[2] = std::fabs(s.P[0][1]);
      CRVPAR[4] = s.P[0][3];
      CRVPAR[5] = s.P[0][2];
      CRVPAR[6] = 8.0f;
      break;
    }
    default:
      if (IsSplineInYears(NOPT) || IsSplineInPercent(NOPT)) {
        const int stiffness = IsSplineInYears(NOPT) ? NOPT : PercentStiffness(NOPT, nfit);
        result.spline = splinp(fit, head, stiffness, work.spline).status;
        if (result.spline != SplineStatus::kOk) MeanLine(fit, all, CRVPAR, NOPT, result);
      } else {
        MeanLine(fit, all, CRVPAR, NOPT, result);
      }
      break;
  }
  return result;
}

RegcrvResult regcrv(const common::SeriesMatrix& SERMAT, int NS, std::span<float> RC, std::span<float> fRC,
                    const common::YearTable& IYTAB, std::span<const int> IPITH, float fill,
                    CurveParameters& CRVPAR, int& NOPT, float ALPHA, int RCSWIN, int PITHFL, int RCTRNC,
                    int SPLSTF, RegcrvWorkspace& work) {
  RegcrvResult result;
    std::fill(RC.begin(), RC.end(), fill);
  std::fill(fRC.begin(), fRC.end(), fill);
  const std::size_t cap = std::min(RC.size(), fRC.size());
  work.sum.assign(cap, 0.0f);
  work.count.assign(cap, 0);

  if (PITHFL != 0 && NS >= 1) {
    int smallest = IPITH[1];
    for (int i = 2; i <= NS; ++i) smallest = std::min(smallest, IPITH[static_cast<std::size_t>(i)]);
    result.RCOFF = smallest;
  }

  // Sums and counts by age; ages beyond the curve arrays are not kept.
  int last = 0;
  for (int i = 1; i <= NS; ++i) {
    const int length = IYTAB.Span(i);
    const int offset = IPITH[static_cast<std::size_t>(i)];
    for (int k = 1; k <= length; ++k) {
      const int age = offset + k;
      if (age < 1 || static_cast<std::size_t>(age) > cap) continue;
      work.sum[static_cast<std::size_t>(age - 1)] += SERMAT.get(k, i);
      work.count[static_cast<std::size_t>(age - 1)] += 1;
      last = std::max(last, age);
    }
  }

  // The curve to fit: c(j) = mean of age RCOFF + j, j = 1..m.
  const int m = last - result.RCOFF;
  if (m < 1) {
    CRVPAR.fill(0.0f);
    return result;
  }
  const std::size_t mm = Size(m);
  work.c.assign(mm, fill);
  work.f.assign(mm, fill);
  for (std::size_t j = 0; j < mm; ++j) {
    const std::size_t a = static_cast<std::size_t>(result.RCOFF) + j;  // age - 1
    if (work.count[a] > 0) {
      work.c[j] = work.sum[a] / static_cast<float>(work.count[a]);
    }
  }

  // Ages without data: linear interpolation between the ages around them in
  // the copy that is fitted (the first value with data before any).
  work.fit.assign(work.c.begin(), work.c.end());
  auto has_data = [&](std::size_t j) { return work.count[static_cast<std::size_t>(result.RCOFF) + j] > 0; };
  std::ptrdiff_t previous = -1;
  for (std::size_t j = 0; j < mm; ++j) {
    if (!has_data(j)) continue;
    const std::ptrdiff_t cur = static_cast<std::ptrdiff_t>(j);
    if (previous < 0) {
      for (std::ptrdiff_t g = 0; g < cur; ++g) work.fit[static_cast<std::size_t>(g)] = work.c[j];
    } else {
      const float from = work.c[static_cast<std::size_t>(previous)];
      const float to = work.c[j];
      for (std::ptrdiff_t g = previous + 1; g < cur; ++g) {
        const float t = static_cast<float>(g - previous) / static_cast<float>(cur - previous);
        work.fit[static_cast<std::size_t>(g)] = from + (to - from) * t;
      }
    }
    previous = cur;
  }

  const bool truncated = RCTRNC > 0 && RCTRNC < m;
  const int nfit = truncated ? RCTRNC : m;
  result.fit = detrnd(work.fit, work.f, nfit, CRVPAR, NOPT, RCSWIN, ALPHA, SPLSTF, work.detrnd);

  // The differenced code rewrites the curve itself; otherwise the curve keeps
  // its means (and the fill value where no series reaches the age).
  const bool differenced = NOPT == -1;
  const std::size_t off = static_cast<std::size_t>(result.RCOFF);
  const std::size_t e = Size(nfit);
  for (std::size_t j = 0; j < mm; ++j) {
    RC[off + j] = differenced ? work.fit[j] : work.c[j];
    fRC[off + j] = truncated && j >= e ? work.f[e - 1] : work.f[j];
  }
  result.RCLEN = m + result.RCOFF;
  return result;
}

}  // namespace detrend
