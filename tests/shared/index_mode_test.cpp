// The index-mode and power-transformation questions of both programs.
#include "apps/shared/index_mode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/console.h"
#include "common/text.h"
#include "common/units.h"
#include "support/dialog_harness.h"

namespace {

using common::ProgramVariant;

class IndexModeTest : public ::testing::Test, public test_support::DialogHarness {
 protected:
  common::RunOptions Ask(std::vector<std::string> answers, ProgramVariant variant) {
    common::RunOptions mode;
    EXPECT_EQ(RunScript(std::move(answers), [&](common::Dialog& d) { drivers::AskIndexMode(d, variant, mode); }), -1);
    EXPECT_EQ(Unread(), 0u);
    return mode;
  }
  static std::string P(const std::string& text, const std::string& answer) {
    return common::PadTo(" " + text, 50) + "==> " + answer + "\n";
  }
};

const char kRatios[] = "\nTREE-RING INDICES ARE CALCULATED AS RATIOS OF EXPECTED GROWTH\n";
const char kResiduals[] = "\nTREE-RING INDICES ARE CALCULATED AS RESIDUALS FROM EXPECTED GROWTH\n";
const char kError[] = "\n Error reading input [R] or [S]. Try again or enter / to exit\n";

TEST_F(IndexModeTest, RatiosDoNotAskAboutPowerTransformation) {
  const common::RunOptions mode = Ask({"R"}, ProgramVariant::kInteractive);
  EXPECT_EQ(mode.RESID, 0);
  EXPECT_EQ(mode.PTRFLG, 0);
  EXPECT_EQ(mode.INDXMD(), common::IndexMode::kRatios);
  EXPECT_EQ(mode.IndxsMode(), 1);
  EXPECT_EQ(Transcript(), "\n" + P("Compute Indices by [R]atios or residual[S]", "R"));
  EXPECT_EQ(Report(), kRatios);
}

TEST_F(IndexModeTest, ResidualsWithPowerTransformation) {
  const common::RunOptions mode = Ask({"s", "t"}, ProgramVariant::kInteractive);
  EXPECT_EQ(mode.RESID, 1);
  EXPECT_EQ(mode.PTRFLG, 1);
  EXPECT_EQ(mode.INDXMD(), common::IndexMode::kPowerResiduals);
  EXPECT_EQ(mode.IndxsMode(), 2);  // the transformed series' indices are residuals too
  EXPECT_EQ(Transcript(), "\n" + P("Compute Indices by [R]atios or residual[S]", "s") + "\n" +
                              P("Power transform data? [T]rue or [F]alse", "t"));
  EXPECT_EQ(Report(), kResiduals);
}

TEST_F(IndexModeTest, AnswersBehindBlanksAreTakenAsTyped) {
  EXPECT_EQ(Ask({"  s", " t"}, ProgramVariant::kInteractive).INDXMD(), common::IndexMode::kPowerResiduals);
  EXPECT_EQ(Ask({" s", " f"}, ProgramVariant::kBatch).INDXMD(), common::IndexMode::kResiduals);
  EXPECT_EQ(Ask({"   r"}, ProgramVariant::kBatch).INDXMD(), common::IndexMode::kRatios);
}

TEST_F(IndexModeTest, BlankPowerAnswerMeansNoTransformation) {
  const common::RunOptions mode = Ask({"S", ""}, ProgramVariant::kInteractive);
  EXPECT_EQ(mode.RESID, 1);
  EXPECT_EQ(mode.PTRFLG, 0);
  EXPECT_EQ(mode.INDXMD(), common::IndexMode::kResiduals);
}

TEST_F(IndexModeTest, BlankAndOtherAnswersAreRejected) {
  const common::RunOptions mode = Ask({"", "x", "r"}, ProgramVariant::kInteractive);
  EXPECT_EQ(mode.INDXMD(), common::IndexMode::kRatios);
  const std::string q = "\n" + P("Compute Indices by [R]atios or residual[S]", "");
  EXPECT_EQ(Transcript(), q + kError + "\n" + P("Compute Indices by [R]atios or residual[S]", "x") + kError + "\n" +
                              P("Compute Indices by [R]atios or residual[S]", "r"));
  EXPECT_EQ(Report(), kRatios);
}

TEST_F(IndexModeTest, SlashTerminates) {
  common::RunOptions mode;
  EXPECT_EQ(RunScript({"/"}, [&](common::Dialog& d) { drivers::AskIndexMode(d, ProgramVariant::kInteractive, mode); }),
            0);
  EXPECT_TRUE(Transcript().ends_with("==> /\n\n Program Terminating\n"));
}

TEST_F(IndexModeTest, BatchDefaultsAreResidualsOfPowerTransformedSeries) {
  const common::RunOptions mode = Ask({"", ""}, ProgramVariant::kBatch);
  EXPECT_EQ(mode.INDXMD(), common::IndexMode::kPowerResiduals);
  EXPECT_EQ(Transcript(), "\n" + P("Compute Indices by [R]atios or residual<[S]>", "") + "\n" +
                              P("Power transform data? <[T]>rue or [F]alse", ""));
  EXPECT_EQ(Report(), "");  // the batch program echoes for every data set itself
}

TEST_F(IndexModeTest, BatchEchoAddsThePowerTransformationLine) {
  RunScript({}, [](common::Dialog& d) {
    common::RunOptions mode;
    mode.RESID = 1;
    mode.PTRFLG = 1;
    drivers::EchoIndexMode(d, mode, ProgramVariant::kBatch);
    mode.PTRFLG = 0;
    drivers::EchoIndexMode(d, mode, ProgramVariant::kBatch);
    mode.RESID = 0;
    drivers::EchoIndexMode(d, mode, ProgramVariant::kBatch);
  });
  EXPECT_EQ(Report(), std::string(kResiduals) + "ADAPTIVE POWER TRANSFORMATIONS APPLIED TO THE TREE-RING DATA\n" +
                          kResiduals + kRatios);
}

}  // namespace
