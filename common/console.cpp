#include "common/console.h"

#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <limits>
#include <new>

#include "common/freeform.h"
#include "common/text.h"

namespace common {

TerminalConsole::TerminalConsole() {
  std::signal(SIGPIPE, SIG_IGN);
  for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // A closed stream gets the null device: a file opened later must not
    // take its number and receive the screen text (or give the answers).
    const int null = ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    if (null >= 0 && null != fd) {
      ::dup2(null, fd);
      ::close(null);
    }
    if (fd == STDOUT_FILENO) failed_ = "standard output is closed";
  }
}

void TerminalConsole::Fail(std::string reason) {
  failed_ = std::move(reason);
  throw ConsoleFailure{failed_};
}

void TerminalConsole::Write(std::string_view text) {
  if (!failed_.empty()) throw ConsoleFailure{failed_};
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::ferror(stdout)) {
    Fail(std::strerror(errno));
  }
}

std::optional<std::string> TerminalConsole::ReadLine() {
  Flush();
  std::string line;
  int c;
  bool any = false;
  while ((c = std::fgetc(stdin)) != EOF) {
    any = true;
    if (c == '\n') break;
    line.push_back(static_cast<char>(c));
  }
  if (!any) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

void TerminalConsole::Flush() {
  if (!failed_.empty()) throw ConsoleFailure{failed_};
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) Fail(std::strerror(errno));
}

