#include "plot/setplib.h"

#include <cstdlib>
#include <string>

#include "common/text.h"

namespace plot {

void setplib(std::string_view dir) {
  // setenv copies the value, so no temporary outlives the call; a failure is not reported.
  const std::string value(common::TrimRight(dir));
  ::setenv("plplot_lib", value.c_str(), 1);
}

}  // namespace plot
