#include "common/fortran_format.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <algorithm>
#include <limits>
#include <system_error>

namespace common::fmt {

// One parsed item of a format list.
struct Item {
  enum class Kind {
    kInt,      // Iw[.m]
    kFixed,    // Fw.d
    kExp,      // Ew.d[Ee], Dw.d[Ee]
    kGeneral,  // Gw.d[Ee]
    kText,     // A[w]
    kSkip,     // nX
    kTab,      // Tn
    kTabLeft,  // TLn
    kTabRight, // TRn
    kSlash,    // /
    kColon,    // :
    kLiteral,  // 'text' or "text" (write only)
    kGroup,    // r( ... )
  };
  Kind kind = Kind::kGroup;
  int repeat = 1;
  int width = -1;     // -1: not given (A)
  int decimals = -1;  // d of F/E/D/G, m of Iw.m (-1: not given)
  int exponent = -1;  // e of Ew.dEe (-1: not given)
  char letter = 'E';  // exponent letter written by E or D
  std::string text;   // literal
  std::vector<Item> items;  // group members
};

namespace {

using Kind = Item::Kind;

constexpr int kMaxNumber = 100000;  // widths, counts and columns above this are refused
constexpr int kMaxDepth = 64;       // nesting of groups
constexpr std::size_t kMaxRecord = 1000000;  // columns of a written record
constexpr std::size_t kMaxRecords = 100000;  // records of one write

bool IsDataKind(Kind k) {
  return k == Kind::kInt || k == Kind::kFixed || k == Kind::kExp || k == Kind::kGeneral || k == Kind::kText;
}

bool HasData(const std::vector<Item>& items, std::size_t first = 0) {
  for (std::size_t i = first; i < items.size(); ++i) {
    if (IsDataKind(items[i].kind)) return true;
    if (items[i].kind == Kind::kGroup && HasData(items[i].items)) return true;
  }
  return false;
}

// ---------------------------------------------------------------- parsing

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  bool ParseAll(std::vector<Item>& out) {
    SkipBlanks();
    if (!Eat('(')) return false;
    if (!ParseList(out, 1)) return false;
    SkipBlanks();
    return pos_ == text_.size();
  }

 private:
  void SkipBlanks() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
  }
  char Peek() {
    SkipBlanks();
    if (pos_ >= text_.size()) return '\0';
    char c = text_[pos_];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return c;
  }
  bool Eat(char c) {
    if (Peek() != c) return false;
    ++pos_;
    return true;
  }
  static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

  // An unsigned number (blanks inside ignored, as in any format); -1 when none.
  int Number() {
    if (!IsDigit(Peek())) return -1;
    long value = 0;
    while (IsDigit(Peek())) {
      value = value * 10 + (text_[pos_++] - '0');
      if (value > kMaxNumber) value = kMaxNumber + 1;
    }
    return value > kMaxNumber ? -2 : static_cast<int>(value);
  }

  // Members of a group up to and including its ')'.
  bool ParseList(std::vector<Item>& out, int depth) {
    if (depth > kMaxDepth) return false;
    if (Eat(')')) return true;  // empty list
    bool need_separator = false;
    bool comma_after_mark = false;
    for (;;) {
      char c = Peek();
      if (c == '\0') return false;
      if (c == ')') {
        ++pos_;
        return true;
      }
      if (c == ',') {
        // "(,i4)" and "(i4,,i4)" are refused; a comma after "/" or ":" is optional.
        bool after_mark = !out.empty() && (out.back().kind == Kind::kSlash || out.back().kind == Kind::kColon);
        if (!need_separator && !(after_mark && !comma_after_mark)) return false;
        ++pos_;
        need_separator = false;
        comma_after_mark = after_mark;
        if (Peek() == ')') return false;  // "(i4,)"
        continue;
      }
      comma_after_mark = false;
      if (c == '/' || c == ':') {
        ++pos_;
        Item item;
        item.kind = c == '/' ? Kind::kSlash : Kind::kColon;
        out.push_back(std::move(item));
        need_separator = false;  // no comma needed around / and :
        continue;
      }
      if (need_separator && c != '\'' && c != '"') return false;
      Item item;
      if (!ParseItem(item, depth)) return false;
      need_separator = item.kind != Kind::kSlash;  // "2/" needs no comma after it
      out.push_back(std::move(item));
    }
  }

