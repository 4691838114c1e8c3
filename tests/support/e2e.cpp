#include "support/e2e.h"

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iostream>

extern char** environ;

namespace e2e {

namespace {

std::string Quote(const std::string& s) {
  std::string out = "'";
  for (char c : s) {
    if (c == '\'') {
      out += "'\\''";
    } else {
      out += c;
    }
  }
  return out + "'";
}

}  // namespace

void Sandbox::CopyData(const std::string& data_name, const std::string& name) const { Put(name, ReadData(data_name)); }

// Runs `command` through the shell; the status of the shell and the largest
// resident size of it and the programs it waited for.
int RunShell(const std::string& command, long& max_rss_kb) {
  const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
  pid_t pid = 0;
  if (::posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0) return -1;
  int raw = 0;
  struct rusage usage {};
  while (::wait4(pid, &raw, 0, &usage) < 0) {
    if (errno != EINTR) return -1;
  }
  max_rss_kb = usage.ru_maxrss;
  return raw;
}

Result RunProgramUnchecked(const std::filesystem::path& dir, const std::string& program,
                           const std::vector<std::string>& answers, int timeout_seconds) {
  const std::filesystem::path io = dir.string() + ".io";
  std::filesystem::create_directories(io);
  {
    std::ofstream in(io / "stdin", std::ios::binary);
    for (const std::string& a : answers) in << a << '\n';
  }
  // With a display every plot would wait in its window for a click: the
  // programs run without one, as from a text console.
  const std::string command = "cd " + Quote(dir.string()) + " && env -u DISPLAY timeout -k 2 " +
                              std::to_string(timeout_seconds) + " " + Quote(program) + " < " + Quote((io / "stdin").string()) + " > " +
                              Quote((io / "stdout").string()) + " 2> " + Quote((io / "stderr").string());
  Result result;
  const auto start = std::chrono::steady_clock::now();
  const int raw = RunShell(command, result.max_rss_kb);
  const auto stop = std::chrono::steady_clock::now();
  result.status = raw >= 0 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.screen = test_support::ReadFile(io / "stdout");
  result.errors = test_support::ReadFile(io / "stderr");
  result.seconds = std::chrono::duration<double>(stop - start).count();
  std::error_code ec;
  std::filesystem::remove_all(io, ec);
  return result;
}

std::string SanitizerReport(const Result& result) {
  for (const char* heading : {"runtime error:", "ERROR: AddressSanitizer", "ERROR: LeakSanitizer"}) {
    const std::size_t at = result.errors.find(heading);
    if (at == std::string::npos) continue;
    const std::size_t from = result.errors.rfind('\n', at);
    const std::size_t begin = from == std::string::npos ? 0 : from + 1;
    return result.errors.substr(begin, result.errors.find('\n', at) - begin);
  }
  if (result.status == kSanitizerReportStatus) {
    return "exit status " + std::to_string(kSanitizerReportStatus) + ", the status of a sanitizer report";
  }
  return "";
}

Result RunProgram(const std::filesystem::path& dir, const std::string& program,
                  const std::vector<std::string>& answers, int timeout_seconds) {
  Result result = RunProgramUnchecked(dir, program, answers, timeout_seconds);
  const std::string report = SanitizerReport(result);
  if (!report.empty()) {
    std::cerr << "\n*** e2e: " << program << " ended by a sanitizer report (status " << result.status << "): "
              << report << "\n*** its standard error:\n"
              << result.errors << "\n*** e2e: a sanitizer report is never a program's own end; stopping.\n"
              << std::flush;
    std::abort();
  }
  return result;
}

}  // namespace e2e
