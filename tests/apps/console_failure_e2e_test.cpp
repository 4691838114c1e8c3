// A screen that cannot be written, end to end through the real programs:
// standard output on a full device, closed, or a pipe whose reader has gone
// away in the middle of a run. The run ends as an abnormal end does (status
// 1, every file flushed and closed, one line on the error stream), never by
// a signal and never with the status of a normal end.
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/e2e.h"
#include "support/text.h"

namespace {

using test_support::Has;

const std::string kNoScreen = "kestrane: the screen cannot be written (";

std::string Lines(const std::vector<std::string>& answers) {
  std::string text;
  for (const std::string& a : answers) text += a + "\n";
  return text;
}

// The whole dialogue of ca533 with ratios, every series kept and every
// default after.
std::vector<std::string> Ca533Answers() {
  std::vector<std::string> a = {"ca533.rwl", "1", "R", "1"};
  a.insert(a.end(), 300, "");
  return a;
}

struct Ending {
  bool exited = false;   // ended by exit, not by a signal
  int status = -1;       // exit status, or the signal
  std::string errors;    // standard error
};

// Runs `program` in the sandbox with `answers` on standard input and
// standard output given to `screen` (a shell redirection).
Ending RunWithScreen(const e2e::Sandbox& box, const char* program, const std::vector<std::string>& answers,
                     const std::string& screen) {
  box.Put("answers.in", Lines(answers));
  const std::string command = "cd '" + box.dir().string() + "' && timeout -k 2 60 '" +
                              std::string(program) + "' < answers.in " + screen + " 2> errors.out";
  const int raw = std::system(command.c_str());
  Ending e;
  e.exited = WIFEXITED(raw);
  e.status = e.exited ? WEXITSTATUS(raw) : -1;
  e.errors = box.Read("errors.out");
  return e;
}

TEST(ConsoleFailure, AFullOrClosedScreenEndsTheRunAbnormally) {
  for (const char* program : {e2e::Kestrane(), e2e::KestraneBatch()}) {
    for (const std::string screen : {"> /dev/full", ">&-"}) {
      e2e::Sandbox box;
      box.CopyData("ca533.rwl", "ca533.rwl");
      const Ending e = RunWithScreen(box, program, Ca533Answers(), screen);
      const std::string label = std::string(program) + " " + screen;
      EXPECT_TRUE(e.exited) << label;
      EXPECT_EQ(e.status, 1) << label << "\n" << e.errors;
      EXPECT_TRUE(Has(e.errors, kNoScreen)) << label << "\n" << e.errors;
      EXPECT_TRUE(e2e::SanitizerReport(e2e::Result{e.status, "", e.errors}).empty()) << label << "\n" << e.errors;
      // The run stopped at its first prompt (the data or list file name),
      // before any file was opened.
      EXPECT_FALSE(box.Has("ca533_out_vKestrane_2019.txt")) << label;
      EXPECT_EQ(box.Read("ca533.rwl"), e2e::ReadData("ca533.rwl")) << label;
    }
  }
}

// A reader of the screen that closes its end once the TARN question is
// shown. The answers after it lead the run on into the engine: its next
// screen write fails. The report holds the lines written after the last
// question (the TARN echo), which only reach the file when the run closes
// it; a run killed by the signal of a broken pipe loses them.
TEST(ConsoleFailure, AReaderThatClosesTheScreenEndsTheRunWithItsFilesComplete) {
  std::signal(SIGPIPE, SIG_IGN);  // this test writes answers to a program that may have ended
  e2e::Sandbox box;
  box.CopyData("ca533.rwl", "ca533.rwl");
  int in[2], out[2];
  ASSERT_EQ(::pipe(in), 0);
  ASSERT_EQ(::pipe(out), 0);
  const std::string errors = (box.dir() / "errors.out").string();
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    std::signal(SIGPIPE, SIG_DFL);  // as a user's shell leaves it
    const int err = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (::chdir(box.dir().c_str()) != 0 || err < 0) ::_exit(126);
    ::dup2(in[0], 0);
    ::dup2(out[1], 1);
    ::dup2(err, 2);
    for (int fd : {in[0], in[1], out[0], out[1], err}) ::close(fd);
    ::execl(e2e::Kestrane(), e2e::Kestrane(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(in[0]);
  ::close(out[1]);

  // Every answer up to the TARN question (mean, window, stabilisation,
  // convergence taken at their defaults after option 8's).
  const std::string before = Lines({"ca533.rwl", "1", "R", "1", "", "", "", "", "", "", ""});
  ASSERT_EQ(::write(in[1], before.data(), before.size()), static_cast<ssize_t>(before.size()));
  const std::string marker = "Enter <y>/n (default is y for YES, / to exit)";
  std::string screen;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!Has(screen, marker) && std::chrono::steady_clock::now() < deadline) {
    pollfd p{out[0], POLLIN, 0};
    if (::poll(&p, 1, 1000) <= 0) continue;
    char block[4096];
    const ssize_t n = ::read(out[0], block, sizeof block);
    if (n <= 0) break;
    screen.append(block, static_cast<std::size_t>(n));
  }
  ASSERT_TRUE(Has(screen, marker)) << screen;
  ::close(out[0]);  // the reader goes away
  const std::string after = Lines(std::vector<std::string>(300, ""));
  (void)!::write(in[1], after.data(), after.size());
  ::close(in[1]);

  int raw = 0;
  pid_t done = 0;
  while ((done = ::waitpid(pid, &raw, WNOHANG)) == 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (done == 0) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &raw, 0);
    FAIL() << "the program did not end";
  }
  ASSERT_TRUE(WIFEXITED(raw)) << "ended by signal " << (WIFSIGNALED(raw) ? WTERMSIG(raw) : 0);
  const std::string err = box.Read("errors.out");
  EXPECT_TRUE(e2e::SanitizerReport(e2e::Result{WEXITSTATUS(raw), "", err}).empty()) << err;
  EXPECT_EQ(WEXITSTATUS(raw), 1) << err;
  EXPECT_TRUE(Has(err, kNoScreen + "Broken pipe); stopping.\n")) << err;
  const std::string report = box.Read("ca533_out_vKestrane_2019.txt");
  EXPECT_TRUE(Has(report, "\nTARN CONVERGENCE CRITERIA USED - SHOULD BE FASTER TO CONVERGE\n")) << report;
  EXPECT_EQ(box.Read("ca533.rwl"), e2e::ReadData("ca533.rwl"));
}

}  // namespace
