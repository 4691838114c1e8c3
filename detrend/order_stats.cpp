#include "detrend/order_stats.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cmath>
#include <cstddef>
#include <vector>

#include "common/limits.h"

namespace detrend {

MeanSd meansd(std::span<const float> x) {
  const int n = static_cast<int>(x.size());
  if (n == 0) return {common::kNoStatistic, common::kNoStatistic};
  float sum = 0.0f;
  for (float v : x) sum += v;
  const float xm = sum / static_cast<float>(n);
  if (n == 1) return {xm, common::kNoStatistic};
  float ss = 0.0f;
  for (float v : x) ss += (v - xm) * (v - xm);
  return {xm, std::sqrt(ss / static_cast<float>(n - 1))};
}

float median(std::span<float> x) {
  const std::size_t n = x.size();
  if (n == 0) return common::kNoStatistic;
  sort(x);
  const std::size_t k = n / 2;  // x(k + 1) is x[k]
  if (n % 2 == 1) return x[k];
  return (x[k - 1] + x[k]) / 2.0f;
}

float xmad(std::span<const float> x, float centre, std::span<float> work) {
  const std::size_t n = x.size();
  if (n == 0) return common::kNoStatistic;
  std::span<float> d = work.first(n);
  for (std::size_t i = 0; i < n; ++i) d[i] = std::abs(x[i] - centre);
  sort(d);
  const std::size_t k = n / 2;
  if (n % 2 == 1) return d[k];
  return (d[k] + d[k - 1]) * 0.5f;
}

float xmad(std::span<const float> x, float centre) {
  std::vector<float> work(x.size());
  return xmad(x, centre, work);
}

Hinges hinges(std::span<float> x) {
  const int n = static_cast<int>(x.size());
  if (n == 0) {
    const float s = common::kNoStatistic;
    return {s, s, s, s, s, s};
  }
  sort(x);
  auto X = [&](int i) { return x[static_cast<std::size_t>(i - 1)]; };  // 1-based
  const int h = (n + 1) / 2;
  const int q = h / 2;
  Hinges r{};
  r.min = X(1);
  r.max = X(n);
  r.median = (X(n / 2 + 1) + X(n - n / 2)) / 2.0f;
  r.lower = (X(q + 1) + X(h - q)) / 2.0f;
  r.upper = (X(n - h + q + 1) + X(n - q)) / 2.0f;
  r.hspread = r.upper - r.lower;
  return r;
}

namespace {

// One biweight step about `t`: location constant 6, scale constant 9, S fixed.
struct Step {
  float loc;
  float scl;
};

Step BiweightStep(std::span<const float> x, float t, float s) {
  const float c6 = 6.0f * s;
  const float c9 = 9.0f * s;
  float a = 0.0f, b = 0.0f, c = 0.0f, d = 0.0f;
  for (float v : x) {
    const float dev = v - t;
    const float u9 = dev / c9;
    if (std::abs(u9) < 1.0f) {
      const float w = 1.0f - u9 * u9;
      a += dev * dev * ((w * w) * (w * w));
      b += w * (1.0f - 5.0f * (u9 * u9));
    }
    const float u6 = dev / c6;
    if (std::abs(u6) < 1.0f) {
      const float w = 1.0f - u6 * u6;
      c += dev * (w * w);
      d += w * w;
    }
  }
  const int n = static_cast<int>(x.size());
  const float fn = static_cast<float>(n);
  Step r;
  r.loc = t + c / d;
  r.scl = std::sqrt(a) * (fn / std::sqrt(static_cast<float>(n - 1))) / std::abs(b);
  return r;
}

}  // namespace

BiwlocResult biwloc(std::span<float> x, std::span<float> work) {
  const std::size_t n = x.size();
  if (n == 0) {
    const float s = common::kNoStatistic;
    return {s, s, s, s};
  }
  const float m = median(x);
  const float s = xmad(x, m, work);
  if (n <= 5 || s <= 0.0001f) {
    const float scale = 1.5f * s;
    return {m, scale, m, scale};
  }
  Step step = BiweightStep(x, m, s);
  BiwlocResult r{};
  r.loc1 = step.loc;
  r.scl1 = step.scl;
  for (int k = 0; k < 10; ++k) step = BiweightStep(x, step.loc, s);
  r.loci = step.loc;
  r.scli = step.scl;
  return r;
}

BiwlocResult biwloc(std::span<float> x) {
  std::vector<float> work(x.size());
  return biwloc(x, work);
}

namespace {

// True when every value is a number other than zero. Two such values that
// compare equal are the same bits, so any sort puts them in the same order.
bool DistinctBitsWhenEqual(std::span<const float> x) {
  for (float v : x) {
    if (!(std::abs(v) > 0.0f)) return false;  // a zero of either sign, or NaN
  }
  return true;
}

// Values the radix sort takes: its keys are kept on the stack (32 KB).
constexpr std::size_t kRadixMax = 4096;

// Ascending radix sort of at most kRadixMax values none of which is a zero
// or NaN, by their bits turned into keys that order as the values do
// (negatives: all bits flipped; positives: the sign bit set). Eleven bits a
// pass, a pass whose digit every key shares skipped.
void RadixSort(std::span<float> x) {
  const std::size_t n = x.size();
  std::array<std::uint32_t, kRadixMax> keys, other;  // written before they are read
  constexpr int kBits = 11;
  constexpr std::uint32_t kDigits = 1u << kBits;
  std::array<std::array<std::uint32_t, kDigits>, 3> count{};
  for (std::size_t i = 0; i < n; ++i) {
    const auto u = std::bit_cast<std::uint32_t>(x[i]);
    const std::uint32_t key = (u & 0x80000000u) != 0 ? ~u : (u | 0x80000000u);
    keys[i] = key;
    for (int p = 0; p < 3; ++p) ++count[static_cast<std::size_t>(p)][(key >> (kBits * p)) & (kDigits - 1)];
  }
  std::uint32_t* from = keys.data();
  std::uint32_t* to = other.data();
  for (int p = 0; p < 3; ++p) {
    std::array<std::uint32_t, kDigits>& c = count[static_cast<std::size_t>(p)];
    const int shift = kBits * p;
    if (c[(from[0] >> shift) & (kDigits - 1)] == n) continue;  // one digit for all
    std::uint32_t start = 0;
    for (std::uint32_t& v : c) {
      const std::uint32_t k = v;
      v = start;
      start += k;
    }
    for (std::size_t i = 0; i < n; ++i) to[c[(from[i] >> shift) & (kDigits - 1)]++] = from[i];
    std::swap(from, to);
  }
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint32_t key = from[i];
    x[i] = std::bit_cast<float>((key & 0x80000000u) != 0 ? (key & 0x7fffffffu) : ~key);
  }
}

}  // namespace

