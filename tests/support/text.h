// Looking into the text a run wrote: screens, reports and output files.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

namespace test_support {

// Whether `part` occurs in `text`, and how often (overlapping occurrences count).
bool Has(const std::string& text, const std::string& part);
int Count(const std::string& text, const std::string& part);

// The last 3000 characters of `text`: the end of a screen for a failure message.
std::string Tail(const std::string& text);

// The lines of `text` without their line ends (a last line without one counts).
std::vector<std::string> Lines(const std::string& text);

// The answer lists `parts`, one after another.
std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts);

}  // namespace test_support
