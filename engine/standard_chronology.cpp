// The standard mean chronology, its level adjustments, its running RBAR and
// variance stabilisation, and the spline-stabilisation dialogue the final
// signal-free chronology shares.
#include <algorithm>
#include <cstdlib>

#include "common/fortran_format.h"
#include "common/limits.h"
#include "common/text.h"
#include "detrend/order_stats.h"
#include "detrend/varstab.h"
#include "engine/chronology_means.h"
#include "engine/chronology_plots.h"
#include "engine/engine_call.h"
#include "engine/fit_messages.h"
#include "engine/intermediate_files.h"
#include "files/character_helpers.h"
#include "plot/plots.h"

namespace engine::detail {

namespace fmt = common::fmt;

namespace {

// Leading years of the chronology whose depth is exactly 1, and below 6.
void CountLeadingYears(EngineCall& call) {
  EngineState& st = call.state;
  const std::span<const int> depth = call.Depth();
  st.NLEAD1 = 0;
  while (st.NLEAD1 < call.NYRS && depth[static_cast<std::size_t>(st.NLEAD1)] == 1) ++st.NLEAD1;
  st.NLEAD6 = 0;
  while (st.NLEAD6 < call.NYRS && depth[static_cast<std::size_t>(st.NLEAD6)] < 6) ++st.NLEAD6;
  // Fewer than 20 years after the thin start: only the lone years count.
  if (call.NYRS - st.NLEAD6 < 20) st.NLEAD6 = st.NLEAD1;
}

// The series that stands alone at the start gets the mean of its rings
// after the lone years (all its rings when it has no more).
void LeadingSeriesMean(EngineCall& call) {
  EngineState& st = call.state;
  if (st.NLEAD1 < 1) return;
  for (int i = 1; i <= call.NS; ++i) {
    if (call.store.IYTAB.IFY(i) != call.fy) continue;
    st.LEADSR = i;
    const std::span<const float> x = call.store.SERMAT.column_view(i).first(static_cast<std::size_t>(call.Length(i)));
    st.SERMNS[static_cast<std::size_t>(i)] = MeanFrom(x, st.NLEAD1 + 1);
  }
}

// "Happy with this spline stabilization?": true for Y, y or blank, false
// for N or n; any other answer ("/" too) brings the reminder and the
// question again.
bool Happy(EngineCall& call, bool standard) {
  common::Dialog& d = call.dialog;
  for (;;) {
    d.Screen("");
    const char c = d.AskTyped("Happy with this spline stabilization? <Y>/N", 1, common::Slash::kAnswer).first();
    if (c == 'N' || c == 'n') return false;
    if (c == 'Y' || c == 'y' || c == ' ') return true;
    d.Screen("");
    d.Screen(standard && call.batch() ? " Y or <RET> for Yes or N for No, okay?"
                                      : " Y or <RET> for Yes or N for no, okay?");
  }
}

// The additional-stabilisation menu, until 0, 1, 10 to 6001, or -6001 to
// -10 is typed (blank: 0).
int AskAdditionalStabilisation(common::Dialog& d) {
  for (;;) {
    d.Screen("");
    d.Screen(" Additional spline variance stabilization?");
    d.Screen(common::PadTo(" No additional spline stabilization", 39) + "<0>");
    d.Screen(common::PadTo(" Age-dependent spline stabilization", 39) + " 1");
    d.Screen(common::PadTo(" Smoothing spline (percent N cutoff)", 39) + "<-9");
    d.Prompt(common::PadTo("Smoothing spline (fixed Yrs cutoff)", 38) + ">+9");
    common::TypedAnswer answer = d.ReadTyped(10);
    if (answer.blank) common::Assign(answer.text, "0");
    const std::optional<int> code = files::ConvertAnswer(answer.text);
    if (!code || !common::WithinTypedLength(*code) || (*code >= 2 && *code <= 9) || (*code >= -9 && *code <= -1)) {
      continue;
    }
    return *code;
  }
}

void ReportStabilisationChange(common::Dialog& d, int ISTAB) {
  const std::string stars(55, '*');
  d.Report("");
  d.Report(stars);
  d.Report("");
  d.Report(fmt::Print("(a,i5)", "DEFAULT SPLINE VARIANCE STABILIZATION CHANGED TO: ", ISTAB));
  d.Report("");
  d.Report(stars);
}

}  // namespace

void SplineStabilisation(EngineCall& call, const StabilisationTexts& texts) {
  common::RunStorage& s = call.store;
  EngineState& st = call.state;
  common::Dialog& d = call.dialog;
  int& ISTAB = call.options.ISTAB;
  const std::span<float> chron = call.Years(s.STBCHR, texts.column);
  const std::span<float> in = call.Years(st.stab_in), out = call.Years(st.stab_out), spread = call.Years(s.CRVVEC);
  const std::vector<float> one = Level(call.NYRS, 1.0f);
  for (;;) {
    std::ranges::copy(chron, in.begin());
    std::ranges::copy(chron, out.begin());
    if (ISTAB == 1) {
      ShowSplineMessages(call, detrend::varsta(in, spread, out, call.Depth(), st.varstab).spline,
                         detrend::SplineRoutine::kSplage);
      if (texts.standard) {
        d.Report("");
        d.Report("DEFAULT AGE-DEPENDENT SPLINE VARIANCE STABILIZATION APPLIED");
      }
    } else if (ISTAB != 0) {
      std::ranges::fill(call.Years(s.ISTFVC), ISTAB);
      ShowSplineMessages(call, detrend::varstb(in, spread, out, call.Depth(), s.ISTFVC[0], st.varstab).spline,
                         detrend::SplineRoutine::kSplinp);
      if (texts.standard && call.batch()) {
        d.Report("");
        d.Report("DEFAULT AGE-DEPENDENT SPLINE VARIANCE STABILIZATION APPLIED");
      } else if (texts.standard) {
        // (four columns hold every code but a percentage of -1000 or below)
        d.Report(fmt::Print(ISTAB >= -999 ? "(a,i4)" : "(a,i5)", "FIXED FILTER SPLINE VARIANCE STABILIZATION APPLIED: ",
                            ISTAB));
      }
    }
    if (ISTAB != 0 && (call.first || !texts.standard)) {
      const std::string leg2 =
          std::abs(ISTAB) >= 10 ? WithNumberAt("Spline in Yrs:", 16, "(i5)", ISTAB) : "Age-Dependent Spline";
      ChronologyPlot(call, in, spread, "Indices", texts.spline_title, one, "  Absolute Differences", leg2);
    }
    std::ranges::copy(chron, in.begin());
    Recentre(out, MeanFrom(out, st.NLEAD1 + 1));
    // Retries of the standard pass keep the running-RBAR values.
    if ((texts.standard && !call.first) || ISTAB == 0) return;

    ChronologyPlot(call, in, out, "Indices", texts.compare_title, one, texts.compare_leg1, texts.compare_leg2);
    if (Happy(call, texts.standard)) {
      std::ranges::copy(out, chron.begin());
      return;
    }
    ISTAB = AskAdditionalStabilisation(d);
    if (texts.standard) ReportStabilisationChange(d, ISTAB);
  }
}

void StandardChronology(EngineCall& call) {
  common::RunStorage& s = call.store;
  EngineState& st = call.state;
  const common::RunOptions& o = call.options;
  const std::span<float> crn = call.Years(s.STDCHR, 1), spr = call.Years(s.STDCHR, 2);
  MeanChronology(call, s.IDXMAT, crn, spr, static_cast<int>(o.MEANMD));
  if (call.first) {
    std::ranges::copy(crn, call.Years(s.ORGCHR, 1).begin());
    std::ranges::copy(spr, call.Years(s.ORGCHR, 2).begin());
  }
  if (o.MEANMD == common::MeanMethod::kBiweight) {
    s.ITER = 0;
    if (call.first && !call.batch()) {
      plot::pltits(call.plots, st.plots.pltits, st.BWTMAT, Level(call.NYRS, 1.0f), call.NYRS, 4, call.fy, "Years",
                   "Biweights", call.raw() ? "Biweights For Raw Data Chronology" : "Biweights For Standard Chronology",
                   BiweightLegend(s.ITER), "", 0);
    }
  }

  if (call.first) st.CHRMN0 = detrend::meansd(crn).xm;
  for (int k = 1; k <= call.NYRS; ++k) {
    float& c = crn[static_cast<std::size_t>(k - 1)];
    c = std::max(c - st.CHRMN0 + 1.0f, 0.0f);
    s.RBRV1.at(k, 1) = c;
    s.RBRV3.at(k, 1) = static_cast<float>(s.SSize[static_cast<std::size_t>(k)]);
  }
  CountLeadingYears(call);
  if (call.first) {
    st.NMEAN = call.NYRS - st.NLEAD1;
    const float m = MeanFrom(crn, st.NLEAD1 + 1);
    for (float& c : crn) c = c - m + 1.0f;
    std::ranges::copy(crn, st.STDORG.begin());
    std::ranges::copy(crn, call.Years(s.RCSVEC, 1).begin());
  }
  LeadingSeriesMean(call);

  const float m = MeanFrom(crn, st.NLEAD1 + 1);
  const std::span<float> ssf = call.Years(s.SSFCHR, 1);
  for (std::size_t k = 0; k < crn.size(); ++k) {
    float c = crn[k];
    if (o.MADJ == 'y') c = c - m + 1.0f;
    crn[k] = std::max(c, 0.0f);
    ssf[k] = crn[k];
  }
  std::ranges::copy(ssf, st.PRVCHR.begin());
  if (call.first) {
    ChronologyPlot(call, crn, crn, "Indices",
                   call.raw() ? "Original Non-Variance Stabilized Raw Data Indices"
                              : "Original Non-Variance Stabilized Standard Indices",
                   Level(call.NYRS, 1.0f), "", "");
  }
}

void StabiliseStandardChronology(EngineCall& call) {
  common::RunStorage& s = call.store;
  const bool raw = call.raw();
  if (call.first) {
    call.dialog.Screen("");
    call.dialog.Screen(raw ? " Perform raw data indices running rbar calculations"
                           : " Perform standard indices running rbar calculations");
  }
  RunningRbar(call, raw ? "_Raw_RBAR.txt" : "_Std_RBAR.txt");
  if (call.first) {
    RbarPlots(call,
              raw ? "Raw Data Indices Running Average Correlations" : "Standard Indices Running Average Correlations",
              " Constant Sample RBAR", "  Constant Sample EPS");
  }

  const std::span<float> crn = call.Years(s.STDCHR, 1), stb = call.Years(s.STBCHR, 1);
  std::ranges::copy(call.Years(s.RBRV1, 3), stb.begin());
  const int from = call.state.NLEAD1 + 1;
  const float m_crn = MeanFrom(crn, from), m_stb = MeanFrom(stb, from);
  Recentre(crn, m_crn);
  Recentre(stb, m_stb);
  if (call.first) {
    ChronologyPlot(call, crn, stb, "Indices",
                   raw ? "Original Vs. Running RBAR Stabilized Raw Data Indices"
                       : "Original Vs. Running RBAR Stabilized Standard Indices",
                   Level(call.NYRS, 1.0f), raw ? "Original RAW Chronology" : "Original STD Chronology",
                   raw ? "Stable RAW Chronology" : "Stable STD Chronology");
  }
  SplineStabilisation(call, {1, true, "Spline Detrending of Running RBAR Stabilized Indices",
                             raw ? "RBAR Only Vs. Detrended RBAR Stabilized Raw Data Indices"
                                 : "RBAR Only Vs. Detrended RBAR Stabilized Standard Indices",
                             raw ? "RBAR Stablized RAW Crn" : "RBAR Stablized STD Crn",
                             raw ? "DETR Stablized RAW Crn" : "DETR Stablized STD Crn"});
}

void ConvergenceHeader(EngineCall& call) {
  if (detrend::IsRawAverage(call.options.NOPT)) call.options.NOPT = static_cast<int>(detrend::CurveOption::kMean);
  const std::string indent(36, ' ');
  call.dialog.Report("");
  call.dialog.Report(indent + "| -------- SIGNAL FREE CONVERGENCE STATISTICS ------- |");
  call.dialog.Report(indent + "UW MN ABSD     UW MD ABSD     WT MN ABSD     WT MD ABSD");
  call.state.SFCMIN.fill(9999.0f);
  call.store.ITER = 0;
}

}  // namespace engine::detail
