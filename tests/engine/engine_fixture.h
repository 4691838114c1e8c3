// In-process engine runs for tests: a data set read from a decade file into
// the run storage as the drivers prepare it, a console that answers each
// question by the text of its prompt and a plotter that draws nothing and
// keeps the plot titles; the files go to a temporary folder.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/console.h"
#include "common/run_options.h"
#include "common/storage.h"
#include "common/units.h"
#include "engine/sigfre.h"
#include "plot/plotter.h"
#include "support/temp_dir.h"

namespace engine::testing {

// Answers by prompt: the first rule whose text occurs in the current screen
// line takes the next answer of its list (its last answer once the list is
// used up); any other question, and every plot menu, gets a blank line.
// More than `limit` reads end the input (a dialogue that never ends).
using Rules = std::vector<std::pair<std::string, std::vector<std::string>>>;

class PromptConsole : public common::Console {
 public:
  explicit PromptConsole(Rules rules = {}, int limit = 200000) : rules_(std::move(rules)), limit_(limit) {}
  void Write(std::string_view text) override { transcript_ += text; }
  std::optional<std::string> ReadLine() override;
  void WriteError(std::string_view text) override { errors_ += text; }

  const std::string& transcript() const { return transcript_; }
  int reads() const { return reads_; }
  // How often a prompt containing `text` was answered.
  int Asked(const std::string& text) const;

 private:
  Rules rules_;
  std::map<std::string, std::size_t> used_;
  std::map<std::string, int> asked_;
  std::string transcript_, errors_;
  int limit_;
  int reads_ = 0;
};

// Draws nothing; keeps the title of every page (plmtex text below the
// frame, or the title of pllab when it has one).
class TitlePlotter : public plot::NullPlotter {
 public:
  std::vector<std::string> titles;
  void lab(std::string_view, std::string_view, std::string_view t) override;
  void mtex(std::string_view side, double disp, double, double, std::string_view text) override;
  int Count(const std::string& title) const;
};

// A data file of tests/data as the drivers hand it to the engine: SERMAT
// ring-aligned (and its working copy SERWRK), IYTAB with column 3 the last
// year of each series, IDXMAT empty, the title line, DATFIL naming the
// file in `dir`, pith offsets 0.
void LoadDataSet(common::RunStorage& store, const std::string& data_name, const std::filesystem::path& dir);

// One engine session: storage, options, restart state and engine state as
// a driver owns them, with the report file open on unit 9 in a temporary
// folder.
struct EngineSession {
  explicit EngineSession(const std::string& data_name, PromptConsole console = PromptConsole(),
                         common::ProgramVariant variant = common::ProgramVariant::kInteractive);

  // Restores SERMAT from SERWRK plus 0.1 x KRETRY and sets CRVMIN, then
  // calls the engine.
  EngineOutcome Call();
  // The output file of the data set with this suffix ("_STD_RAW_Data.txt").
  std::string File(const std::string& suffix) const;
  std::string Report();

  test_support::TempDir dir;
  test_support::WorkingFolder working{dir.path()};  // where the outputs go
  PromptConsole console;
  common::Units units;
  common::Dialog dialog;  // of the session's program
  TitlePlotter plotter;
  std::unique_ptr<common::RunStorage> store = std::make_unique<common::RunStorage>();
  common::RunOptions options;
  common::RestartState restart;
  EngineState state;
  std::string stem;  // data file name without its extension
};

using test_support::ReadTestData;

// Mean and standard deviation of x in double precision, written apart from
// the library.
double Mean(const std::vector<double>& x);
double Sd(const std::vector<double>& x);

}  // namespace engine::testing
