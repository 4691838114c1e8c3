#include "detrend/crvfit.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/limits.h"
#include "detrend/scratch.h"
#include "detrend/supsmu.h"

namespace detrend {

namespace {

constexpr float kCrvfitThreshold = 1e-6f;  // least usable rate, asymptote and rising slope
constexpr int kSmootherMinValues = 40;     // below this the smoother's span is fixed
constexpr float kShortSeriesSpan = 0.3f;
constexpr int kSmootherLeastValues = 4;    // fewer cannot be smoothed: the mean instead

bool AllFinite(std::span<const float> v) {
  return std::all_of(v.begin(), v.end(), [](float f) { return std::isfinite(f); });
}

}  // namespace

struct CrvfitAccess {
  static void Reserve(CrvfitWorkspace& w, std::size_t n) {
    GrowScratch(n, w.x_, w.w_, w.pad_, w.stiffness_);
    GrowScratch(n * kSupsmuWorkColumns, w.sc_);
  }
  static std::span<float> x(CrvfitWorkspace& w, std::size_t n) { return {w.x_.data(), n}; }
  static std::span<float> wt(CrvfitWorkspace& w, std::size_t n) { return {w.w_.data(), n}; }
  static std::span<float> pad(CrvfitWorkspace& w, std::size_t n) { return {w.pad_.data(), n}; }
  static std::span<float> sc(CrvfitWorkspace& w, std::size_t n) { return {w.sc_.data(), n * kSupsmuWorkColumns}; }
  static std::span<int> stiffness(CrvfitWorkspace& w, std::size_t n) {
    return {w.stiffness_.data(), std::max<std::size_t>(n, 1)};
  }
  static SplineWorkspace& spline(CrvfitWorkspace& w) { return w.spline_; }
};

CrvfitWorkspace::CrvfitWorkspace()
    : x_(common::MAXYRS),
      w_(common::MAXYRS),
      pad_(common::MAXYRS),
      sc_(static_cast<std::size_t>(common::MAXYRS) * kSupsmuWorkColumns),
      stiffness_(common::MAXYRS) {}

int PercentStiffness(int NOPT, int nfit) {
  const float share = std::fabs(static_cast<float>(NOPT)) / 100.0f;
  const float s = share * static_cast<float>(nfit);
  // (a stiffness beyond the integers stops at the largest one)
  if (!(s < 2.0e9f)) return std::numeric_limits<int>::max();
  return std::max(static_cast<int>(s), 1);
}

LineFit lintrd(std::span<const float> y, std::span<float> curv) {
  const double nfit = static_cast<double>(y.size());
  double st = 0.0, stt = 0.0, sy = 0.0, sty = 0.0;
  for (std::size_t i = 0; i < y.size(); ++i) {
    const double t = static_cast<double>(i + 1);
    const double yt = static_cast<double>(y[i]);
    st += t;
    stt += t * t;
    sy += yt;
    sty += t * yt;
  }
  const double slope = (sty - sy * st / nfit) / (stt - st * st / nfit);
  const double intercept = sy / nfit - st * slope / nfit;
  for (std::size_t i = 0; i < curv.size(); ++i) {
    curv[i] = static_cast<float>(slope * static_cast<double>(i + 1) + intercept);
  }
  return {static_cast<float>(slope), static_cast<float>(intercept)};
}

bool xmean(std::span<const float> y, std::span<float> curv) {
  if (y.empty()) return false;
  float sum = 0.0f;
  for (float v : y) sum += v;
  const float mean = sum / static_cast<float>(y.size());
  std::fill(curv.begin(), curv.end(), mean);
  return true;
}

std::vector<std::string> XmeanMessageLines(common::ProgramVariant variant) {
  return {"", variant == common::ProgramVariant::kBatch ? "Error in xmean: n=0" : "error in xmean: n=0"};
}

std::vector<std::string> CrvfitMessageLines(const CrvfitResult& result, int nfit, common::ProgramVariant variant) {
  std::vector<std::string> lines;
  if (result.exponential_tried) {
    std::string text = CurveMessage(result.exponential, nfit);
    if (!text.empty()) lines.push_back(std::move(text));
  }
  for (std::string& line : SplineMessageLines(result.spline, result.spline_routine, variant)) {
    lines.push_back(std::move(line));
  }
  if (result.no_values) {
    for (std::string& line : XmeanMessageLines(variant)) lines.push_back(std::move(line));
  }
  return lines;
}

void yrseq(int n, int start, std::span<int> iv) {
  iv[0] = start;
  for (int i = 2; i <= n; ++i) iv[static_cast<std::size_t>(i) - 1] = iv[static_cast<std::size_t>(i) - 2] + 1;
}

CrvfitResult crvfit(std::span<const float> y, std::span<float> curv, int nfit, int& NOPT, float ALPHA, int SPLSTF,
                    int SPLEND, CrvfitWorkspace& work) {
  CrvfitResult result;
  const int code = NOPT;
  if (!CrvfitHasModel(code)) return result;

  const std::size_t n = y.size();
  nfit = std::clamp(nfit, 0, static_cast<int>(n));
  const std::size_t un = static_cast<std::size_t>(nfit);
  const std::span<const float> fit = y.first(un);
  const std::span<float> whole = curv.first(n);
  CurveParameters& CRVPAR = work.CRVPAR;
  CrvfitAccess::Reserve(work, n);

  auto use_mean = [&] {
    NOPT = static_cast<int>(CurveOption::kMean);
    result.no_values = !xmean(fit, whole);
  };
  auto fit_line = [&] {
    CRVPAR.fill(0.0f);
    const LineFit line = lintrd(fit, whole);
    CRVPAR[2] = line.slope;
    CRVPAR[4] = line.intercept;
  };

  if (nfit < 1) {
    use_mean();
    return result;
  }

  std::span<const float> written = whole;  // the part of curv the model gives
  switch (static_cast<CurveOption>(code)) {
    case CurveOption::kExponentialOrLine:
    case CurveOption::kExponentialOrFallingLine: {
      CRVPAR.fill(0.0f);
      result.exponential_tried = true;
      result.exponential = curve(fit, whole, CRVPAR);
      if (!(CRVPAR[1] > kCrvfitThreshold && CRVPAR[4] >= kCrvfitThreshold)) {
        NOPT = code == 1 ? static_cast<int>(CurveOption::kLine) : static_cast<int>(CurveOption::kFallingLine);
        fit_line();
      }
      if (code == 2 && CRVPAR[2] > kCrvfitThreshold) use_mean();
      break;
    }
    case CurveOption::kLine:
      fit_line();
      break;
    case CurveOption::kFallingLine:
      fit_line();
      if (CRVPAR[2] > 0.0f) use_mean();
      break;
    case CurveOption::kMean:
      use_mean();
      break;
    case CurveOption::kSuperSmoother: {
      if (nfit < kSmootherLeastValues) {
        use_mean();
        break;
      }
      const std::span<float> x = CrvfitAccess::x(work, n);
      const std::span<float> w = CrvfitAccess::wt(work, n);
      for (std::size_t i = 0; i < n; ++i) {
        x[i] = static_cast<float>(i + 1);
        w[i] = 1.0f;
      }
      const float span = nfit < kSmootherMinValues ? kShortSeriesSpan : 0.0f;
      supsmu(x.first(un), fit, w.first(un), kNotPeriodic, span, ALPHA, curv.first(un), CrvfitAccess::sc(work, un));
      if (un < n) {
        // Second pass over the series padded with its last fitted value.
        const std::span<float> pad = CrvfitAccess::pad(work, n);
        std::copy(fit.begin(), fit.end(), pad.begin());
        std::fill(pad.begin() + nfit, pad.end(), curv[un - 1]);
        supsmu(x, pad, w, kNotPeriodic, span, ALPHA, whole, CrvfitAccess::sc(work, n));
      }
      break;
    }
    case CurveOption::kAgeDependentSpline: {
      const std::span<int> s = CrvfitAccess::stiffness(work, n);
      yrseq(static_cast<int>(n), SPLSTF, s);
      result.spline_routine = SplineRoutine::kSplage;
      if (SPLEND == 1) {
        result.spline = SplageFlatEnd(y, whole, s, CrvfitAccess::pad(work, n), FlatEndRefit::kWhenFlattened,
                                      CrvfitAccess::spline(work))
                            .status;
      } else {
        result.spline = splage(y, whole, s, CrvfitAccess::spline(work)).status;
      }
      break;
    }
    default:
      written = curv.first(un);
      if (IsSplineInYears(code)) {
        result.spline = spline(fit, curv.first(un), code, CrvfitAccess::spline(work)).status;
      } else {
        result.spline_routine = SplineRoutine::kSplinp;
        result.spline =
            splinp(fit, curv.first(un), PercentStiffness(code, nfit), CrvfitAccess::spline(work)).status;
      }
      break;
  }

  if (NOPT != static_cast<int>(CurveOption::kMean) &&
      (result.spline != SplineStatus::kOk || !AllFinite(written))) {
    use_mean();
  }
  return result;
}

}  // namespace detrend
