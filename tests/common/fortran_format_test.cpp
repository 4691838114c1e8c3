// Edit-descriptor reading and writing.
//
// Write cases: every expected string in fortran_format_write_cases.inc was
// printed by fortran_format_reference.f90 built with GNU Fortran 12.2.0 (see
// fortran_format_cases.py for how). Read cases: the values follow the rules of
// formatted input; where a rule is a compiler's choice (implied decimals,
// embedded blanks, bare-sign exponents) the same field was read by gfortran.
// Where this program is deliberately stricter than gfortran ("inf", "nan", a
// lone sign, overflow) the test says so.
#include "common/fortran_format.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

namespace common::fmt {
namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

struct WriteCase {
  const char* format;
  std::vector<WriteValue> values;
  const char* expected;
};

TEST(FortranFormatWrite, MatchesReferenceCompiler) {
  const WriteCase cases[] = {
#include "fortran_format_write_cases.inc"
  };
  ASSERT_GT(std::size(cases), 90u);
  for (const WriteCase& c : cases) {
    EXPECT_EQ(Write(c.format, c.values), c.expected) << "format " << c.format;
  }
}

// The C library's "%#.*f" of the same value.
std::string LibraryFixed(double a, int d) {
  char text[512];
  std::snprintf(text, sizeof text, "%#.*f", d, a);
  return text;
}

// Fixed-point digits worked out in integers are the C library's to the
// last character: every float bit pattern of a stride through all of
// them, random doubles, exact ties (rounded to even), integers, the
// bounds of the integer path and values beyond it, for 0 to 12 decimals.
TEST(FortranFormatWrite, FixedDigitsAreTheLibrarysDigits) {
  std::vector<double> values = {0.0, 0.5, 1.5, 2.5, 0.125, 0.375, 1e9, 999999999.5, 999999999.4999999,
                                std::nextafter(1e9, 0.0), 4.0e9, 1e20, 1e300,
                                std::numeric_limits<double>::denorm_min(), std::numeric_limits<float>::denorm_min(),
                                std::numeric_limits<float>::max(), 5e-10, 4.9999999999e-10, 0.05, 0.005, 0.0005};
  for (std::uint32_t bits = 0; bits < 0x7f800000u; bits += 131071u) values.push_back(std::bit_cast<float>(bits));
  std::uint64_t state = 12345;
  for (int k = 0; k < 10000; ++k) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    const double v = std::bit_cast<double>(state >> 1);  // not negative
    if (std::isfinite(v)) values.push_back(v);
    values.push_back(std::ldexp(static_cast<double>(state >> 11), -static_cast<int>(state % 80)));
  }
  for (int d = 0; d <= 9; ++d) {
    for (int j = 0; j < 2000; ++j) values.push_back(std::ldexp(2.0 * j + 1.0, -(d + 1)));  // a 10^d ends in .5
  }
  for (int d = 0; d <= 12; ++d) {
    for (double v : values) {
      ASSERT_EQ(FixedDigits(v, d), LibraryFixed(v, d)) << std::hexfloat << v << " d=" << d;
    }
  }
}

TEST(FortranFormatWrite, PreParsedFormatGivesTheSameRecords) {
  std::optional<Format> f = Format::Parse("(a8,i4,10i6)");
  ASSERT_TRUE(f.has_value());
  Format copy = *f;
  EXPECT_EQ(Print("(a8,i4,10i6)", std::string_view("X"), 1900, 1, 2), "       X1900     1     2");
  const WriteValue values[] = {std::string_view("X"), 1900, 1, 2};
  EXPECT_EQ(Write(copy, values), "       X1900     1     2");
}

