// The input data format menu of both programs.
#include <gtest/gtest.h>

#include <string>

#include "files/input_menu.h"
#include "input_fixture.h"

namespace {

using input_test::InputRun;
using input_test::MenuCall;
using input_test::RunMenu;

const std::string kMenu =
    "\n"
    "                  __ Input Data Format Menu __\n"
    "                  _____________________________\n"
    "\n"
    "                  Raw ring-widths (Decade)  [1]\n"
    "                  Chronologies (Index)      [2]\n"
    "                  Single Column             [3]\n"
    "                  Multiple Columns          [4]\n"
    "                  Enter zer0 for HELP       [0]\n"
    "                  _____________________________\n"
    "\n"
    " Enter a value between [0-4] or [Q]uit           ==> ";

const std::string kBatchMenu =
    "\n"
    "                  __ Input Data Format Menu __\n"
    "                  _____________________________\n"
    "\n"
    "                  Raw ring-widths (Decade) <[1]>\n"
    "                  Chronologies (Index)      [2]\n"
    "                  Single Column             [3]\n"
    "                  Multiple Columns          [4]\n"
    "                  Enter zer0 for HELP       [0]\n"
    "                                               \n"  // 18 + 29 blanks
    "                  Hit <RET> for optn 1 LTRR RWL\n"
    "                  _____________________________\n"
    "\n"
    " Enter a value [0-4], <RET> for [1], or [Q]uit   ==> ";

const std::string kSkipQuestion =
    "\n Enter number of file header lines to skip\n"
    " before reading data or columns. If none then\n"
    " enter a zer[0] for none                         ==> ";

const char* kSingleColumn = "site header line\nA1\n1900\n1.5\n2.5\nB2\n1901\n3.5\n";

TEST(Inmenu, QStopsTheProgramCleanly) {
  InputRun run(kSingleColumn, {"Q"});
  const MenuCall call = RunMenu(run);
  EXPECT_EQ(call.status, 0);
  EXPECT_EQ(run.Transcript(), kMenu + "Q\n");
}

TEST(Inmenu, OtherTextShowsTheMenuAgainAndEmptyLinesWaitForANumber) {
  InputRun run(kSingleColumn, {"x", "", "", "q"});
  const MenuCall call = RunMenu(run);
  EXPECT_EQ(call.status, 0);
  EXPECT_EQ(run.Transcript(), kMenu + "x\n" + kMenu + "\n\nq\n");
}

TEST(Inmenu, SingleColumnAfterSkippingAHeaderLine) {
  InputRun run(kSingleColumn, {"3", "1"});
  run.store().TITLE[1] = std::string(100, 'z');
  const MenuCall call = RunMenu(run);
  ASSERT_EQ(call.status, -1);
  EXPECT_EQ(call.RDFAIL, 0);
  EXPECT_EQ(call.NS, 2);
  auto& s = run.store();
  EXPECT_EQ(s.SERID[1], "A1      ");
  EXPECT_EQ(s.IYTAB.IFY(3), 1900);
  EXPECT_EQ(s.IYTAB.ILY(3), 1901);
  EXPECT_EQ(s.IYTAB.NYR(3), 2);
  EXPECT_EQ(s.TITLE[1], std::string(100, ' '));  // cleared for the column layouts
  EXPECT_EQ(run.Transcript(), kMenu + "3\n" + kSkipQuestion + "1\n\n Input data read successfully\n");
}

TEST(Inmenu, AnswerFiveAsksForHeaderLinesThenWarns) {
  InputRun run(kSingleColumn, {"5", "0", "", "-1", "", "3", "1"});
  const MenuCall call = RunMenu(run);
  EXPECT_EQ(call.NS, 2);
  const std::string warning =
      "\n That is not one of the formats: enter a value between 0 and 4.\n             Hit RETURN to Continue\n";
  EXPECT_EQ(run.Transcript(), kMenu + "5\n" + kSkipQuestion + "0\n" + warning + kMenu + "-1\n" + warning + kMenu + "3\n" +
                              kSkipQuestion + "1\n\n Input data read successfully\n");
}

TEST(Inmenu, HelpAndSnoopLeaveTheFileAtItsStart) {
  InputRun run(kSingleColumn, {"0", "H", "e", "m", "0", "3", "1"});
  const MenuCall call = RunMenu(run);
  EXPECT_EQ(call.RDFAIL, 0);
  EXPECT_EQ(call.NS, 2);
  EXPECT_EQ(run.Unread(), 0u);
}

TEST(Inmenu, FailedSingleColumnReadIsReportedWithAWait) {
  InputRun run("A1\nyear\n1.0\n", {"3", "0", "", ""});
  const MenuCall call = RunMenu(run);
  EXPECT_EQ(call.RDFAIL, 1);
  EXPECT_EQ(call.NS, 0);
  EXPECT_EQ(run.store().IYTAB.NYR(1), 0);
  const std::string& screen = run.Transcript();
  const std::string tail = "\n Input data not read in successfully\n             Hit RETURN to Continue\n";
  ASSERT_GE(screen.size(), tail.size());
  EXPECT_EQ(screen.substr(screen.size() - tail.size()), tail);
  EXPECT_EQ(run.Unread(), 0u);
}

TEST(Inmenu, SkippingPastTheEndIsAnEmptyDataSet) {
  InputRun run(kSingleColumn, {"3", "100", ""});
  const MenuCall call = RunMenu(run);
  EXPECT_EQ(call.RDFAIL, 1);
  EXPECT_EQ(call.NS, 0);
  EXPECT_NE(run.Transcript().find("No series were found in the data file."), std::string::npos);
}

TEST(Inmenu, MultipleColumns) {
  InputRun run("yr a b\n1900 1.0 -9\n1901 2.0 0.5\n", {"4", "0", "3", "-9"});
  const MenuCall call = RunMenu(run);
  EXPECT_EQ(call.RDFAIL, 0);
  EXPECT_EQ(call.NS, 2);
  EXPECT_EQ(run.store().IYTAB.IFY(2), 1901);
}

TEST(Inmenu, SlashAtTheMenuOrTheHeaderQuestionStopsWithStatus0) {
  InputRun at_menu(kSingleColumn, {"/"});
  EXPECT_EQ(RunMenu(at_menu).status, 0);
  InputRun at_skip(kSingleColumn, {"3", "/"});
  EXPECT_EQ(RunMenu(at_skip).status, 0);
  InputRun at_batch_menu(kSingleColumn, {"/"});
  EXPECT_EQ(RunMenu(at_batch_menu, common::ProgramVariant::kBatch).status, 0);
}

TEST(Inmenu, HeaderQuestionAsksAgainUntilANumber) {
  InputRun run(kSingleColumn, {"3", "one", "-2", "", ""});
  const MenuCall call = RunMenu(run);
  EXPECT_EQ(call.status, -1);
  EXPECT_EQ(call.RDFAIL, 1);  // no lines skipped: the title line is taken as an identifier
  EXPECT_NE(run.Transcript().find(kSkipQuestion + "one\n enter a zer[0] for none                         ==> -2\n"),
            std::string::npos)
      << run.Transcript();
}

TEST(Inmenu, EndOfInputAtTheMenuStopsWithStatus3) {
  InputRun run(kSingleColumn, {});
  EXPECT_EQ(RunMenu(run).status, 3);
}

TEST(Inmenu, EndOfInputAtTheHeaderQuestionStopsWithStatus3) {
  InputRun run(kSingleColumn, {"3"});
  EXPECT_EQ(RunMenu(run).status, 3);
}

TEST(InmenuBatch, LayoutAndQuitReturnsToTheProgram) {
  InputRun run(kSingleColumn, {"q"});
  const MenuCall call = RunMenu(run, common::ProgramVariant::kBatch);
  EXPECT_EQ(call.status, -1);
  EXPECT_EQ(call.RDFAIL, files::kMenuQuit);
  EXPECT_EQ(call.NS, 0);
  EXPECT_EQ(run.Transcript(), kBatchMenu + "q\n");
}

TEST(InmenuBatch, AnswerThatIsNotADigitShowsTheMenuAgain) {
  InputRun run(kSingleColumn, {"x", "3", "1"});
  const MenuCall call = RunMenu(run, common::ProgramVariant::kBatch);
  EXPECT_EQ(call.NS, 2);
  EXPECT_EQ(run.Transcript().substr(0, kBatchMenu.size() * 2 + 2), kBatchMenu + "x\n" + kBatchMenu);
}

}  // namespace
