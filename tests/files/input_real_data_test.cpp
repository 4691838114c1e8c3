// Real archive ring-width files through the input data format menu. The
// expected series count, whole-set years and total number of values come
// from tests/data/input_decade_oracle.awk, an independent reading of the
// decade layout in awk (`awk -f input_decade_oracle.awk file.rwl`).
#include <gtest/gtest.h>

#include <string>

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
                                           RealFile{"deu317.rwl", 31, 1694, 2016, 7250},
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
                                           DamagedFile{"can694.rwl", 0, "", "ATK101"}),
                         [](const ::testing::TestParamInfo<DamagedFile>& param_info) {
                           std::string name = param_info.param.name;
                           return name.substr(0, name.find('.'));
                         });

}  // namespace