  bool ParseLiteral(Item& item) {
    char quote = text_[pos_++];
    std::string value;
    for (;;) {
      if (pos_ >= text_.size()) return false;
      char c = text_[pos_++];
      if (c == quote) {
        if (pos_ < text_.size() && text_[pos_] == quote) {
          value.push_back(quote);
          ++pos_;
          continue;
        }
        break;
      }
      value.push_back(c);
    }
    item.kind = Kind::kLiteral;
    item.text = std::move(value);
    return true;
  }

  bool ParseItem(Item& item, int depth) {
    char c = Peek();
    if (c == '\'' || c == '"') return ParseLiteral(item);
    int count = Number();
    if (count == -2 || count == 0) return false;
    c = Peek();
    if (c == '/') {  // r/ : r record ends
      item.kind = Kind::kSlash;
      item.repeat = count;
      ++pos_;
      return true;
    }
    if (c == '(') {
      ++pos_;
      item.kind = Kind::kGroup;
      item.repeat = count < 0 ? 1 : count;
      return ParseList(item.items, depth + 1);
    }
    if (c == '\0') return false;
    ++pos_;
    switch (c) {
      case 'i':
        item.kind = Kind::kInt;
        item.repeat = count < 0 ? 1 : count;
        item.width = Number();
        if (item.width < 0) return false;
        if (Eat('.')) {
          item.decimals = Number();
          if (item.decimals < 0) return false;
        }
        return true;
      case 'f':
      case 'e':
      case 'd':
      case 'g':
        item.kind = c == 'f' ? Kind::kFixed : c == 'g' ? Kind::kGeneral : Kind::kExp;
        item.letter = c == 'd' ? 'D' : 'E';
        item.repeat = count < 0 ? 1 : count;
        item.width = Number();
        if (item.width < 0 || !Eat('.')) return false;
        item.decimals = Number();
        if (item.decimals < 0) return false;
        if (item.kind == Kind::kExp && (item.decimals == 0 || item.width == 0)) return false;
        if (item.kind == Kind::kGeneral && item.width == 0) return false;
        if (c != 'f' && c != 'd' && Peek() == 'e') {
          ++pos_;
          item.exponent = Number();
          if (item.exponent <= 0) return false;
        }
        return true;
      case 'a':
        item.kind = Kind::kText;
        item.repeat = count < 0 ? 1 : count;
        item.width = Number();
        if (item.width == -2 || item.width == 0) return false;
        return true;
      case 'x':
        item.kind = Kind::kSkip;
        item.width = count < 0 ? 1 : count;
        return true;
      case 't': {
        if (count >= 0) return false;
        Kind kind = Kind::kTab;
        if (Peek() == 'l') {
          ++pos_;
          kind = Kind::kTabLeft;
        } else if (Peek() == 'r') {
          ++pos_;
          kind = Kind::kTabRight;
        }
        item.kind = kind;
        item.width = Number();
        if (item.width < 0 || (kind == Kind::kTab && item.width == 0)) return false;
        return true;
      }
      default:
        return false;
    }
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

// Index of the top-level item at which a format reverts: its last group
// (with that group's repeat count), or the start when it has none.
std::size_t RevertIndex(const std::vector<Item>& items) {
  for (std::size_t i = items.size(); i-- > 0;) {
    if (items[i].kind == Kind::kGroup) return i;
  }
  return 0;
}

// ------------------------------------------------------------- the walker

// Walks the items of a format for a reader or writer `h`:
//   h.HasMore()      whether values remain; at a data descriptor or ":"
//                    without one the walk stops there
//   h.Data(item)     edits one value (false: failure)
//   h.Other(item)    X, T, TL, TR, "/", literals
//   h.NewRecord()    the record change at reversion
//   h.NoData()       values remain but the reverted list has no data item
enum class Flow { kGo, kStop, kFail };

// Items a walk may pass without a value: "(100000(100000x),i4)" is a
// well-formed format that would otherwise keep a reader busy for hours.
constexpr long kStepBudget = 10000000;

template <typename Handler>
Flow WalkList(const std::vector<Item>& items, std::size_t first, Handler& h, long& budget) {
  for (std::size_t i = first; i < items.size(); ++i) {
    const Item& item = items[i];
    if (--budget < 0) return Flow::kFail;
    if (item.kind == Kind::kGroup) {
      for (int r = 0; r < item.repeat; ++r) {
        Flow f = WalkList(item.items, 0, h, budget);
        if (f != Flow::kGo) return f;
      }
      continue;
    }
    if (IsDataKind(item.kind)) {
      for (int r = 0; r < item.repeat; ++r) {
        if (!h.HasMore()) return Flow::kStop;
        if (!h.Data(item)) return Flow::kFail;
      }
      continue;
    }
    if (item.kind == Kind::kColon) {
      if (!h.HasMore()) return Flow::kStop;
      continue;
    }
    if (!h.Other(item)) return Flow::kFail;
  }
  return Flow::kGo;
}

template <typename Handler>
bool Walk(const std::vector<Item>& items, Handler& h) {
  const std::size_t revert = RevertIndex(items);
  const bool revert_has_data = HasData(items, revert);
  std::size_t first = 0;
  long budget = kStepBudget + static_cast<long>(std::min<std::size_t>(h.Count(), kStepBudget));
  for (;;) {
    Flow f = WalkList(items, first, h, budget);
    if (f == Flow::kFail) return false;
    if (f == Flow::kStop || !h.HasMore()) return true;
    if (!revert_has_data) return h.NoData();
    if (!h.NewRecord()) return false;
    first = revert;
  }
}

// ---------------------------------------------------------------- reading

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Numeric field without its blanks.
std::string Squeezed(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  for (char c : field) {
    if (c != ' ') out.push_back(c);
  }
  return out;
}

// Integer field: optional sign, then digits; blank field is 0.
bool ConvertInt(std::string_view field, int& value) {
  std::string s = Squeezed(field);
  if (s.empty()) {
    value = 0;
    return true;
  }
  std::size_t i = 0;
  bool negative = false;
  if (s[0] == '+' || s[0] == '-') {
    negative = s[0] == '-';
    ++i;
  }
  if (i == s.size()) return false;
  std::int64_t v = 0;
  for (; i < s.size(); ++i) {
    if (!IsDigit(s[i])) return false;
    v = v * 10 + (s[i] - '0');
    if (v > 2147483648LL) return false;
  }
  if (negative) v = -v;
  if (v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min()) return false;
  value = static_cast<int>(v);
  return true;
}

// Real field under Fw.d (also E, D, G): sign? digits [. digits] [exponent],
// exponent being E/D followed by an optional sign, or a bare sign, then
// digits. Without a point the last d digits are decimals. The decimal text is
// converted once, correctly rounded, to the target's own type.
template <typename T>
bool ConvertReal(std::string_view field, int decimals, T& value) {
  std::string s = Squeezed(field);
  if (s.empty()) {
    value = T(0);
    return true;
  }
  std::size_t i = 0;
  bool negative = false;
  if (s[i] == '+' || s[i] == '-') negative = s[i++] == '-';
  std::string digits;  // mantissa digits, point removed
  int point_shift = 0;  // digits after the point
  bool have_point = false;
  for (; i < s.size(); ++i) {
    char c = s[i];
    if (IsDigit(c)) {
      digits.push_back(c);
      if (have_point) ++point_shift;
    } else if (c == '.' && !have_point) {
      have_point = true;
    } else {
      break;
    }
  }
  if (digits.empty()) return false;
  long exponent = 0;
  if (i < s.size()) {
    char c = s[i];
    if (c == 'e' || c == 'E' || c == 'd' || c == 'D') {
      ++i;
    } else if (c != '+' && c != '-') {
      return false;
    }
    bool exp_negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) exp_negative = s[i++] == '-';
    std::size_t exp_digits = 0;
    for (; i < s.size() && IsDigit(s[i]); ++i, ++exp_digits) {
      if (exponent < 1000000) exponent = exponent * 10 + (s[i] - '0');
    }
    if (exp_digits == 0 || i != s.size()) return false;
    if (exp_negative) exponent = -exponent;
  }
  if (!have_point) point_shift = decimals;
  long scale = exponent - point_shift;
  // Leading zeros do not count towards the magnitude.
  std::size_t lead = digits.find_first_not_of('0');
  if (lead == std::string::npos) {
    value = negative ? -T(0) : T(0);
    return true;
  }
  std::string text = digits.substr(lead) + "e" + std::to_string(scale);
  long magnitude = static_cast<long>(digits.size() - lead) + scale;  // value < 10^magnitude
  T v{};
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v, std::chars_format::scientific);
  if (ec == std::errc::result_out_of_range) {
    if (magnitude > 0) return false;  // overflow
    v = T(0);                          // underflow
  } else if (ec != std::errc() || ptr != text.data() + text.size()) {
    return false;
  }
  value = negative ? -v : v;
  return true;
}

