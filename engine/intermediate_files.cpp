#include "engine/intermediate_files.h"

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "common/text.h"
#include "detrend/parallel.h"
#include "detrend/running_rbar.h"
#include "engine/stats_report.h"
#include "files/decade.h"

namespace engine::detail {

std::string IntermediateSuffix(std::string_view pass, int unit, int RESID, int PTRFLG) {
  const std::string source = RESID == 1 && PTRFLG == 1 ? "_PTR_" : "_RAW_";
  std::string what;
  if (unit == kSeriesUnit) what = "Data";
  if (unit == kCurveUnit) what = "Curves";
  if (unit == kIndexUnit) what = RESID == 0 ? "Ratios" : "Resids";
  return "_" + std::string(pass) + source + what + ".txt";
}

void OpenIntermediateFiles(EngineCall& call, std::string_view pass, bool with_indices) {
  for (int unit : {kSeriesUnit, kCurveUnit, kIndexUnit}) {
    if (unit == kIndexUnit && !with_indices) continue;
    OpenOutput(call, unit, IntermediateSuffix(pass, unit, call.options.RESID, call.options.PTRFLG));
    WriteTitle(call, unit);
  }
}

void OpenOutput(EngineCall& call, int unit, std::string_view suffix) {
  common::Assign(call.store.OUTNAM, call.base + std::string(suffix));
  call.dialog.OpenOrStop(unit, std::string(common::TrimRight(call.store.OUTNAM)));
}

void WriteTitle(EngineCall& call, int unit) {
  call.dialog.units().WriteLine(unit, common::Fixed(call.store.TITLE[1], 100));
}

namespace {

// Notes series i as left out of the file open on `unit`, with the reason.
void NoteLeftOut(EngineCall& call, int unit, int i, std::span<const float> values) {
  const std::string& id = call.store.SERID[static_cast<std::size_t>(i)];
  call.dialog.units().NoteLeftOut(unit, files::RwlUnwritable(id, call.store.IYTAB.IFY(i), values).value_or(""));
}

}  // namespace

void WriteSeries(EngineCall& call, int unit, int i, std::span<const float> values, std::string_view label) {
  common::Unit& file = *call.dialog.units().Get(unit);
  const std::string& id = call.store.SERID[static_cast<std::size_t>(i)];
  if (!files::WriteRwl(file, id, call.store.IYTAB.IFY(i), values, label)) NoteLeftOut(call, unit, i, values);
}

void WriteSeriesRecords(EngineCall& call, int count, const std::function<SeriesRecord(int)>& record) {
  constexpr int kChunk = 256;  // a few hundred kilobytes of records at a time
  std::vector<std::string> text(static_cast<std::size_t>(std::min(count, kChunk)));
  std::vector<char> written(text.size());
  for (int first = 0; first < count; first += kChunk) {
    const int n = std::min(kChunk, count - first);
    double values = 0.0;
    for (int k = first; k < first + n; ++k) values += static_cast<double>(record(k).values.size());
    detrend::ParallelFor(&call.state.pool, n, detrend::LanesFor(values, 2e4, n), [&](int c, unsigned) {
      const SeriesRecord r = record(first + c);
      std::ostringstream out;
      written[static_cast<std::size_t>(c)] =
          files::WriteRwl(out, call.store.SERID[static_cast<std::size_t>(r.series)], call.store.IYTAB.IFY(r.series),
                          r.values, r.label);
      text[static_cast<std::size_t>(c)] = std::move(out).str();
    });
    for (int c = 0; c < n; ++c) {
      const SeriesRecord r = record(first + c);
      if (!written[static_cast<std::size_t>(c)]) NoteLeftOut(call, r.unit, r.series, r.values);
      common::Unit& unit = *call.dialog.units().Get(r.unit);
      const std::string_view records = text[static_cast<std::size_t>(c)];
      for (std::size_t at = 0; at < records.size();) {
        const std::size_t end = std::min(records.find('\n', at), records.size());
        unit.WriteLine(records.substr(at, end - at));
        at = end + 1;
      }
    }
  }
}

void ShowIncompleteFiles(EngineCall& call, std::string_view pass) {
  for (int unit : {kSeriesUnit, kCurveUnit, kIndexUnit}) {
    call.dialog.ShowIfIncomplete(call.base + IntermediateSuffix(pass, unit, call.options.RESID, call.options.PTRFLG));
  }
}

void RunningRbar(EngineCall& call, std::string_view suffix) {
  common::RunStorage& s = call.store;
  OpenOutput(call, kRbarUnit, suffix);
  const int window = call.options.IRBWIN;
  const detrend::RunrbrResult r =
      detrend::runrbr(s.IDXMAT, s.RBRV1, s.IYTAB, call.NS, s.RBRV2, s.RBRV3, window, window - 1, &call.state.pool);
  if (call.restart.KRETRY == 0) ShowRunrbrMessages(call.dialog, r);
  WriteRunrbrTable(*call.dialog.units().Get(kRbarUnit), s.RBRV3, call.fy, call.NYRS, r.nwin, &call.state.pool);
  call.dialog.CloseOrStop(kRbarUnit);
}

}  // namespace engine::detail
