#include "files/reader_limits.h"

#include <algorithm>

#include "common/limits.h"
#include "common/text.h"

namespace files {

namespace {

using common::kFirstYearLimit;
using common::kLastYearLimit;

// "-9999 to 9999"
std::string YearRange() { return std::to_string(kFirstYearLimit) + " to " + std::to_string(kLastYearLimit); }

}  // namespace

bool YearWithinLimits(long long year) { return year >= kFirstYearLimit && year <= kLastYearLimit; }

std::string SeriesYearMessage(std::string_view id, long long year, bool end) {
  return "Series " + std::string(common::TrimRight(id)) + (end ? " ends in year " : " starts in year ") +
         std::to_string(year) + ", outside " + YearRange() + " (the year limit).";
}

std::string SeriesYearsMessage(std::string_view id) {
  return "Series " + std::string(common::TrimRight(id)) + " has years outside " + YearRange() + " (the year limit).";
}

std::string SeriesValuesMessage(std::string_view id, int room) {
  return "Series " + std::string(common::TrimRight(id)) + " has more than " + std::to_string(room) +
         " values (the limit per series).";
}

std::string ColumnCountMessage(int columns) {
  return "rdcols: " + std::to_string(columns) + " columns: a file holds the year column and 1 to " +
         std::to_string(common::kMaxSeriesInSet) + " series columns.";
}

bool SeriesFitsStorage(common::Dialog& dialog, int series, const std::string& id, int first_year, int count) {
  const std::string name = "Series " + std::string(common::TrimRight(id)) + " (number " + std::to_string(series) + ")";
  if (series > common::kMaxSeriesInSet) {
    dialog.Screen("");
    dialog.Screen(" More than " + std::to_string(common::kMaxSeriesInSet) + " series in the data file: the limit is " +
                  std::to_string(common::kMaxSeriesInSet) + " series.");
    return false;
  }
  if (count > common::MAXYRS) {
    dialog.Screen("");
    dialog.Screen(" " + name + " has more than " + std::to_string(common::MAXYRS) + " values: the limit is " +
                  std::to_string(common::MAXYRS) + " values per series.");
    return false;
  }
  if (count < 1) {
    dialog.Screen("");
    dialog.Screen(" " + name + " has no values.");
    return false;
  }
  const long long last_year = static_cast<long long>(first_year) + count - 1;
  if (!YearWithinLimits(first_year) || !YearWithinLimits(last_year)) {
    dialog.Screen("");
    dialog.Screen(" " + name + " runs from " + std::to_string(first_year) + " to " + std::to_string(last_year) +
                  ": years must lie within " + YearRange() + ".");
    return false;
  }
  return true;
}

void FillWholeSetRow(common::YearTable& IYTAB, int NS) {
  if (NS < 1) {
    IYTAB.IFY(1) = 0;
    IYTAB.ILY(1) = 0;
    IYTAB.NYR(1) = 0;
    return;
  }
  int first = kLastYearLimit;
  int last = kFirstYearLimit;
  for (int i = 1; i <= NS; ++i) {
    first = std::min(first, IYTAB.IFY(i));
    last = std::max(last, IYTAB.ILY(i));
  }
  IYTAB.IFY(NS + 1) = first;
  IYTAB.ILY(NS + 1) = last;
  IYTAB.NYR(NS + 1) = common::YearSpan(first, last);
}

bool CloseDataSet(common::Dialog& dialog, common::YearTable& IYTAB, int NS) {
  FillWholeSetRow(IYTAB, NS);
  if (NS < 1) {
    dialog.Screen("");
    dialog.Screen(" No series were found in the data file.");
    return false;
  }
  const int first = IYTAB.IFY(NS + 1);
  const int last = IYTAB.ILY(NS + 1);
  const int span = IYTAB.Span(NS + 1);
  if (span > common::MAXYRS) {
    dialog.Screen("");
    dialog.Screen(" The data set spans " + std::to_string(span) + " years (" + std::to_string(first) +
                  " to " + std::to_string(last) + "): the limit is " + std::to_string(common::MAXYRS) + " years.");
    return false;
  }
  return true;
}

}  // namespace files
