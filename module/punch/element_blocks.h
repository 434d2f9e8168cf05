// Blocks shared by the hooks whose command the control expands itself
// (nibbling, bolt-hole circles).
#pragma once

#include "plugin/flow.h"

namespace pelk {

// "MOV/" with both coordinate words of (x, y): the tool goes there without
// a stroke.  The block is flushed; on go_on the next block is begun.
Flow write_move_block(double x, double y);

// The closing words of a "RAD/I" or "ARC/" command: a space, the tool word
// (nothing once the station is current) and the forced index word, which
// only an indexable station gets.  angle in radians.
void append_closing_index(int tool, int indexable, double angle);

}  // namespace pelk
