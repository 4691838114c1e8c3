#include "apps/shared/chronology_outputs.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

#include "common/fortran_format.h"
#include "common/text.h"
#include "common/units.h"
#include "detrend/crvfit.h"
#include "detrend/parallel.h"
#include "detrend/spectrum.h"
#include "files/character_helpers.h"
#include "files/decade.h"
#include "plot/plots.h"

namespace drivers {

namespace fmt = common::fmt;

namespace {

constexpr int kChronologyUnit = common::kCensoredUnit;  // unit 11: the two chronology files in turn
constexpr int kSpectraUnit = common::kDataUnit;         // unit 10: the spectra file
constexpr int kSpectrumDepth = 5;        // years of a smaller depth stay out of the spectra
constexpr int kFewestSpectrumYears = 9;  // fewer give fewer than 3 lags
constexpr float kLowFrequency = 0.1f;    // cycles per year: periods of 10 years and more
constexpr float kNoStandardError = -99.9f;

bool RawData(const ProgramRun& run) { return detrend::IsRawAverage(run.saved_NOPT); }

int Span(const ProgramRun& run) { return run.store.IYTAB.Span(run.store.NS + 1); }
int FirstYear(const ProgramRun& run) { return run.store.IYTAB.IFY(run.store.NS + 1); }

// The stem of the chronology files, as every output of the run is named.
std::string Stem(const ProgramRun& run) { return files::OutputStem(run.store.DATFIL); }

// Opens `unit` for writing on `name` (built in OUTNAM); a file that cannot
// be opened ends the run abnormally with a line naming it.
void OpenOutput(ProgramRun& run, int unit, const std::string& name) {
  common::Assign(run.store.OUTNAM, name);
  run.dialog.OpenOrStop(unit, name);
}

float StandardError(float spread, int depth) {
  return depth > 0 ? spread / std::sqrt(static_cast<float>(depth)) : kNoStandardError;
}

}  // namespace

std::string SpectraBaseName(std::string_view DATFIL) {
  const std::string_view name = files::FileNamePart(DATFIL).substr(0, 40);
  return std::string(name.substr(0, name.find_first_of(" .")));
}

std::string ChronologyId(std::string_view DATFIL) { return common::Fixed(files::FileNamePart(DATFIL).substr(0, 6), 8); }

void WriteColumnTable(ProgramRun& run) {
  common::RunStorage& s = run.store;
  const bool stabilised = run.options.IRBWIN >= 1;
  const std::string columns = RawData(run) ? "  Year  SSize  RawCrn  AdjCrn  RawSig  AdjSig  RawSee  AdjSee"
                                           : "  Year  SSize  StdCrn  SsfCrn  StdSig  SsfSig  StdSee  SsfSee";
  const std::string header = columns + (!stabilised ? "" : RawData(run) ? "  RawStb  AdjStb" : "  StdStb  SsfStb");

  OpenOutput(run, kChronologyUnit, Stem(run) + "_crns_col.txt");
  common::Unit& unit = *run.dialog.units().Get(kChronologyUnit);
  unit.WriteLine(header);
  const fmt::Format row = *fmt::Format::Parse(stabilised ? "(2i6,1x,10f8.3)" : "(2i6,1x,8f8.3)");
  // The rows are laid out in blocks by the worker pool's threads, a row
  // costing some microseconds of number formatting, and written in order.
  const int span = Span(run), first_year = FirstYear(run);
  std::vector<std::string> lines(static_cast<std::size_t>(std::max(span, 0)));
  constexpr int kBlock = 128;
  const int blocks = (span + kBlock - 1) / kBlock;
  detrend::ParallelFor(&run.engine_state.pool, blocks, detrend::LanesFor(span, 512.0, blocks), [&](int block, unsigned) {
    std::array<fmt::WriteValue, 10> values{};
    for (int k = block * kBlock + 1; k <= std::min(span, (block + 1) * kBlock); ++k) {
      const int n = s.SSize[static_cast<std::size_t>(k)];
      values = {common::YearOfRow(k, first_year),
                n,
                s.STDCHR.get(k, 1),
                s.SSFCHR.get(k, 1),
                s.STDCHR.get(k, 2),
                s.SSFCHR.get(k, 2),
                StandardError(s.STDCHR.get(k, 2), n),
                StandardError(s.SSFCHR.get(k, 2), n),
                s.STBCHR.get(k, 1),
                s.STBCHR.get(k, 2)};
      lines[static_cast<std::size_t>(k - 1)] =
          fmt::Write(row, std::span<const fmt::WriteValue>(values).first(stabilised ? 10 : 8));
    }
  });
  for (const std::string& line : lines) unit.WriteLine(line);
  run.dialog.CloseOrStop(kChronologyUnit);
}

void WriteDecadeChronologies(ProgramRun& run, std::span<const int> cumulative_units) {
  common::RunStorage& s = run.store;
  struct Chronology {
    const common::Block& block;
    int column;
    const char* label;
    const char* raw_label;
  };
  const std::array<Chronology, 4> chronologies = {Chronology{s.STDCHR, 1, "stdcrn", "rawcrn"},
                                                  Chronology{s.SSFCHR, 1, "ssfcrn", "adjcrn"},
                                                  Chronology{s.STBCHR, 1, "stdstb", "rawstb"},
                                                  Chronology{s.STBCHR, 2, "ssfstb", "adjstb"}};
  const std::size_t count = run.options.IRBWIN > 0 ? 4 : 2;

  OpenOutput(run, kChronologyUnit, Stem(run) + "_crns_tuc.txt");
  const std::string id = ChronologyId(s.DATFIL);
  const std::size_t span = static_cast<std::size_t>(Span(run));
  const std::span<const int> depth = std::span<const int>(s.SSize).subspan(1, span);
  for (std::size_t c = 0; c < count; ++c) {
    const Chronology& crn = chronologies[c];
    const std::string label = RawData(run) ? crn.raw_label : crn.label;
    const std::span<const float> values = crn.block.column_view(crn.column).first(span);
    std::vector<int> units = {kChronologyUnit};
    if (c < cumulative_units.size() && run.dialog.units().IsOpen(cumulative_units[c])) {
      units.push_back(cumulative_units[c]);
    }
    // A chronology the layout cannot carry is left out of every file, title
    // lines and all, and named; the files are noted as lacking it.
    if (const std::optional<std::string> why = files::CrnUnwritable(label, FirstYear(run), values)) {
      run.dialog.Both("");
      run.dialog.Both(" " + *why);
      for (int u : units) run.dialog.units().NoteLeftOut(u, *why);
      continue;
    }
    for (int line = 2; line <= 3; ++line) {
      std::string& title = s.TITLE[static_cast<std::size_t>(line)];
      title = common::Fixed(title, 100);
      title.replace(82, 6, label);
    }
    for (int u : units) {
      common::Unit& unit = *run.dialog.units().Get(u);
      for (int line = 1; line <= 3; ++line) unit.WriteLine(common::Fixed(s.TITLE[static_cast<std::size_t>(line)], 100));
      static_cast<void>(files::WriteCrn(unit, id, FirstYear(run), values, depth, label));  // found writable above
    }
  }
  run.dialog.CloseOrStop(kChronologyUnit);
}

void WriteSpectra(ProgramRun& run, const common::Block& standard) {
  common::RunStorage& s = run.store;
  const bool stabilised = run.options.IRBWIN >= 1;
  std::array<std::vector<float>, 2> input;
  for (int k = 1; k <= Span(run); ++k) {
    if (s.SSize[static_cast<std::size_t>(k)] < kSpectrumDepth) continue;
    input[0].push_back(stabilised ? s.STBCHR.get(k, 1) : standard.get(k, 1));
    input[1].push_back(stabilised ? s.STBCHR.get(k, 2) : s.SSFCHR.get(k, 1));
  }
  const int M = static_cast<int>(input[0].size());

  OpenOutput(run, kSpectraUnit, SpectraBaseName(s.DATFIL) + "_spectra.txt");
  common::Unit& file = *run.dialog.units().Get(kSpectraUnit);
  const bool raw = RawData(run);
  file.WriteLine(raw ? " FREQUENCY   POWER_RAW_CRN   POWER_ADJ_CRN" : " FREQUENCY   POWER_STD_CRN   POWER_SSF_CRN");
  if (M < kFewestSpectrumYears) {
    run.dialog.Both("");
    run.dialog.Both(" No spectra: fewer than 9 years have a sample depth of 5 or more.");
    run.dialog.CloseOrStop(kSpectraUnit);
    return;
  }

  const int m = M > 1000 ? M / 5 : M / 3;
  const int NF = m + 1;
  const std::size_t nf = static_cast<std::size_t>(NF);
  // Column 1 the frequencies, columns 2 and 3 the two spectra.
  std::vector<float> table(3 * nf);
  std::array<float, 8> stats{};
  std::vector<float> acov(static_cast<std::size_t>(m));
  int low = 0;
  for (std::size_t c = 0; c < 2; ++c) {
    const std::span<float> x = std::span<float>(s.SERVEC).first(static_cast<std::size_t>(M));
    std::ranges::copy(input[c], x.begin());
    detrend::SpectrumOutputs out{};
    out.stats = stats;
    out.acov = acov;
    out.freq = std::span<float>(table).first(nf);
    out.power = std::span<float>(table).subspan((c + 1) * nf, nf);
    detrend::spectr(x, detrend::SpectrumControl{0, M, 1, m, 0, 0}, detrend::SpectrumReal{1.0f, 0.0f}, out);
    low = static_cast<int>(std::ranges::count_if(out.freq, [](float f) { return f <= kLowFrequency; }));
  }

  const plot::ColumnsView tab(table, NF);
  plot::PlotMemory& memory = run.engine_state.plots.pltspc;
  plot::pltspc(run.plots, memory, tab, 3, NF, raw ? "RAW Power Spectrum" : "STD Power Spectrum",
               raw ? "ADJ Power Spectrum" : "SSF Power Spectrum");
  plot::pltspc(run.plots, memory, tab, 3, low, "RAW >10Yr Spectrum", raw ? "ADJ >10Yr Spectrum" : "SSF >10Yr Spectrum");

  const fmt::Format row = *fmt::Format::Parse("(f9.5,f14.5,f16.5)");
  for (std::size_t k = 0; k < nf; ++k) {
    const std::array<fmt::WriteValue, 3> values = {table[k], table[nf + k], table[2 * nf + k]};
    file.WriteLine(fmt::Write(row, values));
  }
  run.dialog.CloseOrStop(kSpectraUnit);
}

}  // namespace drivers
