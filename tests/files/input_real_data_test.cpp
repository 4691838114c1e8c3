// Real archive ring-width files through the input data format menu. The
// expected series count, whole-set years and total number of values come
// from tests/data/input_decade_oracle.awk, an independent reading of the
// decade layout in awk (`awk -f input_decade_oracle.awk file.rwl`).
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "common/text.h"
#include "files/input_menu.h"
#include "input_fixture.h"
#include "support/temp_dir.h"

namespace {

struct RealFile {
  const char* name;
  int series;
  int first;
  int last;
  int values;
};

void PrintTo(const RealFile& f, std::ostream* os) { *os << f.name; }

class RealDecadeFile : public ::testing::TestWithParam<RealFile> {};

TEST_P(RealDecadeFile, ReadsEverySeries) {
  const RealFile& f = GetParam();
  const std::string text = test_support::ReadTestData(f.name);
  ASSERT_FALSE(text.empty());
  input_test::InputRun run(text, {"1"});
  auto& s = run.store();
  int NS = 0;
  int RDFAIL = -1;
  const int status = test_support::StopStatus(
      [&] { files::inmenu(run.dialog(), s.SERMAT, s.IYTAB, s.SERID, 10, NS, s.TITLE, RDFAIL); });
  ASSERT_EQ(status, -1) << run.Transcript();
  EXPECT_EQ(RDFAIL, 0);
  ASSERT_EQ(NS, f.series);
  EXPECT_EQ(s.IYTAB.IFY(NS + 1), f.first);
  EXPECT_EQ(s.IYTAB.ILY(NS + 1), f.last);
  EXPECT_EQ(s.IYTAB.NYR(NS + 1), f.last - f.first + 1);
  int values = 0;
  for (int i = 1; i <= NS; ++i) {
    values += s.IYTAB.NYR(i);
    // The last value of a series is stored; the cell after it keeps the fill.
    EXPECT_NE(s.SERMAT.get(s.IYTAB.NYR(i), i), -999.0f) << s.SERID[static_cast<std::size_t>(i)];
    if (s.IYTAB.NYR(i) < 6001) {
      EXPECT_EQ(s.SERMAT.get(s.IYTAB.NYR(i) + 1, i), -999.0f);
    }
  }
  EXPECT_EQ(values, f.values);
}

INSTANTIATE_TEST_SUITE_P(Archive, RealDecadeFile,
                         ::testing::Values(RealFile{"indi005.rwl", 4, 1732, 1980, 865},
                                           RealFile{"egy001.rwl", 10, -2220, -1884, 1434},
                                           RealFile{"anos1.rwl", 20, 1910, 2007, 1688},
                                           RealFile{"kyrg014.rwl", 40, 1551, 2005, 8911},
                                           RealFile{"che417.rwl", 24, 1542, 2009, 5234},
                                           RealFile{"cana015.rwl", 20, 1576, 1965, 5334},
                                           RealFile{"az621.rwl", 19, 1601, 2018, 5171},
                                           RealFile{"or005.rwl", 20, 1591, 1965, 5263},
                                           RealFile{"mexi077.rwl", 40, 1680, 2007, 6089},
                                           RealFile{"deu317.rwl", 26, 1694, 2016, 7274},
                                           RealFile{"wwr.rwl", 20, 946, 1186, 3144},
                                           RealFile{"zof.rwl", 61, 1857, 2012, 5527}),
                         [](const ::testing::TestParamInfo<RealFile>& param_info) {
                           std::string name = param_info.param.name;
                           return name.substr(0, name.find('.'));
                         });

// Damaged archive files: arge041.rwl has lines whose numbers run into each
// other ("   4291  065"), can694.rwl writes its years one column to the left
// of the decade layout (read by columns they would give years 846-990 for
// a chronology of 1846-1990). The decade reader refuses such a series by
// name, so the read fails after the complete series before it, with the
// fatal-read warning.
struct DamagedFile {
  const char* name;
  int complete;          // series read before the refused one
  const char* last_id;   // identifier of the last complete series ("" for none)
  const char* refused;   // identifier of the refused series
};

void PrintTo(const DamagedFile& f, std::ostream* os) { *os << f.name; }

class DamagedDecadeFile : public ::testing::TestWithParam<DamagedFile> {};

TEST_P(DamagedDecadeFile, IsRefusedClearly) {
  const DamagedFile& f = GetParam();
  input_test::InputRun run(test_support::ReadTestData(f.name), {"1", ""});
  auto& s = run.store();
  int NS = 0;
  int RDFAIL = -1;
  files::inmenu(run.dialog(), s.SERMAT, s.IYTAB, s.SERID, 10, NS, s.TITLE, RDFAIL);
  EXPECT_EQ(RDFAIL, 1);
  EXPECT_EQ(NS, f.complete);
  if (f.complete > 0) {
    EXPECT_EQ(s.SERID[static_cast<std::size_t>(f.complete)], common::Fixed(f.last_id, 8));
  }
  EXPECT_NE(run.Transcript().find(std::string(" Series ") + f.refused), std::string::npos) << run.Transcript();
  EXPECT_NE(run.Transcript().find("\n WARNING: Fatal error reading data from input file.\n"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Archive, DamagedDecadeFile,
                         ::testing::Values(DamagedFile{"arge041.rwl", 9, "RH6A", "RH7A"},
                                           DamagedFile{"can694.rwl", 0, "", "ATK101"},
                                           DamagedFile{"cana590.rwl", 784, "TK0941", "TK0942"}),
                         [](const ::testing::TestParamInfo<DamagedFile>& param_info) {
                           std::string name = param_info.param.name;
                           return name.substr(0, name.find('.'));
                         });

// Decade lines follow each other: a series' line that does not carry the
// next decade (one missing, repeated or out of order) or does not read
// would put every later value in another year, so the read is refused with
// the line shown. ca533 with its fifth line (CAM011 1570) deleted, repeated
// or damaged, and cana590 as archived (TK0942 has a line for 2002 after the
// one for 1990).
TEST(DecadeContinuity, ALineOutOfSequenceRefusesTheReadWithTheLine) {
  const std::string ca533 = test_support::ReadTestData("ca533.rwl");
  std::vector<std::string> lines;
  for (std::size_t p = 0; p < ca533.size();) {
    const std::size_t e = ca533.find('\n', p);
    lines.push_back(ca533.substr(p, e - p));
    p = e + 1;
  }
  ASSERT_EQ(lines[4], "CAM011  1570   107    68    99    62    89    92   113    55    41    48");
  auto with = [&](std::size_t from, std::size_t to, const std::string& inserted) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (i == to) text += inserted;
      if (i < from || i >= to) text += lines[i] + "\n";
    }
    return text;
  };
  const std::string line1570 = lines[4] + "\n";
  const std::string line1580 = "CAM011  1580    35    46    69    98    66    63    47    74    81    81";
  struct Case {
    std::string text;
    std::string shown;
  };
  const std::vector<Case> cases = {
      {with(4, 5, ""),
       "\n Series CAM011: this line is for 1580 where the line of 1570 should follow:\n " + line1580 + "\n"},
      {with(5, 5, line1570),
       "\n Series CAM011: this line is for 1570 where the line of 1580 should follow:\n " + lines[4] + "\n"},
      {with(4, 5, "CAM011  15?0   107    68    99    62    89    92   113    55    41    48\n"),
       "\n Series CAM011: this line does not read as the line of 1570 that should follow:\n CAM011  15?0   107"},
      {test_support::ReadTestData("cana590.rwl"),
       "\n Series TK0942: this line is for 2002 where the line of 2000 should follow:\n"
       " TK0942  2002  2629  2814  2457  3013  1602  1514  1239   574 -9999\n"}};
  for (const Case& c : cases) {
    input_test::InputRun run(c.text, {"1", ""});
    const input_test::MenuCall call = input_test::RunMenu(run);
    EXPECT_EQ(call.RDFAIL, 1);
    EXPECT_NE(run.Transcript().find(c.shown), std::string::npos) << run.Transcript();
    EXPECT_EQ(run.Transcript().find("Input data read successfully"), std::string::npos);
  }
  // The file itself reads whole.
  input_test::InputRun run(ca533, {"1"});
  const input_test::MenuCall call = input_test::RunMenu(run);
  EXPECT_EQ(call.RDFAIL, 0);
  EXPECT_EQ(call.NS, 34);
}

}  // namespace
