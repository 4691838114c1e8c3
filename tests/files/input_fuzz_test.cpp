// Damaged input through every reader of the input data format menu: a few
// thousand random mutations of valid files (bytes flipped, lines cut or
// repeated, files truncated, huge numbers, long lines, carriage returns).
// Whatever the damage, a read ends (read, refused or stopped at the end of
// the scripted answers) and the storage it fills stays within its limits.
// Run under the sanitizer build this also proves no write past the storage.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "common/limits.h"
#include "files/input_menu.h"
#include "input_fixture.h"

namespace {

using input_test::InputRun;

struct Seed {
  std::string answers_layout;  // the menu answer
  std::vector<std::string> more;
  std::string text;
};

std::vector<Seed> Seeds() {
  return {
      {"1", {""},
       "TITLE LINE ONE\nSITE01A 1901   100   200   300   400   500   600   700   800   900\n"
       "SITE01A 1910  1000  1100 -9999\nSITE01B -013   120   130   140\nSITE01B  -10   150   160   999\n"
       "SITE-1 -1000   100 -9999\nSITE01-1001   200 -9999\n"},
      {"2", {""},
       "CHR   1901 900  5 950  51000  51100  51200  51300  51400  51500  51600  5  std\n"
       "CHR   1910 900  6 950  69990  09990  09990  09990  09990  09990  09990  09990  0  std\n"},
      {"1", {""},
       std::string("HF01 title") + std::string(69, ' ') + "#\nn       12      1901  (6f5.2)\n"
                                                         " 1.00 1.01 1.02 1.03 1.04 1.05\n 1.06 1.07 1.08 1.09 1.10 1.11\n"},
      {"3", {"0", ""}, "A1\n1900\n0.5\n0.6\n\n0.7\nB2\n1901\n1.5\n"},
      {"4", {"0", "4", "*", ""}, "YEAR a b c\n1900 1.0 *** 2.0\n1901 1.1 0.5 ***\n1902 1.2 0.6 ***\n"},
  };
}

std::string Mutate(std::string text, std::mt19937& rng) {
  auto pick = [&](std::size_t n) { return n == 0 ? std::size_t{0} : std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); };
  const int edits = 1 + static_cast<int>(pick(4));
  for (int e = 0; e < edits && !text.empty(); ++e) {
    switch (pick(9)) {
      case 0:  // flip a byte
        text[pick(text.size())] = static_cast<char>(pick(256));
        break;
      case 1:  // a digit or sign somewhere
        text[pick(text.size())] = "0123456789-+. \t"[pick(15)];
        break;
      case 2:  // truncate
        text.resize(pick(text.size()));
        break;
      case 3: {  // cut a line in two
        text.insert(pick(text.size()), "\n");
        break;
      }
      case 4: {  // a huge number
        text.insert(pick(text.size()), pick(2) ? "99999999999999999999" : "-2147483648");
        break;
      }
      case 5:  // a long line
        text.insert(pick(text.size()), std::string(300 + pick(5000), pick(2) ? '9' : 'x'));
        break;
      case 6: {  // carriage returns at the line ends
        std::string out;
        for (char c : text) {
          if (c == '\n') out += '\r';
          out += c;
        }
        text = out;
        break;
      }
      case 7: {  // repeat the text (more series, longer files)
        const std::size_t times = 1 + pick(30);
        std::string out;
        for (std::size_t t = 0; t < times; ++t) out += text;
        text = out;
        break;
      }
      default:  // drop a piece
        text.erase(pick(text.size()), pick(40));
        break;
    }
  }
  return text;
}

TEST(InputFuzz, DamagedFilesNeverBreakTheStorage) {
  std::mt19937 rng(20190208u);
  const std::vector<Seed> seeds = Seeds();
  int runs = 0;
  for (int round = 0; round < 600; ++round) {
    for (const Seed& seed : seeds) {
      std::vector<std::string> answers{seed.answers_layout};
      answers.insert(answers.end(), seed.more.begin(), seed.more.end());
      InputRun run(Mutate(seed.text, rng), answers);
      auto& s = run.store();
      int NS = 0;
      int RDFAIL = 0;
      test_support::StopStatus(
          [&] { files::inmenu(run.dialog(), s.SERMAT, s.IYTAB, s.SERID, 10, NS, s.TITLE, RDFAIL); });
      ++runs;
      ASSERT_GE(NS, 0);
      ASSERT_LE(NS, common::MAXSER - 1);
      for (int i = 1; i <= NS; ++i) {
        ASSERT_GE(s.IYTAB.NYR(i), 1) << "series " << i;
        ASSERT_LE(s.IYTAB.NYR(i), common::MAXYRS);
        ASSERT_EQ(s.IYTAB.ILY(i) - s.IYTAB.IFY(i) + 1, s.IYTAB.NYR(i));
        ASSERT_GE(s.IYTAB.IFY(i), -9999);
        ASSERT_LE(s.IYTAB.ILY(i), 9999);
      }
      if (RDFAIL == 0 && NS > 0) {
        ASSERT_LE(s.IYTAB.NYR(NS + 1), common::MAXYRS);
      }
    }
  }
  EXPECT_EQ(runs, 3000);
}

}  // namespace
