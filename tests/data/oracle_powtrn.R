# Reference values for tests/detrend/powtrn_test.cpp, computed with base R
# (Rscript oracle_powtrn.R): least squares by stats::lm of log spread on log
# level over the points with positive level and spread, the power 1 - slope
# clipped to [0, 1] (below 0.05: the logarithm), values below 0.01 raised to
# 0.01, and the linear map back onto the original minimum and maximum;
# pooled correlation by stats::cor, pooled line by stats::lm.
options(digits = 9)
s1 <- c(1.20, 0.85, 1.60, 2.10, 0.00, 1.45, 2.80, 3.10, 1.90, 2.40, 0.95, 1.75)
s2 <- c(0.40, 0.55, 0.38, 0.90, 1.30, 0.70, 1.10, 0.52, 0.61, 1.45)
s3 <- c(0.80, 1.10, 0.95, 1.60, 2.30, 1.70, 2.90, 2.20, 1.30, 1.85, 0.70, 1.05)
fit <- function(y) {
  n <- length(y); L <- y[2:n]; S <- abs(diff(y)); k <- L > 0 & S > 0
  lx <- log(L[k]); ly <- log(S[k]); b <- coef(lm(ly ~ lx))[2]
  p <- 1 - b; if (p < 0.05) p <- 0; if (p > 1) p <- 1
  t <- if (p > 0) pmax(y, 0.01)^p else ifelse(y > 0, log(y), log(0.05))
  out <- (t - min(t)) * (max(y) - min(y)) / (max(t) - min(t)) + min(y)
  list(lx = lx, ly = ly, b = b, a = coef(lm(ly ~ lx))[1], p = p, out = out)
}
f1 <- fit(s1); f2 <- fit(s2); f3 <- fit(s3)
for (f in list(f1, f2, f3)) cat("slope", f$b, "intercept", f$a, "p", f$p, "\nout", f$out, "\n")
X <- c(f1$lx, f2$lx, f3$lx); Y <- c(f1$ly, f2$ly, f3$ly)
cat("pmean", (f1$p + f2$p + f3$p) / 3, "rho", cor(X, Y), "a0", coef(lm(Y ~ X))[1], "b0", coef(lm(Y ~ X))[2], "\n")
