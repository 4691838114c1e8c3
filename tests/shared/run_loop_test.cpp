// What the run loop does before each engine call and after the last one.
#include "apps/shared/run_loop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/console.h"
#include "shared/program_run_fixture.h"
#include "support/dialog_harness.h"

namespace {

// A line with `value` (f8.3) at column 63 after `text` from column `from`.
std::string At63(const std::string& text, int from, const std::string& value) {
  const std::string head = std::string(static_cast<std::size_t>(from - 1), ' ') + text;
  return head + std::string(62 - head.size(), ' ') + value + "\n";
}

const std::string kConstantText = "CONSTANT ADDED TO ALL MEASUREMENTS TO AID CONVERGENCE(?): ";

// What `write` puts in the report file; nothing may reach the screen.
std::string ReportOf(void (*write)(common::Dialog&, float), float value) {
  test_support::DialogHarness harness;
  harness.RunScript({}, [&](common::Dialog& d) { write(d, value); });
  EXPECT_EQ(harness.Transcript(), "");  // report file only
  return harness.Report();
}

TEST(PowerTransformLines, AppliedLineFollowsABlankLine) {
  const std::string report =
      ReportOf([](common::Dialog& d, float) { drivers::ReportPowerTransformApplied(d); }, 0.0f);
  EXPECT_EQ(report, "\nTHE SERIES HAVE HAD ADAPTIVE POWER TRANSFORMATIONS APPLIED\n");
}

TEST(PowerTransformLines, MeanPowerStandsAtColumnSixtyThree) {
  const std::string report = ReportOf([](common::Dialog& d, float p) { drivers::ReportMeanPower(d, p); }, 0.4789f);
  // 52 characters of text, blanks to column 62, then f8.3 of 0.4789.
  const std::string expected =
      std::string("THE MEAN ADAPTIVE POWER TRANSFORM POWER APPLIED IS: ") + std::string(10, ' ') + "   0.479\n";
  EXPECT_EQ(report, expected);
  EXPECT_EQ(report.find("0.479"), 65u);  // field starts at index 62 (column 63)
}

TEST(PrepareRun, ThirdRestartStartsFromTheWorkingCopyPlusThreeTenths) {
  ProgramRunFixture f(common::ProgramVariant::kInteractive);
  const std::vector<float> a = {1.25f, 0.5f, 2.0f, 0.0f};
  const std::vector<float> b = {3.0f, 0.75f};
  f.Keep(1, 1900, a);
  f.Keep(2, 1902, b);
  f.restart->KRETRY = 3;

  drivers::PrepareRun(f.run);

  EXPECT_FLOAT_EQ(f.restart->CONST, 0.3f);
  for (std::size_t k = 0; k < a.size(); ++k) EXPECT_FLOAT_EQ(f.store->SERMAT.get(static_cast<int>(k) + 1, 1), a[k] + 0.3f);
  for (std::size_t k = 0; k < b.size(); ++k) EXPECT_FLOAT_EQ(f.store->SERMAT.get(static_cast<int>(k) + 1, 2), b[k] + 0.3f);
  for (int i = 1; i <= 2; ++i) {
    EXPECT_EQ(f.restart->CRVMIN[static_cast<std::size_t>(i)], 0.02f);
    EXPECT_EQ(f.store->IYTAB.NYR(i), f.store->IYTAB.ILY(i));  // curves fitted to the last year
  }
  // A restart: no blank line before the constant and no "let us begin".
  EXPECT_EQ(f.harness.Transcript(), At63(kConstantText, 2, "   0.300"));
  EXPECT_EQ(f.harness.Report(), At63(kConstantText, 1, "   0.300"));
}

// Series whose ring-to-ring change is 1 at every level: no dependence of
// spread on level, so the power stays 1 and the mean power is 1.
const std::vector<float> kEvenSpread = {1.0f, 2.0f, 1.0f, 2.0f, 3.0f, 4.0f, 3.0f, 2.0f};

TEST(PrepareRun, FirstRunOfPowerTransformedSeriesShowsTheScatterAndBegins) {
  ProgramRunFixture f(common::ProgramVariant::kInteractive, {""});  // the scatter plot's menu
  f.Keep(1, 1900, kEvenSpread);
  f.options->PTRFLG = 1;

  drivers::PrepareRun(f.run);

  EXPECT_EQ(f.restart->CONST, 0.0f);
  EXPECT_EQ(f.harness.Unread(), 0u);
  const std::string screen = f.harness.Transcript();
  EXPECT_NE(screen.find("\n from scatplt\n"), std::string::npos);
  EXPECT_TRUE(screen.ends_with("\n" + At63(kConstantText, 2, "   0.000") + "\n OKAY, LET US BEGIN:\n")) << screen;
  EXPECT_EQ(f.harness.Report(), "\nTHE SERIES HAVE HAD ADAPTIVE POWER TRANSFORMATIONS APPLIED\n\n" +
                                    At63(kConstantText, 1, "   0.000") +
                                    At63("THE MEAN ADAPTIVE POWER TRANSFORM POWER APPLIED IS: ", 1, "   1.000"));
  for (std::size_t k = 0; k < kEvenSpread.size(); ++k) {
    EXPECT_FLOAT_EQ(f.store->SERMAT.get(static_cast<int>(k) + 1, 1), kEvenSpread[k]);
  }
}

TEST(PrepareRun, BatchRestartOfPowerTransformedSeriesNeverPlots) {
  ProgramRunFixture f(common::ProgramVariant::kBatch);
  f.Keep(1, 1900, kEvenSpread);
  f.options->PTRFLG = 1;
  f.restart->KRETRY = 1;

  drivers::PrepareRun(f.run);

  EXPECT_EQ(f.harness.Transcript(), At63("Constant added to all measurements to aid convergence: ", 2, "   0.100"));
  EXPECT_EQ(f.harness.Report(), At63("CONSTANT ADDED TO ALL MEASUREMENTS TO AID CONVERGENCE: ", 1, "   0.100") +
                                    At63("THE MEAN ADAPTIVE POWER TRANSFORM POWER APPLIED IS: ", 1, "   1.000"));
}

TEST(PrepareRun, BatchFirstRunBeginsInMixedCase) {
  ProgramRunFixture f(common::ProgramVariant::kBatch);
  f.Keep(1, 1900, kEvenSpread);

  drivers::PrepareRun(f.run);

  EXPECT_EQ(f.harness.Transcript(),
            "\n" + At63("Constant added to all measurements to aid convergence: ", 2, "   0.000") +
                "\n Okay, let us begin:\n");
  EXPECT_EQ(f.harness.Report(), "\n" + At63("CONSTANT ADDED TO ALL MEASUREMENTS TO AID CONVERGENCE: ", 1, "   0.000"));
}

TEST(KeepLastRun, PutsBackTheOptionAndTheStandardChronologyOfTheMeanRoutine) {
  ProgramRunFixture f(common::ProgramVariant::kInteractive);
  common::RunStorage& s = *f.store;
  s.NS = 1;
  s.IYTAB.IFY(2) = 1900;
  s.IYTAB.ILY(2) = 1902;
  for (int k = 1; k <= 4; ++k) {
    s.ORGCHR.at(k, 1) = 1.0f + 0.1f * static_cast<float>(k);
    s.ORGCHR.at(k, 2) = 0.01f * static_cast<float>(k);
    s.STDCHR.at(k, 1) = -5.0f;
    s.STDCHR.at(k, 2) = -5.0f;
  }
  f.run.saved_NOPT = 0;
  f.options->NOPT = 6;  // the engine turns option 0 into 6

  drivers::KeepLastRun(f.run);

  EXPECT_EQ(f.options->NOPT, 0);
  for (int k = 1; k <= 3; ++k) {
    EXPECT_EQ(s.STDCHR.get(k, 1), s.ORGCHR.get(k, 1));
    EXPECT_EQ(s.STDCHR.get(k, 2), s.ORGCHR.get(k, 2));
  }
  EXPECT_EQ(s.STDCHR.get(4, 1), -5.0f);  // rows beyond the span stay
}

}  // namespace
