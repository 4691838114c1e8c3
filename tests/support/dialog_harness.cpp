#include "support/dialog_harness.h"

namespace test_support {

namespace {

constexpr const char* kReportName = "report.txt";

}  // namespace

DialogHarness::DialogHarness(std::vector<std::string> answers, common::ProgramVariant variant) : variant_(variant) {
  Script(std::move(answers));
}

DialogHarness::~DialogHarness() { units_.CloseAll(); }

void DialogHarness::Script(std::vector<std::string> answers) {
  console_ = std::make_unique<common::ScriptedConsole>(std::move(answers));
  dialog_ = std::make_unique<common::Dialog>(*console_, units_, variant_);
}

void DialogHarness::SetVariant(common::ProgramVariant variant) {
  variant_ = variant;
  dialog_ = std::make_unique<common::Dialog>(*console_, units_, variant_);
}

void DialogHarness::OpenReport() { units_.Open(common::kReportUnit, dir_.File(kReportName), common::Units::Mode::kWrite); }

std::string DialogHarness::Report() {
  if (common::Unit* report = units_.Get(common::kReportUnit)) report->Flush();
  return dir_.Read(kReportName);
}

int DialogHarness::RunScript(std::vector<std::string> answers, const std::function<void(common::Dialog&)>& body) {
  Script(std::move(answers));
  OpenReport();
  const int status = StopStatus([&] { body(*dialog_); });
  units_.Close(common::kReportUnit);
  return status;
}

}  // namespace test_support
