// The drawing seam: every plot routine draws through a Plotter.
//
// The calls mirror the PLplot entry points the plots use, in double
// precision. PlplotPlotter draws through PLplot; tests use a recording one.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace plot {

class Plotter {
 public:
  virtual ~Plotter() = default;
  virtual void sdev(std::string_view device) = 0;
  virtual void sfnam(std::string_view file_name) = 0;
  virtual void setopt(std::string_view option, std::string_view value) = 0;
  virtual void scol0(int index, int r, int g, int b) = 0;
  virtual void scolbg(int r, int g, int b) = 0;
  virtual void init() = 0;
  virtual void end() = 0;
  virtual void ssub(int nx, int ny) = 0;
  virtual void adv(int page) = 0;
  virtual void vpor(double xmin, double xmax, double ymin, double ymax) = 0;
  virtual void wind(double xmin, double xmax, double ymin, double ymax) = 0;
  virtual void axes(double x0, double y0, std::string_view xopt, double xtick, int nxsub, std::string_view yopt,
                    double ytick, int nysub) = 0;
  virtual void lab(std::string_view xlabel, std::string_view ylabel, std::string_view title) = 0;
  virtual void mtex(std::string_view side, double disp, double pos, double just, std::string_view text) = 0;
  // Points that are not finite break the line (they are never drawn).
  virtual void line(std::span<const double> x, std::span<const double> y) = 0;
  virtual void poin(std::span<const double> x, std::span<const double> y, int code) = 0;
  virtual void col0(int index) = 0;
  virtual void width(double w) = 0;
  virtual void lsty(int style) = 0;
  virtual void font(int f) = 0;
  // Why the last page drawn to a file (sdev of a file device, sfnam, the
  // drawing, end) did not reach that file whole; empty when it did.
  virtual std::string file_error() const { return {}; }
};

// "wingcc", the screen device the plot settings name; the PLplot plotter
// maps it to the platform's window device.
inline constexpr std::string_view kScreenDevice = "wingcc";

// The major tick interval drawn for a window from lo to hi: `tick` itself,
// or 0 (PLplot's automatic ticks) when it is not finite or would give more
// than 1000 ticks, which PLplot refuses by ending the process.
double SafeTick(double tick, double lo, double hi);

// The decimals the tick labels of an interval need when PLplot's own labels
// (as many decimals as the interval's magnitude) would misstate them, as for
// 0.12 or 0.25; -1 when PLplot's labels are exact (0.1, 0.5, 20, 250, ...).
int LabelDecimals(double tick);

// The runs [first, last) of consecutive points whose x and y are both
// finite: the pieces a line is drawn in.
std::vector<std::pair<std::size_t, std::size_t>> FiniteRuns(std::span<const double> x, std::span<const double> y);

// PLplot's text escape "#" doubled, so the text prints as written.
std::string EscapeText(std::string_view text);

// Draws nothing: for runs measured or checked without any display (the
// benchmarks, the engine's tests).
class NullPlotter : public Plotter {
 public:
  void sdev(std::string_view) override {}
  void sfnam(std::string_view) override {}
  void setopt(std::string_view, std::string_view) override {}
  void scol0(int, int, int, int) override {}
  void scolbg(int, int, int) override {}
  void init() override {}
  void end() override {}
  void ssub(int, int) override {}
  void adv(int) override {}
  void vpor(double, double, double, double) override {}
  void wind(double, double, double, double) override {}
  void axes(double, double, std::string_view, double, int, std::string_view, double, int) override {}
  void lab(std::string_view, std::string_view, std::string_view) override {}
  void mtex(std::string_view, double, double, double, std::string_view) override {}
  void line(std::span<const double>, std::span<const double>) override {}
  void poin(std::span<const double>, std::span<const double>, int) override {}
  void col0(int) override {}
  void width(double) override {}
  void lsty(int) override {}
  void font(int) override {}
};

// Draws through PLplot. The screen device "wingcc" becomes "xcairo", or
// "xwin" when xcairo is missing, and is used only when PLplot lists it and
// the X display opens; otherwise every call from sdev("wingcc") to end() is
// skipped, so a run without a display still reaches its menu and can save.
// A screen drawing runs in a child process, which end() waits for: PLplot
// ends the process on a device failure, and that must never be the program.
// A file page is drawn into a temporary file and copied to its name by
// end(), every write checked (PLplot does not say when one fails), so a
// page that cannot be written there is known (file_error()). Colours, line
// styles and background values PLplot would refuse with a message on the
// error stream are never passed to it: the refused call would change
// nothing.
class PlplotPlotter : public Plotter {
 public:
  // `pause_on_screen`: keep a screen window open until the user dismisses
  // it (PLplot's end-of-page pause); off for unattended runs.
  explicit PlplotPlotter(bool pause_on_screen = true) : pause_on_screen_(pause_on_screen) {}

  // The window device PLplot offers here ("xcairo", "xwin"), or empty.
  static std::string ScreenDeviceName();
  // True when the X display named by DISPLAY opens.
  static bool DisplayOpens();

  void sdev(std::string_view device) override;
  void sfnam(std::string_view file_name) override;
  void setopt(std::string_view option, std::string_view value) override;
  void scol0(int index, int r, int g, int b) override;
  void scolbg(int r, int g, int b) override;
  void init() override;
  void end() override;
  void ssub(int nx, int ny) override;
  void adv(int page) override;
  void vpor(double xmin, double xmax, double ymin, double ymax) override;
  void wind(double xmin, double xmax, double ymin, double ymax) override;
  void axes(double x0, double y0, std::string_view xopt, double xtick, int nxsub, std::string_view yopt,
            double ytick, int nysub) override;
  void lab(std::string_view xlabel, std::string_view ylabel, std::string_view title) override;
  void mtex(std::string_view side, double disp, double pos, double just, std::string_view text) override;
  void line(std::span<const double> x, std::span<const double> y) override;
  void poin(std::span<const double> x, std::span<const double> y, int code) override;
  void col0(int index) override;
  void width(double w) override;
  void lsty(int style) override;
  void font(int f) override;
  std::string file_error() const override { return file_error_; }

  // Whether the last sdev("wingcc") found no usable screen.
  bool screen_skipped() const { return no_screen_; }
  // Wait status of the last screen drawing's process (0: drew and ended
  // normally); -1 before any.
  int last_screen_status() const { return last_screen_status_; }

  PlplotPlotter(const PlplotPlotter&) = delete;
  PlplotPlotter& operator=(const PlplotPlotter&) = delete;
  ~PlplotPlotter() override;

 private:
  // A connection to the X display held from the screen check until the
  // drawing ends: an X server resets when its last client leaves, and a
  // device opening during that reset would fail (PLplot then exits).
  struct DisplayHold {
    void* xlib = nullptr;
    void* display = nullptr;
  };
  static DisplayHold OpenDisplay();
  static void Label(int axis, double value, char* label, int length, void* data);
  int label_decimals_[2] = {-1, -1};
  static void CloseDisplay(DisplayHold& hold);

  DisplayHold hold_;
  bool pause_on_screen_;
  bool skipping_ = false;   // calls are dropped until end(): no screen, or a child draws it
  bool no_screen_ = false;  // the last screen request found no usable screen
  bool screen_ = false;     // this process draws on the window device (the child)
  bool initialised_ = false;
  int child_ = -1;          // process drawing the screen page, waited for by end()
  int last_screen_status_ = -1;
  std::string page_name_;   // the file the page being drawn goes to, or empty
  std::string draft_name_;  // the temporary file PLplot draws it into
  std::string file_error_;
};

}  // namespace plot
