#include "files/decade.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>

#include "common/fortran_format.h"
#include "common/limits.h"
#include "common/text.h"
#include "files/decade_lines.h"
#include "files/header_format.h"
#include "files/reader_limits.h"
#include "files/reading_unit.h"

namespace files {

namespace {

namespace fmt = common::fmt;

constexpr int kMaxBadRecords = 25;

// x times 1000, rounded half away from zero; values beyond the integers
// (or not numbers) become a number no field can hold, so they print as
// asterisks instead of being undefined.
int Thousandths(float x) {
  float scaled = x * 1000.0f;
  if (!(std::fabs(scaled) < 2.0e9f)) return std::numeric_limits<int>::max();
  return common::Nint(scaled);
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

// One call's reading of a series ("mr" or "ir"; the members are rwlio's
// arguments of that name). Records are taken line by line until the
// series' end marker, the end of the file, a header-and-format series
// (handed to datar), more title lines than a call allows, or a refusal.
class SeriesReader {
 public:
  SeriesReader(common::Dialog& dialog, std::string& ID, int& IYR1, int& N, std::span<float> X, std::span<int> NDEP,
               int& ISER, int LUN, int LUNECH, bool chronology, std::string& LINE, int MAXYRS,
               std::vector<std::string>& TITLE)
      : dialog_(dialog),
        ID_(ID),
        IYR1_(IYR1),
        N_(N),
        X_(X),
        NDEP_(NDEP),
        ISER_(ISER),
        LUN_(LUN),
        LUNECH_(LUNECH),
        chronology_(chronology),
        LINE_(LINE),
        MAXYRS_(MAXYRS),
        TITLE_(TITLE),
        keep_depths_(!(chronology && common::SameText(ID, "******"))),
        room_(std::min<std::size_t>(X.size(), MAXYRS > 0 ? static_cast<std::size_t>(MAXYRS) : X.size())) {}

  RwlResult Read();

 private:
  common::Dialog& dialog_;
  std::string& ID_;
  int& IYR1_;
  int& N_;
  std::span<float> X_;
  std::span<int> NDEP_;
  int& ISER_;
  const int LUN_;
  const int LUNECH_;
  const bool chronology_;
  std::string& LINE_;
  const int MAXYRS_;
  std::vector<std::string>& TITLE_;
  const bool keep_depths_;  // "ir" with ID "******" leaves NDEP alone
  const std::size_t room_;  // the most values X takes

  std::optional<DecadeLineReader> lines_;
  int bad_records_ = 0;  // title lines (records that are not data) of this call
  bool first_line_ = true;
  int next_year_ = 0;  // year the next data line should carry
  std::size_t first_id_width_ = 8;  // identifier columns of the series' first line
  bool warned_ = false;  // a missing end marker has been named
  int declared_ = 0;  // values announced by a range line (0: none)
  // The first 999 of a ring-width series that the series went on after:
  // its year and line. Only a series closed by -9999 can hold it (0.999 mm).
  std::optional<int> value_999_year_;
  std::string value_999_line_;

  RwlResult EndOfFile();
  RwlResult NoEndMarker();
  RwlResult HeaderSeries();
  std::optional<RwlResult> TitleLine(std::string_view record);
  std::optional<RwlResult> TakeLine(std::string_view record, const DecadeLine& line);
  bool SameIdentifier(const DecadeLine& line) const;
  void WarnOnOtherIdentifier(const DecadeLine& line);
  bool GoesOnAfterLine();
  std::optional<RwlResult> TakeValues(std::string_view record, const DecadeLine& line, int end_slot);
  RwlResult RefuseValue999();
  RwlResult Finish();
  RwlResult Refuse(const std::string& why);
  RwlResult RefuseLine(const std::string& why, std::string_view record);
  void Echo(std::string_view text);
};

RwlResult SeriesReader::Read() {
  ISER_ = std::max(ISER_, 0) + 1;
  N_ = 0;
  if (ISER_ == 1) ClearTitles(TITLE_);
  common::Unit* unit = ReadingUnit(dialog_.units(), LUN_);
  if (unit == nullptr) return EndOfFile();
  lines_.emplace(*unit, chronology_);
  for (;;) {
    std::optional<std::string> record = lines_->NextRecord();
    if (!record) return NoEndMarker();
    if (N_ == 0 && DecadeLineReader::StartsHeaderSeries(*record)) {
      lines_->Backspace();
      return HeaderSeries();
    }
    if (lines_->Skipped(*record)) continue;
    if (chronology_ && first_line_ && declared_ == 0) {
      declared_ = RangeLineCount(*record).value_or(0);
      if (declared_ > 0) continue;
    }
    std::optional<int> expected;
    if (!first_line_) expected = next_year_;
    const std::optional<DecadeLine> line = lines_->Read(*record, expected);
    std::optional<RwlResult> done;
    if (line) {
      done = TakeLine(*record, *line);
    } else if (!first_line_) {
      // Inside a series every line is a data line: one that does not read
      // would leave the rest of the series in the wrong years.
      return RefuseLine("this line does not read as the line of " + std::to_string(next_year_) + " that should follow:",
                        *record);
    } else {
      done = TitleLine(*record);
    }
    if (done) return *done;
  }
}

RwlResult SeriesReader::EndOfFile() {
  N_ = IEOFST;
  ISER_ = IEOFST;
  return RwlResult::kEndOfFile;
}

// The end of the file met inside a series: its units are unknown.
RwlResult SeriesReader::NoEndMarker() {
  if (value_999_year_) return RefuseValue999();
  if (N_ > 0) {
    dialog_.Screen("");
    dialog_.Screen(" WARNING: series " + std::string(common::TrimRight(ID_)) +
                   " has no end marker at the end of the file; it is left out.");
  }
  return EndOfFile();
}

RwlResult SeriesReader::HeaderSeries() {
  std::string title(kRecordLength, ' ');
  datar(dialog_, title, N_, X_, IYR1_, LUN_, MAXYRS_);
  ID_ = common::Fixed(title, 8);
  if (LUNECH_ > 0) {
    Echo("");
    Echo(std::string(9, ' ') + "title of data:  " + std::string(common::TrimRight(title)));
    Echo("");
  }
  // (at the end of the file before a header N is IEOFST but the counter
  // still counts: the caller sees a failed read, not the end)
  return N_ >= 1 ? RwlResult::kDone : RwlResult::kNoSeries;
}

// A title line, or a line that is not data, before the series' first line.
std::optional<RwlResult> SeriesReader::TitleLine(std::string_view record) {
  ++bad_records_;
  if (bad_records_ > kMaxBadRecords) {
    N_ = 0;  // a series cut short here is no series (its units are not even known)
    return RwlResult::kNoSeries;
  }
  std::string shown = " " + std::string(common::TrimRight(record));
  if (bad_records_ == 1) {
    dialog_.Screen("");
    dialog_.Screen(" title of data:");
    Echo("");
    Echo(std::string(9, ' ') + "title of data:");
    LINE_ = common::Fixed(record, std::max(LINE_.size(), kRecordLength));
  }
  dialog_.Screen(shown);
  Echo(shown);
  if (bad_records_ <= 3) StoreTitle(TITLE_, static_cast<std::size_t>(bad_records_), record);
  return std::nullopt;
}

// A data line of the series: checked, then its values taken. Something
// when the series is done with.
std::optional<RwlResult> SeriesReader::TakeLine(std::string_view record, const DecadeLine& line) {
  if (first_line_) {
    ID_ = common::Fixed(line.id, 8);
    if (chronology_) ID_.replace(6, 2, "  ");
  }
  // Blanks inside a number are ignored by the format, so a line whose
  // numbers slid out of their columns would read as other numbers, its
  // year among them: such a line is refused, with the line shown, before
  // its year is looked at.
  auto misaligned = [&] {
    return RefuseLine("the numbers of this line are not right-justified in their columns:", record);
  };
  int end_slot = lines_->EndSlot(line);
  if (!lines_->Aligned(line, end_slot > 0 ? end_slot : line.last_slot)) return misaligned();
  if (first_line_) {
    IYR1_ = line.year;
    if (!YearWithinLimits(IYR1_)) return Refuse(SeriesYearMessage(ID_, IYR1_, false));
    first_id_width_ = std::min(line.id.size(), IdColumns(IYR1_, chronology_));
    next_year_ = NextLineYear(IYR1_, chronology_, true);
    first_line_ = false;
  } else {
    // Each line carries the next decade: a line missing, repeated or out
    // of order would shift the values after it into other years.
    if (line.year != next_year_) {
      return RefuseLine("this line is for " + std::to_string(line.year) + " where the line of " +
                            std::to_string(next_year_) + " should follow:",
                        record);
    }
    next_year_ += 10;
    WarnOnOtherIdentifier(line);
  }
  // A ring-width 999 with nothing but 999 or blanks after it on its line
  // ends the series unless the series' next line follows: then it is a
  // value, and so are the 999s after it.
  if (end_slot > 0 && !chronology_ && line.value[static_cast<std::size_t>(end_slot - 1)] != common::kRwlEnd &&
      GoesOnAfterLine()) {
    end_slot = 0;
    if (!lines_->Aligned(line, line.last_slot)) return misaligned();
  }
  return TakeValues(record, line, end_slot);
}

// Whether a line carries the series' identifier, compared over the columns
// both the line's layout and the first line's hold (a series crossing the
// year -1000 changes layout, and its line of -1000 holds six).
bool SeriesReader::SameIdentifier(const DecadeLine& line) const {
  auto blanked = [](std::string_view text) {  // tabs count as blanks here
    std::string out(common::TrimRight(text));
    std::replace(out.begin(), out.end(), '\t', ' ');
    return std::string(common::TrimRight(out));
  };
  const std::size_t width = std::min({first_id_width_, line.id.size(), IdColumns(line.year, chronology_)});
  return blanked(std::string_view(ID_).substr(0, width)) == blanked(std::string_view(line.id).substr(0, width));
}

// A series that runs into lines of another identifier has lost its end
// marker: named once a series.
void SeriesReader::WarnOnOtherIdentifier(const DecadeLine& line) {
  if (warned_ || SameIdentifier(line)) return;
  warned_ = true;
  dialog_.Screen("");
  dialog_.Screen(" WARNING: series " + std::string(common::TrimRight(ID_)) + " runs on into lines of " +
                 std::string(common::TrimRight(line.id)) + " (year " + std::to_string(line.year) +
                 "): an end marker is missing.");
}

// Whether the series goes on after the line just read: the next data line
// carries its identifier and the next decade. The records looked at are
// stepped back over (at the end of the file only skipped records were
// passed).
bool SeriesReader::GoesOnAfterLine() {
  int taken = 0;
  bool goes_on = false;
  while (std::optional<std::string> record = lines_->NextRecord()) {
    ++taken;
    if (DecadeLineReader::StartsHeaderSeries(*record)) break;
    if (lines_->Skipped(*record)) continue;
    const std::optional<DecadeLine> next = lines_->Read(*record, next_year_);
    goes_on = next && next->year == next_year_ && SameIdentifier(*next);
    break;
  }
  for (; taken > 0; --taken) lines_->Backspace();
  return goes_on;
}

// The values of the line's slots up to `end_slot` (0: all of them), which
// ends the series. Something when the series is done with.
std::optional<RwlResult> SeriesReader::TakeValues(std::string_view record, const DecadeLine& line, int end_slot) {
  for (int j = line.first_slot; j <= line.last_slot; ++j) {
    const std::size_t s = static_cast<std::size_t>(j - 1);
    const int v = line.value[s];
    if (j == end_slot) {
      // End of the series: a ring-width series closed by -9999 was in
      // thousandths (stored as hundredths so far), one closed by 999 stays
      // in hundredths and cannot hold a 999 it went on after.
      if (!chronology_ && v == common::kRwlEnd) {
        for (int k = 0; k < N_; ++k) X_[static_cast<std::size_t>(k)] *= 0.1f;
      } else if (value_999_year_) {
        return RefuseValue999();
      }
      return Finish();
    }
    if (!chronology_ && v == common::kRwlEndHundredths && !value_999_year_) {
      value_999_year_ = IYR1_ + N_;
      value_999_line_ = std::string(record);
    }
    if (static_cast<std::size_t>(N_) >= room_) {
      return Refuse(SeriesValuesMessage(ID_, static_cast<int>(room_)));
    }
    X_[static_cast<std::size_t>(N_)] = static_cast<float>(v) * (chronology_ ? 0.001f : 0.01f);
    if (chronology_ && keep_depths_ && static_cast<std::size_t>(N_) < NDEP_.size()) {
      NDEP_[static_cast<std::size_t>(N_)] = line.depth[s];
    }
    ++N_;
    if (N_ == declared_) return Finish();  // a chronology after its range line
  }
  return std::nullopt;
}

RwlResult SeriesReader::Finish() {
  const long long last = static_cast<long long>(IYR1_) + N_ - 1;
  if (N_ > 0 && !YearWithinLimits(last)) return Refuse(SeriesYearMessage(ID_, last, true));
  return N_ >= 1 ? RwlResult::kDone : RwlResult::kNoSeries;
}

// A series that went on after a 999 but was not closed by -9999: neither
// reading of the 999, a value or the end of a hundredths series, holds.
RwlResult SeriesReader::RefuseValue999() {
  return RefuseLine("999 ends this series in year " + std::to_string(*value_999_year_) +
                        ", but the series goes on after it:",
                    value_999_line_);
}

// A refused series: the message, no values.
RwlResult SeriesReader::Refuse(const std::string& why) {
  dialog_.Screen("");
  dialog_.Screen(" " + why);
  N_ = 0;
  return RwlResult::kRefused;
}

// A series refused for one of its lines: "Series ID: why" and the line.
RwlResult SeriesReader::RefuseLine(const std::string& why, std::string_view record) {
  const RwlResult refused = Refuse("Series " + std::string(common::TrimRight(ID_)) + ": " + why);
  dialog_.Screen(" " + std::string(common::TrimRight(record)));
  return refused;
}

void SeriesReader::Echo(std::string_view text) {
  if (LUNECH_ > 0) dialog_.units().WriteLine(LUNECH_, text);
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
    return SeriesReader(dialog, ID, IYR1, N, X, NDEP, ISER, LUN, LUNECH, MODE == "ir", LINE, MAXYRS, TITLE).Read();
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
