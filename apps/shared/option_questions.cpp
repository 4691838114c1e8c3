#include "apps/shared/option_questions.h"

#include <string>

#include "common/fortran_format.h"
#include "common/limits.h"
#include "common/text.h"
#include "detrend/crvfit.h"
#include "detrend/regcrv.h"
#include "files/character_helpers.h"

namespace drivers {

using common::Dialog;

namespace {

constexpr std::size_t kAnswerLength = 10;

// " text" with `code` starting at `column`.
std::string CodeLine(std::string_view text, std::string_view code, std::size_t column) {
  return common::PadTo(std::string(" ") + std::string(text), column) + std::string(code);
}

// The prompt text of a last menu line whose code stands at `column`
// (the prompt adds the leading blank).
std::string CodePrompt(std::string_view text, std::string_view code, std::size_t column) {
  return common::PadTo(text, column - 1) + std::string(code);
}

using common::fmt::I;

// Shows `lines` (the last one as the prompt) and reads a numeric answer
// until it converts.
template <typename Show>
int AskNumber(Dialog& dialog, std::string_view default_answer, Show show) {
  for (;;) {
    show();
    if (std::optional<int> value = ReadNumericAnswer(dialog, default_answer)) return *value;
  }
}

// A spline stiffness: asked until it is 1 (a spline needs at least one
// year of stiffness) to 6001 years.
template <typename Show>
int AskStiffness(Dialog& dialog, std::string_view default_answer, Show show) {
  for (;;) {
    const int stiffness = AskNumber(dialog, default_answer, show);
    if (stiffness >= 1 && stiffness <= common::kMaxTypedLength) return stiffness;
  }
}

void ShowLines(Dialog& dialog, std::initializer_list<std::string_view> lines, std::string_view prompt) {
  dialog.Screen("");
  for (std::string_view line : lines) dialog.Screen(" " + std::string(line));
  dialog.Prompt(prompt);
}

void ShowAlphaQuestion(Dialog& dialog) {
  ShowLines(dialog,
            {"Enter the Friedman tweeter (alpha) 0-9", "An alpha=7 is suggested to begin with.",
             "It imparts moderate flexibility to the", "super smoother. Alpha=9 is the stiffest",
             "and alpha=0 is the most flexible curve."},
            "Enter your value, hit <RET> for 7");
}

// The general curve-fit menu, its last line the prompt.
void ShowCurveFitMenu(Dialog& dialog) {
  dialog.Screen("");
  dialog.Screen(" General Curve fit options:");
  dialog.Screen("");
  dialog.Screen(" Spline percent N filter (variable)  .le.  -10");
  dialog.Screen(CodeLine("Friedman variable span smoother", "-5", 45));
  dialog.Screen(CodeLine("Regional Curve Standardization (RCS)", "-2", 45));
  dialog.Screen(CodeLine("Raw data average, followed by Opt 6", "0", 46));
  dialog.Screen(CodeLine("Neg Expon/linear any slope", "1", 46));
  dialog.Screen(CodeLine("Neg Expon/linear neg slope", "2", 46));
  dialog.Screen(CodeLine("Linear regression any slope", "3", 46));
  dialog.Screen(CodeLine("Linear regression neg slope", "4", 46));
  dialog.Screen(CodeLine("Horizontal line through mean", "6", 46));
  dialog.Screen(CodeLine("Age-dependent spline smoothing", "<8>", 45));
  dialog.Screen(CodeLine("Median segment length spline", "9", 46));
  dialog.Screen(CodeLine("Spline filter in years (fixed .ge. 10)", "10", 45));
  dialog.Prompt("Opt <8> is default, hit <RET> for it");
}

// The codes of the general menu that reach a curve: those crvfit fits (a
// spline of at most 6001 years or percent), the raw-data average (fitted as
// the mean), the regional curve and the median segment length spline.
bool GeneralMenuServes(int code) {
  if (!common::WithinTypedLength(code)) return false;
  return detrend::CrvfitHasModel(code) || code == static_cast<int>(detrend::CurveOption::kRawAverage) ||
         code == static_cast<int>(detrend::CurveOption::kRegionalCurve) ||
         code == static_cast<int>(detrend::CurveOption::kMedianLengthSpline);
}

struct RcsItem {
  std::string_view first;
  std::string_view second;
};

// A lowess or median window typed for the regional curve: 3 to 6001 (odd
// for the median), or a percentage -100 to -1.
bool RcsWindowAccepted(int window, bool odd_only) {
  if (window >= -100 && window <= -1) return true;
  return window >= 3 && window <= common::kMaxTypedLength && (!odd_only || window % 2 != 0);
}

}  // namespace

std::optional<int> ReadNumericAnswer(Dialog& dialog, std::string_view default_answer) {
  common::TypedAnswer answer = dialog.ReadTyped(kAnswerLength);
  if (answer.blank) common::Assign(answer.text, default_answer);
  return files::ConvertAnswer(answer.text);
}

int AskCurveFitOption(Dialog& dialog) {
  for (;;) {
    const int code = AskNumber(dialog, "8", [&dialog] { ShowCurveFitMenu(dialog); });
    if (GeneralMenuServes(code)) return code;
  }
}

int AskFriedmanAlpha(Dialog& dialog) {
  for (;;) {
    const int alpha = AskNumber(dialog, "7", [&dialog] { ShowAlphaQuestion(dialog); });
    if (alpha >= 0 && alpha <= 9) return alpha;
    dialog.Screen("");
    dialog.Screen(" Friedman tweeter not in admissible range");
  }
}

int AskSplineStiffness(Dialog& dialog) {
  return AskStiffness(dialog, "50", [&dialog] {
    ShowLines(dialog,
              {"For the age-dependent spline you must", "enter a starting spline stiffness. For",
               "detrending individual series, an initial", "value that appears work well is 50 yrs."},
              "Enter your value, hit <RET> for 50");
  });
}

int AskSplineEnd(Dialog& dialog) {
  for (;;) {
    const int end = AskNumber(dialog, "0", [&dialog] {
      dialog.Screen("");
      for (std::string_view line :
           {"The end of the age-dependent spline will", "increase to follow the ring widths. This",
            "may reduce the potential for end-effect", "bias in the final chronology, but it may",
            "also result in the loss of signal due to", "e.g. climate warming. You can force the",
            "spline to not increase at the end if you", "think you know best. Choose your poison."}) {
        dialog.Screen(" " + std::string(line));
      }
      dialog.Screen(CodeLine("Allow the spline to incease at the end", "<0>", 45));
      dialog.Prompt(CodePrompt("Force the spline to be non-increasing", "1", 46));
    });
    if (end == 0 || end == 1) return end;
  }
}

int AskRcsStiffness(Dialog& dialog) {
  return AskStiffness(dialog, "10", [&dialog] {
    ShowLines(dialog,
              {"For using the age-dependent spline with RCS", "enter an initial spline stiffness to smooth",
               "the mean biologically aged-aligned tree rings.", "A suggested initial value to try is 10 yrs."},
              "Enter your value, hit <RET> for 10");
  });
}

bool AskRcsOption(Dialog& dialog, common::ProgramVariant variant, common::RunOptions& options) {
  const bool batch = variant == common::ProgramVariant::kBatch;
  const RcsItem items[] = {
      {"  -5:  friedman super smoother", "        lower alpha (0-9) gives more local fit"},
      {"  -4:  robust lowess smoother", "         integer percent of series length <Not Yet>"},
      {"  -3:  median smoothing", "               must have odd window length <full length only>"},
      {batch ? "  -2:  age-dependent spline smoothing" : "  -2:  Age-dependent spline smoothing", ""},
      {"   1:  neg expon curve, ", "no = opt 4    f(i) = a*exp(-b*t(i)) + d    (d>0)"},
      {"   2:  neg expon curve, ", "no = opt 5    f(i) = a*exp(-b*t(i)) + d    (d>0)"},
      {"   3:  neg expon curve  ", "(general)     f(i) = a*exp(-b*t(i+p)) + d (any d)"},
      {"   4:  linear regression ", "(any slope)  f(i) = +/-c*t(i) + d"},
      {"   5:  linear regression ", "(neg slope)  f(i) = -c*t(i) + d   "},
      {"   6:  horizontal line through ", "mean   f(i) = mean(y(i)) = d"},
      {"   7:  hugershoff growth ", "function     f(i) = a*t(i+p)**b * exp(-c*t(i+p)) + d"},
      {"   8:  general exponential (b = 1)    ", "f(i) = a*t(i+p)**b * exp(-c*t(i+p)) + d"},
      {"  >9: cubic smoothing ", "spline         fixed 50 pct variance cutoff"},
      {" <-9: cubic smoothing ", "spline         pct n 50 pct variance cutoff"},
  };
  for (;;) {
    dialog.Screen("");
    dialog.Screen(" Select RCS curve fit options:");
    dialog.Screen("");
    for (const RcsItem& item : items) dialog.Screen("  " + std::string(item.first) + std::string(item.second));
    dialog.Screen("");
    dialog.ScreenText(" enter  option  (x to start over)  ==> ");
    const std::optional<int> code = dialog.ReadFreeInt();
    if (!code) return false;
    if (!detrend::DetrndHasModel(*code) || !common::WithinTypedLength(*code)) continue;

    if (*code == -4 || *code == -3) {
      const bool median = *code == -3;
      options.RCSWIN = 0;
      dialog.Screen("");
      const std::string what = median ? "median" : "lowess";
      dialog.Screen(std::string(batch ? " Enter the " : " enter the ") + what + " window width");
      dialog.Screen(median ? " fixed for all series: a positive odd integer >2"
                           : " fixed for all series: a positive integer >2");
      dialog.Screen(" and less then the shortest series length, or");
      dialog.Screen(" percent of series length: a negative integer");
      dialog.Prompt("between -1 and -100, inclusive", common::kListMarkerColumn);
      const std::optional<int> window = dialog.ReadFreeInt();
      if (!window || !RcsWindowAccepted(*window, median)) continue;
      options.RCSWIN = *window;
    } else if (*code == -5) {
      options.alpha = AskFriedmanAlpha(dialog);
      options.ALPHA = static_cast<float>(options.alpha);
      options.RCSWIN = options.alpha;
    } else if (*code == -2) {
      options.SPLSTF = AskRcsStiffness(dialog);
    }
    options.NOPT = *code;
    return true;
  }
}

std::optional<common::MeanMethod> AskMeanMethodOnce(Dialog& dialog) {
  dialog.Screen("");
  dialog.Screen(" How to calculate the mean chronology (/ to stop):");
  dialog.Screen(CodeLine("Non-robust arithmetic mean", " 1 ", 39));
  dialog.Screen(CodeLine("Robust Tukey biweight mean", "<2>", 39));
  const common::TypedAnswer answer = dialog.AskTyped("Robust is default, hit <RET> if you want it", kAnswerLength);
  const char c = answer.blank ? '2' : answer.first();
  if (c == '1') return common::MeanMethod::kArithmetic;
  if (c == '2') return common::MeanMethod::kBiweight;
  dialog.Screen("");
  dialog.Screen(" Mean index choice not admissible");
  return std::nullopt;
}

void EchoMeanMethod(Dialog& dialog, common::MeanMethod MEANMD) {
  dialog.Report("");
  dialog.Report((MEANMD == common::MeanMethod::kArithmetic ? "NON-ROBUST ARITHMETIC MEAN CHRONOLOGY CALCULATED:  "
                                                           : "TUKEY ROBUST BIWEIGHT MEAN CHRONOLOGY CALCULATED:  ") +
                I(5, static_cast<int>(MEANMD)));
}

int AskRbarWindow(Dialog& dialog) {
  for (;;) {
    int window = AskNumber(dialog, "51", [&dialog] {
      ShowLines(dialog, {"Enter running RBAR window width for variance", "stabilization. Must be .ge. 25 years and odd."},
                "Default window width is 51 years, 0 to skip");
    });
    if (window == 0) {
      dialog.Screen("");
      dialog.Screen(" Running RBAR variance stabilization skipped");
      return window;
    }
    if (window < 25) {
      dialog.Screen("");
      dialog.Screen(" Running RBAR window width must be .ge. 25");
      continue;
    }
    // No chronology is longer than the limit on years.
    if (window > common::kMaxTypedLength) {
      dialog.Screen("");
      dialog.Screen(" Running RBAR window width must be .le. " + std::to_string(common::kMaxTypedLength));
      continue;
    }
    if (window % 2 == 0) {
      window += 1;
      dialog.Screen("");
      dialog.Screen(" Running RBAR window width increased to make it odd: " + I(5, window));
    }
    return window;
  }
}

void EchoRbarWindow(Dialog& dialog, int IRBWIN) {
  dialog.Report("");
  dialog.Report("RUNNING RBAR WINDOW WIDTH FOR VARIANCE STABILIZATION: " + I(5, IRBWIN));
}

int AskStabilisation(Dialog& dialog) {
  for (;;) {
    const int code = AskNumber(dialog, "1", [&dialog] {
      dialog.Screen("");
      dialog.Screen(" Additional spline variance stabilization?");
      dialog.Screen(CodeLine("No additional spline stabilization", " 0 ", 39));
      dialog.Screen(CodeLine("Age-dependent spline stabilization", "<1>", 39));
      dialog.Screen(CodeLine("Smoothing spline (percent N cutoff)", "<-9", 39));
      dialog.Prompt(CodePrompt("Smoothing spline (fixed Yrs cutoff)", ">+9", 39));
    });
    if (!common::WithinTypedLength(code)) continue;
    if (code == 0 || code == 1 || code >= 10 || code <= -10) return code;
  }
}

void EchoStabilisation(Dialog& dialog, int ISTAB) {
  dialog.Report("");
  dialog.Report(ISTAB == 1 ? "ADDITIONAL SPLINE VARIANCE STABILIZATION OPTION: AGE-DEPENDENT SPLINE"
                           : "ADDITIONAL SPLINE VARIANCE STABILIZATION OPTION - STANDARD SPLINE: " + I(5, ISTAB));
}

// The largest typed convergence threshold, just below what f6.4 prints as 10.0000.
constexpr float kLargestThreshold = 9.99995f;

float AskConvergence(Dialog& dialog) {
  for (;;) {
    ShowLines(dialog,
              {"Enter the signal free convergence test", "based on minimizing the mean absolute",
               "differences between the current and", "preceeding chronologies:   ",
               "  Original Dorran setting   1  0.0005", "  Current default setting  <2> 0.0001"},
              "  **** Roll Your Own ****   3  X.XXXX");
    const common::TypedAnswer answer = dialog.ReadTyped(kAnswerLength);
    if (answer.first() == '1') return 0.0005f;
    if (answer.blank || answer.first() == '2') return 0.0001f;
    if (answer.first() != '3') continue;
    dialog.Screen("");
    dialog.Prompt("Okay, enter YOUR convergence test");
    // A threshold is a change of 0 or more that the report's f6.4 field can
    // show; any other number shows the menu again, as an unreadable one does.
    const std::optional<float> own = dialog.ReadFreeReal();
    if (own && *own >= 0.0f && *own < kLargestThreshold) return *own;
  }
}

char AskTarn(Dialog& dialog) {
  for (;;) {
    ShowLines(dialog,
              {"Use TARN signal free convergence tweaks?", "Set each chronology mean to exactly 1.0",
               "and use the more robust median absolute", "differences instead of mean absolute",
               "differences for signal free convergence."},
              "Enter <y>/n (default is y for YES, / to exit)");
    const common::TypedAnswer answer = dialog.ReadTyped(1);
    const char c = answer.first();
    if (answer.blank || c == 'y' || c == 'Y') return 'y';
    if (c == 'n' || c == 'N') return 'n';
    dialog.Screen("");
    dialog.Screen(" Answer not entered as y or n");
  }
}

void EchoTarn(Dialog& dialog, char TARNYN) {
  const std::string counted =
      std::string("FOR SPLINE AND FRIEDMAN FLEXIBLE CURVE FITS A COUNT-WEIGHTED ") + "CONVERGENCE CRITERION IS USED.";
  dialog.Report("");
  if (TARNYN == 'y') {
    dialog.Report("TARN CONVERGENCE CRITERIA USED - SHOULD BE FASTER TO CONVERGE");
    dialog.Report("");
    dialog.Report(counted);
    dialog.Report(std::string("THIS SPEEDS CONVERGENCE AND REDUCES THE CHANCES OF EXCESSIVE SIGNAL ") +
                  "FREE ITERATIONS.");
  } else {
    dialog.Report("ORIGINAL CONVERGENCE CRITERIA USED - MAY BE SLOWER TO CONVERGE");
    dialog.Report("");
    dialog.Report(counted);
    dialog.Report(" REDUCES THE CHANCES OF EXCESSIVE SIGNAL FREE ITERATIONS.");
  }
}

}  // namespace drivers
