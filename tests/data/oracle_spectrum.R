# Reference values for tests/detrend/spectrum_test.cpp, computed with base R
# (Rscript oracle_spectrum.R). Autocovariances come from stats::acf, partial
# autocorrelations from stats::pacf; the lag-window estimate is evaluated
# directly from its definition (cosine transform, Hamming weights).
x <- c(1.02, 0.87, 1.15, 1.31, 0.94, 0.78, 1.05, 1.22, 1.10, 0.85,
       0.70, 0.96, 1.28, 1.40, 1.07, 0.91, 0.83, 1.12, 1.19, 0.99)
n <- length(x); m <- 5
a <- acf(x, type = "covariance", lag.max = m, demean = TRUE, plot = FALSE)$acf[, 1, 1]
c0 <- a[1]
cj <- a[-1] * n / (n - 1:m)
S <- sapply(0:m, function(k) (2 / pi) * (0.5 * c0 + sum(cj[1:(m - 1)] * cos(pi * (1:(m - 1)) * k / m)) +
                                          0.5 * cj[m] * cos(pi * k)))
Sh <- numeric(m + 1)
Sh[1] <- 0.54 * S[1] + 0.46 * S[2]
for (k in 2:m) Sh[k] <- 0.23 * S[k - 1] + 0.54 * S[k] + 0.23 * S[k + 1]
Sh[m + 1] <- 0.46 * S[m] + 0.54 * S[m + 1]
p <- pacf(x, lag.max = 4, plot = FALSE)$acf[, 1, 1]
options(digits = 9)
cat("mean", mean(x), "\nc0", c0, "\ncj", cj, "\nS", Sh, "\npacf", p, "\nacf/n", a[-1], "\n")
