// Files a run cannot fill whole, through the real programs: a series an
// engine file cannot hold, a chronology the decade chronology layout cannot
// carry. The run writes every other file and ends abnormally once the data
// set's last file is written, listing each file that is incomplete as it
// finally stands; what was written reads back through the program's own
// reader, and the files the run read are as they were.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "common/console.h"
#include "common/storage.h"
#include "common/text.h"
#include "common/units.h"
#include "files/input_menu.h"
#include "support/decade_files.h"
#include "support/e2e.h"
#include "support/text.h"

namespace {

using e2e::kAbnormal;
using e2e::kBatchAbnormal;
using test_support::Has;
using test_support::Lines;
using test_support::Tail;

// `answers` followed by `returns` empty answers (each question's default).
std::vector<std::string> WithReturns(std::vector<std::string> answers, int returns) {
  answers.insert(answers.end(), static_cast<std::size_t>(returns), "");
  return answers;
}

// ------------------------------------------------------------------ chronologies

// One chronology of a decade chronology file as the program reads it back.
struct Chronology {
  int first = 0;
  std::vector<float> values;
};

// The chronologies of `path` through input data format 2, the reader every
// program uses for decade chronology files.
std::vector<Chronology> ReadBack(const std::string& path) {
  common::ScriptedConsole console({"2"});
  common::Units units;
  common::Dialog dialog(console, units);
  common::RunStorage s;
  EXPECT_TRUE(units.Open(common::kDataUnit, path, common::Units::Mode::kRead)) << path;
  int NS = 0, RDFAIL = 0;
  files::inmenu(dialog, s.SERMAT, s.IYTAB, s.SERID, common::kDataUnit, NS, s.TITLE, RDFAIL);
  EXPECT_EQ(RDFAIL, 0) << path << "\n" << console.transcript();
  std::vector<Chronology> read;
  for (int i = 1; i <= NS; ++i) {
    const std::span<const float> x = s.SERMAT.column_view(i).first(static_cast<std::size_t>(s.IYTAB.NYR(i)));
    read.push_back({s.IYTAB.IFY(i), std::vector<float>(x.begin(), x.end())});
  }
  return read;
}

// The labels (columns 83-88) of a decade chronology file's blocks in order.
std::vector<std::string> BlockLabels(const std::string& text) {
  std::vector<std::string> labels;
  for (const std::string& line : Lines(text)) {
    if (line.size() < 88) continue;
    const std::string label(common::TrimRight(line.substr(82, 6)));
    if (!label.empty() && (labels.empty() || labels.back() != label)) labels.push_back(label);
  }
  return labels;
}

// The column table "<stem>_crns_col.txt": each column by its header name,
// the years in "Year"; a field that is not a number (asterisks) as NaN.
std::map<std::string, std::vector<double>> ColumnTable(const std::string& text) {
  const std::vector<std::string> lines = Lines(text);
  std::vector<std::string> names;
  std::istringstream header(lines.at(0));
  for (std::string name; header >> name;) names.push_back(name);
  std::map<std::string, std::vector<double>> table;
  for (std::size_t r = 1; r < lines.size(); ++r) {
    for (std::size_t c = 0; c < names.size(); ++c) {
      // Two 6-wide integers, one blank, then 8-wide fields.
      const std::string field = c < 2 ? lines[r].substr(6 * c, 6) : lines[r].substr(13 + 8 * (c - 2), 8);
      char* end = nullptr;
      const double v = std::strtod(field.c_str(), &end);
      table[names[c]].push_back(end == field.c_str() ? std::nan("") : v);
    }
  }
  return table;
}

// "stdcrn" -> "StdCrn": the column of a decade label.
std::string ColumnOf(const std::string& label) {
  std::string name = label;
  name[0] = static_cast<char>(std::toupper(name[0]));
  name[3] = static_cast<char>(std::toupper(name[3]));
  return name;
}

struct ChronologyExpectation {
  std::string label;
  std::vector<double> values;  // from the column table, 3 decimals
  int first_year = 0;
  int bad_year = 0;  // the first year the decade layout cannot carry (thousandths of 9990 and more, below -999), or 0
};

// What the column table says of each chronology: its values and the first
// year whose value the four columns of thousandths cannot carry.
std::vector<ChronologyExpectation> Expected(const std::string& column_table, const std::vector<std::string>& labels) {
  const std::map<std::string, std::vector<double>> table = ColumnTable(column_table);
  std::vector<ChronologyExpectation> expected;
  for (const std::string& label : labels) {
    ChronologyExpectation e{label, table.at(ColumnOf(label)), static_cast<int>(table.at("Year").at(0)), 0};
    for (std::size_t k = 0; k < e.values.size() && e.bad_year == 0; ++k) {
      const double v = e.values[k];
      if (!(v < 9.9895 && v > -0.9995)) e.bad_year = e.first_year + static_cast<int>(k);
    }
    expected.push_back(e);
  }
  return expected;
}

// The screen's line " Chronology LABEL cannot be written ...": it names the
// first year the column table gives and that year's value.
void CheckRefusal(const std::string& screen, const ChronologyExpectation& e) {
  const std::string head = "\n Chronology " + e.label + " cannot be written in the decade format: the value ";
  const std::size_t at = screen.find(head);
  ASSERT_NE(at, std::string::npos) << e.label;
  const std::string line = screen.substr(at + head.size(), screen.find('\n', at + 1) - at - head.size());
  const double value = std::strtod(line.c_str(), nullptr);
  EXPECT_NEAR(value, e.values[static_cast<std::size_t>(e.bad_year - e.first_year)], 0.0005 + 1e-6) << line;
  EXPECT_TRUE(line.ends_with(" of year " + std::to_string(e.bad_year) +
                             " does not fit the four columns of a value (-0.999 to 9.989)."))
      << line;
}

// A decade chronology file holds exactly the chronologies the layout can
// carry, in order, each over every year and reading back as written.
void CheckDecadeFile(const e2e::Sandbox& box, const std::string& name,
                     const std::vector<ChronologyExpectation>& expected) {
  SCOPED_TRACE(name);
  std::vector<std::string> labels;
  std::vector<const ChronologyExpectation*> written;
  for (const ChronologyExpectation& e : expected) {
    if (e.bad_year != 0) continue;
    labels.push_back(e.label);
    written.push_back(&e);
  }
  const std::string text = box.Read(name);
  EXPECT_FALSE(Has(text, "*")) << text;
  EXPECT_EQ(BlockLabels(text), labels);
  if (labels.empty()) {
    EXPECT_EQ(text, "");  // not even the title lines
    return;
  }
  const std::vector<Chronology> read = ReadBack((box.dir() / name).string());
  ASSERT_EQ(read.size(), written.size());
  for (std::size_t c = 0; c < read.size(); ++c) {
    const ChronologyExpectation& e = *written[c];
    EXPECT_EQ(read[c].first, e.first_year) << e.label;
    ASSERT_EQ(read[c].values.size(), e.values.size()) << e.label;
    for (std::size_t k = 0; k < e.values.size(); ++k) {
      // Both were rounded to thousandths, each in its own way.
      EXPECT_NEAR(read[c].values[k], e.values[k], 0.0010005) << e.label << " " << e.first_year + static_cast<int>(k);
    }
  }
}

// The lines that end a run with incomplete files: per file, a blank line,
// what it lacks and " The file NAME is incomplete.".
std::string IncompleteLines(const std::vector<std::pair<std::string, std::vector<std::string>>>& files) {
  std::string text;
  for (const auto& [name, left_out] : files) {
    text += "\n";
    for (const std::string& why : left_out) text += " " + why + "\n";
    text += " The file " + name + " is incomplete.\n";
  }
  return text;
}

// The refusal line of `label` as the screen shows it (without its blank).
std::string RefusalLine(const std::string& screen, const std::string& label) {
  const std::string head = "Chronology " + label + " cannot be written";
  const std::size_t at = screen.find(head);
  return at == std::string::npos ? "" : screen.substr(at, screen.find('\n', at) - at);
}

// ------------------------------------------------------------------ tests

TEST(IncompleteFiles, RawDataChronologiesOfTenAndMoreAreLeftOutOfTheDecadeFileAndTheRunEndsAbnormally) {
  // dza017 by option 0: the raw-data chronology is in mm (13.000 in 1440,
  // one series of that width).
  e2e::Sandbox box;
  box.CopyData("dza017.rwl", "dza017.rwl");
  const e2e::Result r = box.Run(e2e::Kestrane(), WithReturns({"dza017.rwl", "1", "R", "1", "0"}, 31));
  ASSERT_EQ(r.status, 1) << Tail(r.screen);

  const std::vector<ChronologyExpectation> expected =
      Expected(box.Read("dza017_crns_col.txt"), {"rawcrn", "adjcrn", "rawstb", "adjstb"});
  EXPECT_EQ(expected[0].bad_year, 1440);
  EXPECT_NEAR(expected[0].values[0], 13.0, 1e-9);
  std::vector<std::string> refused;
  for (const ChronologyExpectation& e : expected) {
    if (e.bad_year == 0) continue;
    CheckRefusal(r.screen, e);
    refused.push_back(RefusalLine(r.screen, e.label));
  }
  ASSERT_FALSE(refused.empty());
  CheckDecadeFile(box, "dza017_crns_tuc.txt", expected);
  // Named in the report as on the screen, after the spectra; the run ends
  // listing the file in place of the normal termination.
  const std::string report = box.Read("dza017_out_vKestrane_2019.txt");
  for (const std::string& line : refused) EXPECT_TRUE(Has(report, " " + common::Upper(line) + "\n")) << line;
  EXPECT_TRUE(r.screen.ends_with(IncompleteLines({{"dza017_crns_tuc.txt", refused}}) + kAbnormal)) << Tail(r.screen);
  EXPECT_TRUE(box.Has("dza017_spectra.txt"));
  EXPECT_EQ(box.Read("dza017.rwl"), e2e::ReadData("dza017.rwl"));
}

TEST(IncompleteFiles, TheBatchProgramLeavesTheChronologyOutOfTheCumulativeFilesAndEndsTheDataSet) {
  e2e::Sandbox box;
  box.CopyData("dza017.rwl", "dza017.rwl");
  const std::string list = "dza017.rwl\nnever_read.rwl\n";
  box.Put("sites.lst", list);
  const e2e::Result r = box.Run(e2e::KestraneBatch(), WithReturns({"sites.lst", "", "", "R", "", "0"}, 29));
  ASSERT_EQ(r.status, 1) << Tail(r.screen);

  const std::vector<ChronologyExpectation> expected =
      Expected(box.Read("dza017_crns_col.txt"), {"rawcrn", "adjcrn", "rawstb", "adjstb"});
  CheckDecadeFile(box, "dza017_crns_tuc.txt", expected);
  const char* cumulative[] = {"STD_Crns.txt", "SSF_Crns.txt", "STDSTB_Crns.txt", "SSFSTB_Crns.txt"};
  std::vector<std::pair<std::string, std::vector<std::string>>> incomplete = {{"dza017_crns_tuc.txt", {}}};
  for (std::size_t c = 0; c < expected.size(); ++c) {
    CheckDecadeFile(box, cumulative[c], {expected[c]});
    if (expected[c].bad_year == 0) continue;
    CheckRefusal(r.screen, expected[c]);
    incomplete[0].second.push_back(RefusalLine(r.screen, expected[c].label));
    incomplete.push_back({cumulative[c], {RefusalLine(r.screen, expected[c].label)}});
  }
  ASSERT_GT(incomplete.size(), 1u);
  EXPECT_TRUE(r.screen.ends_with(IncompleteLines(incomplete) + kBatchAbnormal)) << Tail(r.screen);
  // The lines close the data set's report; the next data set is not begun.
  std::string in_report;
  for (const auto& [name, left_out] : incomplete) {
    in_report += "\n";
    for (const std::string& why : left_out) in_report += " " + common::Upper(why) + "\n";
    in_report += " THE FILE " + name + " IS INCOMPLETE.\n";
  }
  EXPECT_TRUE(box.Read("dza017_out_vKestraneBatch.txt").ends_with(in_report));
  EXPECT_FALSE(Has(r.screen, "never_read"));
  EXPECT_EQ(box.Read("sites.lst"), list);
  EXPECT_EQ(box.Read("dza017.rwl"), e2e::ReadData("dza017.rwl"));
}

TEST(IncompleteFiles, AValueOf9995ThousandthsWouldEndTheChronologyAndIsRefused) {
  // Six series 1901-1960 of about 5 mm, every one 9.995 mm in 1930: the
  // raw-data chronology (their mean) is 9.995 there, 9995 thousandths, which
  // a reader takes for the end of the chronology. The signal-free one holds
  // ratios near 2. Window 0: no stabilised chronologies.
  std::string data;
  for (int s = 1; s <= 6; ++s) {
    data += test_support::DecadeSeries("HI000" + std::to_string(s), 1901, 60,
                                       [s](int year) { return year == 1930 ? 9995 : 4500 + (year * 7 + s) % 1000; });
  }
  e2e::Sandbox box;
  box.Put("hi.rwl", data);
  const e2e::Result r = box.Run(e2e::Kestrane(), WithReturns({"hi.rwl", "1", "R", "1", "0", "", "0"}, 15));
  ASSERT_EQ(r.status, 1) << Tail(r.screen);

  const std::vector<ChronologyExpectation> expected = Expected(box.Read("hi_crns_col.txt"), {"rawcrn", "adjcrn"});
  EXPECT_EQ(expected[0].bad_year, 1930);
  EXPECT_EQ(expected[1].bad_year, 0);
  const std::string refused =
      "Chronology rawcrn cannot be written in the decade format: the value 9.9950 of year 1930 does not fit the four "
      "columns of a value (-0.999 to 9.989).";
  EXPECT_TRUE(r.screen.ends_with(IncompleteLines({{"hi_crns_tuc.txt", {refused}}}) + kAbnormal)) << Tail(r.screen);
  CheckDecadeFile(box, "hi_crns_tuc.txt", expected);
  EXPECT_EQ(box.Read("hi.rwl"), data);
}

// ------------------------------------------------------------------ the steep set

// steep12.rwl (tests/data/make_steep12.py) by the regional curve, redone
// with a straight line (RCS code 4): the line goes below zero just before
// age 180, and the ratio indices of the three series that reach that age
// (NG01 in 1879, NG02 in 1891, NG03 in 1904) lie far below -100. The
// generator's --check computes them independently: -754.9, -733.9, -887.7.
// The answers from the curve-fit menu to the regional-curve menu's code 4:
// -2, the defaults of the regional-curve stiffness, the pith offset file and
// the chronology options (`option_returns` of them) and the two plot menus,
// "T" at "Different RCS detrending?", and 4.
std::vector<std::string> SteepRedo(int option_returns) {
  std::vector<std::string> a = WithReturns({"-2"}, 2 + option_returns + 2);
  a.push_back("T");
  a.push_back("4");
  return a;
}

// Every file of a run on the steep set, in the order of their names.
std::vector<std::string> SteepFiles(std::vector<std::string> more) {
  more.insert(more.end(),
              {"steep12.rwl", "steep12_RCScurves.txt", "steep12_SSF_RAW_Curves.txt", "steep12_SSF_RAW_Data.txt",
               "steep12_SSF_RAW_Ratios.txt", "steep12_STD_RAW_Curves.txt", "steep12_STD_RAW_Data.txt",
               "steep12_STD_RAW_Ratios.txt", "steep12_Ssf_RBAR.txt", "steep12_Std_RBAR.txt", "steep12_crns_col.txt",
               "steep12_crns_tuc.txt", "steep12_spectra.txt"});
  std::sort(more.begin(), more.end());
  return more;
}

// The series names of a decade ring-width file, in order.
std::vector<std::string> SeriesIn(const std::string& text) {
  std::vector<std::string> ids;
  for (const test_support::WrittenSeries& s : test_support::ParseDecade(text, 1)) {
    ids.emplace_back(common::TrimRight(s.id));
  }
  return ids;
}

std::vector<std::string> AllSeries() {
  std::vector<std::string> ids;
  for (int s = 1; s <= 12; ++s) ids.push_back((s < 10 ? "NG0" : "NG") + std::to_string(s));
  return ids;
}

// The incomplete-file block of `name` at the end of the screen: the series
// lines before " The file NAME is incomplete." in the last such block.
std::vector<std::string> LeftOutLines(const std::string& screen, const std::string& name) {
  const std::string closing = "\n The file " + name + " is incomplete.\n";
  const std::size_t end = screen.rfind(closing);
  if (end == std::string::npos) return {};
  std::vector<std::string> lines;
  for (std::size_t at = end; at > 0;) {
    const std::size_t start = screen.rfind('\n', at - 1) + 1;
    const std::string line = screen.substr(start, at - start);
    if (!line.starts_with(" Series ") && !line.starts_with(" Chronology ")) break;
    lines.insert(lines.begin(), line);
    at = start - 1;
  }
  return lines;
}

// What the steep set's runs share: every file written; the standard index
// file lacks NG01-NG03 and names them with the indices the generator
// computes; any signal-free file listed lacks exactly the series it names;
// the chronology files are whole; the run ends listing the incomplete files
// on the screen (`ending` after them) and at the end of the report.
void CheckSteepRun(const e2e::Sandbox& box, const e2e::Result& r, const std::string& report,
                   const std::string& ending) {
  EXPECT_EQ(box.Read("steep12.rwl"), e2e::ReadData("steep12.rwl"));
  const std::vector<std::string> std_lines = LeftOutLines(r.screen, "steep12_STD_RAW_Ratios.txt");
  const struct {
    const char* id;
    int year;
    double index;
  } refused[] = {{"NG01", 1879, -754.9}, {"NG02", 1891, -733.9}, {"NG03", 1904, -887.7}};
  ASSERT_EQ(std_lines.size(), 3u) << Tail(r.screen);
  for (std::size_t k = 0; k < 3; ++k) {
    const std::string head =
        std::string(" Series ") + refused[k].id + " cannot be written in the decade format: the value ";
    ASSERT_TRUE(std_lines[k].starts_with(head)) << std_lines[k];
    EXPECT_NEAR(std::strtod(std_lines[k].c_str() + head.size(), nullptr), refused[k].index, 0.1);
    EXPECT_TRUE(std_lines[k].ends_with(" of year " + std::to_string(refused[k].year) +
                                       " does not fit the six columns of a value (-99.999 to 999.999)."));
  }
  std::vector<std::string> kept = AllSeries();
  kept.erase(kept.begin(), kept.begin() + 3);
  EXPECT_EQ(SeriesIn(box.Read("steep12_STD_RAW_Ratios.txt")), kept);
  for (const char* f : {"steep12_STD_RAW_Data.txt", "steep12_STD_RAW_Curves.txt", "steep12_SSF_RAW_Data.txt",
                        "steep12_SSF_RAW_Curves.txt"}) {
    EXPECT_EQ(SeriesIn(box.Read(f)), AllSeries()) << f;
    EXPECT_TRUE(LeftOutLines(r.screen, f).empty()) << f;
  }
  // The signal-free index file: whatever its last iteration could not hold.
  const std::vector<std::string> ssf_lines = LeftOutLines(r.screen, "steep12_SSF_RAW_Ratios.txt");
  std::vector<std::string> ssf_kept = AllSeries();
  for (const std::string& line : ssf_lines) {
    EXPECT_TRUE(line.starts_with(" Series NG") && Has(line, " cannot be written in the decade format: ")) << line;
    std::erase(ssf_kept, line.substr(8, 4));
  }
  EXPECT_EQ(SeriesIn(box.Read("steep12_SSF_RAW_Ratios.txt")), ssf_kept);

  const std::vector<std::string> labels = {"stdcrn", "ssfcrn", "stdstb", "ssfstb"};
  const std::vector<ChronologyExpectation> expected = Expected(box.Read("steep12_crns_col.txt"), labels);
  for (const ChronologyExpectation& e : expected) EXPECT_EQ(e.bad_year, 0) << e.label;
  CheckDecadeFile(box, "steep12_crns_tuc.txt", expected);

  // Each incomplete file is shown when its pass ends, and listed once more
  // at the end of the run, in the order of its first note.
  std::vector<std::pair<std::string, std::vector<std::string>>> listing = {{"steep12_STD_RAW_Ratios.txt", {}}};
  if (!ssf_lines.empty()) listing.push_back({"steep12_SSF_RAW_Ratios.txt", {}});
  std::string in_report;
  for (auto& [name, left_out] : listing) {
    left_out = LeftOutLines(r.screen, name);
    for (std::string& line : left_out) line.erase(0, 1);
    in_report += "\n";
    for (const std::string& line : left_out) in_report += " " + common::Upper(line) + "\n";
    in_report += " THE FILE " + name + " IS INCOMPLETE.\n";
  }
  const std::string lines = IncompleteLines(listing);
  EXPECT_TRUE(r.screen.ends_with(lines + ending)) << Tail(r.screen);
  const std::string std_closing = " The file steep12_STD_RAW_Ratios.txt is incomplete.\n";
  EXPECT_NE(r.screen.find(std_closing), r.screen.rfind(std_closing));  // at the pass's end and at the run's
  EXPECT_TRUE(report.ends_with(in_report)) << report.substr(report.size() > 2000 ? report.size() - 2000 : 0);
}

TEST(IncompleteFiles, AnIndexAnEngineFileCannotHoldLeavesItOutAndTheRunGoesOnToEveryFile) {
  e2e::Sandbox box;
  box.CopyData("steep12.rwl", "steep12.rwl");
  std::vector<std::string> answers = {"steep12.rwl", "1", "R", "1"};
  const std::vector<std::string> redo = SteepRedo(5);  // mean, window, stabilisation, convergence, TARN
  answers.insert(answers.end(), redo.begin(), redo.end());
  // The curve plot, Return at "Regional Curve goes south", "F" at the redo
  // question, then the defaults.
  answers = WithReturns(answers, 2);
  answers.push_back("F");
  const e2e::Result r = box.Run(e2e::Kestrane(), WithReturns(answers, 25));
  ASSERT_EQ(r.status, 1) << Tail(r.screen);
  EXPECT_TRUE(Has(r.screen, "\n       Regional Curve goes south (negative) \n"));
  EXPECT_EQ(box.Files(), SteepFiles({"steep12_out_vKestrane_2019.txt"}));
  CheckSteepRun(box, r, box.Read("steep12_out_vKestrane_2019.txt"), kAbnormal);
  // The listing comes right after the last spectrum plot, in place of the
  // normal termination.
  const std::string last_plot = "\n                enter option number > ";
  EXPECT_FALSE(Has(r.screen.substr(r.screen.rfind(last_plot) + last_plot.size()), "==>"));
}

TEST(IncompleteFiles, TheBatchProgramEndsTheDataSetAndARedoThatRewritesTheFilesForgetsWhatTheyLacked) {
  std::vector<std::string> start = {"sites.lst", "", "", "R", ""};
  const std::vector<std::string> redo = SteepRedo(4);  // mean, window, stabilisation, convergence
  start.insert(start.end(), redo.begin(), redo.end());
  start = WithReturns(start, 27);  // up to the question "Want to try a different curve fit option?"
  {
    SCOPED_TRACE("kept");
    e2e::Sandbox box;
    box.CopyData("steep12.rwl", "steep12.rwl");
    const std::string list = "steep12.rwl\nsynth12.rwl\n";
    box.Put("sites.lst", list);
    const e2e::Result r = box.Run(e2e::KestraneBatch(), WithReturns(start, 1));
    ASSERT_EQ(r.status, 1) << Tail(r.screen);
    EXPECT_FALSE(Has(r.screen, "synth12"));  // the next data set is not begun
    EXPECT_EQ(box.Files(), SteepFiles({"SSFSTB_Crns.txt", "SSF_Crns.txt", "STDSTB_Crns.txt", "STD_Crns.txt",
                                       "sites.lst", "steep12_out_vKestraneBatch.txt"}));
    CheckSteepRun(box, r, box.Read("steep12_out_vKestraneBatch.txt"), kBatchAbnormal);
    const std::vector<ChronologyExpectation> expected =
        Expected(box.Read("steep12_crns_col.txt"), {"stdcrn", "ssfcrn", "stdstb", "ssfstb"});
    const char* cumulative[] = {"STD_Crns.txt", "SSF_Crns.txt", "STDSTB_Crns.txt", "SSFSTB_Crns.txt"};
    for (std::size_t c = 0; c < 4; ++c) CheckDecadeFile(box, cumulative[c], {expected[c]});
    EXPECT_EQ(box.Read("sites.lst"), list);
  }
  {
    // Redone with the horizontal line through the mean (option 6): the
    // standard and signal-free files are written anew, whole, and what they
    // lacked before is forgotten; the run ends normally.
    SCOPED_TRACE("redone");
    e2e::Sandbox box;
    box.CopyData("steep12.rwl", "steep12.rwl");
    box.Put("sites.lst", "steep12.rwl\n");
    std::vector<std::string> answers = start;
    answers.push_back("y");
    answers.push_back("6");
    const e2e::Result r = box.Run(e2e::KestraneBatch(), WithReturns(answers, 30));
    ASSERT_EQ(r.status, 0) << Tail(r.screen);
    EXPECT_TRUE(Has(r.screen, "\n The file steep12_STD_RAW_Ratios.txt is incomplete.\n"));  // the first attempt
    EXPECT_TRUE(r.screen.ends_with(e2e::kBatchFinished));
    for (const char* f : {"steep12_STD_RAW_Ratios.txt", "steep12_SSF_RAW_Ratios.txt"}) {
      EXPECT_EQ(SeriesIn(box.Read(f)), AllSeries()) << f;
    }
    EXPECT_EQ(box.Read("steep12.rwl"), e2e::ReadData("steep12.rwl"));
    EXPECT_EQ(box.Read("sites.lst"), "steep12.rwl\n");
  }
}

}  // namespace
