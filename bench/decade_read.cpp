// Times writing and reading a large decade ring-width file: 3000 series of
// 500 years (about 150,000 lines), written with rwlio "mw" and read back with
// "mr" as the input-format menu reads it. Usage: bench_decade_read [folder]
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "common/console.h"
#include "files/decade.h"

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  fs::path folder = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path();
  std::string path = (folder / "kestrane_bench.rwl").string();
  common::ScriptedConsole console({});
  common::Units units;
  common::Dialog dialog(console, units);
  std::vector<std::string> title(4, std::string(100, ' '));
  using Clock = std::chrono::steady_clock;
  auto ms = [](Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
  };

  std::vector<float> x(500);
  for (std::size_t k = 0; k < x.size(); ++k) x[k] = 0.5f + static_cast<float>(k % 17) * 0.1f;
  auto t0 = Clock::now();
  if (!units.Open(11, path, common::Units::Mode::kWrite)) return 1;
  for (int s = 0; s < 3000; ++s) {
    std::string id = "S" + std::to_string(s), line(100, ' ');
    int first = 1500 + s % 7, n = 500, counter = 0;
    files::rwlio(dialog, id, first, n, x, {}, counter, 11, 0, "mw", line, "bench", 6001, title);
  }
  units.Close(11);

  auto t1 = Clock::now();
  if (!units.Open(10, path, common::Units::Mode::kRead)) return 1;
  std::vector<float> values(6001);
  std::vector<int> depths(6001);
  int counter = 0, series = 0;
  while (counter != files::IEOFST) {
    std::string id(8, ' '), line(100, ' ');
    int n = 0, first = 0;
    files::rwlio(dialog, id, first, n, values, depths, counter, 10, 0, "mr", line, "", 6001, title);
    if (n > 0) {
      ++series;
    } else if (counter != files::IEOFST) {
      break;
    }
  }
  auto t2 = Clock::now();
  units.CloseAll();
  fs::remove(path);
  std::printf("3000 series x 500 years: write %.0f ms, read (open + every series) %.0f ms, %d series read\n",
              ms(t0, t1), ms(t1, t2), series);
  return series == 3000 ? 0 : 1;
}
