// Technology and compensation words at the start of a laser contour.
#include "laser/laser_records.h"
#include "laser/laser_words.h"
#include "interface/host_api.h"
#include "plugin/nc_text.h"
#include "plugin/plugin_state.h"

namespace pelk {

int write_laser_m_block(int m) {
    gen_nc_m(m);
    gen_nc_eob();
    if (flush_nc_buffer() > 0) return 1;
    gen_nc_n();
    return 0;
}

static int m7x_word(int selector) {
    switch (selector) {
    case 2: return 72;
    case 3: return 73;
    case 4: return 74;
    default: return 71;
    }
}

static int technology_word(int mode) {
    switch (mode) {
    case 1: return 27;
    case 2: return 34;
    case 3: return 35;
    default: return 28;
    }
}

int write_laser_tech_words() {
    const int mode = tech_mode();
    const int m7x = tech_m7x();
    const int s_value = tech_s_value();

    if (m7x != last_laser_m7x) {
        if (write_laser_m_block(m7x_word(m7x)) != 0) return 1;
        last_laser_m7x = m7x;
    }
    if (mode == last_laser_tech) return 0;

    gen_nc_m(technology_word(mode));
    nc_appendf("S%d", s_value);
    gen_nc_eob();
    if (flush_nc_buffer() > 0) return 1;
    gen_nc_n();
    last_laser_tech = mode;
    return 0;
}

// "LAL/" when either code is 2, or both codes are equal and 0 or 1;
// "LAR/" otherwise.
static bool left_compensation(int code_a, int code_b) {
    if (code_a == 2 || code_b == 2) return true;
    return code_a == code_b && code_a != 3;
}

int write_laser_comp_word(const char *co) {
    if (!contour_comp_on(co)) return 0;
    if (c_nc_laser_off_comp != 0) return 0;
    if (left_compensation(contour_comp_code_a(co), contour_comp_code_b(co))) {
        nc_append("LAL/");
        c_nc_laser_off_comp = 1;
    } else {
        nc_append("LAR/");
        c_nc_laser_off_comp = 2;
    }
    return 0;
}

}  // namespace pelk
