#include "support/decade_files.h"

#include <cctype>
#include <cstdio>
#include <sstream>

namespace test_support {

std::string DecadeSeries(const std::string& id, int first, int count, const std::function<int(int year)>& thousandths) {
  std::string text;
  int year = first;
  int k = 0;
  for (bool ended = false; !ended;) {
    char line[128];
    int used = year > -1000 ? std::snprintf(line, sizeof line, "%-8.8s%4d", id.c_str(), year)
                            : std::snprintf(line, sizeof line, "%-7.7s%5d", id.c_str(), year);
    const int slots = year == first ? 10 - ((first % 10) + 10) % 10 : 10;
    for (int j = 0; j < slots && !ended; ++j, ++k) {
      const int value = k < count ? thousandths(year + j) : -9999;
      used += std::snprintf(line + used, sizeof line - static_cast<std::size_t>(used), "%6d", value);
      ended = k >= count;
    }
    text += std::string(line) + "\n";
    year += slots;
  }
  return text;
}

std::string DecadeSeries(const std::string& id, int first, int count, int thousandths) {
  return DecadeSeries(id, first, count, [thousandths](int) { return thousandths; });
}

std::string DecadeSet(const std::string& prefix, int nser, int first, int nyrs) {
  std::string text;
  for (int s = 1; s <= nser; ++s) {
    char number[16];
    std::snprintf(number, sizeof number, "%0*d", static_cast<int>(6 - prefix.size()), s);
    text += DecadeSeries(prefix + number, first, nyrs, [s](int year) { return 500 + (year * 7 + s) % 400; });
  }
  return text;
}

std::string WideRingSet() {
  std::string text = DecadeSeries("BIGA", 1901, 30, 150) +
                     DecadeSeries("BIGB", 1901, 30, [](int year) { return year == 1905 ? 100000 : 150; });
  for (std::size_t p = text.find(" -9999"); p != std::string::npos; p = text.find(" -9999", p)) {
    text.replace(p, 6, "   999");
  }
  return text;
}

std::vector<WrittenSeries> ParseDecade(const std::string& text, int skip) {
  std::vector<WrittenSeries> out;
  std::istringstream in(text);
  bool open = false;
  int line_number = 0;
  for (std::string line; std::getline(in, line); ++line_number) {
    if (line_number < skip || line.size() < 12) continue;
    if (!open) {
      out.push_back({line.substr(0, 8), std::stoi(line.substr(8, 4)), {}, {}});
      open = true;
    }
    WrittenSeries& series = out.back();
    int count = 0;
    for (std::size_t at = 12; at + 6 <= line.size() && count < 10; at += 6, ++count) {
      const std::string field = line.substr(at, 6);
      if (std::isalpha(static_cast<unsigned char>(field.back()))) break;
      const int value = std::stoi(field);
      if (value == -9999) {
        open = false;
        break;
      }
      series.values.push_back(value);
    }
    if (count == 10) series.labels.push_back(line.size() >= 80 ? line.substr(74, 6) : "");
  }
  return out;
}

}  // namespace test_support
