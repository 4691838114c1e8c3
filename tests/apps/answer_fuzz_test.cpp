// Hostile answers to the real programs: seeded random changes to the answer
// scripts of the golden scenarios (answers replaced, inserted or dropped,
// long lines, control characters, huge and negative numbers, "/" and the end
// of input anywhere), so every menu those scenarios reach meets them. Whatever
// is typed, a run ends normally, abnormally or at the end of its input, leaves
// the data files it read as they were, and every censored data set it says it
// created reads back to the series of the data file it came from. A
// second fuzzer (EngineQuestionFuzz) puts extreme numbers at the option
// and engine questions that take stiffnesses, windows and codes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include <filesystem>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "common/storage.h"
#include "files/input_menu.h"
#include "support/dialog_harness.h"
#include "support/e2e.h"
#include "support/temp_dir.h"
#include "support/text.h"

namespace {

namespace fs = std::filesystem;

using test_support::ReadFile;
using test_support::Tail;

const fs::path kGolden = fs::path(KESTRANE_TEST_DATA).parent_path() / "golden";

// The golden scenarios the fuzzer starts from: every kind of run of the
// interactive program on small data sets, and the batch program's.
const char* const kScenarios[] = {
    "censored_set",    "truncated_set",   "typed_answers",          "option_defaults", "spline_years",
    "regional_redo",   "power_transform", "engine_regional_pith",   "window_zero",     "super_smoother",
    "batch_two_sets",  "raw_average",     "engine_spline_restart",  "mean_line_ratios"};

struct Scenario {
  std::string program;
  std::vector<std::string> answers;
  std::map<std::string, std::string> inputs;  // name -> content
};

Scenario Load(const std::string& name) {
  Scenario s;
  const fs::path dir = kGolden / name;
  s.program = fs::exists(dir / "program") && ReadFile(dir / "program").rfind("kestrane_batch", 0) == 0
                  ? e2e::KestraneBatch()
                  : e2e::Kestrane();
  std::istringstream lines(ReadFile(dir / "answers.txt"));
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind('#', 0) != 0) s.answers.push_back(line);
  }
  for (const auto& entry : fs::directory_iterator(dir / "input")) {
    s.inputs[entry.path().filename().string()] = ReadFile(entry.path());
  }
  return s;
}

// Answers a hostile user might type at any question.
std::string HostileAnswer(std::mt19937& rng, const Scenario& s) {
  static const std::vector<std::string> kTokens = {
      "", "/", " /", "1", "2", "3", "4", "5", "6", "7", "8", "9", "0", "-1", "-2", "-3", "-5", "-9", "10", "y", "n",
      "Y", "N", "T", "F", "R", "S", " n", " 2", "  -2", "q", "Q", "x", "2147483647", "-2147483648",
      "99999999999999999999", "1e99", "-1e99", "nan", "inf", "1e-45", "0.0000001", "-9999", "9999", "10000",
      "-10000", "1533", "1750", "1950", "2000", "50", "-50", "3000", "0.5", "abc", "1,2", "\t", "\x01", "\x1b[A",
      "\r", "5 6", std::string(5000, '9'), std::string(3000, 'x'), std::string("1\0002", 3)};
  const std::size_t pick = std::uniform_int_distribution<std::size_t>(0, kTokens.size() + 1)(rng);
  if (pick < kTokens.size()) return kTokens[pick];
  // A name of one of the run's own files, plain or with a control character.
  const std::string name = s.inputs.empty() ? "x" : s.inputs.begin()->first;
  return pick == kTokens.size() ? name : name + std::string(1, '\0');
}

