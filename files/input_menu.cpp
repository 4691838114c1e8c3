// inmenu: the input data format menu of both programs.
#include "files/input_menu.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "common/freeform.h"
#include "common/limits.h"
#include "common/text.h"
#include "common/units.h"
#include "files/input_help.h"
#include "files/decade.h"
#include "files/reading_unit.h"

namespace files {
namespace {

constexpr const char* kContinue = "             Hit RETURN to Continue";

enum class Layout { kHelp = 0, kDecadeWidths = 1, kDecadeChronologies = 2, kSingleColumn = 3, kMultipleColumns = 4 };

void ShowMenu(common::Dialog& dialog, common::ProgramVariant variant) {
  const std::string at19(18, ' ');
  dialog.Screen("");
  dialog.Screen(at19 + "__ Input Data Format Menu __");
  dialog.Screen(at19 + "_____________________________");
  dialog.Screen("");
  if (variant == common::ProgramVariant::kBatch) {
    dialog.Screen(at19 + "Raw ring-widths (Decade) <[1]>");
  } else {
    dialog.Screen(at19 + "Raw ring-widths (Decade)  [1]");
  }
  dialog.Screen(at19 + "Chronologies (Index)      [2]");
  dialog.Screen(at19 + "Single Column             [3]");
  dialog.Screen(at19 + "Multiple Columns          [4]");
  dialog.Screen(at19 + "Enter zer0 for HELP       [0]");
  if (variant == common::ProgramVariant::kBatch) {
    dialog.Screen(at19 + std::string(29, ' '));
    dialog.Screen(at19 + "Hit <RET> for optn 1 LTRR RWL");
  }
  dialog.Screen(at19 + "_____________________________");
}

bool IsQuitLetter(char c) { return c == 'Q' || c == 'q'; }

// The interactive answer: a number read free-form (an empty line gives no
// default: the read waits for a number). "Q" stops the program as "/" does;
// another answer that is not a number gives nullopt (the menu is shown again).
std::optional<int> InteractiveChoice(common::Dialog& dialog) {
  dialog.Screen("");
  dialog.Prompt("Enter a value between [0-4] or [Q]uit");
  for (;;) {
    std::vector<std::string> items = common::FreeItems(dialog.ReadAnswer(256));
    if (items.empty()) continue;
    dialog.QuitIfSlash(items.front());
    if (IsQuitLetter(items.front()[0])) dialog.Stop(common::ExitStatus::kNormal);
    return common::FreeIntItem(items.front());
  }
}

// The batch answer: one digit; an empty answer is 1; "Q" sets `quit` (the
// batch program then ends its run); an answer that is not a digit gives
// nullopt (the menu is shown again).
std::optional<int> BatchChoice(common::Dialog& dialog, bool& quit) {
  dialog.Screen("");
  dialog.Prompt("Enter a value [0-4], <RET> for [1], or [Q]uit");
  const common::TypedAnswer answer = dialog.ReadTyped(1);
  if (answer.blank) return 1;
  const char c = answer.first();
  quit = IsQuitLetter(c);
  if (quit) return std::nullopt;
  if (c < '0' || c > '9') return std::nullopt;
  return c - '0';
}

// Asks how many header lines to skip; a negative count skips none.
int AskHeaderLines(common::Dialog& dialog) {
  dialog.Screen("");
  dialog.Screen(" Enter number of file header lines to skip");
  dialog.Screen(" before reading data or columns. If none then");
  for (;;) {
    dialog.Prompt("enter a zer[0] for none");
    if (std::optional<int> count = dialog.ReadFreeInt()) return std::max(*count, 0);
  }
}

// Writes "1st itrdb line missing" (2nd, 3rd) at columns 1-22 and 59-80 of a
// title line whose first 6 characters are blank.
constexpr const char* kMissingTitle[] = {"1st itrdb line missing", "2nd itrdb line missing",
                                         "3rd itrdb line missing"};

void MarkMissingTitles(std::vector<std::string>& TITLE) {
  for (int line = 1; line <= 3; ++line) {
    std::string& title = TITLE[static_cast<std::size_t>(line)];
    if (title.size() < 100) title.resize(100, ' ');
    if (!common::IsBlank(title.substr(0, 6))) continue;
    const std::string text = kMissingTitle[line - 1];
    title.replace(0, text.size(), text);
    title.replace(58, text.size(), text);
  }
}

void ShowReadFailure(common::Dialog& dialog, int& RDFAIL) {
  dialog.Screen("");
  dialog.Screen(" Input data not read in successfully");
  dialog.WaitReturn(kContinue);
  RDFAIL = kMenuFailed;
}

void ShowReadSuccess(common::Dialog& dialog) {
  dialog.Screen("");
  dialog.Screen(" Input data read successfully");
}

// Reads every series of a decade file, one rwlio call per series: ring
// widths (mode "mr") or chronologies (mode "ir", whose depths are not kept).
// After a failure NS counts the complete series and row NS+1 covers them.
enum class DecadeRead { kRead, kFatal, kRefused };
DecadeRead ReadDecadeFile(common::Dialog& dialog, common::SeriesMatrix& SERMAT, common::YearTable& IYTAB,
                    std::vector<std::string>& SERID, int LUN, int& NS, std::vector<std::string>& TITLE,
                    Layout layout) {
  const bool widths = layout == Layout::kDecadeWidths;
  std::vector<float> X(static_cast<std::size_t>(common::MAXYRS), 0.0f);
  std::vector<int> NDEP(static_cast<std::size_t>(common::MAXYRS), 0);
  std::string LINE(100, ' ');
  int ISER = 0;
  NS = 0;
  for (;;) {
    std::string ID(8, ' ');
    int IYR1 = 0;
    int N = 0;
    const RwlResult result =
        rwlio(dialog, ID, IYR1, N, X, NDEP, ISER, LUN, 0, widths ? "mr" : "ir", LINE, "      ", common::MAXYRS, TITLE);
    if (widths) MarkMissingTitles(TITLE);
    if (ISER == IEOFST) break;  // end of file
    if (N < 1) {
      if (!widths) {
        if (result != RwlResult::kRefused) continue;  // a chronology without values takes no slot
        FillWholeSetRow(IYTAB, NS);
        return DecadeRead::kRefused;  // rwlio has said why
      }
      dialog.Screen("");
      dialog.Screen(" WARNING: Fatal error reading data from input file.");
      dialog.Screen("          Suggest checking file format and/or file type");
      dialog.Screen("          Unix/Dos/Mac?");
      FillWholeSetRow(IYTAB, NS);
      dialog.WaitReturn(" Hit Return to Continue");
      return DecadeRead::kFatal;
    }
    if (!SeriesFitsStorage(dialog, NS + 1, ID, IYR1, N)) {
      FillWholeSetRow(IYTAB, NS);
      return DecadeRead::kRefused;
    }
    ++NS;
    SERMAT.GrowRows(N);
    std::copy_n(X.begin(), N, SERMAT.column(NS).begin());
    IYTAB.IFY(NS) = IYR1;
    IYTAB.ILY(NS) = IYR1 + N - 1;
    IYTAB.NYR(NS) = N;
    SERID[static_cast<std::size_t>(NS)] = common::Fixed(ID, 8);
  }
  return CloseDataSet(dialog, IYTAB, NS) ? DecadeRead::kRead : DecadeRead::kRefused;
}

}  // namespace

void inmenu(common::Dialog& dialog, common::SeriesMatrix& SERMAT, common::YearTable& IYTAB,
            std::vector<std::string>& SERID, int LUN, int& NS, std::vector<std::string>& TITLE, int& RDFAIL,
            common::ProgramVariant variant) {
  RDFAIL = 0;
  for (;;) {
    ShowMenu(dialog, variant);
    bool quit = false;
    const std::optional<int> choice =
        variant == common::ProgramVariant::kBatch ? BatchChoice(dialog, quit) : InteractiveChoice(dialog);
    if (quit) {
      NS = 0;
      FillWholeSetRow(IYTAB, NS);
      RDFAIL = kMenuQuit;
      return;
    }
    if (!choice) continue;

    common::Unit* unit = ReadingUnit(dialog.units(), LUN);
    if (unit == nullptr) {
      dialog.Screen("");
      dialog.Screen(" The data file is not open.");
      NS = 0;
      FillWholeSetRow(IYTAB, NS);
      ShowReadFailure(dialog, RDFAIL);
      return;
    }
    // Every attempt starts from the top of the file.
    unit->Rewind();
    if (*choice > 2) {
      const int skip = AskHeaderLines(dialog);
      for (int k = 0; k < skip && unit->NextRecord(); ++k) {
      }
    }

    switch (*choice) {
      case static_cast<int>(Layout::kHelp):
        inhelp(dialog, LUN);
        continue;
      case static_cast<int>(Layout::kDecadeWidths):
      case static_cast<int>(Layout::kDecadeChronologies):
        switch (ReadDecadeFile(dialog, SERMAT, IYTAB, SERID, LUN, NS, TITLE, static_cast<Layout>(*choice))) {
          case DecadeRead::kRead:
            ShowReadSuccess(dialog);
            break;
          case DecadeRead::kFatal:  // its warning has had its wait
            RDFAIL = kMenuFailed;
            break;
          case DecadeRead::kRefused:
            ShowReadFailure(dialog, RDFAIL);
            break;
        }
        return;
      case static_cast<int>(Layout::kSingleColumn):
      case static_cast<int>(Layout::kMultipleColumns): {
        for (int line = 1; line <= 3; ++line) TITLE[static_cast<std::size_t>(line)] = std::string(100, ' ');
        int OKFLAG = kReadFailed;
        if (*choice == static_cast<int>(Layout::kSingleColumn)) {
          Rd1col(dialog, LUN, SERMAT, SERID, IYTAB, NS, OKFLAG);
        } else {
          rdcols(dialog, LUN, SERMAT, SERID, IYTAB, NS, OKFLAG);
        }
        if (OKFLAG == kReadOk) {
          ShowReadSuccess(dialog);
        } else {
          ShowReadFailure(dialog, RDFAIL);
        }
        return;
      }
      default:
        dialog.Screen("");
        dialog.Screen(" That is not one of the formats: enter a value between 0 and 4.");
        dialog.WaitReturn(kContinue);
        continue;
    }
  }
}

}  // namespace files
