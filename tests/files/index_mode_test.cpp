// The index-mode and power-transformation questions of both programs.
#include "files/index_mode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/console.h"
#include "common/text.h"
#include "common/units.h"
#include "support/dialog_harness.h"

namespace {

using files::ProgramVariant;

class IndexModeTest : public ::testing::Test, public test_support::DialogHarness {
 protected:
  files::IndexMode Ask(std::vector<std::string> answers, ProgramVariant variant) {
    files::IndexMode mode;
    EXPECT_EQ(RunScript(std::move(answers), [&](common::Dialog& d) { mode = files::AskIndexMode(d, variant); }), -1);
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
  const files::IndexMode mode = Ask({"R"}, ProgramVariant::kInteractive);
  EXPECT_EQ(mode.RESID, 0);
  EXPECT_EQ(mode.PTRFLG, 0);
  EXPECT_EQ(mode.INDXMD(), 1);
  EXPECT_EQ(Transcript(), "\n" + P("Compute Indices by [R]atios or residual[S]", "R"));
  EXPECT_EQ(Report(), kRatios);
}

TEST_F(IndexModeTest, ResidualsWithPowerTransformation) {
  const files::IndexMode mode = Ask({"s", "t"}, ProgramVariant::kInteractive);
  EXPECT_EQ(mode.RESID, 1);
  EXPECT_EQ(mode.PTRFLG, 1);
  EXPECT_EQ(mode.INDXMD(), 3);
  EXPECT_EQ(Transcript(), "\n" + P("Compute Indices by [R]atios or residual[S]", "s") + "\n" +
                              P("Power transform data? [T]rue or [F]alse", "t"));
  EXPECT_EQ(Report(), kResiduals);
}

TEST_F(IndexModeTest, BlankPowerAnswerMeansNoTransformation) {
  const files::IndexMode mode = Ask({"S", ""}, ProgramVariant::kInteractive);
  EXPECT_EQ(mode.RESID, 1);
  EXPECT_EQ(mode.PTRFLG, 0);
  EXPECT_EQ(mode.INDXMD(), 2);
}

TEST_F(IndexModeTest, BlankAndOtherAnswersAreRejected) {
  const files::IndexMode mode = Ask({"", "x", "r"}, ProgramVariant::kInteractive);
  EXPECT_EQ(mode.INDXMD(), 1);
  const std::string q = "\n" + P("Compute Indices by [R]atios or residual[S]", "");
  EXPECT_EQ(Transcript(), q + kError + "\n" + P("Compute Indices by [R]atios or residual[S]", "x") + kError + "\n" +
                              P("Compute Indices by [R]atios or residual[S]", "r"));
  EXPECT_EQ(Report(), kRatios);
}

TEST_F(IndexModeTest, SlashTerminates) {
  EXPECT_EQ(RunScript({"/"}, [](common::Dialog& d) { files::AskIndexMode(d, ProgramVariant::kInteractive); }), 0);
  EXPECT_TRUE(Transcript().ends_with("==> /\n\n Program Terminating\n"));
}

TEST_F(IndexModeTest, BatchDefaultsAreResidualsOfPowerTransformedSeries) {
  const files::IndexMode mode = Ask({"", ""}, ProgramVariant::kBatch);
  EXPECT_EQ(mode.INDXMD(), 3);
  EXPECT_EQ(Transcript(), "\n" + P("Compute Indices by [R]atios or residual<[S]>", "") + "\n" +
                              P("Power transform data? <[T]>rue or [F]alse", ""));
  EXPECT_EQ(Report(), "");  // the batch program echoes for every data set itself
}

TEST_F(IndexModeTest, BatchEchoAddsThePowerTransformationLine) {
  RunScript({}, [](common::Dialog& d) {
    files::EchoIndexMode(d, files::IndexMode{1, 1}, ProgramVariant::kBatch);
    files::EchoIndexMode(d, files::IndexMode{1, 0}, ProgramVariant::kBatch);
    files::EchoIndexMode(d, files::IndexMode{0, 0}, ProgramVariant::kBatch);
  });
  EXPECT_EQ(Report(), std::string(kResiduals) + "ADAPTIVE POWER TRANSFORMATIONS APPLIED TO THE TREE-RING DATA\n" +
                          kResiduals + kRatios);
}

}  // namespace
