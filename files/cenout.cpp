// cenout: the censored or truncated data set as a decade ring-width file.
#include <algorithm>
#include <cctype>
#include <optional>
#include <string>

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

}  // namespace

bool cenout(char OPT, int N1, int N2, const SeriesMatrix& SERMAT, std::span<float> SERVEC, int NS,
            const YearTable& IYTAB, const std::vector<std::string>& SERID, std::vector<std::string>& TITLE,
            std::string_view DATFIL, int LUN, Dialog& dialog) {
  static constexpr const char* kCodes[] = {"MNSL", "MXSY", "MNSY", "TRNB", "TRNA", "COMM"};
  if (OPT < '2' || OPT > '7') return false;
  const std::string code = kCodes[OPT - '2'];
  const std::string label = common::Fixed(Lower(code), 6);

  const std::string name = CensoredFileName(DATFIL, OPT, N1, N2);
  auto series_values = [&](int i) {
    const std::span<const float> column = SERMAT.column_view(i);
    return column.first(std::min(static_cast<std::size_t>(std::max(IYTAB.NYR(i), 0)), column.size()));
  };
  // A series the decade format cannot hold is refused before the file is
  // opened, so no file is left that reads back as another data set.
  for (int i = 1; i <= NS; ++i) {
    if (const std::optional<std::string> why =
            RwlUnwritable(SERID[static_cast<std::size_t>(i)], IYTAB.IFY(i), series_values(i))) {
      dialog.Screen("");
      dialog.Screen(" " + *why);
      dialog.Screen(" The censored data set is not written: " + name);
      return false;
    }
  }
  // A file that cannot be opened or loses a record ends the program; it is
  // said to be created only once it is closed whole.
  dialog.OpenOrStop(LUN, name);
  common::Unit& file = *dialog.units().Get(LUN);

  for (int t = 1; t <= 3; ++t) {
    std::string& line = TITLE[static_cast<std::size_t>(t)];
    line = common::Fixed(line, 100);
    line.replace(84, 4, code);
    file.WriteLine(line);
  }
  for (int i = 1; i <= NS; ++i) {
    const int n = std::clamp(IYTAB.NYR(i), 0, std::min(SERMAT.rows(), static_cast<int>(SERVEC.size())));
    std::span<const float> column = SERMAT.column_view(i);
    std::copy(column.begin(), column.begin() + n, SERVEC.begin());
    // (every series was found writable above)
    static_cast<void>(WriteRwl(file, SERID[static_cast<std::size_t>(i)], IYTAB.IFY(i),
                               SERVEC.first(static_cast<std::size_t>(n)), label));
  }
  dialog.CloseOrStop(LUN);
  dialog.Screen("");
  dialog.Screen(" File for censored data created: " + name);
  return true;
}

}  // namespace files
