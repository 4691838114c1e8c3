// Edit-descriptor notation: one interpreter for every fixed record layout.
//
// A format is a parenthesised list such as "(a8,i4,10i6)", "(10(i4,i3))",
// "(2x,f8.3,t23,a)" or "(i4/3f7.2)": I, F, E, D, G, A, X, T, TL, TR, "/",
// ":", quoted literals (write only), repeat counts before items and groups,
// nested groups, and reversion to the last top-level group when the list runs
// out while values remain. Widths and counts above 100000, groups nested
// deeper than 64 and formats that would pass ten million items without a
// value are refused as malformed.
//
// Reading follows the rules of formatted input: a record shorter than the
// fields is padded with blanks, a blank field reads as 0, blanks inside a
// numeric field are ignored, a real field without a decimal point takes the
// descriptor's implied decimals ("   1234" under f7.3 is 1.234), and an
// exponent may be written with E, D or a bare sign. Anything else in a
// numeric field ("12abc", "inf", "nan", "0x1p3") is a conversion error.
//
// Writing right-justifies each number in its field, drops the leading zero
// of a fraction when that makes it fit (f4.3 of 0.123 is ".123"), prints
// -0.000 for a negative value that rounds to zero, and fills the field with
// asterisks when the number does not fit.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace common::fmt {

enum class ReadStatus { kOk, kError, kEnd };

struct Item;  // one parsed descriptor or group (defined in the .cpp)

class Format {
 public:
  // nullopt when `text` is not a well-formed format.
  static std::optional<Format> Parse(std::string_view text);
  Format(const Format&);
  Format& operator=(const Format&);
  Format(Format&&) noexcept;
  Format& operator=(Format&&) noexcept;
  ~Format();

  const std::vector<Item>& items() const { return *items_; }

 private:
  Format();
  std::vector<Item>* items_ = nullptr;  // owned
};

// Where a read stores a value. A text target's size() is its declared
// length: "a" reads that many characters, "aw" takes the rightmost
// characters when w is larger and pads with blanks when w is smaller.
using ReadTarget = std::variant<int*, float*, double*, std::string*>;

// A value a write prints; floats are printed from their own value.
using WriteValue = std::variant<int, float, double, std::string_view>;

// Supplies the records of a read, one at a time; nullopt at end of file.
class RecordSource {
 public:
  virtual ~RecordSource() = default;
  virtual std::optional<std::string> NextRecord() = 0;
};

// Reads the targets under `format`, taking records from `source` (a "/" or
// the end of the list moves to the next record). A malformed format is kError.
ReadStatus Read(std::string_view format, RecordSource& source, std::span<const ReadTarget> targets);
ReadStatus Read(const Format& format, RecordSource& source, std::span<const ReadTarget> targets);

// Internal read from one text: reading past it is kEnd.
ReadStatus ReadText(std::string_view format, std::string_view text, std::span<const ReadTarget> targets);
ReadStatus ReadText(const Format& format, std::string_view text, std::span<const ReadTarget> targets);

template <typename... Targets>
ReadStatus ReadFrom(std::string_view format, std::string_view text, Targets*... targets) {
  const ReadTarget list[] = {ReadTarget(targets)...};
  return ReadText(format, text, list);
}

// Writes the values under `format`. Records are separated by '\n'; the result
// has no trailing newline. A malformed format yields an empty string.
std::string Write(std::string_view format, std::span<const WriteValue> values);
std::string Write(const Format& format, std::span<const WriteValue> values);

// Appends v under Iw to `record`: right-justified in w columns, w asterisks
// when it does not fit, as wide as needed when w is 0. Allocates nothing
// beyond the record's own growth.
void AppendInt(std::string& record, long long v, int w);

// The digits of a (finite, not negative) to d decimals, exactly as printf's
// "%#.*f" gives them: the exact binary value rounded, ties to even, the
// point kept when d is 0. Below 1e9 with at most 9 decimals they are worked
// out in integers, otherwise printf gives them.
std::string FixedDigits(double a, int d);

template <typename... Values>
std::string Print(std::string_view format, const Values&... values) {
  const WriteValue list[] = {WriteValue(values)...};
  return Write(format, std::span<const WriteValue>(list, sizeof...(values)));
}
inline std::string Print(std::string_view format) { return Write(format, {}); }

// The field Iw of `value` alone, as Print("(iw)", value) gives it:
// right-justified in w columns, w asterisks when it does not fit.
inline std::string I(int w, int value) {
  std::string field;
  AppendInt(field, value, w);
  return field;
}

}  // namespace common::fmt