// The record position after an X, T, TL or TR item (0-based column).
std::size_t MovedPosition(const Item& item, std::size_t pos) {
  const std::size_t width = static_cast<std::size_t>(item.width);
  switch (item.kind) {
    case Kind::kTab:
      return width - 1;
    case Kind::kTabLeft:
      return pos > width ? pos - width : 0;
    default:  // X and TR
      return pos + width;
  }
}

class RecordReader {
 public:
  RecordReader(RecordSource& source, std::span<const ReadTarget> targets) : source_(source), targets_(targets) {}

  ReadStatus Run(const std::vector<Item>& items) {
    if (!Fetch()) return ReadStatus::kEnd;
    bool ok = Walk(items, *this);
    return ok ? ReadStatus::kOk : status_;
  }

  bool HasMore() const { return next_ < targets_.size(); }
  std::size_t Count() const { return targets_.size(); }

  bool Data(const Item& item) {
    const ReadTarget& target = targets_[next_++];
    if (item.kind == Kind::kText) {
      auto* text = std::get_if<std::string*>(&target);
      if (text == nullptr) return Fail(ReadStatus::kError);
      std::string& dst = **text;
      std::size_t len = dst.size();
      std::size_t w = item.width < 0 ? len : static_cast<std::size_t>(item.width);
      std::string field = Field(w);
      if (w >= len) {
        dst.assign(field, w - len, len);
      } else {
        dst = field;
        dst.resize(len, ' ');
      }
      return true;
    }
    if (item.width <= 0) return Fail(ReadStatus::kError);
    std::string field = Field(static_cast<std::size_t>(item.width));
    if (item.kind == Kind::kInt) {
      auto* p = std::get_if<int*>(&target);
      if (p == nullptr) return Fail(ReadStatus::kError);
      return ConvertInt(field, **p) || Fail(ReadStatus::kError);
    }
    if (auto* p = std::get_if<float*>(&target)) {
      return ConvertReal(field, item.decimals, **p) || Fail(ReadStatus::kError);
    }
    if (auto* p = std::get_if<double*>(&target)) {
      return ConvertReal(field, item.decimals, **p) || Fail(ReadStatus::kError);
    }
    if (item.kind == Kind::kGeneral) {  // G reads integers as I does
      if (auto* p = std::get_if<int*>(&target)) return ConvertInt(field, **p) || Fail(ReadStatus::kError);
    }
    return Fail(ReadStatus::kError);
  }