std::vector<std::string> Mutate(std::vector<std::string> answers, std::mt19937& rng, const Scenario& s) {
  auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n)(rng); };
  const std::size_t edits = 1 + pick(3);
  for (std::size_t e = 0; e < edits; ++e) {
    const std::size_t at = pick(answers.size());
    switch (pick(4)) {
      case 0:
      case 1:
        if (at < answers.size()) answers[at] = HostileAnswer(rng, s);
        break;
      case 2:
        answers.insert(answers.begin() + static_cast<std::ptrdiff_t>(at), HostileAnswer(rng, s));
        break;
      case 3:
        if (at < answers.size()) answers.erase(answers.begin() + static_cast<std::ptrdiff_t>(at));
        break;
      default:  // the input ends early
        answers.resize(at);
        break;
    }
  }
  return answers;
}

// The series of a decade data file as this program's reader reads it:
// identifier -> (first year, values).
std::map<std::string, std::pair<int, std::vector<float>>> ReadSeries(const std::string& content) {
  test_support::DialogHarness harness({"1", "", "", ""});
  const std::string path = harness.dir().Put("read_back.rwl", content);
  EXPECT_TRUE(harness.units().Open(common::kDataUnit, path, common::Units::Mode::kRead));
  auto store = std::make_unique<common::RunStorage>();
  int NS = 0;
  int RDFAIL = 1;
  const int status = test_support::StopStatus([&] {
    files::inmenu(harness.dialog(), store->SERMAT, store->IYTAB, store->SERID, common::kDataUnit, NS, store->TITLE,
                  RDFAIL);
  });
  EXPECT_EQ(status, -1) << harness.Transcript();
  EXPECT_EQ(RDFAIL, 0) << harness.Transcript();
  std::map<std::string, std::pair<int, std::vector<float>>> series;
  for (int i = 1; i <= NS; ++i) {
    std::vector<float> values;
    for (int row = 1; row <= store->IYTAB.NYR(i); ++row) values.push_back(store->SERMAT.get(row, i));
    series[store->SERID[i]] = {store->IYTAB.IFY(i), values};
  }
  return series;
}

// Every series of a censored set is its original series over a run of its
// years (censoring keeps or drops series, truncation drops years).
void ExpectReadsBackFrom(const std::string& censored, const std::string& original, const std::string& label) {
  const auto kept = ReadSeries(censored);
  const auto all = ReadSeries(original);
  EXPECT_FALSE(kept.empty()) << label;
  for (const auto& [id, series] : kept) {
    const auto from = all.find(id);
    ASSERT_NE(from, all.end()) << label << ": series " << id;
    const int shift = series.first - from->second.first;
    ASSERT_GE(shift, 0) << label << ": series " << id;
    ASSERT_LE(static_cast<std::size_t>(shift) + series.second.size(), from->second.second.size()) << label << ": " << id;
    for (std::size_t k = 0; k < series.second.size(); ++k) {
      ASSERT_NEAR(series.second[k], from->second.second[shift + k], 5e-4f) << label << ": " << id << " value " << k;
    }
  }
}

// The answers as a failure message shows them: "[a][b]...", each cut to 40.
std::string Bracketed(const std::vector<std::string>& answers) {
  std::string script;
  for (const std::string& a : answers) script += "[" + a.substr(0, 40) + "]";
  return script;
}

// A run ends normally, abnormally or at the end of input: never by a
// crash, a sanitizer report or a hang.
testing::AssertionResult EndedAsARunMay(const e2e::Result& r, const std::string& label) {
  if (r.status == 0 || r.status == 1 || r.status == 3) return testing::AssertionSuccess();
  return testing::AssertionFailure() << label << "\nstatus " << r.status << "\n" << r.errors << Tail(r.screen);
}

// Every file the run was given is still there, as it was.
void ExpectInputsIntact(const e2e::Sandbox& box, const std::map<std::string, std::string>& inputs,
                        const std::string& label) {
  for (const auto& [name, content] : inputs) {
    ASSERT_TRUE(box.Has(name)) << label << ": " << name << " is gone";
    ASSERT_EQ(box.Read(name), content) << label << ": " << name << " was overwritten";
  }
}

class AnswerFuzz : public testing::TestWithParam<int> {};

