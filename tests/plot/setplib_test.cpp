// The plotting library's data directory put into the environment.
#include <gtest/gtest.h>

#include <cstdlib>

#include "plot/setplib.h"

namespace {

TEST(Setplib, PutsTheDirectoryWithoutTrailingBlanks) {
  plot::setplib("C:\\PLPLOT_DATA      ");
  ASSERT_NE(std::getenv("plplot_lib"), nullptr);
  EXPECT_STREQ(std::getenv("plplot_lib"), "C:\\PLPLOT_DATA");
  plot::setplib("    ");
  EXPECT_STREQ(std::getenv("plplot_lib"), "");
}

}  // namespace
