// Tests of the common-interval search.
#include "detrend/common_interval.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace detrend {
namespace {

CommintResult RunCommint(const std::vector<int>& first, const std::vector<int>& last, int limit = CommintMax(common::ProgramVariant::kInteractive)) {
  std::vector<int> len;
  std::vector<std::string> ids;
  for (std::size_t i = 0; i < first.size(); ++i) {
    len.push_back(last[i] - first[i] + 1);
    ids.push_back("S" + std::to_string(i));
  }
  return Commint(limit, first, ids, len);
}

TEST(Imin, ScansFromTheFirstElement) {
  const std::vector<int> v = {5, 3, 9, -2, 7};
  EXPECT_EQ(imin(v), -2);
  EXPECT_EQ(imax(v), 9);
  EXPECT_EQ(imin(std::vector<int>{4}), 4);
  EXPECT_EQ(imax(std::vector<int>{4}), 4);
}

TEST(Commint, OneSeries) {
  const CommintResult r = RunCommint({1900}, {1950});
  EXPECT_EQ(r.first_year, 1900);
  EXPECT_EQ(r.last_year, 1950);
  EXPECT_EQ(r.span, 51);
  EXPECT_EQ(r.start, 1900);
  EXPECT_EQ(r.end, 1950);
  EXPECT_EQ(r.years, 51);
  EXPECT_EQ(r.count, 1);
  EXPECT_EQ(r.rings, 51);
  EXPECT_EQ(r.longest, 51);
  EXPECT_EQ(r.shortest, 51);
}

TEST(Commint, TwoSeriesThatDoNotOverlap) {
  // Both hold 50 rings: the later series is tried first (latest last year)
  // and the earlier one, equal in rings, does not replace it.
  const CommintResult r = RunCommint({1800, 1900}, {1849, 1949});
  EXPECT_EQ(r.start, 1900);
  EXPECT_EQ(r.end, 1949);
  EXPECT_EQ(r.count, 1);
  EXPECT_EQ(r.rings, 50);
  EXPECT_EQ(r.span, 150);
  // A longer earlier series wins on rings.
  const CommintResult r2 = RunCommint({1800, 1900}, {1860, 1949});
  EXPECT_EQ(r2.start, 1800);
  EXPECT_EQ(r2.end, 1860);
  EXPECT_EQ(r2.rings, 61);
}

TEST(Commint, SeriesCoveringTheSameYears) {
  const CommintResult r = RunCommint({1700, 1700, 1700, 1700}, {1820, 1820, 1820, 1820});
  EXPECT_EQ(r.start, 1700);
  EXPECT_EQ(r.end, 1820);
  EXPECT_EQ(r.count, 4);
  EXPECT_EQ(r.rings, 4 * 121);
}

TEST(Commint, BestGroupByHand) {
  // A 1900-2000, B 1950-2000, C 1900-1980. Candidates: (1900, 2000) 1 x 101,
  // (1950, 2000) 2 x 51 = 102, (1900, 1980) A and C: 2 x 81 = 162,
  // (1950, 1980) 3 x 31 = 93.
  const CommintResult r = RunCommint({1900, 1950, 1900}, {2000, 2000, 1980});
  EXPECT_EQ(r.start, 1900);
  EXPECT_EQ(r.end, 1980);
  EXPECT_EQ(r.years, 81);
  EXPECT_EQ(r.count, 2);
  EXPECT_EQ(r.rings, 162);
  EXPECT_EQ(r.longest, 101);
  EXPECT_EQ(r.shortest, 51);
}

// The search exactly as the report defines it, candidate by candidate, with
// the key order written out as comparisons of the 5-digit key fields.
CommintResult Naive(const std::vector<int>& first, const std::vector<int>& last) {
  const std::size_t n = first.size();
  std::vector<std::size_t> key;
  for (std::size_t i = 0; i < n; ++i) key.push_back(i);
  for (std::size_t p = 0; p < n; ++p) {  // selection sort, greatest key first
    std::size_t g = p;
    for (std::size_t q = p + 1; q < n; ++q) {
      const std::size_t a = key[q], b = key[g];
      const bool greater = last[a] != last[b] ? last[a] > last[b] : first[a] < first[b];
      if (greater) g = q;
    }
    std::swap(key[p], key[g]);
  }
  std::vector<int> tlist;
  for (std::size_t k : key)
    if (tlist.empty() || tlist.back() != last[k]) tlist.push_back(last[k]);
  CommintResult r{};
  int best = 0;
  for (int t : tlist) {
    for (std::size_t k : key) {
      const int u = first[k];
      int count = 0;
      for (std::size_t s = 0; s < n; ++s)
        if (first[s] <= u && last[s] >= t) ++count;
      if (count * (t - u + 1) > best) {
        best = count * (t - u + 1);
        r.start = u;
        r.end = t;
        r.count = count;
      }
    }
  }
  r.rings = best;
  return r;
}

TEST(Commint, AgreesWithTheCandidateByCandidateSearch) {
  std::uint32_t s = 12345u;
  auto next = [&](int range) {
    s = s * 1664525u + 1013904223u;
    return static_cast<int>((s >> 8) % static_cast<std::uint32_t>(range));
  };
  for (int trial = 0; trial < 200; ++trial) {
    const int n = 1 + next(40);
    std::vector<int> first, last;
    for (int i = 0; i < n; ++i) {
      const int f = 1500 + next(60) * 5;  // coarse grid: many ties
      first.push_back(f);
      last.push_back(f + 5 * next(30));
    }
    const CommintResult fast = RunCommint(first, last);
    const CommintResult slow = Naive(first, last);
    ASSERT_EQ(fast.rings, slow.rings) << trial;
    ASSERT_EQ(fast.start, slow.start) << trial;
    ASSERT_EQ(fast.end, slow.end) << trial;
    ASSERT_EQ(fast.count, slow.count) << trial;
  }
}

TEST(Commint, SeriesLimitByProgram) {
  std::vector<int> first(3002, 1900), last(3002, 1950);
  EXPECT_TRUE(RunCommint(first, last).too_many);
  first.pop_back();
  last.pop_back();
  const CommintResult r = RunCommint(first, last);
  EXPECT_FALSE(r.too_many);
  EXPECT_EQ(r.count, 3001);
  std::vector<int> many(6001, 1900), many_last(6001, 1910);
  EXPECT_FALSE(RunCommint(many, many_last, CommintMax(common::ProgramVariant::kBatch)).too_many);
}

}  // namespace
}  // namespace detrend
