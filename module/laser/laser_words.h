// laser_words.h - the words of a laser contour start: technology words and
// the compensation command.  The laser-head mode words are pp_laser_on's.
#pragma once

#include "plugin/flow.h"

namespace pelk {

// M71..M74 when the M7x selector changed, then the technology M word with
// its S value when the technology mode or the S value changed, each a block
// of its own that is flushed at once; after forget_laser_modes both.  A remembered value changes only when the writer took
// its block.
Flow write_laser_tech_words();

// Appends "LAL/" or "LAR/" for the contour record co, without a block end,
// when the contour is compensated and no compensation is in force yet.
// Writes no block of its own and never flushes.
void write_laser_comp_word(const char *co);

}  // namespace pelk
