# Reference values of tests/detrend/{gamfit,lowfit,sstats}_test.cpp, made with R 4.x
# (Debian r-base-core): Rscript gencurves_reference.R. The tests do not need R.
# First, a double-precision transcription of the published Numerical Recipes
# amoeba/amotry used as an independent check of the simplex.

# Numerical Recipes amoeba, written from the published algorithm, in double.
amoeba <- function(P, Y, fn, ftol=1e-5, itmax=2000, clampk=FALSE) {
  ndim <- ncol(P); mpts <- ndim+1; iter <- 0
  psum <- colSums(P)
  amotry <- function(ihi, fac) {
    fac1 <- (1-fac)/ndim; fac2 <- fac1-fac
    ptry <- psum*fac1 - P[ihi,]*fac2
    if (clampk && ptry[ndim] <= 0) ptry[ndim] <- 0
    ytry <- fn(ptry)
    if (ytry < Y[ihi]) { Y[ihi] <<- ytry; psum <<- psum - P[ihi,] + ptry; P[ihi,] <<- ptry }
    ytry
  }
  repeat {
    ilo <- 1
    if (Y[1] > Y[2]) { ihi <- 1; inhi <- 2 } else { ihi <- 2; inhi <- 1 }
    for (i in 1:mpts) {
      if (Y[i] <= Y[ilo]) ilo <- i
      if (Y[i] > Y[ihi]) { inhi <- ihi; ihi <- i } else if (Y[i] > Y[inhi] && i != ihi) inhi <- i
    }
    rtol <- 2*abs(Y[ihi]-Y[ilo])/(abs(Y[ihi])+abs(Y[ilo]))
    if (rtol < ftol || iter >= itmax) {
      tmp <- P[1,]; P[1,] <- P[ilo,]; P[ilo,] <- tmp; tmp <- Y[1]; Y[1] <- Y[ilo]; Y[ilo] <- tmp
      return(list(P=P, Y=Y, iter=iter, limit= !(rtol < ftol)))
    }
    iter <- iter + 2
    ytry <- amotry(ihi, -1)
    if (ytry <= Y[ilo]) ytry <- amotry(ihi, 2)
    else if (ytry >= Y[inhi]) {
      ysave <- Y[ihi]; ytry <- amotry(ihi, 0.5)
      if (ytry >= ysave) {
        for (i in 1:mpts) if (i != ilo) { P[i,] <- 0.5*(P[i,]+P[ilo,]); Y[i] <- fn(P[i,]) }
        iter <- iter + ndim; psum <- colSums(P)
      }
    } else iter <- iter - 1
  }
}
gamoff <- function(mode, t, y) function(p) {
  if (mode==1) {a<-p[1];b<-p[2];k<-p[3];c<-0;d<-0}
  if (mode==2) {a<-p[1];b<-p[2];d<-p[3];k<-p[4];c<-1}
  if (mode==3) {a<-p[1];c<-p[2];b<-p[3];d<-p[4];k<-p[5]}
  tt <- t + d; if (any(tt <= 0)) return(1e30)
  sum((a*exp(b*tt + c*log(tt)) + k - y)^2)
}
run <- function(mode, t, y, start) {
  ndim <- c(3,4,5)[mode]
  P <- rbind(start[1:ndim], diag(ndim))
  if (mode==1) { P[3,2] <- -0.01; P[4,3] <- 0.1 }
  if (mode==2) { P[3,2] <- -0.01; P[5,4] <- 0.1 }
  if (mode==3) { P[4,3] <- -0.01; P[6,5] <- 0.1 }
  fn <- gamoff(mode, t, y)
  Y <- apply(P, 1, fn)
  r <- amoeba(P, Y, fn, clampk = mode > 1)
  cat("mode", mode, "par", sprintf("%.7g", r$P[1,]), "sse", sprintf("%.9g", r$Y[1]), "iter", r$iter, "limit", r$limit, "\n")
  r
}
t <- 1:60; y <- 2*exp(-0.05*t) + 0.5 + 0.03*sin(1.3*t)
run(1, t, y, c(0,0,0))
t <- 1:70; y <- 1.5*(t+2)*exp(-0.06*(t+2)) + 0.2 + 0.02*sin(2.1*t)
run(2, t, y, c(1.79038, 0.0638425, 0, 0))
t <- 1:80; y <- 0.8*t^1.1*exp(-0.04*t) + 0.3 + 0.02*sin(2.1*t)
run(3, t, y, c(1.0147, 1.01029, -0.0370604, 0, 0))