TEST_P(AnswerFuzz, AnyAnswersEndCleanlyAndLoseNothing) {
  constexpr int kRunsPerShard = 30;
  std::vector<Scenario> scenarios;
  for (const char* name : kScenarios) scenarios.push_back(Load(name));
  std::mt19937 rng(7919u * static_cast<unsigned>(GetParam() + 1));
  int normal_ends = 0;
  for (int run = 0; run < kRunsPerShard; ++run) {
    const Scenario& s = scenarios[std::uniform_int_distribution<std::size_t>(0, scenarios.size() - 1)(rng)];
    const std::vector<std::string> answers = Mutate(s.answers, rng, s);
    const std::string label =
        "shard " + std::to_string(GetParam()) + " run " + std::to_string(run) + " " + Bracketed(answers);

    e2e::Sandbox box;
    for (const auto& [name, content] : s.inputs) box.Put(name, content);
    const e2e::Result r = box.Run(s.program, answers, 120);
    ASSERT_TRUE(EndedAsARunMay(r, label));
    if (r.status == 0) ++normal_ends;
    ExpectInputsIntact(box, s.inputs, label);
    const std::string created = "File for censored data created: ";
    for (std::size_t at = r.screen.find(created); at != std::string::npos; at = r.screen.find(created, at + 1)) {
      const std::size_t from = at + created.size();
      std::string name = r.screen.substr(from, r.screen.find('\n', from) - from);
      name.erase(name.find_last_not_of(' ') + 1);
      ASSERT_TRUE(box.Has(name)) << label << ": " << name;
      for (const auto& [input, content] : s.inputs) {
        if (name.rfind(input.substr(0, input.find('.')) + "_", 0) == 0) ExpectReadsBackFrom(box.Read(name), content, label);
      }
    }
  }
  // The changes are small enough that many runs still reach the end.
  EXPECT_GT(normal_ends, kRunsPerShard / 10);
}

INSTANTIATE_TEST_SUITE_P(Shards, AnswerFuzz, testing::Range(0, 8));

// ---------------------------------------------------------------------------
// Hostile answers at the plot options menus: pages saved under the names of
// the run's own files (the data file, the list file, the pith offset file,
// the open report and cumulative files, also through "./"), colours and
// other settings outside their range, then the scenario's answers go on.

// Scenarios whose answer scripts mark each plot options menu in a comment,
// in both programs, one with a pith offset file.
const char* const kPlotMenuScenarios[] = {"engine_regional_pith", "engine_spline_restart", "engine_line_fit",
                                          "engine_raw_data", "batch_two_sets"};

// The indices (among the answers, comments dropped) of the answers given at
// a plot options menu.
std::vector<std::size_t> PlotMenuPositions(const std::string& name) {
  std::vector<std::size_t> positions;
  std::istringstream lines(ReadFile(kGolden / name / "answers.txt"));
  bool at_menu = false;
  std::size_t index = 0;
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind('#', 0) == 0) {
      std::string lower = line;
      for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      at_menu = lower.find("plot options menu") != std::string::npos;
      continue;
    }
    if (at_menu) positions.push_back(index);
    at_menu = false;
    ++index;
  }
  return positions;
}

// What the plot menu answers are typed with: {data}, {list}, {pith},
// {report} (the first data set's), {cumulative} stand for the scenario's
// files.
const std::vector<std::vector<std::string>> kPlotMenuHostile = {
    {"s", "{data}"},          {"s", "./{data}"},     {" s", "  {data}"},      {"S", "{report}"},
    {"s", "./{report}"},      {"s", "{list}"},       {"s", "./{list}"},       {"s", "{pith}"},
    {"s", "./{pith}"},        {"s", "{cumulative}"}, {"s", "{data}\x01"},   {"s", "/dev/full"},
    {"4", "-3", "2"},         {"5", "2147483647", "9"}, {"4", "2147483647"}, {"5", "-3", "16", "-2147483648", "3"},
    {"2", "99", "1"},         {"3", "-1"},           {"21", "16", "4"},       {"1", "2", "300", "-5", "256", "7", "8", "9"},
    {"6", "0", "0"},          {"6", "9", "2"},       {"9", "2147483647", "3"}, {"13", "101"},
    {"20", "127", "32"},      {"0"},                 {"99"}};

