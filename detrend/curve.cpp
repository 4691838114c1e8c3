#include "detrend/curve.h"

#include <cmath>

#include "common/fortran_format.h"

namespace detrend {

namespace {

constexpr int kMinValues = 20;
constexpr int kMaxRounds = 34;
constexpr double kFirstStep = 0.0005;
constexpr double kLastStep = 5e-7;
constexpr double kExponentLimit = 112.8;
constexpr double kSumHigh = 1e15;
constexpr double kSumLow = 1e-15;
constexpr double kFlatStart = 1e-8;

struct Trial {
  bool ok;
  double sse, a, k, sy;
};

// Least squares of y on e(t) = exp(-b t) for one trial rate. e(t) is held in
// single precision (in `scratch` when it is long enough, else recomputed).
Trial FitRate(std::span<const float> y, std::span<float> scratch, double b) {
  const int nfit = static_cast<int>(y.size());
  const bool keep = scratch.size() >= y.size();
  const double abs_b = std::fabs(b);
  double se = 0.0, sy = 0.0, see = 0.0, sey = 0.0;
  for (int t = 1; t <= nfit; ++t) {
    if (t * abs_b > kExponentLimit) return {false, 0.0, 0.0, 0.0, 0.0};
    const float e = static_cast<float>(std::exp(-t * b));
    if (keep) scratch[t - 1] = e;
    const double ed = static_cast<double>(e);
    const double yd = static_cast<double>(y[t - 1]);
    se += ed;
    sy += yd;
    see += ed * ed;
    sey += ed * yd;
  }
  if (se > kSumHigh || see > kSumHigh || se < kSumLow || see < kSumLow) return {false, 0.0, 0.0, 0.0, 0.0};
  const double dn = static_cast<double>(nfit);
  const double k = (sy * see - se * sey) / (dn * see - se * se);
  const double a = (sy - k * dn) / se;
  double sse = 0.0;
  for (int t = 1; t <= nfit; ++t) {
    const double e = keep ? static_cast<double>(scratch[t - 1]) : static_cast<double>(static_cast<float>(std::exp(-t * b)));
    const double r = static_cast<double>(y[t - 1]) - k - a * e;
    sse += r * r;
  }
  return {true, sse, a, k, sy};
}

CurveStatus Fail(std::span<float> curv, CurveParameters& CRVPAR, CurveStatus status) {
  if (!curv.empty()) curv[0] = kCurveFailed;
  CRVPAR[1] = kCurveFailed;
  return status;
}

double MeanOf(std::span<const float> v) {
  double s = 0.0;
  for (float x : v) s += static_cast<double>(x);
  return s / static_cast<double>(v.size());
}

}  // namespace

CurveStatus curve(std::span<const float> y, std::span<float> curv, CurveParameters& CRVPAR) {
  const int nfit = static_cast<int>(y.size());
  if (nfit < kMinValues) return Fail(curv, CRVPAR, CurveStatus::kTooShort);

  // Start: the slope of ln y between the means of the first and last ten values.
  const double m1 = MeanOf(y.first(10));
  const double m2 = MeanOf(y.last(10));
  double b = kFlatStart;
  if (m1 > 0.0 && m2 > 0.0) {
    b = (std::log(m1) - std::log(m2)) / static_cast<double>(nfit - 10);
    if (b <= 0.0) b = kFlatStart;
  }

  double h = kFirstStep;
  bool halving = false;
  double best_sse = 0.0;
  Trial last{};
  int round = 1;
  for (;; ++round) {
    const double b1 = b - h;
    const double b3 = b + h;
    const Trial t1 = FitRate(y, curv, b1);
    if (!t1.ok) return Fail(curv, CRVPAR, CurveStatus::kOutOfRange);
    if (round == 1) {
      const Trial t2 = FitRate(y, curv, b);
      if (!t2.ok) return Fail(curv, CRVPAR, CurveStatus::kOutOfRange);
      best_sse = t2.sse;
    }
    const Trial t3 = FitRate(y, curv, b3);
    if (!t3.ok) return Fail(curv, CRVPAR, CurveStatus::kOutOfRange);
    last = t3;

    bool moved = false;
    if (t1.sse < best_sse) {
      b = b1;
      best_sse = t1.sse;
      moved = true;
    }
    if (t3.sse < best_sse) {
      b = b3;
      best_sse = t3.sse;
      moved = true;
    }
    if (moved && !halving) {
      h = 2.0 * h;
    } else {
      if (!moved) halving = true;
      h = h / 2.0;
      if (h <= kLastStep) break;
    }
    if (round == kMaxRounds) return Fail(curv, CRVPAR, CurveStatus::kOverIterations);
  }

  const double a = last.a;
  const double k = last.k;
  if (!std::isfinite(a) || !std::isfinite(b) || !std::isfinite(k)) {
    return Fail(curv, CRVPAR, CurveStatus::kNotFinite);
  }
  if (k > 9999.0 || a <= 0.0 || b < 0.0) b = 0.0;
  CRVPAR[0] = static_cast<float>(a);
  CRVPAR[1] = static_cast<float>(b);
  CRVPAR[4] = static_cast<float>(k);
  CRVPAR[5] = static_cast<float>(round);
  CRVPAR[6] = static_cast<float>(last.sy);
  for (std::size_t t = 1; t <= curv.size(); ++t) {
    curv[t - 1] = static_cast<float>(a * std::exp(-static_cast<double>(t) * b) + k);
  }
  return CurveStatus::kFitted;
}

std::string CurveMessage(CurveStatus status, int nfit) {
  switch (status) {
    case CurveStatus::kTooShort:
      return ">> sbr curve:  only" + common::fmt::Print("(i3)", nfit) + " values, no exponential curve fit";
    case CurveStatus::kOverIterations:
      return ">> sbr curve: over 34 iterations";
    case CurveStatus::kFitted:
    case CurveStatus::kOutOfRange:
    case CurveStatus::kNotFinite:
      break;
  }
  return {};
}

}  // namespace detrend
