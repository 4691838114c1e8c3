#include "files/censor.h"

#include <algorithm>
#include <cassert>

#include "common/fortran_format.h"
#include "common/limits.h"
#include "common/text.h"
#include "files/character_helpers.h"

namespace files {

namespace {

using common::Dialog;
using common::SeriesMatrix;
using common::YearTable;
namespace fmt = common::fmt;

// The series kept by a censor, in order, before anything is moved.
std::vector<int> Qualifying(int NS, const YearTable& IYTAB, auto keep) {
  std::vector<int> kept;
  for (int i = 1; i <= NS; ++i) {
    if (keep(IYTAB.IFY(i), IYTAB.ILY(i), IYTAB.NYR(i))) kept.push_back(i);
  }
  return kept;
}

// Moves the series listed in `kept` (ascending) to columns 1..k, rebuilds
// the whole-set row from their years and refills the freed columns and
// their identifiers and year rows. Returns the old span of the data set.
struct Compacted {
  int span0;
  int first;
  int last;
};

Compacted Compact(const std::vector<int>& kept, SeriesMatrix& SERMAT, int NS, YearTable& IYTAB,
                  std::vector<std::string>& SERID) {
  Compacted out{IYTAB.Span(NS + 1), common::kLastYearLimit, common::kFirstYearLimit};
  int k = 0;
  for (int i : kept) {
    ++k;
    if (i != k) {
      IYTAB.IFY(k) = IYTAB.IFY(i);
      IYTAB.ILY(k) = IYTAB.ILY(i);
      IYTAB.NYR(k) = IYTAB.NYR(i);
      SERID[static_cast<std::size_t>(k)] = SERID[static_cast<std::size_t>(i)];
      // The whole column moves: beyond the series' own rows it holds -999.0.
      std::span<const float> from = SERMAT.column_view(i);
      std::span<float> to = SERMAT.column(k);
      std::copy(from.begin(), from.end(), to.begin());
    }
    out.first = std::min(out.first, IYTAB.IFY(k));
    out.last = std::max(out.last, IYTAB.ILY(k));
  }
  for (int c = k + 1; c <= NS; ++c) {
    std::span<float> col = SERMAT.column(c);
    std::fill(col.begin(), col.end(), common::kMissing);
    SERID[static_cast<std::size_t>(c)] = std::string(8, ' ');
  }
  // Rows between the new whole-set row and the old one would be stale.
  for (int r = k + 2; r <= NS + 1; ++r) IYTAB.IFY(r) = IYTAB.ILY(r) = IYTAB.NYR(r) = 0;
  return out;
}

void ShowShortened(Dialog& dialog, int shortened) {
  dialog.Screen("");
  dialog.Screen(" Total chronology length shortened: " + fmt::Print("(i6)", shortened) + "  years");
}

void ShowSummary(Dialog& dialog, std::string_view label, int NS, int first, int last, int span) {
  dialog.Screen("");
  dialog.Screen(common::PadTo("", 30) + "    NS   IFY   ILY   NYR");
  dialog.Screen(common::PadTo(" " + std::string(label), 30) + fmt::Print("(4i6)", NS, first, last, span) +
                "  Years total time span");
}

// The shared path of censl, cenmxy and censy.
bool CensorByRule(int& bound, const std::vector<int>& kept, std::string_view label, bool show_years,
                  SeriesMatrix& SERMAT, int& NS, YearTable& IYTAB, std::vector<std::string>& SERID, Dialog& dialog) {
  if (NS <= 0 || kept.empty()) {
    bound = 0;
    return false;
  }
  const int k = static_cast<int>(kept.size());
  const Compacted c = Compact(kept, SERMAT, NS, IYTAB, SERID);
  const int span = common::YearSpan(c.first, c.last);
  if (show_years) dialog.Screen(fmt::Print("(3i12)", c.first, c.last, span));
  IYTAB.IFY(k + 1) = c.first;
  IYTAB.ILY(k + 1) = c.last;
  IYTAB.NYR(k + 1) = span;
  if (span < c.span0) ShowShortened(dialog, c.span0 - span);
  ShowSummary(dialog, label, k, c.first, c.last, span);
  NS = k;
  return true;
}

}  // namespace

bool censl(int& MINSEG, SeriesMatrix& SERMAT, int& NS, YearTable& IYTAB, std::vector<std::string>& SERID,
           Dialog& dialog) {
  const int minseg = MINSEG;
  const std::vector<int> kept = Qualifying(NS, IYTAB, [minseg](int, int, int n) { return n >= minseg; });
  return CensorByRule(MINSEG, kept, "Min segment length series:", false, SERMAT, NS, IYTAB, SERID, dialog);
}

bool cenmxy(int& MAXSY, SeriesMatrix& SERMAT, int& NS, YearTable& IYTAB, std::vector<std::string>& SERID,
            Dialog& dialog) {
  const int maxsy = MAXSY;
  const std::vector<int> kept = Qualifying(NS, IYTAB, [maxsy](int first, int, int) { return first < maxsy; });
  return CensorByRule(MAXSY, kept, "Max starting year series:", false, SERMAT, NS, IYTAB, SERID, dialog);
}

bool censy(int& MINSY, SeriesMatrix& SERMAT, int& NS, YearTable& IYTAB, std::vector<std::string>& SERID,
           Dialog& dialog) {
  const int minsy = MINSY;
  const std::vector<int> kept = Qualifying(NS, IYTAB, [minsy](int first, int, int) { return first >= minsy; });
  return CensorByRule(MINSY, kept, "Min starting year series:", true, SERMAT, NS, IYTAB, SERID, dialog);
}

bool cencom(int& CSTART, int& CEND, SeriesMatrix& SERMAT, int& NS, YearTable& IYTAB,
            std::vector<std::string>& SERID, Dialog& dialog) {
  const int cstart = CSTART;
  const int cend = CEND;
  std::vector<int> kept;
  if (cend >= cstart) {
    kept = Qualifying(NS, IYTAB, [cstart, cend](int first, int last, int) { return first <= cstart && last >= cend; });
  }
  if (NS <= 0 || kept.empty()) {
    CSTART = 0;
    CEND = 0;
    return false;
  }
  const int k = static_cast<int>(kept.size());
  const Compacted c = Compact(kept, SERMAT, NS, IYTAB, SERID);
  const int span = common::YearSpan(cstart, cend);
  IYTAB.IFY(k + 1) = cstart;
  IYTAB.ILY(k + 1) = cend;
  IYTAB.NYR(k + 1) = span;
  ShowShortened(dialog, c.span0 - span);
  // Each kept series is cut to the common period: row 1 becomes CSTART.
  for (int i = 1; i <= k; ++i) {
    const int lag = common::RowOfYear(cstart, IYTAB.IFY(i)) - 1;  // rows before CSTART
    const int old_length = IYTAB.NYR(i);
    std::span<float> col = SERMAT.column(i);
    for (int j = 1; j <= span; ++j) col[static_cast<std::size_t>(j - 1)] = col[static_cast<std::size_t>(j - 1 + lag)];
    for (int j = span + 1; j <= old_length; ++j) col[static_cast<std::size_t>(j - 1)] = common::kMissing;
    IYTAB.IFY(i) = cstart;
    IYTAB.ILY(i) = cend;
    IYTAB.NYR(i) = span;
  }
  ShowSummary(dialog, "Common period series:", k, cstart, cend, span);
  NS = k;
  return true;
}

std::string CensoredFileName(std::string_view DATFIL, char OPT, int N1, int N2) {
  std::string out = OutputStem(DATFIL);
  // A number right-justified in its field; one too wide for it (a year
  // before -999, say) is written whole, so that two different censorings
  // never share a name of asterisks.
  auto field = [](int width, int value) {
    std::string text = fmt::Print("(i" + std::to_string(width) + ")", value);
    return text.find('*') == std::string::npos ? text : std::to_string(value);
  };
  // Width of N1's field for the options whose field follows its size.
  const int sized = N1 < 100 ? 2 : N1 <= 999 ? 3 : 4;
  switch (OPT) {
    case '2': out += "_mnsl=" + field(sized, N1); break;
    case '3': out += "_mxsy=" + field(4, N1); break;
    case '4': out += "_mnsy=" + field(4, N1); break;
    case '5': out += "_trunb=" + field(sized, N1); break;
    case '6': out += "_truna=" + field(sized, N1); break;
    case '7': out += "_comm=" + field(4, N1) + "-" + field(4, N2); break;
    default: break;
  }
  out += ".txt";
  return out;
}

}  // namespace files
