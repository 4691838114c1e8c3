#include "apps/shared/series_processing.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "apps/shared/data_set_summary.h"
#include "common/fortran_format.h"
#include "common/limits.h"
#include "common/text.h"
#include "files/censor.h"
#include "files/reader_limits.h"

namespace drivers {

namespace {

using common::Dialog;
using common::PadTo;
namespace fmt = common::fmt;

// A truncated series must keep at least this many values.
inline constexpr int kMinTruncatedLength = 20;

using fmt::I;

// A year typed at the menu must be one a series can hold; one outside is
// refused with a line saying so.
bool YearAccepted(Dialog& dialog, int year) {
  if (files::YearWithinLimits(year)) return true;
  dialog.Screen(" Year " + std::to_string(year) + " is outside -9999 to 9999 (the year limit).");
  return false;
}

// One free-form integer answer to `question` (after an empty line), asked
// until it converts and `accepted` takes it.
template <typename Accepted>
int AskNumber(Dialog& dialog, std::string_view question, Accepted accepted) {
  for (;;) {
    dialog.Screen("");
    dialog.Prompt(question);
    const std::optional<int> value = dialog.ReadFreeInt();
    if (value && accepted(*value)) return *value;
  }
}

// A year: within the year limit.
int AskYear(Dialog& dialog, std::string_view question) {
  return AskNumber(dialog, question, [&dialog](int year) { return YearAccepted(dialog, year); });
}

// A segment length: 0 to 6001 years (no series is longer), asked again
// otherwise.
int AskLength(Dialog& dialog, std::string_view question) {
  return AskNumber(dialog, question, [](int length) { return length >= 0 && length <= common::kMaxTypedLength; });
}

void ShowMenu(Dialog& dialog) {
  dialog.Screen("");
  dialog.Screen(" Series processing options (/ to exit):");
  dialog.Screen(PadTo(" All series processed as read in", 45) + "<1>");
  dialog.Screen(PadTo(" Keep series with MINIMUM SEGMENT length", 46) + "2");
  dialog.Screen(PadTo(" Keep series BEFORE a MAXIMUM start year", 46) + "3");
  dialog.Screen(PadTo(" Keep series AFTER a MINIMUM start year", 46) + "4");
  dialog.Screen(PadTo(" Truncate BEFORE a MINIMUM start year", 46) + "5");
  dialog.Screen(PadTo(" Truncate AFTER a MAXIMUM end year", 46) + "6");
  dialog.Prompt(PadTo("Keep series over a COMMON PERIOD only", 45) + "7");
}

// The warning after a censoring that would keep no series; the caller shows
// the menu again.
void WarnNothingKept(Dialog& dialog, const std::string& warning) {
  dialog.Screen("");
  dialog.Screen(" *** Warning: " + warning);
  dialog.Screen("    Try again or quit the program.");
  dialog.Screen("");
  dialog.WaitReturn(" Hit Return to continue");
}

void ReportLine(Dialog& dialog, const std::string& line) {
  dialog.Report("");
  dialog.Report(line);
}

[[noreturn]] void StopShortSeries(Dialog& dialog, const std::string& id, std::string_view which, int Y, int length) {
  dialog.Screen("");
  dialog.Screen(" Series  " + common::Fixed(id, 8) + std::string(which) + I(4, Y) + " only leaves " + I(4, length) +
                "  values for analysis.");
  dialog.Screen("");
  dialog.Screen(" Please evaluate your truncation choice and see if it is");
  dialog.Screen(" appropriate for your data. You might want to consider deleting");
  dialog.Screen(" these series from further analysis if you want to truncate.");
  dialog.Stop(common::ExitStatus::kAbnormal, " Review your truncation choice!");
}

}  // namespace

void TruncateBefore(int Y, common::SeriesMatrix& SERMAT, int NS, common::YearTable& IYTAB,
                    const std::vector<std::string>& SERID, Dialog& dialog) {
  for (int i = 1; i <= NS; ++i) {
    if (IYTAB.IFY(i) >= Y) continue;
    // Widened: the lengths and the shift stay exact whatever the years.
    const std::int64_t old_first = IYTAB.IFY(i);
    const std::int64_t old_length = IYTAB.NYR(i);
    const std::int64_t new_length = std::int64_t{IYTAB.ILY(i)} - Y + 1;
    IYTAB.NYR(i) = static_cast<int>(std::clamp<std::int64_t>(new_length, -common::MAXYRS, common::MAXYRS));
    IYTAB.IFY(i) = Y;
    IYTAB.IFY(NS + 1) = Y;
    if (new_length < kMinTruncatedLength) {
      StopShortSeries(dialog, SERID[static_cast<std::size_t>(i)], "  truncation before ", Y, IYTAB.NYR(i));
    }
    std::span<float> col = SERMAT.column(i);
    const std::int64_t shift = Y - old_first;
    for (std::int64_t k = 1; k <= new_length; ++k) col[static_cast<std::size_t>(k - 1)] = col[static_cast<std::size_t>(k - 1 + shift)];
    for (std::int64_t k = new_length + 1; k <= old_length; ++k) col[static_cast<std::size_t>(k - 1)] = common::kMissing;
  }
}

void TruncateAfter(int Y, common::SeriesMatrix& SERMAT, int NS, common::YearTable& IYTAB,
                   const std::vector<std::string>& SERID, Dialog& dialog) {
  for (int i = 1; i <= NS; ++i) {
    if (IYTAB.ILY(i) <= Y) continue;
    const std::int64_t old_length = IYTAB.Span(i);
    const std::int64_t new_length = std::int64_t{Y} - IYTAB.IFY(i) + 1;
    IYTAB.NYR(i) = static_cast<int>(std::clamp<std::int64_t>(new_length, -common::MAXYRS, common::MAXYRS));
    IYTAB.ILY(i) = Y;
    IYTAB.ILY(NS + 1) = Y;
    if (new_length < kMinTruncatedLength) {
      StopShortSeries(dialog, SERID[static_cast<std::size_t>(i)], "  truncation after ", Y, IYTAB.NYR(i));
    }
    std::span<float> col = SERMAT.column(i);
    for (std::int64_t k = new_length + 1; k <= old_length; ++k) col[static_cast<std::size_t>(k - 1)] = common::kMissing;
  }
}

void CopyToWork(const common::SeriesMatrix& SERMAT, int NS, const common::YearTable& IYTAB,
                common::SeriesMatrix& SERWRK) {
  // Columns already in use are overwritten rather than given back, so a
  // later data set of the batch program reuses their memory. SERWRK is as
  // high as SERMAT.
  if (SERWRK.rows() != SERMAT.rows()) SERWRK.SetRows(SERMAT.rows());
  for (int i = 1; i <= SERWRK.cols(); ++i) {
    if (i > NS) {
      if (SERWRK.allocated(i)) std::ranges::fill(SERWRK.column(i), common::kMissing);
      continue;
    }
    const int n = std::clamp(IYTAB.Span(i), 0, std::min(SERMAT.rows(), SERWRK.rows()));
    std::span<const float> from = SERMAT.column_view(i);
    std::span<float> to = SERWRK.column(i);
    std::copy(from.begin(), from.begin() + n, to.begin());
    std::fill(to.begin() + n, to.end(), common::kMissing);
  }
}

SeriesProcessingChoice SeriesProcessingMenu(Dialog& dialog, common::RunStorage& run, std::string_view DATFIL) {
  SeriesProcessingChoice choice;
  for (;;) {
    ShowMenu(dialog);
    const common::TypedAnswer answer = dialog.ReadTyped(1);
    const char c = answer.blank ? '1' : answer.first();
    if (c < '1' || c > '7') continue;
    choice = SeriesProcessingChoice{c, 0, 0};
    if (c == '1') break;

    if (c == '2') {
      int bound = AskLength(dialog, "Enter the MINIMUM segment length");
      const int typed = bound;
      if (!files::censl(bound, run.SERMAT, run.NS, run.IYTAB, run.SERID, dialog)) {
        WarnNothingKept(dialog, "No series were found with a segment length of at least " + I(5, typed));
        continue;
      }
      choice.N1 = bound;
      ReportLine(dialog, "DATA ARE CENSORED BY MINIMUM SEGMENT LENGTH: " + I(5, bound));
    } else if (c == '3' || c == '4') {
      int bound = AskYear(dialog, c == '3' ? "Enter the MAXIMUM starting year" : "Enter the MINIMUM start year");
      const int typed = bound;
      const bool kept = c == '3' ? files::cenmxy(bound, run.SERMAT, run.NS, run.IYTAB, run.SERID, dialog)
                                 : files::censy(bound, run.SERMAT, run.NS, run.IYTAB, run.SERID, dialog);
      if (!kept) {
        WarnNothingKept(dialog, std::string(c == '3' ? "No series were found that start ON or BEFORE "
                                                     : "No series were found that start ON or AFTER ") +
                                    I(5, typed));
        continue;
      }
      choice.N1 = bound;
      ReportLine(dialog, std::string(c == '3' ? "DATA ARE CENSORED BY MAXIMUM START YEAR: "
                                              : "DATA ARE CENSORED BY MINIMUM START YEAR: ") +
                             I(5, bound));
    } else if (c == '5') {
      const int Y = AskYear(dialog, "Truncate series BEFORE a MINIMUM start year");
      TruncateBefore(Y, run.SERMAT, run.NS, run.IYTAB, run.SERID, dialog);
      choice.N1 = Y;
      ReportLine(dialog, "DATA ARE TRUNCATED BEFORE MINIMUM START YEAR: " + I(5, Y));
    } else if (c == '6') {
      const int Y = AskYear(dialog, "Truncate series AFTER a MAXIMUM end year");
      TruncateAfter(Y, run.SERMAT, run.NS, run.IYTAB, run.SERID, dialog);
      choice.N1 = Y;
      ReportLine(dialog, "DATA ARE TRUNCATED AFTER MAXIMUM END YEAR: " + I(5, Y));
    } else {
      int start = 0;
      int end = 0;
      for (;;) {
        dialog.Screen("");
        dialog.Prompt("Enter the common start year");
        // A year that does not convert asks for both years again at once.
        const std::optional<int> s = dialog.ReadFreeInt();
        if (!s) continue;
        dialog.Prompt("Enter the common end year");
        const std::optional<int> e = dialog.ReadFreeInt();
        if (!e || !YearAccepted(dialog, *s) || !YearAccepted(dialog, *e)) continue;
        start = *s;
        end = *e;
        break;
      }
      const int typed_start = start;
      const int typed_end = end;
      if (!files::cencom(start, end, run.SERMAT, run.NS, run.IYTAB, run.SERID, dialog)) {
        WarnNothingKept(dialog, typed_end < typed_start
                                    ? "The common end year " + I(5, typed_end) + " is before the start year " +
                                          I(5, typed_start)
                                    : "No series were found that cover the common period " + I(5, typed_start) +
                                          " to" + I(5, typed_end));
        continue;
      }
      choice.N1 = start;
      choice.N2 = end;
      ReportLine(dialog, "DATA ARE CENSORED BY COMMON START AND END YEARS: " + I(5, start) + I(6, end));
    }
    const int whole = run.NS + 1;
    if (c == '5' || c == '6') run.IYTAB.NYR(whole) = run.IYTAB.Span(whole);
    if (!files::cenout(c, choice.N1, choice.N2, run.SERMAT, run.SERVEC, run.NS, run.IYTAB, run.SERID, run.TITLE,
                       DATFIL, common::kCensoredUnit, dialog)) {
      dialog.AbnormalEnd();
    }
    break;
  }
  CopyToWork(run.SERMAT, run.NS, run.IYTAB, run.SERWRK);
  return choice;
}

std::string_view CensoredLabel(common::ProgramVariant variant) {
  return variant == common::ProgramVariant::kBatch ? "Censored Data Set" : "CENSORED DATA SET";
}

void ProcessSeries(ProgramRun& run) {
  common::RunStorage& store = run.store;
  run.options.MED = SeriesLengthSummary(run.dialog, store.IYTAB, store.NS, store.CRVVEC, "ORIGINAL DATA SET").MED;
  const SeriesProcessingChoice choice = SeriesProcessingMenu(run.dialog, store, store.DATFIL);
  if (choice.answer != '1') {
    run.options.MED =
        SeriesLengthSummary(run.dialog, store.IYTAB, store.NS, store.CRVVEC, CensoredLabel(run.variant())).MED;
  }
  CoverageTest(run.dialog, store.IYTAB, store.NS);
}

}  // namespace drivers
