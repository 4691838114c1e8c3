// A data set the programs cannot use whole never reaches the engine, and no
// file a batch run reads is emptied, end to end through the real programs:
// the batch program's cumulative files named as its list or its data, a read
// that failed (real archive files, a data set over the year or series
// limit) and a year inside a data set that no series covers. Every case
// checks that the files the run read are byte for byte as they were, and a
// batch case that the cumulative files hold the earlier data sets' blocks.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/decade_files.h"
#include "support/e2e.h"
#include "support/text.h"

namespace {

namespace fs = std::filesystem;

using e2e::kAbnormal;
using e2e::kBatchAbnormal;
using test_support::Has;
using test_support::Tail;

const char* const kCumulative[] = {"STD_Crns.txt", "SSF_Crns.txt", "STDSTB_Crns.txt", "SSFSTB_Crns.txt"};

// Every file of the folder with its bytes (links followed).
std::map<std::string, std::string> Snapshot(const e2e::Sandbox& box) {
  std::map<std::string, std::string> files;
  for (const std::string& name : box.Files()) files[name] = box.Read(name);
  return files;
}

// The files of `before` as they are now: each must be unchanged.
void ExpectUnchanged(const e2e::Sandbox& box, const std::map<std::string, std::string>& before) {
  for (const auto& [name, bytes] : before) EXPECT_EQ(box.Read(name), bytes) << name << " was changed";
}

// `answers`, then Return at every later question and plot menu.
std::vector<std::string> ThenDefaults(std::vector<std::string> answers) {
  answers.insert(answers.end(), 3000, "");
  return answers;
}

// Block `k` of the four equal blocks of a data set's "_crns_tuc.txt".
std::string Block(const std::string& file, int k) {
  std::vector<std::string> lines;
  std::istringstream in(file);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  EXPECT_EQ(lines.size() % 4, 0u);
  const std::size_t size = lines.size() / 4;
  std::string block;
  for (std::size_t i = size * static_cast<std::size_t>(k); i < size * static_cast<std::size_t>(k + 1); ++i) {
    block += lines[i] + "\n";
  }
  return block;
}

// The cumulative files of a batch run whose only complete data set was
// synth12.rwl: its four blocks, nothing else.
void ExpectOnlySynth12InCumulativeFiles(const e2e::Sandbox& box) {
  const std::string decade = box.Read("synth12_crns_tuc.txt");
  ASSERT_FALSE(decade.empty());
  for (int k = 0; k < 4; ++k) EXPECT_EQ(box.Read(kCumulative[k]), Block(decade, k)) << kCumulative[k];
}

// ca533.rwl with two decade lines of its 20th series (CAM122) swapped.
std::string Ca533WithSwappedLines() {
  std::string text = e2e::ReadData("ca533.rwl");
  const std::size_t first = text.find("\nCAM122  ") + 1;
  const std::size_t second = text.find('\n', first) + 1;
  const std::size_t third = text.find('\n', second) + 1;
  const std::string a = text.substr(first, second - first);
  const std::string b = text.substr(second, third - second);
  text.replace(first, third - first, b + a);
  return text;
}

// ---------------------------------------------------------------------------
// The batch program's cumulative files.

TEST(CumulativeFiles, AListFileThatIsOneOfThemIsRefusedAndAskedAgain) {
  e2e::Sandbox box;
  box.CopyData("synth12.rwl", "synth12.rwl");
  box.Put("STD_Crns.txt", "synth12.rwl\n");
  box.Put("SSF_Crns.txt", "synth12.rwl\n");
  fs::create_symlink("SSF_Crns.txt", box.dir() / "mylist");
  const auto before = Snapshot(box);
  const e2e::Result r = box.Run(e2e::KestraneBatch(), {"STD_Crns.txt", "mylist", "./STD_Crns.txt"});
  EXPECT_EQ(r.status, 3) << Tail(r.screen);
  const std::string prompt = "\n Signal Free list file name                 ==> ";
  EXPECT_TRUE(r.screen.ends_with(
      prompt + "\n Signal Free list file is the cumulative file STD_Crns.txt: STD_Crns.txt" + std::string(38, ' ') + "\n" +
      prompt + "\n Signal Free list file is the cumulative file SSF_Crns.txt: mylist" + std::string(44, ' ') + "\n" +
      prompt + "\n Signal Free list file is the cumulative file STD_Crns.txt: ./STD_Crns.txt" + std::string(36, ' ') +
      "\n" + prompt))
      << Tail(r.screen);
  // Nothing was created or emptied.
  EXPECT_EQ(Snapshot(box), before);
}

TEST(CumulativeFiles, ADataFileThatIsOneOfThemEndsTheRunBeforeAnythingIsEmptied) {
  // An earlier run leaves its four cumulative files, valid decade chronologies.
  e2e::Sandbox earlier;
  earlier.CopyData("synth12.rwl", "synth12.rwl");
  earlier.Put("sites.lst", "synth12.rwl\n");
  ASSERT_EQ(earlier.Run(e2e::KestraneBatch(), ThenDefaults({"sites.lst"})).status, 0);
  ASSERT_FALSE(earlier.Read("STD_Crns.txt").empty());

  struct Case {
    std::string listed;      // the data file as the list names it
    std::string cumulative;  // the cumulative file it is
    bool link;               // `listed` is a link to it
    bool earlier_files;      // the earlier run's files are there; else none
                             // is yet, and the run would read what it wrote
  };
  for (const Case& c : {Case{"STD_Crns.txt", "STD_Crns.txt", false, true},
                        Case{"./SSF_Crns.txt", "SSF_Crns.txt", false, true},
                        Case{"old.crn", "STDSTB_Crns.txt", true, true},
                        Case{"./SSFSTB_Crns.txt", "SSFSTB_Crns.txt", false, false}}) {
    e2e::Sandbox box;
    box.CopyData("synth12.rwl", "synth12.rwl");
    if (c.earlier_files) {
      for (const char* name : kCumulative) box.Put(name, earlier.Read(name));
    }
    if (c.link) fs::create_symlink(c.cumulative, box.dir() / c.listed);
    // The cumulative file comes second: the first data set is not processed either.
    box.Put("sites.lst", "synth12.rwl\n" + c.listed + "\n");
    const auto before = Snapshot(box);
    const e2e::Result r = box.Run(e2e::KestraneBatch(), ThenDefaults({"sites.lst"}));
    EXPECT_EQ(r.status, 1) << c.listed;
    EXPECT_TRUE(r.screen.ends_with(" Signal Free list file opened: sites.lst" + std::string(41, ' ') +
                                   "\n\n Data file " + c.listed + " is the cumulative file " + c.cumulative +
                                   ", which the run writes anew.\n" + kBatchAbnormal))
        << Tail(r.screen);
    EXPECT_EQ(Snapshot(box), before) << c.listed;
  }
}

TEST(CumulativeFiles, AListedDataFileIsNeverWrittenByAnEarlierDataSet) {
  // The second data set's file has the name of the first one's column table:
  // the first data set's files stop at it, and the data is kept.
  e2e::Sandbox box;
  box.CopyData("synth12.rwl", "synth12.rwl");
  box.CopyData("synth12.rwl", "synth12_crns_col.txt");
  box.Put("sites.lst", "synth12.rwl\nsynth12_crns_col.txt\n");
  const auto before = Snapshot(box);
  const e2e::Result r = box.Run(e2e::KestraneBatch(), ThenDefaults({"sites.lst"}));
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.screen.ends_with("\n Cannot open the output file synth12_crns_col.txt: it is a data file being read\n" +
                                 kBatchAbnormal))
      << Tail(r.screen);
  ExpectUnchanged(box, before);
}

