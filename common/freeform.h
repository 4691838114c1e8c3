// List-directed (free-form) conversion of one typed value.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace common {

// Splits a line into list-directed items (separated by blanks or commas); a
// slash ends the list, and a line that starts with one gives the item "/".
std::vector<std::string> FreeItems(std::string_view line);

// Integer item: optional sign and digits only ("12.5", "1e3" refused).
std::optional<int> FreeIntItem(std::string_view item);
// Real item: digits with optional point and exponent (E, D, or e/d), ".5",
// "1d-3"; no "inf", "nan" or hex.
std::optional<double> FreeRealItem(std::string_view item);

}  // namespace common
