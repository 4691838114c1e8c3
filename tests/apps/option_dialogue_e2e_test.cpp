// The curve-fit and chronology options end to end through the real kestrane
// on the archive file indi005.rwl (four series in hundredths: LI016
// 1732-1980, 249 years; LI020 1744-1980, 237; LI017 1789-1980, 192; LI022
// 1794-1980, 187).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/decade_files.h"
#include "support/e2e.h"
#include "support/text.h"

namespace {

using test_support::Count;
using test_support::Has;
using test_support::Join;

const std::string kReport = "data_out_vKestrane_2019.txt";
// After the options the engine starts; its first question is the menu of
// the mean segment length plot, where "/" ends the run.
const std::string kClosing = std::string(15, ' ') + " enter option number > ";

// Blank answers to mean, window, stabilisation, convergence and TARN, then
// "/" at the engine's first plot menu; the report lines they give, and the
// first run's constant line that follows them.
const std::vector<std::string> kChronologyDefaults = {"", "", "", "", "", "/"};
const std::string kChronologyDefaultEcho =
    "\nTUKEY ROBUST BIWEIGHT MEAN CHRONOLOGY CALCULATED:      2\n"
    "\nRUNNING RBAR WINDOW WIDTH FOR VARIANCE STABILIZATION:    51\n"
    "\nTARN CONVERGENCE CRITERIA USED - SHOULD BE FASTER TO CONVERGE\n\n"
    "FOR SPLINE AND FRIEDMAN FLEXIBLE CURVE FITS A COUNT-WEIGHTED CONVERGENCE CRITERION IS USED.\n"
    "THIS SPEEDS CONVERGENCE AND REDUCES THE CHANCES OF EXCESSIVE SIGNAL FREE ITERATIONS.\n";
const std::string kFirstRun = "\nCONSTANT ADDED TO ALL MEASUREMENTS TO AID CONVERGENCE(?):        0.000\n";

// Reads data.rwl through the decade menu option, takes ratios, then gives
// `answers` from the series processing menu on.
e2e::Result RunWith(e2e::Sandbox& box, std::vector<std::string> answers) {
  box.CopyData("censor_indi005.rwl", "data.rwl");
  answers.insert(answers.begin(), {"data.rwl", "1", "R"});
  return box.Run(e2e::Kestrane(), answers);
}

TEST(OptionDialogueEndToEnd, NonRegionalOptionThenDefaults) {
  e2e::Sandbox box;
  const e2e::Result r = RunWith(box, Join({{"1", "3"}, kChronologyDefaults}));
  EXPECT_EQ(r.status, 0) << r.screen;
  EXPECT_TRUE(r.screen.ends_with(kClosing)) << r.screen;
  EXPECT_EQ(Count(r.screen, " General Curve fit options:"), 1);
  EXPECT_FALSE(Has(r.screen, "For the age-dependent spline"));
  EXPECT_FALSE(Has(r.screen, "pith offset"));
  EXPECT_TRUE(Has(r.screen, "Use TARN signal free convergence tweaks?"));
  const std::string report = box.Read(kReport);
  EXPECT_TRUE(report.ends_with("\n\nCURVE FIT OPTION:\nLINEAR REGRESSION ANY SLOPE:  OPT    3\n" + kChronologyDefaultEcho + kFirstRun))
      << report;
  EXPECT_TRUE(r.errors.empty());
}

TEST(OptionDialogueEndToEnd, LeadingBlankTakenAsTypedAndTextAskedAgain) {
  e2e::Sandbox box;
  const e2e::Result r = RunWith(box, Join({{"1", "four", " 4"}, kChronologyDefaults}));
  EXPECT_EQ(r.status, 0) << r.screen;
  EXPECT_EQ(Count(r.screen, " General Curve fit options:"), 2);
  EXPECT_TRUE(box.Read(kReport).ends_with("\n\nCURVE FIT OPTION:\nLINEAR REGRESSION NEG SLOPE:  OPT    4\n" +
                                          kChronologyDefaultEcho + kFirstRun));
}

TEST(OptionDialogueEndToEnd, SuperSmootherAlpha) {
  e2e::Sandbox box;
  const e2e::Result r = RunWith(box, Join({{"1", "-5", "10", "4"}, kChronologyDefaults}));
  EXPECT_EQ(r.status, 0) << r.screen;
  EXPECT_EQ(Count(r.screen, "\n Friedman tweeter not in admissible range\n"), 1) << r.screen;
  EXPECT_EQ(Count(r.screen, " Enter the Friedman tweeter (alpha) 0-9\n"), 2);
  EXPECT_TRUE(box.Read(kReport).ends_with(
      "\n\nCURVE FIT OPTION:\nFRIEDMAN VARIABLE SPAN SMOOTHER AND ALPHA:  OPT   -5    4\n" + kChronologyDefaultEcho + kFirstRun));
}

TEST(OptionDialogueEndToEnd, AgeDependentSplineStiffnessAndEndFlag) {
  e2e::Sandbox box;
  const e2e::Result r = RunWith(box, Join({{"1", "", "30", "2", "1"}, kChronologyDefaults}));
  EXPECT_EQ(r.status, 0) << r.screen;
  EXPECT_EQ(Count(r.screen, " For the age-dependent spline you must\n"), 1);
  EXPECT_EQ(Count(r.screen, " think you know best. Choose your poison.\n"), 2);  // 2 is asked again
  EXPECT_TRUE(box.Read(kReport).ends_with(
      "\n\nCURVE FIT OPTION:\nAGE-DEPENDENT SPLINE SMOOTHING AND START:  OPT    8   30\n" + kChronologyDefaultEcho + kFirstRun));
}

TEST(OptionDialogueEndToEnd, MedianSegmentLengthOfTheWholeSet) {
  // Lengths 249, 237, 192, 187: median 214.5, integer part 214.
  e2e::Sandbox box;
  const e2e::Result r = RunWith(box, Join({{"1", "9"}, kChronologyDefaults}));
  EXPECT_EQ(r.status, 0) << r.screen;
  EXPECT_TRUE(box.Read(kReport).ends_with(
      "\n\nCURVE FIT OPTION:\nSPLINE FILTER IN YEARS (FIXED) .GE. 10:  OPT  214\n" + kChronologyDefaultEcho + kFirstRun));
}

TEST(OptionDialogueEndToEnd, MedianSegmentLengthOfTheCensoredSet) {
  // Starting in 1750 or later: LI017 (192) and LI022 (187); median 189.5.
  e2e::Sandbox box;
  const e2e::Result r = RunWith(box, Join({{"4", "1750", "9"}, kChronologyDefaults}));
  EXPECT_EQ(r.status, 0) << r.screen;
  EXPECT_TRUE(box.Read(kReport).ends_with(
      "\n\nCURVE FIT OPTION:\nSPLINE FILTER IN YEARS (FIXED) .GE. 10:  OPT  189\n" + kChronologyDefaultEcho + kFirstRun));
}

TEST(OptionDialogueEndToEnd, RegionalCurveWithPithOffsetFile) {
  // gp_pith_offsets.txt holds 58 offsets; the data set has 58 series. A
  // stiffness of 0 is asked again; " T" is taken as typed.
  e2e::Sandbox box;
  box.Put("gp.rwl", test_support::DecadeSet("GP", 58, 1900, 60));
  box.CopyData("gp_pith_offsets.txt", "pith.txt");
  const std::vector<std::string> answers = {"gp.rwl", "1", "R", "1", "-2", "0", "", "  T", "pith.txt", "1", "0"};
  const e2e::Result r = box.Run(e2e::Kestrane(), Join({answers, kChronologyDefaults}));
  EXPECT_EQ(r.status, 0) << r.screen;
  EXPECT_TRUE(Has(r.screen, " Total series read in:           58  1900  1959    60\n")) << r.screen;
  EXPECT_EQ(Count(r.screen, " For using the age-dependent spline with RCS\n"), 2);
  EXPECT_TRUE(Has(r.screen, "\n Reading offset file: pith.txt\n")) << r.screen;
  EXPECT_FALSE(Has(r.screen, "Select RCS curve fit options:"));
  EXPECT_FALSE(Has(r.screen, "There was an error reading the pith offset"));
  EXPECT_TRUE(r.screen.ends_with(kClosing));
  EXPECT_TRUE(box.Read("gp_out_vKestrane_2019.txt")
                  .ends_with("\n\nCURVE FIT OPTION:\nREGIONAL CURVE STANDARDIZATION (RCS):  OPT   -2\n" +
                             kChronologyDefaultEcho + kFirstRun));
}

TEST(OptionDialogueEndToEnd, ChronologyOptionsTyped) {
  e2e::Sandbox box;
  const e2e::Result r = RunWith(box, {"1", "6", "x", "1", "24", "50", "9", "-10", "3", "0.001", "N", "/"});
  EXPECT_EQ(r.status, 0) << r.screen;
  EXPECT_EQ(Count(r.screen, "\n Mean index choice not admissible\n"), 1) << r.screen;
  EXPECT_EQ(Count(r.screen, "\n Running RBAR window width must be .ge. 25\n"), 1);
  EXPECT_EQ(Count(r.screen, "\n Running RBAR window width increased to make it odd:    51\n"), 1);
  EXPECT_EQ(Count(r.screen, " Additional spline variance stabilization?\n"), 2);
  EXPECT_TRUE(Has(r.screen, " Okay, enter YOUR convergence test"));
  EXPECT_TRUE(box.Read(kReport).ends_with(
      "\n\nCURVE FIT OPTION:\nHORIZONTAL LINE THROUGH MEAN:  OPT    6\n"
      "\nNON-ROBUST ARITHMETIC MEAN CHRONOLOGY CALCULATED:      1\n"
      "\nRUNNING RBAR WINDOW WIDTH FOR VARIANCE STABILIZATION:    51\n"
      "\nORIGINAL CONVERGENCE CRITERIA USED - MAY BE SLOWER TO CONVERGE\n\n"
      "FOR SPLINE AND FRIEDMAN FLEXIBLE CURVE FITS A COUNT-WEIGHTED CONVERGENCE CRITERION IS USED.\n"
      " REDUCES THE CHANCES OF EXCESSIVE SIGNAL FREE ITERATIONS.\n" +
      kFirstRun))
      << box.Read(kReport);
}

TEST(OptionDialogueEndToEnd, SlashAtAnOptionQuestionEndsSilently) {
  e2e::Sandbox box;
  const e2e::Result r = RunWith(box, {"1", "1", "", "/"});
  EXPECT_EQ(r.status, 0) << r.screen;
  EXPECT_TRUE(r.screen.ends_with("Default window width is 51 years, 0 to skip     ==> ")) << r.screen;
  EXPECT_TRUE(r.errors.empty());
}

TEST(OptionDialogueEndToEnd, EndOfInputAtEachQuestionStopsWithStatusThree) {
  const std::vector<std::vector<std::string>> cases = {
      {"1"},                             // general menu
      {"1", "-5"},                       // alpha
      {"1", "8"},                        // stiffness
      {"1", "8", ""},                    // end flag
      {"1", "-2"},                       // regional-curve stiffness
      {"1", "-2", ""},                   // pith offset question
      {"1", "-2", "", "T"},              // pith offset file name
      {"1", "1"},                        // mean
      {"1", "1", ""},                    // window
      {"1", "1", "", ""},                // stabilisation
      {"1", "1", "", "", ""},            // convergence
      {"1", "1", "", "", "", "3"},       // own convergence value
      {"1", "1", "", "", "", ""},        // TARN
  };
  for (const std::vector<std::string>& answers : cases) {
    e2e::Sandbox box;
    const e2e::Result r = RunWith(box, answers);
    EXPECT_EQ(r.status, 3) << answers.size() << "\n" << r.screen;
    EXPECT_FALSE(r.errors.empty()) << answers.size();
    EXPECT_FALSE(Has(r.screen, kClosing));
  }
}

}  // namespace
