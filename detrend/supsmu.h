// Friedman's variable-span super smoother (supsmu) and its running-lines
// smoother of one span (smooth).
//
// supsmu chooses the span point by point by cross-validation among the
// tweeter (0.05 n), midrange (0.2 n) and woofer (0.5 n) running lines; the
// bass control alpha (0 < alpha <= 10) pulls the choice toward the woofer.
// Values and the work matrix are single precision, the running sums double.
#pragma once

#include <span>

namespace detrend {

inline constexpr float kSupsmuTweeter = 0.05f;
inline constexpr float kSupsmuMidrange = 0.2f;
inline constexpr float kSupsmuWoofer = 0.5f;
inline constexpr int kSupsmuWorkColumns = 7;

// supsmu's iper for x that is not periodic (2 wraps x around [0, 1]).
inline constexpr int kNotPeriodic = 1;

// Running-lines smooth of y against x (ascending), window 2 ibw + 1 points,
// ibw = int(0.5 span n + 0.5) but at least 2, and at most what n points
// allow. |iper| = 2 wraps x around [0, 1]; iper > 0 also writes the absolute
// cross-validated residuals to acvr (otherwise acvr is not touched and may be
// empty). Points of equal x get one common value. n = x.size(); y, w, smo
// (and acvr) hold at least n values.
void smooth(std::span<const float> x, std::span<const float> y, std::span<const float> w, float span, int iper,
            float vsmlsq, std::span<float> smo, std::span<float> acvr);

// Super smoother of y against x (ascending), weights w. span > 0 smooths with
// that fixed span; span <= 0 chooses it by cross-validation. sc is the
// caller's work matrix of n x 7 values (column stride n). smo gets n values.
void supsmu(std::span<const float> x, std::span<const float> y, std::span<const float> w, int iper, float span,
            float alpha, std::span<float> smo, std::span<float> sc);

}  // namespace detrend
