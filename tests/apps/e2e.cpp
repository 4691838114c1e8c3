#include "e2e.h"

#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace e2e {

namespace {

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

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

Sandbox::Sandbox() {
  std::string pattern = (std::filesystem::temp_directory_path() / "kestrane-e2e-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  dir_ = pattern;
}

Sandbox::~Sandbox() {
  std::error_code ec;
  std::filesystem::remove_all(dir_, ec);
}

void Sandbox::Put(const std::string& name, const std::string& content) const {
  std::ofstream out(dir_ / name, std::ios::binary);
  out << content;
}

void Sandbox::CopyData(const std::string& data_name, const std::string& name) const {
  Put(name, ReadData(data_name));
}

Result Sandbox::Run(const std::string& program, const std::vector<std::string>& answers, int timeout_seconds) const {
  // The answers go into a hidden folder beside the run, so they are not among its files.
  const std::filesystem::path io = dir_.string() + ".io";
  std::filesystem::create_directories(io);
  {
    std::ofstream in(io / "stdin", std::ios::binary);
    for (const std::string& a : answers) in << a << '\n';
  }
  const std::string command = "cd " + Quote(dir_.string()) + " && timeout -k 2 " + std::to_string(timeout_seconds) + " " +
                              Quote(program) + " < " + Quote((io / "stdin").string()) + " > " +
                              Quote((io / "stdout").string()) + " 2> " + Quote((io / "stderr").string());
  const auto start = std::chrono::steady_clock::now();
  const int raw = std::system(command.c_str());
  const auto stop = std::chrono::steady_clock::now();
  Result result;
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.screen = Slurp(io / "stdout");
  result.errors = Slurp(io / "stderr");
  result.seconds = std::chrono::duration<double>(stop - start).count();
  struct rusage usage {};
  if (::getrusage(RUSAGE_CHILDREN, &usage) == 0) result.max_rss_kb = usage.ru_maxrss;
  std::error_code ec;
  std::filesystem::remove_all(io, ec);
  return result;
}

bool Sandbox::Has(const std::string& name) const { return std::filesystem::exists(dir_ / name); }

std::string Sandbox::Read(const std::string& name) const { return Slurp(dir_ / name); }

std::vector<std::string> Sandbox::Files() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir_)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string ReadData(const std::string& data_name) {
  const std::filesystem::path path = std::filesystem::path(KESTRANE_TEST_DATA) / data_name;
  if (!std::filesystem::exists(path)) throw std::runtime_error("missing test data " + path.string());
  return Slurp(path);
}

}  // namespace e2e
