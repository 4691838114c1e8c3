// kestrane as a user runs it: the real program as a process, in a folder of
// its own, every answer scripted on standard input (the file name, "1" for
// decade ring widths, "R" for ratios, then the default of every question and
// plot menu), no display. Reported per run: the wall time, the process's
// own processor time (user and system) and its peak resident memory.
//
//   ca533 (34 series, 626-1983), the archive file: target 0.1 s.
//   A synthetic set of 3000 series within 600 years: target 10 s.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "files/decade.h"
#include "synthetic_set.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// A folder of its own holding `data` as `name` and the answers.
fs::path Folder(const std::string& name, const std::string& data) {
  const fs::path dir = fs::temp_directory_path() / ("kestrane_program_bench_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  std::ofstream(dir / name, std::ios::binary) << data;
  std::ofstream answers(dir / "answers.txt");
  answers << name << "\n1\nR\n";
  for (int i = 0; i < 2000; ++i) answers << "\n";
  return dir;
}

struct Run {
  double wall = 0.0, cpu = 0.0;
  long max_rss_kb = 0;
  int status = -1;
};

// kestrane in `dir`, standard input from answers.txt, its output discarded,
// DISPLAY unset.
Run RunProgram(const fs::path& dir) {
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    if (std::string(*e).rfind("DISPLAY=", 0) != 0) env.emplace_back(*e);
  }
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t io;
  posix_spawn_file_actions_init(&io);
  posix_spawn_file_actions_addchdir_np(&io, dir.c_str());
  posix_spawn_file_actions_addopen(&io, 0, "answers.txt", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&io, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&io, 2, "/dev/null", O_WRONLY, 0);
  std::string program = KESTRANE_BIN;
  char* argv[] = {program.data(), nullptr};

  Run run;
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawn(&pid, program.c_str(), &io, nullptr, argv, envp.data()) == 0) {
    int status = 0;
    struct rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
              static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    run.max_rss_kb = usage.ru_maxrss;
  }
  run.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  posix_spawn_file_actions_destroy(&io);
  return run;
}

void Measure(benchmark::State& state, const fs::path& dir) {
  double cpu = 0.0;
  long rss = 0;
  for (auto _ : state) {
    const Run run = RunProgram(dir);
    if (run.status != 0) state.SkipWithError("kestrane did not end normally");
    state.SetIterationTime(run.wall);
    cpu += run.cpu;
    rss = std::max(rss, run.max_rss_kb);
  }
  state.counters["cpu_s"] = benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
  state.counters["peak_rss_MB"] = static_cast<double>(rss) / 1024.0;
  fs::remove_all(dir);
}

void BM_KestraneCa533(benchmark::State& state) {
  std::ifstream in(std::string(KESTRANE_TEST_DATA) + "/ca533.rwl", std::ios::binary);
  std::stringstream data;
  data << in.rdbuf();
  Measure(state, Folder("ca533.rwl", data.str()));
}
BENCHMARK(BM_KestraneCa533)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

// The shared synthetic set as a decade ring-width file.
std::string SyntheticSet() {
  std::ostringstream out;
  std::vector<float> x;
  bench_data::SyntheticSet([&](int i, int first, std::span<const double> values) {
    x.assign(values.begin(), values.end());
    if (!files::WriteRwl(out, "S" + std::to_string(i), first, x, "bench ")) std::abort();
  });
  return out.str();
}

void BM_KestraneSynthetic3000x600(benchmark::State& state) { Measure(state, Folder("synth.rwl", SyntheticSet())); }
BENCHMARK(BM_KestraneSynthetic3000x600)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
