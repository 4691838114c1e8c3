#include "files/decade_lines.h"

#include <algorithm>

#include "common/storage.h"
#include "files/decade.h"

namespace files {

namespace {

namespace fmt = common::fmt;

// One way of splitting a data line into identifier and year. The widths
// below are those of ring-width lines; chronology lines are two columns
// narrower in identifier and year.
struct Layout {
  int id_width;
  const char* format;  // identifier, year, then the values
};

// Ring-width lines: identifier, year, ten values 6 wide.
constexpr Layout kRwlWide5{7, "(a7,i5,10i6)"};
constexpr Layout kRwlWide6{6, "(a6,i6,10i6)"};
constexpr Layout kRwlStandard{8, "(a8,i4,10i6)"};
// Chronology lines: identifier, year, ten pairs of value 4 wide and depth 3 wide.
constexpr Layout kCrnWide5{5, "(a5,i5,10(i4,i3))"};
constexpr Layout kCrnWide6{4, "(a4,i6,10(i4,i3))"};
constexpr Layout kCrnStandard{6, "(a6,i4,10(i4,i3))"};

bool Blank(std::string_view record, std::size_t from, std::size_t to) {  // columns from..to, 1-based
  for (std::size_t c = from; c <= to; ++c) {
    if (c <= record.size() && record[c - 1] != ' ') return false;
  }
  return true;
}

char Column(std::string_view record, std::size_t c) { return c <= record.size() ? record[c - 1] : ' '; }

// Whether the number in columns from..to stands right-justified and in one
// piece, as every writer of the format puts it. A blank field is fine, and
// so is an end marker -9999 one column left of its place.
bool Justified(std::string_view record, std::size_t from, std::size_t to) {
  std::string field;
  for (std::size_t c = from; c <= to; ++c) field.push_back(Column(record, c));
  std::size_t first = field.find_first_not_of(' ');
  if (first == std::string::npos) return true;
  std::size_t last = field.find_last_not_of(' ');
  std::string_view digits = std::string_view(field).substr(first, last - first + 1);
  if (digits.find(' ') != std::string_view::npos) return false;
  return last == field.size() - 1 || digits == "-9999";
}

bool ParseWith(const Layout& layout, const fmt::Format& format, bool chronology, std::string_view record,
               DecadeLine& out) {
  out.id.assign(static_cast<std::size_t>(layout.id_width), ' ');
  std::vector<fmt::ReadTarget> targets;
  targets.reserve(22);
  targets.emplace_back(&out.id);
  targets.emplace_back(&out.year);
  for (std::size_t j = 0; j < 10; ++j) {
    targets.emplace_back(&out.value[j]);
    if (chronology) targets.emplace_back(&out.depth[j]);
  }
  if (!chronology) out.depth.fill(0);
  if (fmt::ReadText(format, record, targets) != fmt::ReadStatus::kOk) return false;
  const std::size_t head = chronology ? 10 : 12;
  const std::size_t step = chronology ? 7 : 6;
  out.year_justified = Justified(record, static_cast<std::size_t>(layout.id_width) + 1, head);
  for (std::size_t j = 0; j < 10; ++j) {
    std::size_t from = head + 1 + j * step;
    out.present[j] = !Blank(record, from, from + (chronology ? 3 : 5));
    out.justified[j] = chronology ? Justified(record, from, from + 3) && Justified(record, from + 4, from + 6)
                                  : Justified(record, from, from + 5);
  }
  return true;
}

// Whether a first data line agrees with its own year: a ring-width line
// holds no value beyond its first-line count; a chronology line has only
// fill values before the first year's slot.
bool FitsFirstLine(const DecadeLine& line, bool chronology) {
  if (chronology) {
    for (int j = 1; j < DecadeSlot(line.year); ++j) {
      if (line.value[static_cast<std::size_t>(j - 1)] < kCrnFill) return false;
    }
    return true;
  }
  for (int j = FirstLineCount(line.year) + 1; j <= 10; ++j) {
    if (line.present[static_cast<std::size_t>(j - 1)]) return false;
  }
  return true;
}

// Whether `v` can end a series: -9999 or 999 in a ring-width value field,
// 9990 and above in a chronology's.
bool IsEndMarker(int v, bool chronology) {
  return chronology ? v >= kCrnFill : (v == common::kRwlEnd || v == common::kRwlEndHundredths);
}

// The end marker's slot among slots from..to of a line, 0 when none (see
// DecadeLineReader::EndSlot).
int EndSlotIn(const DecadeLine& line, int from, int to, bool chronology) {
  for (int j = from; j <= to; ++j) {
    const int v = line.value[static_cast<std::size_t>(j - 1)];
    if (!IsEndMarker(v, chronology)) continue;
    if (chronology || v == common::kRwlEnd) return j;
    bool followed = false;  // by a value other than 999
    for (int k = j + 1; k <= to; ++k) {
      const std::size_t s = static_cast<std::size_t>(k - 1);
      if (line.present[s] && line.value[s] != common::kRwlEndHundredths) followed = true;
    }
    if (!followed) return j;
  }
  return 0;
}

// Whether a series' end stands among the slots its first line takes.
bool EndsOnFirstLine(const DecadeLine& line, bool chronology) {
  return EndSlotIn(line, chronology ? DecadeSlot(line.year) : 1, chronology ? 10 : FirstLineCount(line.year),
                   chronology) != 0;
}

}  // namespace

int WriteLayout(int year) {
  if (year >= -999) return 0;
  if (year == -1000 || year <= -10000) return 2;
  return 1;
}

std::size_t IdColumns(int year, bool chronology) {
  return static_cast<std::size_t>((chronology ? 6 : 8) - WriteLayout(year));
}

std::optional<int> RangeLineCount(std::string_view record) {
  std::string id(6, ' ');
  int first = 0;
  int last = 0;
  for (int width : {4, 5}) {
    const std::size_t end = 6 + 2 * static_cast<std::size_t>(width);
    if (!Blank(record, end + 1, std::max(record.size(), end + 1))) continue;
    const char* format = width == 4 ? "(a6,2i4)" : "(a6,2i5)";
    if (fmt::ReadFrom(format, record, &id, &first, &last) != fmt::ReadStatus::kOk) continue;
    if (!Justified(record, 7, 6 + static_cast<std::size_t>(width)) || !Justified(record, 7 + width, end)) continue;
    if (Blank(record, 7 + static_cast<std::size_t>(width), end) || last < first) continue;
    if ((width == 5) != (first <= -1000 || last <= -1000)) continue;
    return common::YearSpan(first, last);
  }
  return std::nullopt;
}

int NextLineYear(int year, bool chronology, bool first) {
  if (chronology) return first ? year - DecadeSlot(year) + 11 : year + 10;
  return year + (first ? FirstLineCount(year) : 10);
}

DecadeLineReader::DecadeLineReader(common::Unit& unit, bool chronology)
    : unit_(unit),
      chronology_(chronology),
      wide5_(*fmt::Format::Parse(chronology ? kCrnWide5.format : kRwlWide5.format)),
      standard_(*fmt::Format::Parse(chronology ? kCrnStandard.format : kRwlStandard.format)),
      wide6_(*fmt::Format::Parse(chronology ? kCrnWide6.format : kRwlWide6.format)) {}

std::optional<std::string> DecadeLineReader::NextRecord() {
  std::optional<std::string> next = unit_.NextRecord();
  if (!next) return std::nullopt;
  return next->substr(0, std::min(next->size(), kRecordLength));
}

bool DecadeLineReader::StartsHeaderSeries(std::string_view record) { return Column(record, 80) == '#'; }

bool DecadeLineReader::Skipped(std::string_view record) const {
  return chronology_ ? Blank(record, 7, 10) : Blank(record, 9, 12);
}

// Every reading of a data line that converts, best first: the five-wide
// negative year when a "-" stands in the column before the standard year
// field, the standard layout, and the six-wide year when the "-" stands one
// column earlier. A wide reading counts only with a year that layout holds
// (-1000 and below), so an identifier with "-" in those columns still reads.
std::vector<DecadeLine> DecadeLineReader::Readings(std::string_view record) const {
  const bool chronology = chronology_;
  std::vector<DecadeLine> found;
  const std::size_t dash5 = chronology ? 6 : 8;
  DecadeLine line;
  if (Column(record, dash5) == '-' &&
      ParseWith(chronology ? kCrnWide5 : kRwlWide5, wide5_, chronology, record, line) && line.year <= -1000) {
    found.push_back(line);
  }
  if (ParseWith(chronology ? kCrnStandard : kRwlStandard, standard_, chronology, record, line)) {
    found.push_back(line);
  }
  if (Column(record, dash5 - 1) == '-' &&
      ParseWith(chronology ? kCrnWide6 : kRwlWide6, wide6_, chronology, record, line) && line.year <= -1000) {
    found.push_back(line);
  }
  return found;
}

// Picks one reading (see Read). A first line left with a choice looks at the
// next record and steps back over it.
std::size_t DecadeLineReader::Choose(const std::vector<DecadeLine>& readings, std::optional<int> expected_year) {
  const bool chronology = chronology_;
  if (readings.size() == 1) return 0;
  if (expected_year) {
    for (std::size_t i = 0; i < readings.size(); ++i) {
      if (readings[i].year == *expected_year) return i;
    }
    return 0;
  }
  std::vector<std::size_t> fitting;
  for (std::size_t i = 0; i < readings.size(); ++i) {
    if (FitsFirstLine(readings[i], chronology)) fitting.push_back(i);
  }
  if (fitting.empty()) return 0;
  if (fitting.size() == 1) return fitting[0];
  if (EndsOnFirstLine(readings[fitting[0]], chronology)) return fitting[0];
  std::optional<std::string> next = NextRecord();
  if (!next) return fitting[0];
  Backspace();
  std::vector<DecadeLine> following = Readings(*next);
  for (std::size_t i : fitting) {
    int want = NextLineYear(readings[i].year, chronology, true);
    for (const DecadeLine& f : following) {
      if (f.year == want) return i;
    }
  }
  return fitting[0];
}

std::optional<DecadeLine> DecadeLineReader::Read(std::string_view record, std::optional<int> expected_year) {
  std::vector<DecadeLine> readings = Readings(record);
  if (readings.empty()) return std::nullopt;
  DecadeLine line = readings[Choose(readings, expected_year)];
  if (!expected_year) {
    if (chronology_) {
      line.first_slot = DecadeSlot(line.year);
    } else {
      line.last_slot = FirstLineCount(line.year);
    }
  }
  return line;
}

int DecadeLineReader::EndSlot(const DecadeLine& line) const {
  return EndSlotIn(line, line.first_slot, line.last_slot, chronology_);
}

bool DecadeLineReader::Aligned(const DecadeLine& line, int through_slot) const {
  if (!line.year_justified) return false;
  for (int j = line.first_slot; j <= through_slot; ++j) {
    if (!line.justified[static_cast<std::size_t>(j - 1)]) return false;
  }
  return true;
}

}  // namespace files
