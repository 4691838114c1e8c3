// cenout: the censored data set file byte for byte. The expected records are
// written out by hand from the decade ring-width layout: identifier in
// columns 1-8, year in 9-12, ten values 6 wide in 13-72 (thousandths), the
// label in 75-80 on a line of ten items, -9999 after the last value.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/console.h"
#include "common/storage.h"
#include "common/text.h"
#include "common/units.h"
#include "files/censor.h"
#include "files/decade.h"
#include "support/dialog_harness.h"
#include "support/temp_dir.h"

namespace {

class CenoutTest : public ::testing::Test {
 protected:
  CenoutTest() : console_({}), dialog_(console_, units_), SERVEC_(common::MAXYRS) {
    datfil_ = common::Fixed(dir_.File("site.rwl"), 50);
    common::Assign(store_.TITLE[1], "Kestrel Ridge, Pinus test site");
    common::Assign(store_.TITLE[2], "Second title line");
    common::Assign(store_.TITLE[3], "");
  }

  // Adds a series whose values (mm) are given.
  void Add(const std::string& id, int first, const std::vector<float>& values) {
    const int i = ++store_.NS;
    store_.SERID[static_cast<std::size_t>(i)] = common::Fixed(id, 8);
    store_.IYTAB.IFY(i) = first;
    store_.IYTAB.NYR(i) = static_cast<int>(values.size());
    store_.IYTAB.ILY(i) = first + static_cast<int>(values.size()) - 1;
    for (std::size_t k = 0; k < values.size(); ++k) store_.SERMAT.at(static_cast<int>(k) + 1, i) = values[k];
  }
  std::string Read(const std::string& name) { return dir_.Read(name); }
  static std::string Title(const std::string& text, const std::string& code) {
    return common::Fixed(text, 84) + code + std::string(12, ' ') + "\n";
  }

  test_support::TempDir dir_;
  test_support::WorkingFolder working_{dir_.path()};  // where the censored files go
  std::string datfil_;
  common::ScriptedConsole console_;
  common::Units units_;
  common::Dialog dialog_;
  common::RunStorage store_;
  std::vector<float> SERVEC_;
};

TEST_F(CenoutTest, CommonPeriodFileByteForByte) {
  // 1850-1870 (21 values) and 1852-1861 (10 values).
  std::vector<float> a, b;
  for (int k = 0; k < 21; ++k) a.push_back(1.05f + 0.001f * static_cast<float>(k));
  for (int k = 0; k < 10; ++k) b.push_back(0.25f + 0.01f * static_cast<float>(k));
  Add("KR001A", 1850, a);
  Add("KR002A", 1852, b);
  ASSERT_TRUE(files::cenout('7', 1850, 1870, store_.SERMAT, SERVEC_, store_.NS, store_.IYTAB, store_.SERID,
                            store_.TITLE, datfil_, 11, dialog_));
  const std::string name = "site_comm=1850-1870.txt";
  EXPECT_EQ(console_.transcript(), "\n File for censored data created: " + name + "\n");
  EXPECT_FALSE(units_.IsOpen(11));
  EXPECT_EQ(Read("site_comm=1850-1870.txt"),
            Title("Kestrel Ridge, Pinus test site", "COMM") + Title("Second title line", "COMM") + Title("", "COMM") +
                "KR001A  1850  1050  1051  1052  1053  1054  1055  1056  1057  1058  1059  comm  \n"
                "KR001A  1860  1060  1061  1062  1063  1064  1065  1066  1067  1068  1069  comm  \n"
                "KR001A  1870  1070 -9999\n"
                "KR002A  1852   250   260   270   280   290   300   310   320\n"
                "KR002A  1860   330   340 -9999\n");
  // The codes stay in the titles.
  EXPECT_EQ(store_.TITLE[1].substr(84, 4), "COMM");
}

TEST_F(CenoutTest, FullLastLineTakesMarkerOnNextDecade) {
  // 1900-1909: ten values fill the 1900 line; the marker stands alone on 1910.
  Add("ABC12345", 1900, {0.999f, 1.0f, 0.0f, 2.5f, 0.0006f, 0.1234f, 3.0f, 0.01f, 0.5f, 12.345f});
  ASSERT_TRUE(files::cenout('2', 10, 0, store_.SERMAT, SERVEC_, store_.NS, store_.IYTAB, store_.SERID, store_.TITLE,
                            datfil_, 11, dialog_));
  // 0.999 mm would read back as the hundredths marker: written as 1000.
  EXPECT_EQ(Read("site_mnsl=10.txt"),
            Title("Kestrel Ridge, Pinus test site", "MNSL") + Title("Second title line", "MNSL") + Title("", "MNSL") +
                "ABC123451900  1000  1000     0  2500     1   123  3000    10   500 12345  mnsl  \n"
                "ABC123451910 -9999\n");
}

TEST_F(CenoutTest, EachRuleHasItsCodeAndName) {
  Add("KR001A", 1901, {1.0f});
  struct Case {
    char opt;
    int n1;
    const char* file;
    const char* code;
  };
  for (const Case& c : {Case{'3', 1850, "site_mxsy=1850.txt", "MXSY"}, Case{'4', 1700, "site_mnsy=1700.txt", "MNSY"},
                        Case{'5', 1901, "site_trunb=1901.txt", "TRNB"}, Case{'6', 1901, "site_truna=1901.txt", "TRNA"}}) {
    SCOPED_TRACE(c.file);
    ASSERT_TRUE(files::cenout(c.opt, c.n1, 0, store_.SERMAT, SERVEC_, store_.NS, store_.IYTAB, store_.SERID,
                              store_.TITLE, datfil_, 11, dialog_));
    EXPECT_EQ(Read(c.file), Title("Kestrel Ridge, Pinus test site", c.code) + Title("Second title line", c.code) +
                                Title("", c.code) + "KR001A  1901  1000 -9999\n");
  }
}

TEST_F(CenoutTest, FileThatCannotBeCreatedIsReportedNotClaimed) {
  Add("KR001A", 1901, {1.0f});
  std::filesystem::create_directory(dir_.path() / "site_mnsl=10.txt");  // a folder where the file should go
  EXPECT_EQ(test_support::StopStatus([&] {
              files::cenout('2', 10, 0, store_.SERMAT, SERVEC_, store_.NS, store_.IYTAB, store_.SERID, store_.TITLE,
                            datfil_, 11, dialog_);
            }),
            1);
  EXPECT_EQ(console_.transcript().find("File for censored data created"), std::string::npos);
  EXPECT_NE(console_.transcript().find("\n Cannot open the output file site_mnsl=10.txt: Is a directory\n"),
            std::string::npos)
      << console_.transcript();
}

}  // namespace

