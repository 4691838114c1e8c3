// File units: records, stepping back, rewinding, DOS line ends.
#include "common/units.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace common {
namespace {

class UnitsTest : public ::testing::Test {
 protected:
  std::string Make(const std::string& name, const std::string& bytes) {
    return dir_.Put(name, bytes);
  }

  test_support::TempDir dir_;
};

TEST_F(UnitsTest, RecordsWithoutLineEndsAndCarriageReturnsStripped) {
  Units units;
  ASSERT_TRUE(units.Open(10, Make("dos.txt", "abc\r\ndef\r\n\r\nlast"), Units::Mode::kRead));
  Unit* u = units.Get(10);
  ASSERT_NE(u, nullptr);
  EXPECT_EQ(u->NextRecord(), "abc");
  EXPECT_EQ(u->NextRecord(), "def");
  EXPECT_EQ(u->NextRecord(), "");
  EXPECT_EQ(u->NextRecord(), "last");
  EXPECT_EQ(u->NextRecord(), std::nullopt);
}

TEST_F(UnitsTest, BackspaceStepsBackOneRecord) {
  Units units;
  ASSERT_TRUE(units.Open(10, Make("a.txt", "1\n2\n3\n"), Units::Mode::kRead));
  Unit* u = units.Get(10);
  EXPECT_EQ(u->NextRecord(), "1");
  EXPECT_EQ(u->NextRecord(), "2");
  u->Backspace();
  EXPECT_EQ(u->NextRecord(), "2");
  u->Backspace();
  u->Backspace();
  u->Backspace();  // at the first record already: stays there
  EXPECT_EQ(u->NextRecord(), "1");
}

TEST_F(UnitsTest, BackspaceAfterEndOfFileStaysAtEndOfFile) {
  Units units;
  ASSERT_TRUE(units.Open(10, Make("a.txt", "1\n2\n"), Units::Mode::kRead));
  Unit* u = units.Get(10);
  EXPECT_EQ(u->NextRecord(), "1");
  EXPECT_EQ(u->NextRecord(), "2");
  EXPECT_EQ(u->NextRecord(), std::nullopt);
  u->Backspace();
  EXPECT_EQ(u->NextRecord(), std::nullopt);
  EXPECT_EQ(u->NextRecord(), std::nullopt);
}

TEST_F(UnitsTest, RewindStartsAgainEvenAfterEndOfFile) {
  Units units;
  ASSERT_TRUE(units.Open(10, Make("a.txt", "1\n2\n"), Units::Mode::kRead));
  Unit* u = units.Get(10);
  while (u->NextRecord()) {
  }
  u->Rewind();
  EXPECT_EQ(u->NextRecord(), "1");
  u->Rewind();
  EXPECT_EQ(u->NextRecord(), "1");
  EXPECT_EQ(u->NextRecord(), "2");
}

TEST_F(UnitsTest, FormattedReadFromAUnitTakesRecordsInTurn) {
  Units units;
  ASSERT_TRUE(units.Open(10, Make("a.txt", "  12  34\r\n  56\r\n"), Units::Mode::kRead));
  int a = 0, b = 0, c = 0;
  const fmt::ReadTarget ab[] = {&a, &b};
  const fmt::ReadTarget cc[] = {&c};
  EXPECT_EQ(units.Read(10, "(2i4)", ab), fmt::ReadStatus::kOk);
  EXPECT_EQ(units.Read(10, "(i4)", cc), fmt::ReadStatus::kOk);
  EXPECT_EQ(a, 12);
  EXPECT_EQ(b, 34);
  EXPECT_EQ(c, 56);
  EXPECT_EQ(units.Read(10, "(i4)", cc), fmt::ReadStatus::kEnd);
  EXPECT_EQ(units.Read(11, "(i4)", cc), fmt::ReadStatus::kEnd);  // not open
}

TEST_F(UnitsTest, WriteAppendAndReopen) {
  Units units;
  std::string path = dir_.File("out.txt");
  ASSERT_TRUE(units.Open(11, path, Units::Mode::kWrite));
  units.WriteLine(11, "first");
  ASSERT_TRUE(units.Open(11, path, Units::Mode::kAppend));  // reopening closes first
  units.WriteLine(11, "second");
  units.Close(11);
  EXPECT_FALSE(units.IsOpen(11));
  ASSERT_TRUE(units.Open(10, path, Units::Mode::kRead));
  EXPECT_EQ(units.Get(10)->NextRecord(), "first");
  EXPECT_EQ(units.Get(10)->NextRecord(), "second");
  ASSERT_TRUE(units.Open(11, path, Units::Mode::kWrite));  // rewrite empties
  units.CloseAll();
  EXPECT_EQ(std::filesystem::file_size(path), 0u);
}

TEST_F(UnitsTest, OnlyReadableRegularFilesOpenForReading) {
  Units units;
  EXPECT_FALSE(units.Open(10, dir_.File("missing.txt"), Units::Mode::kRead));
  EXPECT_FALSE(units.Open(10, dir_.path().string(), Units::Mode::kRead));
  EXPECT_FALSE(units.IsOpen(10));
  EXPECT_FALSE(ReadableFileExists(dir_.path().string()));
  EXPECT_TRUE(ReadableFileExists(Make("x.txt", "x")));
}

}  // namespace
}  // namespace common
