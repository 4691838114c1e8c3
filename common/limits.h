// Fixed limits and sentinels shared by every subsystem.
#pragma once

namespace common {

inline constexpr int MAXYRS = 6001;  // values per series, years per chronology
inline constexpr int MAXSER = 3001;  // series slots; the whole-set row takes one
inline constexpr int kMaxSeriesInSet = MAXSER - 1;  // series a data set may hold

// The largest size of a typed length, window, spline stiffness or spline
// code (years, or percent of a length): nothing longer than the longest
// chronology is of use, and no arithmetic on such a number can overflow.
inline constexpr int kMaxTypedLength = MAXYRS;
inline constexpr bool WithinTypedLength(int value) { return value >= -kMaxTypedLength && value <= kMaxTypedLength; }

// Calendar years a series may hold.
inline constexpr int kFirstYearLimit = -9999;
inline constexpr int kLastYearLimit = 9999;

inline constexpr float kMissing = -999.0f;       // empty cell of a series matrix
inline constexpr int kSplineTooShort = -9998;    // spline given fewer than 4 points
inline constexpr float kSplineNotPd = -9999.0f;  // spline band matrix not positive definite
inline constexpr int kRwlEnd = -9999;            // end of a series in thousandths
inline constexpr int kRwlEndHundredths = 999;    // end of a series in hundredths
inline constexpr int kCrnNoYear = 9990;          // chronology year outside the record
inline constexpr float kNoStatistic = -99.0f;
inline constexpr float kNoRbar = -99.9f;

}  // namespace common
