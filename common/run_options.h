// The options both programs set in their dialogue and the engine reads, and
// the restart state the run loop and the engine share. The main program owns
// one of each for the whole run and lends them by reference.
#pragma once

#include <vector>

#include "common/limits.h"

namespace common {

// How the mean chronology is formed (MEANMD).
enum class MeanMethod { kArithmetic = 1, kBiweight = 2 };

// How indices are formed (INDXMD).
enum class IndexMode { kRatios = 1, kResiduals = 2, kPowerResiduals = 3 };

struct RunOptions {
  // Index mode: RESID 1 residuals, 0 ratios; PTRFLG 1 when the series are
  // power transformed before every engine run.
  int RESID = 0;
  int PTRFLG = 0;
  IndexMode INDXMD() const {
    return RESID == 0 ? IndexMode::kRatios : PTRFLG == 1 ? IndexMode::kPowerResiduals : IndexMode::kResiduals;
  }
  // The mode of indxs (detrend/mean_chronology.h): residuals, 2, whether or
  // not the series were power transformed; ratios, 1, otherwise.
  int IndxsMode() const { return static_cast<int>(RESID == 1 ? IndexMode::kResiduals : IndexMode::kRatios); }

  // Curve fit. NOPT is the detrending option code (open-ended: see the
  // predicates in detrend/crvfit.h); in regional-curve mode it holds the
  // regional curve's own option code.
  int NOPT = 8;
  int alpha = 0;        // the Friedman alpha as typed
  float ALPHA = 0.0f;   // the same as a real
  int SPLSTF = 50;      // starting stiffness of the age-dependent spline
  int SPLEND = 0;       // 1 forces the spline's end not to rise
  int chosen_end = 0;   // the end flag as last answered (the batch program restores SPLEND from it)
  int RCSFLG = 0;       // 1 in regional-curve mode
  int RCSWIN = 0;       // regional-curve smoothing window
  int PITHFL = 0;       // 1 when pith offsets are in use
  int MED = 0;          // integer median segment length of the latest length summary

  // Chronology.
  MeanMethod MEANMD = MeanMethod::kBiweight;
  int IRBWIN = 51;       // running RBAR window: 0 skips, otherwise odd and >= 25
  int ISTAB = 0;         // additional spline stabilisation (0, 1, <= -10, >= 10)
  float CONVTL = 0.0001f;
  char TARNYN = ' ';
  char MADJ = ' ';       // 'y': chronology means set to 1.0
  char MEDCNV = ' ';     // 'y': the stop test uses medians
  // Engine switches both programs set without a question.
  char SFFLGA = 'n';
  char SFFLGB = 'y';
  char SPLITR = 'y';
};

inline constexpr float kCurveFloor = 0.02f;  // CRVMIN of every series before every call
inline constexpr int kMaxRetries = 10;       // constant-added restarts of one data set

// What the run loop and the engine share from one engine call to the next.
struct RestartState {
  int KRETRY = 0;        // constant-added restarts of this data set; 0 marks a first call
  int RCSRDO = 0;        // set by the engine when the user asks for another regional curve
  float CONST = 0.0f;    // 0.1 x KRETRY, added to every measurement of this call
  float PMEAN = 0.0f;    // mean power of the last power transformation
  std::vector<float> CRVMIN = std::vector<float>(MAXSER + 1, kCurveFloor);  // per-series curve floor (index 0 unused)
};

}  // namespace common
