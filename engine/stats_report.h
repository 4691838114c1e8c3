// The console lines and report records of the chronology statistics: the
// running RBAR messages and table, the common-interval box, and the stops
// of the mean chronology on impossible input. The numbers come from
// detrend/; this file only lays them out.
#pragma once

#include <string>
#include <vector>

#include "common/console.h"
#include "common/storage.h"
#include "common/units.h"
#include "detrend/common_interval.h"
#include "detrend/mean_chronology.h"
#include "detrend/parallel.h"
#include "detrend/running_rbar.h"

namespace engine {

// The window messages of runrbr (screen only; the engine shows them when
// KRETRY is 0): a blank line, " Running RBAR window length: " and
// " Running RBAR window overlap: " with their numbers at column 37, then
// " Running RBAR segments calculated: " with the number of windows.
void ShowRunrbrMessages(common::Dialog& dialog, const detrend::RunrbrResult& result);

// The running RBAR table: the header line, then one row per year of the
// chronology (rows 1..nyrs of RBRV3, first row = first_year): year (i5),
// depth (i7), RBAR1, EPS1, NEFF1, RBAR2, EPS2, NEFF2 (f8.3 each). With a
// pool, a long table's rows are laid out by its threads (each row by one
// thread, the same text), and written in order.
std::vector<std::string> RunrbrTableLines(const common::Block& RBRV3, int first_year, int nyrs, int nwin,
                                          detrend::WorkerPool* pool = nullptr);
void WriteRunrbrTable(common::Unit& unit, const common::Block& RBRV3, int first_year, int nyrs, int nwin,
                      detrend::WorkerPool* pool = nullptr);

// The boxed common-interval report (screen only). When the data set has
// more series than the search takes, shows the limit message and stops the
// program with " too many series for subroutine Commint".
void ShowCommint(common::Dialog& dialog, const detrend::CommintResult& result, int limit);

// Stops the program for a ROBSUM status other than kOk: too many series
// (three lines, no wait) or a year without values ("fatal error in biwgt",
// wait for Return). Returns when the status is kOk.
void StopOnRobsumFailure(common::Dialog& dialog, detrend::RobsumStatus status, int nser, int maxnum);

}  // namespace engine
