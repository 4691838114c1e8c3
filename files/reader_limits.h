// The storage limits every reader of a data set checks (at most 3000 series,
// 6001 values a series and 6001 years a data set, years -9999..9999) and the
// messages that name them.
#pragma once

#include <string>
#include <string_view>

#include "common/console.h"
#include "common/storage.h"

namespace files {

// Whether a calendar year lies within -9999..9999.
bool YearWithinLimits(long long year);

// "Series <id> starts in year <year>, outside -9999 to 9999 (the year limit)."
// (`end` false), or "... ends in year ..." (`end` true).
std::string SeriesYearMessage(std::string_view id, long long year, bool end);
// "Series <id> has years outside -9999 to 9999 (the year limit)."
std::string SeriesYearsMessage(std::string_view id);
// "Series <id> has more than <room> values (the limit per series)."
std::string SeriesValuesMessage(std::string_view id, int room);
// "rdcols: <columns> columns: a file holds the year column and 1 to 3000 series columns."
std::string ColumnCountMessage(int columns);

// Checks one series read into slot `series` against the storage limits:
// at most 3000 series, 1..6001 values, years within -9999..9999. On a
// failure shows a message naming the limit and the series; returns false.
bool SeriesFitsStorage(common::Dialog& dialog, int series, const std::string& id, int first_year, int count);

// Fills the whole-data-set row NS+1 of IYTAB from rows 1..NS (zeros in row
// 1 when NS is 0), without any check.
void FillWholeSetRow(common::YearTable& IYTAB, int NS);

// Fills the whole-data-set row NS+1 of IYTAB (earliest first year, latest
// last year, span). An empty data set or a span of more than 6001 years is
// refused with a message: returns false. With NS 0 the row holds zeros.
bool CloseDataSet(common::Dialog& dialog, common::YearTable& IYTAB, int NS);

}  // namespace files
