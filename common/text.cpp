#include "common/text.h"

#include <algorithm>
#include <cmath>

namespace common {

std::string Fixed(std::string_view s, std::size_t n) {
  std::string out(s.substr(0, n));
  out.resize(n, ' ');
  return out;
}

void Assign(std::string& dst, std::string_view s) { dst = Fixed(s, dst.size()); }

std::string_view TrimRight(std::string_view s) {
  std::size_t n = s.size();
  while (n > 0 && s[n - 1] == ' ') --n;
  return s.substr(0, n);
}

bool SameText(std::string_view a, std::string_view b) { return TrimRight(a) == TrimRight(b); }

bool IsBlank(std::string_view s) { return TrimRight(s).empty(); }

bool HasControlCharacter(std::string_view text) {
  return std::ranges::any_of(text, [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7f;
  });
}

std::string Upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

int Nint(float x) { return static_cast<int>(std::lround(x)); }
int Nint(double x) { return static_cast<int>(std::lround(x)); }

std::string PadTo(std::string_view s, std::size_t column) {
  std::string out(s);
  if (column > 0 && out.size() < column - 1) out.resize(column - 1, ' ');
  return out;
}

}  // namespace common
