// The chronology and spectra files on a small hand-made chronology, and the
// names they are written under.
#include "apps/shared/chronology_outputs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "common/fortran_format.h"
#include "common/text.h"
#include "engine/sigfre.h"
#include "files/character_helpers.h"
#include "shared/program_run_fixture.h"

namespace {

TEST(OutputNames, FromTheFileNamePartOfWhatWasTyped) {
  EXPECT_EQ(drivers::SpectraBaseName("site.rwl"), "site");
  EXPECT_EQ(drivers::SpectraBaseName("../data/site.v2.rwl"), "site");
  // A blank before the first '.' ends the spectra name, not the stem.
  EXPECT_EQ(drivers::SpectraBaseName("my site.rwl"), "my");
  EXPECT_EQ(files::OutputStem("my site.rwl"), "my site");
  EXPECT_EQ(drivers::SpectraBaseName(std::string(45, 'a')), std::string(40, 'a'));
  EXPECT_EQ(files::OutputStem("abc.12345678901234567890"), "abc");
  // The stem of every other output: the file-name part up to its first '.'.
  EXPECT_EQ(files::OutputStem("../data/site.v2.rwl  "), "site");
  EXPECT_EQ(files::OutputStem("./ca533"), "ca533");
  EXPECT_EQ(files::OutputStem("ca533       "), "ca533");
  // The decade identifier: six characters of the name, whatever its stem.
  EXPECT_EQ(drivers::ChronologyId("ab.rwl"), "ab.rwl  ");
  EXPECT_EQ(drivers::ChronologyId("../data/kestrel_ridge.rwl"), "kestre  ");
}

// A run whose files land in the fixture's folder: the chronologies of
// 1901-1903 (depths 2, 0, 12) of a data set named kr.rwl.
struct OutputsFixture : ProgramRunFixture {
  explicit OutputsFixture(common::ProgramVariant variant = common::ProgramVariant::kInteractive,
                          std::vector<std::string> answers = {})
      : ProgramRunFixture(variant, std::move(answers)), home(std::filesystem::current_path()) {
    std::filesystem::current_path(harness.dir().path());
    common::RunStorage& s = *store;
    s.DATFIL = common::Fixed("kr.rwl", 50);
    s.NS = 1;
    s.IYTAB.IFY(2) = 1901;
    s.IYTAB.ILY(2) = 1903;
    const int depth[] = {2, 0, 12};
    const float columns[6][3] = {{0.9876f, 1.0f, 1.5f},   {0.1f, 0.2f, 0.3f},    {1.1f, 0.95f, 1.25f},
                                 {0.4f, 0.5f, 0.6f},      {0.91f, 1.02f, 1.13f}, {0.92f, 1.03f, 1.1404f}};
    for (int k = 1; k <= 3; ++k) {
      s.SSize[static_cast<std::size_t>(k)] = depth[k - 1];
      s.STDCHR.at(k, 1) = columns[0][k - 1];
      s.STDCHR.at(k, 2) = columns[1][k - 1];
      s.SSFCHR.at(k, 1) = columns[2][k - 1];
      s.SSFCHR.at(k, 2) = columns[3][k - 1];
      s.STBCHR.at(k, 1) = columns[4][k - 1];
      s.STBCHR.at(k, 2) = columns[5][k - 1];
    }
    s.TITLE[1] = "Kestrel Ridge";
    s.TITLE[2] = "";
    s.TITLE[3] = "PSME";
  }
  ~OutputsFixture() { std::filesystem::current_path(home); }

  std::string Read(const std::string& name) { return harness.dir().Read(name); }

