// Selecting a turret station: the blocks the machine needs before a tool
// change, and the common opening of the element hooks (nibbling, bolt-hole
// circles).
#pragma once

#include "plugin/flow.h"

namespace pelk {

// Writes, as complete blocks of their own, what has to happen before the
// turret changes to station: the index turned back to 0 when it stands at
// another angle, the forming mode on (M08) or off (M09) on variants 7001 and
// 7002, and the M61x mode on variant 7001.  Writes nothing for a station
// below 1 or for the current station.  Never flushes: the blocks leave with
// the caller's next flush, ahead of the caller's block with the T word.
void prepare_tool_change(int station);

// Opening of a hook that punches an element: begins the block, lifts the
// laser head, cancels a pattern offset, prepares the tool change, and writes
// and flushes the tool and index block when the station or the index angle
// changes.  el is the host's element record (tool number and index flag are
// read from it), angle the element's index angle in radians.  Answers stop
// when the writer refused the block: the hook must then return 1 at once.
Flow element_preamble(const char *el, double angle);

}  // namespace pelk
