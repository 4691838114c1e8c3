// The line layer of the decade readers: one record of a decade file read as
// a data line (identifier, year, ten value fields, and for a chronology ten
// depths), with the checks that concern that line alone: which year layout
// it takes and whether its numbers stand right-justified in their columns.
// How lines make a series (years that follow on, end markers, the refusals)
// is decade.cpp's part.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/fortran_format.h"
#include "common/limits.h"
#include "common/units.h"

namespace files {

inline constexpr std::size_t kRecordLength = 100;  // columns of a record the decade formats use
inline constexpr int kCrnFill = common::kCrnNoYear;  // 9990: no chronology value in this slot

// Layout of a line of `year` as the writers lay it out: 0 standard, 1 the
// five-wide year, 2 the six-wide year (the columns the year takes from the
// identifier).
int WriteLayout(int year);

// Identifier columns of a line of `year` as the writers lay it out (the line
// of -1000 holds six, though it also reads in the five-wide year layout).
std::size_t IdColumns(int year, bool chronology);

// One data line as read: the identifier in the columns of its year layout,
// the year, and per slot (1..10, stored from 0) the value, the depth (0 for
// ring widths), whether the value field holds anything and whether its
// number (and depth) stands right-justified.
struct DecadeLine {
  std::string id;
  int year = 0;
  std::array<int, 10> value{};
  std::array<int, 10> depth{};
  std::array<bool, 10> present{};
  bool year_justified = true;
  std::array<bool, 10> justified{};
  // Slots the line gives its series: a ring-width series' first line holds
  // its first-line count, a chronology's starts at the first year's slot.
  int first_slot = 1;
  int last_slot = 10;
};

// The range line that "cr" writes before a chronology: identifier, first
// and last year (4 wide, or 5 wide when either is -1000 or below) and
// nothing after. Gives the number of values that follow.
std::optional<int> RangeLineCount(std::string_view record);

// Year of the line after a line of `year` (the series' first line or a later one).
int NextLineYear(int year, bool chronology, bool first);

// Hands out the records of a decade file one at a time and reads them as
// data lines, ring widths or chronologies.
class DecadeLineReader {
 public:
  DecadeLineReader(common::Unit& unit, bool chronology);

  bool chronology() const { return chronology_; }

  // The next record, its first 100 columns; nullopt at the end of the file.
  std::optional<std::string> NextRecord();
  // Steps back over the record last handed out.
  void Backspace() { unit_.Backspace(); }

  // A header-and-format series announces itself with "#" in column 80.
  static bool StartsHeaderSeries(std::string_view record);
  // A record whose standard year columns are blank (an empty line, say):
  // the readers skip it.
  bool Skipped(std::string_view record) const;

  // `record` read as a data line, nullopt when it is none (a title line).
  // Inside a series (`expected_year` given) the reading whose year is the
  // expected one is taken when there is one; a series' first line takes the
  // reading that agrees with its own year, and if that still leaves a
  // choice (an identifier with "-" in the year's column), the one the next
  // record continues. The line's slots are set accordingly.
  std::optional<DecadeLine> Read(std::string_view record, std::optional<int> expected_year);

  // The slot (first_slot..last_slot) of the line's end marker, 0 when the
  // series goes on past the line's slots. A ring-width 999 ends the series
  // only when no other value follows it on the line (writers fill the rest
  // of a hundredths series' last line with 999 or leave it blank); one
  // followed by other values is a value, 0.999 mm in a thousandths series.
  int EndSlot(const DecadeLine& line) const;

  // Whether the year and the value fields of the line's slots first_slot
  // through `through_slot` stand right-justified in their columns.
  bool Aligned(const DecadeLine& line, int through_slot) const;

 private:
  common::Unit& unit_;
  bool chronology_;
  common::fmt::Format wide5_, standard_, wide6_;  // the three year layouts, parsed once

  std::vector<DecadeLine> Readings(std::string_view record) const;
  std::size_t Choose(const std::vector<DecadeLine>& readings, std::optional<int> expected_year);
};

}  // namespace files
