// Indices and the mean chronology: indxs, ROBSUM and biwgt.
//
// indxs turns one series and its fitted curve into indices; ROBSUM averages
// the index matrix year by year (arithmetic or Tukey biweight mean) into the
// chronology, its spread, the sample depth and the summary of each year's
// biweights; biwgt is the location estimator ROBSUM calls once per year.
#pragma once

#include <span>
#include <vector>

#include "common/limits.h"
#include "common/program_variant.h"
#include "common/storage.h"
#include "detrend/parallel.h"

namespace detrend {

// indxs: ind(i) = x(i) / curv(i). mode 2 (residual indices): the residuals
// e(i) = ind(i) * curv(i) - curv(i) are rescaled to the mean mR and standard
// deviation sR of the ratios, ind(i) = (e(i) - mE) / sE * sR + mR, and any
// negative result becomes 0. When sR or sE is not positive every index is
// the ratio mean (clipped at 0 likewise). Any other mode gives the ratios,
// never clipped. n = x.size(); curv and ind hold at least n values.
void indxs(std::span<const float> x, std::span<const float> curv, std::span<float> ind, int mode);

// biwgt: location of one year's values.
//   itype 1: arithmetic mean, spread the standard deviation (divisor n-1),
//            vratio 1, every weight 1; x keeps its order.
//   itype < 0, g = |itype|: an order statistic of the sorted x: 1 minimum,
//            25 lower hinge, 50 median, 75 upper hinge, 100 maximum, other g
//            the percentile p = g n / 100, (x(trunc p) + x(trunc(p + .5))) / 2
//            with both positions clamped to 1..n. spr, se and vratio 0.
//   other:   Tukey biweight mean, constant 7.5, about the median with the
//            median absolute deviation S fixed: one step about the median and
//            three more, each about the location before (double precision).
//            wt(i) = (1 - u(i)^2)^2 from the last step, 0 for rejected values.
//            S < 0.0001 with n > 5: median, spread S, vratio 1, weight 1 for
//            the values equal to the median and 0 for the others.
//            n <= 5: median, spread 1.5 S, vratio 1, every weight 1.
// n = 1: loc x(1), spr = se = vratio = 0, weight 1. vratio = V / spr^2 (V the
// variance, divisor n-1) when spr > 0, else 1. se = spr / sqrt(n).
// Every type but 1 sorts x ascending in place (wt then follows the sorted
// order). `w` is work of at least n values; `wt` receives n weights.
// n = 0 is a fatal input of the program; here it gives loc -999.0 and
// ok = false, and the caller stops with "fatal error in biwgt: n is zero or
// negative".
struct BiweightResult {
  float loc;
  float spr;
  float se;
  float vratio;
  bool ok;
};
BiweightResult biwgt(std::span<float> x, std::span<float> w, std::span<float> wt, int itype);

// Largest number of series ROBSUM accepts (MAXNUM), by program.
inline int RobsumMax(common::ProgramVariant variant) {
  return variant == common::ProgramVariant::kBatch ? 6001 : 3001;
}

// ROBSUM's own storage: one year's values, biwgt's work vector and the
// year's biweights, MAXNUM values each. Owned by the caller and reused by
// every call, so ROBSUM allocates nothing.
struct RobsumWorkspace {
  explicit RobsumWorkspace(common::ProgramVariant variant);
  int maxnum;
  std::vector<float> values, work, weights, sorted;
  std::vector<int> series, origin;  // series of the sorted and of the gathered values
  // The same for each further thread of a large table, made on first need,
  // and the threads it may use (none: threads of each call's own).
  struct Lane {
    std::vector<float> values, work, weights, sorted;
    std::vector<int> series, origin;
  };
  std::vector<Lane> lanes;
  WorkerPool* pool = nullptr;
  // Per year, the place of each series' value among the year's sorted
  // values at the last call (rank, rows x cols, -1 for none) and how many
  // values there were (ranked): where the next call's sort starts from.
  std::vector<int> rank, ranked;
  int rank_rows = 0, rank_cols = 0;
};

enum class RobsumStatus {
  kOk,
  kTooManySeries,      // nser > MAXNUM: nothing computed
  kYearWithoutValues,  // a year with no present value: biwgt's fatal input
};

// ROBSUM: for each year i = 1..nyrs, gathers x(i, j) over j = 1..nser where
// the cell is not exactly -999.0, and sets crn, spr and vratio from biwgt of
// type MEANMD and SSize to the number of values. bwt(i, 1..4) receives the
// minimum, lower hinge, median and upper hinge of the year's biweights (all
// 1.0 when fewer than six values). The output spans are 0-based: element
// i-1 is year i. On kYearWithoutValues the years before the empty one are
// filled; the caller stops the program (see engine/stats_report.h). Large
// tables share their years out among threads, with the same results.
RobsumStatus ROBSUM(const common::SeriesMatrix& x, common::Block& bwt, int nyrs, int nser,
                    std::span<float> crn, std::span<float> spr, std::span<float> vratio,
                    std::span<int> SSize, int MEANMD, RobsumWorkspace& work);

}  // namespace detrend
