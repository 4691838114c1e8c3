#include "support/e2e.h"

#include <sys/resource.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>

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

Result RunProgram(const std::filesystem::path& dir, const std::string& program,
                  const std::vector<std::string>& answers, int timeout_seconds) {
  const std::filesystem::path io = dir.string() + ".io";
  std::filesystem::create_directories(io);
  {
    std::ofstream in(io / "stdin", std::ios::binary);
    for (const std::string& a : answers) in << a << '\n';
  }
  const std::string command = "cd " + Quote(dir.string()) + " && timeout -k 2 " + std::to_string(timeout_seconds) +
                              " " + Quote(program) + " < " + Quote((io / "stdin").string()) + " > " +
                              Quote((io / "stdout").string()) + " 2> " + Quote((io / "stderr").string());
  const auto start = std::chrono::steady_clock::now();
  const int raw = std::system(command.c_str());
  const auto stop = std::chrono::steady_clock::now();
  Result result;
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.screen = test_support::ReadFile(io / "stdout");
  result.errors = test_support::ReadFile(io / "stderr");
  result.seconds = std::chrono::duration<double>(stop - start).count();
  struct rusage usage {};
  if (::getrusage(RUSAGE_CHILDREN, &usage) == 0) result.max_rss_kb = usage.ru_maxrss;
  std::error_code ec;
  std::filesystem::remove_all(io, ec);
  return result;
}

}  // namespace e2e
