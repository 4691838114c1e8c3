#!/usr/bin/env python3
"""Expected regional-curve fits of the LOWESS and running-median codes.

A plain transcription of the two smoothers from their textbook definitions
(Cleveland 1979: locally weighted lines with tricube weights over the ns
nearest points, then two robustness passes with bisquare weights cut at six
median absolute residuals; Tukey: running medians of an odd window, repeated
until the curve no longer changes, each end held at the nearest full-window
median), in double precision, without numpy. It reads the windows the way a
user types them: a fixed window of w values, or -p for p percent of the
fitted length.

Run:  python3 tests/detrend/rcs_smoothers_reference.py
and paste the printed lists into regcrv_test.cpp.
"""

import math

N = 40      # values of the curve
NFIT = 36   # values fitted (a truncation age of 36)


def series():
    """A regional curve: a falling exponential with a wiggle and one wild age."""
    y = []
    for t in range(1, N + 1):
        v = 2.5 * math.exp(-t / 25.0) + 0.6 + 0.15 * math.sin(1.3 * t)
        if t == 17:
            v += 1.5
        y.append(round(v, 4))
    return y


def tricube(u):
    return (1.0 - u ** 3) ** 3 if u < 1.0 else 0.0


def bisquare(u):
    return (1.0 - u * u) ** 2 if u < 1.0 else 0.0


def median(values):
    s = sorted(values)
    m = len(s)
    return s[m // 2] if m % 2 else 0.5 * (s[m // 2 - 1] + s[m // 2])


def lowess(y, ns):
    n = len(y)
    x = list(range(1, n + 1))
    robust = [1.0] * n
    fit = [0.0] * n
    for it in range(3):
        for i in range(n):
            dist = sorted(abs(x[j] - x[i]) for j in range(n))
            h = dist[ns - 1]
            w = [tricube(abs(x[j] - x[i]) / h) * robust[j] for j in range(n)]
            sw = sum(w)
            xm = sum(w[j] * x[j] for j in range(n)) / sw
            ym = sum(w[j] * y[j] for j in range(n)) / sw
            sxx = sum(w[j] * (x[j] - xm) ** 2 for j in range(n))
            sxy = sum(w[j] * (x[j] - xm) * (y[j] - ym) for j in range(n))
            slope = sxy / sxx if sxx > 0 else 0.0
            fit[i] = ym + slope * (x[i] - xm)
        if it < 2:
            res = [y[j] - fit[j] for j in range(n)]
            s6 = 6.0 * median([abs(r) for r in res])
            robust = [bisquare(abs(r) / s6) for r in res]
    return fit


def running_medians(y, window):
    n = len(y)
    h = (window - 1) // 2
    cur = list(y)
    for _ in range(10):
        new = [0.0] * n
        for i in range(h, n - h):
            new[i] = median(cur[i - h:i + h + 1])
        for k in range(h):
            new[k] = new[h]
            new[n - 1 - k] = new[n - 1 - h]
        change = sum(abs(a - b) for a, b in zip(cur, new))
        cur = new
        if change < 1e-6:
            break
    return cur


def lowess_points(typed):
    return typed if typed > 0 else (-typed * NFIT) // 100


def median_window(typed):
    w = typed if typed > 0 else max((-typed * NFIT) // 100, 3)
    return w if w % 2 else w - 1


def show(name, values):
    print("// " + name)
    print("{" + ", ".join("%.6ff" % v for v in values) + "}")


y = series()
show("curve (%d values, the first %d fitted)" % (N, NFIT), y)
head = y[:NFIT]
for typed in (12, -30):
    show("LOWESS, window %d: %d points" % (typed, lowess_points(typed)), lowess(head, lowess_points(typed)))
for typed in (5, -30, -5):
    show("running medians, window %d: %d values" % (typed, median_window(typed)),
         running_medians(head, median_window(typed)))
print("// mean of the fitted values: %.6f" % (sum(head) / NFIT))
