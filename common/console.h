// The console seam and the dialogue layer every subsystem talks through.
//
// Console is the only place that touches standard input and output; tests
// drive a ScriptedConsole. Dialog adds the house layout: prompt text at
// column 2 with "==> " at column 50, result lines to the screen and their
// upper-case twins to the report file (unit 9), the waits, and the one stop
// routine through which every way out of the program passes.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/program_variant.h"
#include "common/units.h"

namespace common {

class Console {
 public:
  virtual ~Console() = default;
  virtual void Write(std::string_view text) = 0;
  // One whole line without its line end; nullopt at end of input.
  virtual std::optional<std::string> ReadLine() = 0;
  virtual void Flush() {}
  // Error stream (end-of-input notice).
  virtual void WriteError(std::string_view text) = 0;
};

// Thrown by a console that can no longer be written (a reader that closed
// its end of a pipe, a full device, standard output closed). Only the
// program frame (RunGuarded) catches it: the run ends as an abnormal end,
// with nothing more written to the console.
struct ConsoleFailure {
  std::string reason;
};

// Standard input and output. Made once, at the start of a program: a
// closed pipe is a failed write, not a signal that ends the process, and
// none of the three standard streams is left closed for a file the run
// opens to take its place (a closed standard output makes every write
// fail). Write and Flush throw ConsoleFailure once the screen cannot be
// written; WriteError never throws.
class TerminalConsole : public Console {
 public:
  TerminalConsole();
  void Write(std::string_view text) override;
  std::optional<std::string> ReadLine() override;
  void Flush() override;
  void WriteError(std::string_view text) override;

 private:
  [[noreturn]] void Fail(std::string reason);
  std::string failed_;  // why the screen cannot be written; empty while it can
};

// Answers from a script; every answer read is echoed into the transcript
// after the prompt that asked for it.
class ScriptedConsole : public Console {
 public:
  explicit ScriptedConsole(std::vector<std::string> answers) : answers_(std::move(answers)) {}
  void Write(std::string_view text) override { transcript_ += text; }
  std::optional<std::string> ReadLine() override;
  void WriteError(std::string_view text) override { errors_ += text; }

  const std::string& transcript() const { return transcript_; }
  const std::string& errors() const { return errors_; }
  std::size_t unread() const { return answers_.size() - next_; }

 private:
  std::vector<std::string> answers_;
  std::size_t next_ = 0;
  std::string transcript_;
  std::string errors_;
};

// Exit status of the programs.
enum class ExitStatus { kNormal = 0, kAbnormal = 1, kEndOfInput = 3 };

// Thrown by the stop routines and caught only by the program frame
// (RunGuarded), which returns `status` from the process. The units are already closed when it is thrown.
struct ProgramStop {
  int status;
};

// A piece of a result line that the report twin keeps as it is (file names,
// identifiers); every other piece is upper-cased in the report.
struct Verbatim {
  std::string_view text;
};

// One typed answer as every question of the dialogue takes it: the line
// without its leading blanks, cut or padded to the answer's length. Only a
// wholly blank line takes the question's default.
struct TypedAnswer {
  std::string text;    // left-justified, `length` characters
  bool blank = false;  // the whole line was blank
  char first() const { return text.empty() ? ' ' : text[0]; }
};

// What "/" typed as an answer does: stop the program as its first
// character (almost every question), stop it only when it is the whole
// answer (file-name prompts, where a longer answer starting with "/" is a
// path), or come back as the answer (the questions that stop with their own
// text or take "/" as an ordinary answer).
enum class Slash { kStops, kAlone, kAnswer };

inline constexpr std::size_t kMarkerColumn = 50;
// The most notes of one incomplete file that are shown line by line.
inline constexpr std::size_t kShownLeftOut = 10;
inline constexpr std::size_t kListMarkerColumn = 45;

class Dialog {
 public:
  Dialog(Console& console, Units& units, ProgramVariant variant = ProgramVariant::kInteractive)
      : console_(console), units_(units), variant_(variant) {}

  Console& console() { return console_; }
  Units& units() { return units_; }
  // Which program is running: the one place the run keeps it; everything
  // else that differs between the programs asks here.
  ProgramVariant variant() const { return variant_; }

  // Every output file passes through these two. A file that cannot be
  // opened, or that lost a record when it is closed, is named on the screen
  // with the reason, and the program ends abnormally. A unit that is open
  // for writing is closed (checked) before it is opened again.
  void OpenOrStop(int unit, const std::string& name, Units::Mode mode = Units::Mode::kWrite);
  void CloseOrStop(int unit);
  // Flushes every unit open for writing; one that has lost a record ends
  // the program abnormally, naming it. Done before every question.
  void CheckWrites();

