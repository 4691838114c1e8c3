// The series processing menu that both programs show after the index-mode
// question: keep all series, censor by minimum segment length, start-year
// bounds or a common period, or truncate every series before or after a
// year; a censored or truncated set is written as a censored data set and
// every kept series is copied into SERWRK.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "apps/shared/program_run.h"
#include "common/console.h"
#include "common/storage.h"

namespace drivers {

// What the user chose: the menu answer ('1'..'7') and the numbers of the
// censored data set's name (N2 only for '7').
struct SeriesProcessingChoice {
  char answer = '1';
  int N1 = 0;
  int N2 = 0;
};

// Shows the menu until an answer is carried out; "/" stops the program.
// Censors run.SERMAT/NS/IYTAB/SERID in place, writes the censored data set
// (unit 11) named from DATFIL, echoes the choice to the report (unit 9) and
// copies every series into run.SERWRK. The censored series-length summary
// is left to the caller (its screen heading differs between the programs).
// A censored data set that cannot be written ends the program abnormally.
SeriesProcessingChoice SeriesProcessingMenu(common::Dialog& dialog, common::RunStorage& run, std::string_view DATFIL);

// Cuts every series that starts before Y so that it starts in Y (row 1 then
// holds the value of Y, the freed rows -999.0). A series left with fewer
// than 20 values stops the program after advice lines (status 1); series
// after it in the order are not examined.
void TruncateBefore(int Y, common::SeriesMatrix& SERMAT, int NS, common::YearTable& IYTAB,
                    const std::vector<std::string>& SERID, common::Dialog& dialog);

// Cuts every series that ends after Y so that it ends in Y; the same stop
// as TruncateBefore.
void TruncateAfter(int Y, common::SeriesMatrix& SERMAT, int NS, common::YearTable& IYTAB,
                   const std::vector<std::string>& SERID, common::Dialog& dialog);

// Copies rows 1..NYR(i) of every series i = 1..NS from SERMAT into SERWRK;
// every other cell of SERWRK becomes -999.0 (SERWRK's untouched cells are
// -999.0 already, as the drivers create it).
void CopyToWork(const common::SeriesMatrix& SERMAT, int NS, const common::YearTable& IYTAB,
                common::SeriesMatrix& SERWRK);

// The label of the censored set's length summary: the report twin is upper
// case in both programs, the batch program's screen line is not.
std::string_view CensoredLabel(common::ProgramVariant variant);

// The series processing of a data set, after the index mode: the length
// summary of the set as read ("ORIGINAL DATA SET"), the menu and, when the
// set was censored or truncated, its own length summary; then the coverage
// test (a year inside the set's span that no series covers ends the run).
// options.MED is the median length of the latest summary; SERWRK holds the
// processed series.
void ProcessSeries(ProgramRun& run);

}  // namespace drivers
