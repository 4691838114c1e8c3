// The engine end to end through the real kestrane: whole runs with every
// engine question and plot menu answered, their files and their ending.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/decade_files.h"
#include "support/e2e.h"
#include "support/text.h"

namespace {

using e2e::kFinished;
using test_support::Has;

// The dialogue up to the engine on a decade file (ratios, every series
// kept), then the default of every engine question and plot menu.
std::vector<std::string> Answers(const std::string& data, std::vector<std::string> options) {
  std::vector<std::string> a = {data, "1", "R", "1"};
  a.insert(a.end(), options.begin(), options.end());
  a.insert(a.end(), 2000, "");
  return a;
}

TEST(EngineEndToEnd, ARunThatConvergesIsTheSameEveryTime) {
  // ca533 with straight lines, the biweight mean and window 51.
  const std::vector<std::string> answers = Answers("ca533.rwl", {"3", "", "", "", "", ""});
  e2e::Sandbox first, second;
  first.CopyData("ca533.rwl", "ca533.rwl");
  second.CopyData("ca533.rwl", "ca533.rwl");
  const e2e::Result a = first.Run(e2e::Kestrane(), answers, 120);
  const e2e::Result b = second.Run(e2e::Kestrane(), answers, 120);
  ASSERT_EQ(a.status, 0) << a.screen.substr(a.screen.size() > 3000 ? a.screen.size() - 3000 : 0);
  EXPECT_TRUE(a.screen.ends_with(kFinished));
  EXPECT_TRUE(a.errors.empty());

  const std::vector<std::string> files = {"ca533.rwl",
                                          "ca533_SSF_RAW_Curves.txt",
                                          "ca533_SSF_RAW_Data.txt",
                                          "ca533_SSF_RAW_Ratios.txt",
                                          "ca533_STD_RAW_Curves.txt",
                                          "ca533_STD_RAW_Data.txt",
                                          "ca533_STD_RAW_Ratios.txt",
                                          "ca533_Ssf_RBAR.txt",
                                          "ca533_Std_RBAR.txt",
                                          "ca533_crns_col.txt",
                                          "ca533_crns_tuc.txt",
                                          "ca533_out_vKestrane_2019.txt",
                                          "ca533_spectra.txt"};
  EXPECT_EQ(first.Files(), files);
  EXPECT_EQ(a.screen, b.screen);
  for (const std::string& f : files) EXPECT_EQ(first.Read(f), second.Read(f)) << f;

  const std::string report = first.Read("ca533_out_vKestrane_2019.txt");
  EXPECT_TRUE(Has(report, "| -------- SIGNAL FREE CONVERGENCE STATISTICS ------- |"));
  EXPECT_TRUE(Has(report, "\n Iter   1  Convergence Criteria: "));
  EXPECT_TRUE(Has(report, "\n FINAL ITERATION WITH CONVERGENCE (<0.0001 CHANGE): "));
  EXPECT_TRUE(Has(a.screen, "\n Final iteration with convergence (<0.0001 change): "));
}

TEST(EngineEndToEnd, ASeriesTheDecadeFormatCannotHoldIsLeftOutAndTheRunEndsAbnormallyOnceAllIsWritten) {
  e2e::Sandbox box;
  box.Put("data.rwl", test_support::WideRingSet());
  const e2e::Result r = box.Run(e2e::Kestrane(), Answers("data.rwl", {"3", "", "", "", "", ""}));
  EXPECT_EQ(r.status, 1) << r.screen;
  // Named when the standard pass's files are complete, and again as the
  // run ends, after every other file, in place of the normal termination:
  // the first file listed, and the chronology file (its chronologies of two
  // series, one with a ring of 1000 mm, reach 10 and more) the last.
  const std::string incomplete =
      std::string(test_support::kWideRingRefusal) + " The file data_STD_RAW_Data.txt is incomplete.\n";
  EXPECT_NE(r.screen.find(incomplete), r.screen.rfind(incomplete));
  EXPECT_TRUE(Has(r.screen, " No spectra: fewer than 9 years have a sample depth of 5 or more.\n" + incomplete));
  EXPECT_TRUE(
      r.screen.ends_with(" The file data_crns_tuc.txt is incomplete.\n\n Abnormal termination of "
                         "Kestrane_Version Kestrane_2019  \n\n Hit RETURN to Quit"))
      << r.screen.substr(r.screen.size() - 600);
  EXPECT_FALSE(Has(r.screen, "Normal termination"));
  const std::string raw = box.Read("data_STD_RAW_Data.txt");
  EXPECT_TRUE(Has(raw, "\nBIGA    1901"));
  EXPECT_FALSE(Has(raw, "BIGB"));
  EXPECT_FALSE(Has(raw, "*"));
  // The curves are not too wide: that file holds both series.
  EXPECT_TRUE(Has(box.Read("data_STD_RAW_Curves.txt"), "\nBIGB    1901"));
  for (const char* f : {"data_crns_col.txt", "data_crns_tuc.txt", "data_spectra.txt", "data_Ssf_RBAR.txt"}) {
    EXPECT_TRUE(box.Has(f)) << f;
  }
}

TEST(EngineEndToEnd, AThresholdThatCannotBeMetRestartsTenTimesThenEnds) {
  e2e::Sandbox box;
  box.CopyData("synth12.rwl", "synth12.rwl");
  const e2e::Result r = box.Run(e2e::Kestrane(), Answers("synth12.rwl", {"6", "", "", "", "3", "1e-9", ""}));
  ASSERT_EQ(r.status, 0) << r.screen.substr(r.screen.size() > 3000 ? r.screen.size() - 3000 : 0);
  // Every rise asks for a restart with the next constant, ten times; the
  // eleventh gives up and the run goes on to its files.
  const std::string constant = " CONSTANT ADDED TO ALL MEASUREMENTS TO AID CONVERGENCE(?):       ";
  std::size_t at = 0;
  for (const char* c : {"0.000", "0.100", "0.200", "0.300", "0.400", "0.500", "0.600", "0.700", "0.800", "0.900",
                        "1.000"}) {
    at = r.screen.find("\n" + constant + c + "\n", at);
    ASSERT_NE(at, std::string::npos) << c;
  }
  EXPECT_EQ(r.screen.find(constant + "1.100"), std::string::npos);
  EXPECT_EQ(r.screen.find(" OKAY, LET US BEGIN:"), r.screen.rfind(" OKAY, LET US BEGIN:"));
  EXPECT_TRUE(r.screen.ends_with(kFinished));
  EXPECT_TRUE(box.Has("synth12_Ssf_RBAR.txt"));
  EXPECT_TRUE(box.Has("synth12_crns_tuc.txt"));
}

TEST(EngineEndToEnd, AChronologyFileThatCannotBeWrittenEndsTheRunNamingIt) {
  for (const std::string blocked : {"synth12_crns_col.txt", "synth12_crns_tuc.txt", "synth12_spectra.txt"}) {
    e2e::Sandbox box;
    box.CopyData("synth12.rwl", "synth12.rwl");
    std::filesystem::create_directory(box.dir() / blocked);  // a folder where the file should go
    const e2e::Result r = box.Run(e2e::Kestrane(), Answers("synth12.rwl", {"6"}));
    EXPECT_EQ(r.status, 1) << blocked;
    EXPECT_TRUE(r.screen.ends_with("\n Cannot open the output file " + blocked +
                                   ": Is a directory\n\n Abnormal termination of Kestrane_Version Kestrane_2019  \n\n"
                                   " Hit RETURN to Quit"))
        << r.screen.substr(r.screen.size() - 300);
    EXPECT_FALSE(Has(r.screen, "Normal termination"));
    // What was written before stays: the report up to the run's last line.
    EXPECT_TRUE(Has(box.Read("synth12_out_vKestrane_2019.txt"), "FINAL ITERATION WITH CONVERGENCE"));
  }
}

}  // namespace
