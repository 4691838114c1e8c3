# Reference values for tests/detrend/arpad_test.cpp, computed with base R
# (Rscript oracle_burg.R). Coefficients: stats::ar.burg without demeaning and
# with var.method = 1, whose innovations variance is mean(x^2) times the
# product of (1 - reflection^2), the mean square residual of Burg's recursion.
# Padding: stats::predict of that model forward, and of the reversed series
# backward, on the centred data, with the mean added back.
options(digits = 9)
set.seed(20261209)
x <- as.numeric(arima.sim(list(ar = c(0.6, -0.25)), n = 40))
x <- signif(x + 2, 7)
cat("x <-", paste(format(x, digits = 7), collapse = ", "), "\n")
for (p in c(1, 2, 4)) {
  f <- ar.burg(x, aic = FALSE, order.max = p, demean = FALSE, var.method = 1)
  pm <- mean(x^2) * prod(1 - f$partialacf^2)
  cat("order", p, "coef", f$ar, "pm", pm, "\n")
}
xs <- x[1:12]
xc <- xs - mean(xs)
m <- 3
f <- ar.burg(xc, aic = FALSE, order.max = m, demean = FALSE, var.method = 1)
fwd <- as.numeric(predict(f, newdata = xc, n.ahead = m)$pred)
bwd <- rev(as.numeric(predict(f, newdata = rev(xc), n.ahead = m)$pred))
cat("pad12 coef", f$ar, "\n")
cat("padded", bwd + mean(xs), "|", fwd + mean(xs), "\n")
