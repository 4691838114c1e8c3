// Report-file lines of the adaptive power transformation (unit 9 only).
#pragma once

#include "common/console.h"

namespace drivers {

inline constexpr const char* kPowerTransformAppliedText =
    "THE SERIES HAVE HAD ADAPTIVE POWER TRANSFORMATIONS APPLIED";
inline constexpr const char* kMeanPowerText = "THE MEAN ADAPTIVE POWER TRANSFORM POWER APPLIED IS: ";

// A blank line and "THE SERIES HAVE HAD ADAPTIVE POWER TRANSFORMATIONS
// APPLIED": written before the first transformation of a data set.
void ReportPowerTransformApplied(common::Dialog& dialog);

// "THE MEAN ADAPTIVE POWER TRANSFORM POWER APPLIED IS: " with PMEAN at
// column 63, 8 wide with 3 decimals.
void ReportMeanPower(common::Dialog& dialog, float PMEAN);

}  // namespace drivers
