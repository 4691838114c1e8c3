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

// One detrnd call: the series, its curve, the part of each that is fitted,
// the options and what the fit reports.
struct DetrndCall {
  std::span<float> y;          // the whole series (code -1 rewrites it)
  std::span<const float> fit;  // its first nfit values
  std::span<float> all;        // the curve of all n values
  std::span<float> head;       // the curve of the first nfit values
  std::size_t n, nf;
  int nfit, iwin;
  float alpha;
  int istf;
  CurveParameters& CRVPAR;
  int& NOPT;
  DetrndWorkspace& work;
  DetrndResult& result;

  // The horizontal line at the mean instead (code 6).
  void Mean() { MeanLine(fit, all, CRVPAR, NOPT, result); }
  std::span<float> Copy(std::size_t k) { return {work.copy.data(), k}; }
};

// Super smoother of the first nfit values: span 0.3 below 40 values, else
// cross-validated; bass alpha.
void SuperSmoother(DetrndCall& c) {
  std::span<float> w(c.work.w.data(), c.nf);
  std::fill(w.begin(), w.end(), 1.0f);
  if (c.nf < 1) {
    c.Mean();
    return;
  }
  const float span = c.nfit < kSpanFixedBelow ? 0.3f : 0.0f;
  supsmu(Positions(c.work, c.nf), c.fit, w, kNotPeriodic, span, c.alpha, c.head,
         std::span<float>(c.work.sc.data(), c.nf * kSupsmuWorkColumns));
}

// LOWESS of the first nfit values over iwin values (iwin > 0) or that
// percentage of them (iwin < 0).
void Lowess(DetrndCall& c) {
  float f = 0.0f;
  if (c.iwin > 0 && c.nfit > 0) f = static_cast<float>(c.iwin) / static_cast<float>(c.nfit);
  if (c.iwin < 0) f = static_cast<float>(-c.iwin) / 100.0f;
  if (!(f > 0.0f) || c.nf < 1) {
    c.Mean();
    return;
  }
  std::span<float> copy = c.Copy(c.nf);
  std::copy(c.fit.begin(), c.fit.end(), copy.begin());
  lowfit(copy, c.head, f, c.work.lowess);
}

// Iterated running medians of the first nfit values.
void RunningMedians(DetrndCall& c) {
  // The window as typed, or that percentage of nfit (at least 3); msmoor
  // lowers an even window by one and refuses one it cannot use (longer
  // than the curve, or below 1).
  const int window =
      c.iwin >= 0 ? c.iwin
                  : std::max(static_cast<int>(static_cast<float>(-c.iwin) / 100.0f * static_cast<float>(c.nfit)), 3);
  std::span<float> copy = c.Copy(c.nf);
  std::copy(c.fit.begin(), c.fit.end(), copy.begin());
  const std::span<float> scratch(c.work.window.data(), std::min(Size(window), c.work.window.size()));
  const MsmoorResult m = msmoor(copy, c.head, scratch, window);
  c.result.msmoor_ier = m.ier;
  if (m.ier != 0 && m.ier != 20) c.Mean();
}

// Age-dependent spline from stiffness istf, its rising end flattened.
void AgeDependentSpline(DetrndCall& c) {
  c.result.spline_routine = SplineRoutine::kSplage;
  std::span<int> s(c.work.stiffness.data(), std::max<std::size_t>(c.nf, 1));
  yrseq(static_cast<int>(c.nf), c.istf, s);
  c.result.spline = SplageFlatEnd(c.fit, c.head, s, c.Copy(c.nf), FlatEndRefit::kWhenFlattened, c.work.spline).status;
  if (c.result.spline != SplineStatus::kOk) c.Mean();
}

