// laser_words.h - the words of a laser contour start: technology words and
// the compensation command.  The laser-head mode words are pp_laser_on's.
#pragma once

namespace pelk {

// One M word as a block of its own: M word, block end, flush, and on
// success the next block number.  Answers 1 when the writer refused the
// block (nothing after it may happen), else 0.
int write_laser_m_block(int m);

// M71..M74 when the M7x selector changed, then the technology M word with
// its S value when the technology mode changed.  Answers 1 when the writer
// refused a block, else 0.
int write_laser_tech_words();

// Appends "LAL/" or "LAR/" for the contour record co, without a block end,
// when the contour is compensated and no compensation is in force yet.
int write_laser_comp_word(const char *co);

}  // namespace pelk
