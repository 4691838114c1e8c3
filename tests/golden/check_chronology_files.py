#!/usr/bin/env python3
"""Independent check of a golden scenario's chronology and spectra files.

    python3 check_chronology_files.py <scenario folder> [--spectra-only]

For a scenario that detrends by the horizontal line through the mean (option
6) with ratios and the arithmetic mean, the standard chronology of each year
is the mean of x / mean(x) over the series present, its spread their sample
standard deviation, the sample depth their number and the standard error the
spread over the square root of the depth. This script reads the decade
ring-width file of the scenario's input folder, computes those values itself
and compares them with expected/<stem>_crns_col.txt at three decimals
(skipped with --spectra-only, for scenarios of other options). It then
computes the lag-window spectra of the printed chronologies (the years of
depth 5 or more; the two stabilised columns when the table has them, else the
standard and signal-free ones; m = M / 3 lags, M / 5 above 1000 years;
autocovariances scaled by n / (n - j), the cosine transform, Hamming weights
0.23, 0.54, 0.23) and compares them with expected/<stem>_spectra.txt.

Plain python3, no other package. Prints what it compared and exits 1 on any
difference beyond the printed precision.
"""
import glob
import math
import os
import sys


def read_decade_rwl(path):
    """Series of a decade ring-width file in thousandths (-9999 ends a series)."""
    series = {}
    order = []
    for line in open(path):
        ident, year = line[:8].strip(), int(line[8:12])
        if ident not in series:
            series[ident] = {}
            order.append(ident)
        for j, k in enumerate(range(12, len(line.rstrip("\n")), 6)):
            v = int(line[k:k + 6])
            if v == -9999:
                break
            series[ident][year + j] = v * 0.001
    return [series[i] for i in order]


def standard_chronology(series):
    """Year -> (depth, mean of indices, sample sd) for ratios to each series' mean."""
    indices = []
    for s in series:
        m = sum(s.values()) / len(s)
        indices.append({y: v / m for y, v in s.items()})
    years = sorted(set(y for s in indices for y in s))
    out = {}
    for y in years:
        vals = [s[y] for s in indices if y in s]
        n = len(vals)
        mean = sum(vals) / n
        sd = math.sqrt(sum((v - mean) ** 2 for v in vals) / (n - 1)) if n > 1 else 0.0
        out[y] = (n, mean, sd)
    return out


def spectrum(x, m):
    """Smoothed lag-window spectrum of x at k / (2m), k = 0..m (dt = 1)."""
    n = len(x)
    mean = sum(x) / n
    d = [v - mean for v in x]
    c = [sum(d[i] * d[i + j] for i in range(n - j)) / n for j in range(m + 1)]
    c = [c[0]] + [c[j] * n / (n - j) for j in range(1, m + 1)]
    raw = []
    for k in range(m + 1):
        s = 0.5 * c[0] + sum(c[j] * math.cos(math.pi * j * k / m) for j in range(1, m))
        s += 0.5 * c[m] * math.cos(math.pi * k)
        raw.append(2.0 / math.pi * s)
    smooth = [0.54 * raw[0] + 0.46 * raw[1]]
    smooth += [0.23 * raw[k - 1] + 0.54 * raw[k] + 0.23 * raw[k + 1] for k in range(1, m)]
    smooth.append(0.46 * raw[m - 1] + 0.54 * raw[m])
    return smooth


def check_standard_chronology(rwl, stem, header, rows):
    failures = 0
    stem = os.path.basename(rwl).split(".")[0]
    chron = standard_chronology(read_decade_rwl(rwl))
    worst = 0.0
    for r in rows:
        year, depth = int(r[0]), int(r[1])
        n, mean, sd = chron[year]
        see = sd / math.sqrt(n)
        printed = [float(r[header.index(h)]) for h in ("StdCrn", "StdSig", "StdSee")]
        diffs = [abs(p - v) for p, v in zip(printed, (mean, sd, see))]
        worst = max(worst, *diffs)
        if depth != n or max(diffs) > 0.0005 + 1e-6:
            failures += 1
            print("year %d: depth %d/%d, printed %s, computed %.4f %.4f %.4f" % (year, depth, n, printed, mean, sd, see))
    print("%s: %d years; depth, StdCrn, StdSig, StdSee agree, largest difference %.5f" % (stem, len(rows), worst))
    return failures


