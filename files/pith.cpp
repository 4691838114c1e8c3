#include "files/pith.h"

#include <algorithm>
#include <optional>
#include <string>

#include "common/fortran_format.h"
#include "common/limits.h"
#include "common/text.h"
#include "common/units.h"

namespace files {

namespace {

using common::Dialog;
namespace fmt = common::fmt;

inline const std::string kCol11(10, ' ');  // what puts a line at column 11

void ClearOffsets(std::vector<int>& IPITH) { std::fill(IPITH.begin(), IPITH.end(), 0); }

// The file name loop; "/" alone stops the program (a longer name is a path).
std::string AskFileName(Dialog& dialog, std::string_view DATFIL) {
  for (;;) {
    dialog.Screen("");
    dialog.Screen(" NOTE: the order of pith offsets must follow the order");
    dialog.Screen(" of the file raw ring width records: " + std::string(common::TrimRight(DATFIL)));
    dialog.Screen("");
    const common::TypedAnswer answer =
        dialog.AskTyped("Okay? So enter pith offset file name here", 50, common::Slash::kAlone);
    const std::string name(common::TrimRight(answer.text));
    if (!answer.blank && common::ReadableFileExists(name)) return name;
    dialog.Screen("");
    dialog.Screen("");
    dialog.Screen(kCol11 + "File > " + common::Fixed(answer.text, 25) + " < not found");
    dialog.Screen("          Hit return to enter a new file name or / to quit program.");
    dialog.ReadTyped(1);
  }
}

// The method loop: returns the descriptor and the header count.
struct ReadMethod {
  std::string format;
  int headers = 0;
};

ReadMethod AskMethod(Dialog& dialog) {
  for (;;) {
    dialog.Screen("");
    dialog.Screen("");
    dialog.Screen(" Select method to read the offset information:");
    dialog.Screen(" Single column offset i.e.  <i4>   [1]");
    dialog.Screen(" User-defined format i.e. (2x,i3)  [2]");
    dialog.Prompt("Enter option number");
    const int option = dialog.ReadFreeInt().value_or(0);
    int headers = -1;
    while (headers < 0) {
      dialog.Screen("");
      dialog.Prompt("Enter number of header lines to skip [none=0]");
      headers = dialog.ReadFreeInt().value_or(-1);
    }
    if (option == 1) return ReadMethod{"(i4)", headers};
    if (option == 2) {
      dialog.Screen("");
      dialog.Screen(" Enter format to read just the ");
      dialog.Screen(" offset values (within parentheses)");
      const common::TypedAnswer format = dialog.AskTyped("[e.g.,(2x,i3)]", 40);
      return ReadMethod{std::string(common::TrimRight(format.text)), headers};
    }
    dialog.Screen("");
    dialog.Screen(kCol11 + "Please enter 1 or 2 ");
    dialog.WaitReturn("          Hit RETURN and try again.");
  }
}

// The first offset, of the `count` read, that the regional curve cannot
// hold: one below 0, or one that puts its series' last ring past the last
// age of the curve (ring k of a series has the age offset + k). Gives the
// lines that say so; nothing when every offset is usable.
std::optional<std::vector<std::string>> UnusableOffset(const std::vector<int>& IPITH, int count,
                                                       const common::YearTable& IYTAB, int NS,
                                                       const std::vector<std::string>& SERID) {
  for (int i = 1; i <= std::min(count, NS); ++i) {
    const int offset = IPITH[static_cast<std::size_t>(i)];
    const long long last_age = static_cast<long long>(offset) + IYTAB.Span(i);
    if (offset >= 0 && last_age <= common::MAXYRS) continue;
    const std::string series = "series " + std::string(common::TrimRight(SERID[static_cast<std::size_t>(i)])) +
                               " (number " + std::to_string(i) + ")";
    if (offset < 0) return std::vector<std::string>{"Pith offset " + std::to_string(offset) + " of " + series + " is below 0."};
    return std::vector<std::string>{"Pith offset " + std::to_string(offset) + " of " + series +
                                        " puts its last ring at age " + std::to_string(last_age) + ",",
                                    "past the " + std::to_string(common::MAXYRS) + " ages of the regional curve."};
  }
  return std::nullopt;
}

// Reads the offsets from the file `name` with the method the user chooses,
// as often as a read error asks for another method. False when an offset
// cannot be used (IPITH cleared, PITHFL 0): the caller asks for a file again.
bool ReadOffsetFile(int MAXSER, int LUNP, std::vector<int>& IPITH, int& PITHFL, const std::string& name,
                    const common::YearTable& IYTAB, int NS, const std::vector<std::string>& SERID, Dialog& dialog) {
  common::Units& units = dialog.units();
  const int max_offsets = std::min(MAXSER, static_cast<int>(IPITH.size()) - 1);
  for (;;) {
    const ReadMethod method = AskMethod(dialog);
    ClearOffsets(IPITH);
    if (!units.Open(LUNP, name, common::Units::Mode::kRead)) {
      dialog.Screen("");
      dialog.Screen(kCol11 + "File > " + common::Fixed(name, 25) + " < not found");
      PITHFL = 0;
      return true;
    }
    units.Protect(name);  // no output of the run may be written over it
    common::Unit& unit = *units.Get(LUNP);
    dialog.Screen("");
    dialog.Screen(" Reading offset file: " + name);
    for (int h = 1; h <= method.headers; ++h) {
      std::optional<std::string> line = unit.NextRecord();
      if (!line) break;
      dialog.Screen(fmt::Print("(i2)", h) + "Title Line: " + *line);
    }
    PITHFL = 1;
    const std::optional<fmt::Format> format = fmt::Format::Parse(method.format);
    int count = 0;
    for (;;) {
      int value = 0;
      const fmt::ReadTarget target[] = {&value};
      const fmt::ReadStatus status =
          format ? fmt::Read(*format, unit, target) : fmt::ReadStatus::kError;
      if (status == fmt::ReadStatus::kEnd) {
        units.Close(LUNP);
        const std::optional<std::vector<std::string>> refusal = UnusableOffset(IPITH, count, IYTAB, NS, SERID);
        if (!refusal) return true;
        ClearOffsets(IPITH);
        PITHFL = 0;
        dialog.Screen("");
        for (const std::string& line : *refusal) dialog.Screen(kCol11 + line);
        return false;
      }
      if (status == fmt::ReadStatus::kOk) {
        ++count;
        if (count >= max_offsets) {
          dialog.Screen("");
          dialog.Screen(kCol11 + "The number of pith offset values read exceeds the");
          dialog.Screen(kCol11 + "the dimensions of the array in which they are stored");
          dialog.Screen("");
          dialog.Screen(kCol11 + "This is a fatal error, there is no recovery ");
          dialog.Stop(common::ExitStatus::kAbnormal, " Program Terminating ");
        }
        IPITH[static_cast<std::size_t>(count)] = value;
        continue;
      }
      dialog.Screen("");
      dialog.Screen(kCol11 + "There was an error reading the pith offset ");
      dialog.Screen(kCol11 + "values in file  : " + name);
      dialog.Screen(kCol11 + "Do you want to try again? or quit?");
      dialog.ScreenText(kCol11 + "enter [\\] to quit  : ");
      const common::TypedAnswer retry = dialog.ReadTyped(1, common::Slash::kAnswer);
      units.Close(LUNP);
      if (retry.first() == '\\') dialog.Stop(common::ExitStatus::kAbnormal, " Program Terminating ");
      dialog.QuitIfSlash(retry.text);
      break;  // back to the method loop; the file is read again from its start
    }
  }
}

}  // namespace

void pithof(int MAXSER, int LUNP, std::vector<int>& IPITH, int& PITHFL, std::string_view DATFIL,
            const common::YearTable& IYTAB, int NS, const std::vector<std::string>& SERID, Dialog& dialog) {
  ClearOffsets(IPITH);
  dialog.Screen("");
  const common::TypedAnswer answer = dialog.AskTyped("Use a pith offset file? [T]rue or <[F]>alse", 1);
  if (answer.blank || answer.first() == 'F' || answer.first() == 'f') {
    PITHFL = 0;
    return;
  }
  for (;;) {
    const std::string name = AskFileName(dialog, DATFIL);
    if (ReadOffsetFile(MAXSER, LUNP, IPITH, PITHFL, name, IYTAB, NS, SERID, dialog)) return;
    // As for a file that cannot be read: a new name, or "/".
    dialog.Screen("          Hit return to enter a new file name or / to quit program.");
    dialog.ReadTyped(1);
  }
}

}  // namespace files
