// The report lines of the adaptive power transformation.
#include "apps/shared/power_transform_lines.h"

#include <gtest/gtest.h>

#include <string>

#include "common/console.h"
#include "common/units.h"
#include "support/dialog_harness.h"

namespace drivers {
namespace {

std::string ReportOf(void (*write)(common::Dialog&, float), float value) {
  test_support::DialogHarness harness;
  harness.RunScript({}, [&](common::Dialog& d) { write(d, value); });
  EXPECT_EQ(harness.Transcript(), "");  // report file only
  return harness.Report();
}

TEST(PowerTransformLines, AppliedLineFollowsABlankLine) {
  const std::string report =
      ReportOf([](common::Dialog& d, float) { ReportPowerTransformApplied(d); }, 0.0f);
  EXPECT_EQ(report, "\nTHE SERIES HAVE HAD ADAPTIVE POWER TRANSFORMATIONS APPLIED\n");
}

TEST(PowerTransformLines, MeanPowerStandsAtColumnSixtyThree) {
  const std::string report = ReportOf([](common::Dialog& d, float p) { ReportMeanPower(d, p); }, 0.4789f);
  // 52 characters of text, blanks to column 62, then f8.3 of 0.4789.
  const std::string expected =
      std::string("THE MEAN ADAPTIVE POWER TRANSFORM POWER APPLIED IS: ") + std::string(10, ' ') + "   0.479\n";
  EXPECT_EQ(report, expected);
  EXPECT_EQ(report.find("0.479"), 65u);  // field starts at index 62 (column 63)
}

}  // namespace
}  // namespace drivers
