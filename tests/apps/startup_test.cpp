// Start-up of kestrane: banner, data file prompt, report file.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "support/e2e.h"

namespace {

// The prompt text from column 2, "==> " at column 50.
const std::string kPrompt = " Enter data file name to process (/ to exit)     ==> ";

std::string Pad(const std::string& s, std::size_t n) {
  std::string out = s.substr(0, std::min(n, s.size()));
  out.resize(n, ' ');
  return out;
}

std::string ExpectedReportHeader(const std::string& datfil) {
  return "\nTHE OFFICIAL SIGNAL FREE PROGRAM OUTPUT FILE\n\nDATA FILE TO PROCESS: " + Pad(datfil, 50) + "\n";
}

TEST(StartUp, SlashAtFirstPromptStopsSilently) {
  e2e::Sandbox box;
  e2e::Result r = box.Run(e2e::Kestrane(), {"/"});
  EXPECT_EQ(r.status, 0);
  // Banner, warning box, then the prompt and nothing after it.
  ASSERT_GE(r.screen.size(), kPrompt.size());
  EXPECT_EQ(r.screen.substr(r.screen.size() - kPrompt.size()), kPrompt);
  EXPECT_NE(r.screen.find("                ***********************************\n"), std::string::npos);
  EXPECT_NE(r.screen.find("Max Series:3001"), std::string::npos);
  EXPECT_NE(r.screen.find("Max Years :6001"), std::string::npos);
  EXPECT_NE(r.screen.find("                ****  Version Kestrane_2019    ****\n"), std::string::npos);
  EXPECT_NE(r.screen.find("\n *** THE GAP-FILLED DATA FOR USING IN THIS PROGRAM. CLEVER, HUH? ***\n"), std::string::npos);
  EXPECT_TRUE(box.Files().empty());
  EXPECT_TRUE(r.errors.empty());
}

TEST(StartUp, MissingFileAsksAgain) {
  e2e::Sandbox box;
  e2e::Result r = box.Run(e2e::Kestrane(), {"nosuch.rwl", "", "/"});
  EXPECT_EQ(r.status, 0);
  const std::string expected = kPrompt + "\n File > " + Pad("nosuch.rwl", 25) +
                               " < not found\n\n Hit return to enter a new file name or / exit program.\n" + kPrompt;
  EXPECT_NE(r.screen.find(expected), std::string::npos) << r.screen;
  EXPECT_TRUE(box.Files().empty());
}

TEST(StartUp, DirectoryIsNotADataFile) {
  e2e::Sandbox box;
  std::filesystem::create_directory(box.dir() / "site.d");
  e2e::Result r = box.Run(e2e::Kestrane(), {"site.d", "", "/"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.screen.find(" File > site.d                    < not found"), std::string::npos);
}

// The answer is read without its leading blanks, as every answer is: a
// wholly blank one is an empty entry, and the name starts at its first
// character that is not a blank.
TEST(StartUp, LeadingBlanksAreNotPartOfTheName) {
  e2e::Sandbox box;
  e2e::Result r = box.Run(e2e::Kestrane(), {"  ", "", "  x.rwl", "", "/"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.screen.find(kPrompt + "\n There was an error reading your entry.\n"
                                    " Hit return to enter a new file name or / to exit program.\n" + kPrompt),
            std::string::npos)
      << r.screen;
  EXPECT_NE(r.screen.find(" File > x.rwl                     < not found"), std::string::npos) << r.screen;
}

// "/" alone (after blanks) quits; a longer answer starting with "/" is a
// path, read like any other name.
TEST(StartUp, SlashAloneQuitsAndAnAbsolutePathIsAName) {
  {
    e2e::Sandbox box;
    e2e::Result r = box.Run(e2e::Kestrane(), {"   /  "});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.screen.ends_with(kPrompt)) << r.screen;
    EXPECT_TRUE(box.Files().empty());
  }
  e2e::Sandbox box;
  box.CopyData("indi005.rwl", "site.rwl");
  const std::string path = (box.dir() / "site.rwl").string();
  ASSERT_LE(path.size(), 50u) << "the temporary folder's name is too long for the test";
  e2e::Result r = box.Run(e2e::Kestrane(), {" " + path, "1", "/"});
  EXPECT_EQ(r.status, 0) << r.screen;
  EXPECT_NE(r.screen.find(" Total series read in:            4  1732  1980   249"), std::string::npos) << r.screen;
  ASSERT_TRUE(box.Has("site_out_vKestrane_2019.txt"));
  EXPECT_NE(box.Read("site_out_vKestrane_2019.txt").find("DATA FILE TO PROCESS: " + Pad(path, 50) + "\n"),
            std::string::npos);
  EXPECT_EQ(box.Read("site.rwl"), e2e::ReadData("indi005.rwl"));
}

// Both waits of the name loop offer "/": it ends the run there, as at the prompt.
TEST(StartUp, SlashAtTheNotFoundWaitStops) {
  e2e::Sandbox box;
  e2e::Result r = box.Run(e2e::Kestrane(), {"nosuch.rwl", "/"});
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(r.screen.ends_with(" Hit return to enter a new file name or / exit program.")) << r.screen;
  EXPECT_TRUE(box.Files().empty());
}

TEST(StartUp, SlashAtTheEmptyEntryWaitStops) {
  e2e::Sandbox box;
  e2e::Result r = box.Run(e2e::Kestrane(), {"", "/"});
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(r.screen.ends_with(" Hit return to enter a new file name or / to exit program.")) << r.screen;
}

// End of input must end the run at once, in about the time of a run that quits
// with "/" (start-up dominates, and is slow under the sanitizers and a loaded
// machine); a run that loops would go on to the harness's time limit.
double QuitSeconds() {
  e2e::Sandbox box;
  return box.Run(e2e::Kestrane(), {"/"}).seconds;
}

TEST(StartUp, EndOfInputAtTheNamePromptEndsAtOnce) {
  e2e::Sandbox box;
  e2e::Result r = box.Run(e2e::Kestrane(), {});
  EXPECT_EQ(r.status, 3);
  EXPECT_LT(r.seconds, 3.0 * QuitSeconds() + 2.0);
  EXPECT_EQ(std::count(r.errors.begin(), r.errors.end(), '\n'), 1);  // one line
  EXPECT_NE(r.errors.find("end of input"), std::string::npos);
}

TEST(StartUp, EndOfInputAtTheNotFoundWaitEndsAtOnce) {
  e2e::Sandbox box;
  e2e::Result r = box.Run(e2e::Kestrane(), {"nosuch.rwl"});
  EXPECT_EQ(r.status, 3);
  EXPECT_LT(r.seconds, 3.0 * QuitSeconds() + 2.0);
}

// The report file is named from the stem; its header is exact.
struct StemCase {
  const char* label;     // the test's name
  std::string typed;     // the name typed at the prompt
  std::string on_disk;   // the file that exists
  std::string report;    // the report file expected
};

void PrintTo(const StemCase& c, std::ostream* os) { *os << '"' << c.typed << '"'; }

class ReportName : public ::testing::TestWithParam<StemCase> {};

TEST_P(ReportName, NamedFromTheStem) {
  const StemCase& c = GetParam();
  e2e::Sandbox box;
  box.Put(c.on_disk, "placeholder\n");
  e2e::Result r = box.Run(e2e::Kestrane(), {c.typed});
  EXPECT_NE(r.status, 1) << r.screen;
  ASSERT_TRUE(box.Has(c.report)) << r.screen;
  const std::string report = box.Read(c.report);
  const std::string header = ExpectedReportHeader(c.typed);
  EXPECT_EQ(report.substr(0, header.size()), header);
}

INSTANTIATE_TEST_SUITE_P(
    StartUp, ReportName,
    ::testing::Values(StemCase{"StemBeforeTheFirstDot", "site.rwl", "site.rwl", "site_out_vKestrane_2019.txt"},
                      StemCase{"TwoDots", "site.v2.rwl", "site.v2.rwl", "site_out_vKestrane_2019.txt"},
                      StemCase{"NoDot", "siterwl", "siterwl", "siterwl_out_vKestrane_2019.txt"},
                      StemCase{"EmptyStem", ".rwl", ".rwl", "_out_vKestrane_2019.txt"},
                      // 60 characters typed: the name is cut to 50 before the file test.
                      StemCase{"SixtyCharactersCutToFifty", std::string(46, 'a') + ".rwl" + std::string(10, 'z'),
                               std::string(46, 'a') + ".rwl", std::string(46, 'a') + "_out_vKestrane_2019.txt"}),
    [](const ::testing::TestParamInfo<StemCase>& param_info) { return std::string(param_info.param.label); });

}  // namespace
