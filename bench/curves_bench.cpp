// Growth-curve fits over a data set of 3000 series of 500 values each:
// the age-dependent spline, a 67 % spline, the super smoother and the
// negative exponential, each through crvfit as the engine calls it.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "detrend/crvfit.h"
#include "synthetic_set.h"

namespace {

constexpr int kSeries = 3000;
constexpr int kLength = 500;

// Ring-width-like series: a negative exponential trend times noise, from a
// fixed linear congruential generator.
std::vector<std::vector<float>> DataSet() {
  std::vector<std::vector<float>> d(kSeries, std::vector<float>(kLength));
  bench_data::Uniform uniform{12345u};
  for (int s = 0; s < kSeries; ++s) {
    const double a = 1.0 + 2.0 * uniform(), b = 0.005 + 0.03 * uniform(), k = 0.3 + 0.5 * uniform();
    for (int t = 1; t <= kLength; ++t) {
      const double noise = 0.8 + 0.4 * uniform();
      d[static_cast<std::size_t>(s)][static_cast<std::size_t>(t - 1)] =
          static_cast<float>((a * std::exp(-b * t) + k) * noise);
    }
  }
  return d;
}

void FitAll(benchmark::State& state, int code, int& kept) {
  const std::vector<std::vector<float>> data = DataSet();  // built before the timing
  detrend::CrvfitWorkspace work;
  std::vector<float> curv(kLength);
  for (auto _ : state) {
    kept = 0;
    for (const auto& y : data) {
      int nopt = code;
      detrend::crvfit(y, curv, kLength, nopt, 7.0f, 50, 1, work);
      kept += nopt == code ? 1 : 0;
      benchmark::DoNotOptimize(curv.data());
    }
  }
  state.counters["series"] = kSeries;
  state.counters["kept_code"] = kept;
}

void BM_AgeDependentSpline(benchmark::State& state) {
  int kept = 0;
  FitAll(state, 8, kept);
}
void BM_Spline67Percent(benchmark::State& state) {
  int kept = 0;
  FitAll(state, -67, kept);
}
void BM_SuperSmoother(benchmark::State& state) {
  int kept = 0;
  FitAll(state, -5, kept);
}
void BM_NegativeExponential(benchmark::State& state) {
  int kept = 0;
  FitAll(state, 1, kept);
}

BENCHMARK(BM_AgeDependentSpline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Spline67Percent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SuperSmoother)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NegativeExponential)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
