// Tab-separated spectrum table writer (spcout).
#include "files/spectrum_table.h"

#include <cstddef>
#include <string>

#include "common/fortran_format.h"

namespace files {

namespace {
constexpr const char* kGroupLabels[] = {" power#", "  dens#", "  null#", "95% cl#"};
}  // namespace

void spcout(std::span<const float> table, int nrows, int ncols, int first_row, int ld, std::ostream& out) {
  std::string header = " ncnt\t     freq";
  for (int c = 2; c <= ncols; ++c) {
    const int g = (c - 2) / 4 + 1;
    header += '\t';
    header += kGroupLabels[(c - 2) % 4];
    header += common::fmt::Print("(i2)", g);
  }
  out << header << '\n';
  for (int r = 1; r <= nrows; ++r) {
    std::string line = common::fmt::Print("(i5)", first_row + r - 1);
    line += '\t';
    for (int c = 1; c <= ncols; ++c) {
      const std::size_t at = static_cast<std::size_t>(c - 1) * static_cast<std::size_t>(ld) +
                             static_cast<std::size_t>(r - 1);
      line += common::fmt::Print("(f9.5)", table[at]);
      line += '\t';
    }
    out << line << '\n';
  }
}

}  // namespace files