// The scenario's file standing for `placeholder`.
std::string PlotMenuName(const Scenario& s, const std::string& placeholder) {
  std::string data, list, pith;
  for (const auto& [name, content] : s.inputs) {
    if (name.ends_with(".lst")) {
      list = name;
    } else if (name.find("pith") != std::string::npos) {
      pith = name;
    } else if (data.empty()) {
      data = name;  // the first in name order: the batch list's first too
    }
  }
  const bool batch = s.program == e2e::KestraneBatch();
  if (placeholder == "{data}") return data;
  if (placeholder == "{list}") return list.empty() ? data : list;
  if (placeholder == "{pith}") return pith.empty() ? data : pith;
  if (placeholder == "{cumulative}") return batch ? "STD_Crns.txt" : data;
  return data.substr(0, data.find('.')) + (batch ? "_out_vKestraneBatch.txt" : "_out_vKestrane_2019.txt");
}

std::vector<std::string> PlotMenuAnswers(std::mt19937& rng, const Scenario& s) {
  std::vector<std::string> answers =
      kPlotMenuHostile[std::uniform_int_distribution<std::size_t>(0, kPlotMenuHostile.size() - 1)(rng)];
  for (std::string& a : answers) {
    for (const char* placeholder : {"{data}", "{list}", "{pith}", "{report}", "{cumulative}"}) {
      const std::size_t at = a.find(placeholder);
      if (at != std::string::npos) a.replace(at, std::string(placeholder).size(), PlotMenuName(s, placeholder));
    }
  }
  return answers;
}

// One to three hostile sequences put in front of the answers of plot
// options menus (the menu's own answer follows, so the run goes on).
std::vector<std::string> InsertPlotMenuAnswers(std::vector<std::string> answers,
                                               std::vector<std::size_t> positions, std::mt19937& rng,
                                               const Scenario& s) {
  std::shuffle(positions.begin(), positions.end(), rng);
  positions.resize(std::min<std::size_t>(positions.size(), 1 + std::uniform_int_distribution<std::size_t>(0, 2)(rng)));
  std::sort(positions.rbegin(), positions.rend());  // from the last, so the earlier stay where they are
  for (const std::size_t at : positions) {
    const std::vector<std::string> hostile = PlotMenuAnswers(rng, s);
    answers.insert(answers.begin() + static_cast<std::ptrdiff_t>(at), hostile.begin(), hostile.end());
  }
  return answers;
}

// No page was written over a file the run read or held open (the inputs,
// the reports, the cumulative files), and PLplot was never given a value
// it complains about on the error stream.
void ExpectNoPageOverRunFiles(const e2e::Sandbox& box, const Scenario& s, const e2e::Result& r,
                              const std::string& label) {
  ExpectInputsIntact(box, s.inputs, label);
  for (const std::string& name : box.Files()) {
    if (name.find("_out_v") == std::string::npos && !name.ends_with("_Crns.txt")) continue;
    EXPECT_EQ(box.Read(name).find("%!PS"), std::string::npos) << label << ": a plot page in " << name;
  }
  EXPECT_EQ(r.errors.find("PLPLOT"), std::string::npos) << label << "\n" << r.errors;
}

class PlotMenuFuzz : public testing::TestWithParam<int> {};

