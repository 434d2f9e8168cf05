// blocks.h - blocks of their own that many hooks write: an M word or a fixed
// text alone in its block, and the opening of a block that punches or moves
// the sheet after laser or nibbling work.
#pragma once

#include "plugin/flow.h"

namespace pelk {

// Where a block written in passing takes its block-number step: before it
// (the caller has not begun a block) or after it (the caller's block was
// begun already, and the step begins the caller's next one).
enum class Numbering { before, after };

// An M word as a block of its own, collected for the caller's next flush.
void write_m_block(int m, Numbering numbering);

// A fixed text as a block of its own, collected for the caller's next flush.
void write_text_block(const char *text, Numbering numbering);

// An M word as a block of its own, handed to the writer at once; when the
// writer took it, the next block is begun.
Flow flush_m_block(int m);

// Whether the opening of a punching block also ends the hit mode.
enum class HitMode { keep, end };

// Opening of a block that punches or moves the sheet, after gen_nc_n():
// the laser head is lifted (an M23 block when it is down), nibbling ends
// (and, with HitMode::end, the hit mode), and a pattern offset in force is
// cancelled ("OFS/X0Y0").  Never flushes: these blocks leave with the
// caller's next flush, ahead of its own block.
void open_punching_block(HitMode hit = HitMode::keep);

}  // namespace pelk
