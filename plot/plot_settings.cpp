#include "plot/plot_settings.h"

#include <cmath>
#include <optional>

#include "common/fortran_format.h"
#include "common/text.h"

namespace plot {

namespace {

// Blanks that put the next text at `column`.
std::string At(int column) { return std::string(static_cast<std::size_t>(column - 1), ' '); }

// Fw.d of a real, as the edit descriptor writes it; asterisks when it is
// not finite.
std::string RealField(float value, int w, int d) {
  if (!std::isfinite(value)) return std::string(static_cast<std::size_t>(w), '*');
  return common::fmt::Print("(f" + std::to_string(w) + "." + std::to_string(d) + ")", value);
}

using common::fmt::I;

// An integer read from a typed field under Iw (blanks inside ignored);
// nullopt when the field is blank or not a number.
std::optional<int> IntIgnoringBlanks(std::string_view field) {
  if (common::IsBlank(field)) return std::nullopt;
  int value = 0;
  const std::string descriptor = "(i" + std::to_string(field.size()) + ")";
  if (common::fmt::ReadFrom(descriptor, field, &value) != common::fmt::ReadStatus::kOk) return std::nullopt;
  return value;
}

// An integer read from the first four characters of the typed answer (I4):
// blanks are ignored and a blank field is 0; nullopt when it is not a number.
std::optional<int> ReadFourColumns(common::Dialog& dialog) {
  const common::TypedAnswer field = dialog.ReadTyped(4);
  if (field.blank) return 0;
  return IntIgnoringBlanks(field.text);
}

void Store(std::optional<float> v, float& field) {
  if (v) field = *v;
}

// The range a setting takes: colour map 0 indices, background channels,
// line styles and widths, symbol codes, minor tick counts (more would only
// blacken the axis and take PLplot minutes to draw).
struct Range {
  int lo, hi;
};
constexpr Range kColour{0, 15};
constexpr Range kChannel{0, 255};
constexpr Range kPen{0, 8};
constexpr Range kSymbol{0, 126};
constexpr Range kMinorTicks{0, 100};

// Stores the number `read` returns when it lies in `range`; one outside is
// asked again after a line saying so (`ask` shows the question again). An
// answer that is not a number keeps the old value.
void StoreInRange(common::Dialog& d, Range range, const std::function<void()>& ask,
                  const std::function<std::optional<int>()>& read, int& field) {
  for (;;) {
    const std::optional<int> value = read();
    if (!value) return;
    if (*value >= range.lo && *value <= range.hi) {
      field = *value;
      return;
    }
    d.Screen("");
    d.Screen(At(14) + "out of range re-enter a number from " + std::to_string(range.lo) + " to " +
             std::to_string(range.hi));
    ask();
  }
}

void ColourTable(common::Dialog& d) {
  const std::string pad = At(14);
  d.Screen("");
  d.Screen(pad + "color table ______________________________________________");
  d.Screen(pad + "white(0) red(1)  yellow(2)  green(3)  aquamarine(4) pink(5) ");
  d.Screen(pad + "wheat(6)  grey(7)  browm(8)  blue(9)  blueviolet(10)");
  d.Screen(pad + "cyan(11)  turquoise(12)  magenta(13)  salmon(14)  black(15)");
  d.Screen(pad + "___________________________________________________________");
  d.Screen("");
}

void BackgroundTable(common::Dialog& d) {
  const std::string pad = At(14);
  d.Screen("");
  d.Screen(pad + "color table (background only) ____________________________");
  d.Screen(pad + "black(0) white(1)  user defined (2)");
  d.Screen(pad + "___________________________________________________________");
  d.Screen("");
}

// A prompt at column 14, the cursor left after it; `blank_before` puts an
// empty line first.
void Ask14(common::Dialog& d, bool blank_before, std::string_view text) {
  if (blank_before) d.Screen("");
  d.ScreenText(At(14) + std::string(text));
}

// "text" + current value, then "to > " on the next line.
void AskChange(common::Dialog& d, std::string_view text, const std::string& value, int column = 14) {
  d.Screen("");
  d.Screen(At(column) + std::string(text) + value);
  d.ScreenText(At(14) + "to > ");
}

// A major tick interval: shown as a whole number (f6.0), read free-form.
void ChangeTick(common::Dialog& d, std::string_view text, float& tick) {
  AskChange(d, text, RealField(tick, 6, 0));
  Store(d.ReadFreeReal(), tick);
}

// A limit: shown with 3 decimals (f8.3), its line at `column`, read free-form.
void ChangeReal(common::Dialog& d, std::string_view text, float& value, int column = 14) {
  AskChange(d, text, RealField(value, 8, 3), column);
  Store(d.ReadFreeReal(), value);
}

enum class IntRead { kFree, kFourColumns };

std::optional<int> ReadInt(common::Dialog& d, IntRead read) {
  return read == IntRead::kFourColumns ? ReadFourColumns(d) : d.ReadFreeInt();
}

// A count or code in `range`: shown in 4 positions, read free-form or from
// 4 columns.
void ChangeInt(common::Dialog& d, std::string_view text, int& value, IntRead read, Range range) {
  auto ask = [&] { AskChange(d, text, I(4, value)); };
  ask();
  StoreInRange(d, range, ask, [&] { return ReadInt(d, read); }, value);
}

// A setting asked by a prompt at column 14 (`blank_before`: after an empty
// line), its value in `range`.
void SelectInt(common::Dialog& d, bool blank_before, std::string_view text, int& value, IntRead read, Range range) {
  Ask14(d, blank_before, text);
  StoreInRange(d, range, [&] { Ask14(d, false, text); }, [&] { return ReadInt(d, read); }, value);
}

void Reset(plotset& ps) {
  ps.isym = 20;
  ps.iwid = {1, 2};
  ps.isymc = 9;
  ps.icol = {15, 1, 9};
  ps.itxtc = 15;
  ps.ifrmc = 15;
  ps.ibgr = ps.ibgg = ps.ibgb = 255;
  ps.pdev = "wingcc  ";
  ps.xmin = ps.ymin = ps.zmin = kLimitUnsetMin;
  ps.xmax = ps.ymax = ps.zmax = kLimitUnsetMax;
  ps.idark = 0;
}

}  // namespace

void plotopt(plotset& ps, common::Dialog& d) {
  const int opt = ps.iopt;
  if (opt == 2 || opt == 3 || opt == 4 || opt == 5 || opt == 21) ColourTable(d);
  if (opt == 1) BackgroundTable(d);
  switch (opt) {
    case 1: {
      Ask14(d, true, "select new background color [0/1/2] : ");
      const std::optional<int> choice = d.ReadFreeInt();
      if (!choice) break;
      if (*choice == 0) {
        ps.ibgr = ps.ibgg = ps.ibgb = 0;
        ps.idark = 1;
      } else if (*choice == 1) {
        ps.ibgr = ps.ibgg = ps.ibgb = 255;
        ps.idark = 0;
      } else if (*choice == 2) {
        SelectInt(d, false, "enter red value [0-255] > ", ps.ibgr, IntRead::kFree, kChannel);
        SelectInt(d, false, "enter green value [0-255] > ", ps.ibgg, IntRead::kFree, kChannel);
        SelectInt(d, false, "enter blue value [0-255] > ", ps.ibgb, IntRead::kFree, kChannel);
        ps.idark = 0;
      }
      break;
    }
    case 2:
      SelectInt(d, false, "select new frame color [0-15] : ", ps.ifrmc, IntRead::kFree, kColour);
      break;
    case 3:
      SelectInt(d, true, "select new text color: [0-15] : ", ps.itxtc, IntRead::kFree, kColour);
      break;
    case 4:
      SelectInt(d, false, "select new line color: [0-15] : ", ps.icol[0], IntRead::kFourColumns, kColour);
      break;
    case 5:
      SelectInt(d, false, "select new curve color: [0-15] : ", ps.icol[1], IntRead::kFourColumns, kColour);
      break;
    case 6:
      SelectInt(d, true, "select new line style: [0-8] : ", ps.iwid[0], IntRead::kFourColumns, kPen);
      break;
    case 7:
      SelectInt(d, true, "select new curve width: [0-8]  : ", ps.iwid[1], IntRead::kFourColumns, kPen);
      break;
    case 8:
      ChangeTick(d, "change x axis major tics from: ", ps.xtick);
      break;
    case 9:
      ChangeInt(d, "change x axis minor tics from: ", ps.nxsub, IntRead::kFree, kMinorTicks);
      break;
    case 10:
      ChangeTick(d, "change y axis major tics from: ", ps.ytick);
      break;
    case 11:
      ChangeInt(d, "change y axis minor tics from: ", ps.nysub, IntRead::kFourColumns, kMinorTicks);
      break;
    case 12:
      ChangeTick(d, "change z axis major tics from: ", ps.ztick);
      break;
    case 13:
      ChangeInt(d, "change z axis minor tics from: ", ps.nzsub, IntRead::kFourColumns, kMinorTicks);
      break;
    case 14:
      ChangeReal(d, "change x axis max value from: ", ps.xmax);
      break;
    case 15:
      ChangeReal(d, "change x axis min value from: ", ps.xmin);
      break;
    case 16:
      ChangeReal(d, "change y axis max value from: ", ps.ymax);
      break;
    case 17:
      ChangeReal(d, "change y axis min value from: ", ps.ymin);
      break;
    case 18:
      ChangeReal(d, "change z axis max value from: ", ps.zmax);
      break;
    case 19:
      ChangeReal(d, "change z axis min value from: ", ps.zmin);
      break;
    case 20:
      ChangeInt(d, "change symbol [0-126, 32 = no symbol]: ", ps.isym, IntRead::kFree, kSymbol);
      break;
    case 21:
      ChangeInt(d, "change symbol color from: ", ps.isymc, IntRead::kFree, kColour);
      break;
    case 99:
      Reset(ps);
      break;
    default:
      break;
  }
}

std::vector<std::string> MenuBoxLines(MenuBox box) {
  if (box == MenuBox::kIteration) {
    return {
        "|******************** plot options menu *******************|",
        "| replot                 [0]  minor ticks y (top)     [11] |",
        "| background color       [1]  major ticks z (y bottom)[12] |",
        "| frame color            [-]  minor ticks z (y bottom)[13] |",
        "| text color             [-]  max. x (top)            [14] |",
        "| line color (top)       [4]  min. x (top)            [15] |",
        "| line color (bottom)    [5]  max. y (top)            [16] |",
        "| line style             [-]  min. y (top)            [17] |",
        "| curve width            [-]  max. z (Y bottom)       [18] |",
        "| major ticks x(top)     [8]  min. z (Y bottom)       [19] |",
        "| minor ticks x(top)     [9]  symbol type              [-] |",
        "| major ticks y(top)     [10] symbol color             [-] |",
        "| max. x (bottom)        [22] min. x (bottom)         [23] |",
        "| major ticks x (bottom) [24] minor ticks x (bottom)  [25] |",
        "|                                                          |",
        "|                   reset options  [99]                    |",
        "|----------------------------------------------------------|",
        "|           [s]ave   <[c]ontinue>  [n]o more plots         |",
        "|__________________________________________________________|",
    };
  }
  std::vector<std::string> lines = {
      "|************* plot options menu **************|",
      "| replot             [0]  minor ticks y   [11] |",
      "| background color   [1]  major ticks z    [-] |",
      "| frame color        [-]  minor ticks z    [-] |",
      "| text color         [-]  max. x          [14] |",
      "| line color         [4]  min. x          [15] |",
      "| curve  color       [5]  max. y          [16] |",
      "| line  width        [6]  min. y          [17] |",
      "| curve width        [7]  max. z           [-] |",
      "| major ticks x      [8]  min. z           [-] |",
      "| minor ticks x      [9]  symbol type      [-] |",
      "| major ticks y     [10]  symbol color     [-] |",
      "|                                              |",
      "|              reset options  [99]             |",
      "|----------------------------------------------|",
      "|    [s]ave   <[c]ontinue>  [n]o more plots    |",
      "|______________________________________________|",
  };
  // Item lines 5 to 8 are lines[5] to lines[8].
  const char* kNoWidths7 = "| line style         [-]  min. y          [17] |";
  const char* kNoWidths8 = "| curve width        [-]  max. z           [-] |";
  switch (box) {
    case MenuBox::kSeries:
      break;
    case MenuBox::kRegionalFit:
      lines[7] = kNoWidths7;
      lines[8] = kNoWidths8;
      break;
    case MenuBox::kCalendar:
      lines[5] = "| line color(top)    [4]  min. x          [15] |";
      lines[6] = "| line color(bottom) [5]  max. y          [16] |";
      lines[7] = kNoWidths7;
      lines[8] = kNoWidths8;
      break;
    case MenuBox::kStandard:
      lines[6] = "| curve color        [5]  max. y          [16] |";
      lines[7] = kNoWidths7;
      lines[8] = kNoWidths8;
      break;
    case MenuBox::kIteration:
      break;
  }
  return lines;
}

void SetColours(Plotter& p, const plotset& ps) {
  if (ps.idark == 0) {
    p.scol0(0, 255, 255, 255);
    p.scol0(15, 0, 0, 0);
  } else {
    p.scol0(15, 255, 255, 255);
    p.scol0(0, 0, 0, 0);
  }
  p.scolbg(ps.ibgr, ps.ibgg, ps.ibgb);
}

void WindowAndAxes(Plotter& p, double wx0, double wx1, double wy0, double wy1, double x0, double y0, double xtick,
                   int nxsub, double ytick, int nysub) {
  p.wind(wx0, wx1, wy0, wy1);
  p.axes(x0, y0, "abitnr", SafeTick(xtick, wx0, wx1), nxsub, "abinstv", SafeTick(ytick, wy0, wy1), nysub);
}

namespace {

void PrintBox(common::Dialog& d, MenuBox box) {
  d.Screen("");
  d.Screen("");
  for (const std::string& line : MenuBoxLines(box)) d.Screen(At(16) + line);
}

// The menu answer as an option number: the two characters without blanks.
std::optional<int> OptionNumber(const std::string& answer) { return IntIgnoringBlanks(answer); }

bool IsContinue(const std::string& a) {
  return a == "C " || a == "c " || a == "  " || a == "Y " || a == "y " || a == "N " || a == "n ";
}

// The save path's lines at column 16.
void SaveLine(common::Dialog& d, const std::string& text) { d.Screen(At(16) + text); }

// The plot file name typed (leading blanks removed), or empty after the
// lines that say why no page is written under it: an entry that cannot be
// read (blank, a control character, "-", which PLplot takes for standard
// output), or a file the run reads or holds open, whatever path names it.
std::string PageName(common::Dialog& d, const common::TypedAnswer& typed) {
  const std::string name(common::TrimRight(typed.text));
  if (typed.blank || name == "-" || common::HasControlCharacter(name)) {
    d.Screen("");
    SaveLine(d, "Error reading plot file name");
    SaveLine(d, "Try again and do not forget to append");
    SaveLine(d, "the extension .ps");
    return {};
  }
  const std::string in_use = d.units().WhyInUse(name);
  if (!in_use.empty()) {
    d.Screen("");
    SaveLine(d, "Cannot write the plot file " + name + ": " + in_use);
    return {};
  }
  return name;
}

// The extra items; false when `option` is not one of this routine's.
bool ExtraItem(common::Dialog& d, PlotMemory& mem, ExtraItems extras, int option) {
  if (extras == ExtraItems::kZ2) {
    if (option == 22) {
      ChangeReal(d, "change z2 axis max value from: ", mem.z2max, 16);
      return true;
    }
    if (option == 23) {
      ChangeReal(d, "change z2 axis min. value from: ", mem.z2min, 16);
      return true;
    }
  }
  if (extras == ExtraItems::kBottomAxis) {
    switch (option) {
      case 22:
        ChangeReal(d, "change Z(bottom) axis max value from: ", mem.bottom_xmax, 16);
        return true;
      case 23:
        ChangeReal(d, "change Z(bottom) axis min. value from: ", mem.bottom_xmin, 16);
        return true;
      case 24:
        ChangeReal(d, "change X(bottom) axis max tick value from: ", mem.bottom_xtick, 16);
        return true;
      case 25: {
        auto ask = [&] {
          AskChange(d, "change X(bottom) axis min tick value from: ",
                    RealField(static_cast<float>(mem.bottom_nxsub), 8, 3), 16);
        };
        ask();
        StoreInRange(d, kMinorTicks, ask, [&] { return d.ReadFreeInt(); }, mem.bottom_nxsub);
        return true;
      }
      default:
        break;
    }
  }
  return false;
}

void DrawOnScreen(Plotter& p, const plotset& ps, const std::function<void(Plotter&)>& draw) {
  p.sdev(common::TrimRight(ps.pdev));
  p.setopt("geometry", "1000x600");
  draw(p);
}

}  // namespace

void RunPlot(PlotContext& ctx, PlotMemory& mem, MenuBox box, ExtraItems extras, const std::function<void()>& scale,
             const std::function<void(Plotter&)>& draw) {
  common::Dialog& d = ctx.dialog;
  Plotter& p = ctx.plotter;
  for (;;) {  // once per start from the defaults
    mem.set.iopt = 99;
    plotopt(mem.set, d);
    scale();
    DrawOnScreen(p, mem.set, draw);

    bool restart = false;
    bool preset = true;
    while (!restart) {
      if (preset) mem.answer = "C ";
      preset = false;
      PrintBox(d, box);
      d.Screen("");
      d.ScreenText(At(16) + " enter option number > ");
      mem.answer = d.ReadTyped(2).text;

      if (mem.answer == "S " || mem.answer == "s ") {
        d.Screen("");
        SaveLine(d, "NOTE: The image file you are about to create is PostScript. ");
        SaveLine(d, "To make this readily apparent to your OS we recommend adding");
        SaveLine(d, "the extension .ps to the file name.");
        mem.file_name.assign(70, ' ');
        d.ScreenText(At(16) + "Enter plot file name > ");
        // A name is a path: "/" stops the program only as the whole answer.
        const common::TypedAnswer typed = d.ReadTyped(70, common::Slash::kAlone);
        mem.file_name = typed.text;
        const std::string name = PageName(d, typed);
        if (name.empty()) continue;
        p.sdev("psc");
        p.setopt("geometry", "600x1000");
        p.sfnam(name);
        draw(p);
        // A page that did not reach its file is named; the menu comes back,
        // so it can be saved under another name.
        const std::string failed = p.file_error();
        if (!failed.empty()) {
          d.Screen("");
          SaveLine(d, "Cannot write the plot file " + name + ": " + failed);
        }
        preset = true;
        continue;
      }
      if (IsContinue(mem.answer)) return;

      const std::optional<int> option = OptionNumber(mem.answer);
      if (option) mem.set.iopt = *option;
      if (option && *option >= 1 && *option <= 21) {
        plotopt(mem.set, d);
      } else if (option && *option == 0) {
        mem.set.pdev = "wingcc  ";
        DrawOnScreen(p, mem.set, draw);
        preset = true;
      } else if (option && *option == 99) {
        restart = true;
      } else if (!(option && ExtraItem(d, mem, extras, *option))) {
        d.Screen("");
        d.Screen(At(14) + "unknown option re-enter a valid request");
      }
    }
  }
}

}  // namespace plot
