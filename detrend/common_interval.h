// Common interval of a data set: Commint, imin, imax.
//
// The optimum common interval is the period and the group of series that
// together hold the most rings with every series of the group present over
// the whole period. The boxed report is shown by engine/stats_report.h.
#pragma once

#include <span>
#include <string>

#include "common/program_variant.h"

namespace detrend {

// imin, imax: smallest and largest of iv(1..n), scanning from iv(1); n < 2
// (including an empty vector, read as 0) gives iv(1).
int imin(std::span<const int> iv);
int imax(std::span<const int> iv);

// Series limit of the common-interval search, by program.
inline int CommintMax(common::ProgramVariant variant) {
  return variant == common::ProgramVariant::kBatch ? 6001 : 3001;
}

struct CommintResult {
  bool too_many;     // nser above the limit: nothing else is set
  int first_year;    // time span of the data set
  int last_year;
  int span;          // last - first + 1
  int nser;
  int start;         // optimum common interval u .. t
  int end;
  int years;         // t - u + 1
  int count;         // series included
  int rings;         // count * years
  int longest;       // imax of the lengths
  int shortest;      // imin of the lengths
};

// Commint: series are taken in key order (last year latest first, then
// first year earliest first, then identifier in descending text order).
// For each distinct last year t (latest first) and each series k in key
// order with first year u, count the series with first year <= u and last
// year >= t; the candidate with the most rings count * (t - u + 1) wins,
// the first found on ties. Lengths are in years; series i covers
// ify(i) .. ify(i) + len(i) - 1. `limit` is the series limit of the program.
CommintResult Commint(int limit, std::span<const int> ify, std::span<const std::string> SERID,
                      std::span<const int> len);

}  // namespace detrend
