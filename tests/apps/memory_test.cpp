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
