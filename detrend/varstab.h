// Spline variance stabilisation of a mean chronology (varsta, varstb) and
// the statistics over the years that have series (cstats).
//
// Both stabilisations smooth the absolute deviations of the chronology from
// its mean into a curve of local spread, divide the deviations by it and
// rescale the result to the chronology's mean and standard deviation. They
// work in place: on return crn holds the absolute deviations (varstb: in the
// years with depth above 0). Callers that need the chronology pass a copy.
#pragma once

#include <span>
#include <vector>

#include "detrend/spline.h"

namespace detrend {

// cstats: statistics of x over the m years whose depth SSize is above 0,
// taken in year order as one run of values (a twin of sstats that skips the
// years without series). Single precision.
//   mean = sum / m; mad = sum |d| / m; var = sum d^2 / (m - 1); sd = sqrt(var)
//   skew = sum d^3 / (sd^3 m) * sqrt(m (m - 1)) / (m - 2) * (1 + 8.5 / m)
//          (factor 1 when m < 3)
//   kurt = sum d^4 / (var^2 m) * m^2 (m + 1) / ((m - 1)(m - 2)(m - 3))
//          (factor 1 when m < 4)
//   msens = sum of |x(i+1) - x(i)| / ((x(i) + x(i+1)) / 2) over consecutive
//          values whose average is > 0, divided by m - 1
//   r1 = sum z(i) z(i+1) / m, z standardised with the population sd.
// m = 0: every output -99; m = 1: all but the mean -99; var <= 0: sd, skew,
// kurt and r1 -99. x is only read.
struct ChronologyStats {
  float mean, mad, sd, var, skew, kurt, msens, r1;
};
ChronologyStats cstats(std::span<const float> x, std::span<const int> SSize);

// Caller-owned working storage of the stabilisations, sized on first use.
struct VarstabWorkspace {
  std::vector<float> x, w, smooth, sc;  // super smoother abscissa, weights, smooth, n x 7 work
  std::vector<int> stiffness;           // 20, 21, 22, ...
  std::vector<char> negative;           // sign flag of each deviation
  SplineWorkspace spline;
};

struct VarstabResult {
  // kOk, or the status of the spline that failed: then stab is the input
  // chronology unchanged and curv holds what the spline left.
  SplineStatus spline = SplineStatus::kOk;
};

// varsta (ISTAB = 1): M, S of all years and M5, S5 of the years with depth
// >= 5 (M, S when those are no more than n / 3); deviations from M5 made
// absolute; super smoother (bass 3, span 0 when at least 40 years have depth
// >= 5, else 0.3); age-dependent spline with stiffness 20, 21, ...; a rising
// last stretch flattened to its starting value and the spline fitted again:
// curv. stab = signed deviation / curv, standardised by its own mean and sd
// (of the depth >= 5 years when more than n / 3) and rescaled to M5, S5;
// negative results set to 0. n = crn.size(); curv, stab, SSize hold n values.
VarstabResult varsta(std::span<float> crn, std::span<float> curv, std::span<float> stab,
                     std::span<const int> SSize, VarstabWorkspace& work);

// varstb (fixed-stiffness codes): over the years with depth > 0, deviations
// from the cstats mean made absolute; a code below -9 becomes the stiffness
// trunc(|code / 100 * n|) years and is written back; splinp of crn over all
// n years: curv; stab = signed deviation / curv, rescaled from its own cstats
// mean and sd to those of the chronology; negative results set to 0. Years
// with depth 0 keep what stab held.
VarstabResult varstb(std::span<float> crn, std::span<float> curv, std::span<float> stab,
                     std::span<const int> SSize, int& code, VarstabWorkspace& work);

}  // namespace detrend
