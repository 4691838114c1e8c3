#include "files/character_helpers.h"

#include <algorithm>
#include <string>

#include "common/fortran_format.h"
#include "common/text.h"

namespace files {

void blank(std::string& text) { text.assign(text.size(), ' '); }

void ljust(std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos || first == 0) return;
  const std::size_t length = text.size();
  text.erase(0, first);
  text.resize(length, ' ');
}

void squeez(std::string& name, int n) {
  const int limit = std::min<int>(n, static_cast<int>(name.size()));
  if (limit <= 1) return;
  // One pass shifts the tail left over each blank met; passes repeat while a
  // blank still stands before a non-blank. The last position is blanked
  // after each shift, so no character is left behind twice.
  auto pos = [&](int i) -> char& { return name[static_cast<std::size_t>(i - 1)]; };
  for (;;) {
    for (int i = 1; i <= limit - 1; ++i) {
      if (pos(i) != ' ') continue;
      for (int j = i; j <= limit - 1; ++j) pos(j) = pos(j + 1);
      pos(limit) = ' ';
    }
    bool again = false;
    for (int i = 1; i <= limit - 1; ++i) {
      if (pos(i) == ' ' && pos(i + 1) != ' ') {
        again = true;
        break;
      }
    }
    if (!again) return;
  }
}

void ifmt(std::string& answer, std::string& fmt) {
  const std::size_t length = answer.size();
  const std::size_t first = answer.find_first_not_of(' ');
  const std::size_t lead = first == std::string::npos ? 0 : first;
  std::size_t nch = 0;
  for (char c : answer) {
    if (c != ' ') ++nch;
  }
  if (lead >= 1) {
    std::string moved = answer.substr(lead, nch);
    moved.resize(length, ' ');
    answer = moved;
  }
  blank(fmt);
  std::string descriptor = "(i" + std::to_string(nch) + ")";
  common::Assign(fmt, descriptor);
}

std::optional<int> ConvertAnswer(std::string answer) {
  std::string fmt(20, ' ');
  ifmt(answer, fmt);
  int value = 0;
  if (common::fmt::ReadFrom(common::TrimRight(fmt), answer, &value) != common::fmt::ReadStatus::kOk) {
    return std::nullopt;
  }
  return value;
}

std::string_view FileNamePart(std::string_view name) {
  const std::size_t slash = name.rfind('/');
  return slash == std::string_view::npos ? name : name.substr(slash + 1);
}

std::string OutputStem(std::string_view name) {
  const std::string_view file = FileNamePart(common::TrimRight(name.substr(0, 50)));
  return std::string(file.substr(0, file.find('.')));
}

}  // namespace files