float HingesMedian(std::span<float> x) {
  const std::size_t n = x.size();
  if (n == 0 || !DistinctBitsWhenEqual(x)) return hinges(x).median;
  // x(n/2 + 1) and x(n - n/2), 1-based: the same value for odd n, the
  // largest of the values below it for even n.
  const std::size_t k = n / 2;
  std::nth_element(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(k), x.end());
  const float upper = x[k];
  const float lower = n % 2 == 1 ? upper : *std::max_element(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(k));
  return (upper + lower) / 2.0f;
}

void sort(std::span<float> x) {
  constexpr int kInsertion = 7;  // segments with ir - l < 7 go by straight insertion
  const int n = static_cast<int>(x.size());
  if (n < 2) return;
  // Sorted values are a single sequence whatever the method, as long as no
  // two equal values differ in their bits: the library's sort then gives
  // exactly the quicksort's result, faster. Zeros (+0 and -0 compare equal)
  // and NaN keep the quicksort.
  if (DistinctBitsWhenEqual(x)) {
    if (std::is_sorted(x.begin(), x.end())) return;
    if (n >= 256 && x.size() <= kRadixMax) {
      RadixSort(x);
    } else {
      std::sort(x.begin(), x.end());
    }
    return;
  }
  auto X = [&](int i) -> float& { return x[static_cast<std::size_t>(i - 1)]; };

  // Each stacked segment is at most half of its parent, so 2 * 64 entries
  // hold the bounds for any n.
  std::array<int, 128> stack{};
  int jstack = 0;
  int l = 1;
  int ir = n;
  float fx = 0.0f;
  for (;;) {
    if (ir - l < kInsertion) {
      for (int j = l + 1; j <= ir; ++j) {
        const float a = X(j);
        int i = j - 1;
        while (i >= l && X(i) > a) {
          X(i + 1) = X(i);
          --i;
        }
        X(i + 1) = a;
      }
      if (jstack == 0) return;
      ir = stack[static_cast<std::size_t>(jstack - 1)];
      l = stack[static_cast<std::size_t>(jstack - 2)];
      jstack -= 2;
      continue;
    }
    fx = fx * 211.0f + 1663.0f;
    fx = fx - std::trunc(fx / 7875.0f) * 7875.0f;
    int iq = static_cast<int>(static_cast<float>(l) +
                              static_cast<float>(ir - l + 1) * (fx * 0.00012698413f));
    if (iq > ir) iq = ir;  // only reachable for segments of more than 7874 values
    const float a = X(iq);
    X(iq) = X(l);
    int i = l;
    int j = ir;
    for (;;) {
      while (j > 0 && a < X(j)) --j;
      if (j <= i) {
        X(i) = a;
        break;
      }
      X(i) = X(j);
      ++i;
      while (i <= n && a > X(i)) ++i;
      if (j <= i) {
        X(j) = a;
        i = j;
        break;
      }
      X(j) = X(i);
      --j;
    }
    jstack += 2;
    if (ir - i >= i - l) {
      stack[static_cast<std::size_t>(jstack - 1)] = ir;
      stack[static_cast<std::size_t>(jstack - 2)] = i + 1;
      ir = i - 1;
    } else {
      stack[static_cast<std::size_t>(jstack - 1)] = i - 1;
      stack[static_cast<std::size_t>(jstack - 2)] = l;
      l = i + 1;
    }
  }
}

