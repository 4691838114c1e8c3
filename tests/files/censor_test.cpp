// The censors on a small data set whose every value is known by rule, and
// the names of the censored data sets.
#include "files/censor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/console.h"
#include "common/limits.h"
#include "common/storage.h"
#include "common/text.h"
#include "common/units.h"

namespace {

// Value of year y in the series numbered s: s plus (y - 1800) thousandths.
float Value(int s, int y) { return static_cast<float>(s) + static_cast<float>(y - 1800) * 0.001f; }

struct SetSeries {
  std::string id;
  int number;  // the s of Value()
  int first;
  int last;
};

// KR001A 1845-1874 (30), KR002A 1850-1909 (60), KR003B 1860-1879 (20),
// KR004A 1848-1960 (113): the whole set spans 1845-1960, 116 years.
const std::vector<SetSeries> kSet = {
    {"KR001A", 1, 1845, 1874}, {"KR002A", 2, 1850, 1909}, {"KR003B", 3, 1860, 1879}, {"KR004A", 4, 1848, 1960}};

class CensorTest : public ::testing::Test {
 protected:
  CensorTest() : console_({}), dialog_(console_, units_) {
    int first = 9999, last = -9999;
    for (const SetSeries& s : kSet) {
      ++store_.NS;
      const int i = store_.NS;
      store_.SERID[static_cast<std::size_t>(i)] = common::Fixed(s.id, 8);
      store_.IYTAB.IFY(i) = s.first;
      store_.IYTAB.ILY(i) = s.last;
      store_.IYTAB.NYR(i) = s.last - s.first + 1;
      for (int y = s.first; y <= s.last; ++y) store_.SERMAT.at(y - s.first + 1, i) = Value(s.number, y);
      first = std::min(first, s.first);
      last = std::max(last, s.last);
    }
    store_.IYTAB.IFY(5) = first;
    store_.IYTAB.ILY(5) = last;
    store_.IYTAB.NYR(5) = last - first + 1;
  }

  // Series at column `col` is the series numbered `number` over first..last.
  void ExpectSeries(int col, int number, int first, int last) {
    SCOPED_TRACE("column " + std::to_string(col));
    EXPECT_EQ(store_.SERID[static_cast<std::size_t>(col)], common::Fixed(kSet[number - 1].id, 8));
    EXPECT_EQ(store_.IYTAB.IFY(col), first);
    EXPECT_EQ(store_.IYTAB.ILY(col), last);
    EXPECT_EQ(store_.IYTAB.NYR(col), last - first + 1);
    for (int y = first; y <= last; ++y) EXPECT_EQ(store_.SERMAT.get(y - first + 1, col), Value(number, y)) << y;
    for (int r = last - first + 2; r <= common::MAXYRS; ++r) {
      ASSERT_EQ(store_.SERMAT.get(r, col), common::kMissing) << r;
    }
  }
  void ExpectEmpty(int col) {
    SCOPED_TRACE("empty column " + std::to_string(col));
    EXPECT_EQ(store_.SERID[static_cast<std::size_t>(col)], std::string(8, ' '));
    for (int r = 1; r <= common::MAXYRS; ++r) ASSERT_EQ(store_.SERMAT.get(r, col), common::kMissing) << r;
  }
  void ExpectWhole(int NS, int first, int last) {
    EXPECT_EQ(store_.NS, NS);
    EXPECT_EQ(store_.IYTAB.IFY(NS + 1), first);
    EXPECT_EQ(store_.IYTAB.ILY(NS + 1), last);
    EXPECT_EQ(store_.IYTAB.NYR(NS + 1), last - first + 1);
  }
  void ExpectUnchanged() {
    ExpectWhole(4, 1845, 1960);
    for (int i = 1; i <= 4; ++i) ExpectSeries(i, i, kSet[i - 1].first, kSet[i - 1].last);
  }
  static std::string Heading() { return std::string(29, ' ') + "    NS   IFY   ILY   NYR\n"; }

