// Pith offsets: one integer per series, matched to the series by position,
// read from a text file with "(i4)" or a descriptor the user types.
#pragma once

#include <string_view>
#include <vector>

#include "common/console.h"
#include "common/storage.h"

namespace files {

// Asks whether a pith offset file is used. "F", "f" or an empty answer:
// every offset 0 and PITHFL 0. Otherwise asks for the file, the read method
// and the header count, and reads offsets into IPITH(1), IPITH(2), ... (1-based;
// IPITH holds MAXSER+1 slots, slot 0 unused) until the end of the file;
// PITHFL becomes 1. Every slot is cleared before the file is read. More than
// MAXSER-1 offsets stop the program; a record that does not convert offers to
// read the file again with another method. The offsets of the data set's
// NS series (lengths from IYTAB, names from SERID) must be usable by the
// regional curve: an offset below 0, or one that puts its series' last
// ring past age MAXYRS (offset + length > MAXYRS), is refused naming the
// series and the value, and the file name is asked again. Unit LUNP is
// closed on return.
void pithof(int MAXSER, int LUNP, std::vector<int>& IPITH, int& PITHFL, std::string_view DATFIL,
            const common::YearTable& IYTAB, int NS, const std::vector<std::string>& SERID, common::Dialog& dialog);

}  // namespace files
