// Rd1col and rdcols, the readers of the single- and multiple-column layouts.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "common/fortran_format.h"
#include "common/freeform.h"
#include "common/limits.h"
#include "common/text.h"
#include "common/units.h"
#include "files/character_helpers.h"
#include "files/input_menu.h"
#include "files/reader_limits.h"
#include "files/reading_unit.h"

namespace files {
namespace {

// The items of the next record that holds any (list-directed reads pass
// over empty lines); nullopt at end of file.
std::optional<std::vector<std::string>> NextItems(common::Unit& unit) {
  while (std::optional<std::string> record = unit.NextRecord()) {
    std::vector<std::string> items = common::FreeItems(*record);
    if (!items.empty()) return items;
  }
  return std::nullopt;
}

// A real item that fits a single-precision value.
std::optional<float> RealValue(std::string_view item) {
  std::optional<double> value = common::FreeRealItem(item);
  if (!value || !(std::fabs(*value) <= static_cast<double>(FLT_MAX))) return std::nullopt;
  return static_cast<float>(*value);
}

// The data unit, or nullptr when it is not open for reading (with a line
// saying so).
common::Unit* DataUnit(common::Dialog& dialog, int LUN) {
  common::Unit* unit = ReadingUnit(dialog.units(), LUN);
  if (unit == nullptr) dialog.Screen(" The data file is not open.");
  return unit;
}

// The series line of the single-column reader's messages.
std::string SeriesLine(const std::string& id, int series) {
  return "        Series: " + common::Fixed(id, 8) + " Number: " + common::fmt::Print("(i5)", series);
}

}  // namespace

void Rd1col(common::Dialog& dialog, int LUN, common::SeriesMatrix& SERMAT, std::vector<std::string>& SERID,
            common::YearTable& IYTAB, int& NS, int& OKFLAG) {
  OKFLAG = kReadFailed;
  NS = 0;
  FillWholeSetRow(IYTAB, NS);
  common::Unit* unit = DataUnit(dialog, LUN);
  if (unit == nullptr) return;

  for (int series = 1;; ++series) {
    // The identifier: the first item of the next line that holds one.
    std::optional<std::vector<std::string>> items = NextItems(*unit);
    if (!items) break;
    const std::string id = common::Fixed(items->front(), 8);
    if (!SeriesFitsStorage(dialog, series, id, 0, 1)) {  // one series too many
      FillWholeSetRow(IYTAB, NS);
      return;
    }
    SERID[static_cast<std::size_t>(series)] = id;

    items = NextItems(*unit);
    std::optional<int> first_year;
    if (items) first_year = common::FreeIntItem(items->front());
    if (!first_year) {
      dialog.Screen(" Rd1col: Error reading series IYR value");
      dialog.Screen(SeriesLine(id, series));
      dialog.WaitReturn(" Hit return to continue ");
      FillWholeSetRow(IYTAB, NS);
      return;
    }

    // Values one per line until a line that is not a number, which is read
    // again as the next identifier. Counting stops one past the limit.
    int count = 0;
    while ((items = NextItems(*unit))) {
      std::optional<float> value = RealValue(items->front());
      if (!value) {
        unit->Backspace();
        break;
      }
      if (++count > common::MAXYRS) break;
      SERMAT.at(count, series) = *value;
    }
    if (!SeriesFitsStorage(dialog, series, id, *first_year, count)) {
      FillWholeSetRow(IYTAB, NS);
      return;
    }
    IYTAB.IFY(series) = *first_year;
    IYTAB.NYR(series) = count;
    IYTAB.ILY(series) = *first_year + count - 1;
    NS = series;
  }
  if (CloseDataSet(dialog, IYTAB, NS)) OKFLAG = kReadOk;
}

void rdcols(common::Dialog& dialog, int LUN, common::SeriesMatrix& SERMAT, std::vector<std::string>& SERID,
            common::YearTable& IYTAB, int& NS, int& OKFLAG) {
  OKFLAG = kReadFailed;
  int columns = 0;
  for (;;) {
    dialog.Screen("");
    dialog.Screen(" Enter the total number of columns in your file");
    dialog.ScreenText(" [Program assumes Col_1 contains the X values] : ");
    const common::TypedAnswer answer = dialog.ReadTyped(80);
    if (answer.blank) continue;
    std::optional<int> typed = ConvertAnswer(answer.text);
    if (!typed) continue;
    columns = *typed;
    break;
  }
  std::string sentinel;
  for (;;) {
    dialog.Screen("");
    dialog.Screen(" Enter the sentinal value or character used to ");
    dialog.ScreenText(" pad the records [can not be spaces, if ******* enter *] : ");
    const common::TypedAnswer answer = dialog.ReadTyped(8);
    sentinel = answer.text;
    if (!answer.blank) break;
  }
  NS = 0;
  if (columns < 2 || columns > common::MAXSER) {
    dialog.Screen("");
    dialog.Screen(" " + ColumnCountMessage(columns));
    FillWholeSetRow(IYTAB, 0);
    return;
  }
  common::Unit* unit = DataUnit(dialog, LUN);
  if (unit == nullptr) return;
  const int series_count = columns - 1;

  // "*" stands for a cell of asterisks (a list-directed read cannot take
  // "*******" as text).
  const bool asterisks = common::SameText(sentinel, "*");
  auto missing = [&](const std::string& cell) {
    if (asterisks) return cell.find_first_not_of('*') == std::string::npos;
    return common::SameText(common::Fixed(cell, 8), sentinel);
  };

  std::optional<std::vector<std::string>> items = NextItems(*unit);
  if (!items || static_cast<int>(items->size()) < columns) {
    dialog.Screen("");
    dialog.Screen(" rdcols: the header line holds " + std::to_string(items ? items->size() : 0) + " names; " +
                  std::to_string(columns) + " columns (the year heading and one name per series) expected.");
    FillWholeSetRow(IYTAB, 0);
    return;
  }
  for (int i = 1; i <= series_count; ++i) {
    SERID[static_cast<std::size_t>(i)] = common::Fixed((*items)[static_cast<std::size_t>(i)], 8);
  }

  // Row of the file at which each series has its first value (0: none yet),
  // and its number of rows up to its last value. A value keeps its own row,
  // so a missing cell inside a series stays -999.0 at its year.
  std::vector<int> first_row(static_cast<std::size_t>(series_count) + 1, 0);
  std::vector<int> rows_used(static_cast<std::size_t>(series_count) + 1, 0);
  auto fail = [&](const std::string& message, bool after_empty_line) {
    if (after_empty_line) dialog.Screen("");
    dialog.Screen(message);
    FillWholeSetRow(IYTAB, 0);
  };
  int row = 0;
  while ((items = NextItems(*unit))) {
    ++row;
    const std::size_t cells = items->size();
    for (int i = 1; i <= series_count; ++i) {
      const std::size_t c = static_cast<std::size_t>(i);  // column c+1 of the file holds series i
      if (c >= cells) continue;                            // a short row: the cell is missing
      const std::string cell = (*items)[c].substr(0, 8);
      if (missing(cell)) continue;
      std::optional<float> value = RealValue(cell);
      if (!value) {
        fail(" Error reading y values check sentinel if ******* enter *", true);
        return;
      }
      std::size_t s = static_cast<std::size_t>(i);
      if (first_row[s] == 0) {
        std::optional<int> year = common::FreeIntItem((*items)[0].substr(0, 8));
        if (!year) {
          fail(" Error reading time steps", false);
          return;
        }
        first_row[s] = row;
        IYTAB.IFY(i) = *year;
      }
      const int k = row - first_row[s] + 1;
      if (k > common::MAXYRS) {
        SeriesFitsStorage(dialog, i, SERID[s], IYTAB.IFY(i), k);
        FillWholeSetRow(IYTAB, 0);
        return;
      }
      SERMAT.at(k, i) = *value;
      rows_used[s] = k;
    }
  }
  for (int i = 1; i <= series_count; ++i) {
    const std::size_t s = static_cast<std::size_t>(i);
    if (!SeriesFitsStorage(dialog, i, SERID[s], IYTAB.IFY(i), rows_used[s])) {
      FillWholeSetRow(IYTAB, 0);
      return;
    }
    IYTAB.NYR(i) = rows_used[s];
    IYTAB.ILY(i) = IYTAB.IFY(i) + rows_used[s] - 1;
  }
  NS = series_count;
  if (CloseDataSet(dialog, IYTAB, NS)) OKFLAG = kReadOk;
}

}  // namespace files
