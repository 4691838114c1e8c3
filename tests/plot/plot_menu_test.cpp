// The plot options menu and plotopt: transcripts, answers and their effect.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "plot/plots.h"
#include "plot_session.h"

namespace plot {
namespace {

using testing::MenuText;
using testing::Pad;
using testing::Session;

// The boxes as the plot options menu lays them out, typed from the menu's
// description (not taken from the code).
const std::vector<std::string> kSeriesBox = {
    "|************* plot options menu **************|",
    "| replot             [0]  minor ticks y   [11] |",
    "| background color   [1]  major ticks z    [-] |",
    "| frame color        [-]  minor ticks z    [-] |",
    "| text color         [-]  max. x          [14] |",
    "| line color         [4]  min. x          [15] |",
    "| curve  color       [5]  max. y          [16] |",
    "| line  width        [6]  min. y          [17] |",
    "| curve width        [7]  max. z           [-] |",
    "| major ticks x      [8]  min. z           [-] |",
    "| minor ticks x      [9]  symbol type      [-] |",
    "| major ticks y     [10]  symbol color     [-] |",
    "|                                              |",
    "|              reset options  [99]             |",
    "|----------------------------------------------|",
    "|    [s]ave   <[c]ontinue>  [n]o more plots    |",
    "|______________________________________________|",
};

std::vector<std::string> WithLines(std::vector<std::string> box, const char* l5, const char* l6, const char* l7,
                                   const char* l8) {
  box[5] = l5;
  box[6] = l6;
  box[7] = l7;
  box[8] = l8;
  return box;
}

const std::vector<std::string> kRegionalFitBox =
    WithLines(kSeriesBox, "| line color         [4]  min. x          [15] |",
              "| curve  color       [5]  max. y          [16] |", "| line style         [-]  min. y          [17] |",
              "| curve width        [-]  max. z           [-] |");
const std::vector<std::string> kCalendarBox =
    WithLines(kSeriesBox, "| line color(top)    [4]  min. x          [15] |",
              "| line color(bottom) [5]  max. y          [16] |", "| line style         [-]  min. y          [17] |",
              "| curve width        [-]  max. z           [-] |");
const std::vector<std::string> kStandardBox =
    WithLines(kSeriesBox, "| line color         [4]  min. x          [15] |",
              "| curve color        [5]  max. y          [16] |", "| line style         [-]  min. y          [17] |",
              "| curve width        [-]  max. z           [-] |");
const std::vector<std::string> kWideBox = {
    "|******************** plot options menu *******************|",
    "| replot                 [0]  minor ticks y (top)     [11] |",
    "| background color       [1]  major ticks z (y bottom)[12] |",
    "| frame color            [-]  minor ticks z (y bottom)[13] |",
    "| text color             [-]  max. x (top)            [14] |",
    "| line color (top)       [4]  min. x (top)            [15] |",
    "| line color (bottom)    [5]  max. y (top)            [16] |",
    "| line style             [-]  min. y (top)            [17] |",
    "| curve width            [-]  max. z (Y bottom)       [18] |",
    "| major ticks x(top)     [8]  min. z (Y bottom)       [19] |",
    "| minor ticks x(top)     [9]  symbol type              [-] |",
    "| major ticks y(top)     [10] symbol color             [-] |",
    "| max. x (bottom)        [22] min. x (bottom)         [23] |",
    "| major ticks x (bottom) [24] minor ticks x (bottom)  [25] |",
    "|                                                          |",
    "|                   reset options  [99]                    |",
    "|----------------------------------------------------------|",
    "|           [s]ave   <[c]ontinue>  [n]o more plots         |",
    "|__________________________________________________________|",
};

// A small chronology of 5 years for the series plot.
const std::vector<float> kC1 = {0.62f, 1.0f, 1.48f, 0.9f, 1.1f};
const std::vector<float> kC2 = {0.8f, 0.9f, 1.2f, 1.0f, 0.7f};
const std::vector<float> kNoRef = {kNoReference, 0.0f, 0.0f, 0.0f, 0.0f};

void RunSeries(Session& s, PlotMemory& mem, int iwref = 1) {
  pltser(s.ctx, mem, kC1, kC2, 5, 1872, "Year", "Index", "A title", kNoRef, "first", "second", iwref);
}

int Pages(const Session& s) { return static_cast<int>(s.plotter.Named("init").size()); }

TEST(PlotMenu, BoxesAreTheirWidth) {
  for (MenuBox box : {MenuBox::kSeries, MenuBox::kRegionalFit, MenuBox::kCalendar, MenuBox::kStandard}) {
    for (const std::string& line : MenuBoxLines(box)) EXPECT_EQ(line.size(), 48u) << line;
  }
  for (const std::string& line : MenuBoxLines(MenuBox::kIteration)) EXPECT_EQ(line.size(), 60u) << line;
}

TEST(PlotMenu, SeriesBoxTranscript) {
  Session s({"c"});
  PlotMemory mem;
  RunSeries(s, mem);
  EXPECT_EQ(s.console.transcript(), MenuText(kSeriesBox, "c"));
  EXPECT_EQ(Pages(s), 1);
  EXPECT_EQ(s.console.unread(), 0u);
}

TEST(PlotMenu, RegionalFitBoxTranscript) {
  Session s({""});
  PlotMemory mem;
  const std::vector<float> rc = {1.0f, 2.0f, 3.0f}, fit = {1.1f, 1.9f, 3.1f};
  pltrcb(s.ctx, mem, rc, fit, 1, 3, -999.0f, "RC", 0);
  EXPECT_EQ(s.console.transcript(), MenuText(kRegionalFitBox, ""));
}

TEST(PlotMenu, CalendarBoxTranscript) {
  Session s({"n"});
  PlotMemory mem;
  common::SeriesMatrix x(10, 3);
  common::YearTable yt;
  x.at(1, 1) = 1.0f;
  x.at(2, 1) = 1.2f;
  yt.IFY(1) = 1900;
  yt.ILY(1) = 1901;
  pltcal(s.ctx, mem, x, 1, yt, -999.0f);
  EXPECT_EQ(s.console.transcript(), MenuText(kCalendarBox, "n"));
}

TEST(PlotMenu, StandardBoxTranscript) {
  Session s({"Y"});
  PlotMemory mem;
  std::vector<float> tab(2 * 10, 1.0f);
  pltrcs(s.ctx, mem, 10, tab, 10, 1, 0, -999.0f);
  EXPECT_EQ(s.console.transcript(), MenuText(kStandardBox, "Y"));
}

TEST(PlotMenu, WideBoxTranscript) {
  Session s({"C"});
  PlotMemory mem;
  common::YearTable yt;
  yt.IFY(1) = 1900;
  yt.ILY(1) = 1902;
  const std::vector<float> s3 = {1.0f, 2.0f, 3.0f}, c4 = {1.0f, 1.5f, 2.0f}, a5 = {1.0f, 2.0f, 3.0f};
  const std::vector<std::string> ids = {"", "TREE01A "};
  const std::vector<int> ageoff = {0, 0};
  pltitr(s.ctx, mem, s3, c4, a5, yt, -999.0f, 3, 1, 3, ids, "Series 1", ageoff, 0);
  EXPECT_EQ(s.console.transcript(), MenuText(kWideBox, "C"));
}

TEST(PlotMenu, ContinueAnswersReturnAtOnce) {
  for (const char* answer : {"", "c", "C", "y", "Y", "n", "N", "c ", "n   anything"}) {
    Session s({answer});
    PlotMemory mem;
    RunSeries(s, mem);
    EXPECT_EQ(s.console.unread(), 0u) << answer;
    EXPECT_EQ(Pages(s), 1) << answer;
  }
}

TEST(PlotMenu, OptionNumberFromTwoCharacters) {
  // "5" and " 5" both choose the curve colour; "100" is cut to "10".
  for (const char* five : {"5", " 5"}) {
    Session s({five, "7", "c"});
    PlotMemory mem;
    RunSeries(s, mem);
    EXPECT_EQ(mem.set.icol[1], 7) << five;
  }
  Session s({"100", "0.25", "c"});
  PlotMemory mem;
  RunSeries(s, mem);
  EXPECT_FLOAT_EQ(mem.set.ytick, 0.25f);
}

TEST(PlotMenu, CurveColourTranscript) {
  Session s({"5", "7", "c"});
  PlotMemory mem;
  RunSeries(s, mem);
  const std::string table = "\n" + Pad(14) + "color table ______________________________________________\n" + Pad(14) +
                            "white(0) red(1)  yellow(2)  green(3)  aquamarine(4) pink(5) \n" + Pad(14) +
                            "wheat(6)  grey(7)  browm(8)  blue(9)  blueviolet(10)\n" + Pad(14) +
                            "cyan(11)  turquoise(12)  magenta(13)  salmon(14)  black(15)\n" + Pad(14) +
                            "___________________________________________________________\n\n";
  EXPECT_EQ(s.console.transcript(), MenuText(kSeriesBox, "5") + table + Pad(14) +
                                        "select new curve color: [0-15] : 7\n" + MenuText(kSeriesBox, "c"));
}

TEST(PlotMenu, HiddenFrameColourChangesFieldOnly) {
  Session s({"2", "4", "0", "c"});
  PlotMemory mem;
  RunSeries(s, mem);
  EXPECT_EQ(mem.set.ifrmc, 4);
  // The replot draws exactly as the first drawing did.
  const auto& calls = s.plotter.calls;
  std::vector<std::string> first, second;
  int page = 0;
  for (const auto& c : calls) {
    if (c.name == "sdev") ++page;
    (page == 1 ? first : second).push_back(c.name + " " + c.args);
  }
  EXPECT_EQ(first, second);
}

TEST(PlotMenu, NewMaximumThenReplotThenReset) {
  Session s({"14", "1900", "0", "99", "c"});
  PlotMemory mem;
  RunSeries(s, mem);
  const auto winds = s.plotter.Named("wind");
  ASSERT_EQ(winds.size(), 3u);
  // nicescl(1872, 1876): STEP 0.5 (R 0.444, mantissa 5): 1872..1876.5.
  EXPECT_EQ(winds[0].args, "1872 1876.5 0.6 1.5");
  EXPECT_EQ(winds[1].args, "1872 1900 0.6 1.5");
  EXPECT_EQ(winds[2].args, winds[0].args);
  EXPECT_NE(s.console.transcript().find(Pad(14) + "change x axis max value from: 1876.500\n" + Pad(14) + "to > 1900\n"),
            std::string::npos);
}

TEST(PlotMenu, MajorTickPromptRoundsToWholeNumber) {
  Session s({"8", "x", "8", "5", "c"});
  PlotMemory mem;
  RunSeries(s, mem);
  // x ticks 0.5 in six positions without decimals (f6.0): "    0.", as
  // gfortran writes it (a tie goes to the even whole number); "x" keeps the value.
  const std::string prompt = "\n" + Pad(14) + "change x axis major tics from:     0.\n" + Pad(14) + "to > ";
  const std::string& t = s.console.transcript();
  const auto first = t.find(prompt + "x\n");
  ASSERT_NE(first, std::string::npos);
  EXPECT_NE(t.find(prompt + "5\n", first + 1), std::string::npos);
  EXPECT_FLOAT_EQ(mem.set.xtick, 5.0f);
}

TEST(PlotMenu, MajorTickPromptsAreSixWide) {
  // A typed tick of 20 is shown back as "   20." (f6.0, gfortran: "   20.").
  Session s({"10", "20", "10", "2.5", "12", "250", "12", "1", "c"});
  PlotMemory mem;
  RunSeries(s, mem);
  const std::string& t = s.console.transcript();
  EXPECT_NE(t.find("\n" + Pad(14) + "change y axis major tics from:    20.\n" + Pad(14) + "to > 2.5\n"),
            std::string::npos);
  EXPECT_NE(t.find("\n" + Pad(14) + "change z axis major tics from:   250.\n" + Pad(14) + "to > 1\n"),
            std::string::npos);
  EXPECT_FLOAT_EQ(mem.set.ytick, 2.5f);
  EXPECT_FLOAT_EQ(mem.set.ztick, 1.0f);
}

TEST(PlotMenu, MinorTicksTranscript) {
  Session s({"9", "3", "11", "12", "c"});
  PlotMemory mem;
  RunSeries(s, mem);
  const std::string& t = s.console.transcript();
  EXPECT_NE(t.find("\n" + Pad(14) + "change x axis minor tics from:    5\n" + Pad(14) + "to > 3\n"), std::string::npos);
  EXPECT_NE(t.find("\n" + Pad(14) + "change y axis minor tics from:    5\n" + Pad(14) + "to > 12\n"), std::string::npos);
  EXPECT_EQ(mem.set.nxsub, 3);
  EXPECT_EQ(mem.set.nysub, 12);
}

TEST(PlotMenu, BackgroundChoices) {
  {
    Session s({"1", "3", "c"});
    PlotMemory mem;
    RunSeries(s, mem);
    EXPECT_EQ(mem.set.ibgr, 255);
    EXPECT_EQ(mem.set.idark, 0);
    const std::string table = "\n" + Pad(14) + "color table (background only) ____________________________\n" +
                              Pad(14) + "black(0) white(1)  user defined (2)\n" + Pad(14) +
                              "___________________________________________________________\n\n";
    EXPECT_EQ(s.console.transcript(), MenuText(kSeriesBox, "1") + table + "\n" + Pad(14) +
                                          "select new background color [0/1/2] : 3\n" + MenuText(kSeriesBox, "c"));
  }
  {
    // A channel outside 0-255 is asked again.
    Session s({"1", "2", "300", "200", "20", "10", "c"});
    PlotMemory mem;
    RunSeries(s, mem);
    EXPECT_EQ(mem.set.ibgr, 200);
    EXPECT_EQ(mem.set.ibgg, 20);
    EXPECT_EQ(mem.set.ibgb, 10);
    EXPECT_NE(s.console.transcript().find(Pad(14) + "enter red value [0-255] > 300\n\n" + Pad(14) +
                                          "out of range re-enter a number from 0 to 255\n" + Pad(14) +
                                          "enter red value [0-255] > 200\n" + Pad(14) +
                                          "enter green value [0-255] > 20\n"),
              std::string::npos);
  }
  {
    // Black: index 15 becomes white and 0 black at the next drawing.
    Session s({"1", "0", "0", "c"});
    PlotMemory mem;
    RunSeries(s, mem);
    EXPECT_EQ(mem.set.idark, 1);
    const auto scol = s.plotter.Named("scol0");
    ASSERT_EQ(scol.size(), 4u);
    EXPECT_EQ(scol[0].args, "0 255 255 255");
    EXPECT_EQ(scol[1].args, "15 0 0 0");
    EXPECT_EQ(scol[2].args, "15 255 255 255");
    EXPECT_EQ(scol[3].args, "0 0 0 0");
    EXPECT_EQ(s.plotter.Named("scolbg")[1].args, "0 0 0");
  }
}

TEST(PlotMenu, UnknownOptions) {
  Session s({"30", "ab", "-1", "x2", "c"});
  PlotMemory mem;
  RunSeries(s, mem);
  const std::string unknown = "\n" + Pad(14) + "unknown option re-enter a valid request\n";
  EXPECT_EQ(s.console.transcript(), MenuText(kSeriesBox, "30") + unknown + MenuText(kSeriesBox, "ab") + unknown +
                                        MenuText(kSeriesBox, "-1") + unknown + MenuText(kSeriesBox, "x2") + unknown +
                                        MenuText(kSeriesBox, "c"));
  EXPECT_EQ(Pages(s), 1);
}

TEST(PlotMenu, HiddenZ2ItemsOfTheSeriesPlot) {
  Session s({"22", "3.5", "23", "-1", "c"});
  PlotMemory mem;
  RunSeries(s, mem);
  EXPECT_FLOAT_EQ(mem.z2max, 3.5f);
  EXPECT_FLOAT_EQ(mem.z2min, -1.0f);
  const std::string& t = s.console.transcript();
  EXPECT_NE(t.find("\n" + Pad(16) + "change z2 axis max value from:    0.000\n" + Pad(14) + "to > 3.5\n"),
            std::string::npos);
  EXPECT_NE(t.find("\n" + Pad(16) + "change z2 axis min. value from:    0.000\n" + Pad(14) + "to > -1\n"),
            std::string::npos);
}

TEST(PlotMenu, OtherRoutinesRefuseItem22) {
  Session s({"22", "c"});
  PlotMemory mem;
  std::vector<float> tab(2 * 10, 1.0f);
  pltrcf(s.ctx, mem, 10, tab, 10, 1, 0, -999.0f);
  EXPECT_NE(s.console.transcript().find("unknown option re-enter a valid request"), std::string::npos);
}

TEST(PlotMenu, SaveTranscriptAndDevice) {
  const std::string name = ::testing::TempDir() + "menu_save.ps";
  Session s({"s", "  " + name, "c"});
  PlotMemory mem;
  RunSeries(s, mem);
  const std::string pad = Pad(16);
  EXPECT_EQ(s.console.transcript(),
            MenuText(kSeriesBox, "s") + "\n" + pad + "NOTE: The image file you are about to create is PostScript. \n" +
                pad + "To make this readily apparent to your OS we recommend adding\n" + pad +
                "the extension .ps to the file name.\n" + pad + "Enter plot file name > " + "  " + name + "\n" +
                MenuText(kSeriesBox, "c"));
  const std::string text = s.plotter.Text();
  EXPECT_NE(text.find("sdev psc\nsetopt geometry 600x1000\nsfnam " + name + "\n"), std::string::npos);
  EXPECT_EQ(Pages(s), 2);  // the screen drawing and the file; no new screen drawing after saving
  EXPECT_EQ(s.plotter.Named("sdev").back().args, "psc");
}

TEST(PlotMenu, SaveNamesRefused) {
  // Blank, standard output, or holding a control character: no name.
  for (const std::string& name :
       {std::string(""), std::string("   "), std::string("-"), std::string("page\t.ps"), std::string("pa\x1bge.ps")}) {
    Session s({"s", name, "c"});
    PlotMemory mem;
    RunSeries(s, mem);
    const std::string error = "\n" + Pad(16) + "Error reading plot file name\n" + Pad(16) +
                              "Try again and do not forget to append\n" + Pad(16) + "the extension .ps\n";
    const std::string& t = s.console.transcript();
    EXPECT_NE(t.find("Enter plot file name > " + name + "\n" + error + "\n\n"), std::string::npos) << name;
    EXPECT_EQ(Pages(s), 1) << name;
    EXPECT_TRUE(s.plotter.Named("sfnam").empty());
  }
}

TEST(PlotMenu, SettingsLastUntilTheNextCall) {
  PlotMemory mem;
  {
    Session s({"4", "3", "6", "5", "0", "c"});
    RunSeries(s, mem);
    EXPECT_EQ(s.plotter.LineColours(), (std::vector<int>{1, 9, 3, 9}));
    EXPECT_EQ(mem.set.iwid[0], 5);
  }
  {
    Session s({"c"});
    RunSeries(s, mem);  // the next call starts from the reset
    EXPECT_EQ(s.plotter.LineColours(), (std::vector<int>{1, 9}));
    EXPECT_EQ(mem.set.iwid[0], 1);
  }
}

TEST(PlotMenu, EndOfInputStopsWithStatus3) {
  Session s({"8"});
  PlotMemory mem;
  try {
    RunSeries(s, mem);
    FAIL() << "no stop";
  } catch (const common::ProgramStop& stop) {
    EXPECT_EQ(stop.status, 3);
  }
}

TEST(PlotMenu, SlashEndsTheProgram) {
  // Behind blanks too; at the file name prompt only as the whole answer (a
  // longer one is a path: the save tests above save under absolute paths).
  const std::vector<std::vector<std::string>> scripts = {
      {"/"}, {" /"}, {"4", " /"}, {"9", " /"}, {"s", "/"}, {"s", "  /  "}};
  for (const auto& answers : scripts) {
    Session s(answers);
    PlotMemory mem;
    try {
      RunSeries(s, mem);
      ADD_FAILURE() << "no stop: " << answers.back();
    } catch (const common::ProgramStop& stop) {
      EXPECT_EQ(stop.status, 0);
    }
    EXPECT_TRUE(s.plotter.Named("sfnam").empty());
  }
}

TEST(PlotMenu, AnswersBehindBlanksAreTheAnswers) {
  // "  5" chooses option 5 and " s" saves, as "5" and "s" do.
  const std::string name = ::testing::TempDir() + "behind_blanks.ps";
  Session s({"  5", "7", " s", name, "c"});
  PlotMemory mem;
  RunSeries(s, mem);
  EXPECT_EQ(mem.set.icol[1], 7);
  ASSERT_EQ(s.plotter.Named("sfnam").size(), 1u);
  EXPECT_EQ(s.plotter.Named("sfnam")[0].args, name);
}

TEST(Plotopt, ResetKeepsTicksAndOption) {
  Session s({});
  plotset ps;
  ps.icol = {3, 4, 5};
  ps.xtick = 7.0f;
  ps.nysub = 3;
  ps.xmax = 10.0f;
  ps.idark = 1;
  ps.pdev = "psc     ";
  ps.iopt = 99;
  plotopt(ps, s.dialog);
  EXPECT_EQ(ps.icol, (std::array<int, 3>{15, 1, 9}));
  EXPECT_FLOAT_EQ(ps.xtick, 7.0f);
  EXPECT_EQ(ps.nysub, 3);
  EXPECT_EQ(ps.iopt, 99);
  EXPECT_FLOAT_EQ(ps.xmax, -99999.0f);
  EXPECT_FLOAT_EQ(ps.zmin, 99999.0f);
  EXPECT_EQ(ps.idark, 0);
  EXPECT_EQ(ps.pdev, "wingcc  ");
  EXPECT_EQ(s.console.transcript(), "");
}

TEST(Plotopt, OptionsOutsideTheTableDoNothing) {
  for (int opt : {0, 22, 50, 98, 100, -3}) {
    Session s({});
    plotset ps;
    ps.iopt = opt;
    plotopt(ps, s.dialog);
    EXPECT_EQ(s.console.transcript(), "") << opt;
  }
}

TEST(Plotopt, FourColumnReads) {
  // Options 4 to 7, 11 and 13 read the first four characters after the
  // leading blanks: "1 2" is 12, "0012345" is 12, "    5" is 5, "  7  9" is
  // 79; a blank line is 0, letters keep the old value.
  struct Case {
    int opt;
    const char* typed;
    int expected;
  } cases[] = {{4, "1 2", 12}, {5, "0012345", 12}, {6, "", 0}, {7, "ab", 2}, {11, "    5", 5}, {13, "  7  9", 79}};
  for (const Case& c : cases) {
    Session s({c.typed});
    plotset ps;
    ps.iopt = c.opt;
    plotopt(ps, s.dialog);
    const int got = c.opt == 4 ? ps.icol[0] : c.opt == 5 ? ps.icol[1] : c.opt == 6 ? ps.iwid[0]
                  : c.opt == 7 ? ps.iwid[1] : c.opt == 11 ? ps.nysub : ps.nzsub;
    EXPECT_EQ(got, c.expected) << c.opt << " '" << c.typed << "'";
  }
}

TEST(Plotopt, ValuesOutsideTheirRangeAreAskedAgain) {
  // Colours 0-15 (colour map 0 has no other entry), pens 0-8, symbols
  // 0-126, minor ticks 0-100: each refused value gets one line and the
  // question again.
  struct Case {
    int opt;
    std::vector<std::string> typed;  // the refused values, then the one kept
    const char* range;
  } cases[] = {{5, {"-3", "2147483647", "15"}, "0 to 15"}, {2, {"16", "0"}, "0 to 15"},
               {3, {"-1", "14"}, "0 to 15"},                {21, {"99", "3"}, "0 to 15"},
               {6, {"9", "8"}, "0 to 8"},                   {7, {"-1", "0"}, "0 to 8"},
               {20, {"127", "126"}, "0 to 126"},            {9, {"2147483647", "100"}, "0 to 100"},
               {13, {"101", "4"}, "0 to 100"}};
  for (const Case& c : cases) {
    Session s(c.typed);
    plotset ps;
    ps.iopt = c.opt;
    plotopt(ps, s.dialog);
    const int got = c.opt == 5 ? ps.icol[1] : c.opt == 2 ? ps.ifrmc : c.opt == 3 ? ps.itxtc : c.opt == 21 ? ps.isymc
                  : c.opt == 6 ? ps.iwid[0] : c.opt == 7 ? ps.iwid[1] : c.opt == 20 ? ps.isym
                  : c.opt == 9 ? ps.nxsub : ps.nzsub;
    EXPECT_EQ(got, std::stoi(c.typed.back())) << c.opt;
    EXPECT_EQ(s.console.unread(), 0u) << c.opt;
    const std::string& t = s.console.transcript();
    const std::string refused = "\n" + Pad(14) + "out of range re-enter a number from " + c.range + "\n";
    std::size_t count = 0;
    for (std::size_t at = t.find(refused); at != std::string::npos; at = t.find(refused, at + 1)) ++count;
    EXPECT_EQ(count, c.typed.size() - 1) << c.opt;
  }
}

TEST(Plotopt, SymbolPrompts) {
  Session s({"32", "4"});
  plotset ps;
  ps.iopt = 20;
  plotopt(ps, s.dialog);
  ps.iopt = 21;
  plotopt(ps, s.dialog);
  EXPECT_EQ(ps.isym, 32);
  EXPECT_EQ(ps.isymc, 4);
  const std::string& t = s.console.transcript();
  EXPECT_EQ(t.rfind("\n" + Pad(14) + "change symbol [0-126, 32 = no symbol]:   20\n" + Pad(14) + "to > 32\n", 0), 0u);
  EXPECT_NE(t.find("___\n\n\n" + Pad(14) + "change symbol color from:    9\n" + Pad(14) + "to > 4\n"), std::string::npos);
}

TEST(Plotopt, LimitPromptsShowThreeDecimals) {
  Session s({"2.5", "-1"});
  plotset ps;
  ps.ymax = 1.5f;
  ps.iopt = 16;
  plotopt(ps, s.dialog);
  ps.iopt = 19;
  plotopt(ps, s.dialog);
  EXPECT_FLOAT_EQ(ps.ymax, 2.5f);
  EXPECT_FLOAT_EQ(ps.zmin, -1.0f);
  // 99999.0 does not fit in 8 positions with 3 decimals.
  EXPECT_EQ(s.console.transcript(), "\n" + Pad(14) + "change y axis max value from:    1.500\n" + Pad(14) + "to > 2.5\n" +
                                        "\n" + Pad(14) + "change z axis min value from: ********\n" + Pad(14) +
                                        "to > -1\n");
}

}  // namespace
}  // namespace plot
