// Spline variance stabilisation (varsta, varstb) and chronology statistics (cstats).
#include "detrend/varstab.h"

#include <cmath>
#include <cstddef>

#include "common/limits.h"
#include "detrend/crvfit.h"
#include "detrend/order_stats.h"
#include "detrend/scratch.h"
#include "detrend/sstats.h"
#include "detrend/supsmu.h"

namespace detrend {

namespace {

constexpr float kNone = common::kNoStatistic;
constexpr int kDeepYears = 5;         // depth from which a year counts as well replicated
constexpr int kCrossValidYears = 40;  // well-replicated years needed for the cross-validated span
constexpr float kVarstaBass = 3.0f;
constexpr int kVarstaStiffness = 20;

void Grow(VarstabWorkspace& work, std::size_t n) {
  GrowScratch(n, work.x, work.w, work.smooth, work.stiffness, work.negative);
  GrowScratch(n * kSupsmuWorkColumns, work.sc);
}

// Mean and sd (meansd) of the values of the years with depth >= 5, or of all
// years when those are no more than n / 3; `deep` tells which was taken.
MeanSd WellReplicatedMeanSd(std::span<const float> v, std::span<const int> SSize, std::span<float> scratch,
                            bool& deep) {
  const std::size_t n = v.size();
  std::size_t k = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (SSize[i] >= kDeepYears) scratch[k++] = v[i];
  }
  deep = k > n / 3;
  return deep ? meansd(scratch.first(k)) : meansd(v);
}

// Restores the chronology into stab after a failed spline: crn holds
// |deviation| from `centre` with its sign in `negative`.
void RestoreInput(std::span<const float> crn, std::span<float> stab, std::span<const char> negative, float centre,
                  std::span<const int> SSize, bool only_with_series) {
  for (std::size_t i = 0; i < crn.size(); ++i) {
    if (only_with_series && SSize[i] <= 0) continue;
    stab[i] = (negative[i] ? -crn[i] : crn[i]) + centre;
  }
}

}  // namespace

ChronologyStats cstats(std::span<const float> x, std::span<const int> SSize) {
  ChronologyStats s{kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone};
  const std::size_t n = x.size();
  int m = 0;
  float sum = 0.0f;
  for (std::size_t i = 0; i < n; ++i) {
    if (SSize[i] > 0) {
      sum += x[i];
      ++m;
    }
  }
  if (m == 0) return s;
  s.mean = sum / static_cast<float>(m);
  if (m == 1) return s;
  const float fm = static_cast<float>(m);
  float sad = 0.0f, s2 = 0.0f, s3 = 0.0f, s4 = 0.0f, sens = 0.0f;
  bool have_previous = false;
  float previous = 0.0f;
  for (std::size_t i = 0; i < n; ++i) {
    if (SSize[i] <= 0) continue;
    const float d = x[i] - s.mean;
    sad += std::fabs(d);
    s2 += d * d;
    s3 += d * d * d;
    s4 += d * d * d * d;
    if (have_previous) {
      const float avg = (previous + x[i]) / 2.0f;
      if (avg > 0.0f) sens += std::fabs(x[i] - previous) / avg;
    }
    previous = x[i];
    have_previous = true;
  }
  s.mad = sad / fm;
  s.var = s2 / (fm - 1.0f);
  s.msens = sens / (fm - 1.0f);
  if (s.var <= 0.0f) return s;
  s.sd = std::sqrt(s.var);
  const Shape shape = ShapeOfMoments(s3, s4, s.sd, s.var, m);
  s.skew = shape.skew;
  s.kurt = shape.kurt;
  const float sp = std::sqrt(s.var * (fm - 1.0f) / fm);
  float lag = 0.0f;
  have_previous = false;
  for (std::size_t i = 0; i < n; ++i) {
    if (SSize[i] <= 0) continue;
    const float z = (x[i] - s.mean) / sp;
    if (have_previous) lag += previous * z;
    previous = z;
    have_previous = true;
  }
  s.r1 = lag / fm;
  return s;
}