void TerminalConsole::WriteError(std::string_view text) {
  if (failed_.empty()) std::fflush(stdout);
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

std::optional<std::string> ScriptedConsole::ReadLine() {
  if (next_ >= answers_.size()) return std::nullopt;
  const std::string& answer = answers_[next_++];
  transcript_ += answer;
  transcript_ += '\n';
  return answer;
}

void Dialog::Screen(std::string_view line) {
  console_.Write(line);
  console_.Write("\n");
}

void Dialog::Report(std::string_view line) { units_.WriteLine(kReportUnit, line); }

void Dialog::ScreenText(std::string_view text) { console_.Write(text); }

void Dialog::Append(std::string& screen, std::string& report, std::string_view piece) {
  screen += piece;
  report += Upper(piece);
}

void Dialog::Append(std::string& screen, std::string& report, const Verbatim& piece) {
  screen += piece.text;
  report += piece.text;
}

void Dialog::Prompt(std::string_view text, std::size_t marker_column) {
  std::string line = PadTo(std::string(" ") + std::string(text), marker_column);
  line += "==> ";
  console_.Write(line);
  console_.Flush();
}

std::string Dialog::ReadLineOrStop() {
  // Whatever was written reaches its file before the program waits.
  CheckWrites();
  console_.Flush();
  std::optional<std::string> line = console_.ReadLine();
  if (!line) EndOfInput();
  return *line;
}

std::string Dialog::ReadAnswer(std::size_t length) { return Fixed(ReadLineOrStop(), length); }

std::string Dialog::Ask(std::string_view text, std::size_t length, std::size_t marker_column) {
  Prompt(text, marker_column);
  return ReadAnswer(length);
}

TypedAnswer Dialog::ReadTyped(std::size_t length, Slash slash) {
  const std::string line = ReadLineOrStop();
  const std::size_t start = line.find_first_not_of(' ');
  TypedAnswer answer;
  answer.blank = start == std::string::npos;
  const std::string_view typed = answer.blank ? std::string_view() : std::string_view(line).substr(start);
  answer.text = Fixed(typed, std::max<std::size_t>(length, 1));
  if (slash == Slash::kStops) QuitIfSlash(answer.text);
  if (slash == Slash::kAlone && TrimRight(typed) == "/") Stop(ExitStatus::kNormal);
  return answer;
}

TypedAnswer Dialog::AskTyped(std::string_view text, std::size_t length, Slash slash) {
  Prompt(text);
  return ReadTyped(length, slash);
}

void Dialog::WaitReturn(std::string_view text) {
  ScreenText(text);
  ReadLineOrStop();
}

std::string Dialog::FirstFreeItem() {
  for (;;) {
    std::vector<std::string> items = FreeItems(ReadLineOrStop());
    if (!items.empty()) return items.front();
  }
}

std::optional<int> Dialog::ReadFreeInt() {
  std::string item = FirstFreeItem();
  QuitIfSlash(item);
  return FreeIntItem(item);
}

std::optional<float> Dialog::ReadFreeReal() {
  std::optional<double> value = ReadFreeDouble();
  // A number beyond single precision would become infinity: unreadable.
  if (!value || std::fabs(*value) > static_cast<double>(std::numeric_limits<float>::max())) return std::nullopt;
  return static_cast<float>(*value);
}

std::optional<double> Dialog::ReadFreeDouble() {
  std::string item = FirstFreeItem();
  QuitIfSlash(item);
  return FreeRealItem(item);
}

void Dialog::QuitIfSlash(std::string_view answer) {
  if (IsQuit(answer)) Stop(ExitStatus::kNormal);
}

void Dialog::OpenOrStop(int unit, const std::string& name, Units::Mode mode) {
  CloseOrStop(unit);
  if (!units_.Open(unit, name, mode)) FailedFile("Cannot open the output file ", name, units_.last_error());
}

void Dialog::CloseOrStop(int unit) {
  const Unit* open = units_.Get(unit);
  if (open == nullptr) return;
  const std::string name = open->name();
  if (!units_.Close(unit)) FailedFile("Cannot write the output file ", name, units_.last_error());
}

void Dialog::CheckWrites() {
  const int unit = units_.FirstFailedUnit();
  if (unit == 0) return;
  const std::string name = units_.Get(unit)->name();
  const std::string reason = units_.last_error();
  units_.Close(unit);  // what it lost is reported below
  FailedFile("Cannot write the output file ", name, reason);
}

void Dialog::FailedFile(std::string_view what, const std::string& name, const std::string& reason) {
  Screen("");
  Screen(" " + std::string(what) + name + ": " + reason);
  AbnormalEnd();
}

std::string VersionField(ProgramVariant variant) { return Fixed(VersionText(variant), 15); }

namespace {

std::string TerminationLine(ProgramVariant variant, bool normal) {
  const bool batch = variant == ProgramVariant::kBatch;
  const char* line = normal ? (batch ? " Normal termination of program Kestrane_" : " Normal termination of Kestrane_Version ")
                            : (batch ? " Abnormal termination of program Kestrane_ "
                                     : " Abnormal termination of Kestrane_Version ");
  return line + VersionField(variant);
}

}  // namespace

void Dialog::End(bool normal) {
  Screen("");
  Screen(TerminationLine(variant_, normal));
  Screen("");
  StopAfterReturn(normal ? ExitStatus::kNormal : ExitStatus::kAbnormal);
}

void Dialog::CloseOutputsOrStop() {
  CheckWrites();
  for (int unit : units_.WritingUnits()) CloseOrStop(unit);
}

void Dialog::ShowIncomplete(const Units::IncompleteFile& file) {
  Both("");
  const std::size_t shown = std::min(file.left_out.size(), kShownLeftOut);
  for (std::size_t k = 0; k < shown; ++k) Both(" " + file.left_out[k]);
  if (file.left_out.size() > shown) {
    Both(" ", std::to_string(file.left_out.size() - shown), " more are left out of it.");
  }
  Both(" The file ", Verbatim{file.name}, " is incomplete.");
}

bool Dialog::ShowIfIncomplete(const std::string& name) {
  const Units::IncompleteFile* file = units_.Incomplete(name);
  if (file == nullptr) return false;
  ShowIncomplete(*file);
  return true;
}

void Dialog::EndIfIncomplete() {
  if (units_.IncompleteFiles().empty()) return;
  for (const Units::IncompleteFile& file : units_.IncompleteFiles()) ShowIncomplete(file);
  CloseOutputsOrStop();
  AbnormalEnd();
}

void Dialog::NormalEnd() {
  // Nothing is written after the termination line: every output file is
  // complete, and one that lacks a series or lost a record makes this an
  // abnormal end.
  EndIfIncomplete();
  CloseOutputsOrStop();
  End(true);
}

void Dialog::AbnormalEnd() { End(false); }

void Dialog::Stop(ExitStatus status, std::string_view last_line) {
  if (!last_line.empty()) Screen(last_line);
  // A normal end leaves no file that lost a record unreported.
  if (status == ExitStatus::kNormal) CloseOutputsOrStop();
  console_.Flush();
  units_.CloseAll();
  throw ProgramStop{static_cast<int>(status)};
}

void Dialog::StopAfterReturn(ExitStatus status, std::string_view last_line) {
  if (!last_line.empty()) Screen(last_line);
  units_.FlushAll();
  ScreenText(" Hit RETURN to Quit");
  console_.Flush();
  console_.ReadLine();  // end of input counts as Return
  Stop(status);
}

int RunGuarded(Dialog& dialog, const std::function<void()>& body) {
  std::string what;
  try {
    body();
    return static_cast<int>(ExitStatus::kNormal);
  } catch (const ProgramStop& stop) {
    return stop.status;
  } catch (const ConsoleFailure& failure) {
    // Nothing more can reach the screen: what was written to the files
    // stays, and the reason goes to the error stream.
    dialog.units().CloseAll();
    dialog.console().WriteError("kestrane: the screen cannot be written (" + failure.reason + "); stopping.\n");
    return static_cast<int>(ExitStatus::kAbnormal);
  } catch (const std::bad_alloc&) {
    what = " The program ran out of memory.";
  } catch (const std::exception& e) {
    what = std::string(" The program met an unexpected error: ") + e.what();
  } catch (...) {
    what = " The program met an unexpected error.";
  }
  // Whatever was written is kept: every unit is flushed and closed first.
  dialog.units().CloseAll();
  try {
    dialog.Screen("");
    dialog.Screen(what);
    dialog.Screen("");
    dialog.Screen(TerminationLine(dialog.variant(), false));
    dialog.console().Flush();
  } catch (const ConsoleFailure&) {
    // (the status says it: nothing more can be shown)
  }
  return static_cast<int>(ExitStatus::kAbnormal);
}

void Dialog::EndOfInput() {
  console_.Flush();
  console_.WriteError("kestrane: end of input at a question; stopping.\n");
  units_.CloseAll();
  throw ProgramStop{static_cast<int>(ExitStatus::kEndOfInput)};
}

}  // namespace common
