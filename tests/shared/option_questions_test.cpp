// The option questions shared by both programs: menus letter for letter,
// defaults, re-asks, stops and report lines.
#include "apps/shared/option_questions.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/console.h"
#include "common/units.h"
#include "support/dialog_harness.h"
#include "support/text.h"

namespace {

using test_support::Count;

using common::ProgramVariant;

class OptionQuestionsTest : public ::testing::Test, public test_support::DialogHarness {
 protected:
  // Runs `body` on a dialogue scripted with `answers`; returns the stop
  // status, or -1 when `body` returned.
  int Script(std::vector<std::string> answers, const std::function<void(common::Dialog&)>& body) {
    return RunScript(std::move(answers), body);
  }
};

// `text` (from column 1) followed by blanks so that `code` starts at `column`.
std::string At(const std::string& text, std::size_t column, const std::string& code) {
  std::string line = text;
  while (line.size() + 1 < column) line += ' ';
  return line + code;
}
// A prompt line as the transcript shows it: "==> " at column 50, then the answer.
std::string P(const std::string& text, const std::string& answer) { return At(" " + text, 50, "==> ") + answer + "\n"; }

const std::string kGeneralMenu =
    "\n General Curve fit options:\n\n"
    " Spline percent N filter (variable)  .le.  -10\n" +
    At(" Friedman variable span smoother", 45, "-5") + "\n" +
    At(" Regional Curve Standardization (RCS)", 45, "-2") + "\n" +
    At(" Raw data average, followed by Opt 6", 46, "0") + "\n" + At(" Neg Expon/linear any slope", 46, "1") + "\n" +
    At(" Neg Expon/linear neg slope", 46, "2") + "\n" + At(" Linear regression any slope", 46, "3") + "\n" +
    At(" Linear regression neg slope", 46, "4") + "\n" + At(" Horizontal line through mean", 46, "6") + "\n" +
    At(" Age-dependent spline smoothing", 45, "<8>") + "\n" + At(" Median segment length spline", 46, "9") + "\n" +
    At(" Spline filter in years (fixed .ge. 10)", 45, "10") + "\n";

TEST_F(OptionQuestionsTest, GeneralMenuBlankIsEight) {
  int nopt = 0;
  EXPECT_EQ(Script({""}, [&](common::Dialog& d) { nopt = drivers::AskCurveFitOption(d); }), -1);
  EXPECT_EQ(nopt, 8);
  EXPECT_EQ(Transcript(), kGeneralMenu + P("Opt <8> is default, hit <RET> for it", ""));
  // The codes at their columns, counted independently of the helper above.
  EXPECT_NE(Transcript().find("\n Friedman variable span smoother            -5\n"), std::string::npos);
  EXPECT_NE(Transcript().find("\n Neg Expon/linear any slope                  1\n"), std::string::npos);
  EXPECT_EQ(Report(), "");
}

TEST_F(OptionQuestionsTest, GeneralMenuLeadingBlankTakenAsTypedAndTextAskedAgain) {
  int nopt = 0;
  EXPECT_EQ(Script({"x5", " 6"}, [&](common::Dialog& d) { nopt = drivers::AskCurveFitOption(d); }), -1);
  EXPECT_EQ(nopt, 6);
  EXPECT_EQ(Count(Transcript(), " General Curve fit options:"), 2);
  int neg = 0;
  EXPECT_EQ(Script({"-12"}, [&](common::Dialog& d) { neg = drivers::AskCurveFitOption(d); }), -1);
  EXPECT_EQ(neg, -12);
}

TEST_F(OptionQuestionsTest, GeneralMenuAsksAgainForCodesThatReachNoCurve) {
  // No per-series fit serves 5, 7, -1, -3, -4 or -6 to -9.
  int nopt = 0;
  const std::vector<std::string> refused = {"5", "7", "-1", "-3", "-4", "-6", "-7", "-8", "-9"};
  std::vector<std::string> answers = refused;
  answers.push_back("-11");
  EXPECT_EQ(Script(answers, [&](common::Dialog& d) { nopt = drivers::AskCurveFitOption(d); }), -1);
  EXPECT_EQ(nopt, -11);
  std::string expected;  // the menu again after each, without a message
  for (const std::string& a : answers) expected += kGeneralMenu + P("Opt <8> is default, hit <RET> for it", a);
  EXPECT_EQ(Transcript(), expected);
}

TEST_F(OptionQuestionsTest, SlashStopsAndEndOfInputStopsWithThree) {
  EXPECT_EQ(Script({"/"}, [](common::Dialog& d) { drivers::AskCurveFitOption(d); }), 0);
  EXPECT_EQ(Script({}, [](common::Dialog& d) { drivers::AskCurveFitOption(d); }), 3);
  EXPECT_EQ(Script({"/"}, [](common::Dialog& d) { drivers::AskFriedmanAlpha(d); }), 0);
  EXPECT_EQ(Script({"/"}, [](common::Dialog& d) { drivers::AskSplineEnd(d); }), 0);
  EXPECT_EQ(Script({"/"}, [](common::Dialog& d) { drivers::AskMeanMethodOnce(d); }), 0);
  EXPECT_EQ(Script({"/"}, [](common::Dialog& d) { drivers::AskRbarWindow(d); }), 0);
  EXPECT_EQ(Script({"/"}, [](common::Dialog& d) { drivers::AskStabilisation(d); }), 0);
  EXPECT_EQ(Script({"/"}, [](common::Dialog& d) { drivers::AskConvergence(d); }), 0);
  EXPECT_EQ(Script({"/"}, [](common::Dialog& d) { drivers::AskTarn(d); }), 0);
  EXPECT_EQ(Script({}, [](common::Dialog& d) { drivers::AskTarn(d); }), 3);
  EXPECT_EQ(Script({}, [](common::Dialog& d) { drivers::AskConvergence(d); }), 3);
  // "/" typed at the regional-curve menu's free-form read stops too.
  common::RunOptions o;
  EXPECT_EQ(Script({"/"}, [&](common::Dialog& d) { drivers::AskRcsOption(d, ProgramVariant::kInteractive, o); }), 0);
}

TEST_F(OptionQuestionsTest, EndOfInputAtTheRegionalCurveMenuAndItsQuestions) {
  common::RunOptions o;
  for (const std::vector<std::string>& answers : {std::vector<std::string>{}, std::vector<std::string>{"-5"},
                                                   std::vector<std::string>{"-4"}, std::vector<std::string>{"-3"},
                                                   std::vector<std::string>{"-2"}, std::vector<std::string>{"-3", "4"}}) {
    EXPECT_EQ(Script(answers, [&](common::Dialog& d) { drivers::AskRcsOption(d, ProgramVariant::kInteractive, o); }), 3)
        << answers.size();
    EXPECT_FALSE(Errors().empty());
  }
  // "/" at the menu's follow-up questions stops too.
  for (const char* code : {"-5", "-4", "-3", "-2"}) {
    EXPECT_EQ(Script({code, " /"}, [&](common::Dialog& d) { drivers::AskRcsOption(d, ProgramVariant::kInteractive, o); }),
              0)
        << code;
    EXPECT_TRUE(Errors().empty());
  }
}

const std::string kAlphaQuestion =
    "\n Enter the Friedman tweeter (alpha) 0-9\n An alpha=7 is suggested to begin with.\n"
    " It imparts moderate flexibility to the\n super smoother. Alpha=9 is the stiffest\n"
    " and alpha=0 is the most flexible curve.\n";

TEST_F(OptionQuestionsTest, FriedmanAlphaDefaultRangeAndMessage) {
  int alpha = -1;
  EXPECT_EQ(Script({""}, [&](common::Dialog& d) { alpha = drivers::AskFriedmanAlpha(d); }), -1);
  EXPECT_EQ(alpha, 7);
  EXPECT_EQ(Transcript(), kAlphaQuestion + P("Enter your value, hit <RET> for 7", ""));

  EXPECT_EQ(Script({"10", "-1", "0"}, [&](common::Dialog& d) { alpha = drivers::AskFriedmanAlpha(d); }), -1);
  EXPECT_EQ(alpha, 0);
  EXPECT_EQ(Transcript(), kAlphaQuestion + P("Enter your value, hit <RET> for 7", "10") +
                              "\n Friedman tweeter not in admissible range\n" + kAlphaQuestion +
                              P("Enter your value, hit <RET> for 7", "-1") +
                              "\n Friedman tweeter not in admissible range\n" + kAlphaQuestion +
                              P("Enter your value, hit <RET> for 7", "0"));
}

TEST_F(OptionQuestionsTest, SplineStiffnessDefaultUncheckedAndReasked) {
  int stiff = 0;
  EXPECT_EQ(Script({""}, [&](common::Dialog& d) { stiff = drivers::AskSplineStiffness(d); }), -1);
  EXPECT_EQ(stiff, 50);
  EXPECT_EQ(Transcript(),
            "\n For the age-dependent spline you must\n enter a starting spline stiffness. For\n"
            " detrending individual series, an initial\n value that appears work well is 50 yrs.\n" +
                P("Enter your value, hit <RET> for 50", ""));
  EXPECT_EQ(Script({"abc", " 3"}, [&](common::Dialog& d) { stiff = drivers::AskSplineStiffness(d); }), -1);
  EXPECT_EQ(stiff, 3);
  EXPECT_EQ(Count(Transcript(), "For the age-dependent spline you must"), 2);
  // A stiffness below 1 is asked again.
  EXPECT_EQ(Script({"-7", "0", "1"}, [&](common::Dialog& d) { stiff = drivers::AskSplineStiffness(d); }), -1);
  EXPECT_EQ(stiff, 1);
  EXPECT_EQ(Count(Transcript(), "For the age-dependent spline you must"), 3);
}

TEST_F(OptionQuestionsTest, SplineEndOnlyZeroOrOneSilently) {
  int end = -1;
  EXPECT_EQ(Script({"2", "q", "1"}, [&](common::Dialog& d) { end = drivers::AskSplineEnd(d); }), -1);
  EXPECT_EQ(end, 1);
  const std::string question =
      "\n The end of the age-dependent spline will\n increase to follow the ring widths. This\n"
      " may reduce the potential for end-effect\n bias in the final chronology, but it may\n"
      " also result in the loss of signal due to\n e.g. climate warming. You can force the\n"
      " spline to not increase at the end if you\n think you know best. Choose your poison.\n" +
      At(" Allow the spline to incease at the end", 45, "<0>") + "\n";
  const std::string prompt = At(At(" Force the spline to be non-increasing", 46, "1"), 50, "==> ");
  EXPECT_EQ(Transcript(), question + prompt + "2\n" + question + prompt + "q\n" + question + prompt + "1\n");
  EXPECT_EQ(Script({""}, [&](common::Dialog& d) { end = drivers::AskSplineEnd(d); }), -1);
  EXPECT_EQ(end, 0);
}

TEST_F(OptionQuestionsTest, RcsStiffnessDefaultTen) {
  int stiff = 0;
  EXPECT_EQ(Script({""}, [&](common::Dialog& d) { stiff = drivers::AskRcsStiffness(d); }), -1);
  EXPECT_EQ(stiff, 10);
  EXPECT_EQ(Transcript(),
            "\n For using the age-dependent spline with RCS\n enter an initial spline stiffness to smooth\n"
            " the mean biologically aged-aligned tree rings.\n A suggested initial value to try is 10 yrs.\n" +
                P("Enter your value, hit <RET> for 10", ""));
  EXPECT_EQ(Script({"0", "-10", " 2"}, [&](common::Dialog& d) { stiff = drivers::AskRcsStiffness(d); }), -1);
  EXPECT_EQ(stiff, 2);
  EXPECT_EQ(Count(Transcript(), "For using the age-dependent spline with RCS"), 3);
}

std::string RcsMenu(const std::string& minus_two) {
  return "\n Select RCS curve fit options:\n\n"
         "    -5:  friedman super smoother        lower alpha (0-9) gives more local fit\n"
         "    -4:  robust lowess smoother         integer percent of series length <Not Yet>\n"
         "    -3:  median smoothing               must have odd window length <full length only>\n"
         "  " + minus_two + "\n"
         "     1:  neg expon curve, no = opt 4    f(i) = a*exp(-b*t(i)) + d    (d>0)\n"
         "     2:  neg expon curve, no = opt 5    f(i) = a*exp(-b*t(i)) + d    (d>0)\n"
         "     3:  neg expon curve  (general)     f(i) = a*exp(-b*t(i+p)) + d (any d)\n"
         "     4:  linear regression (any slope)  f(i) = +/-c*t(i) + d\n"
         "     5:  linear regression (neg slope)  f(i) = -c*t(i) + d   \n"
         "     6:  horizontal line through mean   f(i) = mean(y(i)) = d\n"
         "     7:  hugershoff growth function     f(i) = a*t(i+p)**b * exp(-c*t(i+p)) + d\n"
         "     8:  general exponential (b = 1)    f(i) = a*t(i+p)**b * exp(-c*t(i+p)) + d\n"
         "    >9: cubic smoothing spline         fixed 50 pct variance cutoff\n"
         "   <-9: cubic smoothing spline         pct n 50 pct variance cutoff\n"
         "\n enter  option  (x to start over)  ==> ";
}

TEST_F(OptionQuestionsTest, RcsMenuTextAndAnswerThatIsNoInteger) {
  common::RunOptions o;
  bool accepted = true;
  EXPECT_EQ(Script({"x"}, [&](common::Dialog& d) { accepted = drivers::AskRcsOption(d, ProgramVariant::kInteractive, o); }),
            -1);
  EXPECT_FALSE(accepted);
  EXPECT_EQ(Transcript(), RcsMenu("  -2:  Age-dependent spline smoothing") + "x\n");
  EXPECT_EQ(o.NOPT, 8);  // untouched
  EXPECT_EQ(Report(), "");
}

TEST_F(OptionQuestionsTest, RcsMenuMedianWindowMustBeOddThreeOrMoreOrAPercentage) {
  common::RunOptions o;
  bool accepted = false;
  EXPECT_EQ(Script({"-3", "4", "-3", "-101", "-3", "1", "-3", "5"},
                   [&](common::Dialog& d) { accepted = drivers::AskRcsOption(d, ProgramVariant::kInteractive, o); }),
            -1);
  EXPECT_TRUE(accepted);
  EXPECT_EQ(Unread(), 0u);
  EXPECT_EQ(o.NOPT, -3);
  EXPECT_EQ(o.RCSWIN, 5);
  EXPECT_EQ(Count(Transcript(), "Select RCS curve fit options:"), 4);
  const std::string question =
      "\n enter the median window width\n fixed for all series: a positive odd integer >2\n"
      " and less then the shortest series length, or\n percent of series length: a negative integer\n" +
      At(" between -1 and -100, inclusive", 45, "==> ") + "5\n";
  EXPECT_TRUE(Transcript().ends_with(question)) << Transcript();

  EXPECT_EQ(Script({"-3", "-50"}, [&](common::Dialog& d) { drivers::AskRcsOption(d, ProgramVariant::kInteractive, o); }),
            -1);
  EXPECT_EQ(o.RCSWIN, -50);
}

TEST_F(OptionQuestionsTest, RcsMenuLowessWindow) {
  common::RunOptions o;
  EXPECT_EQ(Script({"-4", "2", "-4", "4"},
                   [&](common::Dialog& d) { drivers::AskRcsOption(d, ProgramVariant::kInteractive, o); }),
            -1);
  EXPECT_EQ(o.NOPT, -4);
  EXPECT_EQ(o.RCSWIN, 4);  // even is fine for lowess
  EXPECT_NE(Transcript().find("\n enter the lowess window width\n fixed for all series: a positive integer >2\n"),
            std::string::npos);
  EXPECT_EQ(Count(Transcript(), "Select RCS curve fit options:"), 2);
  EXPECT_EQ(Script({"-4", "-100"}, [&](common::Dialog& d) { drivers::AskRcsOption(d, ProgramVariant::kInteractive, o); }),
            -1);
  EXPECT_EQ(o.RCSWIN, -100);
}

TEST_F(OptionQuestionsTest, RcsMenuSuperSmootherStiffnessAndOtherCodes) {
  common::RunOptions o;
  EXPECT_EQ(Script({"-5", "12", ""}, [&](common::Dialog& d) { drivers::AskRcsOption(d, ProgramVariant::kInteractive, o); }),
            -1);
  EXPECT_EQ(o.NOPT, -5);
  EXPECT_EQ(o.alpha, 7);
  EXPECT_FLOAT_EQ(o.ALPHA, 7.0f);
  EXPECT_EQ(o.RCSWIN, 7);
  EXPECT_NE(Transcript().find("\n Friedman tweeter not in admissible range\n"), std::string::npos);

  EXPECT_EQ(Script({"-2", " 20"}, [&](common::Dialog& d) { drivers::AskRcsOption(d, ProgramVariant::kInteractive, o); }),
            -1);
  EXPECT_EQ(o.NOPT, -2);
  EXPECT_EQ(o.SPLSTF, 20);

  EXPECT_EQ(Script({"7"}, [&](common::Dialog& d) { drivers::AskRcsOption(d, ProgramVariant::kInteractive, o); }), -1);
  EXPECT_EQ(o.NOPT, 7);
  EXPECT_EQ(Script({"-30"}, [&](common::Dialog& d) { drivers::AskRcsOption(d, ProgramVariant::kInteractive, o); }), -1);
  EXPECT_EQ(o.NOPT, -30);
  EXPECT_EQ(o.RCSWIN, 7);  // kept
}

TEST_F(OptionQuestionsTest, RcsMenuAsksAgainForCodesWithoutARegionalFit) {
  // detrnd fits nothing of its own for 0, 9 and -6 to -9; -1 (differences)
  // and -10 (a spline) are fits.
  for (const char* last : {"-1", "-10"}) {
    common::RunOptions o;
    bool accepted = false;
    EXPECT_EQ(Script({"0", "9", "-6", "-7", "-8", "-9", last},
                     [&](common::Dialog& d) { accepted = drivers::AskRcsOption(d, ProgramVariant::kInteractive, o); }),
              -1);
    EXPECT_TRUE(accepted);
    EXPECT_EQ(Unread(), 0u);
    EXPECT_EQ(o.NOPT, std::stoi(last));
    std::string expected;
    for (const char* a : {"0", "9", "-6", "-7", "-8", "-9", last}) {
      expected += RcsMenu("  -2:  Age-dependent spline smoothing") + a + "\n";
    }
    EXPECT_EQ(Transcript(), expected);
  }
}

TEST_F(OptionQuestionsTest, RcsMenuBatchTexts) {
  common::RunOptions o;
  EXPECT_EQ(Script({"-4", "9"}, [&](common::Dialog& d) { drivers::AskRcsOption(d, ProgramVariant::kBatch, o); }), -1);
  EXPECT_TRUE(Transcript().starts_with(RcsMenu("  -2:  age-dependent spline smoothing"))) << Transcript();
  EXPECT_NE(Transcript().find("\n Enter the lowess window width\n"), std::string::npos);
  EXPECT_EQ(o.RCSWIN, 9);
}

const std::string kMeanMenu = "\n How to calculate the mean chronology (/ to stop):\n" +
                              At(" Non-robust arithmetic mean", 39, " 1 ") + "\n" +
                              At(" Robust Tukey biweight mean", 39, "<2>") + "\n";

TEST_F(OptionQuestionsTest, MeanMethodFirstCharacterCounts) {
  std::optional<common::MeanMethod> mean;
  EXPECT_EQ(Script({""}, [&](common::Dialog& d) { mean = drivers::AskMeanMethodOnce(d); }), -1);
  EXPECT_EQ(mean, common::MeanMethod::kBiweight);
  EXPECT_EQ(Transcript(), kMeanMenu + P("Robust is default, hit <RET> if you want it", ""));
  EXPECT_EQ(Script({"12"}, [&](common::Dialog& d) { mean = drivers::AskMeanMethodOnce(d); }), -1);
  EXPECT_EQ(mean, common::MeanMethod::kArithmetic);
  EXPECT_EQ(Script({"3"}, [&](common::Dialog& d) { mean = drivers::AskMeanMethodOnce(d); }), -1);
  EXPECT_EQ(mean, std::nullopt);
  EXPECT_TRUE(Transcript().ends_with("==> 3\n\n Mean index choice not admissible\n"));
  // A leading blank: the answer is taken as typed, not as the default.
  EXPECT_EQ(Script({" 1"}, [&](common::Dialog& d) { mean = drivers::AskMeanMethodOnce(d); }), -1);
  EXPECT_EQ(mean, common::MeanMethod::kArithmetic);
}

TEST_F(OptionQuestionsTest, MeanAndWindowEchoLines) {
  EXPECT_EQ(Script({},
                   [](common::Dialog& d) {
                     drivers::EchoMeanMethod(d, common::MeanMethod::kArithmetic);
                     drivers::EchoMeanMethod(d, common::MeanMethod::kBiweight);
                     drivers::EchoRbarWindow(d, 51);
                     drivers::EchoRbarWindow(d, 0);
                   }),
            -1);
  EXPECT_EQ(Report(),
            "\nNON-ROBUST ARITHMETIC MEAN CHRONOLOGY CALCULATED:      1\n"
            "\nTUKEY ROBUST BIWEIGHT MEAN CHRONOLOGY CALCULATED:      2\n"
            "\nRUNNING RBAR WINDOW WIDTH FOR VARIANCE STABILIZATION:    51\n"
            "\nRUNNING RBAR WINDOW WIDTH FOR VARIANCE STABILIZATION:     0\n");
  EXPECT_EQ(Transcript(), "");
}

const std::string kWindowQuestion =
    "\n Enter running RBAR window width for variance\n stabilization. Must be .ge. 25 years and odd.\n";
const std::string kWindowPrompt = "Default window width is 51 years, 0 to skip";

TEST_F(OptionQuestionsTest, WindowDefaultOddAndRejected) {
  int w = -1;
  EXPECT_EQ(Script({""}, [&](common::Dialog& d) { w = drivers::AskRbarWindow(d); }), -1);
  EXPECT_EQ(w, 51);
  EXPECT_EQ(Transcript(), kWindowQuestion + P(kWindowPrompt, ""));

  EXPECT_EQ(Script({"24", "5O", "50"}, [&](common::Dialog& d) { w = drivers::AskRbarWindow(d); }), -1);
  EXPECT_EQ(w, 51);
  EXPECT_EQ(Transcript(), kWindowQuestion + P(kWindowPrompt, "24") + "\n Running RBAR window width must be .ge. 25\n" +
                              kWindowQuestion + P(kWindowPrompt, "5O") + kWindowQuestion + P(kWindowPrompt, "50") +
                              "\n Running RBAR window width increased to make it odd:    51\n");

  EXPECT_EQ(Script({"25"}, [&](common::Dialog& d) { w = drivers::AskRbarWindow(d); }), -1);
  EXPECT_EQ(w, 25);
  EXPECT_EQ(Transcript(), kWindowQuestion + P(kWindowPrompt, "25"));

  EXPECT_EQ(Script({"0"}, [&](common::Dialog& d) { w = drivers::AskRbarWindow(d); }), -1);
  EXPECT_EQ(w, 0);
  EXPECT_TRUE(Transcript().ends_with("==> 0\n\n Running RBAR variance stabilization skipped\n"));

  // A negative window is refused as a short one is.
  EXPECT_EQ(Script({"-4", "-51", "27"}, [&](common::Dialog& d) { w = drivers::AskRbarWindow(d); }), -1);
  EXPECT_EQ(w, 27);
  EXPECT_EQ(Transcript(), kWindowQuestion + P(kWindowPrompt, "-4") + "\n Running RBAR window width must be .ge. 25\n" +
                              kWindowQuestion + P(kWindowPrompt, "-51") +
                              "\n Running RBAR window width must be .ge. 25\n" + kWindowQuestion +
                              P(kWindowPrompt, "27"));
}

TEST_F(OptionQuestionsTest, StabilisationRefusesTwoToNineSilently) {
  int s = 0;
  EXPECT_EQ(Script({"9", "-9", "2", "-1", "10"}, [&](common::Dialog& d) { s = drivers::AskStabilisation(d); }), -1);
  EXPECT_EQ(s, 10);
  const std::string question = "\n Additional spline variance stabilization?\n" +
                               At(" No additional spline stabilization", 39, " 0 ") + "\n" +
                               At(" Age-dependent spline stabilization", 39, "<1>") + "\n" +
                               At(" Smoothing spline (percent N cutoff)", 39, "<-9") + "\n" +
                               At(At(" Smoothing spline (fixed Yrs cutoff)", 39, ">+9"), 50, "==> ");
  EXPECT_EQ(Transcript(), question + "9\n" + question + "-9\n" + question + "2\n" + question + "-1\n" + question +
                              "10\n");
  EXPECT_EQ(Script({"-10"}, [&](common::Dialog& d) { s = drivers::AskStabilisation(d); }), -1);
  EXPECT_EQ(s, -10);
  EXPECT_EQ(Script({""}, [&](common::Dialog& d) { s = drivers::AskStabilisation(d); }), -1);
  EXPECT_EQ(s, 1);
  EXPECT_EQ(Script({"0"}, [&](common::Dialog& d) { s = drivers::AskStabilisation(d); }), -1);
  EXPECT_EQ(s, 0);
  EXPECT_EQ(Report(), "");
}

const std::string kConvergenceMenu =
    "\n Enter the signal free convergence test\n based on minimizing the mean absolute\n"
    " differences between the current and\n preceeding chronologies:   \n"
    "   Original Dorran setting   1  0.0005\n   Current default setting  <2> 0.0001\n";
const std::string kConvergencePrompt = "  **** Roll Your Own ****   3  X.XXXX";

TEST_F(OptionQuestionsTest, ConvergenceChoices) {
  float c = 0.0f;
  EXPECT_EQ(Script({""}, [&](common::Dialog& d) { c = drivers::AskConvergence(d); }), -1);
  EXPECT_EQ(c, 0.0001f);
  EXPECT_EQ(Transcript(), kConvergenceMenu + P(kConvergencePrompt, ""));
  EXPECT_EQ(Script({"1"}, [&](common::Dialog& d) { c = drivers::AskConvergence(d); }), -1);
  EXPECT_EQ(c, 0.0005f);
  EXPECT_EQ(Script({"2"}, [&](common::Dialog& d) { c = drivers::AskConvergence(d); }), -1);
  EXPECT_EQ(c, 0.0001f);
  // A leading blank: the answer is taken as typed, not as the default.
  EXPECT_EQ(Script({"  1"}, [&](common::Dialog& d) { c = drivers::AskConvergence(d); }), -1);
  EXPECT_EQ(c, 0.0005f);
  EXPECT_EQ(Script({"9", "3", "abc", "3", "0.002"}, [&](common::Dialog& d) { c = drivers::AskConvergence(d); }), -1);
  EXPECT_EQ(c, 0.002f);
  EXPECT_EQ(Transcript(), kConvergenceMenu + P(kConvergencePrompt, "9") + kConvergenceMenu +
                              P(kConvergencePrompt, "3") + "\n" + P("Okay, enter YOUR convergence test", "abc") +
                              kConvergenceMenu + P(kConvergencePrompt, "3") + "\n" +
                              P("Okay, enter YOUR convergence test", "0.002"));
  EXPECT_EQ(Report(), "");
}

TEST_F(OptionQuestionsTest, ATypedThresholdTheReportCannotShowIsAskedAgain) {
  // The final iteration line shows the threshold as f6.4: 10 would print
  // as asterisks; below 0 no difference can ever reach it.
  float c = 0.0f;
  EXPECT_EQ(Script({"3", "10", "3", "-0.5", "3", "9.9999"},
                   [&](common::Dialog& d) { c = drivers::AskConvergence(d); }),
            -1);
  EXPECT_EQ(c, 9.9999f);
}

const std::string kTarnQuestion =
    "\n Use TARN signal free convergence tweaks?\n Set each chronology mean to exactly 1.0\n"
    " and use the more robust median absolute\n differences instead of mean absolute\n"
    " differences for signal free convergence.\n";
const std::string kTarnPrompt = "Enter <y>/n (default is y for YES, / to exit)";

TEST_F(OptionQuestionsTest, TarnAnswers) {
  char t = ' ';
  EXPECT_EQ(Script({""}, [&](common::Dialog& d) { t = drivers::AskTarn(d); }), -1);
  EXPECT_EQ(t, 'y');
  EXPECT_EQ(Transcript(), kTarnQuestion + P(kTarnPrompt, ""));
  EXPECT_EQ(Script({"N"}, [&](common::Dialog& d) { t = drivers::AskTarn(d); }), -1);
  EXPECT_EQ(t, 'n');
  EXPECT_EQ(Script({"q", "Y"}, [&](common::Dialog& d) { t = drivers::AskTarn(d); }), -1);
  EXPECT_EQ(t, 'y');
  EXPECT_EQ(Transcript(),
            kTarnQuestion + P(kTarnPrompt, "q") + "\n Answer not entered as y or n\n" + kTarnQuestion + P(kTarnPrompt, "Y"));
}

TEST_F(OptionQuestionsTest, TarnEchoLines) {
  EXPECT_EQ(Script({}, [](common::Dialog& d) { drivers::EchoTarn(d, 'y'); }), -1);
  EXPECT_EQ(Report(),
            "\nTARN CONVERGENCE CRITERIA USED - SHOULD BE FASTER TO CONVERGE\n\n"
            "FOR SPLINE AND FRIEDMAN FLEXIBLE CURVE FITS A COUNT-WEIGHTED CONVERGENCE CRITERION IS USED.\n"
            "THIS SPEEDS CONVERGENCE AND REDUCES THE CHANCES OF EXCESSIVE SIGNAL FREE ITERATIONS.\n");
  EXPECT_EQ(Script({}, [](common::Dialog& d) { drivers::EchoTarn(d, 'n'); }), -1);
  EXPECT_EQ(Report(),
            "\nORIGINAL CONVERGENCE CRITERIA USED - MAY BE SLOWER TO CONVERGE\n\n"
            "FOR SPLINE AND FRIEDMAN FLEXIBLE CURVE FITS A COUNT-WEIGHTED CONVERGENCE CRITERION IS USED.\n"
            " REDUCES THE CHANCES OF EXCESSIVE SIGNAL FREE ITERATIONS.\n");
}

}  // namespace
