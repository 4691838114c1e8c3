// golden_runner: runs one end-to-end scenario of tests/golden/ and compares
// what the program did with the scenario's expected/ folder, byte for byte.
//
//   golden_runner <scenario folder> <kestrane> [<kestrane_batch>]
//
// Exit status: 0 when everything matches (or expected/ was rewritten because
// UPDATE_GOLDEN=1 is set), 1 on a mismatch or a broken scenario, 77 when the
// scenario needs kestrane_batch and it is not built. README.md in this folder
// describes the layout of a scenario.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "support/e2e.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

constexpr int kSkipped = 77;
constexpr int kDefaultTimeoutSeconds = 60;

// Names in expected/ that are not files the program wrote.
constexpr const char* kScreen = "screen.txt";
constexpr const char* kStatus = "status";
constexpr const char* kErrors = "errors.txt";
constexpr const char* kActualSuffix = ".actual";
constexpr const char* kDiffName = "golden.diff";

std::string Trimmed(std::string text) {
  const std::size_t end = text.find_last_not_of(" \t\r\n");
  text.erase(end == std::string::npos ? 0 : end + 1);
  return text.substr(std::min(text.size(), text.find_first_not_of(" \t\r\n")));
}

// answers.txt: one answer a line; lines starting with '#' name the question
// that follows and are not answers.
std::vector<std::string> Answers(const fs::path& file) {
  std::vector<std::string> answers;
  std::ifstream in(file, std::ios::binary);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '#') continue;
    answers.push_back(line);
  }
  return answers;
}

// Every occurrence of `from` in `text` replaced by `to`.
std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

void WriteFile(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

// The files directly inside `dir` by name (folders and the runner's own
// leftovers aside).
std::map<std::string, std::string> FilesIn(const fs::path& dir) {
  std::map<std::string, std::string> files;
  if (!fs::is_directory(dir)) return files;
  for (const auto& entry : fs::directory_iterator(dir)) {
    if (!entry.is_regular_file()) continue;
    const std::string name = entry.path().filename().string();
    if (name.ends_with(kActualSuffix)) continue;
    files[name] = test_support::ReadFile(entry.path());
  }
  return files;
}

// What the run gave, by the name it has in expected/.
std::map<std::string, std::string> Outcome(const e2e::Result& result, const test_support::TempDir& run,
                                           const std::map<std::string, std::string>& inputs, std::string& problem) {
  // The run's folder is the one text that changes from run to run.
  const std::string folder = run.path().string();
  auto normal = [&](const std::string& text) { return Replaced(text, folder, "<run>"); };
  std::map<std::string, std::string> out;
  out[kScreen] = normal(result.screen);
  out[kStatus] = std::to_string(result.status) + "\n";
  if (!result.errors.empty()) out[kErrors] = normal(result.errors);
  for (const auto& [name, bytes] : FilesIn(run.path())) {
    const auto input = inputs.find(name);
    if (input != inputs.end() && input->second == bytes) continue;  // an input left as it was
    if (out.count(name) != 0) problem = "the program wrote a file named " + name + ", a name the runner keeps";
    out[name] = normal(bytes);
  }
  return out;
}

// Unified diff of two texts through the system's diff.
std::string Diff(const fs::path& expected, const fs::path& actual) {
  const std::string command = "diff -u '" + expected.string() + "' '" + actual.string() + "' 2>&1";
  std::string text;
  if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
    char block[4096];
    for (std::size_t n; (n = std::fread(block, 1, sizeof block, pipe)) > 0;) text.append(block, n);
    ::pclose(pipe);
  }
  return text;
}

int Fail(const std::string& why) {
  std::cout << "golden: " << why << "\n";
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Fail("usage: golden_runner <scenario folder> <kestrane> [<kestrane_batch>]");
  const fs::path scenario = fs::absolute(argv[1]);
  const fs::path expected_dir = scenario / "expected";
  if (!fs::exists(scenario / "answers.txt")) return Fail("no answers.txt in " + scenario.string());

  // Which program, and how long it may take.
  std::string program = fs::absolute(argv[2]).string();
  const std::string wanted =
      fs::exists(scenario / "program") ? Trimmed(test_support::ReadFile(scenario / "program")) : "kestrane";
  if (wanted == "kestrane_batch") {
    program = argc > 3 && argv[3][0] != '\0' ? fs::absolute(argv[3]).string() : "";
    if (program.empty() || !fs::exists(program)) {
      std::cout << "golden: the scenario runs kestrane_batch, which is not built\n";
      return kSkipped;
    }
  } else if (wanted != "kestrane") {
    return Fail("program file names " + wanted + ": kestrane or kestrane_batch");
  }
  int timeout = kDefaultTimeoutSeconds;
  if (fs::exists(scenario / "timeout")) timeout = std::atoi(test_support::ReadFile(scenario / "timeout").c_str());

  // A fresh folder holding the scenario's input files.
  test_support::TempDir run;
  const std::map<std::string, std::string> inputs = FilesIn(scenario / "input");
  for (const auto& [name, bytes] : inputs) run.Put(name, bytes);

  const e2e::Result result = e2e::RunProgram(run.path(), program, Answers(scenario / "answers.txt"), timeout);
  std::string problem;
  const std::map<std::string, std::string> actual = Outcome(result, run, inputs, problem);
  if (!problem.empty()) return Fail(problem);

  // Leftovers of an earlier mismatch go first.
  for (const auto& entry : fs::directory_iterator(expected_dir.parent_path())) {
    if (entry.path().filename() == kDiffName) fs::remove(entry.path());
  }
  if (fs::is_directory(expected_dir)) {
    for (const auto& entry : fs::directory_iterator(expected_dir)) {
      if (entry.path().filename().string().ends_with(kActualSuffix)) fs::remove(entry.path());
    }
  }

  if (const char* update = std::getenv("UPDATE_GOLDEN"); update != nullptr && std::string(update) == "1") {
    fs::remove_all(expected_dir);
    fs::create_directories(expected_dir);
    for (const auto& [name, bytes] : actual) WriteFile(expected_dir / name, bytes);
    std::cout << "golden: rewrote " << expected_dir.string() << " (" << actual.size() << " files)\n";
    return 0;
  }

  const std::map<std::string, std::string> expected = FilesIn(expected_dir);
  std::set<std::string> names;
  for (const auto& [name, bytes] : expected) names.insert(name);
  for (const auto& [name, bytes] : actual) names.insert(name);
  std::string report;
  for (const std::string& name : names) {
    const auto want = expected.find(name);
    const auto got = actual.find(name);
    if (want != expected.end() && got != actual.end() && want->second == got->second) continue;
    if (got == actual.end()) {
      report += "golden: " + name + " is expected but was not written\n";
      continue;
    }
    const fs::path actual_file = expected_dir / (name + kActualSuffix);
    fs::create_directories(expected_dir);
    WriteFile(actual_file, got->second);
    if (want == expected.end()) {
      report += "golden: " + name + " was written but is not expected\n";
      report += Diff("/dev/null", actual_file);
    } else {
      report += "golden: " + name + " differs\n";
      report += Diff(expected_dir / name, actual_file);
    }
  }
  if (report.empty()) return 0;
  WriteFile(scenario / kDiffName, report);
  std::cout << report << "golden: the actual files are beside the expected ones (*" << kActualSuffix
            << "); UPDATE_GOLDEN=1 rewrites expected/\n";
  return 1;
}
