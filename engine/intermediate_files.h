// The engine's intermediate files: each pass's measurements, curves and
// indices as decade series files (units 30-32), the running RBAR tables
// (unit 33), and the notes of series a file's layout could not hold.
// Internal to the engine.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "common/units.h"
#include "engine/engine_call.h"

namespace engine::detail {

// File units of the engine (common/units.h): kSeriesUnit, kCurveUnit,
// kIndexUnit, kRbarUnit, and kPithUnit for the regional curves file.
using common::kCurveUnit;
using common::kIndexUnit;
using common::kPithUnit;
using common::kRbarUnit;
using common::kSeriesUnit;

// The file suffix of the standard ("STD") or signal-free ("SSF") pass's
// measurements (unit 30), curves (31) or indices (32): "_STD_RAW_Data.txt",
// "_SSF_PTR_Resids.txt" and so on.
std::string IntermediateSuffix(std::string_view pass, int unit, int RESID, int PTRFLG);
// Opens the pass's three files empty, each headed by TITLE(1); without
// indices (option 0) only the first two.
void OpenIntermediateFiles(EngineCall& call, std::string_view pass, bool with_indices);

// Opens `unit` for writing on the base name followed by `suffix`; a file
// that cannot be opened ends the run abnormally with a line naming it.
void OpenOutput(EngineCall& call, int unit, std::string_view suffix);
// Writes TITLE(1), all 100 characters, as the first record of `unit`.
void WriteTitle(EngineCall& call, int unit);
// Appends series i's values to `unit` as a decade ring-width series
// (thousandths) with `label` after every full line. A series the format
// cannot hold (files::RwlUnwritable) is left out, and noted as left out of
// the file (common::Units::NoteLeftOut).
void WriteSeries(EngineCall& call, int unit, int i, std::span<const float> values, std::string_view label);
// One series' record set in a pass's file: series i's values with `label`.
struct SeriesRecord {
  int unit;
  int series;
  std::span<const float> values;
  const char* label;
};
// Writes record(k) for k = 0..count-1, each as WriteSeries writes one, every
// file receiving its record sets in the order of k. The records are laid out
// by the worker pool's threads a few hundred sets at a time (a set whole by
// one thread) and written in order.
void WriteSeriesRecords(EngineCall& call, int count, const std::function<SeriesRecord(int)>& record);
// Once the files of a pass ("STD" or "SSF") are final: each that lacks a
// series is named with the series left out. The run goes on; the program
// ends abnormally once all its files are written (Dialog::EndIfIncomplete).
// (The files of an iteration that is followed by another are written anew,
// so a value only an early iteration reaches leaves nothing out.)
void ShowIncompleteFiles(EngineCall& call, std::string_view pass);

// The running-RBAR table of IDXMAT into the base name + suffix (unit 33),
// with the window messages when KRETRY is 0.
void RunningRbar(EngineCall& call, std::string_view suffix);

}  // namespace engine::detail
