// The decade writer at the engine's volume: 3000 ring-width series of 500
// years and 3000 chronologies of 500 years, one WriteRwl or WriteCrn call
// each, to a unit open on a temporary file.
//
//   ninja -C build bench_write_decade_file && ./build/bench_write_decade_file
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/units.h"
#include "files/decade.h"

namespace {

constexpr int kSeries = 3000;
constexpr int kYears = 500;

class TempFile {
 public:
  TempFile() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kestrane-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) dir_ = pattern;
  }
  ~TempFile() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  std::string path() const { return (dir_ / "out.txt").string(); }

 private:
  std::filesystem::path dir_;
};

std::vector<float> Values() {
  std::vector<float> x(kYears);
  for (int k = 0; k < kYears; ++k) x[static_cast<std::size_t>(k)] = 0.1f + static_cast<float>((k * 13) % 900) / 1000.0f;
  return x;
}

void WriteRingWidths(benchmark::State& state) {
  TempFile file;
  const std::vector<float> x = Values();
  for (auto _ : state) {
    common::Units units;
    units.Open(common::kSeriesUnit, file.path(), common::Units::Mode::kWrite);
    common::Unit& unit = *units.Get(common::kSeriesUnit);
    for (int s = 1; s <= kSeries; ++s) {
      if (!files::WriteRwl(unit, "BENCH01A", 1500 + s % 7, x, "stdraw")) std::abort();
    }
  }
}
BENCHMARK(WriteRingWidths)->Unit(benchmark::kMillisecond);

void WriteChronologies(benchmark::State& state) {
  TempFile file;
  const std::vector<float> x = Values();
  const std::vector<int> depth(kYears, 42);
  for (auto _ : state) {
    common::Units units;
    units.Open(common::kCensoredUnit, file.path(), common::Units::Mode::kWrite);
    common::Unit& unit = *units.Get(common::kCensoredUnit);
    for (int s = 1; s <= kSeries; ++s) {
      if (!files::WriteCrn(unit, "BENCH0", 1500 + s % 7, x, depth, "stdcrn")) std::abort();
    }
  }
}
BENCHMARK(WriteChronologies)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
