// pp_laser_on: brings the laser head into the mode a contour asks for.
// Mode 1 follows M121, mode 0 M122, mode 2 M123; after M124 the mode is
// unknown.  The head never goes from mode 2 to another mode without M124,
// nor from mode 1 to mode 2 without M122.
#include "plugin/blocks.h"
#include "plugin/hooks.h"
#include "plugin/nc_codes.h"
#include "plugin/plugin_state.h"

namespace pelk {

// The word that puts the head into mode (M124 for unknown).
static int head_mode_word(LaserHeadMode mode) {
    switch (mode) {
    case HEAD_MODE_0: return M_HEAD_MODE_0;
    case HEAD_MODE_1: return M_HEAD_MODE_1;
    case HEAD_MODE_2: return M_HEAD_MODE_2;
    default: return M_HEAD_MODE_NONE;
    }
}

// Writes the word of one mode; the remembered mode changes only when the
// writer took the block.
static Flow command_head(LaserHeadMode mode) {
    if (stopped(flush_m_block(head_mode_word(mode)))) return Flow::stop;
    laser_head_mode = mode;
    return Flow::go_on;
}

static LaserHeadMode target_mode(int on_type) {
    if (on_type == 0) return HEAD_MODE_0;
    if (on_type == 3) return HEAD_MODE_2;
    return HEAD_MODE_1;
}

// Every path leaves the mode at the target, or stops at a refused block.
static Flow reach_mode(LaserHeadMode target) {
    if (laser_head_mode == target) return Flow::go_on;
    if (laser_head_mode == HEAD_MODE_2) {
        if (stopped(command_head(HEAD_MODE_UNKNOWN))) return Flow::stop;
    } else if (laser_head_mode == HEAD_MODE_1 && target == HEAD_MODE_2) {
        if (stopped(command_head(HEAD_MODE_0))) return Flow::stop;
    }
    return command_head(target);
}

void pp_laser_on(int on_type) {
    if (stopped(reach_mode(target_mode(on_type)))) return;
    m21_m22_state = JUNCTION_UNKNOWN;
}

}  // namespace pelk
