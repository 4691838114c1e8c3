#include "apps/interactive/option_dialogue.h"

#include <algorithm>
#include <string>

#include "common/fortran_format.h"
#include "common/limits.h"
#include "apps/shared/option_questions.h"
#include "files/pith.h"

namespace interactive {

using common::Dialog;

namespace {

drivers::CurveFitOptions FitOptions(const Run& run) {
  drivers::CurveFitOptions o;
  o.NOPT = run.NOPT;
  o.alpha = run.alpha;
  o.ALPHA = run.ALPHA;
  o.SPLSTF = run.SPLSTF;
  o.SPLEND = run.SPLEND;
  o.RCSWIN = run.RCSWIN;
  return o;
}

void TakeFitOptions(Run& run, const drivers::CurveFitOptions& o) {
  run.NOPT = o.NOPT;
  run.alpha = o.alpha;
  run.ALPHA = o.ALPHA;
  run.SPLSTF = o.SPLSTF;
  run.SPLEND = o.SPLEND;
  run.RCSWIN = o.RCSWIN;
}

// The regional-curve menu; false when its answer was no integer.
bool RcsMenu(Run& run) {
  drivers::CurveFitOptions o = FitOptions(run);
  if (!drivers::AskRcsOption(run.dialog, common::ProgramVariant::kInteractive, o)) return false;
  TakeFitOptions(run, o);
  return true;
}

}  // namespace

void EchoCurveFit(Dialog& dialog, int NOPT, int alpha, int SPLSTF) {
  dialog.Report("");
  dialog.Report("CURVE FIT OPTION:");
  const char* line = nullptr;
  if (NOPT <= -10) {
    line = "SPLINE PCT N FILTER (VARIABLE) .LE. -10:";
  } else if (NOPT >= 10) {
    line = "SPLINE FILTER IN YEARS (FIXED) .GE. 10:";
  } else {
    switch (NOPT) {
      case -5: line = "FRIEDMAN VARIABLE SPAN SMOOTHER AND ALPHA:"; break;
      case -2: line = "REGIONAL CURVE STANDARDIZATION (RCS):"; break;
      case 0: line = "NO DETRENDING (MEAN OF RAW DATA):"; break;
      case 1: line = "NEG EXPON/LINEAR ANY SLOPE:"; break;
      case 2: line = "NEG EXPON/LINEAR NEG SLOPE:"; break;
      case 3: line = "LINEAR REGRESSION ANY SLOPE:"; break;
      case 4: line = "LINEAR REGRESSION NEG SLOPE:"; break;
      case 6: line = "HORIZONTAL LINE THROUGH MEAN:"; break;
      case 8: line = "AGE-DEPENDENT SPLINE SMOOTHING AND START:"; break;
      case 9: line = "MEDIAN SEGMENT LENGTH SPLINE:"; break;
      default: return;  // the heading alone
    }
  }
  std::string values = common::fmt::Print("(i5)", NOPT);
  if (NOPT == -5) values += common::fmt::Print("(i5)", alpha);
  if (NOPT == 8) values += common::fmt::Print("(i5)", SPLSTF);
  dialog.Report(std::string(line) + "  OPT" + values);
}

void CurveFitDialogue(Run& run) {
  Dialog& d = run.dialog;
  for (;;) {
    run.NOPT = drivers::AskCurveFitOption(d);
    if (run.NOPT == -5) {
      run.alpha = drivers::AskFriedmanAlpha(d);
      run.ALPHA = static_cast<float>(run.alpha);
    } else if (run.NOPT == 8) {
      run.SPLSTF = drivers::AskSplineStiffness(d);
      run.SPLEND = drivers::AskSplineEnd(d);
    } else if (run.NOPT == 9) {
      // A spline as long as the median series; a median below 10 years
      // would turn into another option code, so the spline is then 10 years.
      run.NOPT = std::max(run.MED, 10);
    }
    EchoCurveFit(d, run.NOPT, run.alpha, run.SPLSTF);

    if (run.NOPT == -2) {
      run.RCSFLG = 1;
      if (run.RCSRDO != 0) {
        if (RcsMenu(run)) return;  // the run starts again at once
        continue;                  // "x": the whole dialogue again
      }
      run.SPLSTF = drivers::AskRcsStiffness(d);
      files::pithof(common::MAXSER, files::kPithUnit, run.store.IPITH, run.PITHFL, run.DATFIL, d);
    }
    ChronologyOptions(run);
    return;
  }
}

void RcsRedoDialogue(Run& run) {
  run.RCSFLG = 1;
  if (!RcsMenu(run)) CurveFitDialogue(run);
}

void ChronologyOptions(Run& run) {
  Dialog& d = run.dialog;
  std::optional<int> mean;
  while (!(mean = drivers::AskMeanMethodOnce(d))) {
  }
  run.MEANMD = *mean;
  drivers::EchoMeanMethod(d, run.MEANMD);

  run.IRBWIN = drivers::AskRbarWindow(d);
  drivers::EchoRbarWindow(d, run.IRBWIN);
  if (run.IRBWIN >= 25) run.ISTAB = drivers::AskStabilisation(d);

  run.SPLITR = 'y';
  run.SFFLGB = 'y';
  run.SFFLGA = 'n';
  run.FITEND = 'n';
  run.CONVTL = 0.0001f;
  run.CONVTL = drivers::AskConvergence(d);

  run.TARNYN = drivers::AskTarn(d);
  run.MADJ = run.TARNYN;
  run.MEDCNV = run.TARNYN;
  drivers::EchoTarn(d, run.TARNYN);
}

}  // namespace interactive
