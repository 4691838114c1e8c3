// Input-format help and the data-file snooper (answer 0 of the input data
// format menu).
#pragma once

#include "common/console.h"

namespace files {

// inhelp: the help menu that prints an example of each input layout. A
// non-digit answer ("H") runs snoop on LUN; 0 (or an empty answer) returns.
void inhelp(common::Dialog& dialog, int LUN);

// snoop: lists the data file open on LUN page by page (five lines a page,
// line numbers and a column ruler), or reads to the end and shows the last
// five lines. Returns when the user answers "m". The file is rewound at the
// start and again before returning.
void snoop(common::Dialog& dialog, int LUN);

// The column ruler printed over a snooped page: 5 blanks, then 101
// characters of dots with the digits 1..9 over every tenth character of a
// listed line and "10" over the 100th.
std::string SnoopRuler();

}  // namespace files
