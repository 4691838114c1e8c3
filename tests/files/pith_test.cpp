// pithof: the answers that skip the file, the read methods, header lines,
// the limit on the number of offsets and the read-error dialogue.
#include "files/pith.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/console.h"
#include "common/limits.h"
#include "common/text.h"
#include "common/units.h"
#include "support/dialog_harness.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

class PithTest : public ::testing::Test {
 protected:
  PithTest() : IPITH_(common::MAXSER + 1, 7) {
    // Names typed at the prompt are relative to the test's folder.
    home_ = fs::current_path();
    fs::current_path(dir_.path());
  }
  ~PithTest() override { fs::current_path(home_); }

  std::string Put(const std::string& name, const std::string& content) {
    dir_.Put(name, content);
    return name;
  }
  void Run(std::vector<std::string> answers) {
    harness_.Script(std::move(answers));
    // No series to match: every offset read is kept as it is.
    files::pithof(common::MAXSER, common::kPithUnit, IPITH_, PITHFL_, common::Fixed("site.rwl", 50), IYTAB_, 0, SERID_,
                  harness_.dialog());
    EXPECT_EQ(harness_.Unread(), 0u);
    EXPECT_FALSE(harness_.units().IsOpen(common::kPithUnit));
  }
  int RunToStop(std::vector<std::string> answers) {
    const int status = test_support::StopStatus([&] { Run(std::move(answers)); });
    if (status < 0) ADD_FAILURE() << "pithof returned";
    return status;
  }
  std::string Transcript() { return harness_.Transcript(); }
  bool Shows(const std::string& text) { return Transcript().find(text) != std::string::npos; }

  test_support::TempDir dir_;
  fs::path home_;
  std::vector<int> IPITH_;
  common::YearTable IYTAB_;
  std::vector<std::string> SERID_ = std::vector<std::string>(common::MAXSER + 1);
  int PITHFL_ = 1;
  test_support::DialogHarness harness_;
};

int CountNonZero(const std::vector<int>& v) {
  int n = 0;
  for (int x : v) n += x != 0;
  return n;
}

TEST_F(PithTest, EmptyAnswerMeansNoOffsets) {
  Run({""});
  EXPECT_EQ(PITHFL_, 0);
  EXPECT_EQ(CountNonZero(IPITH_), 0);
  EXPECT_EQ(Transcript(), "\n" + common::PadTo(" Use a pith offset file? [T]rue or <[F]>alse", 50) + "==> \n");
}

TEST_F(PithTest, LowerCaseFMeansNoOffsets) {
  Run({"f"});
  EXPECT_EQ(PITHFL_, 0);
  EXPECT_EQ(CountNonZero(IPITH_), 0);
}

TEST_F(PithTest, SingleColumnAfterTwoHeaderLines) {
  const std::string name = Put("pith.txt", "Pith offsets for site\nsecond header\n  12\n   3 ignored\n 150\n");
  Run({"T", name, "1", "2"});
  EXPECT_EQ(PITHFL_, 1);
  EXPECT_EQ(IPITH_[1], 12);
  EXPECT_EQ(IPITH_[2], 3);
  EXPECT_EQ(IPITH_[3], 150);
  EXPECT_EQ(IPITH_[4], 0);  // the 7 that was there is cleared
  EXPECT_EQ(CountNonZero(IPITH_), 3);
  EXPECT_TRUE(Shows("\n NOTE: the order of pith offsets must follow the order\n"
                    " of the file raw ring width records: site.rwl\n"));
  EXPECT_TRUE(Shows("\n Reading offset file: " + name + "\n"
                    " 1Title Line: Pith offsets for site\n"
                    " 2Title Line: second header\n"));
}

TEST_F(PithTest, UserDescriptor) {
  const std::string name = Put("pith.txt", "KR01 45\nKR02  7\nKR03120\n");
  Run({"t", name, "2", "0", "(4x,i3)"});
  EXPECT_EQ(PITHFL_, 1);
  EXPECT_EQ(IPITH_[1], 45);
  EXPECT_EQ(IPITH_[2], 7);
  EXPECT_EQ(IPITH_[3], 120);
  EXPECT_EQ(CountNonZero(IPITH_), 3);
  EXPECT_TRUE(Shows("\n Enter format to read just the \n offset values (within parentheses)\n" +
                    common::PadTo(" [e.g.,(2x,i3)]", 50) + "==> (4x,i3)\n"));
}

TEST_F(PithTest, OtherOptionAsksHeaderCountThenComplains) {
  const std::string name = Put("pith.txt", "   5\n");
  Run({"T", name, "3", "0", "", "1", "0"});
  EXPECT_EQ(IPITH_[1], 5);
  const std::string t = Transcript();
  const std::size_t header = t.find("Enter number of header lines to skip [none=0]");
  const std::size_t complaint = t.find("\n          Please enter 1 or 2 \n          Hit RETURN and try again.");
  ASSERT_NE(header, std::string::npos);
  ASSERT_NE(complaint, std::string::npos);
  EXPECT_LT(header, complaint);
}