TEST(FortranFormatWrite, MalformedFormatGivesEmptyText) {
  EXPECT_EQ(Print("(i4", 5), "");
  EXPECT_EQ(Print("i4", 5), "");
  EXPECT_EQ(Print("(q4)", 5), "");
  EXPECT_EQ(Print("(f8)", 1.0f), "");
  EXPECT_EQ(Print("(i4,,i4)", 1, 2), "");
  EXPECT_EQ(Print("(0i4)", 1), "");
  EXPECT_EQ(Print("(e10.0)", 1.0f), "");
  EXPECT_EQ(Print("('abc)"), "");
  EXPECT_EQ(Print("(i4) junk", 1), "");
  // values remaining with nothing in the format to print them
  EXPECT_EQ(Print("('x')", 1), "");
}

TEST(FortranFormatWrite, LiteralsOnlyAndTrailingItemsAfterTheLastValue) {
  EXPECT_EQ(Print("(' total')"), " total");
  EXPECT_EQ(Print("(i3,' years',i3)", 5), "  5 years");
  EXPECT_EQ(Print("()"), "");
  EXPECT_EQ(Print("(i2/)", 1), " 1\n");
}

TEST(FortranFormatWrite, CaseAndBlanksInTheFormatDoNotMatter) {
  EXPECT_EQ(Print(" ( I 4 , 2X, F6 .2 ) ", 12, 1.5f), "  12    1.50");
  EXPECT_EQ(Print("(A,TR1,A)", std::string_view("a"), std::string_view("b")), "a b");
}

TEST(FortranFormatWrite, MismatchedValueFillsItsFieldWithAsterisks) {
  EXPECT_EQ(Print("(i4)", 1.5f), "****");
  EXPECT_EQ(Print("(f6.2)", 3), "******");
}

TEST(FortranFormatWrite, FloatIsPrintedFromItsOwnValue) {
  // 0.3f is 0.300000011920928955078125; as a double 0.3 is below 0.3.
  EXPECT_EQ(Print("(f12.9)", 0.3f), " 0.300000012");
  EXPECT_EQ(Print("(f12.9)", 0.3), " 0.300000000");
  // 1.115 as a double is below the tie and rounds down; as a float above it.
  EXPECT_EQ(Print("(f5.2)", 1.115), " 1.11");
  EXPECT_EQ(Print("(f5.2)", 1.115f), " 1.12");
}

// ---------------------------------------------------------------- reading

float ReadF(std::string_view format, std::string_view text, ReadStatus expect = ReadStatus::kOk) {
  float x = -77.0f;
  EXPECT_EQ(ReadFrom(format, text, &x), expect) << format << " of [" << text << "]";
  return x;
}

int ReadI(std::string_view format, std::string_view text, ReadStatus expect = ReadStatus::kOk) {
  int x = -77;
  EXPECT_EQ(ReadFrom(format, text, &x), expect) << format << " of [" << text << "]";
  return x;
}

TEST(FortranFormatRead, ImpliedDecimalsAndEmbeddedBlanks) {
  EXPECT_EQ(ReadF("(f7.3)", "   1234"), 1.234f);
  EXPECT_EQ(ReadF("(f7.3)", "  12 34"), 1.234f);
  EXPECT_EQ(ReadF("(f7.3)", "  -1 2.5"), -12.0f);  // field is "  -1 2."
  EXPECT_EQ(ReadF("(f7.3)", "12.5"), 12.5f);
  EXPECT_EQ(ReadF("(f7.0)", "1234"), 1234.0f);
  EXPECT_EQ(ReadF("(f4.2)", "-005"), -0.05f);
  EXPECT_EQ(ReadI("(i5)", " 1 2 "), 12);
  EXPECT_EQ(ReadI("(i6)", "  -42"), -42);
  EXPECT_EQ(ReadI("(i6)", "+42"), 42);
}

TEST(FortranFormatRead, BlankOrShortFieldReadsZero) {
  EXPECT_EQ(ReadF("(f7.3)", ""), 0.0f);
  EXPECT_EQ(ReadF("(f7.3)", "       "), 0.0f);
  EXPECT_EQ(ReadI("(i4)", "    "), 0);
  int a = -1, b = -1;
  EXPECT_EQ(ReadFrom("(2i4)", "   7", &a, &b), ReadStatus::kOk);
  EXPECT_EQ(a, 7);
  EXPECT_EQ(b, 0);
}

