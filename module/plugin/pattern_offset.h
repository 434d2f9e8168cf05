// The pattern offset that an "OFS/" pattern call leaves in force on the
// control, and its cancel.
#pragma once

namespace pelk {

// Writes "OFS/X0Y0" as a block of its own, once, when an offset is in force
// and no pattern body is being written.  Call it where a block begins; it
// never flushes, so the block leaves with the caller's next flush.
void cancel_pattern_offset();

}  // namespace pelk
