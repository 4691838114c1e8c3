// A data file on unit 10, a scripted dialogue and the run storage, for
// driving the input readers and the menu in-process.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "common/storage.h"
#include "files/input_menu.h"
#include "support/dialog_harness.h"

namespace input_test {

class InputRun : public test_support::DialogHarness {
 public:
  InputRun(const std::string& content, std::vector<std::string> answers)
      : DialogHarness(std::move(answers)), store_(std::make_unique<common::RunStorage>()) {
    units().Open(common::kDataUnit, dir().Put("data.rwl", content), common::Units::Mode::kRead);
  }

  common::RunStorage& store() { return *store_; }

 private:
  std::unique_ptr<common::RunStorage> store_;
};

// What one call of the input data format menu left.
struct MenuCall {
  int NS = -7;
  int RDFAIL = -7;
  int status = -1;  // stop status, -1 when inmenu returned
};

inline MenuCall RunMenu(InputRun& run, common::ProgramVariant variant = common::ProgramVariant::kInteractive) {
  MenuCall call;
  common::RunStorage& s = run.store();
  call.status = test_support::StopStatus([&] {
    files::inmenu(run.dialog(), s.SERMAT, s.IYTAB, s.SERID, common::kDataUnit, call.NS, s.TITLE, call.RDFAIL, variant);
  });
  return call;
}

}  // namespace input_test