// ---------------------------------------------------------------------------
// A read that failed, in the batch program and in the interactive one.

struct FailedRead {
  std::string name;    // the data file
  std::string source;  // the file of tests/data it is, or "" for `content`
  std::string content;
  std::string reader_message;  // what the reader shows before the failure
};

std::string OverYearLimit() {
  // -4000 to 2001: 6002 years, one more than a data set may span.
  return test_support::DecadeSeries("EARLY", -4000, 30) + test_support::DecadeSeries("LATE", 1972, 30);
}

std::vector<FailedRead> FailedReads() {
  const std::string decade_failure =
      "\n WARNING: Fatal error reading data from input file.\n          Suggest checking file format and/or file type\n";
  return {
      {"arge041.rwl", "arge041.rwl", "", decade_failure},
      {"cana209.rwl", "cana209.rwl", "", decade_failure},
      {"neth031.rwl", "neth031.rwl", "", decade_failure},
      {"ca533swap.rwl", "", Ca533WithSwappedLines(), decade_failure},
      {"ca535.rwl", "ca535.rwl", "",
       "\n The data set spans 7980 years (-6000 to 1979): the limit is 6001 years.\n\n Input data not read in "
       "successfully\n"},
      {"swed334.rwl", "swed334.rwl", "",
       "\n The data set spans 7418 years (-5407 to 2010): the limit is 6001 years.\n\n Input data not read in "
       "successfully\n"},
      {"span6002.rwl", "", OverYearLimit(),
       "\n The data set spans 6002 years (-4000 to 2001): the limit is 6001 years.\n\n Input data not read in "
       "successfully\n"},
      {"many.rwl", "", test_support::DecadeSet("M", 3001, 1901, 12),
       "\n More than 3000 series in the data file: the limit is 3000 series.\n\n Input data not read in "
       "successfully\n"},
  };
}

