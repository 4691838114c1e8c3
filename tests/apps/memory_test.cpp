// The storage grows with the data set, not with the limits.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "e2e.h"

namespace {

// A decade ring-width file of `nser` series of `nyrs` values each (thousandths).
std::string DecadeFile(int nser, int nyrs) {
  std::string out;
  char buf[16];
  for (int s = 1; s <= nser; ++s) {
    char id[16];
    std::snprintf(id, sizeof id, "M%05d  ", s);
    const int first = 1500;
    const int last = first + nyrs - 1;
    int year = first;
    while (year <= last + 1) {
      std::string line = std::string(id, 8);
      std::snprintf(buf, sizeof buf, "%4d", year);
      line += buf;
      const int decade_end = (year / 10) * 10 + 9;
      for (int y = year; y <= decade_end && y <= last + 1; ++y) {
        std::snprintf(buf, sizeof buf, "%6d", y <= last ? 500 + (y * 7 + s) % 400 : -9999);
        line += buf;
      }
      out += line + "\n";
      year = decade_end + 1;
    }
  }
  return out;
}

TEST(Storage, FiftySeriesOfFiveHundredYearsStaySmall) {
  e2e::Sandbox box;
  box.Put("small.rwl", DecadeFile(50, 500));
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
  box.Put("large.rwl", DecadeFile(3000, 60));
  e2e::Result r = box.Run(e2e::Kestrane(), {"large.rwl", "1", "r", "1", "", "", "", "", "", "", "", "", "/"}, 120);
  ASSERT_EQ(r.status, 0) << r.screen.substr(r.screen.size() > 2000 ? r.screen.size() - 2000 : 0);
  EXPECT_NE(r.screen.find("Total series read in:         3000  1500  1559    60"), std::string::npos);
}

}  // namespace
