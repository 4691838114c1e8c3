// A Plotter that records every call, for tests of what the plots draw.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "plot/plotter.h"

namespace plot::testing {

struct Call {
  std::string name;   // "col0", "line", ...
  std::string args;   // the arguments as text
  std::vector<double> x, y;  // points of line and poin
};

class RecordingPlotter : public Plotter {
 public:
  std::vector<Call> calls;

  void sdev(std::string_view d) override { Add("sdev", std::string(d)); }
  void sfnam(std::string_view f) override { Add("sfnam", std::string(f)); }
  void setopt(std::string_view o, std::string_view v) override { Add("setopt", std::string(o) + " " + std::string(v)); }
  void scol0(int i, int r, int g, int b) override { Add("scol0", Ints({i, r, g, b})); }
  void scolbg(int r, int g, int b) override { Add("scolbg", Ints({r, g, b})); }
  void init() override { Add("init", ""); }
  void end() override { Add("end", ""); }
  void ssub(int nx, int ny) override { Add("ssub", Ints({nx, ny})); }
  void adv(int page) override { Add("adv", Ints({page})); }
  void vpor(double a, double b, double c, double d) override { Add("vpor", Reals({a, b, c, d})); }
  void wind(double a, double b, double c, double d) override { Add("wind", Reals({a, b, c, d})); }
  void axes(double x0, double y0, std::string_view xopt, double xtick, int nxsub, std::string_view yopt, double ytick,
            int nysub) override {
    Add("axes", Reals({x0, y0}) + " " + std::string(xopt) + " " + Reals({xtick}) + " " + std::to_string(nxsub) + " " +
                    std::string(yopt) + " " + Reals({ytick}) + " " + std::to_string(nysub));
  }
  void lab(std::string_view x, std::string_view y, std::string_view t) override {
    Add("lab", std::string(x) + "|" + std::string(y) + "|" + std::string(t));
  }
  void mtex(std::string_view side, double disp, double pos, double just, std::string_view text) override {
    Add("mtex", std::string(side) + " " + Reals({disp, pos, just}) + " " + std::string(text));
  }
  void line(std::span<const double> x, std::span<const double> y) override {
    calls.push_back({"line", std::to_string(x.size()), {x.begin(), x.end()}, {y.begin(), y.end()}});
  }
  void poin(std::span<const double> x, std::span<const double> y, int code) override {
    calls.push_back({"poin", std::to_string(x.size()) + " " + std::to_string(code), {x.begin(), x.end()},
                     {y.begin(), y.end()}});
  }
  void col0(int i) override { Add("col0", Ints({i})); }
  void width(double w) override { Add("width", Reals({w})); }
  void lsty(int s) override { Add("lsty", Ints({s})); }
  void font(int f) override { Add("font", Ints({f})); }

  // Every call as "name args", one a line.
  std::string Text() const {
    std::string out;
    for (const Call& c : calls) out += c.name + " " + c.args + "\n";
    return out;
  }
  // The calls of one name, in order.
  std::vector<Call> Named(const std::string& name) const {
    std::vector<Call> out;
    for (const Call& c : calls) {
      if (c.name == name) out.push_back(c);
    }
    return out;
  }
  // The colour current at each line call, in order.
  std::vector<int> LineColours() const {
    std::vector<int> out;
    int colour = -1;
    for (const Call& c : calls) {
      if (c.name == "col0") colour = std::stoi(c.args);
      if (c.name == "line") out.push_back(colour);
    }
    return out;
  }
  // The calls of the first page (up to and including the first end).
  RecordingPlotter FirstPage() const {
    RecordingPlotter r;
    for (const Call& c : calls) {
      r.calls.push_back(c);
      if (c.name == "end") break;
    }
    return r;
  }

 private:
  void Add(const char* name, std::string args) { calls.push_back({name, std::move(args), {}, {}}); }
  static std::string Ints(std::initializer_list<int> v) {
    std::string s;
    for (int i : v) s += (s.empty() ? "" : " ") + std::to_string(i);
    return s;
  }
  static std::string Reals(std::initializer_list<double> v) {
    std::string s;
    char buf[64];
    for (double d : v) {
      std::snprintf(buf, sizeof buf, "%g", d);
      s += (s.empty() ? "" : " ") + std::string(buf);
    }
    return s;
  }
};

}  // namespace plot::testing
