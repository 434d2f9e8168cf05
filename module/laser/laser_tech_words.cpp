// Technology and compensation words at the start of a laser contour.
#include "interface/host_api.h"
#include "laser/laser_records.h"
#include "laser/laser_words.h"
#include "plugin/blocks.h"
#include "plugin/nc_codes.h"
#include "plugin/nc_text.h"
#include "plugin/plugin_state.h"

namespace pelk {

static int m7x_word(int selector) {
    switch (selector) {
    case 2: return M_TECH_SELECT_2;
    case 3: return M_TECH_SELECT_3;
    case 4: return M_TECH_SELECT_4;
    default: return M_TECH_SELECT_1;
    }
}

static int technology_word(int mode) {
    switch (mode) {
    case 1: return M_TECH_MODE_1;
    case 2: return M_TECH_MODE_2;
    case 3: return M_TECH_MODE_3;
    default: return M_TECH_MODE_OTHER;
    }
}

Flow write_laser_tech_words() {
    const int mode = tech_mode();
    const int m7x = tech_m7x();
    const int s_value = tech_s_value();

    if (laser_m7x_known == 0 || m7x != last_laser_m7x) {
        if (stopped(flush_m_block(m7x_word(m7x)))) return Flow::stop;
        last_laser_m7x = m7x;
        laser_m7x_known = 1;
    }
    // The S value is a word of the block too: a technology that differs in
    // it alone still cuts with its own.
    if (laser_tech_known != 0 && mode == last_laser_tech && s_value == last_laser_s) return Flow::go_on;

    gen_nc_m(technology_word(mode));
    nc_append_int("S", s_value);
    if (stopped(end_block_flush_and_begin_next())) return Flow::stop;
    last_laser_tech = mode;
    last_laser_s = s_value;
    laser_tech_known = 1;
    return Flow::go_on;
}

// "LAL/" when either code is 2, or both codes are equal and 0 or 1;
// "LAR/" otherwise.
static bool left_compensation(int code_a, int code_b) {
    if (code_a == 2 || code_b == 2) return true;
    return code_a == code_b && code_a != 3;
}

void write_laser_comp_word(const char *co) {
    if (!contour_comp_on(co)) return;
    if (c_nc_laser_off_comp != COMP_NONE) return;
    if (left_compensation(contour_comp_code_a(co), contour_comp_code_b(co))) {
        nc_append("LAL/");
        c_nc_laser_off_comp = COMP_LEFT;
    } else {
        nc_append("LAR/");
        c_nc_laser_off_comp = COMP_RIGHT;
    }
}

}  // namespace pelk
