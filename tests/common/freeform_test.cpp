// List-directed (free-form) items.
#include "common/freeform.h"

#include <gtest/gtest.h>

namespace common {
namespace {

TEST(FreeForm, ItemsSeparatedByBlanksOrCommas) {
  EXPECT_EQ(FreeItems("  12, 34  56,,7"), (std::vector<std::string>{"12", "34", "56", "7"}));
  EXPECT_TRUE(FreeItems("   ").empty());
  EXPECT_EQ(FreeItems("\t1900\t2000"), (std::vector<std::string>{"1900", "2000"}));
}

TEST(FreeForm, IntegerTakesSignAndDigitsOnly) {
  EXPECT_EQ(FreeIntItem("1900"), 1900);
  EXPECT_EQ(FreeIntItem("-45"), -45);
  EXPECT_EQ(FreeIntItem("+7"), 7);
  EXPECT_EQ(FreeIntItem("2147483647"), 2147483647);
  EXPECT_EQ(FreeIntItem("-2147483648"), -2147483647 - 1);
  for (const char* bad : {"12.5", "1e3", "12abc", "0x10", "", "-", "2147483648", "inf", " 5"}) {
    EXPECT_EQ(FreeIntItem(bad), std::nullopt) << bad;
  }
}

TEST(FreeForm, RealTakesPointsAndExponents) {
  EXPECT_EQ(FreeRealItem("1e-3"), 1e-3);
  EXPECT_EQ(FreeRealItem("1d-3"), 1e-3);
  EXPECT_EQ(FreeRealItem("1D+2"), 100.0);
  EXPECT_EQ(FreeRealItem(".5"), 0.5);
  EXPECT_EQ(FreeRealItem("5."), 5.0);
  EXPECT_EQ(FreeRealItem("-2.25"), -2.25);
  EXPECT_EQ(FreeRealItem("12"), 12.0);
  EXPECT_EQ(FreeRealItem("1.5+2"), 150.0);
}

TEST(FreeForm, RealRefusesWhatIsNotANumber) {
  for (const char* bad : {"inf", "nan", "Infinity", "0x10", "12abc", "", ".", "-", "1e", "1e+", "1.2.3", "e5",
                          "1e999"}) {
    EXPECT_EQ(FreeRealItem(bad), std::nullopt) << bad;
  }
}

}  // namespace
}  // namespace common