  // Shows, on the screen and in the report, what the output file `name`
  // lacks as it now stands (Units::NoteLeftOut): a blank line, the notes (at
  // most kShownLeftOut, then how many more) and " The file NAME is
  // incomplete.". False, and nothing shown, when it lacks nothing.
  bool ShowIfIncomplete(const std::string& name);
  // Once every file of a data set is written: each file the run left
  // incomplete is shown as ShowIfIncomplete shows it, and the program ends
  // abnormally (every unit closed, checked). Nothing happens when no file
  // lacks anything.
  void EndIfIncomplete();

  // The normal end of the program: an abnormal end instead when a file is
  // incomplete (EndIfIncomplete); otherwise every unit closed (checked),
  // the program's termination line, "Hit RETURN to Quit", a wait, status 0.
  [[noreturn]] void NormalEnd();
  // The abnormal end: the program's abnormal termination line, the wait,
  // status 1.
  [[noreturn]] void AbnormalEnd();

  // Result lines: where each goes is explicit at the call.
  void Screen(std::string_view line);
  void Report(std::string_view line);  // written as given
  template <typename... Pieces>
  void Both(const Pieces&... pieces) {
    std::string screen, report;
    (Append(screen, report, pieces), ...);
    Screen(screen);
    Report(report);
  }
  // Screen text without a line end (the cursor stays on the line).
  void ScreenText(std::string_view text);

  // Writes " text" with "==> " at `marker_column`, leaves the cursor on the
  // line and flushes.
  void Prompt(std::string_view text, std::size_t marker_column = kMarkerColumn);

  // Reads one answer line as a fixed-length text of `length` characters.
  // End of input stops the program (status 3).
  std::string ReadAnswer(std::size_t length);
  // Prompt, then ReadAnswer.
  std::string Ask(std::string_view text, std::size_t length, std::size_t marker_column = kMarkerColumn);

  // Reads one typed answer of `length` (at least 1) characters: leading
  // blanks removed, "/" as its first character stopping the program
  // normally unless `slash` says otherwise (kAlone: only "/" with nothing
  // after it but blanks). End of input stops the program (status 3).
  TypedAnswer ReadTyped(std::size_t length, Slash slash = Slash::kStops);
  // Prompt, then ReadTyped.
  TypedAnswer AskTyped(std::string_view text, std::size_t length, Slash slash = Slash::kStops);

  // Shows `text` exactly as given, the cursor left on the line, and waits for Return.
  // End of input stops the program (status 3).
  void WaitReturn(std::string_view text);

  // Free-form (list-directed) reads of one value: empty lines are skipped,
  // items are separated by blanks or commas and the first is taken; "/"
  // stops the program. nullopt when the item does not convert.
  std::optional<int> ReadFreeInt();
  std::optional<float> ReadFreeReal();
  std::optional<double> ReadFreeDouble();

  // The stop routine: writes `last_line` (if any) to the screen, flushes and
  // closes every unit and ends the program with `status`.
  [[noreturn]] void Stop(ExitStatus status, std::string_view last_line = {});
  // As Stop, after " Hit RETURN to Quit" (cursor left on the line) and a
  // wait; end of input counts as Return.
  [[noreturn]] void StopAfterReturn(ExitStatus status, std::string_view last_line = {});
  // End of standard input at a question: one line to the error stream, status 3.
  [[noreturn]] void EndOfInput();

  // Answer tests of the dialogue.
  static bool IsQuit(std::string_view answer) { return !answer.empty() && answer[0] == '/'; }
  // "/" as the first character stops the program normally, with no text.
  void QuitIfSlash(std::string_view answer);

 private:
  std::string ReadLineOrStop();
  std::string FirstFreeItem();
  static void Append(std::string& screen, std::string& report, std::string_view piece);
  static void Append(std::string& screen, std::string& report, const Verbatim& piece);
  static void Append(std::string& screen, std::string& report, const std::string& piece) {
    Append(screen, report, std::string_view(piece));
  }
  static void Append(std::string& screen, std::string& report, const char* piece) {
    Append(screen, report, std::string_view(piece));
  }

  [[noreturn]] void FailedFile(std::string_view what, const std::string& name, const std::string& reason);
  void ShowIncomplete(const Units::IncompleteFile& file);
  [[noreturn]] void End(bool normal);
  // Closes every unit open for writing, checked (CloseOrStop).
  void CloseOutputsOrStop();

  Console& console_;
  Units& units_;
  ProgramVariant variant_;
};

// The termination lines' version text: the program's, padded to 15 characters.
std::string VersionField(ProgramVariant variant);

// Runs `body`, the whole program, and returns its exit status: that of the
// stop it ends with; 1 after running out of memory or any other unexpected
// exception, which is named on the screen with the abnormal termination
// line after every unit is flushed and closed (what was written stays); 1
// when the console cannot be written, after every unit is flushed and
// closed, with one line on the error stream.
int RunGuarded(Dialog& dialog, const std::function<void()>& body);

}  // namespace common
