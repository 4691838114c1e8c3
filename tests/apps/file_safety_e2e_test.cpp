// What a hostile or unlucky run must not do, end to end through the real
// programs: take a year no series can hold, write over the data being read,
// name its outputs after a folder, or lose a record of an output file and
// still say it was written.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/decade_files.h"
#include "support/e2e.h"
#include "support/text.h"

namespace {

namespace fs = std::filesystem;

using e2e::kAbnormal;
using e2e::kFinished;
using test_support::Has;
using test_support::Tail;

std::string YearLimit(const std::string& year) {
  return "==>  Year " + year + " is outside -9999 to 9999 (the year limit).\n";
}

// The dialogue up to the engine on a decade file (ratios, every series
// kept), then the default of every engine question and plot menu.
std::vector<std::string> WholeRun(const std::string& data) {
  std::vector<std::string> a = {data, "1", "R", "1", "6"};
  a.insert(a.end(), 2000, "");
  return a;
}

TEST(YearsAtTheSeriesMenu, AYearNoSeriesCanHoldIsRefusedAndAskedAgain) {
  {
    // Truncating after the smallest integer: refused, not a file of asterisks.
    e2e::Sandbox box;
    box.CopyData("ca533.rwl", "ca533");
    const e2e::Result r = box.Run(e2e::Kestrane(), {"ca533", "1", "R", "6", "-2147483648", "10000", "/"});
    EXPECT_EQ(r.status, 0) << Tail(r.screen);
    EXPECT_TRUE(Has(r.screen, YearLimit("-2147483648") + "\n Truncate series AFTER a MAXIMUM end year")) << Tail(r.screen);
    EXPECT_TRUE(Has(r.screen, YearLimit("10000")));
    EXPECT_EQ(box.Files(), (std::vector<std::string>{"ca533", "ca533_out_vKestrane_2019.txt"}));
    EXPECT_FALSE(Has(box.Read("ca533_out_vKestrane_2019.txt"), "TRUNCATED"));
  }
  {
    // A series that ends before year -1 truncated before the largest
    // integer: refused; a year past its end then stops on its length.
    e2e::Sandbox box;
    box.Put("old.rwl", test_support::DecadeSeries("OLD001", -700, 100));
    const e2e::Result r = box.Run(e2e::Kestrane(), {"old.rwl", "1", "R", "5", "2147483647", "0", ""});
    EXPECT_EQ(r.status, 1) << Tail(r.screen);
    EXPECT_TRUE(Has(r.screen, YearLimit("2147483647") + "\n Truncate series BEFORE a MINIMUM start year"));
    EXPECT_TRUE(Has(r.screen, " Series  OLD001    truncation before    0 only leaves -600  values for analysis."))
        << Tail(r.screen);
    EXPECT_TRUE(r.screen.ends_with(" Review your truncation choice!\n"));
  }
  {
    // The common period: a year outside asks for both years again.
    e2e::Sandbox box;
    box.CopyData("ca533.rwl", "ca533.rwl");
    const e2e::Result r = box.Run(e2e::Kestrane(), {"ca533.rwl", "1", "R", "7", "1600", "99999", "1600", "1900", "/"});
    EXPECT_EQ(r.status, 0) << Tail(r.screen);
    EXPECT_TRUE(Has(r.screen, YearLimit("99999") + "\n Enter the common start year")) << Tail(r.screen);
    EXPECT_TRUE(box.Has("ca533_comm=1600-1900.txt"));
  }
}

TEST(TheDataFile, IsNeverOpenedForWriting) {
  const std::string original = e2e::ReadData("ca533.rwl");
  {
    // A NUL after the name would cut it short where the report's name is
    // opened: the entry is unreadable and asked again.
    e2e::Sandbox box;
    box.Put("ca533", original);
    const e2e::Result r = box.Run(e2e::Kestrane(), {std::string("ca533\0", 6), "", "ca533\t", "", "/"});
    EXPECT_EQ(r.status, 0);
    const std::string refused = "==> \n There was an error reading your entry.\n";
    const std::size_t first = r.screen.find(refused);
    ASSERT_NE(first, std::string::npos) << Tail(r.screen);
    EXPECT_NE(r.screen.find(refused, first + 1), std::string::npos) << Tail(r.screen);
    EXPECT_EQ(box.Files(), std::vector<std::string>{"ca533"});
    EXPECT_EQ(box.Read("ca533"), original);
  }
  {
    // The report's name reaching the data file by a link: refused.
    e2e::Sandbox box;
    box.Put("ca533", original);
    fs::create_symlink("ca533", box.dir() / "ca533_out_vKestrane_2019.txt");
    const e2e::Result r = box.Run(e2e::Kestrane(), {"ca533", ""});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.screen.ends_with("\n Cannot open the output file ca533_out_vKestrane_2019.txt: it is a data file "
                                   "being read\n" + kAbnormal))
        << Tail(r.screen);
    EXPECT_EQ(box.Read("ca533"), original);
  }
  {
    // The batch program's list file is a data file too.
    e2e::Sandbox box;
    box.CopyData("ca533.rwl", "kr.rwl");
    box.Put("kr_out_vKestraneBatch.txt", "kr.rwl\n");
    const e2e::Result r = box.Run(e2e::KestraneBatch(), {"kr_out_vKestraneBatch.txt", ""});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Has(r.screen, "\n Cannot open the output file kr_out_vKestraneBatch.txt: it is a data file being read\n"))
        << Tail(r.screen);
    EXPECT_EQ(box.Read("kr_out_vKestraneBatch.txt"), "kr.rwl\n");
  }
}