// Differences of the curve, rescaled to the mean and sd of the ratios of the
// values to their spline (stiffness m / 3).
void DifferencedSpline(DetrndCall& c) {
  const int m = c.nfit - 1;
  if (m < 1) {
    c.Mean();
    return;
  }
  const std::size_t mm = Size(m);
  std::span<float> y = c.y;
  std::span<float> curv = c.all;
  std::span<float> ratio = c.Copy(mm);
  for (std::size_t j = 0; j < mm; ++j) ratio[j] = y[j + 1];
  c.result.spline = splinp(ratio, curv.first(mm), std::max(m / 3, 1), c.work.spline).status;
  if (c.result.spline != SplineStatus::kOk) {
    c.Mean();
    return;
  }
  c.result.nfit = m;
  for (std::size_t j = mm; j >= 1; --j) y[j] = y[j] - y[j - 1];
  y[0] = kNoValue;
  if (mm < c.n) curv[mm] = curv[mm - 1];  // position nfit holds the fit of the one before
  for (std::size_t j = 0; j < mm; ++j) ratio[j] = curv[j] != 0.0f ? ratio[j] / curv[j] : 0.0f;
  const SeriesStats d = sstats(y.subspan(1, mm));
  const SeriesStats r = sstats(ratio);
  const bool scalable = d.sd > 0.0f && r.sd > 0.0f;
  for (std::size_t j = 1; j <= mm; ++j) {
    y[j] = scalable ? (y[j] - d.mean) / d.sd * r.sd + r.mean : r.mean;
  }
}

// Spline of NOPT years (>= 10) or of that percentage of nfit (<= -10); every
// other code is the mean.
void SplineOrMean(DetrndCall& c) {
  if (!IsSplineInYears(c.NOPT) && !IsSplineInPercent(c.NOPT)) {
    c.Mean();
    return;
  }
  const int stiffness = IsSplineInYears(c.NOPT) ? c.NOPT : PercentStiffness(c.NOPT, c.nfit);
  c.result.spline = splinp(c.fit, c.head, stiffness, c.work.spline).status;
  if (c.result.spline != SplineStatus::kOk) c.Mean();
}

// Negative exponential; where it fails, does not fall or has a negative
// asymptote, a line (code 4), or for code 2 a line that does not rise, else
// the mean (both code 5).
void ExponentialOrLine(DetrndCall& c) {
  CurveParameters& CRVPAR = c.CRVPAR;
  c.result.exponential_tried = true;
  c.result.exponential = c.nf >= 1 ? curve(c.fit, c.all, CRVPAR) : CurveStatus::kTooShort;
  if (c.nf < 1) CRVPAR[1] = kCurveFailed;
  if (CRVPAR[1] > 0.0f && CRVPAR[4] >= 0.0f) return;
  if (c.nf < 2) {
    c.Mean();
    return;
  }
  Line(c.fit, c.all, CRVPAR);
  if (c.NOPT == static_cast<int>(RcsOption::kExponentialOrLine)) {
    c.NOPT = static_cast<int>(RcsOption::kLine);
  } else {
    c.NOPT = static_cast<int>(RcsOption::kFallingLine);
    if (CRVPAR[2] > 0.0f) {
      c.Mean();
      c.NOPT = static_cast<int>(RcsOption::kFallingLine);
    }
  }
}

// A line (code 4), or one that does not rise else the mean (code 5).
void LineOrMean(DetrndCall& c) {
  if (c.nf < 2) {
    c.Mean();
    return;
  }
  Line(c.fit, c.all, c.CRVPAR);
  if (c.NOPT == static_cast<int>(RcsOption::kFallingLine) && c.CRVPAR[2] > 0.0f) c.Mean();
}

