// The index-mode and power-transformation questions of both programs.
#include "apps/shared/index_mode.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "common/console.h"
#include "common/text.h"
#include "common/units.h"

namespace {

namespace fs = std::filesystem;
using common::ProgramVariant;

class IndexModeTest : public ::testing::Test {
 protected:
  IndexModeTest() : report_(fs::temp_directory_path() / ("kst_index_" + std::to_string(::getpid()) + ".txt")) {}
  ~IndexModeTest() override { fs::remove(report_); }

  common::RunOptions Ask(std::vector<std::string> answers, ProgramVariant variant) {
    console_ = std::make_unique<common::ScriptedConsole>(std::move(answers));
    dialog_ = std::make_unique<common::Dialog>(*console_, units_);
    units_.Open(common::kReportUnit, report_.string(), common::Units::Mode::kWrite);
    common::RunOptions mode;
    drivers::AskIndexMode(*dialog_, variant, mode);
    units_.Close(common::kReportUnit);
    EXPECT_EQ(console_->unread(), 0u);
    return mode;
  }
  std::string Report() {
    std::ifstream in(report_, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::string Transcript() { return console_->transcript(); }
  static std::string P(const std::string& text, const std::string& answer) {
    return common::PadTo(" " + text, 50) + "==> " + answer + "\n";
  }

  fs::path report_;
  common::Units units_;
  std::unique_ptr<common::ScriptedConsole> console_;
  std::unique_ptr<common::Dialog> dialog_;
};

const char kRatios[] = "\nTREE-RING INDICES ARE CALCULATED AS RATIOS OF EXPECTED GROWTH\n";
const char kResiduals[] = "\nTREE-RING INDICES ARE CALCULATED AS RESIDUALS FROM EXPECTED GROWTH\n";
const char kError[] = "\n Error reading input [R] or [S]. Try again or enter / to exit\n";

TEST_F(IndexModeTest, RatiosDoNotAskAboutPowerTransformation) {
  const common::RunOptions mode = Ask({"R"}, ProgramVariant::kInteractive);
  EXPECT_EQ(mode.RESID, 0);
  EXPECT_EQ(mode.PTRFLG, 0);
  EXPECT_EQ(mode.INDXMD(), common::IndexMode::kRatios);
  EXPECT_EQ(Transcript(), "\n" + P("Compute Indices by [R]atios or residual[S]", "R"));
  EXPECT_EQ(Report(), kRatios);
}

TEST_F(IndexModeTest, ResidualsWithPowerTransformation) {
  const common::RunOptions mode = Ask({"s", "t"}, ProgramVariant::kInteractive);
  EXPECT_EQ(mode.RESID, 1);
  EXPECT_EQ(mode.PTRFLG, 1);
  EXPECT_EQ(mode.INDXMD(), common::IndexMode::kPowerResiduals);
  EXPECT_EQ(Transcript(), "\n" + P("Compute Indices by [R]atios or residual[S]", "s") + "\n" +
                              P("Power transform data? [T]rue or [F]alse", "t"));
  EXPECT_EQ(Report(), kResiduals);
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
  try {
    Ask({"/"}, ProgramVariant::kInteractive);
    FAIL() << "no stop";
  } catch (const common::ProgramStop& stop) {
    EXPECT_EQ(stop.status, 0);
  }
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
  console_ = std::make_unique<common::ScriptedConsole>(std::vector<std::string>{});
  dialog_ = std::make_unique<common::Dialog>(*console_, units_);
  units_.Open(common::kReportUnit, report_.string(), common::Units::Mode::kWrite);
  common::RunOptions mode;
  mode.RESID = 1;
  mode.PTRFLG = 1;
  drivers::EchoIndexMode(*dialog_, mode, ProgramVariant::kBatch);
  mode.PTRFLG = 0;
  drivers::EchoIndexMode(*dialog_, mode, ProgramVariant::kBatch);
  mode.RESID = 0;
  drivers::EchoIndexMode(*dialog_, mode, ProgramVariant::kBatch);
  units_.Close(common::kReportUnit);
  EXPECT_EQ(Report(), std::string(kResiduals) + "ADAPTIVE POWER TRANSFORMATIONS APPLIED TO THE TREE-RING DATA\n" +
                          kResiduals + kRatios);
}

}  // namespace
