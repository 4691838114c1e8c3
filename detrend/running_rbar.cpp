#include "detrend/running_rbar.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

#include "common/limits.h"
#include "detrend/order_stats.h"
#include "detrend/parallel.h"

namespace detrend {

CorrlResult corrl(std::span<const float> x, std::span<const float> y) {
  const std::size_t n = x.size();
  const auto fn = static_cast<float>(n);
  float sx = 0.0f, sy = 0.0f;
  for (std::size_t i = 0; i < n; ++i) {
    sx += x[i];
    sy += y[i];
  }
  const float xm = sx / fn;
  const float ym = sy / fn;
  float sxx = 0.0f, syy = 0.0f, sxy = 0.0f;
  for (std::size_t i = 0; i < n; ++i) {
    const float dx = x[i] - xm;
    const float dy = y[i] - ym;
    sxx += dx * dx;
    syy += dy * dy;
    sxy += dx * dy;
  }
  if (sxx * syy == 0.0f) return {0.0f, ym, 0.0f, false};
  const float r = sxy / std::sqrt(sxx * syy);
  const float nm1 = fn - 1.0f;
  const float b = (std::sqrt(syy / nm1) / std::sqrt(sxx / nm1)) * r;
  const float a = ym - b * xm;
  return {r, a, b, true};
}

namespace {

// Blocks of lanes for the cross sums of a few series with several others.
constexpr std::size_t kWide = 32;
constexpr std::size_t kNarrow = 8;
constexpr std::size_t kRows = 4;  // series whose cross sums are formed together
using Wide = float __attribute__((vector_size(kWide * sizeof(float))));
using Narrow = float __attribute__((vector_size(kNarrow * sizeof(float))));

// sxy[r * nc + j + l] = sum over years k of dev(k, i + r) * dev(k, j + l)
// for the R series i..i+R-1 and every lane l of the block, each sum formed
// in year order. One load of the block serves all R series.
template <typename Block, std::size_t R>
inline void CrossSums(const float* dev, std::size_t nc, std::size_t len, std::size_t i, std::size_t j, float* sxy) {
  Block acc[R] = {};
  for (std::size_t k = 0; k < len; ++k) {
    const float* row = dev + k * nc;
    Block v;
    std::memcpy(&v, row + j, sizeof v);
    for (std::size_t r = 0; r < R; ++r) acc[r] += row[i + r] * v;
  }
  for (std::size_t r = 0; r < R; ++r) std::memcpy(sxy + r * nc + j, &acc[r], sizeof acc[r]);
}

template <std::size_t R>
inline void RowSums(const float* dev, std::size_t nc, std::size_t len, std::size_t i, float* sxy) {
  std::size_t j = i + 1;
  for (; j + kWide <= nc; j += kWide) CrossSums<Wide, R>(dev, nc, len, i, j, sxy);
  for (; j + kNarrow <= nc; j += kNarrow) CrossSums<Narrow, R>(dev, nc, len, i, j, sxy);
  for (; j < nc; ++j) {
    for (std::size_t r = 0; r < R; ++r) {
      float acc = 0.0f;
      for (std::size_t k = 0; k < len; ++k) acc += dev[k * nc + i + r] * dev[k * nc + j];
      sxy[r * nc + j] = acc;
    }
  }
}

// The cross sums of covering series i..i+rows-1 (rows 1 or kRows) with
// every later series, row r of sxy for series i + r (lanes at or before
// i + r are scratch). Built for the widest vector unit the processor has;
// products and sums are rounded one by one (no fused multiply-add), so
// every width gives the same bits.
__attribute__((target_clones("avx512f", "avx2", "default"))) void PairSums(const float* dev, std::size_t nc,
                                                                           std::size_t len, std::size_t i,
                                                                           std::size_t rows, float* sxy) {
  if (rows == kRows) {
    RowSums<kRows>(dev, nc, len, i, sxy);
  } else {
    RowSums<1>(dev, nc, len, i, sxy);
  }
}

// Scratch of the window correlations, sized once per runrbr call.
//   dev   deviations from the window mean, year-major: dev[k * nc + s] is
//         year k of the s-th covering series, so the pair loop runs along
//         contiguous memory;
//   sxx   each covering series' sum of squared deviations;
//   sxy   the cross sums of a few series with every later covering series.
// Every sum is formed value by value in year order, exactly as corrl
// forms it for the pair, so the correlations are corrl's to the last bit.
struct WindowScratch {
  std::vector<int> cover;
  std::vector<float> dev, sxx, sxy;
  explicit WindowScratch(int ns, int length)
      : cover(static_cast<std::size_t>(ns)),
        dev(static_cast<std::size_t>(ns) * static_cast<std::size_t>(length)),
        sxx(static_cast<std::size_t>(ns)),
        sxy(static_cast<std::size_t>(ns) * kRows) {}
};

WindowRbar WindowKernel(const common::SeriesMatrix& idx, std::span<float> used, const common::YearTable& IYTAB,
                        int NS, int ws, int length, WindowScratch& w) {
  const int row0 = common::RowOfYear(ws, IYTAB.IFY(NS + 1)) - 1;  // 0-based row of year ws
  const auto len = static_cast<std::size_t>(length);
  const auto flen = static_cast<float>(length);

  std::size_t nc = 0;
  for (int s = 1; s <= NS; ++s) {
    if (IYTAB.IFY(s) <= ws && common::YearSpan(ws, IYTAB.ILY(s)) >= length) w.cover[nc++] = s;
  }
  for (std::size_t c = 0; c < nc; ++c) {
    const std::span<const float> v =
        idx.column_view(w.cover[c]).subspan(static_cast<std::size_t>(row0), len);
    float sum = 0.0f;
    for (float x : v) sum += x;
    const float mean = sum / flen;
    float ss = 0.0f;
    for (std::size_t k = 0; k < len; ++k) {
      const float d = v[k] - mean;
      w.dev[k * nc + c] = d;
      ss += d * d;
    }
    w.sxx[c] = ss;
  }

  double sum_r = 0.0, sum_r2 = 0.0;
  int count = 0;
  std::size_t nused = 0;
  for (std::size_t i = 0; i + 1 < nc; ++i) {
    // Cross sums with blocks of later series, one lane each: every lane
    // still adds its products in year order.
    const std::size_t row = i % kRows;
    if (row == 0) PairSums(w.dev.data(), nc, len, i, i + kRows < nc ? kRows : 1, w.sxy.data());
    if (row != 0 && i - row + kRows >= nc) PairSums(w.dev.data(), nc, len, i, 1, w.sxy.data() + row * nc);
    const float* sxy = w.sxy.data() + row * nc;
    for (std::size_t m = i + 1; m < nc; ++m) {
      const float prod = w.sxx[i] * w.sxx[m];
      if (prod == 0.0f) continue;  // no correlation without variance
      const float r = sxy[m] / std::sqrt(prod);
      if (r > 0.0f) {
        ++count;
        sum_r += static_cast<double>(r);
        sum_r2 += static_cast<double>(r) * static_cast<double>(r);
        if (nused < used.size()) used[nused++] = r;
      }
    }
  }
  if (count < 3) return {count, common::kNoRbar, common::kNoRbar, common::kNoRbar};
  const double rbar = sum_r / count;
  double var = (sum_r2 - count * rbar * rbar) / (count - 1);
  if (var < 0.0) var = 0.0;
  const double sd = std::sqrt(var);
  return {count, static_cast<float>(rbar), static_cast<float>(sd), static_cast<float>(sd / std::sqrt(count))};
}

}  // namespace

WindowRbar winrbr(const common::SeriesMatrix& idx, std::span<float> used, const common::YearTable& IYTAB,
                  int NS, int ws, int length) {
  WindowScratch scratch(NS, length);
  return WindowKernel(idx, used, IYTAB, NS, ws, length, scratch);
}

RunrbrResult runrbr(const common::SeriesMatrix& idx, common::Block& RBRV1, const common::YearTable& IYTAB, int NS,
                    common::Block& RBRV2, common::Block& RBRV3, int length, int overlap, WorkerPool* pool) {
  if (length % 2 == 0) {
    overlap = length;
    length = length + 1;
  }
  if (length - overlap < 1) overlap = length - 1;
  const int fy = IYTAB.IFY(NS + 1);
  const int ly = IYTAB.ILY(NS + 1);
  const int nyrs = ly - fy + 1;
  const int step = length - overlap;
  const int ntry = (ly - fy + step) / step;

  // Every window's correlations first, windows shared out among threads;
  // each window is computed whole by one thread, so the results are those
  // of a one-thread run.
  const int last_start = ly - length + 1;  // latest window start that fits
  const int nwindows = ntry > 0 && last_start >= fy ? std::min(ntry, (last_start - fy) / step + 1) : 0;
  // Scratch only for windows that exist: a window longer than the
  // chronology allocates nothing.
  std::vector<WindowRbar> results(static_cast<std::size_t>(std::max(nwindows, 0)));
  const unsigned lanes = nwindows > 0 ? LanesFor(static_cast<double>(nwindows) * NS * NS * length, 2e7, nwindows) : 0;
  std::vector<WindowScratch> scratch;
  if (lanes > 0) scratch.assign(lanes, WindowScratch(NS, length));
  ParallelFor(pool, nwindows, lanes, [&](int k, unsigned lane) {
    results[static_cast<std::size_t>(k)] = WindowKernel(idx, {}, IYTAB, NS, fy + k * step, length, scratch[lane]);
  });

  int m = 0;
  int o = 0;
  int k_first = 0;
  int last_row = 0;
  for (int k = 0; k < nwindows; ++k) {
    const int ws = fy + k * step;
    const int middle = ws + length / 2;
    const WindowRbar& r = results[static_cast<std::size_t>(k)];
    if (r.count < 3) continue;
    ++m;
    if (m == 1) {
      o = middle - fy;
      k_first = k;
    }
    RBRV2.at(m, 1) = static_cast<float>(middle);
    RBRV2.at(m, 2) = static_cast<float>(r.count);
    RBRV2.at(m, 3) = r.rbar;
    RBRV2.at(m, 4) = r.sd;
    RBRV2.at(m, 5) = r.se;
    // Row of this window: its middle year when windows step by one year;
    // with larger steps, one row per window tried, as the table lays them.
    const int row = k - k_first + 1 + o;
    if (row > nyrs) break;
    for (int i = last_row + 1; last_row > 0 && i < row; ++i) RBRV3.at(i, 2) = RBRV3.get(last_row, 2);
    RBRV3.at(row, 2) = r.rbar;
    last_row = row;
  }

  const std::span<float> chron = RBRV1.column(1).first(static_cast<std::size_t>(std::max(nyrs, 0)));
  if (m == 0) {
    for (int i = 1; i <= nyrs; ++i) {
      for (int c = 2; c <= 5; ++c) RBRV3.at(i, c) = common::kNoRbar;
      RBRV1.at(i, 2) = RBRV1.get(i, 1);
      RBRV1.at(i, 3) = RBRV1.get(i, 1);
    }
    return {0, length, overlap};
  }
  for (int i = 1; i <= o; ++i) RBRV3.at(i, 2) = RBRV3.get(o + 1, 2);
  for (int i = last_row + 1; i <= nyrs; ++i) RBRV3.at(i, 2) = RBRV3.get(last_row, 2);

  // RBAR2: the mean of RBAR1 over each run of constant whole-number depth.
  int start = 1;
  for (int i = 1; i <= nyrs; ++i) {
    const bool run_ends =
        i == nyrs || static_cast<int>(RBRV3.get(i + 1, 1)) != static_cast<int>(RBRV3.get(i, 1));
    if (!run_ends) continue;
    float sum = 0.0f;
    for (int r = start; r <= i; ++r) sum += RBRV3.get(r, 2);
    const float mean = sum / static_cast<float>(i - start + 1);
    for (int r = start; r <= i; ++r) RBRV3.at(r, 4) = mean;
    start = i + 1;
  }

  const float c0 = meansd(chron).xm;
  for (int i = 1; i <= nyrs; ++i) {
    const float n = RBRV3.get(i, 1);
    const float r1 = RBRV3.get(i, 2);
    const float r2 = RBRV3.get(i, 4);
    const float neff1 = n / ((n - 1.0f) * r1 + 1.0f);
    const float neff2 = n / ((n - 1.0f) * r2 + 1.0f);
    RBRV3.at(i, 3) = neff1;
    RBRV3.at(i, 5) = neff2;
    const float c = RBRV1.get(i, 1);
    RBRV1.at(i, 2) = c0 + (c - c0) * std::sqrt(r1 * neff1);
    RBRV1.at(i, 3) = c0 + (c - c0) * std::sqrt(r2 * neff2);
  }
  return {m, length, overlap};
}

RbarTableRow RunrbrTableRow(const common::Block& RBRV3, int first_year, int row, int nwin) {
  RbarTableRow t{};
  t.year = common::YearOfRow(row, first_year);
  const float n = RBRV3.get(row, 1);
  t.depth = static_cast<int>(n);
  if (nwin == 0) {
    t.rbar1 = t.eps1 = t.neff1 = t.rbar2 = t.eps2 = t.neff2 = common::kNoRbar;
    return t;
  }
  auto eps = [n](float r) { return n * r / ((1.0f - r) + n * r); };
  t.rbar1 = RBRV3.get(row, 2);
  t.neff1 = RBRV3.get(row, 3);
  t.rbar2 = RBRV3.get(row, 4);
  t.neff2 = RBRV3.get(row, 5);
  t.eps1 = eps(t.rbar1);
  t.eps2 = eps(t.rbar2);
  return t;
}

}  // namespace detrend
