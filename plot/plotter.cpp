#include "plot/plotter.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <plplot.h>

#include <chrono>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <thread>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <algorithm>
#include <vector>

#include "common/text.h"

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

int LabelDecimals(double tick) {
  if (tick == 0.0 || !std::isfinite(tick)) return -1;
  const int magnitude = std::max(0, -static_cast<int>(std::floor(std::log10(std::fabs(tick)))));
  int needed = 0;
  double scaled = std::fabs(tick);
  while (needed < 6 && std::fabs(scaled - std::round(scaled)) > 1e-4 * std::max(1.0, scaled)) {
    scaled *= 10.0;
    ++needed;
  }
  return needed > magnitude ? needed : -1;
}

std::vector<std::pair<std::size_t, std::size_t>> FiniteRuns(std::span<const double> x, std::span<const double> y) {
  std::vector<std::pair<std::size_t, std::size_t>> runs;
  const std::size_t n = std::min(x.size(), y.size());
  auto finite = [&](std::size_t i) { return std::isfinite(x[i]) && std::isfinite(y[i]); };
  std::size_t i = 0;
  while (i < n) {
    while (i < n && !finite(i)) ++i;
    const std::size_t first = i;
    while (i < n && finite(i)) ++i;
    if (i > first) runs.emplace_back(first, i);
  }
  return runs;
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

// Colour map 0 as the plots use it: 16 entries.
constexpr int kColourMap0Size = 16;

int Channel(int value) { return std::clamp(value, 0, 255); }

// A new empty temporary file for a page; empty when none can be made.
std::string NewDraft() {
  std::error_code error;
  std::filesystem::path dir = std::filesystem::temp_directory_path(error);
  if (error) dir = "/tmp";
  std::string name = (dir / "kestrane_page_XXXXXX").string();
  const int fd = mkstemp(name.data());
  if (fd < 0) return {};
  close(fd);
  return name;
}

// Copies the page drawn into `draft` to `name`, every write checked; why it
// did not reach `name` whole, or empty.
std::string CopyPage(const std::string& draft, const std::string& name) {
  std::ifstream in(draft, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  const std::string page = bytes.str();
  // PLplot's PostScript ends with its trailer: a page without it was cut
  // short where it was drawn.
  if (page.find("%%EOF", page.size() > 16 ? page.size() - 16 : 0) == std::string::npos) {
    return "the page could not be drawn whole";
  }
  errno = 0;
  std::FILE* out = std::fopen(name.c_str(), "wb");
  if (out == nullptr) return std::strerror(errno != 0 ? errno : EIO);
  errno = 0;
  int error = 0;
  if (std::fwrite(page.data(), 1, page.size(), out) != page.size() || std::fflush(out) != 0) error = errno;
  if (error == 0 && std::ferror(out) != 0) error = EIO;
  errno = 0;
  if (std::fclose(out) != 0 && error == 0) error = errno != 0 ? errno : EIO;
  return error == 0 ? std::string() : std::string(std::strerror(error));
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

PlplotPlotter::DisplayHold PlplotPlotter::OpenDisplay() {
  DisplayHold hold;
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') return hold;
  // Xlib is loaded only for this check, so the program needs no X library of
  // its own and a missing one just means no screen.
  hold.xlib = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
  if (hold.xlib == nullptr) return hold;
  using OpenFn = void* (*)(const char*);
  auto open_display = reinterpret_cast<OpenFn>(dlsym(hold.xlib, "XOpenDisplay"));
  // A server that has just lost its last client resets for a moment.
  for (int attempt = 0; open_display != nullptr && hold.display == nullptr && attempt < 3; ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    hold.display = open_display(nullptr);
  }
  if (hold.display == nullptr) CloseDisplay(hold);
  return hold;
}

void PlplotPlotter::CloseDisplay(DisplayHold& hold) {
  if (hold.display != nullptr) {
    using CloseFn = int (*)(void*);
    auto close_display = reinterpret_cast<CloseFn>(dlsym(hold.xlib, "XCloseDisplay"));
    if (close_display != nullptr) close_display(hold.display);
  }
  if (hold.xlib != nullptr) dlclose(hold.xlib);
  hold = DisplayHold{};
}

bool PlplotPlotter::DisplayOpens() {
  DisplayHold hold = OpenDisplay();
  const bool opens = hold.display != nullptr;
  CloseDisplay(hold);
  return opens;
}

PlplotPlotter::~PlplotPlotter() {
  if (initialised_) plend();
  if (!draft_name_.empty()) std::remove(draft_name_.c_str());
  if (child_ > 0) {
    int status = 0;
    waitpid(child_, &status, 0);
  }
  CloseDisplay(hold_);
}

void PlplotPlotter::sdev(std::string_view device) {
  skipping_ = false;
  screen_ = false;
  CloseDisplay(hold_);
  if (common::TrimRight(device) != kScreenDevice) {
    plsdev(Str(device).c_str());
    return;
  }
  hold_ = OpenDisplay();
  const std::string name = hold_.display != nullptr ? ScreenDeviceName() : std::string();
  no_screen_ = name.empty();
  skipping_ = true;
  if (no_screen_) {
    CloseDisplay(hold_);
    return;
  }
  // The page is drawn by a child process; this one skips the calls and waits
  // in end(). The child reads nothing of the user's input.
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid < 0) {
    no_screen_ = true;
    CloseDisplay(hold_);
    return;
  }
  if (pid > 0) {
    child_ = static_cast<int>(pid);
    return;
  }
  const int null_input = open("/dev/null", O_RDONLY);
  if (null_input >= 0) {
    dup2(null_input, STDIN_FILENO);
    close(null_input);
  }
  skipping_ = false;
  screen_ = true;
  plsdev(name.c_str());
}

void PlplotPlotter::sfnam(std::string_view file_name) {
  if (skipping_) return;
  if (!draft_name_.empty()) std::remove(draft_name_.c_str());
  page_name_ = Str(file_name);
  draft_name_ = NewDraft();
  file_error_ = draft_name_.empty() ? "no temporary file could be made for the page" : "";
  // Without a file name PLplot would ask for one on standard input.
  plsfnam(draft_name_.empty() ? "/dev/null" : draft_name_.c_str());
}

void PlplotPlotter::setopt(std::string_view option, std::string_view value) {
  if (skipping_) return;
  plsetopt(Str(option).c_str(), Str(value).c_str());
}

void PlplotPlotter::scol0(int index, int r, int g, int b) {
  if (skipping_ || index < 0 || index >= kColourMap0Size) return;
  plscol0(index, Channel(r), Channel(g), Channel(b));
}

void PlplotPlotter::scolbg(int r, int g, int b) {
  if (!skipping_) plscolbg(Channel(r), Channel(g), Channel(b));
}

void PlplotPlotter::init() {
  if (skipping_) return;
  if (screen_) plspause(pause_on_screen_ ? 1 : 0);
  plinit();
  initialised_ = true;
}

void PlplotPlotter::end() {
  if (screen_) {
    // The child that drew the screen page ends here, without running the
    // parent's exit handlers or flushing its copies of the parent's buffers.
    if (initialised_) plend();
    std::fflush(stderr);
    _exit(0);
  }
  if (initialised_) plend();
  if (!page_name_.empty()) {
    if (file_error_.empty()) file_error_ = CopyPage(draft_name_, page_name_);
    if (!draft_name_.empty()) std::remove(draft_name_.c_str());
    draft_name_.clear();
    page_name_.clear();
  }
  if (child_ > 0) {
    int status = 0;
    while (waitpid(child_, &status, 0) < 0 && errno == EINTR) {
    }
    last_screen_status_ = status;
    child_ = -1;
  }
  CloseDisplay(hold_);
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
  xtick = SafeTick(xtick, wx0, wx1);
  ytick = SafeTick(ytick, wy0, wy1);
  // PLplot gives tick labels as many decimals as the tick's magnitude asks
  // for, so ticks of 0.12 would read 0.5, 0.6, 0.7, 0.8, 1.0; such an axis
  // gets its labels with the decimals the tick interval needs.
  std::string xo(xopt), yo(yopt);
  label_decimals_[0] = LabelDecimals(xtick);
  label_decimals_[1] = LabelDecimals(ytick);
  if (label_decimals_[0] >= 0) xo += 'o';
  if (label_decimals_[1] >= 0) yo += 'o';
  const bool custom = label_decimals_[0] >= 0 || label_decimals_[1] >= 0;
  if (custom) plslabelfunc(&PlplotPlotter::Label, this);
  plaxes(x0, y0, xo.c_str(), xtick, nxsub, yo.c_str(), ytick, nysub);
  if (custom) plslabelfunc(nullptr, nullptr);
}

void PlplotPlotter::Label(PLINT axis, PLFLT value, char* label, PLINT length, PLPointer data) {
  const auto* self = static_cast<const PlplotPlotter*>(data);
  const int decimals = self->label_decimals_[axis == PL_Y_AXIS ? 1 : 0];
  const double shown = std::fabs(value) < 0.5 * std::pow(10.0, -std::max(decimals, 0)) ? 0.0 : value;
  std::snprintf(label, static_cast<std::size_t>(length), "%.*f", std::max(decimals, 0), shown);
}

void PlplotPlotter::lab(std::string_view xlabel, std::string_view ylabel, std::string_view title) {
  if (initialised_) pllab(EscapeText(xlabel).c_str(), EscapeText(ylabel).c_str(), EscapeText(title).c_str());
}

void PlplotPlotter::mtex(std::string_view side, double disp, double pos, double just, std::string_view text) {
  if (initialised_) plmtex(Str(side).c_str(), disp, pos, just, EscapeText(text).c_str());
}

void PlplotPlotter::line(std::span<const double> x, std::span<const double> y) {
  if (!initialised_) return;
  for (const auto& [first, last] : FiniteRuns(x, y)) {
    if (last - first >= 2) plline(static_cast<PLINT>(last - first), x.data() + first, y.data() + first);
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
  if (initialised_ && index >= 0 && index < kColourMap0Size) plcol0(index);
}

void PlplotPlotter::width(double w) {
  if (initialised_) plwidth(w);
}

void PlplotPlotter::lsty(int style) {
  if (initialised_ && style >= 1 && style <= 8) pllsty(style);
}

void PlplotPlotter::font(int f) {
  if (initialised_) plfont(f);
}

}  // namespace plot
