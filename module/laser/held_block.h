// held_block.h - the laser cutting block held back until the next element
// shows whether the junction is smooth (M21) or a corner (M22).
#pragma once

#include "plugin/blocks.h"
#include "plugin/nc_codes.h"

namespace pelk {

// Takes the block just composed in the NC line buffer (with its block end)
// into the held state, after writing the junction word and the block held
// before it.  PENDING_LINE takes the line record, PENDING_ARC the circle
// record.  Never flushes.  Answers go_on when the block is held.  Answers
// stop, having changed nothing, when the text does not fit the held block's
// room (or kind and record do not match): the caller must drop what it
// composed and stop.
Flow hold_laser_block(PendingKind kind, const char *line, const char *circle);

// Writes the held block, if any, and then M21 unless M21 is in force; each
// block takes its block-number step as numbering says.  Nothing is held
// afterwards.  Never flushes.
void write_pending_block(Numbering numbering);

}  // namespace pelk
