// Chronology statistics at full data-set size: the biweight mean chronology
// (ROBSUM) over 3000 series of 600 years, and the running RBAR (runrbr,
// window 51) over 100 series of 600 years.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "common/storage.h"
#include "detrend/mean_chronology.h"
#include "detrend/running_rbar.h"
#include "synthetic_set.h"

namespace {

constexpr int kYears = 600;

// Index series around 1 with a common signal, a series-specific part and
// staggered start years (so that depth varies), from a fixed generator.
struct IndexSet {
  common::SeriesMatrix idx;
  common::YearTable IYTAB;
  int NS;

  explicit IndexSet(int ns) : idx(kYears, ns + 1), NS(ns) {
    bench_data::Uniform draw{2024u};
    auto uniform = [&draw] { return static_cast<float>(draw()); };
    std::vector<float> common_signal(kYears);
    for (float& v : common_signal) v = 0.4f * (uniform() - 0.5f);
    for (int s = 1; s <= ns; ++s) {
      const int first = 1 + (s * 7) % 120;  // rows 1..120
      const int last = kYears - (s * 13) % 90;
      IYTAB.IFY(s) = 1000 + first - 1;
      IYTAB.ILY(s) = 1000 + last - 1;
      IYTAB.NYR(s) = last - first + 1;
      for (int r = first; r <= last; ++r)
        idx.at(r, s) = 1.0f + common_signal[static_cast<std::size_t>(r - 1)] + 0.3f * (uniform() - 0.5f);
    }
    IYTAB.IFY(ns + 1) = 1000;
    IYTAB.ILY(ns + 1) = 1000 + kYears - 1;
    IYTAB.NYR(ns + 1) = kYears;
  }
};

void BM_RobsumBiweight3000x600(benchmark::State& state) {
  const IndexSet set(3000);
  common::Block bwt(kYears, 4);
  std::vector<float> crn(kYears), spr(kYears), vratio(kYears);
  std::vector<int> depth(kYears);
  detrend::RobsumWorkspace work(common::ProgramVariant::kInteractive);
  for (auto _ : state) {
    const auto status = detrend::ROBSUM(set.idx, bwt, kYears, set.NS, crn, spr, vratio, depth, 2, work);
    benchmark::DoNotOptimize(status);
    benchmark::DoNotOptimize(crn.data());
  }
}
BENCHMARK(BM_RobsumBiweight3000x600)->Unit(benchmark::kMillisecond);

void BM_RunrbrWindow51_100x600(benchmark::State& state) {
  const IndexSet set(100);
  common::Block rbrv1(kYears, 3), rbrv2(kYears, 7), rbrv3(kYears, 5);
  for (int i = 1; i <= kYears; ++i) {
    rbrv1.at(i, 1) = 1.0f;
    rbrv3.at(i, 1) = 100.0f;
  }
  for (auto _ : state) {
    const detrend::RunrbrResult r = detrend::runrbr(set.idx, rbrv1, set.IYTAB, set.NS, rbrv2, rbrv3, 51, 50);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_RunrbrWindow51_100x600)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