  bool Other(const Item& item) {
    switch (item.kind) {
      case Kind::kSkip:
      case Kind::kTabRight:
      case Kind::kTab:
      case Kind::kTabLeft:
        pos_ = MovedPosition(item, pos_);
        return true;
      case Kind::kSlash:
        for (int r = 0; r < item.repeat; ++r) {
          if (!NewRecord()) return false;
        }
        return true;
      default:  // a literal has no meaning in a read
        return Fail(ReadStatus::kError);
    }
  }

  bool NewRecord() { return Fetch() || Fail(ReadStatus::kEnd); }
  bool NoData() { return Fail(ReadStatus::kError); }

 private:
  bool Fetch() {
    std::optional<std::string> next = source_.NextRecord();
    if (!next) return false;
    record_ = std::move(*next);
    pos_ = 0;
    return true;
  }
  bool Fail(ReadStatus s) {
    status_ = s;
    return false;
  }
  // The next w characters, blank-padded beyond the record's end.
  std::string Field(std::size_t w) {
    std::string field;
    if (pos_ < record_.size()) field = record_.substr(pos_, w);
    field.resize(w, ' ');
    pos_ += w;
    return field;
  }

  RecordSource& source_;
  std::span<const ReadTarget> targets_;
  std::size_t next_ = 0;
  std::string record_;
  std::size_t pos_ = 0;
  ReadStatus status_ = ReadStatus::kError;
};