TEST(FortranFormatRead, ExponentForms) {
  EXPECT_EQ(ReadF("(f7.2)", "1.5d2"), 150.0f);
  EXPECT_EQ(ReadF("(f7.2)", "1.5+2"), 150.0f);
  EXPECT_EQ(ReadF("(f7.2)", "1.5-1"), 0.15f);
  EXPECT_EQ(ReadF("(f7.2)", "15e1"), 1.5f);  // implied decimals, then the exponent
  EXPECT_EQ(ReadF("(f9.2)", "1.5 e 2"), 150.0f);
  EXPECT_EQ(ReadF("(e7.2)", "1.5E3"), 1500.0f);
  EXPECT_EQ(ReadF("(e7.2)", "15"), 0.15f);
  EXPECT_EQ(ReadF("(g9.3)", "  2.5E-1"), 0.25f);
}

TEST(FortranFormatRead, ConversionErrorsAreErrorsNotPartialValues) {
  for (const char* bad : {"12abc", "0x10", "1.5e", "1.5e+", "1e", "1..2", "--1", "1.2.3", "e5", "12 .5x"}) {
    ReadF("(f9.2)", bad, ReadStatus::kError);
  }
  // Stricter than gfortran, which reads these as Infinity, NaN, or 0.
  for (const char* bad : {"inf", "nan", "Infinity", "-", "+", ".", "1e99", "1d400"}) {
    ReadF("(f9.2)", bad, ReadStatus::kError);
  }
  for (const char* bad : {"12.5", "-", "+", "12abc", "0x10", "1e3", "99999999999", "2147483648"}) {
    ReadI("(i12)", bad, ReadStatus::kError);
  }
  EXPECT_EQ(ReadI("(i12)", "2147483647"), 2147483647);
  EXPECT_EQ(ReadI("(i12)", "-2147483648"), std::numeric_limits<int>::min());
}

TEST(FortranFormatRead, UnderflowReadsZero) {
  EXPECT_EQ(ReadF("(f9.2)", "1e-99"), 0.0f);
  double d = -1.0;
  EXPECT_EQ(ReadFrom("(f12.2)", "1.5e-400", &d), ReadStatus::kOk);
  EXPECT_EQ(d, 0.0);
}

TEST(FortranFormatRead, RealIsCorrectlyRoundedToItsOwnType) {
  float f = 0.0f;
  double d = 0.0;
  // 0.1 read straight to float, not through double.
  EXPECT_EQ(ReadFrom("(f5.1)", "0.1", &f), ReadStatus::kOk);
  EXPECT_EQ(f, 0.1f);
  EXPECT_EQ(ReadFrom("(f25.0)", "1.00000005960464477539063", &f), ReadStatus::kOk);
  EXPECT_EQ(f, std::nextafter(1.0f, 2.0f));  // just above the tie, rounds up
  EXPECT_EQ(ReadFrom("(f20.3)", "123456789012", &d), ReadStatus::kOk);
  EXPECT_EQ(d, 123456789.012);
}

TEST(FortranFormatRead, TextFields) {
  std::string t(12, '?');
  EXPECT_EQ(ReadFrom("(a4)", "abcdefgh", &t), ReadStatus::kOk);
  EXPECT_EQ(t, "abcd        ");
  EXPECT_EQ(ReadFrom("(a14)", "abcdefghijklmnopq", &t), ReadStatus::kOk);
  EXPECT_EQ(t, "cdefghijklmn");  // the rightmost characters
  EXPECT_EQ(ReadFrom("(a)", "abc", &t), ReadStatus::kOk);
  EXPECT_EQ(t, "abc         ");
  std::string id(8, ' ');
  int year = 0;
  EXPECT_EQ(ReadFrom("(a8,i4)", "ABC01A  1901", &id, &year), ReadStatus::kOk);
  EXPECT_EQ(id, "ABC01A  ");
  EXPECT_EQ(year, 1901);
}

