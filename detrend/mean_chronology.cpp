#include "detrend/mean_chronology.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstddef>

#include "detrend/order_stats.h"
#include "detrend/parallel.h"
#include "detrend/sstats.h"

namespace detrend {

namespace {

// The k-th smallest (1-based) of v, reordering v. The values that order
// statistics of a work vector pick out are the same whatever the order of
// the rest, so the full sort of the work vectors is not needed.
float KthSmallest(std::span<float> v, int k) {
  const auto it = v.begin() + (k - 1);
  std::nth_element(v.begin(), it, v.end());
  return *it;
}

// min, lower hinge, median and upper hinge of v, as hinges defines them,
// reordering v. `work` holds at least v.size() values.
struct WeightSummary {
  float min, lower, median, upper;
};

WeightSummary SummaryOfWeights(std::span<float> v, std::span<float> work) {
  const int n = static_cast<int>(v.size());
  const int h = (n + 1) / 2;
  const int q = h / 2;
  WeightSummary r{};
  // The biweights of a year follow its sorted values: one merge orders them.
  const std::span<float> sorted = work.first(v.size());
  if (SortTwoRuns(v, sorted, RunShape::kPeak)) {
    auto S = [&](int k) { return sorted[static_cast<std::size_t>(k - 1)]; };
    r.min = S(1);
    r.lower = (S(q + 1) + S(h - q)) / 2.0f;
    r.median = (S(n / 2 + 1) + S(n - n / 2)) / 2.0f;
    r.upper = (S(n - h + q + 1) + S(n - q)) / 2.0f;
    return r;
  }
  r.min = *std::min_element(v.begin(), v.end());
  r.lower = (KthSmallest(v, q + 1) + KthSmallest(v, h - q)) / 2.0f;
  r.median = (KthSmallest(v, n / 2 + 1) + KthSmallest(v, n - n / 2)) / 2.0f;
  r.upper = (KthSmallest(v, n - h + q + 1) + KthSmallest(v, n - q)) / 2.0f;
  return r;
}

}  // namespace

void indxs(std::span<const float> x, std::span<const float> curv, std::span<float> ind, int mode) {
  const std::size_t n = x.size();
  for (std::size_t i = 0; i < n; ++i) ind[i] = x[i] / curv[i];
  if (mode != 2 || n == 0) return;

  const SeriesStats ratio = sstats(ind.first(n));
  // The residuals, measurement minus curve through the ratio, are formed in
  // place of the ratios (their statistics are already taken).
  for (std::size_t i = 0; i < n; ++i) ind[i] = ind[i] * curv[i] - curv[i];
  const SeriesStats resid = sstats(ind.first(n));
  const bool rescale = ratio.sd > 0.0f && resid.sd > 0.0f;
  for (std::size_t i = 0; i < n; ++i) {
    float v = rescale ? (ind[i] - resid.mean) / resid.sd * ratio.sd + ratio.mean : ratio.mean;
    if (v < 0.0f) v = 0.0f;
    ind[i] = v;
  }
}

namespace {

// The mean and variance (divisor n - 1) of n >= 2 values, summed in their
// order.
struct Moments {
  double mean, variance;
};

Moments MomentsOf(std::span<const float> x) {
  const int n = static_cast<int>(x.size());
  double sum = 0.0;
  for (float v : x) sum += static_cast<double>(v);
  const double mean = sum / n;
  double ss = 0.0;
  for (float v : x) ss += (static_cast<double>(v) - mean) * (static_cast<double>(v) - mean);
  return {mean, ss / (n - 1)};
}

// biwgt after the moments of x (n >= 2, weights set to 1): x is sorted here
// unless itype is 1.
BiweightResult BiweightWithMoments(std::span<float> x, std::span<float> w, std::span<float> wt, int itype,
                                   const Moments& moments);

}  // namespace

BiweightResult biwgt(std::span<float> x, std::span<float> w, std::span<float> wt, int itype) {
  const int n = static_cast<int>(x.size());
  if (n < 1) return {common::kMissing, 0.0f, 0.0f, 0.0f, false};
  std::fill(wt.begin(), wt.begin() + n, 1.0f);
  if (n == 1) return {x[0], 0.0f, 0.0f, 0.0f, true};
  return BiweightWithMoments(x, w, wt, itype, MomentsOf(x));
}

namespace {

BiweightResult BiweightWithMoments(std::span<float> x, std::span<float> w, std::span<float> wt, int itype,
                                   const Moments& moments) {
  const int n = static_cast<int>(x.size());
  auto X = [&](int i) { return x[static_cast<std::size_t>(i - 1)]; };
  const double mean = moments.mean;
  const double variance = moments.variance;
  const float sqrt_n = std::sqrt(static_cast<float>(n));

  if (itype == 1) {
    const float spr = static_cast<float>(std::sqrt(variance));
    return {static_cast<float>(mean), spr, spr / sqrt_n, 1.0f, true};
  }

  const Hinges h = hinges(x);  // sorts x
  if (itype < 0) {
    const int g = -itype;
    float loc;
    switch (g) {
      case 1: loc = h.min; break;
      case 25: loc = h.lower; break;
      case 50: loc = h.median; break;
      case 75: loc = h.upper; break;
      case 100: loc = h.max; break;
      default: {
        const float p = static_cast<float>(g * n) / 100.0f;
        const int lo = std::clamp(static_cast<int>(p), 1, n);
        const int hi = std::clamp(static_cast<int>(p + 0.5f), 1, n);
        loc = (X(lo) + X(hi)) / 2.0f;
      }
    }
    return {loc, 0.0f, 0.0f, 0.0f, true};
  }

  // Biweight mean about the median M with the MAD S.
  const float m = h.median;
  // The deviations, in wt for now, fall to M and rise after it along the
  // sorted values: one merge sorts them into w.
  const std::span<float> dev = wt.first(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) dev[static_cast<std::size_t>(i)] = std::abs(x[static_cast<std::size_t>(i)] - m);
  // S = (w(k) + w(n - k + 1)) / 2 of the sorted deviations.
  const int k = (n + 1) / 2;
  float s;
  const std::span<float> sorted = w.first(static_cast<std::size_t>(n));
  if (SortTwoRuns(dev, sorted, RunShape::kValley)) {
    s = (sorted[static_cast<std::size_t>(k - 1)] + sorted[static_cast<std::size_t>(n - k)]) / 2.0f;
  } else {
    s = (KthSmallest(dev, k) + KthSmallest(dev, n - k + 1)) / 2.0f;
  }
  std::fill(dev.begin(), dev.end(), 1.0f);

  if (s < 0.0001f && n > 5) {
    for (int i = 0; i < n; ++i) wt[static_cast<std::size_t>(i)] = x[static_cast<std::size_t>(i)] == m ? 1.0f : 0.0f;
    return {m, s, s / sqrt_n, 1.0f, true};
  }
  if (n <= 5) {
    const float spr = 1.5f * s;
    return {m, spr, spr / sqrt_n, 1.0f, true};
  }

  const double cs = 7.5 * static_cast<double>(s);
  const double scale_factor = static_cast<double>(n) / std::sqrt(static_cast<double>(n - 1));
  double t = static_cast<double>(m);
  double scale = 0.0;
  for (int step = 1; step <= 4; ++step) {
    double a = 0.0, b = 0.0, c = 0.0, d = 0.0;
    for (int i = 0; i < n; ++i) {
      const double e = static_cast<double>(x[static_cast<std::size_t>(i)]) - t;
      const double u = e / cs;
      double weight = 0.0;
      if (std::abs(u) < 1.0) {
        const double u2 = u * u;
        const double one = 1.0 - u2;
        const double one2 = one * one;
        a += e * e * (one2 * one2);
        b += one * (1.0 - 5.0 * u2);
        c += e * one2;
        d += one2;
        weight = one2;
      }
      if (step > 1) wt[static_cast<std::size_t>(i)] = static_cast<float>(weight);
    }
    t = t + c / d;
    scale = std::sqrt(a) * scale_factor / std::abs(b);
  }
  const float spr = static_cast<float>(scale);
  const float vratio = spr > 0.0f ? static_cast<float>(variance / static_cast<double>(spr * spr)) : 1.0f;
  return {static_cast<float>(t), spr, spr / sqrt_n, vratio, true};
}

// Straight insertion of values with their series numbers, ascending by value.
void InsertionSort(std::span<float> v, std::span<int> id) {
  for (std::size_t k = 1; k < v.size(); ++k) {
    const float a = v[k];
    const int b = id[k];
    std::size_t i = k;
    for (; i > 0 && v[i - 1] > a; --i) {
      v[i] = v[i - 1];
      id[i] = id[i - 1];
    }
    v[i] = a;
    id[i] = b;
  }
}

}  // namespace

RobsumWorkspace::RobsumWorkspace(common::ProgramVariant variant)
    : maxnum(RobsumMax(variant)),
      values(static_cast<std::size_t>(maxnum)),
      work(static_cast<std::size_t>(maxnum)),
      weights(static_cast<std::size_t>(maxnum)),
      sorted(static_cast<std::size_t>(maxnum)),
      series(static_cast<std::size_t>(maxnum)),
      origin(static_cast<std::size_t>(maxnum)) {}

RobsumStatus ROBSUM(const common::SeriesMatrix& x, common::Block& bwt, int nyrs, int nser,
                    std::span<float> crn, std::span<float> spr, std::span<float> vratio,
                    std::span<int> SSize, int MEANMD, RobsumWorkspace& work) {
  if (nser > work.maxnum) return RobsumStatus::kTooManySeries;
  std::array<std::span<float>, 4> summary;
  for (int c = 1; c <= 4; ++c) summary[static_cast<std::size_t>(c - 1)] = bwt.column(c);

  // Blocks of years, each done whole by one thread with buffers of its own.
  constexpr int kBlock = 32;
  const int blocks = (nyrs + kBlock - 1) / kBlock;
  const unsigned lanes = LanesFor(static_cast<double>(nyrs) * nser, 2e4, blocks);
  const std::size_t size = static_cast<std::size_t>(work.maxnum);
  while (work.lanes.size() + 1 < lanes) {
    work.lanes.push_back({std::vector<float>(size), std::vector<float>(size), std::vector<float>(size),
                          std::vector<float>(size), std::vector<int>(size), std::vector<int>(size)});
  }
  // Where each series' value of each year came in that year's sorted
  // values at the last call of this shape (-1: not among them).
  if (work.rank_rows != nyrs || work.rank_cols != nser) {
    work.rank.assign(static_cast<std::size_t>(std::max(nyrs, 0)) * static_cast<std::size_t>(std::max(nser, 0)), -1);
    work.ranked.assign(static_cast<std::size_t>(std::max(nyrs, 0)), 0);
    work.rank_rows = nyrs;
    work.rank_cols = nser;
  }
  std::atomic<int> first_empty{nyrs + 1};
  ParallelFor(work.pool, blocks, lanes, [&](int block, unsigned lane) {
    RobsumWorkspace::Lane own{};
    RobsumWorkspace::Lane& buffers = lane == 0 ? own : work.lanes[lane - 1];
    std::vector<float>& values = lane == 0 ? work.values : buffers.values;
    std::vector<float>& w = lane == 0 ? work.work : buffers.work;
    std::vector<float>& weights = lane == 0 ? work.weights : buffers.weights;
    std::vector<float>& sorted = lane == 0 ? work.sorted : buffers.sorted;
    std::vector<int>& series = lane == 0 ? work.series : buffers.series;
    std::vector<int>& origin = lane == 0 ? work.origin : buffers.origin;
    for (int i = block * kBlock + 1; i <= std::min(nyrs, (block + 1) * kBlock); ++i) {
      const auto row = static_cast<std::size_t>(i - 1);
      const std::span<int> rank(work.rank.data() + row * static_cast<std::size_t>(nser),
                                static_cast<std::size_t>(nser));
      std::size_t m = 0;
      bool zero_or_nan = false;
      for (int j = 1; j <= nser; ++j) {
        const float v = x.get(i, j);
        if (v != common::kMissing) {
          zero_or_nan = zero_or_nan || !(std::abs(v) > 0.0f);
          origin[m] = j;
          values[m++] = v;
        }
      }
      BiweightResult r;
      if (MEANMD != 1 && m >= 2 && !zero_or_nan) {
        // The values sorted as the last call of this shape found them
        // sorted, put right by straight insertion: from one iteration to
        // the next the order of a year's indices hardly changes. Without
        // zeros and NaN the sorted values are the same whatever the method,
        // and biwgt's own sort then finds nothing to do. The moments are
        // summed in series order, as biwgt sums them.
        const Moments moments = MomentsOf(std::span<const float>(values).first(m));
        bool placed = work.ranked[row] == static_cast<int>(m);
        for (std::size_t k = 0; k < m && placed; ++k) {
          const int j = origin[k];
          const int at = rank[static_cast<std::size_t>(j - 1)];
          if (at < 0 || at >= static_cast<int>(m)) {
            placed = false;
          } else {
            sorted[static_cast<std::size_t>(at)] = values[k];
            series[static_cast<std::size_t>(at)] = j;
          }
        }
        if (!placed) {
          std::fill(rank.begin(), rank.end(), -1);
          std::copy_n(values.begin(), m, sorted.begin());
          std::copy_n(origin.begin(), m, series.begin());
        }
        InsertionSort(std::span<float>(sorted).first(m), std::span<int>(series).first(m));
        for (std::size_t q = 0; q < m; ++q) rank[static_cast<std::size_t>(series[q] - 1)] = static_cast<int>(q);
        work.ranked[row] = static_cast<int>(m);
        std::fill_n(weights.begin(), m, 1.0f);
        r = BiweightWithMoments(std::span<float>(sorted).first(m), w, std::span<float>(weights).first(m), MEANMD,
                                moments);
      } else {
        r = biwgt(std::span<float>(values).first(m), w, std::span<float>(weights).first(m), MEANMD);
      }
      if (!r.ok) {
        int seen = first_empty.load();
        while (i < seen && !first_empty.compare_exchange_weak(seen, i)) {
        }
        return;
      }
      crn[row] = r.loc;
      spr[row] = r.spr;
      vratio[row] = r.vratio;
      SSize[row] = static_cast<int>(m);
      WeightSummary h{1.0f, 1.0f, 1.0f, 1.0f};
      if (m >= 6) h = SummaryOfWeights(std::span<float>(weights).first(m), w);
      summary[0][row] = h.min;
      summary[1][row] = h.lower;
      summary[2][row] = h.median;
      summary[3][row] = h.upper;
    }
  });
  return first_empty.load() <= nyrs ? RobsumStatus::kYearWithoutValues : RobsumStatus::kOk;
}

}  // namespace detrend