class TextSource : public RecordSource {
 public:
  explicit TextSource(std::string_view text) : text_(text) {}
  std::optional<std::string> NextRecord() override {
    if (done_) return std::nullopt;
    done_ = true;
    return std::string(text_);
  }

 private:
  std::string_view text_;
  bool done_ = false;
};

// ---------------------------------------------------------------- writing

std::string Stars(int w) { return std::string(static_cast<std::size_t>(w < 1 ? 1 : w), '*'); }

// Right-justifies `s` in w columns (w 0: as it is); asterisks when too wide.
std::string Justify(const std::string& s, int w) {
  if (w == 0) return s;
  if (s.size() > static_cast<std::size_t>(w)) return Stars(w);
  return std::string(static_cast<std::size_t>(w) - s.size(), ' ') + s;
}

std::string Printf(const char* format, int precision, double value) {
  char small[64];
  int n = std::snprintf(small, sizeof small, format, precision, value);
  if (n < 0) return std::string();
  if (static_cast<std::size_t>(n) < sizeof small) return std::string(small, static_cast<std::size_t>(n));
  std::string big(static_cast<std::size_t>(n) + 1, '\0');
  std::snprintf(big.data(), big.size(), format, precision, value);
  big.resize(static_cast<std::size_t>(n));
  return big;
}

std::string NonFinite(double v, int w) {
  if (std::isnan(v)) return Justify("NaN", w == 0 ? 3 : w);
  bool negative = std::signbit(v);
  if (w == 0) return negative ? "-Infinity" : "Infinity";
  if (w >= (negative ? 9 : 8)) return Justify(negative ? "-Infinity" : "Infinity", w);
  if (w >= (negative ? 4 : 3)) return Justify(negative ? "-Inf" : "Inf", w);
  return Stars(w);
}

// Fw.d of v: the exact binary value rounded to d decimals, ties to even.
std::string FormatFixed(double v, int w, int d) {
  if (!std::isfinite(v)) return NonFinite(v, w);
  bool negative = std::signbit(v);
  std::string digits = FixedDigits(std::fabs(v), d);
  std::string s = negative ? "-" + digits : digits;
  bool can_drop = d > 0 && digits.size() > 1 && digits[0] == '0' && digits[1] == '.';
  if (can_drop && (w == 0 || s.size() > static_cast<std::size_t>(w))) {
    s = negative ? "-" + digits.substr(1) : digits.substr(1);
  }
  return Justify(s, w);
}

