// The decade formats: ring widths (one series after another, ten yearly
// values a line in thousandths or hundredths, closed by an end marker) and
// chronologies (ten index values a line, each with its sample depth).
// docs/formats/decade_ring_widths.md and docs/formats/decade_chronologies.md
// describe the layouts.
#pragma once

#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/console.h"
#include "common/units.h"

namespace files {

inline constexpr int IEOFST = -999;  // N and ISER of a read that met the end of the file

// rwlio: reads or writes one series of a decade file on unit LUN.
//
// MODE "mr" reads the next ring-width series, "ir" the next chronology;
// "mw" writes a ring-width series, "iw" a chronology, "cr" a chronology
// preceded by its range line. The arguments:
//   ID     8 characters; read: out (a chronology's identifier has 6, columns
//          7-8 blank); "ir" with ID "******" on entry leaves NDEP alone.
//          write: in, written on every line.
//   IYR1   first year (read: out; write: in).
//   N      number of values (read: out, IEOFST at end of file, 0 when the
//          reader gave up or refused a series over the limits; write: in,
//          below 1 nothing is written).
//   X      the values in mm (ring widths) or index units; a read never
//          stores more than min(MAXYRS, X.size()) of them.
//   NDEP   sample depth per year ("ir": out; "iw", "cr": in; a first element
//          below 1, or an empty span, writes depth 1 for every year).
//   ISER   read: series counter, set to max(ISER, 0) + 1, IEOFST at end of
//          file; TITLE lines 1-3 are cleared when it becomes 1.
//   LUNECH read: unit to which title lines are echoed (0 or less: none).
//   LINE   cleared to 100 blanks on every call; a read puts the first title
//          line of the call into it.
//   LABEL  write: the 6-character label of the lines.
//   MAXYRS read: the most values a series may have (6001).
//   TITLE  the data set's title lines 1..3 (element 0 unused, as in
//          common::RunStorage); a read stores the first three title lines of
//          the call there.
// The console shows the title lines a read meets and the messages of a
// refused series.
//
// The result says what a call did, beyond N and ISER: callers that only
// look at N and ISER (N < 1 with ISER not IEOFST: the read failed) need not
// use it; a chronology reader that skips empty chronologies can tell them
// from a refused one.
enum class RwlResult {
  kDone,       // a series was read (N >= 1), or a write was made
  kEndOfFile,  // N and ISER are IEOFST
  kNoSeries,   // no values: 25 lines in a row that are not data, an empty
               // series, or a header-and-format series that did not read
  kRefused,    // read: a series beyond the limits (6001 values, years
               // -9999..9999), with numbers out of their columns or a line
               // that does not follow the line before, or a ring-width
               // series that goes on after a 999 and is not closed by
               // -9999; write: a series
               // RwlUnwritable ("mw") or a chronology CrnUnwritable ("iw",
               // "cr") refuses. A message was shown.
};

RwlResult rwlio(common::Dialog& dialog, std::string& ID, int& IYR1, int& N, std::span<float> X, std::span<int> NDEP,
           int& ISER, int LUN, int LUNECH, std::string_view MODE, std::string& LINE, std::string_view LABEL,
           int MAXYRS, std::vector<std::string>& TITLE);

// Why a ring-width series cannot be written in the decade format so that it
// reads back as written, or nothing when it can: a value whose thousandths
// need more than the six columns of a value field (1000 mm or more, -100 mm
// or less) or that is not a number, a year outside -9999..9999, or an end
// marker that would stand on a line for the year 10000 (a series ending in
// 9999). The message names the series. Pure: writers and their callers ask
// it before anything is written.
std::optional<std::string> RwlUnwritable(std::string_view ID, int IYR1, std::span<const float> X);

// The same for a chronology, named `name` in the message ("Chronology
// stdcrn cannot be written ..."): a value whose thousandths, rounded, are
// 9990 or more (the reader ends a chronology there, and 10.0 and more need
// a fifth column) or below -999, or that is not a number; a year outside
// -9999..9999, or a last year of 9999, whose closing line of fill values
// would be for the year 10000.
std::optional<std::string> CrnUnwritable(std::string_view name, int IYR1, std::span<const float> X);

// The writers of one series, as rwlio's "mw" (WriteRwl: a ring-width series)
// and "iw" (WriteCrn: a chronology) write it, to a unit open for writing (a
// unit open for reading takes nothing) or to a stream. ID is written on every
// line (its first 8 characters, 6 for a chronology, fewer in the wide year
// layouts; a series that starts in a four-digit year and ends on its first
// line has a "-" in the identifier's last column written blank, since the
// line would read back in the negative year), LABEL (6 characters) after every full
// line of a ring-width series and on every chronology line. NDEP: the sample
// depth per year; an empty span or a first depth below 1 writes depth 1 for
// every year. An empty X writes nothing. Nothing is allocated beyond one
// record buffer.
// Each writes nothing and returns false for a series RwlUnwritable (or a
// chronology CrnUnwritable) refuses; callers show its message.
[[nodiscard]] bool WriteRwl(common::Unit& unit, std::string_view ID, int IYR1, std::span<const float> X,
                            std::string_view LABEL);
[[nodiscard]] bool WriteRwl(std::ostream& out, std::string_view ID, int IYR1, std::span<const float> X,
                            std::string_view LABEL);
[[nodiscard]] bool WriteCrn(common::Unit& unit, std::string_view ID, int IYR1, std::span<const float> X,
                            std::span<const int> NDEP, std::string_view LABEL);
[[nodiscard]] bool WriteCrn(std::ostream& out, std::string_view ID, int IYR1, std::span<const float> X,
                            std::span<const int> NDEP, std::string_view LABEL);

// Values on the first line of a series starting in `year` (ring widths).
int FirstLineCount(int year);
// Slot (1..10) of `year` on its decade line (chronologies).
int DecadeSlot(int year);

}  // namespace files
