// A dialogue run in-process: a scripted console, the units and a Dialog over
// them, the report file (unit 9) in a temporary folder, and the status of
// the stop a dialogue ends with.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/console.h"
#include "common/units.h"
#include "support/temp_dir.h"

namespace test_support {

// Status of the stop that `body` ends with, or -1 when it returns.
template <typename Body>
int StopStatus(Body&& body) {
  try {
    body();
  } catch (const common::ProgramStop& stop) {
    return stop.status;
  }
  return -1;
}

class DialogHarness {
 public:
  explicit DialogHarness(std::vector<std::string> answers = {},
                         common::ProgramVariant variant = common::ProgramVariant::kInteractive);
  DialogHarness(const DialogHarness&) = delete;
  DialogHarness& operator=(const DialogHarness&) = delete;
  ~DialogHarness();

  // A fresh console scripted with `answers` and a fresh dialogue over the
  // same units.
  void Script(std::vector<std::string> answers);
  // The program the dialogue speaks for, from now on (the dialogue is made
  // anew over the same console and units).
  void SetVariant(common::ProgramVariant variant);

  // Opens unit 9 on the folder's report file, written anew.
  void OpenReport();
  // What the report file holds so far.
  std::string Report();

  // Runs `body` on a dialogue scripted with `answers`, the report open from
  // its start to its end; returns the stop status, or -1 when it returned.
  int RunScript(std::vector<std::string> answers, const std::function<void(common::Dialog&)>& body);

  common::Dialog& dialog() { return *dialog_; }
  common::Units& units() { return units_; }
  const TempDir& dir() const { return dir_; }
  const std::string& Transcript() const { return console_->transcript(); }
  // What went to the error stream (the end-of-input notice).
  const std::string& Errors() const { return console_->errors(); }
  // Answers the script still holds.
  std::size_t Unread() const { return console_->unread(); }

 private:
  TempDir dir_;
  common::Units units_;
  std::unique_ptr<common::ScriptedConsole> console_;
  std::unique_ptr<common::Dialog> dialog_;
  common::ProgramVariant variant_;
};

}  // namespace test_support
