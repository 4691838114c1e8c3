// Header-and-format series: a title line, a header line giving the number
// of values, the first year and the edit descriptor of the values, then the
// values in that layout. The decade reader hands such a series over here.
#pragma once

#include <span>
#include <string>

#include "common/console.h"

namespace files {

// datar: reads one header-and-format series from the next records of unit
// LUN. LINE receives the last title line met (its first 80 characters); N
// the number of values, -999 at end of file before a header, 0 when the
// values could not be read (conversion error, early end of file, a count
// beyond MAXYRS or the room in X, a year outside -9999..9999; each with a
// message on the console). X(1..N) the values, IYR1 the first year.
void datar(common::Dialog& dialog, std::string& LINE, int& N, std::span<float> X, int& IYR1, int LUN, int MAXYRS);

}  // namespace files
