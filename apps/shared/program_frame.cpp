#include "apps/shared/program_frame.h"

#include <initializer_list>
#include <memory>
#include <string_view>
#include <vector>

#include "common/fortran_format.h"
#include "common/limits.h"
#include "common/text.h"
#include "common/units.h"
#include "engine/sigfre.h"
#include "files/character_helpers.h"
#include "plot/plotter.h"
#include "plot/setplib.h"

namespace drivers {

using common::Dialog;
using common::ProgramVariant;

namespace {

// One banner line: "***", the text centred in 29 columns, "***", from column 17.
std::string BoxLine(std::string_view text) {
  const std::size_t inner = 29;
  const std::size_t left = text.size() >= inner ? 0 : (inner - text.size()) / 2;
  const std::string body = std::string(left, ' ') + std::string(text);
  return std::string(16, ' ') + "***" + common::Fixed(body, inner) + "***";
}

}  // namespace

int RunProgram(ProgramVariant variant, ProgramBody body) {
  common::TerminalConsole console;
  common::Units units;
  common::Dialog dialog(console, units, variant);
  return common::RunGuarded(dialog, [&] {
    auto store = std::make_unique<common::RunStorage>();
    auto options = std::make_unique<common::RunOptions>();
    auto restart = std::make_unique<common::RestartState>();
    auto engine_state = std::make_unique<engine::EngineState>(dialog.variant());
    plot::PlplotPlotter plotter;
    ProgramRun run(dialog, *store, *options, *restart, *engine_state, plotter);
    body(run);
  });
}

std::string Version(ProgramVariant variant) { return common::VersionField(variant); }

void ShowBanner(Dialog& d) {
  const ProgramVariant variant = d.variant();
  const std::string max_series = "Max Series:" + common::fmt::Print("(i4)", common::MAXSER);
  const std::string max_years = "Max Years :" + common::fmt::Print("(i4)", common::MAXYRS);
  const std::initializer_list<std::string_view> credits = {"Signal-free standardization", "of tree-ring chronologies",
                                                           "by the Kestrane developers"};
  std::vector<std::string_view> box;
  if (variant == ProgramVariant::kBatch) {
    box = {"", "Program  Kestrane", "", "Creation Date:", "02/12/2019", "", "List File Version to",
           "Speed the Processing", "of Multiple Data Sets", ""};
    box.insert(box.end(), credits);
    box.insert(box.end(), {"", max_series, max_years, ""});
  } else {
    box = {"KESTRANE", "Creation Date:", "02/08/2019"};
    box.insert(box.end(), credits);
    box.insert(box.end(), {max_series, max_years});
  }

  const std::string indent(16, ' ');
  d.Screen("");
  d.Screen(indent + std::string(35, '*'));
  for (std::string_view line : box) d.Screen(BoxLine(line));
  d.Screen(indent + "****  Version " + Version(variant) + "  ****");
  d.Screen(indent + std::string(35, '*'));

  const std::string rule(67, '*');
  d.Screen("");
  d.Screen(" " + rule);
  d.Screen(" *** WARNING: THERE IS NO GAP FILLING CAPACITY IN THIS PROGRAM.  ***");
  d.Screen(" *** SO IF YOU HAVE GAPS INDICATED BY NEGATIVE VALUES (NO -9999) ***");
  d.Screen(" *** RUN THE DATA THROUGH MORVEL FIRST AND USE THE SAVE SERIES   ***");
  d.Screen(" *** OPTION 18 AND THE TUCSON RWL FORMAT SAVE OPTION TO PROVIDE  ***");
  d.Screen(" *** THE GAP-FILLED DATA FOR USING IN THIS PROGRAM. CLEVER, HUH? ***");
  d.Screen(" " + rule);
}

void OpenReport(ProgramRun& run) {
  std::string& OUTNAM = run.store.OUTNAM;
  files::blank(OUTNAM);
  common::Assign(OUTNAM, files::OutputStem(run.store.DATFIL) + "_out_v" +
                             Version(run.variant()) + ".txt");
  files::squeez(OUTNAM, 80);
  run.dialog.OpenOrStop(common::kReportUnit, std::string(common::TrimRight(OUTNAM)));
  run.dialog.Report("");
  run.dialog.Report("THE OFFICIAL SIGNAL FREE PROGRAM OUTPUT FILE");
  if (run.variant() == ProgramVariant::kInteractive) {
    run.dialog.Report("");
    run.dialog.Report("DATA FILE TO PROCESS: " + run.store.DATFIL);
  }
  // A report that cannot take its first lines ends the run at once.
  run.dialog.CheckWrites();
  run.restart.KRETRY = 0;
}

void StartUp(ProgramRun& run) {
  plot::setplib(plot::kPlotDataDir);
  run.options.RCSFLG = 0;
  run.restart.RCSRDO = 0;
  run.options.PITHFL = 0;
  ShowBanner(run.dialog);
}

}  // namespace drivers
