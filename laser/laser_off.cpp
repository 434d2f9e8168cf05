// pp_laser_off: ends a laser cut.  Releases the held cutting block, restores
// M21 (the state between contours), stops the beam with "LED/DX0DY0" and, for
// types 2 and up, raises the head with M23.  Never flushes: the contour hooks
// flush right after it.
#include "laser/held_block.h"
#include "plugin/hooks.h"
#include "interface/host_api.h"
#include "plugin/nc_text.h"

namespace pelk {

void pp_laser_off(int block_open, int off_type) {
    // Type 0: the contour goes on; the held block waits for the next element.
    if (off_type == 0) return;

    const bool raise_head = off_type != 1;
    if (block_open == 1) {
        write_pending_block(1);
        nc_append("LED/DX0DY0");
        gen_nc_eob();
        gen_nc_n();
        if (raise_head) {
            gen_nc_m(23);
            gen_nc_eob();
            gen_nc_n();
        }
    } else {
        write_pending_block(0);
        gen_nc_n();
        nc_append("LED/DX0DY0");
        gen_nc_eob();
        if (raise_head) {
            gen_nc_n();
            gen_nc_m(23);
            gen_nc_eob();
        }
    }
    c_nc_laser_off_comp = 0;
}

}  // namespace pelk
