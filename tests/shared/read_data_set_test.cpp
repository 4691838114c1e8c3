// Reading and checking a data set in-process, for what the batch program
// does differently: the title line in the report, no try-again question
// (a failed read ends its run), and the stop when a listed file cannot be
// opened.
// The interactive program's side runs end to end in tests/apps.
#include "apps/shared/read_data_set.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/run_options.h"
#include "common/storage.h"
#include "common/text.h"
#include "engine/sigfre.h"
#include "plot/plotter.h"
#include "support/dialog_harness.h"

namespace {

class ReadDataSetTest : public ::testing::Test, public test_support::DialogHarness {
 protected:
  void Put(const std::string& name, const std::string& content) { dir().Put(name, content); }
  // Reads `name` as the batch program does, scripted with `answers`;
  // returns the stop status, or -1 when the data set came back ready.
  int ReadBatch(const std::string& name, std::vector<std::string> answers) {
    common::Assign(store_.DATFIL, dir().File(name));
    SetVariant(common::ProgramVariant::kBatch);
    return RunScript(std::move(answers), [&](common::Dialog& d) {
      drivers::ProgramRun run(d, store_, options_, restart_, *state_, plotter_);
      EXPECT_EQ(drivers::ReadAndCheckDataSet(run), drivers::DataSetOutcome::kReady);
    });
  }

  common::RunStorage store_;
  common::RunOptions options_;
  common::RestartState restart_;
  std::unique_ptr<engine::EngineState> state_ = std::make_unique<engine::EngineState>(common::ProgramVariant::kBatch);
  plot::NullPlotter plotter_;
};

TEST_F(ReadDataSetTest, BatchReportsTheFirstTitleLineBeforeTheSummary) {
  // One series 1900-1911 without title records: the reader marks the
  // missing titles at columns 1-22 and 59-80 of each 100-column line.
  Put("site.rwl",
      "KR001A  1900   100   110   120   130   140   150   160   170   180   190\n"
      "KR001A  1910   200   210 -9999\n");
  EXPECT_EQ(ReadBatch("site.rwl", {""}), -1);
  EXPECT_EQ(Unread(), 0u);
  const std::string title =
      "1st itrdb line missing" + std::string(36, ' ') + "1st itrdb line missing" + std::string(20, ' ');
  EXPECT_EQ(Report(),
            "\nDATA TITLE: " + title +
                "\n"
                "                                 NS   IFY   ILY   NYR\n"
                " TOTAL SERIES READ IN:            1  1900  1911    12  SERIES, FIRST YEAR, LAST YEAR, TOTAL YEARS\n");
}

TEST_F(ReadDataSetTest, BatchEndsItsRunAfterAFailedReadWhateverItDelivered) {
  // Single column, no header lines; the second series' year does not read;
  // Return after the reader's message and at the abnormal end. The first
  // series was read, but the data set goes no further.
  Put("bad.txt", "ID1\n1900\n1.0\n2.0\nID2\nnot-a-year\n1.0\n");
  EXPECT_EQ(ReadBatch("bad.txt", {"3", "0", "", ""}), 1);
  EXPECT_EQ(Unread(), 0u);
  const std::string& screen = Transcript();
  const std::string name = dir().File("bad.txt");
  EXPECT_NE(screen.find("\n Input data not read in successfully\n             Hit RETURN to Continue\n"
                        "\n Reading the data set " + name + " failed: it is not processed.\n"
                        "\n Abnormal termination of program Kestrane_ KestraneBatch  \n"),
            std::string::npos)
      << screen;
  EXPECT_EQ(screen.find("[T]ry again"), std::string::npos) << screen;
  EXPECT_EQ(screen.find("Total series read in"), std::string::npos) << screen;
  EXPECT_EQ(Report(), "\n READING THE DATA SET " + name + " FAILED: IT IS NOT PROCESSED.\n");
}

TEST_F(ReadDataSetTest, BatchEndsItsRunWhenNothingIsReadOrQIsTyped) {
  const std::string abnormal =
      "\n Abnormal termination of program Kestrane_ KestraneBatch  \n\n Hit RETURN to Quit";
  Put("bad.txt", "ID1\nnot-a-year\n1.0\n");
  EXPECT_EQ(ReadBatch("bad.txt", {"3", "0", "", "", ""}), 1);
  EXPECT_EQ(Unread(), 0u);
  EXPECT_EQ(Transcript().substr(Transcript().size() - abnormal.size() - 1), abnormal + "\n");

  Put("site.rwl", "KR001A  1900   100   110 -9999\n");
  EXPECT_EQ(ReadBatch("site.rwl", {"q", ""}), 1);
  EXPECT_EQ(Unread(), 0u);
  EXPECT_EQ(Transcript().substr(Transcript().size() - abnormal.size() - 1), abnormal + "\n");
  EXPECT_EQ(Transcript().find("missing data flags"), std::string::npos);
}

TEST_F(ReadDataSetTest, BatchStopsWhenAListedFileCannotBeOpened) {
  EXPECT_EQ(ReadBatch("absent.rwl", {""}), 1);
  EXPECT_EQ(Unread(), 0u);
  const std::string name = common::Fixed(dir().File("absent.rwl"), 50);
  EXPECT_EQ(Transcript(), "\n WTF! Error opening data file: " + name + "\n\n");
  // The report says why the run ends, with the name as typed.
  EXPECT_EQ(Report(), "\n READING THE DATA SET " + dir().File("absent.rwl") + " FAILED: IT IS NOT PROCESSED.\n");
}

}  // namespace
