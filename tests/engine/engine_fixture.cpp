#include "engine_fixture.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "common/text.h"
#include "files/decade.h"

namespace engine::testing {

std::optional<std::string> PromptConsole::ReadLine() {
  if (++reads_ > limit_) return std::nullopt;
  const std::size_t nl = transcript_.rfind('\n');
  const std::string line = nl == std::string::npos ? transcript_ : transcript_.substr(nl + 1);
  std::string answer;
  for (const auto& [text, answers] : rules_) {
    if (line.find(text) == std::string::npos) continue;
    std::size_t& next = used_[text];
    ++asked_[text];
    answer = answers.empty() ? "" : answers[std::min(next, answers.size() - 1)];
    ++next;
    break;
  }
  transcript_ += answer + "\n";
  return answer;
}

int PromptConsole::Asked(const std::string& text) const {
  const auto it = asked_.find(text);
  return it == asked_.end() ? 0 : it->second;
}

void TitlePlotter::lab(std::string_view, std::string_view, std::string_view t) {
  if (!common::IsBlank(t)) titles.emplace_back(common::TrimRight(t));
}

void TitlePlotter::mtex(std::string_view side, double disp, double, double, std::string_view text) {
  if (side == "b" && disp == -30.0) titles.emplace_back(common::TrimRight(text));
}

int TitlePlotter::Count(const std::string& title) const {
  int n = 0;
  for (const std::string& t : titles) n += t == title ? 1 : 0;
  return n;
}

void LoadDataSet(common::RunStorage& store, const std::string& data_name, const std::filesystem::path& dir) {
  common::ScriptedConsole quiet({});
  common::Units units;
  common::Dialog d(quiet, units);
  const std::string path = test_support::TestDataPath(data_name);
  if (!units.Open(10, path, common::Units::Mode::kRead)) throw std::runtime_error("cannot read " + path);
  std::vector<float> x(common::MAXYRS);
  int ns = 0, iser = 0;
  for (;;) {
    std::string id(8, ' '), line(100, ' ');
    int first = 0, n = 0;
    const files::RwlResult r =
        files::rwlio(d, id, first, n, x, {}, iser, 10, 0, "mr", line, "", common::MAXYRS, store.TITLE);
    if (r == files::RwlResult::kEndOfFile) break;
    if (r != files::RwlResult::kDone) throw std::runtime_error("unreadable series in " + path);
    ++ns;
    store.SERID[static_cast<std::size_t>(ns)] = id;
    store.IYTAB.IFY(ns) = first;
    store.IYTAB.ILY(ns) = first + n - 1;
    for (int k = 1; k <= n; ++k) store.SERWRK.at(k, ns) = x[static_cast<std::size_t>(k - 1)];
  }
  store.NS = ns;
  int fy = store.IYTAB.IFY(1), ly = store.IYTAB.ILY(1);
  for (int i = 1; i <= ns; ++i) {
    fy = std::min(fy, store.IYTAB.IFY(i));
    ly = std::max(ly, store.IYTAB.ILY(i));
    store.IYTAB.NYR(i) = store.IYTAB.ILY(i);  // column 3: the last year of the fitting period
  }
  store.IYTAB.IFY(ns + 1) = fy;
  store.IYTAB.ILY(ns + 1) = ly;
  store.IYTAB.NYR(ns + 1) = ly - fy + 1;
  store.TITLE[1] = common::Fixed("Test data set " + data_name, 100);
  const std::string datfil = (dir / data_name).string();
  if (datfil.size() > 50) throw std::runtime_error("the data file's path is longer than DATFIL: " + datfil);
  store.DATFIL = common::Fixed(datfil, 50);
}

EngineSession::EngineSession(const std::string& data_name, PromptConsole c, common::ProgramVariant variant)
    : console(std::move(c)), dialog(console, units, variant), state(variant) {
  LoadDataSet(*store, data_name, dir.path());
  stem = data_name.substr(0, data_name.find('.'));
  units.Open(common::kReportUnit, (dir.path() / (stem + "_out.txt")).string(), common::Units::Mode::kWrite);
}

EngineOutcome EngineSession::Call() {
  common::RunStorage& s = *store;
  restart.CONST = 0.1f * static_cast<float>(restart.KRETRY);
  for (int i = 1; i <= s.NS; ++i) {
    const int n = s.IYTAB.ILY(i) - s.IYTAB.IFY(i) + 1;
    for (int k = 1; k <= n; ++k) s.SERMAT.at(k, i) = s.SERWRK.get(k, i) + restart.CONST;
    restart.CRVMIN[static_cast<std::size_t>(i)] = common::kCurveFloor;
  }
  return sigfre(dialog, plotter, s, options, restart, state);
}

std::string EngineSession::File(const std::string& suffix) const { return dir.Read(stem + suffix); }

std::string EngineSession::Report() {
  units.FlushAll();
  return dir.Read(stem + "_out.txt");
}

double Mean(const std::vector<double>& x) {
  double s = 0.0;
  for (double v : x) s += v;
  return s / static_cast<double>(x.size());
}

double Sd(const std::vector<double>& x) {
  const double m = Mean(x);
  double s = 0.0;
  for (double v : x) s += (v - m) * (v - m);
  return std::sqrt(s / static_cast<double>(x.size() - 1));
}

}  // namespace engine::testing