TEST_F(PithTest, MissingFileAskedAgainThenSlashStops) {
  EXPECT_EQ(RunToStop({"T", "nosuchfile.txt", "", "/"}), 0);
  EXPECT_TRUE(Shows("\n\n          File > nosuchfile.txt            < not found\n"
                    "          Hit return to enter a new file name or / to quit program.\n"));
}

TEST_F(PithTest, ThreeThousandOffsetsAccepted) {
  std::string content;
  char record[16];
  for (int i = 1; i <= 3000; ++i) {
    std::snprintf(record, sizeof record, "%4d\n", i % 1000 + 1);
    content += record;
  }
  const std::string name = Put("pith.txt", content);
  Run({"T", name, "1", "0"});
  EXPECT_EQ(IPITH_[1], 2);
  EXPECT_EQ(IPITH_[3000], 1);
  EXPECT_EQ(IPITH_[3001], 0);
}

TEST_F(PithTest, ThreeThousandAndOneOffsetsStop) {
  std::string content;
  for (int i = 1; i <= 3001; ++i) content += "  10\n";
  const std::string name = Put("pith.txt", content);
  EXPECT_EQ(RunToStop({"T", name, "1", "0"}), 1);
  EXPECT_TRUE(Transcript().ends_with("\n          The number of pith offset values read exceeds the\n"
                                     "          the dimensions of the array in which they are stored\n"
                                     "\n          This is a fatal error, there is no recovery \n"
                                     " Program Terminating \n"));
}

TEST_F(PithTest, ReadErrorOffersRetryWithAnotherMethod) {
  const std::string name = Put("pith.txt", "KR01  45\nKR02   7\n");
  Run({"T", name, "1", "0", "r", "2", "0", "(4x,i4)"});
  EXPECT_TRUE(Shows("\n          There was an error reading the pith offset \n"
                    "          values in file  : " + name + "\n"
                    "          Do you want to try again? or quit?\n"
                    "          enter [\\] to quit  : r\n"));
  EXPECT_EQ(IPITH_[1], 45);
  EXPECT_EQ(IPITH_[2], 7);
  EXPECT_EQ(CountNonZero(IPITH_), 2);
}

TEST_F(PithTest, ReadErrorBackslashStops) {
  const std::string name = Put("pith.txt", "abcd\n");
  EXPECT_EQ(RunToStop({"T", name, "1", "0", "\\"}), 1);
  EXPECT_TRUE(Transcript().ends_with(" Program Terminating \n"));
}

TEST_F(PithTest, MalformedDescriptorIsAReadError) {
  const std::string name = Put("pith.txt", "  12\n");
  Run({"T", name, "2", "0", "(i4", "x", "1", "0"});
  EXPECT_TRUE(Shows("There was an error reading the pith offset"));
  EXPECT_EQ(IPITH_[1], 12);
}

TEST_F(PithTest, DescriptorWithoutAnIntegerFieldIsAReadErrorNotAHang) {
  const std::string name = Put("pith.txt", "  12\n");
  Run({"T", name, "2", "0", "(2x)", "x", "2", "0", "(a4)", "x", "1", "0"});
  const std::string t = Transcript();
  const std::size_t first = t.find("There was an error reading the pith offset");
  ASSERT_NE(first, std::string::npos);
  EXPECT_NE(t.find("There was an error reading the pith offset", first + 1), std::string::npos);
  EXPECT_EQ(IPITH_[1], 12);
}

TEST_F(PithTest, ShortFileLeavesNoStaleOffsets) {
  const std::string name = Put("pith.txt", "   4\n");
  Run({"T", name, "1", "0"});
  EXPECT_EQ(IPITH_[1], 4);
  EXPECT_EQ(CountNonZero(IPITH_), 1);
}

TEST_F(PithTest, RealOffsetFileLeftJustifiedNumbers) {
  // gp_pith_offsets.txt (public archive): 58 offsets, one per line, written
  // left-justified ("79"): blanks in an i4 field are ignored.
  const std::string name = Put("gp_pith_offsets.txt", test_support::ReadTestData("gp_pith_offsets.txt"));
  Run({"T", name, "1", "0"});
  EXPECT_EQ(PITHFL_, 1);
  EXPECT_EQ(IPITH_[1], 79);
  EXPECT_EQ(IPITH_[2], 92);
  EXPECT_EQ(IPITH_[3], 148);
  EXPECT_EQ(IPITH_[6], 6);
  EXPECT_EQ(IPITH_[7], 209);
  EXPECT_EQ(IPITH_[56], 34);
  EXPECT_EQ(IPITH_[58], 249);
  EXPECT_EQ(IPITH_[59], 0);
}

}  // namespace
