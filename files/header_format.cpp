#include "files/header_format.h"

#include <algorithm>
#include <vector>

#include "common/fortran_format.h"
#include "common/text.h"
#include "files/reader_limits.h"
#include "files/reading_unit.h"

namespace files {

namespace {

constexpr int kEnd = -999;

bool IsHeaderLead(std::string_view record) { return record.size() >= 3 && record.substr(0, 3) == "n  "; }

}  // namespace

void datar(common::Dialog& dialog, std::string& LINE, int& N, std::span<float> X, int& IYR1, int LUN, int MAXYRS) {
  common::Unit* unit = ReadingUnit(dialog.units(), LUN);
  if (unit == nullptr) {
    N = kEnd;
    return;
  }
  if (LINE.size() < 80) LINE.resize(80, ' ');

  // Title lines, then the header: count (columns 3-10), first year (13-20)
  // and the descriptor text (23-30), which must hold both parentheses.
  int count = 0;
  int year = 0;
  std::string descriptor(8, ' ');
  for (;;) {
    std::optional<std::string> record = unit->NextRecord();
    if (!record) {
      N = kEnd;
      return;
    }
    if (!IsHeaderLead(*record)) {
      std::string title = common::Fixed(*record, 80);
      LINE.replace(0, 80, title);
    }
    if (common::fmt::ReadFrom("(2x,i8,2x,i8,2x,a8)", *record, &count, &year, &descriptor) !=
        common::fmt::ReadStatus::kOk) {
      continue;
    }
    if (descriptor.find('(') == std::string::npos || descriptor.find(')') == std::string::npos) continue;
    break;
  }

  N = count;
  IYR1 = year;
  const std::string id(common::TrimRight(std::string_view(LINE).substr(0, 8)));
  const int room = static_cast<int>(std::min<std::size_t>(X.size(), MAXYRS > 0 ? static_cast<std::size_t>(MAXYRS)
                                                                                  : X.size()));
  if (count < 1) {
    dialog.Screen(" Series " + id + ": its header gives no values.");
    N = 0;
    return;
  }
  if (count > room) {
    dialog.Screen(" " + SeriesValuesMessage(id, room));
    N = 0;
    return;
  }
  if (!YearWithinLimits(year) || !YearWithinLimits(static_cast<long long>(year) + count - 1)) {
    dialog.Screen(" " + SeriesYearsMessage(id));
    N = 0;
    return;
  }

  std::vector<common::fmt::ReadTarget> targets;
  targets.reserve(static_cast<std::size_t>(count));
  for (int k = 0; k < count; ++k) targets.emplace_back(&X[static_cast<std::size_t>(k)]);
  switch (common::fmt::Read(descriptor, *unit, targets)) {
    case common::fmt::ReadStatus::kOk:
      return;
    case common::fmt::ReadStatus::kError:
      dialog.Screen(">> sbr datar:  error reading data");
      N = 0;
      return;
    case common::fmt::ReadStatus::kEnd:
      dialog.Screen(">> sbr datar:  unexpected end reading data");
      N = 0;
      return;
  }
}

}  // namespace files