void PutData(const e2e::Sandbox& box, const FailedRead& c) {
  if (c.source.empty()) {
    box.Put(c.name, c.content);
  } else {
    box.CopyData(c.source, c.name);
  }
}

std::string Stem(const std::string& name) { return name.substr(0, name.find('.')); }

TEST(FailedRead, EndsTheBatchRunAfterTheEarlierDataSetsWithNothingOfItProcessed) {
  for (const FailedRead& c : FailedReads()) {
    SCOPED_TRACE(c.name);
    e2e::Sandbox box;
    box.CopyData("synth12.rwl", "synth12.rwl");
    box.CopyData("synth12.rwl", "later.rwl");
    PutData(box, c);
    box.Put("sites.lst", "synth12.rwl\n" + c.name + "\nlater.rwl\n");
    const auto before = Snapshot(box);
    const e2e::Result r = box.Run(e2e::KestraneBatch(), ThenDefaults({"sites.lst"}), 120);
    EXPECT_EQ(r.status, 1) << Tail(r.screen);
    const std::size_t reader = r.screen.find(c.reader_message);
    ASSERT_NE(reader, std::string::npos) << Tail(r.screen);
    const std::string end =
        "\n Reading the data set " + c.name + " failed: it is not processed.\n" + kBatchAbnormal;
    EXPECT_TRUE(r.screen.ends_with(end)) << Tail(r.screen);
    EXPECT_LT(reader, r.screen.size() - end.size());
    // Nothing of the data set went on: no summary, no question after the read.
    EXPECT_FALSE(Has(r.screen.substr(reader), "Total series read in:"));
    const std::string report = box.Read(Stem(c.name) + "_out_vKestraneBatch.txt");
    EXPECT_TRUE(report.ends_with("\n READING THE DATA SET " + c.name + " FAILED: IT IS NOT PROCESSED.\n")) << report;
    EXPECT_FALSE(Has(report, "DATA TITLE"));

    ExpectOnlySynth12InCumulativeFiles(box);
    ExpectUnchanged(box, before);
    for (const std::string& name : box.Files()) {
      const bool expected = before.count(name) != 0 || name.starts_with("synth12_") ||
                            name == Stem(c.name) + "_out_vKestraneBatch.txt" || name.ends_with("_Crns.txt");
      EXPECT_TRUE(expected) << name;
    }
  }
}

TEST(FailedRead, IsRefusedByTheInteractiveProgramWhichAsksToTryAgain) {
  for (const FailedRead& c : FailedReads()) {
    SCOPED_TRACE(c.name);
    e2e::Sandbox box;
    PutData(box, c);
    const auto before = Snapshot(box);
    // The file, decade ring widths, Return at the reader's wait, "q".
    const e2e::Result r = box.Run(e2e::Kestrane(), {c.name, "1", "", "q"}, 60);
    EXPECT_EQ(r.status, 1) << Tail(r.screen);
    EXPECT_TRUE(Has(r.screen, c.reader_message)) << Tail(r.screen);
    EXPECT_TRUE(r.screen.ends_with("\n [T]ry again or [Q]uit the program now?          ==> \n Program Terminating\n"))
        << Tail(r.screen);
    ExpectUnchanged(box, before);
    EXPECT_EQ(box.Files().size(), before.size() + 1);  // the report alone
  }
}

// ---------------------------------------------------------------------------
// A year inside the data set that no series covers.

