// Numbers the engine could not use, end to end through the real programs:
// pith offsets the regional curve cannot hold, and typed stiffnesses,
// spline codes, windows and regional-curve codes near the ends of the
// integers. Each is refused where it enters and asked again; what is
// accepted runs to the end (in the sanitizer build with no report), and
// every file the run read is left as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "support/decade_files.h"
#include "support/e2e.h"
#include "support/text.h"

namespace {

using e2e::kBatchFinished;
using e2e::kFinished;
using test_support::Count;
using test_support::Has;
using test_support::Join;
using test_support::Tail;

// Whether a line of `report` shows a number its field could not hold (a
// run of asterisks beside other text; the report's rules are all stars).
bool HasAsteriskField(const std::string& report) {
  for (std::size_t from = 0; from < report.size();) {
    const std::size_t end = std::min(report.find('\n', from), report.size());
    const std::string line = report.substr(from, end - from);
    if (Has(line, "***") && line.find_first_not_of('*') != std::string::npos) return true;
    from = end + 1;
  }
  return false;
}

// `answers`, then the default of every later question and plot menu.
std::vector<std::string> ThenDefaults(std::vector<std::string> answers) {
  answers.insert(answers.end(), 2000, "");
  return answers;
}

// `n` empty answers (plot menus and questions taken at their defaults).
std::vector<std::string> Defaults(int n) { return std::vector<std::string>(static_cast<std::size_t>(n), ""); }

// ------------------------------------------------------------------ pith offsets

// gp_pith_offsets.txt with its first offset (series 01A, 1640-1990, 351
// rings) replaced by `first`, each offset written by `format`.
std::string Offsets(const std::string& first, const char* format = "%s\n") {
  std::string text = e2e::ReadData("gp_pith_offsets.txt");
  std::string out;
  bool at_first = true;
  for (std::size_t from = 0; from < text.size();) {
    const std::size_t end = text.find('\n', from);
    std::string value = text.substr(from, end - from);
    if (at_first) value = first;
    at_first = false;
    char line[64];
    std::snprintf(line, sizeof line, format, value.c_str());
    out += line;
    from = end == std::string::npos ? text.size() : end + 1;
  }
  return out;
}

// The dialogue of the interactive program to the pith offset file on
// gp.rwl: ratios, every series kept, the regional curve with its default
// stiffness, pith offsets used.
const std::vector<std::string> kToPithFile = {"gp.rwl", "1", "r", "", "-2", "", "T"};

struct BadOffsets {
  const char* name;
  std::string content;
  std::vector<std::string> method;  // read method, header count (and descriptor)
  std::string refusal;              // the lines from column 11
};

void PrintTo(const BadOffsets& c, std::ostream* os) { *os << c.name; }

class UnusableOffsets : public testing::TestWithParam<BadOffsets> {};

TEST_P(UnusableOffsets, AreRefusedNamingTheSeriesAndTheFileIsAskedAgain) {
  const BadOffsets& c = GetParam();
  e2e::Sandbox box;
  box.CopyData("gp.rwl", "gp.rwl");
  box.CopyData("gp_pith_offsets.txt", "good.txt");
  box.Put("bad.txt", c.content);
  const std::vector<std::string> answers =
      ThenDefaults(Join({kToPithFile, {"bad.txt"}, c.method, {"", "good.txt", "1", "0"}}));
  const e2e::Result r = box.Run(e2e::Kestrane(), answers, 120);
  ASSERT_EQ(r.status, 0) << Tail(r.screen);
  EXPECT_TRUE(Has(r.screen, "\n Reading offset file: bad.txt\n\n" + c.refusal +
                                "          Hit return to enter a new file name or / to quit program.\n"
                                "\n NOTE: the order of pith offsets must follow the order\n"))
      << r.screen.substr(0, 8000);
  EXPECT_TRUE(Has(r.screen, "\n Reading offset file: good.txt\n"));
  EXPECT_TRUE(r.screen.ends_with(kFinished)) << Tail(r.screen);
  EXPECT_TRUE(r.errors.empty()) << r.errors;
  EXPECT_EQ(box.Read("bad.txt"), c.content);
  EXPECT_EQ(box.Read("gp.rwl"), e2e::ReadData("gp.rwl"));
}

INSTANTIATE_TEST_SUITE_P(
    PithOffsets, UnusableOffsets,
    testing::Values(
        BadOffsets{"Negative", Offsets("-1"), {"1", "0"},
                   "          Pith offset -1 of series 01A (number 1) is below 0.\n"},
        // 5650 + 351 rings ends at age 6001, the curve's last; one more is past it.
        BadOffsets{"PastTheLastAge", Offsets("5651"), {"1", "0"},
                   "          Pith offset 5651 of series 01A (number 1) puts its last ring at age 6002,\n"
                   "          past the 6001 ages of the regional curve.\n"},
        BadOffsets{"LargestInteger", Offsets("2147483647", "%12s\n"), {"2", "0", "(i12)"},
                   "          Pith offset 2147483647 of series 01A (number 1) puts its last ring at age "
                   "2147483998,\n          past the 6001 ages of the regional curve.\n"}),
    [](const testing::TestParamInfo<BadOffsets>& p) { return std::string(p.param.name); });

// The archive's offsets, and an offset that ends a series exactly at the
// curve's last age, run the regional curve to the end. The offset file is
// named by its absolute path: a name starting with "/" is a path there.
TEST(PithOffsets, UsableOffsetsRunToTheEnd) {
  for (const std::string first : {"79", "5650"}) {
    e2e::Sandbox box;
    box.CopyData("gp.rwl", "gp.rwl");
    const std::string content = Offsets(first);
    box.Put("pith.txt", content);
    const std::string path = (box.dir() / "pith.txt").string();
    ASSERT_LE(path.size(), 50u);
    const e2e::Result r = box.Run(e2e::Kestrane(), ThenDefaults(Join({kToPithFile, {path, "1", "0"}})), 120);
    ASSERT_EQ(r.status, 0) << first << "\n" << Tail(r.screen);
    EXPECT_TRUE(r.screen.ends_with(kFinished)) << first;
    EXPECT_FALSE(Has(r.screen, "Pith offset ")) << first;
    EXPECT_TRUE(box.Has("gp_RCScurves.txt")) << first;
    EXPECT_EQ(box.Read("pith.txt"), content);
    EXPECT_EQ(box.Read("gp.rwl"), e2e::ReadData("gp.rwl"));
  }
}

TEST(PithOffsets, TheBatchProgramRefusesThemToo) {
  e2e::Sandbox box;
  box.CopyData("gp.rwl", "gp.rwl");
  box.CopyData("gp_pith_offsets.txt", "good.txt");
  box.Put("bad.txt", Offsets("-1"));
  box.Put("list.txt", "gp.rwl\n");
  // List file, the data set's wait, then the defaults to the regional curve.
  const e2e::Result r = box.Run(
      e2e::KestraneBatch(),
      ThenDefaults({"list.txt", "", "", "", "", "", "-2", "", "T", "bad.txt", "1", "0", "", "good.txt", "1", "0"}),
      120);
  ASSERT_EQ(r.status, 0) << Tail(r.screen);
  EXPECT_TRUE(Has(r.screen, "\n          Pith offset -1 of series 01A (number 1) is below 0.\n"
                            "          Hit return to enter a new file name or / to quit program.\n"));
  EXPECT_TRUE(r.screen.ends_with(kBatchFinished)) << Tail(r.screen);
  EXPECT_TRUE(box.Has("SSF_Crns.txt"));
  EXPECT_EQ(box.Read("bad.txt"), Offsets("-1"));
  EXPECT_EQ(box.Read("list.txt"), "gp.rwl\n");
}

// ------------------------------------------------------------------ typed numbers

// ca533 (34 series, 626-1983) read as ratios with every series kept.
const std::vector<std::string> kCa533 = {"ca533.rwl", "1", "R", "1"};

TEST(TypedNumbers, StiffnessWindowAndStabilisationBeyondTheLimitAreAskedAgain) {
  e2e::Sandbox box;
  box.CopyData("ca533.rwl", "ca533.rwl");
  const std::vector<std::string> answers = ThenDefaults(Join({kCa533,
                                                              {"8", "2147483647", "-5", "6002", "6001", "",  // stiffness, end
                                                               "",                                          // mean
                                                               "99999999", "2147483647", "-2147483648", "6000",
                                                               "-2147483648", "6002", "-6002", "",  // stabilisation
                                                               "", ""}}));
  const e2e::Result r = box.Run(e2e::Kestrane(), answers, 120);
  ASSERT_EQ(r.status, 0) << Tail(r.screen);
  EXPECT_TRUE(r.screen.ends_with(kFinished)) << Tail(r.screen);
  EXPECT_EQ(Count(r.screen, "Enter your value, hit <RET> for 50"), 4);
  EXPECT_EQ(Count(r.screen, "\n Running RBAR window width must be .le. 6001\n"), 2);
  EXPECT_EQ(Count(r.screen, "\n Running RBAR window width must be .ge. 25\n"), 1);
  EXPECT_TRUE(Has(r.screen, "\n Running RBAR window width increased to make it odd:  6001\n"));
  EXPECT_EQ(Count(r.screen, "Smoothing spline (fixed Yrs cutoff)  >+9        ==> "), 4);
  // The window is longer than the chronology: no window has a result.
  EXPECT_TRUE(Has(r.screen, " Running RBAR window length:         6001\n"));
  EXPECT_TRUE(Has(r.screen, " Running RBAR segments calculated:      0\n"));
  const std::string report = box.Read("ca533_out_vKestrane_2019.txt");
  EXPECT_TRUE(Has(report, "\nAGE-DEPENDENT SPLINE SMOOTHING AND START:  OPT    8 6001\n"));
  EXPECT_TRUE(Has(report, "\nRUNNING RBAR WINDOW WIDTH FOR VARIANCE STABILIZATION:  6001\n"));
  EXPECT_FALSE(HasAsteriskField(report)) << report;
  EXPECT_EQ(box.Read("ca533.rwl"), e2e::ReadData("ca533.rwl"));
}

// Option 6 (the horizontal line) asks the engine's final detrending; the
// stabilisation menu is reached by declining the first spline.
TEST(TypedNumbers, TheEnginesStabilisationMenuAndFinalDetrendingAreBounded) {
  e2e::Sandbox box;
  box.CopyData("ca533.rwl", "ca533.rwl");
  const std::vector<std::string> answers = ThenDefaults(
      Join({kCa533, {"6"}, Defaults(5),  // mean, window, stabilisation, convergence, TARN
            Defaults(8),                 // the standard pass's plots
            {"n", "2147483647", "6002", "-6002", "-9", "-6001"}, Defaults(2), {""},  // a spline of 60 lengths
            Defaults(10), {""},                                                      // signal-free pass
            {"y", "-2147483600", "6002", "-6002", "9", "-50"}}));
  const e2e::Result r = box.Run(e2e::Kestrane(), answers, 120);
  ASSERT_EQ(r.status, 0) << Tail(r.screen);
  EXPECT_TRUE(r.screen.ends_with(kFinished)) << Tail(r.screen);
  EXPECT_EQ(Count(r.screen, "\n Additional spline variance stabilization?\n"), 6);  // the question, then the menu 5 times
  EXPECT_EQ(Count(r.screen, "\n Okay, enter spline detrending in years\n"), 5);
  EXPECT_TRUE(Has(r.screen, "Happy with the final RCS detrending? <Y>/N"));
  const std::string report = box.Read("ca533_out_vKestrane_2019.txt");
  EXPECT_TRUE(Has(report, "\nDEFAULT SPLINE VARIANCE STABILIZATION CHANGED TO: -6001\n"));
  EXPECT_TRUE(Has(report, "\nFIXED FILTER SPLINE VARIANCE STABILIZATION APPLIED: -6001\n"));
  EXPECT_FALSE(HasAsteriskField(report)) << report;
}

// The regional-curve stiffness, and after "Different RCS detrending?" the
// regional-curve menu's codes, windows and stiffness.
TEST(TypedNumbers, RegionalCurveCodesWindowsAndStiffnessAreBounded) {
  e2e::Sandbox box;
  box.CopyData("gp.rwl", "gp.rwl");
  const std::vector<std::string> answers = ThenDefaults(
      Join({{"gp.rwl", "1", "r", "", "-2", "2147483600", "10"}, Defaults(6),  // no pith offsets; options
            Defaults(2), {"T"},                                               // the curve's plots; redo
            {"-2147483648", "-6002", "-3", "2147483647", "-4", "-101", "-2", "2147483647", "10"}}));
  const e2e::Result r = box.Run(e2e::Kestrane(), answers, 120);
  ASSERT_EQ(r.status, 0) << Tail(r.screen);
  EXPECT_TRUE(r.screen.ends_with(kFinished)) << Tail(r.screen);
  EXPECT_EQ(Count(r.screen, "Enter your value, hit <RET> for 10"), 4);
  EXPECT_EQ(Count(r.screen, "\n Select RCS curve fit options:\n"), 5);
  EXPECT_EQ(box.Read("gp.rwl"), e2e::ReadData("gp.rwl"));
}

// 3000 series of 20 years: a window of 25 years and one of 6001 both
// exceed the chronology. Scratch space sized by the window for every
// series would cost 3000 x 6001 floats (72 MB) for the long one.
TEST(TypedNumbers, AWindowLongerThanTheChronologyAllocatesNothing) {
  long peak_kb[2] = {0, 0};
  const char* windows[2] = {"25", "6001"};
  for (int k = 0; k < 2; ++k) {
    e2e::Sandbox box;
    box.Put("set.rwl", test_support::DecadeSet("M", 3000, 1500, 20));
    const e2e::Result r =
        box.Run(e2e::Kestrane(), ThenDefaults({"set.rwl", "1", "r", "1", "", "", "", "", windows[k]}), 120);
    ASSERT_EQ(r.status, 0) << Tail(r.screen);
    ASSERT_TRUE(Has(r.screen, " Running RBAR segments calculated:      0\n"));
    peak_kb[k] = r.max_rss_kb;
  }
  EXPECT_LT(peak_kb[1], peak_kb[0] + 30 * 1024) << peak_kb[0] << " kB against " << peak_kb[1] << " kB";
}

// ------------------------------------------------------------------ "/" with leading blanks

TEST(TypedAnswers, SlashAfterBlanksStopsAtTheEnginesStabilisationMenu) {
  e2e::Sandbox box;
  box.CopyData("ca533.rwl", "ca533.rwl");
  const e2e::Result r =
      box.Run(e2e::Kestrane(), Join({kCa533, Defaults(8), Defaults(8), {"n", "12345678", "  /", "0"}}), 120);
  EXPECT_EQ(r.status, 0) << Tail(r.screen);
  EXPECT_TRUE(r.screen.ends_with(" Smoothing spline (fixed Yrs cutoff)  >+9        ==> ")) << Tail(r.screen);
  EXPECT_EQ(Count(r.screen, "\n Additional spline variance stabilization?\n"), 3);
  EXPECT_TRUE(r.errors.empty());
}

}  // namespace
