// Fixed-length text (CHARACTER*n) and integer rules of the dialogue.
//
// A fixed-length text is a std::string whose size() is its declared length:
// assignment pads with blanks or cuts, comparison ignores trailing blanks.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace common {

// A text of exactly n characters: `s` cut or blank-padded on the right.
std::string Fixed(std::string_view s, std::size_t n);

// Assigns `s` to the fixed-length text `dst`, keeping dst's length.
void Assign(std::string& dst, std::string_view s);

// `s` without its trailing blanks.
std::string_view TrimRight(std::string_view s);

// True when two texts are equal once trailing blanks are ignored.
bool SameText(std::string_view a, std::string_view b);

// True when every character is a blank (also for an empty text).
bool IsBlank(std::string_view s);

// Whether `text` holds a control character (NUL, tab, escape, DEL, ...):
// a typed file name holding one is an entry that could not be read.
bool HasControlCharacter(std::string_view text);

// ASCII upper case of `s` (the report-file twin of a screen line).
std::string Upper(std::string_view s);

// NINT: nearest integer, halves away from zero.
int Nint(float x);
int Nint(double x);

// `s` followed by blanks up to `column` - 1 characters (so the next text
// starts at `column`); a longer text is left as it is.
std::string PadTo(std::string_view s, std::size_t column);

}  // namespace common
