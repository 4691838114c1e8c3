// End-to-end harness: runs a real program in a fresh temporary folder with
// scripted answers on standard input and a time limit, and gives back its
// screen text, exit status and the files it wrote.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace e2e {

struct Result {
  int status = -1;        // exit status; 124 when the time limit was hit (a run that hangs)
  std::string screen;     // standard output
  std::string errors;     // standard error
  double seconds = 0.0;   // wall time of the run
  long max_rss_kb = 0;    // largest resident size of any program this test process has run
};

class Sandbox {
 public:
  Sandbox();
  ~Sandbox();
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  const std::filesystem::path& dir() const { return dir_; }

  // Writes `content` to `name` inside the folder.
  void Put(const std::string& name, const std::string& content) const;
  // Copies a file of tests/data into the folder under `name`.
  void CopyData(const std::string& data_name, const std::string& name) const;

  // Runs `program` in the folder; each answer is one line of standard input,
  // after which input ends.
  Result Run(const std::string& program, const std::vector<std::string>& answers, int timeout_seconds = 30) const;

  bool Has(const std::string& name) const;
  std::string Read(const std::string& name) const;
  // Names of the files in the folder, sorted.
  std::vector<std::string> Files() const;

 private:
  std::filesystem::path dir_;
};

// The interactive program as built.
inline const char* Kestrane() { return KESTRANE_BIN; }

// A file of tests/data as text.
std::string ReadData(const std::string& data_name);

}  // namespace e2e