TEST(FortranFormatRead, Positioning) {
  float x = 0.0f;
  int i = 0;
  EXPECT_EQ(ReadFrom("(2x,f4.2,tl2,i3)", "  12345678", &x, &i), ReadStatus::kOk);
  EXPECT_EQ(x, 12.34f);
  EXPECT_EQ(i, 345);
  EXPECT_EQ(ReadFrom("(t6,i2,t1,i3)", "12345678", &i, &x), ReadStatus::kError);  // i3 into a float
  int a = 0, b = 0;
  EXPECT_EQ(ReadFrom("(t6,i2,t1,i3)", "12345678", &a, &b), ReadStatus::kOk);
  EXPECT_EQ(a, 67);
  EXPECT_EQ(b, 123);
  EXPECT_EQ(ReadFrom("(tr3,i2,tl10,i1)", "12345678", &a, &b), ReadStatus::kOk);
  EXPECT_EQ(a, 45);
  EXPECT_EQ(b, 1);
}

class Lines : public RecordSource {
 public:
  explicit Lines(std::vector<std::string> lines) : lines_(std::move(lines)) {}
  std::optional<std::string> NextRecord() override {
    if (next_ >= lines_.size()) return std::nullopt;
    return lines_[next_++];
  }
  std::size_t next() const { return next_; }

 private:
  std::vector<std::string> lines_;
  std::size_t next_ = 0;
};

