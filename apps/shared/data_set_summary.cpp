#include "apps/shared/data_set_summary.h"

#include <algorithm>
#include <string>

#include "common/fortran_format.h"
#include "common/limits.h"
#include "common/text.h"
#include "detrend/order_stats.h"

namespace drivers {
namespace {

// `text` at column 2, then the integers in fields of `width` from column 30.
std::string Columns(std::string_view text, std::initializer_list<int> values, int width = 6) {
  std::string line = common::PadTo(std::string(" ") + std::string(text), 30);
  for (int v : values) line += common::fmt::I(width, v);
  return line;
}

}  // namespace

WholeSetYears WholeSet(const common::YearTable& IYTAB, int NS) {
  WholeSetYears whole;
  whole.first = IYTAB.IFY(NS + 1);
  whole.last = IYTAB.ILY(NS + 1);
  whole.span = whole.last - whole.first + 1;
  return whole;
}

int CountMissing(const common::SeriesMatrix& SERMAT, const common::YearTable& IYTAB, int i) {
  const int n = IYTAB.Span(i);
  if (n < 1) return 0;
  std::span<const float> column = SERMAT.column_view(i).first(static_cast<std::size_t>(std::min(n, SERMAT.rows())));
  int count = 0;
  for (float v : column) {
    if (v < 0.0f) ++count;
  }
  return count;
}

void MissingValueTest(common::Dialog& dialog, const common::SeriesMatrix& SERMAT, const common::YearTable& IYTAB,
                      const std::vector<std::string>& SERID, int NS) {
  dialog.Screen("");
  dialog.Screen(" Regardless of the warning, test for missing data flags:");
  int total = 0;
  for (int i = 1; i <= NS; ++i) {
    const int count = CountMissing(SERMAT, IYTAB, i);
    if (count <= 0) continue;
    dialog.Screen(" Series " + common::Fixed(SERID[static_cast<std::size_t>(i)], 8) + " has" +
                  common::fmt::Print("(i4)", count) +
                  " missing (negative) values");
    total += count;
  }
  if (total > 0) {
    dialog.Screen("");
    dialog.Screen(" Missing (negative) values encountered: " + common::fmt::Print("(i9)", total));
    dialog.Screen(" Run the data set through MORVEL to fill the gaps and save the data.");
    dialog.AbnormalEnd();
  }
  dialog.Screen("");
  dialog.Screen(" No missing data flags (negative numbers) encountered. Proceed!");
}

void SeriesSummary(common::Dialog& dialog, const common::YearTable& IYTAB, int NS) {
  const WholeSetYears whole = WholeSet(IYTAB, NS);
  const std::string heading = std::string(29, ' ') + "    NS   IFY   ILY   NYR";
  dialog.Screen("");
  dialog.Screen(heading);
  dialog.Screen(Columns("Total series read in:", {NS, whole.first, whole.last, whole.span}));
  dialog.Report(heading);
  dialog.Report(Columns("TOTAL SERIES READ IN:", {NS, whole.first, whole.last, whole.span}) +
                "  SERIES, FIRST YEAR, LAST YEAR, TOTAL YEARS");
}

LengthSummary SummariseLengths(const common::YearTable& IYTAB, int NS, std::span<float> CRVVEC) {
  LengthSummary s;
  if (NS < 1) return s;
  const std::size_t n = static_cast<std::size_t>(NS);
  for (std::size_t i = 0; i < n; ++i) CRVVEC[i] = static_cast<float>(IYTAB.NYR(static_cast<int>(i) + 1));
  const detrend::Hinges h = detrend::hinges(CRVVEC.first(n));
  s.MIN = static_cast<int>(h.min);
  s.P25 = static_cast<int>(h.lower);
  s.MED = static_cast<int>(h.median);
  s.P75 = static_cast<int>(h.upper);
  s.MAX = static_cast<int>(h.max);
  for (int i = 1; i <= NS; ++i) {
    const int length = IYTAB.NYR(i);
    if (length == s.MIN) ++s.C1;
    if (length >= s.P25) ++s.C2;
    if (length >= s.MED) ++s.C3;
    if (length >= s.P75) ++s.C4;
    if (length == s.MAX) ++s.C5;
  }
  return s;
}

LengthSummary SeriesLengthSummary(common::Dialog& dialog, const common::YearTable& IYTAB, int NS,
                                  std::span<float> CRVVEC, std::string_view label) {
  const LengthSummary s = SummariseLengths(IYTAB, NS, CRVVEC);
  dialog.Screen("");
  dialog.Both(common::PadTo(std::string(" ") + std::string(label), 30) + "   MIN   25%   MED   75%   MAX");
  dialog.Both(Columns("Segment length statistics:", {s.MIN, s.P25, s.MED, s.P75, s.MAX}));
  dialog.Both(Columns("Series .ge. segment length:", {s.C1, s.C2, s.C3, s.C4, s.C5}));
  return s;
}

std::vector<YearRun> YearsWithoutSeries(const common::YearTable& IYTAB, int NS) {
  std::vector<YearRun> gaps;
  if (NS < 1) return gaps;
  std::vector<YearRun> series;  // the years of each series, by first year
  series.reserve(static_cast<std::size_t>(NS));
  for (int i = 1; i <= NS; ++i) series.push_back({IYTAB.IFY(i), IYTAB.ILY(i)});
  std::ranges::sort(series, {}, &YearRun::first);
  const WholeSetYears whole = WholeSet(IYTAB, NS);
  // Sweep the series by first year: a series that starts past every year
  // covered so far leaves the years between uncovered.
  long long covered = static_cast<long long>(whole.first) - 1;
  for (const YearRun& s : series) {
    if (s.first > covered + 1) gaps.push_back({static_cast<int>(covered + 1), s.first - 1});
    covered = std::max<long long>(covered, s.last);
  }
  if (covered < whole.last) gaps.push_back({static_cast<int>(covered + 1), whole.last});
  return gaps;
}

void CoverageTest(common::Dialog& dialog, const common::YearTable& IYTAB, int NS) {
  const std::vector<YearRun> gaps = YearsWithoutSeries(IYTAB, NS);
  if (gaps.empty()) return;
  dialog.Screen("");
  dialog.Report("");
  for (const YearRun& gap : gaps) {
    if (gap.first == gap.last) {
      dialog.Both(" No series covers the year " + std::to_string(gap.first) + ".");
    } else {
      dialog.Both(" No series covers the years " + std::to_string(gap.first) + " to " + std::to_string(gap.last) +
                  ".");
    }
  }
  dialog.Screen(" A chronology needs at least one series in every year of the data set.");
  dialog.AbnormalEnd();
}

}  // namespace drivers
