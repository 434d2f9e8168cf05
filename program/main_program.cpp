// The frame of one NC program: start line, program number, header, the
// patterns and the body that the host drives, and the trailer.
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "plugin/hooks.h"
#include "interface/host_api.h"
#include "plugin/nc_text.h"
#include "plugin/plugin_state.h"
#include "program/pattern_offset.h"

namespace pelk {

namespace {

// Longest name or message text taken into a header comment; a longer text is
// cut there so that the comment still closes.
constexpr int MAX_COMMENT_TEXT = 200;

// Ends the block in the NC line buffer and hands it to the writer.
// True when the writer refused: the program stops there.
bool end_and_flush() {
    gen_nc_eob();
    return flush_nc_buffer() > 0;
}

// Material number of the MAT/ block: the integer after the first "(" of the
// material name, read like atoi (blanks, sign, digits; 0 without digits).
// A number beyond the range of int is clamped to it.
int material_number(const char *material) {
    const char *open = strchr(material, '(');
    if (open == nullptr) {
        prerr(1, cmsg(1382), cmsg(1383), material);
        return 1;
    }
    const long value = strtol(open + 1, nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

// Header blocks of ISO code.  True when the writer refused.
bool write_header() {
    char thickness[256], size_x[256], size_y[256];
    gen_nc_d_o_u(c_thickness, thickness);
    gen_nc_d_o_u(c_sheet_x, size_x);
    gen_nc_d_o_u(c_sheet_y, size_y);

    // 1. Material block and M610 (variant 7001).
    if (c_post_processor == 7001) {
        nc_appendf("MAT/B%d H%s X%s Y%s", material_number(c_material), thickness, size_x, size_y);
        if (end_and_flush()) return true;
        gen_nc_n();
        gen_nc_m(610);
        if (end_and_flush()) return true;
        last_m61x = 0;
    }

    // 2. Initial feed rate (variants 7001 and 7002).
    if (c_post_processor == 7001 || c_post_processor == 7002) {
        gen_nc_n();
        gen_nc_feedrate(1, c_initial_feedrate);
        if (end_and_flush()) return true;
    }

    // 3. Nest name.
    gen_nc_n();
    nc_appendf("(%.*s)", MAX_COMMENT_TEXT, c_nes_name);
    if (end_and_flush()) return true;

    // 4. Sheet: thickness and size.
    gen_nc_n();
    nc_appendf("(%.*s - %s X %s Y %s)", MAX_COMMENT_TEXT, message_text(863), thickness, size_x, size_y);
    if (end_and_flush()) return true;

    // 5. Clamp positions.
    gen_nc_n();
    nc_replace("(");
    for (int i = 0; i < c_clamps; ++i) {
        char position[256];
        gen_nc_d_o_u(get_clamp_pos(i), position);
        nc_appendf("%.*s %d %s ", MAX_COMMENT_TEXT, message_text(889), i + 1, position);
    }
    nc_append(")");
    return end_and_flush();
}

// Park or unload at the end of the program.  True when the writer refused.
bool write_park_and_unload() {
    const double park_x = c_done_repos_flag != 0 ? c_load_pos_x + current_repos_x : c_load_pos_x;

    if (c_loader_unloader == 2) {
        gen_nc_x_y(1, park_x, 0.0);
        gen_nc_m(5);
    } else if (c_loader_unloader == 1) {
        gen_nc_x_y(1, park_x, c_load_pos_y);
        gen_nc_m(5);
    } else {
        gen_nc_x_y(1, park_x, c_load_pos_y);
        gen_nc_m(3);
    }
    if (end_and_flush()) return true;

    // After a repositioning the control is told the sheet's frame again.
    if (c_done_repos_flag != 0) {
        char load_x[256];
        gen_nc_n();
        nc_appendf("FRM/X%s", gen_nc_d_o_u(c_load_pos_x, load_x));
        if (end_and_flush()) return true;
    }

    if (c_loader_unloader == 2) {
        gen_nc_x_y(0, c_load_pos_x, 25.0);
    } else if (c_loader_unloader == 1) {
        gen_nc_x_y(0, c_load_pos_x, c_load_pos_y + 25.0);
    } else {
        return false;
    }
    gen_nc_m(40);
    return end_and_flush();
}

}  // namespace

int pp_main() {
    // 1. The host's list to walk.
    void *list = c_sim_draw_type == 1 ? static_cast<void *>(ol1) : static_cast<void *>(sl);

    // 2. Nothing carries over from an earlier program.
    reset_program_state();

    // 3. Start line.
    nc_replace(c_nc_EIA != 0 ? "+ " : "% ");
    if (end_and_flush()) return 1;

    // 4. Program number.
    if (c_nc_use_program_number != 0) {
        char number[32];
        snprintf(number, sizeof number, "O%04ld", static_cast<long>(c_program_number));
        nc_replace(number);
        if (end_and_flush()) return 1;
    }
    init_pp_variables();
    index_forced = 0;
    c_nc_block = c_line_number_inc;

    // 5. Header (ISO code only).
    if (c_nc_EIA == 0 && write_header()) return 1;

    // 6. Patterns at the top.
    if (c_nc_sub_type == 0) {
        init_pp_variables();
        index_forced = 0;
        (void)gen_nc_output_all_subs(list);
    }

    // 7. The body starts from the host's fresh state and unknown laser modes.
    init_pp_variables();
    forget_laser_modes();
    index_forced = 0;

    // 8. Laser work in use.
    if (c_laser_allowed == 2) {
        gen_nc_n();
        gen_nc_m(20);
        if (end_and_flush()) return 1;
    }

    // 9. The sheet starts at its load position.
    c_nc_x = c_load_pos_x;
    c_nc_y = c_load_pos_y;
    gen_nc_feedrate(2, c_initial_feedrate);

    // 10. Body.
    if (gen_nc_short_sims(list) > 0) return 1;

    // 11. Trailer start.
    gen_nc_n();
    gen_nc_ni_off();
    gen_nc_laser_disable();
    cancel_pattern_offset();

    // 12. Index back to 0.
    if (!same_value(c_nc_tool_a, 0.0)) {
        gen_nc_g(0);
        gen_nc_x_y(1, c_nc_x, c_nc_y);
        gen_nc_index(1, 0, 1, 0.0);
        gen_nc_m(3);
        if (end_and_flush()) return 1;
        gen_nc_n();
    }

    // 13. Laser work ends.
    if (c_laser_allowed == 2) {
        gen_nc_m(20);
        if (end_and_flush()) return 1;
        gen_nc_n();
    }

    // 14. Park or unload.
    if (write_park_and_unload()) return 1;

    // 15. Rewind.
    if (c_nc_rewind_flag != 0) {
        gen_nc_n();
        gen_nc_m(30);
        if (end_and_flush()) return 1;
    }

    // 16. End character, without a block end.
    nc_append("%");
    return flush_nc_buffer() > 0 ? 1 : 0;
}

}  // namespace pelk
