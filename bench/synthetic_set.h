// The synthetic data set the benchmarks share: 3000 ring-width series of 80
// to 400 years within 1401-2000 (the first two span all 600 years), each an
// age trend times a common signal times noise of its own, from a fixed
// generator, so every run sees the same set.
#pragma once

#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

namespace bench_data {

// The benchmarks' fixed generator: uniform numbers in [0, 1) from a linear
// congruential sequence started at `state`.
struct Uniform {
  std::uint32_t state;
  double operator()() {
    state = state * 1664525u + 1013904223u;
    return static_cast<double>(state >> 8) / 16777216.0;
  }
};

inline constexpr int kSyntheticSeries = 3000;
inline constexpr int kSyntheticFirstYear = 1401;
inline constexpr int kSyntheticYears = 600;

// Calls put(i, first_year, values) for series i = 1..3000, values in mm.
template <typename Put>
void SyntheticSet(Put&& put) {
  Uniform uniform{3000u};
  std::vector<double> signal(kSyntheticYears);
  for (std::size_t y = 0; y < signal.size(); ++y)
    signal[y] = 1.0 + 0.2 * std::sin(0.27 * static_cast<double>(y)) + 0.2 * (uniform() - 0.5);
  std::vector<double> values;
  for (int i = 1; i <= kSyntheticSeries; ++i) {
    const int length = i <= 2 ? kSyntheticYears : 80 + static_cast<int>(320.0 * uniform());
    const int first =
        i <= 2 ? kSyntheticFirstYear : kSyntheticFirstYear + static_cast<int>((kSyntheticYears - length) * uniform());
    const double a = 0.5 + uniform(), b = 0.01 + 0.02 * uniform(), k = 0.5 + 0.5 * uniform();
    values.resize(static_cast<std::size_t>(length));
    for (int r = 1; r <= length; ++r) {
      const double trend = a * std::exp(-b * r) + k;
      values[static_cast<std::size_t>(r - 1)] =
          trend * signal[static_cast<std::size_t>(first - kSyntheticFirstYear + r - 1)] * (0.8 + 0.4 * uniform());
    }
    put(i, first, std::span<const double>(values));
  }
}

}  // namespace bench_data
