// pp_laser_off: ends a laser cut.  Releases the held cutting block, restores
// M21 (the state between contours), stops the beam with "LED/DX0DY0" and, for
// types 2 and up, raises the head with M23.  Never flushes: the contour hooks
// flush right after it.
#include "interface/host_api.h"
#include "laser/held_block.h"
#include "plugin/blocks.h"
#include "plugin/hooks.h"
#include "plugin/nc_codes.h"

namespace pelk {

void pp_laser_off(int block_open, int off_type) {
    // Type 0: the contour goes on; the held block waits for the next element.
    if (off_type == 0) return;

    // With a block open the caller has begun it: each block takes its
    // block-number step after it.  Otherwise before it.
    const Numbering numbering = block_open == 1 ? Numbering::after : Numbering::before;
    write_pending_block(numbering);
    write_text_block("LED/DX0DY0", numbering);
    if (off_type != 1) write_m_block(M_LASER_HEAD_UP, numbering);
    c_nc_laser_off_comp = COMP_NONE;
}

}  // namespace pelk