TEST(OutputNames, ComeFromTheFileNameAloneAndLandInTheWorkingFolder) {
  // A folder whose name holds a dot: the old stem, "data", is the folder's.
  e2e::Sandbox box;
  fs::create_directory(box.dir() / "data.d");
  box.CopyData("synth12.rwl", "data.d/synth12.rwl");
  std::vector<std::string> answers = WholeRun("data.d/synth12.rwl");
  answers[3] = "4";  // keep series after a minimum start year
  answers.insert(answers.begin() + 4, "1801");
  const e2e::Result r = box.Run(e2e::Kestrane(), answers, 120);
  ASSERT_EQ(r.status, 0) << Tail(r.screen);
  EXPECT_TRUE(r.screen.ends_with(kFinished));
  for (const char* name : {"synth12_out_vKestrane_2019.txt", "synth12_mnsy=1801.txt", "synth12_STD_RAW_Data.txt",
                           "synth12_SSF_RAW_Curves.txt", "synth12_crns_col.txt", "synth12_crns_tuc.txt",
                           "synth12_spectra.txt"}) {
    EXPECT_TRUE(box.Has(name)) << name;
  }
  for (const std::string& name : box.Files()) EXPECT_TRUE(name.starts_with("synth12_") || name == "data.d") << name;
  EXPECT_TRUE(Has(r.screen, " File for censored data created: synth12_mnsy=1801.txt\n"));
  // The report still names the data file as it was typed.
  EXPECT_TRUE(Has(box.Read("synth12_out_vKestrane_2019.txt"), "DATA FILE TO PROCESS: data.d/synth12.rwl"));
}

TEST(OutputFiles, AFileThatCannotBeWrittenWholeEndsTheRunNamingIt) {
  struct Case {
    std::string blocked;  // the output that cannot be written
    bool folder;          // a folder in its place, else the full device
    std::vector<std::string> answers;
    std::string reason;
  };
  const std::vector<Case> cases = {
      {"synth12_out_vKestrane_2019.txt", true, {"synth12.rwl", ""}, "Cannot open the output file %: Is a directory"},
      {"synth12_out_vKestrane_2019.txt", false, {"synth12.rwl", "1", "R", "/"},
       "Cannot write the output file %: No space left on device"},
      {"synth12_truna=1950.txt", false, {"synth12.rwl", "1", "R", "6", "1950", ""},
       "Cannot write the output file %: No space left on device"},
      {"synth12_STD_RAW_Curves.txt", false, WholeRun("synth12.rwl"),
       "Cannot write the output file %: No space left on device"},
      {"synth12_crns_tuc.txt", false, WholeRun("synth12.rwl"), "Cannot write the output file %: No space left on device"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.blocked);
    e2e::Sandbox box;
    box.CopyData("synth12.rwl", "synth12.rwl");
    if (c.folder) {
      fs::create_directory(box.dir() / c.blocked);
    } else {
      fs::create_symlink("/dev/full", box.dir() / c.blocked);
    }
    const e2e::Result r = box.Run(e2e::Kestrane(), c.answers, 120);
    EXPECT_EQ(r.status, 1);
    std::string reason = c.reason;
    reason.replace(reason.find('%'), 1, c.blocked);
    EXPECT_TRUE(r.screen.ends_with("\n " + reason + "\n" + kAbnormal)) << Tail(r.screen);
    EXPECT_FALSE(Has(r.screen, "File for censored data created"));
  }
}

TEST(OutputFiles, ACumulativeFileOfTheBatchProgramThatCannotBeWrittenEndsItsRun) {
  e2e::Sandbox box;
  box.CopyData("synth12.rwl", "synth12.rwl");
  box.Put("sites.lst", "synth12.rwl\n");
  fs::create_symlink("/dev/full", box.dir() / "SSF_Crns.txt");
  std::vector<std::string> answers = {"sites.lst"};
  answers.insert(answers.end(), 3000, "");
  const e2e::Result r = box.Run(e2e::KestraneBatch(), answers, 120);
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.screen.ends_with("\n Cannot write the output file SSF_Crns.txt: No space left on device\n\n"
                                 " Abnormal termination of program Kestrane_ KestraneBatch  \n\n Hit RETURN to Quit"))
      << Tail(r.screen);
  // The data set's own files were written whole before.
  EXPECT_TRUE(Has(box.Read("synth12_crns_tuc.txt"), "ssfcrn"));
}

}  // namespace
