// held_block.h - the laser cutting block held back until the next element
// shows whether the junction is smooth (M21) or a corner (M22).
#pragma once

namespace pelk {

// Takes the block just composed in the NC line buffer (with its block end)
// into the held state, after writing the junction word and the block held
// before it.  kind 1 takes the line record, kind 2 the circle record.
// Answers 0 when the block is held.  Answers 1, having changed nothing, when
// the text does not fit the held block's room: the caller must drop what it
// composed and stop.
int hold_laser_block(int kind, const char *line, const char *circle);

// Writes the held block, if any, and then M21 unless M21 is in force; each
// block gets its block-number step before it (numbering 0) or after it
// (numbering 1).  Nothing is held afterwards.
void write_pending_block(int numbering);

}  // namespace pelk