  std::filesystem::path home;
};

TEST(ColumnTable, RawDataWithoutWindowAndADepthOfZero) {
  OutputsFixture f;
  f.run.saved_NOPT = 0;
  f.options->IRBWIN = 0;
  drivers::WriteColumnTable(f.run);
  // Standard errors: 0.1 / sqrt 2 = 0.0707, 0.4 / sqrt 2 = 0.2828;
  // 0.3 / sqrt 12 = 0.0866, 0.6 / sqrt 12 = 0.1732; none at depth 0.
  EXPECT_EQ(f.Read("kr_crns_col.txt"),
            "  Year  SSize  RawCrn  AdjCrn  RawSig  AdjSig  RawSee  AdjSee\n"
            "  1901     2    0.988   1.100   0.100   0.400   0.071   0.283\n"
            "  1902     0    1.000   0.950   0.200   0.500 -99.900 -99.900\n"
            "  1903    12    1.500   1.250   0.300   0.600   0.087   0.173\n");
}

TEST(ColumnTable, StabilisedColumnsWithAWindow) {
  OutputsFixture f;
  f.run.saved_NOPT = 8;
  f.options->IRBWIN = 51;
  drivers::WriteColumnTable(f.run);
  const std::string table = f.Read("kr_crns_col.txt");
  EXPECT_TRUE(table.starts_with(
      "  Year  SSize  StdCrn  SsfCrn  StdSig  SsfSig  StdSee  SsfSee  StdStb  SsfStb\n"
      "  1901     2    0.988   1.100   0.100   0.400   0.071   0.283   0.910   0.920\n"))
      << table;
  EXPECT_TRUE(table.ends_with("  1903    12    1.500   1.250   0.300   0.600   0.087   0.173   1.130   1.140\n"));
}

// The block of one chronology: three title lines with `label` in columns
// 83-88 of the last two, then the one decade line of 1901-1903: identifier
// and first year, slot 1 filled (9990, depth 0), the three (value, depth)
// pairs, slots 5-10 filled, and the label.
std::string Block(const std::string& label, const std::string& pairs) {
  const std::string fill = "9990  0";
  std::string six;
  for (int i = 0; i < 6; ++i) six += fill;
  return "Kestrel Ridge" + std::string(87, ' ') + "\n" +                          //
         std::string(82, ' ') + label + std::string(12, ' ') + "\n" +             //
         "PSME" + std::string(78, ' ') + label + std::string(12, ' ') + "\n" +    //
         "kr.rwl1901" + fill + pairs + six + "  " + label + "\n";
}

TEST(DecadeChronologies, FourChronologiesAlsoToTheCumulativeUnits) {
  OutputsFixture f(common::ProgramVariant::kBatch);
  f.run.saved_NOPT = 8;
  f.options->IRBWIN = 51;
  const int cumulative[] = {16, 17, 18, 19};
  for (int u : cumulative) {
    f.harness.units().Open(u, f.harness.dir().File("cum" + std::to_string(u)), common::Units::Mode::kWrite);
  }
  drivers::WriteDecadeChronologies(f.run, cumulative);
  for (int u : cumulative) f.harness.units().Close(u);

  // Values in thousandths with their depths; depth 0 stays 0.
  const std::string std_block = Block("stdcrn", " 988  21000  01500 12");
  const std::string ssf_block = Block("ssfcrn", "1100  2 950  01250 12");
  const std::string stdstb_block = Block("stdstb", " 910  21020  01130 12");
  const std::string ssfstb_block = Block("ssfstb", " 920  21030  01140 12");
  EXPECT_EQ(f.Read("kr_crns_tuc.txt"), std_block + ssf_block + stdstb_block + ssfstb_block);
  EXPECT_EQ(f.Read("cum16"), std_block);
  EXPECT_EQ(f.Read("cum17"), ssf_block);
  EXPECT_EQ(f.Read("cum18"), stdstb_block);
  EXPECT_EQ(f.Read("cum19"), ssfstb_block);
  EXPECT_EQ(f.store->TITLE[3].substr(82, 6), "ssfstb");  // the last label stays
}

TEST(DecadeChronologies, RawDataWithoutWindowWritesTwo) {
  OutputsFixture f;
  f.run.saved_NOPT = 0;
  f.options->IRBWIN = 0;
  drivers::WriteDecadeChronologies(f.run);
  const std::string file = f.Read("kr_crns_tuc.txt");
  EXPECT_EQ(file.find("rawcrn"), 101u + 82u);  // title line 2, column 83
  EXPECT_NE(file.find("adjcrn"), std::string::npos);
  EXPECT_EQ(file.find("stb"), std::string::npos);
}

TEST(Spectra, TooFewDeepYearsGiveTheHeaderAndOneLine) {
  OutputsFixture f;  // depths 2, 0, 12: one year of depth 5 or more; no plot is shown
  f.run.saved_NOPT = 0;
  drivers::WriteSpectra(f.run, f.store->STDCHR);
  EXPECT_EQ(f.Read("kr_spectra.txt"), " FREQUENCY   POWER_RAW_CRN   POWER_ADJ_CRN\n");
  const std::string line = " No spectra: fewer than 9 years have a sample depth of 5 or more.\n";
  EXPECT_EQ(f.harness.Transcript(), "\n" + line);
  EXPECT_EQ(f.harness.Report(), "\n NO SPECTRA: FEWER THAN 9 YEARS HAVE A SAMPLE DEPTH OF 5 OR MORE.\n");
}

// Lags: M / 3 for up to 1000 deep years, M / 5 above; a row per frequency.
TEST(Spectra, LagsFromTheNumberOfDeepYears) {
  for (const auto& [years, lags] : {std::pair{900, 300}, std::pair{1200, 240}}) {
    OutputsFixture f(common::ProgramVariant::kInteractive, {"", ""});  // the two spectrum plots
    common::RunStorage& s = *f.store;
    s.IYTAB.IFY(2) = 1001;
    s.IYTAB.ILY(2) = 1000 + years + 3;  // three more years of depth 4 stay out
    f.options->IRBWIN = 0;
    for (int k = 1; k <= years + 3; ++k) {
      s.SSize[static_cast<std::size_t>(k)] = k <= 3 ? 4 : 5;
      s.STDCHR.at(k, 1) = 1.0f + 0.3f * std::sin(0.5f * static_cast<float>(k));
      s.SSFCHR.at(k, 1) = 1.0f + 0.2f * std::cos(0.9f * static_cast<float>(k));
    }
    drivers::WriteSpectra(f.run, s.STDCHR);
    const std::string file = f.Read("kr_spectra.txt");
    EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 1 + lags + 1) << years;
    // The second row's frequency is 1 / (2 m).
    const std::string second = common::fmt::Print("(f9.5)", 1.0f / (2.0f * static_cast<float>(lags)));
    EXPECT_EQ(file.substr(file.find('\n', file.find('\n') + 1) + 1, 9), second) << years;
    EXPECT_EQ(f.harness.Unread(), 0u);
  }
}

}  // namespace
