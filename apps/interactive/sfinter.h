// sfinter: the interactive program, one data file per run.
#pragma once

#include <string>

#include "common/console.h"
#include "common/storage.h"
#include "common/text.h"

namespace interactive {

// Where the plotting library's data lives on this platform.
inline constexpr const char* kPlotDataDir = "/usr/share/plplot5.15.0";

// What the interactive driver keeps for the whole run beside the storage.
struct Run {
  Run(common::Dialog& d, common::RunStorage& s) : dialog(d), store(s) {}

  common::Dialog& dialog;
  common::RunStorage& store;
  std::string version = common::Fixed(common::kVersion, 15);
  std::string DATFIL = std::string(50, ' ');
  int stem_length = 0;  // leading characters of DATFIL that name every output file
  std::string OUTNAM = std::string(80, ' ');
  int RCSFLG = 0;
  int RCSRDO = 0;
  int PITHFL = 0;
  int KRETRY = 0;

  // From the series dialogue.
  int RESID = 0;   // 1 residual indices, 0 ratios
  int PTRFLG = 0;  // 1 when the series are power transformed
  int MED = 0;     // integer median segment length of the latest length summary

  // Curve-fit options.
  int NOPT = 8;
  int alpha = 0;  // the Friedman alpha as typed
  float ALPHA = 0.0f;
  int SPLSTF = 50;
  int SPLEND = 0;
  int RCSWIN = 0;

  // Chronology options and the engine switches set without a question.
  int MEANMD = 2;
  int IRBWIN = 51;
  int ISTAB = 0;
  float CONVTL = 0.0001f;
  char TARNYN = ' ';
  char MADJ = ' ';
  char MEDCNV = ' ';
  char SFFLGA = 'n';
  char SFFLGB = 'y';
  char SPLITR = 'y';
  char FITEND = 'n';  // the fit-end switch read before each engine run

  std::string stem() const { return DATFIL.substr(0, static_cast<std::size_t>(stem_length)); }
};

// The banner and the gap-filling warning (screen only).
void ShowBanner(Run& run);
// Asks for the data file until a readable file is named; "/" stops.
void AskDataFile(Run& run);
// Length of the output stem of a data file name: up to its first '.'.
int StemLength(const std::string& datfil);
// Opens the report file on unit 9 and writes its header lines.
void OpenReport(Run& run);

// The whole run; ends only through the stop routine.
[[noreturn]] void sfinter(common::Dialog& dialog, common::RunStorage& store);

}  // namespace interactive
