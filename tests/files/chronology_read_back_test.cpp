// The decade chronology files kestrane writes ("_crns_tuc.txt" of two
// golden runs) read back through the chronology option of the input data
// format menu give every chronology of the column table ("_crns_col.txt")
// over the same years, to the three decimals the table prints. The table
// prints each single-precision value to three decimals, the decade file
// holds the value times 1000 rounded in single precision: a value on a
// half thousandth (a mean of four values in thousandths, 1.3095) is 1.309
// in the one and 1310 in the other, so the two agree to one in the last
// place.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "common/text.h"
#include "input_fixture.h"
#include "support/temp_dir.h"

namespace {

using input_test::InputRun;
using input_test::RunMenu;

constexpr double kLastPlace = 0.001 + 1e-6;

// The column table: its header's names and its rows of numbers.
struct ColumnTable {
  std::vector<std::string> names;
  std::vector<std::vector<double>> rows;
  int Column(const std::string& name) const {
    for (std::size_t c = 0; c < names.size(); ++c) {
      if (names[c] == name) return static_cast<int>(c);
    }
    return -1;
  }
};

ColumnTable ReadTable(const std::string& text) {
  ColumnTable t;
  std::istringstream lines(text);
  std::string line;
  std::getline(lines, line);
  std::istringstream header(line);
  for (std::string name; header >> name;) t.names.push_back(name);
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::vector<double> row;
    for (double v; fields >> v;) row.push_back(v);
    t.rows.push_back(row);
  }
  return t;
}

struct Case {
  const char* scenario;
  const char* stem;
  const char* id;  // the first six characters of the data file name
  std::vector<std::string> columns;  // in the order of the decade file
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.scenario; }

class ChronologyReadBack : public ::testing::TestWithParam<Case> {};

TEST_P(ChronologyReadBack, SameYearsAndValues) {
  const Case& c = GetParam();
  const std::string expected = test_support::TestDataPath("../golden/") + c.scenario + "/expected/" + c.stem;
  const ColumnTable table = ReadTable(test_support::ReadFile(expected + "_crns_col.txt"));
  ASSERT_FALSE(table.rows.empty());

  InputRun run(test_support::ReadFile(expected + "_crns_tuc.txt"), {"2"});
  const input_test::MenuCall call = RunMenu(run);
  ASSERT_EQ(call.status, -1);
  ASSERT_EQ(call.RDFAIL, 0);
  ASSERT_EQ(call.NS, static_cast<int>(c.columns.size()));
  const common::RunStorage& s = run.store();
  const int first = static_cast<int>(table.rows.front()[0]);
  const int last = static_cast<int>(table.rows.back()[0]);
  for (int i = 1; i <= call.NS; ++i) {
    SCOPED_TRACE(c.columns[static_cast<std::size_t>(i - 1)]);
    EXPECT_EQ(s.SERID[static_cast<std::size_t>(i)], common::Fixed(c.id, 8));
    EXPECT_EQ(s.IYTAB.IFY(i), first);
    EXPECT_EQ(s.IYTAB.ILY(i), last);
    const int column = table.Column(c.columns[static_cast<std::size_t>(i - 1)]);
    ASSERT_GE(column, 0);
    for (std::size_t k = 0; k < table.rows.size(); ++k) {
      const double read = s.SERMAT.get(static_cast<int>(k) + 1, i);
      ASSERT_LE(std::fabs(read - table.rows[k][static_cast<std::size_t>(column)]), kLastPlace) << "row " << k + 1;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Golden, ChronologyReadBack,
                         ::testing::Values(Case{"mean_line_ratios", "synth12", "synth1", {"StdCrn", "SsfCrn", "StdStb", "SsfStb"}},
                                           Case{"window_zero", "synth12", "synth1", {"StdCrn", "SsfCrn"}},
                                           Case{"engine_regional_pith", "gp12", "gp12.r", {"StdCrn", "SsfCrn", "StdStb", "SsfStb"}},
                                           Case{"raw_average", "synth12", "synth1", {"RawCrn", "AdjCrn", "RawStb", "AdjStb"}}),
                         [](const ::testing::TestParamInfo<Case>& p) { return std::string(p.param.scenario); });

}  // namespace
