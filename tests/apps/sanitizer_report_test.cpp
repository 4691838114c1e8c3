// In the sanitizer build a sanitizer report ends a program with status 86,
// which no program path uses, and the end-to-end harness refuses such a run
// rather than taking it for the program's own abnormal end (status 1). A
// probe does on purpose what the sanitizers report; the real programs must
// carry the same defaults.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "support/e2e.h"
#include "support/temp_dir.h"

#if defined(KESTRANE_SANITIZER_PROBE)

namespace {

// The environment's sanitizer options, cleared for the life of the object:
// the defaults compiled into a program then decide alone.
class DefaultsOnly {
 public:
  DefaultsOnly() {
    for (int k = 0; k < 2; ++k) {
      const char* value = std::getenv(kNames[k]);
      if (value != nullptr) saved_[k] = value;
      ::unsetenv(kNames[k]);
    }
  }
  ~DefaultsOnly() {
    for (int k = 0; k < 2; ++k) {
      if (saved_[k]) ::setenv(kNames[k], saved_[k]->c_str(), 1);
    }
  }

 private:
  static constexpr const char* kNames[2] = {"ASAN_OPTIONS", "UBSAN_OPTIONS"};
  std::optional<std::string> saved_[2];
};

e2e::Result Probe(const std::string& what) {
  e2e::Sandbox box;
  return e2e::RunProgramUnchecked(box.dir(), KESTRANE_SANITIZER_PROBE, {what}, 60);
}

struct Fault {
  const char* what;     // the probe's answer
  const char* heading;  // the heading of the sanitizer's report
};
constexpr Fault kFaults[] = {
    {"overflow", "runtime error:"},
    {"heap", "ERROR: AddressSanitizer"},
    {"leak", "ERROR: LeakSanitizer"},
};

TEST(SanitizerReport, EndsWithItsOwnStatusByDefaultAndUnderTheTestEnvironment) {
  for (bool defaults_only : {true, false}) {
    std::optional<DefaultsOnly> cleared;
    if (defaults_only) cleared.emplace();
    for (const Fault& f : kFaults) {
      SCOPED_TRACE(std::string(f.what) + (defaults_only ? ", defaults only" : ", environment as given"));
      const e2e::Result r = Probe(f.what);
      EXPECT_EQ(r.status, e2e::kSanitizerReportStatus) << r.errors;
      EXPECT_NE(r.errors.find(f.heading), std::string::npos) << r.errors;
      EXPECT_NE(e2e::SanitizerReport(r).find(f.heading), std::string::npos) << e2e::SanitizerReport(r);
    }
  }
}

TEST(SanitizerReport, HarnessKnowsAReportByItsTextOrItsStatusAlone) {
  // A report's text with an ordinary abnormal status (a report that was
  // let recover) is still a report.
  const e2e::Result text = Probe("text");
  EXPECT_EQ(text.status, 1);
  EXPECT_EQ(e2e::SanitizerReport(text), "probe.cpp:1:1: runtime error: shaped like a report");
  // Status 86 with nothing on standard error (a report written elsewhere).
  e2e::Result quiet;
  quiet.status = e2e::kSanitizerReportStatus;
  EXPECT_NE(e2e::SanitizerReport(quiet).find("status 86"), std::string::npos);
  // An abnormal end of the program's own is no report.
  const e2e::Result clean = Probe("clean");
  EXPECT_EQ(clean.status, 1);
  EXPECT_EQ(e2e::SanitizerReport(clean), "");
}

TEST(SanitizerReportDeathTest, HarnessStopsTheTestOnAReport) {
  e2e::Sandbox box;
  for (const char* what : {"overflow", "heap", "text"}) {
    SCOPED_TRACE(what);
    EXPECT_DEATH(e2e::RunProgram(box.dir(), KESTRANE_SANITIZER_PROBE, {what}, 60), "ended by a sanitizer report");
  }
  EXPECT_EQ(e2e::RunProgram(box.dir(), KESTRANE_SANITIZER_PROBE, {"clean"}, 60).status, 1);
}

TEST(SanitizerReport, BothProgramsCarryTheDefaults) {
  for (const std::string program : {e2e::Kestrane(), e2e::KestraneBatch()}) {
    SCOPED_TRACE(program);
    const std::string bytes = test_support::ReadFile(program);
    ASSERT_FALSE(bytes.empty());
    EXPECT_NE(bytes.find("exitcode=86:halt_on_error=1:abort_on_error=0"), std::string::npos);
    EXPECT_NE(bytes.find("exitcode=86:halt_on_error=1:print_stacktrace=1"), std::string::npos);
  }
}

}  // namespace

#endif  // KESTRANE_SANITIZER_PROBE