t <- 1:30; y <- 2*exp(-0.05*t) + 0.5 + 0.01*sin(1.3*t)
fn <- gamoff(1, t, y)
for (ft in c(0.5, 0.1, 0.01, 1e-3)) {
  P <- rbind(c(0,0,0), c(1,0,0), c(0,-0.01,0), c(0,0,0.1)); Y <- apply(P,1,fn)
  r <- amoeba(P, Y, fn, ftol=ft)
  cat(ft, "iter", r$iter, "P1", sprintf("%.8g", r$P[1,]), "Y", sprintf("%.8g", r$Y), "\n")
}
t <- 1:40; y <- 1.2*(t+1)^0.9*exp(-0.05*(t+1)) + 0.4 + 0.02*cos(1.7*t)
fn <- gamoff(3, t, y)
for (ft in c(0.1, 0.01, 1e-3)) {
  P <- rbind(c(1,1,-0.05,0,0), diag(5)); P[4,3] <- -0.01; P[4,4]<-0; P[6,5] <- 0.1; P[2,]<-c(1,0,0,0,0);P[3,]<-c(0,1,0,0,0);P[5,]<-c(0,0,0,1,0)
  Y <- apply(P,1,fn)
  r <- amoeba(P, Y, fn, ftol=ft, clampk=TRUE)
  cat(ft, "iter", r$iter, "P1", sprintf("%.8g", r$P[1,]), "Y1", sprintf("%.8g", r$Y[1]), "\n")
}

# Then least squares by nls, lm on logs, lowess, runmed, moments.
p <- function(name, v) cat(name, "=", paste0(sprintf("%.8gf", v), collapse=", "), "\n")
# gexp on mode-2 data
t <- 1:70; y <- 1.5*(t+2)*exp(-0.06*(t+2)) + 0.2 + 0.02*sin(2.1*t)
m <- lm(log(y/t) ~ t); p("gexp a, -slope", c(exp(coef(m)[1]), -coef(m)[2]))
# hugfit on mode-3 data
t <- 1:80; y <- 0.8*t^1.1*exp(-0.04*t) + 0.3 + 0.02*sin(2.1*t)
m <- lm(log(y) ~ t + log(t)); A <- coef(m)[1]; B <- coef(m)[2]; C <- coef(m)[3]
cv <- exp(A)*t^C*exp(B*t); r <- sum(y)/sum(cv)
p("hugfit a(levelled), c, b", c(r*exp(A), C, B)); p("hugfit curv[0,39,79]", r*cv[c(1,40,80)])
# nls curves at some points
t <- 1:60; y <- 2*exp(-0.05*t) + 0.5 + 0.03*sin(1.3*t)
m <- nls(y ~ a*exp(b*t)+k, start=list(a=1.9,b=-0.04,k=0.5)); p("nls1 par", coef(m)); p("nls1 sse", sum(resid(m)^2)); p("nls1 fit[0,29,59]", fitted(m)[c(1,30,60)])
t <- 1:70; y <- 1.5*(t+2)*exp(-0.06*(t+2)) + 0.2 + 0.02*sin(2.1*t)
m <- nls(y ~ a*(t+d)*exp(b*(t+d))+k, start=list(a=1.4,b=-0.055,d=1.5,k=0.25)); p("nls2 par", coef(m)); p("nls2 sse", sum(resid(m)^2)); p("nls2 fit[0,34,69]", fitted(m)[c(1,35,70)])
t <- 1:80; y <- 0.8*t^1.1*exp(-0.04*t) + 0.3 + 0.02*sin(2.1*t)
m <- nls(y ~ a*(t+d)^c*exp(b*(t+d))+k, start=list(a=0.8,c=1.1,b=-0.04,d=0.1,k=0.3)); p("nls3 par", coef(m)); p("nls3 sse", sum(resid(m)^2)); p("nls3 fit[0,39,79]", fitted(m)[c(1,40,80)])
# lowess
t <- 1:50; y <- sin(t/6) + 0.02*t + 0.1*cos(2.7*t); y[20] <- y[20] + 5
p("lowess f=0.35", lowess(t, y, f=0.35, iter=2, delta=0)$y)
t <- 1:37; y <- 10 + 0.3*t - 0.004*t^2 + 1.5*sin(1.9*t)
p("lowess f=2/3", lowess(t, y, f=2/3, iter=2, delta=0)$y)
# iterated running medians, window 5, ends = nearest full-window median
t <- 1:40; y <- (t*t*7 + 3*t) %% 19
x <- y; for (pass in 1:10) { z <- runmed(x, 5, endrule="constant", algorithm="Stuetzle"); ch <- sum(abs(x-z)); x <- z; if (ch < 1e-6) break }
cat("runmed passes", pass, "\n"); p("msmoor w5", x)
z1 <- runmed(y, 5, endrule="constant", algorithm="Turlach"); p("msmoo w5 one pass", z1)
# sstats
i <- 1:30; x <- 1 + 0.5*sin(i) + 0.01*i; n <- 30; d <- x - mean(x)
sk <- sum(d^3)/(sd(x)^3*n)*sqrt(n*(n-1))/(n-2)*(1+8.5/n)
ku <- sum(d^4)/(var(x)^2*n)*n^2*(n+1)/((n-1)*(n-2)*(n-3))
a <- (x[-1]+x[-n])/2; ms <- sum(abs(diff(x))/a)/(n-1)
p("sstats mean mad sd var skew kurt msens r1", c(mean(x), mean(abs(d)), sd(x), var(x), sk, ku, ms, acf(x, lag.max=1, plot=FALSE)$acf[2]))

