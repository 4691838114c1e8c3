// kestrane_batch end to end on a list of real archive files, as one scripted
// process: the list names 20 ring-width files and then the same 20 again,
// and every question and plot menu takes its default. Reports the wall time,
// the time per data set and the peak resident memory after the first pass
// and at the end. The second pass reads the same data sets, so a run whose
// memory does not grow from one data set to the next has the same peak at
// both points; the program exits 1 when the end peak is higher by more than
// 2% (plus 1 MB).
//
//   bench_batch_list [kestrane_batch] [folder of the archive's .rwl files]
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Files of the archive that the program reads with the defaults (decade ring
// widths): small and large sets, hundredths and thousandths, negative years.
const char* const kFiles[] = {"indi005.rwl", "nm046.rwl",  "egy001.rwl",  "anos1.rwl",   "wwr.rwl",
                              "cana209.rwl", "chin007.rwl", "or005.rwl",  "zof.rwl",     "nc004.rwl",
                              "kyrg014.rwl", "morc025.rwl", "gp.rwl",     "co021.rwl",   "ausl045.rwl",
                              "ca533.rwl",   "viet001.rwl", "nm580.rwl",  "chin052.rwl", "nv520.rwl"};
constexpr int kSets = static_cast<int>(sizeof kFiles / sizeof kFiles[0]);

// VmHWM of a running process in kB (0 when it cannot be read).
long PeakKb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return 0;
}

// Whether the screen text so far shows data set `n` being processed.
bool Reached(const fs::path& screen, int n) {
  std::ifstream in(screen);
  std::stringstream text;
  text << in.rdbuf();
  char number[8];
  std::snprintf(number, sizeof number, "%3d", n);
  return text.str().find(std::string(" Data set number ") + number + " being processed") != std::string::npos;
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path program = fs::absolute(argc > 1 ? argv[1] : KESTRANE_BATCH_BIN);
  const fs::path data = fs::absolute(argc > 2 ? argv[2] : KESTRANE_ARCHIVE_RWL);
  const fs::path dir = fs::temp_directory_path() / ("kestrane_batch_bench_" + std::to_string(getpid()));
  fs::create_directories(dir);

  std::ofstream list(dir / "archive.lst");
  for (int pass = 0; pass < 2; ++pass) {
    for (const char* name : kFiles) {
      if (pass == 0) fs::copy_file(data / name, dir / name, fs::copy_options::overwrite_existing);
      list << name << '\n';
    }
  }
  list.close();
  {
    std::ofstream answers(dir / "answers.txt");
    answers << "archive.lst\n";
    for (int k = 0; k < 100000; ++k) answers << '\n';
  }

  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0) _exit(127);
    const int in = open("answers.txt", O_RDONLY);
    const int out = open("screen.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0) _exit(127);
    dup2(in, STDIN_FILENO);
    dup2(out, STDOUT_FILENO);
    dup2(out, STDERR_FILENO);
    unsetenv("DISPLAY");
    execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }

  long first_pass_peak = 0;
  long peak = 0;
  double first_pass_seconds = 0.0;
  int status = 0;
  for (;;) {
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    peak = std::max(peak, PeakKb(pid));
    if (first_pass_peak == 0 && Reached(dir / "screen.txt", kSets + 1)) {
      first_pass_peak = peak;
      first_pass_seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const bool normal_end = WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
                          Reached(dir / "screen.txt", 2 * kSets) && !Reached(dir / "screen.txt", 2 * kSets + 1);

  std::printf("kestrane_batch on %d archive files, twice (%d data sets)\n", kSets, 2 * kSets);
  std::printf("  exit status %d%s\n", WIFEXITED(status) ? WEXITSTATUS(status) : -1,
              normal_end ? ", every data set processed" : ", NOT every data set processed");
  std::printf("  wall time            %8.2f s (%.3f s per data set)\n", seconds, seconds / (2 * kSets));
  std::printf("  first pass           %8.2f s\n", first_pass_seconds);
  std::printf("  peak memory, pass 1  %8ld kB\n", first_pass_peak);
  std::printf("  peak memory, end     %8ld kB\n", peak);
  const bool grows = first_pass_peak == 0 || peak > first_pass_peak + first_pass_peak / 50 + 1024;
  std::printf("  memory from one data set to the next: %s\n", grows ? "GROWS" : "does not grow");
  if (normal_end && !grows) fs::remove_all(dir);
  else std::printf("  the run's folder is kept: %s\n", dir.c_str());
  return normal_end && !grows ? 0 : 1;
}
