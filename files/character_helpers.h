// Character helpers on fixed-length texts (a std::string whose size() is the
// declared length): blank, ljust, squeez, ifmt.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/text.h"

namespace files {

// Every position of `text` becomes a blank.
void blank(std::string& text);

// Left-justifies `text` in place; blanks inside are kept.
void ljust(std::string& text);

// Moves every non-blank character of name(1:n) to the front, blanks after.
void squeez(std::string& name, int n);

// Left-justifies `answer` (one token) and writes into `fmt` the integer
// descriptor "(iN)", N the count of non-blank characters of the answer.
void ifmt(std::string& answer, std::string& fmt);

// A typed numeric answer converted as the dialogue converts it: ifmt, then
// an internal read under the descriptor it built. nullopt when the read
// fails (the caller asks again). The caller has handled "/" and blank.
std::optional<int> ConvertAnswer(std::string answer);

// Whether `text` holds a control character (the dialogue's own test).
using common::HasControlCharacter;

// The file-name part of a typed path: what follows its last "/".
std::string_view FileNamePart(std::string_view name);

// The stem of every output file named after a data file: the file-name part
// of the typed name (its first 50 characters, trailing blanks off) up to its
// first ".". "../data/site.rwl" and "site.rwl" both give "site".
std::string OutputStem(std::string_view name);

}  // namespace files
