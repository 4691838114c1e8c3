// The option questions both programs ask before the first chronology run:
// the curve-fit option with its follow-ups, the regional-curve menu, the
// mean method, the running RBAR window, the additional stabilisation, the
// convergence test and the TARN tweaks, with their report lines.
//
// Answers are read by Dialog::ReadTyped: without their leading blanks, "/"
// stopping the program, the default only for a wholly blank answer (the
// regional-curve menu and its windows are free-form reads). Numeric answers
// are converted with the descriptor ifmt builds; an answer that does not
// convert asks the question again.
#pragma once

#include <optional>
#include <string_view>

#include "common/console.h"
#include "common/program_variant.h"
#include "common/run_options.h"

namespace drivers {

// One typed numeric answer (10 characters): "/" stops, a wholly blank answer
// is `default_answer`; nullopt when the answer does not convert.
std::optional<int> ReadNumericAnswer(common::Dialog& dialog, std::string_view default_answer);

// The general curve-fit menu (blank: 8), until a code that reaches a curve
// is typed: -6001 to -10, -5, -2, 0 to 4, 6, 8, 9, 10 to 6001.
int AskCurveFitOption(common::Dialog& dialog);
// The Friedman alpha (blank: 7), until 0 to 9.
int AskFriedmanAlpha(common::Dialog& dialog);
// The starting stiffness of the age-dependent spline (blank: 50), until 1
// to 6001.
int AskSplineStiffness(common::Dialog& dialog);
// The end flag of the age-dependent spline (blank: 0), until 0 or 1.
int AskSplineEnd(common::Dialog& dialog);
// The stiffness of the regional curve's age-dependent spline (blank: 10),
// until 1 to 6001.
int AskRcsStiffness(common::Dialog& dialog);

// The regional-curve menu shown when the engine asks for another regional
// detrending. An accepted answer sets NOPT in `options` (and, for -5, -4,
// -3 and -2, ALPHA/alpha, RCSWIN or SPLSTF) and returns true; an answer that is
// no integer returns false (the caller goes back to the general menu); a
// lowess or median window outside the accepted values (3 to 6001, odd for
// the median, or -100 to -1), a code detrnd fits no model for (0, 9, -6 to
// -9) or a spline code beyond 6001 shows the menu again.
bool AskRcsOption(common::Dialog& dialog, common::ProgramVariant variant, common::RunOptions& options);

// The mean method once: 1 or 2 (blank: 2; the first character counts),
// nullopt after "Mean index choice not admissible".
std::optional<common::MeanMethod> AskMeanMethodOnce(common::Dialog& dialog);
void EchoMeanMethod(common::Dialog& dialog, common::MeanMethod MEANMD);

// The running RBAR window (blank: 51), until 0 or 25 to 6001 ("... must be
// .ge. 25" below, "... must be .le. 6001" above); an even window is made
// odd with a message.
int AskRbarWindow(common::Dialog& dialog);
void EchoRbarWindow(common::Dialog& dialog, int IRBWIN);

// The additional spline stabilisation (blank: 1), until 0, 1, 10 to 6001,
// or -6001 to -10.
int AskStabilisation(common::Dialog& dialog);
void EchoStabilisation(common::Dialog& dialog, int ISTAB);

// The signal-free convergence threshold: 0.0005 (1), 0.0001 (2 or blank) or
// typed (3: a value from 0 to below 10, which the report can show; any
// other shows the menu again); the first character counts.
float AskConvergence(common::Dialog& dialog);

// The TARN convergence tweaks, until y or n (blank: y); returns 'y' or 'n'.
char AskTarn(common::Dialog& dialog);
void EchoTarn(common::Dialog& dialog, char TARNYN);

}  // namespace drivers