// General negative exponential a exp(-b t) + k by simplex; a line (code 4)
// when b comes out >= 0.
void GeneralNegativeExponential(DetrndCall& c) {
  if (c.nf < 2) {
    c.Mean();
    return;
  }
  Simplex& s = c.work.simplex;
  s.P[0] = {0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
  const GamfitResult g = gamfit(s, CurveMode::kGeneralNegExp, Positions(c.work, c.nf), c.fit, c.all);
  c.result.amoeba_itmax = g.status == GamfitStatus::kIterationLimit;
  const float b = s.P[0][1];
  if (b >= 0.0f || !std::isfinite(b)) {
    Line(c.fit, c.all, c.CRVPAR);
    c.NOPT = static_cast<int>(RcsOption::kLine);
    return;
  }
  c.CRVPAR[0] = s.P[0][0];
  c.CRVPAR[1] = std::fabs(b);
  c.CRVPAR[4] = s.P[0][2];
}

// Hugershoff curve by simplex from hugfit's least-squares start.
void Hugershoff(DetrndCall& c) {
  CurveParameters& CRVPAR = c.CRVPAR;
  if (c.nf < 2) {
    c.Mean();
    return;
  }
  std::span<float, 7> par(CRVPAR.data(), 7);
  std::span<const float> x = Positions(c.work, c.n);
  hugfit(x, c.y, c.nfit, c.all, par, 0.0f);
  Simplex& s = c.work.simplex;
  s.P[0] = {CRVPAR[0], CRVPAR[1], CRVPAR[2], 0.0f, 0.0f};
  const GamfitResult g = gamfit(s, CurveMode::kHugershoff, x.first(c.nf), c.fit, c.all);
  c.result.amoeba_itmax = g.status == GamfitStatus::kIterationLimit;
  CRVPAR.fill(0.0f);
  CRVPAR[0] = s.P[0][0];
  CRVPAR[1] = s.P[0][1];
  CRVPAR[2] = std::fabs(s.P[0][2]);
  CRVPAR[4] = s.P[0][4];
  CRVPAR[5] = s.P[0][3];
  CRVPAR[6] = 7.0f;
}

// General exponential with power 1 by simplex from gexp's start.
void PowerOneExponential(DetrndCall& c) {
  CurveParameters& CRVPAR = c.CRVPAR;
  std::span<float, 7> par(CRVPAR.data(), 7);
  c.result.gexp = gexp(c.fit, c.all, par, 0.0f);
  if (c.result.gexp != GexpStatus::kOk) {
    c.Mean();
    return;
  }
  Simplex& s = c.work.simplex;
  s.P[0] = {CRVPAR[0], CRVPAR[1], 0.0f, 0.0f, 0.0f};
  const GamfitResult g = gamfit(s, CurveMode::kPower1Exp, Positions(c.work, c.nf), c.fit, c.all);
  c.result.amoeba_itmax = g.status == GamfitStatus::kIterationLimit;
  CRVPAR.fill(0.0f);
  CRVPAR[0] = s.P[0][0];
  CRVPAR[1] = 1.0f;
  CRVPAR[2] = std::fabs(s.P[0][1]);
  CRVPAR[4] = s.P[0][3];
  CRVPAR[5] = s.P[0][2];
  CRVPAR[6] = 8.0f;
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
  DetrndCall c{.y = y,
               .fit = y.first(nf),
               .all = curv.first(n),
               .head = curv.first(nf),
               .n = n,
               .nf = nf,
               .nfit = nfit,
               .iwin = iwin,
               .alpha = alpha,
               .istf = istf,
               .CRVPAR = CRVPAR,
               .NOPT = NOPT,
               .work = work,
               .result = result};

  switch (static_cast<RcsOption>(NOPT)) {
    case RcsOption::kSuperSmoother:
      SuperSmoother(c);
      break;
    case RcsOption::kLowess:
      Lowess(c);
      break;
    case RcsOption::kRunningMedians:
      RunningMedians(c);
      break;
    case RcsOption::kAgeDependentSpline:
      AgeDependentSpline(c);
      break;
    case RcsOption::kDifferenced:
      DifferencedSpline(c);
      break;
    case RcsOption::kExponentialOrLine:
    case RcsOption::kExponentialOrFallingLine:
      ExponentialOrLine(c);
      break;
    case RcsOption::kGeneralNegativeExponential:
      GeneralNegativeExponential(c);
      break;
    case RcsOption::kLine:
    case RcsOption::kFallingLine:
      LineOrMean(c);
      break;
    case RcsOption::kMean:
      c.Mean();
      break;
    case RcsOption::kHugershoff:
      Hugershoff(c);
      break;
    case RcsOption::kPowerOneExponential:
      PowerOneExponential(c);
      break;
    default:
      SplineOrMean(c);
      break;
  }
  return result;
}

RegcrvResult regcrv(const common::SeriesMatrix& SERMAT, int NS, std::span<float> RC, std::span<float> fRC,
                    const common::YearTable& IYTAB, std::span<const int> IPITH, float fill, CurveParameters& CRVPAR,
                    int& NOPT, float ALPHA, int RCSWIN, int PITHFL, int RCTRNC, int SPLSTF, RegcrvWorkspace& work) {
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
  const bool differenced = NOPT == static_cast<int>(RcsOption::kDifferenced);
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
