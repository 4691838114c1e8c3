// The curve-fit and chronology option dialogue of the interactive program on
// a scripted console: the order of the questions, the options left set and
// the report lines.
#include "apps/shared/option_dialogue.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/console.h"
#include "common/run_options.h"
#include "common/storage.h"
#include "common/text.h"
#include "common/units.h"
#include "engine/sigfre.h"
#include "plot/plotter.h"
#include "support/dialog_harness.h"
#include "support/text.h"

namespace {

using test_support::Count;
using test_support::Join;

// Blank answers to mean, window, stabilisation, convergence and TARN.
const std::vector<std::string> kChronologyDefaults = {"", "", "", "", ""};

const std::string kChronologyDefaultEcho =
    "\nTUKEY ROBUST BIWEIGHT MEAN CHRONOLOGY CALCULATED:      2\n"
    "\nRUNNING RBAR WINDOW WIDTH FOR VARIANCE STABILIZATION:    51\n"
    "\nTARN CONVERGENCE CRITERIA USED - SHOULD BE FASTER TO CONVERGE\n\n"
    "FOR SPLINE AND FRIEDMAN FLEXIBLE CURVE FITS A COUNT-WEIGHTED CONVERGENCE CRITERION IS USED.\n"
    "THIS SPEEDS CONVERGENCE AND REDUCES THE CHANCES OF EXCESSIVE SIGNAL FREE ITERATIONS.\n";

class OptionDialogueTest : public ::testing::Test, public test_support::DialogHarness {
 protected:
  // A fresh run scripted with `answers`; `prepare` may set state first.
  // Returns the stop status, or -1 when the dialogue returned.
  int Script(std::vector<std::string> answers, const std::function<void(drivers::ProgramRun&)>& body,
             const std::function<void(drivers::ProgramRun&)>& prepare = {}) {
    return RunScript(std::move(answers), [&](common::Dialog& d) {
      options_ = common::RunOptions();
      restart_ = common::RestartState();
      run_ = std::make_unique<drivers::ProgramRun>(d, store_, options_, restart_, *state_, plotter_);
      common::Assign(store_.DATFIL, "data.rwl");
      if (prepare) prepare(*run_);
      body(*run_);
    });
  }
  int Dialogue(std::vector<std::string> answers, const std::function<void(drivers::ProgramRun&)>& prepare = {}) {
    return Script(std::move(answers), [](drivers::ProgramRun& r) { drivers::CurveFitDialogue(r); }, prepare);
  }