bool SortTwoRuns(std::span<const float> v, std::span<float> out, RunShape shape) {
  const std::size_t n = v.size();
  if (n == 0) return true;
  // v[0..turn) is the first run, v[turn..n) the second; read in the
  // direction in which each ascends, they are merged.
  std::size_t turn = 1;
  if (shape == RunShape::kPeak) {
    while (turn < n && v[turn - 1] <= v[turn]) ++turn;
    // Ascending: v[0], v[1], ... v[turn-1] and v[n-1], v[n-2], ... v[turn].
    std::size_t i = 0, j = n;
    for (std::size_t k = 0; k < n; ++k) {
      if (j > turn && (i == turn || v[j - 1] < v[i])) {
        out[k] = v[--j];
      } else {
        out[k] = v[i++];
      }
    }
  } else {
    while (turn < n && v[turn - 1] >= v[turn]) ++turn;
    // Ascending: v[turn-1], v[turn-2], ... v[0] and v[turn], v[turn+1], ... v[n-1].
    std::size_t i = turn, j = turn;
    for (std::size_t k = 0; k < n; ++k) {
      if (j < n && (i == 0 || v[j] < v[i - 1])) {
        out[k] = v[j++];
      } else {
        out[k] = v[--i];
      }
    }
  }
  for (std::size_t k = 0; k < n; ++k) {
    if (std::signbit(out[k]) || (k > 0 && !(out[k - 1] <= out[k]))) return false;
  }
  return true;
}

}  // namespace detrend