  common::ScriptedConsole console_;
  common::Units units_;
  common::Dialog dialog_;
  common::RunStorage store_;
};

TEST_F(CensorTest, MinimumSegmentLengthKeepsLongSeriesInOrder) {
  int minseg = 50;
  EXPECT_TRUE(files::censl(minseg, store_.SERMAT, store_.NS, store_.IYTAB, store_.SERID, dialog_));
  EXPECT_EQ(minseg, 50);
  ExpectWhole(2, 1848, 1960);
  ExpectSeries(1, 2, 1850, 1909);
  ExpectSeries(2, 4, 1848, 1960);
  ExpectEmpty(3);
  ExpectEmpty(4);
  // The old whole-set row is not left behind.
  EXPECT_EQ(store_.IYTAB.NYR(5), 0);
  EXPECT_EQ(console_.transcript(),
            "\n Total chronology length shortened:      3  years\n\n" + Heading() +
                " Min segment length series:       2  1848  1960   113  Years total time span\n");
}

TEST_F(CensorTest, MinimumSegmentLengthMetByAllKeepsAllWithoutShortening) {
  int minseg = 20;  // the shortest series has exactly 20 values
  EXPECT_TRUE(files::censl(minseg, store_.SERMAT, store_.NS, store_.IYTAB, store_.SERID, dialog_));
  ExpectUnchanged();
  EXPECT_EQ(console_.transcript(),
            "\n" + Heading() + " Min segment length series:       4  1845  1960   116  Years total time span\n");
}

TEST_F(CensorTest, MinimumSegmentLengthKeepingNothingLeavesSetAndReturnsZero) {
  int minseg = 114;
  EXPECT_FALSE(files::censl(minseg, store_.SERMAT, store_.NS, store_.IYTAB, store_.SERID, dialog_));
  EXPECT_EQ(minseg, 0);
  ExpectUnchanged();
  EXPECT_EQ(console_.transcript(), "");
}

TEST_F(CensorTest, MaximumStartYearDropsSeriesStartingInThatYear) {
  int maxsy = 1850;
  EXPECT_TRUE(files::cenmxy(maxsy, store_.SERMAT, store_.NS, store_.IYTAB, store_.SERID, dialog_));
  EXPECT_EQ(maxsy, 1850);
  ExpectWhole(2, 1845, 1960);
  ExpectSeries(1, 1, 1845, 1874);
  ExpectSeries(2, 4, 1848, 1960);
  ExpectEmpty(3);
  ExpectEmpty(4);
  EXPECT_EQ(console_.transcript(),
            "\n" + Heading() + " Max starting year series:        2  1845  1960   116  Years total time span\n");
}

TEST_F(CensorTest, MaximumStartYearThatNoSeriesMeetsReturnsZero) {
  int maxsy = 1845;
  EXPECT_FALSE(files::cenmxy(maxsy, store_.SERMAT, store_.NS, store_.IYTAB, store_.SERID, dialog_));
  EXPECT_EQ(maxsy, 0);
  ExpectUnchanged();
  EXPECT_EQ(console_.transcript(), "");
}

TEST_F(CensorTest, MinimumStartYearKeepsLaterSeriesAndShowsYearsFreeForm) {
  int minsy = 1850;
  EXPECT_TRUE(files::censy(minsy, store_.SERMAT, store_.NS, store_.IYTAB, store_.SERID, dialog_));
  EXPECT_EQ(minsy, 1850);
  ExpectWhole(2, 1850, 1909);
  ExpectSeries(1, 2, 1850, 1909);
  ExpectSeries(2, 3, 1860, 1879);
  ExpectEmpty(3);
  ExpectEmpty(4);
  // List-directed integers are 12 wide (as gfortran writes them).
  EXPECT_EQ(console_.transcript(),
            "        1850        1909          60\n"
            "\n Total chronology length shortened:     56  years\n\n" +
                Heading() + " Min starting year series:        2  1850  1909    60  Years total time span\n");
}

TEST_F(CensorTest, MinimumStartYearAfterEverySeriesChangesNothing) {
  int minsy = 1861;
  EXPECT_FALSE(files::censy(minsy, store_.SERMAT, store_.NS, store_.IYTAB, store_.SERID, dialog_));
  EXPECT_EQ(minsy, 0);
  ExpectUnchanged();
}

TEST_F(CensorTest, CommonPeriodKeepsCoveringSeriesCutToThePeriod) {
  int start = 1850, end = 1870;
  EXPECT_TRUE(files::cencom(start, end, store_.SERMAT, store_.NS, store_.IYTAB, store_.SERID, dialog_));
  EXPECT_EQ(start, 1850);
  EXPECT_EQ(end, 1870);
  ExpectWhole(3, 1850, 1870);
  ExpectSeries(1, 1, 1850, 1870);  // row 1 holds 1850, rows from 22 on -999.0
  ExpectSeries(2, 2, 1850, 1870);
  ExpectSeries(3, 4, 1850, 1870);
  ExpectEmpty(4);
  EXPECT_EQ(console_.transcript(),
            "\n Total chronology length shortened:     95  years\n\n" + Heading() +
                " Common period series:            3  1850  1870    21  Years total time span\n");
}

TEST_F(CensorTest, CommonPeriodShowsShorteningEvenWhenNone) {
  int start = 1845, end = 1874;
  store_.NS = 1;  // only KR001A, which spans exactly the period
  store_.IYTAB.IFY(2) = 1845;
  store_.IYTAB.ILY(2) = 1874;
  store_.IYTAB.NYR(2) = 30;
  EXPECT_TRUE(files::cencom(start, end, store_.SERMAT, store_.NS, store_.IYTAB, store_.SERID, dialog_));
  ExpectSeries(1, 1, 1845, 1874);
  EXPECT_NE(console_.transcript().find(" Total chronology length shortened:      0  years\n"), std::string::npos);
}

TEST_F(CensorTest, CommonPeriodEndingBeforeItsStartKeepsNothing) {
  int start = 1870, end = 1860;
  EXPECT_FALSE(files::cencom(start, end, store_.SERMAT, store_.NS, store_.IYTAB, store_.SERID, dialog_));
  EXPECT_EQ(start, 0);
  EXPECT_EQ(end, 0);
  ExpectUnchanged();
  EXPECT_EQ(console_.transcript(), "");
}

TEST_F(CensorTest, CommonPeriodNoSeriesCoversLeavesSetUnchanged) {
  int start = 1840, end = 1900;
  EXPECT_FALSE(files::cencom(start, end, store_.SERMAT, store_.NS, store_.IYTAB, store_.SERID, dialog_));
  EXPECT_EQ(start, 0);
  ExpectUnchanged();
}

TEST_F(CensorTest, EmptySetIsNeverCensored) {
  store_.NS = 0;
  int minseg = 1, maxsy = 3000, minsy = -3000, start = 1850, end = 1850;
  EXPECT_FALSE(files::censl(minseg, store_.SERMAT, store_.NS, store_.IYTAB, store_.SERID, dialog_));
  EXPECT_FALSE(files::cenmxy(maxsy, store_.SERMAT, store_.NS, store_.IYTAB, store_.SERID, dialog_));
  EXPECT_FALSE(files::censy(minsy, store_.SERMAT, store_.NS, store_.IYTAB, store_.SERID, dialog_));
  EXPECT_FALSE(files::cencom(start, end, store_.SERMAT, store_.NS, store_.IYTAB, store_.SERID, dialog_));
  EXPECT_EQ(store_.NS, 0);
}

TEST_F(CensorTest, CensorsApplyOneAfterAnother) {
  int minsy = 1848;
  ASSERT_TRUE(files::censy(minsy, store_.SERMAT, store_.NS, store_.IYTAB, store_.SERID, dialog_));
  int minseg = 30;
  ASSERT_TRUE(files::censl(minseg, store_.SERMAT, store_.NS, store_.IYTAB, store_.SERID, dialog_));
  ExpectWhole(2, 1848, 1960);
  ExpectSeries(1, 2, 1850, 1909);
  ExpectSeries(2, 4, 1848, 1960);
  ExpectEmpty(3);
}

TEST(CensoredFileName, SuffixesAndFieldWidths) {
  EXPECT_EQ(files::CensoredFileName("abc.rwl", '2', 50, 0), "abc_mnsl=50.txt");
  EXPECT_EQ(files::CensoredFileName("abc.rwl", '2', 5, 0), "abc_mnsl= 5.txt");
  EXPECT_EQ(files::CensoredFileName("abc.rwl", '2', 99, 0), "abc_mnsl=99.txt");
  EXPECT_EQ(files::CensoredFileName("abc.rwl", '2', 100, 0), "abc_mnsl=100.txt");
  EXPECT_EQ(files::CensoredFileName("abc.rwl", '2', 999, 0), "abc_mnsl=999.txt");
  EXPECT_EQ(files::CensoredFileName("abc.rwl", '2', 1000, 0), "abc_mnsl=1000.txt");
  EXPECT_EQ(files::CensoredFileName("abc.rwl", '3', 1850, 0), "abc_mxsy=1850.txt");
  EXPECT_EQ(files::CensoredFileName("abc.rwl", '4', 950, 0), "abc_mnsy= 950.txt");
  EXPECT_EQ(files::CensoredFileName("abc.rwl", '5', 1850, 0), "abc_trunb=1850.txt");
  EXPECT_EQ(files::CensoredFileName("abc.rwl", '6', 850, 0), "abc_truna=850.txt");
  EXPECT_EQ(files::CensoredFileName("abc.rwl", '7', 1850, 1950), "abc_comm=1850-1950.txt");
  EXPECT_EQ(files::CensoredFileName("abc.rwl", '7', 950, 1950), "abc_comm= 950-1950.txt");
  EXPECT_EQ(files::CensoredFileName("abc.rwl", '6', -5, 0), "abc_truna=-5.txt");
}

TEST(CensoredFileName, NumbersTooWideForTheirFieldAreWrittenWhole) {
  EXPECT_EQ(files::CensoredFileName("abc.rwl", '2', 12345, 0), "abc_mnsl=12345.txt");
  EXPECT_EQ(files::CensoredFileName("egy.rwl", '4', -2100, 0), "egy_mnsy=-2100.txt");
  EXPECT_EQ(files::CensoredFileName("egy.rwl", '3', -500, 0), "egy_mxsy=-500.txt");
  EXPECT_EQ(files::CensoredFileName("egy.rwl", '5', -50, 0), "egy_trunb=-50.txt");
  EXPECT_EQ(files::CensoredFileName("egy.rwl", '6', -5, 0), "egy_truna=-5.txt");
  EXPECT_EQ(files::CensoredFileName("egy.rwl", '6', -2000, 0), "egy_truna=-2000.txt");
  EXPECT_EQ(files::CensoredFileName("egy.rwl", '7', -2100, -1900), "egy_comm=-2100--1900.txt");
}

TEST(CensoredFileName, StemOfTheDataFileName) {
  const std::string padded = common::Fixed("site.rwl", 50);
  EXPECT_EQ(files::CensoredFileName(padded, '7', 1850, 1950), "site_comm=1850-1950.txt");
  EXPECT_EQ(files::CensoredFileName(common::Fixed("site", 50), '2', 50, 0), "site_mnsl=50.txt");
  EXPECT_EQ(files::CensoredFileName("a.b.rwl", '2', 50, 0), "a_mnsl=50.txt");
}

}  // namespace