TEST_P(PlotMenuFuzz, PagesNeverLandOnTheRunsFilesAndColoursStayInTheMap) {
  constexpr int kRunsPerShard = 12;
  std::vector<Scenario> scenarios;
  std::vector<std::vector<std::size_t>> positions;
  for (const char* name : kPlotMenuScenarios) {
    scenarios.push_back(Load(name));
    positions.push_back(PlotMenuPositions(name));
    ASSERT_FALSE(positions.back().empty()) << name;
    ASSERT_LT(positions.back().back(), scenarios.back().answers.size()) << name;
  }
  std::mt19937 rng(104729u * static_cast<unsigned>(GetParam() + 1));
  int normal_ends = 0;
  int refused = 0;  // runs that met a refused page name or value
  for (int run = 0; run < kRunsPerShard; ++run) {
    const std::size_t pick = std::uniform_int_distribution<std::size_t>(0, scenarios.size() - 1)(rng);
    const Scenario& s = scenarios[pick];
    std::vector<std::string> answers = InsertPlotMenuAnswers(s.answers, positions[pick], rng, s);
    // Now and then the general changes as well.
    if (std::uniform_int_distribution<int>(0, 3)(rng) == 0) answers = Mutate(answers, rng, s);
    const std::string label =
        "plot shard " + std::to_string(GetParam()) + " run " + std::to_string(run) + " " + Bracketed(answers);

    e2e::Sandbox box;
    for (const auto& [name, content] : s.inputs) box.Put(name, content);
    const e2e::Result r = box.Run(s.program, answers, 120);
    ASSERT_TRUE(EndedAsARunMay(r, label));
    if (r.status == 0) ++normal_ends;
    if (r.screen.find("Cannot write the plot file") != std::string::npos ||
        r.screen.find("out of range re-enter") != std::string::npos) {
      ++refused;
    }
    ExpectNoPageOverRunFiles(box, s, r, label);
  }
  // Most runs reach the end: the menus take the hostile answers and go on;
  // and the hostile answers do reach the menus.
  EXPECT_GT(normal_ends, kRunsPerShard / 2);
  EXPECT_GT(refused, kRunsPerShard / 3);
}

INSTANTIATE_TEST_SUITE_P(Shards, PlotMenuFuzz, testing::Range(0, 4));

// ------------------------------------------------------------------ engine questions
// Scripts that reach the numeric questions of the option dialogue and of
// the engine (spline stiffnesses, running RBAR windows, stabilisation
// codes, the regional-curve menu with its codes, windows and stiffness,
// the final detrending spline). "@" marks an answer that each run replaces
// with an extreme number; a number refused there is asked again, so the
// next "@" lands on the same question.

struct EngineScript {
  const char* name;
  bool batch;
  std::vector<std::string> data;  // files of tests/data the run reads
  std::vector<std::string> answers;
};

const EngineScript kEngineScripts[] = {
    // Age-dependent spline: its stiffness, the window, the stabilisation.
    {"spline_options", false, {"ca533.rwl"},
     {"ca533.rwl", "1", "R", "1", "8", "@", "@", "", "", "@", "@", "@", "@", "", ""}},
    // Horizontal line: the engine's stabilisation menu (after declining the
    // first spline) and its final detrending.
    {"stabilisation_and_final", false, {"ca533.rwl"},
     {"ca533.rwl", "1", "R", "1", "6", "", "", "", "", "", "", "", "", "", "", "", "", "", "n", "@", "@", "@", "@",
      "", "", "", "", "", "", "", "", "", "", "", "", "", "", "y", "@", "@", "@", "@"}},
    // Regional curve: its stiffness, then "Different RCS detrending?" and
    // the regional-curve menu's codes, windows and stiffness.
    {"regional_menu", false, {"gp.rwl"},
     {"gp.rwl", "1", "r", "", "-2", "@", "@", "", "", "", "", "", "", "", "", "T", "@", "@", "@", "@", "@", "@"}},
    // Regional curve with pith offsets, in the batch program: the window and
    // the stabilisation, asked once for the list.
    {"batch_regional_pith", true, {"gp.rwl", "gp_pith_offsets.txt", "list.txt"},
     {"list.txt", "", "", "", "", "", "-2", "@", "@", "T", "gp_pith_offsets.txt", "1", "0", "", "@", "@", "@", "@"}},
};