VarstabResult varsta(std::span<float> crn, std::span<float> curv, std::span<float> stab,
                     std::span<const int> SSize, VarstabWorkspace& work) {
  const std::size_t n = crn.size();
  VarstabResult result;
  if (n == 0) return result;
  Grow(work, n);
  std::span<float> scratch(work.smooth.data(), n);

  // M5, S5: mean and sd of the well-replicated years (of all years when they
  // are no more than n / 3); their count picks the smoother's span.
  bool deep = false;
  const MeanSd m5 = WellReplicatedMeanSd(crn, SSize, scratch, deep);
  int deep_years = 0;
  for (std::size_t i = 0; i < n; ++i) deep_years += SSize[i] >= kDeepYears ? 1 : 0;

  // Absolute deviations from M5, their signs kept aside.
  std::span<char> negative(work.negative.data(), n);
  for (std::size_t i = 0; i < n; ++i) {
    crn[i] -= m5.xm;
    negative[i] = crn[i] < 0.0f ? 1 : 0;
    crn[i] = std::fabs(crn[i]);
  }

  // Super smoother of the absolute deviations.
  std::span<float> x(work.x.data(), n), w(work.w.data(), n), smooth(work.smooth.data(), n);
  for (std::size_t i = 0; i < n; ++i) {
    x[i] = static_cast<float>(i + 1);
    w[i] = 1.0f;
  }
  const float span = deep_years >= kCrossValidYears ? 0.0f : 0.3f;
  supsmu(x, crn, w, kNotPeriodic, span, kVarstaBass, smooth,
         std::span<float>(work.sc.data(), n * kSupsmuWorkColumns));

  // The local spread: age-dependent spline of the smooth, its rising end
  // flattened and fitted again.
  std::span<int> stiffness(work.stiffness.data(), n);
  yrseq(static_cast<int>(n), kVarstaStiffness, stiffness);
  const SplineResult fit = SplageFlatEnd(smooth, curv, stiffness, smooth, FlatEndRefit::kAlways, work.spline);
  if (fit.status != SplineStatus::kOk) {
    result.spline = fit.status;
    RestoreInput(crn, stab, negative, m5.xm, SSize, false);
    return result;
  }

  // Signed deviations in units of the local spread.
  for (std::size_t i = 0; i < n; ++i) {
    const float v = curv[i] != 0.0f ? crn[i] / curv[i] : 0.0f;
    stab[i] = negative[i] ? -v : v;
  }

  // Standardised by their own mean and sd (taken as for M5, S5), rescaled to
  // M5 and S5; negative values set to 0.
  bool stab_deep = false;
  const MeanSd ms = WellReplicatedMeanSd(stab, SSize, scratch, stab_deep);
  const bool scalable = ms.sd > 0.0f && m5.sd > 0.0f;
  for (std::size_t i = 0; i < n; ++i) {
    float v = scalable ? (stab[i] - ms.xm) / ms.sd * m5.sd + m5.xm : m5.xm;
    if (v < 0.0f) v = 0.0f;
    stab[i] = v;
  }
  return result;
}

VarstabResult varstb(std::span<float> crn, std::span<float> curv, std::span<float> stab,
                     std::span<const int> SSize, int& code, VarstabWorkspace& work) {
  const std::size_t n = crn.size();
  VarstabResult result;
  if (n == 0) return result;
  Grow(work, n);

  // Absolute deviations from the mean of the years with series, their signs
  // kept aside.
  const ChronologyStats c = cstats(crn, SSize);
  std::span<char> negative(work.negative.data(), n);
  for (std::size_t i = 0; i < n; ++i) {
    negative[i] = 0;
    if (SSize[i] <= 0) continue;
    crn[i] -= c.mean;
    negative[i] = crn[i] < 0.0f ? 1 : 0;
    crn[i] = std::fabs(crn[i]);
  }

  // A percentage code becomes its stiffness in years; the spline of the
  // deviations over the whole chronology is the local spread.
  if (code < -9) {
    code = static_cast<int>(std::fabs(static_cast<float>(code) / 100.0f * static_cast<float>(n)));
    if (code < 1) code = 1;  // a percentage of a very short chronology
  }
  const SplinpResult fit = splinp(crn, curv, code, work.spline);
  if (fit.status != SplineStatus::kOk) {
    result.spline = fit.status;
    RestoreInput(crn, stab, negative, c.mean, SSize, true);
    return result;
  }

  // Signed deviations in units of the local spread.
  for (std::size_t i = 0; i < n; ++i) {
    if (SSize[i] <= 0) continue;
    const float v = curv[i] != 0.0f ? crn[i] / curv[i] : 0.0f;
    stab[i] = negative[i] ? -v : v;
  }

  // Rescaled from their own mean and sd to the chronology's; negative values
  // set to 0.
  const ChronologyStats s = cstats(stab, SSize);
  const bool scalable = s.sd > 0.0f && c.sd > 0.0f;
  for (std::size_t i = 0; i < n; ++i) {
    if (SSize[i] <= 0) continue;
    float v = scalable ? (stab[i] - s.mean) / s.sd * c.sd + c.mean : c.mean;
    if (v < 0.0f) v = 0.0f;
    stab[i] = v;
  }
  return result;
}

}  // namespace detrend