def main(folder, spectra_only):
    rwl = glob.glob(os.path.join(folder, "input", "*.rwl"))[0]
    stem = os.path.basename(rwl).split(".")[0]
    expected = os.path.join(folder, "expected")
    table = [line.split() for line in open(os.path.join(expected, stem + "_crns_col.txt"))]
    header, rows = table[0], table[1:]
    failures = 0 if spectra_only else check_standard_chronology(rwl, stem, header, rows)
    return failures + check_spectra(rwl, stem, header, rows, expected, spectra_only)


# The printed chronologies carry three decimals: their rounding (variance
# 0.001^2 / 12, a white spectrum of 2 / pi times that) moves an estimate of
# power p by a few times sqrt(p) times the square root of that level.
ROUNDING_LEVEL = 2.0 / math.pi * 0.001 ** 2 / 12.0


def tolerance(p):
    return 2e-5 + 6.0 * math.sqrt(abs(p) * ROUNDING_LEVEL)


def check_spectra(rwl, stem, header, rows, expected, spectra_only):
    failures = 0
    raw = "RawCrn" in header
    cols = ("StdStb", "SsfStb") if "StdStb" in header else ("StdCrn", "SsfCrn")
    if raw:
        cols = ("RawStb", "AdjStb") if "RawStb" in header else ("RawCrn", "AdjCrn")
    kept = [r for r in rows if int(r[1]) >= 5]
    big_m = len(kept)
    m = big_m // 5 if big_m > 1000 else big_m // 3
    spectra = [spectrum([float(r[header.index(c)]) for r in kept], m) for c in cols]
    exact = None
    if not spectra_only and cols[0] == "StdCrn":
        # The standard chronology computed here, unrounded: its spectrum
        # must agree to the five decimals the file prints.
        chron = standard_chronology(read_decade_rwl(rwl))
        exact = spectrum([chron[int(r[0])][1] for r in kept], m)
    printed = [line.split() for line in open(os.path.join(expected, stem + "_spectra.txt"))][1:]
    if len(printed) != m + 1:
        failures += 1
        print("spectra: %d rows, expected %d" % (len(printed), m + 1))
    worst = 0.0
    for k, p in enumerate(printed[:m + 1]):
        f, p1, p2 = (float(v) for v in p)
        diffs = [abs(f - k / (2.0 * m)), abs(p1 - spectra[0][k]), abs(p2 - spectra[1][k])]
        worst = max(worst, *diffs)
        bad = diffs[0] > 5e-6 or diffs[1] > tolerance(p1) or diffs[2] > tolerance(p2)
        if exact is not None and abs(p1 - exact[k]) > 6e-6:
            bad = True
            print("frequency %d: printed %.5f, spectrum of the unrounded chronology %.6f" % (k, p1, exact[k]))
        if bad:
            failures += 1
            print("frequency %d: printed %s, computed %.5f %.5f %.5f" % (k, p, k / (2.0 * m), spectra[0][k], spectra[1][k]))
    print("spectra of %s and %s: M %d, m %d, %d frequencies, largest difference %.6f" % (cols + (big_m, m, m + 1, worst)))
    if exact is not None:
        print("  %s from the unrounded chronology agrees to the printed five decimals" % cols[0])
    for k in (0, 1, m // 2, m):
        print("  %8.5f %14.5f %16.5f" % (k / (2.0 * m), spectra[0][k], spectra[1][k]))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], "--spectra-only" in sys.argv[2:]))
