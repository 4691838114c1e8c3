#include "engine/stats_report.h"

#include <algorithm>
#include <string>

#include "common/fortran_format.h"

namespace engine {

namespace fmt = common::fmt;

void ShowRunrbrMessages(common::Dialog& dialog, const detrend::RunrbrResult& result) {
  dialog.Screen("");
  dialog.Screen(fmt::Print("(a,t37,i5)", " Running RBAR window length: ", result.length));
  dialog.Screen(fmt::Print("(a,t37,i5)", " Running RBAR window overlap: ", result.overlap));
  dialog.Screen(fmt::Print("(a,t37,i5)", " Running RBAR segments calculated: ", result.nwin));
}

std::vector<std::string> RunrbrTableLines(const common::Block& RBRV3, int first_year, int nyrs, int nwin,
                                          detrend::WorkerPool* pool) {
  std::vector<std::string> lines(static_cast<std::size_t>(std::max(nyrs, 0)) + 1);
  lines[0] = " YEAR     NC   RBAR1    EPS1   NEFF1   RBAR2    EPS2   NEFF2";
  // Blocks of rows; a row costs some microseconds of number formatting.
  constexpr int kBlock = 128;
  const int blocks = (nyrs + kBlock - 1) / kBlock;
  const unsigned lanes = pool == nullptr ? 1 : detrend::LanesFor(nyrs, 512.0, blocks);
  detrend::ParallelFor(pool, blocks, lanes, [&](int block, unsigned) {
    for (int i = block * kBlock + 1; i <= std::min(nyrs, (block + 1) * kBlock); ++i) {
      const detrend::RbarTableRow t = detrend::RunrbrTableRow(RBRV3, first_year, i, nwin);
      lines[static_cast<std::size_t>(i)] = fmt::Print("(i5,i7,6f8.3)", t.year, t.depth, t.rbar1, t.eps1, t.neff1,
                                                      t.rbar2, t.eps2, t.neff2);
    }
  });
  return lines;
}

void WriteRunrbrTable(common::Unit& unit, const common::Block& RBRV3, int first_year, int nyrs, int nwin,
                      detrend::WorkerPool* pool) {
  for (const std::string& line : RunrbrTableLines(RBRV3, first_year, nyrs, nwin, pool)) unit.WriteLine(line);
}

void ShowCommint(common::Dialog& dialog, const detrend::CommintResult& r, int limit) {
  if (r.too_many) {
    dialog.Screen("");
    dialog.Screen(fmt::Print("(19x,a,i4,a)", " >> file contains more than program limit of", limit - 1, " series"));
    dialog.Stop(common::ExitStatus::kAbnormal, " too many series for subroutine Commint");
  }
  const std::string rule = std::string(20, ' ') + std::string(42, '*');
  dialog.Screen("");
  dialog.Screen(rule);
  dialog.Screen(fmt::Print("(19x,a,i5,a,i5)", " **  Time span of chronology: ", r.first_year, " to", r.last_year));
  dialog.Screen(fmt::Print("(19x,a,i13)", " **  length =               : ", r.span));
  dialog.Screen(fmt::Print("(19x,a,i6)", " **  Number of series in chronology: ", r.nser));
  dialog.Screen(fmt::Print("(19x,a,i5,a,i5)", " **  Optimum common interval: ", r.start, " to", r.end));
  dialog.Screen(fmt::Print("(19x,a,i12)", " **  Number of years included: ", r.years));
  dialog.Screen(fmt::Print("(19x,a,i7)", " **  Number of Series included:     ", r.count));
  dialog.Screen(fmt::Print("(19x,a,i7)", " **  Number of rings:               ", r.rings));
  dialog.Screen(fmt::Print("(19x,a,i12)", " **  Length of longest Series: ", r.longest));
  dialog.Screen(fmt::Print("(19x,a,i11)", " **  Length of shortest Series: ", r.shortest));
  dialog.Screen(rule);
}

void StopOnRobsumFailure(common::Dialog& dialog, detrend::RobsumStatus status, int nser, int maxnum) {
  switch (status) {
    case detrend::RobsumStatus::kOk:
      return;
    case detrend::RobsumStatus::kTooManySeries:
      dialog.Screen("");
      dialog.Screen(" Error in Sbr ROBSUM: Max number of series exceeded");
      dialog.Screen(fmt::Print("(a,i6,5x,a,i6)", " Maximum allowed:", maxnum, "Number sent:", nser));
      dialog.Stop(common::ExitStatus::kAbnormal, " *** Enlarge parameter MAXNUM in Sbr ROBSUM and try again! ***");
    case detrend::RobsumStatus::kYearWithoutValues:
      dialog.StopAfterReturn(common::ExitStatus::kAbnormal, "fatal error in biwgt: n is zero or negative");
  }
}

}  // namespace engine
