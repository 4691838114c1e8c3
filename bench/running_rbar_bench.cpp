// Running RBAR at the size that makes it the costly part of a run: window 51
// over 1700 index series that all cover 210 years (160 windows of 1.44
// million pairs of 51 values, 1.2e10 multiply-adds). Target: under 2 s.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "common/storage.h"
#include "detrend/running_rbar.h"
#include "synthetic_set.h"

namespace {

constexpr int kSeries = 1700;
constexpr int kYears = 210;

struct IndexSet {
  common::SeriesMatrix idx{kYears, kSeries + 1};
  common::YearTable IYTAB;

  IndexSet() {
    bench_data::Uniform draw{1700u};
    auto uniform = [&draw] { return static_cast<float>(draw()); };
    std::vector<float> signal(kYears);
    for (float& v : signal) v = 0.3f * (uniform() - 0.5f);
    for (int s = 1; s <= kSeries; ++s) {
      IYTAB.IFY(s) = 1801;
      IYTAB.ILY(s) = 1800 + kYears;
      IYTAB.NYR(s) = kYears;
      for (int r = 1; r <= kYears; ++r)
        idx.at(r, s) = 1.0f + signal[static_cast<std::size_t>(r - 1)] + 0.4f * (uniform() - 0.5f);
    }
    IYTAB.IFY(kSeries + 1) = 1801;
    IYTAB.ILY(kSeries + 1) = 1800 + kYears;
    IYTAB.NYR(kSeries + 1) = kYears;
  }
};

void BM_RunrbrWindow51_1700x210(benchmark::State& state) {
  const IndexSet set;
  common::Block rbrv1(kYears, 3), rbrv2(kYears, 7), rbrv3(kYears, 5);
  for (int i = 1; i <= kYears; ++i) {
    rbrv1.at(i, 1) = 1.0f;
    rbrv3.at(i, 1) = static_cast<float>(kSeries);
  }
  for (auto _ : state) {
    const detrend::RunrbrResult r = detrend::runrbr(set.idx, rbrv1, set.IYTAB, kSeries, rbrv2, rbrv3, 51, 50);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_RunrbrWindow51_1700x210)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