  common::RunStorage store_;
  common::RunOptions options_;
  common::RestartState restart_;
  std::unique_ptr<engine::EngineState> state_ =
      std::make_unique<engine::EngineState>(common::ProgramVariant::kInteractive);
  plot::NullPlotter plotter_;
  std::unique_ptr<drivers::ProgramRun> run_;
};

TEST_F(OptionDialogueTest, BlankAnswersThroughoutGiveTheDefaults) {
  EXPECT_EQ(Dialogue(Join({{"", "", ""}, kChronologyDefaults})), -1);
  EXPECT_EQ(Unread(), 0u);
  const common::RunOptions& r = options_;
  EXPECT_EQ(r.NOPT, 8);
  EXPECT_EQ(r.SPLSTF, 50);
  EXPECT_EQ(r.SPLEND, 0);
  EXPECT_EQ(r.RCSFLG, 0);
  EXPECT_EQ(r.PITHFL, 0);
  EXPECT_EQ(r.MEANMD, common::MeanMethod::kBiweight);
  EXPECT_EQ(r.IRBWIN, 51);
  EXPECT_EQ(r.ISTAB, 1);
  EXPECT_EQ(r.CONVTL, 0.0001f);
  EXPECT_EQ(r.TARNYN, 'y');
  EXPECT_EQ(r.MADJ, 'y');
  EXPECT_EQ(r.MEDCNV, 'y');
  EXPECT_EQ(r.SFFLGA, 'n');
  EXPECT_EQ(r.SFFLGB, 'y');
  EXPECT_EQ(r.SPLITR, 'y');
  EXPECT_EQ(Report(), "\nCURVE FIT OPTION:\nAGE-DEPENDENT SPLINE SMOOTHING AND START:  OPT    8   50\n" +
                          kChronologyDefaultEcho);
  // The questions in their order.
  const std::string& t = Transcript();
  const std::size_t menu = t.find("General Curve fit options:");
  const std::size_t stiff = t.find("For the age-dependent spline you must");
  const std::size_t end = t.find("Choose your poison.");
  const std::size_t mean = t.find("How to calculate the mean chronology");
  const std::size_t window = t.find("Enter running RBAR window width");
  const std::size_t stab = t.find("Additional spline variance stabilization?");
  const std::size_t conv = t.find("Enter the signal free convergence test");
  const std::size_t tarn = t.find("Use TARN signal free convergence tweaks?");
  EXPECT_LT(menu, stiff);
  EXPECT_LT(stiff, end);
  EXPECT_LT(end, mean);
  EXPECT_LT(mean, window);
  EXPECT_LT(window, stab);
  EXPECT_LT(stab, conv);
  EXPECT_LT(conv, tarn);
  EXPECT_NE(tarn, std::string::npos);
}

TEST_F(OptionDialogueTest, EchoLineOfEveryOption) {
  struct Case {
    std::vector<std::string> answers;
    std::string line;
  };
  const std::vector<Case> cases = {
      {{"-10"}, "SPLINE PCT N FILTER (VARIABLE) .LE. -10:  OPT  -10\n"},
      {{"-67"}, "SPLINE PCT N FILTER (VARIABLE) .LE. -10:  OPT  -67\n"},
      {{"-5", "3"}, "FRIEDMAN VARIABLE SPAN SMOOTHER AND ALPHA:  OPT   -5    3\n"},
      {{"0"}, "NO DETRENDING (MEAN OF RAW DATA):  OPT    0\n"},
      {{"1"}, "NEG EXPON/LINEAR ANY SLOPE:  OPT    1\n"},
      {{"2"}, "NEG EXPON/LINEAR NEG SLOPE:  OPT    2\n"},
      {{"3"}, "LINEAR REGRESSION ANY SLOPE:  OPT    3\n"},
      {{"4"}, "LINEAR REGRESSION NEG SLOPE:  OPT    4\n"},
      {{"6"}, "HORIZONTAL LINE THROUGH MEAN:  OPT    6\n"},
      {{"8", "75", "1"}, "AGE-DEPENDENT SPLINE SMOOTHING AND START:  OPT    8   75\n"},
      {{"10"}, "SPLINE FILTER IN YEARS (FIXED) .GE. 10:  OPT   10\n"},
      {{"300"}, "SPLINE FILTER IN YEARS (FIXED) .GE. 10:  OPT  300\n"},
      // A code that reaches no curve is asked again; the report names the
      // option finally taken.
      {{"5", "7", "-1", "-9", "4"}, "LINEAR REGRESSION NEG SLOPE:  OPT    4\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Dialogue(Join({c.answers, kChronologyDefaults})), -1) << c.answers[0];
    EXPECT_EQ(Report(), "\nCURVE FIT OPTION:\n" + c.line + kChronologyDefaultEcho) << c.answers[0];
  }
}

TEST_F(OptionDialogueTest, MedianSegmentLengthReplacesOptionNine) {
  EXPECT_EQ(Dialogue(Join({{"9"}, kChronologyDefaults}), [](drivers::ProgramRun& r) { r.options.MED = 150; }), -1);
  EXPECT_EQ(options_.NOPT, 150);
  EXPECT_EQ(Report(), "\nCURVE FIT OPTION:\nSPLINE FILTER IN YEARS (FIXED) .GE. 10:  OPT  150\n" + kChronologyDefaultEcho);
}

TEST_F(OptionDialogueTest, MedianSegmentLengthBelowTenGivesATenYearSpline) {
  // A median of 7 years taken as it is would be option 7, a different curve.
  EXPECT_EQ(Dialogue(Join({{"9"}, kChronologyDefaults}), [](drivers::ProgramRun& r) { r.options.MED = 7; }), -1);
  EXPECT_EQ(options_.NOPT, 10);
  EXPECT_EQ(Report(), "\nCURVE FIT OPTION:\nSPLINE FILTER IN YEARS (FIXED) .GE. 10:  OPT   10\n" + kChronologyDefaultEcho);
  EXPECT_EQ(Dialogue(Join({{"9"}, kChronologyDefaults}), [](drivers::ProgramRun& r) { r.options.MED = 10; }), -1);
  EXPECT_EQ(options_.NOPT, 10);
  EXPECT_EQ(Dialogue(Join({{"9"}, kChronologyDefaults}), [](drivers::ProgramRun& r) { r.options.MED = 11; }), -1);
  EXPECT_EQ(options_.NOPT, 11);
}

TEST_F(OptionDialogueTest, SuperSmootherAlphaAndSplineEndFollowUps) {
  EXPECT_EQ(Dialogue(Join({{"-5", "12", "9"}, kChronologyDefaults})), -1);
  EXPECT_EQ(options_.NOPT, -5);
  EXPECT_EQ(options_.alpha, 9);
  EXPECT_EQ(options_.ALPHA, 9.0f);
  EXPECT_EQ(Count(Transcript(), "Friedman tweeter not in admissible range"), 1);
  EXPECT_EQ(Count(Transcript(), "For the age-dependent spline"), 0);

  EXPECT_EQ(Dialogue(Join({{"8", " 40", "3", "1"}, kChronologyDefaults})), -1);
  EXPECT_EQ(options_.SPLSTF, 40);
  EXPECT_EQ(options_.SPLEND, 1);
  EXPECT_EQ(Count(Transcript(), "Choose your poison."), 2);
}

TEST_F(OptionDialogueTest, FirstRegionalCurvePassAsksStiffnessAndPithOffsetsNotTheMenu) {
  EXPECT_EQ(Dialogue(Join({{"-2", "", "F"}, kChronologyDefaults})), -1);
  EXPECT_EQ(Unread(), 0u);
  EXPECT_EQ(options_.NOPT, -2);
  EXPECT_EQ(options_.RCSFLG, 1);
  EXPECT_EQ(options_.SPLSTF, 10);
  EXPECT_EQ(options_.PITHFL, 0);
  EXPECT_EQ(Count(Transcript(), "Select RCS curve fit options:"), 0);
  EXPECT_EQ(Count(Transcript(), "Use a pith offset file? [T]rue or <[F]>alse"), 1);
  EXPECT_LT(Transcript().find("For using the age-dependent spline with RCS"), Transcript().find("Use a pith offset"));
  EXPECT_LT(Transcript().find("Use a pith offset"), Transcript().find("How to calculate the mean chronology"));
  EXPECT_EQ(Report(), "\nCURVE FIT OPTION:\nREGIONAL CURVE STANDARDIZATION (RCS):  OPT   -2\n" + kChronologyDefaultEcho);
}

TEST_F(OptionDialogueTest, RegionalCurveWhileTheEngineRedoIsPendingShowsTheMenuAgain) {
  // "x" at the menu goes back to the general menu; -2 there leads to the
  // menu again while RCSRDO is set; an accepted answer asks nothing more.
  EXPECT_EQ(Dialogue({"-2", "x", "-2", "-3", "5"}, [](drivers::ProgramRun& r) { r.restart.RCSRDO = 1; }), -1);
  EXPECT_EQ(Unread(), 0u);
  EXPECT_EQ(options_.NOPT, -3);
  EXPECT_EQ(options_.RCSWIN, 5);
  EXPECT_EQ(options_.RCSFLG, 1);
  EXPECT_EQ(Count(Transcript(), "General Curve fit options:"), 2);
  EXPECT_EQ(Count(Transcript(), "Select RCS curve fit options:"), 2);
  EXPECT_EQ(Count(Transcript(), "How to calculate the mean chronology"), 0);
  EXPECT_EQ(Count(Transcript(), "pith offset"), 0);
}

TEST_F(OptionDialogueTest, RedoEntryAcceptedAsksNothingMore) {
  EXPECT_EQ(Script({"-2", ""}, [](drivers::ProgramRun& r) { drivers::RcsRedoDialogue(r); },
                   [](drivers::ProgramRun& r) {
                     r.options.NOPT = -2;
                     r.restart.RCSRDO = 1;
                     r.options.RCSFLG = 1;
                   }),
            -1);
  EXPECT_EQ(Unread(), 0u);
  EXPECT_EQ(options_.NOPT, -2);
  EXPECT_EQ(options_.SPLSTF, 10);
  EXPECT_EQ(Report(), "");
  EXPECT_EQ(Count(Transcript(), "General Curve fit options:"), 0);
}

// A regional-curve run with pith offsets in use, the engine asking for
// another regional curve.
void RegionalCurveRedoPending(drivers::ProgramRun& r) {
  r.options.NOPT = -2;
  r.restart.RCSRDO = 1;
  r.options.RCSFLG = 1;
  r.options.PITHFL = 1;
  r.store.IPITH.assign(4, 0);
  r.store.IPITH[1] = 12;
  r.store.IPITH[2] = 30;
  r.store.IPITH[3] = 7;
}

TEST_F(OptionDialogueTest, RedoEntryWithNoIntegerRunsTheWholeDialogueAndLeavesRegionalCurveMode) {
  // "x", then the age-dependent spline: the engine must fit the spline the
  // report names, not code 8 of the regional-curve menu, and without the
  // pith offsets of the regional curve.
  EXPECT_EQ(Script(Join({{"x", "8", "", ""}, kChronologyDefaults}),
                   [](drivers::ProgramRun& r) { drivers::RcsRedoDialogue(r); }, RegionalCurveRedoPending),
            -1);
  EXPECT_EQ(Unread(), 0u);
  EXPECT_EQ(restart_.RCSRDO, 0);
  EXPECT_EQ(options_.NOPT, 8);
  EXPECT_EQ(options_.RCSFLG, 0);
  EXPECT_EQ(options_.PITHFL, 0);
  EXPECT_EQ(store_.IPITH, std::vector<int>(4, 0));
  EXPECT_EQ(Report(), "\nCURVE FIT OPTION:\nAGE-DEPENDENT SPLINE SMOOTHING AND START:  OPT    8   50\n" +
                          kChronologyDefaultEcho);

  // The regional curve chosen again at the general menu keeps the mode.
  EXPECT_EQ(Script({"x", "-2", "-4", "-20"}, [](drivers::ProgramRun& r) { drivers::RcsRedoDialogue(r); },
                   RegionalCurveRedoPending),
            -1);
  EXPECT_EQ(options_.NOPT, -4);
  EXPECT_EQ(options_.RCSWIN, -20);
  EXPECT_EQ(options_.RCSFLG, 1);
  EXPECT_EQ(options_.PITHFL, 1);
  EXPECT_EQ(store_.IPITH[2], 30);
}

TEST_F(OptionDialogueTest, BatchLeavesRegionalCurveModeWhenAnotherCodeIsChosen) {
  // A later data set of the batch program asks the curve fit again after a
  // regional-curve set: the general menu decides the mode every time.
  SetVariant(common::ProgramVariant::kBatch);
  EXPECT_EQ(Script({"6"}, [](drivers::ProgramRun& r) { drivers::AskCurveFit(r); },
                   [](drivers::ProgramRun& r) {
                     RegionalCurveRedoPending(r);
                     r.restart.RCSRDO = 0;
                   }),
            -1);
  EXPECT_EQ(options_.NOPT, 6);
  EXPECT_EQ(options_.RCSFLG, 0);
  EXPECT_EQ(options_.PITHFL, 0);
  EXPECT_EQ(store_.IPITH, std::vector<int>(4, 0));
}

TEST_F(OptionDialogueTest, ChronologyOptionsTypedAnswers) {
  EXPECT_EQ(Script({"7", "1", "50", "9", "-9", "-10", "1", "n"},
                   [](drivers::ProgramRun& r) { drivers::ChronologyOptions(r); }),
            -1);
  EXPECT_EQ(Unread(), 0u);
  EXPECT_EQ(options_.MEANMD, common::MeanMethod::kArithmetic);
  EXPECT_EQ(options_.IRBWIN, 51);
  EXPECT_EQ(options_.ISTAB, -10);
  EXPECT_EQ(options_.CONVTL, 0.0005f);
  EXPECT_EQ(options_.TARNYN, 'n');
  EXPECT_EQ(options_.MADJ, 'n');
  EXPECT_EQ(options_.MEDCNV, 'n');
  EXPECT_EQ(Count(Transcript(), "\n Mean index choice not admissible\n"), 1);
  EXPECT_EQ(Report(),
            "\nNON-ROBUST ARITHMETIC MEAN CHRONOLOGY CALCULATED:      1\n"
            "\nRUNNING RBAR WINDOW WIDTH FOR VARIANCE STABILIZATION:    51\n"
            "\nORIGINAL CONVERGENCE CRITERIA USED - MAY BE SLOWER TO CONVERGE\n\n"
            "FOR SPLINE AND FRIEDMAN FLEXIBLE CURVE FITS A COUNT-WEIGHTED CONVERGENCE CRITERION IS USED.\n"
            " REDUCES THE CHANCES OF EXCESSIVE SIGNAL FREE ITERATIONS.\n");
}

TEST_F(OptionDialogueTest, SkippedWindowDoesNotAskTheStabilisation) {
  // A negative window is refused (the engine sees only 0 or 25 and more);
  // an own convergence threshold of 0 is taken (a negative one shows the
  // convergence menu again).
  for (const std::vector<std::string>& window : {std::vector<std::string>{"0"}, std::vector<std::string>{"-4", "0"}}) {
    for (const char* own : {"0.25", "0"}) {
      EXPECT_EQ(Script(Join({{""}, window, {"3", own, "y"}}),
                       [](drivers::ProgramRun& r) { drivers::ChronologyOptions(r); },
                       [](drivers::ProgramRun& r) { r.options.ISTAB = 0; }),
                -1);
      EXPECT_EQ(Unread(), 0u) << window.size();
      EXPECT_EQ(options_.ISTAB, 0);
      EXPECT_EQ(options_.IRBWIN, 0);
      EXPECT_EQ(options_.CONVTL, std::stof(own));
      EXPECT_EQ(Count(Transcript(), "Additional spline variance stabilization?"), 0);
      EXPECT_NE(Report().find("\nRUNNING RBAR WINDOW WIDTH FOR VARIANCE STABILIZATION:     0\n"), std::string::npos);
    }
  }
}

TEST_F(OptionDialogueTest, SlashAndEndOfInputAtEveryQuestion) {
  const std::vector<std::string> full = {"8", "", "", "", "", "", "", ""};
  for (std::size_t n = 0; n < full.size(); ++n) {
    std::vector<std::string> prefix(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_EQ(Dialogue(prefix), 3) << n;
    EXPECT_EQ(Errors().empty(), false) << n;
    prefix.push_back("/");
    EXPECT_EQ(Dialogue(prefix), 0) << n;
    EXPECT_EQ(Errors(), "") << n;
  }
  EXPECT_EQ(Dialogue(full), -1);
}

TEST_F(OptionDialogueTest, BatchAsksTheCurveFitWithoutEchoAndKeepsTheChosenEnd) {
  // The batch program writes the echo for every data set itself, after the
  // pith offsets of a regional curve.
  SetVariant(common::ProgramVariant::kBatch);
  bool chosen = false;
  EXPECT_EQ(Script({"8", "40", "1"}, [&](drivers::ProgramRun& r) { chosen = drivers::AskCurveFit(r); }), -1);
  EXPECT_TRUE(chosen);
  EXPECT_EQ(Unread(), 0u);
  EXPECT_EQ(options_.SPLSTF, 40);
  EXPECT_EQ(options_.SPLEND, 1);
  EXPECT_EQ(options_.chosen_end, 1);
  EXPECT_EQ(Report(), "");
  EXPECT_EQ(Count(Transcript(), "How to calculate the mean chronology"), 0);
}

TEST_F(OptionDialogueTest, BatchEchoHeadingAndSplineLines) {
  struct Case {
    int NOPT, SPLSTF, SPLEND, alpha;
    std::string line;
  };
  const std::vector<Case> cases = {
      {8, 50, 0, 0, "AGE-DEPENDENT SPLINE WITH END INCREASING ALLOWED AND START:  OPT    8   50 YEARS\n"},
      {8, 30, 1, 0, "AGE-DEPENDENT SPLINE WITH NO END INCREASING ALLOWED AND START:  OPT    8   30 YEARS\n"},
      {-5, 50, 0, 3, "FRIEDMAN VARIABLE SPAN SMOOTHER AND ALPHA:  OPT   -5    3\n"},
      {120, 50, 0, 0, "SPLINE FILTER IN YEARS (FIXED) .GE. 10:  OPT  120\n"},
      {-2, 10, 0, 0, "REGIONAL CURVE STANDARDIZATION (RCS):  OPT   -2\n"},
      {5, 50, 0, 0, ""},
  };
  for (const Case& c : cases) {
    common::RunOptions o;
    o.NOPT = c.NOPT;
    o.SPLSTF = c.SPLSTF;
    o.SPLEND = c.SPLEND;
    o.alpha = c.alpha;
    EXPECT_EQ(
        Script({}, [&](drivers::ProgramRun& r) { drivers::EchoCurveFit(r.dialog, o, common::ProgramVariant::kBatch); }),
        -1);
    EXPECT_EQ(Report(), "\nCURVE FIT OPTION AT THE BEGINNING:\n" + c.line) << c.NOPT;
  }
}

}  // namespace
