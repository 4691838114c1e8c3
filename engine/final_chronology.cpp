// After the iteration: the original-versus-final plots, how the iteration
// ended, the common level and spread of the standard and signal-free
// chronologies, the signal-free running RBAR and stabilisation, the final
// detrending of a regional-curve chronology and the summary plots.
#include <algorithm>
#include <cmath>

#include "common/fortran_format.h"
#include "common/limits.h"
#include "common/text.h"
#include "detrend/crvfit.h"
#include "detrend/order_stats.h"
#include "detrend/regcrv.h"
#include "detrend/spline.h"
#include "engine/chronology_means.h"
#include "engine/chronology_plots.h"
#include "engine/engine_call.h"
#include "engine/fit_messages.h"
#include "engine/intermediate_files.h"
#include "plot/plots.h"

namespace engine::detail {

namespace fmt = common::fmt;

namespace {

// Mean and standard deviation over the chronology's tail: the years after
// the thin start (all years when there is none or it covers them all).
struct Tail {
  float mean;
  float sd;
  bool spread;  // at least two years and a standard deviation above 0
};

Tail TailOf(const EngineCall& call, std::span<const float> x) {
  const std::size_t skip = static_cast<std::size_t>(call.state.NLEAD6);
  const std::span<const float> tail = skip < x.size() ? x.subspan(skip) : x;
  const detrend::MeanSd ms = detrend::meansd(tail);
  return {ms.xm, ms.sd, tail.size() >= 2 && ms.sd > 0.0f};
}

// x := (x - its tail mean) / its tail sd * sd + level; without a spread
// only the level moves. Values below 0 become 0 when `clip`.
void Rescale(std::span<float> x, const Tail& t, float sd, float level, bool clip) {
  for (float& v : x) {
    v = t.spread ? (v - t.mean) / t.sd * sd + level : v - t.mean + level;
    if (clip) v = std::max(v, 0.0f);
  }
}

void OriginalVersusFinalPlots(EngineCall& call) {
  common::RunStorage& s = call.store;
  EngineState& st = call.state;
  const std::string last = WithNumberAt("Iteration: ", 12, "(i3)", s.ITER);
  if (!call.batch() && call.options.MEANMD == common::MeanMethod::kBiweight) {
    plot::pltits(call.plots, st.plots.pltits, st.BWTMAT, Level(call.NYRS, 1.0f), call.NYRS, 4, call.fy, "Years",
                 "Biweights", "Biweights For Signal Free Chronology", BiweightLegend(s.ITER), "", 0);
  }
  const std::vector<float> none = Level(call.NYRS, plot::kNoReference), one = Level(call.NYRS, 1.0f);
  const struct {
    const common::SeriesMatrix& first;
    const common::SeriesMatrix& final;
    const std::vector<float>& ref;
    const char* title;
  } plots[] = {{st.RAWORG, st.FINSFM, none, "Original and Final Signal Free Raw Data"},
               {st.CRVORG, st.FINCRV, none, "Original and Final Signal Free Curvefits"},
               {st.IDXORG, st.FINRIX, one, "Original and Final Signal Free Indices"}};
  for (const auto& p : plots) {
    plot::pltorf(call.plots, st.plots.pltorf, p.first, p.final, p.ref, call.NS, s.IYTAB, "Years", "Measurements",
                 p.title, "Iteration:   0", last);
  }
}

void FinalMessage(EngineCall& call) {
  common::Dialog& d = call.dialog;
  const int ITER = call.store.ITER;
  const float CONVTL = call.options.CONVTL;
  d.Both("");
  if (ITER < kMaxIterations) {
    d.Both(fmt::Print("(1x,'Final iteration with convergence (<',f6.4,' change): ',i2)", CONVTL, ITER));
    return;
  }
  d.Both(fmt::Print("(1x,'Maximum iterations used without converging (<',f6.4,' change): ',i3)", CONVTL, ITER));
  d.Both("");
  d.Both(" If you are not satisfied, try a simpler (more monotonic) curve fit like a negative");
  d.Both(" exponential curve, or if you were computing ratios, try computing power transformed");
  d.Both(" residuals instead with the same curvefit option that did not converge. Often works.");
}

// The standard and the signal-free chronology at level 1 over the tail;
// after a constant-added restart both with the spread of the first call's
// standard chronology.
void CommonLevel(EngineCall& call) {
  common::RunStorage& s = call.store;
  EngineState& st = call.state;
  const std::span<float> std_crn = call.Years(s.STDCHR, 1), ssf = call.Years(s.SSFCHR, 1);
  const std::span<const float> org = call.Years(st.STDORG);
  const Tail t_org = TailOf(call, org), t_std = TailOf(call, std_crn), t_ssf = TailOf(call, ssf);
  if (st.KRTSAV < 1) {
    for (std::size_t k = 0; k < std_crn.size(); ++k) std_crn[k] = org[k] - t_org.mean + 1.0f;
    for (float& v : ssf) v = v - t_ssf.mean + 1.0f;
  } else {
    Rescale(std_crn, t_std, t_org.sd, 1.0f, false);
    Rescale(ssf, t_ssf, t_org.sd, 1.0f, true);
  }
  std::ranges::copy(ssf, call.Years(s.RBRV1, 1).begin());

  const bool robust = call.options.MEANMD == common::MeanMethod::kBiweight;
  const std::string title = robust
                                ? WithNumberAt("Robust Original & Signal Free Chronology, Iter =", 49, "(i3)", s.ITER)
                                : WithNumberAt("Original & Signal Free Chronology, Iter =", 42, "(i3)", s.ITER);
  ChronologyPlot(call, std_crn, ssf, "Indices", title, Level(call.NYRS, 1.0f),
                 call.raw() ? "Original RAW Chronology" : "Original STD Chronology",
                 call.raw() ? "Mean Adjust RAW Chron" : "Signal Free STD Chron");
}

// Running RBAR of the signal-free indices, the chronology stabilised with
// it, and the spline stabilisation with its dialogue.
void StabiliseSignalFree(EngineCall& call) {
  common::RunStorage& s = call.store;
  EngineState& st = call.state;
  common::Dialog& d = call.dialog;
  const bool raw = call.raw();
  d.Screen("");
  d.Screen(" Perform signal free indices running rbar calculations");
  RunningRbar(call, "_Ssf_RBAR.txt");
  RbarPlots(call, "Signal Free Indices Running Correlations", "Constant Sample RBAR", "  Constant Sample EPS");

  const std::span<float> ssf = call.Years(s.SSFCHR, 1), stb = call.Years(s.STBCHR, 2), rbar = call.Years(s.RBRV1, 3);
  ClipAtZero(rbar);
  std::ranges::copy(rbar, stb.begin());
  const float m = detrend::meansd(stb).xm;
  for (float& v : stb) v = std::max(v - m + st.CHRMN0, 0.0f);

  const int from = st.NLEAD1 + 1;
  auto show_means = [&](const char* format) {
    if (call.batch()) return;
    d.Screen("");
    d.Screen(fmt::Print(format, MeanFrom(ssf, from), MeanFrom(stb, from)));
  };
  show_means("(1x,'Orig/Stab Means1: ',2f8.4)");
  const float m1 = MeanFrom(ssf, from), m2 = MeanFrom(stb, from);
  Recentre(ssf, m1);
  Recentre(stb, m2);
  show_means("(1x,'Orig/Stab Means2: ',2f8.4)");

  ChronologyPlot(call, ssf, stb, "Indices", "Original vs. Running RBAR Stabilized Signal Free Indices",
                 Level(call.NYRS, 1.0f), raw ? "Orig Mean-Adjust RAW" : "Orig Signal Free STD",
                 raw ? "Stab Mean-Adjust RAW" : "Stab Signal Free STD");
  SplineStabilisation(call, {2, false, "Spline Detrending of RBAR Stabilized Signal Free Indices",
                             "RBAR Only Vs. Detrended RBAR Stabilized Sig Free Indices",
                             raw ? "RBAR Stablized RAW Crn" : "RBAR Stablized SSF Crn",
                             raw ? "DETR Stablized RAW Crn" : "DETR Stablized SSF Crn"});
}

// The spline stiffness of the final detrending: asked until it is -6001 to
// -10 (a percentage of the chronology's length) or 10 to 6001 (years).
int AskDetrendingSpline(EngineCall& call) {
  common::Dialog& d = call.dialog;
  for (;;) {
    d.Screen("");
    d.Screen(" Okay, enter spline detrending in years");
    d.Screen(common::PadTo(" Smoothing spline (percent N cutoff)", 39) + "<-9");
    d.Prompt(common::PadTo("Smoothing spline (fixed Yrs cutoff)", 38) + ">+9");
    const std::optional<int> NSPL = d.ReadFreeInt();
    if (!NSPL || (*NSPL >= -9 && *NSPL <= 9) || !common::WithinTypedLength(*NSPL)) continue;
    if (*NSPL > 9) return *NSPL;
    const float years = std::fabs(static_cast<float>(*NSPL) / 100.0f * static_cast<float>(call.NYRS));
    return std::max(static_cast<int>(years), 1);
  }
}

}  // namespace

void FinalChronology(EngineCall& call) {
  if (!call.regional()) OriginalVersusFinalPlots(call);
  FinalMessage(call);
  CommonLevel(call);
  if (call.state.RBARYN == 'y') StabiliseSignalFree(call);
}

void FinalRegionalDetrending(EngineCall& call) {
  // Offered after the codes -2 and 6 alone: the regional curve's
  // age-dependent spline (code -2 arises in regional-curve mode alone) and
  // the mean line of either code set.
  const int NOPT = call.options.NOPT;
  if (NOPT != static_cast<int>(detrend::RcsOption::kAgeDependentSpline) &&
      NOPT != static_cast<int>(detrend::CurveOption::kMean)) {
    return;
  }
  common::Dialog& d = call.dialog;
  common::RunStorage& s = call.store;
  EngineState& st = call.state;
  d.Screen("");
  const char answer = d.AskTyped("Final RCS chronology detrending? Y/<N>", 1, common::Slash::kAnswer).first();
  if (answer != 'Y' && answer != 'y') return;

  const std::span<float> chron = call.Years(s.STBCHR, 2), y = call.Years(st.stab_in), x = call.Years(st.stab_out),
                         spline = call.Years(s.CRVVEC);
  const std::vector<float> none = Level(call.NYRS, plot::kNoReference);
  for (;;) {
    const int NSPL = AskDetrendingSpline(call);
    std::ranges::copy(chron, y.begin());
    const detrend::SplineStatus status = detrend::splinp(y, spline, NSPL, st.spline).status;
    ShowSplineMessages(call, status, detrend::SplineRoutine::kSplinp);
    if (status != detrend::SplineStatus::kOk) std::ranges::copy(y, spline.begin());  // nothing is taken out
    ChronologyPlot(call, y, spline, "Indices", "Final Detrending of the RCS Signal Free Indices", none,
                   " RCS tree-ring indices", WithNumberAt("Spline in Yrs:", 16, "(i5)", NSPL));
    const float m = MeanFrom(chron, st.NLEAD1 + 1);
    for (std::size_t k = 0; k < y.size(); ++k) x[k] = y[k] - spline[k] + m;
    ChronologyPlot(call, y, x, "Indices", "Final Detrending of the RCS Signal Free Chronology", none,
                   "Original RCS Crn", "Detrended RCS Crn");
    d.Screen("");
    const char happy = d.AskTyped("Happy with the final RCS detrending? <Y>/N", 1, common::Slash::kAnswer).first();
    if (happy != 'N' && happy != 'n') break;
  }
  std::ranges::copy(x, chron.begin());
}

void FinalScaling(EngineCall& call) {
  common::RunStorage& s = call.store;
  const bool own = call.options.RESID == 1 || call.state.KRTSAV < 1;
  const float sd_org = TailOf(call, call.Years(call.state.STDORG)).sd;
  const float s1 = own ? TailOf(call, call.Years(s.STDCHR, 1)).sd : sd_org;
  const float s2 = own ? TailOf(call, call.Years(s.SSFCHR, 1)).sd : sd_org;
  const std::span<float> stb1 = call.Years(s.STBCHR, 1), stb2 = call.Years(s.STBCHR, 2);
  Rescale(stb1, TailOf(call, stb1), s1, 1.0f, true);
  Rescale(stb2, TailOf(call, stb2), s2, 1.0f, true);
}

void SummaryPlots(EngineCall& call) {
  common::RunStorage& s = call.store;
  EngineState& st = call.state;
  const int ITER = s.ITER;

  // The depth-weighted mean and median statistics of every iteration.
  std::vector<float> wmean, wmedian;
  for (int it = 1; it <= ITER; ++it) {
    wmean.push_back(st.CNVHIS[static_cast<std::size_t>(it)][2]);
    wmedian.push_back(st.CNVHIS[static_cast<std::size_t>(it)][3]);
  }
  plot::pltser(call.plots, st.plots.pltser, wmean, wmedian, ITER, 1, "Iterations", "Absolute Differences",
               WithNumberAt("Iteration Convergence Statistics, Iter =", 41, "(i3)", ITER), Level(ITER, 0.0f),
               "   Mean ABS Diff Test", "Median ABS Diff Test", plot::kIwrefFromZero);

  // Each iteration's change, centred, the earlier ones 0.1 lower each.
  for (int c = ITER; c >= 1; --c) {
    const std::span<float> dif = call.Years(st.ITRDIF, c);
    const float m = detrend::meansd(dif).xm;
    const float drop = 0.1f * static_cast<float>(ITER - c);
    for (float& v : dif) v = v - m - drop;
  }
  plot::pltits(call.plots, st.plots.pltits, st.ITRDIF, Level(call.NYRS, plot::kNoReference), call.NYRS, ITER, call.fy,
               "Years", "Absolute Differences", "Signal Free Chronology Iteration Differences", "First Iteration",
               "   Final Iteration", 0);

  // Every iteration's chronology smoothed with a spline stiff for the
  // chronology's length; after a restart each first given the level and
  // spread of the standard chronology.
  const int stiffness = call.NYRS <= 100 ? 10 : call.NYRS <= 500 ? 30 : call.NYRS <= 2000 ? 50 : 100;
  const Tail t0 = TailOf(call, call.Years(s.RCSVEC, 1));
  for (int c = 1; c <= ITER + 1; ++c) {
    const std::span<float> y = call.Years(s.RCSVEC, c);
    if (c >= 2 && st.KRTSAV >= 1) Rescale(y, TailOf(call, y), t0.sd, t0.mean, true);
    const detrend::SplineStatus status = detrend::spline(y, call.Years(st.ITRDIF, c), stiffness, st.spline).status;
    ShowSplineMessages(call, status, detrend::SplineRoutine::kSpline);
  }
  plot::pltits(call.plots, st.plots.pltits, st.ITRDIF, Level(call.NYRS, 1.0f), call.NYRS, ITER + 1, call.fy, "Years",
               "Indices", "Signal Free Chronology Iterations: " + std::to_string(stiffness) + "-Yr Splines",
               " Iteration:   0", WithNumberAt("  Iteration:", 14, "(i3)", ITER), 0);
}

}  // namespace engine::detail
