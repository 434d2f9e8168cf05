// pp_laser_on: brings the laser head into the mode a contour asks for.
// Modes: 1 after M121, 0 after M122, 2 after M123, -1 (unknown) after M124.
// The head never goes from mode 2 to another mode without M124, nor from
// mode 1 to mode 2 without M122.
#include "laser/laser_words.h"
#include "plugin/hooks.h"
#include "plugin/plugin_state.h"

namespace pelk {

// Writes one mode word; the remembered mode changes only when the writer
// took the block.
static int command_head(int m, int mode_after) {
    if (write_laser_m_block(m) != 0) return 1;
    laser_head_mode = mode_after;
    return 0;
}

static int target_mode(int on_type) {
    if (on_type == 0) return 0;
    if (on_type == 3) return 2;
    return 1;
}

// Every path leaves the mode at the target, or stops at a refused block.
static int reach_mode(int target) {
    if (laser_head_mode == target) return 0;
    if (laser_head_mode == 2) {
        if (command_head(124, -1) != 0) return 1;
    } else if (laser_head_mode == 1 && target == 2) {
        if (command_head(122, 0) != 0) return 1;
    }
    switch (target) {
    case 0: return command_head(122, 0);
    case 2: return command_head(123, 2);
    default: return command_head(121, 1);
    }
}

void pp_laser_on(int on_type) {
    if (reach_mode(target_mode(on_type)) != 0) return;
    m21_m22_state = -1;
}

}  // namespace pelk