// Ew.dEe / Dw.dEe: 0.ddddE+xx.
std::string FormatExp(double v, int w, int d, int e, char letter) {
  if (!std::isfinite(v)) return NonFinite(v, w);
  bool negative = std::signbit(v);
  std::string digits(static_cast<std::size_t>(d), '0');
  long exponent = 0;
  if (v != 0.0) {
    std::string sci = Printf("%.*e", d - 1, std::fabs(v));  // d.ddd e+XX
    std::size_t epos = sci.find('e');
    digits.clear();
    for (std::size_t i = 0; i < epos; ++i) {
      if (sci[i] != '.') digits.push_back(sci[i]);
    }
    exponent = std::strtol(sci.c_str() + epos + 1, nullptr, 10) + 1;
  }
  long magnitude = exponent < 0 ? -exponent : exponent;
  std::string exp_digits = std::to_string(magnitude);
  std::string exp_part;
  char sign = exponent < 0 ? '-' : '+';
  if (e > 0) {
    if (exp_digits.size() > static_cast<std::size_t>(e)) return Stars(w);
    exp_part = std::string(1, letter) + sign + std::string(static_cast<std::size_t>(e) - exp_digits.size(), '0') + exp_digits;
  } else if (magnitude <= 99) {
    exp_part = std::string(1, letter) + sign + (magnitude < 10 ? "0" : "") + exp_digits;
  } else if (magnitude <= 999) {
    exp_part = std::string(1, sign) + exp_digits;
  } else {
    return Stars(w);
  }
  std::string body = "0." + digits + exp_part;
  std::string s = (negative ? "-" : "") + body;
  if (s.size() > static_cast<std::size_t>(w)) s = (negative ? "-" : "") + body.substr(1);
  return Justify(s, w);
}

// Gw.dEe: F editing with d significant digits and trailing blanks when the
// rounded value lies in [0.1, 10^d), otherwise E editing.
std::string FormatGeneral(double v, int w, int d, int e) {
  if (!std::isfinite(v)) return NonFinite(v, w);
  int n = e > 0 ? e + 2 : 4;
  if (w - n < 1) return Stars(w);
  if (v == 0.0) {  // zero: F(w-n).(d-1)
    if (d == 0) return Justify("0", w);
    std::string f = FormatFixed(v, w - n, d - 1);
    if (f.find('*') != std::string::npos) return Stars(w);
    return f + std::string(static_cast<std::size_t>(n), ' ');
  }
  if (d == 0) return FormatExp(v, w, 1, e, 'E');
  // k: decimal exponent of the rounded value, 10^(k-1) <= |v| < 10^k
  std::string sci = Printf("%.*e", d - 1, std::fabs(v));
  int k = static_cast<int>(std::strtol(sci.c_str() + sci.find('e') + 1, nullptr, 10)) + 1;
  if (k < 0 || k > d) return FormatExp(v, w, d, e, 'E');
  std::string f = FormatFixed(v, w - n, d - k);
  if (f.find('*') != std::string::npos) return Stars(w);
  return f + std::string(static_cast<std::size_t>(n), ' ');
}

std::string FormatInt(long long v, int w, int m) {
  if (m < 0) {
    std::string s;
    AppendInt(s, v, w);
    return s;
  }
  std::string digits = std::to_string(v < 0 ? -v : v);
  if (m == 0 && v == 0) digits.clear();
  if (digits.size() < static_cast<std::size_t>(m)) digits.insert(0, static_cast<std::size_t>(m) - digits.size(), '0');
  std::string s = (v < 0 ? "-" : "") + digits;
  if (w == 0 && s.empty()) s = " ";
  return Justify(s, w);
}

class RecordWriter {
 public:
  explicit RecordWriter(std::span<const WriteValue> values) : values_(values) {}

  std::string Run(const std::vector<Item>& items) {
    if (!Walk(items, *this)) return std::string();
    std::string out;
    for (const std::string& r : records_) {
      out += r;
      out.push_back('\n');
    }
    out += record_;
    return out;
  }

