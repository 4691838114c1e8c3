#include "common/freeform.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace common {

std::vector<std::string> FreeItems(std::string_view line) {
  std::vector<std::string> items;
  std::string current;
  bool in_item = false;
  for (char c : line) {
    if (c == '/') {  // a slash ends the list; alone, it is the quit answer
      if (in_item) {
        items.push_back(current);
      } else if (items.empty()) {
        items.push_back("/");
      }
      return items;
    }
    if (c == ' ' || c == '\t' || c == ',') {
      if (in_item) items.push_back(current);
      current.clear();
      in_item = false;
    } else {
      current.push_back(c);
      in_item = true;
    }
  }
  if (in_item) items.push_back(current);
  return items;
}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<int> FreeIntItem(std::string_view item) {
  std::size_t i = 0;
  bool negative = false;
  if (i < item.size() && (item[i] == '+' || item[i] == '-')) negative = item[i++] == '-';
  if (i == item.size()) return std::nullopt;
  long long value = 0;
  for (; i < item.size(); ++i) {
    if (!IsDigit(item[i])) return std::nullopt;
    value = value * 10 + (item[i] - '0');
    if (value > 2147483648LL) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > 2147483647LL || value < -2147483648LL) return std::nullopt;
  return static_cast<int>(value);
}

std::optional<double> FreeRealItem(std::string_view item) {
  // sign? digits* (. digits*)? ([EeDd] sign? digits+ | sign digits+)?
  std::string text;
  std::size_t i = 0;
  if (i < item.size() && (item[i] == '+' || item[i] == '-')) text.push_back(item[i++]);
  std::size_t mantissa_digits = 0;
  while (i < item.size() && IsDigit(item[i])) {
    text.push_back(item[i++]);
    ++mantissa_digits;
  }
  if (i < item.size() && item[i] == '.') {
    text.push_back(item[i++]);
    while (i < item.size() && IsDigit(item[i])) {
      text.push_back(item[i++]);
      ++mantissa_digits;
    }
  }
  if (mantissa_digits == 0) return std::nullopt;
  if (i < item.size()) {
    char c = item[i];
    if (c == 'e' || c == 'E' || c == 'd' || c == 'D') {
      ++i;
    } else if (c != '+' && c != '-') {
      return std::nullopt;
    }
    text.push_back('e');
    if (i < item.size() && (item[i] == '+' || item[i] == '-')) text.push_back(item[i++]);
    std::size_t exponent_digits = 0;
    while (i < item.size() && IsDigit(item[i])) {
      text.push_back(item[i++]);
      ++exponent_digits;
    }
    if (exponent_digits == 0 || i != item.size()) return std::nullopt;
  }
  errno = 0;
  double value = std::strtod(text.c_str(), nullptr);
  if (errno == ERANGE && (value > 1.0 || value < -1.0)) return std::nullopt;
  return value;
}

}  // namespace common
