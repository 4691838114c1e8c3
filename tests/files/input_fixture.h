// A data file on unit 10, a scripted console and the run storage, for
// driving the input readers and the menu in-process.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "common/console.h"
#include "common/storage.h"
#include "common/units.h"

namespace input_test {

class InputRun {
 public:
  InputRun(const std::string& content, std::vector<std::string> answers)
      : console_(std::move(answers)), dialog_(console_, units_), store_(std::make_unique<common::RunStorage>()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "kestrane-input-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) dir_ = pattern;
    path_ = dir_ / "data.rwl";
    std::ofstream(path_, std::ios::binary) << content;
    units_.Open(10, path_.string(), common::Units::Mode::kRead);
  }
  ~InputRun() {
    units_.CloseAll();
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  // Opens unit 9 (the report) on a file of the run's folder.
  void OpenReport() { units_.Open(9, (dir_ / "report.txt").string(), common::Units::Mode::kWrite); }
  std::string Report() {
    units_.Close(9);
    std::ifstream in(dir_ / "report.txt", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  common::Dialog& dialog() { return dialog_; }
  common::Units& units() { return units_; }
  common::RunStorage& store() { return *store_; }
  const std::string& screen() const { return console_.transcript(); }
  std::size_t unread() const { return console_.unread(); }

 private:
  std::filesystem::path dir_;
  std::filesystem::path path_;
  common::ScriptedConsole console_;
  common::Units units_;
  common::Dialog dialog_;
  std::unique_ptr<common::RunStorage> store_;
};

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

}  // namespace input_test
