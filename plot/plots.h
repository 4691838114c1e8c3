// The plot routines. Each draws its page on the screen (when there is one),
// then runs the plot options menu on the console; the caller continues when
// the user leaves the menu. Every routine takes the PlotMemory its caller
// keeps for that routine (PlotMemories holds one of each).
//
// Arrays indexed by position or row are 1-based in the names below: C1(k) is
// C1[k-1]. Matrices are read through ColumnsView. Series identifiers and age
// offsets are indexed as the run storage holds them: ID[IS], AGEOFF[IS].
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "common/storage.h"
#include "plot/plot_settings.h"

namespace plot {

// A read-only column-major matrix, 1-based: a SeriesMatrix, or a flat array
// with leading dimension `ld` (column c starts at flat[(c-1)*ld]).
class ColumnsView {
 public:
  ColumnsView(const common::SeriesMatrix& matrix) : matrix_(&matrix) {}  // NOLINT: implicit on purpose
  ColumnsView(std::span<const float> flat, int ld) : flat_(flat), ld_(ld) {}
  // Cell (row, col); NaN outside the matrix (never drawn, never scaled).
  float operator()(int row, int col) const;

 private:
  const common::SeriesMatrix* matrix_ = nullptr;
  std::span<const float> flat_;
  int ld_ = 0;
};

// pltser's IWREF, which the engine passes: 0 (y axis from 0) for the "Mean
// Segment Length And Mean Tree Age" plot and for the iteration convergence
// statistics plot; 1 for every other call.
inline constexpr int kIwrefFromZero = 0;
inline constexpr int kIwrefDefault = 1;

// First value of a reference curve that is not drawn.
inline constexpr float kNoReference = -999.9f;
// First value of a reference curve drawn as a line at 0.85 under a top of 1.0.
inline constexpr float kReferenceAt085 = 0.85f;

// pltser: curves C1 and C2 (N values from year FY) and an optional reference
// curve REF against calendar years; title, labels, legends from the caller
// (texts of 20, 20, 60, 36, 36 characters). IWREF: pen width of the
// reference line; 0 also starts the y axis at 0 (see kIwrefFromZero).
void pltser(PlotContext& ctx, PlotMemory& mem, std::span<const float> C1, std::span<const float> C2, int N, int FY,
            std::string_view XLAB, std::string_view YLAB, std::string_view TITLE, std::span<const float> REF,
            std::string_view LEG1, std::string_view LEG2, int IWREF);

// pltrcb: one regional curve RC and its fit FIT by biological year,
// positions I1..I2 shifted by OFF; TITLE's first 30 characters are shown.
void pltrcb(PlotContext& ctx, PlotMemory& mem, std::span<const float> RC, std::span<const float> FIT, int I1,
            int I2, float MISS, std::string_view TITLE, int OFF);

// pltrcs: every regional curve of the table with its fit, each on a
// sub-page (at most 20). TAB is LD by 2 by NRC, column-major: TAB(p, c, j)
// is TAB[(p-1) + LD*((c-1) + 2*(j-1))].
void pltrcs(PlotContext& ctx, PlotMemory& mem, int LD, std::span<const float> TAB, int NX, int NRC, int OFF,
            float MISS);

// pltrcf: all regional curves of the table overlaid, "Initial" and "/Final"
// in their own colours.
void pltrcf(PlotContext& ctx, PlotMemory& mem, int LD, std::span<const float> TAB, int NX, int NRC, int OFF,
            float MISS);

// pltcal: every series of X by calendar year (top) and their average (bottom).
void pltcal(PlotContext& ctx, PlotMemory& mem, ColumnsView X, int NS, const common::YearTable& YT, float MISS);

// pltitr: series IS in a signal-free iteration: its fitted curve C4 and its
// age-placed values A5 by biological year (top), its values S3 by calendar
// year (bottom, titled ID[IS]).
void pltitr(PlotContext& ctx, PlotMemory& mem, std::span<const float> S3, std::span<const float> C4,
            std::span<const float> A5, const common::YearTable& YT, float MISS, int L, int IS, int N,
            std::span<const std::string> ID, std::string_view TITLE, std::span<const int> AGEOFF, int OFF);

// pltits: NC curves of N values from year FY (columns of CURVES), the first
// blue, the last red, the others black; REF optional; FLAG 3 tops the y axis
// at 0.01.
void pltits(PlotContext& ctx, PlotMemory& mem, ColumnsView CURVES, std::span<const float> REF, int N, int NC, int FY,
            std::string_view XLAB, std::string_view YLAB, std::string_view TITLE, std::string_view LEG1,
            std::string_view LEG2, int FLAG);

// pltorf: every series in two states, ORIG in blue and FINAL in red, with an
// optional reference REF over the whole data set's span (row NS+1 of YT).
void pltorf(PlotContext& ctx, PlotMemory& mem, ColumnsView ORIG, ColumnsView FINAL, std::span<const float> REF,
            int NS, const common::YearTable& YT, std::string_view XLAB, std::string_view YLAB, std::string_view TITLE,
            std::string_view LEG1, std::string_view LEG2);

// pltspc: two power spectra (columns 2 and 3 of TAB, NR rows) as log10 power
// against frequency (column 1); legends of 18 characters.
void pltspc(PlotContext& ctx, PlotMemory& mem, ColumnsView TAB, int NC, int NR, std::string_view LEG1,
            std::string_view LEG2);

// scatplt: log spread against log level of every series (NP(s) points of
// columns X(., s), Y(., s)) with its own line B(s)*x + A(s), the pooled
// regression in the title.
void scatplt(PlotContext& ctx, PlotMemory& mem, ColumnsView X, ColumnsView Y, std::span<const float> B,
             std::span<const float> A, std::span<const int> NP, int NSER, float RHO, float A0, float B0);

}  // namespace plot
