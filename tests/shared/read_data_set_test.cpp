// Reading and checking a data set in-process, for what the batch program
// does differently: the title line in the report, no try-again question
// after a failed read, and the stop when a listed file cannot be opened.
// The interactive program's side runs end to end in tests/apps.
#include "apps/shared/read_data_set.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "common/text.h"
#include "common/units.h"

namespace {

namespace fs = std::filesystem;

class ReadDataSetTest : public ::testing::Test {
 protected:
  ReadDataSetTest() {
    std::string pattern = (fs::temp_directory_path() / "kestrane-read-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) dir_ = pattern;
  }
  ~ReadDataSetTest() override {
    units_.CloseAll();
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  void Put(const std::string& name, const std::string& content) {
    std::ofstream(dir_ / name, std::ios::binary) << content;
  }
  // Reads `name` as the batch program does, scripted with `answers`;
  // returns the stop status, or -1 when the data set came back ready.
  int ReadBatch(const std::string& name, std::vector<std::string> answers) {
    console_ = std::make_unique<common::ScriptedConsole>(std::move(answers));
    dialog_ = std::make_unique<common::Dialog>(*console_, units_);
    common::Assign(store_.DATFIL, (dir_ / name).string());
    units_.Open(common::kReportUnit, (dir_ / "report.txt").string(), common::Units::Mode::kWrite);
    drivers::RunContext run{*dialog_, store_, options_, restart_, common::ProgramVariant::kBatch};
    int status = -1;
    try {
      EXPECT_EQ(drivers::ReadAndCheckDataSet(run), drivers::DataSetOutcome::kReady);
    } catch (const common::ProgramStop& stop) {
      status = stop.status;
    }
    units_.CloseAll();
    return status;
  }
  std::string Report() const {
    std::ifstream in(dir_ / "report.txt", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  fs::path dir_;
  common::Units units_;
  common::RunStorage store_;
  common::RunOptions options_;
  common::RestartState restart_;
  std::unique_ptr<common::ScriptedConsole> console_;
  std::unique_ptr<common::Dialog> dialog_;
};

TEST_F(ReadDataSetTest, BatchReportsTheFirstTitleLineBeforeTheSummary) {
  // One series 1900-1911 without title records: the reader marks the
  // missing titles at columns 1-22 and 59-80 of each 100-column line.
  Put("site.rwl",
      "KR001A  1900   100   110   120   130   140   150   160   170   180   190\n"
      "KR001A  1910   200   210 -9999\n");
  EXPECT_EQ(ReadBatch("site.rwl", {""}), -1);
  EXPECT_EQ(console_->unread(), 0u);
  const std::string title =
      "1st itrdb line missing" + std::string(36, ' ') + "1st itrdb line missing" + std::string(20, ' ');
  EXPECT_EQ(Report(),
            "\nDATA TITLE: " + title +
                "\n"
                "                                 NS   IFY   ILY   NYR\n"
                " TOTAL SERIES READ IN:            1  1900  1911    12  SERIES, FIRST YEAR, LAST YEAR, TOTAL YEARS\n");
}

TEST_F(ReadDataSetTest, BatchGoesOnAfterAFailedRead) {
  // Single column, no header lines; the year does not read; Return after
  // the reader's message and after the menu's. No try-again question follows.
  Put("bad.txt", "ID1\nnot-a-year\n1.0\n");
  EXPECT_EQ(ReadBatch("bad.txt", {"3", "0", "", ""}), -1);
  EXPECT_EQ(console_->unread(), 0u);
  const std::string& screen = console_->transcript();
  EXPECT_NE(screen.find("\n Input data not read in successfully\n"), std::string::npos) << screen;
  EXPECT_EQ(screen.find("[T]ry again"), std::string::npos) << screen;
  EXPECT_NE(screen.find(" Total series read in:"), std::string::npos) << screen;
}

TEST_F(ReadDataSetTest, BatchStopsWhenAListedFileCannotBeOpened) {
  EXPECT_EQ(ReadBatch("absent.rwl", {""}), 1);
  EXPECT_EQ(console_->unread(), 0u);
  const std::string name = common::Fixed((dir_ / "absent.rwl").string(), 50);
  EXPECT_EQ(console_->transcript(), "\n WTF! Error opening data file: " + name + "\n\n");
  EXPECT_EQ(Report(), "");
}

}  // namespace
