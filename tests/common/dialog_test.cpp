// The dialogue layer: prompt layout, report twins, waits and the stop routine.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/console.h"
#include "common/freeform.h"
#include "common/storage.h"
#include "common/text.h"
#include "support/temp_dir.h"

namespace {

using common::Dialog;
using common::ScriptedConsole;
using common::Units;

TEST(Dialog, PromptPutsTheMarkerAtColumnFifty) {
  ScriptedConsole console({"abc"});
  Units units;
  Dialog d(console, units);
  const std::string answer = d.Ask("Enter the MINIMUM segment length", 4);
  EXPECT_EQ(answer, "abc ");
  const std::string expected = " Enter the MINIMUM segment length" + std::string(49 - 33, ' ') + "==> abc\n";
  EXPECT_EQ(console.transcript(), expected);
  EXPECT_EQ(console.transcript().find("==> "), 49u);  // column 50
}

TEST(Dialog, ListPromptPutsTheMarkerAtColumnFortyFive) {
  ScriptedConsole console({"x"});
  Units units;
  Dialog d(console, units);
  d.Ask("Enter list file name", 50, common::kListMarkerColumn);
  EXPECT_EQ(console.transcript().find("==> "), 44u);
}

TEST(Dialog, AnswersAreCutAndPadded) {
  ScriptedConsole console({"abcdefgh", ""});
  Units units;
  Dialog d(console, units);
  EXPECT_EQ(d.ReadAnswer(4), "abcd");
  EXPECT_EQ(d.ReadAnswer(3), "   ");
}

TEST(Dialog, TypedAnswersLoseTheirLeadingBlanksAndOnlyABlankLineIsBlank) {
  ScriptedConsole console({"  n", "   ", "", "  12345", "x", "  /", "/"});
  Units units;
  Dialog d(console, units);
  const common::TypedAnswer n = d.ReadTyped(1);
  EXPECT_EQ(n.text, "n");
  EXPECT_FALSE(n.blank);
  for (int i = 0; i < 2; ++i) {
    const common::TypedAnswer blank = d.ReadTyped(2);
    EXPECT_EQ(blank.text, "  ");
    EXPECT_TRUE(blank.blank);
    EXPECT_EQ(blank.first(), ' ');
  }
  EXPECT_EQ(d.ReadTyped(3).text, "123");  // cut after the leading blanks go
  EXPECT_EQ(d.ReadTyped(3).text, "x  ");
  // "/" behind blanks is still "/": it stops, or comes back when asked to.
  EXPECT_EQ(d.ReadTyped(1, common::Slash::kAnswer).first(), '/');
  try {
    d.ReadTyped(1);
    FAIL() << "no stop";
  } catch (const common::ProgramStop& stop) {
    EXPECT_EQ(stop.status, 0);
  }
}

TEST(Dialog, BothWritesAnUpperCaseTwinKeepingVerbatimPieces) {
  test_support::TempDir dir;
  const std::string report = dir.File("report.txt");
  {
    ScriptedConsole console({});
    Units units;
    ASSERT_TRUE(units.Open(common::kReportUnit, report, Units::Mode::kWrite));
    Dialog d(console, units);
    d.Both(" Series ", common::Verbatim{"ab-Cd01 "}, " has ", std::string("12"), " values");
    d.Screen("screen only");
    d.Report("REPORT ONLY");
    EXPECT_EQ(console.transcript(), " Series ab-Cd01  has 12 values\nscreen only\n");
  }
  EXPECT_EQ(dir.Read("report.txt"), " SERIES ab-Cd01  HAS 12 VALUES\nREPORT ONLY\n");
}

TEST(Dialog, EndOfInputAtAQuestionStopsWithStatusThree) {
  ScriptedConsole console({});
  Units units;
  Dialog d(console, units);
  try {
    d.Ask("Question", 1);
    FAIL() << "no stop";
  } catch (const common::ProgramStop& stop) {
    EXPECT_EQ(stop.status, 3);
  }
  EXPECT_FALSE(console.errors().empty());
}

TEST(Dialog, EndOfInputAtAWaitStopsButCountsAsReturnAtTheQuit) {
  {
    ScriptedConsole console({});
    Units units;
    Dialog d(console, units);
    try {
      d.WaitReturn(" Hit Return to continue");
      FAIL();
    } catch (const common::ProgramStop& stop) {
      EXPECT_EQ(stop.status, 3);
    }
  }
  {
    ScriptedConsole console({});
    Units units;
    Dialog d(console, units);
    try {
      d.StopAfterReturn(common::ExitStatus::kAbnormal);
    } catch (const common::ProgramStop& stop) {
      EXPECT_EQ(stop.status, 1);
    }
    EXPECT_EQ(console.transcript(), " Hit RETURN to Quit");
    EXPECT_TRUE(console.errors().empty());
  }
}

TEST(Dialog, StopClosesEveryUnitAfterFlushing) {
  test_support::TempDir dir;
  const std::string out = dir.File("stop.txt");
  ScriptedConsole console({});
  Units units;
  ASSERT_TRUE(units.Open(11, out, Units::Mode::kWrite));
  units.WriteLine(11, "last record");
  Dialog d(console, units);
  EXPECT_THROW(d.Stop(common::ExitStatus::kNormal, " bye"), common::ProgramStop);
  EXPECT_FALSE(units.IsOpen(11));
  EXPECT_EQ(dir.Read("stop.txt"), "last record\n");
  EXPECT_EQ(console.transcript(), " bye\n");
}


// A console that looks at a file on disk each time the program waits for a line.
class PeekingConsole : public ScriptedConsole {
 public:
  PeekingConsole(std::vector<std::string> answers, std::string file)
      : ScriptedConsole(std::move(answers)), file_(std::move(file)) {}
  std::optional<std::string> ReadLine() override {
    seen.push_back(test_support::ReadFile(file_));
    return ScriptedConsole::ReadLine();
  }
  std::vector<std::string> seen;

