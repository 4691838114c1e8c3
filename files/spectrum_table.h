// spcout: a tab-separated table of spectra (a library writer that no road of
// the programs calls).
#pragma once

#include <ostream>
#include <span>

namespace files {

// Writes the header " ncnt", "     freq" and, for the further columns in
// groups of four, " power#", "  dens#", "  null#", "95% cl#" each followed by
// its group number in a field of two (" 1", " 2", ..., "10"), separated by tabs; then one
// line per row: the row number (i5, starting at first_row), a tab, and every
// column as f9.5 followed by a tab. table is column-major with leading
// dimension ld: row r of column c is table[(c - 1) * ld + r - 1].
void spcout(std::span<const float> table, int nrows, int ncols, int first_row, int ld, std::ostream& out);

}  // namespace files
