// Censoring of a data set in memory and the censored data set file.
//
// The censors remove series from SERMAT/NS/IYTAB/SERID in place: the kept
// series keep their order and move to the first free columns, the whole-set
// row NS+1 of IYTAB is rebuilt, and the freed columns are refilled with
// -999.0 and blank identifiers. Each returns false, with its bound set to 0
// and the data set untouched, when no series would be kept.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/console.h"
#include "common/storage.h"

namespace files {

// Keeps series with at least MINSEG values. Label "Min segment length series:".
bool censl(int& MINSEG, common::SeriesMatrix& SERMAT, int& NS, common::YearTable& IYTAB,
           std::vector<std::string>& SERID, common::Dialog& dialog);

// Keeps series whose first year is before MAXSY (a series starting in MAXSY
// itself is dropped). Label "Max starting year series:".
bool cenmxy(int& MAXSY, common::SeriesMatrix& SERMAT, int& NS, common::YearTable& IYTAB,
            std::vector<std::string>& SERID, common::Dialog& dialog);

// Keeps series whose first year is MINSY or later; also shows the new first
// year, last year and span in free format. Label "Min starting year series:".
bool censy(int& MINSY, common::SeriesMatrix& SERMAT, int& NS, common::YearTable& IYTAB,
           std::vector<std::string>& SERID, common::Dialog& dialog);

// Keeps series that cover the whole period CSTART..CEND and cuts each to it:
// row 1 then holds the value of CSTART, rows after CEND-CSTART+1 hold -999.0.
// An end before the start keeps nothing: both bounds come back 0.
bool cencom(int& CSTART, int& CEND, common::SeriesMatrix& SERMAT, int& NS, common::YearTable& IYTAB,
            std::vector<std::string>& SERID, common::Dialog& dialog);

// Name of the censored data set: the stem of DATFIL (up to its first '.')
// and the suffix of option OPT ('2'..'7') with N1 (and N2 for '7') in fixed
// fields; a number too wide for its field is written whole (never as
// asterisks, which would give different censorings one name).
std::string CensoredFileName(std::string_view DATFIL, char OPT, int N1, int N2);

// Writes the data set as a decade ring-width file named by CensoredFileName
// on unit LUN: the three TITLE lines (100 characters, the rule's upper-case
// code in columns 85-88, left there), then every series through the decade
// writer with the lower-case code as label. SERVEC is a work vector of at
// least MAXYRS values. A series the decade format cannot hold
// (RwlUnwritable) is named and nothing is written: returns false, as for an
// option other than "2"-"7". A file that cannot be opened or written whole
// ends the program abnormally, naming it; "created" is shown once it is
// closed whole.
bool cenout(char OPT, int N1, int N2, const common::SeriesMatrix& SERMAT, std::span<float> SERVEC, int NS,
            const common::YearTable& IYTAB, const std::vector<std::string>& SERID, std::vector<std::string>& TITLE,
            std::string_view DATFIL, int LUN, common::Dialog& dialog);

}  // namespace files