 private:
  std::string file_;
};

TEST(Dialog, WhatWasWrittenIsOnDiskWheneverTheProgramWaits) {
  test_support::TempDir dir;
  PeekingConsole console({"", "x"}, dir.File("report.txt"));
  Units units;
  ASSERT_TRUE(units.Open(common::kReportUnit, dir.File("report.txt"), Units::Mode::kWrite));
  Dialog d(console, units);
  d.Report("FIRST LINE");
  d.WaitReturn(" Hit RETURN to Continue");
  d.Report("SECOND LINE");
  d.Ask("A question", 1);
  EXPECT_EQ(console.seen, (std::vector<std::string>{"FIRST LINE\n", "FIRST LINE\nSECOND LINE\n"}));
}

TEST(ProgramFrame, AnUnexpectedEndKeepsWhatWasWrittenAndEndsWithStatusOne) {
  struct Case {
    std::function<void()> fail;
    std::string message;
    common::ProgramVariant variant;
    std::string termination;
  };
  const std::vector<Case> cases = {
      {[] { throw std::bad_alloc(); }, " The program ran out of memory.", common::ProgramVariant::kInteractive,
       " Abnormal termination of Kestrane_Version Kestrane_2019  "},
      {[] { throw std::length_error("vector"); }, " The program met an unexpected error: vector",
       common::ProgramVariant::kBatch, " Abnormal termination of program Kestrane_ KestraneBatch  "},
      {[] { throw 7; }, " The program met an unexpected error.", common::ProgramVariant::kInteractive,
       " Abnormal termination of Kestrane_Version Kestrane_2019  "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    test_support::TempDir dir;
    ScriptedConsole console({});
    Units units;
    Dialog d(console, units, c.variant);
    const int status = common::RunGuarded(d, [&] {
      ASSERT_TRUE(units.Open(common::kReportUnit, dir.File("report.txt"), Units::Mode::kWrite));
      ASSERT_TRUE(units.Open(common::kCensoredUnit, dir.File("censored.txt"), Units::Mode::kWrite));
      d.Report("WRITTEN BEFORE");
      units.WriteLine(common::kCensoredUnit, "a record");
      c.fail();
    });
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(units.WritingUnits().empty());
    EXPECT_EQ(dir.Read("report.txt"), "WRITTEN BEFORE\n");
    EXPECT_EQ(dir.Read("censored.txt"), "a record\n");
    EXPECT_EQ(console.transcript(), "\n" + c.message + "\n\n" + c.termination + "\n");
  }
  // A stop passes through with its own status.
  ScriptedConsole console({});
  Units units;
  Dialog d(console, units);
  EXPECT_EQ(common::RunGuarded(d, [&] { d.Stop(common::ExitStatus::kEndOfInput); }), 3);
}

TEST(Units, AProtectedFileIsNeverWrittenWhateverNameReachesIt) {
  test_support::TempDir dir;
  const std::string data = dir.Put("site.rwl", "data\n");
  std::filesystem::create_hard_link(data, dir.path() / "same.rwl");
  Units units;
  units.Protect(data);
  for (Units::Mode mode : {Units::Mode::kWrite, Units::Mode::kAppend}) {
    EXPECT_FALSE(units.Open(11, dir.File("same.rwl"), mode));
    EXPECT_EQ(units.last_error(), "it is a data file being read");
  }
  EXPECT_TRUE(units.Open(10, data, Units::Mode::kRead));
  EXPECT_EQ(dir.Read("site.rwl"), "data\n");
}

TEST(Units, WhatAFileLacksIsKeptUntilTheFileIsWrittenAnewUnderAnyName) {
  test_support::TempDir dir;
  const std::string a = dir.File("a.txt"), b = dir.File("b.txt");
  Units units;
  ASSERT_TRUE(units.Open(30, a, Units::Mode::kWrite));
  ASSERT_TRUE(units.Open(31, b, Units::Mode::kWrite));
  units.NoteLeftOut(30, "Series X1 left out.");
  units.NoteLeftOut(31, "Series Y left out.");
  units.NoteLeftOut(30, "Series X2 left out.");
  ASSERT_TRUE(units.Close(30));
  // Closed, a file still lacks what it lacked; appending keeps it.
  ASSERT_EQ(units.IncompleteFiles().size(), 2u);
  EXPECT_EQ(units.IncompleteFiles()[0].name, a);
  EXPECT_EQ(units.IncompleteFiles()[0].left_out,
            (std::vector<std::string>{"Series X1 left out.", "Series X2 left out."}));
  ASSERT_TRUE(units.Open(30, a, Units::Mode::kAppend));
  ASSERT_NE(units.Incomplete(a), nullptr);
  // Written anew through another path to it: its earlier content is gone,
  // and with it what it lacked. The other file keeps its note.
  std::filesystem::create_symlink(a, dir.path() / "link.txt");
  ASSERT_TRUE(units.Open(32, dir.File("link.txt"), Units::Mode::kWrite));
  EXPECT_EQ(units.Incomplete(a), nullptr);
  ASSERT_EQ(units.IncompleteFiles().size(), 1u);
  EXPECT_EQ(units.IncompleteFiles()[0].name, b);
  // A unit open for reading, or not open, notes nothing.
  units.NoteLeftOut(40, "nothing");
  ASSERT_TRUE(units.Open(10, b, Units::Mode::kRead));
  units.NoteLeftOut(10, "nothing");
  EXPECT_EQ(units.Incomplete(b)->left_out, std::vector<std::string>{"Series Y left out."});
}

TEST(Dialog, ARunWithAnIncompleteFileEndsAbnormallyListingItInsteadOfTheNormalEnd) {
  test_support::TempDir dir;
  ScriptedConsole console({});
  Units units;
  Dialog d(console, units, common::ProgramVariant::kBatch);
  ASSERT_TRUE(units.Open(common::kReportUnit, dir.File("report.txt"), Units::Mode::kWrite));
  ASSERT_TRUE(units.Open(30, dir.File("std.txt"), Units::Mode::kWrite));
  units.WriteLine(30, "a record");
  for (int k = 1; k <= 12; ++k) units.NoteLeftOut(30, "Series s" + std::to_string(k) + " is left out.");
  const int status = common::RunGuarded(d, [&] { d.NormalEnd(); });
  EXPECT_EQ(status, 1);
  std::string shown = "\n";
  for (int k = 1; k <= 10; ++k) shown += " Series s" + std::to_string(k) + " is left out.\n";
  const std::string file = dir.File("std.txt");
  EXPECT_EQ(console.transcript(), shown + " 2 more are left out of it.\n The file " + file + " is incomplete.\n" +
                                      "\n Abnormal termination of program Kestrane_ KestraneBatch  \n\n"
                                      " Hit RETURN to Quit");
  // The report receives the twins (the file name as it is), every unit is
  // closed with what was written.
  EXPECT_EQ(dir.Read("report.txt"),
            common::Upper(shown) + " 2 MORE ARE LEFT OUT OF IT.\n THE FILE " + file + " IS INCOMPLETE.\n");
  EXPECT_EQ(dir.Read("std.txt"), "a record\n");
  EXPECT_TRUE(units.WritingUnits().empty());
}

TEST(Dialog, FreeFormRealBeyondSinglePrecisionIsUnreadable) {
  ScriptedConsole console({"1e99", "-3.5e38", "3.4e38"});
  Units units;
  Dialog d(console, units);
  EXPECT_EQ(d.ReadFreeReal(), std::nullopt);
  EXPECT_EQ(d.ReadFreeReal(), std::nullopt);
  EXPECT_FLOAT_EQ(*d.ReadFreeReal(), 3.4e38f);
}

TEST(Dialog, FreeFormReadsSkipEmptyLinesAndTakeTheFirstItem) {
  ScriptedConsole console({"", "  ", " 1850, 1900", "12.5", "1d-3", ".5 7", "/"});
  Units units;
  Dialog d(console, units);
  EXPECT_EQ(d.ReadFreeInt(), 1850);
  EXPECT_EQ(d.ReadFreeInt(), std::nullopt);  // 12.5 is not an integer
  EXPECT_DOUBLE_EQ(*d.ReadFreeDouble(), 1e-3);
  EXPECT_FLOAT_EQ(*d.ReadFreeReal(), 0.5f);
  try {
    d.ReadFreeInt();
    FAIL();
  } catch (const common::ProgramStop& stop) {
    EXPECT_EQ(stop.status, 0);
  }
}

TEST(FixedText, AssignmentPadsOrCutsAndComparisonIgnoresTrailingBlanks) {
  EXPECT_EQ(common::Fixed("ab", 4), "ab  ");
  EXPECT_EQ(common::Fixed("abcdef", 4), "abcd");
  std::string eight(8, ' ');
  common::Assign(eight, "SITE01-A9");
  EXPECT_EQ(eight, "SITE01-A");
  EXPECT_TRUE(common::SameText("ab  ", "ab"));
  EXPECT_FALSE(common::SameText(" ab", "ab"));
  EXPECT_TRUE(common::IsBlank("   "));
  EXPECT_EQ(common::Upper("Mixed case 1a"), "MIXED CASE 1A");
}

TEST(FixedText, NintRoundsHalvesAwayFromZero) {
  EXPECT_EQ(common::Nint(2.5f), 3);
  EXPECT_EQ(common::Nint(-2.5f), -3);
  EXPECT_EQ(common::Nint(2.4999f), 2);
  EXPECT_EQ(common::Nint(-0.5), -1);
  EXPECT_EQ(7 / -2, -3);  // integer division truncates toward zero, as the routines expect
}

TEST(Storage, ColumnsTakeMemoryOnlyWhenWritten) {
  common::SeriesMatrix m;
  EXPECT_FLOAT_EQ(m.get(6001, 3001), common::kMissing);
  EXPECT_FALSE(m.allocated(3));
  m.at(5, 3) = 1.25f;
  EXPECT_TRUE(m.allocated(3));
  EXPECT_FALSE(m.allocated(2));
  EXPECT_FLOAT_EQ(m.column_view(3)[4], 1.25f);
  EXPECT_FLOAT_EQ(m.column_view(2)[4], common::kMissing);
  m.Fill(0.0f);
  EXPECT_FALSE(m.allocated(3));
  EXPECT_FLOAT_EQ(m.get(5, 3), 0.0f);
}

TEST(Storage, HeightGrowsOnDemandAndColumnsHoldOnlyIt) {
  common::SeriesMatrix m(0, 4);
  EXPECT_EQ(m.rows(), 0);
  EXPECT_FLOAT_EQ(m.get(3, 2), common::kMissing);  // above the height: the fill value
  m.at(3, 2) = 7.0f;                                // grows the height to 3 rows at least
  EXPECT_GE(m.rows(), 3);
  m.SetRows(3);
  EXPECT_EQ(m.rows(), 3);
  EXPECT_EQ(m.CellsHeld(), 3u);  // one column of 3 rows, the others untouched
  m.column(4)[0] = 4.0f;
  EXPECT_EQ(m.CellsHeld(), 6u);
  ASSERT_EQ(m.column_view(1).size(), 3u);  // an untouched column reads as 3 fill values
  EXPECT_FLOAT_EQ(m.column_view(1)[2], common::kMissing);

  // Growing keeps every value and fills the new rows.
  m.GrowRows(11);
  EXPECT_GE(m.rows(), 11);
  EXPECT_FLOAT_EQ(m.get(3, 2), 7.0f);
  EXPECT_FLOAT_EQ(m.get(1, 4), 4.0f);
  EXPECT_FLOAT_EQ(m.get(11, 2), common::kMissing);
  EXPECT_FLOAT_EQ(m.get(11, 4), common::kMissing);

  // Setting the height drops the rows beyond it and gives their memory back.
  m.SetRows(2);
  EXPECT_EQ(m.CellsHeld(), 4u);
  EXPECT_FLOAT_EQ(m.get(3, 2), common::kMissing);
  m.SetRows(3);
  EXPECT_FLOAT_EQ(m.get(3, 2), common::kMissing);  // the dropped value does not come back
  m.Fill(0.0f);
  EXPECT_EQ(m.rows(), 3);
  EXPECT_EQ(m.CellsHeld(), 0u);
  EXPECT_FLOAT_EQ(m.column_view(2)[2], 0.0f);
}

TEST(Storage, DataSetRowsCoverTheWholeSetAndEverySeries) {
  common::YearTable t;
  const int years[3][2] = {{1850, 1899}, {1880, 1990}, {1850, 1990}};  // 50, 111 years; the whole set 141
  for (int i = 1; i <= 3; ++i) {
    t.IFY(i) = years[i - 1][0];
    t.ILY(i) = years[i - 1][1];
  }
  EXPECT_EQ(common::DataSetRows(t, 2), 141);
  t.ILY(3) = 1950;  // a whole-set row shorter than a series does not cut it
  EXPECT_EQ(common::DataSetRows(t, 2), 111);
  EXPECT_EQ(common::DataSetRows(t, 0), 0);

  common::RunStorage s;
  EXPECT_EQ(s.SERMAT.rows(), common::MAXYRS);  // before any data set
  s.IYTAB = t;
  s.NS = 2;
  s.SERMAT.at(150, 1) = 1.0f;  // reading grew past the set
  s.SERMAT.at(111, 2) = 2.0f;
  common::SizeToDataSet(s);
  for (const common::SeriesMatrix* m : {&s.SERMAT, &s.IDXMAT, &s.SERWRK}) EXPECT_EQ(m->rows(), 111);
  EXPECT_EQ(s.SERMAT.CellsHeld(), 222u);
  EXPECT_FLOAT_EQ(s.SERMAT.get(111, 2), 2.0f);
}

TEST(Storage, YearTableIndexesLikeTheRoutines) {
  common::YearTable t;
  t.IFY(1) = 1850;
  t(1, 2) = 1990;
  t(1, 3) = 141;
  EXPECT_EQ(t.ILY(1), 1990);
  EXPECT_EQ(t.NYR(1), 141);
  t.NYR(common::MAXSER) = 7;
  EXPECT_EQ(t(common::MAXSER, 3), 7);
  EXPECT_EQ(common::RowOfYear(1850, 1850), 1);
  EXPECT_EQ(common::RowOfYear(-5, -10), 6);
}

}  // namespace

namespace {

TEST(FreeForm, ASlashEndsTheListAndAloneQuits) {
  EXPECT_EQ(common::FreeItems("1850/ 1900"), std::vector<std::string>{"1850"});
  EXPECT_EQ(common::FreeItems(" 1850 , 1900 /"), (std::vector<std::string>{"1850", "1900"}));
  EXPECT_EQ(common::FreeItems("  /"), std::vector<std::string>{"/"});
  common::ScriptedConsole console({"1850/"});
  common::Units units;
  common::Dialog d(console, units);
  EXPECT_EQ(d.ReadFreeInt(), 1850);
}

}  // namespace
