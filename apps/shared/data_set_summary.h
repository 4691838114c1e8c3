// Checks and summaries of a data set as read, shared by both programs: the
// missing-value test, the series summary and the series-length summary.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/console.h"
#include "common/storage.h"

namespace drivers {

// The whole-set row of IYTAB: first year, last year and span (the number of
// chronology rows), recomputed after every censoring or truncation.
struct WholeSetYears {
  int first = 0;
  int last = 0;
  int span = 0;
};
WholeSetYears WholeSet(const common::YearTable& IYTAB, int NS);

// Number of values below 0.0 in rows 1..ILY-IFY+1 of series i (0.0 itself
// is not missing).
int CountMissing(const common::SeriesMatrix& SERMAT, const common::YearTable& IYTAB, int i);

// The missing-value test (screen only): one line per series that holds
// negative values, then either the stop (advice, the dialogue's abnormal
// end: the program's termination lines, wait for Return, status 1) or the
// line that lets the run proceed.
void MissingValueTest(common::Dialog& dialog, const common::SeriesMatrix& SERMAT, const common::YearTable& IYTAB,
                      const std::vector<std::string>& SERID, int NS);

// A run of years, first to last.
struct YearRun {
  int first = 0;
  int last = 0;
};
// The runs of years from IFY(NS+1) to ILY(NS+1) that no series 1..NS
// covers, earliest first; none for a set whose every year has a series.
std::vector<YearRun> YearsWithoutSeries(const common::YearTable& IYTAB, int NS);

// The coverage test of a final data set, before its option questions: each
// run of years that no series covers is named on the screen and in the
// report, and the run ends abnormally (a mean chronology has no value for
// such a year). A set without such years passes silently.
void CoverageTest(common::Dialog& dialog, const common::YearTable& IYTAB, int NS);

// The series summary: NS, first year, last year and span of the whole set,
// on the screen and (upper case, with the column legend) in the report.
void SeriesSummary(common::Dialog& dialog, const common::YearTable& IYTAB, int NS);

// The series-length summary: minimum, hinges, median and maximum of the
// series lengths (truncated to integers) and how many series reach each.
struct LengthSummary {
  int MIN = 0, P25 = 0, MED = 0, P75 = 0, MAX = 0;
  int C1 = 0, C2 = 0, C3 = 0, C4 = 0, C5 = 0;  // = MIN, >= P25, >= MED, >= P75, = MAX
};
// Computes the summary of IYTAB rows 1..NS with CRVVEC (at least NS values)
// as the work vector, which comes back holding the sorted lengths.
LengthSummary SummariseLengths(const common::YearTable& IYTAB, int NS, std::span<float> CRVVEC);
// Computes and prints it under `label` ("ORIGINAL DATA SET", "CENSORED DATA
// SET"), screen and report. The caller keeps MED for curve-fit option 9.
LengthSummary SeriesLengthSummary(common::Dialog& dialog, const common::YearTable& IYTAB, int NS,
                                  std::span<float> CRVVEC, std::string_view label);

}  // namespace drivers
