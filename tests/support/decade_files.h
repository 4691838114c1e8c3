// Decade ring-width files made by hand for tests, independent of the
// program's writer: identifier in columns 1-8 and year in 9-12 (from year
// -1001 down: identifier 1-7 and a 5-wide year), ten values 6 wide in
// thousandths from column 13, the first line holding the years up to the
// end of its decade, -9999 after the last value.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace test_support {

// One series of `count` values from `first`; `thousandths` gives the value
// of each year.
std::string DecadeSeries(const std::string& id, int first, int count, const std::function<int(int year)>& thousandths);
// One series whose every value is `thousandths`.
std::string DecadeSeries(const std::string& id, int first, int count, int thousandths = 500);

// `nser` series of `nyrs` values from `first`, identified by `prefix` and
// the series number in six characters ("GP0001", "M00001"). Series s holds
// 500 + (7 year + s) mod 400 thousandths in each year: all below 999, the end
// marker of the hundredths layout.
std::string DecadeSet(const std::string& prefix, int nser, int first, int nyrs);

// Two series of 1901-1930 in hundredths (end marker 999), BIGA and BIGB;
// BIGB's ring of 1905 is 1000 mm, a width the six columns of thousandths of a
// written decade file cannot hold.
std::string WideRingSet();
// What the program shows when it refuses to write BIGB of that set.
inline constexpr const char* kWideRingRefusal =
    "\n Series BIGB cannot be written in the decade format: the value 1000.0000 of year 1905 "
    "does not fit the six columns of a value (-99.999 to 999.999).\n";

// One series of a decade ring-width file as a program wrote it: the
// identifier (columns 1-8, blanks kept), the first year, the values in
// thousandths (the end marker left out) and the label in columns 75-80 of
// each line that holds ten values.
struct WrittenSeries {
  std::string id;
  int first = 0;
  std::vector<int> values;
  std::vector<std::string> labels;
};
// The series of a decade ring-width file after its first `skip` lines, each
// closed by -9999; a field of letters ends a line's values.
std::vector<WrittenSeries> ParseDecade(const std::string& text, int skip);

}  // namespace test_support
