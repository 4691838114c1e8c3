// Plot settings (`plotset`), `plotopt` and the plot options menu that every
// plot routine runs after drawing.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "common/console.h"
#include "plot/plotter.h"

namespace plot {

inline constexpr float kLimitUnsetMax = -99999.0f;  // a maximum not set
inline constexpr float kLimitUnsetMin = 99999.0f;   // a minimum not set

// The drawing settings of one plot routine. Arrays hold the system's
// (1), (2), (3) at [0], [1], [2].
struct plotset {
  std::string pdev = std::string("wingcc  ");  // 8 characters
  int iopt = 0;
  int ibgr = 255, ibgg = 255, ibgb = 255;
  std::array<int, 2> iwid{1, 2};       // line width or style, curve width
  std::array<int, 3> icol{15, 1, 9};   // line, curve, third colour (colour map 0)
  int itxtc = 15;
  int ifrmc = 15;
  int nxsub = 0, nysub = 0, nzsub = 0;
  int isym = 20;
  int isymc = 9;
  float xtick = 0.0f, ytick = 0.0f, ztick = 0.0f;
  float xmax = kLimitUnsetMax, xmin = kLimitUnsetMin;
  float ymax = kLimitUnsetMax, ymin = kLimitUnsetMin;
  float zmax = kLimitUnsetMax, zmin = kLimitUnsetMin;
  int idark = 0;  // 1 after background choice 0 (black)
};

// plotopt: applies option `ps.iopt` to the record. 1 to 21 ask for one new
// value on the console (a colour, channel, pen, symbol or minor tick count
// outside its range is asked again; an answer that is not a number keeps
// the old value); 99 resets colours, widths, symbols, device and limits
// (ticks and minor counts are kept); every other number does nothing.
void plotopt(plotset& ps, common::Dialog& dialog);

// What one plot routine keeps between its calls besides drawing data. The
// caller owns one per routine (see PlotMemories); every call starts from the
// reset, so the user's menu changes last until that routine is called again.
struct PlotMemory {
  plotset set;
  std::string answer = "C ";                    // the two-character menu answer
  std::string file_name = std::string(70, ' ');  // PostScript file name
  float z2max = 0.0f, z2min = 0.0f;             // hidden items 22 and 23
  // Bottom panel x axis of the two-panel iteration plot (items 22 to 25).
  float bottom_xmax = 0.0f, bottom_xmin = 0.0f, bottom_xtick = 0.0f;
  int bottom_nxsub = 0;
};

// One PlotMemory per plot routine, for a caller that shows them all.
struct PlotMemories {
  PlotMemory pltser, pltrcb, pltrcs, pltrcf, pltcal, pltitr, pltits, pltorf, pltspc, scatplt;
};

// Where a plot routine draws and talks.
struct PlotContext {
  common::Dialog& dialog;
  Plotter& plotter;
};

// The box variants of the menu.
enum class MenuBox {
  kSeries,       // pltser
  kRegionalFit,  // pltrcb
  kCalendar,     // pltcal
  kStandard,     // pltrcs, pltrcf, pltspc, pltits, scatplt, pltorf
  kIteration,    // pltitr (the wide box)
};

// The numbers a routine accepts beyond 0, 1-21 and 99.
enum class ExtraItems {
  kNone,
  kZ2,          // 22, 23: the z2 axis limits (kept, not drawn)
  kBottomAxis,  // 22 to 25: pltitr's bottom x axis
};

// The lines of a menu box, heading to bottom rule.
std::vector<std::string> MenuBoxLines(MenuBox box);

// One plot from reset to the continue answer: reset the record, `scale`
// (limits, ticks, colour overrides), draw on the screen, then the menu loop
// (replot, save as PostScript, restart from the defaults). `draw` draws one
// page from the colour setting through end(), on whatever device is set.
// A page is never saved over a file the run reads or holds open (the
// dialogue's units tell), and one that cannot be written is named; the menu
// comes back either way.
void RunPlot(PlotContext& ctx, PlotMemory& mem, MenuBox box, ExtraItems extras, const std::function<void()>& scale,
             const std::function<void(Plotter&)>& draw);

// Skeleton colours: entries 0 and 15 from `idark`, then the background.
void SetColours(Plotter& p, const plotset& ps);

// Window from (wx0, wy0) to (wx1, wy1), then the skeleton's axes crossing at
// (x0, y0) with the options "abitnr" and "abinstv". A tick interval that
// would give more than 1000 ticks over the window is drawn as automatic.
void WindowAndAxes(Plotter& p, double wx0, double wx1, double wy0, double wy1, double x0, double y0, double xtick,
                   int nxsub, double ytick, int nysub);

}  // namespace plot
