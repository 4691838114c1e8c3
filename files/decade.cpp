#include "files/decade.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>

#include "common/fortran_format.h"
#include "common/limits.h"
#include "common/text.h"
#include "files/header_format.h"
#include "files/reader_limits.h"

namespace files {

namespace {

namespace fmt = common::fmt;

constexpr int kCrnFill = common::kCrnNoYear;  // 9990: no value in this slot
constexpr std::size_t kRecordLength = 100;
constexpr int kMaxBadRecords = 25;

// x times 1000, rounded half away from zero; values beyond the integers
// (or not numbers) become a number no field can hold, so they print as
// asterisks instead of being undefined.
int Thousandths(float x) {
  float scaled = x * 1000.0f;
  if (!(std::fabs(scaled) < 2.0e9f)) return std::numeric_limits<int>::max();
  return common::Nint(scaled);
}

// ------------------------------------------------------------------ layouts

// One way of splitting a data line into identifier and year. The widths
// below are those of ring-width lines; chronology lines are two columns
// narrower in identifier and year.
struct Layout {
  int id_width;
  const char* format;  // identifier, year, then the values
};

// The three layouts of one format, parsed once for a whole series.
struct LineFormats {
  explicit LineFormats(bool chronology);
  bool chronology;
  fmt::Format wide5, standard, wide6;
};

// Ring-width lines: identifier, year, ten values 6 wide.
constexpr Layout kRwlWide5{7, "(a7,i5,10i6)"};
constexpr Layout kRwlWide6{6, "(a6,i6,10i6)"};
constexpr Layout kRwlStandard{8, "(a8,i4,10i6)"};
// Chronology lines: identifier, year, ten pairs of value 4 wide and depth 3 wide.
constexpr Layout kCrnWide5{5, "(a5,i5,10(i4,i3))"};
constexpr Layout kCrnWide6{4, "(a4,i6,10(i4,i3))"};
constexpr Layout kCrnStandard{6, "(a6,i4,10(i4,i3))"};

// Layout a writer uses for `year` (0 standard, 1 five-wide, 2 six-wide).
int WriteLayout(int year) {
  if (year >= -999) return 0;
  if (year == -1000 || year <= -10000) return 2;
  return 1;
}

// Identifier columns of a line of `year` as the writers lay it out (the line
// of -1000 holds six, though it also reads in the five-wide year layout).
std::size_t IdColumns(int year, bool chronology) {
  return static_cast<std::size_t>((chronology ? 6 : 8) - WriteLayout(year));
}

struct ParsedLine {
  std::string id;
  int year = 0;
  std::array<int, 10> value{};
  std::array<int, 10> depth{};
  std::array<bool, 10> present{};  // value field not blank
  bool year_justified = true;
  std::array<bool, 10> justified{};  // value (and depth) fields right-justified
};

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

LineFormats::LineFormats(bool c)
    : chronology(c),
      wide5(*fmt::Format::Parse(c ? kCrnWide5.format : kRwlWide5.format)),
      standard(*fmt::Format::Parse(c ? kCrnStandard.format : kRwlStandard.format)),
      wide6(*fmt::Format::Parse(c ? kCrnWide6.format : kRwlWide6.format)) {}

bool ParseWith(const Layout& layout, const fmt::Format& format, bool chronology, std::string_view record,
               ParsedLine& out) {
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

// Every reading of a data line that converts, best first: the five-wide
// negative year when a "-" stands in the column before the standard year
// field, the standard layout, and the six-wide year when the "-" stands one
// column earlier. A wide reading counts only with a year that layout holds
// (-1000 and below), so an identifier with "-" in those columns still reads.
std::vector<ParsedLine> Readings(std::string_view record, const LineFormats& formats) {
  const bool chronology = formats.chronology;
  std::vector<ParsedLine> found;
  const std::size_t dash5 = chronology ? 6 : 8;
  ParsedLine line;
  if (Column(record, dash5) == '-' &&
      ParseWith(chronology ? kCrnWide5 : kRwlWide5, formats.wide5, chronology, record, line) && line.year <= -1000) {
    found.push_back(line);
  }
  if (ParseWith(chronology ? kCrnStandard : kRwlStandard, formats.standard, chronology, record, line)) {
    found.push_back(line);
  }
  if (Column(record, dash5 - 1) == '-' &&
      ParseWith(chronology ? kCrnWide6 : kRwlWide6, formats.wide6, chronology, record, line) && line.year <= -1000) {
    found.push_back(line);
  }
  return found;
}

// Whether a first data line agrees with its own year: a ring-width line
// holds no value beyond its first-line count; a chronology line has only
// fill values before the first year's slot.
bool FitsFirstLine(const ParsedLine& line, bool chronology) {
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

// Whether the year and the value fields a line gives its series (slots
// first..last, up to the end marker) stand right-justified in their columns.
bool Aligned(const ParsedLine& line, int first, int last, bool chronology) {
  if (!line.year_justified) return false;
  for (int j = first; j <= last; ++j) {
    const std::size_t s = static_cast<std::size_t>(j - 1);
    if (!line.justified[s]) return false;
    const int v = line.value[s];
    if (chronology ? v >= kCrnFill : (v == common::kRwlEnd || v == common::kRwlEndHundredths)) break;
  }
  return true;
}

// Whether a series' end stands among the slots its first line takes.
bool EndsOnFirstLine(const ParsedLine& line, bool chronology) {
  int from = chronology ? DecadeSlot(line.year) : 1;
  int to = chronology ? 10 : FirstLineCount(line.year);
  for (int j = from; j <= to; ++j) {
    int v = line.value[static_cast<std::size_t>(j - 1)];
    if (chronology ? v >= kCrnFill : (v == common::kRwlEnd || v == common::kRwlEndHundredths)) return true;
  }
  return false;
}

// Year of the line after a line of `year` (the series' first line or a later one).
int NextLineYear(int year, bool chronology, bool first) {
  if (chronology) return first ? year - DecadeSlot(year) + 11 : year + 10;
  return year + (first ? FirstLineCount(year) : 10);
}

// Picks one reading. Later lines take the reading whose year continues the
// series; a first line takes the one that agrees with its own year and, if
// that still leaves a choice (an identifier with "-" in the year's column),
// the one the next line continues.
std::size_t Choose(const std::vector<ParsedLine>& readings, const LineFormats& formats,
                   std::optional<int> expected_year, common::Unit& unit) {
  const bool chronology = formats.chronology;
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
  std::optional<std::string> next = unit.NextRecord();
  if (!next) return fitting[0];
  unit.Backspace();
  std::string next_record = next->substr(0, std::min(next->size(), kRecordLength));
  std::vector<ParsedLine> following = Readings(next_record, formats);
  for (std::size_t i : fitting) {
    int want = NextLineYear(readings[i].year, chronology, true);
    for (const ParsedLine& f : following) {
      if (f.year == want) return i;
    }
  }
  return fitting[0];
}

// The range line that "cr" writes before a chronology: identifier, first
// and last year (4 wide, or 5 wide when either is -1000 or below) and
// nothing after. Gives the number of values that follow.
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

void ClearTitles(std::vector<std::string>& TITLE) {
  if (TITLE.size() < 4) TITLE.resize(4);
  for (std::size_t i = 1; i <= 3; ++i) TITLE[i] = std::string(kRecordLength, ' ');
}

void StoreTitle(std::vector<std::string>& TITLE, std::size_t line, std::string_view record) {
  if (TITLE.size() < 4) TITLE.resize(4);
  std::size_t length = std::max(TITLE[line].size(), kRecordLength);
  TITLE[line] = common::Fixed(record, length);
}

// ------------------------------------------------------------------ reading

RwlResult ReadSeries(common::Dialog& dialog, std::string& ID, int& IYR1, int& N, std::span<float> X, std::span<int> NDEP,
                int& ISER, int LUN, int LUNECH, bool chronology, std::string& LINE, int MAXYRS,
                std::vector<std::string>& TITLE) {
  const bool keep_depths = !(chronology && common::SameText(ID, "******"));
  ISER = std::max(ISER, 0) + 1;
  N = 0;
  if (ISER == 1) ClearTitles(TITLE);
  const std::size_t room =
      std::min<std::size_t>(X.size(), MAXYRS > 0 ? static_cast<std::size_t>(MAXYRS) : X.size());

  common::Unit* unit = dialog.units().Get(LUN);
  auto end_of_file = [&]() {
    N = IEOFST;
    ISER = IEOFST;
    return RwlResult::kEndOfFile;
  };
  if (unit == nullptr || !unit->reading()) return end_of_file();
  auto echo = [&](std::string_view text) {
    if (LUNECH > 0) dialog.units().WriteLine(LUNECH, text);
  };
  auto refuse = [&](const std::string& why) {
    dialog.Screen("");
    dialog.Screen(" " + why);
    N = 0;
    return RwlResult::kRefused;
  };
  auto finish = [&]() {
    const long long last = static_cast<long long>(IYR1) + N - 1;
    if (N > 0 && !YearWithinLimits(last)) return refuse(SeriesYearMessage(ID, last, true));
    return N >= 1 ? RwlResult::kDone : RwlResult::kNoSeries;
  };

  const LineFormats formats(chronology);
  int bad_records = 0;
  bool first_line = true;
  int next_year = 0;  // year the next data line should carry
  std::size_t first_id_width = 8;  // identifier columns of the series' first line
  bool warned = false;
  int declared = 0;  // values announced by a range line (0: none)
  for (;;) {
    std::optional<std::string> next = unit->NextRecord();
    if (!next) {
      if (N > 0) {
        dialog.Screen("");
        dialog.Screen(" WARNING: series " + std::string(common::TrimRight(ID)) +
                      " has no end marker at the end of the file; it is left out.");
      }
      return end_of_file();
    }
    std::string record = next->substr(0, std::min(next->size(), kRecordLength));

    // A header-and-format series announces itself with "#" in column 80.
    if (N == 0 && Column(record, 80) == '#') {
      unit->Backspace();
      std::string title(kRecordLength, ' ');
      datar(dialog, title, N, X, IYR1, LUN, MAXYRS);
      ID = common::Fixed(title, 8);
      if (LUNECH > 0) {
        echo("");
        echo(std::string(9, ' ') + "title of data:  " + std::string(common::TrimRight(title)));
        echo("");
      }
      // (at the end of the file before a header N is IEOFST but the counter
      // still counts: the caller sees a failed read, not the end)
      return N >= 1 ? RwlResult::kDone : RwlResult::kNoSeries;
    }

    if (chronology ? Blank(record, 7, 10) : Blank(record, 9, 12)) continue;

    if (chronology && first_line && declared == 0) {
      declared = RangeLineCount(record).value_or(0);
      if (declared > 0) continue;
    }

    std::vector<ParsedLine> readings = Readings(record, formats);
    if (readings.empty() && !first_line) {
      // Inside a series every line is a data line: one that does not read
      // would leave the rest of the series in the wrong years.
      RwlResult refused = refuse("Series " + std::string(common::TrimRight(ID)) +
                                 ": this line does not read as the line of " + std::to_string(next_year) +
                                 " that should follow:");
      dialog.Screen(" " + std::string(common::TrimRight(record)));
      return refused;
    }
    if (readings.empty()) {
      // A title line, or a line that is not data.
      ++bad_records;
      if (bad_records > kMaxBadRecords) {
        N = 0;  // a series cut short here is no series (its units are not even known)
        return RwlResult::kNoSeries;
      }
      std::string shown = " " + std::string(common::TrimRight(record));
      if (bad_records == 1) {
        dialog.Screen("");
        dialog.Screen(" title of data:");
        echo("");
        echo(std::string(9, ' ') + "title of data:");
        LINE = common::Fixed(record, std::max(LINE.size(), kRecordLength));
      }
      dialog.Screen(shown);
      echo(shown);
      if (bad_records <= 3) StoreTitle(TITLE, static_cast<std::size_t>(bad_records), record);
      continue;
    }

    std::optional<int> expected;
    if (!first_line) expected = next_year;
    const ParsedLine& line = readings[Choose(readings, formats, expected, *unit)];
    // Slots taken from this line: a ring-width series' first line holds its
    // first-line count, a chronology's starts at the first year's slot.
    int first_slot = 1;
    int last_slot = 10;
    if (first_line) {
      ID = common::Fixed(line.id, 8);
      if (chronology) {
        ID.replace(6, 2, "  ");
        first_slot = DecadeSlot(line.year);
      } else {
        last_slot = FirstLineCount(line.year);
      }
    }

    // Blanks inside a number are ignored by the format, so a line whose
    // numbers slid out of their columns would read as other numbers, its
    // year among them: such a line is refused, with the line shown, before
    // its year is looked at.
    if (!Aligned(line, first_slot, last_slot, chronology)) {
      RwlResult refused = refuse("Series " + std::string(common::TrimRight(ID)) +
                                 ": the numbers of this line are not right-justified in their columns:");
      dialog.Screen(" " + std::string(common::TrimRight(record)));
      return refused;
    }

    if (first_line) {
      IYR1 = line.year;
      if (!YearWithinLimits(IYR1)) return refuse(SeriesYearMessage(ID, IYR1, false));
      first_id_width = std::min(line.id.size(), IdColumns(IYR1, chronology));
      next_year = NextLineYear(IYR1, chronology, true);
      first_line = false;
    } else {
      // Each line carries the next decade: a line missing, repeated or out
      // of order would shift the values after it into other years.
      if (line.year != next_year) {
        RwlResult refused = refuse("Series " + std::string(common::TrimRight(ID)) + ": this line is for " +
                                   std::to_string(line.year) + " where the line of " + std::to_string(next_year) +
                                   " should follow:");
        dialog.Screen(" " + std::string(common::TrimRight(record)));
        return refused;
      }
      next_year += 10;
      // A series that runs into lines of another identifier has lost its
      // end marker. The identifier is compared over the columns both this
      // line's layout and the first line's hold (a series crossing the
      // year -1000 changes layout, and its line of -1000 holds six).
      auto blanked = [](std::string_view text) {  // tabs count as blanks here
        std::string out(common::TrimRight(text));
        std::replace(out.begin(), out.end(), '\t', ' ');
        return std::string(common::TrimRight(out));
      };
      const std::size_t width = std::min({first_id_width, line.id.size(), IdColumns(line.year, chronology)});
      if (!warned &&
          blanked(std::string_view(ID).substr(0, width)) != blanked(std::string_view(line.id).substr(0, width))) {
        warned = true;
        dialog.Screen("");
        dialog.Screen(" WARNING: series " + std::string(common::TrimRight(ID)) + " runs on into lines of " +
                      std::string(common::TrimRight(line.id)) + " (year " + std::to_string(line.year) +
                      "): an end marker is missing.");
      }
    }

    for (int j = first_slot; j <= last_slot; ++j) {
      const std::size_t s = static_cast<std::size_t>(j - 1);
      const int v = line.value[s];
      if (chronology ? v >= kCrnFill : (v == common::kRwlEnd || v == common::kRwlEndHundredths)) {
        // End of the series: a ring-width series closed by -9999 was in
        // thousandths (stored as hundredths so far), one closed by 999 stays
        // in hundredths.
        if (!chronology && v == common::kRwlEnd) {
          for (int k = 0; k < N; ++k) X[static_cast<std::size_t>(k)] *= 0.1f;
        }
        return finish();
      }
      if (static_cast<std::size_t>(N) >= room) {
        return refuse(SeriesValuesMessage(ID, static_cast<int>(room)));
      }
      X[static_cast<std::size_t>(N)] = static_cast<float>(v) * (chronology ? 0.001f : 0.01f);
      if (chronology && keep_depths && static_cast<std::size_t>(N) < NDEP.size()) {
        NDEP[static_cast<std::size_t>(N)] = line.depth[s];
      }
      ++N;
      if (N == declared) return finish();  // a chronology after its range line
    }
  }
}

// ------------------------------------------------------------------ writing

// Appends the first w characters of `text` to `record`, blank-padded to w (Aw
// of a text already cut to its field).
void AppendText(std::string& record, std::string_view text, std::size_t w) {
  const std::size_t n = std::min(text.size(), w);
  record.append(text.data(), n);
  record.append(w - n, ' ');
}

// Identifier and year in the layout of a line of `year`: ring-width lines
// (a8,i4), (a7,i5) or (a6,i6); chronology lines two columns narrower in the
// identifier. `settle_dash`: a "-" in the identifier's last column is written
// blank (see SettleDash).
void AppendHead(std::string& record, std::string_view id, int year, bool chronology, bool settle_dash) {
  const int widen = WriteLayout(year);  // columns the year takes from the identifier
  AppendText(record, id, static_cast<std::size_t>((chronology ? 6 : 8) - widen));
  if (settle_dash && widen == 0 && record.back() == '-') record.back() = ' ';
  fmt::AppendInt(record, year, 4 + widen);
}

// Whether a series' identifier loses a "-" in its last column: "ABCDEFG-1533"
// is also ABCDEFG in -1533, and the reader settles that by the line's count
// and the next line's year, which a series ending on its first line does
// not give (it would read back in -1533). Only such series, starting in a
// four-digit year, are written with a blank there.
bool SettleDash(int IYR1, std::size_t n, bool chronology) {
  if (IYR1 < 1000 || IYR1 > 9999) return false;
  const std::size_t first_line = static_cast<std::size_t>(chronology ? 11 - DecadeSlot(IYR1) : FirstLineCount(IYR1));
  return n < first_line;
}

// Label at column 75 (after ten values) or 83 (after ten pairs): 2x,a6.
void AppendLabel(std::string& record, std::string_view label) {
  record.append(2, ' ');
  AppendText(record, label, 6);
}

// The number a ring-width value is written as: its thousandths, except that
// the two end markers are moved one thousandth away from zero (999 would end
// a hundredths series, -9999 any series), so the value reads back as itself
// within that thousandth.
int RwlField(float x) {
  const int v = Thousandths(x);
  if (v == common::kRwlEndHundredths) return 1000;
  if (v == common::kRwlEnd) return common::kRwlEnd - 1;
  return v;
}

// The widest numbers a value field of six columns holds.
constexpr int kRwlFieldMax = 999999;
constexpr int kRwlFieldMin = -99999;
// The numbers a chronology's value field of four columns holds that read
// back as values: 9990 and above end the chronology.
constexpr int kCrnFieldMax = kCrnFill - 1;
constexpr int kCrnFieldMin = -999;

std::string ValueText(float x) {
  char text[48];
  std::snprintf(text, sizeof text, std::fabs(x) < 1.0e7f ? "%.4f" : "%.6g", static_cast<double>(x));
  return text;
}

// "mw": the lines of one ring-width series, each handed to `put`.
template <typename Put>
void WriteRwlLines(std::string_view ID, int IYR1, std::span<const float> X, std::string_view LABEL, Put&& put) {
  const std::size_t n = X.size();
  if (n < 1) return;
  std::string record;
  record.reserve(kRecordLength);
  int count = FirstLineCount(IYR1);
  int line_year = IYR1;
  std::size_t k = 0;
  const bool settle_dash = SettleDash(IYR1, n, false);
  for (;;) {
    record.clear();
    AppendHead(record, ID, line_year, false, settle_dash);
    bool end = false;
    int items = 0;
    while (items < count && !end) {
      ++items;
      if (k == n) {
        fmt::AppendInt(record, common::kRwlEnd, 6);
        end = true;
        continue;
      }
      fmt::AppendInt(record, RwlField(X[k++]), 6);
    }
    if (items == 10) AppendLabel(record, LABEL);
    put(std::string_view(record));
    if (end) return;
    line_year += count;
    count = 10;
  }
}

// "iw" (with_range false) or "cr" (true): the lines of one chronology.
template <typename Put>
void WriteCrnLines(std::string_view ID, int IYR1, std::span<const float> X, std::span<const int> NDEP,
                   std::string_view LABEL, bool with_range, Put&& put) {
  const std::size_t n = X.size();
  if (n < 1) return;
  std::string record;
  record.reserve(kRecordLength);
  const bool depth_one = NDEP.empty() || NDEP[0] < 1;
  if (with_range) {
    const int last = IYR1 + static_cast<int>(n) - 1;
    const int width = (IYR1 <= -1000 || last <= -1000) ? 5 : 4;
    AppendText(record, ID, 6);
    fmt::AppendInt(record, IYR1, width);
    fmt::AppendInt(record, last, width);
    put(std::string_view(record));
  }
  int slot = DecadeSlot(IYR1);
  int line_year = IYR1;
  std::size_t k = 0;
  const bool settle_dash = SettleDash(IYR1, n, true);
  for (;;) {
    record.clear();
    AppendHead(record, ID, line_year, true, settle_dash);
    bool end = false;
    for (int j = 1; j <= 10; ++j) {
      if (j < slot || k == n) {  // before the first year, or after the last value
        if (j >= slot) end = true;
        fmt::AppendInt(record, kCrnFill, 4);
        fmt::AppendInt(record, 0, 3);
        continue;
      }
      const int d = depth_one ? 1 : (k < NDEP.size() ? NDEP[k] : 1);
      fmt::AppendInt(record, Thousandths(X[k]), 4);
      fmt::AppendInt(record, std::min(d, 999), 3);  // the depth field has three digits
      ++k;
    }
    AppendLabel(record, LABEL);
    put(std::string_view(record));
    if (end) return;
    if (with_range && k == n) return;
    line_year = line_year - slot + 11;
    slot = 1;
  }
}

void PutLine(common::Unit& unit, std::string_view record) { unit.WriteLine(record); }
void PutLine(std::ostream& out, std::string_view record) {
  out.write(record.data(), static_cast<std::streamsize>(record.size()));
  out.put('\n');
}

}  // namespace

int FirstLineCount(int year) {
  if (year >= 0) return 10 - year % 10;
  int r = year % 10;  // truncated toward zero, as MOD
  return r == 0 ? 10 : -r;
}

int DecadeSlot(int year) {
  if (year >= 0) return year % 10 + 1;
  int r = year % 10;
  return r == 0 ? 1 : 11 + r;
}

namespace {

// Why one series or chronology of the decade formats cannot be written so
// that it reads back as written: `what` names it ("Series X"), `field` turns
// a value into the number its field would hold, which must lie in min..max,
// and `range` and `closing` say what the field holds and what would follow
// a last value in 9999.
std::optional<std::string> Unwritable(const std::string& what, int IYR1, std::span<const float> X, int (*field)(float),
                                      int min, int max, std::string_view range, std::string_view closing) {
  if (X.empty()) return std::nullopt;
  auto refused = [&](const std::string& why) { return what + " cannot be written in the decade format: " + why; };
  const long long last = static_cast<long long>(IYR1) + static_cast<long long>(X.size()) - 1;
  if (!YearWithinLimits(IYR1) || !YearWithinLimits(last)) {
    return refused("its years " + std::to_string(IYR1) + " to " + std::to_string(last) + " are outside -9999 to 9999.");
  }
  if (last == 9999) {
    return refused("it ends in 9999, and its " + std::string(closing) + " would need a line for the year 10000.");
  }
  for (std::size_t k = 0; k < X.size(); ++k) {
    const float x = X[k];
    const long long year = IYR1 + static_cast<long long>(k);
    if (std::isnan(x)) return refused("the value of year " + std::to_string(year) + " is not a number.");
    const int v = field(x);
    if (v > max || v < min) {
      return refused("the value " + ValueText(x) + " of year " + std::to_string(year) + " does not fit " +
                     std::string(range) + ".");
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> RwlUnwritable(std::string_view ID, int IYR1, std::span<const float> X) {
  return Unwritable("Series " + std::string(common::TrimRight(ID)), IYR1, X, RwlField, kRwlFieldMin, kRwlFieldMax,
                    "the six columns of a value (-99.999 to 999.999)", "end marker");
}

std::optional<std::string> CrnUnwritable(std::string_view name, int IYR1, std::span<const float> X) {
  return Unwritable("Chronology " + std::string(common::TrimRight(name)), IYR1, X, Thousandths, kCrnFieldMin,
                    kCrnFieldMax, "the four columns of a value (-0.999 to 9.989)", "closing fill values");
}

bool WriteRwl(common::Unit& unit, std::string_view ID, int IYR1, std::span<const float> X, std::string_view LABEL) {
  if (RwlUnwritable(ID, IYR1, X)) return false;
  WriteRwlLines(ID, IYR1, X, LABEL, [&](std::string_view r) { PutLine(unit, r); });
  return true;
}

bool WriteRwl(std::ostream& out, std::string_view ID, int IYR1, std::span<const float> X, std::string_view LABEL) {
  if (RwlUnwritable(ID, IYR1, X)) return false;
  WriteRwlLines(ID, IYR1, X, LABEL, [&](std::string_view r) { PutLine(out, r); });
  return true;
}

bool WriteCrn(common::Unit& unit, std::string_view ID, int IYR1, std::span<const float> X, std::span<const int> NDEP,
              std::string_view LABEL) {
  if (CrnUnwritable(ID, IYR1, X)) return false;
  WriteCrnLines(ID, IYR1, X, NDEP, LABEL, false, [&](std::string_view r) { PutLine(unit, r); });
  return true;
}

bool WriteCrn(std::ostream& out, std::string_view ID, int IYR1, std::span<const float> X, std::span<const int> NDEP,
              std::string_view LABEL) {
  if (CrnUnwritable(ID, IYR1, X)) return false;
  WriteCrnLines(ID, IYR1, X, NDEP, LABEL, false, [&](std::string_view r) { PutLine(out, r); });
  return true;
}

RwlResult rwlio(common::Dialog& dialog, std::string& ID, int& IYR1, int& N, std::span<float> X, std::span<int> NDEP,
           int& ISER, int LUN, int LUNECH, std::string_view MODE, std::string& LINE, std::string_view LABEL,
           int MAXYRS, std::vector<std::string>& TITLE) {
  LINE.assign(std::max(LINE.size(), kRecordLength), ' ');
  if (MODE == "mr" || MODE == "ir") {
    return ReadSeries(dialog, ID, IYR1, N, X, NDEP, ISER, LUN, LUNECH, MODE == "ir", LINE, MAXYRS, TITLE);
  }
  if (MODE != "mw" && MODE != "iw" && MODE != "cr") return RwlResult::kNoSeries;  // nothing read or written
  common::Unit* unit = dialog.units().Get(LUN);
  if (N < 1 || unit == nullptr) return RwlResult::kDone;
  const std::span<const float> values = X.first(std::min(static_cast<std::size_t>(N), X.size()));
  auto put = [&](std::string_view r) { PutLine(*unit, r); };
  const bool rings = MODE == "mw";
  if (const std::optional<std::string> why =
          rings ? RwlUnwritable(ID, IYR1, values) : CrnUnwritable(ID, IYR1, values)) {
    dialog.Screen("");
    dialog.Screen(" " + *why);
    return RwlResult::kRefused;
  }
  if (rings) {
    WriteRwlLines(ID, IYR1, values, LABEL, put);
  } else {
    WriteCrnLines(ID, IYR1, values, NDEP, LABEL, MODE == "cr", put);
  }
  return RwlResult::kDone;
}

}  // namespace files