  bool HasMore() const { return next_ < values_.size(); }
  std::size_t Count() const { return values_.size(); }

  bool Data(const Item& item) {
    const WriteValue& value = values_[next_++];
    return Put(Edit(item, value));
  }

  bool Other(const Item& item) {
    switch (item.kind) {
      case Kind::kSkip:
      case Kind::kTabRight:
      case Kind::kTab:
      case Kind::kTabLeft:
        pos_ = MovedPosition(item, pos_);
        return true;
      case Kind::kSlash:
        for (int r = 0; r < item.repeat; ++r) {
          if (!NewRecord()) return false;
        }
        return true;
      case Kind::kLiteral:
        return Put(item.text);
      default:
        return false;
    }
  }

  bool NewRecord() {
    if (records_.size() >= kMaxRecords) return false;
    records_.push_back(std::move(record_));
    record_.clear();
    pos_ = 0;
    return true;
  }
  bool NoData() { return false; }

 private:
  static std::string Edit(const Item& item, const WriteValue& value) {
    const int w = item.width;
    if (item.kind == Kind::kText) {
      const auto* s = std::get_if<std::string_view>(&value);
      if (s == nullptr) return Stars(w < 0 ? 1 : w);
      if (w < 0) return std::string(*s);
      if (s->size() >= static_cast<std::size_t>(w)) return std::string(s->substr(0, static_cast<std::size_t>(w)));
      return std::string(static_cast<std::size_t>(w) - s->size(), ' ') + std::string(*s);
    }
    if (item.kind == Kind::kInt) {
      const auto* i = std::get_if<int>(&value);
      if (i == nullptr) return Stars(w);
      return FormatInt(*i, w, item.decimals);
    }
    double v;
    if (const auto* f = std::get_if<float>(&value)) {
      v = static_cast<double>(*f);  // exact
    } else if (const auto* d = std::get_if<double>(&value)) {
      v = *d;
    } else if (item.kind == Kind::kGeneral) {
      if (const auto* i = std::get_if<int>(&value)) return FormatInt(*i, w, -1);
      const auto& s = std::get<std::string_view>(value);
      if (s.size() >= static_cast<std::size_t>(w)) return std::string(s.substr(0, static_cast<std::size_t>(w)));
      return std::string(static_cast<std::size_t>(w) - s.size(), ' ') + std::string(s);
    } else {
      return Stars(w);
    }
    switch (item.kind) {
      case Kind::kFixed:
        return FormatFixed(v, w, item.decimals);
      case Kind::kExp:
        return FormatExp(v, w, item.decimals, item.exponent, item.letter);
      default:
        return FormatGeneral(v, w, item.decimals, item.exponent);
    }
  }

  bool Put(const std::string& s) {
    if (pos_ + s.size() > kMaxRecord) return false;
    if (record_.size() < pos_) record_.resize(pos_, ' ');
    record_.replace(pos_, std::min(s.size(), record_.size() - pos_), s);
    pos_ += s.size();
    return true;
  }

  std::span<const WriteValue> values_;
  std::size_t next_ = 0;
  std::vector<std::string> records_;
  std::string record_;
  std::size_t pos_ = 0;
};

}  // namespace

