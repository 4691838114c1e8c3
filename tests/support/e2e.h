// End-to-end harness: runs a real program in a fresh temporary folder with
// scripted answers on standard input and a time limit, and gives back its
// screen text, exit status and the files it wrote.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace e2e {

struct Result {
  int status = -1;        // exit status; 124 when the time limit was hit (a run that hangs)
  std::string screen;     // standard output
  std::string errors;     // standard error
  double seconds = 0.0;   // wall time of the run
  long max_rss_kb = 0;    // largest resident size of the program during this run
};

// The last lines on the screen after each program's normal and abnormal end.
inline const std::string kFinished = "\n Normal termination of Kestrane_Version Kestrane_2019  \n\n Hit RETURN to Quit";
inline const std::string kAbnormal = "\n Abnormal termination of Kestrane_Version Kestrane_2019  \n\n Hit RETURN to Quit";
inline const std::string kBatchFinished =
    "\n Normal termination of program Kestrane_KestraneBatch  \n\n Hit RETURN to Quit";
inline const std::string kBatchAbnormal =
    "\n Abnormal termination of program Kestrane_ KestraneBatch  \n\n Hit RETURN to Quit";

// The status a sanitizer report ends a program of the sanitizer build with
// (the programs' own ends are 0, 1 and 3).
inline constexpr int kSanitizerReportStatus = 86;

// What shows that a run ended by a sanitizer report: its status, or a
// report's heading on standard error. Empty for a run without one.
std::string SanitizerReport(const Result& result);

// Runs `program` in `dir`; each answer is one line of standard input, after
// which input ends. The answers and the captured output are kept beside the
// folder, so they are not among its files. A run that ends by a sanitizer
// report stops the test program at once, loudly (the report, then abort):
// no test can take it for the program's own abnormal end.
Result RunProgram(const std::filesystem::path& dir, const std::string& program,
                  const std::vector<std::string>& answers, int timeout_seconds);
// The same run given back as it went, a sanitizer report included.
Result RunProgramUnchecked(const std::filesystem::path& dir, const std::string& program,
                           const std::vector<std::string>& answers, int timeout_seconds);

class Sandbox {
 public:
  const std::filesystem::path& dir() const { return dir_.path(); }

  // Writes `content` to `name` inside the folder.
  void Put(const std::string& name, const std::string& content) const { dir_.Put(name, content); }
  // Copies a file of tests/data into the folder under `name`.
  void CopyData(const std::string& data_name, const std::string& name) const;

  // Runs `program` in the folder (RunProgram).
  Result Run(const std::string& program, const std::vector<std::string>& answers, int timeout_seconds = 30) const {
    return RunProgram(dir_.path(), program, answers, timeout_seconds);
  }

  bool Has(const std::string& name) const { return dir_.Has(name); }
  std::string Read(const std::string& name) const { return dir_.Read(name); }
  // Names of the files in the folder, sorted.
  std::vector<std::string> Files() const { return dir_.Files(); }

 private:
  test_support::TempDir dir_;
};

// The interactive program as built.
inline const char* Kestrane() { return KESTRANE_BIN; }
// The batch program as built.
inline const char* KestraneBatch() { return KESTRANE_BATCH_BIN; }

// A file of tests/data as text.
inline std::string ReadData(const std::string& data_name) { return test_support::ReadTestData(data_name); }

}  // namespace e2e
