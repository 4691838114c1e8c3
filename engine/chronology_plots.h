// The engine's chronology plots and the legends they share: two
// chronologies over the data set's years, the running RBAR and EPS, and the
// reference lines and numbered legends of the stage plots. Internal to the
// engine.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine_call.h"

namespace engine::detail {

// A curve of n values at level v (reference lines of the plots).
std::vector<float> Level(int n, float v);
// pltser of two chronologies over the data set's years.
void ChronologyPlot(EngineCall& call, std::span<const float> c1, std::span<const float> c2, std::string_view ylab,
                    std::string_view title, std::span<const float> ref, std::string_view leg1, std::string_view leg2);
// The running RBAR and EPS plots of the table in RBRV3.
void RbarPlots(EngineCall& call, std::string_view title, std::string_view rbar_leg2, std::string_view eps_leg2);
// "Running RBAR (51 Yrs)": the window in 2 columns from position 15, 3
// when it is 100 or more, 4 from 1000, after `head` (14 characters).
std::string WindowLegend(std::string_view head, int window);
// "Iteration: " with ITER in positions 12-14 and "hh,med,hl,min biwgts" in 17-36.
std::string BiweightLegend(int ITER);
// text followed by value (i5 or i3...) from a 1-based column: "Spline in Yrs:" and the like.
std::string WithNumberAt(std::string_view text, std::size_t column, std::string_view format, int value);

}  // namespace engine::detail