// Numbers at the ends of the integers, around the 6001-year limit and the
// accepted codes, with and without leading blanks.
std::string ExtremeNumber(std::mt19937& rng) {
  static const std::vector<std::string> kNumbers = {
      "2147483647", "-2147483648", "2147483600", "-2147483600", "2147483646", "1073741824", "-1073741824",
      "99999999",   "-99999999",   "100000",     "-100000",     "6000",       "6001",       "6002",
      "-6001",      "-6002",       "5999",       "-101",        "-100",       "-1",         "0",
      "1",          "2",           "3",          "9",           "-9",         "10",         "-10",
      "24",         "25",          "  51",       " -50",        "99999999999999999999",     "-0"};
  return kNumbers[std::uniform_int_distribution<std::size_t>(0, kNumbers.size() - 1)(rng)];
}

// The echo lines of the options in a report: none shows a number its field
// could not hold.
void ExpectNoAsteriskEcho(const std::string& report, const std::string& label) {
  std::istringstream lines(report);
  for (std::string line; std::getline(lines, line);) {
    if (line.find("***") == std::string::npos || line.find_first_not_of('*') == std::string::npos) continue;
    for (const char* echo : {"RUNNING RBAR WINDOW", "CURVE FIT", "AGE-DEPENDENT SPLINE", "ADDITIONAL SPLINE",
                             "DEFAULT SPLINE VARIANCE", "FIXED FILTER", "REGIONAL CURVE", "SPLINE "}) {
      EXPECT_EQ(line.find(echo), std::string::npos) << label << ": " << line;
    }
  }
}

class EngineQuestionFuzz : public testing::TestWithParam<int> {};

TEST_P(EngineQuestionFuzz, ExtremeNumbersAreAskedAgainOrUsedSafely) {
  constexpr int kRunsPerShard = 12;
  std::mt19937 rng(104729u * static_cast<unsigned>(GetParam() + 1));
  int normal_ends = 0;
  for (int run = 0; run < kRunsPerShard; ++run) {
    const EngineScript& script =
        kEngineScripts[std::uniform_int_distribution<std::size_t>(0, std::size(kEngineScripts) - 1)(rng)];
    std::vector<std::string> answers = script.answers;
    std::string typed;
    for (std::string& a : answers) {
      if (a != "@") continue;
      a = ExtremeNumber(rng);
      typed += "[" + a + "]";
    }
    answers.insert(answers.end(), 400, "");
    const std::string label =
        "shard " + std::to_string(GetParam()) + " run " + std::to_string(run) + " " + script.name + " " + typed;

    e2e::Sandbox box;
    std::map<std::string, std::string> inputs;
    for (const std::string& name : script.data) {
      inputs[name] = name == "list.txt" ? "gp.rwl\n" : e2e::ReadData(name);
      box.Put(name, inputs[name]);
    }
    const e2e::Result r = box.Run(script.batch ? e2e::KestraneBatch() : e2e::Kestrane(), answers, 120);
    ASSERT_TRUE(EndedAsARunMay(r, label));
    if (r.status == 0) ++normal_ends;
    ExpectInputsIntact(box, inputs, label);
    for (const std::string& name : box.Files()) {
      if (name.find("_out_v") != std::string::npos) ExpectNoAsteriskEcho(box.Read(name), label);
    }
  }
  // Refused numbers are asked again, so many runs still reach the end. A
  // number that a question takes sends the next ones on to later questions,
  // up to a plot options menu, where a setting out of its range is asked
  // again by a free-form read that passes over the blank answers to the end
  // of input (status 3).
  EXPECT_GT(normal_ends, kRunsPerShard / 3);
}

INSTANTIATE_TEST_SUITE_P(Shards, EngineQuestionFuzz, testing::Range(0, 4));

}  // namespace
