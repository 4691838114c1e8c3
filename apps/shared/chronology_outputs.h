// The files of a data set's accepted run: the chronologies as a column
// table ("<stem>_crns_col.txt") and in the decade chronology format
// ("<stem>_crns_tuc.txt"), and the power spectra of the two final
// chronologies ("<base>_spectra.txt") with their two plots. Each is a piece
// of its own, so each program calls them in its own order. With option 0
// (no detrending, the saved option code of the run) every "Std" name reads
// "Raw" and every "Ssf" name "Adj".
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "apps/shared/run_loop.h"

namespace drivers {

// The spectra file's base: the file-name part of DATFIL up to its first
// blank or '.', at most 40 characters.
std::string SpectraBaseName(std::string_view DATFIL);

// The decade chronologies' identifier: the first 6 characters of the
// file-name part of DATFIL, in a field of 8.
std::string ChronologyId(std::string_view DATFIL);

// "<stem>_crns_col.txt" on unit 11: year, sample depth, the standard and
// signal-free chronologies, their spreads and standard errors (spread /
// sqrt(depth); -99.9 at depth 0), and with a running RBAR window the two
// stabilised chronologies.
void WriteColumnTable(ProgramRun& run);

// "<stem>_crns_tuc.txt" on unit 11: for each chronology (standard,
// signal-free, and with a running RBAR window the two stabilised ones) its
// label in columns 83-88 of TITLE lines 2 and 3, the three title lines and
// the decade chronology with the sample depths. When `cumulative_units`
// holds a unit for a chronology (standard, signal-free, stabilised standard,
// stabilised signal-free, in that order), the same lines go there too. A
// chronology the layout cannot carry (files::CrnUnwritable) is named on the
// screen and in the report and left out of both files, which are noted as
// incomplete (common::Units::NoteLeftOut); the others are written.
void WriteDecadeChronologies(ProgramRun& run, std::span<const int> cumulative_units = {});

// The spectra of the years whose depth is 5 or more, gathered in year order
// (without a running RBAR window `standard` column 1 and SSFCHR column 1,
// with one the two stabilised chronologies): lags M / 3 (M / 5 above 1000
// years), both spectra plotted over every frequency and over those of 0.1
// cycles per year or less, and "<base>_spectra.txt" on unit 10. Fewer than
// 9 such years: the file holds its header alone, no plot is shown, and one
// line says why.
void WriteSpectra(ProgramRun& run, const common::Block& standard);

}  // namespace drivers