TEST(FortranFormatRead, RecordsAndReversion) {
  Lines lines({"   1   2", "   3   4", "   5", "   9"});
  std::vector<int> v(5, -1);
  std::vector<ReadTarget> targets;
  for (int& x : v) targets.emplace_back(&x);
  EXPECT_EQ(Read("(2i4)", lines, targets), ReadStatus::kOk);
  EXPECT_EQ(v, (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(lines.next(), 3u);  // the rest of the third record is skipped
}

TEST(FortranFormatRead, ReversionToTheLastGroupWithItsRepeatCount) {
  Lines lines({"xx 1 2 3 4 5", " 6 7 8 9", "10"});
  std::string head(2, ' ');
  std::vector<int> v(9, -1);
  std::vector<ReadTarget> targets{&head};
  for (int& x : v) targets.emplace_back(&x);
  EXPECT_EQ(Read("(a2,2(i2,i2),i2)", lines, targets), ReadStatus::kOk);
  EXPECT_EQ(head, "xx");
  // first record: 1 2 3 4 | 5, then the group twice per record: 6 7 8 9, then 10
  EXPECT_EQ(v, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(lines.next(), 2u);
}

TEST(FortranFormatRead, SlashAndEndOfFile) {
  int a = 0, b = 0;
  EXPECT_EQ(ReadFrom("(i4/i4)", "12", &a, &b), ReadStatus::kEnd);
  EXPECT_EQ(a, 12);
  Lines lines({"  12", "  34"});
  const ReadTarget t[] = {&a, &b};
  EXPECT_EQ(Read("(i4/i4)", lines, t), ReadStatus::kOk);
  EXPECT_EQ(b, 34);
  Lines empty({});
  EXPECT_EQ(Read("(i4)", empty, std::span<const ReadTarget>(t, 1)), ReadStatus::kEnd);
  Lines one({"   1"});
  EXPECT_EQ(Read("(i4)", one, t), ReadStatus::kEnd);  // second value needs a second record
}

TEST(FortranFormatRead, NoTargetsStillTakesOneRecord) {
  Lines lines({"a", "b", "c"});
  EXPECT_EQ(Read("()", lines, {}), ReadStatus::kOk);
  EXPECT_EQ(lines.next(), 1u);
  EXPECT_EQ(Read("(/)", lines, {}), ReadStatus::kOk);
  EXPECT_EQ(lines.next(), 3u);
  EXPECT_EQ(Read("(a)", lines, {}), ReadStatus::kEnd);
}

TEST(FortranFormatRead, MalformedFormatIsAnErrorNeverACrash) {
  int a = 0;
  for (const char* bad : {"", "(", ")", "(i)", "(i4", "i4", "(i4))", "((i4)", "(f8)", "(f8.)", "(x4)", "(t0,i4)",
                          "(tl,i4)", "(0(i4))", "(i4,)", "(,i4)", "(q4)", "(i4;i4)", "(999999999i4)",
                          "(i99999999)", "(3t5)"}) {
    EXPECT_EQ(ReadFrom(bad, "1234", &a), ReadStatus::kError) << bad;
  }
  // A literal has no place in a read, and a list with nothing to read into loops no more.
  EXPECT_EQ(ReadFrom("('abc',i4)", "1234", &a), ReadStatus::kError);
  EXPECT_EQ(ReadFrom("(2x)", "1234", &a), ReadStatus::kError);
  EXPECT_EQ(ReadFrom("(i0)", "1234", &a), ReadStatus::kError);
}

TEST(FortranFormatRead, DeepNestingIsRefusedNotOverflowed) {
  std::string deep(100000, '(');
  deep += "i4";
  deep += std::string(100000, ')');
  int a = 0;
  EXPECT_EQ(ReadFrom(deep, "1234", &a), ReadStatus::kError);
  std::string ok = std::string(20, '(') + "i4" + std::string(20, ')');
  EXPECT_EQ(ReadFrom(ok, "1234", &a), ReadStatus::kOk);
  EXPECT_EQ(a, 1234);
}

TEST(FortranFormatRead, FormatsThatWouldRunForeverOrFillMemoryAreRefused) {
  int a = 0;
  EXPECT_EQ(ReadFrom("(99999(99999(99999x)),i4)", "1234", &a), ReadStatus::kError);
  EXPECT_EQ(Print("(99999(99999x),i4)", 5), "");
  EXPECT_EQ(Print("(99999(99999/),i4)", 5), "");
  // large but sensible ones still work
  EXPECT_EQ(ReadFrom("(1000(1000x),i4)", std::string(1000000, ' ') + "  42", &a), ReadStatus::kOk);
  EXPECT_EQ(a, 42);
  std::vector<float> many(6001, 0.0f);
  std::vector<ReadTarget> targets;
  for (float& v : many) targets.emplace_back(&v);
  std::string record;
  for (int k = 1; k <= 6001; ++k) record += "   1.5";
  EXPECT_EQ(ReadText("(6001f6.1)", record, targets), ReadStatus::kOk);
  EXPECT_EQ(many[6000], 1.5f);
}

TEST(FortranFormatRead, WriteThenReadGivesTheValuesBack) {
  const float values[] = {0.0f, 1.0f, -1.5f, 0.999f, 12.345f, -0.001f, 99.999f};
  for (float v : values) {
    std::string rec = Print("(f8.3)", v);
    float back = 1e9f;
    ASSERT_EQ(ReadFrom("(f8.3)", rec, &back), ReadStatus::kOk) << rec;
    EXPECT_EQ(back, std::nearbyint(v * 1000.0f) / 1000.0f) << rec;
  }
}

TEST(FortranFormatWrite, IntegerFieldAlone) {
  EXPECT_EQ(I(5, 42), "   42");
  EXPECT_EQ(I(4, -12), " -12");
  EXPECT_EQ(I(3, -123), "***");
  EXPECT_EQ(I(6, 0), "     0");
  EXPECT_EQ(I(0, -7), "-7");
  for (int v : {-99999, -1000, -1, 0, 7, 1234, 99999, 100000}) EXPECT_EQ(I(5, v), Print("(i5)", v)) << v;
}

}  // namespace
}  // namespace common::fmt
