// Running RBAR, EPS and effective number of series: runrbr, winrbr, corrl.
//
// RBAR here is the mean of the positive Pearson correlations between the
// pairs of index series that both cover a whole window; it is not the usual
// mean inter-series correlation. runrbr moves the window through the
// chronology, spreads the window values over the years (RBAR1), averages
// them over runs of constant sample depth (RBAR2), and stabilises the
// chronology's variance with both. The per-year table goes to the running
// RBAR file through engine/stats_report.h.
#pragma once

#include <span>

#include "common/storage.h"
#include "detrend/parallel.h"

namespace detrend {

// corrl: Pearson correlation r of x and y and the least-squares line of y on
// x, y = a + b x, with b = sqrt(Syy/(n-1)) / sqrt(Sxx/(n-1)) r and
// a = mean(y) - b mean(x), all in single precision. n = x.size(); y holds at
// least n values. When Sxx Syy is 0 the correlation does not exist: r = 0,
// b = 0, a = mean(y) and `valid` is false.
struct CorrlResult {
  float r;
  float a;
  float b;
  bool valid;
};
CorrlResult corrl(std::span<const float> x, std::span<const float> y);

// winrbr: correlations of one window of `length` years starting in year ws.
// A pair i < j takes part only when both series cover the whole window
// (IFY <= ws and ILY - ws + 1 >= length); only positive r count. With c >= 3
// counted: rbar = their mean, sd their standard deviation (divisor c - 1,
// variance clamped at 0), se = sd / sqrt(c); with c < 3 all three are -99.9.
// The index matrix has chronology rows: row 1 is year IFY(NS + 1). The
// counted correlations are written, in pair order, to the front of `used`
// as far as it reaches (an empty span records none).
struct WindowRbar {
  int count;
  float rbar;
  float sd;
  float se;
};
WindowRbar winrbr(const common::SeriesMatrix& idx, std::span<float> used, const common::YearTable& IYTAB,
                  int NS, int ws, int length);

// runrbr: the running RBAR of the index matrix `idx`.
//  RBRV1 (rows 1..nyrs): column 1 the chronology (read); columns 2 and 3 the
//        chronology stabilised with RBAR1 and RBAR2: c0 + (c - c0) sqrt(r NEFF)
//        with c0 the chronology mean.
//  RBRV2 one row per window with a result: middle year, number of
//        correlations, RBAR, sd, se (columns 6 and 7 untouched).
//  RBRV3 (rows 1..nyrs): column 1 the sample depth N (read); column 2
//        RBAR1, 3 NEFF1 = N / ((N - 1) RBAR1 + 1), 4 RBAR2, 5 NEFF2.
// nyrs = ILY(NS + 1) - IFY(NS + 1) + 1. An even window length becomes one
// larger with the old length as overlap; an overlap that would not move the
// window (step below 1) is taken as length - 1. Windows run from the first
// year in steps of length - overlap; each one's RBAR is stored at its middle
// year. The years before the first and after the last window with a result
// take that window's value, and a window without a result carries the
// value before it. No window with a result: `nwin` 0, RBRV3 columns 2-5
// hold -99.9 and RBRV1 columns 2 and 3 equal column 1.
struct RunrbrResult {
  int nwin;     // windows with a result (rows of RBRV2)
  int length;   // window length actually used
  int overlap;  // window overlap actually used
};
// Large tables share their windows out among the threads of `pool` (or of
// the call's own without one), with the same results.
RunrbrResult runrbr(const common::SeriesMatrix& idx, common::Block& RBRV1, const common::YearTable& IYTAB, int NS,
                    common::Block& RBRV2, common::Block& RBRV3, int length, int overlap, WorkerPool* pool = nullptr);

// One row of the running RBAR table, year row i of RBRV3 (1-based):
// EPS = N r / ((1 - r) + N r) for r = RBAR1 and RBAR2. With no window
// result (nwin 0) the six statistics are all -99.9.
struct RbarTableRow {
  int year;
  int depth;  // whole-number sample depth
  float rbar1, eps1, neff1, rbar2, eps2, neff2;
};
RbarTableRow RunrbrTableRow(const common::Block& RBRV3, int first_year, int row, int nwin);

}  // namespace detrend