namespace {

// Reads every series of a decade ring-width file through rwlio.
struct ReadSeries {
  std::string id;
  int first;
  std::vector<float> values;
};
std::vector<ReadSeries> ReadAll(common::Dialog& dialog, const std::string& path) {
  std::vector<ReadSeries> out;
  common::Units& units = dialog.units();
  EXPECT_TRUE(units.Open(10, path, common::Units::Mode::kRead));
  std::vector<std::string> title(4, std::string(100, ' '));
  std::vector<float> x(common::MAXYRS);
  int iser = 0;
  for (;;) {
    std::string id(8, ' '), line(100, ' ');
    int first = 0, n = 0;
    files::rwlio(dialog, id, first, n, x, {}, iser, 10, 0, "mr", line, "", common::MAXYRS, title);
    if (n == files::IEOFST || n <= 0) break;
    out.push_back({id, first, std::vector<float>(x.begin(), x.begin() + n)});
  }
  units.Close(10);
  return out;
}

TEST(CenoutRealData, CensoredArchiveFileReadsBackToTheKeptSeries) {
  // indi005.rwl (public archive): four series in hundredths closed by 999,
  // CR-LF line ends: LI016 1732-1980, LI020 1744-1980, LI017 1789-1980,
  // LI022 1794-1980.
  test_support::TempDir dir;
  test_support::WorkingFolder working(dir.path());
  common::ScriptedConsole console({});
  common::Units units;
  common::Dialog dialog(console, units);
  const std::vector<ReadSeries> original = ReadAll(dialog, test_support::TestDataPath("censor_indi005.rwl"));
  ASSERT_EQ(original.size(), 4u);

  common::RunStorage store;
  for (const ReadSeries& s : original) {
    const int i = ++store.NS;
    store.SERID[static_cast<std::size_t>(i)] = s.id;
    store.IYTAB.IFY(i) = s.first;
    store.IYTAB.NYR(i) = static_cast<int>(s.values.size());
    store.IYTAB.ILY(i) = s.first + static_cast<int>(s.values.size()) - 1;
    for (std::size_t k = 0; k < s.values.size(); ++k) store.SERMAT.at(static_cast<int>(k) + 1, i) = s.values[k];
  }
  store.IYTAB.IFY(5) = 1732;
  store.IYTAB.ILY(5) = 1980;
  store.IYTAB.NYR(5) = 249;
  int minsy = 1750;
  ASSERT_TRUE(files::censy(minsy, store.SERMAT, store.NS, store.IYTAB, store.SERID, dialog));
  std::vector<float> servec(common::MAXYRS);
  const std::string datfil = common::Fixed(dir.File("indi005.rwl"), 50);
  ASSERT_TRUE(files::cenout('4', minsy, 0, store.SERMAT, servec, store.NS, store.IYTAB, store.SERID, store.TITLE,
                            datfil, 11, dialog));

  const std::string written = dir.File("indi005_mnsy=1750.txt");
  std::ifstream in(written, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  // Three titles, then LI017 from 1789 in thousandths (22.70 mm -> 22700).
  ASSERT_GE(lines.size(), 6u);
  EXPECT_EQ(lines[3], "LI017   1789 22700");
  EXPECT_EQ(lines[4], "LI017   1790 27200 23900 17200 10800 11600 11500 19000 20900 37700 37700  mnsy  ");
  EXPECT_EQ(lines.back(), "LI022   1980 19500 -9999");

  const std::vector<ReadSeries> back = ReadAll(dialog, written);
  ASSERT_EQ(back.size(), 2u);
  for (std::size_t s = 0; s < 2; ++s) {
    const ReadSeries& want = original[s + 2];
    EXPECT_EQ(back[s].id, want.id);
    EXPECT_EQ(back[s].first, want.first);
    ASSERT_EQ(back[s].values.size(), want.values.size());
    for (std::size_t k = 0; k < want.values.size(); ++k) {
      EXPECT_EQ(common::Nint(back[s].values[k] * 1000.0f), common::Nint(want.values[k] * 1000.0f)) << k;
    }
  }
}

}  // namespace
