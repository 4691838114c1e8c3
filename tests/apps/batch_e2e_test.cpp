// kestrane_batch end to end: what its files hold checked against each other
// and against the interactive program's files, independently of the golden
// runs that pin its texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/e2e.h"
#include "support/text.h"

namespace {

using test_support::Lines;

// Block `k` (0-based) of `count` equal blocks of a decade chronology file:
// every chronology of a data set spans the same years.
std::string Block(const std::string& file, int k, int count) {
  const std::vector<std::string> lines = Lines(file);
  EXPECT_EQ(lines.size() % static_cast<std::size_t>(count), 0u);
  const std::size_t size = lines.size() / static_cast<std::size_t>(count);
  std::string block;
  for (std::size_t i = size * static_cast<std::size_t>(k); i < size * static_cast<std::size_t>(k + 1); ++i) {
    block += lines[i] + "\n";
  }
  return block;
}

// The list file's name, then `answers`, then the default of every later
// question and plot menu.
std::vector<std::string> Answers(std::vector<std::string> answers) {
  answers.insert(answers.begin(), "sites.lst");
  answers.insert(answers.end(), 3000, "");
  return answers;
}

const char* const kCumulative[] = {"STD_Crns.txt", "SSF_Crns.txt", "STDSTB_Crns.txt", "SSFSTB_Crns.txt"};

TEST(BatchEndToEnd, CumulativeFilesAreTheDataSetsDecadeBlocksInListOrder) {
  e2e::Sandbox box;
  box.CopyData("nm046.rwl", "nm046x1.rwl");
  box.CopyData("anos1.rwl", "anos1.rwl");
  box.CopyData("nm046.rwl", "nm046x2.rwl");
  box.Put("sites.lst", "nm046x1.rwl\nanos1.rwl\nnm046x2.rwl\n");
  const e2e::Result r = box.Run(e2e::KestraneBatch(), Answers({}), 120);
  ASSERT_EQ(r.status, 0) << r.screen.substr(r.screen.size() > 2000 ? r.screen.size() - 2000 : 0);

  // Two identical data sets whose names share their first six characters
  // give the same files: nothing of one data set leaks into the next.
  for (const char* suffix : {"_crns_col.txt", "_crns_tuc.txt", "_spectra.txt", "_Std_RBAR.txt", "_SSF_PTR_Data.txt"}) {
    EXPECT_EQ(box.Read(std::string("nm046x1") + suffix), box.Read(std::string("nm046x2") + suffix)) << suffix;
  }
  EXPECT_GT(Lines(box.Read("nm046x1_spectra.txt")).size(), 10u);

  // Each cumulative file: the matching block of every data set, in list order.
  for (int k = 0; k < 4; ++k) {
    std::string expected;
    for (const char* stem : {"nm046x1", "anos1", "nm046x2"}) expected += Block(box.Read(std::string(stem) + "_crns_tuc.txt"), k, 4);
    EXPECT_EQ(box.Read(kCumulative[k]), expected) << kCumulative[k];
  }
}

TEST(BatchEndToEnd, WindowZeroLeavesTheStabilisedCumulativeFilesEmpty) {
  e2e::Sandbox box;
  box.CopyData("nm046.rwl", "nm046.rwl");
  box.CopyData("anos1.rwl", "anos1.rwl");
  box.Put("sites.lst", "nm046.rwl\nanos1.rwl\n");
  // Wait, input menu, index mode, power, series processing, curve fit,
  // stiffness, end flag, mean: defaults; the window 0; no stabilisation
  // question follows.
  const e2e::Result r = box.Run(e2e::KestraneBatch(), Answers({"", "", "", "", "", "", "", "", "", "0"}), 120);
  ASSERT_EQ(r.status, 0) << r.screen.substr(r.screen.size() > 2000 ? r.screen.size() - 2000 : 0);
  EXPECT_EQ(r.screen.find("Additional spline variance stabilization?"), std::string::npos);
  EXPECT_EQ(box.Read("STDSTB_Crns.txt"), "");
  EXPECT_EQ(box.Read("SSFSTB_Crns.txt"), "");
  for (int k = 0; k < 2; ++k) {
    EXPECT_EQ(box.Read(kCumulative[k]),
              Block(box.Read("nm046_crns_tuc.txt"), k, 2) + Block(box.Read("anos1_crns_tuc.txt"), k, 2));
  }
  // Both data sets echo the window, and the stabilisation option that was
  // never asked.
  for (const char* report : {"nm046_out_vKestraneBatch.txt", "anos1_out_vKestraneBatch.txt"}) {
    EXPECT_NE(box.Read(report).find("\nRUNNING RBAR WINDOW WIDTH FOR VARIANCE STABILIZATION:     0\n"), std::string::npos);
  }
  EXPECT_NE(box.Read("nm046_out_vKestraneBatch.txt")
                .find("\nADDITIONAL SPLINE VARIANCE STABILIZATION OPTION - STANDARD SPLINE:     0\n"),
            std::string::npos);
  EXPECT_NE(box.Read("anos1_out_vKestraneBatch.txt")
                .find("\nADDITIONAL SPLINE VARIANCE STABILIZATION OPTION: AGE-DEPENDENT SPLINE\n"),
            std::string::npos);
}

TEST(BatchEndToEnd, InteractiveAndBatchWriteTheSameChronologyAndSpectraFiles) {
  e2e::Sandbox batch, interactive;
  batch.CopyData("nm046.rwl", "nm046.rwl");
  batch.Put("sites.lst", "nm046.rwl\n");
  interactive.CopyData("nm046.rwl", "nm046.rwl");
  const e2e::Result b = batch.Run(e2e::KestraneBatch(), Answers({}), 120);
  ASSERT_EQ(b.status, 0) << b.screen.substr(b.screen.size() > 2000 ? b.screen.size() - 2000 : 0);
  // The batch program's defaults typed out: decade ring widths, residuals
  // of power-transformed series; then every default.
  std::vector<std::string> answers = {"nm046.rwl", "1", "s", "t"};
  answers.insert(answers.end(), 3000, "");
  const e2e::Result i = interactive.Run(e2e::Kestrane(), answers, 120);
  ASSERT_EQ(i.status, 0) << i.screen.substr(i.screen.size() > 2000 ? i.screen.size() - 2000 : 0);
  for (const char* name : {"nm046_crns_col.txt", "nm046_crns_tuc.txt", "nm046_spectra.txt"}) {
    ASSERT_TRUE(batch.Has(name)) << name;
    EXPECT_EQ(batch.Read(name), interactive.Read(name)) << name;
  }
}

TEST(BatchEndToEnd, AKeptRegionalCurveAsksForThePithOffsetsOfEachDataSet) {
  e2e::Sandbox box;
  box.CopyData("nm046.rwl", "nm046.rwl");
  box.CopyData("anos1.rwl", "anos1.rwl");
  box.Put("sites.lst", "nm046.rwl\nanos1.rwl\n");
  // Wait, input menu, index mode, power, series processing: defaults; the
  // regional curve; then every default, the next-set question's "yes" too.
  const e2e::Result r = box.Run(e2e::KestraneBatch(), Answers({"", "", "", "", "", "-2"}), 120);
  ASSERT_EQ(r.status, 0) << r.screen.substr(r.screen.size() > 2000 ? r.screen.size() - 2000 : 0);
  std::size_t asked = 0;
  for (std::size_t at = r.screen.find("Use a pith offset file?"); at != std::string::npos;
       at = r.screen.find("Use a pith offset file?", at + 1)) {
    ++asked;
  }
  EXPECT_EQ(asked, 2u);
  EXPECT_NE(box.Read("anos1_out_vKestraneBatch.txt").find("\nREGIONAL CURVE STANDARDIZATION (RCS):  OPT   -2\n"),
            std::string::npos);
}

TEST(BatchEndToEnd, EndOfInputAtTheListPromptEndsWithStatus3) {
  e2e::Sandbox box;
  const e2e::Result r = box.Run(e2e::KestraneBatch(), {"nolist.txt"});
  EXPECT_EQ(r.status, 3);
  EXPECT_TRUE(r.screen.ends_with(" Signal Free list file not found: nolist.txt" + std::string(40, ' ') +
                                 "\n\n Signal Free list file name                 ==> "))
      << r.screen;
}

}  // namespace
