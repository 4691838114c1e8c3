#include "engine/chronology_plots.h"

#include <algorithm>

#include "common/fortran_format.h"
#include "common/text.h"
#include "plot/plots.h"

namespace engine::detail {

namespace fmt = common::fmt;

std::vector<float> Level(int n, float v) { return std::vector<float>(static_cast<std::size_t>(std::max(n, 1)), v); }

void ChronologyPlot(EngineCall& call, std::span<const float> c1, std::span<const float> c2, std::string_view ylab,
                    std::string_view title, std::span<const float> ref, std::string_view leg1, std::string_view leg2) {
  plot::pltser(call.plots, call.state.plots.pltser, c1, c2, call.NYRS, call.fy, "Years", ylab, title, ref, leg1, leg2,
               plot::kIwrefDefault);
}

std::string WithNumberAt(std::string_view text, std::size_t column, std::string_view format, int value) {
  return common::PadTo(text, column) + fmt::Print(format, value);
}

std::string WindowLegend(std::string_view head, int window) {
  return WithNumberAt(head, 15, window >= 1000 ? "(i4)" : window >= 100 ? "(i3)" : "(i2)", window) + " Yrs)";
}

std::string BiweightLegend(int ITER) {
  return WithNumberAt("Iteration: ", 12, "(i3)", ITER) + "  hh,med,hl,min biwgts";
}

void RbarPlots(EngineCall& call, std::string_view title, std::string_view rbar_leg2, std::string_view eps_leg2) {
  common::Block& t = call.store.RBRV3;
  const int window = call.options.IRBWIN;
  const std::vector<float> none = Level(call.NYRS, plot::kNoReference);
  ChronologyPlot(call, call.Years(t, 2), call.Years(t, 4), "RBAR", title, none, WindowLegend("Running RBAR (", window),
                 rbar_leg2);

  std::vector<float> eps1(static_cast<std::size_t>(call.NYRS)), eps2(eps1.size());
  auto eps = [](float n, float r) { return n * r / (1.0f - r + n * r); };
  for (int k = 1; k <= call.NYRS; ++k) {
    const float n = t.get(k, 1);
    eps1[static_cast<std::size_t>(k - 1)] = eps(n, t.get(k, 2));
    eps2[static_cast<std::size_t>(k - 1)] = eps(n, t.get(k, 4));
  }
  ChronologyPlot(call, eps1, eps2, "EPS", title, Level(call.NYRS, plot::kReferenceAt085),
                 WindowLegend(" Running EPS (", window), eps_leg2);
}

}  // namespace engine::detail
