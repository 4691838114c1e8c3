// The whole engine as a run uses it (default options: age-dependent
// spline, biweight mean, running RBAR window 51, age-dependent spline
// stabilisation, TARN tweaks), restarts included, on a console that takes
// the default of every question and every plot menu and a plotter that
// draws nothing. Targets: the synthetic 3000 series x 600 years under 10 s,
// ca533 (34 series) well under a second.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "common/console.h"
#include "common/text.h"
#include "common/units.h"
#include "engine/sigfre.h"
#include "files/decade.h"
#include "plot/plotter.h"
#include "synthetic_set.h"

namespace {

class DefaultsConsole : public common::Console {
 public:
  void Write(std::string_view) override {}
  std::optional<std::string> ReadLine() override { return std::string(); }
  void WriteError(std::string_view) override {}
};

// The year table's whole-set row and the fitting period (column 3).
void FinishYearTable(common::RunStorage& s) {
  int fy = s.IYTAB.IFY(1), ly = s.IYTAB.ILY(1);
  for (int i = 1; i <= s.NS; ++i) {
    fy = std::min(fy, s.IYTAB.IFY(i));
    ly = std::max(ly, s.IYTAB.ILY(i));
    s.IYTAB.NYR(i) = s.IYTAB.ILY(i);
  }
  s.IYTAB.IFY(s.NS + 1) = fy;
  s.IYTAB.ILY(s.NS + 1) = ly;
  s.IYTAB.NYR(s.NS + 1) = ly - fy + 1;
}

// The shared synthetic set, in thousandths as a file would hold it.
void Synthetic(common::RunStorage& s) {
  s.NS = bench_data::kSyntheticSeries;
  bench_data::SyntheticSet([&](int i, int first, std::span<const double> values) {
    const int length = static_cast<int>(values.size());
    s.IYTAB.IFY(i) = first;
    s.IYTAB.ILY(i) = first + length - 1;
    s.SERID[static_cast<std::size_t>(i)] = common::Fixed("S" + std::to_string(i), 8);
    for (int r = 1; r <= length; ++r) {
      s.SERWRK.at(r, i) = static_cast<float>(std::round(1000.0 * values[static_cast<std::size_t>(r - 1)]) / 1000.0);
    }
  });
  FinishYearTable(s);
}

void ReadDataFile(common::RunStorage& s, const std::string& path) {
  DefaultsConsole quiet;
  common::Units units;
  common::Dialog d(quiet, units);
  units.Open(10, path, common::Units::Mode::kRead);
  std::vector<float> x(common::MAXYRS);
  int iser = 0;
  for (s.NS = 0;;) {
    std::string id(8, ' '), line(100, ' ');
    int first = 0, n = 0;
    if (files::rwlio(d, id, first, n, x, {}, iser, 10, 0, "mr", line, "", common::MAXYRS, s.TITLE) !=
        files::RwlResult::kDone) {
      break;
    }
    ++s.NS;
    s.SERID[static_cast<std::size_t>(s.NS)] = id;
    s.IYTAB.IFY(s.NS) = first;
    s.IYTAB.ILY(s.NS) = first + n - 1;
    for (int k = 1; k <= n; ++k) s.SERWRK.at(k, s.NS) = x[static_cast<std::size_t>(k - 1)];
  }
  FinishYearTable(s);
}

// The run loop: SERMAT from SERWRK plus 0.1 x KRETRY before every call,
// until the engine has finished.
void RunEngine(common::RunStorage& s, const std::filesystem::path& dir) {
  DefaultsConsole console;
  common::Units units;
  common::Dialog dialog(console, units);
  plot::NullPlotter plotter;
  common::RunOptions options;
  options.ISTAB = 1;
  options.TARNYN = options.MADJ = options.MEDCNV = 'y';
  common::RestartState restart;
  auto state = std::make_unique<engine::EngineState>(common::ProgramVariant::kInteractive);
  s.DATFIL = common::Fixed((dir / "bench.rwl").string(), 50);
  s.IDXMAT.Fill(common::kMissing);
  units.Open(common::kReportUnit, (dir / "bench_out.txt").string(), common::Units::Mode::kWrite);
  for (;;) {
    restart.CONST = 0.1f * static_cast<float>(restart.KRETRY);
    for (int i = 1; i <= s.NS; ++i) {
      const int n = s.IYTAB.ILY(i) - s.IYTAB.IFY(i) + 1;
      const std::span<float> col = s.SERMAT.column(i);
      const std::span<const float> src = s.SERWRK.column_view(i);
      for (int k = 0; k < n; ++k) col[static_cast<std::size_t>(k)] = src[static_cast<std::size_t>(k)] + restart.CONST;
      restart.CRVMIN[static_cast<std::size_t>(i)] = common::kCurveFloor;
    }
    if (engine::sigfre(dialog, plotter, s, options, restart, *state) != engine::EngineOutcome::kRestart) break;
  }
}

std::filesystem::path BenchDir() {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "kestrane_engine_bench";
  std::filesystem::create_directories(dir);
  return dir;
}

void BM_EngineSynthetic3000x600(benchmark::State& state) {
  auto store = std::make_unique<common::RunStorage>();
  Synthetic(*store);
  const std::filesystem::path dir = BenchDir();
  for (auto _ : state) RunEngine(*store, dir);
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_EngineSynthetic3000x600)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_EngineCa533(benchmark::State& state) {
  auto store = std::make_unique<common::RunStorage>();
  ReadDataFile(*store, std::string(KESTRANE_TEST_DATA) + "/ca533.rwl");
  const std::filesystem::path dir = BenchDir();
  for (auto _ : state) RunEngine(*store, dir);
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_EngineCa533)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
