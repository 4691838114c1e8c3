#include "plot/plotter.h"

#include <dlfcn.h>
#include <plplot.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace plot {

std::string EscapeText(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 4);
  for (char c : text) {
    out += c;
    if (c == '#') out += '#';
  }
  return out;
}

double SafeTick(double tick, double lo, double hi) {
  if (!std::isfinite(tick)) return 0.0;
  if (tick == 0.0) return 0.0;
  const double count = std::fabs((hi - lo) / tick);
  if (!std::isfinite(count) || count > 1000.0) return 0.0;
  return tick;
}

namespace {

std::string Str(std::string_view s) { return std::string(s); }

// Window limits PLplot accepts: finite and distinct.
void SaneLimits(double& lo, double& hi) {
  if (!std::isfinite(lo) || !std::isfinite(hi)) {
    lo = 0.0;
    hi = 1.0;
  }
  if (lo == hi) hi = lo + 1.0;
}

}  // namespace

std::string PlplotPlotter::ScreenDeviceName() {
  constexpr int kMaxDevices = 128;
  const char* menu[kMaxDevices];
  const char* names[kMaxDevices];
  const char** menu_p = menu;
  const char** names_p = names;
  int count = kMaxDevices;
  plgDevs(&menu_p, &names_p, &count);
  bool has_xcairo = false;
  bool has_xwin = false;
  for (int i = 0; i < count; ++i) {
    const std::string_view name = names[i] ? names[i] : "";
    if (name == "xcairo") has_xcairo = true;
    if (name == "xwin") has_xwin = true;
  }
  if (has_xcairo) return "xcairo";
  if (has_xwin) return "xwin";
  return {};
}

bool PlplotPlotter::DisplayOpens() {
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') return false;
  // Xlib is loaded only for this test, so the program needs no X library of
  // its own and a missing one just means no screen.
  void* xlib = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
  if (xlib == nullptr) return false;
  using OpenFn = void* (*)(const char*);
  using CloseFn = int (*)(void*);
  auto open_display = reinterpret_cast<OpenFn>(dlsym(xlib, "XOpenDisplay"));
  auto close_display = reinterpret_cast<CloseFn>(dlsym(xlib, "XCloseDisplay"));
  bool opens = false;
  if (open_display != nullptr && close_display != nullptr) {
    void* dpy = open_display(nullptr);
    if (dpy != nullptr) {
      opens = true;
      close_display(dpy);
    }
  }
  dlclose(xlib);
  return opens;
}

void PlplotPlotter::sdev(std::string_view device) {
  skipping_ = false;
  screen_ = false;
  if (device.substr(0, device.find_last_not_of(' ') + 1) == kScreenDevice) {
    const std::string name = DisplayOpens() ? ScreenDeviceName() : std::string();
    if (name.empty()) {
      skipping_ = true;
      return;
    }
    screen_ = true;
    plsdev(name.c_str());
    return;
  }
  plsdev(Str(device).c_str());
}

void PlplotPlotter::sfnam(std::string_view file_name) {
  if (skipping_) return;
  plsfnam(Str(file_name).c_str());
}

void PlplotPlotter::setopt(std::string_view option, std::string_view value) {
  if (skipping_) return;
  plsetopt(Str(option).c_str(), Str(value).c_str());
}

void PlplotPlotter::scol0(int index, int r, int g, int b) {
  if (!skipping_) plscol0(index, r, g, b);
}

void PlplotPlotter::scolbg(int r, int g, int b) {
  if (!skipping_) plscolbg(r, g, b);
}

void PlplotPlotter::init() {
  if (skipping_) return;
  if (screen_) plspause(pause_on_screen_ ? 1 : 0);
  plinit();
  initialised_ = true;
}

void PlplotPlotter::end() {
  if (initialised_) plend();
  initialised_ = false;
  skipping_ = false;
  screen_ = false;
}

void PlplotPlotter::ssub(int nx, int ny) {
  if (initialised_) plssub(nx, ny);
}

void PlplotPlotter::adv(int page) {
  if (initialised_) pladv(page);
}

void PlplotPlotter::vpor(double xmin, double xmax, double ymin, double ymax) {
  if (initialised_) plvpor(xmin, xmax, ymin, ymax);
}

void PlplotPlotter::wind(double xmin, double xmax, double ymin, double ymax) {
  if (!initialised_) return;
  SaneLimits(xmin, xmax);
  SaneLimits(ymin, ymax);
  plwind(xmin, xmax, ymin, ymax);
}

void PlplotPlotter::axes(double x0, double y0, std::string_view xopt, double xtick, int nxsub, std::string_view yopt,
                         double ytick, int nysub) {
  if (!initialised_) return;
  if (!std::isfinite(x0)) x0 = 0.0;
  if (!std::isfinite(y0)) y0 = 0.0;
  // PLplot ends the process on a tick spacing far too small for the window.
  PLFLT wx0, wx1, wy0, wy1;
  plgvpw(&wx0, &wx1, &wy0, &wy1);
  plaxes(x0, y0, Str(xopt).c_str(), SafeTick(xtick, wx0, wx1), nxsub, Str(yopt).c_str(),
         SafeTick(ytick, wy0, wy1), nysub);
}

void PlplotPlotter::lab(std::string_view xlabel, std::string_view ylabel, std::string_view title) {
  if (initialised_) pllab(EscapeText(xlabel).c_str(), EscapeText(ylabel).c_str(), EscapeText(title).c_str());
}

void PlplotPlotter::mtex(std::string_view side, double disp, double pos, double just, std::string_view text) {
  if (initialised_) plmtex(Str(side).c_str(), disp, pos, just, EscapeText(text).c_str());
}

void PlplotPlotter::line(std::span<const double> x, std::span<const double> y) {
  if (!initialised_) return;
  const std::size_t n = std::min(x.size(), y.size());
  std::size_t start = 0;
  while (start < n) {
    while (start < n && !(std::isfinite(x[start]) && std::isfinite(y[start]))) ++start;
    std::size_t stop = start;
    while (stop < n && std::isfinite(x[stop]) && std::isfinite(y[stop])) ++stop;
    if (stop - start >= 2) plline(static_cast<PLINT>(stop - start), x.data() + start, y.data() + start);
    start = stop;
  }
}

void PlplotPlotter::poin(std::span<const double> x, std::span<const double> y, int code) {
  if (!initialised_) return;
  const std::size_t n = std::min(x.size(), y.size());
  std::vector<double> px, py;
  px.reserve(n);
  py.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    if (std::isfinite(x[i]) && std::isfinite(y[i])) {
      px.push_back(x[i]);
      py.push_back(y[i]);
    }
  }
  if (!px.empty()) plpoin(static_cast<PLINT>(px.size()), px.data(), py.data(), code);
}

void PlplotPlotter::col0(int index) {
  if (initialised_) plcol0(index);
}

void PlplotPlotter::width(double w) {
  if (initialised_) plwidth(w);
}

void PlplotPlotter::lsty(int style) {
  if (initialised_) pllsty(style);
}

void PlplotPlotter::font(int f) {
  if (initialised_) plfont(f);
}

}  // namespace plot
