// cenout: the censored or truncated data set as a decade ring-width file.
#include <algorithm>
#include <cctype>

#include "common/limits.h"
#include "common/text.h"
#include "common/units.h"
#include "files/censor.h"
#include "files/decade.h"

namespace files {

namespace {

using common::Dialog;
using common::SeriesMatrix;
using common::YearTable;

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// One series through the decade writer in ring-width mode.
void WriteDecadeSeries(Dialog& dialog, int LUN, const std::string& id, int first, std::span<float> values,
                       const std::string& label) {
  std::string ID = common::Fixed(id, 8);
  int IYR1 = first;
  int N = static_cast<int>(values.size());
  int ISER = 0;
  std::string LINE(100, ' ');
  std::vector<std::string> TITLE(4, std::string(100, ' '));
  rwlio(dialog, ID, IYR1, N, values, {}, ISER, LUN, 0, "mw", LINE, label, common::MAXYRS, TITLE);
}

}  // namespace

bool cenout(char OPT, int N1, int N2, const SeriesMatrix& SERMAT, std::span<float> SERVEC, int NS,
            const YearTable& IYTAB, const std::vector<std::string>& SERID, std::vector<std::string>& TITLE,
            std::string_view DATFIL, int LUN, Dialog& dialog) {
  static constexpr const char* kCodes[] = {"MNSL", "MXSY", "MNSY", "TRNB", "TRNA", "COMM"};
  if (OPT < '2' || OPT > '7') return false;
  const std::string code = kCodes[OPT - '2'];
  const std::string label = common::Fixed(Lower(code), 6);

  const std::string name = CensoredFileName(DATFIL, OPT, N1, N2);
  common::Units& units = dialog.units();
  if (!units.Open(LUN, name, common::Units::Mode::kWrite)) {
    dialog.Screen("");
    dialog.Screen(" File for censored data could not be created: " + name);
    return false;
  }
  dialog.Screen("");
  dialog.Screen(" File for censored data created: " + name);

  for (int t = 1; t <= 3; ++t) {
    std::string& line = TITLE[static_cast<std::size_t>(t)];
    line = common::Fixed(line, 100);
    line.replace(84, 4, code);
    units.WriteLine(LUN, line);
  }
  for (int i = 1; i <= NS; ++i) {
    const int n = std::clamp(IYTAB.NYR(i), 0, std::min(SERMAT.rows(), static_cast<int>(SERVEC.size())));
    std::span<const float> column = SERMAT.column_view(i);
    std::copy(column.begin(), column.begin() + n, SERVEC.begin());
    WriteDecadeSeries(dialog, LUN, SERID[static_cast<std::size_t>(i)], IYTAB.IFY(i), SERVEC.first(static_cast<std::size_t>(n)), label);
  }
  units.Close(LUN);
  return true;
}

}  // namespace files
