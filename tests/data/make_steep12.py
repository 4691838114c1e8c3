#!/usr/bin/env python3
"""Writes steep12.rwl: 12 synthetic ring-width series that fall steeply with
age (a negative exponential of 12 years' time constant over a low asymptote)
in the decade format (thousandths, -9999 at the end), from a fixed linear
congruential generator, so the file is the same on every machine.

    python3 make_steep12.py > steep12.rwl
    python3 make_steep12.py --check

Fitted by the regional curve with a straight line (RCS code 4, no pith
offsets), the line through the mean width of each biological age goes below
zero just before age 180. The asymptote 0.2285 is chosen so that the line
crosses zero within a few hundredths of a year before 180: at age 180 the
curve is a small negative number, and the ratio index of a ring of age 180
is far below -100, which the six columns of a decade value cannot hold. Only
the three old series NG01-NG03 reach that age (in 1879, 1891 and 1904, years
covered by at least five younger series). Every other ring's index lies
within -50..50.

--check recomputes all this in double precision, independently of the
program: the mean width by age (the regional curve), its least-squares line
over ages 1..L, and the index of every ring; it prints the series whose
indices the decade format cannot hold, with the first such ring.
"""
import math
import sys

from make_synth12 import lcg, lines  # the generator and the decade layout of one series

uniform = lcg(20240917)

FIRST = [1700, 1712, 1725, 1790, 1801, 1815, 1830, 1846, 1861, 1875, 1890, 1904]
LAST = [1902, 1915, 1921, 1905, 1930, 1960, 1955, 1975, 1990, 1985, 2000, 2000]
ASYMPTOTE = 0.2285


def series():
    out = []
    for s in range(12):
        level = 0.9 + 0.2 * uniform()
        values = []
        for age in range(1, LAST[s] - FIRST[s] + 2):
            w = level * (4.0 * math.exp(-age / 12.0) + ASYMPTOTE) * (0.97 + 0.06 * uniform())
            v = int(round(1000.0 * w))
            values.append(1000 if v == 999 else v)  # 999 would read as the end of a series in hundredths
        out.append(("NG%02d" % (s + 1), FIRST[s], values))
    return out


def check(data):
    longest = max(len(v) for _, _, v in data)
    curve = []
    for a in range(longest):
        widths = [v[a] / 1000.0 for _, _, v in data if a < len(v)]
        curve.append(sum(widths) / len(widths))
    ages = range(1, longest + 1)
    mean_age = sum(ages) / longest
    mean_width = sum(curve) / longest
    slope = (sum((t - mean_age) * (c - mean_width) for t, c in zip(ages, curve)) /
             sum((t - mean_age) ** 2 for t in ages))
    intercept = mean_width - slope * mean_age
    print("line: %.6f %+.8f * age, zero at age %.4f" % (intercept, slope, -intercept / slope))
    for ident, first, values in data:
        worst = None
        for k, v in enumerate(values):
            index = (v / 1000.0) / (intercept + slope * (k + 1))
            # Six columns of thousandths hold -99.999 to 999.999.
            if index <= -99.9995 or index >= 999.9995:
                worst = worst or (first + k, k + 1, index)
            else:
                assert -50.0 < index < 50.0, (ident, first + k, index)
        if worst:
            print("%s cannot be written: index %.1f in %d (age %d)" % (ident, worst[2], worst[0], worst[1]))


data = series()
if "--check" in sys.argv:
    check(data)
else:
    for ident, first, values in data:
        for line in lines(ident, first, values):
            print(line)