# Noisy Hugershoff-shaped series: trials 6 and 8 of this loop are
# tests/data/gencurves_hugershoff_noisy.txt and gencurves_hugershoff_noisy2.txt.
set.seed(11)
out <- c()
for (trial in 1:8) {
  n <- sample(80:400, 1); t <- 1:n
  a <- runif(1, 0.3, 1.5); c <- runif(1, 0.6, 1.5); b <- -runif(1, 0.01, 0.05); k <- runif(1, 0.1, 0.6)
  y <- a*t^c*exp(b*t) + k + rnorm(n, 0, 0.05*mean(a*t^c*exp(b*t)))
  y <- pmax(as.numeric(sprintf("%.5f", y)), 0.001)
  m <- tryCatch(nls(y ~ A*(t+d)^C*exp(B*(t+d))+K, start=list(A=a,C=c,B=b,d=0,K=k), control=nls.control(maxiter=500)), error=function(e) NULL)
  s3 <- if (is.null(m)) NA else sum(resid(m)^2)
  m2 <- tryCatch(nls(y ~ A*(t+d)*exp(B*(t+d))+K, start=list(A=a,B=b,d=1,K=k), control=nls.control(maxiter=500)), error=function(e) NULL)
  s2 <- if (is.null(m2)) NA else sum(resid(m2)^2)
  m1 <- tryCatch(nls(y ~ A*exp(B*t)+K, start=list(A=max(y),B=-0.02,K=min(y)), control=nls.control(maxiter=500)), error=function(e) NULL)
  s1 <- if (is.null(m1)) NA else sum(resid(m1)^2)
  write(y, sprintf("rnd_%d.txt", trial), ncolumns=1)
  cat(trial, n, sprintf("%.7g", c(s1, s2, s3)), "\n")
}

# Least squares on those two files (the second constrained to t + d > 0 at t = 1).
y <- scan("gencurves_hugershoff_noisy2.txt", quiet=TRUE); t <- seq_along(y)
m <- nls(y ~ A*(t+d)*exp(B*(t+d))+K, start=list(A=0.6,B=-0.04,d=-0.9,K=0.4), algorithm="port", lower=c(-Inf,-Inf,-1+1e-6,0))
print(coef(m), digits=9); print(sum(resid(m)^2), digits=9); print(fitted(m)[c(1,100,270)], digits=9)
y <- scan("gencurves_hugershoff_noisy.txt", quiet=TRUE); t <- seq_along(y)
m <- nls(y ~ A*(t+d)^C*exp(B*(t+d))+K, start=list(A=1,C=1,B=-0.03,d=0,K=0.3), control=nls.control(maxiter=500))
print(coef(m), digits=9); print(sum(resid(m)^2), digits=9); print(fitted(m)[c(1,90,188)], digits=9)
