// The tab-separated spectrum table writer.
#include "files/spectrum_table.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace files {
namespace {

TEST(Spcout, HeaderAndRowsWithTabsAndFixedFields) {
  // Leading dimension 4, 3 rows used, columns: frequency and two powers.
  const std::vector<float> table = {0.0f, 0.25f, 0.5f, 9.0f,          // column 1
                                    1.5f, 0.123456f, -2.0f, 9.0f,    // column 2
                                    10.0f, 0.00001f, 123.45678f, 9.0f};  // column 3
  std::ostringstream out;
  spcout(table, 3, 3, 7, 4, out);
  const std::string expected =
      " ncnt\t     freq\t power# 1\t  dens# 1\n"
      "    7\t  0.00000\t  1.50000\t 10.00000\t\n"
      "    8\t  0.25000\t  0.12346\t  0.00001\t\n"
      "    9\t  0.50000\t -2.00000\t123.45678\t\n";
  EXPECT_EQ(out.str(), expected);
}

// The group number stands right-justified in a field of two, as the row
// number does in its field of five: 1 is " 1", 10 is "10".
TEST(Spcout, GroupNumbersAdvanceEveryFourColumns) {
  const std::vector<float> table(6, 0.0f);
  std::ostringstream out;
  spcout(table, 1, 6, 1, 1, out);
  const std::string header = out.str().substr(0, out.str().find('\n'));
  EXPECT_EQ(header,
            " ncnt\t     freq\t power# 1\t  dens# 1\t  null# 1\t95% cl# 1\t power# 2");
}

TEST(Spcout, TwoDigitGroupNumbersFillTheirField) {
  // 1 + 4 x 10 columns: the tenth group's labels end in "10".
  const std::vector<float> table(41, 0.0f);
  std::ostringstream out;
  spcout(table, 1, 41, 1, 1, out);
  const std::string header = out.str().substr(0, out.str().find('\n'));
  EXPECT_EQ(header.substr(header.size() - 9), "95% cl#10");
  EXPECT_NE(header.find("\t power# 9\t"), std::string::npos);
}

}  // namespace
}  // namespace files
