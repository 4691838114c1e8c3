// The plotting library's data directory.
#pragma once

#include <string_view>

namespace plot {

// Where the plotting library's data lives on this platform.
inline constexpr const char* kPlotDataDir = "/usr/share/plplot5.15.0";

// Puts plplot_lib=<dir without trailing blanks> into the process environment.
void setplib(std::string_view dir);

}  // namespace plot
