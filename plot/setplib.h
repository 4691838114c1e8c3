// The plotting library's data directory.
#pragma once

#include <string_view>

namespace plot {

// Puts plplot_lib=<dir without trailing blanks> into the process environment.
void setplib(std::string_view dir);

}  // namespace plot
