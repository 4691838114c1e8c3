#include "files/input_help.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

#include "common/text.h"
#include "common/units.h"
#include "files/reading_unit.h"

namespace files {
namespace {

constexpr const char* kDecadeExample[] = {
    "HBM01A  1940   161   343   318   106   229   349   282   360   337    73",
    "HBM01A  1950   350    46   280   172   322   159   138   407   280   316",
    "HBM01A  1960   321   283   243   367   117   158   365   117   307   239",
    "HBM01A  1970   419    47   383    72   121   342    61   194    55   177",
    "HBM01A  1980   282   344   408   238   405   258   242   412   335   267",
    "HBM01A  1990   108   227    89    58   109   293   151   172   384   263",
    "HBM01A  2000   178    62   236 -9999",
    "HBM01B  1740   299   237   333   219   313   339   248   339   158   212",
    "HBM01B  1750   389    54   183   350   383   396   123   397   207   317",
    "HBM01B  1760   332   331    93   405   375   148   364   333   176   185",
    "HBM01B  1770   103    72   286   367   287    85   216    74   250   117",
    "HBM01B  1780    50   190   258   252   100    62   349   354    63   233",
    "HBM01B  1790   156 -9999",
};
constexpr const char* kChronologyExample[] = {
    "tst1a.raw -- no data title --                             1st itrdb line missing",
    "tst1a.raw -- no data title --                             2nd itrdb line missing",
    "tst1a.raw -- no data title --                             3rd itrdb line missing",
    "tst1a 19501300 381038 381264 38 985 381217 38 941 38 736 381017 38 707 38 778 38  raw",
    "tst1a 1960 810 371314 371248 37 732 37 902 371117 37 998 371325 37 969 37 859 36  raw",
    "tst1a 1970 743 361047 361021 361068 36 841 361086 361085 361171 361232 351095 35  raw",
    "tst1a 19801309 351272 35 805 351335 351219 35 977 351141 351349 34 943 341008 34  raw",
    "tst1a 19901147 34 964 341233 341010 341261 341047 34 711 331125 331293 331022 33  raw",
    "tst1a 2000 720 331085 331330 331303 321347 329990  09990  09990  09990  09990  0  raw",
    "tst1a.raw -- no data title --                             1st itrdb line missing",
    "tst1a.raw -- no data title --                             2nd itrdb line missing",
    "tst1a.raw -- no data title --                             3rd itrdb line missing",
    "tst1a 1950 836 38 761 381348 381342 381040 381177 381061 381061 381323 38 985 38  std",
    "tst1a 19601201 37 722 371303 37 762 37 721 371078 37 957 371343 371167 371005 36  std",
    "tst1a 19701306 361315 361027 36 881 361072 36 889 361020 361078 361309 35 970 35  std",
    "tst1a 19801007 351086 35 807 35 727 351282 35 834 351017 351212 34 927 34 975 34  std",
    "tst1a 1990 944 341035 34 891 341145 34 799 34 804 341315 331029 331041 33 929 33  std",
    "tst1a 20001148 33 873 33 781 331044 32 923 329990  09990  09990  09990  09990  0  std",
};
constexpr const char* kSingleColumnExample[] = {
    "abscdef",
    "1771",
    "0.1",
    "0.2",
    "0.3",
    "0.4",
    "0.5",
    "bbscdef",
    "1772",
    "0.1",
    "0.2",
    "0.3",
    "0.4",
    "0.5",
    "cbscdef",
    "1773",
    "0.1",
    "0.2",
    "0.3",
    "0.4",
    "0.5",
    "0.6",
    "...",
    "..",
};
constexpr const char* kColumnsExample1[] = {
    " 1944    2.428  *******    1.947  *******  *******",
    " 1945    1.208  *******    1.021  *******  *******",
    " 1946    0.595    0.238    2.269  *******  *******",
    " 1947    0.881    1.390    2.454  *******  *******",
    " 1948    0.851    1.241    1.493  *******  *******",
    " 1949    0.450    1.514    0.631    1.825  *******",
    " 1950    1.295    2.223    1.210    2.003  *******",
    " 1951    1.518    1.807    1.289    1.819    2.427",
    " 1952    1.777    0.245    1.792    0.738    0.917",
    " 1953    0.119    2.055    2.189    1.879    2.389",
    " 1954    1.009    0.232    1.970    2.225    1.283",
    " 1955    2.327    1.497    1.031    0.378    1.275",
    " 1956    0.591    1.101  *******    0.284    0.243",
    " 1957    2.198    0.912  *******    1.860    2.463",
};
constexpr const char* kColumnsExample2[] = {
    " 1941    0.302     -9.9    0.153     -9.9     -9.9",
    " 1942    2.070     -9.9    0.594     -9.9     -9.9",
    " 1943    0.803    2.161    1.328     -9.9     -9.9",
    " 1944    1.079    0.181    2.250     -9.9     -9.9",
    " 1945    2.299    1.794    0.318    0.565     -9.9",
    " 1946    1.498    0.613    1.134    2.315     -9.9",
    " 1947    2.054    0.351    1.541    1.004    0.908",
    " 1948    0.600    2.289    0.588    0.801    1.080",
    " 1949    1.221    0.626    0.130    2.096    2.438",
    " 1950    1.739    0.304    1.211    1.116    1.200",
    " 1951    2.259    2.228     -9.9    1.832    0.308",
    " 1952    2.036    1.423     -9.9    0.107    0.324",
    " 1953    0.619    0.289     -9.9    0.610    0.304",
};

constexpr const char* kMoreText = "und so veite, und so veite, ... ";
constexpr int kSnoopWidth = 100;  // characters of a record that snoop shows
constexpr int kSnoopPage = 5;     // lines per page

template <std::size_t N>
void ShowExample(common::Dialog& dialog, const char* const (&lines)[N]) {
  dialog.Screen("");
  for (const char* line : lines) dialog.Screen(std::string(" ") + line);
}

void ShowHelpMenu(common::Dialog& dialog) {
  dialog.Screen("");
  dialog.Screen(" _____   Input Format Help Menu    _____");
  dialog.Screen(" Raw ring-widths (mm-decade)          [1] ");
  dialog.Screen(" Chronologies (index-decade)          [2] ");
  dialog.Screen(" Single Column                        [3]");
  dialog.Screen(" Multiple Columns                     [4]");
  dialog.Screen(" Enter zero when finished             [0]");
  dialog.Screen(" Enter H for further help");
  dialog.Screen(" ________________________________________");
  dialog.ScreenText(" Enter a value between  [0-4]       : ");
}

void ShowLayoutExample(common::Dialog& dialog, int layout) {
  switch (layout) {
    case 1:
      dialog.Screen("");
      dialog.Screen(" rrw - decade format");
      dialog.Screen("");
      dialog.Screen(" Example:");
      ShowExample(dialog, kDecadeExample);
      break;
    case 2:
      dialog.Screen("");
      dialog.Screen(" chronology - index format");
      dialog.Screen("");
      dialog.Screen(" Example:");
      ShowExample(dialog, kChronologyExample);
      break;
    case 3:
      dialog.Screen("");
      dialog.Screen(" Single Column");
      dialog.Screen("");
      dialog.Screen(" Example:");
      ShowExample(dialog, kSingleColumnExample);
      break;
    default:
      dialog.Screen("");
      dialog.Screen(" Multiple Columns");
      dialog.Screen(" This format requires you to provide the total number ");
      dialog.Screen(" of columns in your file (e.g., 6 in the examples below)");
      dialog.Screen(" along with the sentinel value or character string used ");
      dialog.Screen(" as a spacer to keep the rows correctly aligned by year. ");
      dialog.Screen("");
      dialog.Screen(" Example 1:  Sentinel = ******* ");
      dialog.Screen("");
      dialog.Screen("  YEAR   HKTC01A  HKTC01B  HKTC01C  HKTC01D  HKTC25A ");
      for (const char* line : kColumnsExample1) dialog.Screen(std::string(" ") + line);
      dialog.Screen(" .................................................. ");
      dialog.Screen(std::string(" ") + kMoreText);
      dialog.WaitReturn("  <Hit Return to continue>");
      dialog.Screen("");
      dialog.Screen(" Example 2:  Sentinel = -9.9 ");
      dialog.Screen("");
      dialog.Screen("   year   HKTC01A  HKTC01B  HKTC01C  HKTC01D  HKTC25A ");
      for (const char* line : kColumnsExample2) dialog.Screen(std::string(" ") + line);
      dialog.Screen(" .................................................. ");
      break;
  }
  dialog.Screen(std::string(" ") + kMoreText);
}

// One listed line: a blank, the line number (3 wide, wider past 999), a
// blank and the record's first 100 characters.
std::string ListedLine(int number, const std::string& record) {
  char head[16];
  std::snprintf(head, sizeof head, " %3d ", number);
  return head + record;
}

std::string EndOfSnoop(int count) {
  char text[48];
  std::snprintf(text, sizeof text, " end-of-snoop: %5d lines read", count);
  return text;
}

// One record as snoop shows it: cut or padded to 100 characters, tabs shown
// as blanks.
std::string ShownRecord(const std::string& record) {
  std::string shown = common::Fixed(record, kSnoopWidth);
  for (char& c : shown) {
    if (c == '\t') c = ' ';
  }
  return shown;
}

// One answer of a snoop prompt: its first character ("/" stops the program).
char SnoopAnswer(common::Dialog& dialog) { return dialog.ReadTyped(1).first(); }

}  // namespace

std::string SnoopRuler() {
  std::string ruler(5, ' ');
  std::string marks(101, '.');
  for (int tens = 1; tens <= 9; ++tens) marks[static_cast<std::size_t>(tens * 10 - 1)] = static_cast<char>('0' + tens);
  marks[99] = '1';
  marks[100] = '0';
  return ruler + marks;
}

void snoop(common::Dialog& dialog, int LUN) {
  common::Unit* unit = ReadingUnit(dialog.units(), LUN);
  if (unit == nullptr) {
    dialog.Screen(" snoop: the data file is not open");
    return;
  }
  unit->Rewind();
  dialog.Screen("");
  dialog.Screen(" snooping in the data file (first 100 characters/line):");
  dialog.Screen(SnoopRuler());

  for (;;) {
    int count = 0;
    int shown = 0;
    char answer = ' ';
    std::array<std::string, kSnoopPage> last;  // the last five records, by count mod 5
    while (std::optional<std::string> record = unit->NextRecord()) {
      ++count;
      std::string line = ShownRecord(*record);
      if (answer == 'e') {
        last[static_cast<std::size_t>(count % kSnoopPage)] = std::move(line);
        continue;
      }
      dialog.Screen(ListedLine(count, line));
      last[static_cast<std::size_t>(count % kSnoopPage)] = std::move(line);
      if (++shown % kSnoopPage != 0) continue;
      dialog.Screen("");
      dialog.ScreenText(" more <ret>, read to end <e>, return to main program <m> ");
      answer = SnoopAnswer(dialog);
      if (answer == 'm') {
        unit->Rewind();
        dialog.Screen("");
        dialog.Screen(EndOfSnoop(count));
        return;
      }
      if (answer != 'e') dialog.Screen(SnoopRuler());
    }
    if (answer == 'e') {
      dialog.Screen("");
      dialog.Screen(" the last five lines of the data file:");
      dialog.Screen(SnoopRuler());
      for (int k = std::max(1, count - kSnoopPage + 1); k <= count; ++k) {
        dialog.Screen(ListedLine(k, last[static_cast<std::size_t>(k % kSnoopPage)]));
      }
    }
    unit->Rewind();
    dialog.Screen("");
    dialog.Screen(EndOfSnoop(count));
    dialog.Screen("");
    dialog.ScreenText(" more <ret> or return to main program <m> ");
    if (SnoopAnswer(dialog) == 'm') return;
  }
}

void inhelp(common::Dialog& dialog, int LUN) {
  dialog.Screen("");
  dialog.Screen(" Select a file type to see an example.");
  for (;;) {
    ShowHelpMenu(dialog);
    // The answer is one digit; an empty answer reads as 0.
    const common::TypedAnswer answer = dialog.ReadTyped(1);
    int choice = 0;
    if (!answer.blank) {
      const char digit = answer.first();
      if (digit < '0' || digit > '9') {
        snoop(dialog, LUN);
        continue;
      }
      choice = digit - '0';
    }
    if (choice == 0) return;
    if (choice > 4) {
      dialog.Screen("");
      dialog.Screen(" You must enter a value between 0 and 4");
      dialog.Screen("");
      continue;
    }
    ShowLayoutExample(dialog, choice);
    dialog.WaitReturn(" <Hit Return to continue>");
  }
}

}  // namespace files
