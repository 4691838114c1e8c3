// The plot options menu of the real programs: a page is never saved over a
// file the run reads or holds open, whatever path names it; a page that
// cannot be written is named; colours come only from the colour map, so
// PLplot has nothing to complain about. After each refusal the menu comes
// back and the run goes on to its end.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/e2e.h"
#include "support/text.h"

namespace {

namespace fs = std::filesystem;

using e2e::kBatchFinished;
using e2e::kFinished;
using test_support::Count;
using test_support::Has;
using test_support::Tail;

const fs::path kGolden = fs::path(KESTRANE_TEST_DATA).parent_path() / "golden";

const std::string kInteractiveReport = "synth12_out_vKestrane_2019.txt";
const std::string kBatchReport = "synth12_out_vKestraneBatch.txt";

// A refusal line of the save path, followed by the menu again.
std::string Refused(const std::string& name, const std::string& why) {
  return "\n" + std::string(15, ' ') + "Cannot write the plot file " + name + ": " + why + "\n\n\n" +
         std::string(15, ' ') + "|*";
}

// `plot_answers` at the first plot options menu of the interactive program
// on synth12.rwl (ratios, every series, the horizontal line), then the
// default of every later question.
std::vector<std::string> InteractiveRun(const std::vector<std::string>& plot_answers) {
  std::vector<std::string> a = {"synth12.rwl", "1", "R", "1", "6", "", "", "", "", ""};
  a.insert(a.end(), plot_answers.begin(), plot_answers.end());
  a.insert(a.end(), 2000, "");
  return a;
}

// The same at the first plot options menu of the batch program on a list
// naming synth12.rwl, every answer before it the default.
std::vector<std::string> BatchRun(const std::vector<std::string>& plot_answers) {
  std::vector<std::string> a = {"sites.lst"};
  a.insert(a.end(), 12, "");
  a.insert(a.end(), plot_answers.begin(), plot_answers.end());
  a.insert(a.end(), 3000, "");
  return a;
}

// A folder with synth12.rwl and, for the batch program, its list.
struct Synth12 {
  Synth12() {
    box.CopyData("synth12.rwl", "synth12.rwl");
    box.Put("sites.lst", "synth12.rwl\n");
  }
  // Every file the run read is as it was.
  void ExpectInputsUnchanged() const {
    EXPECT_EQ(box.Read("synth12.rwl"), e2e::ReadData("synth12.rwl"));
    EXPECT_EQ(box.Read("sites.lst"), "synth12.rwl\n");
  }
  e2e::Sandbox box;
};

TEST(PlotPageNames, TheInteractiveProgramWritesNoPageOverAFileItReadsOrHoldsOpen) {
  Synth12 s;
  fs::create_symlink("synth12.rwl", s.box.dir() / "link.ps");
  fs::create_hard_link(s.box.dir() / "synth12.rwl", s.box.dir() / "hard.ps");
  const e2e::Result r =
      s.box.Run(e2e::Kestrane(),
                InteractiveRun({"s", "synth12.rwl", "s", "./synth12.rwl", "s", "link.ps", "s", " hard.ps", "s",
                                kInteractiveReport, "s", "./" + kInteractiveReport, "s", std::string("page\x01.ps"),
                                " s", "page.ps", "c"}),
                120);
  ASSERT_EQ(r.status, 0) << Tail(r.screen);
  EXPECT_TRUE(r.screen.ends_with(kFinished)) << Tail(r.screen);
  EXPECT_TRUE(Has(r.screen, Refused("synth12.rwl", "it is a file this run reads")));
  EXPECT_TRUE(Has(r.screen, Refused("./synth12.rwl", "it is synth12.rwl, a file this run reads")));
  EXPECT_TRUE(Has(r.screen, Refused("link.ps", "it is synth12.rwl, a file this run reads")));
  EXPECT_TRUE(Has(r.screen, Refused("hard.ps", "it is synth12.rwl, a file this run reads")));
  EXPECT_TRUE(Has(r.screen, Refused(kInteractiveReport, "it is a file this run is writing")));
  EXPECT_TRUE(Has(r.screen, Refused("./" + kInteractiveReport, "it is " + kInteractiveReport +
                                                                   ", a file this run is writing")));
  EXPECT_TRUE(Has(r.screen, "Enter plot file name > \n" + std::string(15, ' ') + "Error reading plot file name\n"));
  EXPECT_EQ(r.errors, "");
  s.ExpectInputsUnchanged();
  EXPECT_TRUE(fs::is_symlink(s.box.dir() / "link.ps"));
  EXPECT_EQ(s.box.Read("hard.ps"), e2e::ReadData("synth12.rwl"));
  EXPECT_FALSE(Has(s.box.Read(kInteractiveReport), "%!PS"));
  // The one name in no use is written, as typed.
  EXPECT_TRUE(s.box.Read("page.ps").starts_with("%!PS"));
  for (const std::string& name : s.box.Files()) EXPECT_FALSE(name.starts_with("page\x01")) << name;
}

TEST(PlotPageNames, TheBatchProgramWritesNoPageOverItsListDataOrOpenFiles) {
  Synth12 s;
  const e2e::Result r = s.box.Run(e2e::KestraneBatch(),
                                  BatchRun({"s", "sites.lst", "s", "./sites.lst", "s", "synth12.rwl", "s",
                                            "STD_Crns.txt", "s", kBatchReport, "s", "page.ps", "c"}),
                                  120);
  ASSERT_EQ(r.status, 0) << Tail(r.screen);
  EXPECT_TRUE(r.screen.ends_with(kBatchFinished)) << Tail(r.screen);
  EXPECT_TRUE(Has(r.screen, Refused("sites.lst", "it is a file this run reads")));
  EXPECT_TRUE(Has(r.screen, Refused("./sites.lst", "it is sites.lst, a file this run reads")));
  EXPECT_TRUE(Has(r.screen, Refused("synth12.rwl", "it is a file this run reads")));
  EXPECT_TRUE(Has(r.screen, Refused("STD_Crns.txt", "it is a file this run is writing")));
  EXPECT_TRUE(Has(r.screen, Refused(kBatchReport, "it is a file this run is writing")));
  EXPECT_EQ(r.errors, "");
  s.ExpectInputsUnchanged();
  for (const std::string& name : {std::string("STD_Crns.txt"), kBatchReport}) {
    EXPECT_FALSE(Has(s.box.Read(name), "%!PS")) << name;
  }
  EXPECT_TRUE(Has(s.box.Read("STD_Crns.txt"), "synth12"));
  EXPECT_TRUE(s.box.Read("page.ps").starts_with("%!PS"));
}

// An earlier data set's report is closed, but still this run's output.
TEST(PlotPageNames, TheBatchProgramWritesNoPageOverAnEarlierDataSetsReport) {
  Synth12 s;
  s.box.CopyData("synth12.rwl", "again.rwl");
  s.box.Put("sites.lst", "synth12.rwl\nagain.rwl\n");
  // The first data set: its 35 questions and menus and the two after it;
  // then the second's start, input format and series processing menus, and
  // its first plot menu.
  std::vector<std::string> answers = {"sites.lst"};
  answers.insert(answers.end(), 40, "");
  answers.insert(answers.end(), {"s", kBatchReport, "s", "./" + kBatchReport, "c"});
  answers.insert(answers.end(), 200, "");
  const e2e::Result r = s.box.Run(e2e::KestraneBatch(), answers, 120);
  ASSERT_EQ(r.status, 0) << Tail(r.screen);
  EXPECT_TRUE(Has(r.screen, " Data set number   2 being processed: again.rwl"));
  EXPECT_TRUE(Has(r.screen, Refused(kBatchReport, "it is a file this run wrote")));
  EXPECT_TRUE(Has(r.screen, Refused("./" + kBatchReport, "it is " + kBatchReport + ", a file this run wrote")));
  EXPECT_TRUE(Has(s.box.Read(kBatchReport), "synth12"));
  EXPECT_FALSE(Has(s.box.Read(kBatchReport), "%!PS"));
}

TEST(PlotPageNames, NoPageIsWrittenOverThePithOffsetFileOfEitherProgram) {
  const fs::path input = kGolden / "engine_regional_pith" / "input";
  // Regional curve with the pith offsets read from gp12_pith.txt, then the
  // defaults up to a plot options menu of the engine, a save there, and "/".
  const std::vector<std::string> pith = {"-2", "", "T", "gp12_pith.txt", "1", "0", "", "", "", "", ""};
  const std::vector<std::string> save = {"s", "gp12_pith.txt", "s", "./gp12_pith.txt", "/"};
  std::vector<std::string> interactive = {"gp12.rwl", "1", "r", ""};
  std::vector<std::string> batch = {"sites.lst", "", "", "r", ""};
  for (auto* answers : {&interactive, &batch}) {
    answers->insert(answers->end(), pith.begin(), pith.end());
    answers->insert(answers->end(), save.begin(), save.end());
  }
  for (const bool is_batch : {false, true}) {
    SCOPED_TRACE(is_batch ? "batch" : "interactive");
    e2e::Sandbox box;
    for (const char* name : {"gp12.rwl", "gp12_pith.txt"}) fs::copy_file(input / name, box.dir() / name);
    box.Put("sites.lst", "gp12.rwl\n");
    const std::string offsets = box.Read("gp12_pith.txt");
    const std::string data = box.Read("gp12.rwl");
    const e2e::Result r = box.Run(is_batch ? e2e::KestraneBatch() : e2e::Kestrane(), is_batch ? batch : interactive, 120);
    EXPECT_EQ(r.status, 0) << Tail(r.screen);
    EXPECT_TRUE(Has(r.screen, Refused("gp12_pith.txt", "it is a file this run reads"))) << Tail(r.screen);
    EXPECT_TRUE(Has(r.screen, Refused("./gp12_pith.txt", "it is gp12_pith.txt, a file this run reads")));
    EXPECT_EQ(box.Read("gp12_pith.txt"), offsets);
    EXPECT_EQ(box.Read("gp12.rwl"), data);
  }
}

TEST(PlotColours, OutsideTheColourMapAreAskedAgainAndNothingReachesTheErrorStream) {
  // Line colour -3, then 2147483647 (read from its first four columns:
  // 2147), then 3; curve colour 2147483647, -3, 16, then 9; the page is then
  // saved, which draws it with PLplot.
  const std::vector<std::string> plot = {"4", "-3", "2147483647", "3", "5", "2147483647", "-3", "16", "9",
                                         "s", "page.ps", "c"};
  for (const bool is_batch : {false, true}) {
    SCOPED_TRACE(is_batch ? "batch" : "interactive");
    Synth12 s;
    const e2e::Result r = s.box.Run(is_batch ? e2e::KestraneBatch() : e2e::Kestrane(),
                                    is_batch ? BatchRun(plot) : InteractiveRun(plot), 120);
    ASSERT_EQ(r.status, 0) << Tail(r.screen);
    EXPECT_TRUE(r.screen.ends_with(is_batch ? kBatchFinished : kFinished)) << Tail(r.screen);
    const std::string pad(13, ' ');
    EXPECT_EQ(Count(r.screen, " : \n" + pad + "out of range re-enter a number from 0 to 15\n" + pad + "select new "), 5);
    EXPECT_EQ(r.errors, "");
    // The page holds the two colours chosen: green (3) and blue (9) of
    // PLplot's default colour map 0.
    const std::string page = s.box.Read("page.ps");
    EXPECT_TRUE(page.starts_with("%!PS"));
    EXPECT_TRUE(Has(page, "0.0000 1.0000 0.0000 C")) << page.substr(0, 400);
    EXPECT_TRUE(Has(page, "0.0000 0.0000 1.0000 C"));
    s.ExpectInputsUnchanged();
  }
}

TEST(PlotPages, APageThatCannotBeWrittenIsNamedAndTheMenuComesBack) {
  // The full device, a folder that does not exist, then an absolute path:
  // the first two are named with the reason, the third is written.
  for (const bool is_batch : {false, true}) {
    SCOPED_TRACE(is_batch ? "batch" : "interactive");
    Synth12 s;
    const std::string absolute = (s.box.dir() / "saved.ps").string();
    const std::vector<std::string> plot = {"s", "/dev/full", "s", "no_such_folder/page.ps", "s", absolute, "c"};
    const e2e::Result r = s.box.Run(is_batch ? e2e::KestraneBatch() : e2e::Kestrane(),
                                    is_batch ? BatchRun(plot) : InteractiveRun(plot), 120);
    ASSERT_EQ(r.status, 0) << Tail(r.screen);
    EXPECT_TRUE(r.screen.ends_with(is_batch ? kBatchFinished : kFinished)) << Tail(r.screen);
    EXPECT_TRUE(Has(r.screen, Refused("/dev/full", "No space left on device"))) << Tail(r.screen);
    EXPECT_TRUE(Has(r.screen, Refused("no_such_folder/page.ps", "No such file or directory")));
    EXPECT_TRUE(s.box.Read("saved.ps").starts_with("%!PS"));
    EXPECT_FALSE(Has(r.screen, "Cannot write the plot file " + absolute));
    EXPECT_EQ(r.errors, "");
    s.ExpectInputsUnchanged();
  }
}

}  // namespace
