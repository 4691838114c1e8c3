// The input data format menu and the readers of the column layouts.
//
// inmenu fills the series storage from the data file open on a unit: the
// decade reader (rwlio) for ring widths ("mr") and chronologies ("ir"),
// Rd1col for the single-column layout, rdcols for the multiple-column
// layout. Every reader fills IYTAB rows 1..NS and the whole-data-set row
// NS+1, and refuses a data set that does not fit the storage (more than
// 3000 series, more than 6001 values in a series, a year outside
// -9999..9999, a whole span of more than 6001 years) with a message naming
// the limit; it never writes past the storage.
#pragma once

#include <string>
#include <vector>

#include "common/console.h"
#include "common/program_variant.h"
#include "common/storage.h"
#include "files/reader_limits.h"

namespace files {

// Outcome flags of the readers.
inline constexpr int kReadOk = 1;      // OKFLAG of a reader that succeeded
inline constexpr int kReadFailed = 0;  // OKFLAG of a reader that failed
inline constexpr int kMenuFailed = 1;  // RDFAIL after a failed read
inline constexpr int kMenuQuit = 2;    // RDFAIL after "Q" at the batch program's menu

// inmenu: shows the input data format menu, reads the data set in the
// chosen layout and reports success or failure. RDFAIL is 0 when the data
// were read, 1 after a failed read (NS then counts only the complete series
// and row NS+1 covers just those). "Q" at the interactive menu stops the
// program as "/" does; at the batch menu it returns RDFAIL 2 with NS 0 (the
// batch program ends its run abnormally). The data file is rewound before
// each reading attempt.
void inmenu(common::Dialog& dialog, common::SeriesMatrix& SERMAT, common::YearTable& IYTAB,
            std::vector<std::string>& SERID, int LUN, int& NS, std::vector<std::string>& TITLE, int& RDFAIL,
            common::ProgramVariant variant = common::ProgramVariant::kInteractive);

// Rd1col: the single-column layout (identifier line, first-year line, one
// value per line). OKFLAG 1 on success, 0 after a message.
void Rd1col(common::Dialog& dialog, int LUN, common::SeriesMatrix& SERMAT, std::vector<std::string>& SERID,
            common::YearTable& IYTAB, int& NS, int& OKFLAG);

// rdcols: the multiple-column layout (a header line of identifiers, then one
// row per year: the year and one cell per series, the user's sentinel text
// marking a missing cell). Asks for the number of columns and the sentinel.
// A missing cell between a series' first and last value stays -999.0 at its
// own year. OKFLAG 1 on success, 0 after a message.
void rdcols(common::Dialog& dialog, int LUN, common::SeriesMatrix& SERMAT, std::vector<std::string>& SERID,
            common::YearTable& IYTAB, int& NS, int& OKFLAG);

}  // namespace files