// Series over 1601-1698 and 1711-1805 (one nested in another, one
// overlapping), then 1807-1900: no series covers 1699-1710 nor 1806.
std::string GappedSet() {
  using test_support::DecadeSeries;
  return DecadeSeries("A1", 1601, 90, 410) + DecadeSeries("A2", 1650, 49, 520) + DecadeSeries("A3", 1610, 31, 630) +
         DecadeSeries("B1", 1711, 95, 440) + DecadeSeries("B2", 1720, 81, 550) + DecadeSeries("C1", 1807, 94, 660);
}

const std::string kGapLines =
    "\n No series covers the years 1699 to 1710.\n No series covers the year 1806.\n"
    " A chronology needs at least one series in every year of the data set.\n";
const std::string kGapReport = "\n NO SERIES COVERS THE YEARS 1699 TO 1710.\n NO SERIES COVERS THE YEAR 1806.\n";

TEST(YearWithoutSeries, EndsTheInteractiveRunBeforeTheOptionQuestions) {
  e2e::Sandbox box;
  box.Put("gaps.rwl", GappedSet());
  const auto before = Snapshot(box);
  const e2e::Result r = box.Run(e2e::Kestrane(), ThenDefaults({"gaps.rwl", "1", "R"}));
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.screen.ends_with(kGapLines + kAbnormal)) << Tail(r.screen);
  EXPECT_TRUE(Has(r.screen, " Total series read in:            6  1601  1900   300\n"));
  EXPECT_FALSE(Has(r.screen, "biwgt"));
  EXPECT_FALSE(Has(r.screen, "Mean index calculation"));
  EXPECT_TRUE(box.Read("gaps_out_vKestrane_2019.txt").ends_with(kGapReport));
  ExpectUnchanged(box, before);
  EXPECT_EQ(box.Files(), (std::vector<std::string>{"gaps.rwl", "gaps_out_vKestrane_2019.txt"}));
}

TEST(YearWithoutSeries, LeftByCensoringIsFoundInTheCensoredSet) {
  // 1601-1700 and 1711-1810 joined by one short series of 1690-1720 alone;
  // keeping the series of 50 years or more leaves 1701-1710 without one.
  using test_support::DecadeSeries;
  e2e::Sandbox box;
  box.Put("joined.rwl", DecadeSeries("A1", 1601, 100, 400) + DecadeSeries("A2", 1601, 100, 500) +
                            DecadeSeries("M1", 1690, 31, 450) + DecadeSeries("B1", 1711, 100, 600) +
                            DecadeSeries("B2", 1711, 100, 700));
  const auto before = Snapshot(box);
  const e2e::Result r = box.Run(e2e::Kestrane(), ThenDefaults({"joined.rwl", "1", "R", "2", "50"}));
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.screen.ends_with(" Series .ge. segment length:      4     4     4     4     4\n"
                                 "\n No series covers the years 1701 to 1710.\n"
                                 " A chronology needs at least one series in every year of the data set.\n" +
                                 kAbnormal))
      << Tail(r.screen);
  EXPECT_TRUE(box.Read("joined_out_vKestrane_2019.txt").ends_with("\n NO SERIES COVERS THE YEARS 1701 TO 1710.\n"));
  ExpectUnchanged(box, before);
}

TEST(YearWithoutSeries, EndsTheBatchRunAfterTheEarlierDataSets) {
  e2e::Sandbox box;
  box.CopyData("synth12.rwl", "synth12.rwl");
  box.CopyData("synth12.rwl", "later.rwl");
  box.Put("gaps.rwl", GappedSet());
  box.Put("sites.lst", "synth12.rwl\ngaps.rwl\nlater.rwl\n");
  const auto before = Snapshot(box);
  const e2e::Result r = box.Run(e2e::KestraneBatch(), ThenDefaults({"sites.lst"}), 120);
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.screen.ends_with(kGapLines + kBatchAbnormal)) << Tail(r.screen);
  EXPECT_FALSE(Has(r.screen, "biwgt"));
  EXPECT_TRUE(box.Read("gaps_out_vKestraneBatch.txt").ends_with(kGapReport));
  ExpectOnlySynth12InCumulativeFiles(box);
  ExpectUnchanged(box, before);
  for (const std::string& name : box.Files()) EXPECT_FALSE(name.starts_with("later_") || name.starts_with("gaps_S")) << name;
}

}  // namespace
