#!/usr/bin/env python3
"""Writes synth12.rwl: 12 synthetic ring-width series, 1801-2000, at least
two series in every year, in the decade format (thousandths, -9999 at the
end). Each series is a negative exponential age trend times a common
climate-like signal times its own noise, from a fixed linear congruential
generator, so the file is the same on every machine.

    python3 make_synth12.py > synth12.rwl
"""
import math


def lcg(seed):
    """Uniform numbers in [0, 1) from a fixed linear congruential generator."""
    state = seed

    def uniform():
        nonlocal state
        state = (state * 1103515245 + 12345) % 2147483648
        return state / 2147483648.0
    return uniform


uniform = lcg(20240611)

FIRST = [1801, 1801, 1806, 1813, 1821, 1834, 1842, 1851, 1861, 1876, 1891, 1911]
LAST = [2000, 2000, 1997, 2000, 1990, 2000, 1975, 1993, 2000, 1985, 2000, 1970]
signal = {y: 1.0 + 0.22 * math.sin(2.0 * math.pi * (y - 1801) / 23.0)
          + 0.12 * math.sin(2.0 * math.pi * (y - 1801) / 7.3) + 0.2 * (uniform() - 0.5)
          for y in range(1801, 2001)}


def lines(ident, first, values):
    out = []
    year = first
    k = 0
    items = values + [-9999]
    while k < len(items):
        count = 10 - year % 10 if k == 0 else 10
        chunk = items[k:k + count]
        out.append("%-8s%4d" % (ident, year) + "".join("%6d" % v for v in chunk))
        k += count
        year += count
    return out



def main():
    for s in range(12):
        a = 0.5 + 0.7 * uniform()
        b = 0.01 + 0.02 * uniform()
        k = 0.6 + 0.4 * uniform()
        values = []
        for age, y in enumerate(range(FIRST[s], LAST[s] + 1), start=1):
            trend = a * math.exp(-b * age) + k
            noise = 0.85 + 0.3 * uniform()
            v = int(round(1000.0 * trend * signal[y] * noise))
            values.append(1000 if v == 999 else v)  # 999 would read as the end of a series in hundredths
        for line in lines("SYN%02d" % (s + 1), FIRST[s], values):
            print(line)


if __name__ == "__main__":
    main()
