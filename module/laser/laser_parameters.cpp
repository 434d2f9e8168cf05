// The laser parameter blocks from LASER.PAR in the machine directory, and
// lifting the laser head before other work.
//
// The file is read once per program (par_section.cpp) and its section kept;
// each part of the program that cuts with the laser gets the section ahead
// of its first laser step: every pattern definition, and the main body.  On
// the control any of them can run first, so none may rely on another's.
#include <string.h>

#include "interface/host_api.h"
#include "laser/par_section.h"
#include "plugin/blocks.h"
#include "plugin/flow.h"
#include "plugin/hooks.h"
#include "plugin/nc_codes.h"
#include "plugin/nc_text.h"
#include "plugin/plugin_state.h"

namespace pelk {

namespace {

// Writes each kept data line as a block of its own, flushed at once.
Flow write_kept_section() {
    for (const char *line = laser_par_lines; *line != '\0';) {
        const char *end = strchr(line, '\n');
        if (end == nullptr) end = line + strlen(line);
        nc_append_n(line, static_cast<size_t>(end - line));
        if (stopped(end_block_flush_and_begin_next())) return Flow::stop;
        line = *end != '\0' ? end + 1 : end;
    }
    return Flow::go_on;
}

}  // namespace

void pp_laser_enable() {
    gen_nc_ni_off();
    gen_nc_hit_off();
    if (laser_par_loaded != 0) return;

    // ---- 1. The file, at the program's first laser step -------------------
    if (laser_par_outcome == PAR_NOT_READ) read_laser_par();
    if (laser_par_outcome != PAR_SECTION_KEPT) return;

    // ---- 2. The section, once in this part of the program -----------------
    // A section cut short by the writer counts as not written.
    if (stopped(write_kept_section())) return;
    laser_par_loaded = 1;
}

void pp_laser_disable() {
    gen_nc_ni_off();
    if (c_nc_laser_head_down != 0) {
        write_m_block(M_LASER_HEAD_UP, Numbering::after);
        c_nc_laser_head_down = 0;
    }
}

}  // namespace pelk
