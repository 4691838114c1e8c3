// Location, scale and order statistics of one vector of single-precision
// values: meansd, biwloc, xmad, median, hinges and sort, and the one-pass
// sort of values that form two sorted runs.
//
// All arithmetic is single precision. median, hinges and biwloc sort the
// vector they are given in place (ascending): a caller that needs the order
// of its data passes a copy. Too few values for a statistic (none, or one
// for a standard deviation) give the "statistic without data" sentinel -99.0
// (common::kNoStatistic) rather than a read outside the vector or a division
// by zero.
#pragma once

#include <span>

namespace detrend {

// meansd: xm = sum(x) / n, sd = sqrt(sum((x - xm)^2) / (n - 1)).
// n = 0: both -99.0; n = 1: xm = x(1), sd = -99.0.
struct MeanSd {
  float xm;
  float sd;
};
MeanSd meansd(std::span<const float> x);

// median: sorts x; x(k + 1) for odd n, (x(k) + x(k + 1)) / 2 for even n,
// with k = n / 2. n = 0 gives -99.0.
float median(std::span<float> x);

// xmad: median of |x(i) - centre|, the deviations sorted in `work` (at least
// x.size() values; x itself is untouched). n = 0 gives -99.0.
float xmad(std::span<const float> x, float centre, std::span<float> work);
// As above with a work vector of its own (allocates).
float xmad(std::span<const float> x, float centre);

// hinges: Tukey's five-number summary (the same as R's fivenum for every n)
// and the H-spread. Sorts x. With h = (n + 1) / 2 and q = h / 2:
// median (x(n/2 + 1) + x(n - n/2)) / 2, lower hinge (x(q + 1) + x(h - q)) / 2,
// upper hinge (x(n - h + q + 1) + x(n - q)) / 2. n = 0: every output -99.0.
struct Hinges {
  float median;
  float upper;    // upper hinge
  float lower;    // lower hinge
  float hspread;  // upper - lower
  float min;
  float max;
};
Hinges hinges(std::span<float> x);
// hinges(x).median, reordering x without always sorting it: when no two
// equal values differ in their bits (no zeros, no NaN) the two middle order
// statistics are selected instead.
float HingesMedian(std::span<float> x);

// biwloc: Tukey biweight location (constant 6) and scale (constant 9) about
// the median, with S the median absolute deviation about the median held
// fixed. loc1/scl1 come from one step about the median, loci/scli from ten
// further steps. n <= 5 or S <= 0.0001: both locations are the median and
// both scales 1.5 S. Sorts x. `work` holds at least x.size() values.
// n = 0: every output -99.0.
struct BiwlocResult {
  float loci;
  float scli;
  float loc1;
  float scl1;
};
BiwlocResult biwloc(std::span<float> x, std::span<float> work);
BiwlocResult biwloc(std::span<float> x);  // allocates its work vector

// sort: in-place ascending quicksort with a pseudo-random partitioning
// element from the fixed sequence fx = mod(fx * 211 + 1663, 7875) (restarted
// at 0 on every call), straight insertion for segments shorter than 7, and
// an explicit stack of segment bounds. The larger part is always the one
// stacked, so the stack never holds more than 2 log2(n) entries: the fixed
// stack below cannot overflow for any vector that fits in memory.
// A vector without zeros and NaN goes through the library's sort instead:
// its values are then in the one ascending order there is, the same as the
// quicksort's.
void sort(std::span<float> x);

// The values of v in ascending order into `out` (v.size() values) by one
// merge, for v that falls to a lowest point and rises after it (kValley, as
// the distances of sorted values from a point among them do) or rises to a
// top and falls after it (kPeak, as the biweights of sorted values do).
// False, with `out` unspecified, when the merged values are not in ascending
// order (v is of another shape) or one of them has its sign bit set
// (negative, -0) or is NaN: every value then read from a true result's
// `out` by position is the one a full sort of v puts there.
enum class RunShape { kValley, kPeak };
bool SortTwoRuns(std::span<const float> v, std::span<float> out, RunShape shape);

}  // namespace detrend
