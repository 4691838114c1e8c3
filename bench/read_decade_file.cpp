// Time to read a large decade ring-width file through the input data format
// menu: 3000 series of 500 years (about 150,000 lines), written once into a
// temporary folder. Prints the seconds the open (unit 10) and the menu's
// reading took.
//
//   ninja -C build bench_read_decade_file && ./build/bench_read_decade_file
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "common/console.h"
#include "common/storage.h"
#include "common/units.h"
#include "files/input_menu.h"

namespace {

// One series in the decade layout, values in thousandths, closed by -9999.
void WriteSeries(std::ofstream& out, int series, int first, int count) {
  char id[16];
  std::snprintf(id, sizeof id, "B%06d", series);
  int k = 0;
  int year = first;
  bool ended = false;
  while (!ended) {
    char line[128];
    int used = std::snprintf(line, sizeof line, "%-8s%4d", id, year);
    const int slots = year == first ? 10 - (first % 10) : 10;
    for (int j = 0; j < slots; ++j) {
      int value = k < count ? 100 + (series * 7 + k * 13) % 900 : -9999;
      if (value == 999) value = 1000;  // 999 would end a series in hundredths
      used += std::snprintf(line + used, sizeof line - static_cast<std::size_t>(used), "%6d", value);
      if (k++ >= count) {
        ended = true;
        break;
      }
    }
    out << line << '\n';
    year += slots;
  }
}

}  // namespace

int main() {
  std::string pattern = (std::filesystem::temp_directory_path() / "kestrane-bench-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) return 1;
  const std::filesystem::path dir = pattern;
  const std::filesystem::path file = dir / "big.rwl";
  {
    std::ofstream out(file);
    for (int s = 1; s <= 3000; ++s) WriteSeries(out, s, 1500 + s % 7, 500);
  }

  common::ScriptedConsole console({"1"});
  common::Units units;
  common::Dialog dialog(console, units);
  auto store = std::make_unique<common::RunStorage>();
  store->SERMAT.SetRows(0);  // as the drivers start a read: the columns grow with the series
  int NS = 0;
  int RDFAIL = 0;

  const auto start = std::chrono::steady_clock::now();
  units.Open(10, file.string(), common::Units::Mode::kRead);
  const auto opened = std::chrono::steady_clock::now();
  try {
    files::inmenu(dialog, store->SERMAT, store->IYTAB, store->SERID, 10, NS, store->TITLE, RDFAIL);
  } catch (const common::ProgramStop&) {
    std::printf("the menu stopped the program:\n%s\n", console.transcript().c_str());
    RDFAIL = 1;
  }
  const auto stop = std::chrono::steady_clock::now();

  const double open_s = std::chrono::duration<double>(opened - start).count();
  const double read_s = std::chrono::duration<double>(stop - opened).count();
  std::printf("series %d, RDFAIL %d, whole set %d-%d; open %.3f s, menu read %.3f s, total %.3f s\n", NS, RDFAIL,
              store->IYTAB.IFY(NS + 1), store->IYTAB.ILY(NS + 1), open_s, read_s, open_s + read_s);
  units.CloseAll();
  std::filesystem::remove_all(dir);
  return RDFAIL == 0 && NS == 3000 ? 0 : 1;
}