std::string FixedDigits(double a, int d) {
  constexpr std::array<std::uint64_t, 10> kPow10 = {1,         10,         100,         1000,         10000,
                                                    100000,    1000000,    10000000,    100000000,    1000000000};
  if (!(a >= 0.0 && a < 1e9) || d < 0 || d > 9) return Printf("%#.*f", d, a);
  // a = M 2^-s with M an odd integer of at most 53 bits (or 0), so
  // a 10^d = P 2^-s with P = M 10^d, rounded to an integer q exactly when P
  // fits in 64 bits (always for values that were floats).
  int e = 0;
  const double m = std::frexp(a, &e);  // a = m 2^e, 0.5 <= m < 1 (m = 0 for 0)
  auto M = static_cast<std::uint64_t>(std::ldexp(m, 53));
  int s = 53 - e;
  if (M != 0) {
    const int zeros = std::countr_zero(M);
    M >>= zeros;
    s -= zeros;
  }
  std::uint64_t P = 0;
  if (__builtin_mul_overflow(M, kPow10[static_cast<std::size_t>(d)], &P)) return Printf("%#.*f", d, a);
  std::uint64_t q = 0;
  if (s <= 0) {
    q = P << -s;  // an integer below 1e9 times 10^d: below 2^60
  } else if (s < 64) {
    q = P >> s;
    const std::uint64_t rest = P - (q << s);
    const std::uint64_t half = std::uint64_t{1} << (s - 1);
    if (rest > half || (rest == half && (q & 1u) != 0)) ++q;
  } else if (s == 64) {
    q = P > (std::uint64_t{1} << 63) ? 1 : 0;  // a tie goes to the even 0
  }  // s > 64: a 10^d = P 2^-s is below 1/2, and q is 0
  const std::uint64_t unit = kPow10[static_cast<std::size_t>(d)];
  char text[32];
  char* end = std::to_chars(text, text + sizeof text, q / unit).ptr;
  *end++ = '.';
  const std::uint64_t fraction = q % unit;
  for (int k = d - 1; k >= 0; --k) {
    end[k] = static_cast<char>('0' + fraction / kPow10[static_cast<std::size_t>(d - 1 - k)] % 10);
  }
  end += d;
  return std::string(text, static_cast<std::size_t>(end - text));
}

void AppendInt(std::string& record, long long v, int w) {
  char digits[24];
  const std::to_chars_result r = std::to_chars(digits, digits + sizeof digits, v);
  const std::size_t n = static_cast<std::size_t>(r.ptr - digits);
  if (w == 0) {
    record.append(digits, n);
  } else if (n > static_cast<std::size_t>(w)) {
    record.append(static_cast<std::size_t>(w), '*');
  } else {
    record.append(static_cast<std::size_t>(w) - n, ' ');
    record.append(digits, n);
  }
}

// ------------------------------------------------------------------ Format

Format::Format() : items_(new std::vector<Item>) {}
Format::Format(const Format& other) : items_(new std::vector<Item>(*other.items_)) {}
Format& Format::operator=(const Format& other) {
  if (this != &other) *items_ = *other.items_;
  return *this;
}
Format::Format(Format&& other) noexcept : items_(other.items_) { other.items_ = nullptr; }
Format& Format::operator=(Format&& other) noexcept {
  std::swap(items_, other.items_);
  return *this;
}
Format::~Format() { delete items_; }

std::optional<Format> Format::Parse(std::string_view text) {
  Format format;
  Parser parser(text);
  if (!parser.ParseAll(*format.items_)) return std::nullopt;
  return format;
}

ReadStatus Read(const Format& format, RecordSource& source, std::span<const ReadTarget> targets) {
  RecordReader reader(source, targets);
  return reader.Run(format.items());
}

ReadStatus Read(std::string_view format, RecordSource& source, std::span<const ReadTarget> targets) {
  std::optional<Format> parsed = Format::Parse(format);
  if (!parsed) return ReadStatus::kError;
  return Read(*parsed, source, targets);
}

ReadStatus ReadText(const Format& format, std::string_view text, std::span<const ReadTarget> targets) {
  TextSource source(text);
  return Read(format, source, targets);
}

ReadStatus ReadText(std::string_view format, std::string_view text, std::span<const ReadTarget> targets) {
  TextSource source(text);
  return Read(format, source, targets);
}

std::string Write(const Format& format, std::span<const WriteValue> values) {
  RecordWriter writer(values);
  return writer.Run(format.items());
}

std::string Write(std::string_view format, std::span<const WriteValue> values) {
  std::optional<Format> parsed = Format::Parse(format);
  if (!parsed) return std::string();
  return Write(*parsed, values);
}

}  // namespace common::fmt
