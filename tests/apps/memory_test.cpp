// The storage grows with the data set, not with the limits.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/decade_files.h"
#include "support/e2e.h"

namespace {

TEST(Storage, FiftySeriesOfFiveHundredYearsStaySmall) {
  e2e::Sandbox box;
  box.Put("small.rwl", test_support::DecadeSet("M", 50, 1500, 500));
  // Read the set, answer ratios, keep every series, take the default of
  // every option, engine question and plot menu: the whole engine runs.
  std::vector<std::string> answers = {"small.rwl", "1", "r", "1"};
  answers.insert(answers.end(), 3000, "");
  e2e::Result r = box.Run(e2e::Kestrane(), answers, 120);
  ASSERT_EQ(r.status, 0) << r.screen.substr(r.screen.size() > 2000 ? r.screen.size() - 2000 : 0);
  EXPECT_TRUE(box.Has("small_SSF_RAW_Ratios.txt"));  // the signal-free iteration ran
  EXPECT_NE(r.screen.find("Total series read in:           50  1500  1999   500"), std::string::npos) << r.screen;
  // Three full matrices of the limits would take 216 MB; the sanitizers add
  // their own overhead, well below that.
  EXPECT_LT(r.max_rss_kb, 100 * 1024);
}

}  // namespace

namespace {

TEST(Storage, ThreeThousandSeriesStillFit) {
  e2e::Sandbox box;
  box.Put("large.rwl", test_support::DecadeSet("M", 3000, 1500, 60));
  e2e::Result r = box.Run(e2e::Kestrane(), {"large.rwl", "1", "r", "1", "", "", "", "", "", "", "", "", "/"}, 120);
  ASSERT_EQ(r.status, 0) << r.screen.substr(r.screen.size() > 2000 ? r.screen.size() - 2000 : 0);
  EXPECT_NE(r.screen.find("Total series read in:         3000  1500  1559    60"), std::string::npos);
}

}  // namespace

namespace {

// A column holds the rows the data set uses: 3000 series of 20 years cost
// far less than 3000 of 600. Both sets are read, their series kept and the
// engine set up (the per-series lengths go into IDXMAT) up to its first
// plot, where "/" ends the run. When every touched column held the limits'
// 6001 rows both runs peaked alike (about 224 MB as built for use); the
// series' cells alone are 3 matrices x 3000 x 600 x 4 bytes = 21.6 MB for
// the long set and 0.7 MB for the short one.
TEST(Storage, ShortSeriesCostLessThanLongOnes) {
  const std::vector<std::string> to_first_plot = {"", "1", "r", "1", "", "", "", "", "", "", "", "", "/"};
  long peak_kb[2] = {0, 0};
  const int years[2] = {20, 600};
  for (int k = 0; k < 2; ++k) {
    e2e::Sandbox box;
    const std::string name = "set" + std::to_string(years[k]) + ".rwl";
    box.Put(name, test_support::DecadeSet("M", 3000, 1500, years[k]));
    std::vector<std::string> answers = to_first_plot;
    answers[0] = name;
    const e2e::Result r = box.Run(e2e::Kestrane(), answers, 120);
    ASSERT_EQ(r.status, 0) << r.screen.substr(r.screen.size() > 2000 ? r.screen.size() - 2000 : 0);
    ASSERT_NE(r.screen.find("Total series read in:         3000  1500  " + std::to_string(1499 + years[k])),
              std::string::npos);
    ASSERT_NE(r.screen.find("plot options menu"), std::string::npos);  // the engine was set up
    peak_kb[k] = r.max_rss_kb;
  }
  // 20.9 MB more cells for the long set; allow for what the sanitizers add
  // or hold back, but not for a short set costing as much as a long one.
  EXPECT_GT(peak_kb[1] - peak_kb[0], 12 * 1024) << peak_kb[0] << " kB against " << peak_kb[1] << " kB";
  EXPECT_LT(peak_kb[0] * 3, peak_kb[1] * 2) << peak_kb[0] << " kB against " << peak_kb[1] << " kB";
}

}  // namespace
