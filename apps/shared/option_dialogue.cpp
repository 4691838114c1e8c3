#include "apps/shared/option_dialogue.h"

#include <algorithm>
#include <string>

#include "apps/shared/option_questions.h"
#include "common/fortran_format.h"
#include "common/limits.h"
#include "detrend/crvfit.h"
#include "files/pith.h"

namespace drivers {

using common::Dialog;
using detrend::CurveOption;

namespace {

using common::fmt::I;

// Any code but the regional curve's: the run leaves regional-curve mode and
// the pith offsets it read.
void LeaveRegionalCurve(ProgramRun& run) {
  run.options.RCSFLG = 0;
  run.options.PITHFL = 0;
  std::ranges::fill(run.store.IPITH, 0);
  // A regional-curve request still pending from the engine is void too: a
  // later regional curve starts with its stiffness and pith offsets.
  run.restart.RCSRDO = 0;
}

// The line text of an option code before "OPT"; nullptr for the codes that
// echo the heading alone.
const char* CurveFitLine(const common::RunOptions& o, common::ProgramVariant variant) {
  if (detrend::IsSplineInPercent(o.NOPT)) return "SPLINE PCT N FILTER (VARIABLE) .LE. -10:";
  if (detrend::IsSplineInYears(o.NOPT)) return "SPLINE FILTER IN YEARS (FIXED) .GE. 10:";
  switch (static_cast<CurveOption>(o.NOPT)) {
    case CurveOption::kSuperSmoother: return "FRIEDMAN VARIABLE SPAN SMOOTHER AND ALPHA:";
    case CurveOption::kRegionalCurve: return "REGIONAL CURVE STANDARDIZATION (RCS):";
    case CurveOption::kRawAverage: return "NO DETRENDING (MEAN OF RAW DATA):";
    case CurveOption::kExponentialOrLine: return "NEG EXPON/LINEAR ANY SLOPE:";
    case CurveOption::kExponentialOrFallingLine: return "NEG EXPON/LINEAR NEG SLOPE:";
    case CurveOption::kLine: return "LINEAR REGRESSION ANY SLOPE:";
    case CurveOption::kFallingLine: return "LINEAR REGRESSION NEG SLOPE:";
    case CurveOption::kMean: return "HORIZONTAL LINE THROUGH MEAN:";
    case CurveOption::kAgeDependentSpline:
      if (variant == common::ProgramVariant::kInteractive) return "AGE-DEPENDENT SPLINE SMOOTHING AND START:";
      return o.SPLEND == 0 ? "AGE-DEPENDENT SPLINE WITH END INCREASING ALLOWED AND START:"
                           : "AGE-DEPENDENT SPLINE WITH NO END INCREASING ALLOWED AND START:";
    case CurveOption::kMedianLengthSpline: return "MEDIAN SEGMENT LENGTH SPLINE:";
  }
  return nullptr;
}

}  // namespace

void EchoCurveFit(Dialog& dialog, const common::RunOptions& options, common::ProgramVariant variant) {
  const bool batch = variant == common::ProgramVariant::kBatch;
  dialog.Report("");
  dialog.Report(batch ? "CURVE FIT OPTION AT THE BEGINNING:" : "CURVE FIT OPTION:");
  const char* line = CurveFitLine(options, variant);
  if (line == nullptr) return;
  std::string values = I(5, options.NOPT);
  if (options.NOPT == static_cast<int>(CurveOption::kSuperSmoother)) values += I(5, options.alpha);
  if (options.NOPT == static_cast<int>(CurveOption::kAgeDependentSpline)) {
    values += I(5, options.SPLSTF);
    if (batch) values += " YEARS";
  }
  dialog.Report(std::string(line) + "  OPT" + values);
}

bool AskCurveFit(ProgramRun& run) {
  Dialog& d = run.dialog;
  common::RunOptions& o = run.options;
  for (;;) {
    o.NOPT = AskCurveFitOption(d);
    if (o.NOPT == static_cast<int>(CurveOption::kSuperSmoother)) {
      o.alpha = AskFriedmanAlpha(d);
      o.ALPHA = static_cast<float>(o.alpha);
    } else if (o.NOPT == static_cast<int>(CurveOption::kAgeDependentSpline)) {
      o.SPLSTF = AskSplineStiffness(d);
      o.SPLEND = AskSplineEnd(d);
      o.chosen_end = o.SPLEND;
    } else if (o.NOPT == static_cast<int>(CurveOption::kMedianLengthSpline)) {
      // A spline as long as the median series; a median below 10 years
      // would turn into another option code, so the spline is then 10 years.
      o.NOPT = std::max(o.MED, 10);
    }
    if (run.variant() == common::ProgramVariant::kInteractive) EchoCurveFit(d, o, run.variant());

    if (o.NOPT != static_cast<int>(CurveOption::kRegionalCurve)) {
      LeaveRegionalCurve(run);
    } else {
      o.RCSFLG = 1;
      if (run.restart.RCSRDO != 0) {
        if (AskRcsOption(d, run.variant(), o)) return false;  // the run starts again at once
        continue;                                           // "x": the whole dialogue again
      }
      o.SPLSTF = AskRcsStiffness(d);
      files::pithof(common::MAXSER, common::kPithUnit, run.store.IPITH, o.PITHFL, run.store.DATFIL, run.store.IYTAB,
                    run.store.NS, run.store.SERID, d);
    }
    return true;
  }
}

void CurveFitDialogue(ProgramRun& run) {
  if (AskCurveFit(run)) ChronologyOptions(run);
}

void RcsRedoDialogue(ProgramRun& run) {
  run.options.RCSFLG = 1;
  if (!AskRcsOption(run.dialog, run.variant(), run.options)) CurveFitDialogue(run);
}

void ChronologyOptions(ProgramRun& run) {
  Dialog& d = run.dialog;
  common::RunOptions& o = run.options;
  const bool batch = run.variant() == common::ProgramVariant::kBatch;
  const bool ask = run.first_data_set;
  if (batch) EchoCurveFit(d, o, run.variant());

  if (ask) {
    std::optional<common::MeanMethod> mean;
    while (!(mean = AskMeanMethodOnce(d))) {
      if (batch) d.AbnormalEnd();
    }
    o.MEANMD = *mean;
  }
  EchoMeanMethod(d, o.MEANMD);

  if (ask) o.IRBWIN = AskRbarWindow(d);
  EchoRbarWindow(d, o.IRBWIN);
  if (ask && o.IRBWIN >= 25) o.ISTAB = AskStabilisation(d);
  if (batch) EchoStabilisation(d, o.ISTAB);

  o.SPLITR = 'y';
  o.SFFLGB = 'y';
  o.SFFLGA = 'n';
  o.CONVTL = 0.0001f;
  if (ask) o.CONVTL = AskConvergence(d);

  // The batch program never asks about the TARN tweaks: they are always used.
  o.TARNYN = batch ? 'y' : AskTarn(d);
  o.MADJ = o.TARNYN;
  o.MEDCNV = o.TARNYN;
  EchoTarn(d, o.TARNYN);
}

}  // namespace drivers
